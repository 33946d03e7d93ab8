// Live video, recording and playback driven from outside through the default skin.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "tests/e2e/driver.h"
#include "tests/e2e/test_skin.h"

namespace lumetra::e2e {
namespace {

constexpr DWORD kStartMs = 20000;
constexpr DWORD kExitMs = 20000;
const char kOrvex[] = "SOFTWARE\\Orvex";

const char kVideoSettings[] = "SOFTWARE\\Orvex\\Video";
const char kSimControl[] = "Software\\LumetraSim";

// Where recordings that the ffprobe check reads go: LUMETRA_MEDIA_OUT, else the binaries folder.
std::string MediaOut(const std::string& name) {
    char folder[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA("LUMETRA_MEDIA_OUT", folder, sizeof folder);
    std::string base = n > 0 && n < sizeof folder ? std::string(folder) : BinFolder();
    CreateDirectoryA(base.c_str(), nullptr);
    return base + "\\" + name;
}

void SetCaptureFile(const std::string& path) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kVideoSettings, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "FileName", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
}

// The simulated device goes away (EC_DEVICE_LOST) or comes back.
void Unplug(bool unplugged) {
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kSimControl, "Unplugged", unplugged ? 1 : 0));
}

class Media : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex);
        capture_ = BinFolder() + "\\e2e-capture.avi";
        DeleteFileA(capture_.c_str());
        SetCaptureFile(capture_);
    }
    void TearDown() override {
        Unplug(false);
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex);
        DeleteFileA(capture_.c_str());
    }
    // The skin's video screen rectangle on the screen.
    RECT ScreenRect(HWND main) {
        char value[64] = {};
        GetPrivateProfileStringA("SCREENINFO", "Screen", "", value, sizeof value,
                                 (BinFolder() + "\\Default\\Full.ini").c_str());
        int x = 0, y = 0, w = 0, h = 0;
        sscanf(value, "%d , %d , %d , %d", &x, &y, &w, &h);
        POINT origin{0, 0};
        ClientToScreen(main, &origin);
        return RECT{origin.x + x, origin.y + y, origin.x + x + w, origin.y + y + h};
    }
    // Whether the X server shows the simulated device's colour bars on the skin's screen (or in the
    // client area of a picture window): green in the fourth of eight bars and blue in the seventh,
    // two thirds of the way up.
    bool PictureOnScreen(HWND main, HWND picture = nullptr) {
        RECT screen = ScreenRect(main);
        if (picture) {
            GetClientRect(picture, &screen);
            MapWindowPoints(picture, nullptr, reinterpret_cast<POINT*>(&screen), 2);
        }
        int w = screen.right - screen.left, h = screen.bottom - screen.top;
        auto bar = [&](int index) {
            return XScreenPixel(screen.left + w * (2 * index + 1) / 16, screen.top + h * 2 / 5);
        };
        lastGreen_ = bar(3);
        lastBlue_ = bar(6);
        return Near(lastGreen_, false, true, false) && Near(lastBlue_, false, false, true);
    }
    // What the last look saw, for failure messages.
    std::string LastLook() const {
        char text[64];
        std::snprintf(text, sizeof text, "bars seen as %06lx and %06lx", lastGreen_, lastBlue_);
        return text;
    }
    COLORREF lastGreen_ = 0, lastBlue_ = 0;
    bool WaitForPicture(HWND main, DWORD timeoutMs = 10000, HWND picture = nullptr) {
        return WaitFor(timeoutMs, [&] { return PictureOnScreen(main, picture); });
    }
    // A real click at the centre of an element, through the X server.
    bool RealClickOn(HWND main, const char* element) {
        HWND child = FindChildByText(main, element);
        if (!child) return false;
        RECT r;
        GetWindowRect(child, &r);
        return RealClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // Waits for the next box, checks its caption and text and answers it.
    void ExpectBox(Program& program, const std::string& caption, const std::string& text, int answer = IDOK) {
        auto box = program.WaitForMessageBox(15000);
        ASSERT_TRUE(box.has_value()) << "no box: " << text;
        EXPECT_EQ(box->caption, caption);
        EXPECT_EQ(box->text, text);
        EXPECT_TRUE(program.Answer(*box, answer));
    }
    static bool Enabled(HWND main, const char* element) {
        HWND child = FindChildByText(main, element);
        return child && IsWindowEnabled(child);
    }
    static bool Shows(HWND main, const char* text) { return FindChildByText(main, text) != nullptr; }
    static uint64_t FileSize(const std::string& path) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
        return data.nFileSizeLow | static_cast<uint64_t>(data.nFileSizeHigh) << 32;
    }
    std::string capture_;

    // Whether the pixel is near a pure colour (each channel high or low).
    static bool Near(COLORREF c, bool red, bool green, bool blue) {
        if (c == CLR_INVALID) return false;
        auto level = [](int v, bool high) { return high ? v > 140 : v < 90; };
        return level(GetRValue(c), red) && level(GetGValue(c), green) && level(GetBValue(c), blue);
    }
};

