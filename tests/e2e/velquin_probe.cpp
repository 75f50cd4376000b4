// Looks at a running Velquin from outside its process, the way another program on the same desktop
// would, for the end-to-end scripts. Answers come as key=value lines on stdout (UTF-8) and through
// the exit code: 0 yes/done, 1 no/timed out, 2 bad usage.
//
//   window CLASS                 count and the first top-level window of CLASS: hwnd, class, title,
//                                exstyle, style, owner, owner_class, rect, visible, pid, tid
//   wait-window CLASS MS         until a visible top-level window of CLASS exists
//   wait-gone CLASS MS           until no top-level window of CLASS exists
//   wait-idle CLASS MS           until the process of the first window of CLASS waits for input
//                                with none pending (WaitForInputIdle): its start-up is done
//   hotkeys KEY...               KEY=free or KEY=taken for Ctrl+Shift+KEY, by claiming it for a moment
//   mutex NAME                   exists=1 or exists=0
//   msgbox CAPTION MS            waits for the "#32770" box with that caption: its texts and buttons
//   msgbox-ok CAPTION            presses OK on that box (WM_COMMAND IDOK)
//   post CLASS MSG WPARAM LPARAM posts a message to the first window of CLASS
//   quit CLASS                   posts WM_QUIT to the thread of the first window of CLASS
//   chord KEY+KEY+...            SendInput: presses the keys in order, releases them in reverse
//   display WIDTH HEIGHT         ChangeDisplaySettingsExW of the primary display; result=N
//   circle CX CY R N MS [TICK]   SendInput: left press at the circle's top, N absolute moves around
//                                it MS milliseconds apart (fractions allowed), release; each position
//                                as at=X,Y. With TICK, every input carries a time (mi.time) that
//                                steps by TICK ms as a coarse system tick does, so many moves share
//                                one time; without it the system stamps them. Then the moves the
//                                system took in with the button held, from the press to the
//                                release, as seen=X,Y: under Wine more than were injected, as the
//                                X server's reports of the pointer Wine moved come back as moves.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int EXIT_YES = 0;
constexpr int EXIT_NO = 1;
constexpr int EXIT_USAGE = 2;

void PrintLine(const std::wstring& line) {
    int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), size, nullptr,
                        nullptr);
    bytes += '\n';
    fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::wstring Hex(unsigned long long value, int digits) {
    wchar_t text[32];
    swprintf(text, 32, L"0x%0*llX", digits, value);
    return text;
}

std::wstring HandleText(HWND window) { return Hex(reinterpret_cast<unsigned long long>(window), 1); }

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

// WM_GETTEXT is marshalled across processes, so this reads the control's own text.
std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        5000, &copied);
    text.resize(copied);
    return text;
}

std::vector<HWND> TopLevelWindows(const std::wstring& className) {
    struct Search {
        std::wstring className;
        std::vector<HWND> found;
    } search{className, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            if (ClassOf(window) == s->className) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FirstWindow(const std::wstring& className) {
    std::vector<HWND> windows = TopLevelWindows(className);
    return windows.empty() ? nullptr : windows.front();
}

// Polls until the condition holds or the time is up.
template <typename Condition>
bool WaitFor(unsigned long milliseconds, Condition condition) {
    ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(50);
    }
}

int WaitForIdle(const std::wstring& className, unsigned long milliseconds) {
    HWND window = FirstWindow(className);
    DWORD pid = 0;
    if (!window || !GetWindowThreadProcessId(window, &pid)) return EXIT_NO;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process) return EXIT_NO;
    const DWORD result = WaitForInputIdle(process, milliseconds);
    CloseHandle(process);
    PrintLine(L"idle=" + std::to_wstring(result == 0 ? 1 : 0));
    return result == 0 ? EXIT_YES : EXIT_NO;
}

