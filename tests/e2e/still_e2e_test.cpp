// Snapshots driven from outside through the default skin: the camera button, the pop-up and its
// menu (rename, delete), the Esc order, the still settings across a restart and "Open folder".
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/processes.h"
#include "tests/e2e/test_skin.h"

namespace lumetra::e2e {
namespace {

constexpr DWORD kStartMs = 20000;
constexpr DWORD kExitMs = 20000;
constexpr DWORD kWaitMs = 10000;
const char kOrvex[] = "SOFTWARE\\Orvex";
const char kStill[] = "SOFTWARE\\Orvex\\Still";
// The test prefix's Still Image service reports a launch by this device's button when asked here.
const char kStiStandIn[] = "Software\\Lumetra\\WineStandins\\Sti";
const char kSimulator[] = "Software\\LumetraSim";
const uint64_t kPictureBytes = 54 + 640 * 480 * 3;

// Still settings dialog controls.
constexpr int kUniqueNames = 1099, kPopup = 1117, kShutter = 1118, kOpenFolder = 1147, kStartupSnapshot = 1274;
constexpr int kRenameEdit = 1185;
// Items of the pop-up's menu below its heading (the separator is skipped by the arrow keys).
constexpr int kMenuOpenFolder = 1, kMenuDelete = 2, kMenuRename = 3;

bool Checked(HWND dialog, int id) {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    return state == BST_CHECKED;
}
void Press(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// The .bmp files of a folder.
std::set<std::string> Pictures(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*.bmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.insert(found.cFileName); while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

class Snapshot : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex);
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kStiStandIn);
    }
    void TearDown() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex);
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kStiStandIn);
        WriteRegistryDword(HKEY_LOCAL_MACHINE, kSimulator, "DropFrames", 0);
        WriteRegistryDword(HKEY_LOCAL_MACHINE, kSimulator, "Button", 0);
        WriteRegistryDword(HKEY_LOCAL_MACHINE, kSimulator, "ButtonSticky", 0);
    }

    // Snapshots go to a folder of the program's own; the file is overwritten unless told otherwise.
    void PrepareSnapshots(Program& program) {
        shots_ = program.Folder() + "\\shots";
        CreateDirectoryA(shots_.c_str(), nullptr);
        file_ = shots_ + "\\shot.bmp";
        WriteRegistryText(HKEY_LOCAL_MACHINE, kStill, "FileName", file_);
        ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kStill, "FileOverwrite", 1));
        ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kStill, "UseShutterSound", 0));
    }
    // Takes a snapshot with the camera button; the pop-up titled with the file's name, or null.
    HWND SnapshotToPopUp(Program& program, HWND main, const std::string& name) {
        ClickElement(program, main, "BUTTON_SNAPSHOT");
        EXPECT_TRUE(WaitFor(kWaitMs, [&] { return FileSize(shots_ + "\\" + name) == kPictureBytes; })) << name;
        return program.WaitForWindowTitled(name, kWaitMs);
    }
    // Opens the pop-up's menu with the right button and chooses an item with the arrow keys.
    void ChooseFromMenu(Program& program, HWND popup, int item) {
        PostMessageA(popup, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 30));
        PostMessageA(popup, WM_RBUTTONUP, 0, MAKELPARAM(30, 30));
        HWND menu = program.WaitForWindow(kWaitMs, [](HWND hwnd) { return ClassOf(hwnd) == "#32768"; });
        ASSERT_NE(menu, nullptr) << "no menu";
        for (int i = 0; i <= item; ++i) program.PressKey(popup, VK_DOWN);
        program.PressKey(popup, VK_RETURN);
        EXPECT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindowVisible(menu); })) << "the menu stayed open";
    }
    HWND WaitForDialog(Program& program, const std::string& title) {
        return program.WaitForWindowTitled(title, kWaitMs);
    }

    std::string shots_, file_;
};

