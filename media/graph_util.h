#pragma once
// Small helpers over a filter graph, shared by the capture and the playback graph.
#include <dshow.h>

#include "media/capture_sizes.h"

#include <string>

#include "framework/com_ptr.h"
#include "media/graph_types.h"

namespace lumetra {

// The platform's sample grabber filter {C1F400A0-3F08-11D3-9F0B-006008039E37}.
extern const CLSID kClsidSampleGrabber;

// Removes everything downstream of filter from graph: for each connected output, first what lies
// below the filter it feeds, then the connection, then that filter.
void RemoveDownstream(IGraphBuilder* graph, IBaseFilter* filter);

// Run, pause or stop a graph through its media control and note the state it is in. Without a
// control the state is kGraphNone; a graph that fails to run is stopped again. result, when given,
// receives the control's answer to Run.
bool RunGraph(IMediaControl* control, GraphState& state, HRESULT* result = nullptr);
void PauseGraph(IMediaControl* control, GraphState& state);
void StopGraph(IMediaControl* control, GraphState& state);

// The first unconnected-or-not pin of a filter in a direction, or empty.
ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION direction);

// Shows the property pages of an object in one property frame owned by owner, at (x, y) of the
// owner, without a caption of its own. The failing result when the object has no pages to show.
HRESULT ShowObjectPropertyPages(HWND owner, IUnknown* object, int x = 0, int y = 0);

// The picture size a video media type describes, from the bitmap header of its VIDEOINFOHEADER,
// MPEG1VIDEOINFO, VIDEOINFOHEADER2 or MPEG2VIDEOINFO block (a negative height, top-down rows, counts
// as its size). False for other format types, a block too short for its header, and sizes no
// picture has (not positive, or larger than kMaxVideoSide).
bool PictureSizeOf(const AM_MEDIA_TYPE& type, int& width, int& height);

}  // namespace lumetra

namespace lumetra {

class CVidFrameWnd;

// The video renderer's window of a graph, shown as a child of one of the program's video windows.
class RendererWindow {
public:
    RendererWindow() = default;
    ~RendererWindow() { Release(); }
    RendererWindow(const RendererWindow&) = delete;
    RendererWindow& operator=(const RendererWindow&) = delete;

    // Takes the graph's video window into host (child, message drain); failureText goes to the
    // error box when the graph has no video window.
    void Acquire(IGraphBuilder* graph, CVidFrameWnd* host, const char* failureText);
    // Hides and detaches it.
    void Release();
    // Stretches the picture over the host's client area.
    void Fit(CVidFrameWnd* host);
    void SetFullScreen(bool on);
    bool IsFullScreen() const;

private:
    ComPtr<IVideoWindow> window_;
};

}  // namespace lumetra