int ShowWindowInfo(const std::wstring& className) {
    std::vector<HWND> windows = TopLevelWindows(className);
    PrintLine(L"count=" + std::to_wstring(windows.size()));
    if (windows.empty()) return EXIT_NO;
    HWND window = windows.front();
    wchar_t title[256] = L"";
    GetWindowTextW(window, title, 256);
    HWND owner = GetWindow(window, GW_OWNER);
    RECT rect = {};
    GetWindowRect(window, &rect);
    DWORD pid = 0;
    DWORD tid = GetWindowThreadProcessId(window, &pid);
    PrintLine(L"hwnd=" + HandleText(window));
    PrintLine(L"class=" + ClassOf(window));
    PrintLine(std::wstring(L"title=") + title);
    PrintLine(L"exstyle=" + Hex(static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), 8));
    PrintLine(L"style=" + Hex(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), 8));
    PrintLine(L"owner=" + (owner ? HandleText(owner) : std::wstring(L"none")));
    PrintLine(L"owner_class=" + (owner ? ClassOf(owner) : std::wstring(L"none")));
    PrintLine(L"rect=" + std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L"," +
              std::to_wstring(rect.right) + L"," + std::to_wstring(rect.bottom));
    PrintLine(L"visible=" + std::to_wstring(IsWindowVisible(window) ? 1 : 0));
    // Every shown window of the class, left to right: one overlay a monitor.
    std::vector<RECT> shown;
    for (HWND each : windows) {
        RECT r = {};
        if (IsWindowVisible(each) && GetWindowRect(each, &r)) shown.push_back(r);
    }
    std::sort(shown.begin(), shown.end(), [](const RECT& a, const RECT& b) { return a.left < b.left; });
    std::wstring rects;
    for (const RECT& r : shown) {
        rects += (rects.empty() ? L"" : L" ") + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," +
                 std::to_wstring(r.right) + L"," + std::to_wstring(r.bottom);
    }
    PrintLine(L"rects=" + rects);
    PrintLine(L"pid=" + std::to_wstring(pid));
    PrintLine(L"tid=" + std::to_wstring(tid));
    return EXIT_YES;
}

UINT KeyCode(const std::wstring& name) {
    if (name == L"CTRL") return VK_CONTROL;
    if (name == L"SHIFT") return VK_SHIFT;
    if (name == L"ALT") return VK_MENU;
    if (name.size() == 1 && (iswupper(name[0]) || iswdigit(name[0]))) return name[0];
    return static_cast<UINT>(wcstoul(name.c_str(), nullptr, 0));
}

// A hotkey is taken when claiming it fails because someone else holds it; it is given back at once.
int ShowHotkeys(int count, wchar_t** keys) {
    HWND window = CreateWindowExW(0, L"STATIC", L"velquin_probe", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
    constexpr int PROBE_HOTKEY_ID = 0x7000;
    for (int i = 0; i < count; ++i) {
        UINT key = KeyCode(keys[i]);
        bool claimed = RegisterHotKey(window, PROBE_HOTKEY_ID, MOD_CONTROL | MOD_SHIFT, key);
        DWORD error = claimed ? 0 : GetLastError();
        if (claimed) UnregisterHotKey(window, PROBE_HOTKEY_ID);
        PrintLine(std::wstring(keys[i]) + (claimed ? L"=free" : L"=taken error=" + std::to_wstring(error)));
    }
    DestroyWindow(window);
    return EXIT_YES;
}

int ShowMutex(const std::wstring& name) {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
    PrintLine(mutex ? L"exists=1" : L"exists=0 error=" + std::to_wstring(GetLastError()));
    if (mutex) CloseHandle(mutex);
    return mutex ? EXIT_YES : EXIT_NO;
}

HWND FindMessageBox(const std::wstring& caption) { return FindWindowW(L"#32770", caption.c_str()); }

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM context) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(context)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

HBITMAP CreateTopDownDib(int width, int height, DWORD** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(bits), nullptr, 0);
}

// Draws into a fresh width x height picture and returns its pixels (0x00RRGGBB, top-down).
template <typename Draw>
std::vector<DWORD> Picture(int width, int height, Draw draw) {
    DWORD* bits = nullptr;
    HBITMAP bitmap = CreateTopDownDib(width, height, &bits);
    if (!bitmap) return {};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    draw(dc, bits);
    GdiFlush();
    std::vector<DWORD> pixels(bits, bits + static_cast<size_t>(width) * height);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return pixels;
}

