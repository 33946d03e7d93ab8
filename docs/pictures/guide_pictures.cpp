// The user guide's pictures, taken from the real program under Wine: one test per picture, each
// starting Lumetra with the default skin and the simulated device, setting up what the picture shows
// and saving the screen area as <test name>.bmp in LUMETRA_GUIDE_OUT. make_pictures.sh turns them into the
// PNG files of docs/images. A new picture is a new TEST here and a line in finish_pictures.py.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "net/password_scramble.h"
#include "res/resource.h"
#include "schedule/schedule_item.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/screen_capture.h"
#include "tests/e2e/test_skin.h"

namespace lumetra::e2e {
namespace {

constexpr DWORD kStartMs = 30000;
constexpr DWORD kExitMs = 20000;
const char kSettingsKey[] = "SOFTWARE\\Orvex";
const char kStillKey[] = "SOFTWARE\\Orvex\\Still";
const char kSnapshotFolder[] = "C:\\Pictures";

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

// Whether two captures of one rectangle agree everywhere outside the live rectangles.
bool SameOutside(const ScreenArea& a, const ScreenArea& b, const std::vector<RECT>& live) {
    for (int y = a.rect.top; y < a.rect.bottom; ++y)
        for (int x = a.rect.left; x < a.rect.right; ++x) {
            POINT p{x, y};
            bool inLive = false;
            for (const RECT& r : live) inLive = inLive || PtInRect(&r, p);
            if (!inLive && a.At(x, y) != b.At(x, y)) return false;
        }
    return true;
}

// Saves a screen area once it stays in place and unchanged over two captures a moment apart (apart
// from the windows that show something live) and once ready() holds for the capture.
void SaveSettledArea(const std::function<RECT()>& where, const std::vector<HWND>& live = {},
                     const std::function<bool(const ScreenArea&)>& ready = nullptr) {
    ScreenArea area;
    EXPECT_TRUE(WaitFor(15000, [&] {
        RECT before = where();
        ScreenArea first = CaptureScreen(before);
        Sleep(250);
        area = CaptureScreen(where());
        std::vector<RECT> liveRects;
        for (HWND hwnd : live) liveRects.push_back(WindowRect(hwnd));
        return EqualRect(&before, &area.rect) && SameOutside(first, area, liveRects) && (!ready || ready(area));
    })) << "the picture does not settle, or never shows what the scene needs";
    SaveArea(area, PicturePath());
}

void SaveSettledWindow(HWND hwnd) {
    SaveSettledArea([hwnd] { return WindowRect(hwnd); });
}

// Pixels of exactly this colour inside a rectangle of a capture.
int CountColour(const ScreenArea& area, const RECT& inside, COLORREF colour) {
    RECT r;
    IntersectRect(&r, &area.rect, &inside);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += area.At(x, y) == colour;
    return n;
}

void WriteRegistryText(const char* path, const char* name, const std::string& value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void WriteRegistryBinary(const char* path, const char* name, const std::vector<BYTE>& bytes) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void DeleteRegistryValue(const char* path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// Local midnight a number of days from today.
std::time_t DaysFromToday(int days) {
    std::time_t now = std::time(nullptr);
    std::tm day{};
    localtime_s(&day, &now);
    day.tm_mday += days;
    day.tm_hour = day.tm_min = day.tm_sec = 0;
    day.tm_isdst = -1;
    return std::mktime(&day);
}

// A complete One-Time entry of the schedule, as the schedule dialog stores it.
ScheduleItem OneTimeEntry(const char* name, std::time_t day, int hour, int minute, int lengthMinutes, int source,
                          int channel) {
    ScheduleItem item;
    item.enabled = 1;
    item.date = static_cast<int32_t>(day);
    std::tm clock{};
    clock.tm_year = 100;
    clock.tm_mday = 1;
    clock.tm_hour = hour;
    clock.tm_min = minute;
    clock.tm_isdst = -1;
    item.startTime = static_cast<int32_t>(std::mktime(&clock));
    item.startDateTime = CombineDateAndTime(item.date, item.startTime);
    item.durationSecs = lengthMinutes * 60;
    item.sourceChoice = source;
    item.channelChoice = channel;
    item.status = kStatusOk;
    item.SetName(name);
    return item;
}

// A visible top-level window of the process with the given class (a menu is "#32768") and, when
// given, the given title (or, with prefix set, a title that begins with it).
HWND FindProcessWindow(DWORD pid, const char* className, const char* title = nullptr, bool prefix = false) {
    struct Search {
        DWORD pid;
        const char *className, *title;
        bool prefix;
        HWND found;
    } search{pid, className, title, prefix, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            char cls[64] = {}, text[256] = {};
            GetClassNameA(hwnd, cls, sizeof cls);
            GetWindowTextA(hwnd, text, sizeof text);
            const bool titled = !s->title || (s->prefix ? std::string(text).rfind(s->title, 0) == 0
                                                                    : std::string(text) == s->title);
            if (pid == s->pid && IsWindowVisible(hwnd) && (!s->className || std::string(cls) == s->className) &&
                titled) {
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
        for (const std::string& file : snapshots_) DeleteFileA(file.c_str());
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
    // A dialog of the program with this title, once it is up.
    HWND WaitForDialog(const char* title) {
        HWND dialog = nullptr;
        EXPECT_TRUE(WaitFor(10000, [&] {
            return (dialog = FindProcessWindow(program_.ProcessId(), "#32770", title)) != nullptr;
        })) << "no window \"" << title << "\"";
        return dialog;
    }
    // Presses a dialog's button and waits until the dialog is gone or hidden.
    void CloseWith(HWND dialog, int button) {
        PostMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor(5000, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
            << "the window did not close";
    }
    // The user moves the main window (and the live picture with it) to the left edge of the screen.
    void MoveMainToTheLeft(HWND main) {
        SetWindowPos(main, nullptr, 10, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Snapshots go to a folder of their own, each under a name of its own.
    void StoreSnapshotSettings() {
        CreateDirectoryA(kSnapshotFolder, nullptr);
        WriteRegistryText(kStillKey, "FileName", std::string(kSnapshotFolder) + "\\Lumetra.bmp");
        ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kStillKey, "FileOverwrite", 0));
        ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kStillKey, "UseShutterSound", 0));
    }
    void End(HWND main) {
        ExpectNoBoxes();
        program_.PressKey(main, VK_ESCAPE);
        EXPECT_TRUE(program_.WaitForExit(kExitMs).has_value()) << "the program did not end on Esc";
    }

    Program program_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::string recording_;
    std::vector<std::string> snapshots_;
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


TEST_F(GuidePicture, snapshot_popup) {
    StoreSnapshotSettings();
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    MoveMainToTheLeft(main);
    ClickElement(main, "BUTTON_SNAPSHOT");
    HWND popup = nullptr;
    ASSERT_TRUE(WaitFor(10000, [&] {
        return (popup = FindProcessWindow(program_.ProcessId(), nullptr, "Lumetra_", true)) != nullptr;
    })) << "no snapshot pop-up";
    char title[MAX_PATH] = {};
    GetWindowTextA(popup, title, sizeof title);
    snapshots_.push_back(std::string(kSnapshotFolder) + "\\" + title);
    // The user opens the pop-up's menu with the right button.
    PostMessageA(popup, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 60));
    PostMessageA(popup, WM_RBUTTONUP, 0, MAKELPARAM(60, 60));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor(5000, [&] { return (menu = FindProcessWindow(program_.ProcessId(), "#32768")) != nullptr; }));
    SaveSettledArea([&] { return Union(WindowRect(popup), WindowRect(menu)); });
    program_.PressKey(popup, VK_ESCAPE);  // closes the menu
    EXPECT_TRUE(WaitFor(5000, [&] { return FindProcessWindow(program_.ProcessId(), "#32768") == nullptr; }));
    program_.PressKey(main, VK_ESCAPE);  // the first Esc hides the pop-up
    EXPECT_TRUE(WaitFor(5000, [&] { return !IsWindowVisible(popup); }));
    End(main);
}

TEST_F(GuidePicture, still_settings) {
    StoreSnapshotSettings();
    DeleteRegistryValue(kStillKey, "UseShutterSound");  // as it is by default: on
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    ClickElement(main, "BUTTON_SNAPSHOT_SETUP");
    HWND dialog = WaitForDialog("STILL IMAGE CAPTURE SETTINGS");
    ASSERT_NE(dialog, nullptr);
    RECT around = WindowRect(dialog);
    SetWindowPos(main, nullptr, around.right - 20, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SaveSettledWindow(dialog);
    CloseWith(dialog, IDCANCEL);
    End(main);
}

TEST_F(GuidePicture, video_standard) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    ClickElement(main, "BUTTON_INPUT_COMPOSITE");  // the input in use: its window
    HWND dialog = WaitForDialog("Analog Video");
    ASSERT_NE(dialog, nullptr);
    SaveSettledWindow(dialog);
    CloseWith(dialog, IDOK);
    End(main);
}

TEST_F(GuidePicture, tuner_window) {
    // The tuner is the input in use, on a channel with a signal, after a scan of the channels.
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKey, "CrossbarInput", 0));
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKey, "TV_Channel_0", 40));
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKey, "TV_Recent_0", 40 | 9 << 8 | 4 << 16 | 2 << 24));
    WriteRegistryBinary(kSettingsKey, "TV_0", {2, 4, 5, 7, 9, 11, 13, 25, 40});
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    MoveMainToTheLeft(main);
    ClickElement(main, "BUTTON_INPUT_TUNER");  // the input in use: its window
    HWND tuner = WaitForDialog("TV Tuner controls");
    ASSERT_NE(tuner, nullptr);
    RECT beside = WindowRect(main);
    SetWindowPos(tuner, nullptr, beside.right + 12, beside.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SaveWithVideo(Union(WindowRect(main), WindowRect(tuner)), main, VideoScreen(main, "Full.ini"));
    CloseWith(tuner, IDC_TV_CLOSE);
    End(main);
}

