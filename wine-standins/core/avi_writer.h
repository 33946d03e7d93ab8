#pragma once
// AVI 2.0 (OpenDML) file writer: the container half of the stand-in AVI multiplexer.
//
// Layout written:
//   RIFF 'AVI ' { LIST 'hdrl' { avih, LIST 'strl' { strh, strf, indx } ..., LIST 'odml' { dmlh } }, JUNK,
//                 LIST 'movi' { ##dc/##db/##wb chunks ..., ix## per stream }, idx1, [JUNK tail] }
//   RIFF 'AVIX' { LIST 'movi' { chunks ..., ix## per stream } } ...   (each RIFF kept under riffLimit)
// The super index of each stream ('indx', space reserved in the header) points at its ix## chunks;
// 'idx1' indexes the first RIFF for readers that know only AVI 1.0. Headers, sizes and indexes are
// finalised by Finish(). When the target is larger than what was written (a preallocated capture
// file), the rest is covered by a JUNK chunk so the file keeps its size and stays a valid AVI.
// No Windows headers: the writer talks to a ByteSink and is tested natively.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumetra::standins {

// Positioned writes into the target file.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool WriteAt(uint64_t offset, const void* data, size_t size) = 0;
    // Current length of the target (preallocated space counts).
    virtual uint64_t Size() const = 0;
};

// std::fstream-backed sink, used natively (tests, benchmark).
class StdFileSink : public ByteSink {
public:
    // truncate=false keeps an existing file's length (the writer covers the rest with JUNK).
    explicit StdFileSink(const std::string& path, bool truncate = true);
    ~StdFileSink() override;
    bool IsOpen() const;
    bool WriteAt(uint64_t offset, const void* data, size_t size) override;
    uint64_t Size() const override { return size_; }

private:
    struct Impl;
    Impl* impl_;
    uint64_t size_ = 0;
};

// In-memory sink, used by tests.
class MemorySink : public ByteSink {
public:
    bool WriteAt(uint64_t offset, const void* data, size_t size) override;
    uint64_t Size() const override { return bytes.size(); }
    std::vector<uint8_t> bytes;
};

constexpr uint32_t FourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}

struct AviVideoFormat {
    int32_t width = 0;
    int32_t height = 0;          // as in the BITMAPINFOHEADER (negative = top-down RGB)
    uint16_t bitCount = 0;
    uint32_t compression = 0;    // 0 = BI_RGB, else a FOURCC such as YUY2 or I420
    uint32_t imageSize = 0;
    int64_t frameDuration = 0;   // 100 ns units; 0 = unknown (30 fps assumed)
};

struct AviAudioFormat {
    uint16_t formatTag = 1;      // WAVE_FORMAT_PCM
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

struct AviWriterOptions {
    uint64_t riffLimit = 1ull << 30;        // bytes per RIFF ('AVI ' or 'AVIX')
    size_t bufferSize = 4u << 20;           // gathered before each write to the sink
    uint32_t superIndexEntries = 256;       // ix## chunks a stream can have (one per RIFF)
};

// Frame rate of a frame duration as dwRate/dwScale, using exact NTSC and integer rates when close.
void FrameRateOf(int64_t frameDuration, uint32_t& rate, uint32_t& scale);

class AviWriter {
public:
    explicit AviWriter(ByteSink& sink, AviWriterOptions options = {});
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Streams are added before Start(); the result is the stream number (chunk ids 00.., 01..).
    int AddVideoStream(const AviVideoFormat& format);
    int AddAudioStream(const AviAudioFormat& format);

    bool Start();
    // One chunk of a stream: a video frame (size 0 = dropped frame) or a block-aligned piece of audio.
    bool WriteChunk(int stream, const void* data, uint32_t size, bool keyframe = true);
    // Closes the last RIFF, writes the indexes and the final headers. Idempotent.
    bool Finish();

    bool Failed() const { return failed_; }
    int StreamCount() const { return int(streams_.size()); }
    // Frames (video) or sample blocks (audio) written so far.
    uint64_t StreamLength(int stream) const;
    uint64_t StreamBytes(int stream) const;
    uint64_t DataEnd() const { return pos_; }
    int RiffCount() const { return riffCount_; }

private:
    struct IndexEntry { uint64_t offset; uint32_t size; };     // chunk data offset, size | 0x80000000 = delta
    struct SuperEntry { uint64_t offset; uint32_t size; uint32_t duration; };
    struct Stream {
        bool video = false;
        AviVideoFormat vf;
        AviAudioFormat af;
        uint32_t chunkId = 0, indexId = 0;
        uint64_t length = 0, bytes = 0;
        uint32_t maxChunk = 0;
        uint64_t strhOffset = 0, indxOffset = 0;
        std::vector<IndexEntry> pending;       // entries of the current RIFF
        std::vector<SuperEntry> super;
    };
    struct LegacyEntry { uint32_t id, flags, offset, size; };

    void Append(const void* data, size_t size);
    void AppendU32(uint32_t v);
    void Patch(uint64_t offset, const void* data, size_t size);
    void PatchU32(uint64_t offset, uint32_t v);
    bool Flush();
    void OpenRiff();
    void CloseRiff();
    uint64_t ClosingBytes(uint64_t extraEntries) const;
    std::vector<uint8_t> BuildHeader() const;
    void FillTail();

    ByteSink& sink_;
    AviWriterOptions options_;
    std::vector<Stream> streams_;
    std::vector<uint8_t> buffer_;
    uint64_t bufferStart_ = 0;    // file offset of buffer_[0]
    uint64_t pos_ = 0;            // end of written data
    uint64_t riffStart_ = 0, moviStart_ = 0;
    int riffCount_ = 0;
    uint64_t firstRiffVideoFrames_ = 0;
    std::vector<LegacyEntry> legacy_;
    uint64_t lastRiffStart_ = 0;
    uint32_t firstRiffSize_ = 0, firstMoviSize_ = 0;
    bool started_ = false, finished_ = false, failed_ = false;
};

}  // namespace lumetra::standins
