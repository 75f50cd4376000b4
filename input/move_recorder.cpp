#include "input/move_recorder.h"

#include "app/app_state.h"

namespace {

// Thread messages to the helper: the hook is set only while a stroke is recorded, so the rest of the
// time no mouse move of the desktop passes through this program.
constexpr UINT SET_HOOK = WM_APP + 20;
constexpr UINT REMOVE_HOOK = WM_APP + 21;
constexpr DWORD HOOK_WAIT_MS = 100;

MoveRecorder& recorder() { return app.moveRecorder; }

// The button that draws, as the physical button the key state reports: the other one where the
// user has swapped them.
bool DrawingButtonHeld() {
    return GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) < 0;
}

// Input passes the hook one event at a time, each before the key state takes it in, so a move seen
// with the button up was made after the release: there the stroke's moves end, whatever their times
// say. The same holds for a hook set only after a quick release: it records nothing. Where the key
// state cannot be read (it then reads as up), the recorder takes nothing and the messages and the
// system's history carry the stroke.
LRESULT CALLBACK RecordMove(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == WM_MOUSEMOVE) {
        const MSLLHOOKSTRUCT* move = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        MoveRecorder& r = recorder();
        EnterCriticalSection(&r.lock);
        if (r.recording && !DrawingButtonHeld()) r.recording = false;
        if (r.recording) {
            const RecordedSample sample = {move->pt.x, move->pt.y, move->time};
            // Each move is in the system's history once the next one comes by.
            if (r.recordedCount == 0) r.firstMove = sample;
            if (r.recordedCount == 1) r.historyAtFirstMove = MouseHistoryAt(r.firstMove);
            ++r.recordedCount;
            r.moves.push_back(sample);
        }
        LeaveCriticalSection(&r.lock);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Low-level hooks are called on the thread that set them, while it waits for messages.
DWORD WINAPI RunRecorder(void*) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before anyone posts to it
    SetEvent(recorder().ready);
    HHOOK hook = nullptr;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == SET_HOOK) {
            if (!hook) hook = SetWindowsHookExW(WH_MOUSE_LL, RecordMove, GetModuleHandleW(nullptr), 0);
            SetEvent(recorder().hookSet);
        } else if (message.message == REMOVE_HOOK && hook) {
            UnhookWindowsHookEx(hook);
            hook = nullptr;
        }
    }
    if (hook) UnhookWindowsHookEx(hook);
    return 0;
}

// What the recorder's thread filled, handed to the GUI thread whole.
void TakeUnderLock(std::vector<RecordedSample>& filled, std::vector<RecordedSample>& taken) {
    MoveRecorder& r = recorder();
    taken.clear();
    if (!r.thread) return;
    EnterCriticalSection(&r.lock);
    taken.swap(filled);
    LeaveCriticalSection(&r.lock);
}

}  // namespace

void StartRecordingMoves() {
    MoveRecorder& r = recorder();
    if (!r.ready) {
        InitializeCriticalSection(&r.lock);
        r.ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        r.hookSet = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    }
    if (!r.thread) {
        r.thread = CreateThread(nullptr, 0, RunRecorder, nullptr, 0, &r.threadId);
        if (r.thread) WaitForSingleObject(r.ready, INFINITE);
    }
    EnterCriticalSection(&r.lock);
    r.recording = true;
    r.moves.clear();
    r.recordedCount = 0;
    r.historyAtFirstMove.clear();
    LeaveCriticalSection(&r.lock);
    // Every move before the hook is set must come from the system's short history: the press waits
    // for the hook, though not for a helper thread that a busy system keeps from running.
    ResetEvent(r.hookSet);
    PostThreadMessageW(r.threadId, SET_HOOK, 0, 0);
    WaitForSingleObject(r.hookSet, HOOK_WAIT_MS);
}

void StopRecordingMoves() {
    MoveRecorder& r = recorder();
    if (!r.thread) return;
    EnterCriticalSection(&r.lock);
    r.recording = false;
    r.moves.clear();
    LeaveCriticalSection(&r.lock);
    PostThreadMessageW(r.threadId, REMOVE_HOOK, 0, 0);
}

void TakeRecordedMoves(std::vector<RecordedSample>& taken) { TakeUnderLock(recorder().moves, taken); }

void TakeHistoryAtFirstMove(std::vector<RecordedSample>& history) {
    TakeUnderLock(recorder().historyAtFirstMove, history);
}

void EndMoveRecorder() {
    MoveRecorder& r = recorder();
    if (!r.thread) return;
    PostThreadMessageW(r.threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(r.thread, INFINITE);
    CloseHandle(r.thread);
    CloseHandle(r.ready);
    CloseHandle(r.hookSet);
    DeleteCriticalSection(&r.lock);
    r.thread = nullptr;
    r.ready = nullptr;
    r.hookSet = nullptr;
}
