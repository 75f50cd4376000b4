// An ordinary application window for the end-to-end scripts to put under Velquin's overlay: it
// reports on stdout, one line each, what reaches it, so a script can tell whether a click went
// through the overlay and whether a key went to it instead of to Velquin.
//
//   click_target X Y WIDTH HEIGHT     a window titled "Click target" at that screen rectangle
//
// Lines: "ready" once shown, "focus" on WM_SETFOCUS, "click X Y" (screen position) on
// WM_LBUTTONDOWN, "key 0xVK" on WM_KEYDOWN. It ends when the window is closed.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr wchar_t TARGET_CLASS[] = L"VelquinTestClickTarget";
constexpr wchar_t TARGET_TITLE[] = L"Click target";

void Report(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

LRESULT CALLBACK TargetWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS:
        Report("focus");
        return 0;
    case WM_LBUTTONDOWN: {
        POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(window, &point);
        char line[64];
        std::snprintf(line, sizeof line, "click %ld %ld", point.x, point.y);
        Report(line);
        return 0;
    }
    case WM_KEYDOWN: {
        char line[32];
        std::snprintf(line, sizeof line, "key 0x%02lX", static_cast<unsigned long>(wParam));
        Report(line);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Plain "\n" line ends, so the scripts can match whole lines.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc != 5) {
        std::fputs("usage: click_target X Y WIDTH HEIGHT\n", stderr);
        return 2;
    }
    const int x = _wtoi(argv[1]);
    const int y = _wtoi(argv[2]);
    const int width = _wtoi(argv[3]);
    const int height = _wtoi(argv[4]);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = TargetWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(RGB(40, 160, 90));
    windowClass.lpszClassName = TARGET_CLASS;
    RegisterClassW(&windowClass);

    HWND window = CreateWindowExW(0, TARGET_CLASS, TARGET_TITLE, WS_POPUP | WS_VISIBLE, x, y, width, height,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    UpdateWindow(window);
    Report("ready");

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
