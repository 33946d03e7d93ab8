#include "wine-standins/capture/avi_mux.h"

#include <mmreg.h>

#include <algorithm>
#include <string>

namespace lumetra::standins {

namespace {

// Samples held back for interleaving are written anyway past these bounds (a stream that stalls
// must not make the others pile up in memory).
constexpr size_t kMaxQueuedBytes = 48u << 20;
constexpr REFERENCE_TIME kMaxQueuedSpan = 20000000;   // 2 s

bool IsVideoInfo(const AM_MEDIA_TYPE& mt) {
    return mt.majortype == MEDIATYPE_Video && mt.formattype == FORMAT_VideoInfo && mt.pbFormat &&
           mt.cbFormat >= sizeof(VIDEOINFOHEADER);
}

bool IsPcm(const AM_MEDIA_TYPE& mt) {
    if (mt.majortype != MEDIATYPE_Audio || mt.formattype != FORMAT_WaveFormatEx || !mt.pbFormat ||
        mt.cbFormat < sizeof(PCMWAVEFORMAT))
        return false;
    auto* wf = reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
    return wf->wFormatTag == WAVE_FORMAT_PCM && wf->nBlockAlign > 0 && wf->nAvgBytesPerSec > 0;
}

}  // namespace

// ---- file sink ------------------------------------------------------------------------------------

HandleSink::HandleSink(const wchar_t* path, bool truncate) {
    file_ = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                        truncate ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) { error_ = GetLastError(); return; }
    LARGE_INTEGER size;
    if (GetFileSizeEx(file_, &size)) size_ = uint64_t(size.QuadPart);
}

HandleSink::~HandleSink() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

bool HandleSink::WriteAt(uint64_t offset, const void* data, size_t size) {
    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(offset);
    if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN)) { error_ = GetLastError(); return false; }
    const char* p = static_cast<const char*>(data);
    while (size) {
        DWORD piece = DWORD(std::min<size_t>(size, 64u << 20)), done = 0;
        if (!WriteFile(file_, p, piece, &done, nullptr) || done != piece) { error_ = GetLastError(); return false; }
        p += piece;
        size -= piece;
        offset += piece;
    }
    size_ = std::max(size_, offset);
    return true;
}

// ---- input pins -----------------------------------------------------------------------------------

MuxInput::MuxInput(AviMux* mux, const wchar_t* name) : InputPin(mux, name), mux_(mux) {}

HRESULT MuxInput::CheckMediaType(const AM_MEDIA_TYPE& mt) {
    return IsVideoInfo(mt) || IsPcm(mt) ? S_OK : S_FALSE;
}

HRESULT MuxInput::CompleteConnect(IPin*) {
    mux_->InputConnected();
    return S_OK;
}

STDMETHODIMP MuxInput::Receive(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    if (flushing_) return S_FALSE;
    return mux_->Receive(this, sample);
}

STDMETHODIMP MuxInput::EndOfStream() { return mux_->EndOfStream(this); }

// ---- filter ---------------------------------------------------------------------------------------

AviMux::AviMux() : Filter(CLSID_AviDest) {
    inputs_.push_back(std::make_unique<MuxInput>(this, L"Input 01"));
}

AviMux::~AviMux() {
    std::lock_guard<std::mutex> lock(dataLock_);
    FinishLocked();
}

STDMETHODIMP AviMux::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IMediaSeeking) *out = static_cast<IMediaSeeking*>(this);
    else if (iid == IID_IFileSinkFilter || iid == IID_IFileSinkFilter2) *out = static_cast<IFileSinkFilter2*>(this);
    else if (iid == IID_IConfigInterleaving) *out = static_cast<IConfigInterleaving*>(this);
    else if (iid == IID_IConfigAviMux) *out = static_cast<IConfigAviMux*>(this);
    else if (iid == IID_IAMFilterMiscFlags) *out = static_cast<IAMFilterMiscFlags*>(this);
    else return Filter::QueryInterface(iid, out);
    AddRef();
    return S_OK;
}

