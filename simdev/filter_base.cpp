#include "simdev/filter_base.h"

#include <algorithm>
#include <cstring>

namespace simdev {

// ---------------------------------------------------------------------------------------------
// Pin

Pin::Pin(Filter& filter, const wchar_t* name, PIN_DIRECTION direction)
    : filter_(filter), name_(name), direction_(direction) {}

void* Pin::PinInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IPin) return static_cast<IPin*>(this);
    return nullptr;
}

bool Pin::IsConnected() {
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    return static_cast<bool>(peer_);
}

ComPtr<IPin> Pin::Peer() {
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    return peer_;
}

MediaType Pin::ConnectedType() {
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    return mt_;
}

HRESULT Pin::TryConnect(IPin* receivePin, const AM_MEDIA_TYPE& mt) {
    if (CheckMediaType(mt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    // The peer may ask for our connection details while it accepts, so they are set first.
    peer_ = ComPtr<IPin>(receivePin);
    mt_ = MediaType(mt);
    HRESULT hr = receivePin->ReceiveConnection(this, &mt);
    if (hr == S_OK) {
        hr = CompleteConnect(receivePin);
        if (SUCCEEDED(hr)) return S_OK;
        receivePin->Disconnect();
        BreakConnect();
    }
    peer_.Reset();
    mt_.Clear();
    return FAILED(hr) ? hr : VFW_E_TYPE_NOT_ACCEPTED;
}

STDMETHODIMP Pin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) {
    if (!receivePin) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    if (direction_ != PINDIR_OUTPUT) return E_UNEXPECTED;
    if (peer_) return VFW_E_ALREADY_CONNECTED;
    if (filter_.State() != State_Stopped) return VFW_E_NOT_STOPPED;
    PIN_DIRECTION peerDirection;
    if (FAILED(receivePin->QueryDirection(&peerDirection)) || peerDirection != PINDIR_INPUT)
        return VFW_E_INVALID_DIRECTION;

    // A fully specified type is tried as it is.
    if (mt && mt->majortype != GUID_NULL && mt->subtype != GUID_NULL && mt->formattype != GUID_NULL &&
        mt->pbFormat)
        return TryConnect(receivePin, *mt);

    // Otherwise our types, best first, then the ones the receiving pin proposes.
    HRESULT last = VFW_E_NO_ACCEPTABLE_TYPES;
    for (const MediaType& t : MediaTypes()) {
        if (mt && !MatchesPartial(*mt, t.Get())) continue;
        HRESULT hr = TryConnect(receivePin, t.Get());
        if (hr == S_OK) return S_OK;
        last = hr;
    }
    ComPtr<IEnumMediaTypes> theirs;
    if (SUCCEEDED(receivePin->EnumMediaTypes(theirs.Put())) && theirs) {
        AM_MEDIA_TYPE* t = nullptr;
        while (theirs->Next(1, &t, nullptr) == S_OK) {
            MediaType proposed(*t);
            DeleteTaskMemMediaType(t);
            if (mt && !MatchesPartial(*mt, proposed.Get())) continue;
            if (CheckMediaType(proposed.Get()) != S_OK) continue;
            HRESULT hr = TryConnect(receivePin, proposed.Get());
            if (hr == S_OK) return S_OK;
            last = hr;
        }
    }
    return last == VFW_E_TYPE_NOT_ACCEPTED ? VFW_E_NO_ACCEPTABLE_TYPES : last;
}

STDMETHODIMP Pin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) {
    if (!connector || !mt) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    if (direction_ != PINDIR_INPUT) return E_UNEXPECTED;
    if (peer_) return VFW_E_ALREADY_CONNECTED;
    if (filter_.State() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (CheckMediaType(*mt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    peer_ = ComPtr<IPin>(connector);
    mt_ = MediaType(*mt);
    return S_OK;
}

STDMETHODIMP Pin::Disconnect() {
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    if (!peer_) return S_FALSE;
    if (filter_.State() != State_Stopped) return VFW_E_NOT_STOPPED;
    BreakConnect();
    peer_.Reset();
    mt_.Clear();
    return S_OK;
}

STDMETHODIMP Pin::ConnectedTo(IPin** pin) {
    if (!pin) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    *pin = peer_.Get();
    if (!*pin) return VFW_E_NOT_CONNECTED;
    (*pin)->AddRef();
    return S_OK;
}

STDMETHODIMP Pin::ConnectionMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    std::memset(mt, 0, sizeof(*mt));
    if (!peer_) return VFW_E_NOT_CONNECTED;
    AM_MEDIA_TYPE* copy = mt_.NewTaskMemCopy();
    if (!copy) return E_OUTOFMEMORY;
    *mt = *copy;  // the caller now owns the format block and pUnk
    CoTaskMemFree(copy);
    return S_OK;
}

STDMETHODIMP Pin::QueryPinInfo(PIN_INFO* info) {
    if (!info) return E_POINTER;
    info->pFilter = &filter_;
    info->pFilter->AddRef();
    info->dir = direction_;
    CopyName(info->achName, MAX_PIN_NAME, name_.c_str());
    return S_OK;
}

STDMETHODIMP Pin::QueryDirection(PIN_DIRECTION* direction) {
    if (!direction) return E_POINTER;
    *direction = direction_;
    return S_OK;
}

STDMETHODIMP Pin::QueryId(LPWSTR* id) {
    if (!id) return E_POINTER;
    size_t bytes = (name_.size() + 1) * sizeof(wchar_t);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id) return E_OUTOFMEMORY;
    std::memcpy(*id, name_.c_str(), bytes);
    return S_OK;
}

STDMETHODIMP Pin::QueryAccept(const AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    return CheckMediaType(*mt) == S_OK ? S_OK : S_FALSE;
}

STDMETHODIMP Pin::EnumMediaTypes(IEnumMediaTypes** types) {
    if (!types) return E_POINTER;
    *types = new MediaTypeEnumerator(MediaTypes());
    return S_OK;
}

STDMETHODIMP Pin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

// Data flows only out of the live pins, and the analog input pins carry no samples.
STDMETHODIMP Pin::EndOfStream() { return direction_ == PINDIR_INPUT ? S_OK : E_UNEXPECTED; }
STDMETHODIMP Pin::BeginFlush() { return direction_ == PINDIR_INPUT ? S_OK : E_UNEXPECTED; }
STDMETHODIMP Pin::EndFlush() { return direction_ == PINDIR_INPUT ? S_OK : E_UNEXPECTED; }
STDMETHODIMP Pin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) {
    return direction_ == PINDIR_INPUT ? S_OK : E_UNEXPECTED;
}

