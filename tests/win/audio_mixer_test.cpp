// The audio mixer against sound cards that the tests present through the mixer seam: a typical card
// (speakers with volume and mute; a recording destination whose multiplexer offers Line In,
// Microphone and CD Player), cards of one destination per device, and broken ones. The real
// platform mixer is tried by RealMixer, run in a Wine prefix that has a sound server.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "media/audio_mixer.h"
#include "tests/win/box_watcher.h"

namespace lumetra::testing {
namespace {

constexpr DWORD kVolumeId = 11, kMuteId = 12, kMuxId = 13;
constexpr DWORD kSpeakersLine = 0x0000, kWaveInLine = 0x10000;

// A mixer device as the seam sees it.
struct FakeDevice {
    std::string name = "Typical Sound Card";
    bool speakers = true;
    bool waveIn = true;
    std::vector<std::string> muxItems = {"Line In", "Microphone", "CD Player"};
    DWORD Destinations() const { return (speakers ? 1 : 0) + (waveIn ? 1 : 0); }
};

class FakeSoundCard : public MixerApi {
public:
    std::vector<FakeDevice> devices{FakeDevice{}};
    bool failOpen = false;
    // What the program did, call by call.
    std::vector<std::string> calls;
    int openHandles = 0;
    bool everyCallByHandle = true;
    std::vector<DWORD> lastMuxSelection;
    DWORD volume = 30000, mute = 0;
    HWND callbackWindow = nullptr;

