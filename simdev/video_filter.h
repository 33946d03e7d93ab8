#pragma once
// The simulated video capture filter: a live capture pin, an analog video input pin fed by the
// simulated crossbar, picture controls, the analog video decoder, the TV tuner and TV audio (TV box
// profile), and the driver's private register interface.
#include <atomic>
#include <memory>
#include <mutex>

#include "simdev/control_values.h"
#include "simdev/crossbar_filter.h"
#include "framework/dshow_extra.h"
#include "simdev/filter_base.h"
#include "simdev/picture.h"
#include "simdev/pixel_formats.h"
#include "simdev/sim_control.h"
#include "simdev/simdev.h"

namespace simdev {

class VideoCaptureFilter;

class CapturePin final : public LiveOutputPin,
                         public IKsPropertySet,
                         public IAMStreamConfig,
                         public IAMDroppedFrames,
                         public ISpecifyPropertyPages {
public:
    explicit CapturePin(VideoCaptureFilter& owner);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IKsPropertySet
    STDMETHODIMP Set(REFGUID set, DWORD id, void* instance, DWORD instanceBytes, void* data, DWORD dataBytes) override;
    STDMETHODIMP Get(REFGUID set, DWORD id, void* instance, DWORD instanceBytes, void* data, DWORD dataBytes,
                     DWORD* returned) override;
    STDMETHODIMP QuerySupported(REFGUID set, DWORD id, DWORD* support) override;
    // IAMStreamConfig
    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** mt) override;
    STDMETHODIMP GetNumberOfCapabilities(int* count, int* size) override;
    STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) override;
    // IAMDroppedFrames
    STDMETHODIMP GetNumDropped(long* dropped) override;
    STDMETHODIMP GetNumNotDropped(long* delivered) override;
    STDMETHODIMP GetDroppedInfo(long size, long* frames, long* copied) override;
    STDMETHODIMP GetAverageFrameSize(long* bytes) override;
    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

protected:
    std::vector<MediaType> MediaTypes() override;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;
    void BufferNeeds(ALLOCATOR_PROPERTIES& props) override;
    REFERENCE_TIME UnitDuration() override { return 333333; }
    void OnSessionStart() override;
    void OnTick() override;
    HRESULT FillUnit(IMediaSample* sample, uint64_t index) override;

private:
    VideoCaptureFilter& owner_;
    MediaType format_;  // what the next connection uses (IAMStreamConfig), under the filter lock
    bool formatSet_ = false;  // after SetFormat the pin offers that format alone, as a KS pin does
    // Streaming thread only.
    Picture picture_;
    PixelFormat streamFormat_ = PixelFormat::YUY2;
    int streamWidth_ = 640, streamHeight_ = 480;
    DWORD dropRequests_ = 0;
};

class AnalogInputPin final : public Pin, public IKsPropertySet {
public:
    explicit AnalogInputPin(Filter& filter);
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP Set(REFGUID set, DWORD id, void* instance, DWORD instanceBytes, void* data, DWORD dataBytes) override;
    STDMETHODIMP Get(REFGUID set, DWORD id, void* instance, DWORD instanceBytes, void* data, DWORD dataBytes,
                     DWORD* returned) override;
    STDMETHODIMP QuerySupported(REFGUID set, DWORD id, DWORD* support) override;

protected:
    std::vector<MediaType> MediaTypes() override;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;
};

