// The "VIDEO CAPTURE SETTINGS" dialog driven as a user would: it runs modally on the test's thread
// while a thread timer types into its controls, presses its buttons and answers the message boxes
// the script expects. Any other box fails the test; every wait is bounded by a number of ticks.
#include "media/capture_settings.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "framework/handles.h"
#include "res/resource.h"
#include "tests/win/dialog_script.h"

namespace lumetra {
namespace {

using namespace lumetra::testing;

constexpr uint64_t kMB = 1048576;

class FakeAllocator : public CaptureFileAllocator {
public:
    bool mpeg = false;
    int preset = 0;
    int propertyPagesShown = 0;
    std::vector<uint64_t> preallocations;

    bool HasMpegEncoder() const override { return mpeg; }
    bool PreallocateFile(uint64_t sizeBytes) override {
        preallocations.push_back(sizeBytes);
        return true;
    }
    void ShowEncoderProperties(HWND) override { ++propertyPagesShown; }
    bool ReadEncoderPreset(int& compType) override {
        compType = preset;
        return true;
    }
};

// The settings with the drive's free space chosen by the test.
class SettingsWithFakeDisk : public VideoCaptureSettings {
public:
    using VideoCaptureSettings::VideoCaptureSettings;
    uint64_t freeBytes = 1000 * kMB;
    mutable int freeSpaceQueries = 0;

protected:
    bool QueryFreeBytes(const std::string&, uint64_t& bytes) const override {
        ++freeSpaceQueries;
        bytes = freeBytes;
        return true;
    }
};


// ---- Fixture ----

const char kTooLarge[] = "Preallocated capture filesize should not excede 80% of available space on selected drive";
const char kAllocateNow[] = "Filename or Pre-allocate size changed. Do you want to allocate now?";

std::string ReallocateQuestion(const std::string& name, int megabytes) {
    return "Re-allocate video file \"" + name + "\" to " + std::to_string(megabytes) +
           " MBytes? (This will destroy current contents.)";
}

class VideoSettingsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteVideoKey();
        char folder[MAX_PATH] = {};
        GetTempPathA(sizeof folder, folder);
        captureFile_ = std::string(folder) + "lumetra_vcs_test.avi";
        DeleteFileA(captureFile_.c_str());
        settings_.SetFileName(captureFile_);
    }
    void TearDown() override {
        DeleteFileA(captureFile_.c_str());
        DeleteVideoKey();
    }
    static void DeleteVideoKey() {
        RegKey orvex = OpenSettingsKey();
        if (orvex) RegDeleteKeyA(orvex.Get(), "Video");
    }
    void WriteCaptureFile(const std::string& content, uint64_t length) {
        UniqueHandle file(CreateFileA(captureFile_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(length);
        SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN);
        SetEndOfFile(file.Get());
    }
    static int StoredDword(const char* name) {
        RegKey key = OpenSettingsKey("Video");
        int value = -12345;
        ReadDword(key.Get(), name, value);
        return value;
    }

    FakeAllocator allocator_;
    SettingsWithFakeDisk settings_{allocator_};
    std::string captureFile_;
    DialogScript script_;
};

// ---- Opening ----

TEST_F(VideoSettingsDialog, OpensWithItsValuesAndTheMeasuredSpace) {
    WriteCaptureFile("RIFF", 3 * kMB);
    settings_.freeBytes = 10 * kMB;
    settings_.Values().frameRate = 25;
    settings_.Values().timeUnits = kTimeUnitSeconds;
    script_.Do([&](HWND dialog) {
        EXPECT_EQ(TextOf(dialog), "VIDEO CAPTURE SETTINGS");
        EXPECT_EQ(ItemText(dialog, IDC_VCS_FILENAME), captureFile_);
        EXPECT_EQ(ItemText(dialog, IDC_VCS_FRAMERATE), "25");
        EXPECT_EQ(ItemText(dialog, IDC_VCS_TIMELIMIT), "1");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_VCS_SECONDS), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_VCS_CAPTURE_AUDIO), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_VCS_APPEND), BST_UNCHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_VCS_OVERWRITE), BST_UNCHECKED);
        // The existing capture file's 3 MB count as free: a recording overwrites them.
        EXPECT_EQ(ItemText(dialog, IDC_VCS_AVAILABLE), "13");
        EXPECT_EQ(ItemText(dialog, IDC_VCS_DRIVE), captureFile_.substr(0, 2));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(script_.Run(settings_), IDCANCEL);
    EXPECT_EQ(settings_.AvailableMB(), 13);
}

