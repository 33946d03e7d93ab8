#include "media/device_controls.h"

#include <memory>

#include "media/capture_sizes.h"

namespace lumetra {
namespace {

// Frees a media type returned by the stream configuration.
void DeleteMediaType(AM_MEDIA_TYPE* type) {
    if (!type) return;
    if (type->cbFormat) CoTaskMemFree(type->pbFormat);
    if (type->pUnk) type->pUnk->Release();
    CoTaskMemFree(type);
}

struct MediaTypeDeleter {
    void operator()(AM_MEDIA_TYPE* t) const { DeleteMediaType(t); }
};

}  // namespace

template <class T>
void DeviceControls::FindOnCapturePin(IBaseFilter* video, REFIID iid, ComPtr<T>& out) {
    out.Reset();
    if (!builder_ || !video) return;
    if (FAILED(builder_->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved, video, iid, out.PutVoid())))
        builder_->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, video, iid, out.PutVoid());
}

void DeviceControls::Attach(IBaseFilter* video, IBaseFilter* audio) {
    Release();
    if (video) {
        video->QueryInterface(IID_IAMVideoProcAmp, procAmp_.PutVoid());
        video->QueryInterface(IID_IAMAnalogVideoDecoder, decoder_.PutVoid());
    }
    FindOnCapturePin(video, IID_IAMTVAudio, tvAudio_);
    FindOnCapturePin(video, IID_IAMTVTuner, tuner_);
    FindOnCapturePin(video, IID_IAMStreamConfig, streamConfig_);
    if (audio) audio->QueryInterface(IID_IAMAudioInputMixer, mixer_.PutVoid());
}

IUnknown* DeviceControls::Interface(int index) const {
    switch (index) {
    case kProcAmp: return procAmp_.Get();
    case kStreamConfig: return streamConfig_.Get();
    case kDecoder: return decoder_.Get();
    case kTvTuner: return tuner_.Get();
    case kTvAudio: return tvAudio_.Get();
    case kAudioMixer: return mixer_.Get();
    default: return nullptr;
    }
}

void DeviceControls::Release() {
    procAmp_.Reset();
    streamConfig_.Reset();
    decoder_.Reset();
    tuner_.Reset();
    tvAudio_.Reset();
    mixer_.Reset();
}

void DeviceControls::GetProcAmp(long property, long& value) const {
    long flags = 0;
    if (procAmp_) procAmp_->Get(property, &value, &flags);
}

void DeviceControls::GetProcAmpMax(long property, long& maximum) const {
    long minimum = 0, step = 0, fallback = 0, flags = 0;
    if (procAmp_) procAmp_->GetRange(property, &minimum, &maximum, &step, &fallback, &flags);
}

void DeviceControls::SetProcAmp(long property, long value) const {
    if (procAmp_) procAmp_->Set(property, value, 0);
}

bool DeviceControls::GetCaptureSize(int& width, int& height) const {
    if (!streamConfig_) return false;
    AM_MEDIA_TYPE* raw = nullptr;
    if (FAILED(streamConfig_->GetFormat(&raw)) || !raw) return false;
    std::unique_ptr<AM_MEDIA_TYPE, MediaTypeDeleter> type(raw);
    if (type->formattype != FORMAT_VideoInfo || type->cbFormat < sizeof(VIDEOINFOHEADER) || !type->pbFormat)
        return false;
    const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type->pbFormat);
    VideoSize size;
    if (!VideoSizeFromFormat(info->bmiHeader.biWidth, info->bmiHeader.biHeight, size)) return false;
    width = size.width;
    height = size.height;
    return true;
}

int DeviceControls::GetCaptureSizeIndex() const {
    int width = 0, height = 0;
    if (!GetCaptureSize(width, height)) return -1;
    return CaptureSizeIndex(width, height);
}

bool DeviceControls::SetCaptureSize(int index) const {
    if (!streamConfig_) return false;
    AM_MEDIA_TYPE* raw = nullptr;
    if (FAILED(streamConfig_->GetFormat(&raw)) || !raw) return false;
    std::unique_ptr<AM_MEDIA_TYPE, MediaTypeDeleter> type(raw);
    if (type->formattype != FORMAT_VideoInfo || type->cbFormat < sizeof(VIDEOINFOHEADER) || !type->pbFormat)
        return true;
    auto* info = reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat);
    VideoSize size = CaptureSizeAt(index);
    info->bmiHeader.biWidth = size.width;
    info->bmiHeader.biHeight = size.height;
    // Keep the sample size in step with the picture so the device can size its buffers.
    if (info->bmiHeader.biBitCount > 0)
        info->bmiHeader.biSizeImage =
            static_cast<DWORD>(size.width) * static_cast<DWORD>(size.height) * info->bmiHeader.biBitCount / 8;
    type->lSampleSize = info->bmiHeader.biSizeImage;
    return SUCCEEDED(streamConfig_->SetFormat(type.get()));
}

}  // namespace lumetra
