#include "input/laser_fade.h"
// PLACEHOLDER
void CALLBACK LaserFadeTimerProc(HWND, UINT, UINT_PTR, DWORD) {}
