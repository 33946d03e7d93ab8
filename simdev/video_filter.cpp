#include "simdev/video_filter.h"

#include <algorithm>
#include <cstring>

#include "simdev/video_format.h"

namespace simdev {
namespace {

struct StandardName { long bit; const char* name; };
const StandardName kStandards[] = {
    {AnalogVideo_NTSC_M, "NTSC_M"},   {AnalogVideo_NTSC_M_J, "NTSC_M_J"}, {AnalogVideo_NTSC_433, "NTSC_433"},
    {AnalogVideo_PAL_B, "PAL_B"},     {AnalogVideo_PAL_D, "PAL_D"},       {AnalogVideo_PAL_H, "PAL_H"},
    {AnalogVideo_PAL_I, "PAL_I"},     {AnalogVideo_PAL_M, "PAL_M"},       {AnalogVideo_PAL_N, "PAL_N"},
    {AnalogVideo_PAL_60, "PAL_60"},   {AnalogVideo_SECAM_B, "SECAM_B"},   {AnalogVideo_SECAM_D, "SECAM_D"},
    {AnalogVideo_SECAM_G, "SECAM_G"}, {AnalogVideo_SECAM_H, "SECAM_H"},   {AnalogVideo_SECAM_K, "SECAM_K"},
    {AnalogVideo_SECAM_K1, "SECAM_K1"}, {AnalogVideo_SECAM_L, "SECAM_L"}, {AnalogVideo_SECAM_L1, "SECAM_L1"},
};
const long kAllStandards = 0xFFFFF & ~0x8 & ~0x40;  // the eighteen standards above

// The standards whose picture has 480 active lines (525-line systems); the others have 576.
bool Is525Line(long standard) {
    return (standard & (AnalogVideo_NTSC_M | AnalogVideo_NTSC_M_J | AnalogVideo_NTSC_433 | AnalogVideo_PAL_M |
                        AnalogVideo_PAL_60)) != 0;
}

std::string StandardLabel(long standard) {
    for (const StandardName& s : kStandards)
        if (s.bit == standard) return s.name;
    return "";
}

long ProfileStandards(Profile p) {
    switch (p) {
    case Profile::TvBox:
        return AnalogVideo_NTSC_M | AnalogVideo_NTSC_M_J | AnalogVideo_PAL_B | AnalogVideo_PAL_D |
               AnalogVideo_PAL_I | AnalogVideo_PAL_M | AnalogVideo_PAL_N | AnalogVideo_SECAM_B |
               AnalogVideo_SECAM_D | AnalogVideo_SECAM_L;
    case Profile::Grabber:
        return AnalogVideo_NTSC_M | AnalogVideo_PAL_B | AnalogVideo_PAL_D | AnalogVideo_PAL_I |
               AnalogVideo_SECAM_L;
    case Profile::Webcam: return 0;
    }
    return 0;
}

// Channel ranges of the tuner's two inputs.
void ChannelRange(TunerInputType type, long& min, long& max) {
    min = type == TunerInputCable ? 1 : 2;
    max = type == TunerInputCable ? 125 : 69;
}

HRESULT OnePage(CAUUID* pages, const GUID& page) {
    if (!pages) return E_POINTER;
    if (PagesFail()) return E_FAIL;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) {
        pages->cElems = 0;
        return E_OUTOFMEMORY;
    }
    pages->cElems = 1;
    pages->pElems[0] = page;
    return S_OK;
}

// What the controls of a device that has gone answer.
const HRESULT kDeviceGone = HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);

}  // namespace

// ---------------------------------------------------------------------------------------------
// CapturePin

CapturePin::CapturePin(VideoCaptureFilter& owner)
    : LiveOutputPin(owner, L"Capture"), owner_(owner), format_(MakeVideoType(PixelFormat::YUY2, 640, 480)) {}

