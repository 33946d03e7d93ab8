#include "media/audio_mixer.h"

#include <cstring>

#include "app/helpers.h"
#include "media/mixer_names.h"

namespace lumetra {
namespace {

// Every line and control call names the mixer by its open handle.
constexpr DWORD kByHandle = MIXER_OBJECTF_HMIXER;

}  // namespace

bool AudioMixer::Open(HWND callbackWindow) {
    Close();
    deviceCount_ = api_.GetNumDevs();
    // The first device with both a playback and a recording destination. Cards whose mixers show one
    // destination each (every device of a system with one mixer per endpoint) have none such: then
    // the first whose speakers have volume and mute.
    int speakers = -1;
    for (UINT device = 0; device < deviceCount_ && !mixer_; ++device) {
        HMIXER handle = nullptr;
        MIXERCAPSA caps{};
        if (!OpenDevice(device, callbackWindow, handle, caps)) return false;
        if (caps.cDestinations >= 2) {
            Keep(handle, caps);
        } else {
            if (speakers < 0 && FindSpeakerControls(handle)) speakers = static_cast<int>(device);
            api_.Close(handle);
        }
    }
    if (!mixer_ && speakers >= 0) {
        HMIXER handle = nullptr;
        MIXERCAPSA caps{};
        if (!OpenDevice(static_cast<UINT>(speakers), callbackWindow, handle, caps)) return false;
        Keep(handle, caps);
    }
    if (!mixer_) return false;
    if (!FindSpeakerControls(mixer_)) {
        Close();
        return false;
    }
    PrepareSelections();
    return true;
}

bool AudioMixer::OpenDevice(UINT device, HWND callbackWindow, HMIXER& handle, MIXERCAPSA& caps) {
    if (api_.Open(&handle, device, reinterpret_cast<DWORD_PTR>(callbackWindow), 0, CALLBACK_WINDOW) !=
        MMSYSERR_NOERROR) {
        ShowInfo("Failed To open mixer");
        return false;
    }
    if (api_.GetDevCaps(device, &caps, sizeof caps) != MMSYSERR_NOERROR) {
        api_.Close(handle);
        return false;
    }
    return true;
}

void AudioMixer::Keep(HMIXER handle, const MIXERCAPSA& caps) {
    mixer_ = handle;
    caps_ = caps;
    productName_ = caps.szPname;
}

bool AudioMixer::FindControl(HMIXER mixer, DWORD lineId, DWORD type, MIXERCONTROLA& control) const {
    std::memset(&control, 0, sizeof control);
    control.cbStruct = sizeof control;
    MIXERLINECONTROLSA controls{};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = lineId;
    controls.dwControlType = type;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    return api_.GetLineControls(Object(mixer), &controls, kByHandle | MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
           MMSYSERR_NOERROR;
}

bool AudioMixer::FindSpeakerControls(HMIXER mixer) {
    MIXERLINEA line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    if (api_.GetLineInfo(Object(mixer), &line, kByHandle | MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
        return false;
    MIXERCONTROLA volume, mute;
    if (!FindControl(mixer, line.dwLineID, MIXERCONTROL_CONTROLTYPE_VOLUME, volume)) return false;
    volumeControl_ = volume.dwControlID;
    volumeMin_ = volume.Bounds.dwMinimum;
    volumeMax_ = volume.Bounds.dwMaximum;
    if (!FindControl(mixer, line.dwLineID, MIXERCONTROL_CONTROLTYPE_MUTE, mute)) return false;
    muteControl_ = mute.dwControlID;
    return true;
}

void AudioMixer::PrepareSelections() {
    MIXERLINEA line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    if (api_.GetLineInfo(Object(mixer_), &line, kByHandle | MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
        return;
    MIXERCONTROLA mux;
    if (!FindControl(mixer_, line.dwLineID, MIXERCONTROL_CONTROLTYPE_MUX, mux) || mux.cMultipleItems == 0) return;
    // A uniform control is set for all channels at once.
    DWORD channels = (mux.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) || line.cChannels == 0 ? 1 : line.cChannels;
    DWORD items = mux.cMultipleItems;

    std::vector<MIXERCONTROLDETAILS_LISTTEXTA> names(static_cast<size_t>(channels) * items);
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = mux.dwControlID;
    details.cChannels = channels;
    details.cMultipleItems = items;
    details.cbDetails = sizeof(MIXERCONTROLDETAILS_LISTTEXTA);
    details.paDetails = names.data();
    if (api_.GetControlDetails(Object(mixer_), &details, kByHandle | MIXER_GETCONTROLDETAILSF_LISTTEXT) != MMSYSERR_NOERROR)
        return;
    for (DWORD item = 0; item < items; ++item) {
        char name[MIXER_LONG_NAME_CHARS + 1] = {};
        std::memcpy(name, names[item].szName, MIXER_LONG_NAME_CHARS);  // may lack its terminator
        RecordingSource source = ClassifyRecordingSource(name);
        if (source != RecordingSource::None) Fill(slots_[static_cast<int>(source)], mux.dwControlID, channels, items, item);
    }
}

void AudioMixer::Fill(Selection& slot, DWORD controlId, DWORD channels, DWORD items, DWORD chosen) {
    slot.table.assign(static_cast<size_t>(channels) * items, MIXERCONTROLDETAILS_BOOLEAN{0});
    for (DWORD c = 0; c < channels; ++c) slot.table[static_cast<size_t>(c) * items + chosen].fValue = 1;
    slot.details = MIXERCONTROLDETAILS{};
    slot.details.cbStruct = sizeof slot.details;
    slot.details.dwControlID = controlId;
    slot.details.cChannels = channels;
    slot.details.cMultipleItems = items;
    slot.details.cbDetails = sizeof(MIXERCONTROLDETAILS_BOOLEAN);
    slot.details.paDetails = slot.table.data();
}

bool AudioMixer::HasSource(int which) const {
    return mixer_ && (which == 0 || which == 1) && !slots_[which].table.empty();
}

bool AudioMixer::SelectSource(int which) {
    if (!HasSource(which)) return true;
    api_.SetControlDetails(Object(mixer_), &slots_[which].details, kByHandle | MIXER_SETCONTROLDETAILSF_VALUE);
    return true;
}

bool AudioMixer::Details(DWORD control, void* value, DWORD bytes, bool set) const {
    if (!mixer_) return false;
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = control;
    details.cChannels = 1;
    details.cbDetails = bytes;
    details.paDetails = value;
    MMRESULT result = set ? api_.SetControlDetails(Object(mixer_), &details, kByHandle | MIXER_SETCONTROLDETAILSF_VALUE)
                          : api_.GetControlDetails(Object(mixer_), &details, kByHandle | MIXER_GETCONTROLDETAILSF_VALUE);
    return result == MMSYSERR_NOERROR;
}

bool AudioMixer::GetVolume(unsigned long& value) const {
    MIXERCONTROLDETAILS_UNSIGNED v{};
    if (!Details(volumeControl_, &v, sizeof v, false)) return false;
    value = v.dwValue;
    return true;
}

bool AudioMixer::SetVolume(unsigned long value) const {
    MIXERCONTROLDETAILS_UNSIGNED v{value};
    return Details(volumeControl_, &v, sizeof v, true);
}

bool AudioMixer::GetMute(int& value) const {
    MIXERCONTROLDETAILS_BOOLEAN v{};
    if (!Details(muteControl_, &v, sizeof v, false)) return false;
    value = v.fValue ? 1 : 0;
    return true;
}

bool AudioMixer::SetMute(int value) const {
    MIXERCONTROLDETAILS_BOOLEAN v{value ? 1 : 0};
    return Details(muteControl_, &v, sizeof v, true);
}

void AudioMixer::GetVolumeRange(unsigned long& maximum, unsigned long& minimum) const {
    maximum = volumeMax_;
    minimum = volumeMin_;
}

AudioMixer::Change AudioMixer::ChangeOf(WPARAM mixer, LPARAM control) const {
    if (!mixer_ || reinterpret_cast<HMIXER>(mixer) != mixer_) return Change::None;
    DWORD id = static_cast<DWORD>(control);
    if (id == volumeControl_) return Change::Volume;
    if (id == muteControl_) return Change::Mute;
    return Change::None;
}

void AudioMixer::Close() {
    if (mixer_) api_.Close(mixer_);
    mixer_ = nullptr;
    volumeControl_ = muteControl_ = 0;
    volumeMin_ = volumeMax_ = 0;
    for (Selection& slot : slots_) {
        slot.table.clear();
        slot.details = MIXERCONTROLDETAILS{};
    }
}

}  // namespace lumetra
