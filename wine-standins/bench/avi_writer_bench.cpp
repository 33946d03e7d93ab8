// Throughput of the AVI 2.0 writer: 720x480 YUY2 at 30 fps with 48 kHz stereo 16-bit audio,
// written into a file in /tmp. Reports bytes per second and "x_realtime" (seconds of media per
// second of writing).
#include "wine-standins/core/avi_writer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

using namespace lumetra::standins;

static void BM_AviWriterCapture720x480(benchmark::State& state) {
    const int seconds = int(state.range(0));
    const uint32_t frameBytes = 720 * 480 * 2, audioBytes = 1600 * 4;
    std::vector<uint8_t> frame(frameBytes, 0x80), audio(audioBytes, 0);
    const std::string path = "/tmp/standins-bench.avi";
    int64_t bytes = 0;
    for (auto _ : state) {
        StdFileSink sink(path);
        AviWriter w(sink);
        AviVideoFormat v;
        v.width = 720;
        v.height = 480;
        v.bitCount = 16;
        v.compression = FourCC('Y', 'U', 'Y', '2');
        v.imageSize = frameBytes;
        v.frameDuration = 333333;
        AviAudioFormat a;
        a.channels = 2;
        a.samplesPerSec = 48000;
        a.bitsPerSample = 16;
        a.blockAlign = 4;
        a.avgBytesPerSec = 192000;
        int vs = w.AddVideoStream(v), as = w.AddAudioStream(a);
        w.Start();
        for (int i = 0; i < seconds * 30; ++i) {
            frame[0] = uint8_t(i);
            w.WriteChunk(vs, frame.data(), frameBytes);
            w.WriteChunk(as, audio.data(), audioBytes);
        }
        if (!w.Finish()) state.SkipWithError("write failed");
        bytes += int64_t(w.DataEnd());
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(bytes);
    state.counters["x_realtime"] = benchmark::Counter(double(seconds) * double(state.iterations()), benchmark::Counter::kIsRate);
}
// 40 s of capture is about 1.1 GB: the run crosses into a second RIFF.
BENCHMARK(BM_AviWriterCapture720x480)->Arg(10)->Arg(40)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
