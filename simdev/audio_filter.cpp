#include "simdev/audio_filter.h"

#include <cstring>

#include "simdev/sim_control.h"
#include "simdev/simdev.h"

namespace simdev {
namespace {

constexpr int kRates[] = {48000, 44100, 32000, 22050, 16000, 11025, 8000};
constexpr int kRateCount = 7;
constexpr double kToneRange = 12.0;  // treble and bass, in dB either way

MediaType MakeAudioType(int rate, int channels) {
    WAVEFORMATEX wfx;
    std::memset(&wfx, 0, sizeof(wfx));
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = static_cast<WORD>(channels);
    wfx.nSamplesPerSec = static_cast<DWORD>(rate);
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = static_cast<WORD>(channels * 2);
    wfx.nAvgBytesPerSec = static_cast<DWORD>(rate * channels * 2);
    MediaType mt;
    mt.Ptr()->majortype = MEDIATYPE_Audio;
    mt.Ptr()->subtype = MEDIASUBTYPE_PCM;
    mt.Ptr()->bFixedSizeSamples = TRUE;
    mt.Ptr()->lSampleSize = wfx.nBlockAlign;
    mt.SetFormat(FORMAT_WaveFormatEx, &wfx, sizeof(wfx));
    return mt;
}

bool ParseAudioType(const AM_MEDIA_TYPE& mt, int& rate, int& channels) {
    if (mt.majortype != MEDIATYPE_Audio || mt.subtype != MEDIASUBTYPE_PCM || mt.formattype != FORMAT_WaveFormatEx ||
        !mt.pbFormat || mt.cbFormat < sizeof(WAVEFORMATEX) - sizeof(WORD))
        return false;
    const auto* wfx = reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
    if (wfx->wFormatTag != WAVE_FORMAT_PCM || wfx->wBitsPerSample != 16) return false;
    if (wfx->nChannels != 1 && wfx->nChannels != 2) return false;
    bool known = false;
    for (int r : kRates) known = known || static_cast<int>(wfx->nSamplesPerSec) == r;
    if (!known || wfx->nBlockAlign != wfx->nChannels * 2) return false;
    rate = static_cast<int>(wfx->nSamplesPerSec);
    channels = wfx->nChannels;
    return true;
}

// Capabilities: every rate in stereo, then every rate in mono.
MediaType AudioCapability(int index) { return MakeAudioType(kRates[index % kRateCount], index < kRateCount ? 2 : 1); }

}  // namespace

AudioCapturePin::AudioCapturePin(AudioCaptureFilter& owner)
    : LiveOutputPin(owner, L"Capture"), owner_(owner), format_(MakeAudioType(48000, 2)) {}

STDMETHODIMP AudioCapturePin::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    void* p = PinInterface(iid);
    if (!p && iid == IID_IKsPropertySet) p = static_cast<IKsPropertySet*>(this);
    if (!p && iid == IID_IAMStreamConfig) p = static_cast<IAMStreamConfig*>(this);
    *out = p;
    if (!p) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}
STDMETHODIMP_(ULONG) AudioCapturePin::AddRef() { return filter_.AddRefFilter(); }
STDMETHODIMP_(ULONG) AudioCapturePin::Release() { return filter_.ReleaseFilter(); }

STDMETHODIMP AudioCapturePin::Set(REFGUID, DWORD, void*, DWORD, void*, DWORD) { return E_NOTIMPL; }
STDMETHODIMP AudioCapturePin::Get(REFGUID set, DWORD id, void*, DWORD, void* data, DWORD dataBytes, DWORD* returned) {
    return ReportPinCategory(set, id, data, dataBytes, returned, PIN_CATEGORY_CAPTURE);
}
STDMETHODIMP AudioCapturePin::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
    return PinCategorySupport(set, id, support);
}

std::vector<MediaType> AudioCapturePin::MediaTypes() {
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    std::vector<MediaType> types{format_};
    for (int i = 0; i < 2 * kRateCount; ++i) {
        MediaType t = AudioCapability(i);
        if (std::memcmp(t.Get().pbFormat, format_.Get().pbFormat, sizeof(WAVEFORMATEX)) != 0) types.push_back(t);
    }
    return types;
}

