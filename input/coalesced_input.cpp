#include "input/coalesced_input.h"

#include <algorithm>

#include "app/app_state.h"
#include "input/capture.h"
#include "input/move_recorder.h"

namespace {

// Both histories hold the last 64 samples.
constexpr int HISTORY_LENGTH = 64;

void TakeSample(POINT screen, DWORD time) {
    app.lastInputPosition = screen;
    app.lastInputTime = time;
}

// Display points come back as unsigned 16-bit values: a position left of or above the primary
// screen reads 65536 minus its distance.
int32_t Signed16(int value) { return value > 32767 ? value - 65536 : value; }

void ExtendWithMove(HWND window, const RecordedSample& move) {
    POINT client = {move.x, move.y};
    ScreenToClient(window, &client);
    ExtendStroke(float(client.x), float(client.y), 0.5f);
    TakeSample({move.x, move.y}, move.time);
}

// The moves before `anchor` (which itself is left out) since the sample last taken, oldest first.
// The anchor is looked up by position and time (positions repeat), in 16-bit positions as the history
// gives them.
void ExtendWithMergedMoves(HWND window, const RecordedSample& anchor) {
    MOUSEMOVEPOINT wanted = {};
    wanted.x = anchor.x & 0xFFFF;
    wanted.y = anchor.y & 0xFFFF;
    wanted.time = anchor.time;
    MOUSEMOVEPOINT found[HISTORY_LENGTH];
    const int count =
        GetMouseMovePointsEx(sizeof(MOUSEMOVEPOINT), &wanted, found, HISTORY_LENGTH, GMMP_USE_DISPLAY_POINTS);
    std::vector<RecordedSample> history;
    for (int i = 0; i < count; ++i) history.push_back({Signed16(found[i].x), Signed16(found[i].y), found[i].time});
    for (size_t i = CountSamplesSince(history, app.lastInputPosition, app.lastInputTime); i >= 1; --i) {
        ExtendWithMove(window, history[i]);
    }
}

}  // namespace

size_t CountSamplesSince(const std::vector<RecordedSample>& newestFirst, POINT lastPosition, DWORD lastTime) {
    size_t count = 0;
    for (size_t i = 1; i < newestFirst.size(); ++i) {
        const RecordedSample& sample = newestFirst[i];
        const LONG age = LONG(sample.time - lastTime);
        if (age < 0) break;
        if (age == 0 && sample.x == lastPosition.x && sample.y == lastPosition.y) break;
        count = i;
    }
    return count;
}

void TakeFirstSample(POINT screen, DWORD time) { TakeSample(screen, time); }

void ExtendMouseStroke(HWND window, LPARAM lParam) {
    const POINT client = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    POINT screen = client;
    ClientToScreen(window, &screen);

    // The recorder sees every move from the moment its hook is set; what came before (and every move
    // of a stroke the hook could not watch) is found in the system's history, back to the sample last
    // taken. A message whose moves the recorder holds is followed by them, its own position included.
    std::vector<RecordedSample> recorded;
    TakeRecordedMoves(recorded);
    const RecordedSample anchor = recorded.empty() ? RecordedSample{screen.x, screen.y, DWORD(GetMessageTime())}
                                                   : recorded.front();
    // A shape runs from its press to where the pointer is now: the moves on the way change nothing, and
    // drawing it for each would cost a whole shape each time.
    if (app.currentStroke.shape != StrokeShape::Freehand) {
        ExtendWithMove(window, recorded.empty() ? anchor : recorded.back());
        return;
    }
    ExtendWithMergedMoves(window, anchor);
    for (const RecordedSample& move : recorded) {
        if (LONG(move.time - app.lastInputTime) < 0) continue;  // taken from the history already
        ExtendWithMove(window, move);
    }
    if (recorded.empty()) ExtendWithMove(window, anchor);
}

void ExtendWithRecordedMoves(HWND window, DWORD time) {
    std::vector<RecordedSample> recorded;
    TakeRecordedMoves(recorded);
    for (const RecordedSample& move : recorded) {
        if (LONG(move.time - app.lastInputTime) < 0 || LONG(move.time - time) > 0) continue;
        ExtendWithMove(window, move);
    }
}

std::vector<POINTER_PEN_INFO> MergedPenSamples(UINT32 pointerId) {
    if (!app.pGetPointerPenInfoHistory) return {};
    POINTER_PEN_INFO entries[HISTORY_LENGTH];
    UINT32 available = HISTORY_LENGTH;
    if (!app.pGetPointerPenInfoHistory(pointerId, &available, entries) || available == 0) return {};

    // The count reports every entry the system holds, which may be more than were asked for.
    const size_t count = std::min<size_t>(available, HISTORY_LENGTH);
    std::vector<RecordedSample> history;
    for (size_t i = 0; i < count; ++i) {
        const POINTER_INFO& pointer = entries[i].pointerInfo;
        history.push_back({pointer.ptPixelLocation.x, pointer.ptPixelLocation.y, pointer.dwTime});
    }
    std::vector<POINTER_PEN_INFO> merged;
    for (size_t i = CountSamplesSince(history, app.lastInputPosition, app.lastInputTime); i >= 1; --i) {
        merged.push_back(entries[i]);
    }
    TakeSample(entries[0].pointerInfo.ptPixelLocation, entries[0].pointerInfo.dwTime);
    return merged;
}