TEST_F(Snapshot, CameraButtonWritesTheFileAndShowsThePopUpAtTheTopRight) {
    Program program("still-camera");
    PrepareSnapshots(program);
    HWND main = StartWithDefaultSkin(program, kStartMs);
    ASSERT_NE(main, nullptr);
    HWND popup = SnapshotToPopUp(program, main, "shot.bmp");
    ASSERT_NE(popup, nullptr) << "no pop-up";
    RECT client{}, outer{};
    GetClientRect(popup, &client);
    GetWindowRect(popup, &outer);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_EQ(outer.top, 2);
    EXPECT_EQ(outer.right, GetSystemMetrics(SM_CXSCREEN) - 2);
    // The first Esc closes the pop-up, the program goes on; the second ends it.
    program.PressKey(main, VK_ESCAPE);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return IsWindow(popup) && !IsWindowVisible(popup); }))
        << "Esc did not just hide the pop-up";
    EXPECT_FALSE(program.WaitForExit(1000).has_value()) << "Esc ended the program under the pop-up";
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Snapshot, RenameAndDeleteFromThePopUpsMenu) {
    Program program("still-menu");
    PrepareSnapshots(program);
    HWND main = StartWithDefaultSkin(program, kStartMs);
    ASSERT_NE(main, nullptr);
    HWND popup = SnapshotToPopUp(program, main, "shot.bmp");
    ASSERT_NE(popup, nullptr);

    // A name the file system refuses: "Invalid Filename", then the dialog again with the old name.
    ChooseFromMenu(program, popup, kMenuRename);
    HWND rename = WaitForDialog(program, "Rename  Image File");
    ASSERT_NE(rename, nullptr) << "no rename dialog";
    EXPECT_EQ(TextOf(GetDlgItem(rename, kRenameEdit)), "shot.bmp");
    SendMessageA(GetDlgItem(rename, kRenameEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("bad?name.bmp"));
    Press(rename, IDOK);
    auto box = program.WaitForMessageBox(kWaitMs);
    ASSERT_TRUE(box.has_value()) << "the refused name was not reported";
    EXPECT_EQ(box->caption, "Error");
    EXPECT_EQ(box->text, "Invalid Filename");
    program.Answer(*box, IDOK);
    rename = WaitForDialog(program, "Rename  Image File");
    ASSERT_NE(rename, nullptr) << "no second attempt";
    EXPECT_EQ(TextOf(GetDlgItem(rename, kRenameEdit)), "shot.bmp");
    SendMessageA(GetDlgItem(rename, kRenameEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("renamed.bmp"));
    Press(rename, IDOK);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return TextOf(popup) == "renamed.bmp"; })) << TextOf(popup);
    EXPECT_FALSE(FileExists(file_));
    EXPECT_EQ(FileSize(shots_ + "\\renamed.bmp"), kPictureBytes);

    // Delete asks first; Yes removes the file and hides the window.
    ChooseFromMenu(program, popup, kMenuDelete);
    box = program.WaitForMessageBox(kWaitMs);
    ASSERT_TRUE(box.has_value()) << "no question before deleting";
    EXPECT_EQ(box->caption, "Deleting renamed.bmp");
    EXPECT_EQ(box->text, "Are you sure you want to delete this file?");
    program.Answer(*box, IDYES);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindowVisible(popup); }));
    EXPECT_FALSE(FileExists(shots_ + "\\renamed.bmp"));

    // The next snapshot shows it again.
    EXPECT_EQ(SnapshotToPopUp(program, main, "shot.bmp"), popup);
    EXPECT_TRUE(IsWindowVisible(popup));
    program.PressKey(main, VK_ESCAPE);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindowVisible(popup); }));
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Snapshot, SettingsPersistAcrossARestartAndOpenFolderShowsTheFolder) {
    Program program("still-settings");
    PrepareSnapshots(program);
    {
        HWND main = StartWithDefaultSkin(program, kStartMs);
        ASSERT_NE(main, nullptr);
        ClickElement(program, main, "BUTTON_SNAP_FILE");
        HWND dialog = WaitForDialog(program, "STILL IMAGE CAPTURE SETTINGS");
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(TextOf(GetDlgItem(dialog, 1096)), file_);
        Press(dialog, kUniqueNames);
        Press(dialog, kPopup);
        Press(dialog, kStartupSnapshot);
        Press(dialog, IDOK);
        ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(dialog); }));
        EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kStill, "FileOverwrite"), 0u);
        EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kStill, "UsePopupWindow"), 0u);
        EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kStill, "StiSnapshot"), 1u);
        EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kStill, "UseShutterSound"), 0u);

        // Unique names now, and no pop-up.
        ClickElement(program, main, "BUTTON_SNAPSHOT");
        std::string written;
        EXPECT_TRUE(WaitFor(kWaitMs, [&] {
            for (const std::string& name : Pictures(shots_))
                if (name.rfind("shot_", 0) == 0 && FileSize(shots_ + "\\" + name) == kPictureBytes) written = name;
            return !written.empty();
        })) << "no uniquely named snapshot";
        EXPECT_EQ(program.WaitForWindowTitled(written, 500), nullptr) << "a pop-up came up";
        EndWithEscape(program, main, kExitMs);
    }
    Program again("still-settings-again");
    ASSERT_TRUE(program.WaitForExit(0).has_value());
    HWND main = StartWithDefaultSkin(again, kStartMs);
    ASSERT_NE(main, nullptr);
    ClickElement(again, main, "BUTTON_SNAPSHOT_SETUP");
    HWND dialog = WaitForDialog(again, "STILL IMAGE CAPTURE SETTINGS");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Checked(dialog, kUniqueNames));
    EXPECT_FALSE(Checked(dialog, kPopup));
    EXPECT_FALSE(Checked(dialog, kShutter));
    EXPECT_TRUE(Checked(dialog, kStartupSnapshot));

    // "Open folder": a new Explorer on the snapshots' folder.
    const std::set<DWORD> before = ExplorerProcesses();
    Press(dialog, kOpenFolder);
    DWORD started = 0;
    EXPECT_TRUE(WaitFor(kWaitMs, [&] {
        for (DWORD pid : ExplorerProcesses())
            if (!before.count(pid)) started = pid;
        return started != 0;
    })) << "no file manager started";
    if (started) {
        EXPECT_NE(CommandLineOf(started).find("/n, " + shots_), std::string::npos) << CommandLineOf(started);
        HANDLE explorer = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, started);
        if (explorer) {
            TerminateProcess(explorer, 0);
            WaitForSingleObject(explorer, 5000);
            CloseHandle(explorer);
        }
    }
    Press(dialog, IDCANCEL);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(dialog); }));
    EndWithEscape(again, main);
}