// ---------------------------------------------------------------------------------------------
// Filter

Filter::Filter(const CLSID& clsid, bool liveSource) : clsid_(clsid), liveSource_(liveSource) {}

void* Filter::FilterInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IMediaFilter || iid == IID_IBaseFilter)
        return static_cast<IBaseFilter*>(this);
    if (iid == IID_IAMFilterMiscFlags) return static_cast<IAMFilterMiscFlags*>(this);
    return nullptr;
}

STDMETHODIMP Filter::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = clsid_;
    return S_OK;
}

STDMETHODIMP Filter::Stop() {
    {
        std::lock_guard<std::recursive_mutex> hold(lock_);
        if (State() == State_Stopped) return S_OK;
        state_ = State_Stopped;
    }
    // The streaming threads are joined without the filter lock: they never wait for it, but the
    // pins' callers might.
    for (Pin* pin : Pins()) pin->Deactivate();
    return S_OK;
}

STDMETHODIMP Filter::Pause() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    const FILTER_STATE old = State();
    if (old == State_Stopped) {
        for (Pin* pin : Pins()) {
            HRESULT hr = pin->Activate();
            if (FAILED(hr)) {
                for (Pin* p : Pins()) p->Deactivate();
                return hr;
            }
        }
    }
    state_ = State_Paused;
    if (old == State_Running)
        for (Pin* pin : Pins()) pin->StateChanged();
    return liveSource_ ? VFW_S_CANT_CUE : S_OK;
}

