#include "media/mixer_api.h"

namespace lumetra {
namespace {

class WinmmMixer final : public MixerApi {
public:
    UINT GetNumDevs() override { return mixerGetNumDevs(); }
    MMRESULT Open(HMIXER* mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) override {
        return mixerOpen(mixer, device, callback, instance, flags);
    }
    MMRESULT Close(HMIXER mixer) override { return mixerClose(mixer); }
    MMRESULT GetDevCaps(UINT_PTR device, MIXERCAPSA* caps, UINT size) override {
        return mixerGetDevCapsA(device, caps, size);
    }
    MMRESULT GetLineInfo(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags) override {
        return mixerGetLineInfoA(mixer, line, flags);
    }
    MMRESULT GetLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls, DWORD flags) override {
        return mixerGetLineControlsA(mixer, controls, flags);
    }
    MMRESULT GetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override {
        return mixerGetControlDetailsA(mixer, details, flags);
    }
    MMRESULT SetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override {
        return mixerSetControlDetails(mixer, details, flags);
    }
};

}  // namespace

MixerApi& SystemMixer() {
    static WinmmMixer mixer;
    return mixer;
}

}  // namespace lumetra
