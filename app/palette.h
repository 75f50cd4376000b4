#pragma once
#include <cstdint>

#include "app/platform.h"

enum ToolKind : int32_t {
    Pen = 0,
    Highlighter = 1,
    Laser = 2,
    Eraser = 3,
};

// Base widths in pixels; how a tool and the pen pressure scale them is the renderer's business.
inline constexpr float StrokeWidths[3] = {3.0f, 6.0f, 12.0f};

// COLORREF (0x00BBGGRR), in key and swatch order.
inline constexpr COLORREF Palette[8] = {
    0x004444EF,  // red
    0x001673F9,  // orange
    0x0015CCFA,  // yellow
    0x005EC522,  // green
    0x00F6823B,  // blue
    0x00F755A8,  // purple
    0x00000000,  // black
    0x00FFFFFF,  // white
};

// Colours are kept as COLORREF and become GDI+ ARGB only when drawn: red and blue swap places.
constexpr uint32_t ColourToArgb(COLORREF colour, uint8_t alpha) {
    return (uint32_t(alpha) << 24) | ((colour & 0xFFu) << 16) | (colour & 0xFF00u) |
           ((colour >> 16) & 0xFFu);
}
