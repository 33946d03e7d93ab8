#include "simdev/crossbar_filter.h"

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

CrossbarFilter::CrossbarFilter(bool withTuner) : Filter(CLSID_SimCrossbar, false) {
    // Inputs: video first, then audio; each video input is related to the audio input that
    // carries its sound, and the other way round.
    if (withTuner) {
        inputs_ = {{PhysConn_Video_Tuner, 3},  {PhysConn_Video_Composite, 4}, {PhysConn_Video_SVideo, 4},
                   {PhysConn_Audio_Tuner, 0},  {PhysConn_Audio_Line, 1},      {PhysConn_Audio_Mic, 2}};
    } else {
        inputs_ = {{PhysConn_Video_Composite, 2}, {PhysConn_Video_SVideo, 2}, {PhysConn_Audio_Line, 0},
                   {PhysConn_Audio_Mic, 1}};
    }
    outputs_[0] = {PhysConn_Video_VideoDecoder, 1};
    outputs_[1] = {PhysConn_Audio_AudioDecoder, 0};
    // Composite and line audio are routed at power-on.
    routed_[0] = withTuner ? 1 : 0;
    routed_[1] = withTuner ? 4 : 2;
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
