// What start-up does once the initialisation is over: the steps that wait until the window is on the
// screen, and the start-up trace's steps of the window's first showing and the live picture's first frame.
#include <qedit.h>

#include <atomic>

#include "app/main_window.h"
#include "framework/startup_trace.h"
#include "mainwnd/timers.h"

namespace lumetra {
namespace {

constexpr UINT kFirstFrameWatchMs = 10;
constexpr int kFirstFrameWatchTicks = 1000;  // about ten seconds

// Notes, on the streaming thread, when the first frame comes through the sample grabber on its way to the
// renderer; the window's own timer, which waits behind the start-up's later steps, then writes it down.
class FirstFrameWatch : public ISampleGrabberCB {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid != IID_IUnknown && iid != IID_ISampleGrabberCB) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<ISampleGrabberCB*>(this);
        return S_OK;
    }
    // One object for the life of the program: counting is not needed.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP SampleCB(double, IMediaSample*) override {
        double none = -1;
        firstMs_.compare_exchange_strong(none, StartupTraceClockMs());
        return S_OK;
    }
    STDMETHODIMP BufferCB(double, BYTE*, long) override { return S_OK; }

    void Reset() { firstMs_ = -1; }
    double FirstMs() const { return firstMs_; }

private:
    std::atomic<double> firstMs_{-1};
};

FirstFrameWatch& TheFirstFrameWatch() {
    static FirstFrameWatch watch;
    return watch;
}

}  // namespace

void MainWindow::OnLaterStartupSteps() {
    // This message comes before the window's first painting, which waits behind every posted message:
    // what is on the screen is drawn first.
    RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    TraceStartupStep("main window and its elements painted");
    // Made, a dialog's window takes the activation and gives the keyboard to its first control, hidden
    // as it is: the main window, on the screen by now, keeps both.
    HWND active = GetActiveWindow();
    HWND focus = GetFocus();
    FinishDeviceDialogs();
    if (active && GetActiveWindow() != active) SetActiveWindow(active);
    if (focus && GetFocus() != focus && IsWindow(focus)) SetFocus(focus);
}

void MainWindow::FinishDeviceDialogs() {
    if (!deviceDialogWindowsPending_) return;
    deviceDialogWindowsPending_ = false;
    CreateDeviceDialogWindows();
}

void MainWindow::TraceWindowMessage(UINT msg, WPARAM wp) {
    if (msg == WM_SHOWWINDOW && wp && !tracedShown_) {
        tracedShown_ = true;
        TraceStartupStep("main window shown");
    }
}

void MainWindow::WatchFirstFrame() {
    ISampleGrabber* grabber = capture_.GetSampleGrabber(0);
    if (!StartupTraceOn() || !grabber) return;
    TheFirstFrameWatch().Reset();
    grabber->SetCallback(&TheFirstFrameWatch(), 0);
    firstFrameWaits_ = 0;
    SetTimer(Handle(), kTimerFirstFrame, kFirstFrameWatchMs, nullptr);
}

void MainWindow::OnFirstFrameTimer() {
    const double firstMs = TheFirstFrameWatch().FirstMs();
    if (firstMs < 0 && ++firstFrameWaits_ < kFirstFrameWatchTicks) return;
    KillTimer(Handle(), kTimerFirstFrame);
    if (ISampleGrabber* grabber = capture_.GetSampleGrabber(0)) grabber->SetCallback(nullptr, 0);
    if (firstMs >= 0) TraceStartupStepAt(firstMs, "first frame passed to the renderer");
    else TraceStartupStep("no frame within ten seconds");
    EndStartupTrace();
}

}  // namespace lumetra
