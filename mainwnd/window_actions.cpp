// The main window's own buttons and gestures: the website button, names the program does not know,
// the hidden diagnostic sequence, and where the keyboard focus goes.
#include <string>

#include "app/helpers.h"
#include "app/main_window.h"

namespace lumetra {
namespace {

const char kWebsiteRule[] =
    "If this button is implemented the 'tooltip' field in the ini file must be a valid URL starting with 'http://'";

}  // namespace

bool MainWindow::OnWebsiteButton() {
    // The skin names the site in the button's tooltip.
    const std::string url = GetTooltip("BUTTON_WEBSITE");
    if (url.compare(0, 7, "http://") == 0) OpenWithShell(url);
    else MessageBoxA(Handle(), kWebsiteRule, "Error", MB_OK | MB_ICONERROR);
    return true;
}

bool MainWindow::OnUnknownElement(const std::string& name) {
    // A skin with a misspelt or foreign element name: say which, and in which file.
    const std::string view = CurrentView() >= 0 && CurrentView() < ViewCount() ? ViewFile(CurrentView()) : std::string();
    const std::string text = name + ": not implemented: Check name definitions in " + view;
    MessageBoxA(Handle(), text.c_str(), "Warning", MB_OK | MB_ICONEXCLAMATION);
    return true;
}

bool MainWindow::FollowDiagnosticSequence(const std::string& name) {
    switch (state_.diagnostics.Click(name, state_.propView == kPropSaturation)) {
    case DiagnosticAction::kWithdrawGraphs:
        capture_.RevokeFromRot();
        return false;
    case DiagnosticAction::kRegisterGraphs:
        capture_.RegisterInRot();
        return true;
    case DiagnosticAction::kShowDroppedFrames:
        state_.showDroppedFrames = true;
        RefreshClock();
        return true;
    case DiagnosticAction::kShowClock:
        state_.showDroppedFrames = false;
        RefreshClock();
        return true;
    case DiagnosticAction::kNone:
        break;
    }
    return false;
}

bool MainWindow::FocusVideo() {
    // The keyboard goes to the picture of the current mode (its context menu, Esc in full screen).
    CVidFrameWnd& video = playbackActive_ ? playbackWnd_ : liveWnd_;
    if (!video.Handle()) return false;
    SetFocus(video.Handle());
    return true;
}

}  // namespace lumetra