STDMETHODIMP CapturePin::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    void* p = PinInterface(iid);
    if (!p && iid == IID_IKsPropertySet) p = static_cast<IKsPropertySet*>(this);
    if (!p && iid == IID_IAMStreamConfig) p = static_cast<IAMStreamConfig*>(this);
    if (!p && iid == IID_IAMDroppedFrames) p = static_cast<IAMDroppedFrames*>(this);
    if (!p && iid == IID_ISpecifyPropertyPages) p = static_cast<ISpecifyPropertyPages*>(this);
    *out = p;
    if (!p) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}
STDMETHODIMP_(ULONG) CapturePin::AddRef() { return filter_.AddRefFilter(); }
STDMETHODIMP_(ULONG) CapturePin::Release() { return filter_.ReleaseFilter(); }

STDMETHODIMP CapturePin::Set(REFGUID, DWORD, void*, DWORD, void*, DWORD) { return E_NOTIMPL; }
STDMETHODIMP CapturePin::Get(REFGUID set, DWORD id, void*, DWORD, void* data, DWORD dataBytes, DWORD* returned) {
    return ReportPinCategory(set, id, data, dataBytes, returned, PIN_CATEGORY_CAPTURE);
}
STDMETHODIMP CapturePin::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
    return PinCategorySupport(set, id, support);
}

std::vector<MediaType> CapturePin::MediaTypes() {
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    // The chosen format first, so that a plain connection uses it; then every capability, unless a
    // format was set: then, as with a kernel-streaming pin, that format alone.
    std::vector<MediaType> types{format_};
    if (formatSet_) return types;
    for (int i = 0; i < kVideoFormatCount * kCaptureSizeCount; ++i) {
        MediaType t = CapabilityType(i);
        if (t.Get().subtype == format_.Get().subtype && t.Get().cbFormat == format_.Get().cbFormat &&
            std::memcmp(t.Get().pbFormat, format_.Get().pbFormat, t.Get().cbFormat) == 0)
            continue;
        types.push_back(t);
    }
    return types;
}

HRESULT CapturePin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
    PixelFormat f;
    int w, h;
    return ParseVideoType(mt, f, w, h) ? S_OK : S_FALSE;
}

void CapturePin::BufferNeeds(ALLOCATOR_PROPERTIES& props) {
    PixelFormat f = PixelFormat::YUY2;
    int w = 640, h = 480;
    ParseVideoType(ConnectedType().Get(), f, w, h);
    props.cBuffers = 4;
    props.cbBuffer = static_cast<long>(FrameBytes(f, w, h));
    props.cbAlign = 1;
    props.cbPrefix = 0;
}

STDMETHODIMP CapturePin::SetFormat(AM_MEDIA_TYPE* mt) {
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    if (!mt) {
        // No format: back to the default and to offering every capability.
        HRESULT hr = ChangeFormat(format_, MakeVideoType(PixelFormat::YUY2, 640, 480));
        if (SUCCEEDED(hr)) formatSet_ = false;
        return hr;
    }
    MediaType wanted(*mt);
    CompleteFromCurrent(wanted, format_);
    PixelFormat f;
    int w, h;
    // Another major type, or a size or colour space the device does not have.
    if (!ParseVideoType(wanted.Get(), f, w, h)) return E_FAIL;
    HRESULT hr = ChangeFormat(format_, MakeVideoType(f, w, h));  // always 30 frames per second
    if (SUCCEEDED(hr)) formatSet_ = true;
    return hr;
}

STDMETHODIMP CapturePin::GetFormat(AM_MEDIA_TYPE** mt) {
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    return CopyFormat(format_, mt);
}

STDMETHODIMP CapturePin::GetNumberOfCapabilities(int* count, int* size) {
    if (!count || !size) return E_POINTER;
    *count = kVideoFormatCount * kCaptureSizeCount;
    *size = sizeof(VIDEO_STREAM_CONFIG_CAPS);
    return S_OK;
}

STDMETHODIMP CapturePin::GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) {
    if (!mt || !caps) return E_POINTER;
    if (index < 0 || index >= kVideoFormatCount * kCaptureSizeCount) return S_FALSE;
    *mt = CapabilityType(index).NewTaskMemCopy();
    if (!*mt) return E_OUTOFMEMORY;
    FillVideoCaps(index, *reinterpret_cast<VIDEO_STREAM_CONFIG_CAPS*>(caps));
    return S_OK;
}

