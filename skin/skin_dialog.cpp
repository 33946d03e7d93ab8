#include "skin/skin_dialog.h"

#include <windows.h>

namespace lumetra {
namespace {
const char kMasterFile[] = "./skins.ini";

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

BOOL SkinDialog::OnInitDialog() {
    viewFiles_.clear();
    viewTitles_.clear();
    LoadSkin();
    return TRUE;
}

void SkinDialog::LoadSkin() {
    if (!FileExists(kMasterFile)) {
        MessageBoxA(Handle(), (std::string(kMasterFile) + " not found").c_str(), "Error", MB_OK);
        return;
    }
    char keys[16384] = {};
    if (GetPrivateProfileStringA("VIEWS", nullptr, "", keys, sizeof keys, kMasterFile) == 0) {
        MessageBoxA(Handle(), "Could not find [VIEWS] section (see Skins.ini)", "Error", MB_OK);
        return;
    }
}

}  // namespace lumetra
