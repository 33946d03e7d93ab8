// The user guide's pictures, taken from the real program under Wine: one test per picture, each
// starting Lumetra with the default skin and the simulated device, setting up what the picture shows
// and saving the screen area as <test name>.bmp in LUMETRA_GUIDE_OUT. make_pictures.sh turns them into the
// PNG files of docs/images. A new picture is a new TEST here and a line in finish_pictures.py.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/screen_capture.h"
#include "tests/e2e/test_skin.h"

namespace lumetra::e2e {
namespace {

constexpr DWORD kStartMs = 30000;
constexpr DWORD kExitMs = 20000;
const char kSettingsKey[] = "SOFTWARE\\Orvex";

// Each picture is named after its test.
std::string PicturePath() {
    char value[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA("LUMETRA_GUIDE_OUT", value, sizeof value);
    std::string folder = n > 0 && n < sizeof value ? value : BinFolder();
    return folder + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bmp";
}

RECT Union(const RECT& a, const RECT& b) {
    RECT u;
    UnionRect(&u, &a, &b);
    return u;
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

// The skin's video screen on the screen, from the default skin's view file.
RECT VideoScreen(HWND main, const char* viewFile) {
    char value[64] = {};
    GetPrivateProfileStringA("SCREENINFO", "Screen", "", value, sizeof value,
                             (BinFolder() + "\\Default\\" + viewFile).c_str());
    int x = 0, y = 0, w = 0, h = 0;
    sscanf(value, "%d , %d , %d , %d", &x, &y, &w, &h);
    POINT origin{0, 0};
    ClientToScreen(main, &origin);
    return RECT{origin.x + x, origin.y + y, origin.x + x + w, origin.y + y + h};
}

// Saves rect once the video screen in it shows the picture and every window around it is painted (the
// video window is a window of its own, restacked above the main window now and then).
void SaveWithVideo(const RECT& rect, HWND main, const RECT& video, const std::string& fileText = "") {
    // The running time, the file name refreshed with it and the position bar change while the picture
    // is taken.
    std::vector<RECT> changing;
    for (HWND element : {FindChildByPrefix(main, "REC "), FindChildByPrefix(main, "PLAY "),
                         FindChildByText(main, "PROGRESS_VIDEO"),
                         fileText.empty() ? nullptr : FindChildByText(main, fileText)})
        if (element) changing.push_back(WindowRect(element));
    ScreenArea area;
    ASSERT_TRUE(CaptureSettledPicture(rect, video, 15000, area, changing))
        << "no settled picture with the live video";
    SaveArea(area, PicturePath());
}

// Saves a window once it stays in place and unchanged over two captures a moment apart.
void SaveSettledWindow(HWND hwnd) {
    ScreenArea area;
    EXPECT_TRUE(WaitFor(10000, [&] {
        RECT before = WindowRect(hwnd);
        ScreenArea first = CaptureScreen(before);
        Sleep(250);
        area = CaptureScreen(WindowRect(hwnd));
        return EqualRect(&before, &area.rect) && first.pixels == area.pixels;
    })) << "the window does not settle";
    SaveArea(area, PicturePath());
}

// A visible top-level window of the process with the given class (a menu is "#32768").
HWND FindProcessWindow(DWORD pid, const char* className, const char* title = nullptr) {
    struct Search {
        DWORD pid;
        const char *className, *title;
        HWND found;
    } search{pid, className, title, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            char cls[64] = {}, text[256] = {};
            GetClassNameA(hwnd, cls, sizeof cls);
            GetWindowTextA(hwnd, text, sizeof text);
            if (pid == s->pid && IsWindowVisible(hwnd) && std::string(cls) == s->className &&
                (!s->title || std::string(text) == s->title)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// One run of the program with the default skin and fresh settings.
class GuidePicture : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kSettingsKey);
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\Video", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        CreateDirectoryA("C:\\Videos", nullptr);
        recording_ = "C:\\Videos\\Lumetra.avi";  // short enough to show whole on the panel
        DeleteFileA(recording_.c_str());
        RegSetValueExA(key, "FileName", 0, REG_SZ, reinterpret_cast<const BYTE*>(recording_.c_str()),
                       static_cast<DWORD>(recording_.size() + 1));
        RegCloseKey(key);
        program_.CopyFromBin("skins.ini");
        program_.CopyFromBin("Default");
    }
    void TearDown() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kSettingsKey);
        DeleteFileA(recording_.c_str());
    }

    // Starts the program and waits until the live picture runs.
    HWND Start() {
        EXPECT_TRUE(program_.Start());
        HWND main = program_.WaitForMainWindow(kStartMs);
        EXPECT_NE(main, nullptr);
        if (!main) return nullptr;
        EXPECT_TRUE(WaitFor(10000, [&] { return FindChildByText(main, "MONITOR") != nullptr; }));
        Sleep(1500);  // the first frames have reached the screen
        ExpectNoBoxes();
        return main;
    }
    void ExpectNoBoxes() {
        for (const auto& box : program_.OpenMessageBoxes())
            ADD_FAILURE() << "unexpected box: [" << box.caption << "] " << box.text;
    }
    void ClickElement(HWND main, const char* name) {
        HWND element = FindChildByText(main, name);
        ASSERT_NE(element, nullptr) << name;
        program_.Click(element, 5, 5);
    }
    void Record(HWND main, const char* until) {
        ClickElement(main, "BUTTON_VIDCAP");
        EXPECT_TRUE(WaitFor(15000, [&] { return FindChildByPrefix(main, until) != nullptr; })) << "no " << until;
    }
    void StopAndWaitForMonitor(HWND main) {
        ClickElement(main, "BUTTON_VIDSTOP");
        EXPECT_TRUE(WaitFor(15000, [&] { return FindChildByText(main, "MONITOR") != nullptr; }));
    }
    void End(HWND main) {
        ExpectNoBoxes();
        program_.PressKey(main, VK_ESCAPE);
        EXPECT_TRUE(program_.WaitForExit(kExitMs).has_value()) << "the program did not end on Esc";
    }

    Program program_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::string recording_;
};

TEST_F(GuidePicture, main_window) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    SaveWithVideo(WindowRect(main), main, VideoScreen(main, "Full.ini"));
    End(main);
}

TEST_F(GuidePicture, compact_view) {
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKey, "SkinView", 1));
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    SaveWithVideo(WindowRect(main), main, VideoScreen(main, "Compact.ini"));
    End(main);
}

