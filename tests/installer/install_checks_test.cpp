// Checks of the setup program, run inside a fresh Wine prefix by install_test.sh, one stage at a time:
//   Installed.*        after a silent install with the simulated devices (/SIMULATED)
//   Uninstall.*        runs the uninstaller silently (keeping or removing the settings)
//   Uninstalled.*      after that uninstall, the settings kept
//   DefaultInstall.*   after a silent install with the default components
//   SettingsRemoved.*  after an uninstall with "Remove my settings" ticked (/REMOVESETTINGS)
//   Launcher.*         while linux/lumetra-wine runs the built program in the same prefix
// Environment: LUMETRA_SETUP (the setup program), LUMETRA_SKIN_SOURCE (res\skin of the sources),
// LUMETRA_SCREENSHOT (where to leave a picture of the running installed program).
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "lumetra_version.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/screen_capture.h"
#include "tests/e2e/test_skin.h"

namespace lumetra::e2e {
namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumetra";
constexpr char kSettingsKey[] = "SOFTWARE\\Orvex";
constexpr char kSimulatedVideoClass[] = "CLSID\\{E6EBE972-930E-4DE3-BA2D-BAF0EC0E017F}";
constexpr char kSimulatedAudioClass[] = "CLSID\\{8667331E-57F8-4AF9-AAE7-CFF38ADEE328}";
constexpr char kUserFileContent[] = "my own skin, kept when Lumetra goes";
constexpr DWORD kStartMs = 30000;
constexpr DWORD kExitMs = 20000;

std::string Environment(const char* name) {
    char value[MAX_PATH * 2] = {};
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? value : "";
}

std::string KnownFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string InstallFolder() { return KnownFolder(CSIDL_PROGRAM_FILES) + "\\Lumetra"; }
std::string InstalledExe() { return InstallFolder() + "\\Lumetra.exe"; }
std::string StartMenuShortcut() { return KnownFolder(CSIDL_COMMON_PROGRAMS) + "\\Lumetra.lnk"; }
// A file of the user's own in the install folder (a skin of one's own, say): never the uninstaller's.
std::string UserFileInInstallFolder() { return InstallFolder() + "\\My skin\\Mine.ini"; }
// Where the program records by default.
std::string DefaultRecording() { return "C:\\__temp__.avi"; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

unsigned long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return data.nFileSizeLow | static_cast<unsigned long long>(data.nFileSizeHigh) << 32;
}

// The first bytes of a file (at most 4 KB).
std::string ReadFileStart(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        text.assign(buffer, std::fread(buffer, 1, sizeof buffer, f));
        std::fclose(f);
    }
    return text;
}

std::vector<std::string> FileNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

unsigned long long FolderBytes(const std::string& folder) {
    unsigned long long total = 0;
    for (const std::string& name : FileNamesIn(folder)) {
        std::string path = folder + "\\" + name;
        total += (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) ? FolderBytes(path) : FileSize(path);
    }
    return total;
}

// Every file the setup writes, as paths below the install folder (the skin as the sources have it).
std::vector<std::string> InstalledFiles(bool withSimulatedDevices) {
    std::vector<std::string> files = {"Lumetra.exe", "skins.ini", "Uninstall.exe", "Licences\\Default-skin.txt",
                                      "Licences\\DejaVu-fonts.txt"};
    for (const std::string& name : FileNamesIn(Environment("LUMETRA_SKIN_SOURCE") + "\\Default"))
        files.push_back("Default\\" + name);
    if (withSimulatedDevices) files.push_back("lumetra_simdev.dll");
    return files;
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::optional<std::string> ReadRegistryString(HKEY root, const std::string& path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    char value[1024] = {};
    DWORD size = sizeof value - 1, type = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::string(value);
}

std::string VersionString(const std::vector<char>& info, const char* name) {
    char* text = nullptr;
    UINT length = 0;
    std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return "";
    return text;
}

std::vector<char> VersionInfo(const std::string& path) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> info(size);
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, info.data())) info.clear();
    return info;
}