TEST_F(VideoSettingsDialog, NameWithoutDriveShowsNoSpace) {
    settings_.SetFileName("\\\\server\\share\\clip.avi");
    script_.Do([&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_VCS_AVAILABLE), "0");
        EXPECT_EQ(ItemText(dialog, IDC_VCS_DRIVE), "");
        Click(dialog, IDCANCEL);
    });
    script_.Run(settings_);
    EXPECT_EQ(settings_.freeSpaceQueries, 0);
}

// ---- Compression ----

TEST_F(VideoSettingsDialog, WithoutTheEncoderOnlyAviIsOffered) {
    settings_.Values().compIndex = 6;
    settings_.Values().compType = 7;
    script_.Do([&](HWND dialog) {
        HWND combo = GetDlgItem(dialog, IDC_VCS_COMPRESSION);
        EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 1);
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(TextOf(combo), "AVI (no compression)");
        EXPECT_FALSE(ItemEnabled(dialog, IDC_VCS_ENCODER_SETTINGS));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(script_.Run(settings_), IDOK);
    EXPECT_EQ(settings_.Values().compIndex, 0);
    EXPECT_EQ(settings_.Values().compType, 0);
    EXPECT_EQ(StoredDword("CompIndex"), 0);
    EXPECT_EQ(StoredDword("CompType"), 0);
}

TEST_F(VideoSettingsDialog, ChoosingAPresetFixesTheExtension) {
    allocator_.mpeg = true;
    settings_.SetFileName("C:\\clips\\show.MPG");
    script_.Do([&](HWND dialog) {
        HWND combo = GetDlgItem(dialog, IDC_VCS_COMPRESSION);
        EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 10);
        // Opening with AVI: the upper-case .MPG is removed whatever its case.
        EXPECT_EQ(ItemText(dialog, IDC_VCS_FILENAME), "C:\\clips\\show.avi");
        EXPECT_FALSE(ItemEnabled(dialog, IDC_VCS_ENCODER_SETTINGS));
        Choose(dialog, IDC_VCS_COMPRESSION, 6);
        EXPECT_EQ(TextOf(combo), "DVD-NTSC");
        EXPECT_EQ(ItemText(dialog, IDC_VCS_FILENAME), "C:\\clips\\show.mpg");
        EXPECT_TRUE(ItemEnabled(dialog, IDC_VCS_ENCODER_SETTINGS));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(script_.Run(settings_), IDOK);
    EXPECT_EQ(settings_.Values().compIndex, 6);
    EXPECT_EQ(settings_.Values().compType, 7);
    EXPECT_EQ(settings_.EffectiveCompression(), 7);
    EXPECT_EQ(settings_.CaptureFileName(), "C:\\clips\\show.mpg");
    EXPECT_EQ(StoredDword("CompIndex"), 6);
    EXPECT_EQ(StoredDword("CompType"), 7);
}

TEST_F(VideoSettingsDialog, UpperCaseMpegNameGetsASecondExtension) {
    allocator_.mpeg = true;
    settings_.Values().compIndex = 1;
    settings_.SetFileName("C:\\clips\\show.MPG");
    script_.Do([&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_VCS_FILENAME), "C:\\clips\\show.MPG.mpg");
        Choose(dialog, IDC_VCS_COMPRESSION, 0);
        EXPECT_EQ(ItemText(dialog, IDC_VCS_FILENAME), "C:\\clips\\show.MPG.avi");
        Click(dialog, IDCANCEL);
    });
    script_.Run(settings_);
}

