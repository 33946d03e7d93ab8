#include "wine-standins/dshow/filter.h"

#include <vector>

namespace lumetra::standins {

LONG g_liveObjects = 0;

// ---- media types ----------------------------------------------------------------------------------

void FreeMediaTypeContents(AM_MEDIA_TYPE& mt) {
    if (mt.cbFormat) CoTaskMemFree(mt.pbFormat);
    mt.cbFormat = 0;
    mt.pbFormat = nullptr;
    if (mt.pUnk) mt.pUnk->Release();
    mt.pUnk = nullptr;
}

HRESULT CopyMediaTypeContents(AM_MEDIA_TYPE& dst, const AM_MEDIA_TYPE& src) {
    dst = src;
    if (src.cbFormat) {
        dst.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(src.cbFormat));
        if (!dst.pbFormat) { dst.cbFormat = 0; return E_OUTOFMEMORY; }
        CopyMemory(dst.pbFormat, src.pbFormat, src.cbFormat);
    } else {
        dst.pbFormat = nullptr;
    }
    if (dst.pUnk) dst.pUnk->AddRef();
    return S_OK;
}

AM_MEDIA_TYPE* NewMediaTypeCopy(const AM_MEDIA_TYPE& src) {
    auto* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (mt && FAILED(CopyMediaTypeContents(*mt, src))) { CoTaskMemFree(mt); return nullptr; }
    return mt;
}

void DeleteMediaTypeCopy(AM_MEDIA_TYPE* mt) {
    if (!mt) return;
    FreeMediaTypeContents(*mt);
    CoTaskMemFree(mt);
}

BYTE* MediaType::AllocFormat(const GUID& type, ULONG size) {
    FreeMediaTypeContents(*this);
    pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(size));
    if (!pbFormat) return nullptr;
    ZeroMemory(pbFormat, size);
    cbFormat = size;
    formattype = type;
    return pbFormat;
}

namespace {

// Pins enumerated by position against the filter's current pin set.
class PinEnum : public IEnumPins {
public:
    PinEnum(Filter* f, ULONG pos = 0) : filter_(f), pos_(pos) {}
    virtual ~PinEnum() = default;
    STANDINS_REFCOUNT(refs_)
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IEnumPins) { *out = static_cast<IEnumPins*>(this); AddRef(); return S_OK; }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP Next(ULONG n, IPin** pins, ULONG* fetched) override {
        ULONG got = 0;
        while (got < n && int(pos_) < filter_->PinCount()) {
            pins[got] = filter_->PinAt(int(pos_++));
            pins[got++]->AddRef();
        }
        if (fetched) *fetched = got;
        return got == n ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG n) override {
        pos_ += n;
        return int(pos_) <= filter_->PinCount() ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override { pos_ = 0; return S_OK; }
    STDMETHODIMP Clone(IEnumPins** out) override {
        *out = new PinEnum(filter_.Get(), pos_);
        return S_OK;
    }

private:
    LONG refs_ = 1;
    ComRef<Filter> filter_;
    ULONG pos_;
};

class TypeEnum : public IEnumMediaTypes {
public:
    explicit TypeEnum(std::vector<MediaType> types, ULONG pos = 0) : types_(std::move(types)), pos_(pos) {}
    virtual ~TypeEnum() = default;
    STANDINS_REFCOUNT(refs_)
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IEnumMediaTypes) { *out = static_cast<IEnumMediaTypes*>(this); AddRef(); return S_OK; }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP Next(ULONG n, AM_MEDIA_TYPE** out, ULONG* fetched) override {
        ULONG got = 0;
        while (got < n && pos_ < types_.size()) out[got++] = NewMediaTypeCopy(types_[pos_++]);
        if (fetched) *fetched = got;
        return got == n ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG n) override {
        pos_ += n;
        return pos_ <= types_.size() ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override { pos_ = 0; return S_OK; }
    STDMETHODIMP Clone(IEnumMediaTypes** out) override {
        *out = new TypeEnum(types_, pos_);
        return S_OK;
    }

private:
    LONG refs_ = 1;
    std::vector<MediaType> types_;
    size_t pos_;
};

wchar_t* CoTaskString(const std::wstring& s) {
    auto* p = static_cast<wchar_t*>(CoTaskMemAlloc((s.size() + 1) * sizeof(wchar_t)));
    if (p) CopyMemory(p, s.c_str(), (s.size() + 1) * sizeof(wchar_t));
    return p;
}

}  // namespace

