// The AVI 2.0 writer, checked with an independent reader and, where present, with ffprobe.
#include "wine-standins/core/avi_writer.h"
#include "wine-standins/tests/avi_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

using namespace lumetra::standins;
using namespace lumetra::standins::test;

namespace {

AviVideoFormat Yuy2(int w, int h, int64_t frameDuration = 333333) {
    AviVideoFormat f;
    f.width = w;
    f.height = h;
    f.bitCount = 16;
    f.compression = FourCC('Y', 'U', 'Y', '2');
    f.imageSize = uint32_t(w * h * 2);
    f.frameDuration = frameDuration;
    return f;
}

AviAudioFormat Pcm(uint32_t rate, uint16_t channels) {
    AviAudioFormat f;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.bitsPerSample = 16;
    f.blockAlign = uint16_t(channels * 2);
    f.avgBytesPerSec = rate * f.blockAlign;
    return f;
}

// Writes `frames` video frames (each filled with its number) and one audio chunk per frame.
void WriteRecording(AviWriter& w, int frames, uint32_t frameBytes, uint32_t audioBytes) {
    int v = w.AddVideoStream(Yuy2(int(frameBytes / 2 / 8), 8));
    int a = w.AddAudioStream(Pcm(48000, 2));
    ASSERT_TRUE(w.Start());
    std::vector<uint8_t> frame(frameBytes), audio(audioBytes);
    for (int i = 0; i < frames; ++i) {
        std::fill(frame.begin(), frame.end(), uint8_t(i));
        std::fill(audio.begin(), audio.end(), uint8_t(0x80 + i));
        ASSERT_TRUE(w.WriteChunk(v, frame.data(), frameBytes));
        ASSERT_TRUE(w.WriteChunk(a, audio.data(), audioBytes));
    }
    ASSERT_TRUE(w.Finish());
}

}  // namespace

TEST(AviWriterLayout, SingleRiffHasHeadersLegacyAndStandardIndexes) {
    MemorySink sink;
    AviWriter w(sink);
    WriteRecording(w, 30, 640, 6400);

    ReadAvi a;
    ASSERT_TRUE(ParseAvi(sink.bytes, a)) << a.error;
    ASSERT_EQ(a.riffTypes, std::vector<std::string>{"AVI "});
    EXPECT_EQ(a.end, sink.bytes.size());
    EXPECT_EQ(a.avihStreams, 2u);
    EXPECT_EQ(a.avihFrames, 30u);
    EXPECT_EQ(a.dmlhFrames, 30u);
    EXPECT_EQ(a.avihWidth, 40u);
    EXPECT_EQ(a.avihHeight, 8u);
    ASSERT_EQ(a.streams.size(), 2u);

    const ReadStream& v = a.streams[0];
    EXPECT_EQ(v.type, "vids");
    EXPECT_EQ(v.handler, FourCC('Y', 'U', 'Y', '2'));
    EXPECT_EQ(v.rate, 30u);
    EXPECT_EQ(v.scale, 1u);
    EXPECT_EQ(v.length, 30u);
    ASSERT_EQ(v.format.size(), 40u);
    EXPECT_EQ(Rd32(v.format, 16), FourCC('Y', 'U', 'Y', '2'));

    const ReadStream& s = a.streams[1];
    EXPECT_EQ(s.type, "auds");
    EXPECT_EQ(s.scale, 4u);
    EXPECT_EQ(s.rate, 192000u);
    EXPECT_EQ(s.sampleSize, 4u);
    EXPECT_EQ(s.length, 30u * 1600u);
    EXPECT_EQ(Rd16(s.format, 0), 1);
    EXPECT_EQ(Rd16(s.format, 2), 2);
    EXPECT_EQ(Rd32(s.format, 4), 48000u);

    // Standard indexes point at the right chunks, in order, with the right contents.
    ASSERT_EQ(v.chunks.size(), 30u);
    ASSERT_EQ(s.chunks.size(), 30u);
    for (size_t i = 0; i < 30; ++i) {
        EXPECT_EQ(v.chunks[i].id, FourCC('0', '0', 'd', 'c'));
        EXPECT_EQ(v.chunks[i].size, 640u);
        EXPECT_EQ(sink.bytes[v.chunks[i].dataAt], uint8_t(i));
        EXPECT_EQ(s.chunks[i].id, FourCC('0', '1', 'w', 'b'));
        EXPECT_EQ(sink.bytes[s.chunks[i].dataAt + 6399], uint8_t(0x80 + i));
    }
    EXPECT_EQ(v.superDuration, 30u);
    EXPECT_EQ(s.superDuration, 30u * 1600u);

    // The legacy index lists every data chunk of the movi list, interleaved as written.
    ASSERT_EQ(a.idx1.size(), 60u);
    ASSERT_EQ(a.moviChunks.size(), 60u);
    for (size_t i = 0; i < 60; ++i) {
        EXPECT_EQ(a.idx1[i].id, a.moviChunks[i].id);
        EXPECT_EQ(a.idx1[i].dataAt, a.moviChunks[i].dataAt);
        EXPECT_EQ(a.idx1[i].size, a.moviChunks[i].size);
    }
}