TEST_F(Media, LivePictureFillsTheSkinScreen) {
    Program program("media-live");
    HWND main = StartWithDefaultSkin(program, kStartMs, false);
    ASSERT_NE(main, nullptr);
    RECT screen = ScreenRect(main);
    int w = screen.right - screen.left, h = screen.bottom - screen.top;
    // The simulated device shows colour bars over the top two thirds: yellow, green, blue among them.
    auto bar = [&](double index) { return ScreenPixel(screen.left + static_cast<int>(w * (index + 0.5) / 8), screen.top + h * 2 / 5); };
    EXPECT_TRUE(WaitFor(15000, [&] { return Near(bar(3), false, true, false); }))
        << "no green bar in the live picture: " << std::hex << bar(3);
    EXPECT_TRUE(Near(bar(1), true, true, false)) << std::hex << bar(1);
    EXPECT_TRUE(Near(bar(6), false, false, true)) << std::hex << bar(6);
    EXPECT_NE(FindChildByText(main, "MONITOR"), nullptr);
    EXPECT_NE(FindChildByText(main, "640 x 480"), nullptr);
    EndWithEscape(program, main, kExitMs);
}

// Sets an environment variable for the programs started while it lives.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~ScopedEnvironment() { SetEnvironmentVariableA(name_, nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
};

// The steps of a start-up trace with their times (ms); a step named twice keeps its first time.
std::map<std::string, double> ReadTraceSteps(const std::string& path) {
    std::map<std::string, double> steps;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        double ms = 0;
        std::string unit, step;
        if (!(fields >> ms >> unit) || unit != "ms") continue;
        std::getline(fields >> std::ws, step);
        steps.emplace(step, ms);
    }
    return steps;
}

TEST_F(Media, StartupTraceTimesEachStepUpToTheFirstFrame) {
    Program program("media-trace");
    const std::string trace = program.Folder() + "\\startup.txt";
    HWND main = nullptr;
    {
        ScopedEnvironment variable("LUMETRA_STARTUP_TRACE", trace);
        main = StartWithDefaultSkin(program, kStartMs, false);
    }
    ASSERT_NE(main, nullptr);
    const char* const kInOrder[] = {"COM and common controls initialised", "skin image Full_Main.bmp decoded",
                                    "skin loaded", "device discovery", "preview built, renderer window",
                                    "main window shown", "main window and its elements painted"};
    std::map<std::string, double> steps;
    EXPECT_TRUE(WaitFor(15000, [&] {
        steps = ReadTraceSteps(trace);
        return steps.count("first frame passed to the renderer") && steps.count("device dialogs created");
    })) << "the trace did not reach the first frame and the device dialogs";
    double previous = 0;
    for (const char* step : kInOrder) {
        ASSERT_TRUE(steps.count(step)) << "no step: " << step;
        EXPECT_GE(steps[step], previous) << step;
        previous = steps[step];
    }
    EXPECT_GT(steps["first frame passed to the renderer"], steps["preview built, renderer window"]);
    // The device dialogs wait until the window has been drawn.
    EXPECT_GE(steps["device dialogs created"], steps["main window and its elements painted"]);
    EXPECT_TRUE(WaitForPicture(main)) << LastLook();
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Media, RecordStopAndPlayBackThroughTheButtons) {
    Program program("media-record");
    HWND main = StartWithDefaultSkin(program, kStartMs, false);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor(10000, [&] { return FindChildByText(main, "MONITOR") != nullptr; }));

    program.Click(FindChildByText(main, "BUTTON_VIDCAP"), 5, 5);
    EXPECT_TRUE(WaitFor(10000, [&] { return FindChildByPrefix(main, "REC 00:02") != nullptr; }))
        << "recording time does not run";
    program.Click(FindChildByText(main, "BUTTON_VIDSTOP"), 5, 5);
    ASSERT_TRUE(WaitFor(10000, [&] { return FindChildByText(main, "MONITOR") != nullptr; }));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA(capture_.c_str(), GetFileExInfoStandard, &data));
    EXPECT_GT(data.nFileSizeLow | static_cast<uint64_t>(data.nFileSizeHigh) << 32, 30ull * 640 * 480 * 2);

    program.Click(FindChildByText(main, "BUTTON_VIDPLAY"), 5, 5);
    HWND playbackWindow = nullptr;
    EXPECT_TRUE(WaitFor(10000, [&] {
        playbackWindow = FindWindowExA(main, nullptr, nullptr, "Lumetra Playback");
        return playbackWindow && IsWindowVisible(playbackWindow) && FindChildByPrefix(main, "PLAY") != nullptr;
    })) << "playback did not start";
    // At the end of the file the live picture comes back by itself.
    EXPECT_TRUE(WaitFor(20000, [&] { return FindChildByText(main, "MONITOR") != nullptr; }));
    EXPECT_FALSE(IsWindowVisible(playbackWindow));
    EndWithEscape(program, main, kExitMs);
}

