#pragma once
// Records in the soak's own process with the calls the program's recording makes, but without any of
// the program's code: the simulated video and audio devices in a capture graph built by the capture
// graph builder, a live preview with a sample grabber into a window, and a sound monitor graph (the
// audio device into the default audio renderer). Each recording stops the preview and the monitor,
// takes the preview apart, writes an AVI file from the video and audio capture streams with a preview
// beside them, then takes that apart and builds the preview and the monitor again. What the platform's
// media framework keeps of a recording then shows in this process too, so the program's own growth
// can be told from the platform's.
#include <windows.h>

#include <string>

#include "framework/com_ptr.h"

struct ICaptureGraphBuilder2;
struct IGraphBuilder;
struct IMediaControl;
struct IBaseFilter;

namespace lumetra::soak {

class ReferenceRecorder {
public:
    ReferenceRecorder();
    ~ReferenceRecorder();
    ReferenceRecorder(const ReferenceRecorder&) = delete;
    ReferenceRecorder& operator=(const ReferenceRecorder&) = delete;

    // Records about runMs into the file and returns to the preview, which then runs for a moment and
    // stops; false when the recording could not be built or run.
    bool Record(const std::string& path, DWORD runMs);

private:
    bool BuildPreview();
    bool BuildCapture(const std::wstring& file);
    void TakeApart();
    void StartMonitor();
    void StopMonitor();
    void ShowIn(IGraphBuilder* graph);

    bool comReady_ = false;
    HWND frame_ = nullptr;  // the window the picture goes into
    ComPtr<ICaptureGraphBuilder2> builder_;
    ComPtr<IGraphBuilder> graph_, monitorGraph_;
    ComPtr<IMediaControl> control_, monitorControl_;
    ComPtr<IBaseFilter> video_, audio_, monitorSource_, monitorRenderer_, grabber_;
};

}  // namespace lumetra::soak