// The pins shown are the connected ones and one free one. A pin made for a connection that was
// then taken back stays alive (someone may hold it) but is not shown while another pin is free.
std::vector<Pin*> AviMux::VisiblePins() {
    std::vector<Pin*> pins;
    bool free = false;
    for (auto& pin : inputs_) {
        if (pin->IsConnected()) pins.push_back(pin.get());
        else if (!free) { pins.push_back(pin.get()); free = true; }
    }
    return pins;
}

int AviMux::PinCount() {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    return int(VisiblePins().size());
}

Pin* AviMux::PinAt(int index) {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    std::vector<Pin*> pins = VisiblePins();
    return index >= 0 && index < int(pins.size()) ? pins[size_t(index)] : nullptr;
}

// As with the platform's multiplexer, there is always one free input pin.
void AviMux::InputConnected() {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    for (auto& pin : inputs_)
        if (!pin->IsConnected()) return;
    if (inputs_.size() >= 99) return;
    int n = int(inputs_.size()) + 1;
    std::wstring name = L"Input ";
    name += wchar_t(L'0' + n / 10);
    name += wchar_t(L'0' + n % 10);
    inputs_.push_back(std::make_unique<MuxInput>(this, name.c_str()));
}

// Stopped -> Paused opens the file and starts a recording with one stream per connected input.
HRESULT AviMux::OnPause(FILTER_STATE from) {
    if (from != State_Stopped) return S_OK;
    std::lock_guard<std::mutex> lock(dataLock_);
    tracks_.clear();
    queuedBytes_ = 0;
    haveOrigin_ = haveFirst_ = failed_ = completed_ = false;
    origin_ = first_ = latest_ = 0;
    for (auto& pin : inputs_) {
        if (!pin->IsConnected()) continue;
        Track t;
        t.pin = pin.get();
        const MediaType& mt = pin->CurrentType();
        t.video = mt.majortype == MEDIATYPE_Video;
        if (t.video) {
            auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
            t.frameDuration = vih->AvgTimePerFrame > 0 ? vih->AvgTimePerFrame : 333333;
        } else {
            auto* wf = reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
            t.blockAlign = wf->nBlockAlign;
            t.bytesPerSec = wf->nAvgBytesPerSec;
        }
        tracks_.push_back(std::move(t));
    }
    if (tracks_.empty()) return S_OK;

    // A file that cannot be opened fails the recording, not the state change: the platform's graph
    // does not take back a half-done Run, and its filters would be left running. The graph hears
    // EC_ERRORABORT, and the sources' samples are refused.
    sink_ = fileName_.empty() ? nullptr : std::make_unique<HandleSink>(fileName_.c_str(), (fileMode_ & AM_FILE_OVERWRITE) != 0);
    if (!sink_ || !sink_->IsOpen()) {
        HRESULT hr = sink_ ? HRESULT_FROM_WIN32(sink_->LastError()) : E_FAIL;
        sink_.reset();
        failed_ = true;
        Notify(EC_ERRORABORT, hr, 0);
        return S_OK;
    }
    writer_ = std::make_unique<AviWriter>(*sink_);
    for (Track& t : tracks_) {
        const MediaType& mt = t.pin->CurrentType();
        if (t.video) {
            auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
            AviVideoFormat f;
            f.width = vih->bmiHeader.biWidth;
            f.height = vih->bmiHeader.biHeight;
            f.bitCount = vih->bmiHeader.biBitCount;
            f.compression = vih->bmiHeader.biCompression;
            f.imageSize = vih->bmiHeader.biSizeImage ? vih->bmiHeader.biSizeImage : mt.lSampleSize;
            f.frameDuration = t.frameDuration;
            t.stream = writer_->AddVideoStream(f);
        } else {
            auto* wf = reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
            AviAudioFormat f;
            f.formatTag = wf->wFormatTag;
            f.channels = wf->nChannels;
            f.samplesPerSec = wf->nSamplesPerSec;
            f.avgBytesPerSec = wf->nAvgBytesPerSec;
            f.blockAlign = wf->nBlockAlign;
            f.bitsPerSample = wf->wBitsPerSample;
            t.stream = writer_->AddAudioStream(f);
        }
    }
    if (!writer_->Start()) {
        DWORD error = sink_->LastError();
        writer_.reset();
        sink_.reset();
        failed_ = true;
        Notify(EC_ERRORABORT, error ? HRESULT_FROM_WIN32(error) : E_FAIL, 0);
    }
    return S_OK;
}

