#pragma once
// Shared pieces of the media tests: the simulated devices' control key, extra device entries, and a
// live capture graph built the way the program builds it.
#include <windows.h>
#include <dshow.h>

#include <string>
#include <vector>

#include "media/capture_graph.h"
#include "media/device_controls.h"
#include "media/device_set.h"
#include "media/vid_frame_wnd.h"

namespace lumetra::testing {

std::string TestBinFolder();
// Where recordings of the tests go: LUMETRA_MEDIA_OUT, else the temp folder.
std::string MediaOutFolder();

// Registers the simulated devices again with other names (empty keeps the default), and restores
// the defaults when destroyed.
class SimulatedDevices {
public:
    SimulatedDevices() = default;
    ~SimulatedDevices();
    SimulatedDevices(const SimulatedDevices&) = delete;
    SimulatedDevices& operator=(const SimulatedDevices&) = delete;
    bool Register(const std::string& videoName, const std::string& audioName, const std::string& suffix = " (simulated)",
                  const std::string& profile = "tvbox");
    // Adds a further video device entry with a friendly name, served by the simulated filter.
    bool AddVideoEntry(const std::string& key, const std::string& friendlyName);

private:
    bool changed_ = false;
    std::vector<std::string> entries_;
};

bool RunRegsvr32(const std::string& arguments);

// A video window owner that only records what was asked.
class RecordingVideoOwner : public VideoWindowOwner {
public:
    void PlayDroppedFile(const std::string& path) override { dropped = path; }
    void RefitVideo(Kind) override { ++refits; }
    void ResizeVideo(Kind, int command) override { lastResize = command; }
    bool IsVideoFullScreen(Kind) override { return false; }
    void SetVideoFullScreen(Kind, bool) override {}
    std::string dropped;
    int refits = 0;
    int lastResize = 0;
};

class FixedTarget : public CaptureTarget {
public:
    std::string file;
    int compression = 0;
    std::string CaptureFileName() const override { return file; }
    int EffectiveCompression() const override { return compression; }
};

// Pumps this thread's messages for a while (graph windows live on it).
void PumpFor(DWORD milliseconds);

}  // namespace lumetra::testing
