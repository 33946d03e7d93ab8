// The skin engine driven from outside: loading failures, shape, element pictures, scrolling text,
// dragging, view switching.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"
#include "tests/e2e/test_skin.h"

namespace lumetra::e2e {
namespace {

constexpr DWORD kStartMs = 15000;
constexpr DWORD kExitMs = 15000;
const std::string kLongText = "A text far wider than its element so that it has to scroll along";

TestView ViewA() {
    TestView v;
    v.file = "A.ini";
    v.title = "Panel A";
    v.images = StandardImages("a_");
    v.screen = "140,158,100,36";  // clear of the elements: the live picture covers it
    v.buttons = {"BUTTON_EXIT,40,10,30,20,TYPE_PUSH,Exit",
                 "BUTTON_MUTE,80,10,30,20,TYPE_ON_OFF,Mute,Unmute",
                 "BUTTON_VIEW_MENU,120,10,30,20,TYPE_PUSH,Views",
                 "BUTTON_PLAIN,160,10,30,20,TYPE_PUSH,Plain"};
    v.texts = {"TEXT_NOTE,Arial,TRUE,FALSE,14,16777215,40,60,80,18," + kLongText + ",x",
               "TEXT_CLOCK,Arial,FALSE,FALSE,14,16777215,140,60,80,18,12:00,x"};
    v.trackbars = {"TRACKBAR_VOLUME,40,130,200,24,H,30,x", "TRACKBAR_BRIGHTNESS,250,100,24,80,h,30,x"};
    v.progress = {"PROGRESS_VIDEO,40,100,200,10,H,Position"};
    return v;
}

TestView ViewB() {
    TestView v;
    v.file = "B.ini";
    v.title = "Panel B";
    v.width = 220;
    v.height = 150;
    v.images = StandardImages("b_");
    v.screen = "40,80,120,60";
    v.buttons = {"BUTTON_MUTE,40,40,30,20,TYPE_ON_OFF,Mute,Unmute", "BUTTON_VIEW_MENU,80,40,30,20,TYPE_PUSH,Views",
                 "BUTTON_EXIT,120,40,30,20,TYPE_PUSH,Exit"};
    return v;
}

class Skin : public ::testing::Test {
protected:
    void SetUp() override { DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex"); }
    void TearDown() override { DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex"); }

    // Starts the program and fails on any box before its main window appears.
    HWND StartClean(Program& program) {
        EXPECT_TRUE(program.Start());
        return MainWithoutBoxes(program);
    }
    HWND MainWithoutBoxes(Program& program) {
        HWND main = program.WaitForMainWindow(kStartMs);
        for (const auto& box : program.OpenMessageBoxes())
            ADD_FAILURE() << "unexpected box: [" << box.caption << "] " << box.text;
        return main;
    }
    void EndWithEscape(Program& program, HWND main) {
        EXPECT_TRUE(program.OpenMessageBoxes().empty());
        program.PressKey(main, VK_ESCAPE);
        EXPECT_TRUE(program.WaitForExit(kExitMs).has_value()) << "program did not end on Esc";
    }
    MessageBoxInfo ExpectBox(Program& program, const char* caption) {
        auto box = program.WaitForMessageBox(kStartMs);
        EXPECT_TRUE(box.has_value()) << "expected a box with caption " << caption;
        if (!box) return {};
        EXPECT_EQ(box->caption, caption);
        return *box;
    }
};

SIZE ClientSize(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return SIZE{r.right, r.bottom};
}

TEST_F(Skin, LoadsShapedWindowWithElements) {
    Program program("skin-basic");
    WriteTestSkin(program.Folder(), {ViewA(), ViewB()});
    HWND main = StartClean(program);
    ASSERT_NE(main, nullptr);
    SIZE size = ClientSize(main);
    EXPECT_EQ(size.cx, 300);
    EXPECT_EQ(size.cy, 200);
    EXPECT_NE(FindChildByText(main, "BUTTON_PLAIN"), nullptr);
    EXPECT_NE(FindChildByText(main, "PROGRESS_VIDEO"), nullptr);
    // View B's elements are hidden while view A is shown.
    EXPECT_EQ(FindChildByText(main, "BUTTON_PLAIN"), FindChildByText(main, "BUTTON_PLAIN"));
    // The notice of the blank window is hidden once a view is shown.
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, 1001)));

