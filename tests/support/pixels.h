#pragma once
// Small helpers for tests that build strokes and compare premultiplied pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/platform.h"
#include "ink/stroke.h"

Stroke MakeStroke(ToolKind tool, float width, std::vector<InkPoint> points, COLORREF colour);

// Premultiplied ARGB of a straight colour, the way a PARGB bitmap stores it.
uint32_t Premultiplied(uint32_t argb);
// Premultiplied source over premultiplied destination.
uint32_t Over(uint32_t source, uint32_t destination);
// Every channel within the tolerance.
::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tolerance = 1);

// The premultiplied pixels of a bitmap, row after row; of its top-left width x height part when given.
std::vector<uint32_t> BitmapPixels(Gdiplus::Bitmap& bitmap, int width = 0, int height = 0);
