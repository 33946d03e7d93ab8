// The "STILL IMAGE CAPTURE SETTINGS" dialog driven as a user would, and its registry values.
#include "still/still_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "res/resource.h"
#include "tests/win/dialog_script.h"

namespace lumetra {
namespace {

using namespace lumetra::testing;

class TestStillSettings : public StillCaptureSettings {
public:
    int shutters = 0;
    std::vector<std::string> folders;

protected:
    void PlayShutter() override { ++shutters; }
    void OpenFolder(const std::string& folder) override { folders.push_back(folder); }
};

class StillSettingsDialog : public ::testing::Test {
protected:
    void SetUp() override { DeleteStillKey(); }
    void TearDown() override { DeleteStillKey(); }
    static void DeleteStillKey() {
        RegKey orvex = OpenSettingsKey();
        if (orvex) RegDeleteKeyA(orvex.Get(), "Still");
    }
    static int StoredDword(const char* name) {
        RegKey key = OpenSettingsKey("Still");
        int value = -12345;
        ReadDword(key.Get(), name, value);
        return value;
    }
    static std::string StoredText(const char* name) {
        RegKey key = OpenSettingsKey("Still");
        std::string value = "(missing)";
        ReadString(key.Get(), name, value);
        return value;
    }
    // The value names of the key, sorted (Wine enumerates them by name, not in the written order).
    static std::vector<std::string> StoredNames() {
        RegKey key = OpenSettingsKey("Still");
        std::vector<std::string> names;
        char name[64];
        for (DWORD i = 0;; ++i) {
            DWORD size = sizeof name;
            if (RegEnumValueA(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TestStillSettings settings_;
    DialogScript script_;
};

TEST_F(StillSettingsDialog, OpensWithTheDefaults) {
    script_.Do([](HWND dialog) {
        EXPECT_EQ(TextOf(dialog), "STILL IMAGE CAPTURE SETTINGS");
        EXPECT_EQ(ItemText(dialog, IDC_VCS_FILENAME), "C:\\__temp__.bmp");
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, IDC_VCS_FILENAME), GWL_STYLE) & ES_READONLY);
        EXPECT_EQ(ItemText(dialog, IDC_VCS_APPEND), "Generate unique filenames ");
        EXPECT_EQ(ItemText(dialog, IDC_VCS_OVERWRITE), "Overwrite file with each new image captured");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_VCS_APPEND), BST_UNCHECKED);  // no choice yet
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_VCS_OVERWRITE), BST_UNCHECKED);
        EXPECT_EQ(ItemText(dialog, IDC_SCS_POPUP), "Show captured still image in a pop-up window");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SCS_POPUP), BST_CHECKED);
        EXPECT_EQ(ItemText(dialog, IDC_SCS_SHUTTER), "Use camera-shutter sound effect when taking snapshot");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SCS_SHUTTER), BST_CHECKED);
        EXPECT_EQ(ItemText(dialog, IDC_SCS_STI_SNAPSHOT), "Capture image on startup if invoked by snapshot button");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SCS_STI_SNAPSHOT), BST_UNCHECKED);
        EXPECT_EQ(ItemText(dialog, IDC_SCS_OPEN_FOLDER), "Open folder");
        EXPECT_EQ(ItemText(dialog, IDC_VCS_BROWSE), "...");
        EXPECT_EQ(ItemText(dialog, IDC_SCS_EFFECTS_GROUP), "Still image capture effects");
        EXPECT_EQ(ItemText(dialog, IDC_SCS_STARTUP_GROUP), "");
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(script_.Run(settings_), IDCANCEL);
    EXPECT_TRUE(settings_.UsePopupWindow());
    EXPECT_TRUE(settings_.UseShutterSound());
    EXPECT_FALSE(settings_.StiSnapshot());
    EXPECT_EQ(settings_.FileOverwrite(), CaptureSettingsBase::kOverwriteUnset);
    EXPECT_TRUE(StoredNames().empty());  // Cancel stores nothing
}

