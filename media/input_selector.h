#pragma once
// Which of the device's inputs (tuner 0, composite 1, S-Video 2, webcam 3) is routed to the video
// capture filter, through the analog crossbar found upstream of it. A device without a crossbar
// offers the camera input only.
#include <windows.h>
#include <dshow.h>

#include "framework/com_ptr.h"
#include "media/input_table.h"

namespace lumetra {

class InputSelector {
public:
    static constexpr int kStartInput = kInputComposite;  // until a stored input is applied

    // Finds the crossbar feeding the filter's analog video input and reads which inputs it has.
    void Attach(IBaseFilter* videoFilter);
    // Routes an input and its related audio input. -1 routes the current input again, or the first
    // input present when the current one is not. False when nothing was routed or a route failed;
    // the current input changes only when the video route succeeded. Without a crossbar the input
    // present (the camera) becomes current without routing.
    bool SelectInput(int index);
    bool HasInput(int index) const { return table_.Present(index); }
    bool IsCurrent(int index) const { return currentInput_ == index; }
    bool HasAnalogInput() const { return hasAnalogInput_; }
    // The crossbar's own pages; afterwards the current input is read back from the routing.
    void ShowCrossbarProperties(HWND owner);
    void Release();

    int CurrentInput() const { return currentInput_; }
    void SetCurrentInput(int input) { currentInput_ = input; }

private:
    void ReadRoutingBack();

    InputTable table_;
    ComPtr<IAMCrossbar> crossbar_;
    bool hasAnalogInput_ = false;
    int currentInput_ = kStartInput;
};

}  // namespace lumetra