    UINT GetNumDevs() override { return static_cast<UINT>(devices.size()); }
    MMRESULT Open(HMIXER* mixer, UINT device, DWORD_PTR callback, DWORD_PTR, DWORD flags) override {
        calls.push_back("open " + std::to_string(device));
        if (failOpen || device >= devices.size()) return MMSYSERR_ERROR;
        if (flags != CALLBACK_WINDOW) return MMSYSERR_INVALFLAG;
        callbackWindow = reinterpret_cast<HWND>(callback);
        *mixer = HandleOf(device);
        ++openHandles;
        return MMSYSERR_NOERROR;
    }
    MMRESULT Close(HMIXER mixer) override {
        calls.push_back("close " + std::to_string(DeviceOf(mixer)));
        --openHandles;
        return MMSYSERR_NOERROR;
    }
    MMRESULT GetDevCaps(UINT_PTR device, MIXERCAPSA* caps, UINT size) override {
        if (device >= devices.size() || size < sizeof(MIXERCAPSA)) return MMSYSERR_BADDEVICEID;
        std::memset(caps, 0, sizeof *caps);
        std::strncpy(caps->szPname, devices[device].name.c_str(), MAXPNAMELEN - 1);
        caps->cDestinations = devices[device].Destinations();
        return MMSYSERR_NOERROR;
    }
    MMRESULT GetLineInfo(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags) override {
        const FakeDevice* d = Device(mixer, flags);
        if (!d || (flags & 0xF) != MIXER_GETLINEINFOF_COMPONENTTYPE) return MMSYSERR_INVALHANDLE;
        if (line->dwComponentType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS && d->speakers) {
            line->dwLineID = kSpeakersLine;
        } else if (line->dwComponentType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN && d->waveIn) {
            line->dwLineID = kWaveInLine;
        } else {
            return MIXERR_INVALLINE;
        }
        line->cChannels = 2;
        calls.push_back(line->dwLineID == kSpeakersLine ? "line speakers" : "line wave-in");
        return MMSYSERR_NOERROR;
    }
    MMRESULT GetLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls, DWORD flags) override {
        const FakeDevice* d = Device(mixer, flags);
        if (!d || (flags & 0xF) != MIXER_GETLINECONTROLSF_ONEBYTYPE || controls->cControls != 1) return MMSYSERR_INVALPARAM;
        MIXERCONTROLA& c = *controls->pamxctrl;
        c.Bounds.dwMinimum = 0;
        if (controls->dwLineID == kSpeakersLine && controls->dwControlType == MIXERCONTROL_CONTROLTYPE_VOLUME) {
            c.dwControlID = kVolumeId;
            c.Bounds.dwMaximum = 65535;
        } else if (controls->dwLineID == kSpeakersLine && controls->dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE) {
            c.dwControlID = kMuteId;
            c.Bounds.dwMaximum = 1;
        } else if (controls->dwLineID == kWaveInLine && controls->dwControlType == MIXERCONTROL_CONTROLTYPE_MUX &&
                   !d->muxItems.empty()) {
            c.dwControlID = kMuxId;
            c.fdwControl = MIXERCONTROL_CONTROLF_MULTIPLE | MIXERCONTROL_CONTROLF_UNIFORM;
            c.cMultipleItems = static_cast<DWORD>(d->muxItems.size());
        } else {
            return MIXERR_INVALCONTROL;
        }
        return MMSYSERR_NOERROR;
    }
    MMRESULT GetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override {
        const FakeDevice* d = Device(mixer, flags);
        if (!d) return MMSYSERR_INVALHANDLE;
        if ((flags & 0xF) == MIXER_GETCONTROLDETAILSF_LISTTEXT && details->dwControlID == kMuxId) {
            if (details->cChannels != 1 || details->cMultipleItems != d->muxItems.size() ||
                details->cbDetails != sizeof(MIXERCONTROLDETAILS_LISTTEXTA))
                return MMSYSERR_INVALPARAM;
            auto* names = static_cast<MIXERCONTROLDETAILS_LISTTEXTA*>(details->paDetails);
            for (size_t i = 0; i < d->muxItems.size(); ++i) {
                std::memset(&names[i], 0, sizeof names[i]);
                std::strncpy(names[i].szName, d->muxItems[i].c_str(), MIXER_LONG_NAME_CHARS - 1);
            }
            return MMSYSERR_NOERROR;
        }
        if (details->cChannels != 1 || details->cbDetails != sizeof(DWORD)) return MMSYSERR_INVALPARAM;
        if (details->dwControlID == kVolumeId) *static_cast<DWORD*>(details->paDetails) = volume;
        else if (details->dwControlID == kMuteId) *static_cast<DWORD*>(details->paDetails) = mute;
        else return MIXERR_INVALCONTROL;
        return MMSYSERR_NOERROR;
    }
    MMRESULT SetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override {
        if (!Device(mixer, flags) || (flags & 0xF) != MIXER_SETCONTROLDETAILSF_VALUE) return MMSYSERR_INVALHANDLE;
        const DWORD* values = static_cast<const DWORD*>(details->paDetails);
        if (details->dwControlID == kMuxId) {
            lastMuxSelection.assign(values, values + details->cChannels * details->cMultipleItems);
            calls.push_back("select");
        } else if (details->dwControlID == kVolumeId) {
            volume = values[0];
        } else if (details->dwControlID == kMuteId) {
            mute = values[0];
        } else {
            return MIXERR_INVALCONTROL;
        }
        // A driver tells every window that opened the mixer.
        PostMessageA(callbackWindow, MM_MIXM_CONTROL_CHANGE, reinterpret_cast<WPARAM>(mixer), details->dwControlID);
        return MMSYSERR_NOERROR;
    }

