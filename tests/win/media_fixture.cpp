#include "tests/win/media_fixture.h"

#include <cstdlib>

namespace lumetra::testing {
namespace {
const char kControlKey[] = "Software\\LumetraSim";
const char kVideoCategoryInstances[] = "CLSID\\{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\Instance";
const char kSimulatedVideoClsid[] = "{E6EBE972-930E-4DE3-BA2D-BAF0EC0E017F}";

void SetText(HKEY key, const char* name, const std::string& value) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}
}  // namespace

std::string TestBinFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\'));
}

std::string MediaOutFolder() {
    const char* out = std::getenv("LUMETRA_MEDIA_OUT");
    std::string folder;
    if (out && *out) {
        folder = out;
    } else {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "lumetra-media";
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

bool RunRegsvr32(const std::string& arguments) {
    std::string command = "regsvr32.exe /s " + arguments;
    STARTUPINFOA si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    bool finished = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return finished && code == 0;
}

bool SimulatedDevices::Register(const std::string& videoName, const std::string& audioName, const std::string& suffix,
                                const std::string& profile) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kControlKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        return false;
    if (!videoName.empty()) SetText(key, "VideoName", videoName);
    if (!audioName.empty()) SetText(key, "AudioName", audioName);
    SetText(key, "NameSuffix", suffix);
    SetText(key, "Profile", profile);
    RegCloseKey(key);
    changed_ = true;
    std::string dll = "\"" + TestBinFolder() + "\\lumetra_simdev.dll\"";
    return RunRegsvr32("/u " + dll) && RunRegsvr32(dll);
}

bool SimulatedDevices::AddVideoEntry(const std::string& name, const std::string& friendlyName) {
    HKEY key;
    std::string path = std::string(kVideoCategoryInstances) + "\\" + name;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        return false;
    SetText(key, "CLSID", kSimulatedVideoClsid);
    SetText(key, "FriendlyName", friendlyName);
    RegCloseKey(key);
    entries_.push_back(path);
    return true;
}

SimulatedDevices::~SimulatedDevices() {
    for (const auto& path : entries_) RegDeleteKeyA(HKEY_CLASSES_ROOT, path.c_str());
    if (!changed_) return;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kControlKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "VideoName");
        RegDeleteValueA(key, "AudioName");
        RegDeleteValueA(key, "NameSuffix");
        RegDeleteValueA(key, "Profile");
        RegCloseKey(key);
    }
    std::string dll = "\"" + TestBinFolder() + "\\lumetra_simdev.dll\"";
    RunRegsvr32("/u " + dll);
    RunRegsvr32(dll);
}

void PumpFor(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

}  // namespace lumetra::testing
