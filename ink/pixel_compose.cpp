#include "ink/pixel_compose.h"

#include <emmintrin.h>

#include <algorithm>

uint32_t ScalePixel(uint32_t pixel, uint32_t scale) {
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        result |= Div255(((pixel >> shift) & 0xFF) * scale) << shift;
    }
    return result;
}

uint32_t OverPixel(uint32_t source, uint32_t destination) {
    const uint32_t keep = 255 - (source >> 24);
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        // Saturated: a source whose colour exceeds its alpha must not wrap around.
        const uint32_t sum = ((source >> shift) & 0xFF) + Div255(((destination >> shift) & 0xFF) * keep);
        result |= std::min(sum, 255u) << shift;
    }
    return result;
}

void ComposePixelsScalar(uint32_t* frame, int32_t frameWidth, const DirtyRect& rect, uint32_t ground,
                         const ComposeLayer* layers, int layerCount, const PixelLayer* onlyWhere) {
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        uint32_t* out = frame + size_t(y) * size_t(frameWidth);
        for (int32_t x = rect.left; x < rect.right; ++x) {
            if (onlyWhere && *PixelAt(*onlyWhere, x, y) == 0) continue;
            uint32_t pixel = ground;
            for (int i = 0; i < layerCount; ++i) {
                uint32_t source = *PixelAt(*layers[i].layer, x, y);
                if (layers[i].scale != 255) source = ScalePixel(source, layers[i].scale);
                pixel = OverPixel(source, pixel);
            }
            out[x] = pixel;
        }
    }
}

namespace {

const __m128i ALPHA_MASK = _mm_set1_epi32(int(0xFF000000u));

// Per 16-bit lane, round(x / 255) for x up to 255 * 255, as Div255.
inline __m128i Div255x8(__m128i x) {
    const __m128i t = _mm_add_epi16(x, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// Every byte times the matching byte of `factor`, divided by 255 and rounded.
inline __m128i MultiplyBytes(__m128i value, __m128i factor) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(value, zero), _mm_unpacklo_epi8(factor, zero)));
    const __m128i high = Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(value, zero), _mm_unpackhi_epi8(factor, zero)));
    return _mm_packus_epi16(low, high);
}

inline __m128i Over4(__m128i source, __m128i destination) {
    __m128i alpha = _mm_srli_epi32(source, 24);
    alpha = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 8));
    alpha = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16));
    const __m128i keep = _mm_xor_si128(alpha, _mm_set1_epi32(-1));
    return _mm_adds_epu8(source, MultiplyBytes(destination, keep));
}

inline bool AllZero(__m128i pixels) {
    return _mm_movemask_epi8(_mm_cmpeq_epi32(pixels, _mm_setzero_si128())) == 0xFFFF;
}

inline bool AllOpaque(__m128i pixels) {
    return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(pixels, ALPHA_MASK), ALPHA_MASK)) == 0xFFFF;
}

struct RowLayers {
    const uint32_t* rows[4];
    __m128i scales[4];
    const ComposeLayer* layers;
    int count;
};

inline __m128i Compose4(const RowLayers& row, int32_t x, __m128i pixels) {
    for (int i = 0; i < row.count; ++i) {
        __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row.rows[i] + x));
        if (AllZero(source)) continue;
        if (row.layers[i].scale != 255) source = MultiplyBytes(source, row.scales[i]);
        pixels = AllOpaque(source) ? source : Over4(source, pixels);
    }
    return pixels;
}

// Stores four composed pixels, except where `onlyWhere` (if given) is empty: those keep their value.
inline void Store4(uint32_t* out, __m128i pixels, const uint32_t* onlyWhere) {
    if (onlyWhere) {
        const __m128i keep = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(onlyWhere)),
                                             _mm_setzero_si128());
        const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out));
        pixels = _mm_or_si128(_mm_and_si128(keep, old), _mm_andnot_si128(keep, pixels));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), pixels);
}

void ComposeRow(uint32_t* out, int32_t x, int32_t right, int32_t y, uint32_t ground, const ComposeLayer* layers,
                int layerCount, const uint32_t* onlyWhere) {
    const __m128i ground4 = _mm_set1_epi32(int(ground));
    RowLayers row;
    row.layers = layers;
    row.count = layerCount;
    for (int i = 0; i < layerCount; ++i) {
        row.rows[i] = PixelAt(*layers[i].layer, 0, y);
        row.scales[i] = _mm_set1_epi8(char(layers[i].scale));
    }
    // Mostly every layer is transparent (the ground shows) or holds opaque ink; only the rest is
    // blended. Eight pixels at a time that are empty in every layer cost one test.
    for (; x + 8 <= right; x += 8) {
        // Eight pixels where the picture that changed is empty keep what the frame shows.
        if (onlyWhere && AllZero(_mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(onlyWhere + x)),
                                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(onlyWhere + x + 4))))) {
            continue;
        }
        __m128i any = _mm_setzero_si128();
        for (int i = 0; i < layerCount; ++i) {
            any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i*>(row.rows[i] + x)));
            any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i*>(row.rows[i] + x + 4)));
        }
        const uint32_t* where = onlyWhere ? onlyWhere + x : nullptr;
        if (AllZero(any)) {
            Store4(out + x, ground4, where);
            Store4(out + x + 4, ground4, where ? where + 4 : nullptr);
            continue;
        }
        Store4(out + x, Compose4(row, x, ground4), where);
        Store4(out + x + 4, Compose4(row, x + 4, ground4), where ? where + 4 : nullptr);
    }
    for (; x + 4 <= right; x += 4) Store4(out + x, Compose4(row, x, ground4), onlyWhere ? onlyWhere + x : nullptr);
    for (; x < right; ++x) {
        if (onlyWhere && onlyWhere[x] == 0) continue;
        uint32_t pixel = ground;
        for (int i = 0; i < layerCount; ++i) {
            uint32_t source = row.rows[i][x];
            if (layers[i].scale != 255) source = ScalePixel(source, layers[i].scale);
            pixel = OverPixel(source, pixel);
        }
        out[x] = pixel;
    }
}

}  // namespace

void ComposePixels(uint32_t* frame, int32_t frameWidth, const DirtyRect& rect, uint32_t ground,
                   const ComposeLayer* layers, int layerCount, const PixelLayer* onlyWhere) {
    layerCount = std::min(layerCount, 4);
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        ComposeRow(frame + size_t(y) * size_t(frameWidth), rect.left, rect.right, y, ground, layers, layerCount,
                   onlyWhere ? PixelAt(*onlyWhere, 0, y) : nullptr);
    }
}
