#include "app/frame_clock.h"

#include "app/app_state.h"

int64_t FrameClockUs() {
    static const int64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return int64_t(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    app.pQueryPerformanceCounter(&counter);
    // Split so that the product cannot overflow however long the machine has been running.
    const int64_t ticks = int64_t(counter.QuadPart);
    return ticks / frequency * 1000000 + ticks % frequency * 1000000 / frequency;
}
