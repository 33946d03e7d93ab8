#pragma once
// The simulated analog crossbar: video inputs (tuner, composite, S-Video) and audio inputs (tuner,
// line, microphone) routed to a video output (connected to the capture filter's analog input pin)
// and an audio output. The capture filter creates it and places it in its graph.
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "simdev/control_values.h"
#include "simdev/filter_base.h"

namespace simdev {

class CrossbarFilter final : public Filter, public IAMCrossbar, public ISpecifyPropertyPages {
public:
    // The inputs of the layout (the tuner's only with a tuner); routes of inputs of connector type
    // refuseRoute fail although CanRoute allows them, as a faulty crossbar's would.
    CrossbarFilter(bool withTuner, CrossbarLayout layout = CrossbarLayout::Full, long refuseRoute = 0);
    ~CrossbarFilter() override;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IAMCrossbar
    STDMETHODIMP get_PinCounts(long* outputs, long* inputs) override;
    STDMETHODIMP CanRoute(long output, long input) override;
    STDMETHODIMP Route(long output, long input) override;
    STDMETHODIMP get_IsRoutedTo(long output, long* input) override;
    STDMETHODIMP get_CrossbarPinInfo(BOOL isInput, long index, long* related, long* physicalType) override;
    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

    // Connector type routed to output 0 (video) or 1 (audio); -1 when nothing is routed.
    long RoutedConnector(long output);
    Pin* VideoOutput() { return pins_[inputs_.size()].get(); }
    // Called (outside the crossbar's lock) after every successful Route.
    void SetRouteListener(std::function<void()> listener);

protected:
    std::vector<Pin*> Pins() override;

private:
    struct Connector {
        long type;
        long related;
    };
    bool IsVideo(long type) const { return type < 0x1000; }

    LONG refs_ = 1;
    ModuleReference module_;
    std::mutex routeLock_;
    std::vector<Connector> inputs_;
    long refuseRoute_ = 0;
    Connector outputs_[2];
    long routed_[2];
    std::vector<std::unique_ptr<Pin>> pins_;
    std::function<void()> listener_;
};

// Names of physical connector types as the pages and pictures show them.
const wchar_t* ConnectorName(long type);

}  // namespace simdev