// ---- pins -----------------------------------------------------------------------------------------

Pin::Pin(Filter* filter, PIN_DIRECTION dir, const wchar_t* name) : filter_(filter), dir_(dir), name_(name) {}
Pin::~Pin() = default;

STDMETHODIMP Pin::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPin) { *out = static_cast<IPin*>(this); AddRef(); return S_OK; }
    *out = nullptr;
    return E_NOINTERFACE;
}
STDMETHODIMP_(ULONG) Pin::AddRef() { return filter_->AddRef(); }
STDMETHODIMP_(ULONG) Pin::Release() { return filter_->Release(); }

STDMETHODIMP Pin::Connect(IPin*, const AM_MEDIA_TYPE*) { return E_UNEXPECTED; }

STDMETHODIMP Pin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) {
    if (!connector || !mt) return E_POINTER;
    std::lock_guard<std::recursive_mutex> lock(filter_->Lock());
    if (dir_ != PINDIR_INPUT) return E_UNEXPECTED;
    if (peer_) return VFW_E_ALREADY_CONNECTED;
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    PIN_DIRECTION d;
    if (FAILED(connector->QueryDirection(&d)) || d != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
    if (CheckMediaType(*mt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    peer_ = ComRef<IPin>(connector);
    type_ = *mt;
    HRESULT hr = CompleteConnect(connector);
    if (FAILED(hr)) { peer_.Reset(); type_.Clear(); }
    return hr;
}

STDMETHODIMP Pin::Disconnect() {
    std::lock_guard<std::recursive_mutex> lock(filter_->Lock());
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (!peer_) return S_FALSE;
    BreakConnect();
    peer_.Reset();
    type_.Clear();
    return S_OK;
}

STDMETHODIMP Pin::ConnectedTo(IPin** pin) {
    if (!pin) return E_POINTER;
    std::lock_guard<std::recursive_mutex> lock(filter_->Lock());
    *pin = nullptr;
    if (!peer_) return VFW_E_NOT_CONNECTED;
    return peer_.CopyTo(pin);
}

STDMETHODIMP Pin::ConnectionMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    std::lock_guard<std::recursive_mutex> lock(filter_->Lock());
    if (!peer_) { ZeroMemory(mt, sizeof *mt); return VFW_E_NOT_CONNECTED; }
    return CopyMediaTypeContents(*mt, type_);
}

STDMETHODIMP Pin::QueryPinInfo(PIN_INFO* info) {
    if (!info) return E_POINTER;
    info->pFilter = filter_;
    filter_->AddRef();
    info->dir = dir_;
    lstrcpynW(info->achName, name_.c_str(), MAX_PIN_NAME);
    return S_OK;
}

STDMETHODIMP Pin::QueryDirection(PIN_DIRECTION* dir) {
    if (!dir) return E_POINTER;
    *dir = dir_;
    return S_OK;
}

STDMETHODIMP Pin::QueryId(LPWSTR* id) {
    if (!id) return E_POINTER;
    *id = CoTaskString(name_);
    return *id ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP Pin::QueryAccept(const AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    return CheckMediaType(*mt) == S_OK ? S_OK : S_FALSE;
}

STDMETHODIMP Pin::EnumMediaTypes(IEnumMediaTypes** types) {
    if (!types) return E_POINTER;
    std::vector<MediaType> list;
    for (int i = 0;; ++i) {
        MediaType mt;
        if (!GetMediaType(i, mt)) break;
        list.push_back(mt);
    }
    *types = new TypeEnum(std::move(list));
    return S_OK;
}

STDMETHODIMP InputPin::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IMemInputPin) { *out = static_cast<IMemInputPin*>(this); AddRef(); return S_OK; }
    return Pin::QueryInterface(iid, out);
}

STDMETHODIMP InputPin::GetAllocator(IMemAllocator** allocator) {
    if (!allocator) return E_POINTER;
    std::lock_guard<std::recursive_mutex> lock(filter_->Lock());
    if (!allocator_) {
        HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                      allocator_.PutVoid());
        if (FAILED(hr)) return hr;
    }
    return allocator_.CopyTo(allocator);
}