TEST(AviWriterLayout, LargeRecordingsContinueInAvixRiffsWithinTheLimit) {
    MemorySink sink;
    AviWriterOptions o;
    o.riffLimit = 256 * 1024;
    o.bufferSize = 64 * 1024;
    AviWriter w(sink, o);
    WriteRecording(w, 200, 10000, 1600);

    ReadAvi a;
    ASSERT_TRUE(ParseAvi(sink.bytes, a)) << a.error;
    ASSERT_GT(a.riffTypes.size(), 5u);
    for (size_t i = 1; i < a.riffTypes.size(); ++i) EXPECT_EQ(a.riffTypes[i], "AVIX");
    EXPECT_EQ(int(a.riffTypes.size()), w.RiffCount());

    // Each RIFF stays within the limit.
    uint64_t at = 0;
    while (at + 8 <= sink.bytes.size()) {
        uint32_t size = Rd32(sink.bytes, at + 4);
        EXPECT_LE(size + 8u, o.riffLimit);
        at += 8 + size;
    }

    ASSERT_EQ(a.streams.size(), 2u);
    EXPECT_EQ(a.streams[0].length, 200u);
    EXPECT_EQ(a.dmlhFrames, 200u);
    EXPECT_LT(a.avihFrames, 200u);   // frames of the first RIFF only
    EXPECT_GT(a.avihFrames, 0u);
    EXPECT_EQ(a.streams[0].superEntries, a.riffTypes.size());
    ASSERT_EQ(a.streams[0].chunks.size(), 200u);
    ASSERT_EQ(a.streams[1].chunks.size(), 200u);
    for (size_t i = 0; i < 200; ++i) {
        EXPECT_EQ(a.streams[0].chunks[i].id, FourCC('0', '0', 'd', 'c'));
        EXPECT_EQ(sink.bytes[a.streams[0].chunks[i].dataAt + 9999], uint8_t(i)) << i;
        EXPECT_EQ(a.streams[1].chunks[i].id, FourCC('0', '1', 'w', 'b'));
    }
    EXPECT_EQ(a.streams[1].superDuration, 200u * 400u);
    // idx1 covers the first RIFF only.
    EXPECT_EQ(a.idx1.size(), size_t(a.avihFrames) * 2);
}

TEST(AviWriterLayout, OddSizedChunksArePaddedAndDroppedFramesAreEmpty) {
    MemorySink sink;
    AviWriter w(sink);
    int v = w.AddVideoStream(Yuy2(2, 2));
    ASSERT_TRUE(w.Start());
    uint8_t odd[3] = {1, 2, 3};
    ASSERT_TRUE(w.WriteChunk(v, odd, 3));
    ASSERT_TRUE(w.WriteChunk(v, nullptr, 0));
    ASSERT_TRUE(w.WriteChunk(v, odd, 3));
    ASSERT_TRUE(w.Finish());
    ReadAvi a;
    ASSERT_TRUE(ParseAvi(sink.bytes, a)) << a.error;
    ASSERT_EQ(a.streams[0].chunks.size(), 3u);
    EXPECT_EQ(a.streams[0].chunks[1].size, 0u);
    EXPECT_EQ(a.streams[0].chunks[1].dataAt, a.streams[0].chunks[0].dataAt + 3 + 1 + 8);
    EXPECT_EQ(sink.bytes[a.streams[0].chunks[2].dataAt + 2], 3);
    EXPECT_EQ(a.streams[0].length, 3u);
}

TEST(AviWriterLayout, AudioMustBeWholeBlocks) {
    MemorySink sink;
    AviWriter w(sink);
    w.AddVideoStream(Yuy2(2, 2));
    int a = w.AddAudioStream(Pcm(44100, 2));
    ASSERT_TRUE(w.Start());
    uint8_t pcm[6] = {};
    EXPECT_FALSE(w.WriteChunk(a, pcm, 6));
    EXPECT_TRUE(w.WriteChunk(a, pcm, 4));
    EXPECT_EQ(w.AddVideoStream(Yuy2(2, 2)), -1);   // no streams after Start
}

