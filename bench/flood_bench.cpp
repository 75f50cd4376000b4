// A flood of mouse input on the real overlay, as a 1000 Hz mouse delivers it: a second thread injects
// one stroke with SendInput, 1000 absolute moves a second for 2 s around a circle with the left button
// held, while this thread runs the program's own message loop with the real pushes to the window, on
// a 1920x1080 and a 3840x2160 canvas (the moves stay on the 1920x1080 screen; the larger canvas makes
// every push cost what it costs there). Each run reports how many pushes a second reached the window,
// which share of the distinct injected positions became samples of the stroke, and how long after
// the last move the push that shows it ended; the median push is the floor beside them.
// On Windows a push of a small dirty rectangle costs a fraction of a millisecond, under Wine it copies
// the whole window: the 1920x1080 flood runs again with the push replaced by 0.2 ms of busy work, where
// only the frame pacing keeps the pushes down to the display's refresh rate, printed beside them.
//   flood_bench [RUNS]      runs per canvas (default 3)
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/frame_rate.h"
#include "app/startup.h"
#include "bench/bench_support.h"
#include "ink/surfaces.h"

namespace {

constexpr int MOVES = 2000;
constexpr double MOVE_INTERVAL_MS = 1.0;
constexpr int RADIUS = 400;
constexpr double SHOWN_TIMEOUT_MS = 60000;
constexpr double CHEAP_PUSH_MS = 0.2;  // what a small UpdateLayeredWindowIndirect costs on Windows

// Filled by the injecting thread, read by the loop's thread.
std::vector<POINT> path;  // screen pixels: the press, then the moves
std::atomic<LONGLONG> firstMoveAt{0};
std::atomic<LONGLONG> lastMoveAt{0};
std::atomic<bool> lastMoveShown{false};
DWORD loopThread = 0;

// Filled inside the push seam, on the loop's thread.
std::vector<double> pushMs;
std::vector<LONGLONG> pushEnds;
LONGLONG shownAt = 0;

bool StrokeEndsAtTheLastMove() {
    if (!app.drawing || app.currentStroke.points.empty()) return false;
    const InkPoint& newest = app.currentStroke.points.back();
    return newest.x == float(path.back().x - app.canvasLeft) && newest.y == float(path.back().y - app.canvasTop);
}

void RecordPush(LONGLONG start, LONGLONG end) {
    pushMs.push_back(Milliseconds(end - start));
    pushEnds.push_back(end);
    if (!lastMoveShown && lastMoveAt != 0 && StrokeEndsAtTheLastMove()) {
        shownAt = end;
        lastMoveShown = true;
    }
}

BOOL WINAPI TimedPush(HWND window, const UPDATELAYEREDWINDOWINFO* info) {
    const LONGLONG start = Now();
    const BOOL result = UpdateLayeredWindowIndirect(window, info);
    RecordPush(start, Now());
    return result;
}

BOOL WINAPI CheapPush(HWND, const UPDATELAYEREDWINDOWINFO*) {
    const LONGLONG start = Now();
    while (Milliseconds(Now() - start) < CHEAP_PUSH_MS) {
    }
    RecordPush(start, Now());
    return TRUE;
}

// The smallest normalised value the system maps onto the pixel (it truncates).
LONG Normalised(int pixel, int screenSize) { return LONG((int64_t(pixel) * 65536 + screenSize - 1) / screenSize); }

void InjectMouse(POINT at, DWORD buttonFlags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = Normalised(at.x, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = Normalised(at.y, GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlags;
    SendInput(1, &input, sizeof(input));
}

void WaitUntil(LONGLONG due) {
    while (Now() < due) {
    }
}

LONGLONG TicksOf(double ms) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return LONGLONG(ms * double(frequency.QuadPart) / 1000.0);
}

// Presses, moves on the performance counter's beat, waits for the last move to be shown (or gives up),
// releases, and ends the loop once the release has had its time.
DWORD WINAPI InjectStroke(void*) {
    Sleep(300);  // the loop is running by now
    InjectMouse(path[0], MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    const LONGLONG start = Now();
    firstMoveAt = start;
    for (size_t i = 1; i < path.size(); ++i) {
        WaitUntil(start + TicksOf(MOVE_INTERVAL_MS * double(i)));
        InjectMouse(path[i], 0);
    }
    lastMoveAt = Now();
    const LONGLONG giveUp = Now() + TicksOf(SHOWN_TIMEOUT_MS);
    while (!lastMoveShown && Now() < giveUp) Sleep(5);
    InjectMouse(path.back(), MOUSEEVENTF_LEFTUP);
    Sleep(1000);
    PostThreadMessageW(loopThread, WM_QUIT, 0, 0);
    return 0;
}

void MakePath() {
    const int cx = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    path.clear();
    for (int i = 0; i <= MOVES; ++i) {
        const double angle = 6.283185307179586 * i / MOVES;
        path.push_back({cx + LONG(std::lround(RADIUS * std::sin(angle))), cy - LONG(std::lround(RADIUS * std::cos(angle)))});
    }
}

// Share of the distinct injected positions found among the samples of the stroke.
double KeptPercent(const Stroke& stroke) {
    std::set<std::pair<int, int>> injected, kept;
    for (size_t i = 1; i < path.size(); ++i) injected.insert({path[i].x, path[i].y});
    for (const InkPoint& point : stroke.points) {
        const std::pair<int, int> at = {int(point.x) + app.canvasLeft, int(point.y) + app.canvasTop};
        if (injected.count(at)) kept.insert(at);
    }
    return 100.0 * double(kept.size()) / double(injected.size());
}

struct Run {
    double pushesPerSecond, keptPercent, lagMs;
};

Run FloodOnce() {
    app.history.clear();
    app.currentTool = Pen;
    RebuildInkLayer();
    PresentRegion(WholeCanvas());
    SetCursorPos(path[0].x + 200, path[0].y);
    // A window just shown takes a moment to be mapped on the screen and to receive input there.
    for (int i = 0; i < 50; ++i) {
        PumpMessages();
        Sleep(10);
    }

    pushMs.clear();
    pushEnds.clear();
    shownAt = 0;
    firstMoveAt = 0;
    lastMoveAt = 0;
    lastMoveShown = false;
    loopThread = GetCurrentThreadId();
    HANDLE injector = CreateThread(nullptr, 0, InjectStroke, nullptr, 0, nullptr);
    RunMessageLoop();
    WaitForSingleObject(injector, INFINITE);
    CloseHandle(injector);

    Run run = {};
    const LONGLONG end = lastMoveShown ? shownAt : Now();
    const auto pushes = std::count_if(pushEnds.begin(), pushEnds.end(),
                                      [&](LONGLONG at) { return at >= firstMoveAt && at <= end; });
    run.pushesPerSecond = double(pushes) * 1000.0 / Milliseconds(end - firstMoveAt);
    run.keptPercent = app.history.empty() ? 0.0 : KeptPercent(app.history.back());
    run.lagMs = lastMoveShown ? Milliseconds(shownAt - lastMoveAt) : SHOWN_TIMEOUT_MS;
    return run;
}

// `prefix` names the figures: "flood_" with the real push, "flood_cheap_push_" with the cheap one.
void FloodCanvas(int width, int height, int runs, const std::string& prefix) {
    UseCanvas(width, height);
    const std::string canvas = std::to_string(width) + "x" + std::to_string(height);
    std::vector<double> perSecond, kept, lag, allPushes;
    // Under Wine without a window manager the first press on a freshly shown window also takes away
    // its mouse capture, which commits that stroke at its first sample; a stroke first, unreported.
    FloodOnce();
    for (int i = 0; i < runs; ++i) {
        const Run run = FloodOnce();
        perSecond.push_back(run.pushesPerSecond);
        kept.push_back(run.keptPercent);
        lag.push_back(run.lagMs);
        allPushes.insert(allPushes.end(), pushMs.begin(), pushMs.end());
        std::printf("%s%s run %d: %.1f pushes/s, %.1f %% of the positions kept (%zu samples in %zu stroke(s)), "
                    "last move shown after %.1f ms%s\n",
                    prefix.c_str(), canvas.c_str(), i + 1, run.pushesPerSecond, run.keptPercent,
                    app.history.empty() ? size_t(0) : app.history.back().points.size(), app.history.size(),
                    run.lagMs, lastMoveShown ? "" : " (never shown: timed out)");
        std::fflush(stdout);
    }
    AddFigure(prefix + "pushes_per_s_" + canvas, SpreadOf(perSecond), "per_s");
    AddFigure(prefix + "samples_kept_pct_" + canvas, SpreadOf(kept), "pct");
    AddFigure(prefix + "lag_ms_" + canvas, SpreadOf(lag));
    AddFigure(prefix + "push_floor_" + canvas, SpreadOf(allPushes));
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    StartBenchProgram();
    ReadFramePeriod();
    MakePath();
    std::printf("%d moves %.1f ms apart around a circle of radius %d px, %d runs a canvas, frames of %.2f ms\n",
                MOVES, MOVE_INTERVAL_MS, RADIUS, runs, double(app.framePeriodUs) / 1000.0);

    app.pUpdateLayeredWindowIndirect = TimedPush;
    FloodCanvas(1920, 1080, runs, "flood_");
    FloodCanvas(3840, 2160, runs, "flood_");
    app.pUpdateLayeredWindowIndirect = CheapPush;
    FloodCanvas(1920, 1080, runs, "flood_cheap_push_");
    const double hz = FrameRateHz();
    AddFigure("frame_rate_hz", {hz, hz, hz}, "hz");

    PrintFigureLines();
    EndBenchProgram();
    return 0;
}
