#pragma once
// Filter plumbing for the stand-ins, written from the DirectShow interface contracts: a filter base
// (IBaseFilter with state, clock and graph), pins (IPin), an input pin with IMemInputPin, an output
// pin that negotiates a type and an allocator with its peer, and the pin and type enumerators.
// Pins live as long as their filter and share its reference count.
#include "wine-standins/dshow/com.h"

#include <mutex>
#include <string>
#include <vector>

namespace lumetra::standins {

class Filter;

class Pin : public IPin {
public:
    Pin(Filter* filter, PIN_DIRECTION dir, const wchar_t* name);
    virtual ~Pin();

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Connect(IPin* receive, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* dir) override;
    STDMETHODIMP QueryId(LPWSTR* id) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;
    STDMETHODIMP QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
    STDMETHODIMP EndOfStream() override { return E_UNEXPECTED; }
    STDMETHODIMP BeginFlush() override { return E_UNEXPECTED; }
    STDMETHODIMP EndFlush() override { return E_UNEXPECTED; }
    STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

    // Types this pin accepts, and (optionally) the ones it proposes, in order of preference.
    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) = 0;
    virtual bool GetMediaType(int index, MediaType& mt) { return false; }

    bool IsConnected() const { return bool(peer_); }
    const MediaType& CurrentType() const { return type_; }
    const std::wstring& Name() const { return name_; }
    Filter* Owner() const { return filter_; }

    // State changes of the owning filter.
    virtual HRESULT Active() { return S_OK; }
    virtual void Inactive() {}

protected:
    virtual HRESULT CompleteConnect(IPin* peer) { return S_OK; }
    virtual void BreakConnect() {}

    Filter* filter_;
    PIN_DIRECTION dir_;
    std::wstring name_;
    ComRef<IPin> peer_;
    MediaType type_;
};

class InputPin : public Pin, public IMemInputPin {
public:
    InputPin(Filter* filter, const wchar_t* name) : Pin(filter, PINDIR_INPUT, name) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return Pin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return Pin::Release(); }

    STDMETHODIMP EndOfStream() override { return S_OK; }
    STDMETHODIMP BeginFlush() override { flushing_ = true; return S_OK; }
    STDMETHODIMP EndFlush() override { flushing_ = false; return S_OK; }

    STDMETHODIMP GetAllocator(IMemAllocator** allocator) override;
    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) override { return E_NOTIMPL; }
    STDMETHODIMP Receive(IMediaSample* sample) override = 0;
    STDMETHODIMP ReceiveMultiple(IMediaSample** samples, long count, long* done) override;
    STDMETHODIMP ReceiveCanBlock() override { return S_OK; }

protected:
    ComRef<IMemAllocator> allocator_;
    volatile bool flushing_ = false;
};

class OutputPin : public Pin {
public:
    OutputPin(Filter* filter, const wchar_t* name) : Pin(filter, PINDIR_OUTPUT, name) {}

    STDMETHODIMP Connect(IPin* receive, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP Disconnect() override;

    HRESULT Active() override;       // commits the allocator
    void Inactive() override;        // decommits it (unblocks a waiting GetDeliveryBuffer)

    HRESULT GetDeliveryBuffer(IMediaSample** sample);
    HRESULT Deliver(IMediaSample* sample);
    HRESULT DeliverEndOfStream();

protected:
    // Buffer count and size for the connected type.
    virtual HRESULT DecideBufferSize(ALLOCATOR_PROPERTIES& props) = 0;

private:
    HRESULT TryConnect(IPin* receive, const AM_MEDIA_TYPE& mt);
    HRESULT DecideAllocator();

    ComRef<IMemInputPin> input_;
    ComRef<IMemAllocator> allocator_;
};

class Filter : public IBaseFilter {
public:
    Filter(const CLSID& clsid);
    virtual ~Filter();

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STANDINS_REFCOUNT(refs_)

    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    STDMETHODIMP GetState(DWORD timeout, FILTER_STATE* state) override;
    STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
    STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;
    STDMETHODIMP EnumPins(IEnumPins** pins) override;
    STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    STDMETHODIMP QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }

    // Pins, by position; the set may grow but pins are never removed while the filter lives.
    virtual int PinCount() = 0;
    virtual Pin* PinAt(int index) = 0;

    FILTER_STATE State() const { return state_; }
    REFERENCE_TIME StreamStart() const { return start_; }
    ComRef<IReferenceClock> Clock();
    // Sends an event to the graph (EC_COMPLETE, EC_ERRORABORT, ...).
    void Notify(long code, LONG_PTR p1, LONG_PTR p2);
    std::recursive_mutex& Lock() { return lock_; }

protected:
    // Streaming starts (Stopped -> Paused), runs and ends (-> Stopped). Called with the lock held.
    virtual HRESULT OnPause(FILTER_STATE from) { return S_OK; }
    virtual HRESULT OnRun(REFERENCE_TIME start) { return S_OK; }
    virtual void OnStop() {}
    virtual HRESULT StateResult() const { return S_OK; }

    LONG refs_ = 1;
    CLSID clsid_;
    std::recursive_mutex lock_;
    FILTER_STATE state_ = State_Stopped;
    REFERENCE_TIME start_ = 0;
    ComRef<IReferenceClock> clock_;
    IFilterGraph* graph_ = nullptr;   // not owned: the graph owns the filter
    std::wstring name_;
};

}  // namespace lumetra::standins