STDMETHODIMP Filter::Run(REFERENCE_TIME start) {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (State() == State_Stopped) {
        HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    start_ = start;
    state_ = State_Running;
    for (Pin* pin : Pins()) pin->StateChanged();
    return S_OK;
}

STDMETHODIMP Filter::GetState(DWORD, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    *state = State();
    // A live source cannot deliver data while paused: the graph must not wait for it to cue.
    return (liveSource_ && *state == State_Paused) ? VFW_S_CANT_CUE : S_OK;
}

STDMETHODIMP Filter::SetSyncSource(IReferenceClock* clock) {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    clock_ = ComPtr<IReferenceClock>(clock);
    return S_OK;
}

STDMETHODIMP Filter::GetSyncSource(IReferenceClock** clock) {
    if (!clock) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    *clock = clock_.Get();
    if (*clock) (*clock)->AddRef();
    return S_OK;
}

ComPtr<IReferenceClock> Filter::Clock() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    return clock_;
}

IFilterGraph* Filter::Graph() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    return graph_;
}

STDMETHODIMP Filter::EnumPins(IEnumPins** pins) {
    if (!pins) return E_POINTER;
    std::vector<ComPtr<IPin>> list;
    for (Pin* pin : Pins()) list.emplace_back(pin);
    *pins = new PinEnumerator(std::move(list));
    return S_OK;
}

STDMETHODIMP Filter::FindPin(LPCWSTR id, IPin** pin) {
    if (!id || !pin) return E_POINTER;
    for (Pin* p : Pins()) {
        if (p->Name() == id) {
            *pin = p;
            p->AddRef();
            return S_OK;
        }
    }
    *pin = nullptr;
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP Filter::QueryFilterInfo(FILTER_INFO* info) {
    if (!info) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    CopyName(info->achName, MAX_FILTER_NAME, name_.c_str());
    info->pGraph = graph_;
    if (graph_) graph_->AddRef();
    return S_OK;
}

STDMETHODIMP Filter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    if (!graph) OnGraphChanged(nullptr);
    {
        std::lock_guard<std::recursive_mutex> hold(lock_);
        graph_ = graph;
        name_ = (graph && name) ? name : L"";
    }
    if (graph) OnGraphChanged(graph);
    return S_OK;
}

STDMETHODIMP Filter::QueryVendorInfo(LPWSTR* info) {
    if (!info) return E_POINTER;
    const wchar_t text[] = L"Lumetra simulated device";
    *info = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof(text)));
    if (!*info) return E_OUTOFMEMORY;
    std::memcpy(*info, text, sizeof(text));
    return S_OK;
}

STDMETHODIMP_(ULONG) Filter::GetMiscFlags() { return liveSource_ ? AM_FILTER_MISC_FLAGS_IS_SOURCE : 0; }

bool Filter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) {
    ComPtr<IMediaEventSink> sink;
    {
        std::lock_guard<std::recursive_mutex> hold(lock_);
        if (!graph_) return false;
        graph_->QueryInterface(IID_IMediaEventSink, sink.PutVoid());
    }
    return sink && SUCCEEDED(sink->Notify(code, param1, param2));
}

// ---------------------------------------------------------------------------------------------
// LiveOutputPin

HRESULT ReportPinCategory(REFGUID set, DWORD id, void* data, DWORD dataBytes, DWORD* returned, const GUID& category) {
    if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (returned) *returned = sizeof(GUID);
    if (!data) return returned ? S_OK : E_POINTER;
    if (dataBytes < sizeof(GUID)) return E_UNEXPECTED;
    *static_cast<GUID*>(data) = category;
    return S_OK;
}