TEST_F(VideoSettingsDialog, EncoderPagesChooseTheListEntry) {
    allocator_.mpeg = true;
    allocator_.preset = 9;
    settings_.Values().compIndex = 6;
    script_.Do([&](HWND dialog) {
        Click(dialog, IDC_VCS_ENCODER_SETTINGS);
        EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_VCS_COMPRESSION)), "SVCD-NTSC");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(script_.Run(settings_), IDOK);
    EXPECT_EQ(allocator_.propertyPagesShown, 1);
    EXPECT_EQ(settings_.Values().compIndex, 8);
    EXPECT_EQ(settings_.Values().compType, 9);
}

// ---- Enable rules and hints ----

TEST_F(VideoSettingsDialog, CheckBoxesEnableTheirFields) {
    script_.Do([&](HWND dialog) {
        for (int id : {IDC_VCS_TIMELIMIT, IDC_VCS_MINUTES, IDC_VCS_SECONDS, IDC_VCS_SIZELIMIT,
                       IDC_VCS_SIZELIMIT_LABEL, IDC_VCS_FRAMERATE, IDC_VCS_FRAMERATE_LABEL})
            EXPECT_FALSE(ItemEnabled(dialog, id)) << id;
        Click(dialog, IDC_VCS_USE_TIMELIMIT);
        EXPECT_TRUE(ItemEnabled(dialog, IDC_VCS_TIMELIMIT));
        EXPECT_TRUE(ItemEnabled(dialog, IDC_VCS_MINUTES));
        EXPECT_TRUE(ItemEnabled(dialog, IDC_VCS_SECONDS));
        EXPECT_FALSE(ItemEnabled(dialog, IDC_VCS_SIZELIMIT));
        Click(dialog, IDC_VCS_USE_SIZELIMIT);
        EXPECT_TRUE(ItemEnabled(dialog, IDC_VCS_SIZELIMIT));
        EXPECT_TRUE(ItemEnabled(dialog, IDC_VCS_SIZELIMIT_LABEL));
        EXPECT_FALSE(ItemEnabled(dialog, IDC_VCS_FRAMERATE));
        Click(dialog, IDC_VCS_USE_FRAMERATE);
        EXPECT_TRUE(ItemEnabled(dialog, IDC_VCS_FRAMERATE));
        EXPECT_TRUE(ItemEnabled(dialog, IDC_VCS_FRAMERATE_LABEL));
        Click(dialog, IDC_VCS_USE_TIMELIMIT);
        EXPECT_FALSE(ItemEnabled(dialog, IDC_VCS_TIMELIMIT));
        EXPECT_FALSE(ItemEnabled(dialog, IDC_VCS_MINUTES));
        Type(dialog, IDC_VCS_SIZELIMIT, "650");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(script_.Run(settings_), IDOK);
    EXPECT_FALSE(settings_.UseTimeLimit());
    EXPECT_EQ(settings_.Values().useSizeLimit, 1);
    EXPECT_EQ(settings_.Values().sizeLimit, 650);
    EXPECT_EQ(settings_.Values().useFrameRate, 1);
    EXPECT_EQ(StoredDword("UseSizeLimit"), 1);
    EXPECT_EQ(StoredDword("SizeLimit"), 650);
}

TEST_F(VideoSettingsDialog, FirstMouseMovementCreatesTheHints) {
    script_.Do([&](HWND dialog) {
        EXPECT_EQ(FindOwnedWindow(dialog, TOOLTIPS_CLASSA), nullptr);
        SendMessageA(dialog, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        HWND hints = FindOwnedWindow(dialog, TOOLTIPS_CLASSA);
        ASSERT_NE(hints, nullptr);
        EXPECT_EQ(SendMessageA(hints, TTM_GETTOOLCOUNT, 0, 0), 3);
        auto hintOf = [&](int id) {
            // Read as UTF-16: the ANSI message returns at most 80 characters under Wine.
            wchar_t text[256] = {};
            TOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.hwnd = dialog;
            tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, id));
            tool.lpszText = text;
            SendMessageW(hints, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
            char ansi[256] = {};
            WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
            return std::string(ansi);
        };
        const std::string limits =
            "If neither size not time limit is selected video capture will continue until [Stop] is clicked or "
            "disk full";
        EXPECT_EQ(hintOf(IDC_VCS_USE_FRAMERATE), "If not selected maximum possible framerate will be used");
        EXPECT_EQ(hintOf(IDC_VCS_USE_TIMELIMIT), limits);
        EXPECT_EQ(hintOf(IDC_VCS_USE_SIZELIMIT), limits);
        // Later movements keep the one hint window.
        SendMessageA(dialog, WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
        EXPECT_EQ(FindOwnedWindow(dialog, TOOLTIPS_CLASSA, {hints}), nullptr);
        Click(dialog, IDCANCEL);
    });
    script_.Run(settings_);
}

// ---- Preallocation ----

TEST_F(VideoSettingsDialog, PreallocationAboveEightyPercentIsLowered) {
    settings_.freeBytes = 1000 * kMB;
    script_
        .Do([&](HWND dialog) {
            EXPECT_EQ(ItemText(dialog, IDC_VCS_AVAILABLE), "1000");
            Type(dialog, IDC_VCS_PREALLOCATE, "900");
            EXPECT_EQ(ItemText(dialog, IDC_VCS_PREALLOCATE), "800");
            Type(dialog, IDC_VCS_PREALLOCATE, "800");  // at the limit: no message
            Click(dialog, IDOK);
        })
        .Answer({"Error", kTooLarge, false, IDOK})
        .Answer({"Warning", kAllocateNow, true, IDNO});
    EXPECT_EQ(script_.Run(settings_), IDOK);
    EXPECT_EQ(settings_.Values().preallocate, 800);
    EXPECT_EQ(StoredDword("Preallocate"), 800);
    EXPECT_TRUE(allocator_.preallocations.empty());
}

TEST_F(VideoSettingsDialog, CancelKeepsTheOpeningValuesAndStoresNothing) {
    script_
        .Do([&](HWND dialog) {
            Type(dialog, IDC_VCS_PREALLOCATE, "900");
            Click(dialog, IDC_VCS_USE_TIMELIMIT);
            Click(dialog, IDCANCEL);
        })
        .Answer({"Error", kTooLarge, false, IDOK});
    EXPECT_EQ(script_.Run(settings_), IDCANCEL);
    EXPECT_EQ(settings_.Values().preallocate, 0);
    EXPECT_FALSE(settings_.UseTimeLimit());
    EXPECT_EQ(StoredDword("Preallocate"), -12345);  // not stored
}

TEST_F(VideoSettingsDialog, OkOffersToAllocateAPendingPreallocation) {
    settings_.Values().preallocate = 10;
    script_.Do([](HWND dialog) { Click(dialog, IDOK); }).Answer({"Warning", kAllocateNow, true, IDYES});
    EXPECT_EQ(script_.Run(settings_), IDOK);
    EXPECT_EQ(allocator_.preallocations, std::vector<uint64_t>{10 * kMB});
    EXPECT_EQ(StoredDword("Preallocate"), 10);
}

TEST_F(VideoSettingsDialog, OkWithoutPreallocationAsksNothing) {
    script_.Do([](HWND dialog) { Click(dialog, IDOK); });
    EXPECT_EQ(script_.Run(settings_), IDOK);
    EXPECT_TRUE(allocator_.preallocations.empty());
}

TEST_F(VideoSettingsDialog, AllocatingOverARecordingAsksFirst) {
    WriteCaptureFile("RIFF....AVI LIST", 16);
    settings_.Values().preallocate = 12;
    const std::string question = ReallocateQuestion(captureFile_, 12);
    script_.Do([](HWND dialog) { Click(dialog, IDC_VCS_ALLOCATE); })
        .Answer({"Warning", question, true, IDNO})
        .Do([this](HWND dialog) {
            EXPECT_TRUE(allocator_.preallocations.empty());
            Click(dialog, IDC_VCS_ALLOCATE);
        })
        .Answer({"Warning", question, true, IDYES})
        .Do([](HWND dialog) { Click(dialog, IDOK); });  // allocated: OK asks nothing more
    EXPECT_EQ(script_.Run(settings_), IDOK);
    EXPECT_EQ(allocator_.preallocations, std::vector<uint64_t>{12 * kMB});
}

TEST_F(VideoSettingsDialog, AllocatingOverAnotherFileAsksNothing) {
    WriteCaptureFile("JUNK data", 9);
    settings_.Values().preallocate = 5;
    script_.Do([](HWND dialog) {
        Click(dialog, IDC_VCS_ALLOCATE);
        Click(dialog, IDCANCEL);
    });
    script_.Run(settings_);
    EXPECT_EQ(allocator_.preallocations, std::vector<uint64_t>{5 * kMB});
}

TEST_F(VideoSettingsDialog, FileInUseCannotBeAllocated) {
    WriteCaptureFile("RIFF", 4);
    UniqueHandle held(CreateFileA(captureFile_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    settings_.Values().preallocate = 5;
    script_.Do([](HWND dialog) { Click(dialog, IDC_VCS_ALLOCATE); })
        .Answer({"Error", "File \"" + captureFile_ + "\" cannot be allocated for capture....\n  May be in use.", false,
                 IDOK})
        .Do([](HWND dialog) { Click(dialog, IDCANCEL); });
    script_.Run(settings_);
    EXPECT_TRUE(allocator_.preallocations.empty());
}

TEST_F(VideoSettingsDialog, BrowsingToAnotherFileNeedsANewAllocation) {
    const std::string picked = captureFile_.substr(0, captureFile_.rfind('\\') + 1) + "lumetra_vcs_picked";
    settings_.Values().preallocate = 5;
    script_
        .Do([](HWND dialog) {
            Click(dialog, IDC_VCS_ALLOCATE);
            Click(dialog, IDC_VCS_BROWSE);
        })
        .ChooseFile("Select a video file to overwrite or enter new filemname \nif not specified '.avi' will be added",
                    picked)
        .Do([&](HWND dialog) {
            EXPECT_EQ(ItemText(dialog, IDC_VCS_FILENAME), picked + ".avi");
            Click(dialog, IDOK);
        })
        .Answer({"Warning", kAllocateNow, true, IDNO});
    EXPECT_EQ(script_.Run(settings_), IDOK);
    EXPECT_EQ(settings_.FileName(), picked + ".avi");
    EXPECT_EQ(allocator_.preallocations.size(), 1u);
}

TEST_F(VideoSettingsDialog, PreallocationStaysBelowFourGigabytes) {
    settings_.freeBytes = 100000 * kMB;
    script_.Do([](HWND dialog) {
        Type(dialog, IDC_VCS_PREALLOCATE, "5000");
        EXPECT_EQ(ItemText(dialog, IDC_VCS_PREALLOCATE), "4095");
        Click(dialog, IDC_VCS_ALLOCATE);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(script_.Run(settings_), IDOK);
    EXPECT_EQ(allocator_.preallocations, std::vector<uint64_t>{4095 * kMB});
    EXPECT_EQ(settings_.Values().preallocate, 4095);
}

}  // namespace
}  // namespace lumetra
