#pragma once
// Plays a file in the soak's own process with the calls the program's playback makes (one filter
// graph for every file, a sample grabber beside the source, the streams rendered into a window, the
// duration read, the start sought, run, the start sought again, stopped and taken out of the graph),
// but without any of the program's code. What the platform's media framework keeps of a playback
// then shows in this process too, so the program's own growth can be told from the platform's.
#include <windows.h>

#include <string>

#include "framework/com_ptr.h"

struct IGraphBuilder;
struct IMediaControl;
struct IBaseFilter;

namespace lumetra::soak {

extern const CLSID kClsidSampleGrabber;

// Takes every filter fed by this one out of the graph, the farthest first.
void TakeOutDownstream(IGraphBuilder* graph, IBaseFilter* filter);

// Lets this thread's windows (the renderer's among them) handle their messages for about ms.
void PumpMessagesFor(DWORD ms);

class ReferencePlayer {
public:
    ReferencePlayer();
    ~ReferencePlayer();
    ReferencePlayer(const ReferencePlayer&) = delete;
    ReferencePlayer& operator=(const ReferencePlayer&) = delete;

    // Plays the file for about runMs and takes it out of the graph again; false when it could not
    // be opened, rendered or run.
    bool Play(const std::string& path, DWORD runMs);

private:
    bool comReady_ = false;
    HWND frame_ = nullptr;  // the window the picture goes into
    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
    ComPtr<IBaseFilter> grabber_;
};

}  // namespace lumetra::soak
