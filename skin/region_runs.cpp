#include "skin/region_runs.h"

#include <climits>
#include <cstring>

namespace lumetra {
namespace {

void Put32(uint8_t* at, uint32_t v) {
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
    at[2] = static_cast<uint8_t>(v >> 16);
    at[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t Get32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

void PutRect(uint8_t* at, const RegionRect& r) {
    Put32(at, static_cast<uint32_t>(r.left));
    Put32(at + 4, static_cast<uint32_t>(r.top));
    Put32(at + 8, static_cast<uint32_t>(r.right));
    Put32(at + 12, static_cast<uint32_t>(r.bottom));
}

RegionRect GetRect(const uint8_t* at) {
    return {static_cast<int32_t>(Get32(at)), static_cast<int32_t>(Get32(at + 4)), static_cast<int32_t>(Get32(at + 8)),
            static_cast<int32_t>(Get32(at + 12))};
}

// Header offsets: dwSize 0, iType 4, nCount 8, nRgnSize 12, rcBound 16.
constexpr size_t kCountOffset = 8;
constexpr size_t kBoundsOffset = 16;
constexpr uint32_t kRectangles = 1;

}  // namespace

void RegionData::WriteHeader(uint32_t count, const RegionRect& bounds) {
    Put32(&bytes_[0], kHeaderBytes);
    Put32(&bytes_[4], kRectangles);
    Put32(&bytes_[kCountOffset], count);
    Put32(&bytes_[12], count * 16);
    PutRect(&bytes_[kBoundsOffset], bounds);
}

void RegionData::Reset() {
    capacity_ = kRegionGrowth;
    bytes_.assign(kHeaderBytes + capacity_ * 16, 0);
    // Bounds start inverted so the first rectangle sets them.
    WriteHeader(0, {INT32_MAX, INT32_MAX, 0, 0});
}

uint32_t RegionData::Count() const { return Get32(&bytes_[kCountOffset]); }
RegionRect RegionData::Bounds() const { return GetRect(&bytes_[kBoundsOffset]); }
RegionRect RegionData::At(uint32_t i) const { return GetRect(&bytes_[kHeaderBytes + i * 16]); }

void RegionData::Add(const RegionRect& r) {
    uint32_t count = Count();
    if (count >= capacity_) {
        capacity_ += kRegionGrowth;
        bytes_.resize(kHeaderBytes + capacity_ * 16, 0);
    }
    PutRect(&bytes_[kHeaderBytes + count * 16], r);
    RegionRect b = Bounds();
    if (r.left < b.left) b.left = r.left;
    if (r.top < b.top) b.top = r.top;
    if (r.right > b.right) b.right = r.right;
    if (r.bottom > b.bottom) b.bottom = r.bottom;
    WriteHeader(count + 1, b);
}

bool IsTransparentPixel(uint32_t bgra, uint8_t key, uint8_t tolerance) {
    int high = key + tolerance > 255 ? 255 : key + tolerance;
    for (int shift = 0; shift <= 16; shift += 8) {
        int channel = static_cast<int>((bgra >> shift) & 0xFF);
        if (channel < key || channel > high) return false;
    }
    return true;
}

uint64_t BuildMaskRegion(const uint32_t* pixels, int width, int height,
                         const std::function<void(const RegionData&)>& flush, uint32_t flushCount) {
    if (!pixels || width <= 0 || height <= 0) return 0;
    RegionData data;
    uint64_t total = 0;
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        int x = 0;
        while (x < width) {
            while (x < width && IsTransparentPixel(row[x])) ++x;
            if (x == width) break;
            int x0 = x;
            while (x < width && !IsTransparentPixel(row[x])) ++x;
            data.Add({x0, y, x, y + 1});
            ++total;
            if (data.Count() == flushCount) {
                flush(data);
                data.Reset();
            }
        }
    }
    if (data.Count() > 0) flush(data);
    return total;
}

}  // namespace lumetra