std::string ManifestOf(const std::string& exe) {
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return "";
    std::string text;
    if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        if (HGLOBAL loaded = LoadResource(module, found))
            text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

struct Shortcut {
    std::string target, workingFolder;
};

std::optional<Shortcut> ResolveShortcut(const std::string& lnk) {
    CoInitialize(nullptr);
    std::optional<Shortcut> result;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t wide[MAX_PATH] = {};
            MultiByteToWideChar(CP_ACP, 0, lnk.c_str(), -1, wide, MAX_PATH);
            if (SUCCEEDED(file->Load(wide, STGM_READ))) {
                char target[MAX_PATH] = {}, folder[MAX_PATH] = {};
                link->GetPath(target, MAX_PATH, nullptr, 0);
                link->GetWorkingDirectory(folder, MAX_PATH);
                result = Shortcut{target, folder};
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return result;
}

// The skin's video screen on the screen, from the default skin's main view.
RECT VideoScreen(HWND main) {
    char value[64] = {};
    GetPrivateProfileStringA("SCREENINFO", "Screen", "", value, sizeof value,
                             (Environment("LUMETRA_SKIN_SOURCE") + "\\Default\\Full.ini").c_str());
    int x = 0, y = 0, w = 0, h = 0;
    sscanf(value, "%d , %d , %d , %d", &x, &y, &w, &h);
    POINT origin{0, 0};
    ClientToScreen(main, &origin);
    return RECT{origin.x + x, origin.y + y, origin.x + x + w, origin.y + y + h};
}

// The simulated device's colour bars on the skin's video screen, in a picture that moves. The
// screenshot, when one is asked for, shows the whole window with the bars.
void ExpectLiveColourBars(HWND main, const std::string& screenshot = "") {
    RECT video = VideoScreen(main);
    ScreenArea first;
    ASSERT_TRUE(WaitFor(15000, [&] { return ShowsColourBars(first = CaptureScreen(video), video); }))
        << "no colour bars on the video screen";
    EXPECT_TRUE(WaitFor(5000, [&] {
        ScreenArea now = CaptureScreen(video);
        return ShowsColourBars(now, video) && now.pixels != first.pixels;
    })) << "the picture does not move";
    if (screenshot.empty()) return;
    RECT window;
    GetWindowRect(main, &window);
    ScreenArea shot;
    EXPECT_TRUE(CaptureSettledPicture(window, video, 10000, shot)) << "no settled picture of the window";
    SaveArea(shot, screenshot);
}

// ------------------------------------------------------------------------------ after install

TEST(Installed, ProgramSkinAndLicencesAreInProgramFiles) {
    for (const std::string& file : InstalledFiles(true))
        EXPECT_TRUE(Exists(InstallFolder() + "\\" + file)) << file << " is not installed";
    std::string source = Environment("LUMETRA_SKIN_SOURCE");
    ASSERT_FALSE(FileNamesIn(source + "\\Default").empty()) << "no skin sources at " << source;
    for (const std::string& name : FileNamesIn(source + "\\Default"))
        EXPECT_EQ(FileSize(InstallFolder() + "\\Default\\" + name), FileSize(source + "\\Default\\" + name)) << name;
}

TEST(Installed, ProgramCarriesTheBuildVersion) {
    std::vector<char> info = VersionInfo(InstalledExe());
    ASSERT_FALSE(info.empty()) << "no version resource in " << InstalledExe();
    EXPECT_EQ(VersionString(info, "ProductVersion"), LUMETRA_VERSION_TEXT);
    EXPECT_EQ(VersionString(info, "FileVersion"), LUMETRA_VERSION_TEXT);
    EXPECT_EQ(VersionString(info, "ProductName"), "Lumetra");
    EXPECT_EQ(VersionString(info, "CompanyName"), LUMETRA_PUBLISHER);
    EXPECT_EQ(VersionString(info, "LegalCopyright"), LUMETRA_COPYRIGHT);
    EXPECT_FALSE(VersionString(info, "FileDescription").empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed);
    EXPECT_EQ(fixed->dwProductVersionMS, static_cast<DWORD>(MAKELONG(LUMETRA_VERSION_MINOR, LUMETRA_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwProductVersionLS, static_cast<DWORD>(MAKELONG(0, LUMETRA_VERSION_PATCH)));
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
}

TEST(Installed, SetupIsNamedAfterTheVersionAndAsksForAnAdministrator) {
    std::string setup = Environment("LUMETRA_SETUP");
    EXPECT_NE(setup.find("Lumetra-" LUMETRA_VERSION_TEXT "-setup.exe"), std::string::npos) << setup;
    for (const std::string& exe : {setup, InstallFolder() + "\\Uninstall.exe"}) {
        std::string manifest = ManifestOf(exe);
        EXPECT_NE(manifest.find("requireAdministrator"), std::string::npos) << exe << ": " << manifest;
    }
}

TEST(Installed, AddRemoveProgramsEntryNamesVersionPublisherAndSize) {
    ASSERT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName").value_or(""), "Lumetra");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion").value_or(""), LUMETRA_VERSION_TEXT);
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher").value_or(""), LUMETRA_PUBLISHER);
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation").value_or(""), InstallFolder());
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").value_or(""),
              "\"" + InstallFolder() + "\\Uninstall.exe\"");
    // Kilobytes of what the setup wrote (the install folder holds nothing else yet).
    unsigned long long kilobytes = FolderBytes(InstallFolder()) / 1024;
    ASSERT_GT(kilobytes, 1000u);
    auto size = ReadRegistryDword(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize");
    ASSERT_TRUE(size.has_value()) << "no EstimatedSize";
    EXPECT_NEAR(static_cast<double>(*size), static_cast<double>(kilobytes), kilobytes / 100.0 + 4);
}

TEST(Installed, StartMenuEntryStartsTheProgramInItsFolder) {
    auto shortcut = ResolveShortcut(StartMenuShortcut());
    ASSERT_TRUE(shortcut.has_value()) << "no Start menu entry " << StartMenuShortcut();
    EXPECT_EQ(lstrcmpiA(shortcut->target.c_str(), InstalledExe().c_str()), 0) << shortcut->target;
    EXPECT_EQ(lstrcmpiA(shortcut->workingFolder.c_str(), InstallFolder().c_str()), 0) << shortcut->workingFolder;
}

TEST(Installed, SimulatedDevicesAreRegisteredFromTheInstallFolder) {
    for (const char* clsid : {kSimulatedVideoClass, kSimulatedAudioClass}) {
        auto server = ReadRegistryString(HKEY_CLASSES_ROOT, std::string(clsid) + "\\InprocServer32", nullptr);
        ASSERT_TRUE(server.has_value()) << clsid << " is not registered";
        EXPECT_EQ(lstrcmpiA(server->c_str(), (InstallFolder() + "\\lumetra_simdev.dll").c_str()), 0) << *server;
    }
}

// The user starts the program from the Start menu: the default skin comes up with the simulated device's
// live picture, a recording is made, and the program ends with Esc, storing its settings.
TEST(Installed, ProgramFromTheStartMenuShowsLiveVideoAndRecords) {
    auto shortcut = ResolveShortcut(StartMenuShortcut());
    ASSERT_TRUE(shortcut.has_value());
    DeleteFileA(DefaultRecording().c_str());
    Program program(shortcut->target, shortcut->workingFolder);
    ASSERT_TRUE(program.Start());
    HWND main = program.WaitForMainWindow(kStartMs);
    ASSERT_NE(main, nullptr) << "no main window titled " << MainWindowTitle();
    ExpectNoBoxes(program);
    ASSERT_NE(FindChildByText(main, "BUTTON_VIDCAP"), nullptr) << "the default skin did not load";

    ExpectLiveColourBars(main, Environment("LUMETRA_SCREENSHOT"));

    program.Click(FindChildByText(main, "BUTTON_VIDCAP"), 5, 5);
    EXPECT_TRUE(WaitFor(15000, [&] { return FindChildByPrefix(main, "REC 00:02") != nullptr; })) << "no recording";
    program.Click(FindChildByText(main, "BUTTON_VIDSTOP"), 5, 5);
    EXPECT_TRUE(WaitFor(10000, [&] { return FindChildByText(main, "MONITOR") != nullptr; }));
    EXPECT_GT(FileSize(DefaultRecording()), 100000u);

    ExpectNoBoxes(program);
    program.PressKey(main, VK_ESCAPE);
    ASSERT_TRUE(program.WaitForExit(kExitMs).has_value()) << "the program did not end on Esc";
    EXPECT_TRUE(ReadRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKey, "StreamFormat").has_value()) << "no settings stored";

    // A file of the user's own inside the install folder.
    CreateDirectoryA((InstallFolder() + "\\My skin").c_str(), nullptr);
    FILE* f = std::fopen(UserFileInInstallFolder().c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs(kUserFileContent, f);
    std::fclose(f);
}

// -------------------------------------------------------------------------------- uninstall

// Runs the uninstaller named in Add/Remove Programs silently and waits for it: from a copy in the
// temporary folder, with _?= naming the install folder, as NSIS documents for waiting on it.
void RunUninstaller(const std::string& options) {
    auto command = ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
    ASSERT_TRUE(command.has_value()) << "no uninstaller registered";
    std::string uninstaller = command->substr(1, command->size() - 2);  // without its quotes
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string copy = std::string(temp) + "lumetra-uninstall.exe";
    ASSERT_TRUE(CopyFileA(uninstaller.c_str(), copy.c_str(), FALSE)) << uninstaller;
    std::string commandLine = "\"" + copy + "\" /S " + options + " _?=" + InstallFolder();
    STARTUPINFOA si{sizeof si};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(copy.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    bool ended = WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0;
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    if (!ended) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DeleteFileA(copy.c_str());
    ASSERT_TRUE(ended) << "the uninstaller did not end";
    EXPECT_EQ(code, 0u);
}

TEST(Uninstall, KeepingTheSettings) { RunUninstaller(""); }
TEST(Uninstall, RemovingTheSettings) { RunUninstaller("/REMOVESETTINGS"); }

void ExpectNothingInstalledRemains() {
    for (const std::string& file : InstalledFiles(true))
        EXPECT_FALSE(Exists(InstallFolder() + "\\" + file)) << file << " is left behind";
    EXPECT_FALSE(Exists(InstallFolder() + "\\Default"));
    EXPECT_FALSE(Exists(InstallFolder() + "\\Licences"));
    EXPECT_FALSE(Exists(StartMenuShortcut()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << "the Add/Remove Programs entry is left behind";
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kSimulatedVideoClass)) << "the simulated video device is still registered";
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kSimulatedAudioClass)) << "the simulated audio device is still registered";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\LumetraSim"));
}

void ExpectUserFilesUntouched() {
    EXPECT_EQ(ReadFileStart(UserFileInInstallFolder()), kUserFileContent);
    EXPECT_EQ(FileNamesIn(InstallFolder()), std::vector<std::string>{"My skin"});
    EXPECT_EQ(ReadFileStart(DefaultRecording()).substr(0, 4), "RIFF") << "the recording is gone";
}

TEST(Uninstalled, NothingTheSetupWroteRemains) { ExpectNothingInstalledRemains(); }

TEST(Uninstalled, UserFilesAndSettingsStay) {
    ExpectUserFilesUntouched();
    EXPECT_TRUE(ReadRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKey, "StreamFormat").has_value());
}

