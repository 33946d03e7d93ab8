#include "app/capture_app.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "app/main_window.h"
#include "framework/startup_trace.h"

namespace lumetra {

int CaptureApp::Run() {
    HRESULT com = CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                        ICC_DATE_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    TraceStartupStep("COM and common controls initialised");
    {
        // The window and its engine objects are destroyed before COM goes away, so every
        // interface they still hold is released while its server is loaded.
        auto window = std::make_unique<MainWindow>();
        window->DoModal(nullptr);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}

}  // namespace lumetra

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    lumetra::CaptureApp app;
    return app.Run();
}
