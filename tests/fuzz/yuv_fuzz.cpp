// The stand-in decoder's conversion with picture sizes, buffer lengths and row pitches from outside
// (format headers and sample lengths of whatever connects): it converts only what both buffers hold.
#include "tests/fuzz/fuzz_input.h"
#include "wine-standins/core/yuv.h"

using namespace lumetra;
using namespace lumetra::standins;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const YuvLayout layout = static_cast<YuvLayout>(in.Range(0, 3));
    const int width = in.Range(-4, 600);
    const int height = in.Range(-4, 600);
    const int bitCount = in.Flag() ? 24 : in.Range(0, 40);
    const size_t stride = DibStride(width, bitCount) + static_cast<size_t>(in.Range(-8, 8));
    const size_t dstBytes = static_cast<size_t>(in.Range(0, 600 * 600 * 5));
    // The source is exactly the rest of the input; the destination exactly what it claims.
    std::vector<uint8_t> src = in.Rest();
    std::vector<uint8_t> dst(dstBytes);
    bool converted = YuvToDib(layout, src.data(), src.size(), width, height, dst.data(), dst.size(), stride, bitCount);
    if (converted) {
        FUZZ_CHECK(src.size() >= YuvImageSize(layout, width, height));
        FUZZ_CHECK(bitCount == 24 || bitCount == 32);
    }
    return 0;
}
