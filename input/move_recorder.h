#pragma once
#include <vector>

#include "app/platform.h"
#include "input/coalesced_input.h"

// While this thread is busy (a push to the screen takes tens of milliseconds under some systems),
// the system merges the mouse moves waiting in its queue, and its history of moves, 64 long, loses
// them too where the receiver lags. So while a mouse stroke is in progress a helper thread watches
// every move as the system takes it in (a low-level mouse hook, set only for the stroke) and keeps it;
// the GUI thread takes them when the next mouse message comes.
struct MoveRecorder {
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    HANDLE ready = nullptr;       // set once the helper thread has its message queue
    CRITICAL_SECTION lock = {};   // guards everything below
    bool recording = false;
    std::vector<RecordedSample> moves;  // screen pixels and system times, oldest first, not yet taken
};

// Records every mouse move made with the button held, until the button goes up or
// StopRecordingMoves.
void StartRecordingMoves();
void StopRecordingMoves();
// Takes every move recorded and not yet taken, oldest first.
void TakeRecordedMoves(std::vector<RecordedSample>& taken);
// Ends the helper thread at shutdown.
void EndMoveRecorder();
