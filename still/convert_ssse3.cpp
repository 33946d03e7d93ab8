// SSSE3 kernels of the colour conversion: 16 pixels a step, bit for bit the tables' result.
//
// Each table entry is floor(k x (i - c) / 1024). With 16-bit lanes this is the high half of the
// product of (i - c) x 64 and k: floor((i - c) x 64 x k / 65536) is the same number, and (i - c) x 64
// and every k fit in a signed 16-bit lane. The sums of luma and chroma terms fit as well, and the
// unsigned saturation of the final pack is the clamp table.
#include <tmmintrin.h>

#include <cstdint>

#include "still/convert_kernels.h"

namespace lumetra::convert {
namespace {

// pshufb masks that spread 16 blue, 16 green and 16 red bytes over 48 bytes of B G R:
// kSpread[part][channel] builds bytes 16 x part to 16 x part + 15 from that channel.
struct SpreadMasks {
    alignas(16) int8_t mask[3][3][16];
};
constexpr SpreadMasks MakeSpreadMasks() {
    SpreadMasks m{};
    for (int part = 0; part < 3; ++part)
        for (int channel = 0; channel < 3; ++channel)
            for (int i = 0; i < 16; ++i) {
                const int byte = 16 * part + i;
                m.mask[part][channel][i] = static_cast<int8_t>(byte % 3 == channel ? byte / 3 : -128);
            }
    return m;
}
constexpr SpreadMasks kSpread = MakeSpreadMasks();

__m128i Mask(int part, int channel) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(kSpread.mask[part][channel]));
}

// floor(k x (lanes - centre) / 1024) for 16-bit lanes holding 0..255.
__m128i Term(__m128i lanes, short centre, short k) {
    const __m128i scaled = _mm_slli_epi16(_mm_sub_epi16(lanes, _mm_set1_epi16(centre)), 6);
    return _mm_mulhi_epi16(scaled, _mm_set1_epi16(k));
}

// The chroma terms of eight U and eight V samples, each repeated for the two pixels sharing it.
struct ChromaTerms {
    __m128i blue[2], green[2], red[2];  // [0] pixels 0..7, [1] pixels 8..15
};
ChromaTerms Chroma(__m128i u, __m128i v) {
    const __m128i blue = Term(u, 128, 2065);
    const __m128i green = _mm_add_epi16(Term(v, 128, 833), Term(u, 128, 401));  // subtracted below
    const __m128i red = Term(v, 128, 1634);
    ChromaTerms t;
    t.blue[0] = _mm_unpacklo_epi16(blue, blue);
    t.blue[1] = _mm_unpackhi_epi16(blue, blue);
    t.green[0] = _mm_unpacklo_epi16(green, green);
    t.green[1] = _mm_unpackhi_epi16(green, green);
    t.red[0] = _mm_unpacklo_epi16(red, red);
    t.red[1] = _mm_unpackhi_epi16(red, red);
    return t;
}

// 16 pixels from their luma (two halves of eight 16-bit lanes) and chroma terms, stored as 48 bytes.
void StorePixels(__m128i yLow, __m128i yHigh, const ChromaTerms& c, uint8_t* dst) {
    const __m128i lumaLow = Term(yLow, 16, 1192), lumaHigh = Term(yHigh, 16, 1192);
    const __m128i b = _mm_packus_epi16(_mm_add_epi16(lumaLow, c.blue[0]), _mm_add_epi16(lumaHigh, c.blue[1]));
    const __m128i g = _mm_packus_epi16(_mm_sub_epi16(lumaLow, c.green[0]), _mm_sub_epi16(lumaHigh, c.green[1]));
    const __m128i r = _mm_packus_epi16(_mm_add_epi16(lumaLow, c.red[0]), _mm_add_epi16(lumaHigh, c.red[1]));
    for (int part = 0; part < 3; ++part) {
        const __m128i bytes = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(b, Mask(part, 0)), _mm_shuffle_epi8(g, Mask(part, 1))),
                                           _mm_shuffle_epi8(r, Mask(part, 2)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 16 * part), bytes);
    }
}

}  // namespace

void Yuy2RowSsse3(const uint8_t* src, uint8_t* dst, int width) {
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    int x = 0;
    for (; x + 16 <= width; x += 16, src += 32, dst += 48) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
        // Y0 U Y1 V: the even bytes are luma, the odd bytes U and V in turn.
        const __m128i yLow = _mm_and_si128(first, lowBytes), yHigh = _mm_and_si128(second, lowBytes);
        const __m128i uv = _mm_packus_epi16(_mm_srli_epi16(first, 8), _mm_srli_epi16(second, 8));
        const ChromaTerms chroma = Chroma(_mm_and_si128(uv, lowBytes), _mm_srli_epi16(uv, 8));
        StorePixels(yLow, yHigh, chroma, dst);
    }
    if (x < width) Yuy2RowScalar(src, dst, width - x);
}

void PlanarRowsSsse3(const uint8_t* y0, const uint8_t* y1, const uint8_t* u, const uint8_t* v, uint8_t* dst0,
                     uint8_t* dst1, int width) {
    const __m128i zero = _mm_setzero_si128();
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m128i uLanes = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(u + x / 2)), zero);
        const __m128i vLanes = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(v + x / 2)), zero);
        const ChromaTerms chroma = Chroma(uLanes, vLanes);
        const __m128i top = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y0 + x));
        const __m128i bottom = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y1 + x));
        StorePixels(_mm_unpacklo_epi8(top, zero), _mm_unpackhi_epi8(top, zero), chroma, dst0 + 3 * x);
        StorePixels(_mm_unpacklo_epi8(bottom, zero), _mm_unpackhi_epi8(bottom, zero), chroma, dst1 + 3 * x);
    }
    if (x < width) PlanarRowsScalar(y0 + x, y1 + x, u + x / 2, v + x / 2, dst0 + 3 * x, dst1 + 3 * x, width - x);
}

}  // namespace lumetra::convert
