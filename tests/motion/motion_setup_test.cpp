// The motion setup dialog, the countdown and the gradient meter, driven as a user would, with
// frames from a synthetic source: a bright square that moves inside the detection area.
#include "motion/motion_setup_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "controls/gradient_progress.h"
#include "motion/countdown_dialog.h"
#include "net/internet_destination.h"
#include "res/resource.h"
#include "tests/motion/dialog_driver.h"
#include "tests/motion/loopback_servers.h"
#include "tests/soak/resource_probe.h"

namespace lumetra {
namespace {

using testing::Click;
using testing::DialogDriver;
using testing::ItemText;
using testing::WindowText;

constexpr int kWidth = 320, kHeight = 240;

// YUY2 frames of a grey scene with a bright square that moves a little on every frame when moving.
class SquareSource : public MotionFrameSource {
public:
    bool moving = true;
    int copies = 0;
    bool CopyFrame(uint8_t* buffer, size_t capacity, FrameFormat& format) override {
        const size_t size = static_cast<size_t>(kWidth) * kHeight * 2;
        if (size > capacity) return false;
        ++copies;
        if (moving) step_ = (step_ + 1) % 4;
        const int left = 120 + step_ * 12, top = 90;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                uint8_t* p = buffer + (static_cast<size_t>(y) * kWidth + x) * 2;
                p[0] = (x >= left && x < left + 40 && y >= top && y < top + 40) ? 230 : 60;
                p[1] = 128;
            }
        format = {kWidth, kHeight, PixelFormat::Yuy2, size};
        return true;
    }

private:
    int step_ = 0;
};

void DeleteMotionKey() {
    RegKey orvex = OpenSettingsKey();
    if (orvex) RegDeleteKeyA(orvex.Get(), "MotionDetection");
}

int StoredDword(const char* name) {
    RegKey key = OpenSettingsKey("MotionDetection");
    int value = -12345;
    ReadDword(key.Get(), name, value);
    return value;
}

// Plays the main window's 200 ms motion timer while a dialog runs on this thread.
class MotionTicks {
public:
    explicit MotionTicks(MotionSetupDialog& dialog) {
        current_ = &dialog;
        timer_ = SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) {
            if (current_) current_->ProcessFrame();
        });
    }
    ~MotionTicks() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }

private:
    static MotionSetupDialog* current_;
    UINT_PTR timer_;
};
MotionSetupDialog* MotionTicks::current_ = nullptr;

void MoveTrackbar(HWND dialog, int id, int position) {
    HWND trackbar = GetDlgItem(dialog, id);
    SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(trackbar));
}

class MotionSetup : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteMotionKey();
        dialog_.reset(new MotionSetupDialog(internet_));
        dialog_->SetFrameSource(&source_);
    }
    void TearDown() override { DeleteMotionKey(); }

    InternetDestinationDialog internet_;
    SquareSource source_;
    std::unique_ptr<MotionSetupDialog> dialog_;
    DialogDriver driver_;
};

TEST_F(MotionSetup, OpensWithItsValuesTheLivePictureAndTheMeter) {
    MotionTicks ticks(*dialog_);
    driver_
        .Do([](HWND d) {
            EXPECT_EQ(WindowText(d), "Motion detection setup");
            EXPECT_EQ(ItemText(d, IDC_MD_PERCENT_GROUP), "Trigger the action when motion is detected in 5% of selected area");
            EXPECT_EQ(ItemText(d, IDC_MD_CELL_EDGE), "4");
            EXPECT_EQ(ItemText(d, IDC_MD_SENSITIVITY_VALUE), "5");
            EXPECT_EQ(ItemText(d, IDC_MD_COUNTDOWN_VALUE), "30");
            EXPECT_EQ(ItemText(d, IDC_MD_RUN_FILE), "Not selected");
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_MD_RUN_FILE)));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_MD_EMAIL_ALERT)));
            RECT picture{};
            GetWindowRect(GetDlgItem(d, IDC_MD_PICTURE), &picture);
            EXPECT_EQ(picture.right - picture.left, 320);  // a 320-wide frame shows at full size
            EXPECT_EQ(picture.bottom - picture.top, 240);
            // The default area on 320 x 240: 220 x 142 pixels, 55 x 35 cells of 4.
            EXPECT_EQ(SendMessageA(GetDlgItem(d, IDC_MD_METER), PBM_GETRANGE, FALSE, 0), 55 * 35);
        })
        // The moving square changes some cells: the meter moves and turns red.
        .WaitUntil([](HWND d) { return SendMessageA(GetDlgItem(d, IDC_MD_METER), PBM_GETPOS, 0, 0) > 0; })
        .Do([&](HWND d) {
            EXPECT_TRUE(dialog_->Engine().LiveView());
            EXPECT_EQ(static_cast<int>(SendMessageA(GetDlgItem(d, IDC_MD_METER), PBM_GETPOS, 0, 0)),
                      dialog_->Engine().ChangedCount());
            // The picture shows the grey scene (drawn over the whole picture control).
            HWND picture = GetDlgItem(d, IDC_MD_PICTURE);
            HDC dc = GetDC(picture);
            COLORREF corner = GetPixel(dc, 5, 230);
            ReleaseDC(picture, dc);
            EXPECT_EQ(corner, RGB(60, 60, 60));
            Click(d, IDCANCEL);
        });
    EXPECT_EQ(driver_.Run(*dialog_), IDCANCEL);
    EXPECT_FALSE(dialog_->Engine().LiveView());
}