    // The mask's white columns are outside the window; the rest is the window.
    RECT w;
    GetWindowRect(main, &w);
    EXPECT_NE(WindowFromPoint(POINT{w.left + 10, w.top + 100}), main);
    EXPECT_EQ(WindowFromPoint(POINT{w.left + 35, w.top + 190}), main);
    EXPECT_EQ(ScreenPixel(w.left + 35, w.top + 190), kMainColor);

    // A lower-case "h" makes a vertical trackbar.
    EnumChildWindows(
        main,
        [](HWND child, LPARAM) -> BOOL {
            char cls[64] = {};
            GetClassNameA(child, cls, sizeof cls);
            RECT r;
            GetWindowRect(child, &r);
            if (std::string(cls) == TRACKBAR_CLASSA && r.bottom - r.top == 80)
                EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & TBS_VERT);
            return TRUE;
        },
        0);
    EndWithEscape(program, main);
}

TEST_F(Skin, ButtonPicturesFollowHoverPressOnAndDisabled) {
    Program program("skin-pictures");
    WriteTestSkin(program.Folder(), {ViewA()});
    HWND main = StartClean(program);
    ASSERT_NE(main, nullptr);
    HWND plain = FindChildByText(main, "BUTTON_PLAIN");
    HWND mute = FindChildByText(main, "BUTTON_MUTE");
    ASSERT_TRUE(plain && mute);
    EXPECT_TRUE(WaitFor(3000, [&] { return CentrePixel(plain) == kMainColor; }));

    PostMessageA(plain, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(WaitFor(3000, [&] { return CentrePixel(plain) == kOverColor; })) << "hover shows Over";

    PostMessageA(plain, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(WaitFor(3000, [&] { return CentrePixel(plain) == kDownColor; })) << "press shows Down";
    PostMessageA(plain, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(WaitFor(3000, [&] { return CentrePixel(plain) != kDownColor; }));

    program.Click(mute, 5, 5);
    EXPECT_TRUE(WaitFor(3000, [&] { return CentrePixel(mute) == kOnColor; })) << "an on/off click shows On";
    program.Click(mute, 5, 5);
    EXPECT_TRUE(WaitFor(3000, [&] { return CentrePixel(mute) != kOnColor; })) << "a second click turns it off";

    EnableWindow(plain, FALSE);
    EXPECT_TRUE(WaitFor(3000, [&] { return CentrePixel(plain) == kDisabledColor; })) << "disabled shows Disabled";

    // A press released outside the button performs nothing: the on/off button stays off.
    PostMessageA(mute, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(mute, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    Sleep(300);
    EXPECT_NE(CentrePixel(mute), kOnColor);
    EndWithEscape(program, main);
}

TEST_F(Skin, ProgressFollowsTheMouseAndTextScrollsAfterAPause) {
    Program program("skin-progress-text");
    WriteTestSkin(program.Folder(), {ViewA()});
    HWND main = StartClean(program);
    ASSERT_NE(main, nullptr);

    HWND progress = FindChildByText(main, "PROGRESS_VIDEO");
    ASSERT_NE(progress, nullptr);
    PostMessageA(progress, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 5));  // 50 %
    PostMessageA(progress, WM_LBUTTONUP, 0, MAKELPARAM(100, 5));
    RECT p;
    GetWindowRect(progress, &p);
    EXPECT_TRUE(WaitFor(3000, [&] { return ScreenPixel(p.left + 90, p.top + 5) == kOnColor; })) << "filled to 50 %";
    EXPECT_EQ(ScreenPixel(p.left + 110, p.top + 5), kMainColor);

    HWND text = FindChildByText(main, kLongText);
    ASSERT_NE(text, nullptr);
    RECT t;
    GetWindowRect(text, &t);
    auto snapshot = [&] {
        std::vector<COLORREF> row;
        for (int x = t.left; x < t.right; ++x) row.push_back(ScreenPixel(x, (t.top + t.bottom) / 2));
        return row;
    };
    // The text pauses two seconds before it starts to move.
    Sleep(200);
    auto first = snapshot();
    Sleep(600);
    EXPECT_EQ(snapshot(), first) << "scrolling started before its pause";
    EXPECT_TRUE(WaitFor(8000, [&] { return snapshot() != first; })) << "text never scrolled";
    EndWithEscape(program, main);
}

TEST_F(Skin, DraggingTheBackgroundMovesTheWindow) {
    Program program("skin-drag");
    WriteTestSkin(program.Folder(), {ViewA()});
    HWND main = StartClean(program);
    ASSERT_NE(main, nullptr);
    RECT before;
    GetWindowRect(main, &before);
    POINT grab{before.left + 250, before.top + 185};
    auto send = [](DWORD flags, LONG x, LONG y) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &in, sizeof in);
        Sleep(60);
    };
    send(MOUSEEVENTF_MOVE, grab.x, grab.y);
    send(MOUSEEVENTF_LEFTDOWN, grab.x, grab.y);
    for (int i = 1; i <= 10; ++i) send(MOUSEEVENTF_MOVE, grab.x + 6 * i, grab.y + 4 * i);
    send(MOUSEEVENTF_LEFTUP, grab.x + 60, grab.y + 40);
    RECT after{};
    EXPECT_TRUE(WaitFor(3000, [&] {
        GetWindowRect(main, &after);
        return after.left != before.left;
    }));
    EXPECT_EQ(after.left - before.left, 60);
    EXPECT_EQ(after.top - before.top, 40);
    EndWithEscape(program, main);
}

TEST_F(Skin, SwitchingViewsCarriesStatesAndReshapes) {
    Program program("skin-views");
    WriteTestSkin(program.Folder(), {ViewA(), ViewB()});
    HWND main = StartClean(program);
    ASSERT_NE(main, nullptr);
    HWND muteA = FindChildByText(main, "BUTTON_MUTE");
    ASSERT_NE(muteA, nullptr);
    program.Click(muteA, 5, 5);
    ASSERT_TRUE(WaitFor(3000, [&] { return CentrePixel(muteA) == kOnColor; }));

    // View menu: the titles, a separator and "Full Screen Mode"; choose the second view.
    HWND viewMenu = FindChildByText(main, "BUTTON_VIEW_MENU");
    program.Click(viewMenu, 5, 5);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor(5000, [&] {
        menu = FindWindowA("#32768", nullptr);
        return menu && IsWindowVisible(menu);
    }));
    program.PressKey(menu, VK_DOWN);
    program.PressKey(menu, VK_DOWN);
    program.PressKey(menu, VK_RETURN);
    ASSERT_TRUE(WaitFor(5000, [&] { return ClientSize(main).cx == 220; })) << "view B not selected";
    EXPECT_EQ(ClientSize(main).cy, 150);
    EXPECT_FALSE(IsWindowVisible(muteA));
    HWND muteB = nullptr;
    ASSERT_TRUE(WaitFor(5000, [&] { return (muteB = FindChildByText(main, "BUTTON_MUTE")) != nullptr; }));
    EXPECT_NE(muteB, muteA);
    EXPECT_TRUE(WaitFor(3000, [&] { return CentrePixel(muteB) == kOnColor; })) << "mute state not carried over";
    EXPECT_EQ(FindChildByText(main, "BUTTON_PLAIN"), nullptr);
    EndWithEscape(program, main);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex", "SkinView"), 1u);
}

TEST_F(Skin, StoredViewIsSelectedAtStart) {
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex", "SkinView", 3));
    Program program("skin-stored-view");
    WriteTestSkin(program.Folder(), {ViewA(), ViewB()});
    HWND main = StartClean(program);
    ASSERT_NE(main, nullptr);
    // A stored view past the last one selects the last view.
    EXPECT_TRUE(WaitFor(3000, [&] { return ClientSize(main).cx == 220; }));
    EndWithEscape(program, main);
}

TEST_F(Skin, MissingViewFileAfterAGoodOne) {
    // The stored view is the missing one: the good view comes up instead.
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex", "SkinView", 1));
    Program program("skin-missing-view");
    TestView missing;
    missing.file = "Missing.ini";
    WriteTestSkin(program.Folder(), {ViewA()});
    program.WriteFile("skins.ini", "[VIEWS]\r\nFOLDER=Skin\\\r\n1=A.ini,A\r\n2=Missing.ini,M\r\n");
    ASSERT_TRUE(program.Start());
    MessageBoxInfo box = ExpectBox(program, "Error");
    EXPECT_EQ(box.text, "Skin\\Missing.ini : skin not found (see Skins.ini)");
    program.Answer(box, IDOK);
    HWND main = program.WaitForMainWindow(kStartMs);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ClientSize(main).cx, 300);  // the good view is in use
    EXPECT_NE(FindChildByText(main, "BUTTON_PLAIN"), nullptr);
    EndWithEscape(program, main);
}