STDMETHODIMP CapturePin::GetNumDropped(long* dropped) {
    if (!dropped) return E_POINTER;
    *dropped = Dropped();
    return S_OK;
}
STDMETHODIMP CapturePin::GetNumNotDropped(long* delivered) {
    if (!delivered) return E_POINTER;
    *delivered = Delivered();
    return S_OK;
}
STDMETHODIMP CapturePin::GetDroppedInfo(long, long* frames, long* copied) {
    if (!frames || !copied) return E_POINTER;
    *copied = 0;  // the numbers of the dropped frames are not kept
    return S_OK;
}
STDMETHODIMP CapturePin::GetAverageFrameSize(long* bytes) {
    if (!bytes) return E_POINTER;
    PixelFormat f = PixelFormat::YUY2;
    int w = 640, h = 480;
    MediaType mt = IsConnected() ? ConnectedType() : format_;
    ParseVideoType(mt.Get(), f, w, h);
    *bytes = static_cast<long>(FrameBytes(f, w, h));
    return S_OK;
}

STDMETHODIMP CapturePin::GetPages(CAUUID* pages) { return OnePage(pages, CLSID_SimFormatPage); }

void CapturePin::OnSessionStart() {
    ParseVideoType(ConnectedType().Get(), streamFormat_, streamWidth_, streamHeight_);
    dropRequests_ = 0;
}

void CapturePin::OnTick() {
    owner_.RefreshControl();
    dropRequests_ += TakeDropFrames();
    if (ReadControl().unplugged && !Halted()) {
        // As a real unplug: tell the graph, then deliver nothing more.
        Halt();
        owner_.NotifyEvent(EC_DEVICE_LOST,
                           reinterpret_cast<LONG_PTR>(static_cast<IUnknown*>(static_cast<IBaseFilter*>(&owner_))), 0);
    }
}

HRESULT CapturePin::FillUnit(IMediaSample* sample, uint64_t index) {
    if (dropRequests_ > 0) {
        --dropRequests_;
        return S_FALSE;
    }
    const size_t bytes = FrameBytes(streamFormat_, streamWidth_, streamHeight_);
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data || static_cast<size_t>(sample->GetSize()) < bytes)
        return E_UNEXPECTED;
    RenderScene(owner_.Scene(streamWidth_, streamHeight_), index, picture_);
    WriteFrame(streamFormat_, picture_, data);
    sample->SetActualDataLength(static_cast<long>(bytes));
    LONGLONG first = static_cast<LONGLONG>(index), last = first + 1;
    sample->SetMediaTime(&first, &last);
    return S_OK;
}

// ---------------------------------------------------------------------------------------------
// AnalogInputPin

AnalogInputPin::AnalogInputPin(Filter& filter) : Pin(filter, L"Analog Video In", PINDIR_INPUT) {}

STDMETHODIMP AnalogInputPin::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    void* p = PinInterface(iid);
    if (!p && iid == IID_IKsPropertySet) p = static_cast<IKsPropertySet*>(this);
    *out = p;
    if (!p) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}
STDMETHODIMP_(ULONG) AnalogInputPin::AddRef() { return filter_.AddRefFilter(); }
STDMETHODIMP_(ULONG) AnalogInputPin::Release() { return filter_.ReleaseFilter(); }
STDMETHODIMP AnalogInputPin::Set(REFGUID, DWORD, void*, DWORD, void*, DWORD) { return E_NOTIMPL; }
STDMETHODIMP AnalogInputPin::Get(REFGUID set, DWORD id, void*, DWORD, void* data, DWORD dataBytes, DWORD* returned) {
    return ReportPinCategory(set, id, data, dataBytes, returned, PIN_CATEGORY_ANALOGVIDEOIN);
}
STDMETHODIMP AnalogInputPin::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
    return PinCategorySupport(set, id, support);
}
std::vector<MediaType> AnalogInputPin::MediaTypes() {
    MediaType mt;
    mt.Ptr()->majortype = MEDIATYPE_AnalogVideo;
    mt.Ptr()->formattype = FORMAT_None;
    return {mt};
}
HRESULT AnalogInputPin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
    return mt.majortype == MEDIATYPE_AnalogVideo ? S_OK : S_FALSE;
}