HRESULT PinCategorySupport(REFGUID set, DWORD id, DWORD* support) {
    if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (support) *support = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

HRESULT LiveOutputPin::ChangeFormat(MediaType& current, const MediaType& next) {
    if (filter_.State() != State_Stopped) return VFW_E_NOT_STOPPED;
    ComPtr<IPin> peer = Peer();
    if (!peer) {
        current = next;
        return S_OK;
    }
    if (peer->QueryAccept(&next.Get()) != S_OK) return VFW_E_INVALIDMEDIATYPE;
    MediaType previous = current;
    current = next;
    peer->Disconnect();
    Disconnect();
    HRESULT hr = Connect(peer.Get(), &next.Get());
    if (FAILED(hr)) {
        current = previous;
        Connect(peer.Get(), &previous.Get());
    }
    return hr;
}

HRESULT LiveOutputPin::CopyFormat(const MediaType& current, AM_MEDIA_TYPE** mt) {
    if (!mt) return E_POINTER;
    *mt = IsConnected() ? ConnectedType().NewTaskMemCopy() : current.NewTaskMemCopy();
    return *mt ? S_OK : E_OUTOFMEMORY;
}

LiveOutputPin::LiveOutputPin(Filter& filter, const wchar_t* name)
    : Pin(filter, name, PINDIR_OUTPUT), wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    QueryPerformanceFrequency(&qpcFrequency_);
}

LiveOutputPin::~LiveOutputPin() { Deactivate(); }

HRESULT LiveOutputPin::CompleteConnect(IPin* peer) {
    ComPtr<IMemInputPin> input;
    if (FAILED(peer->QueryInterface(IID_IMemInputPin, input.PutVoid()))) return VFW_E_NO_TRANSPORT;

    ALLOCATOR_PROPERTIES wanted{};
    BufferNeeds(wanted);
    ALLOCATOR_PROPERTIES theirs{};
    if (SUCCEEDED(input->GetAllocatorRequirements(&theirs))) {
        if (theirs.cbAlign > 0) wanted.cbAlign = theirs.cbAlign;
        wanted.cbPrefix = theirs.cbPrefix;
        wanted.cBuffers = std::max(wanted.cBuffers, theirs.cBuffers);
    }
    if (wanted.cbAlign <= 0) wanted.cbAlign = 1;

    auto tryAllocator = [&](IMemAllocator* allocator) -> bool {
        ALLOCATOR_PROPERTIES actual{};
        if (FAILED(allocator->SetProperties(&wanted, &actual))) return false;
        if (actual.cbBuffer < wanted.cbBuffer || actual.cBuffers < 1) return false;
        return SUCCEEDED(input->NotifyAllocator(allocator, FALSE));
    };

    // The downstream pin's allocator first, then a memory allocator of our own.
    ComPtr<IMemAllocator> allocator;
    if (FAILED(input->GetAllocator(allocator.Put())) || !allocator || !tryAllocator(allocator.Get())) {
        allocator.Reset();
        HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                      allocator.PutVoid());
        if (FAILED(hr)) return hr;
        if (!tryAllocator(allocator.Get())) return VFW_E_NO_ALLOCATOR;
    }
    memInput_ = std::move(input);
    allocator_ = std::move(allocator);
    return S_OK;
}

void LiveOutputPin::BreakConnect() {
    memInput_.Reset();
    allocator_.Reset();
}

HRESULT LiveOutputPin::Activate() {
    if (!IsConnected() || !allocator_) return S_OK;  // an unconnected pin simply does not stream
    if (thread_.joinable()) return S_OK;
    HRESULT hr = allocator_->Commit();
    if (FAILED(hr)) return hr;
    clock_ = filter_.Clock();
    stopRequested_ = false;
    halted_ = false;
    lost_ = false;
    dropped_ = 0;
    delivered_ = 0;
    thread_ = std::thread([this] { ThreadMain(); });
    return S_OK;
}

