#include "ink/ink_steps.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "app/app_state.h"
#include "ink/ink_floor.h"
#include "ink/surfaces.h"

namespace {

size_t SampleBytes(const Stroke& stroke) { return stroke.points.capacity() * sizeof(InkPoint); }
size_t UndoBytes(const Stroke& stroke) { return stroke.undoPixels.capacity() * sizeof(uint32_t); }

size_t LayerBytes(const PixelLayer& layer) { return layer.bits ? size_t(layer.width) * size_t(layer.height) * 4 : 0; }

size_t ClearBytes(const ClearedInk& cleared) {
    size_t bytes = LayerBytes(cleared.taken) + SnapshotBytes(cleared.ink) + SnapshotBytes(cleared.floor);
    for (const Stroke& stroke : cleared.strokes) bytes += SampleBytes(stroke) + UndoBytes(stroke);
    return bytes;
}

size_t RecordBytes() {
    size_t bytes = app.inkKeeping.historyBytes;
    for (const ClearedInk& cleared : app.clears) bytes += cleared.bytes;
    for (const RedoStep& step : app.redoSteps) bytes += SampleBytes(step.stroke);
    return bytes;
}

void Append(Stroke stroke) {
    app.history.push_back(std::move(stroke));
    AccountUndoPixels(app.history.back(), +1);
    if (app.history.size() > MAX_HISTORY_STROKES) {
        // Its ink stays on the screen, under every replay, and no undo reaches it: nor any clear
        // before it.
        AccountUndoPixels(app.history.front(), -1);
        DropIntoInkFloor(app.history.front());
        app.history.erase(app.history.begin());
        ForgetOldestClears(app.clears.size());
    }
    TrimUndoPixels(app.undoBudgetBytes);
}

}  // namespace

void AppendToHistory(Stroke stroke) {
    ForgetRedo();
    Append(std::move(stroke));
}

void ReturnToHistory(Stroke stroke) { Append(std::move(stroke)); }

Stroke TakeNewestStroke() {
    Stroke stroke = std::move(app.history.back());
    app.history.pop_back();
    AccountUndoPixels(stroke, -1);
    return stroke;
}

void KeepClear(PixelLayer taken, bool inkKept) {
    ClearedInk cleared;
    cleared.strokes.swap(app.history);
    app.inkKeeping.historyBytes = 0;
    cleared.taken = taken;
    cleared.inkKept = inkKept;
    cleared.floor = TakeInkFloor();
    cleared.layerWidth = app.inkPixels.width;
    cleared.layerHeight = app.inkPixels.height;
    cleared.bytes = ClearBytes(cleared);
    app.clears.push_back(std::move(cleared));
}

void CompactKeptClears() {
    bool compacted = false;
    for (ClearedInk& cleared : app.clears) {
        if (!cleared.taken.bits) continue;
        cleared.ink = TakePixelSnapshot(cleared.taken);
        ReuseAsTransparentInkLayer(cleared.taken, cleared.ink);
        cleared.taken = {};
        cleared.bytes = ClearBytes(cleared);
        compacted = true;
    }
    if (compacted) TrimUndoPixels(app.undoBudgetBytes);
}

ClearedInk TakeNewestClear() {
    ClearedInk cleared = std::move(app.clears.back());
    app.clears.pop_back();
    PutBackInkFloor(cleared.floor);
    cleared.floor = {};
    app.history.swap(cleared.strokes);
    for (const Stroke& stroke : app.history) AccountUndoPixels(stroke, +1);
    return cleared;
}

void ForgetRedo() { app.redoSteps.clear(); }

void ForgetOldestClears(size_t count) {
    count = std::min(count, app.clears.size());
    // The ink layer a clear took is memory of our own, not the record's.
    for (size_t i = 0; i < count; ++i) ReleasePixelLayer(app.clears[i].taken);
    app.clears.erase(app.clears.begin(), app.clears.begin() + ptrdiff_t(count));
}

void TrimUndoPixels(size_t budget) {
    size_t total = RecordBytes();
    if (total <= budget) return;
    // Oldest first: the kept clears, then the strokes of the history. Without pixels a record is still
    // undone right, by a replay.
    for (ClearedInk& cleared : app.clears) {
        for (Stroke& stroke : cleared.strokes) {
            if (total <= budget) return;
            const size_t bytes = UndoBytes(stroke);
            total -= bytes;
            cleared.bytes -= bytes;
            DropUndoPixels(stroke, false);
        }
        if (total <= budget) return;
        const size_t bytes = LayerBytes(cleared.taken) + SnapshotBytes(cleared.ink);
        total -= bytes;
        cleared.bytes -= bytes;
        ReleasePixelLayer(cleared.taken);
        cleared.ink = {};
        cleared.inkKept = false;
    }
    for (Stroke& stroke : app.history) {
        if (total <= budget) return;
        if (!stroke.undoKept) continue;
        total -= UndoBytes(stroke);
        DropUndoPixels(stroke, true);
    }
    // Even their samples are too many: Ctrl+Z stops before the oldest clears.
    size_t forgotten = 0;
    while (forgotten < app.clears.size() && total > budget) total -= app.clears[forgotten++].bytes;
    ForgetOldestClears(forgotten);
}
