#include "app/still_image.h"

#include <windows.h>
#include <sti.h>

#include "app/helpers.h"
#include "framework/com_ptr.h"

namespace lumetra {
namespace {

// The service's identifiers, spelled out so no import library is needed for them.
const CLSID kClsidSti = {0xB323F8E0, 0x2E68, 0x11D0, {0x90, 0xEA, 0x00, 0xAA, 0x00, 0x60, 0xF8, 0x6C}};
const IID kIidStillImageW = {0x641BD880, 0x2DC8, 0x11D0, {0x90, 0xEA, 0x00, 0xAA, 0x00, 0x60, 0xF8, 0x6C}};

ComPtr<IStillImageW> CreateStillImageService() {
    ComPtr<IStillImageW> service;
    if (FAILED(CoCreateInstance(kClsidSti, nullptr, CLSCTX_INPROC_SERVER, kIidStillImageW, service.PutVoid())))
        service.Reset();
    return service;
}

constexpr size_t kNameChars = MAX_PATH;

}  // namespace

bool QueryStillImageLaunch(std::string& deviceName) {
    ComPtr<IStillImageW> service = CreateStillImageService();
    if (!service) return false;
    // The service writes up to STI_MAX_INTERNAL_NAME_LENGTH characters; the buffers hold more.
    wchar_t device[kNameChars + 1] = {};
    wchar_t event[kNameChars + 1] = {};
    DWORD eventCode = 0;
    if (service->GetSTILaunchInformation(device, &eventCode, event) != S_OK) return false;
    device[kNameChars] = L'\0';

    char name[kNameChars + 1] = {};
    WideCharToMultiByte(CP_ACP, 0, device, -1, name, static_cast<int>(kNameChars), nullptr, nullptr);
    deviceName = name;
    EnterProgramFolder();
    if (ComPtr<IStillImageW> second = CreateStillImageService()) {
        wchar_t wideName[kNameChars + 1];
        ToWideInto(deviceName, wideName, kNameChars + 1);
        second->UnregisterLaunchApplication(wideName);
    }
    return true;
}

void RegisterStillImageLaunch(const std::string& appName, const std::string& commandLine) {
    ComPtr<IStillImageW> service = CreateStillImageService();
    if (!service) return;
    wchar_t name[kNameChars];
    wchar_t command[kNameChars];
    ToWideInto(appName, name, kNameChars);
    ToWideInto(commandLine, command, kNameChars);
    service->RegisterLaunchApplication(name, command);
}

}  // namespace lumetra
