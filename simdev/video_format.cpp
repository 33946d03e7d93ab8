#include "simdev/video_format.h"

#include <cstring>

namespace simdev {
namespace {
// The 4:2:0 planar subtype ('I420'), spelled out because the system headers declare it only with
// the media foundation codecs.
const GUID kSubtypeI420 = {0x30323449, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

DWORD FourCC(PixelFormat f) {
    switch (f) {
    case PixelFormat::YUY2: return MAKEFOURCC('Y', 'U', 'Y', '2');
    case PixelFormat::I420: return MAKEFOURCC('I', '4', '2', '0');
    default: return BI_RGB;
    }
}

bool IsCaptureSize(int w, int h) {
    for (const FrameSize& s : kCaptureSizes)
        if (s.width == w && s.height == h) return true;
    return false;
}
}  // namespace

const GUID& SubtypeOf(PixelFormat f) {
    switch (f) {
    case PixelFormat::YUY2: return MEDIASUBTYPE_YUY2;
    case PixelFormat::I420: return kSubtypeI420;
    case PixelFormat::RGB24: return MEDIASUBTYPE_RGB24;
    case PixelFormat::RGB32: return MEDIASUBTYPE_RGB32;
    }
    return MEDIASUBTYPE_YUY2;
}

MediaType MakeVideoType(PixelFormat f, int width, int height) {
    VIDEOINFOHEADER vih;
    std::memset(&vih, 0, sizeof(vih));
    const DWORD bytes = static_cast<DWORD>(FrameBytes(f, width, height));
    vih.AvgTimePerFrame = kFrameDuration;
    vih.dwBitRate = bytes * 8 * 30;
    vih.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    vih.bmiHeader.biWidth = width;
    vih.bmiHeader.biHeight = height;
    vih.bmiHeader.biPlanes = 1;
    vih.bmiHeader.biBitCount = static_cast<WORD>(BitsPerPixel(f));
    vih.bmiHeader.biCompression = FourCC(f);
    vih.bmiHeader.biSizeImage = bytes;
    MediaType mt;
    mt.Ptr()->majortype = MEDIATYPE_Video;
    mt.Ptr()->subtype = SubtypeOf(f);
    mt.Ptr()->bFixedSizeSamples = TRUE;
    mt.Ptr()->bTemporalCompression = FALSE;
    mt.Ptr()->lSampleSize = bytes;
    mt.SetFormat(FORMAT_VideoInfo, &vih, sizeof(vih));
    return mt;
}

bool ParseVideoType(const AM_MEDIA_TYPE& mt, PixelFormat& f, int& width, int& height) {
    if (mt.majortype != MEDIATYPE_Video || mt.formattype != FORMAT_VideoInfo || !mt.pbFormat ||
        mt.cbFormat < sizeof(VIDEOINFOHEADER))
        return false;
    bool known = false;
    for (PixelFormat candidate : kVideoFormats) {
        if (mt.subtype == SubtypeOf(candidate)) {
            f = candidate;
            known = true;
        }
    }
    if (!known) return false;
    const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
    width = vih->bmiHeader.biWidth;
    height = vih->bmiHeader.biHeight;
    if (vih->bmiHeader.biCompression != FourCC(f) || vih->bmiHeader.biBitCount != BitsPerPixel(f)) return false;
    return IsCaptureSize(width, height);  // positive heights only: YUV top-down, RGB bottom-up
}

void CompleteFromCurrent(MediaType& wanted, const MediaType& current) {
    AM_MEDIA_TYPE& w = *wanted.Ptr();
    const AM_MEDIA_TYPE& c = current.Get();
    if (w.majortype != MEDIATYPE_Video || w.formattype != FORMAT_VideoInfo || !w.pbFormat ||
        w.cbFormat < sizeof(VIDEOINFOHEADER) || !c.pbFormat || c.cbFormat < sizeof(VIDEOINFOHEADER))
        return;
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(w.pbFormat);
    if (vih->bmiHeader.biBitCount != 0 || vih->bmiHeader.biCompression != 0) return;
    const auto* now = reinterpret_cast<const VIDEOINFOHEADER*>(c.pbFormat);
    vih->bmiHeader.biBitCount = now->bmiHeader.biBitCount;
    vih->bmiHeader.biCompression = now->bmiHeader.biCompression;
    w.subtype = c.subtype;
}

MediaType CapabilityType(int index) {
    const FrameSize& s = kCaptureSizes[index % kCaptureSizeCount];
    return MakeVideoType(kVideoFormats[index / kCaptureSizeCount], s.width, s.height);
}

void FillVideoCaps(int index, VIDEO_STREAM_CONFIG_CAPS& caps) {
    std::memset(&caps, 0, sizeof(caps));
    const FrameSize& s = kCaptureSizes[index % kCaptureSizeCount];
    const PixelFormat f = kVideoFormats[index / kCaptureSizeCount];
    const LONG bits = static_cast<LONG>(FrameBytes(f, s.width, s.height) * 8 * 30);
    caps.guid = FORMAT_VideoInfo;
    caps.VideoStandard = 0;
    caps.InputSize = {720, 480};
    caps.MinCroppingSize = caps.MaxCroppingSize = {s.width, s.height};
    caps.CropGranularityX = caps.CropGranularityY = 1;
    caps.CropAlignX = caps.CropAlignY = 1;
    caps.MinOutputSize = caps.MaxOutputSize = {s.width, s.height};
    caps.OutputGranularityX = caps.OutputGranularityY = 0;
    caps.MinFrameInterval = caps.MaxFrameInterval = kFrameDuration;
    caps.MinBitsPerSecond = caps.MaxBitsPerSecond = bits;
}

}  // namespace simdev
