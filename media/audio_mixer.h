#pragma once
// The sound card's mixer: the speakers' volume and mute, and the recording source (microphone or
// line input) chosen on the wave-in multiplexer. Opened once with the main window as the callback
// window, so that changes made elsewhere arrive as MM_MIXM_CONTROL_CHANGE.
#include <windows.h>
#include <mmsystem.h>

#include <string>
#include <vector>

#include "media/mixer_api.h"

namespace lumetra {

class AudioMixer {
public:
    explicit AudioMixer(MixerApi& api = SystemMixer()) : api_(api) {}
    ~AudioMixer() { Close(); }
    AudioMixer(const AudioMixer&) = delete;
    AudioMixer& operator=(const AudioMixer&) = delete;

    // True when a mixer with the speakers' volume and mute controls is open.
    bool Open(HWND callbackWindow);
    void Close();

    // 0 selects the microphone, 1 the line input; other values, or a slot the card has no item
    // for, change nothing.
    bool SelectSource(int which);
    bool HasSource(int which) const;

    bool GetVolume(unsigned long& value) const;
    bool SetVolume(unsigned long value) const;
    bool GetMute(int& value) const;
    bool SetMute(int value) const;
    void GetVolumeRange(unsigned long& maximum, unsigned long& minimum) const;

    // What an MM_MIXM_CONTROL_CHANGE message (mixer handle, control identifier) reports: a change of
    // our mixer's volume or mute, or nothing of ours.
    enum class Change { None, Volume, Mute };
    Change ChangeOf(WPARAM mixer, LPARAM control) const;

    HMIXER Handle() const { return mixer_; }
    DWORD VolumeControlId() const { return volumeControl_; }
    DWORD MuteControlId() const { return muteControl_; }
    const std::string& ProductName() const { return productName_; }

private:
    struct Selection {
        MIXERCONTROLDETAILS details{};
        std::vector<MIXERCONTROLDETAILS_BOOLEAN> table;  // channels x items, one column set
    };
    bool OpenDevice(UINT device, HWND callbackWindow, HMIXER& handle, MIXERCAPSA& caps);
    void Keep(HMIXER handle, const MIXERCAPSA& caps);
    bool FindSpeakerControls(HMIXER mixer);
    bool FindControl(HMIXER mixer, DWORD lineId, DWORD type, MIXERCONTROLA& control) const;
    void PrepareSelections();
    void Fill(Selection& slot, DWORD controlId, DWORD channels, DWORD items, DWORD chosen);
    static HMIXEROBJ Object(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }
    bool Details(DWORD control, void* value, DWORD bytes, bool set) const;

    MixerApi& api_;
    HMIXER mixer_ = nullptr;
    UINT deviceCount_ = 0;
    MIXERCAPSA caps_{};
    std::string productName_;
    DWORD volumeControl_ = 0;
    DWORD muteControl_ = 0;
    unsigned long volumeMin_ = 0, volumeMax_ = 0;
    Selection slots_[2];  // 0 microphone, 1 line input
};

}  // namespace lumetra
