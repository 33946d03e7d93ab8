#include "wine-standins/tests/test_source.h"

#include "wine-standins/core/yuv.h"

#include <mmreg.h>

namespace lumetra::standins::test {

BarColour BarColourAt(int i) {
    static const BarColour bars[4] = {{230, 30, 30}, {30, 200, 40}, {40, 50, 220}, {240, 240, 240}};
    return bars[i & 3];
}

// ---- pin ------------------------------------------------------------------------------------------

TestSourcePin::TestSourcePin(TestSource* source, const SourceConfig& config)
    : OutputPin(source, config.audio ? L"Audio" : L"Capture"), config_(config) {}

STDMETHODIMP TestSourcePin::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IKsPropertySet) {
        *out = static_cast<IKsPropertySet*>(this);
        AddRef();
        return S_OK;
    }
    return Pin::QueryInterface(iid, out);
}

bool TestSourcePin::GetMediaType(int index, MediaType& mt) {
    if (index != 0) return false;
    mt.Clear();
    if (config_.audio) {
        mt.majortype = MEDIATYPE_Audio;
        mt.subtype = MEDIASUBTYPE_PCM;
        auto* wf = reinterpret_cast<WAVEFORMATEX*>(mt.AllocFormat(FORMAT_WaveFormatEx, sizeof(WAVEFORMATEX)));
        wf->wFormatTag = WAVE_FORMAT_PCM;
        wf->nChannels = WORD(config_.channels);
        wf->nSamplesPerSec = DWORD(config_.sampleRate);
        wf->wBitsPerSample = 16;
        wf->nBlockAlign = WORD(config_.channels * 2);
        wf->nAvgBytesPerSec = wf->nSamplesPerSec * wf->nBlockAlign;
        mt.bFixedSizeSamples = TRUE;
        mt.lSampleSize = wf->nBlockAlign;
        return true;
    }
    const bool yuy2 = config_.subtype == MEDIASUBTYPE_YUY2;
    mt.majortype = MEDIATYPE_Video;
    mt.subtype = config_.subtype;
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt.AllocFormat(FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER)));
    vih->AvgTimePerFrame = config_.frameDuration;
    vih->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    vih->bmiHeader.biWidth = config_.width;
    vih->bmiHeader.biHeight = config_.height;
    vih->bmiHeader.biPlanes = 1;
    vih->bmiHeader.biBitCount = yuy2 ? 16 : 12;
    vih->bmiHeader.biCompression = yuy2 ? MAKEFOURCC('Y', 'U', 'Y', '2') : MAKEFOURCC('I', '4', '2', '0');
    vih->bmiHeader.biSizeImage = DWORD(YuvImageSize(yuy2 ? YuvLayout::Yuy2 : YuvLayout::I420, config_.width, config_.height));
    vih->dwBitRate = DWORD(uint64_t(vih->bmiHeader.biSizeImage) * 8 * 10000000 / uint64_t(config_.frameDuration));
    SetRect(&vih->rcSource, 0, 0, 0, 0);
    mt.bFixedSizeSamples = TRUE;
    mt.lSampleSize = vih->bmiHeader.biSizeImage;
    return true;
}

HRESULT TestSourcePin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
    MediaType mine;
    GetMediaType(0, mine);
    return mt.majortype == mine.majortype && mt.subtype == mine.subtype && mt.formattype == mine.formattype ? S_OK : S_FALSE;
}

HRESULT TestSourcePin::DecideBufferSize(ALLOCATOR_PROPERTIES& props) {
    props.cBuffers = std::max<long>(props.cBuffers, config_.audio ? 8 : 4);
    props.cbBuffer = std::max<long>(props.cbBuffer, long(static_cast<TestSource*>(filter_)->SampleBytes()));
    if (props.cbAlign <= 0) props.cbAlign = 1;
    return S_OK;
}

STDMETHODIMP TestSourcePin::Get(REFGUID set, DWORD id, void*, DWORD, void* data, DWORD size, DWORD* returned) {
    if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (!data) return E_POINTER;
    if (size < sizeof(GUID)) return E_UNEXPECTED;
    *static_cast<GUID*>(data) = PIN_CATEGORY_CAPTURE;
    if (returned) *returned = sizeof(GUID);
    return S_OK;
}

STDMETHODIMP TestSourcePin::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
    if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (support) *support = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

