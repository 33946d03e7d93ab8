#include "media/device_controls.h"

#include <memory>

#include "app/helpers.h"
#include "framework/media_type.h"
#include "media/capture_sizes.h"
#include "media/device_names.h"
#include "media/device_set.h"
#include "media/graph_util.h"
#include "media/snapshot_button.h"

namespace lumetra {

const IID kIidDevicePrivateProperties = {0xBE0AB5D2, 0x3B9A, 0x4E42, {0xA0, 0x5E, 0x4A, 0x17, 0x8B, 0x56, 0x6C, 0x7C}};

namespace {

// One press is reported once, for the whole process.
SnapshotButtonLatch& ButtonLatch() {
    static SnapshotButtonLatch latch;
    return latch;
}

}  // namespace

void DeviceControls::FindVendorInterface() {
    vendor_.Reset();
    vendorResult_ = kNoVendorInterface;
    std::string name = DeviceSet::ReadVideoDeviceName();
    ComPtr<IBaseFilter> filter = DeviceSet::FindDevice(CLSID_VideoInputDeviceCategory, name, kVendorVideoNames);
    // The interface keeps the driver object alive; the filter reference itself is not needed.
    if (filter) filter->QueryInterface(kIidDevicePrivateProperties, vendor_.PutVoid());
}

template <class T>
void DeviceControls::FindOnCapturePin(IBaseFilter* video, REFIID iid, ComPtr<T>& out) {
    out.Reset();
    if (!builder_ || !video) return;
    if (FAILED(builder_->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved, video, iid, out.PutVoid())))
        builder_->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, video, iid, out.PutVoid());
}

void DeviceControls::Attach(IBaseFilter* video, IBaseFilter* audio, const std::string& videoName) {
    procAmp_.Reset();
    camera_.Reset();
    decoder_.Reset();
    tvAudio_.Reset();
    tuner_.Reset();
    streamConfig_.Reset();
    mixer_.Reset();
    if (video) {
        video->QueryInterface(IID_IAMVideoProcAmp, procAmp_.PutVoid());
        video->QueryInterface(IID_IAMAnalogVideoDecoder, decoder_.PutVoid());
        if (IsCameraModel(videoName)) video->QueryInterface(kIidDevicePrivateProperties, camera_.PutVoid());
    }
    FindOnCapturePin(video, IID_IAMTVAudio, tvAudio_);
    FindOnCapturePin(video, IID_IAMTVTuner, tuner_);
    FindOnCapturePin(video, IID_IAMStreamConfig, streamConfig_);
    if (audio) audio->QueryInterface(IID_IAMAudioInputMixer, mixer_.PutVoid());
}

IUnknown* DeviceControls::Interface(int index) const {
    switch (index) {
    case kProcAmp: return procAmp_.Get();
    case kCameraControl: return camera_.Get();
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
    camera_.Reset();
    streamConfig_.Reset();
    decoder_.Reset();
    tuner_.Reset();
    tvAudio_.Reset();
    mixer_.Reset();
    vendor_.Reset();
    vendorResult_ = kNoVendorInterface;
}

bool DeviceControls::GetProcAmp(long property, long& value) const {
    long read = 0, flags = 0;
    if (!procAmp_ || FAILED(procAmp_->Get(property, &read, &flags))) return false;
    value = read;
    return true;
}

bool DeviceControls::GetProcAmpRange(long property, long& minimum, long& maximum) const {
    long low = 0, high = 0, step = 0, fallback = 0, flags = 0;
    if (!procAmp_ || FAILED(procAmp_->GetRange(property, &low, &high, &step, &fallback, &flags))) return false;
    minimum = low;
    maximum = high;
    return true;
}

void DeviceControls::SetProcAmp(long property, long value) const {
    if (procAmp_) procAmp_->Set(property, value, 0);
}

void DeviceControls::ShowProcAmpProperties(HWND owner) const {
    if (procAmp_) ShowPropertyPages(owner, procAmp_.Get());
}

void DeviceControls::ShowPropertyPages(HWND owner, IUnknown* object) {
    HRESULT hr = ShowObjectPropertyPages(owner, object);
    if (FAILED(hr)) ShowError("Device : Cannot show the property pages", hr);
}

int DeviceControls::ShowStreamConfigProperties(HWND owner) const {
    if (streamConfig_) ShowPropertyPages(owner, streamConfig_.Get());
    return GetCaptureSizeIndex();
}

bool DeviceControls::GetCaptureSize(int& width, int& height) const {
    if (!streamConfig_) return false;
    AM_MEDIA_TYPE* raw = nullptr;
    if (FAILED(streamConfig_->GetFormat(&raw)) || !raw) return false;
    OwnedMediaType type(raw);
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
    OwnedMediaType type(raw);
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

long DeviceControls::AccessRegister(int reg, int byteCount, void* value, bool write) {
    if (!vendor_) return vendorResult_ = kNoVendorInterface;
    DWORD select = (static_cast<DWORD>(reg & 0xFF) << 8) | static_cast<DWORD>(byteCount & 0xFF);
    HRESULT hr = vendor_->SetProperty(kPropRegisterSelect, &select);
    if (SUCCEEDED(hr))
        hr = write ? vendor_->SetProperty(kPropRegisterData, value) : vendor_->GetProperty(kPropRegisterData, value);
    if (FAILED(hr)) {
        // Let go of a selection the transfer could not finish.
        DWORD none = 0;
        vendor_->SetProperty(kPropRegisterSelect, &none);
    }
    return vendorResult_ = hr;
}

long DeviceControls::ReadRegister(int reg, int byteCount, void* value) {
    return AccessRegister(reg, byteCount, value, false);
}

long DeviceControls::WriteRegister(int reg, int byteCount, void* value) {
    return AccessRegister(reg, byteCount, value, true);
}

bool DeviceControls::PollSnapshotButton() {
    uint8_t reading = 0;
    long result = ReadRegister(kSnapshotButtonRegister, 1, &reading);
    if (result == kNoVendorInterface || FAILED(result)) return false;
    SnapshotButtonLatch::Decision d = ButtonLatch().Poll(reading);
    if (d.writeBack) WriteRegister(kSnapshotButtonRegister, 1, &d.value);
    return d.report;
}

}  // namespace lumetra