// Real pointer input through the X server: whatever is clicked, the picture stays on the skin's
// screen; it minimises and comes back with the window and stays below the program's dialogs.
TEST_F(Media, PictureStaysOnTheScreenWhateverTheUserClicks) {
    Program program("media-clicks");
    HWND main = StartWithDefaultSkin(program, kStartMs, false);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitForPicture(main, 15000)) << "no live picture: " << LastLook();
    RECT screen = ScreenRect(main);
    RECT window;
    GetWindowRect(main, &window);

    // The picture itself (it takes the keyboard), then elements of the skin and its background.
    ASSERT_TRUE(RealClick((screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2));
    EXPECT_TRUE(WaitForPicture(main, 3000)) << "after a click on the picture: " << LastLook();
    for (const char* element : {"BUTTON_CYCLE_NEXT", "BUTTON_CYCLE_PREV", "BUTTON_MUTE", "BUTTON_MUTE"}) {
        ASSERT_TRUE(RealClickOn(main, element)) << element;
        EXPECT_TRUE(WaitForPicture(main, 3000)) << "after a click on " << element << ": " << LastLook();
    }
    ASSERT_TRUE(RealClick(screen.right + 13, (screen.top + screen.bottom) / 2));  // between picture and panel
    EXPECT_TRUE(WaitForPicture(main, 3000)) << "after a click on the background";
    ASSERT_TRUE(RealClick((screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2));
    ASSERT_TRUE(RealClickOn(main, "BUTTON_CYCLE_NEXT"));
    EXPECT_TRUE(WaitForPicture(main, 3000)) << "after the picture, then an element";

    // A recording and its playback (the recorded bars) through real clicks.
    ASSERT_TRUE(RealClickOn(main, "BUTTON_VIDCAP"));
    ASSERT_TRUE(WaitFor(10000, [&] { return FindChildByPrefix(main, "REC 00:03") != nullptr; }));
    EXPECT_TRUE(WaitForPicture(main, 3000)) << "while recording";
    ASSERT_TRUE(RealClickOn(main, "BUTTON_VIDSTOP"));
    ASSERT_TRUE(WaitFor(10000, [&] { return Shows(main, "MONITOR"); }));
    ASSERT_TRUE(RealClickOn(main, "BUTTON_VIDPLAY"));
    ASSERT_TRUE(WaitFor(10000, [&] { return FindChildByPrefix(main, "PLAY") != nullptr; }));
    HWND playback = FindWindowExA(main, nullptr, nullptr, "Lumetra Playback");
    ASSERT_NE(playback, nullptr);
    ASSERT_TRUE(RealClick(screen.left + 270, screen.top - 8));  // above the picture, which is larger now
    EXPECT_TRUE(WaitForPicture(main, 3000, playback)) << "playback after a click on the background: " << LastLook();
    ASSERT_TRUE(WaitFor(20000, [&] { return Shows(main, "MONITOR"); }));

    // Minimised, nothing of the program is left on the screen; restored, the picture is back.
    ASSERT_TRUE(RealClickOn(main, "BUTTON_MINIMIZE"));
    ASSERT_TRUE(WaitFor(5000, [&] { return IsIconic(main) != FALSE; }));
    Sleep(500);
    EXPECT_EQ(XScreenPixel((screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2), RGB(0, 0, 0))
        << "the picture stayed on the desktop";
    PostMessageA(main, WM_SYSCOMMAND, SC_RESTORE, 0);  // as the taskbar restores a window
    ASSERT_TRUE(WaitFor(5000, [&] { return !IsIconic(main); }));
    EXPECT_TRUE(WaitForPicture(main, 5000)) << "after minimise and restore";

    // A dialog of the program over the picture covers it.
    ASSERT_TRUE(RealClickOn(main, "BUTTON_VIDCAP_SETUP"));
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor(5000, [&] { return (dialog = FindWindowA("#32770", "VIDEO CAPTURE SETTINGS")) != nullptr; }));
    RECT d, overlap;
    GetWindowRect(dialog, &d);
    InflateRect(&d, -8, -8);  // inside its frame
    ASSERT_TRUE(IntersectRect(&overlap, &d, &screen)) << "the dialog does not come over the picture";
    Sleep(500);
    EXPECT_EQ(XScreenPixel(overlap.left + 2, overlap.bottom - 3), GetSysColor(COLOR_BTNFACE))
        << "the picture shows through the dialog";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor(5000, [&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(WaitForPicture(main, 3000)) << "after the dialog";
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Media, RecordingToAFileThatCannotBeWrittenIsRefusedAndTheLivePictureRuns) {
    for (const std::string& file : {std::string("Z:\\no\\such\\folder\\capture.avi"),
                                    std::string("\\\\nohost\\noshare\\capture.avi")}) {
        SetCaptureFile(file);
        Program program("media-unwritable");
        HWND main = StartWithDefaultSkin(program, kStartMs, false);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(WaitForPicture(main, 15000));
        program.Click(FindChildByText(main, "BUTTON_VIDCAP"), 5, 5);
        auto box = program.WaitForMessageBox(10000);
        ASSERT_TRUE(box.has_value()) << file << ": the failure is not told";
        EXPECT_EQ(box->caption, "Error");
        EXPECT_EQ(box->text.rfind("Error 8007", 0), 0u) << box->text;
        EXPECT_NE(box->text.find(" : Capture/Preview Graph : Cannot set output file"), std::string::npos) << box->text;
        program.Answer(*box, IDOK);
        // Back to a running live picture: no REC, the record button ready again, Stop idle.
        EXPECT_TRUE(WaitFor(5000, [&] { return Shows(main, "MONITOR") && Enabled(main, "BUTTON_VIDCAP"); }));
        EXPECT_EQ(FindChildByPrefix(main, "REC"), nullptr);
        EXPECT_FALSE(Enabled(main, "BUTTON_VIDSTOP"));
        EXPECT_TRUE(WaitForPicture(main, 5000));
        EndWithEscape(program, main, kExitMs);
    }
}

TEST_F(Media, TheTimeLimitStopsARecording) {
    const std::string file = MediaOut("TheTimeLimitStopsARecording.avi");
    DeleteFileA(file.c_str());
    SetCaptureFile(file);
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kVideoSettings, "UseTimeLimit", 1));
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kVideoSettings, "TimeLimit", 3));
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kVideoSettings, "TimeUnits", 1));  // seconds
    Program program("media-timelimit");
    HWND main = StartWithDefaultSkin(program, kStartMs, false);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor(10000, [&] { return Shows(main, "MONITOR"); }));
    program.Click(FindChildByText(main, "BUTTON_VIDCAP"), 5, 5);
    ASSERT_TRUE(WaitFor(10000, [&] { return FindChildByPrefix(main, "REC 00:0") != nullptr; }));
    // Nobody presses Stop: the limit ends the recording.
    EXPECT_TRUE(WaitFor(15000, [&] { return Shows(main, "MONITOR"); })) << "the recording goes on past its limit";
    EXPECT_GT(FileSize(file), 60u * 640 * 480 * 2);
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Media, ADiskThatFillsUpEndsTheRecordingWithAMessage) {
    // A capture file that takes no more data: a link to /dev/full, where every write fails as on a
    // full disk.
    const std::string link = "/tmp/lumetra-e2e-full-" + std::to_string(GetCurrentProcessId()) + ".avi";
    ASSERT_TRUE(RunUnixCommand("ln -sf /dev/full " + link));
    std::string file = "Z:" + link;
    for (char& c : file) if (c == '/') c = '\\';
    SetCaptureFile(file);
    Program program("media-disk-full");
    HWND main = StartWithDefaultSkin(program, kStartMs, false);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitForPicture(main, 15000));
    program.Click(FindChildByText(main, "BUTTON_VIDCAP"), 5, 5);
    auto box = program.WaitForMessageBox(15000);
    ASSERT_TRUE(box.has_value()) << "the failed recording is not told";
    EXPECT_EQ(box->caption, "Error");
    EXPECT_NE(box->text.find("The capture file cannot be written (the disk may be full)."), std::string::npos)
        << box->text;
    EXPECT_NE(box->text.find(file), std::string::npos) << box->text;
    program.Answer(*box, IDOK);
    // Told once; the recording is over and the live picture goes on.
    EXPECT_TRUE(WaitFor(5000, [&] { return Shows(main, "MONITOR") && Enabled(main, "BUTTON_VIDCAP"); }));
    EXPECT_EQ(FindChildByPrefix(main, "REC"), nullptr);
    EXPECT_TRUE(WaitForPicture(main, 5000));
    EXPECT_FALSE(program.WaitForExit(2000).has_value());
    EXPECT_TRUE(program.OpenMessageBoxes().empty());
    EndWithEscape(program, main, kExitMs);
    RunUnixCommand("rm -f " + link);
}