TEST_F(MotionSetup, OpeningDisarms) {
    dialog_->Arm();
    driver_.Do([&](HWND d) {
        EXPECT_FALSE(dialog_->Armed());
        Click(d, IDCANCEL);
    });
    driver_.Run(*dialog_);
}

TEST_F(MotionSetup, ArmNeedsAnActionAndARunFileThatExists) {
    driver_.Do([](HWND d) { Click(d, IDC_MD_ARM); })
        .ExpectBox("Error", "No action is seleced for motion trigger")
        .Do([](HWND d) {
            // Sub-options alone are no action.
            CheckDlgButton(d, IDC_MD_EMAIL_ALERT, BST_CHECKED);
            CheckDlgButton(d, IDC_MD_FTP, BST_CHECKED);
            CheckDlgButton(d, IDC_MD_EMAIL, BST_CHECKED);
            Click(d, IDC_MD_ARM);
        })
        .ExpectBox("Error", "No action is seleced for motion trigger")
        .Do([](HWND d) {
            Click(d, IDC_MD_VIDEO);
            Click(d, IDC_MD_RUN);
            SetDlgItemTextA(d, IDC_MD_RUN_FILE, "C:\\no\\such\\program.exe");
            Click(d, IDC_MD_ARM);
        })
        .ExpectBox("Error", "[Run] selected for motion trigger action action but filename entered cannot be found")
        .Do([](HWND d) { Click(d, IDC_MD_TEST); })
        .ExpectBox("Error", "File does not exist")
        .Do([](HWND d) {
            EXPECT_TRUE(IsWindowVisible(d));
            Click(d, IDCANCEL);
        });
    EXPECT_EQ(driver_.Run(*dialog_), IDCANCEL);
    EXPECT_FALSE(dialog_->Armed());
    EXPECT_EQ(StoredDword("Vid"), -12345);  // nothing stored
}

TEST_F(MotionSetup, ArmCountsDownStoresAndArms) {
    MotionTicks ticks(*dialog_);
    driver_
        .Do([](HWND d) {
            MoveTrackbar(d, IDC_MD_COUNTDOWN, 1);
            EXPECT_EQ(ItemText(d, IDC_MD_COUNTDOWN_VALUE), "1");
            Click(d, IDC_MD_SNAPSHOT);
            Click(d, IDC_MD_FTP);
            Click(d, IDC_MD_REARM);
            SetDlgItemTextA(d, IDC_MD_REARM_SECONDS, "10");
            PostMessageA(GetDlgItem(d, IDC_MD_ARM), BM_CLICK, 0, 0);  // the countdown runs in the dialog's loop
        })
        .WaitUntil([](HWND) { return testing::FindThreadDialog("Motion detection countdown") != nullptr; });
    EXPECT_EQ(driver_.Run(*dialog_), IDOK);
    EXPECT_TRUE(dialog_->Armed());
    EXPECT_FALSE(dialog_->Engine().LiveView());
    EXPECT_EQ(StoredDword("Countdown"), 1);
    EXPECT_EQ(StoredDword("Snap"), 1);
    EXPECT_EQ(StoredDword("FTP"), 1);
    EXPECT_EQ(StoredDword("Rearm"), 1);
    EXPECT_EQ(StoredDword("RearmSecs"), 10);
    UINT delay = 0;
    EXPECT_TRUE(dialog_->GetRearmDelay(delay));
    EXPECT_EQ(delay, 10000u);
    // Armed: the moving square triggers once, after the first frame has refreshed the sums.
    EXPECT_FALSE(dialog_->ProcessFrame());
    bool triggered = false;
    for (int i = 0; i < 5 && !triggered; ++i) triggered = dialog_->ProcessFrame();
    EXPECT_TRUE(triggered);
    EXPECT_FALSE(dialog_->Armed());
}

