#pragma once
// The capture device's interfaces that the program adjusts: picture controls, camera controls,
// capture format, analog decoder, TV tuner and TV audio, audio input mixer; and the driver's
// private property interface through which device registers (the snapshot button) are read.
#include <dshow.h>

#include <cstdint>
#include <string>

#include "framework/com_ptr.h"
#include "framework/dshow_extra.h"
#include "media/vendor_properties.h"

namespace lumetra {

class DeviceControls {
public:
    enum Index { kProcAmp = 0, kCameraControl = 1, kStreamConfig = 2, kDecoder = 4, kTvTuner = 5, kTvAudio = 6,
                 kAudioMixer = 9 };
    // ReadRegister's result without the private interface.
    static constexpr long kNoVendorInterface = 6;

    // Finds the driver's private property interface through the device names (start-up).
    void FindVendorInterface();
    void SetBuilder(ICaptureGraphBuilder2* builder) { builder_ = builder; }
    // Obtains the interfaces; the video filter must already be in the graph. A camera model (by its
    // device name) also gives its camera controls.
    void Attach(IBaseFilter* video, IBaseFilter* audio, const std::string& videoName = std::string());
    IUnknown* Interface(int index) const;
    IDevicePrivateProperties* CameraControls() const { return camera_.Get(); }
    void Release();

    // Picture controls (0 brightness, 1 contrast, 3 saturation); nothing without the interface.
    // The reads give false (and leave the value) when the device cannot answer.
    bool GetProcAmp(long property, long& value) const;
    // The lowest and highest value the device takes (GetRange; the step and default are not used).
    bool GetProcAmpRange(long property, long& minimum, long& maximum) const;
    void SetProcAmp(long property, long value) const;

    // Property pages, each in one frame owned by owner; a failure is reported in an error box.
    void ShowProcAmpProperties(HWND owner) const;
    static void ShowPropertyPages(HWND owner, IUnknown* object);
    // The capture format's pages; returns the capture size index chosen there.
    int ShowStreamConfigProperties(HWND owner) const;

    // The capture format's picture size; false without the interface.
    bool GetCaptureSize(int& width, int& height) const;
    // The index of the current format in the capture size table, -1 when it cannot be read.
    int GetCaptureSizeIndex() const;
    // Sets the capture format to a size of the table; false when the device refuses.
    bool SetCaptureSize(int index) const;

    // Register access through the private interface; the last result code (6 without it).
    long ReadRegister(int reg, int byteCount, void* value);
    long WriteRegister(int reg, int byteCount, void* value);
    long LastVendorResult() const { return vendorResult_; }
    // True once for each press of the device's snapshot button.
    bool PollSnapshotButton();

private:
    template <class T>
    void FindOnCapturePin(IBaseFilter* video, REFIID iid, ComPtr<T>& out);
    long AccessRegister(int reg, int byteCount, void* value, bool write);

    ICaptureGraphBuilder2* builder_ = nullptr;  // owned by the capture graph
    ComPtr<IAMVideoProcAmp> procAmp_;
    ComPtr<IDevicePrivateProperties> camera_;
    ComPtr<IAMStreamConfig> streamConfig_;
    ComPtr<IAMAnalogVideoDecoder> decoder_;
    ComPtr<IAMTVTuner> tuner_;
    ComPtr<IAMTVAudio> tvAudio_;
    ComPtr<IAMAudioInputMixer> mixer_;
    ComPtr<IDevicePrivateProperties> vendor_;
    long vendorResult_ = kNoVendorInterface;
};

}  // namespace lumetra
