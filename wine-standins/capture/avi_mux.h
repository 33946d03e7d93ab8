#pragma once
// The stand-in AVI multiplexer: registered as CLSID_AviDest, it takes video (FORMAT_VideoInfo) and PCM
// audio (FORMAT_WaveFormatEx) inputs, a new input pin appearing whenever all are connected, interleaves
// their samples by time and writes an AVI 2.0 file itself: it is its own file sink (IFileSinkFilter2),
// so no file writer is needed downstream. Its IMediaSeeking reports the recorded duration, which is
// what a capture graph answers for position and duration while recording.
#include "wine-standins/core/avi_writer.h"
#include "wine-standins/dshow/filter.h"

#include <deque>
#include <memory>

namespace lumetra::standins {

// Positioned writes into a Win32 file handle.
class HandleSink : public ByteSink {
public:
    HandleSink(const wchar_t* path, bool truncate);
    ~HandleSink() override;
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    bool WriteAt(uint64_t offset, const void* data, size_t size) override;
    uint64_t Size() const override { return size_; }
    DWORD LastError() const { return error_; }

private:
    HANDLE file_;
    uint64_t size_ = 0;
    DWORD error_ = 0;
};

class AviMux;

class MuxInput : public InputPin {
public:
    MuxInput(AviMux* mux, const wchar_t* name);
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override;

protected:
    HRESULT CompleteConnect(IPin* peer) override;

private:
    AviMux* mux_;
};

class AviMux : public Filter, public IMediaSeeking, public IFileSinkFilter2, public IConfigInterleaving,
               public IConfigAviMux, public IAMFilterMiscFlags {
public:
    AviMux();
    ~AviMux() override;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return Filter::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return Filter::Release(); }

    int PinCount() override;
    Pin* PinAt(int index) override;

    // IMediaSeeking: the recorded duration, in media time.
    STDMETHODIMP GetCapabilities(DWORD* caps) override;
    STDMETHODIMP CheckCapabilities(DWORD* caps) override;
    STDMETHODIMP IsFormatSupported(const GUID* format) override;
    STDMETHODIMP QueryPreferredFormat(GUID* format) override;
    STDMETHODIMP GetTimeFormat(GUID* format) override;
    STDMETHODIMP IsUsingTimeFormat(const GUID* format) override;
    STDMETHODIMP SetTimeFormat(const GUID* format) override;
    STDMETHODIMP GetDuration(LONGLONG* duration) override;
    STDMETHODIMP GetStopPosition(LONGLONG* stop) override;
    STDMETHODIMP GetCurrentPosition(LONGLONG* current) override;
    STDMETHODIMP ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                   const GUID* sourceFormat) override;
    STDMETHODIMP SetPositions(LONGLONG*, DWORD, LONGLONG*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetPositions(LONGLONG* current, LONGLONG* stop) override;
    STDMETHODIMP GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    STDMETHODIMP SetRate(double rate) override { return rate == 1.0 ? S_OK : E_NOTIMPL; }
    STDMETHODIMP GetRate(double* rate) override;
    STDMETHODIMP GetPreroll(LONGLONG* preroll) override;

    // IFileSinkFilter2
    STDMETHODIMP SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP GetCurFile(LPOLESTR* name, AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP SetMode(DWORD flags) override;
    STDMETHODIMP GetMode(DWORD* flags) override;

    // IConfigInterleaving
    STDMETHODIMP put_Mode(InterleavingMode mode) override;
    STDMETHODIMP get_Mode(InterleavingMode* mode) override;
    STDMETHODIMP put_Interleaving(const REFERENCE_TIME* interleave, const REFERENCE_TIME* preroll) override;
    STDMETHODIMP get_Interleaving(REFERENCE_TIME* interleave, REFERENCE_TIME* preroll) override;

    // IConfigAviMux
    STDMETHODIMP SetMasterStream(LONG stream) override;
    STDMETHODIMP GetMasterStream(LONG* stream) override;
    STDMETHODIMP SetOutputCompatibilityIndex(BOOL oldIndex) override;
    STDMETHODIMP GetOutputCompatibilityIndex(BOOL* oldIndex) override;

    // IAMFilterMiscFlags: a renderer, so the graph waits for its EC_COMPLETE.
    STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

    // From the input pins.
    void InputConnected();
    HRESULT Receive(MuxInput* pin, IMediaSample* sample);
    HRESULT EndOfStream(MuxInput* pin);

protected:
    HRESULT OnPause(FILTER_STATE from) override;
    void OnStop() override;

private:
    struct Packet {
        REFERENCE_TIME time;
        std::vector<uint8_t> data;
        bool keyframe;
    };
    struct Track {
        MuxInput* pin = nullptr;
        int stream = -1;
        bool video = false;
        bool eos = false;
        REFERENCE_TIME frameDuration = 0;
        uint32_t blockAlign = 1, bytesPerSec = 0;
        REFERENCE_TIME nextTime = 0;      // for samples without time stamps
        uint64_t framesWritten = 0;
        std::deque<Packet> queue;
    };

    std::vector<Pin*> VisiblePins();
    bool DrainLocked(bool everything);
    bool WritePacket(Track& t, Packet& p);
    void FinishLocked();
    REFERENCE_TIME RecordedLocked() const;
    void StreamError(HRESULT hr);

    std::vector<std::unique_ptr<MuxInput>> inputs_;
    std::wstring fileName_;
    DWORD fileMode_ = 0;
    InterleavingMode interleaving_ = INTERLEAVE_CAPTURE;
    REFERENCE_TIME interleave_ = 10000000, preroll_ = 0;
    LONG masterStream_ = -1;
    BOOL compatibilityIndex_ = TRUE;

    // Streaming state, under dataLock_.
    std::mutex dataLock_;
    std::unique_ptr<HandleSink> sink_;
    std::unique_ptr<AviWriter> writer_;
    std::vector<Track> tracks_;
    size_t queuedBytes_ = 0;
    bool haveOrigin_ = false, haveFirst_ = false, failed_ = false, completed_ = false;
    REFERENCE_TIME origin_ = 0, first_ = 0, latest_ = 0;
};

}  // namespace lumetra::standins