TEST_F(Skin, ZeroViewsLoadNothingAndSayNothing) {
    Program program("skin-zero-views");
    program.WriteFile("skins.ini", "[VIEWS]\r\nFOLDER=Skin\\\r\n");
    HWND main = StartClean(program);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, 1001)));
    EndWithEscape(program, main);
}

TEST_F(Skin, UnloadableImagesAreNamedInOneWarning) {
    Program program("skin-bad-images");
    TestView v = ViewA();
    v.images["Over"] = "missing_over.bmp";
    v.images["Down"] = "garbage_down.bmp";
    WriteTestSkin(program.Folder(), {v});
    ASSERT_TRUE(program.Start());
    MessageBoxInfo box = ExpectBox(program, "Warning");
    EXPECT_NE(box.text.find("missing_over.bmp"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("garbage_down.bmp"), std::string::npos) << box.text;
    program.Answer(box, IDOK);
    HWND main = MainWithoutBoxes(program);
    ASSERT_NE(main, nullptr);
    // Elements cut from the broken images show the main image's piece instead.
    HWND plain = FindChildByText(main, "BUTTON_PLAIN");
    ASSERT_NE(plain, nullptr);
    PostMessageA(plain, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    Sleep(300);
    EXPECT_EQ(CentrePixel(plain), kMainColor);
    EndWithEscape(program, main);
}

TEST_F(Skin, ButtonShapeThatCannotBeAppliedIsReported) {
    Program program("skin-bad-shape");
    TestView v = ViewA();
    v.buttons[2] = "BUTTON_VIEW_MENU,120,10,30,20,missing_shape.bmp,TYPE_PUSH,Views";
    WriteTestSkin(program.Folder(), {v});
    ASSERT_TRUE(program.Start());
    MessageBoxInfo box = ExpectBox(program, "Error");
    EXPECT_EQ(box.text, "Cannot Set Button region");
    program.Answer(box, IDOK);
    HWND main = MainWithoutBoxes(program);
    ASSERT_NE(main, nullptr);
    EXPECT_NE(FindChildByText(main, "BUTTON_VIEW_MENU"), nullptr);
    EndWithEscape(program, main);
}

TEST_F(Skin, AllWhiteMaskLeavesAnInvisibleWindowThatEscStillEnds) {
    Program program("skin-white-mask");
    WriteTestSkin(program.Folder(), {ViewA()}, 10000);
    ASSERT_TRUE(program.Start());
    HWND main = MainWithoutBoxes(program);
    ASSERT_NE(main, nullptr);
    HRGN shape = CreateRectRgn(0, 0, 1, 1);
    EXPECT_TRUE(WaitFor(3000, [&] { return GetWindowRgn(main, shape) == NULLREGION; })) << "shape is not empty";
    DeleteObject(shape);
    EndWithEscape(program, main);
}

TEST_F(Skin, KeyGapEndsTheElementScan) {
    Program program("skin-key-gap");
    TestView v = ViewA();
    // Keys 1, 2 and 4 (three keys): 1 and 2 are read, the missing 3 skipped, 4 never read.
    v.buttons = {"BUTTON_ONE,40,10,30,20,TYPE_PUSH,1", "BUTTON_TWO,80,10,30,20,TYPE_PUSH,2", "",
                 "BUTTON_FOUR,120,10,30,20,TYPE_PUSH,4"};
    WriteTestSkin(program.Folder(), {v});
    HWND main = StartClean(program);
    ASSERT_NE(main, nullptr);
    EXPECT_NE(FindChildByText(main, "BUTTON_ONE"), nullptr);
    EXPECT_NE(FindChildByText(main, "BUTTON_TWO"), nullptr);
    EXPECT_EQ(FindChildByText(main, "BUTTON_FOUR"), nullptr);
    EndWithEscape(program, main);
}

}  // namespace
}  // namespace lumetra::e2e

