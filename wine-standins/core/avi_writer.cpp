#include "wine-standins/core/avi_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>

namespace lumetra::standins {

namespace {

constexpr uint32_t kRiff = FourCC('R', 'I', 'F', 'F');
constexpr uint32_t kList = FourCC('L', 'I', 'S', 'T');
constexpr uint32_t kJunk = FourCC('J', 'U', 'N', 'K');
constexpr uint32_t kAviIfKeyframe = 0x10;
constexpr uint32_t kAvifHasIndex = 0x10, kAvifIsInterleaved = 0x100, kAvifTrustCkType = 0x800;
constexpr uint32_t kDeltaFrame = 0x80000000u;

// Little-endian record builder for header structures.
class Bytes {
public:
    std::vector<uint8_t> data;
    void U8(uint8_t v) { data.push_back(v); }
    void U16(uint16_t v) { U8(uint8_t(v)); U8(uint8_t(v >> 8)); }
    void U32(uint32_t v) { U16(uint16_t(v)); U16(uint16_t(v >> 16)); }
    void U64(uint64_t v) { U32(uint32_t(v)); U32(uint32_t(v >> 32)); }
    void Zeros(size_t n) { data.insert(data.end(), n, 0); }
    size_t Size() const { return data.size(); }
    // Starts a chunk or list; returns the position of its size field for Close().
    size_t Open(uint32_t id, uint32_t listType = 0) {
        U32(id);
        size_t at = Size();
        U32(0);
        if (listType) U32(listType);
        return at;
    }
    void Close(size_t sizeAt) {
        uint32_t size = uint32_t(Size() - sizeAt - 4);
        for (int i = 0; i < 4; ++i) data[sizeAt + i] = uint8_t(size >> (8 * i));
        if (size & 1) U8(0);
    }
};

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

uint32_t StreamFourCC(int stream, char a, char b) {
    return FourCC(char('0' + stream / 10), char('0' + stream % 10), a, b);
}

uint32_t Clamp32(uint64_t v) { return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(v); }

}  // namespace

void FrameRateOf(int64_t frameDuration, uint32_t& rate, uint32_t& scale) {
    if (frameDuration <= 0) frameDuration = 333333;
    const double fps = 1e7 / double(frameDuration);
    const double whole = std::round(fps);
    if (whole >= 1 && std::fabs(fps - whole) / whole < 1e-4) { rate = uint32_t(whole); scale = 1; return; }
    const double ntsc = std::round(fps * 1.001);
    if (ntsc >= 1 && std::fabs(fps - ntsc / 1.001) / fps < 1e-4) { rate = uint32_t(ntsc) * 1000; scale = 1001; return; }
    rate = 10000000;
    scale = uint32_t(std::min<int64_t>(frameDuration, 0xFFFFFFFF));
}

// ---- sinks ----------------------------------------------------------------------------------------

struct StdFileSink::Impl {
    std::fstream file;
};

StdFileSink::StdFileSink(const std::string& path, bool truncate) : impl_(new Impl) {
    using std::ios;
    if (!truncate) {
        impl_->file.open(path, ios::in | ios::out | ios::binary);
        if (impl_->file.is_open()) {
            impl_->file.seekg(0, ios::end);
            size_ = uint64_t(std::streamoff(impl_->file.tellg()));
            return;
        }
    }
    impl_->file.open(path, ios::in | ios::out | ios::binary | ios::trunc);
}

StdFileSink::~StdFileSink() { delete impl_; }

bool StdFileSink::IsOpen() const { return impl_->file.is_open(); }

bool StdFileSink::WriteAt(uint64_t offset, const void* data, size_t size) {
    impl_->file.seekp(std::streamoff(offset));
    impl_->file.write(static_cast<const char*>(data), std::streamsize(size));
    if (!impl_->file) return false;
    size_ = std::max<uint64_t>(size_, offset + size);
    return true;
}

bool MemorySink::WriteAt(uint64_t offset, const void* data, size_t size) {
    if (offset + size > bytes.size()) bytes.resize(size_t(offset + size));
    std::memcpy(bytes.data() + offset, data, size);
    return true;
}

// ---- writer ---------------------------------------------------------------------------------------

AviWriter::AviWriter(ByteSink& sink, AviWriterOptions options) : sink_(sink), options_(options) {
    buffer_.reserve(options_.bufferSize);
}

AviWriter::~AviWriter() = default;

int AviWriter::AddVideoStream(const AviVideoFormat& format) {
    if (started_ || streams_.size() >= 99) return -1;
    Stream s;
    s.video = true;
    s.vf = format;
    if (s.vf.frameDuration <= 0) s.vf.frameDuration = 333333;
    int n = int(streams_.size());
    s.chunkId = StreamFourCC(n, 'd', format.compression == 0 ? 'b' : 'c');
    s.indexId = FourCC('i', 'x', char('0' + n / 10), char('0' + n % 10));
    streams_.push_back(s);
    return n;
}

int AviWriter::AddAudioStream(const AviAudioFormat& format) {
    if (started_ || streams_.size() >= 99 || format.blockAlign == 0) return -1;
    Stream s;
    s.af = format;
    int n = int(streams_.size());
    s.chunkId = StreamFourCC(n, 'w', 'b');
    s.indexId = FourCC('i', 'x', char('0' + n / 10), char('0' + n % 10));
    streams_.push_back(s);
    return n;
}

uint64_t AviWriter::StreamLength(int stream) const {
    return stream >= 0 && stream < int(streams_.size()) ? streams_[size_t(stream)].length : 0;
}

uint64_t AviWriter::StreamBytes(int stream) const {
    return stream >= 0 && stream < int(streams_.size()) ? streams_[size_t(stream)].bytes : 0;
}

// The whole first-RIFF header up to and including the 'movi' list type. Its size depends only on
// the streams and the reserved index space, so Finish() rewrites it in place with final values.
std::vector<uint8_t> AviWriter::BuildHeader() const {
    Bytes b;
    b.U32(kRiff);
    b.U32(firstRiffSize_);
    b.U32(FourCC('A', 'V', 'I', ' '));
    size_t hdrl = b.Open(kList, FourCC('h', 'd', 'r', 'l'));

    const Stream* firstVideo = nullptr;
    uint64_t bytesPerSec = 0;
    uint32_t maxChunk = 0;
    for (const Stream& s : streams_) {
        if (s.video && !firstVideo) firstVideo = &s;
        bytesPerSec += s.video ? uint64_t(s.vf.imageSize) * 10000000u / uint64_t(s.vf.frameDuration) : s.af.avgBytesPerSec;
        maxChunk = std::max(maxChunk, s.maxChunk);
    }

    size_t avih = b.Open(FourCC('a', 'v', 'i', 'h'));
    b.U32(firstVideo ? uint32_t(firstVideo->vf.frameDuration / 10) : 0);
    b.U32(Clamp32(bytesPerSec));
    b.U32(0);                                               // padding granularity
    b.U32(kAvifHasIndex | kAvifIsInterleaved | kAvifTrustCkType);
    b.U32(Clamp32(firstRiffVideoFrames_));                  // frames in the first RIFF (OpenDML rule)
    b.U32(0);                                               // initial frames
    b.U32(uint32_t(streams_.size()));
    b.U32(maxChunk + 8);
    b.U32(firstVideo ? uint32_t(firstVideo->vf.width) : 0);
    b.U32(firstVideo ? uint32_t(std::abs(firstVideo->vf.height)) : 0);
    b.Zeros(16);
    b.Close(avih);

    for (const Stream& s : streams_) {
        size_t strl = b.Open(kList, FourCC('s', 't', 'r', 'l'));
        size_t strh = b.Open(FourCC('s', 't', 'r', 'h'));
        uint32_t rate = 0, scale = 0;
        if (s.video) FrameRateOf(s.vf.frameDuration, rate, scale);
        b.U32(s.video ? FourCC('v', 'i', 'd', 's') : FourCC('a', 'u', 'd', 's'));
        b.U32(s.video ? s.vf.compression : 0);
        b.U32(0);                                           // flags
        b.U16(0);                                           // priority
        b.U16(0);                                           // language
        b.U32(0);                                           // initial frames
        b.U32(s.video ? scale : s.af.blockAlign);
        b.U32(s.video ? rate : s.af.avgBytesPerSec);
        b.U32(0);                                           // start
        b.U32(Clamp32(s.length));                           // length over all RIFFs
        b.U32(s.maxChunk);
        b.U32(0xFFFFFFFFu);                                 // quality: default
        b.U32(s.video ? 0 : s.af.blockAlign);
        b.U16(0);
        b.U16(0);
        b.U16(s.video ? uint16_t(s.vf.width) : 0);
        b.U16(s.video ? uint16_t(std::abs(s.vf.height)) : 0);
        b.Close(strh);

        size_t strf = b.Open(FourCC('s', 't', 'r', 'f'));
        if (s.video) {
            b.U32(40);
            b.U32(uint32_t(s.vf.width));
            b.U32(uint32_t(s.vf.height));
            b.U16(1);
            b.U16(s.vf.bitCount);
            b.U32(s.vf.compression);
            b.U32(s.vf.imageSize);
            b.Zeros(16);
        } else {
            b.U16(s.af.formatTag);
            b.U16(s.af.channels);
            b.U32(s.af.samplesPerSec);
            b.U32(s.af.avgBytesPerSec);
            b.U16(s.af.blockAlign);
            b.U16(s.af.bitsPerSample);
            b.U16(0);
        }
        b.Close(strf);

        // Super index: entries for the ix## chunks, reserved up to superIndexEntries.
        size_t indx = b.Open(FourCC('i', 'n', 'd', 'x'));
        b.U16(4);                                           // longs per entry
        b.U8(0);                                            // sub type
        b.U8(0);                                            // AVI_INDEX_OF_INDEXES
        b.U32(uint32_t(s.super.size()));
        b.U32(s.chunkId);
        b.Zeros(12);
        for (uint32_t i = 0; i < options_.superIndexEntries; ++i) {
            if (i < s.super.size()) {
                b.U64(s.super[i].offset);
                b.U32(s.super[i].size);
                b.U32(s.super[i].duration);
            } else {
                b.Zeros(16);
            }
        }
        b.Close(indx);
        b.Close(strl);
    }

    size_t odml = b.Open(kList, FourCC('o', 'd', 'm', 'l'));
    size_t dmlh = b.Open(FourCC('d', 'm', 'l', 'h'));
    b.U32(firstVideo ? Clamp32(firstVideo->length) : 0);    // total frames over all RIFFs
    b.Zeros(244);
    b.Close(dmlh);
    b.Close(odml);
    b.Close(hdrl);

    // Let the movi data start on a 2 KiB boundary (sector friendly, room to spare).
    size_t junk = b.Open(kJunk);
    size_t target = (b.Size() + 12 + 2047) / 2048 * 2048;
    b.Zeros(target - b.Size() - 12);
    b.Close(junk);

    b.U32(kList);
    b.U32(firstMoviSize_);
    b.U32(FourCC('m', 'o', 'v', 'i'));
    return std::move(b.data);
}

bool AviWriter::Start() {
    if (started_ || streams_.empty()) return false;
    started_ = true;
    std::vector<uint8_t> header = BuildHeader();
    bufferStart_ = 0;
    pos_ = 0;
    Append(header.data(), header.size());
    riffStart_ = 0;
    moviStart_ = header.size() - 4;
    riffCount_ = 1;
    return !failed_;
}

void AviWriter::Append(const void* data, size_t size) {
    if (buffer_.size() + size > options_.bufferSize) Flush();
    if (size >= options_.bufferSize) {
        if (!sink_.WriteAt(pos_, data, size)) failed_ = true;
        pos_ += size;
        bufferStart_ = pos_;
        return;
    }
    const uint8_t* p = static_cast<const uint8_t*>(data);
    buffer_.insert(buffer_.end(), p, p + size);
    pos_ += size;
}

void AviWriter::AppendU32(uint32_t v) {
    uint8_t b[4];
    Put32(b, v);
    Append(b, 4);
}

bool AviWriter::Flush() {
    if (!buffer_.empty()) {
        if (!sink_.WriteAt(bufferStart_, buffer_.data(), buffer_.size())) failed_ = true;
        bufferStart_ += buffer_.size();
        buffer_.clear();
    }
    return !failed_;
}

void AviWriter::Patch(uint64_t offset, const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    // Part before the buffer goes straight to the sink, the rest into the buffer.
    if (offset < bufferStart_) {
        size_t direct = size_t(std::min<uint64_t>(size, bufferStart_ - offset));
        if (!sink_.WriteAt(offset, p, direct)) failed_ = true;
        offset += direct;
        p += direct;
        size -= direct;
    }
    if (size) std::memcpy(buffer_.data() + (offset - bufferStart_), p, size);
}

void AviWriter::PatchU32(uint64_t offset, uint32_t v) {
    uint8_t b[4];
    Put32(b, v);
    Patch(offset, b, 4);
}

// Bytes still to come before the current RIFF can close, were `extra` more chunks added.
uint64_t AviWriter::ClosingBytes(uint64_t extra) const {
    uint64_t n = 0;
    for (const Stream& s : streams_) n += 32 + 8 * (s.pending.size() + extra);
    if (riffCount_ == 1) n += 8 + 16 * (legacy_.size() + extra);
    return n;
}

bool AviWriter::WriteChunk(int stream, const void* data, uint32_t size, bool keyframe) {
    if (!started_ || finished_ || failed_ || stream < 0 || stream >= int(streams_.size())) return false;
    Stream& s = streams_[size_t(stream)];
    if (!s.video && size % s.af.blockAlign != 0) return false;

    const uint64_t chunkBytes = 8 + uint64_t(size) + (size & 1);
    bool anyPending = false;
    for (const Stream& t : streams_) anyPending |= !t.pending.empty();
    if (anyPending && pos_ + chunkBytes + ClosingBytes(1) - riffStart_ > options_.riffLimit) {
        CloseRiff();
        OpenRiff();
    }

    const uint64_t chunkAt = pos_;
    AppendU32(s.chunkId);
    AppendU32(size);
    if (size) Append(data, size);
    if (size & 1) {
        uint8_t pad = 0;
        Append(&pad, 1);
    }
    s.pending.push_back({chunkAt + 8, size | (keyframe ? 0u : kDeltaFrame)});
    if (riffCount_ == 1) {
        legacy_.push_back({s.chunkId, keyframe ? kAviIfKeyframe : 0u, uint32_t(chunkAt - moviStart_), size});
        if (s.video && &s == &*std::find_if(streams_.begin(), streams_.end(), [](const Stream& t) { return t.video; }))
            ++firstRiffVideoFrames_;
    }
    s.length += s.video ? 1 : size / s.af.blockAlign;
    s.bytes += size;
    s.maxChunk = std::max(s.maxChunk, size);
    return !failed_;
}

void AviWriter::CloseRiff() {
    // Standard index chunks of this RIFF, one per stream, at the end of its movi list.
    for (Stream& s : streams_) {
        if (s.pending.empty()) continue;
        const uint64_t base = moviStart_;
        const uint32_t n = uint32_t(s.pending.size());
        const uint32_t cb = 24 + 8 * n;
        uint64_t duration = 0;
        for (const IndexEntry& e : s.pending) duration += s.video ? 1 : (e.size & ~kDeltaFrame) / s.af.blockAlign;
        if (s.super.size() < options_.superIndexEntries)
            s.super.push_back({pos_, cb + 8, Clamp32(duration)});
        else
            failed_ = true;   // out of reserved super index space: would need > superIndexEntries RIFFs

        Bytes ix;
        ix.U32(s.indexId);
        ix.U32(cb);
        ix.U16(2);                  // longs per entry
        ix.U8(0);                   // sub type
        ix.U8(1);                   // AVI_INDEX_OF_CHUNKS
        ix.U32(n);
        ix.U32(s.chunkId);
        ix.U64(base);
        ix.U32(0);
        for (const IndexEntry& e : s.pending) {
            ix.U32(uint32_t(e.offset - base));
            ix.U32(e.size);
        }
        Append(ix.data.data(), ix.Size());
        s.pending.clear();
    }
    const uint32_t moviSize = uint32_t(pos_ - moviStart_);
    if (riffCount_ == 1) {
        firstMoviSize_ = moviSize;
        Bytes idx;
        idx.U32(FourCC('i', 'd', 'x', '1'));
        idx.U32(uint32_t(16 * legacy_.size()));
        for (const LegacyEntry& e : legacy_) {
            idx.U32(e.id);
            idx.U32(e.flags);
            idx.U32(e.offset);
            idx.U32(e.size);
        }
        Append(idx.data.data(), idx.Size());
        legacy_.clear();
        legacy_.shrink_to_fit();
        firstRiffSize_ = uint32_t(pos_ - riffStart_ - 8);
    }
    PatchU32(moviStart_ - 4, moviSize);
    PatchU32(riffStart_ + 4, uint32_t(pos_ - riffStart_ - 8));
    lastRiffStart_ = riffStart_;
}

void AviWriter::OpenRiff() {
    riffStart_ = pos_;
    AppendU32(kRiff);
    AppendU32(0);
    AppendU32(FourCC('A', 'V', 'I', 'X'));
    AppendU32(kList);
    AppendU32(0);
    AppendU32(FourCC('m', 'o', 'v', 'i'));
    moviStart_ = riffStart_ + 20;
    ++riffCount_;
}

bool AviWriter::Finish() {
    if (!started_) return false;
    if (finished_) return !failed_;
    finished_ = true;
    CloseRiff();
    Flush();
    std::vector<uint8_t> header = BuildHeader();
    if (!sink_.WriteAt(0, header.data(), header.size())) failed_ = true;
    FillTail();
    return !failed_;
}

// A target longer than the data (preallocated, or an older longer file kept) stays that long: the
// rest becomes a JUNK chunk inside the last RIFF, or top-level JUNK chunks when the RIFF cannot grow.
void AviWriter::FillTail() {
    uint64_t size = sink_.Size();
    if (size <= pos_ || size - pos_ < 8) return;
    uint64_t rest = size - pos_;
    uint64_t junk = (rest - 8) & ~uint64_t(1);
    uint64_t lastRiffSize = pos_ - lastRiffStart_ - 8;
    if (lastRiffSize + 8 + junk <= 0xFFFFFFF0u) {
        uint8_t h[8];
        Put32(h, kJunk);
        Put32(h + 4, uint32_t(junk));
        if (!sink_.WriteAt(pos_, h, 8)) failed_ = true;
        uint8_t r[4];
        Put32(r, uint32_t(lastRiffSize + 8 + junk));
        if (!sink_.WriteAt(lastRiffStart_ + 4, r, 4)) failed_ = true;
        if (lastRiffStart_ == 0) firstRiffSize_ = uint32_t(lastRiffSize + 8 + junk);
        return;
    }
    uint64_t at = pos_;
    while (size - at >= 8) {
        uint64_t piece = std::min<uint64_t>((size - at - 8) & ~uint64_t(1), 0x7FFFFFF0u);
        uint8_t h[8];
        Put32(h, kJunk);
        Put32(h + 4, uint32_t(piece));
        if (!sink_.WriteAt(at, h, 8)) failed_ = true;
        at += 8 + piece;
    }
}

}  // namespace lumetra::standins