TEST_F(MotionSetup, CancelledCountdownReturnsToTheDialogDisarmed) {
    driver_
        .Do([](HWND d) {
            Click(d, IDC_MD_VIDEO);
            PostMessageA(GetDlgItem(d, IDC_MD_ARM), BM_CLICK, 0, 0);
        })
        .WaitUntil([](HWND) { return testing::FindThreadDialog("Motion detection countdown") != nullptr; })
        .Do([](HWND) { Click(testing::FindThreadDialog("Motion detection countdown"), IDCANCEL); })
        .WaitUntil([](HWND d) { return IsWindowVisible(d) != FALSE; })
        .Do([&](HWND d) {
            EXPECT_FALSE(dialog_->Armed());
            EXPECT_TRUE(dialog_->Engine().LiveView());
            Click(d, IDCANCEL);
        });
    EXPECT_EQ(driver_.Run(*dialog_), IDCANCEL);
    EXPECT_FALSE(dialog_->Armed());
}

TEST_F(MotionSetup, CancelKeepsMovedValuesWithoutStoringThem) {
    driver_.Do([](HWND d) {
        MoveTrackbar(d, IDC_MD_GRANULARITY, 3);
        EXPECT_EQ(ItemText(d, IDC_MD_CELL_EDGE), "12");
        MoveTrackbar(d, IDC_MD_PERCENT, 20);
        EXPECT_EQ(ItemText(d, IDC_MD_PERCENT_GROUP), "Trigger the action when motion is detected in 20% of selected area");
        Click(d, IDCANCEL);
    });
    driver_.Run(*dialog_);
    EXPECT_EQ(dialog_->Engine().Settings().granularity, 3);
    EXPECT_EQ(dialog_->Engine().Settings().areaPercent, 20);
    EXPECT_EQ(StoredDword("Granularity"), -12345);
}

TEST_F(MotionSetup, DefaultsRestoreDetectionButNotActions) {
    driver_.Do([](HWND d) {
        MoveTrackbar(d, IDC_MD_SENSITIVITY, 9);
        MoveTrackbar(d, IDC_MD_COUNTDOWN, 7);
        Click(d, IDC_MD_RUN);
        Click(d, IDC_MD_DEFAULTS);
        EXPECT_EQ(ItemText(d, IDC_MD_SENSITIVITY_VALUE), "5");
        EXPECT_EQ(ItemText(d, IDC_MD_COUNTDOWN_VALUE), "30");
        EXPECT_EQ(SendMessageA(GetDlgItem(d, IDC_MD_SENSITIVITY), TBM_GETPOS, 0, 0), 5);
        EXPECT_EQ(IsDlgButtonChecked(d, IDC_MD_RUN), BST_CHECKED);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_MD_RUN_FILE)));
        Click(d, IDCANCEL);
    });
    driver_.Run(*dialog_);
    EXPECT_EQ(dialog_->Actions().run, 1);
}

TEST_F(MotionSetup, DraggingOnThePictureMovesTheNearerCorner) {
    MotionTicks ticks(*dialog_);
    driver_.Do([&](HWND d) {
        RECT picture{};
        GetWindowRect(GetDlgItem(d, IDC_MD_PICTURE), &picture);
        MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&picture), 2);
        // Near the bottom-right corner of the default area (x 50 + 220, y 18 + 142 on this picture).
        SendMessageA(d, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(picture.left + 250, picture.top + 150));
        EXPECT_EQ(dialog_->Engine().Geometry().dx, 50);
        EXPECT_EQ(dialog_->Engine().Geometry().dwa, 200);
        // Without the button held nothing changes.
        SendMessageA(d, WM_MOUSEMOVE, 0, MAKELPARAM(picture.left + 60, picture.top + 30));
        EXPECT_EQ(dialog_->Engine().Geometry().dx, 50);
        Click(d, IDOK);
    });
    EXPECT_EQ(driver_.Run(*dialog_), IDOK);
    EXPECT_EQ(StoredDword("AreaSizeX"), 400);
}

