#pragma once
// Windows and GDI+ in one place. GDI+'s headers expect min and max, which NOMINMAX takes away.
#include <windows.h>
#include <dwmapi.h>
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}
#include <gdiplus.h>
