// The skin engine driven from outside: loading failures, shape, element pictures, scrolling text,
// dragging, view switching.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/test_skin.h"
#include "tests/soak/resource_probe.h"

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
        ExpectNoBoxes(program);
        return main;
    }
    // The test skins' own names are unknown to the program: a click on one is answered by the
    // warning that names it (it covers the small test window, so it goes before the pixels are read).
    void AnswerUnknownName(Program& program, const std::string& name) {
        MessageBoxInfo box = ExpectBox(program, "Warning");
        EXPECT_EQ(box.text.rfind(name + ": not implemented: Check name definitions in ", 0), 0u) << box.text;
        program.Answer(box, IDOK);
    }
    MessageBoxInfo ExpectBox(Program& program, const char* caption) {
        auto box = program.WaitForMessageBox(kStartMs);
        EXPECT_TRUE(box.has_value()) << "expected a box with caption " << caption;
        if (!box) return {};
        EXPECT_EQ(box->caption, caption);
        return *box;
    }
};

// The pointer over a button shows its Over picture. The pointer itself is put there too: the button
// checks where it really is, and the window may take a moment to become active again (a hover
// counts only in the active application), so the move is repeated until the picture shows.
bool Hover(HWND button) {
    RECT r;
    GetWindowRect(button, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return WaitFor(3000, [&] {
        PostMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        return CentrePixel(button) == kOverColor;
    });
}

SIZE ClientSize(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return SIZE{r.right, r.bottom};
}

// Chooses a view through the view menu (the view titles, a separator and "Full Screen Mode"):
// position 1 is the first view; the view is there when the window has its width.
bool ChooseView(const Program& program, HWND main, int position, int width) {
    HWND menu = nullptr;
    const auto menuShown = [&] {
        menu = FindWindowA("#32768", nullptr);
        return menu && IsWindowVisible(menu);
    };
    // Under Wine a menu opened just after a view switch may close by itself: then it is opened again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        HWND button = nullptr;
        for (HWND candidate : ChildrenByText(main, "BUTTON_VIEW_MENU"))
            if (IsWindowVisible(candidate)) button = candidate;
        if (!button) return false;
        program.Click(button, 5, 5);
        if (!WaitFor(5000, menuShown)) continue;
        for (int i = 0; i < position; ++i) program.PressKey(menu, VK_DOWN);
        program.PressKey(menu, VK_RETURN);
        if (WaitFor(5000, [&] { return !menuShown() && ClientSize(main).cx == width; })) return true;
    }
    return false;
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
    // View B's elements exist but are hidden while view A is shown: of the two mute buttons only
    // view A's (at 80,10) is visible.
    std::vector<HWND> mutes = ChildrenByText(main, "BUTTON_MUTE");
    ASSERT_EQ(mutes.size(), 2u);
    for (HWND mute : mutes) {
        RECT r;
        GetWindowRect(mute, &r);
        POINT at{r.left, r.top};
        ScreenToClient(main, &at);
        bool viewA = at.x == 80 && at.y == 10;
        EXPECT_EQ(IsWindowVisible(mute) != FALSE, viewA) << "mute button at " << at.x << "," << at.y;
    }
    // The notice of the blank window is hidden once a view is shown.
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, 1001)));

    // The mask's white columns are outside the window; the rest is the window.
    RECT w;
    GetWindowRect(main, &w);
    EXPECT_NE(WindowFromPoint(POINT{w.left + 10, w.top + 100}), main);
    EXPECT_EQ(WindowFromPoint(POINT{w.left + 35, w.top + 190}), main);
    EXPECT_EQ(ScreenPixel(w.left + 35, w.top + 190), kMainColor);

    // A lower-case "h" makes a vertical trackbar; "H" a horizontal one.
    std::vector<std::pair<SIZE, bool>> trackbars;  // size, vertical style
    EnumChildWindows(
        main,
        [](HWND child, LPARAM lp) -> BOOL {
            char cls[64] = {};
            GetClassNameA(child, cls, sizeof cls);
            RECT r;
            GetWindowRect(child, &r);
            if (IsWindowVisible(child) && std::string(cls) == TRACKBAR_CLASSA)
                reinterpret_cast<std::vector<std::pair<SIZE, bool>>*>(lp)->push_back(
                    {SIZE{r.right - r.left, r.bottom - r.top}, (GetWindowLongA(child, GWL_STYLE) & TBS_VERT) != 0});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&trackbars));
    ASSERT_EQ(trackbars.size(), 2u);
    for (const auto& [size, vertical] : trackbars) {
        if (size.cx == 24 && size.cy == 80) EXPECT_TRUE(vertical) << "TRACKBAR_BRIGHTNESS is not vertical";
        else if (size.cx == 200 && size.cy == 24) EXPECT_FALSE(vertical) << "TRACKBAR_VOLUME is vertical";
        else ADD_FAILURE() << "unexpected trackbar " << size.cx << "x" << size.cy;
    }
    EndWithEscape(program, main, kExitMs);
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

    EXPECT_TRUE(Hover(plain)) << "hover shows Over";

    PostMessageA(plain, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(WaitFor(3000, [&] { return CentrePixel(plain) == kDownColor; })) << "press shows Down";
    PostMessageA(plain, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    AnswerUnknownName(program, "BUTTON_PLAIN");
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
    EndWithEscape(program, main, kExitMs);
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
    EndWithEscape(program, main, kExitMs);
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
    EndWithEscape(program, main, kExitMs);
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

    ASSERT_TRUE(ChooseView(program, main, 2, 220)) << "view B not selected";
    EXPECT_EQ(ClientSize(main).cy, 150);
    EXPECT_FALSE(IsWindowVisible(muteA));
    HWND muteB = nullptr;
    ASSERT_TRUE(WaitFor(5000, [&] { return (muteB = FindChildByText(main, "BUTTON_MUTE")) != nullptr; }));
    EXPECT_NE(muteB, muteA);
    EXPECT_TRUE(WaitFor(3000, [&] { return CentrePixel(muteB) == kOnColor; })) << "mute state not carried over";
    EXPECT_EQ(FindChildByText(main, "BUTTON_PLAIN"), nullptr);
    EndWithEscape(program, main, kExitMs);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex", "SkinView"), 1u);
}

// A hidden view holds no button pictures: which ones a view cuts depends on where the pointer went
// and what was pressed, and kept for hidden views they would pile up over a long session.
TEST_F(Skin, AHiddenViewKeepsNoButtonPictures) {
    Program program("skin-view-pictures");
    WriteTestSkin(program.Folder(), {ViewA(), ViewB()});
    HWND main = StartClean(program);
    ASSERT_NE(main, nullptr);
    soak::ResourceProbe probe(program.ProcessHandle(), program.ProcessId());
    const auto gdiObjects = [&] { return probe.Take().gdiObjects; };
    const auto showView = [&](int position, int width) {
        if (!ChooseView(program, main, position, width)) return false;
        SetCursorPos(0, 0);  // off the window: no button of the view shows its Over picture
        return WaitFor(5000, [&] { return IsWindowVisible(main) != FALSE; });
    };
    const auto settled = [&] {
        long last = gdiObjects();
        WaitFor(3000, [&] {
            Sleep(300);
            return std::exchange(last, gdiObjects()) == last;
        });
        return last;
    };
    ASSERT_TRUE(showView(2, 220)) << "view B not selected";
    const long withViewB = settled();
    ASSERT_GT(withViewB, 0) << "GDI objects cannot be counted here";

    // View A again: the pointer over two of its buttons cuts their Over pictures.
    ASSERT_TRUE(showView(1, 300)) << "view A not selected";
    for (const char* name : {"BUTTON_PLAIN", "BUTTON_EXIT"}) {
        HWND button = FindChildByText(main, name);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(Hover(button)) << name << " shows no Over picture";
    }
    ASSERT_TRUE(showView(2, 220)) << "view B not selected again";
    EXPECT_TRUE(WaitFor(3000, [&] { return gdiObjects() == withViewB; }))
        << "view B shown again holds " << gdiObjects() - withViewB << " GDI objects more";
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Skin, StoredViewIsSelectedAtStart) {
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex", "SkinView", 3));
    Program program("skin-stored-view");
    WriteTestSkin(program.Folder(), {ViewA(), ViewB()});
    HWND main = StartClean(program);
    ASSERT_NE(main, nullptr);
    // A stored view past the last one selects the last view.
    EXPECT_TRUE(WaitFor(3000, [&] { return ClientSize(main).cx == 220; }));
    EndWithEscape(program, main, kExitMs);
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
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Skin, ZeroViewsLoadNothingAndSayNothing) {
    Program program("skin-zero-views");
    program.WriteFile("skins.ini", "[VIEWS]\r\nFOLDER=Skin\\\r\n");
    HWND main = StartClean(program);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, 1001)));
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Skin, UnloadableImagesAreNamedInOneWarning) {
    Program program("skin-bad-images");
    TestView v = ViewA();
    v.images["On"] = "missing_on.bmp";
    v.images["Down"] = "garbage_down.bmp";
    WriteTestSkin(program.Folder(), {v});
    ASSERT_TRUE(program.Start());
    MessageBoxInfo box = ExpectBox(program, "Warning");
    EXPECT_NE(box.text.find("missing_on.bmp"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("garbage_down.bmp"), std::string::npos) << box.text;
    program.Answer(box, IDOK);
    HWND main = MainWithoutBoxes(program);
    ASSERT_NE(main, nullptr);
    // Elements cut from the broken images show the main image's piece instead (not black). The
    // hover, with its own good image, shows first that the button follows the pointer.
    HWND plain = FindChildByText(main, "BUTTON_PLAIN");
    ASSERT_NE(plain, nullptr);
    ASSERT_TRUE(Hover(plain)) << "hover shows Over";
    PostMessageA(plain, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(WaitFor(3000, [&] { return CentrePixel(plain) == kMainColor; }))
        << "a press with a broken Down image shows the main image's piece";
    PostMessageA(plain, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    AnswerUnknownName(program, "BUTTON_PLAIN");
    HWND mute = FindChildByText(main, "BUTTON_MUTE");
    ASSERT_NE(mute, nullptr);
    ASSERT_TRUE(Hover(mute));
    program.Click(mute, 5, 5);
    EXPECT_TRUE(WaitFor(3000, [&] { return CentrePixel(mute) == kMainColor; }))
        << "the on state with a missing On image shows the main image's piece";
    EndWithEscape(program, main, kExitMs);
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
    EndWithEscape(program, main, kExitMs);
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
    EndWithEscape(program, main, kExitMs);
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
    EndWithEscape(program, main, kExitMs);
}

// A baseline JPEG of 8 x 8 green pixels; its frame header holds the height at 163 and the width at 165.
const unsigned char kSmallJpeg[] = {
    0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x10, 0x0B, 0x0C, 0x0E, 0x0C, 0x0A, 0x10,
    0x0E, 0x0D, 0x0E, 0x12, 0x11, 0x10, 0x13, 0x18, 0x28, 0x1A, 0x18, 0x16, 0x16, 0x18, 0x31, 0x23,
    0x25, 0x1D, 0x28, 0x3A, 0x33, 0x3D, 0x3C, 0x39, 0x33, 0x38, 0x37, 0x40, 0x48, 0x5C, 0x4E, 0x40,
    0x44, 0x57, 0x45, 0x37, 0x38, 0x50, 0x6D, 0x51, 0x57, 0x5F, 0x62, 0x67, 0x68, 0x67, 0x3E, 0x4D,
    0x71, 0x79, 0x70, 0x64, 0x78, 0x5C, 0x65, 0x67, 0x63, 0xFF, 0xDB, 0x00, 0x43, 0x01, 0x11, 0x12,
    0x12, 0x18, 0x15, 0x18, 0x2F, 0x1A, 0x1A, 0x2F, 0x63, 0x42, 0x38, 0x42, 0x63, 0x63, 0x63, 0x63,
    0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63,
    0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63,
    0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0x63, 0xFF, 0xC0,
    0x00, 0x11, 0x08, 0x00, 0x08, 0x00, 0x08, 0x03, 0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11,
    0x01, 0xFF, 0xC4, 0x00, 0x1F, 0x00, 0x00, 0x01, 0x05, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09,
    0x0A, 0x0B, 0xFF, 0xC4, 0x00, 0xB5, 0x10, 0x00, 0x02, 0x01, 0x03, 0x03, 0x02, 0x04, 0x03, 0x05,
    0x05, 0x04, 0x04, 0x00, 0x00, 0x01, 0x7D, 0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21,
    0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xA1, 0x08, 0x23,
    0x42, 0xB1, 0xC1, 0x15, 0x52, 0xD1, 0xF0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0A, 0x16, 0x17,
    0x18, 0x19, 0x1A, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A,
    0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A,
    0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A,
    0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99,
    0x9A, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7,
    0xB8, 0xB9, 0xBA, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5,
    0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF1,
    0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFF, 0xC4, 0x00, 0x1F, 0x01, 0x00, 0x03,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01,
    0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0xFF, 0xC4, 0x00, 0xB5, 0x11, 0x00,
    0x02, 0x01, 0x02, 0x04, 0x04, 0x03, 0x04, 0x07, 0x05, 0x04, 0x04, 0x00, 0x01, 0x02, 0x77, 0x00,
    0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61, 0x71, 0x13,
    0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xA1, 0xB1, 0xC1, 0x09, 0x23, 0x33, 0x52, 0xF0, 0x15,
    0x62, 0x72, 0xD1, 0x0A, 0x16, 0x24, 0x34, 0xE1, 0x25, 0xF1, 0x17, 0x18, 0x19, 0x1A, 0x26, 0x27,
    0x28, 0x29, 0x2A, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49,
    0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69,
    0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88,
    0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6,
    0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3, 0xC4,
    0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE2,
    0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9,
    0xFA, 0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00, 0xCE,
    0xA2, 0x8A, 0x2B, 0xC6, 0x3E, 0x7C, 0xFF, 0xD9,
};
constexpr size_t kJpegHeightAt = 163;

// The small JPEG claiming another size in its frame header (a few hundred bytes either way).
void WriteJpegClaiming(const std::string& path, int width, int height) {
    std::string bytes(reinterpret_cast<const char*>(kSmallJpeg), sizeof kSmallJpeg);
    bytes[kJpegHeightAt] = static_cast<char>(height >> 8);
    bytes[kJpegHeightAt + 1] = static_cast<char>(height & 0xFF);
    bytes[kJpegHeightAt + 2] = static_cast<char>(width >> 8);
    bytes[kJpegHeightAt + 3] = static_cast<char>(width & 0xFF);
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// The live video window of the program (a child of its main window), when it shows one.
HWND LiveVideoWindow(HWND main) {
    HWND found = nullptr;
    WaitFor(5000, [&] {
        HWND w = FindWindowExA(main, nullptr, nullptr, "Lumetra  Live Video");
        if (w && IsWindowVisible(w)) found = w;
        return found != nullptr;
    });
    return found;
}

RECT ClientOnScreen(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST_F(Skin, EmptyFolderReadsViewFilesBesideTheProgram) {
    Program program("skin-empty-folder");
    WriteTestSkin(program.Folder(), {ViewA()}, 30, "");
    HWND main = StartClean(program);
    ASSERT_NE(main, nullptr);
    SIZE size = ClientSize(main);
    EXPECT_EQ(size.cx, 300);
    EXPECT_EQ(size.cy, 200);
    EXPECT_NE(FindChildByText(main, "BUTTON_PLAIN"), nullptr);
    EXPECT_NE(FindChildByText(main, "PROGRESS_VIDEO"), nullptr);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, 1001))) << "the blank window's notice is shown";
    EndWithEscape(program, main, kExitMs);
}

// Pictures and sizes no screen can show: refused with the usual warning, or clipped to the window,
// so that the window comes up with its buttons reachable.
TEST_F(Skin, HostileImagesAndSizesLeaveAUsableWindow) {
    Program program("skin-hostile");
    TestView v = ViewA();
    v.images["Over"] = "huge_over.jpg";       // 65500 x 65500 claimed by a few hundred bytes
    v.images["Down"] = "large_down.jpg";      // 16384 x 16384
    v.images["Blink"] = "small_blink.jpg";    // a good JPEG, loaded as usual
    v.screen = "140,158,100000,100000";
    v.buttons.push_back("BUTTON_HUGE,280,40,20000,20000,TYPE_PUSH,Huge");
    v.progress.push_back("PROGRESS_WIDE,40,115,30000000,8,H,Wide");
    WriteTestSkin(program.Folder(), {v});
    WriteJpegClaiming(program.Folder() + "\\Skin\\huge_over.jpg", 65500, 65500);
    WriteJpegClaiming(program.Folder() + "\\Skin\\large_down.jpg", 16384, 16384);
    WriteJpegClaiming(program.Folder() + "\\Skin\\small_blink.jpg", 8, 8);
    ASSERT_TRUE(program.Start());
    MessageBoxInfo box = ExpectBox(program, "Warning");
    EXPECT_NE(box.text.find("huge_over.jpg"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("large_down.jpg"), std::string::npos) << box.text;
    EXPECT_EQ(box.text.find("small_blink.jpg"), std::string::npos) << box.text;
    program.Answer(box, IDOK);
    HWND main = MainWithoutBoxes(program);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ClientSize(main).cx, 300);
    RECT window = ClientOnScreen(main);

    // The huge elements end at the window's edge.
    for (const char* name : {"BUTTON_HUGE", "PROGRESS_WIDE"}) {
        HWND element = FindChildByText(main, name);
        ASSERT_NE(element, nullptr) << name;
        RECT r;
        GetWindowRect(element, &r);
        EXPECT_TRUE(Inside(r, window)) << name << " reaches past the window: " << r.right << "," << r.bottom;
    }
    // The live picture stays inside the window, clear of the buttons: a button is what lies under
    // the pointer at its centre, and a click on it works.
    HWND live = LiveVideoWindow(main);
    ASSERT_NE(live, nullptr);
    RECT picture = ClientOnScreen(live);
    EXPECT_TRUE(Inside(picture, window)) << "live picture " << picture.left << "," << picture.top << " - "
                                         << picture.right << "," << picture.bottom;
    HWND mute = FindChildByText(main, "BUTTON_MUTE");
    ASSERT_NE(mute, nullptr);
    RECT m;
    GetWindowRect(mute, &m);
    EXPECT_EQ(WindowFromPoint(POINT{(m.left + m.right) / 2, (m.top + m.bottom) / 2}), mute);
    program.Click(mute, 5, 5);
    EXPECT_TRUE(WaitFor(3000, [&] { return CentrePixel(mute) == kOnColor; })) << "the mute button does not react";
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Skin, RadioButtonsOfAGroupTurnEachOtherOff) {
    Program program("skin-radio");
    TestView v = ViewA();
    v.buttons = {"BUTTON_R1,40,10,30,20,TYPE_RADIO,1,One", "BUTTON_R2,80,10,30,20,TYPE_RADIO,1,Two",
                 "BUTTON_R3,120,10,30,20,TYPE_RADIO,2,Three"};
    WriteTestSkin(program.Folder(), {v});
    HWND main = StartClean(program);
    ASSERT_NE(main, nullptr);
    HWND r1 = FindChildByText(main, "BUTTON_R1"), r2 = FindChildByText(main, "BUTTON_R2"),
         r3 = FindChildByText(main, "BUTTON_R3");
    ASSERT_TRUE(r1 && r2 && r3);
    auto on = [](HWND b) { return CentrePixel(b) == kOnColor; };

    program.Click(r1, 5, 5);
    AnswerUnknownName(program, "BUTTON_R1");
    EXPECT_TRUE(WaitFor(3000, [&] { return on(r1); }));
    program.Click(r3, 5, 5);
    AnswerUnknownName(program, "BUTTON_R3");
    EXPECT_TRUE(WaitFor(3000, [&] { return on(r3); }));
    EXPECT_TRUE(on(r1)) << "a button of another group turned group 1 off";
    program.Click(r2, 5, 5);
    AnswerUnknownName(program, "BUTTON_R2");
    EXPECT_TRUE(WaitFor(3000, [&] { return on(r2) && !on(r1); })) << "selecting R2 leaves R1 on";
    EXPECT_TRUE(on(r3)) << "group 2 changed with group 1";
    EndWithEscape(program, main, kExitMs);
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
    EndWithEscape(program, main, kExitMs);
}

}  // namespace
}  // namespace lumetra::e2e