TEST_F(GuidePicture, view_menu) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    ClickElement(main, "BUTTON_VIEW_MENU");
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor(5000, [&] { return (menu = FindProcessWindow(program_.ProcessId(), "#32768")) != nullptr; }));
    Sleep(300);
    SaveWithVideo(Union(WindowRect(main), WindowRect(menu)), main, VideoScreen(main, "Full.ini"));
    program_.PressKey(main, VK_ESCAPE);  // closes the menu
    EXPECT_TRUE(WaitFor(5000, [&] { return FindProcessWindow(program_.ProcessId(), "#32768") == nullptr; }));
    End(main);
}

TEST_F(GuidePicture, picture_size_menu) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    HWND live = FindWindowExA(main, nullptr, nullptr, "Lumetra  Live Video");
    ASSERT_NE(live, nullptr);
    PostMessageA(live, WM_RBUTTONUP, 0, MAKELPARAM(260, 190));  // below the colour bars
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor(5000, [&] { return (menu = FindProcessWindow(program_.ProcessId(), "#32768")) != nullptr; }));
    Sleep(300);
    SaveWithVideo(Union(WindowRect(main), WindowRect(menu)), main, VideoScreen(main, "Full.ini"));
    program_.PressKey(live, VK_ESCAPE);
    EXPECT_TRUE(WaitFor(5000, [&] { return FindProcessWindow(program_.ProcessId(), "#32768") == nullptr; }));
    End(main);
}

TEST_F(GuidePicture, recording) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    Record(main, "REC 00:03");
    SaveWithVideo(WindowRect(main), main, VideoScreen(main, "Full.ini"), recording_);
    StopAndWaitForMonitor(main);
    End(main);
}

TEST_F(GuidePicture, playback) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    Record(main, "REC 00:10");
    StopAndWaitForMonitor(main);
    ClickElement(main, "BUTTON_VIDPLAY");
    EXPECT_TRUE(WaitFor(15000, [&] { return FindChildByPrefix(main, "PLAY 00:02") != nullptr; })) << "no playback";
    // The playback window shows the file at its own size over the panel: the user drags its edge to
    // half that size, so that the panel's texts show.
    HWND playback = FindWindowExA(main, nullptr, nullptr, "Lumetra Playback");
    ASSERT_NE(playback, nullptr);
    RECT outer = WindowRect(playback), inner;
    GetClientRect(playback, &inner);
    int frameW = (outer.right - outer.left) - inner.right, frameH = (outer.bottom - outer.top) - inner.bottom;
    SetWindowPos(playback, nullptr, 0, 0, inner.right / 2 + frameW, inner.bottom / 2 + frameH,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT video;
    GetClientRect(playback, &video);
    MapWindowPoints(playback, nullptr, reinterpret_cast<POINT*>(&video), 2);
    SaveWithVideo(Union(WindowRect(main), WindowRect(playback)), main, video, recording_);
    EXPECT_NE(FindChildByPrefix(main, "PLAY "), nullptr) << "the playback ended before its picture was taken";
    StopAndWaitForMonitor(main);
    End(main);
}

TEST_F(GuidePicture, recording_settings) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    ClickElement(main, "BUTTON_VIDCAP_SETUP");
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor(10000, [&] {
        return (dialog = FindProcessWindow(program_.ProcessId(), "#32770", "VIDEO CAPTURE SETTINGS")) != nullptr;
    }));
    // The user moves the main window (and the live picture with it) out of the dialog's way.
    RECT around = WindowRect(dialog);
    SetWindowPos(main, nullptr, around.right - 20, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SaveSettledWindow(dialog);
    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor(5000, [&] { return !IsWindowVisible(dialog); }));
    End(main);
}

}  // namespace
}  // namespace lumetra::e2e
