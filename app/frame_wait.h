#pragma once
#include <cstdint>

#include "app/platform.h"

// Waiting in the message loop for the next message or the next frame, whichever comes first.
// Windows wakes ordinary timeouts on its timer tick (about 15.6 ms), coarser than a frame at
// 144 Hz, so the wait runs on a high-resolution waitable timer where the system has one.
struct FrameWait {
    HANDLE timer = nullptr;
};

FrameWait StartFrameWait();
void EndFrameWait(FrameWait& wait);
// Returns when a message is queued, or after `microseconds` (-1: only for a message).
void WaitForMessageOrFrame(FrameWait& wait, int64_t microseconds);
