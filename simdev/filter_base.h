#pragma once
// The filter plumbing shared by the simulated devices: a base filter (state, clock, graph, pins),
// a pin base with the connection protocol, and a live output pin that negotiates an allocator and
// delivers samples from its own thread, paced and time-stamped by the graph clock.
#include <windows.h>
#include <dshow.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/handles.h"
#include "simdev/com_support.h"

namespace simdev {

class Filter;

// Base of every pin. Implements IPin; AddRef and Release go to the owning filter, because a pin
// lives exactly as long as its filter. Concrete pins add their interfaces and QueryInterface.
class Pin : public IPin {
public:
    Pin(Filter& filter, const wchar_t* name, PIN_DIRECTION direction);
    virtual ~Pin() = default;

    // IPin
    STDMETHODIMP Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) override;
    STDMETHODIMP QueryId(LPWSTR* id) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;
    STDMETHODIMP QueryInternalConnections(IPin** pins, ULONG* count) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    const std::wstring& Name() const { return name_; }
    PIN_DIRECTION Direction() const { return direction_; }
    bool IsConnected();
    ComPtr<IPin> Peer();
    MediaType ConnectedType();

    // Called by the filter on state changes (default: nothing to do).
    virtual HRESULT Activate() { return S_OK; }   // stopped -> paused
    virtual void Deactivate() {}                  // -> stopped
    virtual void StateChanged() {}                // paused <-> running

protected:
    // The media types this pin offers (output) or prefers (input), best first.
    virtual std::vector<MediaType> MediaTypes() = 0;
    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) = 0;
    // Output pins: finishes a connection the peer accepted (allocator negotiation).
    virtual HRESULT CompleteConnect(IPin* peer) { return S_OK; }
    virtual void BreakConnect() {}
    // Answers IUnknown and IPin for the concrete pin's QueryInterface.
    void* PinInterface(REFIID iid);

    Filter& filter_;

private:
    HRESULT TryConnect(IPin* receivePin, const AM_MEDIA_TYPE& mt);

    std::wstring name_;
    PIN_DIRECTION direction_;
    ComPtr<IPin> peer_;
    MediaType mt_;
};

// Base of the filters: IBaseFilter and IAMFilterMiscFlags; IUnknown is left to the concrete filter.
class Filter : public IBaseFilter, public IAMFilterMiscFlags {
public:
    Filter(const CLSID& clsid, bool liveSource);
    virtual ~Filter() = default;

    // IPersist
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    // IMediaFilter
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    STDMETHODIMP GetState(DWORD timeout, FILTER_STATE* state) override;
    STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
    STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;
    // IBaseFilter
    STDMETHODIMP EnumPins(IEnumPins** pins) override;
    STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    STDMETHODIMP QueryVendorInfo(LPWSTR* info) override;
    // IAMFilterMiscFlags
    STDMETHODIMP_(ULONG) GetMiscFlags() override;

    // For the pins, whose references are the filter's.
    ULONG AddRefFilter() { return static_cast<IBaseFilter*>(this)->AddRef(); }
    ULONG ReleaseFilter() { return static_cast<IBaseFilter*>(this)->Release(); }
    std::recursive_mutex& Lock() { return lock_; }
    FILTER_STATE State() const { return static_cast<FILTER_STATE>(state_.load()); }
    REFERENCE_TIME StartTime() const { return start_.load(); }
    ComPtr<IReferenceClock> Clock();
    IFilterGraph* Graph();  // not owned: a filter never holds a reference on its graph
    // Sends an event to the graph's event sink; false when the filter is in no graph.
    bool NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);

protected:
    virtual std::vector<Pin*> Pins() = 0;
    // Called after the filter joined a graph (graph non-null) or before it leaves one (graph null).
    virtual void OnGraphChanged(IFilterGraph* graph) {}
    // Answers IUnknown, IPersist, IMediaFilter, IBaseFilter and IAMFilterMiscFlags.
    void* FilterInterface(REFIID iid);

private:
    CLSID clsid_;
    bool liveSource_;
    std::recursive_mutex lock_;
    std::atomic<int> state_{State_Stopped};
    std::atomic<REFERENCE_TIME> start_{0};
    ComPtr<IReferenceClock> clock_;
    IFilterGraph* graph_ = nullptr;
    std::wstring name_;
};

// An output pin of a live source. It connects with an allocator, and while the filter is paused or
// running a thread of its own produces one unit (a video frame, a block of sound) per UnitDuration:
// nothing is delivered while paused; while running each unit is stamped with its stream times taken
// from the graph clock.
// IKsPropertySet answers of a pin: its category (AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY), read only.
HRESULT ReportPinCategory(REFGUID set, DWORD id, void* data, DWORD dataBytes, DWORD* returned, const GUID& category);
HRESULT PinCategorySupport(REFGUID set, DWORD id, DWORD* support);

class LiveOutputPin : public Pin {
public:
    LiveOutputPin(Filter& filter, const wchar_t* name);
    ~LiveOutputPin() override;

    HRESULT Activate() override;
    void Deactivate() override;
    void StateChanged() override;

    // Units dropped (asked for by the test control or lost by lateness) and delivered since Activate.
    LONG Dropped() const { return dropped_.load(); }
    LONG Delivered() const { return delivered_.load(); }

protected:
    HRESULT CompleteConnect(IPin* peer) override;
    void BreakConnect() override;

    // What the allocator must offer for the connected media type.
    virtual void BufferNeeds(ALLOCATOR_PROPERTIES& props) = 0;
    virtual REFERENCE_TIME UnitDuration() = 0;
    // True: a unit is delivered at the end of its interval (sound), false: at its start (video).
    virtual bool DeliverAtEnd() const { return false; }
    // Streaming thread: the session starts (counters reset); about five times a second; one unit.
    virtual void OnSessionStart() {}
    virtual void OnTick() {}
    // Fills the sample for unit `index`: S_OK delivers it, S_FALSE drops it.
    virtual HRESULT FillUnit(IMediaSample* sample, uint64_t index) = 0;
    // IAMStreamConfig's format, held by the caller under the filter lock. ChangeFormat takes `next`
    // while stopped; when connected the peer must accept it and the pin reconnects with it, going
    // back to the old format if that fails. CopyFormat gives the connected type, else `current`.
    HRESULT ChangeFormat(MediaType& current, const MediaType& next);
    HRESULT CopyFormat(const MediaType& current, AM_MEDIA_TYPE** mt);
    // Stops delivery until the next Activate (the device is gone).
    void Halt() { lost_ = true; }
    bool Halted() const { return lost_.load(); }

private:
    void ThreadMain();
    REFERENCE_TIME Now(IReferenceClock* clock);

    ComPtr<IMemInputPin> memInput_;
    ComPtr<IMemAllocator> allocator_;
    std::thread thread_;
    lumetra::UniqueHandle wake_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> halted_{false};  // downstream refused a sample; cleared when the graph runs again
    std::atomic<bool> lost_{false};
    std::atomic<LONG> dropped_{0};
    std::atomic<LONG> delivered_{0};
    ComPtr<IReferenceClock> clock_;  // the graph clock, held for one streaming session
    LARGE_INTEGER qpcFrequency_{};
};

}  // namespace simdev
