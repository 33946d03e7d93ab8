#pragma once
// The capture and preview graph: the selected video capture filter with, downstream, either the
// live preview (through the sample grabber) or a recording to a file; and a small second graph
// that plays the audio device's sound while video is live.
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
class DeviceSet;
class DeviceControls;

// Where a recording goes: the capture file and the compression (0 = AVI, else an MPEG preset).
class CaptureTarget {
public:
    virtual std::string CaptureFileName() const = 0;
    virtual int EffectiveCompression() const = 0;
    // The file the next recording is written to: the capture file, or a numbered name beside it
    // when recordings must not overwrite each other.
    virtual std::string NextRecordingFileName() const { return CaptureFileName(); }

protected:
    ~CaptureTarget() = default;
};

// The settings interface of the optional MPEG encoder filter. Only three of its methods are used:
// the first sets the preset to encode with, the second reads the current one, the 35th is called
// with -1 right after a preset is set.
struct IMpegEncoderSettings : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetCompressionType(int type) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCompressionType(int* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved16() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved17() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved18() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved19() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved20() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved21() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved22() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved23() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved24() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved25() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved26() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved27() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved28() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved29() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved30() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved31() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved32() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved33() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved34() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRateControl(int value) = 0;  // the 35th method
};

// {5083B9E8-713F-40AA-B5F3-2AD35D3D7498}: the MPEG encoder filter, also the output type for its files.
extern const CLSID kClsidMpegEncoder;
// {C291943E-8A3F-468E-AADD-66FE34C5EB8A}: its settings interface.
extern const IID kIidMpegEncoderSettings;

// What the capture graph's events tell the main window.
enum class CaptureEvent {
    kNone,
    kDeviceLost,  // the capture device went away
    kDeviceBack,  // the device reports that it is available again
    kAborted,     // the graph stopped on an error (a recording whose file cannot be opened, ...)
    kRecordingStopped,  // a recording's file cannot be written any further (a full disk, a removed drive)
};

// How a request to record ended.
enum class RecordStart {
    kRecording,          // recording, with the elapsed time available
    kRecordingUntimed,   // recording, but the graph cannot tell the elapsed time
    kAlreadyRecording,   // a recording is under way (running or paused): nothing was done
    kFailed,             // the reason was shown; the live picture runs again
};

class CaptureGraph {
public:
    CaptureGraph() = default;
    ~CaptureGraph();
    CaptureGraph(const CaptureGraph&) = delete;
    CaptureGraph& operator=(const CaptureGraph&) = delete;

    void SetTarget(const CaptureTarget* target) { target_ = target; }

    // Builds the two empty graphs; graph events go to notifyWindow as WM_USER + 102.
    bool CreateGraphs(HWND notifyWindow, CVidFrameWnd* videoWnd);
    void AttachDevices(const DeviceSet& devices, DeviceControls& controls);
    bool AddVideoDevice();
    void CreateAuxFilters();

    // Rebuild downstream of the capture filter; both leave the graph stopped.
    bool BuildPreview();
    bool BuildCapture(bool unattended = false);
    // result, when given, receives the media control's answer.
    bool Run(HRESULT* result = nullptr);
    void Pause();
    void Stop();
    void Dismantle();

    void StopAudioMonitor();
    bool RunAudioMonitor();

    void ReleaseGraph();
    void ReleaseAuxFilters();

    GraphState State() const { return state_; }
    GraphMode GetMode() const { return mode_; }
    bool IsPaused() const { return state_ == kGraphPaused; }
    bool IsCapturing() const { return mode_ == kModeCapture && state_ == kGraphRunning; }
    bool IsPreviewing() const { return mode_ == kModePreview && state_ == kGraphRunning; }
    // Built for a recording, whether it runs or is paused.
    bool IsRecording() const { return mode_ == kModeCapture; }