void AviMux::OnStop() {
    std::lock_guard<std::mutex> lock(dataLock_);
    FinishLocked();
}

// Writes what is still queued, finalises headers and indexes, closes the file.
void AviMux::FinishLocked() {
    if (!writer_) return;
    if (!failed_) DrainLocked(true);
    writer_->Finish();
    writer_.reset();
    sink_.reset();
    for (Track& t : tracks_) t.queue.clear();
    queuedBytes_ = 0;
}

HRESULT AviMux::Receive(MuxInput* pin, IMediaSample* sample) {
    HRESULT error = S_OK;
    {
        std::lock_guard<std::mutex> lock(dataLock_);
        if (State() == State_Stopped) return VFW_E_WRONG_STATE;
        if (failed_) return E_FAIL;
        auto it = std::find_if(tracks_.begin(), tracks_.end(), [pin](const Track& t) { return t.pin == pin; });
        if (it == tracks_.end() || !writer_ || it->eos) return S_FALSE;
        Track& t = *it;

        BYTE* data = nullptr;
        if (FAILED(sample->GetPointer(&data))) return E_POINTER;
        long length = sample->GetActualDataLength();
        if (!t.video) length -= length % long(t.blockAlign);
        if (length < 0) length = 0;

        REFERENCE_TIME start = 0, stop = 0;
        HRESULT hr = sample->GetTime(&start, &stop);
        if (FAILED(hr)) start = t.nextTime;
        REFERENCE_TIME span = t.video ? t.frameDuration : REFERENCE_TIME(length) * 10000000 / t.bytesPerSec;
        if (FAILED(hr) || hr == VFW_S_NO_STOP_TIME || stop <= start) stop = start + span;
        t.nextTime = stop;

        if (!haveFirst_) { first_ = start; haveFirst_ = true; }
        first_ = std::min(first_, start);
        latest_ = std::max(latest_, stop);

        t.queue.push_back({start, std::vector<uint8_t>(data, data + length), sample->IsSyncPoint() == S_OK || !t.video});
        queuedBytes_ += size_t(length);
        if (!DrainLocked(false)) error = E_FAIL;
    }
    if (FAILED(error)) StreamError(error);
    return error;
}

HRESULT AviMux::EndOfStream(MuxInput* pin) {
    bool complete = false;
    HRESULT error = S_OK;
    {
        std::lock_guard<std::mutex> lock(dataLock_);
        auto it = std::find_if(tracks_.begin(), tracks_.end(), [pin](const Track& t) { return t.pin == pin; });
        if (it == tracks_.end() || it->eos) return S_OK;
        it->eos = true;
        if (writer_ && !failed_ && !DrainLocked(false)) error = E_FAIL;
        complete = std::all_of(tracks_.begin(), tracks_.end(), [](const Track& t) { return t.eos; });
        // Every stream ended: the file is complete now, not only at Stop.
        if (complete && !completed_) {
            completed_ = true;
            FinishLocked();
        } else {
            complete = false;
        }
    }
    if (FAILED(error)) StreamError(error);
    if (complete) Notify(EC_COMPLETE, S_OK, LONG_PTR(static_cast<IBaseFilter*>(this)));
    return S_OK;
}

void AviMux::StreamError(HRESULT hr) {
    Notify(EC_STREAM_ERROR_STOPPED, hr, 0);
}

