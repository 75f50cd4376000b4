#include "support/pixels.h"

#include <cstdlib>
#include <utility>

Stroke MakeStroke(ToolKind tool, float width, std::vector<InkPoint> points, COLORREF colour) {
    Stroke stroke;
    stroke.tool = tool;
    stroke.colour = colour;
    stroke.width = width;
    stroke.points = std::move(points);
    return stroke;
}

uint32_t Premultiplied(uint32_t argb) {
    const uint32_t a = argb >> 24;
    auto channel = [a](uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (channel((argb >> 16) & 0xFF) << 16) | (channel((argb >> 8) & 0xFF) << 8) |
           channel(argb & 0xFF);
}

uint32_t Over(uint32_t source, uint32_t destination) {
    const uint32_t keep = 255 - (source >> 24);
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t s = (source >> shift) & 0xFF;
        const uint32_t d = (destination >> shift) & 0xFF;
        result |= (s + (d * keep + 127) / 255) << shift;
    }
    return result;
}

::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int difference = int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF);
        if (std::abs(difference) > tolerance) {
            return ::testing::AssertionFailure()
                   << std::hex << "pixel 0x" << actual << " is not near 0x" << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

std::vector<uint32_t> BitmapPixels(Gdiplus::Bitmap& bitmap, int width, int height) {
    if (width <= 0) width = static_cast<int>(bitmap.GetWidth());
    if (height <= 0) height = static_cast<int>(bitmap.GetHeight());
    std::vector<uint32_t> pixels(size_t(width) * height);
    Gdiplus::Rect area(0, 0, width, height);
    Gdiplus::BitmapData data = {};
    data.Width = width;
    data.Height = height;
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = pixels.data();
    bitmap.LockBits(&area, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                    PixelFormat32bppPARGB, &data);
    bitmap.UnlockBits(&data);
    return pixels;
}
