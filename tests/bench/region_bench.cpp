// Region building from mask images: the default skin's mask and a worst case of alternating pixels.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "skin/region_runs.h"

namespace {

// Reads a 24-bit bottom-up BMP into top-down 0x00RRGGBB pixels (enough for the skin's masks).
bool ReadBmp24(const std::string& path, std::vector<uint32_t>& pixels, int& width, int& height) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    unsigned char header[54];
    bool ok = std::fread(header, 1, sizeof header, f) == sizeof header && header[0] == 'B' && header[1] == 'M';
    auto u32 = [&](int at) { return uint32_t(header[at]) | uint32_t(header[at + 1]) << 8 | uint32_t(header[at + 2]) << 16 | uint32_t(header[at + 3]) << 24; };
    if (ok) {
        width = static_cast<int>(u32(18));
        height = static_cast<int>(u32(22));
        ok = header[28] == 24 && width > 0 && height > 0;
    }
    if (ok) {
        std::fseek(f, static_cast<long>(u32(10)), SEEK_SET);
        int rowBytes = (width * 3 + 3) & ~3;
        std::vector<unsigned char> row(static_cast<size_t>(rowBytes));
        pixels.assign(static_cast<size_t>(width) * height, 0);
        for (int y = height - 1; y >= 0 && ok; --y) {
            ok = std::fread(row.data(), 1, row.size(), f) == row.size();
            for (int x = 0; x < width; ++x)
                pixels[static_cast<size_t>(y) * width + x] =
                    uint32_t(row[x * 3]) | uint32_t(row[x * 3 + 1]) << 8 | uint32_t(row[x * 3 + 2]) << 16;
        }
    }
    std::fclose(f);
    return ok;
}

void Build(benchmark::State& state, const std::vector<uint32_t>& pixels, int width, int height) {
    uint64_t rects = 0;
    for (auto _ : state) {
        uint64_t flushed = 0;
        rects = lumetra::BuildMaskRegion(pixels.data(), width, height,
                                         [&](const lumetra::RegionData& d) { flushed += d.Count(); });
        benchmark::DoNotOptimize(flushed);
    }
    state.counters["rectangles"] = static_cast<double>(rects);
    state.counters["Mpixel/s"] = benchmark::Counter(static_cast<double>(width) * height * state.iterations() / 1e6,
                                                   benchmark::Counter::kIsRate);
}

void BM_DefaultSkinMask(benchmark::State& state) {
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    if (!ReadBmp24(std::string(LUMETRA_SOURCE_DIR) + "/res/skin/Default/Full_Mask.bmp", pixels, width, height)) {
        state.SkipWithError("default skin mask not found");
        return;
    }
    Build(state, pixels, width, height);
}
BENCHMARK(BM_DefaultSkinMask)->Unit(benchmark::kMicrosecond);

void BM_AlternatingPixels1024x768(benchmark::State& state) {
    const int width = 1024, height = 768;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = (x + y) % 2 ? 0x000000 : 0xFFFFFF;
    Build(state, pixels, width, height);
}
BENCHMARK(BM_AlternatingPixels1024x768)->Unit(benchmark::kMillisecond);

}  // namespace