TEST_F(Media, AnUnpluggedDeviceIsToldOnceAndTheLivePictureComesBack) {
    Program program("media-unplug");
    HWND main = StartWithDefaultSkin(program, kStartMs, false);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitForPicture(main, 15000));
    Unplug(true);
    ExpectBox(program, "Warning",
              "Video Capture device disconnected. The live picture returns when the device is connected again.");
    EXPECT_TRUE(WaitFor(3000, [&] { return Shows(main, "STOPPED"); }));
    EXPECT_FALSE(Enabled(main, "BUTTON_VIDCAP"));
    EXPECT_FALSE(Enabled(main, "BUTTON_SNAPSHOT"));
    // Still gone a while later: looked for again, but not told again.
    Sleep(5000);
    EXPECT_TRUE(program.OpenMessageBoxes().empty());
    EXPECT_TRUE(Shows(main, "STOPPED"));
    Unplug(false);
    EXPECT_TRUE(WaitFor(20000, [&] { return Shows(main, "MONITOR") && Enabled(main, "BUTTON_VIDCAP"); }))
        << "the live picture does not come back by itself";
    EXPECT_TRUE(WaitForPicture(main, 5000));
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Media, AnUnpluggedDeviceEndsARecordingWithAPlayableFile) {
    const std::string file = MediaOut("AnUnpluggedDeviceEndsARecordingWithAPlayableFile.avi");
    DeleteFileA(file.c_str());
    SetCaptureFile(file);
    Program program("media-unplug-rec");
    HWND main = StartWithDefaultSkin(program, kStartMs, false);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor(10000, [&] { return Shows(main, "MONITOR"); }));
    program.Click(FindChildByText(main, "BUTTON_VIDCAP"), 5, 5);
    ASSERT_TRUE(WaitFor(10000, [&] { return FindChildByPrefix(main, "REC 00:02") != nullptr; }));
    Unplug(true);
    ExpectBox(program, "Warning",
              "Video Capture device disconnected. The recording was stopped and saved to " + file +
                  ". The live picture returns when the device is connected again.");
    EXPECT_TRUE(WaitFor(3000, [&] { return Shows(main, "STOPPED"); }));
    EXPECT_EQ(FindChildByPrefix(main, "REC"), nullptr) << "the recording time still runs";
    // The file is closed: another program may replace it.
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(handle, INVALID_HANDLE_VALUE) << "the recording's file is still open";
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    EXPECT_GT(FileSize(file), 30u * 640 * 480 * 2);
    Unplug(false);
    EXPECT_TRUE(WaitFor(20000, [&] { return Shows(main, "MONITOR") && Enabled(main, "BUTTON_VIDCAP"); }));
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Media, PlaybackThatCannotStartLeavesTheLivePicture) {
    // No file yet: the program offers another one; declined, nothing changes.
    {
        Program program("media-play-missing");
        HWND main = StartWithDefaultSkin(program, kStartMs, false);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(WaitForPicture(main, 15000));
        program.Click(FindChildByText(main, "BUTTON_VIDPLAY"), 5, 5);
        auto box = program.WaitForMessageBox(10000);
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->caption, "Warning");
        EXPECT_NE(box->text.find(".. : Play a different file from disk?"), std::string::npos) << box->text;
        program.Answer(*box, IDNO);
        EXPECT_TRUE(Shows(main, "MONITOR"));
        EXPECT_TRUE(WaitForPicture(main, 5000));
        EndWithEscape(program, main, kExitMs);
    }
    // A file that is no video: it opens without a picture, and Stop brings the live picture back.
    FILE* f = std::fopen(capture_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("this is not a video", f);
    std::fclose(f);
    Program program("media-play-garbage");
    HWND main = StartWithDefaultSkin(program, kStartMs, false);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitForPicture(main, 15000));
    program.Click(FindChildByText(main, "BUTTON_VIDPLAY"), 5, 5);
    Sleep(2000);
    for (const auto& box : program.OpenMessageBoxes()) ADD_FAILURE() << "[" << box.caption << "] " << box.text;
    if (FindChildByPrefix(main, "PLAY")) {
        EXPECT_TRUE(Enabled(main, "BUTTON_VIDSTOP"));
        program.Click(FindChildByText(main, "BUTTON_VIDSTOP"), 5, 5);
    }
    EXPECT_TRUE(WaitFor(5000, [&] { return Shows(main, "MONITOR"); }));
    EXPECT_TRUE(WaitForPicture(main, 5000));
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Media, DraggingThePlaybackBarSeeksAndPlaysOn) {
    Program program("media-seek");
    HWND main = StartWithDefaultSkin(program, kStartMs, false);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor(10000, [&] { return Shows(main, "MONITOR"); }));
    program.Click(FindChildByText(main, "BUTTON_VIDCAP"), 5, 5);
    ASSERT_TRUE(WaitFor(15000, [&] { return FindChildByPrefix(main, "REC 00:08") != nullptr; }));
    program.Click(FindChildByText(main, "BUTTON_VIDSTOP"), 5, 5);
    ASSERT_TRUE(WaitFor(10000, [&] { return Shows(main, "MONITOR"); }));
    program.Click(FindChildByText(main, "BUTTON_VIDPLAY"), 5, 5);
    ASSERT_TRUE(WaitFor(10000, [&] { return Shows(main, "PLAY 00:00"); }));

    // The picture starts at the menu's 100 %: one pixel less than the video, as the menu makes it.
    HWND playback = FindWindowExA(main, nullptr, nullptr, "Lumetra Playback");
    ASSERT_NE(playback, nullptr);
    RECT client;
    GetClientRect(playback, &client);
    EXPECT_EQ(client.right, 639);
    EXPECT_EQ(client.bottom, 479);

    // Press near the start, drag to 80 % and let go: the position jumps there and plays on.
    HWND bar = nullptr;
    EnumChildWindows(
        main,
        [](HWND child, LPARAM lp) -> BOOL {
            char text[64] = {};
            SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                                nullptr);
            if (std::string(text) != "PROGRESS_VIDEO" || !IsWindowVisible(child)) return TRUE;
            *reinterpret_cast<HWND*>(lp) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&bar));
    ASSERT_NE(bar, nullptr);
    RECT r;
    GetClientRect(bar, &r);
    const int y = r.bottom / 2;
    PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 10, y));
    for (int step = 2; step <= 8; ++step)
        PostMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(r.right * step / 10, y));
    PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(r.right * 8 / 10, y));
    EXPECT_TRUE(WaitFor(1500, [&] {
        return FindChildByPrefix(main, "PLAY 00:06") != nullptr || FindChildByPrefix(main, "PLAY 00:07") != nullptr;
    })) << "the drag did not seek";
    EXPECT_TRUE(WaitFor(6000, [&] { return Shows(main, "MONITOR"); })) << "playback did not go on to its end";
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Media, EscLeavesFullScreenBeforeItEndsTheProgram) {
    Program program("media-fullscreen");
    HWND main = StartWithDefaultSkin(program, kStartMs, false);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitForPicture(main, 15000));
    // The view menu's last item, "Full Screen Mode", chosen with the keyboard.
    program.Click(FindChildByText(main, "BUTTON_VIEW_MENU"), 5, 5);
    Sleep(500);
    program.PressKey(main, VK_UP);
    program.PressKey(main, VK_RETURN);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    auto fullScreen = [&] {
        HWND top = WindowFromPoint(POINT{width - 5, height - 5});
        DWORD pid = 0;
        GetWindowThreadProcessId(top, &pid);
        return pid == program.ProcessId();
    };
    ASSERT_TRUE(WaitFor(5000, fullScreen)) << "no full screen picture";
    program.PressKey(main, VK_ESCAPE);
    EXPECT_TRUE(WaitFor(5000, [&] { return !fullScreen(); }));
    Sleep(1000);
    EXPECT_TRUE(program.Running()) << "the first Esc ended the program";
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Media, AppendingNumbersKeepsEveryRecording) {
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kVideoSettings, "FileOverwrite", 0));
    const std::string numbered = capture_.substr(0, capture_.size() - 4) + "_1.avi";
    DeleteFileA(numbered.c_str());
    Program program("media-numbers");
    HWND main = StartWithDefaultSkin(program, kStartMs, false);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor(10000, [&] { return Shows(main, "MONITOR"); }));
    for (int take = 0; take < 2; ++take) {
        program.Click(FindChildByText(main, "BUTTON_VIDCAP"), 5, 5);
        ASSERT_TRUE(WaitFor(10000, [&] { return FindChildByPrefix(main, "REC 00:01") != nullptr; }));
        program.Click(FindChildByText(main, "BUTTON_VIDSTOP"), 5, 5);
        ASSERT_TRUE(WaitFor(10000, [&] { return Shows(main, "MONITOR"); }));
    }
    // The second recording went to the next free name; the first is still there.
    EXPECT_GT(FileSize(capture_), 20u * 640 * 480 * 2);
    EXPECT_GT(FileSize(numbered), 20u * 640 * 480 * 2);
    EndWithEscape(program, main, kExitMs);
    DeleteFileA(numbered.c_str());
}

