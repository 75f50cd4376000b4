#include "app/frame_clock.h"

#include "app/platform.h"

int64_t FrameClockMs() {
    static const int64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return int64_t(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return int64_t(counter.QuadPart) * 1000 / frequency;
}