// Snapshots named uniquely and without the pop-up, taken at start-up when launched by the button.
void ChooseStartupSnapshots() {
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kStill, "StiSnapshot", 1));
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kStill, "FileOverwrite", 0));
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kStill, "UsePopupWindow", 0));
}

TEST_F(Snapshot, StartByTheDevicesButtonTakesOneSnapshot) {
    Program program("still-startup");
    PrepareSnapshots(program);
    ChooseStartupSnapshots();
    WriteRegistryText(HKEY_LOCAL_MACHINE, kStiStandIn, "LaunchDevice", "USB Vexa40 Video");
    // The first second and a half of frames never arrive: the snapshot has to wait for the picture.
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kSimulator, "DropFrames", 45));
    HWND main = StartWithDefaultSkin(program, kStartMs);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] {
        const std::set<std::string> pictures = Pictures(shots_);
        return pictures.size() == 1 && FileSize(shots_ + "\\" + *pictures.begin()) == kPictureBytes;
    })) << "no snapshot at start-up";
    EXPECT_FALSE(program.WaitForExit(1500).has_value());
    EXPECT_EQ(Pictures(shots_).size(), 1u) << "not exactly one snapshot";
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Snapshot, NormalStartTakesNoSnapshotEvenWithTheOptionSet) {
    Program program("still-normal-start");
    PrepareSnapshots(program);
    ChooseStartupSnapshots();
    HWND main = StartWithDefaultSkin(program, kStartMs);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(program.WaitForExit(2000).has_value());
    EXPECT_TRUE(Pictures(shots_).empty());
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Snapshot, TheDevicesButtonHeldDownTakesOneSnapshotAndANewPressAnother) {
    Program program("still-device-button");
    PrepareSnapshots(program);
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kStill, "FileOverwrite", 0));
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kStill, "UsePopupWindow", 0));
    // A device that keeps the bit set while the button is held down.
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kSimulator, "ButtonSticky", 1));
    HWND main = StartWithDefaultSkin(program, kStartMs);
    ASSERT_NE(main, nullptr);
    // The poll starts a second after start-up; give it time to see the button up first.
    EXPECT_FALSE(program.WaitForExit(1500).has_value());

    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kSimulator, "Button", 1));
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return Pictures(shots_).size() == 1; })) << "no snapshot for the press";
    // Held for a second (twenty polls): still one picture.
    EXPECT_FALSE(program.WaitForExit(1000).has_value());
    EXPECT_EQ(Pictures(shots_).size(), 1u) << "a held button took more than one snapshot";

    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kSimulator, "Button", 0));
    EXPECT_FALSE(program.WaitForExit(500).has_value());
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kSimulator, "Button", 1));
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return Pictures(shots_).size() == 2; })) << "no snapshot for a new press";
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kSimulator, "Button", 0));
    // The second file may still be being written when it first appears.
    for (const std::string& name : Pictures(shots_)) {
        EXPECT_TRUE(WaitFor(kWaitMs, [&] { return FileSize(shots_ + "\\" + name) == kPictureBytes; })) << name;
    }
    EndWithEscape(program, main, kExitMs);
}

}  // namespace
}  // namespace lumetra::e2e