STDMETHODIMP InputPin::NotifyAllocator(IMemAllocator* allocator, BOOL) {
    if (!allocator) return E_POINTER;
    std::lock_guard<std::recursive_mutex> lock(filter_->Lock());
    allocator_ = ComRef<IMemAllocator>(allocator);
    return S_OK;
}

STDMETHODIMP InputPin::ReceiveMultiple(IMediaSample** samples, long count, long* done) {
    long n = 0;
    HRESULT hr = S_OK;
    while (n < count && (hr = Receive(samples[n])) == S_OK) ++n;
    if (done) *done = n;
    return hr;
}

// Tries our preferred types, then the peer's, unless the caller fixed a complete type.
STDMETHODIMP OutputPin::Connect(IPin* receive, const AM_MEDIA_TYPE* mt) {
    if (!receive) return E_POINTER;
    std::lock_guard<std::recursive_mutex> lock(filter_->Lock());
    if (peer_) return VFW_E_ALREADY_CONNECTED;
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    auto matches = [mt](const AM_MEDIA_TYPE& t) {
        if (!mt) return true;
        if (mt->majortype != GUID_NULL && mt->majortype != t.majortype) return false;
        if (mt->subtype != GUID_NULL && mt->subtype != t.subtype) return false;
        if (mt->formattype != GUID_NULL && mt->formattype != t.formattype) return false;
        return true;
    };
    if (mt && mt->majortype != GUID_NULL && mt->subtype != GUID_NULL && mt->formattype != GUID_NULL && mt->pbFormat)
        return TryConnect(receive, *mt) == S_OK ? S_OK : VFW_E_NO_ACCEPTABLE_TYPES;
    for (int i = 0;; ++i) {
        MediaType t;
        if (!GetMediaType(i, t)) break;
        if (matches(t) && TryConnect(receive, t) == S_OK) return S_OK;
    }
    ComRef<IEnumMediaTypes> types;
    if (SUCCEEDED(receive->EnumMediaTypes(types.Put())) && types) {
        AM_MEDIA_TYPE* t = nullptr;
        while (types->Next(1, &t, nullptr) == S_OK) {
            bool ok = matches(*t) && TryConnect(receive, *t) == S_OK;
            DeleteMediaTypeCopy(t);
            if (ok) return S_OK;
        }
    }
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT OutputPin::TryConnect(IPin* receive, const AM_MEDIA_TYPE& mt) {
    if (CheckMediaType(mt) != S_OK) return S_FALSE;
    peer_ = ComRef<IPin>(receive);
    type_ = mt;
    HRESULT hr = receive->ReceiveConnection(this, &mt);
    if (hr == S_OK) {
        hr = DecideAllocator();
        if (SUCCEEDED(hr)) hr = CompleteConnect(receive);
        if (SUCCEEDED(hr)) return S_OK;
        receive->Disconnect();
    }
    input_.Reset();
    allocator_.Reset();
    peer_.Reset();
    type_.Clear();
    return FAILED(hr) ? hr : S_FALSE;
}

HRESULT OutputPin::DecideAllocator() {
    HRESULT hr = peer_.As(input_);
    if (FAILED(hr)) return VFW_E_NO_TRANSPORT;
    ALLOCATOR_PROPERTIES want = {}, got = {};
    input_->GetAllocatorRequirements(&want);
    if (want.cbAlign == 0) want.cbAlign = 1;
    if (FAILED(input_->GetAllocator(allocator_.Put())) || !allocator_) {
        hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                              allocator_.PutVoid());
        if (FAILED(hr)) return hr;
    }
    if (FAILED(hr = DecideBufferSize(want))) return hr;
    if (FAILED(hr = allocator_->SetProperties(&want, &got))) return hr;
    if (got.cbBuffer < want.cbBuffer) return E_FAIL;
    return input_->NotifyAllocator(allocator_.Get(), FALSE);
}

STDMETHODIMP OutputPin::Disconnect() {
    std::lock_guard<std::recursive_mutex> lock(filter_->Lock());
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (allocator_) allocator_->Decommit();
    input_.Reset();
    allocator_.Reset();
    return Pin::Disconnect();
}

HRESULT OutputPin::Active() { return allocator_ ? allocator_->Commit() : S_OK; }
void OutputPin::Inactive() { if (allocator_) allocator_->Decommit(); }

