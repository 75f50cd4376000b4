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
    HANDLE hookSet = nullptr;     // set once the helper has set its hook
    CRITICAL_SECTION lock = {};   // guards everything below
    bool recording = false;
    std::vector<RecordedSample> moves;  // screen pixels and system times, oldest first, not yet taken
    size_t recordedCount = 0;           // moves recorded since the start
    RecordedSample firstMove = {0, 0, 0};
    // The system's history back from the first move, read at the second, while it surely still holds
    // what came between the press and the hook: only 64 moves long, it may not by the time the GUI
    // thread, busy with a push, gets to it.
    std::vector<RecordedSample> historyAtFirstMove;
};

// Records every mouse move made with the button held, until the button goes up or
// StopRecordingMoves. Returns once the hook is set, or a moment later at most.
void StartRecordingMoves();
void StopRecordingMoves();
// Takes every move recorded and not yet taken, oldest first.
void TakeRecordedMoves(std::vector<RecordedSample>& taken);
// Takes the history read back from the first move, if it has been read; empty otherwise.
void TakeHistoryAtFirstMove(std::vector<RecordedSample>& history);
// Ends the helper thread at shutdown.
void EndMoveRecorder();
