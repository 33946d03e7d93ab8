#pragma once
// Copies the newest frame of the live picture out of the preview path's sample grabber, with what
// it takes to read it: the pixel format, the size and the device's bitmap header. Used by the
// snapshot and by motion detection, each with a GrabbedFrame of its own.
//
//   GrabbedFrame frame;                                  // keep it: its buffer is reused
//   if (GrabFrame(grabber, frame) == GrabStatus::Ok)
//       ConvertToRgb(frame.bytes.data(), frame.bytes.size(), frame.shape, picture, pictureBytes);
//
// The grabber must have been set up by ConfigureGrabber before the preview graph is built.
#include <windows.h>
#include <dshow.h>
#include <qedit.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "still/pixel_format.h"

namespace lumetra {

// The buffer a 720 x 480 YUY2 frame fills: what the program's own capture sizes need in YUY2.
constexpr size_t kGrabBufferBytes = 691200;
// The largest sample GrabFrame copies unless told otherwise: a 3840 x 2160 frame of 32-bit pixels.
// Larger frames come from no capture device the program serves; they are refused uncopied.
constexpr size_t kMaxGrabBytes = 3840u * 2160u * 4u;
// How often the size of the current sample is asked for before the grab gives up. The grabber
// answers at once, so the bound keeps a grab short when there is no sample (while recording the
// grabber is not in the graph).
constexpr int kSizeQueryAttempts = 100;

// The newest sample and its description. bytes.size() is the sample's size as the grabber copied
// it; the vector keeps its capacity from grab to grab, so repeated grabs allocate only when the
// frames grow.
struct GrabbedFrame {
    std::vector<uint8_t> bytes;
    GUID subtype = GUID_NULL;   // of the grabber's connected media type
    FrameShape shape;           // format from the subtype; width and height from the bitmap header
    BITMAPINFOHEADER header{};  // the connected format's bitmap header as the device reported it
};

enum class GrabStatus {
    Ok,
    NoGrabber,     // no grabber was given
    NoSample,      // no sample through every size query
    TooLarge,      // the sample is larger than the caller's limit; nothing was copied
    CopyFailed,    // GetCurrentBuffer failed while copying the sample
    NoMediaType,   // GetConnectedMediaType failed
    NotVideoInfo,  // the connected format is not a VIDEOINFOHEADER
    Unsupported,   // a pixel format or size the program cannot read (see PixelFormatOfSubtype)
    Truncated,     // the sample is shorter than a frame of its format and size
};

// The grabber takes any video the preview pin offers, keeps passing samples downstream and keeps
// a copy of the newest one for GrabFrame. Returns the first failing step's result, S_OK when set.
enum class GrabberSetupStep { MediaType, OneShot, BufferSamples };
HRESULT ConfigureGrabber(ISampleGrabber* grabber, GrabberSetupStep* failedStep = nullptr);

// YUY2; I420 and IYUV; YV12; RGB24; RGB32 and ARGB32. Anything else is Unsupported.
PixelFormat PixelFormatOfSubtype(const GUID& subtype);

// Copies the grabber's current sample into frame.bytes and describes it. A sample above maxBytes
// is refused before anything is copied. On any result but Ok the frame's contents are unspecified.
GrabStatus GrabFrame(ISampleGrabber* grabber, GrabbedFrame& frame, size_t maxBytes = kMaxGrabBytes);

}  // namespace lumetra