// The motion detection settings of a user who sends a snapshot by FTP and e-mail at each trigger.
void StoreMotionSettings() {
    const char* key = "SOFTWARE\\Orvex\\MotionDetection";
    struct Value {
        const char* name;
        DWORD value;
    };
    for (const Value& v : {Value{"AreaPercent", 1}, Value{"Countdown", 20}, Value{"Snap", 1}, Value{"FTP", 1},
                           Value{"Email", 1}, Value{"Rearm", 1}, Value{"RearmSecs", 60}})
        WriteRegistryDword(HKEY_LOCAL_MACHINE, key, v.name, v.value);
}

TEST_F(GuidePicture, motion_setup) {
    StoreMotionSettings();
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    ClickElement(main, "BUTTON_MOTION_SETUP");
    HWND setup = WaitForDialog("Motion detection setup");
    ASSERT_NE(setup, nullptr);
    HWND picture = GetDlgItem(setup, IDC_MD_PICTURE), meter = GetDlgItem(setup, IDC_MD_METER);
    // The picture shows the area's outline (blue), its corners (red) and cells that changed as motion
    // (red): more red than the corners alone.
    SaveSettledArea([&] { return WindowRect(setup); }, {picture, meter}, [&](const ScreenArea& area) {
        const RECT inside = WindowRect(picture);
        return CountColour(area, inside, RGB(0, 0, 255)) > 100 && CountColour(area, inside, RGB(255, 0, 0)) > 200;
    });
    CloseWith(setup, IDCANCEL);
    End(main);
}

