#include "input/coalesced_input.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/display_geometry.h"
#include "input/capture.h"
#include "input/move_recorder.h"

namespace {

// Both histories hold the last 64 samples.
constexpr int HISTORY_LENGTH = 64;

bool SameSample(const RecordedSample& a, const RecordedSample& b) {
    return a.x == b.x && a.y == b.y && a.time == b.time;
}

// Times wrap after 49.7 days; the difference says which of two samples is older.
bool OlderThan(const RecordedSample& sample, const RecordedSample& than) {
    return LONG(sample.time - than.time) < 0;
}

// Display points come back as unsigned 16-bit values: a position left of or above the primary
// screen reads 65536 minus its distance.
int32_t Signed16(int value) { return value > 32767 ? value - 65536 : value; }

void ExtendWithMove(const RecordedSample& move) {
    const POINT canvas = ScreenToCanvas({move.x, move.y});
    ExtendStroke(float(canvas.x), float(canvas.y), 0.5f);
}

// Takes the moves of one mouse message (`message` null at the release) into the stroke.
void TakeMouseMoves(const RecordedSample* message) {
    std::vector<RecordedSample> recorded;
    TakeRecordedMoves(recorded);
    RecordedSample anchor;
    std::vector<RecordedSample> history;
    if (HistoryAnchor(app.takenInput, message, recorded, anchor)) {
        // Back from the recorder's first move, the recorder read it while it was fresh.
        if (!recorded.empty()) TakeHistoryAtFirstMove(history);
        if (history.empty()) history = MouseHistoryAt(anchor);
    }
    const std::vector<RecordedSample> moves = MergeMoves(app.takenInput, message, recorded, history);
    // A shape runs from its press to where the pointer is now: the moves on the way change nothing, and
    // drawing it for each would cost a whole shape each time.
    if (app.currentStroke.shape != StrokeShape::Freehand) {
        if (!moves.empty()) ExtendWithMove(moves.back());
        return;
    }
    for (const RecordedSample& move : moves) ExtendWithMove(move);
}

}  // namespace

std::vector<RecordedSample> MouseHistoryAt(const RecordedSample& anchor) {
    MOUSEMOVEPOINT wanted = {};
    wanted.x = anchor.x & 0xFFFF;
    wanted.y = anchor.y & 0xFFFF;
    wanted.time = anchor.time;
    MOUSEMOVEPOINT found[HISTORY_LENGTH];
    const int count =
        GetMouseMovePointsEx(sizeof(MOUSEMOVEPOINT), &wanted, found, HISTORY_LENGTH, GMMP_USE_DISPLAY_POINTS);
    std::vector<RecordedSample> history;
    for (int i = 0; i < count; ++i) history.push_back({Signed16(found[i].x), Signed16(found[i].y), found[i].time});
    return history;
}

std::vector<size_t> EntriesSince(const std::vector<RecordedSample>& newestFirst, const RecordedSample& last) {
    std::vector<size_t> since;
    for (size_t i = 0; i < newestFirst.size(); ++i) {
        const RecordedSample& entry = newestFirst[i];
        if (SameSample(entry, last) || OlderThan(entry, last)) break;
        // The newer of two alike neighbours stands for both.
        if (!since.empty() && SameSample(entry, newestFirst[since.back()])) continue;
        since.push_back(i);
    }
    std::reverse(since.begin(), since.end());
    return since;
}

bool HistoryAnchor(const TakenInput& taken, const RecordedSample* message,
                   const std::vector<RecordedSample>& recorded, RecordedSample& anchor) {
    if (taken.recorderTookOver) return false;
    if (!recorded.empty()) {
        anchor = recorded.front();
        return true;
    }
    if (!message) return false;
    anchor = *message;
    return true;
}

std::vector<RecordedSample> MergeMoves(TakenInput& taken, const RecordedSample* message,
                                       const std::vector<RecordedSample>& recorded,
                                       const std::vector<RecordedSample>& history) {
    std::vector<RecordedSample> moves;
    RecordedSample anchor;
    if (HistoryAnchor(taken, message, recorded, anchor)) {
        // Where the system does not know the anchor, the anchor alone is what it has.
        const std::vector<RecordedSample> back = history.empty() ? std::vector<RecordedSample>{anchor} : history;
        for (size_t i : EntriesSince(back, taken.last)) {
            // The recorder's first move comes with the recorder's moves, below.
            if (i == 0 && !recorded.empty()) continue;
            moves.push_back(back[i]);
        }
    }
    if (!recorded.empty()) {
        moves.insert(moves.end(), recorded.begin(), recorded.end());
        taken.recorderTookOver = true;
    }
    if (!moves.empty()) taken.last = moves.back();
    return moves;
}

void TakeFirstSample(POINT screen, DWORD time) { app.takenInput = {{screen.x, screen.y, time}, false}; }

void ExtendMouseStroke(HWND window, LPARAM lParam) {
    POINT screen = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(window, &screen);
    const RecordedSample message = {screen.x, screen.y, DWORD(GetMessageTime())};
    TakeMouseMoves(&message);
}

void ExtendWithRecordedMoves() { TakeMouseMoves(nullptr); }

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
    const std::vector<size_t> since = EntriesSince(history, app.takenInput.last);
    std::vector<POINTER_PEN_INFO> merged;
    for (size_t i : since) {
        if (i != 0) merged.push_back(entries[i]);
    }
    // An update already taken, or behind what was taken, leaves the sample last taken as it is.
    if (!since.empty() && since.back() == 0) app.takenInput.last = history[0];
    return merged;
}