TEST_F(StillSettingsDialog, OkStoresEveryValue) {
    script_.Do([](HWND dialog) {
        Click(dialog, IDC_VCS_APPEND);
        Click(dialog, IDC_SCS_POPUP);
        Click(dialog, IDC_SCS_STI_SNAPSHOT);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(script_.Run(settings_), IDOK);
    EXPECT_EQ(settings_.FileOverwrite(), 0);
    EXPECT_FALSE(settings_.UsePopupWindow());
    EXPECT_TRUE(settings_.StiSnapshot());
    EXPECT_EQ(StoredNames(),
              (std::vector<std::string>{"FileName", "FileOverwrite", "StiSnapshot", "UsePopupWindow", "UseShutterSound"}));
    EXPECT_EQ(StoredDword("UsePopupWindow"), 0);
    EXPECT_EQ(StoredDword("UseShutterSound"), 1);
    EXPECT_EQ(StoredDword("StiSnapshot"), 1);
    EXPECT_EQ(StoredDword("FileOverwrite"), 0);
    EXPECT_EQ(StoredText("FileName"), "C:\\__temp__.bmp");

    // Read back by another owner; values that are missing leave the fields as they are.
    TestStillSettings loaded;
    loaded.Values().useShutterSound = 0;
    {
        RegKey key = OpenSettingsKey("Still");
        RegDeleteValueA(key.Get(), "UseShutterSound");
    }
    loaded.Load();
    EXPECT_FALSE(loaded.UsePopupWindow());
    EXPECT_FALSE(loaded.UseShutterSound());
    EXPECT_TRUE(loaded.StiSnapshot());
    EXPECT_EQ(loaded.FileOverwrite(), 0);
}

TEST_F(StillSettingsDialog, BrowsingChoosesABitmapFile) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder(temp, strlen(temp) - 1);  // without its closing backslash
    const char kTitle[] = "Select a bitmap file to overwrite or enter new filemname";
    script_.Do([](HWND dialog) { Click(dialog, IDC_VCS_BROWSE); })
        .ChooseFile(kTitle, folder + "\\shot")
        .Do([&](HWND dialog) {
            EXPECT_EQ(ItemText(dialog, IDC_VCS_FILENAME), folder + "\\shot.bmp");
            Click(dialog, IDC_VCS_BROWSE);
        })
        .ChooseFile(kTitle, folder + "\\shot.BMP")
        .Do([&](HWND dialog) {
            EXPECT_EQ(ItemText(dialog, IDC_VCS_FILENAME), folder + "\\shot.BMP");
            Click(dialog, IDC_SCS_OPEN_FOLDER);
            Click(dialog, IDOK);
        });
    EXPECT_EQ(script_.Run(settings_), IDOK);
    EXPECT_EQ(settings_.FileName(), folder + "\\shot.BMP");
    EXPECT_EQ(settings_.folders, std::vector<std::string>{folder});
    EXPECT_EQ(StoredText("FileName"), folder + "\\shot.BMP");
}

TEST_F(StillSettingsDialog, CancelForgetsABrowsedName) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    script_.Do([](HWND dialog) { Click(dialog, IDC_VCS_BROWSE); })
        .ChooseFile("Select a bitmap file to overwrite or enter new filemname", std::string(temp) + "other")
        .Do([](HWND dialog) {
            Click(dialog, IDC_SCS_SHUTTER);
            Click(dialog, IDCANCEL);
        });
    EXPECT_EQ(script_.Run(settings_), IDCANCEL);
    EXPECT_EQ(settings_.FileName(), "C:\\__temp__.bmp");
    EXPECT_TRUE(settings_.UseShutterSound());
    EXPECT_TRUE(StoredNames().empty());
}

TEST_F(StillSettingsDialog, CheckingTheShutterBoxPlaysIt) {
    script_.Do([this](HWND dialog) {
        Click(dialog, IDC_SCS_SHUTTER);  // unchecked: nothing plays
        EXPECT_EQ(settings_.shutters, 0);
        Click(dialog, IDC_SCS_SHUTTER);  // checked again: heard once
        EXPECT_EQ(settings_.shutters, 1);
        Click(dialog, IDC_SCS_POPUP);    // the pop-up box only changes its mark
        Click(dialog, IDOK);
    });
    EXPECT_EQ(script_.Run(settings_), IDOK);
    EXPECT_EQ(settings_.shutters, 1);
    EXPECT_TRUE(settings_.UseShutterSound());
}

}  // namespace
}  // namespace lumetra