TEST_F(GuidePicture, internet_destination) {
    const char* key = "SOFTWARE\\Orvex\\Internet";
    WriteRegistryText(key, "EmailAddress", "guard@example.org");
    WriteRegistryText(key, "EmailSubject", "Front door camera");
    WriteRegistryText(key, "FTPServer", "ftp.example.org");
    WriteRegistryText(key, "FTPAddress", "/camera/door");
    WriteRegistryText(key, "FTPUser", "camera");
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, key, "FTPSavePassword", 1));
    std::minstd_rand random(7);
    std::string stored;
    ASSERT_TRUE(ScramblePassword("door-Cam1", [&] { return static_cast<unsigned>(random()); }, stored));
    WriteRegistryText(key, "FTPPassword", stored);
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    ClickElement(main, "BUTTON_MOTION_SETUP");
    HWND setup = WaitForDialog("Motion detection setup");
    ASSERT_NE(setup, nullptr);
    PostMessageA(GetDlgItem(setup, IDC_MD_INTERNET), BM_CLICK, 0, 0);
    HWND dialog = WaitForDialog("Internet Destination for still images captured by motion trigger");
    ASSERT_NE(dialog, nullptr);
    SaveSettledWindow(dialog);
    CloseWith(dialog, IDCANCEL);
    CloseWith(setup, IDCANCEL);
    End(main);
}

TEST_F(GuidePicture, recording_schedule) {
    // Three evenings' entries, two of them overlapping on the same day.
    const std::time_t day = DaysFromToday(3), later = DaysFromToday(5);
    const ScheduleItem entries[] = {OneTimeEntry("Evening news", day, 19, 30, 45, 0, 40),
                                    OneTimeEntry("Film", day, 20, 0, 120, 0, 9),
                                    OneTimeEntry("Garden camera", later, 7, 0, 60, 1, -1)};
    for (size_t i = 0; i < sizeof entries / sizeof entries[0]; ++i) {
        const ScheduleRecord record = EncodeScheduleItem(entries[i]);
        WriteRegistryBinary("SOFTWARE\\Orvex\\RecordingSchedule\\Once", ("Item" + std::to_string(i)).c_str(),
                            std::vector<BYTE>(record.begin(), record.end()));
    }
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    ClickElement(main, "BUTTON_VIEW_MENU");
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor(5000, [&] { return (menu = FindProcessWindow(program_.ProcessId(), "#32768")) != nullptr; }));
    program_.PressKey(menu, VK_UP);  // "Full Screen Mode", the last item
    program_.PressKey(menu, VK_UP);  // "Recording Schedule..."
    program_.PressKey(menu, VK_RETURN);
    HWND dialog = WaitForDialog("Video Recording Schedule");
    ASSERT_NE(dialog, nullptr);
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);  // no row under the pointer
    // Sort & Check marks the later of the two overlapping entries in red.
    HWND list = GetDlgItem(dialog, IDC_SCHED_LIST_ONCE);
    const int redBefore = CountColour(CaptureScreen(WindowRect(list)), WindowRect(list), RGB(255, 0, 0));
    PostMessageA(GetDlgItem(dialog, IDC_SCHED_SORT_CHECK), BM_CLICK, 0, 0);
    SaveSettledArea([&] { return WindowRect(dialog); }, {}, [&](const ScreenArea& area) {
        return CountColour(area, WindowRect(list), RGB(255, 0, 0)) > redBefore + 20;
    });
    CloseWith(dialog, IDCANCEL);
    End(main);
}

}  // namespace
}  // namespace lumetra::e2e
