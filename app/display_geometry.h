#pragma once
#include <cstdint>
#include <vector>

#include "app/dirty_rect.h"
#include "app/platform.h"

// The monitors as the desktop lays them out, and the one canvas over all of them. Canvas pixel (0, 0)
// lies at desktop position (canvasLeft, canvasTop); strokes and layers are in canvas pixels.

struct MonitorArea {
    DirtyRect rect;  // desktop pixels
    bool primary = false;
};

struct CanvasGeometry {
    int32_t left = 0;  // desktop position of canvas pixel (0, 0)
    int32_t top = 0;
    int32_t width = 0;  // reaches every overlay's right and bottom edge
    int32_t height = 0;
    // One overlay per monitor, in desktop pixels, the primary's first: the monitor less its top row
    // and left column, so that no window ever covers a monitor whole.
    std::vector<DirtyRect> overlays;
};

// One overlay window and the part of the canvas it shows, in desktop pixels.
struct OverlayPane {
    HWND window = nullptr;
    DirtyRect area;
};

// The canvas over `monitors`. At start-up (`before` null) its origin is the overlays' top-left corner;
// afterwards the origin stays where it was, so that ink keeps its desktop place, and moves left or up
// only as far as a monitor now reaches beyond it, in whole steps of `originStep` pixels. Without any
// monitor (the system said nothing) the primary screen's size stands for the primary monitor.
CanvasGeometry LayOutCanvas(const std::vector<MonitorArea>& monitors, const CanvasGeometry* before,
                            int32_t originStep);
// The monitors the system shows now.
std::vector<MonitorArea> ReadMonitors();

// The primary monitor's overlay in desktop pixels, where the toolbar has its preferred place.
DirtyRect PrimaryOverlayArea();
// A desktop position in canvas pixels.
POINT ScreenToCanvas(POINT screen);
