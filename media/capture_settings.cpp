#include "media/capture_settings.h"

#include <commctrl.h>
#include <commdlg.h>

#include <initializer_list>

#include "app/settings_store.h"
#include "framework/handles.h"
#include "framework/window.h"
#include "res/resource.h"

namespace lumetra {

namespace {

// The registry values of the video settings, in the order they are written.
struct StoredValue {
    const char* name;
    int VideoCaptureValues::*field;
};
constexpr StoredValue kStoredValues[] = {
    {"FrameRate", &VideoCaptureValues::frameRate},
    {"UseFrameRate", &VideoCaptureValues::useFrameRate},
    {"UseTimeLimit", &VideoCaptureValues::useTimeLimit},
    {"UseSizeLimit", &VideoCaptureValues::useSizeLimit},
    {"Preallocate", &VideoCaptureValues::preallocate},
    {"TimeLimit", &VideoCaptureValues::timeLimit},
    {"SizeLimit", &VideoCaptureValues::sizeLimit},
    {"TimeUnits", &VideoCaptureValues::timeUnits},
    {"CompIndex", &VideoCaptureValues::compIndex},
    {"CompType", &VideoCaptureValues::compType},
    {"CaptureAudio", &VideoCaptureValues::captureAudio},
};

constexpr char kBrowseTitle[] =
    "Select a video file to overwrite or enter new filemname \nif not specified '.avi' will be added";
// Common dialog filters: pairs of zero-terminated texts, the list ended by a second zero.
constexpr char kAviFilter[] = "AVI Capture File (*.avi)\0*.avi\0";
constexpr char kMpegFilter[] = "MPEG Capture File (*.mpg)\0*.mpg\0";

constexpr char kPreallocationTooLarge[] =
    "Preallocated capture filesize should not excede 80% of available space on selected drive";
constexpr char kAllocateNow[] = "Filename or Pre-allocate size changed. Do you want to allocate now?";
constexpr char kNameTooLong[] =
    "The file name is too long: at most 127 characters, extension included, can be kept. Choose a shorter name.";
constexpr char kFrameRateHint[] = "If not selected maximum possible framerate will be used";
constexpr char kLimitHint[] =
    "If neither size not time limit is selected video capture will continue until [Stop] is clicked "
    "or disk full";

// Sets a flag for the life of the scope (when asked to) and restores its previous value.
class FlagScope {
public:
    FlagScope(bool& flag, bool set) : flag_(flag), previous_(flag) { if (set) flag_ = true; }
    ~FlagScope() { flag_ = previous_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool previous_;
};

// Length of an existing file, 0 when there is none.
uint64_t ExistingFileLength(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// Whether an open file starts with the "RIFF" tag of an AVI file.
bool StartsWithRiff(HANDLE file) {
    char tag[4] = {};
    DWORD read = 0;
    return ReadFile(file, tag, sizeof tag, &read, nullptr) && read == sizeof tag &&
           tag[0] == 'R' && tag[1] == 'I' && tag[2] == 'F' && tag[3] == 'F';
}

}  // namespace

// ---- CaptureSettingsBase ----

CaptureSettingsBase::CaptureSettingsBase(int templateId, const char* registrySubkey,
                                         const char* initialFileName)
    : Dialog(templateId), registrySubkey_(registrySubkey), fileName_(initialFileName) {}

void CaptureSettingsBase::Load() {
    RegKey key = OpenSettingsKey(registrySubkey_);
    if (!key) return;
    LoadValues(key.Get());
    ReadString(key.Get(), "FileName", fileName_);
    ReadDword(key.Get(), "FileOverwrite", fileOverwrite_);
}

void CaptureSettingsBase::Save() const {
    RegKey key = OpenSettingsKey(registrySubkey_);
    if (!key) return;
    SaveValues(key.Get());
    WriteString(key.Get(), "FileName", fileName_);
    WriteDword(key.Get(), "FileOverwrite", fileOverwrite_);
}

void CaptureSettingsBase::Exchange(DataExchange& dx) {
    dx.Text(IDC_VCS_FILENAME, fileName_);
    dx.Radio({IDC_VCS_APPEND, IDC_VCS_OVERWRITE}, fileOverwrite_);
}

// ---- VideoCaptureSettings ----

VideoCaptureSettings::VideoCaptureSettings(CaptureFileAllocator& allocator)
    : CaptureSettingsBase(IDD_VIDEO_CAPTURE_SETTINGS, "Video", "C:\\__temp__.avi"), allocator_(allocator) {}

// The encoder is asked each time rather than remembered from the dialog's last opening, so a
// stored MPEG choice applies from start-up on, and never without the encoder.
int VideoCaptureSettings::EffectiveCompression() const {
    return lumetra::EffectiveCompression(values_.compType, MpegAvailable());
}

std::string VideoCaptureSettings::NextRecordingFileName() const {
    constexpr int kAppendNumbers = 0;
    constexpr int kMostNumbers = 100000;
    auto exists = [](const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; };
    if (FileOverwrite() != kAppendNumbers || !exists(FileName())) return FileName();
    for (int number = 1; number <= kMostNumbers; ++number) {
        std::string candidate = NumberedFileName(FileName(), number);
        if (!exists(candidate)) return candidate;
    }
    return NumberedFileName(FileName(), kMostNumbers);  // every number taken: the last one is reused
}

uint64_t VideoCaptureSettings::TimeLimit100ns() const {
    return lumetra::TimeLimit100ns(values_.timeLimit, values_.timeUnits);
}

bool VideoCaptureSettings::QueryFreeBytes(const std::string& drive, uint64_t& freeBytes) const {
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExA((drive + "\\").c_str(), &available, nullptr, nullptr)) return false;
    freeBytes = available.QuadPart;
    return true;
}

void VideoCaptureSettings::LoadValues(HKEY key) {
    for (const StoredValue& value : kStoredValues) ReadDword(key, value.name, values_.*value.field);
}

void VideoCaptureSettings::SaveValues(HKEY key) const {
    for (const StoredValue& value : kStoredValues) WriteDword(key, value.name, values_.*value.field);
}

void VideoCaptureSettings::Exchange(DataExchange& dx) {
    FlagScope showing(showingValues_, !dx.Saving());
    CaptureSettingsBase::Exchange(dx);
    if (dx.Saving()) {
        LRESULT selected = SendDlgItemMessageA(Handle(), IDC_VCS_COMPRESSION, CB_GETCURSEL, 0, 0);
        if (selected != CB_ERR) values_.compIndex = static_cast<int>(selected);
    } else {
        SendDlgItemMessageA(Handle(), IDC_VCS_COMPRESSION, CB_SETCURSEL, static_cast<WPARAM>(values_.compIndex), 0);
    }
    dx.Check(IDC_VCS_CAPTURE_AUDIO, values_.captureAudio);
    dx.Check(IDC_VCS_USE_FRAMERATE, values_.useFrameRate);
    dx.Int(IDC_VCS_FRAMERATE, values_.frameRate);
    dx.Check(IDC_VCS_USE_TIMELIMIT, values_.useTimeLimit);
    dx.Int(IDC_VCS_TIMELIMIT, values_.timeLimit);
    dx.Radio({IDC_VCS_MINUTES, IDC_VCS_SECONDS}, values_.timeUnits);
    dx.Check(IDC_VCS_USE_SIZELIMIT, values_.useSizeLimit);
    dx.Int(IDC_VCS_SIZELIMIT, values_.sizeLimit);
    dx.Int(IDC_VCS_PREALLOCATE, values_.preallocate);
    if (!dx.Saving()) {
        // Shown only: the space and the drive are measured, never typed.
        int availableMB = availableMB_;
        std::string drive = drive_;
        dx.Int(IDC_VCS_AVAILABLE, availableMB);
        dx.Text(IDC_VCS_DRIVE, drive);
    }
}

INT_PTR VideoCaptureSettings::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SETCURSOR:  // the mouse moving over any control of the dialog
        if (HIWORD(lp) == WM_MOUSEMOVE && !hints_) CreateHints();
        break;
    case WM_MOUSEMOVE:  // the mouse moving over the dialog between its controls
        if (!hints_) CreateHints();
        break;
    case WM_DESTROY:
        hints_ = nullptr;  // destroyed with the dialog, which owns it
        break;
    default:
        break;
    }
    return CaptureSettingsBase::DlgProc(msg, wp, lp);
}