TEST_F(MotionSetup, SavedSettingsSurviveARestart) {
    driver_.Do([](HWND d) {
        MoveTrackbar(d, IDC_MD_GRANULARITY, 2);
        MoveTrackbar(d, IDC_MD_SENSITIVITY, 8);
        Click(d, IDC_MD_VIDEO);
        Click(d, IDC_MD_EMAIL_ALERT);
        Click(d, IDC_MD_REARM);
        SetDlgItemTextA(d, IDC_MD_REARM_SECONDS, "30");
        Click(d, IDOK);
    });
    EXPECT_EQ(driver_.Run(*dialog_), IDOK);
    MotionSetupDialog restarted(internet_);
    EXPECT_EQ(restarted.Engine().Settings().granularity, 2);
    EXPECT_EQ(restarted.Engine().Settings().sensitivity, 8);
    bool alert = false;
    EXPECT_TRUE(restarted.GetVideoAction(alert));
    EXPECT_TRUE(alert);
    UINT delay = 0;
    EXPECT_TRUE(restarted.GetRearmDelay(delay));
    EXPECT_EQ(delay, 30000u);
    EXPECT_FALSE(restarted.Armed());  // a restart never arms
}

TEST_F(MotionSetup, StoredValuesOutOfRangeAreBroughtIntoRange) {
    {
        RegKey key = OpenSettingsKey("MotionDetection");
        WriteDword(key.Get(), "Granularity", 9);
        WriteDword(key.Get(), "Sensitivity", -4);
        WriteDword(key.Get(), "Countdown", 5000);
        WriteDword(key.Get(), "AreaSizeX", 100000);
        WriteDword(key.Get(), "RearmSecs", -20);
        WriteDword(key.Get(), "Vid", 77);
        WriteString(key.Get(), "RunFile", std::string(400, 'x'));
    }
    MotionSetupDialog restored(internet_);
    EXPECT_EQ(restored.Engine().Settings().granularity, 4);
    EXPECT_EQ(restored.Engine().Settings().sensitivity, 1);
    EXPECT_EQ(restored.Actions().countdown, 60);
    EXPECT_LE(restored.Engine().Settings().areaSizeX, kAreaUnits);
    EXPECT_EQ(restored.Actions().rearmSecs, 0);
    EXPECT_EQ(restored.Actions().video, 1);
    EXPECT_EQ(restored.Actions().runFile.size(), 127u);
}

TEST_F(MotionSetup, ReArmDelayMustBeAnInteger) {
    driver_.Do([](HWND d) {
        Click(d, IDC_MD_REARM);
        SetDlgItemTextA(d, IDC_MD_REARM_SECONDS, "ten");
        Click(d, IDOK);
    })
        .ExpectBox("Lumetra", "Please enter an integer.")
        .Do([](HWND d) {
            EXPECT_TRUE(IsWindowVisible(d));
            Click(d, IDCANCEL);
        });
    EXPECT_EQ(driver_.Run(*dialog_), IDCANCEL);
    EXPECT_EQ(StoredDword("RearmSecs"), -12345);
}

TEST_F(MotionSetup, EmailFtpButtonOpensTheDestinationDialog) {
    driver_
        .Do([](HWND d) { PostMessageA(GetDlgItem(d, IDC_MD_INTERNET), BM_CLICK, 0, 0); })
        .WaitUntil([](HWND) {
            return testing::FindThreadDialog("Internet Destination for still images captured by motion trigger") != nullptr;
        })
        .Do([](HWND) {
            Click(testing::FindThreadDialog("Internet Destination for still images captured by motion trigger"), IDCANCEL);
        })
        .Do([](HWND d) { Click(d, IDCANCEL); });
    EXPECT_EQ(driver_.Run(*dialog_), IDCANCEL);
}

// ---- The countdown ----

TEST(Countdown, FiveSecondsCountDownOnARedBar) {
    CountdownDialog countdown(5);
    std::vector<std::string> texts;
    std::vector<int> positions;
    DialogDriver driver;
    driver.Do([&](HWND d) {
        EXPECT_EQ(WindowText(d), "Motion detection countdown");
        EXPECT_EQ(ItemText(d, IDC_CD_TEXT), "Motion detection trigger arming in 5 seconds");
        EXPECT_EQ(SendMessageA(GetDlgItem(d, IDC_CD_BAR), PBM_GETRANGE, FALSE, 0), 5);
    });
    // Samples the text and the bar every 50 ms while the dialog is open.
    static std::vector<std::string>* s_texts;
    static std::vector<int>* s_positions;
    static CountdownDialog* s_dialog;
    s_texts = &texts;
    s_positions = &positions;
    s_dialog = &countdown;
    UINT_PTR sampler = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND d = s_dialog->Handle();
        if (!d) return;
        std::string text = ItemText(d, IDC_CD_TEXT);
        if (s_texts->empty() || s_texts->back() != text) {
            s_texts->push_back(text);
            s_positions->push_back(static_cast<int>(SendMessageA(GetDlgItem(d, IDC_CD_BAR), PBM_GETPOS, 0, 0)));
        }
    });
    DWORD start = GetTickCount();
    EXPECT_EQ(driver.Run(countdown), IDOK);
    DWORD took = GetTickCount() - start;
    KillTimer(nullptr, sampler);
    const std::vector<std::string> expected = {
        "Motion detection trigger arming in 5 seconds", "Motion detection trigger arming in 4 seconds",
        "Motion detection trigger arming in 3 seconds", "Motion detection trigger arming in 2 seconds",
        "Motion detection trigger arming in 1 seconds"};
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_GE(took, 4500u);
}

