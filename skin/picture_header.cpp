#include "skin/picture_header.h"

#include <cstring>

namespace lumetra {
namespace {

uint32_t Le16(const uint8_t* p) { return p[0] | p[1] << 8; }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }
uint32_t Be16(const uint8_t* p) { return p[0] << 8 | p[1]; }
uint32_t Be32(const uint8_t* p) { return Be16(p) << 16 | Be16(p + 2); }

bool StartsWith(const uint8_t* data, size_t size, const char* magic, size_t n) {
    if (size < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (data[i] != static_cast<uint8_t>(magic[i])) return false;
    return true;
}

PictureHeader Sized(int64_t w, int64_t h, int64_t& width, int64_t& height) {
    width = w;
    height = h;
    return w > 0 && h > 0 ? PictureHeader::Sized : PictureHeader::Damaged;
}

PictureHeader BitmapSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height) {
    constexpr size_t kInfoAt = 14;  // after BITMAPFILEHEADER
    if (size < kInfoAt + 4) return PictureHeader::Damaged;
    uint32_t headerBytes = Le32(data + kInfoAt);
    if (headerBytes == 12) {  // BITMAPCOREHEADER: 16-bit sizes
        if (size < kInfoAt + 8) return PictureHeader::Damaged;
        return Sized(Le16(data + kInfoAt + 4), Le16(data + kInfoAt + 6), width, height);
    }
    if (headerBytes < 16 || size < kInfoAt + 12) return PictureHeader::Damaged;
    int64_t w = static_cast<int32_t>(Le32(data + kInfoAt + 4));
    int64_t h = static_cast<int32_t>(Le32(data + kInfoAt + 8));
    return Sized(w, h < 0 ? -h : h, width, height);  // 64 bits: the magnitude of INT_MIN fits
}

bool IsFrameMarker(uint8_t m) {
    // SOF0..SOF15 without DHT (C4), JPG (C8) and DAC (CC), which share the range.
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

PictureHeader JpegSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height) {
    size_t at = 2;  // after SOI
    while (at + 4 <= size) {
        if (data[at] != 0xFF) return PictureHeader::Damaged;
        uint8_t marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // markers without a length
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return PictureHeader::Damaged;  // end or scan before a frame
        size_t length = Be16(data + at + 2);
        if (length < 2) return PictureHeader::Damaged;
        if (IsFrameMarker(marker)) {
            // Length, precision, then height and width.
            if (at + 9 > size || length < 7) return PictureHeader::Damaged;
            return Sized(Be16(data + at + 7), Be16(data + at + 5), width, height);
        }
        at += 2 + length;
    }
    return PictureHeader::Damaged;
}

}  // namespace

PictureHeader ReadPictureSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height) {
    width = height = 0;
    if (!data) return PictureHeader::Unknown;
    if (StartsWith(data, size, "BM", 2)) return BitmapSize(data, size, width, height);
    if (StartsWith(data, size, "\xFF\xD8", 2)) return JpegSize(data, size, width, height);
    if (StartsWith(data, size, "GIF87a", 6) || StartsWith(data, size, "GIF89a", 6)) {
        if (size < 10) return PictureHeader::Damaged;
        return Sized(Le16(data + 6), Le16(data + 8), width, height);
    }
    if (StartsWith(data, size, "\x89PNG\r\n\x1A\n", 8)) {
        if (size < 24 || !StartsWith(data + 12, size - 12, "IHDR", 4)) return PictureHeader::Damaged;
        return Sized(Be32(data + 16), Be32(data + 20), width, height);
    }
    return PictureHeader::Unknown;
}

uint64_t PictureBytesHash(const uint8_t* data, size_t size) {
    // FNV-1a over 8-byte words: a megabyte of bitmap is hashed in a fraction of a millisecond.
    constexpr uint64_t kPrime = 0x100000001B3ULL;
    uint64_t hash = 0xCBF29CE484222325ULL ^ size;
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, data + i, 8);
        hash = (hash ^ word) * kPrime;
    }
    for (; i < size; ++i) hash = (hash ^ data[i]) * kPrime;
    return hash;
}

}  // namespace lumetra
