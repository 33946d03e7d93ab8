#include "still/still_settings.h"

#include <commdlg.h>

#include "app/settings_store.h"
#include "res/resource.h"
#include "still/still_names.h"
#include "still/still_shell.h"

namespace lumetra {
namespace {

// The registry values of the still settings, in the order they are written (before the file's).
struct StoredValue {
    const char* name;
    int StillValues::*field;
};
constexpr StoredValue kStoredValues[] = {
    {"UsePopupWindow", &StillValues::usePopupWindow},
    {"UseShutterSound", &StillValues::useShutterSound},
    {"StiSnapshot", &StillValues::stiSnapshot},
};

constexpr char kBrowseTitle[] = "Select a bitmap file to overwrite or enter new filemname";
constexpr char kBitmapFilter[] = "Bitmap File (*.bmp)\0*.bmp\0";

}  // namespace

StillCaptureSettings::StillCaptureSettings()
    : CaptureSettingsBase(IDD_STILL_CAPTURE_SETTINGS, "Still", "C:\\__temp__.bmp") {}

void StillCaptureSettings::PlayShutter() { PlayShutterSound(); }

void StillCaptureSettings::OpenFolder(const std::string& folder) { OpenFolderInExplorer(folder); }

void StillCaptureSettings::LoadValues(HKEY key) {
    for (const StoredValue& value : kStoredValues) ReadDword(key, value.name, values_.*value.field);
}

void StillCaptureSettings::SaveValues(HKEY key) const {
    for (const StoredValue& value : kStoredValues) WriteDword(key, value.name, values_.*value.field);
}

void StillCaptureSettings::Exchange(DataExchange& dx) {
    CaptureSettingsBase::Exchange(dx);
    dx.Check(IDC_SCS_POPUP, values_.usePopupWindow);
    dx.Check(IDC_SCS_SHUTTER, values_.useShutterSound);
    dx.Check(IDC_SCS_STI_SNAPSHOT, values_.stiSnapshot);
}

BOOL StillCaptureSettings::OnInitDialog() {
    opened_ = {FileName(), FileOverwrite(), values_};
    return TRUE;
}

bool StillCaptureSettings::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_VCS_BROWSE:
        OnBrowse();
        return true;
    case IDC_SCS_SHUTTER:
        // Checking the box lets the user hear what it chooses.
        if (IsDlgButtonChecked(Handle(), IDC_SCS_SHUTTER) == BST_CHECKED) PlayShutter();
        return true;
    case IDC_SCS_OPEN_FOLDER:
        OpenFolder(ParentFolder(FileName()));
        return true;
    default:
        return false;
    }
}

void StillCaptureSettings::OnOK() {
    CaptureSettingsBase::OnOK();
    Save();
}

// The browsed name is taken at once; Cancel returns to what the dialog opened with.
void StillCaptureSettings::OnCancel() {
    SetFileName(opened_.fileName);
    SetFileOverwrite(opened_.fileOverwrite);
    values_ = opened_.values;
    CaptureSettingsBase::OnCancel();
}

void StillCaptureSettings::OnBrowse() {
    UpdateData(true);  // keep the boxes as they are; the refresh below writes every control
    char path[MAX_PATH] = {};
    FileName().copy(path, sizeof path - 1);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = kBitmapFilter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrTitle = kBrowseTitle;
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameA(&dialog)) return;

    SetFileName(WithBmpExtension(path));
    UpdateData(false);
}

}  // namespace lumetra