void LiveOutputPin::Deactivate() {
    if (!thread_.joinable()) return;
    stopRequested_ = true;
    SetEvent(wake_.Get());
    // Decommitting releases a thread that waits for a free buffer.
    if (allocator_) allocator_->Decommit();
    thread_.join();
    clock_.Reset();
}

void LiveOutputPin::StateChanged() {
    if (filter_.State() == State_Running) halted_ = false;
    SetEvent(wake_.Get());
}

REFERENCE_TIME LiveOutputPin::Now(IReferenceClock* clock) {
    if (clock) {
        REFERENCE_TIME t = 0;
        if (SUCCEEDED(clock->GetTime(&t))) return t - filter_.StartTime();
    }
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<REFERENCE_TIME>(static_cast<double>(counter.QuadPart) * 1e7 /
                                       static_cast<double>(qpcFrequency_.QuadPart));
}

void LiveOutputPin::ThreadMain() {
    HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const REFERENCE_TIME unit = UnitDuration();
    IReferenceClock* clock = clock_.Get();
    bool running = false;
    REFERENCE_TIME base = 0;      // stream time at which this run's first unit began
    uint64_t unitsInRun = 0;      // units accounted for since the run began
    uint64_t index = 0;           // units since the session began (the frame counter)
    DWORD lastTick = GetTickCount() - 1000;
    bool discontinuity = true;

    OnSessionStart();
    while (!stopRequested_) {
        const DWORD tick = GetTickCount();
        if (tick - lastTick >= 200) {
            lastTick = tick;
            OnTick();
        }
        if (filter_.State() != State_Running || halted_ || lost_) {
            running = false;
            WaitForSingleObject(wake_.Get(), 100);
            continue;
        }
        const REFERENCE_TIME now = Now(clock);
        if (!running) {
            OnTick();  // the test control is read again whenever the graph starts running
            running = true;
            base = now;
            unitsInRun = 0;
            discontinuity = true;
        }
        const REFERENCE_TIME unitStart = base + static_cast<REFERENCE_TIME>(unitsInRun) * unit;
        const REFERENCE_TIME due = DeliverAtEnd() ? unitStart + unit : unitStart;
        if (now < due) {
            DWORD ms = static_cast<DWORD>(std::min<REFERENCE_TIME>((due - now) / 10000 + 1, 100));
            WaitForSingleObject(wake_.Get(), ms);
            continue;
        }
        // Far behind the clock (the machine was busy): the units that could not be captured are lost.
        if (now - due > 4 * unit) {
            const uint64_t behind = static_cast<uint64_t>((now - due) / unit);
            unitsInRun += behind;
            index += behind;
            dropped_ += static_cast<LONG>(behind);
            continue;
        }

        ComPtr<IMediaSample> sample;
        if (FAILED(allocator_->GetBuffer(sample.Put(), nullptr, nullptr, 0)) || !sample) {
            if (!stopRequested_) WaitForSingleObject(wake_.Get(), 10);
            continue;
        }
        const uint64_t current = index++;
        const REFERENCE_TIME stamp = base + static_cast<REFERENCE_TIME>(unitsInRun) * unit;
        ++unitsInRun;
        HRESULT hr = FillUnit(sample.Get(), current);
        if (hr == S_FALSE) {
            ++dropped_;
            discontinuity = true;
            continue;
        }
        if (FAILED(hr)) {
            halted_ = true;
            continue;
        }
        if (clock) {
            REFERENCE_TIME start = stamp, stop = stamp + unit;
            sample->SetTime(&start, &stop);
        } else {
            sample->SetTime(nullptr, nullptr);
        }
        sample->SetSyncPoint(TRUE);
        sample->SetDiscontinuity(discontinuity ? TRUE : FALSE);
        sample->SetPreroll(FALSE);
        discontinuity = false;
        hr = memInput_->Receive(sample.Get());
        sample.Reset();
        if (hr == S_OK) {
            ++delivered_;
        } else if (!stopRequested_ && filter_.State() == State_Running) {
            // S_FALSE or an error: downstream wants nothing more in this session.
            halted_ = true;
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace simdev