// ------------------------------------------------------------------------------ second round

TEST(DefaultInstall, SimulatedDevicesAreLeftOut) {
    for (const std::string& file : InstalledFiles(false))
        EXPECT_TRUE(Exists(InstallFolder() + "\\" + file)) << file << " is not installed";
    EXPECT_FALSE(Exists(InstallFolder() + "\\lumetra_simdev.dll"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kSimulatedVideoClass));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    // Settings as an account without write access to the machine-wide key keeps them, for the next uninstall.
    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kSettingsKey, "StreamFormat", 4));
}

TEST(SettingsRemoved, SettingsGoAndUserFilesStay) {
    ExpectNothingInstalledRemains();
    ExpectUserFilesUntouched();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey)) << "the settings are left behind";
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
}

// ---------------------------------------------------------------------------------- launcher

// linux/lumetra-wine started the built program in this prefix with --simulated: the default skin,
// the simulated device's live picture through the stand-ins it registered, and Esc ends it.
TEST(Launcher, StartsTheBuiltProgramWithTheSimulatedDevice) {
    HWND main = nullptr;
    ASSERT_TRUE(WaitFor(kStartMs, [&] {
        main = FindWindowA(nullptr, MainWindowTitle().c_str());
        return main && IsWindowVisible(main);
    })) << "no window titled " << MainWindowTitle();
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            DWORD owner = 0;
            char cls[16] = {}, text[256] = {};
            GetWindowThreadProcessId(hwnd, &owner);
            GetClassNameA(hwnd, cls, sizeof cls);
            bool messageBox = std::string(cls) == "#32770" && GetDlgItem(hwnd, 0xFFFF) != nullptr;
            if (owner == static_cast<DWORD>(lp) && IsWindowVisible(hwnd) && messageBox) {
                GetWindowTextA(hwnd, text, sizeof text);
                ADD_FAILURE() << "unexpected box: [" << text << "]";
            }
            return TRUE;
        },
        static_cast<LPARAM>(pid));
    EXPECT_NE(FindChildByText(main, "BUTTON_VIDCAP"), nullptr) << "the default skin did not load";
    ExpectLiveColourBars(main);
    PostMessageA(main, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(main, WM_KEYUP, VK_ESCAPE, 1u | (3u << 30));
    EXPECT_TRUE(WaitFor(kExitMs, [&] { return !IsWindow(main); })) << "the program did not end on Esc";
}

}  // namespace
}  // namespace lumetra::e2e
