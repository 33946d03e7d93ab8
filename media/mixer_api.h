#pragma once
// The platform's mixer calls the program makes, behind one seam so that tests can present a sound
// card of their own. SystemMixer() passes each call straight to winmm.
#include <windows.h>
#include <mmsystem.h>

namespace lumetra {

class MixerApi {
public:
    virtual UINT GetNumDevs() = 0;
    virtual MMRESULT Open(HMIXER* mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) = 0;
    virtual MMRESULT Close(HMIXER mixer) = 0;
    virtual MMRESULT GetDevCaps(UINT_PTR device, MIXERCAPSA* caps, UINT size) = 0;
    virtual MMRESULT GetLineInfo(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags) = 0;
    virtual MMRESULT GetLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls, DWORD flags) = 0;
    virtual MMRESULT GetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) = 0;
    virtual MMRESULT SetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) = 0;

protected:
    ~MixerApi() = default;
};

MixerApi& SystemMixer();

}  // namespace lumetra
