#pragma once
// The simulated audio capture filter: 16-bit PCM from a live pin (48 kHz stereo by default), with
// the sound of whichever audio input the video device's crossbar routes, and an input mixer.
#include <memory>
#include <mutex>

#include "framework/dshow_extra.h"
#include "simdev/filter_base.h"
#include "simdev/sound.h"

namespace simdev {

class AudioCaptureFilter;

class AudioCapturePin final : public LiveOutputPin, public IKsPropertySet, public IAMStreamConfig {
public:
    explicit AudioCapturePin(AudioCaptureFilter& owner);

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

protected:
    std::vector<MediaType> MediaTypes() override;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;
    void BufferNeeds(ALLOCATOR_PROPERTIES& props) override;
    REFERENCE_TIME UnitDuration() override { return kBlockDuration; }
    bool DeliverAtEnd() const override { return true; }
    void OnSessionStart() override;
    void OnTick() override;
    HRESULT FillUnit(IMediaSample* sample, uint64_t index) override;

private:
    static constexpr REFERENCE_TIME kBlockDuration = 400000;  // 40 ms per sample
    AudioCaptureFilter& owner_;
    MediaType format_;
    // Streaming thread only.
    SoundGenerator generator_;
    int rate_ = 48000, channels_ = 2;
};

class AudioCaptureFilter final : public Filter, public IAMAudioInputMixer {
public:
    AudioCaptureFilter();
    ~AudioCaptureFilter() override;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IAMAudioInputMixer
    STDMETHODIMP put_Enable(BOOL enable) override;
    STDMETHODIMP get_Enable(BOOL* enable) override;
    STDMETHODIMP put_Mono(BOOL mono) override;
    STDMETHODIMP get_Mono(BOOL* mono) override;
    STDMETHODIMP put_MixLevel(double level) override;
    STDMETHODIMP get_MixLevel(double* level) override;
    STDMETHODIMP put_Pan(double pan) override;
    STDMETHODIMP get_Pan(double* pan) override;
    STDMETHODIMP put_Loudness(BOOL loudness) override;
    STDMETHODIMP get_Loudness(BOOL* loudness) override;
    STDMETHODIMP put_Treble(double treble) override;
    STDMETHODIMP get_Treble(double* treble) override;
    STDMETHODIMP get_TrebleRange(double* range) override;
    STDMETHODIMP put_Bass(double bass) override;
    STDMETHODIMP get_Bass(double* bass) override;
    STDMETHODIMP get_BassRange(double* range) override;

    // The sound to produce now (silence while the input is disabled).
    SoundSettings CurrentSound();

protected:
    std::vector<Pin*> Pins() override;

private:
    LONG refs_ = 1;
    ModuleReference module_;
    std::unique_ptr<AudioCapturePin> pin_;
    std::mutex mixerLock_;
    BOOL enabled_ = TRUE, mono_ = FALSE, loudness_ = FALSE;
    double level_ = 1.0, pan_ = 0.0, treble_ = 0.0, bass_ = 0.0;
};

}  // namespace simdev
