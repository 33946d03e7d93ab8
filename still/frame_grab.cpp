#include "still/frame_grab.h"

#include "framework/media_type.h"

namespace lumetra {
namespace {

// The subtypes of four-character-code formats: the code in the first field of a fixed GUID.
GUID FourCcSubtype(char a, char b, char c, char d) {
    const DWORD code = static_cast<DWORD>(static_cast<unsigned char>(a)) |
                       static_cast<DWORD>(static_cast<unsigned char>(b)) << 8 |
                       static_cast<DWORD>(static_cast<unsigned char>(c)) << 16 |
                       static_cast<DWORD>(static_cast<unsigned char>(d)) << 24;
    return GUID{code, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}

FrameShape ShapeOf(PixelFormat format, const BITMAPINFOHEADER& header) {
    FrameShape shape;
    shape.format = format;
    shape.width = header.biWidth;
    shape.height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    // Bitmap rows run bottom-up unless the height is negative; YUV rows always run top-down.
    shape.bottomUp = (format == PixelFormat::Rgb24 || format == PixelFormat::Rgb32) && header.biHeight > 0;
    return shape;
}

}  // namespace

HRESULT ConfigureGrabber(ISampleGrabber* grabber, GrabberSetupStep* failedStep) {
    if (!grabber) return E_POINTER;
    auto fail = [failedStep](GrabberSetupStep step, HRESULT hr) {
        if (failedStep) *failedStep = step;
        return hr;
    };
    AM_MEDIA_TYPE anyVideo{};
    anyVideo.majortype = MEDIATYPE_Video;  // subtype and format type GUID_NULL: whatever is offered
    HRESULT hr = grabber->SetMediaType(&anyVideo);
    if (FAILED(hr)) return fail(GrabberSetupStep::MediaType, hr);
    hr = grabber->SetOneShot(FALSE);
    if (FAILED(hr)) return fail(GrabberSetupStep::OneShot, hr);
    hr = grabber->SetBufferSamples(TRUE);
    if (FAILED(hr)) return fail(GrabberSetupStep::BufferSamples, hr);
    return S_OK;
}

PixelFormat PixelFormatOfSubtype(const GUID& subtype) {
    if (subtype == MEDIASUBTYPE_YUY2) return PixelFormat::Yuy2;
    if (subtype == FourCcSubtype('I', '4', '2', '0') || subtype == MEDIASUBTYPE_IYUV) return PixelFormat::I420;
    if (subtype == MEDIASUBTYPE_YV12) return PixelFormat::Yv12;
    if (subtype == MEDIASUBTYPE_RGB24) return PixelFormat::Rgb24;
    if (subtype == MEDIASUBTYPE_RGB32 || subtype == MEDIASUBTYPE_ARGB32) return PixelFormat::Rgb32;
    return PixelFormat::Unsupported;
}

GrabStatus GrabFrame(ISampleGrabber* grabber, GrabbedFrame& frame, size_t maxBytes) {
    if (!grabber) return GrabStatus::NoGrabber;
    long size = 0;
    HRESULT hr = E_FAIL;
    for (int attempt = 0; attempt < kSizeQueryAttempts && FAILED(hr); ++attempt)
        hr = grabber->GetCurrentBuffer(&size, nullptr);
    if (FAILED(hr) || size <= 0) return GrabStatus::NoSample;
    if (static_cast<unsigned long>(size) > maxBytes) return GrabStatus::TooLarge;

    frame.bytes.resize(static_cast<size_t>(size));
    long copied = size;  // in: the buffer's size; out: the bytes copied
    hr = grabber->GetCurrentBuffer(&copied, reinterpret_cast<long*>(frame.bytes.data()));
    if (FAILED(hr) || copied <= 0 || copied > size) return GrabStatus::CopyFailed;
    frame.bytes.resize(static_cast<size_t>(copied));

    MediaTypeContents type;
    if (FAILED(grabber->GetConnectedMediaType(type.Put()))) return GrabStatus::NoMediaType;
    const AM_MEDIA_TYPE& connected = type.Get();
    if (connected.formattype != FORMAT_VideoInfo || !connected.pbFormat ||
        connected.cbFormat < sizeof(VIDEOINFOHEADER))
        return GrabStatus::NotVideoInfo;
    frame.subtype = connected.subtype;
    frame.header = reinterpret_cast<const VIDEOINFOHEADER*>(connected.pbFormat)->bmiHeader;
    frame.shape = ShapeOf(PixelFormatOfSubtype(connected.subtype), frame.header);

    const size_t needed = FrameBytes(frame.shape);
    if (needed == 0) return GrabStatus::Unsupported;
    if (frame.bytes.size() < needed) return GrabStatus::Truncated;
    return GrabStatus::Ok;
}

}  // namespace lumetra
