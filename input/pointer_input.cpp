#include "input/pointer_input.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/display_geometry.h"
#include "input/capture.h"
#include "input/coalesced_input.h"

namespace {

constexpr UINT32 MAX_PEN_PRESSURE = 1024;

struct PointerSample {
    float x;
    float y;
    float pressure;
    bool eraser;
};

// A pen that reports no pressure draws like the mouse; one that does reports its lightest touch as
// 0. Values past the documented top are held at full pressure, so the drawn width stays inside the
// area that capture presents.
float PenPressure(const POINTER_PEN_INFO& penInfo) {
    if (!(penInfo.penMask & PEN_MASK_PRESSURE)) return 0.5f;
    return float(std::min(penInfo.pressure, MAX_PEN_PRESSURE)) * (1.0f / 1024.0f);
}

PointerSample ReadPointerSample(POINTER_INPUT_TYPE type, UINT32 pointerId, LPARAM lParam) {
    // Pointer positions are screen pixels; strokes are in canvas pixels.
    const POINT point = ScreenToCanvas({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    PointerSample sample = {float(point.x), float(point.y), 0.5f, false};

    POINTER_PEN_INFO penInfo = {};
    if (type == PT_PEN && app.pGetPointerPenInfo && app.pGetPointerPenInfo(pointerId, &penInfo)) {
        sample.pressure = PenPressure(penInfo);
        sample.eraser = (penInfo.penFlags & PEN_FLAG_ERASER) != 0;
    }
    return sample;
}

bool OwnsTheStroke(UINT32 pointerId) { return app.penContact && app.contactPointerId == pointerId; }

// The eraser end makes this one stroke an eraser stroke; the selected tool stays as it was.
void BeginPointerStroke(const PointerSample& sample, UINT32 pointerId, LPARAM lParam) {
    const ToolKind selected = app.currentTool;
    if (sample.eraser) app.currentTool = Eraser;
    BeginStroke(sample.x, sample.y, sample.pressure);
    app.currentTool = selected;
    app.penContact = app.drawing;  // no stroke begins in pass-through
    app.contactPointerId = pointerId;
    TakeFirstSample({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))},
                    DWORD(GetMessageTime()));
}

// The pen samples the system merged into this update come first, in the order they were taken.
void ExtendPointerStroke(POINTER_INPUT_TYPE type, UINT32 pointerId, const PointerSample& sample) {
    if (type == PT_PEN) {
        for (const POINTER_PEN_INFO& merged : MergedPenSamples(pointerId)) {
            const POINT point = ScreenToCanvas(merged.pointerInfo.ptPixelLocation);
            ExtendStroke(float(point.x), float(point.y), PenPressure(merged));
        }
    }
    ExtendStroke(sample.x, sample.y, sample.pressure);
}

void EndPointerContact() {
    app.penContact = false;
    EndStroke();
}

}  // namespace

bool HandlePointerMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT32 pointerId = GET_POINTERID_WPARAM(wParam);
    // A contact the default procedure took (a press with the pen's barrel button, which it turns
    // into the right button's press) is its to the end: its lift becomes the right button's
    // release, so the two halves of the right click pair up.
    if (app.contactPassedOn && app.passedOnPointerId == pointerId) {
        if (message == WM_POINTERUP) app.contactPassedOn = false;
        return false;
    }
    POINTER_INPUT_TYPE type = PT_POINTER;
    if (!app.pGetPointerType || !app.pGetPointerType(pointerId, &type) || type == PT_MOUSE) {
        // The owning contact ends with its lift, also one that cannot be classified: otherwise the
        // stroke would stay open and a hovering pen would go on drawing.
        if (message == WM_POINTERUP && OwnsTheStroke(pointerId)) EndPointerContact();
        return false;
    }
    const PointerSample sample = ReadPointerSample(type, pointerId, lParam);

    // A stroke belongs to the contact that began it. While one is in progress, any other contact
    // (a second finger, a palm, a pen beside a mouse stroke) neither extends nor ends it and starts
    // nothing; its messages are still consumed, so none comes back as a mouse message.
    switch (message) {
    case WM_POINTERDOWN:
        if (!IS_POINTER_FIRSTBUTTON_WPARAM(wParam) && !sample.eraser) {
            // The contact that owns the stroke stays this procedure's, so that its lift ends it.
            if (!OwnsTheStroke(pointerId)) {
                app.contactPassedOn = true;
                app.passedOnPointerId = pointerId;
            }
            return false;
        }
        if (!app.drawing) BeginPointerStroke(sample, pointerId, lParam);
        return true;
    case WM_POINTERUPDATE:
        // Consumed also without contact, so a hovering pen produces no mouse messages.
        if (OwnsTheStroke(pointerId)) ExtendPointerStroke(type, pointerId, sample);
        return true;
    default:  // WM_POINTERUP
        if (OwnsTheStroke(pointerId)) EndPointerContact();
        return true;
    }
}

void HandlePointerCaptureLost(UINT32 pointerId) {
    if (OwnsTheStroke(pointerId)) EndPointerContact();
    if (app.contactPassedOn && app.passedOnPointerId == pointerId) app.contactPassedOn = false;
}
