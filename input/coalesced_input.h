#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/platform.h"

// While the program is busy (a push to the screen takes tens of milliseconds), a 1000 Hz mouse or a
// fast pen reports many samples, and the system merges the moves waiting in the queue into the
// newest one. The system also keeps a history of recent samples of the mouse and of each pen; the
// merged samples are taken back from there, so that fast strokes keep their curves instead of
// turning into polygons with long straight chords.

// One entry of such a history: a screen position and the system's time of it in milliseconds.
struct RecordedSample {
    int32_t x;
    int32_t y;
    DWORD time;
};

// In a history given newest first, whose entry 0 is the sample at hand: how many of the entries
// after it (1 to n) came after the sample last taken. The count stops at the first entry that is
// the sample last taken (the same time and position) or older than it; times may repeat and wrap.
size_t CountSamplesSince(const std::vector<RecordedSample>& newestFirst, POINT lastPosition, DWORD lastTime);

// The sample that began a stroke (screen pixels, message time) is the first one taken.
void TakeFirstSample(POINT screen, DWORD time);

// Extends the mouse stroke with every move since the sample last taken, oldest first, at pressure
// 0.5, up to this WM_MOUSEMOVE's own position (lParam) or beyond it.
void ExtendMouseStroke(HWND window, LPARAM lParam);

// The moves the recorder kept since the last mouse message, up to the release at `time`: a quick
// flick would otherwise end short.
void ExtendWithRecordedMoves(HWND window, DWORD time);

// The samples of a pen merged into its current pointer update, oldest first, without the update's
// own, which becomes the sample last taken. Empty where the system keeps no pen history.
std::vector<POINTER_PEN_INFO> MergedPenSamples(UINT32 pointerId);