long long Difference(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
    long long sum = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            sum += std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF));
        }
    }
    return sum;
}

// Icon handles do not cross processes, so the icon is recognised by its picture: the screen under
// the icon control against each system message-box icon drawn on the same ground.
std::wstring IconShownBy(HWND iconControl) {
    struct Candidate {
        const wchar_t* name;
        LPCWSTR id;
    };
    const Candidate CANDIDATES[] = {{L"information", IDI_INFORMATION},
                                        {L"warning", IDI_WARNING},
                                        {L"error", IDI_ERROR},
                                        {L"question", IDI_QUESTION}};
    RECT rect = {};
    GetWindowRect(iconControl, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    std::vector<DWORD> shown = Picture(width, height, [&](HDC dc, DWORD*) {
        HDC screen = GetDC(nullptr);
        BitBlt(dc, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    });
    if (shown.empty()) return L"none";

    std::wstring best = L"none";
    long long bestDifference = -1;
    for (const Candidate& candidate : CANDIDATES) {
        std::vector<DWORD> drawn = Picture(width, height, [&](HDC dc, DWORD* bits) {
            std::fill(bits, bits + static_cast<size_t>(width) * height, shown.front());
            DrawIconEx(dc, 0, 0, LoadIconW(nullptr, candidate.id), 0, 0, 0, nullptr, DI_NORMAL);
        });
        long long difference = Difference(shown, drawn);
        if (bestDifference < 0 || difference < bestDifference) {
            bestDifference = difference;
            best = candidate.name;
        }
    }
    return best;
}

// Prints the box's message (its text statics, not the icon), its buttons (id and text) and whether
// its icon is the system's information icon.
int ShowMessageBox(const std::wstring& caption, unsigned long milliseconds) {
    HWND box = nullptr;
    // The box is shown once its controls are filled in; the icon is read off the screen once painted.
    bool shown = WaitFor(milliseconds, [&] {
        box = FindMessageBox(caption);
        return box && IsWindowVisible(box);
    });
    if (!shown) {
        PrintLine(L"found=0");
        return EXIT_NO;
    }
    Sleep(500);
    PrintLine(L"found=1");
    PrintLine(L"owner=" + HandleText(GetWindow(box, GW_OWNER)));
    for (HWND child : Children(box)) {
        std::wstring className = ClassOf(child);
        LONG style = GetWindowLongW(child, GWL_STYLE);
        if (_wcsicmp(className.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
            PrintLine(L"icon=" + IconShownBy(child));
        } else if (_wcsicmp(className.c_str(), L"Static") == 0) {
            std::wstring text = TextOf(child);
            if (!text.empty()) PrintLine(L"text=" + text);
        } else if (_wcsicmp(className.c_str(), L"Button") == 0 && IsWindowVisible(child)) {
            PrintLine(L"button=" + std::to_wstring(GetDlgCtrlID(child)) + L":" + TextOf(child));
        }
    }
    return EXIT_YES;
}

int PressMessageBoxOk(const std::wstring& caption) {
    HWND box = FindMessageBox(caption);
    if (!box) return EXIT_NO;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return EXIT_YES;
}

unsigned long long Number(const wchar_t* text) { return wcstoull(text, nullptr, 0); }

int PostToWindow(const std::wstring& className, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = FirstWindow(className);
    return window && PostMessageW(window, message, wParam, lParam) ? EXIT_YES : EXIT_NO;
}

int PostQuit(const std::wstring& className) {
    HWND window = FirstWindow(className);
    if (!window) return EXIT_NO;
    return PostThreadMessageW(GetWindowThreadProcessId(window, nullptr), WM_QUIT, 0, 0) ? EXIT_YES : EXIT_NO;
}

INPUT KeyInput(UINT key, bool release) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(key);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    return input;
}

int SendChord(const std::wstring& chord) {
    std::vector<UINT> keys;
    size_t start = 0;
    for (;;) {
        size_t plus = chord.find(L'+', start);
        keys.push_back(KeyCode(chord.substr(start, plus - start)));
        if (plus == std::wstring::npos) break;
        start = plus + 1;
    }
    std::vector<INPUT> inputs;
    for (UINT key : keys) inputs.push_back(KeyInput(key, false));
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) inputs.push_back(KeyInput(*key, true));
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return sent == inputs.size() ? EXIT_YES : EXIT_NO;
}

int ChangeDisplay(DWORD width, DWORD height) {
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    LONG result = ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr);
    PrintLine(L"result=" + std::to_wstring(result));
    return result == DISP_CHANGE_SUCCESSFUL ? EXIT_YES : EXIT_NO;
}

