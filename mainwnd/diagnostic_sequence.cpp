#include "mainwnd/diagnostic_sequence.h"

namespace lumetra {
namespace {

// Beyond the last count that means something the count stops growing, so endless clicking
// cannot overflow it.
constexpr int kHighestCount = kClockCount + kDiagnosticStep;

}  // namespace

DiagnosticAction DiagnosticSequence::Click(const std::string& element, bool saturationSelected) {
    if (element == "BUTTON_MINIMIZE") return DiagnosticAction::kNone;
    if (element == "BUTTON_CYCLE_UP" && saturationSelected) {
        if (count_ < kHighestCount) count_ += kDiagnosticStep;
        return DiagnosticAction::kNone;
    }
    if (element == "BUTTON_EXIT") {
        DiagnosticAction action = DiagnosticAction::kNone;
        if (count_ == kRegisterGraphsCount) action = DiagnosticAction::kRegisterGraphs;
        else if (count_ == kDroppedFramesCount) action = DiagnosticAction::kShowDroppedFrames;
        else if (count_ == kClockCount) action = DiagnosticAction::kShowClock;
        if (action != DiagnosticAction::kNone) count_ = 0;
        return action;
    }
    count_ = 0;
    return DiagnosticAction::kWithdrawGraphs;
}

}  // namespace lumetra
