#include "support/injected_input.h"

#include <cstdint>

namespace {

// The system maps 0..65535 onto the screen by truncation, so the smallest value that maps onto the
// wanted pixel is asked for: rounded to the nearest, a position can land a pixel short.
LONG Normalised(int pixel, int screenSize) { return LONG((int64_t(pixel) * 65536 + screenSize - 1) / screenSize); }

}  // namespace

void InjectMouse(int screenX, int screenY, DWORD buttonFlags, DWORD time) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = Normalised(screenX, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = Normalised(screenY, GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlags;
    input.mi.time = time;
    SendInput(1, &input, sizeof(input));
}