// ---------------------------------------------------------------------------------------------
// VideoCaptureFilter

VideoCaptureFilter::VideoCaptureFilter() : Filter(CLSID_SimVideoCapture, true), profile_(ActiveProfile()) {
    capture_ = std::make_unique<CapturePin>(*this);
    control_ = ReadControl();
    brightnessRange_ = control_.brightness;
    brightness_ = brightnessRange_.Middle();
    if (HasDecoder()) {
        analogIn_ = std::make_unique<AnalogInputPin>(*this);
        crossbar_ = new CrossbarFilter(HasTuner(), control_.crossbarLayout, control_.refuseRoute);
        crossbar_->SetRouteListener([this] { PublishAudioSource(); });
        availableStandards_ = control_.standardsOverride ? static_cast<long>(control_.standardsOverride & kAllStandards)
                                                         : ProfileStandards(profile_);
        if (!availableStandards_) availableStandards_ = AnalogVideo_NTSC_M;
        standard_ = (availableStandards_ & AnalogVideo_NTSC_M) ? static_cast<long>(AnalogVideo_NTSC_M)
                                                                : (availableStandards_ & -availableStandards_);
    }
    PublishAudioSource();
}

VideoCaptureFilter::~VideoCaptureFilter() {
    if (crossbar_) {
        crossbar_->SetRouteListener(nullptr);
        crossbar_->Release();
    }
}

STDMETHODIMP VideoCaptureFilter::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    void* p = FilterInterface(iid);
    if (!p && iid == IID_IAMVideoProcAmp) p = static_cast<IAMVideoProcAmp*>(this);
    if (!p && iid == IID_ISpecifyPropertyPages) p = static_cast<ISpecifyPropertyPages*>(this);
    if (!p && iid == IID_IVexaDeviceProperties) p = static_cast<IVexaDeviceProperties*>(this);
    if (!p && iid == IID_IAMAnalogVideoDecoder && HasDecoder()) p = static_cast<IAMAnalogVideoDecoder*>(this);
    if (!p && (iid == IID_IAMTVTuner || iid == IID_IAMTuner) && HasTuner()) p = static_cast<IAMTVTuner*>(this);
    if (!p && iid == IID_IAMTVAudio && HasTuner()) p = static_cast<IAMTVAudio*>(this);
    *out = p;
    if (!p) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) VideoCaptureFilter::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) VideoCaptureFilter::Release() {
    LONG r = InterlockedDecrement(&refs_);
    if (r == 0) {
        Stop();  // joins the streaming thread before the pins go away
        delete this;
    }
    return static_cast<ULONG>(r);
}

std::vector<Pin*> VideoCaptureFilter::Pins() {
    std::vector<Pin*> list{capture_.get()};
    if (analogIn_) list.push_back(analogIn_.get());
    return list;
}

void VideoCaptureFilter::OnGraphChanged(IFilterGraph* graph) {
    if (!crossbar_) return;
    if (graph) {
        // A device with analog inputs brings its crossbar along, connected to our analog input pin,
        // whichever graph builder the application uses.
        if (SUCCEEDED(graph->AddFilter(crossbar_, L"Simulated Crossbar"))) {
            crossbarGraph_ = graph;
            graph->ConnectDirect(crossbar_->VideoOutput(), analogIn_.get(), nullptr);
        }
        return;
    }
    // Leaving: take the crossbar out of the graph we put it in.
    IFilterGraph* old = crossbarGraph_;
    crossbarGraph_ = nullptr;
    if (!old) return;
    ComPtr<IFilterGraph> crossbarIn;
    FILTER_INFO info{};
    if (SUCCEEDED(crossbar_->QueryFilterInfo(&info)) && info.pGraph) {
        crossbarIn.Attach(info.pGraph);
    }
    if (analogIn_->IsConnected()) {
        crossbar_->VideoOutput()->Disconnect();
        analogIn_->Disconnect();
    }
    if (crossbarIn.Get() == old) old->RemoveFilter(crossbar_);
}