TEST_F(Media, FileTooltipsKeepTheSkinsOwnText) {
    Program program("media-tooltips");
    program.CopyFromBin("skins.ini");
    program.CopyFromBin("Default");
    // The skin's own tooltip of the play button holds " (" itself.
    std::string view;
    {
        FILE* f = std::fopen((program.Folder() + "\\Default\\Full.ini").c_str(), "rb");
        ASSERT_NE(f, nullptr);
        char buffer[8192];
        size_t n = std::fread(buffer, 1, sizeof buffer, f);
        std::fclose(f);
        view.assign(buffer, n);
    }
    const std::string own = "Play last recording";
    size_t at = view.find("BUTTON_VIDPLAY,");
    ASSERT_NE(at, std::string::npos);
    at = view.find(own, at);
    ASSERT_NE(at, std::string::npos);
    view.replace(at, own.size(), "Play (F5)");
    program.WriteFile("Default\\Full.ini", view);
    ASSERT_TRUE(program.Start());
    HWND main = program.WaitForMainWindow(kStartMs);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor(10000, [&] { return Shows(main, "MONITOR"); }));
    HWND play = FindChildByText(main, "BUTTON_VIDPLAY");
    ASSERT_NE(play, nullptr);
    const std::string expected = "Play (F5) (" + capture_ + ")";
    EXPECT_EQ(ToolTipText(program.ProcessId(), play).value_or("(none)"), expected);
    // Each visit to the capture settings refreshes the tooltips; the skin's text stays whole.
    for (int visit = 0; visit < 2; ++visit) {
        program.Click(FindChildByText(main, "BUTTON_VID_FILE"), 5, 5);
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitFor(5000, [&] { return (dialog = FindWindowA("#32770", "VIDEO CAPTURE SETTINGS")) != nullptr; }));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitFor(5000, [&] { return !IsWindow(dialog); }));
        Sleep(200);
        EXPECT_EQ(ToolTipText(program.ProcessId(), play).value_or("(none)"), expected) << "after visit " << visit + 1;
    }
    EndWithEscape(program, main, kExitMs);
}

