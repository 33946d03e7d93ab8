#include "simdev/sim_control.h"

#include "framework/handles.h"
#include "simdev/simdev.h"

namespace simdev {

std::wstring ReadRegString(HKEY root, const wchar_t* path, const wchar_t* value, const wchar_t* fallback) {
    wchar_t buffer[512];
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    lumetra::RegKey key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return fallback;
    if (RegQueryValueExW(key.Get(), value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return fallback;
    buffer[bytes / sizeof(wchar_t)] = 0;
    return buffer;
}

DWORD ReadRegDword(HKEY root, const wchar_t* path, const wchar_t* value, DWORD fallback) {
    DWORD data = 0, bytes = sizeof(data), type = 0;
    lumetra::RegKey key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return fallback;
    if (RegQueryValueExW(key.Get(), value, nullptr, &type, reinterpret_cast<BYTE*>(&data), &bytes) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return fallback;
    return data;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += (c < 128) ? static_cast<char>(c) : '?';
    return out;
}

ControlSnapshot ReadControl() {
    ControlSnapshot s;
    DWORD scene = ReadRegDword(HKEY_LOCAL_MACHINE, kControlKey, kValScene, 0);
    s.scene = scene == 1 ? SceneMode::Still : (scene == 2 ? SceneMode::MotionInRect : SceneMode::Moving);
    ParseRect(Narrow(ReadRegString(HKEY_LOCAL_MACHINE, kControlKey, kValMotionRect, L"")), s.motion);
    s.signalChannels = ParseChannelList(
        Narrow(ReadRegString(HKEY_LOCAL_MACHINE, kControlKey, kValSignalChannels, kDefaultSignalChannels)));
    s.unplugged = ReadRegDword(HKEY_LOCAL_MACHINE, kControlKey, kValUnplugged, 0) != 0;
    s.standardsOverride = ReadRegDword(HKEY_LOCAL_MACHINE, kControlKey, kValStandards, 0);
    s.crossbarLayout = ParseCrossbarLayout(Narrow(ReadRegString(HKEY_LOCAL_MACHINE, kControlKey, kValCrossbar, L"")));
    s.refuseRoute = static_cast<long>(ReadRegDword(HKEY_LOCAL_MACHINE, kControlKey, kValRefuseRoute, 0));
    ParseRange(Narrow(ReadRegString(HKEY_LOCAL_MACHINE, kControlKey, kValBrightnessRange, L"")), s.brightness);
    return s;
}

namespace {
// Reads a REG_DWORD of the control key and sets it back to 0 when it was not.
DWORD TakeControlDword(const wchar_t* name) {
    lumetra::RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kControlKey, 0, KEY_READ | KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS)
        return 0;
    DWORD data = 0, bytes = sizeof(data), type = 0;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &bytes) != ERROR_SUCCESS ||
        type != REG_DWORD || data == 0)
        return 0;
    DWORD zero = 0;
    RegSetValueExW(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof(zero));
    return data;
}
}  // namespace

DWORD TakeDropFrames() { return TakeControlDword(kValDropFrames); }

bool ReadButton() { return ReadRegDword(HKEY_LOCAL_MACHINE, kControlKey, kValButton, 0) != 0; }

bool ReadButtonSticky() { return ReadRegDword(HKEY_LOCAL_MACHINE, kControlKey, kValButtonSticky, 0) != 0; }

bool TakeButtonPulse() { return TakeControlDword(kValButtonPulse) != 0; }

bool DeviceGone() { return ReadRegDword(HKEY_LOCAL_MACHINE, kControlKey, kValUnplugged, 0) != 0; }

bool PagesFail() { return ReadRegDword(HKEY_LOCAL_MACHINE, kControlKey, kValFailPages, 0) != 0; }

Registration RegistrationFromControl() {
    Registration r;
    r.profile = ParseProfile(Narrow(ReadRegString(HKEY_LOCAL_MACHINE, kControlKey, kValProfile, L"tvbox")));
    const std::wstring suffix = ReadRegString(HKEY_LOCAL_MACHINE, kControlKey, kValNameSuffix, kDefaultNameSuffix);
    r.videoName = ReadRegString(HKEY_LOCAL_MACHINE, kControlKey, kValVideoName, kDefaultVideoName) + suffix;
    r.audioName = ReadRegString(HKEY_LOCAL_MACHINE, kControlKey, kValAudioName, kDefaultAudioName) + suffix;
    return r;
}

Registration RecordedRegistration() {
    Registration r;
    r.profile = ParseProfile(Narrow(ReadRegString(HKEY_LOCAL_MACHINE, kRegisteredKey, kValProfile, L"tvbox")));
    r.videoName = ReadRegString(HKEY_LOCAL_MACHINE, kRegisteredKey, kValVideoName, L"");
    r.audioName = ReadRegString(HKEY_LOCAL_MACHINE, kRegisteredKey, kValAudioName, L"");
    return r;
}

void RecordRegistration(const Registration& r) {
    lumetra::RegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRegisteredKey, 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    auto put = [&](const wchar_t* name, const std::wstring& text) {
        RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    };
    std::string profile = ProfileName(r.profile);
    put(kValProfile, std::wstring(profile.begin(), profile.end()));
    put(kValVideoName, r.videoName);
    put(kValAudioName, r.audioName);
}

void ForgetRegistration() { RegDeleteKeyW(HKEY_LOCAL_MACHINE, kRegisteredKey); }

Profile ActiveProfile() {
    std::wstring recorded = ReadRegString(HKEY_LOCAL_MACHINE, kRegisteredKey, kValProfile, L"");
    if (!recorded.empty()) return ParseProfile(Narrow(recorded));
    return ParseProfile(Narrow(ReadRegString(HKEY_LOCAL_MACHINE, kControlKey, kValProfile, L"tvbox")));
}

DeviceState& DeviceState::Instance() {
    static DeviceState state;
    return state;
}

void DeviceState::SetAudioSource(SoundInput input, int channel, bool signal) {
    std::lock_guard<std::mutex> hold(lock_);
    input_ = input;
    channel_ = channel;
    signal_ = signal;
}

void DeviceState::AudioSource(SoundInput& input, int& channel, bool& signal) {
    std::lock_guard<std::mutex> hold(lock_);
    input = input_;
    channel = channel_;
    signal = signal_;
}

}  // namespace simdev
