// The picture size of a played file, read from the media type its video arrives in.
#include <windows.h>
#include <dshow.h>
#include <dvdmedia.h>

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "media/graph_util.h"

namespace lumetra::testing {
namespace {

const GUID kMpeg2Video = {0xE06D80E3, 0xDB46, 0x11CF, {0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB, 0xEA}};

// A media type whose format block holds `bytes` bytes with the bitmap header at `headerOffset`.
class FormatBlock {
public:
    FormatBlock(const GUID& formatType, size_t bytes, size_t headerOffset, LONG width, LONG height)
        : block_(bytes, 0) {
        if (headerOffset + sizeof(BITMAPINFOHEADER) <= bytes) {
            auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block_.data() + headerOffset);
            header->biSize = sizeof(BITMAPINFOHEADER);
            header->biWidth = width;
            header->biHeight = height;
        }
        type_.majortype = MEDIATYPE_Video;
        type_.formattype = formatType;
        type_.cbFormat = static_cast<ULONG>(bytes);
        type_.pbFormat = block_.data();
    }
    const AM_MEDIA_TYPE& Type() const { return type_; }

private:
    std::vector<BYTE> block_;
    AM_MEDIA_TYPE type_{};
};

::testing::AssertionResult SizeIs(const FormatBlock& block, int width, int height) {
    int w = -1, h = -1;
    if (!PictureSizeOf(block.Type(), w, h)) return ::testing::AssertionFailure() << "no size read";
    if (w != width || h != height) return ::testing::AssertionFailure() << "read " << w << " x " << h;
    return ::testing::AssertionSuccess();
}

bool Refused(const FormatBlock& block) {
    int w = -1, h = -1;
    return !PictureSizeOf(block.Type(), w, h);
}

TEST(PictureSize, EveryVideoInfoFormatGivesItsBitmapSize) {
    EXPECT_TRUE(SizeIs({FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER), offsetof(VIDEOINFOHEADER, bmiHeader), 640, 480},
                       640, 480));
    // An MPEG-1 recording: its VIDEOINFOHEADER comes first, the sequence header after it.
    EXPECT_TRUE(SizeIs({FORMAT_MPEGVideo, sizeof(MPEG1VIDEOINFO) + 12, offsetof(MPEG1VIDEOINFO, hdr.bmiHeader), 352,
                        288},
                       352, 288));
    EXPECT_TRUE(SizeIs({FORMAT_VideoInfo2, sizeof(VIDEOINFOHEADER2), offsetof(VIDEOINFOHEADER2, bmiHeader), 720, 480},
                       720, 480));
    EXPECT_TRUE(SizeIs({kMpeg2Video, sizeof(MPEG2VIDEOINFO), offsetof(MPEG2VIDEOINFO, hdr.bmiHeader), 720, 576},
                       720, 576));
    // Top-down rows give a negative height.
    EXPECT_TRUE(SizeIs({FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER), offsetof(VIDEOINFOHEADER, bmiHeader), 320, -240},
                       320, 240));
}

TEST(PictureSize, ShortBlocksOtherFormatsAndImpossibleSizesAreRefused) {
    // The block ends before the bitmap header of its format.
    EXPECT_TRUE(Refused({FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER) - 1, offsetof(VIDEOINFOHEADER, bmiHeader), 640, 480}));
    EXPECT_TRUE(Refused({FORMAT_VideoInfo2, sizeof(VIDEOINFOHEADER), offsetof(VIDEOINFOHEADER2, bmiHeader), 640, 480}));
    EXPECT_TRUE(Refused({FORMAT_WaveFormatEx, sizeof(VIDEOINFOHEADER), offsetof(VIDEOINFOHEADER, bmiHeader), 640, 480}));
    FormatBlock noBlock(FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER), offsetof(VIDEOINFOHEADER, bmiHeader), 640, 480);
    AM_MEDIA_TYPE empty = noBlock.Type();
    empty.pbFormat = nullptr;
    int w = 0, h = 0;
    EXPECT_FALSE(PictureSizeOf(empty, w, h));

    const size_t at = offsetof(VIDEOINFOHEADER, bmiHeader);
    EXPECT_TRUE(Refused({FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER), at, 0, 480}));
    EXPECT_TRUE(Refused({FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER), at, -640, 480}));
    EXPECT_TRUE(Refused({FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER), at, 640, 0}));
    EXPECT_TRUE(Refused({FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER), at, 640, INT_MIN}));
    EXPECT_TRUE(Refused({FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER), at, 1 << 30, 480}));
    EXPECT_TRUE(Refused({FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER), at, kMaxVideoSide + 1, 480}));
    EXPECT_TRUE(SizeIs({FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER), at, kMaxVideoSide, -kMaxVideoSide},
                       kMaxVideoSide, kMaxVideoSide));
}

}  // namespace
}  // namespace lumetra::testing