HRESULT AudioCapturePin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
    int rate, channels;
    return ParseAudioType(mt, rate, channels) ? S_OK : S_FALSE;
}

void AudioCapturePin::BufferNeeds(ALLOCATOR_PROPERTIES& props) {
    int rate = 48000, channels = 2;
    ParseAudioType(ConnectedType().Get(), rate, channels);
    props.cBuffers = 8;
    props.cbBuffer = static_cast<long>(rate / 25 * channels * 2);  // 40 ms
    props.cbAlign = 1;
    props.cbPrefix = 0;
}

STDMETHODIMP AudioCapturePin::SetFormat(AM_MEDIA_TYPE* mt) {
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    MediaType wanted = mt ? MediaType(*mt) : MakeAudioType(48000, 2);
    int rate, channels;
    if (!ParseAudioType(wanted.Get(), rate, channels)) return VFW_E_INVALIDMEDIATYPE;
    return ChangeFormat(format_, MakeAudioType(rate, channels));
}

STDMETHODIMP AudioCapturePin::GetFormat(AM_MEDIA_TYPE** mt) {
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    return CopyFormat(format_, mt);
}

STDMETHODIMP AudioCapturePin::GetNumberOfCapabilities(int* count, int* size) {
    if (!count || !size) return E_POINTER;
    *count = 2 * kRateCount;
    *size = sizeof(AUDIO_STREAM_CONFIG_CAPS);
    return S_OK;
}

STDMETHODIMP AudioCapturePin::GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) {
    if (!mt || !caps) return E_POINTER;
    if (index < 0 || index >= 2 * kRateCount) return S_FALSE;
    *mt = AudioCapability(index).NewTaskMemCopy();
    if (!*mt) return E_OUTOFMEMORY;
    auto* c = reinterpret_cast<AUDIO_STREAM_CONFIG_CAPS*>(caps);
    std::memset(c, 0, sizeof(*c));
    c->guid = MEDIATYPE_Audio;
    c->MinimumChannels = 1;
    c->MaximumChannels = 2;
    c->ChannelsGranularity = 1;
    c->MinimumBitsPerSample = c->MaximumBitsPerSample = 16;
    c->BitsPerSampleGranularity = 16;
    c->MinimumSampleFrequency = 8000;
    c->MaximumSampleFrequency = 48000;
    c->SampleFrequencyGranularity = 1;
    return S_OK;
}

void AudioCapturePin::OnSessionStart() {
    ParseAudioType(ConnectedType().Get(), rate_, channels_);
    generator_.Reset();
}

void AudioCapturePin::OnTick() {
    if (ReadControl().unplugged && !Halted()) {
        Halt();
        owner_.NotifyEvent(EC_DEVICE_LOST,
                           reinterpret_cast<LONG_PTR>(static_cast<IUnknown*>(static_cast<IBaseFilter*>(&owner_))), 0);
    }
}

HRESULT AudioCapturePin::FillUnit(IMediaSample* sample, uint64_t index) {
    const size_t frames = static_cast<size_t>(rate_ / 25);
    const size_t bytes = frames * channels_ * 2;
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data || static_cast<size_t>(sample->GetSize()) < bytes)
        return E_UNEXPECTED;
    generator_.Fill(owner_.CurrentSound(), rate_, channels_, reinterpret_cast<int16_t*>(data), frames);
    sample->SetActualDataLength(static_cast<long>(bytes));
    LONGLONG first = static_cast<LONGLONG>(index * frames), last = first + static_cast<LONGLONG>(frames);
    sample->SetMediaTime(&first, &last);
    return S_OK;
}

AudioCaptureFilter::AudioCaptureFilter() : Filter(CLSID_SimAudioCapture, true) {
    pin_ = std::make_unique<AudioCapturePin>(*this);
}

AudioCaptureFilter::~AudioCaptureFilter() = default;