    // The record action: unless a recording is under way, rebuilds for capture and runs. A file that
    // cannot be written is refused before the live picture is touched; when the build or the run
    // fails, the reason is shown and the preview is built and run again.
    RecordStart StartRecording(bool unattended = false);
    // Ends a recording (its file is closed) and runs the preview again.
    bool StopRecording();
    // The file of the current or last recording.
    const std::string& RecordingFile() const { return recordingFile_; }

    ISampleGrabber* GetSampleGrabber(int flag) const { return flag == 0 ? grabber_.Get() : nullptr; }
    bool HasMpegEncoder() const { return static_cast<bool>(encoderFilter_); }
    void ShowEncoderProperties(HWND owner);
    IMpegEncoderSettings* EncoderSettings() const { return encoderSettings_.Get(); }

    // True when the recording's position can be read (the recording-time display then runs).
    bool EnableSeeking();
    // Elapsed recording time in 100 ns units, -1 when unknown.
    int64_t GetCapturePosition() const;
    long GetDroppedFrames() const;

    void FitVideoWindow();
    void SetFullScreen(bool on);
    bool IsFullScreen() const;

    // Reads the pending graph events (the WM_USER + 102 handler) and reports the latest that
    // matters: a lost device, one that is back, or a stop on an error (whose code goes to
    // abortCode); other events are discarded.
    CaptureEvent DrainEvents(HRESULT* abortCode = nullptr);
    void RegisterInRot();
    void RevokeFromRot();
    // Grows the capture file to sizeBytes ahead of a recording.
    bool PreallocateFile(uint64_t sizeBytes);

private:
    void RemoveDownstream(IBaseFilter* filter);
    void DiscardOutput();
    void StartAudioMonitor();
    void RemoveAudioMonitor();
    void AcquireVideoWindow();
    void ReleaseVideoWindow();
    std::wstring CaptureFileWide() const;
    // Whether the main graph is still there; checked after every message box a build shows.
    bool GraphAlive() const { return graph_ && builder_ && control_; }
    bool ReturnToPreview();
    // Whether a recording could write the file: opened for writing (created, then removed, when it
    // does not exist), else the reason as a result code.
    static HRESULT CheckWritable(const std::string& file);

    const CaptureTarget* target_ = nullptr;
    DeviceControls* deviceControls_ = nullptr;

    ComPtr<IGraphBuilder> graph_;
    ComPtr<ICaptureGraphBuilder2> builder_;
    ComPtr<IGraphBuilder> monitorGraph_;
    ComPtr<ICaptureGraphBuilder2> monitorBuilder_;
    ComPtr<IMediaControl> control_;
    ComPtr<IMediaControl> monitorControl_;
    ComPtr<IMediaEventEx> events_;
    ComPtr<IMediaSeeking> seeking_;
    RendererWindow videoWindow_;
    ComPtr<IBaseFilter> grabberFilter_;
    ComPtr<ISampleGrabber> grabber_;
    ComPtr<IBaseFilter> encoderFilter_;
    ComPtr<IMpegEncoderSettings> encoderSettings_;
    ComPtr<IBaseFilter> mux_;
    ComPtr<IFileSinkFilter> fileSink_;

    ComPtr<IBaseFilter> videoDevice_, audioCaptureDevice_, audioKsCapture_, audioKsSystem_;
    ComPtr<IBaseFilter> rendererDirectSound_, rendererWaveOut_;
    std::string videoName_, audioCaptureName_, audioKsCaptureName_, audioKsSystemName_;
    std::string directSoundName_, waveOutName_;
    bool monitorSourceAdded_ = false;
    std::string recordingFile_;

    GraphState state_ = kGraphStopped;
    GraphMode mode_ = kModeIdle;
    HWND notifyWindow_ = nullptr;
    CVidFrameWnd* videoWnd_ = nullptr;
    DWORD rotCookie_ = 0;
    DWORD monitorRotCookie_ = 0;
};

}  // namespace lumetra