BOOL VideoCaptureSettings::OnInitDialog() {
    opened_ = {FileName(), FileOverwrite(), values_};
    FillCompressionList();
    ApplyEnableRules();
    OnCompressionChanged();
    RefreshDiskSpace(true);
    allocated_ = false;
    return TRUE;
}

bool VideoCaptureSettings::OnCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_VCS_BROWSE:
        if (code == BN_CLICKED) OnBrowse();
        return true;
    case IDC_VCS_USE_FRAMERATE:
    case IDC_VCS_USE_TIMELIMIT:
    case IDC_VCS_USE_SIZELIMIT:
        if (code == BN_CLICKED) {
            UpdateData(true);
            ApplyEnableRules();
        }
        return true;
    case IDC_VCS_COMPRESSION:
        if (code == CBN_SELCHANGE) OnCompressionChanged();
        return true;
    case IDC_VCS_PREALLOCATE:
        if (code == EN_CHANGE) OnPreallocateChanged();
        return true;
    case IDC_VCS_ALLOCATE:
        if (code == BN_CLICKED) {
            UpdateData(true);
            Allocate();
        }
        return true;
    case IDC_VCS_ENCODER_SETTINGS:
        if (code == BN_CLICKED) OnEncoderSettings();
        return true;
    default:
        return false;
    }
}

