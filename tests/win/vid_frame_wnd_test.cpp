// The video window by itself: title, style, client size arithmetic, dropped files.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/window.h"
#include "media/vid_frame_wnd.h"
#include "res/resource.h"
#include "tests/win/box_watcher.h"
#include "tests/win/media_fixture.h"

namespace lumetra::testing {
namespace {

// A drop of several files, as the shell hands it over.
HDROP MakeDrop(const std::vector<std::string>& files) {
    size_t chars = 1;
    for (const auto& f : files) chars += f.size() + 1;
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + chars);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* names = reinterpret_cast<char*>(drop + 1);
    for (const auto& f : files) {
        std::memcpy(names, f.c_str(), f.size() + 1);
        names += f.size() + 1;
    }
    GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

// A plain window of the framework, standing for the main window.
class CommandSinkForPlacement : public Window {};

TEST(VideoWindow, TitlesStyleAndKind) {
    RecordingVideoOwner owner;
    CVidFrameWnd live, playback;
    ASSERT_TRUE(live.CreateVideoWindow(owner, nullptr, IDS_LIVE_VIDEO_TITLE));
    ASSERT_TRUE(playback.CreateVideoWindow(owner, nullptr, IDS_PLAYBACK_TITLE));
    char title[64] = {};
    GetWindowTextA(live.Handle(), title, sizeof title);
    EXPECT_STREQ(title, "Lumetra  Live Video");
    GetWindowTextA(playback.Handle(), title, sizeof title);
    EXPECT_STREQ(title, "Lumetra Playback");
    EXPECT_EQ(GetWindowLongA(live.Handle(), GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS), 0x02040000);
    EXPECT_EQ(live.Kind(), VideoWindowOwner::kLive);
    EXPECT_EQ(playback.Kind(), VideoWindowOwner::kPlayback);
    EXPECT_TRUE(GetWindowLongA(live.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST(VideoWindow, ClientSizeEndsOnePixelSmallerAndRefits) {
    RecordingVideoOwner owner;
    CVidFrameWnd live;
    ASSERT_TRUE(live.CreateVideoWindow(owner, nullptr, IDS_LIVE_VIDEO_TITLE));
    int refits = owner.refits;
    live.SetClientSize(528, 432);
    RECT client;
    GetClientRect(live.Handle(), &client);
    EXPECT_EQ(client.right, 527);
    EXPECT_EQ(client.bottom, 431);
    EXPECT_GT(owner.refits, refits) << "a resize refits the picture";

    RECT place{100, 120, 484, 408};
    live.PlaceClientArea(place);
    POINT origin{0, 0};
    ClientToScreen(live.Handle(), &origin);
    GetClientRect(live.Handle(), &client);
    EXPECT_EQ(origin.x, 100);
    EXPECT_EQ(origin.y, 120);
    EXPECT_EQ(client.right, 384);
    EXPECT_EQ(client.bottom, 288);
}

TEST(VideoWindow, DropPlaysOnlyTheFirstFile) {
    RecordingVideoOwner owner;
    CVidFrameWnd live;
    ASSERT_TRUE(live.CreateVideoWindow(owner, nullptr, IDS_LIVE_VIDEO_TITLE));
    SendMessageA(live.Handle(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({"C:\\videos\\first.avi", "C:\\videos\\second.avi"})), 0);
    EXPECT_EQ(owner.dropped, "C:\\videos\\first.avi");
}

TEST(VideoWindow, DropOfANameTooLongToKeepIsRefused) {
    RecordingVideoOwner owner;
    CVidFrameWnd live;
    ASSERT_TRUE(live.CreateVideoWindow(owner, nullptr, IDS_LIVE_VIDEO_TITLE));
    BoxWatcher boxes;
    // 259 characters fit MAX_PATH with the terminator; 260 would be cut to another file's name.
    const std::string fits = "C:\\videos\\" + std::string(259 - 14, 'a') + ".avi";
    const std::string tooLong = "C:\\videos\\" + std::string(260 - 14, 'b') + ".avi";
    ASSERT_EQ(fits.size(), 259u);
    ASSERT_EQ(tooLong.size(), 260u);
    SendMessageA(live.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({fits})), 0);
    EXPECT_EQ(owner.dropped, fits);
    owner.dropped.clear();
    SendMessageA(live.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({tooLong})), 0);
    EXPECT_EQ(owner.dropped, "") << "a cut name was played";
    auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Error");
    EXPECT_EQ(seen[0].text, "The file name is too long to be played (at most 259 characters).");
}

TEST(VideoWindow, InAMainWindowItIsItsChildAtTheScreenRectangle) {
    CommandSinkForPlacement main;
    ASSERT_TRUE(main.Create(0, "main", WS_POPUP | WS_VISIBLE, RECT{200, 100, 900, 600}, nullptr));
    RecordingVideoOwner owner;
    CVidFrameWnd live;
    ASSERT_TRUE(live.CreateVideoWindow(owner, main.Handle(), IDS_LIVE_VIDEO_TITLE));
    EXPECT_EQ(GetParent(live.Handle()), main.Handle());
    EXPECT_TRUE(GetWindowLongA(live.Handle(), GWL_STYLE) & WS_CHILD);
    // Placed by screen coordinates, it ends up there whatever the main window's position.
    live.PlaceClientArea(RECT{230, 168, 614, 456});
    POINT origin{0, 0};
    ClientToScreen(live.Handle(), &origin);
    RECT client;
    GetClientRect(live.Handle(), &client);
    EXPECT_EQ(origin.x, 230);
    EXPECT_EQ(origin.y, 168);
    EXPECT_EQ(client.right, 384);
    EXPECT_EQ(client.bottom, 288);
}

}  // namespace
}  // namespace lumetra::testing

namespace lumetra::testing {
namespace {

// A stand-in for the main window that notes the commands it receives.
class CommandSink : public Window {
public:
    int lastCommand = 0;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COMMAND) lastCommand = LOWORD(wp);
        return Window::WndProc(msg, wp, lp);
    }
};

TEST(VideoWindow, EscInThePictureIsEscOfTheMainWindow) {
    CommandSink main;
    ASSERT_TRUE(main.Create(0, "main", WS_POPUP, RECT{0, 0, 50, 50}, nullptr));
    RecordingVideoOwner owner;
    CVidFrameWnd live;
    ASSERT_TRUE(live.CreateVideoWindow(owner, main.Handle(), IDS_LIVE_VIDEO_TITLE));
    SendMessageA(live.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    PumpFor(100);
    EXPECT_EQ(main.lastCommand, IDCANCEL);
}

}  // namespace
}  // namespace lumetra::testing
