// AVX2 kernels of the colour conversion: 32 pixels a step, the same arithmetic as the SSSE3
// kernels (see there). AVX2 works in two 128-bit halves, so the inputs are arranged to put
// pixels 0..15 in the low half and 16..31 in the high half; the 96 output bytes are put back in
// order when stored.
#include <immintrin.h>

#include <cstdint>

#include "still/convert_kernels.h"

namespace lumetra::convert {
namespace {

struct SpreadMasks {
    alignas(32) int8_t mask[3][3][32];
};
constexpr SpreadMasks MakeSpreadMasks() {
    SpreadMasks m{};
    for (int part = 0; part < 3; ++part)
        for (int channel = 0; channel < 3; ++channel)
            for (int i = 0; i < 32; ++i) {
                const int byte = 16 * part + i % 16;  // the same mask in both halves
                m.mask[part][channel][i] = static_cast<int8_t>(byte % 3 == channel ? byte / 3 : -128);
            }
    return m;
}
constexpr SpreadMasks kSpread = MakeSpreadMasks();

__m256i Mask(int part, int channel) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(kSpread.mask[part][channel]));
}

__m256i Term(__m256i lanes, short centre, short k) {
    const __m256i scaled = _mm256_slli_epi16(_mm256_sub_epi16(lanes, _mm256_set1_epi16(centre)), 6);
    return _mm256_mulhi_epi16(scaled, _mm256_set1_epi16(k));
}

struct ChromaTerms {
    __m256i blue[2], green[2], red[2];  // per half: [0] its pixels 0..7, [1] its pixels 8..15
};
ChromaTerms Chroma(__m256i u, __m256i v) {
    const __m256i blue = Term(u, 128, 2065);
    const __m256i green = _mm256_add_epi16(Term(v, 128, 833), Term(u, 128, 401));
    const __m256i red = Term(v, 128, 1634);
    ChromaTerms t;
    t.blue[0] = _mm256_unpacklo_epi16(blue, blue);
    t.blue[1] = _mm256_unpackhi_epi16(blue, blue);
    t.green[0] = _mm256_unpacklo_epi16(green, green);
    t.green[1] = _mm256_unpackhi_epi16(green, green);
    t.red[0] = _mm256_unpacklo_epi16(red, red);
    t.red[1] = _mm256_unpackhi_epi16(red, red);
    return t;
}

void StorePixels(__m256i yLow, __m256i yHigh, const ChromaTerms& c, uint8_t* dst) {
    const __m256i lumaLow = Term(yLow, 16, 1192), lumaHigh = Term(yHigh, 16, 1192);
    const __m256i b = _mm256_packus_epi16(_mm256_add_epi16(lumaLow, c.blue[0]), _mm256_add_epi16(lumaHigh, c.blue[1]));
    const __m256i g = _mm256_packus_epi16(_mm256_sub_epi16(lumaLow, c.green[0]), _mm256_sub_epi16(lumaHigh, c.green[1]));
    const __m256i r = _mm256_packus_epi16(_mm256_add_epi16(lumaLow, c.red[0]), _mm256_add_epi16(lumaHigh, c.red[1]));
    __m256i part[3];
    for (int i = 0; i < 3; ++i)
        part[i] = _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(b, Mask(i, 0)), _mm256_shuffle_epi8(g, Mask(i, 1))),
                                  _mm256_shuffle_epi8(r, Mask(i, 2)));
    // Low halves hold bytes 0..47 in three parts, high halves bytes 48..95.
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_permute2x128_si256(part[0], part[1], 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 32), _mm256_permute2x128_si256(part[2], part[0], 0x30));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 64), _mm256_permute2x128_si256(part[1], part[2], 0x31));
}

}  // namespace

void Yuy2RowAvx2(const uint8_t* src, uint8_t* dst, int width) {
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    int x = 0;
    for (; x + 32 <= width; x += 32, src += 64, dst += 96) {
        const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));        // pixels 0..15
        const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 32));  // pixels 16..31
        const __m256i low = _mm256_permute2x128_si256(first, second, 0x20);    // pixels 0..7 | 16..23
        const __m256i high = _mm256_permute2x128_si256(first, second, 0x31);   // pixels 8..15 | 24..31
        const __m256i uv = _mm256_packus_epi16(_mm256_srli_epi16(low, 8), _mm256_srli_epi16(high, 8));
        const ChromaTerms chroma = Chroma(_mm256_and_si256(uv, lowBytes), _mm256_srli_epi16(uv, 8));
        StorePixels(_mm256_and_si256(low, lowBytes), _mm256_and_si256(high, lowBytes), chroma, dst);
    }
    if (x < width) Yuy2RowSsse3(src, dst, width - x);
}

void PlanarRowsAvx2(const uint8_t* y0, const uint8_t* y1, const uint8_t* u, const uint8_t* v, uint8_t* dst0,
                    uint8_t* dst1, int width) {
    const __m256i zero = _mm256_setzero_si256();
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        // Sixteen chroma samples widen in order: the low half serves pixels 0..15, the high half 16..31.
        const __m256i uLanes = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(u + x / 2)));
        const __m256i vLanes = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v + x / 2)));
        const ChromaTerms chroma = Chroma(uLanes, vLanes);
        const __m256i top = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y0 + x));
        const __m256i bottom = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y1 + x));
        StorePixels(_mm256_unpacklo_epi8(top, zero), _mm256_unpackhi_epi8(top, zero), chroma, dst0 + 3 * x);
        StorePixels(_mm256_unpacklo_epi8(bottom, zero), _mm256_unpackhi_epi8(bottom, zero), chroma, dst1 + 3 * x);
    }
    if (x < width) PlanarRowsSsse3(y0 + x, y1 + x, u + x / 2, v + x / 2, dst0 + 3 * x, dst1 + 3 * x, width - x);
}

}  // namespace lumetra::convert