TEST(Countdown, ZeroClosesOnTheFirstTick) {
    CountdownDialog countdown(0);
    DialogDriver driver;
    EXPECT_EQ(driver.Run(countdown), IDOK);
}

TEST(Countdown, CancelAbandons) {
    CountdownDialog countdown(30);
    DialogDriver driver;
    driver.Do([](HWND d) { Click(d, IDCANCEL); });
    EXPECT_EQ(driver.Run(countdown), IDCANCEL);
}

// ---- The gradient bar ----

class GradientBar : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&init);
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 100, 100, 240, 60, nullptr, nullptr,
                                  nullptr, nullptr);
        control_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, parent_, nullptr,
                                   nullptr, nullptr);
        ASSERT_TRUE(bar_.Attach(control_));
    }
    void TearDown() override { DestroyWindow(parent_); }
    COLORREF Pixel(int x, int y) {
        UpdateWindow(control_);
        HDC dc = GetDC(control_);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(control_, dc);
        return c;
    }
    HWND parent_ = nullptr, control_ = nullptr;
    GradientProgress bar_;
};

TEST_F(GradientBar, PaintsTheShadedBarToItsPosition) {
    SendMessageA(control_, PBM_SETRANGE32, 0, 100);
    SendMessageA(control_, PBM_SETPOS, 50, 0);
    bar_.SetBarColour(RGB(255, 0, 0));
    const int c = 100;  // bar end: 50 of 100 over 200 pixels
    EXPECT_EQ(Pixel(20, 10), RGB(255, 153, 153));  // light 3 inside
    EXPECT_EQ(Pixel(20, 0), RGB(204, 0, 0));       // dark 1 along the top edge
    EXPECT_EQ(Pixel(20, 1), RGB(255, 0, 0));       // base below it
    EXPECT_EQ(Pixel(20, 19), RGB(153, 0, 0));      // dark 2 along the bottom
    EXPECT_EQ(Pixel(c + 1, 10), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(Pixel(c + 10, 10), GetSysColor(COLOR_BTNFACE));
    // Another colour repaints at once.
    bar_.SetBarColour(RGB(0, 0, 255));
    EXPECT_EQ(Pixel(20, 1), RGB(0, 0, 255));
}

TEST_F(GradientBar, EmptyRangeAndPositionAtLowPaintOnlyTheBackground) {
    SendMessageA(control_, PBM_SETRANGE32, 0, 0);
    bar_.SetBarColour(RGB(255, 0, 0));
    EXPECT_EQ(Pixel(5, 10), GetSysColor(COLOR_BTNFACE));
    SendMessageA(control_, PBM_SETRANGE32, 0, 10);
    SendMessageA(control_, PBM_SETPOS, 0, 0);
    EXPECT_EQ(Pixel(0, 10), GetSysColor(COLOR_BTNFACE));
    SendMessageA(control_, PBM_SETPOS, 10, 0);
    EXPECT_EQ(Pixel(199, 10), RGB(153, 0, 0));  // full: the dark 2 edge is the last column
}

}  // namespace
}  // namespace lumetra

namespace lumetra {
namespace {

// The GDI objects this process holds (GetGuiResources, or its GDI handle table where that answers 0).
long GdiObjectsHere() { return soak::ResourceProbe(GetCurrentProcess(), GetCurrentProcessId()).Take().gdiObjects; }

TEST_F(MotionSetup, OpeningAndClosingAgainAndAgainKeepsNoPictureBehind) {
    auto openAndCancel = [&] {
        DialogDriver driver;
        driver.Do([](HWND d) { Click(d, IDCANCEL); });
        EXPECT_EQ(driver.Run(*dialog_), IDCANCEL);
    };
    openAndCancel();  // the first opening makes what lives as long as the dialog object
    const long before = GdiObjectsHere();
    ASSERT_GT(before, 0) << "GDI objects cannot be counted here";
    for (int i = 0; i < 10; ++i) openAndCancel();
    // The backdrop picture that each opening loads (and the live picture) go when the dialog closes.
    EXPECT_LE(GdiObjectsHere() - before, 2);
}

}  // namespace
}  // namespace lumetra