SceneSettings VideoCaptureFilter::Scene(int width, int height) {
    std::lock_guard<std::mutex> hold(settingsLock_);
    SceneSettings s;
    s.width = width;
    s.height = height;
    // The picture is neutral at the middle of the brightness range, whatever the range.
    s.brightness = static_cast<int>(brightness_ - brightnessRange_.Middle() + 128);
    s.contrast = contrast_;
    s.saturation = saturation_;
    s.mode = control_.scene;
    s.motion = control_.motion;
    if (!HasDecoder()) {
        s.exposure = camera_.ExposurePercent();
        s.look = InputLook::Camera;
        s.inputLabel = "CAMERA";
        s.standardLabel = "";
        s.activeLines = 0;
        return s;
    }
    s.standardLabel = StandardLabel(standard_);
    s.activeLines = Is525Line(standard_) ? 480 : 576;
    switch (crossbar_->RoutedConnector(0)) {
    case PhysConn_Video_Tuner:
        s.look = InputLook::Tuner;
        s.channel = channel_;
        s.inputLabel = "TUNER CH " + std::to_string(channel_);
        s.signal = ContainsChannel(control_.signalChannels, channel_);
        break;
    case PhysConn_Video_Composite:
        s.look = InputLook::Composite;
        s.inputLabel = "COMPOSITE";
        break;
    case PhysConn_Video_SVideo:
        s.look = InputLook::SVideo;
        s.inputLabel = "S-VIDEO";
        break;
    default:
        s.inputLabel = "NO INPUT";
        s.signal = false;
        break;
    }
    return s;
}

void VideoCaptureFilter::RefreshControl() {
    ControlSnapshot c = ReadControl();
    {
        std::lock_guard<std::mutex> hold(settingsLock_);
        control_ = c;
    }
    PublishAudioSource();
}

bool VideoCaptureFilter::ChannelHasSignal(long channel) {
    std::lock_guard<std::mutex> hold(settingsLock_);
    return ContainsChannel(control_.signalChannels, channel);
}

void VideoCaptureFilter::PublishAudioSource() {
    SoundInput input = profile_ == Profile::Webcam ? SoundInput::Microphone : SoundInput::Line;
    if (crossbar_) {
        switch (crossbar_->RoutedConnector(1)) {
        case PhysConn_Audio_Tuner: input = SoundInput::Tuner; break;
        case PhysConn_Audio_Mic: input = SoundInput::Microphone; break;
        default: input = SoundInput::Line; break;
        }
    }
    long channel;
    bool signal;
    {
        std::lock_guard<std::mutex> hold(settingsLock_);
        channel = channel_;
        signal = ContainsChannel(control_.signalChannels, channel_);
    }
    DeviceState::Instance().SetAudioSource(input, channel, signal);
}

// IAMVideoProcAmp: brightness 0..255 (128) unless the test asks for another range (webcams often
// have -64..64), contrast and saturation 0..200 % (100).
STDMETHODIMP VideoCaptureFilter::GetRange(long property, long* min, long* max, long* step, long* def, long* caps) {
    if (!min || !max || !step || !def || !caps) return E_POINTER;
    switch (property) {
    case VideoProcAmp_Brightness:
        *min = brightnessRange_.minimum;
        *max = brightnessRange_.maximum;
        *def = brightnessRange_.Middle();
        break;
    case VideoProcAmp_Contrast:
    case VideoProcAmp_Saturation: *min = 0; *max = 200; *def = 100; break;
    default: return E_PROP_ID_UNSUPPORTED;
    }
    *step = 1;
    *caps = VideoProcAmp_Flags_Manual;
    return S_OK;
}