    static HMIXER HandleOf(UINT device) { return reinterpret_cast<HMIXER>(static_cast<UINT_PTR>(0x7000 + device)); }
    static UINT DeviceOf(HMIXER mixer) { return static_cast<UINT>(reinterpret_cast<UINT_PTR>(mixer) - 0x7000); }

private:
    const FakeDevice* Device(HMIXEROBJ mixer, DWORD flags) {
        // The program names its mixer by the open handle every time.
        if ((flags & 0xF0000000) != MIXER_OBJECTF_HMIXER) everyCallByHandle = false;
        UINT device = DeviceOf(reinterpret_cast<HMIXER>(mixer));
        return device < devices.size() ? &devices[device] : nullptr;
    }
};

// A window that keeps the mixer notifications it receives.
class NotificationWindow {
public:
    NotificationWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MixerTestWindow";
        RegisterClassA(&wc);
        hwnd = CreateWindowA("MixerTestWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~NotificationWindow() { DestroyWindow(hwnd); }
    // The notifications waiting in the queue, as (mixer, control).
    std::vector<std::pair<WPARAM, LPARAM>> Take() {
        std::vector<std::pair<WPARAM, LPARAM>> seen;
        MSG msg;
        while (PeekMessageA(&msg, hwnd, MM_MIXM_CONTROL_CHANGE, MM_MIXM_CONTROL_CHANGE, PM_REMOVE))
            seen.emplace_back(msg.wParam, msg.lParam);
        return seen;
    }
    HWND hwnd = nullptr;
};

class AudioMixerFake : public ::testing::Test {
protected:
    void TearDown() override {
        mixer.Close();
        EXPECT_EQ(card.openHandles, 0) << "a mixer handle was left open";
        EXPECT_TRUE(card.everyCallByHandle) << "a call named the mixer by its identifier";
        if (!expectBoxes) {
            EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen()[0].text;
        }
    }
    BoxWatcher boxes;
    bool expectBoxes = false;
    FakeSoundCard card;
    NotificationWindow window;
    AudioMixer mixer{card};
};

TEST_F(AudioMixerFake, TypicalCardGivesSpeakerControlsAndBothSources) {
    ASSERT_TRUE(mixer.Open(window.hwnd));
    EXPECT_EQ(card.calls, (std::vector<std::string>{"open 0", "line speakers", "line wave-in"}));
    EXPECT_EQ(card.callbackWindow, window.hwnd);
    EXPECT_EQ(mixer.Handle(), FakeSoundCard::HandleOf(0));
    EXPECT_EQ(mixer.ProductName(), "Typical Sound Card");
    EXPECT_EQ(mixer.VolumeControlId(), kVolumeId);
    EXPECT_EQ(mixer.MuteControlId(), kMuteId);
    unsigned long maximum = 0, minimum = 1;
    mixer.GetVolumeRange(maximum, minimum);
    EXPECT_EQ(maximum, 65535u);
    EXPECT_EQ(minimum, 0u);

    // Microphone is the second item, Line In the first; CD Player is never chosen.
    ASSERT_TRUE(mixer.SelectSource(0));
    EXPECT_EQ(card.lastMuxSelection, (std::vector<DWORD>{0, 1, 0}));
    ASSERT_TRUE(mixer.SelectSource(1));
    EXPECT_EQ(card.lastMuxSelection, (std::vector<DWORD>{1, 0, 0}));
    card.lastMuxSelection.clear();
    EXPECT_TRUE(mixer.SelectSource(2));
    EXPECT_TRUE(card.lastMuxSelection.empty());
}

TEST_F(AudioMixerFake, VolumeAndMuteGoToTheSpeakersAndComeBackAsNotifications) {
    ASSERT_TRUE(mixer.Open(window.hwnd));
    unsigned long volume = 0;
    ASSERT_TRUE(mixer.GetVolume(volume));
    EXPECT_EQ(volume, 30000u);
    ASSERT_TRUE(mixer.SetVolume(1234));
    EXPECT_EQ(card.volume, 1234u);
    ASSERT_TRUE(mixer.SetMute(1));
    EXPECT_EQ(card.mute, 1u);
    int mute = 0;
    ASSERT_TRUE(mixer.GetMute(mute));
    EXPECT_EQ(mute, 1);
    auto seen = window.Take();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(mixer.ChangeOf(seen[0].first, seen[0].second), AudioMixer::Change::Volume);
    EXPECT_EQ(mixer.ChangeOf(seen[1].first, seen[1].second), AudioMixer::Change::Mute);
    // Another mixer's messages, and other controls, are not ours.
    EXPECT_EQ(mixer.ChangeOf(reinterpret_cast<WPARAM>(FakeSoundCard::HandleOf(5)), kMuteId), AudioMixer::Change::None);
    EXPECT_EQ(mixer.ChangeOf(seen[0].first, kMuxId), AudioMixer::Change::None);
}

TEST_F(AudioMixerFake, SecondDeviceIsUsedWhenTheFirstHasOneDestination) {
    FakeDevice playbackOnly;
    playbackOnly.name = "Playback Only";
    playbackOnly.waveIn = false;
    card.devices = {playbackOnly, FakeDevice{}};
    ASSERT_TRUE(mixer.Open(window.hwnd));
    EXPECT_EQ(mixer.ProductName(), "Typical Sound Card");
    EXPECT_EQ(card.calls[0], "open 0");
    EXPECT_EQ(card.calls[2], "close 0");
    EXPECT_EQ(card.openHandles, 1);
}

TEST_F(AudioMixerFake, OneDestinationPerDeviceTakesTheFirstWithSpeakers) {
    // As a system with one mixer per endpoint shows them: two playback devices, then two recording ones.
    FakeDevice render, capture;
    render.waveIn = false;
    capture.speakers = false;
    capture.name = "Recording";
    render.name = "Speakers";
    card.devices = {render, render, capture, capture};
    ASSERT_TRUE(mixer.Open(window.hwnd));
    EXPECT_EQ(mixer.Handle(), FakeSoundCard::HandleOf(0));
    EXPECT_EQ(mixer.ProductName(), "Speakers");
    EXPECT_EQ(card.openHandles, 1);
    // No multiplexer on this device: choosing a source changes nothing.
    EXPECT_FALSE(mixer.HasSource(0));
    EXPECT_TRUE(mixer.SelectSource(0));
    EXPECT_TRUE(card.lastMuxSelection.empty());
}

TEST_F(AudioMixerFake, ItemNamesMustMatchWhole) {
    card.devices[0].muxItems = {"Mic Volume", "Line In"};
    ASSERT_TRUE(mixer.Open(window.hwnd));
    EXPECT_FALSE(mixer.HasSource(0));
    EXPECT_TRUE(mixer.HasSource(1));
    mixer.SelectSource(0);
    EXPECT_TRUE(card.lastMuxSelection.empty());
}

TEST_F(AudioMixerFake, WithoutDevicesOrSpeakersThereIsNoMixer) {
    card.devices.clear();
    EXPECT_FALSE(mixer.Open(window.hwnd));
    FakeDevice recordingOnly;
    recordingOnly.speakers = false;
    card.devices = {recordingOnly};
    EXPECT_FALSE(mixer.Open(window.hwnd));
    unsigned long volume = 0;
    EXPECT_FALSE(mixer.GetVolume(volume));
    EXPECT_FALSE(mixer.SetMute(1));
    EXPECT_EQ(mixer.ChangeOf(reinterpret_cast<WPARAM>(FakeSoundCard::HandleOf(0)), kVolumeId),
              AudioMixer::Change::None);
}

TEST_F(AudioMixerFake, AMixerThatCannotBeOpenedSaysSo) {
    expectBoxes = true;
    card.failOpen = true;
    EXPECT_FALSE(mixer.Open(window.hwnd));
    auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Info");
    EXPECT_EQ(seen[0].text, "Failed To open mixer");
}

TEST_F(AudioMixerFake, CloseLetsGoOfTheHandle) {
    ASSERT_TRUE(mixer.Open(window.hwnd));
    mixer.Close();
    EXPECT_EQ(card.openHandles, 0);
    EXPECT_EQ(mixer.Handle(), nullptr);
    EXPECT_FALSE(mixer.SetVolume(5));
}

// The platform's own mixer: run only in the prefix with a sound server (scripts/with-sound.sh).
TEST(RealMixer, SpeakersVolumeAndMuteThroughWinmm) {
    ASSERT_GT(mixerGetNumDevs(), 0u) << "no mixer device: is the sound server up?";
    NotificationWindow window;
    AudioMixer mixer;
    ASSERT_TRUE(mixer.Open(window.hwnd));
    EXPECT_FALSE(mixer.ProductName().empty());
    unsigned long maximum = 0, minimum = 0;
    mixer.GetVolumeRange(maximum, minimum);
    EXPECT_GT(maximum, minimum);
    ASSERT_TRUE(mixer.SetVolume(maximum / 3));
    unsigned long volume = 0;
    ASSERT_TRUE(mixer.GetVolume(volume));
    EXPECT_NEAR(static_cast<double>(volume), maximum / 3.0, maximum / 100.0);
    ASSERT_TRUE(mixer.SetMute(1));
    int mute = 0;
    ASSERT_TRUE(mixer.GetMute(mute));
    EXPECT_EQ(mute, 1);
    ASSERT_TRUE(mixer.SetMute(0));
    ASSERT_TRUE(mixer.GetMute(mute));
    EXPECT_EQ(mute, 0);
    // Choosing a source works whether or not the card has a recording multiplexer.
    EXPECT_TRUE(mixer.SelectSource(0));
    EXPECT_TRUE(mixer.SelectSource(1));
    mixer.Close();
    EXPECT_FALSE(mixer.GetVolume(volume));
}

}  // namespace
}  // namespace lumetra::testing