TEST(AviWriterPreallocated, KeepsTheFileSizeAndCoversTheRestWithJunk) {
    MemorySink sink;
    sink.bytes.assign(3 * 1024 * 1024 + 1, 0xCD);
    AviWriter w(sink);
    WriteRecording(w, 20, 8000, 3200);
    EXPECT_EQ(sink.bytes.size(), 3u * 1024 * 1024 + 1);
    ReadAvi a;
    ASSERT_TRUE(ParseAvi(sink.bytes, a)) << a.error;
    EXPECT_EQ(a.riffTypes.size(), 1u);
    EXPECT_GT(a.tailJunk, 2u * 1024 * 1024);
    EXPECT_GE(a.end + 1, sink.bytes.size());   // one odd byte may remain as the pad byte
    EXPECT_EQ(a.streams[0].chunks.size(), 20u);
    EXPECT_EQ(a.idx1.size(), 40u);
}

TEST(AviWriterPreallocated, ARecordingLargerThanTheFileGrowsIt) {
    MemorySink sink;
    sink.bytes.assign(1000, 0xCD);
    AviWriter w(sink);
    WriteRecording(w, 20, 8000, 3200);
    EXPECT_GT(sink.bytes.size(), 160000u);
    ReadAvi a;
    ASSERT_TRUE(ParseAvi(sink.bytes, a)) << a.error;
    EXPECT_EQ(a.end, sink.bytes.size());
    EXPECT_EQ(a.tailJunk, 0u);
}

TEST(AviWriterFrameRate, ExactRatesForCommonFrameDurations) {
    uint32_t rate = 0, scale = 0;
    FrameRateOf(333333, rate, scale);
    EXPECT_EQ(rate, 30u); EXPECT_EQ(scale, 1u);
    FrameRateOf(400000, rate, scale);
    EXPECT_EQ(rate, 25u); EXPECT_EQ(scale, 1u);
    FrameRateOf(333667, rate, scale);
    EXPECT_EQ(rate, 30000u); EXPECT_EQ(scale, 1001u);
    FrameRateOf(417083, rate, scale);
    EXPECT_EQ(rate, 24000u); EXPECT_EQ(scale, 1001u);
    FrameRateOf(1428571, rate, scale);
    EXPECT_EQ(rate, 7u); EXPECT_EQ(scale, 1u);
    FrameRateOf(3000000, rate, scale);
    EXPECT_EQ(rate, 10000000u); EXPECT_EQ(scale, 3000000u);
    FrameRateOf(0, rate, scale);
    EXPECT_EQ(rate, 30u);
}

// ffprobe reads a multi-RIFF file written through the file sink: the index chain is usable.
TEST(AviWriterFfprobe, ReadsEveryPacketOfAnOpenDmlFile) {
    if (!std::ifstream("/usr/bin/ffprobe").good()) GTEST_SKIP() << "ffprobe not installed";
    const std::string path = "/tmp/standins-avi-writer-test.avi";
    {
        StdFileSink sink(path);
        ASSERT_TRUE(sink.IsOpen());
        AviWriterOptions o;
        o.riffLimit = 2 * 1024 * 1024;
        AviWriter w(sink, o);
        int v = w.AddVideoStream(Yuy2(160, 120, 400000));
        int a = w.AddAudioStream(Pcm(48000, 2));
        ASSERT_TRUE(w.Start());
        std::vector<uint8_t> frame(160 * 120 * 2, 0x80), audio(1920 * 4, 0);
        for (int i = 0; i < 100; ++i) {
            ASSERT_TRUE(w.WriteChunk(v, frame.data(), uint32_t(frame.size())));
            ASSERT_TRUE(w.WriteChunk(a, audio.data(), uint32_t(audio.size())));
        }
        ASSERT_TRUE(w.Finish());
        ASSERT_GT(w.RiffCount(), 2);
    }
    std::string cmd = "/usr/bin/ffprobe -v error -count_packets -show_entries "
                      "stream=codec_type,codec_name,width,height,r_frame_rate,nb_read_packets,sample_rate,channels "
                      "-of compact=p=0 " + path;
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[512];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
    std::remove(path.c_str());
    EXPECT_NE(out.find("codec_name=rawvideo|codec_type=video|width=160|height=120|r_frame_rate=25/1|nb_read_packets=100"),
              std::string::npos) << out;
    EXPECT_NE(out.find("codec_name=pcm_s16le|codec_type=audio|sample_rate=48000|channels=2"), std::string::npos) << out;
    EXPECT_NE(out.find("nb_read_packets=100\n"), std::string::npos) << out;
}
