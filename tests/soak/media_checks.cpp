#include "tests/soak/media_checks.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace lumetra::soak {
namespace {

class File {
public:
    explicit File(const std::string& path) : f_(std::fopen(path.c_str(), "rb")) {}
    ~File() {
        if (f_) std::fclose(f_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool Open() const { return f_ != nullptr; }
    int64_t Size() {
        _fseeki64(f_, 0, SEEK_END);
        return _ftelli64(f_);
    }
    bool Read(int64_t at, void* buffer, size_t bytes) {
        return _fseeki64(f_, at, SEEK_SET) == 0 && std::fread(buffer, 1, bytes, f_) == bytes;
    }

private:
    FILE* f_;
};

uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
bool Is(const unsigned char* p, const char* fourcc) { return std::memcmp(p, fourcc, 4) == 0; }

struct AviFacts {
    bool mainHeader = false;
    uint32_t width = 0, height = 0;
    int videoChunks = 0, emptyVideoChunks = 0, soundChunks = 0;
    bool broken = false;
};

// Walks the chunks between begin and end; lists are entered, the movie list's chunks counted.
void WalkChunks(File& file, int64_t begin, int64_t end, bool inMovie, AviFacts& facts) {
    for (int64_t at = begin; at + 8 <= end;) {
        unsigned char head[12];
        if (!file.Read(at, head, 8)) return void(facts.broken = true);
        const int64_t size = Le32(head + 4);
        const int64_t next = at + 8 + size + (size & 1);
        if (at + 8 + size > end) return void(facts.broken = true);
        if (Is(head, "LIST") || Is(head, "RIFF")) {
            if (size < 4 || !file.Read(at + 8, head + 8, 4)) return void(facts.broken = true);
            WalkChunks(file, at + 12, at + 8 + size, inMovie || Is(head + 8, "movi"), facts);
        } else if (Is(head, "avih") && size >= 40) {
            unsigned char avih[40];
            if (!file.Read(at + 8, avih, sizeof avih)) return void(facts.broken = true);
            facts.mainHeader = true;
            facts.width = Le32(avih + 32);
            facts.height = Le32(avih + 36);
        } else if (inMovie && (Is(head, "00dc") || Is(head, "00db"))) {
            ++facts.videoChunks;
            facts.emptyVideoChunks += size == 0;
        } else if (inMovie && head[2] == 'w' && head[3] == 'b') {
            ++facts.soundChunks;
        }
        at = next;
    }
}

}  // namespace

std::string CheckRecording(const std::string& path, int width, int height, int minFrames) {
    File file(path);
    if (!file.Open()) return "cannot be opened";
    const int64_t size = file.Size();
    unsigned char head[12];
    if (size < 12 || !file.Read(0, head, sizeof head) || !Is(head, "RIFF") || !Is(head + 8, "AVI "))
        return "is not an AVI file";
    // The RIFF forms (AVI, then AVIX extensions) follow each other to the end of the file.
    int64_t at = 0;
    while (at + 8 <= size) {
        if (!file.Read(at, head, 8) || !Is(head, "RIFF")) return "has data after its last RIFF form";
        at += 8 + Le32(head + 4) + (Le32(head + 4) & 1);
    }
    if (at != size) return "ends inside a RIFF form (" + std::to_string(size) + " bytes, form ends at " +
                           std::to_string(at) + ")";
    AviFacts facts;
    WalkChunks(file, 0, size, false, facts);
    if (facts.broken) return "has a chunk that runs past its list";
    if (!facts.mainHeader) return "has no main header";
    if (static_cast<int>(facts.width) != width || static_cast<int>(facts.height) != height)
        return "is " + std::to_string(facts.width) + " x " + std::to_string(facts.height);
    // An empty video chunk stands for a frame the device dropped (the previous picture is shown
    // again): a busy machine leaves a few, and the file still plays. Only frames with a picture count.
    const int pictures = facts.videoChunks - facts.emptyVideoChunks;
    if (pictures < minFrames)
        return "holds " + std::to_string(pictures) + " frames with a picture (" +
               std::to_string(facts.emptyVideoChunks) + " dropped)";
    if (facts.soundChunks == 0) return "holds no sound";
    return {};
}

std::string CheckSnapshot(const std::string& path, int width, int height) {
    File file(path);
    if (!file.Open()) return "cannot be opened";
    const int64_t pixels = static_cast<int64_t>(width) * height * 3;
    if (file.Size() != 54 + pixels) return "has " + std::to_string(file.Size()) + " bytes";
    unsigned char head[54];
    if (!file.Read(0, head, sizeof head)) return "cannot be read";
    if (head[0] != 'B' || head[1] != 'M' || Le32(head + 10) != 54 || Le32(head + 14) != 40)
        return "has no bitmap header";
    if (static_cast<int>(Le32(head + 18)) != width || static_cast<int>(Le32(head + 22)) != height ||
        (head[28] | head[29] << 8) != 24)
        return "is not a 24-bit " + std::to_string(width) + " x " + std::to_string(height) + " bitmap";
    std::vector<unsigned char> data(static_cast<size_t>(pixels));
    if (!file.Read(54, data.data(), data.size())) return "cannot be read";
    for (unsigned char b : data)
        if (b != data[0]) return {};
    return "holds one value only";
}

}  // namespace lumetra::soak