namespace lumetra::e2e {
namespace {

// The default skin installed beside the program.
TEST_F(Skin, DefaultSkinShowsShapedWithEveryElement) {
    Program program("skin-default");
    program.CopyFromBin("skins.ini");
    program.CopyFromBin("Default");
    HWND main = StartClean(program);
    ASSERT_NE(main, nullptr);
    SIZE size = ClientSize(main);
    EXPECT_EQ(size.cx, 700);
    EXPECT_EQ(size.cy, 450);
    RECT w;
    GetWindowRect(main, &w);
    // The corners are cut away by the mask; the middle belongs to the window.
    EXPECT_NE(WindowFromPoint(POINT{w.left + 1, w.top + 1}), main);
    EXPECT_NE(WindowFromPoint(POINT{w.right - 2, w.bottom - 2}), main);
    HWND middle = WindowFromPoint(POINT{(w.left + w.right) / 2, (w.top + w.bottom) / 2});
    DWORD middlePid = 0;
    GetWindowThreadProcessId(middle, &middlePid);
    char middleClass[64] = {};
    GetClassNameA(middle, middleClass, sizeof middleClass);
    // The window, an element or the live picture, all of the program.
    EXPECT_EQ(middlePid, program.ProcessId()) << middleClass;

    for (const char* name : {"BUTTON_MINIMIZE", "BUTTON_EXIT", "BUTTON_VIDCAP", "BUTTON_VIDPLAY", "BUTTON_VIDPAUSE",
                             "BUTTON_VIDSTOP", "BUTTON_SNAPSHOT", "BUTTON_VIEW_MENU", "BUTTON_INPUT_TUNER",
                             "BUTTON_INPUT_COMPOSITE", "BUTTON_INPUT_SVIDEO", "BUTTON_INPUT_WEBCAM", "BUTTON_XBAR",
                             "BUTTON_DEVICE_PROPERTY", "BUTTON_CAPTURE_SIZE", "BUTTON_VID_FILE", "BUTTON_SNAP_FILE",
                             "BUTTON_VIDCAP_SETUP", "BUTTON_SNAPSHOT_SETUP", "BUTTON_MOTION_SETUP", "BUTTON_CYCLE_UP",
                             "BUTTON_CYCLE_DOWN", "BUTTON_CYCLE_PREV", "BUTTON_CYCLE_NEXT", "BUTTON_WEBSITE",
                             "BUTTON_MUTE", "PROGRESS_PROPERTY", "PROGRESS_VIDEO"})
        EXPECT_NE(FindChildByText(main, name), nullptr) << name;
    // Only the selected property's button is shown (volume by default).
    EXPECT_NE(FindChildByText(main, "BUTTON_PROP_VOLUME"), nullptr);
    EXPECT_EQ(FindChildByText(main, "BUTTON_PROP_SATURATION"), nullptr);
    EndWithEscape(program, main);
}

}  // namespace
}  // namespace lumetra::e2e
