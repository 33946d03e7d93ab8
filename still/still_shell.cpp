#include "still/still_shell.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "framework/window.h"

namespace lumetra {

void PlayShutterSound() {
    PlaySoundA("IDR_SHUTTER", ModuleInstance(), SND_RESOURCE | SND_ASYNC);
}

void OpenFolderInExplorer(const std::string& folder) {
    // The shell reports its own failures; nothing to add here.
    const std::string parameters = "/n, " + folder;
    ShellExecuteA(nullptr, "Open", "Explorer", parameters.c_str(), nullptr, SW_SHOWDEFAULT);
}

}  // namespace lumetra