class VideoCaptureFilter final : public Filter,
                                 public IAMVideoProcAmp,
                                 public IAMAnalogVideoDecoder,
                                 public IAMTVTuner,
                                 public IAMTVAudio,
                                 public ISpecifyPropertyPages,
                                 public IVexaDeviceProperties {
public:
    VideoCaptureFilter();
    ~VideoCaptureFilter() override;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IAMVideoProcAmp
    STDMETHODIMP GetRange(long property, long* min, long* max, long* step, long* def, long* caps) override;
    STDMETHODIMP Set(long property, long value, long flags) override;
    STDMETHODIMP Get(long property, long* value, long* flags) override;
    // IAMAnalogVideoDecoder (get_AvailableTVFormats and get_TVFormat also serve IAMTVTuner)
    STDMETHODIMP get_AvailableTVFormats(long* standards) override;
    STDMETHODIMP put_TVFormat(long standard) override;
    STDMETHODIMP get_TVFormat(long* standard) override;
    STDMETHODIMP get_HorizontalLocked(long* locked) override;
    STDMETHODIMP put_VCRHorizontalLocking(long vcr) override;
    STDMETHODIMP get_VCRHorizontalLocking(long* vcr) override;
    STDMETHODIMP get_NumberOfLines(long* lines) override;
    STDMETHODIMP put_OutputEnable(long enable) override;
    STDMETHODIMP get_OutputEnable(long* enable) override;
    // IAMTuner
    STDMETHODIMP put_Channel(LONG channel, LONG video, LONG audio) override;
    STDMETHODIMP get_Channel(LONG* channel, LONG* video, LONG* audio) override;
    STDMETHODIMP ChannelMinMax(LONG* min, LONG* max) override;
    STDMETHODIMP put_CountryCode(LONG country) override;
    STDMETHODIMP get_CountryCode(LONG* country) override;
    STDMETHODIMP put_TuningSpace(LONG space) override;
    STDMETHODIMP get_TuningSpace(LONG* space) override;
    STDMETHODIMP Logon(HANDLE user) override;
    STDMETHODIMP Logout() override;
    STDMETHODIMP SignalPresent(LONG* strength) override;
    STDMETHODIMP put_Mode(AMTunerModeType mode) override;
    STDMETHODIMP get_Mode(AMTunerModeType* mode) override;
    STDMETHODIMP GetAvailableModes(LONG* modes) override;
    STDMETHODIMP RegisterNotificationCallBack(IAMTunerNotification* notify, LONG events) override;
    STDMETHODIMP UnRegisterNotificationCallBack(IAMTunerNotification* notify) override;
    // IAMTVTuner
    STDMETHODIMP AutoTune(LONG channel, LONG* signal) override;
    STDMETHODIMP StoreAutoTune() override;
    STDMETHODIMP get_NumInputConnections(LONG* count) override;
    STDMETHODIMP put_InputType(LONG index, TunerInputType type) override;
    STDMETHODIMP get_InputType(LONG index, TunerInputType* type) override;
    STDMETHODIMP put_ConnectInput(LONG index) override;
    STDMETHODIMP get_ConnectInput(LONG* index) override;
    STDMETHODIMP get_VideoFrequency(LONG* hz) override;
    STDMETHODIMP get_AudioFrequency(LONG* hz) override;
    // IAMTVAudio
    STDMETHODIMP GetHardwareSupportedTVAudioModes(long* modes) override;
    STDMETHODIMP GetAvailableTVAudioModes(long* modes) override;
    STDMETHODIMP get_TVAudioMode(long* mode) override;
    STDMETHODIMP put_TVAudioMode(long mode) override;
    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;
    // IVexaDeviceProperties
    STDMETHODIMP Reserved() override;
    STDMETHODIMP SetProperty(DWORD propertyId, void* data) override;
    STDMETHODIMP GetProperty(DWORD propertyId, void* data) override;

    // For the capture pin.
    SceneSettings Scene(int width, int height);
    void RefreshControl();
    Profile GetProfile() const { return profile_; }
    CrossbarFilter* Crossbar() { return crossbar_; }

protected:
    std::vector<Pin*> Pins() override;
    void OnGraphChanged(IFilterGraph* graph) override;

private:
    bool HasTuner() const { return profile_ == Profile::TvBox; }
    bool HasDecoder() const { return profile_ != Profile::Webcam; }
    bool ChannelHasSignal(long channel);
    void PublishAudioSource();
    HRESULT CameraProperty(DWORD id, void* data, bool set);

    LONG refs_ = 1;
    ModuleReference module_;
    const Profile profile_;
    std::unique_ptr<CapturePin> capture_;
    std::unique_ptr<AnalogInputPin> analogIn_;
    CrossbarFilter* crossbar_ = nullptr;  // owned reference; null for the webcam
    IFilterGraph* crossbarGraph_ = nullptr;  // the graph we placed the crossbar in

    std::mutex settingsLock_;
    ValueRange brightnessRange_;  // fixed at creation
    long brightness_ = 128, contrast_ = 100, saturation_ = 100;
    long availableStandards_ = 0, standard_ = 0;
    long vcrLocking_ = 0, outputEnable_ = 1;
    long channel_ = 4, country_ = 1, tuningSpace_ = 0;
    TunerInputType inputType_ = TunerInputCable;
    long audioMode_ = AMTVAUDIO_MODE_STEREO;
    CameraControls camera_;  // the webcam profile's
    ControlSnapshot control_;
};

}  // namespace simdev
