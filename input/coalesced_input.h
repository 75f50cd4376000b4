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
//
// The system's times come from its tick, which on Windows advances in steps of about 15.6 ms: a
// dozen or more samples of a fast mouse share one time. Times order nothing within a tick, so they
// only ever tell an entry's tick; which samples a stroke has taken is known from where each came.

// One entry of such a history: a screen position and the system's time of it in milliseconds.
struct RecordedSample {
    int32_t x;
    int32_t y;
    DWORD time;
};

// What a stroke has taken of its input so far.
struct TakenInput {
    RecordedSample last = {0, 0, 0};  // the newest sample taken
    // The move recorder has delivered moves into this stroke: it sees every move once, so from then
    // on its moves alone extend the stroke, and neither the system's history nor a message's position
    // (which may lie behind what the recorder already gave) is read again.
    bool recorderTookOver = false;
};

// In a history given newest first, whose entry 0 is the sample at hand: the indices, oldest first,
// of the entries that came after the sample last taken, entry 0 among them. The scan stops at the
// first entry that is the sample last taken (the same position and time; entry 0 too) or older than
// it; times may repeat and wrap. Entries of the same position and time next to each other are one
// sample and count once.
std::vector<size_t> EntriesSince(const std::vector<RecordedSample>& newestFirst, const RecordedSample& last);

// The move the system's history is read back from before MergeMoves: the recorder's first move when
// it delivers for the first time, else the message's own move (`message`, null at a release, which
// is no move). False when the history has nothing to add: the recorder has taken over, or a release
// comes without recorded moves.
bool HistoryAnchor(const TakenInput& taken, const RecordedSample* message,
                   const std::vector<RecordedSample>& recorded, RecordedSample& anchor);

// The moves a mouse stroke takes at one of its messages, oldest first, and the record of them in
// `taken`. `recorded` holds the recorder's moves not yet taken, oldest first; `history` the system's
// history back from the anchor HistoryAnchor named, newest first, or nothing where the system does
// not know the anchor.
std::vector<RecordedSample> MergeMoves(TakenInput& taken, const RecordedSample* message,
                                       const std::vector<RecordedSample>& recorded,
                                       const std::vector<RecordedSample>& history);

// The system's mouse history back from `anchor`, newest first, looked up by position and time in
// 16-bit positions as the history gives them. Empty where the system does not know the anchor.
std::vector<RecordedSample> MouseHistoryAt(const RecordedSample& anchor);

// The sample that began a stroke (screen pixels, message time) is the first one taken.
void TakeFirstSample(POINT screen, DWORD time);

// Extends the mouse stroke with every move since the sample last taken, oldest first, at pressure
// 0.5, up to this WM_MOUSEMOVE's own position (lParam) or beyond it.
void ExtendMouseStroke(HWND window, LPARAM lParam);

// At the release: the moves the recorder kept since the last mouse message, all made before the
// button went up, so a quick flick does not end short.
void ExtendWithRecordedMoves();

// The samples of a pen merged into its current pointer update, oldest first, without the update's
// own, which becomes the sample last taken. Empty where the system keeps no pen history.
std::vector<POINTER_PEN_INFO> MergedPenSamples(UINT32 pointerId);