class NoDevice : public Media {
protected:
    void SetUp() override {
        Media::SetUp();
        ASSERT_TRUE(Regsvr32("/u " + SimulatorDll()));
    }
    void TearDown() override {
        Regsvr32(SimulatorDll());
        Media::TearDown();
    }
};

TEST_F(NoDevice, WarnsAndStaysUsable) {
    Program program("media-nodevice");
    program.CopyFromBin("skins.ini");
    program.CopyFromBin("Default");
    ASSERT_TRUE(program.Start());
    auto box = program.WaitForMessageBox(kStartMs);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, "Warning");
    EXPECT_EQ(box->text, "Video Capture device not connected");
    program.Answer(*box, IDOK);
    HWND main = program.WaitForMainWindow(kStartMs);
    ASSERT_NE(main, nullptr);
    // What needs a device is disabled (these are enabled while a live picture runs); the capture
    // settings stay available.
    for (const char* element : {"BUTTON_VIDCAP", "BUTTON_VIDPLAY", "BUTTON_VIDPAUSE", "BUTTON_VIDSTOP", "BUTTON_SNAPSHOT",
                                "BUTTON_DEVICE_PROPERTY", "BUTTON_CAPTURE_SIZE"}) {
        ASSERT_NE(FindChildByText(main, element), nullptr) << element;
        EXPECT_FALSE(Enabled(main, element)) << element;
    }
    EXPECT_TRUE(Enabled(main, "BUTTON_VID_FILE"));
    EndWithEscape(program, main, kExitMs);
}

