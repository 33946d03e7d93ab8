#pragma once
// The capture device's interfaces that the program adjusts: picture controls, capture format,
// analog decoder, TV tuner and TV audio, audio input mixer.
#include <dshow.h>

#include "framework/com_ptr.h"
#include "framework/dshow_extra.h"

namespace lumetra {

class DeviceControls {
public:
    enum Index { kProcAmp = 0, kCameraControl = 1, kStreamConfig = 2, kDecoder = 4, kTvTuner = 5, kTvAudio = 6,
                 kAudioMixer = 9 };

    void SetBuilder(ICaptureGraphBuilder2* builder) { builder_ = builder; }
    // Obtains the interfaces; the video filter must already be in the graph.
    void Attach(IBaseFilter* video, IBaseFilter* audio);
    IUnknown* Interface(int index) const;
    void Release();

    // Picture controls (0 brightness, 1 contrast, 3 saturation); nothing without the interface.
    void GetProcAmp(long property, long& value) const;
    void GetProcAmpMax(long property, long& maximum) const;
    void SetProcAmp(long property, long value) const;

    // The capture format's picture size; false without the interface.
    bool GetCaptureSize(int& width, int& height) const;
    // The index of the current format in the capture size table, -1 when it cannot be read.
    int GetCaptureSizeIndex() const;
    // Sets the capture format to a size of the table; false when the device refuses.
    bool SetCaptureSize(int index) const;

private:
    template <class T>
    void FindOnCapturePin(IBaseFilter* video, REFIID iid, ComPtr<T>& out);

    ICaptureGraphBuilder2* builder_ = nullptr;  // owned by the capture graph
    ComPtr<IAMVideoProcAmp> procAmp_;
    ComPtr<IAMStreamConfig> streamConfig_;
    ComPtr<IAMAnalogVideoDecoder> decoder_;
    ComPtr<IAMTVTuner> tuner_;
    ComPtr<IAMTVAudio> tvAudio_;
    ComPtr<IAMAudioInputMixer> mixer_;
};

}  // namespace lumetra
