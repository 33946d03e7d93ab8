#include "app/main_window.h"

#include "app/helpers.h"
#include "app/main_settings.h"
#include "app/still_image.h"
#include "res/resource.h"

namespace lumetra {
namespace {

// Window timers of the main window.
enum TimerId : UINT_PTR {
    kTimerClock = 1,
    kTimerPlayback = 6,
    kTimerRecording = 7,
    kTimerSnapshotButton = 8,
    kTimerMotion = 9,
    kTimerRearm = 10,
    kTimerStartup = 11,
    kTimerResync = 12,
    kTimerStartupSnapshot = 14,
};

constexpr UINT kStartupDelayMs = 1000;
constexpr UINT kClockMs = 100;
constexpr UINT kSnapshotPollMs = 50;
constexpr UINT kFirstResyncMs = 5;

}  // namespace

MainWindow::MainWindow() : SkinDialog(IDD_MAIN) {}

BOOL MainWindow::OnInitDialog() {
    state_.launchedByButton = QueryStillImageLaunch(state_.stillDeviceName);
    SetWindowTextA(Handle(), ProductTitle().c_str());
    SkinDialog::OnInitDialog();
    LoadMainSettings(state_, inputSelector_, ViewCount());
    SetIcons();
    SelectView(state_.skinView, false);
    RefreshPropertyDisplay();
    StartPeriodicTimers();
    return TRUE;
}

void MainWindow::SetIcons() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // Shared icons from LoadImage(LR_SHARED) are owned by the system, not by the window.
    auto big = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_LUMETRA), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    auto small = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_LUMETRA), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void MainWindow::StartPeriodicTimers() {
    SetTimer(Handle(), kTimerStartup, kStartupDelayMs, nullptr);
}

void MainWindow::OnTimer(UINT_PTR id) {
    switch (id) {
    case kTimerClock:
        RefreshClock();
        break;
    case kTimerStartup:
        KillTimer(Handle(), kTimerStartup);
        SetTimer(Handle(), kTimerClock, kClockMs, nullptr);
        SetTimer(Handle(), kTimerSnapshotButton, kSnapshotPollMs, nullptr);
        if (state_.cfgResync != 0) SetTimer(Handle(), kTimerResync, kFirstResyncMs, nullptr);
        break;
    case kTimerResync:
        KillTimer(Handle(), kTimerResync);
        SetTimer(Handle(), kTimerResync, static_cast<UINT>(state_.cfgResync) * 60000u, nullptr);
        break;
    case kTimerStartupSnapshot:
        KillTimer(Handle(), kTimerStartupSnapshot);
        break;
    default:
        break;
    }
}

void MainWindow::KillShutdownTimers() {
    static const UINT_PTR kOrder[] = {7, 6, 2, 3, 5, 4, 1, 8, 9, 10, 12};
    for (UINT_PTR id : kOrder) KillTimer(Handle(), id);
}

void MainWindow::OnOK() {
    RegisterStillImageLaunch(state_.stillDeviceName.empty() ? AlternateTitle() : state_.stillDeviceName,
                             ModulePath());
    SaveMainSettings(state_, inputSelector_);
    KillShutdownTimers();
    End(IDOK);
}

bool MainWindow::CloseTopmostThing() {
    return false;
}

void MainWindow::OnCancel() {
    if (CloseTopmostThing()) return;
    OnOK();
}

INT_PTR MainWindow::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wp));
        return TRUE;
    default:
        return SkinDialog::DlgProc(msg, wp, lp);
    }
}

}  // namespace lumetra
