#pragma once
// The capture pin's media types: YUY2, I420 and RGB24 at the device's capture sizes, 30 frames/s.
#include <windows.h>
#include <dshow.h>

#include "simdev/com_support.h"
#include "simdev/pixel_formats.h"

namespace simdev {

struct FrameSize { int width, height; };
constexpr FrameSize kCaptureSizes[] = {{160, 120}, {176, 144}, {320, 240}, {352, 240},
                                       {352, 288}, {640, 480}, {720, 480}};
constexpr int kCaptureSizeCount = 7;
constexpr PixelFormat kVideoFormats[] = {PixelFormat::YUY2, PixelFormat::I420, PixelFormat::RGB24};
constexpr int kVideoFormatCount = 3;
constexpr REFERENCE_TIME kFrameDuration = 333333;  // 30 frames per second

const GUID& SubtypeOf(PixelFormat f);
MediaType MakeVideoType(PixelFormat f, int width, int height);
// Recognises one of our video types (any frame rate); false for anything else.
bool ParseVideoType(const AM_MEDIA_TYPE& mt, PixelFormat& f, int& width, int& height);
// A video format that names a size but neither bit count nor compression (as some applications
// send it) takes colour space, bit count and compression from the current format.
void CompleteFromCurrent(MediaType& wanted, const MediaType& current);
// Capability `index` (format-major order) of IAMStreamConfig.
MediaType CapabilityType(int index);
void FillVideoCaps(int index, VIDEO_STREAM_CONFIG_CAPS& caps);

}  // namespace simdev
