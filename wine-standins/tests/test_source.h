#pragma once
// Test-only source filters: a video source (YUY2 or I420: four colour bars over the upper three
// quarters, black below, a frame counter in the first four bytes) and a PCM audio source (a sample counter in every sample). A live source stamps its
// samples from the graph clock and paces them; a non-live one pushes `limit` samples as fast as the
// downstream filters take them and then ends the stream. The output pin reports the capture category.
#include "wine-standins/dshow/filter.h"

#include <atomic>
#include <thread>

namespace lumetra::standins::test {

// MEDIASUBTYPE for the I420 FOURCC (not in every SDK header).
const GUID kSubtypeI420 = {0x30323449, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct SourceConfig {
    bool audio = false;
    bool live = true;
    GUID subtype = MEDIASUBTYPE_YUY2;      // video: YUY2 or I420
    int width = 320, height = 240;
    REFERENCE_TIME frameDuration = 333333;
    int sampleRate = 48000, channels = 2;  // audio: 16-bit PCM
    int samplesPerBuffer = 960;            // 20 ms at 48 kHz
    int limit = 0;                         // samples to send before the end of stream; 0 = no limit
};

// The colour of bar `i` (of four, left to right) of the video pattern.
struct BarColour { uint8_t r, g, b; };
BarColour BarColourAt(int i);

class TestSource;

class TestSourcePin : public OutputPin, public IKsPropertySet {
public:
    TestSourcePin(TestSource* source, const SourceConfig& config);
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return Pin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return Pin::Release(); }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;
    bool GetMediaType(int index, MediaType& mt) override;

    STDMETHODIMP Set(REFGUID, DWORD, void*, DWORD, void*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Get(REFGUID set, DWORD id, void*, DWORD, void* data, DWORD size, DWORD* returned) override;
    STDMETHODIMP QuerySupported(REFGUID set, DWORD id, DWORD* support) override;

protected:
    HRESULT DecideBufferSize(ALLOCATOR_PROPERTIES& props) override;

private:
    SourceConfig config_;
};

class TestSource : public Filter, public IAMFilterMiscFlags {
public:
    explicit TestSource(const SourceConfig& config);
    ~TestSource() override;
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return Filter::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return Filter::Release(); }
    STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_SOURCE; }

    int PinCount() override { return 1; }
    Pin* PinAt(int index) override { return index == 0 ? &pin_ : nullptr; }

    long Delivered() const { return delivered_; }
    size_t SampleBytes() const;

protected:
    HRESULT OnRun(REFERENCE_TIME start) override;
    void OnStop() override;
    HRESULT StateResult() const override { return config_.live ? VFW_S_CANT_CUE : S_OK; }

private:
    void Stream(ComRef<IReferenceClock> clock);
    void Fill(BYTE* data, long index);

    SourceConfig config_;
    TestSourcePin pin_;
    std::vector<uint8_t> pattern_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<long> delivered_{0};
};

}  // namespace lumetra::standins::test
