#pragma once
#include <cstdint>

// Microseconds of the performance counter, read through `app.pQueryPerformanceCounter`: steady and
// fine-grained (the tick count moves in steps of about 15.6 ms, coarser than a frame).
int64_t FrameClockUs();
