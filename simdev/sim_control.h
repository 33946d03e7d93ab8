#pragma once
// The simulator's registry: the test-control key that tests write (HKLM\Software\LumetraSim),
// what registration recorded, and the per-process state that the video and audio filters share,
// as the two halves of one USB device do.
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "simdev/control_values.h"
#include "simdev/picture.h"
#include "simdev/sound.h"

namespace simdev {

// What the filters read at Run and periodically while streaming.
struct ControlSnapshot {
    SceneMode scene = SceneMode::Moving;
    Rect motion;
    std::vector<int> signalChannels;
    bool unplugged = false;
    DWORD standardsOverride = 0;  // 0: the profile's standards
    CrossbarLayout crossbarLayout = CrossbarLayout::Full;
    long refuseRoute = 0;         // connector type whose routes fail; 0 none
    ValueRange brightness{0, 255};
};
ControlSnapshot ReadControl();
// Frames the test asked to drop; the value is reset to 0 once taken.
DWORD TakeDropFrames();
bool ReadButton();
// Writing register 12 back does not clear a held press (ButtonSticky set).
bool ReadButtonSticky();
// A short press the test asked for; the value is reset to 0 once taken.
bool TakeButtonPulse();
// The device has gone (Unplugged set): its controls fail from now on.
bool DeviceGone();
// Property pages of the device objects are to fail (FailPages set).
bool PagesFail();

// The names and profile of one registration.
struct Registration {
    Profile profile = Profile::TvBox;
    std::wstring videoName;  // full friendly names, suffix included
    std::wstring audioName;
};
// What DllRegisterServer should register now (from the control key, with defaults).
Registration RegistrationFromControl();
// What was registered last (empty names when nothing is recorded).
Registration RecordedRegistration();
void RecordRegistration(const Registration& r);
void ForgetRegistration();
// The profile the filters of this process behave as.
Profile ActiveProfile();

std::wstring ReadRegString(HKEY root, const wchar_t* path, const wchar_t* value, const wchar_t* fallback);
DWORD ReadRegDword(HKEY root, const wchar_t* path, const wchar_t* value, DWORD fallback);
std::string Narrow(const std::wstring& text);

// State of the one simulated device that its filters share inside a process.
class DeviceState {
public:
    static DeviceState& Instance();

    // Register access through the private property interface (under the device lock).
    template <class F>
    auto WithRegisters(F&& f) {
        std::lock_guard<std::mutex> hold(lock_);
        registers_.SetSticky(ReadButtonSticky());
        registers_.SetButton(ReadButton());
        if (TakeButtonPulse()) registers_.Pulse();
        return f(registers_);
    }

    // The sound the audio filter should produce: set by the video filter from its routing and tuner.
    void SetAudioSource(SoundInput input, int channel, bool signal);
    void AudioSource(SoundInput& input, int& channel, bool& signal);

private:
    std::mutex lock_;
    RegisterFile registers_;
    SoundInput input_ = SoundInput::Line;
    int channel_ = 4;
    bool signal_ = true;
};

}  // namespace simdev
