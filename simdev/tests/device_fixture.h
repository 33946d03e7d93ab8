#pragma once
// Helpers of the simulated-device tests under Wine: the control key, re-registration through
// regsvr32, device lookup by category and name, and a capture graph with a sample grabber.
#include <windows.h>
#include <dshow.h>
#include <qedit.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "framework/dshow_extra.h"
#include "simdev/pixel_formats.h"
#include "simdev/simdev.h"

EXTERN_C const CLSID CLSID_SampleGrabber;
EXTERN_C const CLSID CLSID_NullRenderer;

namespace simdev_test {

using lumetra::ComPtr;

extern const GUID kCategoryKsAudio;
extern const GUID kCategoryKsAudioDevice;
constexpr const wchar_t* kDefaultVideoFriendly = L"USB Vexa40 Video (simulated)";
constexpr const wchar_t* kDefaultAudioFriendly = L"USB Vexa Audio Device (simulated)";

// Control key access.
void SetControlString(const wchar_t* name, const std::wstring& value);
void SetControlDword(const wchar_t* name, DWORD value);
void DeleteControlValue(const wchar_t* name);
bool ReadControlDword(const wchar_t* name, DWORD& value);
// Removes every runtime switch (scene, signal channels, button, drops, unplug, standards).
void ResetRuntimeControl();

// Runs regsvr32 on the simulator DLL beside the test program; true when it exits with 0.
bool RunRegsvr32(bool unregister);
// Writes profile and names to the control key and registers again.
bool Reregister(const wchar_t* profile, const wchar_t* videoName, const wchar_t* audioName);
// Back to the default profile and names.
bool RestoreDefaultRegistration();

std::vector<std::wstring> FriendlyNames(const GUID& category);
ComPtr<IBaseFilter> BindDevice(const GUID& category, const std::wstring& prefix);

// HRESULT of DllCanUnloadNow of the loaded simulator DLL (E_FAIL when it is not loaded).
HRESULT SimulatorCanUnloadNow();

template <class T>
ComPtr<T> Query(IUnknown* object, REFIID iid) {
    ComPtr<T> out;
    if (object) object->QueryInterface(iid, out.PutVoid());
    return out;
}

ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION direction, int index = 0);
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// Counts samples delivered to a sample grabber and keeps their time stamps.
class SampleCounter final : public ISampleGrabberCB {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }   // lives on the test's stack
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP SampleCB(double time, IMediaSample* sample) override;
    STDMETHODIMP BufferCB(double, BYTE*, long) override { return S_OK; }

    long Count() const { return count_.load(); }
    std::vector<REFERENCE_TIME> Starts();
    void Reset();

private:
    std::atomic<long> count_{0};
    std::mutex lock_;
    std::vector<REFERENCE_TIME> starts_;
};

// A filter graph with the device, built by the capture graph builder into a sample grabber and a
// null renderer, the way an application previews or records.
class Graph {
public:
    Graph();
    ~Graph();
    bool AddDevice(IBaseFilter* device, const wchar_t* name = L"Device");
    // RenderStream(PIN_CATEGORY_CAPTURE, major, device, grabber, null renderer).
    HRESULT RenderCapture(const GUID& major);
    HRESULT Run();
    HRESULT Pause();
    HRESULT Stop();
    // The grabber's last frame, its media type's format and size.
    bool Frame(std::vector<uint8_t>& bytes);
    bool Format(simdev::PixelFormat& f, int& width, int& height);
    // Frame code of the last frame (-1 when unreadable).
    long FrameNumber();
    int Luma(const std::vector<uint8_t>& frame, int x, int y);
    // Waits for a graph event with this code.
    bool WaitForEvent(long code, DWORD timeoutMs, LONG_PTR* param1 = nullptr);

    ComPtr<IGraphBuilder> graph;
    ComPtr<ICaptureGraphBuilder2> builder;
    ComPtr<IMediaControl> control;
    ComPtr<IBaseFilter> grabberFilter;
    ComPtr<ISampleGrabber> grabber;
    ComPtr<IBaseFilter> renderer;
    SampleCounter counter;
};

// Every test starts from the default registration and an empty runtime control, and restores both.
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace simdev_test
