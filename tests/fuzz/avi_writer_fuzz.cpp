// The stand-in AVI writer with formats and chunk sequences from outside (whatever the capture pins
// connect with): small RIFF limits and buffers force every path of splitting, patching and tail
// filling, and a file the writer calls good must read back with every chunk indexed.
#include "tests/fuzz/fuzz_input.h"
#include "wine-standins/core/avi_writer.h"
#include "wine-standins/tests/avi_reader.h"

using namespace lumetra;
using namespace lumetra::standins;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    AviWriterOptions options;
    options.riffLimit = static_cast<uint64_t>(in.Range(4096, 1 << 20));
    options.bufferSize = static_cast<size_t>(in.Range(1, 1 << 16));
    options.superIndexEntries = static_cast<uint32_t>(in.Range(1, 300));

    MemorySink sink;
    sink.bytes.assign(static_cast<size_t>(in.Range(0, 1 << 20)), 0xEE);  // a preallocated file
    const uint64_t preallocated = sink.bytes.size();
    AviWriter writer(sink, options);

    const int streamCount = in.Range(0, 4);
    std::vector<int> ids;
    for (int i = 0; i < streamCount; ++i) {
        if (in.Flag()) {
            AviVideoFormat f;
            f.width = in.Take<int32_t>();
            f.height = in.Take<int32_t>();
            f.bitCount = in.Take<uint16_t>();
            f.compression = in.Take<uint32_t>();
            f.imageSize = in.Take<uint32_t>();
            f.frameDuration = in.Take<int64_t>();
            ids.push_back(writer.AddVideoStream(f));
        } else {
            AviAudioFormat f;
            f.formatTag = in.Take<uint16_t>();
            f.channels = in.Take<uint16_t>();
            f.samplesPerSec = in.Take<uint32_t>();
            f.avgBytesPerSec = in.Take<uint32_t>();
            f.blockAlign = static_cast<uint16_t>(in.Range(0, 8));
            f.bitsPerSample = in.Take<uint16_t>();
            ids.push_back(writer.AddAudioStream(f));
        }
    }
    if (!writer.Start()) {
        FUZZ_CHECK(writer.StreamCount() == 0 || writer.Failed());
        return 0;
    }

    static const std::vector<uint8_t> payload(8192, 0x5A);
    std::vector<uint64_t> accepted(static_cast<size_t>(writer.StreamCount()), 0);
    for (int op = 0; op < 2000 && in.Left() >= 3; ++op) {
        int stream = in.Range(-1, writer.StreamCount());
        uint32_t chunk = static_cast<uint32_t>(in.Range(0, 8192));
        bool keyframe = in.Flag();
        if (writer.WriteChunk(stream, payload.data(), chunk, keyframe)) ++accepted[static_cast<size_t>(stream)];
    }
    bool finished = writer.Finish();
    FUZZ_CHECK(writer.Finish() == finished);  // idempotent
    FUZZ_CHECK(sink.bytes.size() >= preallocated);
    if (!finished) return 0;

    test::ReadAvi avi;
    FUZZ_CHECK(test::ParseAvi(sink.bytes, avi));
    FUZZ_CHECK(avi.streams.size() == accepted.size());
    for (size_t i = 0; i < accepted.size(); ++i) {
        FUZZ_CHECK(avi.streams[i].chunks.size() == accepted[i]);
        for (const test::ReadChunk& c : avi.streams[i].chunks) FUZZ_CHECK(c.dataAt + c.size <= sink.bytes.size());
    }
    return 0;
}