// The simulated devices with an audio device of another name: the program finds none, and every
// recording start says so in a box while the graph is being built.
class NoAudio : public Media {
protected:
    void SetUp() override {
        Media::SetUp();
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSimControl, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const char name[] = "Nothing Known";
        RegSetValueExA(key, "AudioName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof name);
        RegCloseKey(key);
        ASSERT_TRUE(Regsvr32("/u " + SimulatorDll()));
        ASSERT_TRUE(Regsvr32(SimulatorDll()));
    }
    void TearDown() override {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSimControl, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "AudioName");
            RegCloseKey(key);
        }
        Regsvr32("/u " + SimulatorDll());
        Regsvr32(SimulatorDll());
        Media::TearDown();
    }
};

TEST_F(NoAudio, ExitBehindABoxOfARecordingBeingBuiltWaits) {
    Program program("media-reentry");
    HWND main = StartWithDefaultSkin(program, kStartMs, false);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor(10000, [&] { return Shows(main, "MONITOR"); }));
    program.Click(FindChildByText(main, "BUTTON_VIDCAP"), 5, 5);
    auto box = program.WaitForMessageBox(10000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "Error rendering Audio capture");
    // The box has no owner, so the window takes clicks meanwhile: Exit, Record and Stop must wait.
    program.Click(FindChildByText(main, "BUTTON_EXIT"), 5, 5);
    program.Click(FindChildByText(main, "BUTTON_VIDSTOP"), 5, 5);
    program.PressKey(main, VK_ESCAPE);
    Sleep(1500);
    ASSERT_TRUE(program.Running()) << "the program ended behind the box";
    EXPECT_EQ(program.OpenMessageBoxes().size(), 1u);
    program.Answer(*box, IDOK);
    // The recording that was being built goes on, and ends normally.
    EXPECT_TRUE(WaitFor(10000, [&] { return FindChildByPrefix(main, "REC 00:01") != nullptr; }));
    program.Click(FindChildByText(main, "BUTTON_VIDSTOP"), 5, 5);
    EXPECT_TRUE(WaitFor(10000, [&] { return Shows(main, "MONITOR"); }));
    EndWithEscape(program, main, kExitMs);
}

}  // namespace
}  // namespace lumetra::e2e
