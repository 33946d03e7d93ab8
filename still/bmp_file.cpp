#include "still/bmp_file.h"

#include "still/pixel_format.h"

namespace lumetra {
namespace {

class LittleEndianWriter {
public:
    explicit LittleEndianWriter(uint8_t* out) : out_(out) {}
    void U16(uint32_t value) { Bytes(value, 2); }
    void U32(uint32_t value) { Bytes(value, 4); }
    void I32(int32_t value) { Bytes(static_cast<uint32_t>(value), 4); }

private:
    void Bytes(uint32_t value, int count) {
        for (int i = 0; i < count; ++i) *out_++ = static_cast<uint8_t>(value >> (8 * i));
    }
    uint8_t* out_;
};

}  // namespace

BitmapHeader PictureHeader(const BitmapHeader& device) {
    BitmapHeader picture = device;
    picture.size = static_cast<uint32_t>(kBmpInfoHeaderBytes);
    picture.height = device.height < 0 ? -device.height : device.height;
    picture.bitCount = 24;
    picture.compression = 0;  // BI_RGB
    picture.sizeImage = 0;
    return picture;
}

size_t BmpFileBytes(int width, int height) {
    return kBmpHeadersBytes + RgbPictureBytes(width, height);
}

std::array<uint8_t, kBmpHeadersBytes> BmpHeaders(const BitmapHeader& picture) {
    std::array<uint8_t, kBmpHeadersBytes> bytes{};
    LittleEndianWriter out(bytes.data());
    out.U16(0x4D42);  // "BM"
    out.U32(static_cast<uint32_t>(BmpFileBytes(picture.width, picture.height)));
    out.U16(0);
    out.U16(0);
    out.U32(static_cast<uint32_t>(kBmpHeadersBytes));
    out.U32(picture.size);
    out.I32(picture.width);
    out.I32(picture.height);
    out.U16(picture.planes);
    out.U16(picture.bitCount);
    out.U32(picture.compression);
    out.U32(picture.sizeImage);
    out.I32(picture.xPelsPerMeter);
    out.I32(picture.yPelsPerMeter);
    out.U32(picture.clrUsed);
    out.U32(picture.clrImportant);
    return bytes;
}

}  // namespace lumetra
