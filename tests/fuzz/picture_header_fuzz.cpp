// Skin image files: the size a picture's header claims, read before the platform decodes it.
#include "skin/picture_header.h"
#include "skin/skin_format.h"
#include "tests/fuzz/fuzz_input.h"

using namespace lumetra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact copy, so that any read past the file's end is caught.
    std::vector<uint8_t> file(data, data + size);
    int64_t width = -1, height = -1;
    PictureHeader header = ReadPictureSize(file.data(), file.size(), width, height);
    if (header == PictureHeader::Sized) FUZZ_CHECK(width > 0 && height > 0);
    if (header == PictureHeader::Unknown) FUZZ_CHECK(width == 0 && height == 0);
    SkinPictureSizeAllowed(width, height);
    return 0;
}
