#include "simdev/crossbar_filter.h"

#include "simdev/sim_control.h"
#include "simdev/simdev.h"

namespace simdev {
namespace {

// A crossbar pin carries an analog signal: it connects without an allocator and moves no samples.
class CrossbarPin final : public Pin {
public:
    CrossbarPin(Filter& filter, const std::wstring& name, PIN_DIRECTION direction, bool video)
        : Pin(filter, name.c_str(), direction), video_(video) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = PinInterface(iid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return filter_.AddRefFilter(); }
    STDMETHODIMP_(ULONG) Release() override { return filter_.ReleaseFilter(); }

protected:
    std::vector<MediaType> MediaTypes() override {
        MediaType mt;
        mt.Ptr()->majortype = video_ ? MEDIATYPE_AnalogVideo : MEDIATYPE_AnalogAudio;
        mt.Ptr()->formattype = FORMAT_None;
        return {mt};
    }
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override {
        return mt.majortype == (video_ ? MEDIATYPE_AnalogVideo : MEDIATYPE_AnalogAudio) ? S_OK : S_FALSE;
    }

private:
    bool video_;
};

}  // namespace

const wchar_t* ConnectorName(long type) {
    switch (type) {
    case PhysConn_Video_Tuner: return L"Video Tuner";
    case PhysConn_Video_Composite: return L"Video Composite";
    case PhysConn_Video_SVideo: return L"Video SVideo";
    case PhysConn_Video_VideoDecoder: return L"Video Decoder";
    case PhysConn_Audio_Tuner: return L"Audio Tuner";
    case PhysConn_Audio_Line: return L"Audio Line";
    case PhysConn_Audio_Mic: return L"Audio Mic";
    case PhysConn_Audio_AudioDecoder: return L"Audio Decoder";
    default: return L"Unknown";
    }
}

CrossbarFilter::CrossbarFilter(bool withTuner, CrossbarLayout layout, long refuseRoute)
    : Filter(CLSID_SimCrossbar, false), refuseRoute_(refuseRoute) {
    // Inputs: video first, then audio. The tuner's picture and sound are related to each other; the
    // line input carries the sound of composite (or of S-Video without composite), the microphone
    // is related to S-Video, and both are related back to the line input.
    std::vector<long> video, audio;
    if (withTuner && layout != CrossbarLayout::SVideoOnly) video.push_back(PhysConn_Video_Tuner);
    if (layout == CrossbarLayout::Full) video.push_back(PhysConn_Video_Composite);
    video.push_back(PhysConn_Video_SVideo);
    if (withTuner && layout != CrossbarLayout::SVideoOnly) audio.push_back(PhysConn_Audio_Tuner);
    audio.push_back(PhysConn_Audio_Line);
    audio.push_back(PhysConn_Audio_Mic);
    auto indexOf = [&](long type) -> long {
        for (size_t i = 0; i < video.size(); ++i)
            if (video[i] == type) return static_cast<long>(i);
        for (size_t i = 0; i < audio.size(); ++i)
            if (audio[i] == type) return static_cast<long>(video.size() + i);
        return -1;
    };
    const long plainVideo = layout == CrossbarLayout::Full ? indexOf(PhysConn_Video_Composite) : indexOf(PhysConn_Video_SVideo);
    for (long type : video)
        inputs_.push_back({type, type == PhysConn_Video_Tuner ? indexOf(PhysConn_Audio_Tuner) : indexOf(PhysConn_Audio_Line)});
    for (long type : audio) {
        long related = type == PhysConn_Audio_Tuner ? indexOf(PhysConn_Video_Tuner)
                       : type == PhysConn_Audio_Mic ? indexOf(PhysConn_Video_SVideo)
                                                    : plainVideo;
        inputs_.push_back({type, related});
    }
    outputs_[0] = {PhysConn_Video_VideoDecoder, 1};
    outputs_[1] = {PhysConn_Audio_AudioDecoder, 0};
    // Composite (or the first other plain input) and its sound are routed at power-on.
    routed_[0] = plainVideo;
    routed_[1] = inputs_[static_cast<size_t>(plainVideo)].related;
    for (size_t i = 0; i < inputs_.size(); ++i) {
        std::wstring name = std::to_wstring(i) + L": " + ConnectorName(inputs_[i].type) + L" In";
        pins_.push_back(std::make_unique<CrossbarPin>(*this, name, PINDIR_INPUT, IsVideo(inputs_[i].type)));
    }
    pins_.push_back(std::make_unique<CrossbarPin>(*this, std::to_wstring(inputs_.size()) + L": Video Decoder Out",
                                                  PINDIR_OUTPUT, true));
    pins_.push_back(std::make_unique<CrossbarPin>(
        *this, std::to_wstring(inputs_.size() + 1) + L": Audio Decoder Out", PINDIR_OUTPUT, false));
}

CrossbarFilter::~CrossbarFilter() = default;

STDMETHODIMP CrossbarFilter::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    void* p = FilterInterface(iid);
    if (!p && iid == IID_IAMCrossbar) p = static_cast<IAMCrossbar*>(this);
    if (!p && iid == IID_ISpecifyPropertyPages) p = static_cast<ISpecifyPropertyPages*>(this);
    *out = p;
    if (!p) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CrossbarFilter::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) CrossbarFilter::Release() {
    LONG r = InterlockedDecrement(&refs_);
    if (r == 0) delete this;
    return static_cast<ULONG>(r);
}

