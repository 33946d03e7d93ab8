// The snapshot's colour conversion at 720 x 480, next to libyuv doing the same job (24-bit
// bottom-up rows from YUY2 and I420). libyuv is linked here only, as the yardstick.
#include <benchmark/benchmark.h>
#include <libyuv.h>

#include <cstdint>
#include <random>
#include <vector>

#include "still/color_convert.h"

namespace {

using lumetra::FrameShape;
using lumetra::PixelFormat;
using lumetra::SimdLevel;

constexpr int kWidth = 720, kHeight = 480;

std::vector<uint8_t> RandomFrame(PixelFormat format) {
    std::vector<uint8_t> frame(lumetra::FrameBytes(FrameShape{format, kWidth, kHeight}));
    std::mt19937 random(7);
    for (uint8_t& byte : frame) byte = static_cast<uint8_t>(random());
    return frame;
}

void Ours(benchmark::State& state, PixelFormat format) {
    const auto level = static_cast<SimdLevel>(state.range(0));
    if (!lumetra::SimdLevelAvailable(level)) {
        state.SkipWithError("instruction set not available");
        return;
    }
    const FrameShape shape{format, kWidth, kHeight};
    const std::vector<uint8_t> frame = RandomFrame(format);
    std::vector<uint8_t> picture(lumetra::RgbPictureBytes(kWidth, kHeight));
    for (auto _ : state) {
        lumetra::ConvertToRgbWith(level, frame.data(), frame.size(), shape, picture.data(), picture.size());
        benchmark::DoNotOptimize(picture.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_Yuy2ToRgb24_Lumetra(benchmark::State& state) { Ours(state, PixelFormat::Yuy2); }
void BM_I420ToRgb24_Lumetra(benchmark::State& state) { Ours(state, PixelFormat::I420); }

// Arguments: 0 scalar tables, 1 SSSE3, 2 AVX2.
BENCHMARK(BM_Yuy2ToRgb24_Lumetra)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_I420ToRgb24_Lumetra)->Arg(0)->Arg(1)->Arg(2);

// libyuv has no YUY2 to 24-bit conversion: YUY2 to ARGB (bottom-up, by a negative height), then to RGB24.
void BM_Yuy2ToRgb24_Libyuv(benchmark::State& state) {
    const std::vector<uint8_t> frame = RandomFrame(PixelFormat::Yuy2);
    std::vector<uint8_t> argb(static_cast<size_t>(kWidth) * 4 * kHeight);
    std::vector<uint8_t> picture(lumetra::RgbPictureBytes(kWidth, kHeight));
    for (auto _ : state) {
        libyuv::YUY2ToARGB(frame.data(), kWidth * 2, argb.data(), kWidth * 4, kWidth, -kHeight);
        libyuv::ARGBToRGB24(argb.data(), kWidth * 4, picture.data(), kWidth * 3, kWidth, kHeight);
        benchmark::DoNotOptimize(picture.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_Yuy2ToRgb24_Libyuv);

void BM_I420ToRgb24_Libyuv(benchmark::State& state) {
    const std::vector<uint8_t> frame = RandomFrame(PixelFormat::I420);
    const uint8_t* y = frame.data();
    const uint8_t* u = y + kWidth * kHeight;
    const uint8_t* v = u + kWidth * kHeight / 4;
    std::vector<uint8_t> picture(lumetra::RgbPictureBytes(kWidth, kHeight));
    for (auto _ : state) {
        libyuv::I420ToRGB24(y, kWidth, u, kWidth / 2, v, kWidth / 2, picture.data(), kWidth * 3, kWidth, -kHeight);
        benchmark::DoNotOptimize(picture.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_I420ToRgb24_Libyuv);

// The grey picture motion detection shows: arguments are the format (0 YUY2, 1 I420) and the factor.
void BM_ConvertToGrey(benchmark::State& state) {
    const PixelFormat format = state.range(0) == 0 ? PixelFormat::Yuy2 : PixelFormat::I420;
    const int factor = static_cast<int>(state.range(1));
    const FrameShape shape{format, kWidth, kHeight};
    const std::vector<uint8_t> frame = RandomFrame(format);
    std::vector<uint8_t> picture(lumetra::GreyPictureBytes(kWidth, kHeight, factor));
    for (auto _ : state) {
        lumetra::ConvertToGrey(frame.data(), frame.size(), shape, factor, picture.data(), picture.size());
        benchmark::DoNotOptimize(picture.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (kWidth / factor) * (kHeight / factor));
}
BENCHMARK(BM_ConvertToGrey)->Args({0, 1})->Args({0, 2})->Args({1, 1})->Args({1, 2});

}  // namespace
