#include "media/input_selector.h"

#include "media/device_controls.h"

namespace lumetra {
namespace {

bool IsAnalogVideoInput(IPin* pin) {
    PIN_DIRECTION direction;
    if (FAILED(pin->QueryDirection(&direction)) || direction != PINDIR_INPUT) return false;
    ComPtr<IKsPropertySet> properties;
    if (FAILED(pin->QueryInterface(IID_IKsPropertySet, properties.PutVoid())) || !properties) return false;
    GUID category = GUID_NULL;
    DWORD returned = 0;
    return SUCCEEDED(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category,
                                     sizeof category, &returned)) &&
           returned == sizeof category && category == PIN_CATEGORY_ANALOGVIDEOIN;
}

// The first analog video input pin of a filter.
ComPtr<IPin> AnalogVideoInput(IBaseFilter* filter) {
    ComPtr<IEnumPins> pins;
    if (!filter || FAILED(filter->EnumPins(pins.Put())) || !pins) return {};
    for (;;) {
        ComPtr<IPin> pin;
        if (pins->Next(1, pin.Put(), nullptr) != S_OK) return {};
        if (IsAnalogVideoInput(pin.Get())) return pin;
    }
}

// The crossbar of the filter whose output feeds this pin.
ComPtr<IAMCrossbar> UpstreamCrossbar(IPin* input) {
    ComPtr<IPin> upstream;
    if (FAILED(input->ConnectedTo(upstream.Put())) || !upstream) return {};
    PIN_INFO info{};
    if (FAILED(upstream->QueryPinInfo(&info))) return {};
    ComPtr<IBaseFilter> owner;
    owner.Attach(info.pFilter);  // QueryPinInfo returned a reference
    ComPtr<IAMCrossbar> crossbar;
    if (owner) owner->QueryInterface(IID_IAMCrossbar, crossbar.PutVoid());
    return crossbar;
}

}  // namespace

void InputSelector::Attach(IBaseFilter* videoFilter) {
    table_.Reset();
    crossbar_.Reset();
    hasAnalogInput_ = false;
    ComPtr<IPin> analog = AnalogVideoInput(videoFilter);
    if (!analog) return;
    hasAnalogInput_ = true;
    crossbar_ = UpstreamCrossbar(analog.Get());
    if (!crossbar_) return;
    long outputs = 0, inputs = 0;
    if (FAILED(crossbar_->get_PinCounts(&outputs, &inputs))) return;
    table_.StartCrossbarScan();
    for (long i = 0; i < inputs; ++i) {
        long related = -1, type = 0;
        if (FAILED(crossbar_->get_CrossbarPinInfo(TRUE, i, &related, &type))) continue;
        table_.AddCrossbarPin(i, type, related, [&](int output) { return crossbar_->CanRoute(output, i) == S_OK; });
    }
}

bool InputSelector::SelectInput(int index) {
    int entry = index == -1 ? table_.Resolve(currentInput_) : (HasInput(index) ? index : -1);
    if (entry < 0) return false;
    // Without a crossbar the camera's own input is all there is: current, with nothing to route.
    if (!crossbar_) {
        currentInput_ = entry;
        return true;
    }
    const InputTable::Entry& e = table_.At(entry);
    if (FAILED(crossbar_->Route(0, e.inputPin))) return false;
    currentInput_ = entry;
    return SUCCEEDED(crossbar_->Route(1, e.relatedPin));
}

void InputSelector::ShowCrossbarProperties(HWND owner) {
    if (!crossbar_) return;
    DeviceControls::ShowPropertyPages(owner, crossbar_.Get());
    ReadRoutingBack();
}

void InputSelector::ReadRoutingBack() {
    long video = -1, audio = -1, related = 0, type = 0;
    if (crossbar_->get_IsRoutedTo(0, &video) != S_OK || FAILED(crossbar_->get_IsRoutedTo(1, &audio))) return;
    if (FAILED(crossbar_->get_CrossbarPinInfo(TRUE, video, &related, &type))) return;
    int input = InputTable::InputForConnector(type);
    if (input < 0) return;
    currentInput_ = input;
    table_.NoteRouted(input, video, audio);
}

void InputSelector::Release() {
    crossbar_.Reset();
    table_.Reset();
    hasAnalogInput_ = false;
}

}  // namespace lumetra