// Writes queued samples in time order. Unless `everything`, a sample is written only once every
// other live stream has something queued (so nothing earlier can still arrive), or when the queues
// grow past their bounds.
bool AviMux::DrainLocked(bool everything) {
    for (;;) {
        Track* next = nullptr;
        REFERENCE_TIME newest = 0;
        bool waiting = false;
        for (Track& t : tracks_) {
            if (t.queue.empty()) {
                waiting |= !t.eos;
                continue;
            }
            newest = std::max(newest, t.queue.back().time);
            if (!next || t.queue.front().time < next->queue.front().time) next = &t;
        }
        if (!next) return true;
        if (interleaving_ == INTERLEAVE_NONE || interleaving_ == INTERLEAVE_NONE_BUFFERED) waiting = false;
        if (!everything && waiting && queuedBytes_ < kMaxQueuedBytes &&
            newest - next->queue.front().time < kMaxQueuedSpan)
            return true;
        if (!haveOrigin_) {
            origin_ = next->queue.front().time;
            haveOrigin_ = true;
        }
        Packet p = std::move(next->queue.front());
        next->queue.pop_front();
        queuedBytes_ -= p.data.size();
        if (!WritePacket(*next, p)) {
            failed_ = true;
            return false;
        }
    }
}

bool AviMux::WritePacket(Track& t, Packet& p) {
    if (t.video) {
        // A frame later than its slot: the missed slots become empty (dropped) frames, keeping sync.
        REFERENCE_TIME at = p.time - origin_;
        uint64_t slot = at > 0 ? uint64_t((at + t.frameDuration / 2) / t.frameDuration) : 0;
        uint64_t missing = slot > t.framesWritten ? slot - t.framesWritten : 0;
        for (uint64_t i = 0; i < std::min<uint64_t>(missing, 300); ++i) {
            if (!writer_->WriteChunk(t.stream, nullptr, 0, false)) return false;
            ++t.framesWritten;
        }
        ++t.framesWritten;
    }
    return writer_->WriteChunk(t.stream, p.data.data(), uint32_t(p.data.size()), p.keyframe);
}

REFERENCE_TIME AviMux::RecordedLocked() const {
    return haveFirst_ ? latest_ - first_ : 0;
}

// ---- IMediaSeeking --------------------------------------------------------------------------------

namespace {
constexpr DWORD kSeekingCaps = AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration;
}

STDMETHODIMP AviMux::GetCapabilities(DWORD* caps) {
    if (!caps) return E_POINTER;
    *caps = kSeekingCaps;
    return S_OK;
}

STDMETHODIMP AviMux::CheckCapabilities(DWORD* caps) {
    if (!caps) return E_POINTER;
    DWORD asked = *caps;
    *caps &= kSeekingCaps;
    if (*caps == asked) return S_OK;
    return *caps ? S_FALSE : E_FAIL;
}

STDMETHODIMP AviMux::IsFormatSupported(const GUID* format) {
    if (!format) return E_POINTER;
    return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

STDMETHODIMP AviMux::QueryPreferredFormat(GUID* format) {
    if (!format) return E_POINTER;
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

STDMETHODIMP AviMux::GetTimeFormat(GUID* format) { return QueryPreferredFormat(format); }

STDMETHODIMP AviMux::IsUsingTimeFormat(const GUID* format) { return IsFormatSupported(format); }

STDMETHODIMP AviMux::SetTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}

STDMETHODIMP AviMux::GetDuration(LONGLONG* duration) {
    if (!duration) return E_POINTER;
    std::lock_guard<std::mutex> lock(dataLock_);
    *duration = RecordedLocked();
    return S_OK;
}

STDMETHODIMP AviMux::GetStopPosition(LONGLONG* stop) { return GetDuration(stop); }
STDMETHODIMP AviMux::GetCurrentPosition(LONGLONG* current) { return GetDuration(current); }

STDMETHODIMP AviMux::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                       const GUID* sourceFormat) {
    if (!target) return E_POINTER;
    if ((targetFormat && *targetFormat != TIME_FORMAT_MEDIA_TIME) ||
        (sourceFormat && *sourceFormat != TIME_FORMAT_MEDIA_TIME))
        return E_INVALIDARG;
    *target = source;
    return S_OK;
}

STDMETHODIMP AviMux::GetPositions(LONGLONG* current, LONGLONG* stop) {
    if (current) GetCurrentPosition(current);
    if (stop) GetStopPosition(stop);
    return S_OK;
}

