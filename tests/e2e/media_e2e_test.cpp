// Live video, recording and playback driven from outside through the default skin.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/e2e/driver.h"
#include "tests/e2e/test_skin.h"

namespace lumetra::e2e {
namespace {

constexpr DWORD kStartMs = 20000;
constexpr DWORD kExitMs = 20000;
const char kOrvex[] = "SOFTWARE\\Orvex";

bool Regsvr32(const std::string& arguments) {
    std::string command = "regsvr32.exe /s " + arguments;
    STARTUPINFOA si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    bool done = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return done;
}

std::string SimulatorDll() { return "\"" + BinFolder() + "\\lumetra_simdev.dll\""; }

class Media : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex);
        capture_ = BinFolder() + "\\e2e-capture.avi";
        DeleteFileA(capture_.c_str());
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\Video", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "FileName", 0, REG_SZ, reinterpret_cast<const BYTE*>(capture_.c_str()),
                       static_cast<DWORD>(capture_.size() + 1));
        RegCloseKey(key);
    }
    void TearDown() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex);
        DeleteFileA(capture_.c_str());
    }
    HWND StartWithDefaultSkin(Program& program) {
        program.CopyFromBin("skins.ini");
        program.CopyFromBin("Default");
        EXPECT_TRUE(program.Start());
        HWND main = program.WaitForMainWindow(kStartMs);
        for (const auto& box : program.OpenMessageBoxes())
            ADD_FAILURE() << "unexpected box: [" << box.caption << "] " << box.text;
        return main;
    }
    void EndWithEscape(Program& program, HWND main) {
        for (const auto& box : program.OpenMessageBoxes())
            ADD_FAILURE() << "unexpected box: [" << box.caption << "] " << box.text;
        program.PressKey(main, VK_ESCAPE);
        EXPECT_TRUE(program.WaitForExit(kExitMs).has_value()) << "program did not end on Esc";
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
    std::string capture_;
};

// Whether the pixel is near a pure colour (each channel high or low).
bool Near(COLORREF c, bool red, bool green, bool blue) {
    auto level = [](int v, bool high) { return high ? v > 140 : v < 90; };
    return level(GetRValue(c), red) && level(GetGValue(c), green) && level(GetBValue(c), blue);
}

TEST_F(Media, LivePictureFillsTheSkinScreen) {
    Program program("media-live");
    HWND main = StartWithDefaultSkin(program);
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
    EndWithEscape(program, main);
}

TEST_F(Media, RecordStopAndPlayBackThroughTheButtons) {
    Program program("media-record");
    HWND main = StartWithDefaultSkin(program);
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
        playbackWindow = FindWindowA(nullptr, "Lumetra Playback");
        return playbackWindow && IsWindowVisible(playbackWindow) && FindChildByPrefix(main, "PLAY") != nullptr;
    })) << "playback did not start";
    // At the end of the file the live picture comes back by itself.
    EXPECT_TRUE(WaitFor(20000, [&] { return FindChildByText(main, "MONITOR") != nullptr; }));
    EXPECT_FALSE(IsWindowVisible(playbackWindow));
    EndWithEscape(program, main);
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
    // The window works: the view menu opens and closes, and recording is not possible.
    EXPECT_FALSE(IsWindowEnabled(FindChildByText(main, "BUTTON_INPUT_TUNER")));
    EndWithEscape(program, main);
}

}  // namespace
}  // namespace lumetra::e2e
