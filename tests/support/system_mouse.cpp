#include "support/system_mouse.h"

#include <utility>

namespace {

struct Log {
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    HANDLE hooked = nullptr;
    CRITICAL_SECTION lock;
    std::vector<SystemMouseEvent> events;
};
Log logged;

LRESULT CALLBACK LogEvent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && (wParam == WM_MOUSEMOVE || wParam == WM_LBUTTONDOWN || wParam == WM_LBUTTONUP)) {
        const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        EnterCriticalSection(&logged.lock);
        logged.events.push_back({UINT(wParam), event->pt});
        LeaveCriticalSection(&logged.lock);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Low-level hooks are called on the thread that set them, while it waits for messages.
DWORD WINAPI RunLog(void*) {
    HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, LogEvent, GetModuleHandleW(nullptr), 0);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    SetEvent(logged.hooked);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    }
    UnhookWindowsHookEx(hook);
    return 0;
}

}  // namespace

void StartLoggingSystemMouse() {
    InitializeCriticalSection(&logged.lock);
    logged.events.clear();
    logged.hooked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    logged.thread = CreateThread(nullptr, 0, RunLog, nullptr, 0, &logged.threadId);
    WaitForSingleObject(logged.hooked, INFINITE);
}

std::vector<SystemMouseEvent> StopLoggingSystemMouse() {
    PostThreadMessageW(logged.threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(logged.thread, INFINITE);
    CloseHandle(logged.thread);
    CloseHandle(logged.hooked);
    DeleteCriticalSection(&logged.lock);
    return std::move(logged.events);
}

std::vector<POINT> StrokeOf(const std::vector<SystemMouseEvent>& events) {
    std::vector<POINT> stroke;
    for (const SystemMouseEvent& event : events) {
        if (stroke.empty()) {
            if (event.message == WM_LBUTTONDOWN) stroke.push_back(event.at);
            continue;
        }
        if (event.message == WM_LBUTTONUP) break;
        const POINT& last = stroke.back();
        if (event.message == WM_MOUSEMOVE && (event.at.x != last.x || event.at.y != last.y)) {
            stroke.push_back(event.at);
        }
    }
    return stroke;
}
