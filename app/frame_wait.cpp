#include "app/frame_wait.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

FrameWait StartFrameWait() {
    FrameWait wait;
    // Windows 10 (1803) and later; elsewhere the wait falls back to the millisecond timeout alone.
    wait.timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                        TIMER_MODIFY_STATE | SYNCHRONIZE);
    return wait;
}

void EndFrameWait(FrameWait& wait) {
    if (wait.timer) CloseHandle(wait.timer);
    wait.timer = nullptr;
}

void WaitForMessageOrFrame(FrameWait& wait, int64_t microseconds) {
    if (microseconds < 0) {
        MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        return;
    }
    // Rounded up: waking early would only come back here for the rest.
    const DWORD timeoutMs = DWORD((microseconds + 999) / 1000);
    LARGE_INTEGER due;
    due.QuadPart = -microseconds * 10;  // relative, in 100 ns
    if (wait.timer && SetWaitableTimer(wait.timer, &due, 0, nullptr, nullptr, FALSE)) {
        MsgWaitForMultipleObjectsEx(1, &wait.timer, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        return;
    }
    MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}
