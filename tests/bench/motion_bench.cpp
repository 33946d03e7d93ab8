// The motion engine's step on a 720 x 480 YUY2 frame at granularity 1, 2 and 4: the cell sums, the
// comparison and the diagnostic picture separately, the whole step without the picture (with the
// copy of the frame), and, for scale, one plain pass over the frame's luma.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "motion/motion_engine.h"

namespace {

using lumetra::FrameFormat;
using lumetra::MotionEngine;
using lumetra::MotionSettings;
using lumetra::PixelFormat;

constexpr int kWidth = 720, kHeight = 480;

std::vector<uint8_t> NoiseFrame(unsigned seed) {
    std::vector<uint8_t> frame(static_cast<size_t>(kWidth) * kHeight * 2);
    std::minstd_rand random(seed);
    for (auto& b : frame) b = static_cast<uint8_t>(random() >> 7);
    return frame;
}

// Hands out two noise frames in turn, copied as the sample grabber copies its buffer.
class NoiseSource : public lumetra::MotionFrameSource {
public:
    NoiseSource() : frames_{NoiseFrame(1), NoiseFrame(2)} {}
    bool CopyFrame(uint8_t* buffer, size_t capacity, FrameFormat& format) override {
        const auto& frame = frames_[next_ ^= 1];
        if (frame.size() > capacity) return false;
        std::memcpy(buffer, frame.data(), frame.size());
        format = {kWidth, kHeight, PixelFormat::Yuy2, frame.size()};
        return true;
    }

private:
    std::vector<uint8_t> frames_[2];
    int next_ = 0;
};

// An engine over the whole frame at the benchmark's granularity, with two frames already summed.
struct Prepared {
    explicit Prepared(int granularity) {
        MotionSettings s;
        s.granularity = granularity;
        s.areaPosX = s.areaPosY = 0;
        s.areaSizeX = s.areaSizeY = lumetra::kAreaUnits;
        engine.SetFrameSource(&source);
        engine.SetSettings(s);
        engine.Step(true);
        engine.Step(true);
    }
    NoiseSource source;
    MotionEngine engine;
};

void BM_LumaPass(benchmark::State& state) {
    const std::vector<uint8_t> frame = NoiseFrame(1);
    for (auto _ : state) {
        uint32_t sum = 0;
        for (size_t i = 0; i < frame.size(); i += 2) sum += frame[i];
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_LumaPass)->Unit(benchmark::kMicrosecond);

void BM_CellSums(benchmark::State& state) {
    Prepared p(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        p.engine.SumCells();
        benchmark::ClobberMemory();
    }
    state.counters["cells"] = p.engine.Grid().cells;
}
BENCHMARK(BM_CellSums)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_Compare(benchmark::State& state) {
    Prepared p(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(p.engine.CountChangedCells());
}
BENCHMARK(BM_Compare)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_Picture(benchmark::State& state) {
    Prepared p(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        p.engine.DrawPicture(false);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Picture)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMicrosecond);

// The whole step as the 200 ms timer runs it without the live picture: copy, sums, comparison.
void BM_StepWithoutPicture(benchmark::State& state) {
    Prepared p(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(p.engine.Step(true));
}
BENCHMARK(BM_StepWithoutPicture)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMicrosecond);

}  // namespace