STDMETHODIMP VideoCaptureFilter::Set(long property, long value, long) {
    if (DeviceGone()) return kDeviceGone;
    long min, max, step, def, caps;
    HRESULT hr = GetRange(property, &min, &max, &step, &def, &caps);
    if (FAILED(hr)) return hr;
    if (value < min || value > max) return E_INVALIDARG;
    std::lock_guard<std::mutex> hold(settingsLock_);
    (property == VideoProcAmp_Brightness ? brightness_ : property == VideoProcAmp_Contrast ? contrast_ : saturation_) =
        value;
    return S_OK;
}

STDMETHODIMP VideoCaptureFilter::Get(long property, long* value, long* flags) {
    if (!value || !flags) return E_POINTER;
    if (DeviceGone()) return kDeviceGone;
    std::lock_guard<std::mutex> hold(settingsLock_);
    switch (property) {
    case VideoProcAmp_Brightness: *value = brightness_; break;
    case VideoProcAmp_Contrast: *value = contrast_; break;
    case VideoProcAmp_Saturation: *value = saturation_; break;
    default: return E_PROP_ID_UNSUPPORTED;
    }
    *flags = VideoProcAmp_Flags_Manual;
    return S_OK;
}

// IAMAnalogVideoDecoder
STDMETHODIMP VideoCaptureFilter::get_AvailableTVFormats(long* standards) {
    if (!standards) return E_POINTER;
    if (DeviceGone()) return kDeviceGone;
    std::lock_guard<std::mutex> hold(settingsLock_);
    *standards = availableStandards_;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::put_TVFormat(long standard) {
    if (DeviceGone()) return kDeviceGone;
    std::lock_guard<std::mutex> hold(settingsLock_);
    // Exactly one standard the decoder supports.
    if (standard == 0 || (standard & (standard - 1)) != 0 || !(standard & availableStandards_)) return E_INVALIDARG;
    standard_ = standard;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::get_TVFormat(long* standard) {
    if (!standard) return E_POINTER;
    if (DeviceGone()) return kDeviceGone;
    std::lock_guard<std::mutex> hold(settingsLock_);
    *standard = standard_;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::get_HorizontalLocked(long* locked) {
    if (!locked) return E_POINTER;
    *locked = Scene(640, 480).signal ? 1 : 0;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::put_VCRHorizontalLocking(long vcr) {
    std::lock_guard<std::mutex> hold(settingsLock_);
    vcrLocking_ = vcr ? 1 : 0;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::get_VCRHorizontalLocking(long* vcr) {
    if (!vcr) return E_POINTER;
    std::lock_guard<std::mutex> hold(settingsLock_);
    *vcr = vcrLocking_;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::get_NumberOfLines(long* lines) {
    if (!lines) return E_POINTER;
    std::lock_guard<std::mutex> hold(settingsLock_);
    *lines = Is525Line(standard_) ? 525 : 625;  // lines of the signal; the picture has 480 or 576
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::put_OutputEnable(long enable) {
    std::lock_guard<std::mutex> hold(settingsLock_);
    outputEnable_ = enable ? 1 : 0;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::get_OutputEnable(long* enable) {
    if (!enable) return E_POINTER;
    std::lock_guard<std::mutex> hold(settingsLock_);
    *enable = outputEnable_;
    return S_OK;
}

// IAMTuner / IAMTVTuner
STDMETHODIMP VideoCaptureFilter::put_Channel(LONG channel, LONG, LONG) {
    if (DeviceGone()) return kDeviceGone;
    {
        std::lock_guard<std::mutex> hold(settingsLock_);
        long min, max;
        ChannelRange(inputType_, min, max);
        if (channel < min || channel > max) return E_INVALIDARG;
        channel_ = channel;
    }
    PublishAudioSource();
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::get_Channel(LONG* channel, LONG* video, LONG* audio) {
    if (!channel || !video || !audio) return E_POINTER;
    if (DeviceGone()) return kDeviceGone;
    std::lock_guard<std::mutex> hold(settingsLock_);
    *channel = channel_;
    *video = AMTUNER_SUBCHAN_DEFAULT;
    *audio = AMTUNER_SUBCHAN_DEFAULT;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::ChannelMinMax(LONG* min, LONG* max) {
    if (!min || !max) return E_POINTER;
    if (DeviceGone()) return kDeviceGone;
    std::lock_guard<std::mutex> hold(settingsLock_);
    long lo, hi;
    ChannelRange(inputType_, lo, hi);
    *min = lo;
    *max = hi;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::put_CountryCode(LONG country) {
    if (DeviceGone()) return kDeviceGone;
    if (country <= 0) return E_INVALIDARG;
    std::lock_guard<std::mutex> hold(settingsLock_);
    country_ = country;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::get_CountryCode(LONG* country) {
    if (!country) return E_POINTER;
    std::lock_guard<std::mutex> hold(settingsLock_);
    *country = country_;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::put_TuningSpace(LONG space) {
    std::lock_guard<std::mutex> hold(settingsLock_);
    tuningSpace_ = space;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::get_TuningSpace(LONG* space) {
    if (!space) return E_POINTER;
    std::lock_guard<std::mutex> hold(settingsLock_);
    *space = tuningSpace_;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::Logon(HANDLE) { return S_OK; }
STDMETHODIMP VideoCaptureFilter::Logout() { return S_OK; }
STDMETHODIMP VideoCaptureFilter::SignalPresent(LONG* strength) {
    if (!strength) return E_POINTER;
    if (DeviceGone()) return kDeviceGone;
    long channel;
    {
        std::lock_guard<std::mutex> hold(settingsLock_);
        channel = channel_;
    }
    *strength = ChannelHasSignal(channel) ? AMTUNER_SIGNALPRESENT : AMTUNER_NOSIGNAL;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::put_Mode(AMTunerModeType mode) {
    return mode == AMTUNER_MODE_TV ? S_OK : E_INVALIDARG;
}
STDMETHODIMP VideoCaptureFilter::get_Mode(AMTunerModeType* mode) {
    if (!mode) return E_POINTER;
    *mode = AMTUNER_MODE_TV;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::GetAvailableModes(LONG* modes) {
    if (!modes) return E_POINTER;
    *modes = AMTUNER_MODE_TV;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::RegisterNotificationCallBack(IAMTunerNotification*, LONG) { return E_NOTIMPL; }
STDMETHODIMP VideoCaptureFilter::UnRegisterNotificationCallBack(IAMTunerNotification*) { return E_NOTIMPL; }
STDMETHODIMP VideoCaptureFilter::AutoTune(LONG channel, LONG* signal) {
    if (!signal) return E_POINTER;
    HRESULT hr = put_Channel(channel, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT);
    if (FAILED(hr)) return hr;
    return SignalPresent(signal);
}
STDMETHODIMP VideoCaptureFilter::StoreAutoTune() { return S_OK; }
STDMETHODIMP VideoCaptureFilter::get_NumInputConnections(LONG* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::put_InputType(LONG index, TunerInputType type) {
    if (DeviceGone()) return kDeviceGone;
    if (index != 0 || (type != TunerInputCable && type != TunerInputAntenna)) return E_INVALIDARG;
    {
        std::lock_guard<std::mutex> hold(settingsLock_);
        inputType_ = type;
        long min, max;
        ChannelRange(type, min, max);
        channel_ = std::min(std::max(channel_, min), max);
    }
    PublishAudioSource();
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::get_InputType(LONG index, TunerInputType* type) {
    if (!type) return E_POINTER;
    if (index != 0) return E_INVALIDARG;
    std::lock_guard<std::mutex> hold(settingsLock_);
    *type = inputType_;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::put_ConnectInput(LONG index) { return index == 0 ? S_OK : E_INVALIDARG; }
STDMETHODIMP VideoCaptureFilter::get_ConnectInput(LONG* index) {
    if (!index) return E_POINTER;
    *index = 0;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::get_VideoFrequency(LONG* hz) {
    if (!hz) return E_POINTER;
    std::lock_guard<std::mutex> hold(settingsLock_);
    *hz = 55250000 + (channel_ - 2) * 6000000;  // a 6 MHz channel raster
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::get_AudioFrequency(LONG* hz) {
    if (!hz) return E_POINTER;
    LONG video = 0;
    get_VideoFrequency(&video);
    *hz = video + 4500000;
    return S_OK;
}

// IAMTVAudio
STDMETHODIMP VideoCaptureFilter::GetHardwareSupportedTVAudioModes(long* modes) {
    if (!modes) return E_POINTER;
    *modes = AMTVAUDIO_MODE_MONO | AMTVAUDIO_MODE_STEREO | AMTVAUDIO_MODE_LANG_A | AMTVAUDIO_MODE_LANG_B;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::GetAvailableTVAudioModes(long* modes) { return GetHardwareSupportedTVAudioModes(modes); }
STDMETHODIMP VideoCaptureFilter::get_TVAudioMode(long* mode) {
    if (!mode) return E_POINTER;
    std::lock_guard<std::mutex> hold(settingsLock_);
    *mode = audioMode_;
    return S_OK;
}
STDMETHODIMP VideoCaptureFilter::put_TVAudioMode(long mode) {
    const long all = AMTVAUDIO_MODE_MONO | AMTVAUDIO_MODE_STEREO | AMTVAUDIO_MODE_LANG_A | AMTVAUDIO_MODE_LANG_B;
    if (mode == 0 || (mode & ~all)) return E_INVALIDARG;
    std::lock_guard<std::mutex> hold(settingsLock_);
    audioMode_ = mode;
    return S_OK;
}

STDMETHODIMP VideoCaptureFilter::GetPages(CAUUID* pages) { return OnePage(pages, CLSID_SimPicturePage); }

// IVexaDeviceProperties
STDMETHODIMP VideoCaptureFilter::Reserved() { return E_NOTIMPL; }

STDMETHODIMP VideoCaptureFilter::SetProperty(DWORD propertyId, void* data) {
    if (!data) return E_POINTER;
    if (DeviceGone()) return kDeviceGone;
    switch (propertyId) {
    case kPropRegisterSelect:
        return DeviceState::Instance().WithRegisters(
            [&](RegisterFile& r) { return r.Select(*static_cast<DWORD*>(data)) ? S_OK : E_INVALIDARG; });
    case kPropRegisterData:
        return DeviceState::Instance().WithRegisters([&](RegisterFile& r) {
            return r.Write(static_cast<const uint8_t*>(data)) ? S_OK : HRESULT_FROM_WIN32(ERROR_INVALID_STATE);
        });
    default: return CameraProperty(propertyId, data, true);
    }
}

STDMETHODIMP VideoCaptureFilter::GetProperty(DWORD propertyId, void* data) {
    if (!data) return E_POINTER;
    if (DeviceGone()) return kDeviceGone;
    switch (propertyId) {
    case kPropRegisterSelect:
        return DeviceState::Instance().WithRegisters([&](RegisterFile& r) {
            *static_cast<DWORD*>(data) = r.Selection();
            return S_OK;
        });
    case kPropRegisterData:
        return DeviceState::Instance().WithRegisters([&](RegisterFile& r) {
            return r.Read(static_cast<uint8_t*>(data)) ? S_OK : HRESULT_FROM_WIN32(ERROR_INVALID_STATE);
        });
    default: return CameraProperty(propertyId, data, false);
    }
}

// The webcam's camera controls share the private interface with the registers.
HRESULT VideoCaptureFilter::CameraProperty(DWORD id, void* data, bool set) {
    if (profile_ != Profile::Webcam) return E_PROP_ID_UNSUPPORTED;
    std::lock_guard<std::mutex> hold(settingsLock_);
    int32_t* value = static_cast<int32_t*>(data);
    CameraControls::Result r = set ? camera_.Set(id, *value) : camera_.Get(id, *value);
    switch (r) {
    case CameraControls::Result::Ok: return S_OK;
    case CameraControls::Result::OutOfRange: return E_INVALIDARG;
    case CameraControls::Result::ReadOnly: return E_ACCESSDENIED;
    default: return E_PROP_ID_UNSUPPORTED;
    }
}

}  // namespace simdev
