// Inputs, picture controls, capture size, the recording-input menu, the TV tuner window and the
// mixer, driven from outside through the skin. Sound.* runs in the Wine prefix with a sound server
// (scripts/with-sound.sh); the rest in the project's prefix, which has no sound card.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/test_skin.h"

namespace lumetra::e2e {
namespace {

constexpr DWORD kStartMs = 20000;
constexpr DWORD kExitMs = 20000;
const char kOrvex[] = "SOFTWARE\\Orvex";
const char kSimControl[] = "Software\\LumetraSim";

// The program's visible top-level windows whose title is exactly `title`.
HWND ProgramWindow(const Program& program, const std::string& title) {
    struct Search {
        DWORD pid;
        std::string title;
        HWND found;
    } search{program.ProcessId(), title, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            char text[128] = {};
            GetWindowTextA(hwnd, text, sizeof text);
            if (pid != s->pid || !IsWindowVisible(hwnd) || s->title != text) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A visible top-level window of the program holding a control of this identifier and class (a
// property frame holding a page), or null.
HWND WindowWithControl(const Program& program, int controlId, const char* controlClass, HWND* control) {
    struct Search {
        DWORD pid;
        int id;
        std::string cls;
        HWND window, control;
    } search{program.ProcessId(), controlId, controlClass, nullptr, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
            EnumChildWindows(
                hwnd,
                [](HWND child, LPARAM lp2) -> BOOL {
                    auto* s2 = reinterpret_cast<Search*>(lp2);
                    char cls[64] = {};
                    GetClassNameA(child, cls, sizeof cls);
                    if (GetDlgCtrlID(child) != s2->id || s2->cls != cls) return TRUE;
                    s2->control = child;
                    return FALSE;
                },
                lp);
            if (!s->control) return TRUE;
            s->window = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (control) *control = search.control;
    return search.window;
}

// The skin trackbar at a point of the main window's client area.
HWND TrackbarAt(HWND main, int x, int y) {
    POINT at{x, y};
    ClientToScreen(main, &at);
    struct Search {
        POINT at;
        HWND found;
    } search{at, nullptr};
    EnumChildWindows(
        main,
        [](HWND child, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            char cls[64] = {};
            GetClassNameA(child, cls, sizeof cls);
            RECT r;
            GetWindowRect(child, &r);
            if (std::string(cls) != "msctls_trackbar32" || !IsWindowVisible(child) || !PtInRect(&r, s->at)) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND VisibleMenu() {
    HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

std::string ControlText(HWND hwnd) {
    char text[256] = {};
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

int Grey(COLORREF c) { return (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3; }

class Devices : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex);
    }
    void TearDown() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex);
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSimControl, "BrightnessRange");
    }
    HWND Start(Program& program) {
        HWND main = StartWithDefaultSkin(program, kStartMs);
        if (main) Sleep(1500);
        return main;
    }
    // The skin's video screen on the screen (the default skin's full view).
    RECT Screen(HWND main) {
        POINT origin{0, 0};
        ClientToScreen(main, &origin);
        return RECT{origin.x + 30, origin.y + 68, origin.x + 30 + 384, origin.y + 68 + 288};
    }
    // Mean grey of a part of the live picture, in fractions of its width and height.
    double MeanGrey(HWND main, double x0, double y0, double x1, double y1) {
        RECT s = Screen(main);
        int w = s.right - s.left, h = s.bottom - s.top;
        double sum = 0;
        int n = 0;
        for (int y = static_cast<int>(y0 * h); y < static_cast<int>(y1 * h); y += 3)
            for (int x = static_cast<int>(x0 * w); x < static_cast<int>(x1 * w); x += 3, ++n)
                sum += Grey(ScreenPixel(s.left + x, s.top + y));
        return n ? sum / n : 0;
    }
    // The lower band of the picture tells the inputs apart.
    enum class Band { RisingRamp, FallingRamp, Checkerboard, Other };
    Band BandOf(HWND main) {
        RECT s = Screen(main);
        int w = s.right - s.left, h = s.bottom - s.top;
        int jumps = 0;
        for (int row : {h * 3 / 4, h * 7 / 8}) {
            int previous = Grey(ScreenPixel(s.left + 8, s.top + row));
            for (int x = 10; x < w - 4; x += 2) {
                int g = Grey(ScreenPixel(s.left + x, s.top + row));
                jumps += std::abs(g - previous) > 80;
                previous = g;
            }
        }
        if (jumps > 16) return Band::Checkerboard;
        double left = MeanGrey(main, 0.05, 0.72, 0.25, 0.98), right = MeanGrey(main, 0.75, 0.72, 0.95, 0.98);
        if (right > left + 60) return Band::RisingRamp;
        if (left > right + 60) return Band::FallingRamp;
        return Band::Other;
    }
    bool WaitForBand(HWND main, Band band) { return WaitFor(8000, [&] { return BandOf(main) == band; }); }
    // Whether the first colour bar is near a pure colour (each channel high or low). A tuner channel
    // turns the bars: channel 4 starts with magenta, channel 9 with yellow.
    bool FirstBarIs(HWND main, bool red, bool green, bool blue) {
        RECT s = Screen(main);
        int w = s.right - s.left, h = s.bottom - s.top;
        long r = 0, g = 0, b = 0, n = 0;
        for (int y = h * 3 / 10; y < h / 2; y += 4)
            for (int x = w / 50; x < w / 9; x += 3, ++n) {
                COLORREF c = ScreenPixel(s.left + x, s.top + y);
                r += GetRValue(c);
                g += GetGValue(c);
                b += GetBValue(c);
            }
        auto level = [&](long sum, bool high) { return high ? sum / n > 140 : sum / n < 90; };
        return n && level(r, red) && level(g, green) && level(b, blue);
    }
    bool WaitForFirstBar(HWND main, bool red, bool green, bool blue) {
        return WaitFor(8000, [&] { return FirstBarIs(main, red, green, blue); });
    }
};

TEST_F(Devices, InputButtonsSwitchThePictureAndToggleTheirDialogs) {
    Program program("devices-inputs");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitForBand(main, Band::RisingRamp)) << "composite at start";
    EXPECT_FALSE(IsWindowEnabled(FindChildByText(main, "BUTTON_INPUT_WEBCAM"))) << "the TV box has no camera input";

    ClickElement(program, main, "BUTTON_INPUT_SVIDEO");
    EXPECT_TRUE(WaitForBand(main, Band::FallingRamp)) << "S-Video";
    ClickElement(program, main, "BUTTON_INPUT_TUNER");
    EXPECT_TRUE(WaitForBand(main, Band::Checkerboard)) << "tuner";
    ClickElement(program, main, "BUTTON_INPUT_COMPOSITE");
    EXPECT_TRUE(WaitForBand(main, Band::RisingRamp)) << "composite again";

    // The current input's button shows and hides its dialog.
    ClickElement(program, main, "BUTTON_INPUT_COMPOSITE");
    EXPECT_TRUE(WaitFor(5000, [&] { return ProgramWindow(program, "Analog Video") != nullptr; }));
    ClickElement(program, main, "BUTTON_INPUT_COMPOSITE");
    EXPECT_TRUE(WaitFor(5000, [&] { return ProgramWindow(program, "Analog Video") == nullptr; }));

    // Another input hides it; the tuner's own button shows the tuner window, which Esc closes first.
    ClickElement(program, main, "BUTTON_INPUT_COMPOSITE");
    ASSERT_TRUE(WaitFor(5000, [&] { return ProgramWindow(program, "Analog Video") != nullptr; }));
    ClickElement(program, main, "BUTTON_INPUT_TUNER");
    EXPECT_TRUE(WaitFor(5000, [&] { return ProgramWindow(program, "Analog Video") == nullptr; }));
    EXPECT_EQ(ProgramWindow(program, "TV Tuner controls"), nullptr);
    ClickElement(program, main, "BUTTON_INPUT_TUNER");
    ASSERT_TRUE(WaitFor(5000, [&] { return ProgramWindow(program, "TV Tuner controls") != nullptr; }));
    program.PressKey(main, VK_ESCAPE);
    EXPECT_TRUE(WaitFor(5000, [&] { return ProgramWindow(program, "TV Tuner controls") == nullptr; }));
    EXPECT_FALSE(program.WaitForExit(500).has_value()) << "Esc ended the program instead of closing the tuner";
    EndWithEscape(program, main, kExitMs);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "CrossbarInput"), 0u);
}

TEST_F(Devices, PictureControlsThroughWheelStepsBarAndPages) {
    Program program("devices-picture");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    // The device's own ranges and values, read before anything was written to it.
    HWND brightness = TrackbarAt(main, 509, 343), contrast = TrackbarAt(main, 629, 343);
    HWND volumeBar = TrackbarAt(main, 629, 367);
    ASSERT_NE(brightness, nullptr);
    ASSERT_NE(contrast, nullptr);
    ASSERT_NE(volumeBar, nullptr);
    EXPECT_EQ(SendMessageA(brightness, TBM_GETRANGEMAX, 0, 0), 255);
    EXPECT_EQ(SendMessageA(brightness, TBM_GETPOS, 0, 0), 128);
    EXPECT_EQ(SendMessageA(contrast, TBM_GETRANGEMAX, 0, 0), 200);
    EXPECT_EQ(SendMessageA(contrast, TBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(SendMessageA(volumeBar, TBM_GETRANGEMAX, 0, 0), 65535);  // no sound card here: the defaults
    EXPECT_EQ(SendMessageA(volumeBar, TBM_GETPOS, 0, 0), 32000);
    auto blackBar = [&] { return MeanGrey(main, 0.895, 0.3, 0.98, 0.5); };
    auto blackBarBetween = [&](double low, double high) {
        return WaitFor(8000, [&] {
            double now = blackBar();
            return now > low && now < high;
        });
    };
    // The light grey bar keeps its level: no default brightness of 50 was pushed to the device.
    EXPECT_TRUE(WaitFor(5000, [&] { return MeanGrey(main, 0.02, 0.3, 0.1, 0.5) > 170; }));
    ClickElement(program, main, "BUTTON_CYCLE_NEXT");  // volume -> brightness
    ASSERT_TRUE(WaitFor(5000, [&] { return FindChildByText(main, "BUTTON_PROP_BRIGHTNESS") != nullptr; }));
    // The black bar (the eighth) at the device's default brightness.
    const double black = blackBar();
    EXPECT_LT(black, 20);
    RECT bar;
    GetWindowRect(FindChildByText(main, "PROGRESS_PROPERTY"), &bar);
    LPARAM at = MAKELPARAM((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
    // Ten wheel messages, each 2 % of the maximum (255 / 50 = 5) whatever the delta's size.
    for (int i = 0; i < 10; ++i) PostMessageA(main, WM_MOUSEWHEEL, MAKEWPARAM(0, i % 2 ? 120 : 240), at);
    // Luma 16 + 50 shows as about 58 in each colour.
    EXPECT_TRUE(blackBarBetween(45, 72)) << "wheel: black bar now " << blackBar();
    // Ten steps down, each 1 % of the maximum (255 / 100 = 2): luma 16 + 30, about 35.
    for (int i = 0; i < 10; ++i) ClickElement(program, main, "BUTTON_CYCLE_DOWN");
    EXPECT_TRUE(blackBarBetween(24, 46)) << "steps: black bar now " << blackBar();
    // A click at 90 % of the property bar: 229, luma 16 + 101, about 117.
    HWND level = FindChildByText(main, "PROGRESS_PROPERTY");
    RECT levelRect;
    GetWindowRect(level, &levelRect);
    program.Click(level, (levelRect.right - levelRect.left) * 9 / 10, (levelRect.bottom - levelRect.top) / 2);
    EXPECT_TRUE(blackBarBetween(100, 135)) << "bar: black bar now " << blackBar();
    EXPECT_NEAR(SendMessageA(brightness, TBM_GETPOS, 0, 0), 229, 5) << "the brightness trackbar did not follow";

    // The device's own page sets brightness back to 128; the program reads it back afterwards
    // instead of writing its 229 again.
    ClickElement(program, main, "BUTTON_DEVICE_PROPERTY");
    HWND slider = nullptr, frame = nullptr;
    ASSERT_TRUE(WaitFor(10000, [&] { return (frame = WindowWithControl(program, 1001, "msctls_trackbar32", &slider)) != nullptr; }));
    SendMessageA(slider, TBM_SETPOS, TRUE, 128);
    SendMessageA(GetParent(slider), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 128), reinterpret_cast<LPARAM>(slider));
    PostMessageA(frame, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor(5000, [&] { return WindowWithControl(program, 1001, "msctls_trackbar32", nullptr) == nullptr; }));
    EXPECT_TRUE(blackBarBetween(-1, 20)) << "page: black bar now " << blackBar();
    EXPECT_EQ(SendMessageA(brightness, TBM_GETPOS, 0, 0), 128) << "the brightness trackbar did not follow the page";
    EndWithEscape(program, main, kExitMs);
}

// Many webcams run brightness from -64 to 64: the bar covers the whole range, the middle is the
// device's 0, and the lower half darkens the picture.
TEST_F(Devices, PictureControlsCoverARangeBelowZero) {
    ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, kSimControl, "BrightnessRange", "-64,64"));
    Program program("devices-picture-negative");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    HWND brightness = TrackbarAt(main, 509, 343);
    ASSERT_NE(brightness, nullptr);
    EXPECT_EQ(SendMessageA(brightness, TBM_GETRANGEMAX, 0, 0), 128);
    EXPECT_EQ(SendMessageA(brightness, TBM_GETPOS, 0, 0), 64) << "the device's 0 is the middle of the bar";
    auto greyBar = [&] { return MeanGrey(main, 0.02, 0.3, 0.1, 0.5); };
    const double neutral = greyBar();
    EXPECT_GT(neutral, 170) << "the picture is not neutral at the device's 0";

    ClickElement(program, main, "BUTTON_CYCLE_NEXT");  // volume -> brightness
    ASSERT_TRUE(WaitFor(5000, [&] { return FindChildByText(main, "BUTTON_PROP_BRIGHTNESS") != nullptr; }));
    HWND level = FindChildByText(main, "PROGRESS_PROPERTY");
    RECT levelRect;
    GetWindowRect(level, &levelRect);
    const int width = levelRect.right - levelRect.left, middle = (levelRect.bottom - levelRect.top) / 2;
    // 10 % of the bar: 12 above the minimum, the device's -52.
    program.Click(level, width / 10, middle);
    EXPECT_TRUE(WaitFor(8000, [&] { return greyBar() < neutral - 35; })) << "10 %: grey bar now " << greyBar();
    EXPECT_NEAR(SendMessageA(brightness, TBM_GETPOS, 0, 0), 12, 2) << "the brightness trackbar did not follow";
    // 90 %: the device's 51.
    program.Click(level, width * 9 / 10, middle);
    EXPECT_TRUE(WaitFor(8000, [&] { return greyBar() > neutral + 25; })) << "90 %: grey bar now " << greyBar();
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Devices, CrossbarPageRoutesAndTheInputFollows) {
    Program program("devices-crossbar");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    ClickElement(program, main, "BUTTON_XBAR");
    HWND inputs = nullptr, frame = nullptr;
    ASSERT_TRUE(WaitFor(10000, [&] { return (frame = WindowWithControl(program, 1101, "ComboBox", &inputs)) != nullptr; }));
    // The page lists the video inputs in the crossbar's order: tuner, composite, S-Video.
    ASSERT_EQ(SendMessageA(inputs, CB_GETCOUNT, 0, 0), 3);
    SendMessageA(inputs, CB_SETCURSEL, 2, 0);
    SendMessageA(GetParent(inputs), WM_COMMAND, MAKEWPARAM(1101, CBN_SELCHANGE), reinterpret_cast<LPARAM>(inputs));
    PostMessageA(frame, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitForBand(main, Band::FallingRamp));
    EndWithEscape(program, main, kExitMs);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "CrossbarInput"), 2u);
}

TEST_F(Devices, CaptureSizeButtonChangesTheFormatTextAndTheWindow) {
    Program program("devices-capture-size");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(FindChildByText(main, "640 x 480"), nullptr);
    ClickElement(program, main, "BUTTON_CAPTURE_SIZE");
    HWND sizes = nullptr, frame = nullptr;
    ASSERT_TRUE(WaitFor(10000, [&] { return (frame = WindowWithControl(program, 1201, "ComboBox", &sizes)) != nullptr; }))
        << "the capture format's page did not show";
    SendMessageA(sizes, CB_SETCURSEL, 2, 0);  // 320 x 240
    SendMessageA(GetParent(sizes), WM_COMMAND, MAKEWPARAM(1201, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
    PostMessageA(frame, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor(10000, [&] { return FindChildByText(main, "320 x 240") != nullptr; }));
    HWND live = FindWindowExA(main, nullptr, nullptr, "Lumetra  Live Video");
    ASSERT_NE(live, nullptr);
    RECT client;
    // 100 % of the capture size; the video window keeps its client area one pixel smaller.
    EXPECT_TRUE(WaitFor(5000, [&] {
        GetClientRect(live, &client);
        return client.right == 319 && client.bottom == 239;
    })) << client.right << " x " << client.bottom;
    EndWithEscape(program, main, kExitMs);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "StreamFormat"), 2u);

    // The size sticks: the next start captures 320 x 240.
    Program again("devices-capture-size-again");
    HWND second = Start(again);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(WaitFor(5000, [&] { return FindChildByText(second, "320 x 240") != nullptr; }));
    EndWithEscape(again, second);
}

TEST_F(Devices, RecordingInputMenuOffersTheTunerSoundOnlyForTheTuner) {
    Program program("devices-menu");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    auto menuHeight = [&] {
        ClickElement(program, main, "BUTTON_PROP_VOLUME");
        HWND menu = nullptr;
        EXPECT_TRUE(WaitFor(5000, [&] { return (menu = VisibleMenu()) != nullptr; })) << "no menu";
        if (!menu) return 0L;
        RECT r, button;
        GetWindowRect(menu, &r);
        GetWindowRect(FindChildByText(main, "BUTTON_PROP_VOLUME"), &button);
        EXPECT_EQ(r.left, button.left) << "the menu opens below the button";
        EXPECT_NEAR(r.top, button.bottom, 2);
        program.PressKey(menu, VK_ESCAPE);
        EXPECT_TRUE(WaitFor(5000, [&] { return VisibleMenu() == nullptr; }));
        return r.bottom - r.top;
    };
    long plain = menuHeight();
    ClickElement(program, main, "BUTTON_INPUT_TUNER");
    ASSERT_TRUE(WaitForBand(main, Band::Checkerboard));
    long withTuner = menuHeight();
    EXPECT_GT(withTuner, plain) << "the TV tuner audio entry is missing";
    // Not muted: the button shows no mute.
    EXPECT_NE(FindChildByText(main, "BUTTON_PROP_VOLUME"), nullptr);
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Devices, TunerWindowTunesAChannelThatPersists) {
    // The tuner window comes up where it was left: here clear of the picture.
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "TV_Left", 720));
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "TV_Top", 40));
    Program program("devices-tuner");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    ClickElement(program, main, "BUTTON_INPUT_TUNER");
    ASSERT_TRUE(WaitForBand(main, Band::Checkerboard));
    ClickElement(program, main, "BUTTON_INPUT_TUNER");
    HWND tuner = nullptr;
    ASSERT_TRUE(WaitFor(5000, [&] { return (tuner = ProgramWindow(program, "TV Tuner controls")) != nullptr; }));
    RECT place;
    GetWindowRect(tuner, &place);
    EXPECT_EQ(place.left, 720);
    EXPECT_EQ(place.top, 40);
    HWND combo = GetDlgItem(tuner, 1345);
    EXPECT_EQ(ControlText(combo), "4");
    EXPECT_TRUE(WaitForFirstBar(main, true, false, true)) << "channel 4";
    for (const char* key : {"9", "Enter"}) PostMessageA(FindChildByText(tuner, key), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor(5000, [&] { return ControlText(combo) == "9"; }));
    EXPECT_TRUE(WaitForFirstBar(main, true, true, false)) << "channel 9";
    PostMessageA(FindChildByText(tuner, "Close"), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor(5000, [&] { return ProgramWindow(program, "TV Tuner controls") == nullptr; }));
    EndWithEscape(program, main, kExitMs);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "TV_Channel_0"), 9u);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "CrossbarInput"), 0u);

    Program again("devices-tuner-again");
    HWND second = Start(again);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(WaitForBand(second, Band::Checkerboard)) << "the tuner routed again";
    EXPECT_TRUE(WaitForFirstBar(second, true, true, false)) << "on channel 9 again";
    ClickElement(again, second, "BUTTON_INPUT_TUNER");  // the current input: its window
    HWND tuner2 = nullptr;
    ASSERT_TRUE(WaitFor(5000, [&] { return (tuner2 = ProgramWindow(again, "TV Tuner controls")) != nullptr; }));
    EXPECT_EQ(ControlText(GetDlgItem(tuner2, 1345)), "9");
    EXPECT_EQ(ControlText(GetDlgItem(tuner2, 1372)), "9");  // the most recent channel
    again.PressKey(second, VK_ESCAPE);  // closes the tuner window first
    EXPECT_TRUE(WaitFor(5000, [&] { return ProgramWindow(again, "TV Tuner controls") == nullptr; }));
    EXPECT_TRUE(again.Running());
    EndWithEscape(again, second);
}

