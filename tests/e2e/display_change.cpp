// Lets the end-to-end scripts change monitors the way Windows does. Under Wine a monitor added,
// removed or moved with xrandr shows up in EnumDisplayMonitors and GetSystemMetrics, but no window is
// sent WM_DISPLAYCHANGE for it, as Windows would send; a display settings change from any program
// makes Wine send it to every window. So a script moves the monitors with xrandr, waits until --list
// shows the new arrangement, and then runs this without arguments.
//
//   display_change                 sets the primary monitor to its current mode again, which makes
//                                  every window receive WM_DISPLAYCHANGE; prints result=N (0 is
//                                  DISP_CHANGE_SUCCESSFUL, the exit code is 0 only then)
//   display_change --list          the monitors in Windows desktop coordinates, one a line as
//                                  "LEFT TOP RIGHT BOTTOM", the primary first and marked " primary",
//                                  the others from left to right (top to bottom where they tie)
//   display_change --wait MS       a hidden window that waits up to MS ms for WM_DISPLAYCHANGE:
//                                  prints "ready" once it is there, and on the message
//                                  "displaychange BITS WIDTH HEIGHT" followed by the monitors as
//                                  --list prints them at that moment; exit code 1 when none came
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

namespace {

constexpr int EXIT_YES = 0;
constexpr int EXIT_NO = 1;
constexpr int EXIT_USAGE = 2;

constexpr wchar_t WAIT_CLASS[] = L"VelquinTestDisplayChangeWait";

struct Monitor {
    RECT rect;
    bool primary;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        reinterpret_cast<std::vector<Monitor>*>(list)->push_back(
            {info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

void PrintMonitors() {
    std::vector<Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    // The system's own order is not fixed; the scripts compare lines.
    std::sort(monitors.begin(), monitors.end(), [](const Monitor& a, const Monitor& b) {
        if (a.primary != b.primary) return a.primary;
        if (a.rect.left != b.rect.left) return a.rect.left < b.rect.left;
        return a.rect.top < b.rect.top;
    });
    for (const Monitor& monitor : monitors) {
        std::printf("%ld %ld %ld %ld%s\n", monitor.rect.left, monitor.rect.top, monitor.rect.right,
                    monitor.rect.bottom, monitor.primary ? " primary" : "");
    }
    std::fflush(stdout);
}

// The primary monitor's display device, e.g. \\.\DISPLAY1.
bool PrimaryDevice(wchar_t (&name)[CCHDEVICENAME]) {
    DISPLAY_DEVICEW device = {};
    device.cb = sizeof device;
    for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &device, 0); ++i) {
        if (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) {
            wcsncpy(name, device.DeviceName, CCHDEVICENAME);
            return true;
        }
        device.cb = sizeof device;
    }
    return false;
}

// The current mode of the primary only, not the settings stored for every monitor (which is what a
// change with no device and no mode restores): the others stay where they are.
int ChangeToCurrentMode() {
    wchar_t device[CCHDEVICENAME] = {};
    DEVMODEW mode = {};
    mode.dmSize = sizeof mode;
    if (!PrimaryDevice(device) || !EnumDisplaySettingsW(device, ENUM_CURRENT_SETTINGS, &mode)) {
        std::printf("result=none\n");
        return EXIT_NO;
    }
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    LONG result = ChangeDisplaySettingsExW(device, &mode, nullptr, 0, nullptr);
    std::printf("result=%ld\n", result);
    return result == DISP_CHANGE_SUCCESSFUL ? EXIT_YES : EXIT_NO;
}

LRESULT CALLBACK WaitWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DISPLAYCHANGE) {
        std::printf("displaychange %u %u %u\n", static_cast<unsigned>(wParam), LOWORD(lParam), HIWORD(lParam));
        PrintMonitors();
        PostQuitMessage(EXIT_YES);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WaitForDisplayChange(UINT milliseconds) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WaitWndProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = WAIT_CLASS;
    RegisterClassW(&windowClass);
    // A top-level window, not a message-only one: the message is broadcast to top-level windows.
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, WAIT_CLASS, L"Display change wait", WS_POPUP, 0, 0, 1, 1,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return EXIT_NO;
    std::printf("ready\n");
    std::fflush(stdout);
    SetTimer(window, 1, milliseconds, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        if (message.message == WM_TIMER && message.hwnd == window) {
            std::printf("timeout\n");
            return EXIT_NO;
        }
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Plain "\n" line ends, so the scripts can match whole lines.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc == 1) return ChangeToCurrentMode();
    if (argc == 2 && wcscmp(argv[1], L"--list") == 0) {
        PrintMonitors();
        return EXIT_YES;
    }
    if (argc == 3 && wcscmp(argv[1], L"--wait") == 0) {
        return WaitForDisplayChange(static_cast<UINT>(wcstoul(argv[2], nullptr, 10)));
    }
    std::fprintf(stderr, "usage: display_change [--list | --wait MS]\n");
    return EXIT_USAGE;
}
