#pragma once
// Row kernels of the colour conversion, one set per instruction set. Internal to the conversion:
// color_convert.cpp walks the frame and calls them. Kept free of inline library code, because the
// vector kernels' files are compiled for instruction sets the processor may lack.
#include <cstdint>

namespace lumetra::convert {

// One YUY2 row of width pixels (even) to width x 3 bytes of B G R.
using Yuy2RowFn = void (*)(const uint8_t* src, uint8_t* dst, int width);
// Two rows of a planar 4:2:0 frame that share one row of U and of V: width pixels each (even).
using PlanarRowsFn = void (*)(const uint8_t* y0, const uint8_t* y1, const uint8_t* u, const uint8_t* v,
                              uint8_t* dst0, uint8_t* dst1, int width);

// The reference: the tables, pixel by pixel.
void Yuy2RowScalar(const uint8_t* src, uint8_t* dst, int width);
void PlanarRowsScalar(const uint8_t* y0, const uint8_t* y1, const uint8_t* u, const uint8_t* v, uint8_t* dst0,
                      uint8_t* dst1, int width);

// SSSE3: 16 pixels a step, the rest of a row by the reference.
void Yuy2RowSsse3(const uint8_t* src, uint8_t* dst, int width);
void PlanarRowsSsse3(const uint8_t* y0, const uint8_t* y1, const uint8_t* u, const uint8_t* v, uint8_t* dst0,
                     uint8_t* dst1, int width);

// AVX2: 32 pixels a step, the rest of a row by the SSSE3 kernels.
void Yuy2RowAvx2(const uint8_t* src, uint8_t* dst, int width);
void PlanarRowsAvx2(const uint8_t* y0, const uint8_t* y1, const uint8_t* u, const uint8_t* v, uint8_t* dst0,
                    uint8_t* dst1, int width);

}  // namespace lumetra::convert