// ---- filter ---------------------------------------------------------------------------------------

TestSource::TestSource(const SourceConfig& config) : Filter(GUID_NULL), config_(config), pin_(this, config) {
    if (config.audio) return;
    const bool yuy2 = config.subtype == MEDIASUBTYPE_YUY2;
    const int w = config.width, h = config.height;
    pattern_.resize(YuvImageSize(yuy2 ? YuvLayout::Yuy2 : YuvLayout::I420, w, h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            BarColour c = y < h * 3 / 4 ? BarColourAt(x * 4 / w) : BarColour{0, 0, 0};
            Yuv p = RgbToYuv({c.r, c.g, c.b});
            if (yuy2) {
                uint8_t* q = &pattern_[size_t(y) * w * 2 + size_t(x / 2) * 4];
                q[(x % 2) * 2] = p.y;
                q[1] = p.u;
                q[3] = p.v;
            } else {
                pattern_[size_t(y) * w + x] = p.y;
                size_t c2 = size_t(y / 2) * (w / 2) + x / 2;
                pattern_[size_t(w) * h + c2] = p.u;
                pattern_[size_t(w) * h * 5 / 4 + c2] = p.v;
            }
        }
    }
}

TestSource::~TestSource() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

STDMETHODIMP TestSource::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IAMFilterMiscFlags) {
        *out = static_cast<IAMFilterMiscFlags*>(this);
        AddRef();
        return S_OK;
    }
    return Filter::QueryInterface(iid, out);
}

size_t TestSource::SampleBytes() const {
    if (config_.audio) return size_t(config_.samplesPerBuffer) * config_.channels * 2;
    return pattern_.size();
}

HRESULT TestSource::OnRun(REFERENCE_TIME) {
    if (!thread_.joinable() && pin_.IsConnected()) {
        stop_ = false;
        // The clock is taken here, under the filter lock: a Stop that comes at once holds that lock
        // while it waits for the thread.
        thread_ = std::thread([this, clock = clock_] { Stream(clock); });
    }
    return S_OK;
}

// The pins were decommitted before this, so a thread waiting for a buffer returns at once.
void TestSource::OnStop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void TestSource::Fill(BYTE* data, long index) {
    if (config_.audio) {
        auto* s = reinterpret_cast<int16_t*>(data);
        long first = index * config_.samplesPerBuffer;
        for (int i = 0; i < config_.samplesPerBuffer; ++i)
            for (int c = 0; c < config_.channels; ++c) s[i * config_.channels + c] = int16_t((first + i) & 0x7FFF);
        return;
    }
    CopyMemory(data, pattern_.data(), pattern_.size());
    CopyMemory(data, &index, 4);
}

void TestSource::Stream(ComRef<IReferenceClock> clock) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    for (long i = 0; !stop_; ++i) {
        if (config_.limit && i >= config_.limit) {
            pin_.DeliverEndOfStream();
            break;
        }
        REFERENCE_TIME t0, t1;
        if (config_.audio) {
            t0 = REFERENCE_TIME(i) * config_.samplesPerBuffer * 10000000 / config_.sampleRate;
            t1 = REFERENCE_TIME(i + 1) * config_.samplesPerBuffer * 10000000 / config_.sampleRate;
        } else {
            t0 = REFERENCE_TIME(i) * config_.frameDuration;
            t1 = t0 + config_.frameDuration;
        }
        // A live source sends each sample when its time has come on the graph clock.
        while (config_.live && clock && !stop_) {
            REFERENCE_TIME now = 0;
            clock->GetTime(&now);
            REFERENCE_TIME due = StreamStart() + t1 - (now);
            if (due <= 0) break;
            Sleep(DWORD(std::min<REFERENCE_TIME>(due / 10000 + 1, 20)));
        }
        if (stop_) break;
        ComRef<IMediaSample> sample;
        if (FAILED(pin_.GetDeliveryBuffer(sample.Put())) || !sample) break;
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        Fill(data, i);
        sample->SetActualDataLength(long(SampleBytes()));
        sample->SetTime(&t0, &t1);
        sample->SetSyncPoint(TRUE);
        if (pin_.Deliver(sample.Get()) != S_OK) break;
        ++delivered_;
    }
    CoUninitialize();
}

}  // namespace lumetra::standins::test