STDMETHODIMP AviMux::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    if (earliest) *earliest = 0;
    if (latest) GetDuration(latest);
    return S_OK;
}

STDMETHODIMP AviMux::GetRate(double* rate) {
    if (!rate) return E_POINTER;
    *rate = 1.0;
    return S_OK;
}

STDMETHODIMP AviMux::GetPreroll(LONGLONG* preroll) {
    if (!preroll) return E_POINTER;
    *preroll = 0;
    return S_OK;
}

// ---- IFileSinkFilter2 -----------------------------------------------------------------------------

STDMETHODIMP AviMux::SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE*) {
    if (!name) return E_POINTER;
    std::lock_guard<std::recursive_mutex> lock(lock_);
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    fileName_ = name;
    return S_OK;
}

STDMETHODIMP AviMux::GetCurFile(LPOLESTR* name, AM_MEDIA_TYPE* mt) {
    if (!name) return E_POINTER;
    std::lock_guard<std::recursive_mutex> lock(lock_);
    *name = nullptr;
    if (fileName_.empty()) return E_FAIL;
    size_t bytes = (fileName_.size() + 1) * sizeof(wchar_t);
    *name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!*name) return E_OUTOFMEMORY;
    CopyMemory(*name, fileName_.c_str(), bytes);
    if (mt) {
        ZeroMemory(mt, sizeof *mt);
        mt->majortype = MEDIATYPE_Stream;
        mt->subtype = MEDIASUBTYPE_Avi;
    }
    return S_OK;
}

STDMETHODIMP AviMux::SetMode(DWORD flags) {
    if (flags & ~DWORD(AM_FILE_OVERWRITE)) return E_INVALIDARG;
    std::lock_guard<std::recursive_mutex> lock(lock_);
    fileMode_ = flags;
    return S_OK;
}

STDMETHODIMP AviMux::GetMode(DWORD* flags) {
    if (!flags) return E_POINTER;
    std::lock_guard<std::recursive_mutex> lock(lock_);
    *flags = fileMode_;
    return S_OK;
}

// ---- IConfigInterleaving, IConfigAviMux -----------------------------------------------------------

STDMETHODIMP AviMux::put_Mode(InterleavingMode mode) {
    if (mode < INTERLEAVE_NONE || mode > INTERLEAVE_NONE_BUFFERED) return E_INVALIDARG;
    std::lock_guard<std::recursive_mutex> lock(lock_);
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    interleaving_ = mode;
    return S_OK;
}

STDMETHODIMP AviMux::get_Mode(InterleavingMode* mode) {
    if (!mode) return E_POINTER;
    *mode = interleaving_;
    return S_OK;
}

STDMETHODIMP AviMux::put_Interleaving(const REFERENCE_TIME* interleave, const REFERENCE_TIME* preroll) {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    if (interleave) interleave_ = *interleave;
    if (preroll) preroll_ = *preroll;
    return S_OK;
}

STDMETHODIMP AviMux::get_Interleaving(REFERENCE_TIME* interleave, REFERENCE_TIME* preroll) {
    if (interleave) *interleave = interleave_;
    if (preroll) *preroll = preroll_;
    return S_OK;
}

STDMETHODIMP AviMux::SetMasterStream(LONG stream) {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    masterStream_ = stream;
    return S_OK;
}

STDMETHODIMP AviMux::GetMasterStream(LONG* stream) {
    if (!stream) return E_POINTER;
    *stream = masterStream_;
    return S_OK;
}

STDMETHODIMP AviMux::SetOutputCompatibilityIndex(BOOL oldIndex) {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    compatibilityIndex_ = oldIndex;   // the legacy index is always written; it costs little
    return S_OK;
}

STDMETHODIMP AviMux::GetOutputCompatibilityIndex(BOOL* oldIndex) {
    if (!oldIndex) return E_POINTER;
    *oldIndex = compatibilityIndex_;
    return S_OK;
}

}  // namespace lumetra::standins
