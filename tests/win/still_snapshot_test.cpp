// Snapshots from a sample grabber holding a frame chosen by the test: the file written, what a
// failed grab leaves behind, the messages, the names, the shutter and the pop-up's placement.
#include "still/snapshot_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/helpers.h"
#include "still/still_settings.h"
#include "tests/win/box_watcher.h"
#include "tests/win/fake_grabber.h"

namespace lumetra {
namespace {

using testing::BoxWatcher;
using testing::FakeGrabber;
using Bytes = std::vector<uint8_t>;

class TestSnapshotWindow : public SnapshotWindow {
public:
    using SnapshotWindow::SnapshotWindow;
    int shutters = 0;

protected:
    void PlayShutter() override { ++shutters; }
    void OpenFolder(const std::string&) override {}
};

Bytes ReadFile(const std::string& path) {
    Bytes bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    unsigned char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

void WriteText(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

uint32_t U32At(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// A YUY2 frame whose top half is red and bottom half black (BT.601 studio range).
Bytes RedOverBlack(int width, int height) {
    Bytes frame;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; x += 2) {
            const bool top = y < height / 2;
            const uint8_t luma = top ? 81 : 16, u = top ? 90 : 128, v = top ? 240 : 128;
            frame.insert(frame.end(), {luma, u, luma, v});
        }
    return frame;
}

// B G R of pixel (x, y) of a 24-bit BMP file's picture, y counted from the image's top.
struct Bgr {
    int b, g, r;
};
Bgr FilePixel(const Bytes& file, int x, int y) {
    const int32_t width = static_cast<int32_t>(U32At(file, 18)), height = static_cast<int32_t>(U32At(file, 22));
    const size_t row = 54 + static_cast<size_t>(height - 1 - y) * ((width * 3 + 3) & ~3);
    const uint8_t* p = &file[row + static_cast<size_t>(x) * 3];
    return {p[0], p[1], p[2]};
}

class StillSnapshot : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "lumetra-still-test";
        CreateDirectoryA(folder_.c_str(), nullptr);
        RemoveFiles();
        file_ = folder_ + "\\shot.bmp";
        settings_.SetFileName(file_);
        settings_.SetFileOverwrite(1);
        settings_.Values().usePopupWindow = 0;
        settings_.Values().useShutterSound = 0;
        grabber_.header.biWidth = 0;
        ASSERT_TRUE(window_.AttachGrabber(&grabber_, nullptr));
    }
    void TearDown() override {
        window_.Destroy();
        RemoveFiles();
        const std::vector<testing::SeenBox> seen = boxes_.Seen();
        ASSERT_EQ(seen.size(), expectedBoxes_.size()) << (seen.empty() ? "" : "first box: " + seen[0].text);
        for (size_t i = 0; i < seen.size(); ++i) {
            EXPECT_EQ(seen[i].caption, "Error");
            EXPECT_EQ(seen[i].text, expectedBoxes_[i]);
        }
    }
    void RemoveFiles() {
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((folder_ + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder_ + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    int FilesInFolder() {
        int count = 0;
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((folder_ + "\\*.bmp").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return 0;
        do ++count; while (FindNextFileA(search, &found));
        FindClose(search);
        return count;
    }

    BoxWatcher boxes_;
    std::vector<std::string> expectedBoxes_;
    std::string folder_, file_;
    FakeGrabber grabber_;
    StillCaptureSettings settings_;
    TestSnapshotWindow window_{settings_};
};

TEST_F(StillSnapshot, GrabberIsSetUpForAnyVideoAndTheNewestSample) {
    EXPECT_EQ(grabber_.acceptedType.majortype, MEDIATYPE_Video);
    EXPECT_EQ(grabber_.acceptedType.subtype, GUID_NULL);
    EXPECT_EQ(grabber_.acceptedType.formattype, GUID_NULL);
    EXPECT_EQ(grabber_.oneShot, FALSE);
    EXPECT_EQ(grabber_.bufferSamples, TRUE);
    ASSERT_NE(window_.Handle(), nullptr);
    EXPECT_FALSE(IsWindowVisible(window_.Handle()));
    char title[64] = {};
    GetWindowTextA(window_.Handle(), title, sizeof title);
    EXPECT_STREQ(title, "Still Image Capture");
    EXPECT_EQ(GetWindowLongA(window_.Handle(), GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_SYSMENU),
              static_cast<LONG>(WS_POPUP | WS_CAPTION | WS_SYSMENU));
}

TEST_F(StillSnapshot, EachFailingSetUpStepIsReported) {
    struct Case {
        HRESULT FakeGrabber::*result;
        const char* text;
    } cases[] = {{&FakeGrabber::mediaTypeResult, "ISampleGrabber::SetMediaType()\nCannot Set media type"},
                 {&FakeGrabber::oneShotResult, "ISampleGrabber::SetOneShot(FALSE);Error"},
                 {&FakeGrabber::bufferSamplesResult, "ISampleGrabber::SetBufferSamples(TRUE)\nError"}};
    for (const Case& c : cases) {
        FakeGrabber failing;
        failing.*c.result = E_FAIL;
        StillCaptureSettings settings;
        TestSnapshotWindow window(settings);
        EXPECT_FALSE(window.AttachGrabber(&failing, nullptr));
        expectedBoxes_.push_back(c.text);
    }
    // Without a grabber there is nothing to set up, and no window.
    StillCaptureSettings settings;
    TestSnapshotWindow window(settings);
    EXPECT_TRUE(window.AttachGrabber(nullptr, nullptr));
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_FALSE(window.TakeSnapshot());
}

TEST_F(StillSnapshot, WritesTheFrameAsA24BitBottomUpBmp) {
    grabber_.SetFrame(MEDIASUBTYPE_YUY2, 160, 120, 16, RedOverBlack(160, 120));
    grabber_.header.biXPelsPerMeter = 3780;
    ASSERT_TRUE(window_.TakeSnapshot());
    const Bytes file = ReadFile(file_);
    ASSERT_EQ(file.size(), 54u + 160 * 120 * 3);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(U32At(file, 2), file.size());
    EXPECT_EQ(U32At(file, 10), 54u);
    EXPECT_EQ(U32At(file, 14), 40u);
    EXPECT_EQ(U32At(file, 18), 160u);
    EXPECT_EQ(U32At(file, 22), 120u);
    EXPECT_EQ(file[28], 24);
    EXPECT_EQ(U32At(file, 30), 0u);
    EXPECT_EQ(U32At(file, 34), 0u);
    EXPECT_EQ(U32At(file, 38), 3780u);  // the device's resolution is kept
    // The top of the image (red) is the end of the file.
    const Bgr top = FilePixel(file, 5, 5), bottom = FilePixel(file, 5, 100);
    EXPECT_EQ(top.r, 253);
    EXPECT_EQ(top.g + top.b, 0);
    EXPECT_EQ(bottom.r + bottom.g + bottom.b, 0);
    EXPECT_EQ(file[file.size() - 1], 253);
    EXPECT_EQ(settings_.LastFileName(), file_);
}

TEST_F(StillSnapshot, BitmapFramesOfAnySizeAreTakenTheRightWayUp) {
    // A top-down RGB24 frame of 640 x 480, larger than a 720 x 480 YUY2 frame: the grab buffer
    // grows to it. Its top row is white, the rest dark blue.
    const int width = 640, height = 480;
    Bytes frame(static_cast<size_t>(width) * 3 * height, 0);
    for (size_t i = 0; i < frame.size(); i += 3) frame[i] = 120;
    for (int x = 0; x < width * 3; ++x) frame[static_cast<size_t>(x)] = 255;
    grabber_.SetFrame(MEDIASUBTYPE_RGB24, width, -height, 24, frame);
    ASSERT_TRUE(window_.TakeSnapshot());
    const Bytes file = ReadFile(file_);
    ASSERT_EQ(file.size(), 54u + 640 * 480 * 3);
    EXPECT_EQ(U32At(file, 22), 480u);  // written bottom-up, whatever the frame was
    const Bgr top = FilePixel(file, 10, 0), below = FilePixel(file, 10, 1);
    EXPECT_EQ(top.b + top.g + top.r, 3 * 255);
    EXPECT_EQ(below.b, 120);
    EXPECT_EQ(below.g + below.r, 0);
}

TEST_F(StillSnapshot, NoSampleLeavesTheLastSnapshotAlone) {
    WriteText(file_, "the last snapshot");
    settings_.Values().useShutterSound = 1;
    grabber_.sizeResult = VFW_E_NOT_CONNECTED;  // the grabber is not in the graph while recording
    EXPECT_FALSE(window_.TakeSnapshot());
    EXPECT_EQ(grabber_.sizeQueries, kSizeQueryAttempts);
    EXPECT_EQ(grabber_.copies, 0);
    const Bytes kept = ReadFile(file_);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "the last snapshot");
    EXPECT_EQ(window_.shutters, 1);  // the shutter sounds whether or not there is a picture
}

TEST_F(StillSnapshot, GrabFailuresAreReportedAndWriteNothing) {
    grabber_.SetFrame(MEDIASUBTYPE_YUY2, 160, 120, 16, RedOverBlack(160, 120));
    grabber_.copyResult = E_FAIL;
    EXPECT_FALSE(window_.TakeSnapshot());
    grabber_.copyResult = S_OK;
    grabber_.typeResult = VFW_E_NOT_CONNECTED;
    EXPECT_FALSE(window_.TakeSnapshot());
    grabber_.typeResult = S_OK;
    grabber_.formatType = FORMAT_VideoInfo2;  // skipped without a message
    EXPECT_FALSE(window_.TakeSnapshot());
    EXPECT_FALSE(Exists(file_));
    expectedBoxes_ = {"ISampleGrabber::GetCurrentBuffer()\nError grabbing current frame",
                      "ISampleGrabber::GetConnectedMediaType\nError getting media type"};
}

TEST_F(StillSnapshot, FramesThatCannotBeReadAreRefused) {
    WriteText(file_, "kept");
    // A format without a conversion, named by its code.
    grabber_.SetFrame(MEDIASUBTYPE_MJPG, 640, 480, 24, Bytes(20000, 0x55));
    EXPECT_FALSE(window_.TakeSnapshot());
    // A sample shorter than its format says.
    grabber_.SetFrame(MEDIASUBTYPE_YUY2, 160, 120, 16, Bytes(1000, 0x80));
    EXPECT_FALSE(window_.TakeSnapshot());
    // A sample beyond the largest frame is refused before it is copied.
    grabber_.SetFrame(MEDIASUBTYPE_RGB32, 3840, 2160, 32, Bytes(kMaxGrabBytes + 4, 0));
    EXPECT_FALSE(window_.TakeSnapshot());
    EXPECT_EQ(grabber_.copies, 2);
    EXPECT_EQ(ReadFile(file_), (Bytes{'k', 'e', 'p', 't'}));
    expectedBoxes_ = {"Snapshots cannot be taken from MJPG video (640 x 480)",
                      "ISampleGrabber::GetCurrentBuffer()\nThe current frame is shorter than its format",
                      "The current frame is too large for a snapshot"};
}

TEST_F(StillSnapshot, AFileThatCannotBeCreatedIsReportedWithThePlatformsText) {
    const std::string unwritable = folder_ + "\\no such folder\\shot.bmp";
    settings_.SetFileName(unwritable);
    grabber_.SetFrame(MEDIASUBTYPE_YUY2, 160, 120, 16, RedOverBlack(160, 120));
    EXPECT_FALSE(window_.TakeSnapshot());
    expectedBoxes_ = {SystemErrorText(ERROR_PATH_NOT_FOUND) + "\n" + unwritable};
}

TEST_F(StillSnapshot, UniqueNamesKeepEverySnapshot) {
    settings_.SetFileOverwrite(0);
    grabber_.SetFrame(MEDIASUBTYPE_YUY2, 160, 120, 16, RedOverBlack(160, 120));
    // Three snapshots at once: within one second at least two share the time in their names.
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(window_.TakeSnapshot());
        names.push_back(settings_.LastFileName());
    }
    EXPECT_NE(names[0], names[1]);
    EXPECT_NE(names[1], names[2]);
    EXPECT_NE(names[0], names[2]);
    for (const std::string& name : names) {
        EXPECT_EQ(name.rfind(folder_ + "\\shot_", 0), 0u) << name;
        EXPECT_EQ(ReadFile(name).size(), 54u + 160 * 120 * 3) << name;
    }
    EXPECT_EQ(FilesInFolder(), 3);
}

TEST_F(StillSnapshot, WithoutAChoiceEverySnapshotOverwritesTheFile) {
    settings_.SetFileOverwrite(CaptureSettingsBase::kOverwriteUnset);
    grabber_.SetFrame(MEDIASUBTYPE_YUY2, 160, 120, 16, RedOverBlack(160, 120));
    ASSERT_TRUE(window_.TakeSnapshot());
    grabber_.SetFrame(MEDIASUBTYPE_YUY2, 176, 144, 16, RedOverBlack(176, 144));
    ASSERT_TRUE(window_.TakeSnapshot());
    EXPECT_EQ(FilesInFolder(), 1);
    EXPECT_EQ(ReadFile(file_).size(), 54u + 176 * 144 * 3);
}

TEST_F(StillSnapshot, ShutterSoundsWhenChosen) {
    grabber_.SetFrame(MEDIASUBTYPE_YUY2, 160, 120, 16, RedOverBlack(160, 120));
    ASSERT_TRUE(window_.TakeSnapshot());
    EXPECT_EQ(window_.shutters, 0);
    settings_.Values().useShutterSound = 1;
    ASSERT_TRUE(window_.TakeSnapshot());
    EXPECT_EQ(window_.shutters, 1);
}

// The tooltip's text, read as UTF-16 (the ANSI message is cut at 80 characters under Wine).
std::string TooltipText(HWND tooltip, HWND owner) {
    wchar_t text[512] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = owner;
    tool.uId = 1;
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
    char ansi[512] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
}

HWND TooltipOf(HWND owner) {
    struct Search {
        HWND owner, found;
    } search{owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0 || GetWindow(window, GW_OWNER) != s->owner) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(StillSnapshot, PopUpShowsThePictureAtTheTopRight) {
    settings_.Values().usePopupWindow = 1;
    grabber_.SetFrame(MEDIASUBTYPE_YUY2, 640, 480, 16, RedOverBlack(640, 480));
    ASSERT_TRUE(window_.TakeSnapshot());
    HWND popup = window_.Handle();
    ASSERT_TRUE(IsWindowVisible(popup));
    RECT client{}, outer{};
    GetClientRect(popup, &client);
    GetWindowRect(popup, &outer);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_EQ(outer.top, 2);
    EXPECT_EQ(outer.right, GetSystemMetrics(SM_CXSCREEN) - 2);
    char title[64] = {};
    GetWindowTextA(popup, title, sizeof title);
    EXPECT_STREQ(title, "shot.bmp");
    EXPECT_EQ(window_.ImagePath(), file_);
    HWND tooltip = TooltipOf(popup);
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(TooltipText(tooltip, popup), "This image saved as : " + file_);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETMAXTIPWIDTH, 0, 0), 21);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 32000);
    // The picture is painted: red at the top, black below.
    UpdateWindow(popup);
    HDC dc = GetDC(popup);
    const COLORREF top = GetPixel(dc, 320, 100), bottom = GetPixel(dc, 320, 400);
    ReleaseDC(popup, dc);
    EXPECT_EQ(GetRValue(top), 253);
    EXPECT_EQ(bottom, RGB(0, 0, 0));

    // A smaller picture: the window shrinks to it and stays at the corner.
    grabber_.SetFrame(MEDIASUBTYPE_YUY2, 176, 144, 16, RedOverBlack(176, 144));
    ASSERT_TRUE(window_.TakeSnapshot());
    GetClientRect(popup, &client);
    GetWindowRect(popup, &outer);
    EXPECT_EQ(client.right, 176);
    EXPECT_EQ(client.bottom, 144);
    EXPECT_EQ(outer.right, GetSystemMetrics(SM_CXSCREEN) - 2);

    // Without the pop-up chosen the next snapshot hides it; a failed one leaves it as it was.
    settings_.Values().usePopupWindow = 0;
    ASSERT_TRUE(window_.TakeSnapshot());
    EXPECT_FALSE(IsWindowVisible(popup));
    settings_.Values().usePopupWindow = 1;
    grabber_.sizeResult = E_FAIL;
    EXPECT_FALSE(window_.TakeSnapshot());
    EXPECT_FALSE(IsWindowVisible(popup));
    // Closing hides it; it is never destroyed before the program ends.
    grabber_.sizeResult = S_OK;
    ASSERT_TRUE(window_.TakeSnapshot());
    SendMessageA(popup, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(popup));
    EXPECT_FALSE(IsWindowVisible(popup));
    EXPECT_FALSE(window_.HideIfVisible());
}

}  // namespace
}  // namespace lumetra