void VideoCaptureSettings::OnOK() {
    UpdateData(true);
    if (values_.preallocate != 0 && !allocated_ &&
        ShowMessage(kAllocateNow, "Warning", MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
        Allocate();
    CaptureSettingsBase::OnOK();
    Save();
}

// Handlers may already have taken values from the controls (a browsed name, a lowered
// preallocation); Cancel returns to what the dialog opened with, as nothing was confirmed.
void VideoCaptureSettings::OnCancel() {
    SetFileName(opened_.fileName);
    SetFileOverwrite(opened_.fileOverwrite);
    values_ = opened_.values;
    CaptureSettingsBase::OnCancel();
}

void VideoCaptureSettings::FillCompressionList() {
    HWND combo = Item(IDC_VCS_COMPRESSION);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    const bool mpeg = MpegAvailable();
    for (int i = 0; i < OfferedCompressionCount(mpeg); ++i) {
        const CompressionChoice& choice = CompressionChoices()[static_cast<size_t>(i)];
        LRESULT item = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.text));
        SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), choice.compType);
    }
    values_.compIndex = StartCompressionIndex(values_.compIndex, mpeg);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(values_.compIndex), 0);
    values_.compType = SelectedCompressionType();
}

int VideoCaptureSettings::SelectedCompressionType() const {
    HWND combo = Item(IDC_VCS_COMPRESSION);
    LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) return 0;
    return static_cast<int>(SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
}

void VideoCaptureSettings::ApplyEnableRules() {
    auto enable = [this](bool on, std::initializer_list<int> ids) {
        for (int id : ids) EnableWindow(Item(id), on ? TRUE : FALSE);
    };
    enable(values_.useTimeLimit != 0, {IDC_VCS_TIMELIMIT, IDC_VCS_MINUTES, IDC_VCS_SECONDS});
    enable(values_.useSizeLimit != 0, {IDC_VCS_SIZELIMIT, IDC_VCS_SIZELIMIT_LABEL});
    enable(values_.useFrameRate != 0, {IDC_VCS_FRAMERATE, IDC_VCS_FRAMERATE_LABEL});
}

void VideoCaptureSettings::OnCompressionChanged() {
    UpdateData(true);
    EnableWindow(Item(IDC_VCS_ENCODER_SETTINGS), values_.compIndex != 0 ? TRUE : FALSE);
    values_.compType = SelectedCompressionType();
    FixExtension();
}

void VideoCaptureSettings::FixExtension() {
    SetFileName(FixCaptureExtension(FileName(), values_.compType));
    UpdateData(false);
}

// The space a recording may fill on the capture file's drive. Measured again only when the drive
// changes (or when forced at the dialog's start): names without a drive keep the last figure.
void VideoCaptureSettings::RefreshDiskSpace(bool force) {
    const std::string& name = FileName();
    if (!HasDriveLetter(name)) return;
    if (!force && DriveOf(name) == drive_) return;
    const uint64_t fileLength = ExistingFileLength(name);
    drive_ = DriveOf(name);
    uint64_t freeBytes = 0;  // stays 0 when the drive cannot be asked
    QueryFreeBytes(drive_, freeBytes);
    availableMB_ = AvailableMegabytes(freeBytes, fileLength);
    UpdateData(false);
}