// The system maps 0..65535 onto the screen by truncation: the smallest value that lands on the pixel.
LONG Normalised(int pixel, int screenSize) {
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + screenSize - 1) / screenSize);
}

INPUT MouseInput(POINT at, DWORD buttonFlags, DWORD time) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = Normalised(at.x, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = Normalised(at.y, GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlags;
    input.mi.time = time;
    return input;
}

// The time an input made `elapsedMs` after `start` carries: 0 lets the system stamp it; with a tick,
// the tick count at the last whole tick, as a system whose clock advances in such steps reads it.
DWORD InputTime(DWORD start, double elapsedMs, double tickMs) {
    if (tickMs <= 0) return 0;
    return start + static_cast<DWORD>(std::floor(elapsedMs / tickMs) * tickMs);
}

// What the system takes in from the mouse, from a low-level hook on a thread of its own.
struct MouseLog {
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    HANDLE hooked = nullptr;
    CRITICAL_SECTION lock;
    std::vector<std::pair<WPARAM, POINT>> events;
};
MouseLog mouseLog;

LRESULT CALLBACK LogMouse(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && (wParam == WM_MOUSEMOVE || wParam == WM_LBUTTONDOWN || wParam == WM_LBUTTONUP)) {
        EnterCriticalSection(&mouseLog.lock);
        mouseLog.events.push_back({wParam, reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)->pt});
        LeaveCriticalSection(&mouseLog.lock);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI RunMouseLog(void*) {
    HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, LogMouse, GetModuleHandleW(nullptr), 0);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    SetEvent(mouseLog.hooked);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    }
    UnhookWindowsHookEx(hook);
    return 0;
}

void StartMouseLog() {
    InitializeCriticalSection(&mouseLog.lock);
    mouseLog.hooked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    mouseLog.thread = CreateThread(nullptr, 0, RunMouseLog, nullptr, 0, &mouseLog.threadId);
    WaitForSingleObject(mouseLog.hooked, 5000);
}

bool MouseLogHolds(WPARAM message) {
    EnterCriticalSection(&mouseLog.lock);
    bool holds = false;
    for (const auto& event : mouseLog.events) holds |= event.first == message;
    LeaveCriticalSection(&mouseLog.lock);
    return holds;
}

