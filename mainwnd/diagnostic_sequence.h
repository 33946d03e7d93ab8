#pragma once
// The main window's hidden diagnostic gesture, free of the platform. With saturation selected, each
// click of BUTTON_CYCLE_UP counts up by two; a click of BUTTON_EXIT at one of three counts runs a
// diagnostic instead of ending the program. Any other button, or BUTTON_CYCLE_UP with another
// property selected, starts the count again and withdraws the graphs from outside view.
#include <string>

namespace lumetra {

// The count each BUTTON_CYCLE_UP click adds.
constexpr int kDiagnosticStep = 2;
// BUTTON_EXIT after 5 clicks: the capture graphs go into the running object table, where an
// outside graph viewer finds them.
constexpr int kRegisterGraphsCount = 10;
// BUTTON_EXIT after 10 clicks: TEXT_CLOCK shows the capture pin's dropped frames.
constexpr int kDroppedFramesCount = 20;
// BUTTON_EXIT after 15 clicks: TEXT_CLOCK shows the time again.
constexpr int kClockCount = 30;

enum class DiagnosticAction {
    kNone,               // nothing for the sequence; the button does its own action
    kWithdrawGraphs,     // the count starts again: revoke the graphs' registration
    kRegisterGraphs,     // BUTTON_EXIT taken: register the graphs
    kShowDroppedFrames,  // BUTTON_EXIT taken: the clock shows dropped frames
    kShowClock,          // BUTTON_EXIT taken: the clock shows the time
};

class DiagnosticSequence {
public:
    // A button released (clicked); saturationSelected tells the property selector's state. For the
    // three register and clock actions BUTTON_EXIT must not end the program.
    DiagnosticAction Click(const std::string& element, bool saturationSelected);
    int Count() const { return count_; }

private:
    int count_ = 0;
};

}  // namespace lumetra