std::vector<Pin*> CrossbarFilter::Pins() {
    std::vector<Pin*> list;
    for (auto& p : pins_) list.push_back(p.get());
    return list;
}

STDMETHODIMP CrossbarFilter::get_PinCounts(long* outputs, long* inputs) {
    if (!outputs || !inputs) return E_POINTER;
    *outputs = 2;
    *inputs = static_cast<long>(inputs_.size());
    return S_OK;
}

STDMETHODIMP CrossbarFilter::CanRoute(long output, long input) {
    if (output < 0 || output > 1) return E_INVALIDARG;
    if (input == -1) return S_OK;  // disconnecting an output is always possible
    if (input < 0 || input >= static_cast<long>(inputs_.size())) return E_INVALIDARG;
    return IsVideo(inputs_[input].type) == (output == 0) ? S_OK : S_FALSE;
}

STDMETHODIMP CrossbarFilter::Route(long output, long input) {
    if (CanRoute(output, input) != S_OK) return E_INVALIDARG;
    if (DeviceGone()) return HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
    if (input >= 0 && refuseRoute_ != 0 && inputs_[static_cast<size_t>(input)].type == refuseRoute_) return E_FAIL;
    std::function<void()> listener;
    {
        std::lock_guard<std::mutex> hold(routeLock_);
        routed_[output] = input;
        listener = listener_;
    }
    if (listener) listener();
    return S_OK;
}

STDMETHODIMP CrossbarFilter::get_IsRoutedTo(long output, long* input) {
    if (!input) return E_POINTER;
    if (output < 0 || output > 1) return E_INVALIDARG;
    std::lock_guard<std::mutex> hold(routeLock_);
    *input = routed_[output];
    return *input == -1 ? S_FALSE : S_OK;
}

STDMETHODIMP CrossbarFilter::get_CrossbarPinInfo(BOOL isInput, long index, long* related, long* physicalType) {
    if (!related || !physicalType) return E_POINTER;
    if (isInput) {
        if (index < 0 || index >= static_cast<long>(inputs_.size())) return E_INVALIDARG;
        *related = inputs_[index].related;
        *physicalType = inputs_[index].type;
    } else {
        if (index < 0 || index > 1) return E_INVALIDARG;
        *related = outputs_[index].related;
        *physicalType = outputs_[index].type;
    }
    return S_OK;
}

STDMETHODIMP CrossbarFilter::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    if (PagesFail()) return E_FAIL;
    pages->cElems = 1;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) {
        pages->cElems = 0;
        return E_OUTOFMEMORY;
    }
    pages->pElems[0] = CLSID_SimCrossbarPage;
    return S_OK;
}

long CrossbarFilter::RoutedConnector(long output) {
    std::lock_guard<std::mutex> hold(routeLock_);
    if (output < 0 || output > 1) return -1;
    long input = routed_[output];
    return input < 0 ? -1 : inputs_[input].type;
}

void CrossbarFilter::SetRouteListener(std::function<void()> listener) {
    std::lock_guard<std::mutex> hold(routeLock_);
    listener_ = std::move(listener);
}

}  // namespace simdev
