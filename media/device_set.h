#pragma once
// The six filters the media engine works with, found once at start-up by category and name:
// the video capture device, three views of its audio device, and two audio renderers.
#include <dshow.h>

#include <array>
#include <string>

#include "framework/com_ptr.h"

namespace lumetra {

class DeviceSet {
public:
    enum Row { kVideo = 0, kAudioCapture = 1, kKsAudio = 2, kKsAudioDevice = 3, kDirectSound = 4, kWaveOut = 5 };
    static constexpr int kRows = 6;

    void Discover();
    IBaseFilter* Filter(int row) const;
    std::string DisplayName(int row) const;
    bool HasVideoDevice() const { return static_cast<bool>(filters_[kVideo]); }
    void Release();

    // The preferred names the device's driver package leaves in the registry, with their defaults.
    static std::string ReadVideoDeviceName();
    static std::string ReadAudioDeviceName();
    // The first device of the category whose friendly name begins with name and that binds.
    static ComPtr<IBaseFilter> FindByName(const GUID& category, const std::string& name);
    // name first, then each entry of list; the entry that matched replaces name.
    static ComPtr<IBaseFilter> FindDevice(const GUID& category, std::string& name, const char* const* list);

private:
    std::array<ComPtr<IBaseFilter>, kRows> filters_;
    std::array<std::string, kRows> displayNames_;
    std::string videoName_;
    std::string audioName_;
};

}  // namespace lumetra
