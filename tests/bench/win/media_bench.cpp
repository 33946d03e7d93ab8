// Measures the media engine on the simulated device under Wine (run by hand, not a test):
//  - from device discovery to the first frame in the sample grabber, as the program starts its preview;
//  - a recording of 640 x 480 YUY2 with sound: frames dropped by the capture pin and the CPU time it took.
// Usage: lumetra_media_bench.exe [recording seconds, default 60] [output file]
#include <windows.h>
#include <dshow.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "media/capture_graph.h"
#include "media/device_controls.h"
#include "media/device_set.h"
#include "media/vid_frame_wnd.h"
#include "res/resource.h"

namespace {

using namespace lumetra;

class Owner : public VideoWindowOwner {
    void PlayDroppedFile(const std::string&) override {}
    void RefitVideo(Kind) override {}
    void ResizeVideo(Kind, int) override {}
    bool IsVideoFullScreen(Kind) override { return false; }
    void SetVideoFullScreen(Kind, bool) override {}
};

class Target : public CaptureTarget {
public:
    std::string file;
    std::string CaptureFileName() const override { return file; }
    int EffectiveCompression() const override { return 0; }
};

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](FILETIME t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(1);
    }
}

struct Engine {
    Owner owner;
    CVidFrameWnd live;
    DeviceSet devices;
    DeviceControls controls;
    CaptureGraph graph;
    Target target;

    bool Open() {
        devices.Discover();
        if (!devices.HasVideoDevice()) return false;
        graph.SetTarget(&target);
        if (!graph.CreateGraphs(live.Handle(), &live)) return false;
        graph.AttachDevices(devices, controls);
        if (!graph.AddVideoDevice()) return false;
        controls.Attach(devices.Filter(DeviceSet::kVideo), devices.Filter(DeviceSet::kAudioCapture));
        graph.CreateAuxFilters();
        controls.SetCaptureSize(5);
        AM_MEDIA_TYPE type{};
        type.majortype = MEDIATYPE_Video;
        graph.GetSampleGrabber(0)->SetMediaType(&type);
        graph.GetSampleGrabber(0)->SetBufferSamples(TRUE);
        return graph.BuildPreview() && graph.Run();
    }
    void Close() {
        graph.Stop();
        graph.Dismantle();
        graph.ReleaseGraph();
        graph.ReleaseAuxFilters();
        controls.Release();
        devices.Release();
    }
};

double StartToFirstFrame() {
    Engine e;
    e.live.CreateVideoWindow(e.owner, nullptr, IDS_LIVE_VIDEO_TITLE);
    ShowWindow(e.live.Handle(), SW_SHOWNA);
    double start = Now();
    if (!e.Open()) return -1;
    long size = 0;
    while (Now() - start < 10) {
        Pump(1);
        if (SUCCEEDED(e.graph.GetSampleGrabber(0)->GetCurrentBuffer(&size, nullptr)) && size > 0) break;
    }
    double elapsed = Now() - start;
    e.Close();
    return size > 0 ? elapsed : -1;
}

}  // namespace

int main(int argc, char** argv) {
    CoInitialize(nullptr);
    int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    std::string file = argc > 2 ? argv[2] : "C:\\lumetra-bench.avi";

    std::vector<double> starts;
    for (int i = 0; i < 5; ++i) starts.push_back(StartToFirstFrame());
    std::sort(starts.begin(), starts.end());
    std::printf("discovery to first grabbed frame: min %.3f s, median %.3f s, max %.3f s (5 runs)\n", starts.front(),
                starts[2], starts.back());

    {
        Engine e;
        e.live.CreateVideoWindow(e.owner, nullptr, IDS_LIVE_VIDEO_TITLE);
        ShowWindow(e.live.Handle(), SW_SHOWNA);
        e.target.file = file;
        if (!e.Open()) {
            std::printf("no device\n");
            return 1;
        }
        Pump(1000);
        double cpuBefore = CpuSeconds();
        double wallBefore = Now();
        if (!e.graph.BuildCapture() || !e.graph.Run()) {
            std::printf("recording failed\n");
            return 1;
        }
        e.graph.EnableSeeking();
        Pump(static_cast<DWORD>(seconds) * 1000);
        long dropped = e.graph.GetDroppedFrames();
        int64_t position = e.graph.GetCapturePosition();
        e.graph.BuildPreview();
        double cpu = CpuSeconds() - cpuBefore;
        double wall = Now() - wallBefore;
        std::printf("recording %d s of 640x480 YUY2 with sound: %ld frames dropped, position %.2f s, "
                    "CPU %.2f s over %.2f s wall (%.0f %% of one core)\n",
                    seconds, dropped, position / 1e7, cpu, wall, 100.0 * cpu / wall);
        e.Close();
        DeleteFileA(file.c_str());
    }
    CoUninitialize();
    return 0;
}
