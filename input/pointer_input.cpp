#include "input/pointer_input.h"

#include <algorithm>

#include "app/app_state.h"
#include "input/capture.h"

namespace {

constexpr UINT32 MAX_PEN_PRESSURE = 1024;

struct PointerSample {
    float x;
    float y;
    float pressure;
    bool eraser;
};

PointerSample ReadPointerSample(HWND window, POINTER_INPUT_TYPE type, UINT32 pointerId, LPARAM lParam) {
    // Pointer positions are screen pixels; strokes are in canvas (client) pixels.
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ScreenToClient(window, &point);
    PointerSample sample = {float(point.x), float(point.y), 0.5f, false};

    POINTER_PEN_INFO penInfo = {};
    if (type == PT_PEN && app.pGetPointerPenInfo && app.pGetPointerPenInfo(pointerId, &penInfo)) {
        // A pen that reports no pressure draws like the mouse. Values past the documented top are
        // held at full pressure, so the drawn width stays inside the area that capture presents.
        if (penInfo.pressure != 0) {
            sample.pressure = float(std::min(penInfo.pressure, MAX_PEN_PRESSURE)) * (1.0f / 1024.0f);
        }
        sample.eraser = (penInfo.penFlags & PEN_FLAG_ERASER) != 0;
    }
    return sample;
}

// The eraser end makes this one stroke an eraser stroke; the selected tool stays as it was.
void BeginPointerStroke(const PointerSample& sample) {
    app.penContact = true;
    const ToolKind selected = app.currentTool;
    if (sample.eraser) app.currentTool = Eraser;
    BeginStroke(sample.x, sample.y, sample.pressure);
    app.currentTool = selected;
}

void EndPointerContact() {
    app.penContact = false;
    EndStroke();
}

}  // namespace

LRESULT HandlePointerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT32 pointerId = GET_POINTERID_WPARAM(wParam);
    POINTER_INPUT_TYPE type = PT_POINTER;
    if (!app.pGetPointerType || !app.pGetPointerType(pointerId, &type) || type == PT_MOUSE) {
        // A contact ends with any lift, also one that cannot be classified: otherwise the stroke
        // would stay open and a hovering pen would go on drawing.
        if (message == WM_POINTERUP && app.penContact) EndPointerContact();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const PointerSample sample = ReadPointerSample(window, type, pointerId, lParam);

    switch (message) {
    case WM_POINTERDOWN:
        if (!IS_POINTER_FIRSTBUTTON_WPARAM(wParam) && !sample.eraser) {
            return DefWindowProcW(window, message, wParam, lParam);
        }
        BeginPointerStroke(sample);
        return 0;
    case WM_POINTERUPDATE:
        // Consumed also without contact, so a hovering pen produces no mouse messages.
        if (app.penContact) ExtendStroke(sample.x, sample.y, sample.pressure);
        return 0;
    default:  // WM_POINTERUP
        EndPointerContact();
        return 0;
    }
}

void HandlePointerCaptureLost() {
    if (app.penContact) EndPointerContact();
}