STDMETHODIMP AudioCaptureFilter::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    void* p = FilterInterface(iid);
    if (!p && iid == IID_IAMAudioInputMixer) p = static_cast<IAMAudioInputMixer*>(this);
    *out = p;
    if (!p) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}
STDMETHODIMP_(ULONG) AudioCaptureFilter::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
STDMETHODIMP_(ULONG) AudioCaptureFilter::Release() {
    LONG r = InterlockedDecrement(&refs_);
    if (r == 0) {
        Stop();
        delete this;
    }
    return static_cast<ULONG>(r);
}

std::vector<Pin*> AudioCaptureFilter::Pins() { return {pin_.get()}; }

SoundSettings AudioCaptureFilter::CurrentSound() {
    SoundInput input;
    int channel;
    bool signal;
    DeviceState::Instance().AudioSource(input, channel, signal);
    std::lock_guard<std::mutex> hold(mixerLock_);
    SoundSettings s = SoundFor(input, channel, signal, level_);
    if (!enabled_) s.kind = SoundKind::Silence;
    return s;
}

STDMETHODIMP AudioCaptureFilter::put_Enable(BOOL enable) {
    std::lock_guard<std::mutex> hold(mixerLock_);
    enabled_ = enable ? TRUE : FALSE;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::get_Enable(BOOL* enable) {
    if (!enable) return E_POINTER;
    std::lock_guard<std::mutex> hold(mixerLock_);
    *enable = enabled_;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::put_Mono(BOOL mono) {
    std::lock_guard<std::mutex> hold(mixerLock_);
    mono_ = mono ? TRUE : FALSE;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::get_Mono(BOOL* mono) {
    if (!mono) return E_POINTER;
    std::lock_guard<std::mutex> hold(mixerLock_);
    *mono = mono_;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::put_MixLevel(double level) {
    // AMF_AUTOMATICGAIN (-1.0) asks for automatic gain: the simulated input keeps full level.
    if (level == -1.0) level = 1.0;
    if (level < 0.0 || level > 1.0) return E_INVALIDARG;
    std::lock_guard<std::mutex> hold(mixerLock_);
    level_ = level;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::get_MixLevel(double* level) {
    if (!level) return E_POINTER;
    std::lock_guard<std::mutex> hold(mixerLock_);
    *level = level_;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::put_Pan(double pan) {
    if (pan < -1.0 || pan > 1.0) return E_INVALIDARG;
    std::lock_guard<std::mutex> hold(mixerLock_);
    pan_ = pan;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::get_Pan(double* pan) {
    if (!pan) return E_POINTER;
    std::lock_guard<std::mutex> hold(mixerLock_);
    *pan = pan_;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::put_Loudness(BOOL loudness) {
    std::lock_guard<std::mutex> hold(mixerLock_);
    loudness_ = loudness ? TRUE : FALSE;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::get_Loudness(BOOL* loudness) {
    if (!loudness) return E_POINTER;
    std::lock_guard<std::mutex> hold(mixerLock_);
    *loudness = loudness_;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::put_Treble(double treble) {
    if (treble < -kToneRange || treble > kToneRange) return E_INVALIDARG;
    std::lock_guard<std::mutex> hold(mixerLock_);
    treble_ = treble;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::get_Treble(double* treble) {
    if (!treble) return E_POINTER;
    std::lock_guard<std::mutex> hold(mixerLock_);
    *treble = treble_;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::get_TrebleRange(double* range) {
    if (!range) return E_POINTER;
    *range = kToneRange;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::put_Bass(double bass) {
    if (bass < -kToneRange || bass > kToneRange) return E_INVALIDARG;
    std::lock_guard<std::mutex> hold(mixerLock_);
    bass_ = bass;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::get_Bass(double* bass) {
    if (!bass) return E_POINTER;
    std::lock_guard<std::mutex> hold(mixerLock_);
    *bass = bass_;
    return S_OK;
}
STDMETHODIMP AudioCaptureFilter::get_BassRange(double* range) {
    if (!range) return E_POINTER;
    *range = kToneRange;
    return S_OK;
}

}  // namespace simdev
