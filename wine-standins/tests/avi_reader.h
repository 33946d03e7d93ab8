#pragma once
// A small independent AVI reader for the tests: walks the RIFF tree and follows every index,
// so the writer's output is checked against the file format rather than against the writer.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace lumetra::standins::test {

inline uint32_t Rd32(const std::vector<uint8_t>& b, uint64_t at) {
    if (at + 4 > b.size()) return 0;
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
inline uint16_t Rd16(const std::vector<uint8_t>& b, uint64_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}
inline uint64_t Rd64(const std::vector<uint8_t>& b, uint64_t at) {
    return uint64_t(Rd32(b, at)) | uint64_t(Rd32(b, at + 4)) << 32;
}
inline std::string Fcc(uint32_t v) {
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

struct ReadChunk { uint32_t id; uint64_t dataAt; uint32_t size; };

struct ReadStream {
    std::string type;                // "vids" / "auds"
    uint32_t handler = 0, scale = 0, rate = 0, length = 0, sampleSize = 0;
    std::vector<uint8_t> format;
    uint32_t superEntries = 0, superChunkId = 0;
    std::vector<ReadChunk> chunks;   // from the ix## chunks, in order
    uint64_t superDuration = 0;
};

struct ReadAvi {
    std::string error;
    uint32_t avihFrames = 0, avihStreams = 0, avihWidth = 0, avihHeight = 0, dmlhFrames = 0;
    std::vector<std::string> riffTypes;
    std::vector<ReadStream> streams;
    std::vector<ReadChunk> idx1;     // resolved to absolute data offsets
    std::vector<ReadChunk> moviChunks;   // every data chunk found walking the movi lists
    uint64_t end = 0;                // end of the last top-level chunk
    uint32_t tailJunk = 0;
};

inline bool Fail(ReadAvi& a, const std::string& why) { a.error = why; return false; }

inline bool ParseAvi(const std::vector<uint8_t>& b, ReadAvi& a) {
    uint64_t at = 0;
    uint64_t firstMovi = 0;
    while (at + 8 <= b.size()) {
        uint32_t id = Rd32(b, at), size = Rd32(b, at + 4);
        uint64_t next = at + 8 + size + (size & 1);
        if (next > b.size() + 1) return Fail(a, "top-level chunk runs past the end");
        if (Fcc(id) != "RIFF") {
            if (Fcc(id) == "JUNK") { at = next; continue; }
            return Fail(a, "top-level chunk is " + Fcc(id));
        }
        a.riffTypes.push_back(Fcc(Rd32(b, at + 8)));
        uint64_t p = at + 12, riffEnd = at + 8 + size;
        while (p + 8 <= riffEnd) {
            uint32_t cid = Rd32(b, p), cs = Rd32(b, p + 4);
            uint64_t cnext = p + 8 + cs + (cs & 1);
            if (p + 8 + cs > riffEnd) return Fail(a, "chunk " + Fcc(cid) + " runs past its RIFF");
            std::string name = Fcc(cid), list = cs >= 4 ? Fcc(Rd32(b, p + 8)) : "";
            if (name == "LIST" && list == "hdrl") {
                uint64_t h = p + 12, hEnd = p + 8 + cs;
                while (h + 8 <= hEnd) {
                    uint32_t hid = Rd32(b, h), hs = Rd32(b, h + 4);
                    if (Fcc(hid) == "avih") {
                        a.avihFrames = Rd32(b, h + 8 + 16);
                        a.avihStreams = Rd32(b, h + 8 + 24);
                        a.avihWidth = Rd32(b, h + 8 + 32);
                        a.avihHeight = Rd32(b, h + 8 + 36);
                    } else if (Fcc(hid) == "LIST" && Fcc(Rd32(b, h + 8)) == "strl") {
                        ReadStream s;
                        uint64_t q = h + 12, qEnd = h + 8 + hs;
                        while (q + 8 <= qEnd) {
                            uint32_t qid = Rd32(b, q), qs = Rd32(b, q + 4);
                            if (Fcc(qid) == "strh") {
                                s.type = Fcc(Rd32(b, q + 8));
                                s.handler = Rd32(b, q + 12);
                                s.scale = Rd32(b, q + 28);
                                s.rate = Rd32(b, q + 32);
                                s.length = Rd32(b, q + 40);
                                s.sampleSize = Rd32(b, q + 52);
                            } else if (Fcc(qid) == "strf") {
                                s.format.assign(b.begin() + long(q + 8), b.begin() + long(q + 8 + qs));
                            } else if (Fcc(qid) == "indx") {
                                s.superEntries = Rd32(b, q + 12);
                                s.superChunkId = Rd32(b, q + 16);
                                if (b[q + 11] != 0 || Rd16(b, q + 8) != 4) return Fail(a, "indx is not an index of indexes");
                                for (uint32_t i = 0; i < s.superEntries; ++i) {
                                    uint64_t e = q + 32 + 16 * i;
                                    uint64_t ixAt = Rd64(b, e);
                                    s.superDuration += Rd32(b, e + 12);
                                    if (ixAt + 32 > b.size()) return Fail(a, "indx entry points past the end");
                                    std::string ixName = Fcc(Rd32(b, ixAt));
                                    if (ixName.substr(0, 2) != "ix") return Fail(a, "indx entry does not point at ix##");
                                    if (Rd32(b, e + 8) != Rd32(b, ixAt + 4) + 8) return Fail(a, "indx entry size mismatch");
                                    uint32_t n = Rd32(b, ixAt + 12);
                                    if (b[ixAt + 11] != 1) return Fail(a, "ix## is not an index of chunks");
                                    uint64_t base = Rd64(b, ixAt + 20);
                                    for (uint32_t k = 0; k < n; ++k) {
                                        uint64_t dataAt = base + Rd32(b, ixAt + 32 + 8 * k);
                                        uint32_t sz = Rd32(b, ixAt + 36 + 8 * k) & 0x7FFFFFFFu;
                                        s.chunks.push_back({Rd32(b, dataAt - 8), dataAt, sz});
                                    }
                                }
                            }
                            q += 8 + qs + (qs & 1);
                        }
                        a.streams.push_back(s);
                    } else if (Fcc(hid) == "LIST" && Fcc(Rd32(b, h + 8)) == "odml") {
                        a.dmlhFrames = Rd32(b, h + 20);
                    }
                    h += 8 + hs + (hs & 1);
                }
            } else if (name == "LIST" && list == "movi") {
                if (!firstMovi) firstMovi = p + 8;
                uint64_t m = p + 12, mEnd = p + 8 + cs;
                while (m + 8 <= mEnd) {
                    uint32_t mid = Rd32(b, m), ms = Rd32(b, m + 4);
                    if (m + 8 + ms > mEnd) return Fail(a, "movi chunk runs past its list");
                    if (Fcc(mid).substr(0, 2) != "ix") a.moviChunks.push_back({mid, m + 8, ms});
                    m += 8 + ms + (ms & 1);
                }
            } else if (name == "idx1") {
                for (uint32_t i = 0; i + 16 <= cs; i += 16) {
                    uint64_t e = p + 8 + i;
                    a.idx1.push_back({Rd32(b, e), firstMovi + Rd32(b, e + 8) + 8, Rd32(b, e + 12)});
                }
            } else if (name == "JUNK" && cnext >= riffEnd) {
                a.tailJunk = cs;
            }
            p = cnext;
        }
        at = next;
        a.end = at;
    }
    if (a.riffTypes.empty() || a.riffTypes[0] != "AVI ") return Fail(a, "not an AVI");
    return true;
}

}  // namespace lumetra::standins::test