// Once the release has come by: the press and each move with the button held up to the release,
// without a move to where the last one already was.
std::vector<POINT> StopMouseLog() {
    WaitFor(2000, [] { return MouseLogHolds(WM_LBUTTONUP); });
    PostThreadMessageW(mouseLog.threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(mouseLog.thread, 5000);
    std::vector<POINT> stroke;
    for (const auto& [message, at] : mouseLog.events) {
        if (stroke.empty()) {
            if (message == WM_LBUTTONDOWN) stroke.push_back(at);
            continue;
        }
        if (message == WM_LBUTTONUP) break;
        if (message == WM_MOUSEMOVE && (at.x != stroke.back().x || at.y != stroke.back().y)) stroke.push_back(at);
    }
    return stroke;
}

// A fast hand: the moves are paced by the performance counter, as a 1000 Hz mouse reports them.
int InjectCircle(int cx, int cy, int radius, int moves, double intervalMs, double tickMs) {
    std::vector<POINT> path;
    for (int i = 0; i <= moves; ++i) {
        const double angle = 6.283185307179586 * i / moves;
        path.push_back({cx + static_cast<LONG>(std::lround(radius * std::sin(angle))),
                        cy - static_cast<LONG>(std::lround(radius * std::cos(angle)))});
    }
    StartMouseLog();
    LARGE_INTEGER frequency, now, start;
    QueryPerformanceFrequency(&frequency);
    const DWORD startTick = GetTickCount();
    INPUT press = MouseInput(path[0], MOUSEEVENTF_LEFTDOWN, InputTime(startTick, 0, tickMs));
    SendInput(1, &press, sizeof(INPUT));
    QueryPerformanceCounter(&start);
    for (int i = 1; i <= moves; ++i) {
        const LONGLONG due = start.QuadPart + static_cast<LONGLONG>(intervalMs * i * frequency.QuadPart / 1000.0);
        do QueryPerformanceCounter(&now);
        while (now.QuadPart < due);
        INPUT move = MouseInput(path[i], 0, InputTime(startTick, intervalMs * i, tickMs));
        SendInput(1, &move, sizeof(INPUT));
    }
    INPUT release = MouseInput(path.back(), MOUSEEVENTF_LEFTUP, InputTime(startTick, intervalMs * moves, tickMs));
    SendInput(1, &release, sizeof(INPUT));
    for (const POINT& at : path) PrintLine(L"at=" + std::to_wstring(at.x) + L"," + std::to_wstring(at.y));
    for (const POINT& at : StopMouseLog()) {
        PrintLine(L"seen=" + std::to_wstring(at.x) + L"," + std::to_wstring(at.y));
    }
    return EXIT_YES;
}

int Run(int argc, wchar_t** argv) {
    if (argc < 2) return EXIT_USAGE;
    std::wstring command = argv[1];
    int operands = argc - 2;
    wchar_t** operand = argv + 2;
    if (command == L"window" && operands == 1) return ShowWindowInfo(operand[0]);
    if (command == L"wait-window" && operands == 2) {
        std::wstring className = operand[0];
        return WaitFor(static_cast<unsigned long>(Number(operand[1])),
                       [&] {
                           HWND window = FirstWindow(className);
                           return window && IsWindowVisible(window);
                       })
                   ? EXIT_YES
                   : EXIT_NO;
    }
    if (command == L"wait-gone" && operands == 2) {
        std::wstring className = operand[0];
        return WaitFor(static_cast<unsigned long>(Number(operand[1])),
                       [&] { return FirstWindow(className) == nullptr; })
                   ? EXIT_YES
                   : EXIT_NO;
    }
    if (command == L"wait-idle" && operands == 2)
        return WaitForIdle(operand[0], static_cast<unsigned long>(Number(operand[1])));
    if (command == L"hotkeys" && operands >= 1) return ShowHotkeys(operands, operand);
    if (command == L"mutex" && operands == 1) return ShowMutex(operand[0]);
    if (command == L"msgbox" && operands == 2)
        return ShowMessageBox(operand[0], static_cast<unsigned long>(Number(operand[1])));
    if (command == L"msgbox-ok" && operands == 1) return PressMessageBoxOk(operand[0]);
    if (command == L"post" && operands == 4)
        return PostToWindow(operand[0], static_cast<UINT>(Number(operand[1])),
                            static_cast<WPARAM>(Number(operand[2])), static_cast<LPARAM>(Number(operand[3])));
    if (command == L"quit" && operands == 1) return PostQuit(operand[0]);
    if (command == L"chord" && operands == 1) return SendChord(operand[0]);
    if (command == L"display" && operands == 2)
        return ChangeDisplay(static_cast<DWORD>(Number(operand[0])), static_cast<DWORD>(Number(operand[1])));
    if (command == L"circle" && (operands == 5 || operands == 6))
        return InjectCircle(static_cast<int>(Number(operand[0])), static_cast<int>(Number(operand[1])),
                            static_cast<int>(Number(operand[2])), static_cast<int>(Number(operand[3])),
                            wcstod(operand[4], nullptr), operands == 6 ? wcstod(operand[5], nullptr) : 0.0);
    return EXIT_USAGE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Plain "\n" line ends and bytes exactly as written, whatever the console's code page.
    _setmode(_fileno(stdout), _O_BINARY);
    int result = Run(argc, argv);
    if (result == EXIT_USAGE) fputs("velquin_probe: unknown command or wrong operands\n", stderr);
    fflush(stdout);
    return result;
}
