#pragma once
// Plays a recorded file in the playback video window while the live graph is stopped.
#include <windows.h>
#include <dshow.h>
#include <qedit.h>

#include <cstdint>
#include <string>

#include "framework/com_ptr.h"
#include "media/graph_types.h"
#include "media/graph_util.h"

namespace lumetra {

class CVidFrameWnd;

class PlaybackGraph {
public:
    // The picture size used when the file's video does not pass the sample grabber.
    static constexpr int kFallbackWidth = 320;
    static constexpr int kFallbackHeight = 240;

    PlaybackGraph() = default;
    ~PlaybackGraph();
    PlaybackGraph(const PlaybackGraph&) = delete;
    PlaybackGraph& operator=(const PlaybackGraph&) = delete;

    // Creates the graph; its events go to notifyWindow as WM_USER + 101.
    bool Init(HWND notifyWindow, CVidFrameWnd* videoWnd);
    bool Open(const std::string& fileName);
    bool EnableSeeking();
    // Position x 100 / duration, or -1; position in 100 ns units.
    int GetProgress(int64_t& position) const;
    void SeekPercent(int percent);
    bool Run();
    void Pause();
    // Stops and closes the file.
    void Stop();

    // Whether Init made the graph (it is made only when a video device was found).
    bool HasGraph() const { return static_cast<bool>(graph_); }
    bool IsStopped() const { return state_ == kGraphStopped; }
    bool IsPaused() const { return state_ == kGraphPaused; }
    bool IsRunning() const { return state_ == kGraphRunning; }
    RECT GetVideoRect() const { return videoRect_; }  // left, top, width, height
    int64_t Duration() const { return duration_; }

    void FitVideoWindow();
    void SetFullScreen(bool on);
    bool IsFullScreen() const;
    // Reads the pending events; true when one of them was the end of the file.
    bool DrainEvents();
    void Release();

private:
    void AcquireVideoWindow();
    void ReleaseVideoWindow();
    void CloseFile();

    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
    ComPtr<IMediaEventEx> events_;
    ComPtr<IMediaSeeking> seeking_;
    RendererWindow videoWindow_;
    ComPtr<IBaseFilter> source_;
    ComPtr<IBaseFilter> grabberFilter_;
    ComPtr<ISampleGrabber> grabber_;
    RECT videoRect_{0, 0, 0, 0};
    int64_t duration_ = 0;
    GraphState state_ = kGraphNone;
    HWND notifyWindow_ = nullptr;
    CVidFrameWnd* videoWnd_ = nullptr;
};

}  // namespace lumetra