// The mixer of a real (null) sound card: mute and unmute through the skin.
class Sound : public ::testing::Test {
protected:
    void SetUp() override { DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex); }
    void TearDown() override { DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex); }
};

// The volume button draws its property's pictures: Volume normally, Mute while muted.
constexpr COLORREF kMutedColor = RGB(0, 200, 200);

TestView SoundView() {
    TestView v;
    v.file = "Sound.ini";
    v.title = "Sound";
    v.images = StandardImages("s_");
    v.images["Volume"] = "s_volume.bmp";
    v.images["Mute"] = "s_mute.bmp";
    v.screen = "140,120,120,60";
    v.buttons = {"BUTTON_EXIT,40,10,30,20,TYPE_PUSH,Exit", "BUTTON_MUTE,80,10,30,20,TYPE_ON_OFF,Mute,Unmute",
                 "BUTTON_PROP_VOLUME,120,10,60,20,TYPE_PUSH,Volume,Muted"};
    return v;
}

TEST_F(Sound, MuteAndUnmuteThroughTheMixer) {
    Program program("sound-mute");
    TestView view = SoundView();
    WriteTestSkin(program.Folder(), {view});
    WriteSolidBitmap(program.Folder() + "\\Skin\\s_mute.bmp", view.width, view.height, kMutedColor);
    ASSERT_TRUE(program.Start());
    HWND main = program.WaitForMainWindow(kStartMs);
    ASSERT_NE(main, nullptr);
    ExpectNoBoxes(program);
    HWND mute = FindChildByText(main, "BUTTON_MUTE");
    HWND volume = FindChildByText(main, "BUTTON_PROP_VOLUME");
    ASSERT_NE(mute, nullptr);
    ASSERT_NE(volume, nullptr);
    EXPECT_NE(CentrePixel(volume), kMutedColor);

    // The mute button mutes the mixer: the volume button shows it.
    program.Click(mute, 5, 5);
    EXPECT_TRUE(WaitFor(5000, [&] { return CentrePixel(volume) == kMutedColor; })) << "the mixer did not mute";
    EXPECT_EQ(CentrePixel(mute), kOnColor);
    // While muted the volume button only unmutes, without its menu.
    program.Click(volume, 5, 5);
    EXPECT_TRUE(WaitFor(5000, [&] { return CentrePixel(volume) != kMutedColor && CentrePixel(mute) != kOnColor; }));
    Sleep(500);
    EXPECT_EQ(VisibleMenu(), nullptr);

    // Not muted: the recording-input menu; its "Mute" entry, two up from the end.
    program.Click(volume, 5, 5);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor(5000, [&] { return (menu = VisibleMenu()) != nullptr; }));
    program.PressKey(menu, VK_UP);
    program.PressKey(menu, VK_UP);
    program.PressKey(menu, VK_RETURN);
    EXPECT_TRUE(WaitFor(5000, [&] { return CentrePixel(volume) == kMutedColor && CentrePixel(mute) == kOnColor; }))
        << "the menu's Mute did not mute";
    ExpectNoBoxes(program);
    program.PressKey(main, VK_ESCAPE);
    EXPECT_TRUE(program.WaitForExit(kExitMs).has_value());
}

}  // namespace
}  // namespace lumetra::e2e
