#pragma once
// Which of the device's inputs (tuner 0, composite 1, S-Video 2, webcam 3) is current.
// Routing through the device's crossbar is added with the device controls.

namespace lumetra {

class InputSelector {
public:
    static constexpr int kStartInput = 1;  // composite until a stored input is applied

    int CurrentInput() const { return currentInput_; }
    void SetCurrentInput(int input) { currentInput_ = input; }

private:
    int currentInput_ = kStartInput;
};

}  // namespace lumetra