void VideoCaptureSettings::OnBrowse() {
    UpdateData(true);  // keep what was typed elsewhere; the refresh below writes every control
    const std::string previous = FileName();
    char path[MAX_PATH] = {};
    previous.copy(path, sizeof path - 1);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = values_.compType != 0 ? kMpegFilter : kAviFilter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrTitle = kBrowseTitle;
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameA(&dialog)) return;

    // The registry keeps 127 characters: a longer name would come back cut at the next start.
    if (FixCaptureExtension(path, values_.compType).size() > kMaxCaptureFileNameChars) {
        ShowMessage(kNameTooLong, "Error", MB_OK | MB_ICONERROR);
        return;
    }
    SetFileName(path);
    FixExtension();
    RefreshDiskSpace(false);
    if (FileName() != previous) allocated_ = false;
}

void VideoCaptureSettings::OnPreallocateChanged() {
    if (showingValues_) return;
    UpdateData(true);
    const int limit = PreallocationLimitMB(availableMB_);
    if (values_.preallocate > limit) {
        ShowMessage(kPreallocationTooLarge, "Error", MB_OK);
        values_.preallocate = limit;
        UpdateData(false);
    }
    if (values_.preallocate > kMaxPreallocateMB) {
        values_.preallocate = kMaxPreallocateMB;  // see kMaxPreallocateMB: no file of 4 GiB or more
        UpdateData(false);
    }
    allocated_ = false;
}

// Grows the capture file to the preallocation size, after confirming that an existing recording
// may be destroyed. A file that exists but cannot be read is most likely open elsewhere.
void VideoCaptureSettings::Allocate() {
    const std::string& name = FileName();
    UniqueHandle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD openError = file ? ERROR_SUCCESS : GetLastError();
    if (file) {
        if (StartsWithRiff(file.Get())) {
            const std::string question = "Re-allocate video file \"" + name + "\" to " +
                                         std::to_string(values_.preallocate) +
                                         " MBytes? (This will destroy current contents.)";
            if (ShowMessage(question, "Warning", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
        }
        file.Reset();  // the allocation opens the file for writing
    } else if (openError != ERROR_FILE_NOT_FOUND) {
        ShowMessage("File \"" + name + "\" cannot be allocated for capture....\n  May be in use.", "Error",
            MB_OK | MB_ICONERROR);
        return;
    }
    allocator_.PreallocateFile(PreallocationBytes(values_.preallocate));
    allocated_ = true;  // also after a failure, which the allocation has reported itself
}

void VideoCaptureSettings::OnEncoderSettings() {
    allocator_.ShowEncoderProperties(Handle());
    int preset = 0;
    if (!allocator_.ReadEncoderPreset(preset)) return;
    const int index = CompressionIndexOfType(preset, MpegAvailable());
    if (index < 0) return;
    // The preset chosen in the encoder's pages becomes the list's choice, type and extension
    // included: a recording then sets the encoder to what the dialog shows.
    SendDlgItemMessageA(Handle(), IDC_VCS_COMPRESSION, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    OnCompressionChanged();
}

void VideoCaptureSettings::CreateHints() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    hints_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, ModuleInstance(), nullptr);
    if (!hints_) return;
    SendMessageA(hints_, TTM_SETMAXTIPWIDTH, 0, 320);  // long hints wrap
    auto addHint = [this](int id, const char* text) {
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;  // understood by every version of the common controls
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
        tool.lpszText = const_cast<char*>(text);
        SendMessageA(hints_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    };
    addHint(IDC_VCS_USE_FRAMERATE, kFrameRateHint);
    addHint(IDC_VCS_USE_TIMELIMIT, kLimitHint);
    addHint(IDC_VCS_USE_SIZELIMIT, kLimitHint);
    SendMessageA(hints_, TTM_ACTIVATE, TRUE, 0);
}

int VideoCaptureSettings::ShowMessage(const std::string& text, const char* caption, UINT flags) const {
    return MessageBoxA(Handle(), text.c_str(), caption, flags);
}

}  // namespace lumetra