HRESULT OutputPin::GetDeliveryBuffer(IMediaSample** sample) {
    if (!allocator_) return VFW_E_NOT_CONNECTED;
    return allocator_->GetBuffer(sample, nullptr, nullptr, 0);
}

HRESULT OutputPin::Deliver(IMediaSample* sample) {
    if (!input_) return VFW_E_NOT_CONNECTED;
    return input_->Receive(sample);
}

HRESULT OutputPin::DeliverEndOfStream() {
    if (!peer_) return VFW_E_NOT_CONNECTED;
    return peer_->EndOfStream();
}

// ---- filter ---------------------------------------------------------------------------------------

Filter::Filter(const CLSID& clsid) : clsid_(clsid) { InterlockedIncrement(&g_liveObjects); }
Filter::~Filter() { InterlockedDecrement(&g_liveObjects); }

STDMETHODIMP Filter::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IMediaFilter || iid == IID_IBaseFilter) {
        *out = static_cast<IBaseFilter*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP Filter::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = clsid_;
    return S_OK;
}

STDMETHODIMP Filter::Stop() {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    if (state_ == State_Stopped) return S_OK;
    state_ = State_Stopped;
    for (int i = 0; i < PinCount(); ++i)
        if (PinAt(i)->IsConnected()) PinAt(i)->Inactive();
    OnStop();
    return S_OK;
}

STDMETHODIMP Filter::Pause() {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    FILTER_STATE from = state_;
    if (from == State_Stopped) {
        for (int i = 0; i < PinCount(); ++i) {
            if (!PinAt(i)->IsConnected()) continue;
            HRESULT hr = PinAt(i)->Active();
            if (FAILED(hr)) return hr;
        }
    }
    HRESULT hr = OnPause(from);
    if (FAILED(hr)) return hr;
    state_ = State_Paused;
    return StateResult();
}

STDMETHODIMP Filter::Run(REFERENCE_TIME start) {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    if (state_ == State_Stopped) {
        HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    start_ = start;
    HRESULT hr = OnRun(start);
    if (FAILED(hr)) return hr;
    state_ = State_Running;
    return S_OK;
}

STDMETHODIMP Filter::GetState(DWORD, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    std::lock_guard<std::recursive_mutex> lock(lock_);
    *state = state_;
    return state_ == State_Paused ? StateResult() : S_OK;
}

STDMETHODIMP Filter::SetSyncSource(IReferenceClock* clock) {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    clock_ = ComRef<IReferenceClock>(clock);
    return S_OK;
}

STDMETHODIMP Filter::GetSyncSource(IReferenceClock** clock) {
    if (!clock) return E_POINTER;
    std::lock_guard<std::recursive_mutex> lock(lock_);
    *clock = clock_.Get();
    if (*clock) (*clock)->AddRef();
    return S_OK;
}

ComRef<IReferenceClock> Filter::Clock() {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    return clock_;
}

STDMETHODIMP Filter::EnumPins(IEnumPins** pins) {
    if (!pins) return E_POINTER;
    *pins = new PinEnum(this);
    return S_OK;
}

STDMETHODIMP Filter::FindPin(LPCWSTR id, IPin** pin) {
    if (!id || !pin) return E_POINTER;
    std::lock_guard<std::recursive_mutex> lock(lock_);
    for (int i = 0; i < PinCount(); ++i) {
        if (PinAt(i)->Name() == id) {
            *pin = PinAt(i);
            (*pin)->AddRef();
            return S_OK;
        }
    }
    *pin = nullptr;
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP Filter::QueryFilterInfo(FILTER_INFO* info) {
    if (!info) return E_POINTER;
    std::lock_guard<std::recursive_mutex> lock(lock_);
    lstrcpynW(info->achName, name_.c_str(), MAX_FILTER_NAME);
    info->pGraph = graph_;
    if (graph_) graph_->AddRef();
    return S_OK;
}

STDMETHODIMP Filter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    graph_ = graph;
    name_ = name ? name : L"";
    return S_OK;
}

void Filter::Notify(long code, LONG_PTR p1, LONG_PTR p2) {
    IFilterGraph* graph;
    {
        std::lock_guard<std::recursive_mutex> lock(lock_);
        graph = graph_;
    }
    ComRef<IMediaEventSink> sink;
    if (graph && SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, sink.PutVoid())))
        sink->Notify(code, p1, p2);
}

}  // namespace lumetra::standins
