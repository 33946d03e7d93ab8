// The default skin walked as a user walks it: the elements of both views, the menus, the dialogs
// opened, used and closed both ways, and the boxes a user can meet with the simulated TV box, each
// checked by what shows (pixels, texts, windows, files, stored values).
//
// What other end-to-end scenarios already walk, and are not walked again here:
//   BUTTON_VIDCAP, BUTTON_VIDSTOP, BUTTON_VIDPLAY, TEXT_FUNC (MONITOR, REC, PLAY), the playback's end
//     and the live picture: Media.RecordStopAndPlayBackThroughTheButtons, Media.LivePictureFillsTheSkinScreen
//   BUTTON_MINIMIZE and real clicks over the picture: Media.PictureStaysOnTheScreenWhateverTheUserClicks
//   PROGRESS_VIDEO dragged during playback: Media.DraggingThePlaybackBarSeeksAndPlaysOn
//   "Full Screen Mode" of the view menu and the Esc order: Media.EscLeavesFullScreenBeforeItEndsTheProgram,
//     Snapshot.CameraButtonWritesTheFileAndShowsThePopUpAtTheTopRight, Devices.InputButtonsSwitch...
//   the time limit, numbered recordings, the file tooltips: Media.TheTimeLimitStopsARecording,
//     Media.AppendingNumbersKeepsEveryRecording, Media.FileTooltipsKeepTheSkinsOwnText
//   boxes: "Video Capture device not connected" (NoDevice.WarnsAndStaysUsable), "Cannot set output file"
//     (Media.RecordingToAFileThatCannotBeWritten...), the unplugged device (Media.AnUnpluggedDevice...),
//     "Play a different file from disk?" answered No (Media.PlaybackThatCannotStartLeavesTheLivePicture),
//     "Error rendering Audio capture" (NoAudio.ExitBehindABoxOfARecordingBeingBuiltWaits), the skin's
//     own messages (Shell.*, Skin.*), "Invalid Filename" and the delete question (Snapshot.RenameAndDelete...)
//   BUTTON_SNAPSHOT, the pop-up's Rename and Delete, BUTTON_SNAP_FILE (OK), BUTTON_SNAPSHOT_SETUP,
//     "Open folder", the device's button: Snapshot.*
//   BUTTON_INPUT_TUNER/COMPOSITE/SVIDEO and their dialogs, BUTTON_INPUT_WEBCAM disabled on the TV box,
//     BUTTON_XBAR, BUTTON_DEVICE_PROPERTY, BUTTON_CAPTURE_SIZE, TEXT_STREAMFORMAT after a size change,
//     BUTTON_CYCLE_NEXT and BUTTON_CYCLE_DOWN on brightness, the wheel, PROGRESS_PROPERTY clicked,
//     TRACKBAR_BRIGHTNESS/CONTRAST/VOLUME, BUTTON_PROP_VOLUME's menu and the TV tuner window: Devices.*
//   BUTTON_MUTE, "Mute" of the recording-input menu, unmuting from BUTTON_PROP_VOLUME: Sound.MuteAndUnmuteThroughTheMixer
//   BUTTON_MOTION_SETUP with the live picture, ARM and its countdown, the triggered actions: Motion.*
//   "Recording Schedule..." of the view menu, the schedule dialog and its preferences: Schedule.*
//   BUTTON_VIDCAP_SETUP and BUTTON_VID_FILE opened and cancelled: Media.PictureStays..., Media.FileTooltips...
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/processes.h"
#include "tests/e2e/test_skin.h"

namespace lumetra::e2e {
namespace {

constexpr DWORD kStartMs = 20000;
constexpr DWORD kExitMs = 20000;
constexpr DWORD kWaitMs = 10000;
const char kOrvex[] = "SOFTWARE\\Orvex";
const char kVideo[] = "SOFTWARE\\Orvex\\Video";
const char kStill[] = "SOFTWARE\\Orvex\\Still";
const char kMotion[] = "SOFTWARE\\Orvex\\MotionDetection";
const char kSimulator[] = "Software\\LumetraSim";
const char kLive[] = "Lumetra  Live Video";
const char kPlayback[] = "Lumetra Playback";

// ---------------------------------------------------------------------------------------------
// Helpers

// The window that has the keyboard focus in the program's user-interface thread.
HWND FocusOf(HWND main) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

std::string Hex8(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lx", value);
    return text;
}

// The display names of the running object table's entries that end with the process's id, as an
// outside graph viewer lists them ("!FilterGraph <address> pid <id>").
std::vector<std::string> GraphsInRunningObjectTable(DWORD pid) {
    std::vector<std::string> found;
    IRunningObjectTable* table = nullptr;
    if (FAILED(GetRunningObjectTable(0, &table))) return found;
    IEnumMoniker* monikers = nullptr;
    if (SUCCEEDED(table->EnumRunning(&monikers))) {
        IMoniker* moniker = nullptr;
        while (monikers->Next(1, &moniker, nullptr) == S_OK) {
            IBindCtx* context = nullptr;
            LPOLESTR name = nullptr;
            if (SUCCEEDED(CreateBindCtx(0, &context)) && SUCCEEDED(moniker->GetDisplayName(context, nullptr, &name))) {
                char text[256] = {};
                WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text, nullptr, nullptr);
                std::string display(text);
                const std::string suffix = " pid " + Hex8(pid);
                if (display.find("FilterGraph ") != std::string::npos && display.size() > suffix.size() &&
                    display.compare(display.size() - suffix.size(), suffix.size(), suffix) == 0)
                    found.push_back(display);
                CoTaskMemFree(name);
            }
            if (context) context->Release();
            moniker->Release();
        }
        monikers->Release();
    }
    table->Release();
    return found;
}

void EndProcess(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!process) return;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

bool Checked(HWND dialog, int id) {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    return state == BST_CHECKED;
}

// A click on a dialog's button (a check box changes its mark as under the mouse).
void PressButton(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Types into an edit of a dialog; the edit tells its dialog of the change itself (EN_CHANGE). Sent
// with a time-out: a box the change brings up keeps the program from answering at once.
void TypeInto(HWND dialog, int id, const std::string& text) {
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                        500, nullptr);
}

// Picks a file in a common file dialog by typing its name and pressing Open.
void ChooseInFileDialog(HWND fileDialog, const std::string& path) {
    const int kFileNameCombo = 0x47C, kFileNameEdit = 0x480;
    HWND field = GetDlgItem(fileDialog, kFileNameCombo);
    if (!field) field = GetDlgItem(fileDialog, kFileNameEdit);
    ASSERT_NE(field, nullptr) << "no file name field in the file dialog";
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(fileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(fileDialog, IDOK)));
}

// Whether a pixel is near a pure colour (each channel high or low).
bool Near(COLORREF c, bool red, bool green, bool blue) {
    if (c == CLR_INVALID) return false;
    auto level = [](int v, bool high) { return high ? v > 140 : v < 90; };
    return level(GetRValue(c), red) && level(GetGValue(c), green) && level(GetBValue(c), blue);
}

int Spread(COLORREF c) {
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return std::max({r, g, b}) - std::min({r, g, b});
}
int Grey(COLORREF c) { return (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3; }

// ---------------------------------------------------------------------------------------------
// The fixture: the default skin, the simulated TV box, recordings and snapshots in the work folder.

class Walk : public ::testing::Test {
protected:
    void SetUp() override { DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex); }
    void TearDown() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex);
        WriteRegistryDword(HKEY_LOCAL_MACHINE, kSimulator, "DropFrames", 0);
    }

    // Recordings and snapshots of this program go to its own folder.
    void PrepareFiles(Program& program) {
        capture_ = program.Folder() + "\\walk.avi";
        shot_ = program.Folder() + "\\walk.bmp";
        WriteRegistryText(HKEY_LOCAL_MACHINE, kVideo, "FileName", capture_);
        WriteRegistryText(HKEY_LOCAL_MACHINE, kStill, "FileName", shot_);
        WriteRegistryDword(HKEY_LOCAL_MACHINE, kStill, "FileOverwrite", 1);
    }
    HWND Start(Program& program, bool copySkin = true) {
        if (copySkin) return StartWithDefaultSkin(program, kStartMs);
        EXPECT_TRUE(program.Start());
        HWND main = program.WaitForMainWindow(kStartMs);
        ExpectNoBoxes(program);
        return main;
    }
    // Waits for the next box, checks its caption and text and answers it.
    void ExpectBox(Program& program, const std::string& caption, const std::string& text, int answer = IDOK) {
        auto box = program.WaitForMessageBox(kWaitMs);
        ASSERT_TRUE(box.has_value()) << "no box: " << text;
        EXPECT_EQ(box->caption, caption);
        EXPECT_EQ(box->text, text);
        EXPECT_TRUE(program.Answer(*box, answer));
    }
    static bool Shows(HWND main, const std::string& text) { return FindChildByText(main, text) != nullptr; }
    static bool Enabled(HWND main, const char* element) {
        HWND child = FindChildByText(main, element);
        return child && IsWindowEnabled(child);
    }
    static HWND LiveWindow(HWND main) { return FindWindowExA(main, nullptr, nullptr, kLive); }
    static HWND PlaybackWindow(HWND main) { return FindWindowExA(main, nullptr, nullptr, kPlayback); }
    // The visible element whose window covers a client point of the main window (a skin text).
    static HWND ElementAt(HWND main, int x, int y) {
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
                RECT r;
                GetWindowRect(child, &r);
                // Elements are the main window's own children; the pictures are not elements.
                if (!IsWindowVisible(child) || !PtInRect(&r, s->at) || GetParent(child) != GetAncestor(child, GA_ROOT))
                    return TRUE;
                const std::string text = TextOf(child);
                if (text == kLive || text == kPlayback) return TRUE;
                s->found = child;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // The live picture's screen rectangle of a view (the skin's Screen entry) on the screen.
    static RECT PictureRect(HWND main, int x, int y, int w, int h) {
        POINT origin{0, 0};
        ClientToScreen(main, &origin);
        return RECT{origin.x + x, origin.y + y, origin.x + x + w, origin.y + y + h};
    }
    // The simulator's colour bars: bar i of eight, two fifths of the way down.
    static COLORREF Bar(const RECT& picture, int index) {
        int w = picture.right - picture.left, h = picture.bottom - picture.top;
        return ScreenPixel(picture.left + w * (2 * index + 1) / 16, picture.top + h * 2 / 5);
    }
    static bool BarsShow(const RECT& picture) {
        return Near(Bar(picture, 3), false, true, false) && Near(Bar(picture, 6), false, false, true);
    }
    // A visible top-level window of the program with this title.
    static HWND ProgramWindow(const Program& program, const std::string& title, DWORD timeoutMs = kWaitMs) {
        return program.WaitForWindowTitled(title, timeoutMs);
    }
    HWND OpenMenu(Program& program, HWND main, const char* element) {
        ClickElement(program, main, element);
        HWND menu = nullptr;
        EXPECT_TRUE(WaitFor(kWaitMs, [&] { return (menu = VisibleMenuOf(program.ProcessId())) != nullptr; }))
            << "no menu from " << element;
        return menu;
    }
    // Chooses the item reached with `downs` presses of the down arrow (headings count, separators do not).
    void Choose(Program& program, HWND menu, int downs) {
        for (int i = 0; i < downs; ++i) program.PressKey(menu, VK_DOWN);
        program.PressKey(menu, VK_RETURN);
        EXPECT_TRUE(WaitFor(kWaitMs, [&] { return VisibleMenuOf(program.ProcessId()) == nullptr; }))
            << "the menu stayed open";
    }
    // Records about two seconds to the capture file.
    void RecordTwoSeconds(Program& program, HWND main) {
        ClickElement(program, main, "BUTTON_VIDCAP");
        ASSERT_TRUE(WaitFor(kWaitMs, [&] { return FindChildByPrefix(main, "REC 00:02") != nullptr; }));
        ClickElement(program, main, "BUTTON_VIDSTOP");
        ASSERT_TRUE(WaitFor(kWaitMs, [&] { return Shows(main, "MONITOR"); }));
    }
    // The local time as the clock shows it, now and a minute ago (the minute may turn meanwhile).
    static std::set<std::string> ClockTexts() {
        std::set<std::string> texts;
        for (time_t at : {std::time(nullptr), std::time(nullptr) - 60}) {
            std::tm local{};
            localtime_s(&local, &at);
            char text[16];
            std::strftime(text, sizeof text, "%H:%M", &local);
            texts.insert(text);
        }
        return texts;
    }

    std::string capture_, shot_;
};

// ---------------------------------------------------------------------------------------------
// The full panel at start and its property selector

TEST_F(Walk, StartShowsThePanelInItsPreviewState) {
    Program program("walk-start");
    PrepareFiles(program);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, 700);
    EXPECT_EQ(client.bottom, 450);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return BarsShow(PictureRect(main, 30, 68, 384, 288)); })) << "no live picture";

    // The texts: mode, stream format, an empty file name and the local time.
    EXPECT_TRUE(Shows(main, "640 x 480"));
    HWND fileName = ElementAt(main, 452 + 100, 100 + 8);
    ASSERT_NE(fileName, nullptr);
    EXPECT_EQ(TextOf(fileName), "");
    HWND clock = ElementAt(main, 604 + 34, 70 + 10);
    ASSERT_NE(clock, nullptr);
    EXPECT_TRUE(WaitFor(3000, [&] { return ClockTexts().count(TextOf(clock)) == 1; })) << TextOf(clock);

    // Preview: what records, grabs and adjusts is enabled; pause, stop and the position bar wait for
    // a recording or a playback; the TV box has no camera input.
    for (const char* element : {"BUTTON_VIDCAP", "BUTTON_VIDPLAY", "BUTTON_SNAPSHOT", "BUTTON_VID_FILE",
                                "BUTTON_SNAP_FILE", "BUTTON_VIDCAP_SETUP", "BUTTON_SNAPSHOT_SETUP",
                                "BUTTON_MOTION_SETUP", "BUTTON_DEVICE_PROPERTY", "BUTTON_CAPTURE_SIZE", "BUTTON_XBAR",
                                "BUTTON_INPUT_TUNER", "BUTTON_INPUT_COMPOSITE", "BUTTON_INPUT_SVIDEO",
                                "BUTTON_PROP_VOLUME", "BUTTON_VIEW_MENU", "BUTTON_WEBSITE", "BUTTON_MINIMIZE",
                                "BUTTON_EXIT", "BUTTON_CYCLE_PREV", "BUTTON_CYCLE_NEXT", "BUTTON_CYCLE_UP",
                                "BUTTON_CYCLE_DOWN", "BUTTON_MUTE", "PROGRESS_PROPERTY"})
        EXPECT_TRUE(Enabled(main, element)) << element;
    for (const char* element : {"BUTTON_VIDPAUSE", "BUTTON_VIDSTOP", "PROGRESS_VIDEO", "BUTTON_INPUT_WEBCAM"})
        EXPECT_FALSE(Enabled(main, element)) << element;
    // Volume is the selected property: only its button shows.
    EXPECT_TRUE(Shows(main, "BUTTON_PROP_VOLUME"));
    for (const char* hidden : {"BUTTON_PROP_BRIGHTNESS", "BUTTON_PROP_CONTRAST", "BUTTON_PROP_SATURATION"})
        EXPECT_FALSE(Shows(main, hidden)) << hidden;

    // Every property's trackbar holds its range and value: the device's for the picture, the
    // defaults for the volume (no sound card here).
    struct Bar {
        int x, y, maximum, value;
    };
    for (const Bar& bar : {Bar{509, 343, 255, 128}, Bar{629, 343, 200, 100}, Bar{509, 367, 200, 100},
                           Bar{629, 367, 65535, 32000}}) {
        HWND trackbar = ElementAt(main, bar.x, bar.y);
        ASSERT_NE(trackbar, nullptr) << bar.x << "," << bar.y;
        EXPECT_EQ(SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0), bar.maximum) << bar.x << "," << bar.y;
        EXPECT_EQ(SendMessageA(trackbar, TBM_GETPOS, 0, 0), bar.value) << bar.x << "," << bar.y;
    }
    // The window is active: the picture has the keyboard.
    EXPECT_TRUE(WaitFor(3000, [&] { return FocusOf(main) == LiveWindow(main); }));
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Walk, PropertySelectorWrapsBothWaysAndEachPropertyChangesThePicture) {
    Program program("walk-properties");
    PrepareFiles(program);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    const RECT picture = PictureRect(main, 30, 68, 384, 288);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return BarsShow(picture); }));
    HWND level = FindChildByText(main, "PROGRESS_PROPERTY");
    ASSERT_NE(level, nullptr);
    RECT levelRect;
    GetClientRect(level, &levelRect);
    auto clickLevel = [&](int percent) {
        program.Click(level, levelRect.right * percent / 100, levelRect.bottom / 2);
    };
    auto selected = [&](const char* element) { return WaitFor(kWaitMs, [&] { return Shows(main, element); }); };

    // Back from volume wraps to saturation; its level at 0 takes the colour out of the picture,
    // twenty steps up (1 % each) bring some back.
    ClickElement(program, main, "BUTTON_CYCLE_PREV");
    ASSERT_TRUE(selected("BUTTON_PROP_SATURATION"));
    EXPECT_FALSE(Shows(main, "BUTTON_PROP_VOLUME"));
    clickLevel(0);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return Spread(Bar(picture, 3)) < 25; }))
        << "saturation 0 leaves colour: " << std::hex << Bar(picture, 3);
    for (int i = 0; i < 20; ++i) ClickElement(program, main, "BUTTON_CYCLE_UP");
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return Spread(Bar(picture, 3)) > 35 && Spread(Bar(picture, 3)) < 160; }))
        << "twenty steps of saturation: " << std::hex << Bar(picture, 3);
    // Its own button does nothing but show the selection.
    ClickElement(program, main, "BUTTON_PROP_SATURATION");
    EXPECT_TRUE(selected("BUTTON_PROP_SATURATION"));

    // Forward from saturation wraps to volume, then brightness and contrast.
    ClickElement(program, main, "BUTTON_CYCLE_NEXT");
    ASSERT_TRUE(selected("BUTTON_PROP_VOLUME"));
    ClickElement(program, main, "BUTTON_CYCLE_NEXT");
    ASSERT_TRUE(selected("BUTTON_PROP_BRIGHTNESS"));
    ClickElement(program, main, "BUTTON_PROP_BRIGHTNESS");
    ClickElement(program, main, "BUTTON_CYCLE_NEXT");
    ASSERT_TRUE(selected("BUTTON_PROP_CONTRAST"));
    // Contrast 0 flattens white and black to one grey; steps up part them again.
    const int white = 0, black = 7;
    clickLevel(0);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return std::abs(Grey(Bar(picture, white)) - Grey(Bar(picture, black))) < 25; }));
    for (int i = 0; i < 25; ++i) ClickElement(program, main, "BUTTON_CYCLE_UP");
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return Grey(Bar(picture, white)) - Grey(Bar(picture, black)) > 30; }));
    ClickElement(program, main, "BUTTON_PROP_CONTRAST");
    ClickElement(program, main, "BUTTON_CYCLE_NEXT");
    EXPECT_TRUE(selected("BUTTON_PROP_SATURATION"));
    EndWithEscape(program, main, kExitMs);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "PropView"), 3u);
}

// ---------------------------------------------------------------------------------------------
// The hidden diagnostic sequence: saturation selected, BUTTON_CYCLE_UP counted, BUTTON_EXIT at
// 5, 10 and 15 clicks.

TEST_F(Walk, HiddenSequenceShowsTheGraphsToAViewerAndTheDroppedFrames) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    Program program("walk-diagnostics");
    PrepareFiles(program);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    auto stepsUp = [&](int clicks) {
        for (int i = 0; i < clicks; ++i) ClickElement(program, main, "BUTTON_CYCLE_UP");
    };
    ClickElement(program, main, "BUTTON_CYCLE_PREV");
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return Shows(main, "BUTTON_PROP_SATURATION"); }));
    EXPECT_TRUE(GraphsInRunningObjectTable(program.ProcessId()).empty());

    // Five clicks: Exit puts both graphs where a graph viewer finds them, and the program goes on.
    stepsUp(5);
    ClickElement(program, main, "BUTTON_EXIT");
    std::vector<std::string> graphs;
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return (graphs = GraphsInRunningObjectTable(program.ProcessId())).size() == 2; }))
        << graphs.size() << " graphs listed";
    for (const std::string& name : graphs) EXPECT_EQ(name.rfind("!FilterGraph ", 0), 0u) << name;
    EXPECT_FALSE(program.WaitForExit(500).has_value()) << "Exit ended the program";
    // Any other button withdraws them.
    ClickElement(program, main, "BUTTON_PROP_SATURATION");
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return GraphsInRunningObjectTable(program.ProcessId()).empty(); }));

    // Ten clicks: the clock shows the frames the capture pin dropped, and counts new drops.
    HWND clock = ElementAt(main, 604 + 34, 70 + 10);
    ASSERT_NE(clock, nullptr);
    stepsUp(10);
    ClickElement(program, main, "BUTTON_EXIT");
    auto shownNumber = [&] {
        const std::string text = TextOf(clock);
        return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos ? std::stol(text) : -2;
    };
    long before = -2;
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return (before = shownNumber()) >= 0; })) << "clock shows " << TextOf(clock);
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kSimulator, "DropFrames", 7));
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return shownNumber() >= before + 7; }))
        << "seven drops not counted: " << before << " then " << TextOf(clock);
    EXPECT_FALSE(program.WaitForExit(200).has_value());

    // Fifteen clicks: the time again.
    stepsUp(15);
    ClickElement(program, main, "BUTTON_EXIT");
    EXPECT_TRUE(WaitFor(3000, [&] { return ClockTexts().count(TextOf(clock)) == 1; })) << TextOf(clock);
    EXPECT_FALSE(program.WaitForExit(200).has_value());

    // At any other count Exit ends the program, which stores its settings on the way.
    stepsUp(1);
    ExpectNoBoxes(program);
    ClickElement(program, main, "BUTTON_EXIT");
    EXPECT_TRUE(program.WaitForExit(kExitMs).has_value()) << "Exit did not end the program";
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "PropView"), 3u);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "CrossbarInput"), 1u);
    CoUninitialize();
}

// ---------------------------------------------------------------------------------------------
// Keyboard: where the focus goes, and the device dialogs that live beside the main window

TEST_F(Walk, KeyboardFocusFollowsActivationTheBackgroundAndThePlayback) {
    Program program("walk-focus");
    PrepareFiles(program);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    HWND live = LiveWindow(main);
    ASSERT_NE(live, nullptr);
    EXPECT_TRUE(WaitFor(3000, [&] { return FocusOf(main) == live; })) << "after start";
    // Over the background the window itself takes the keyboard (and the wheel).
    const LPARAM background = MAKELPARAM(690, 440);
    auto hoverBackground = [&] { PostMessageA(main, WM_MOUSEMOVE, 0, background); };
    hoverBackground();
    EXPECT_TRUE(WaitFor(3000, [&] { return FocusOf(main) == main; })) << "over the background";
    // Activated again after a dialog: the picture.
    ClickElement(program, main, "BUTTON_VIDCAP_SETUP");
    HWND dialog = ProgramWindow(program, "VIDEO CAPTURE SETTINGS");
    ASSERT_NE(dialog, nullptr);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(WaitFor(3000, [&] { return FocusOf(main) == live; })) << "after the dialog";
    // A press on the background gives it to the picture.
    hoverBackground();
    ASSERT_TRUE(WaitFor(3000, [&] { return FocusOf(main) == main; }));
    PostMessageA(main, WM_LBUTTONDOWN, MK_LBUTTON, background);
    PostMessageA(main, WM_LBUTTONUP, 0, background);
    EXPECT_TRUE(WaitFor(3000, [&] { return FocusOf(main) == live; })) << "after a press on the background";

    // During playback the played picture has it.
    RecordTwoSeconds(program, main);
    ClickElement(program, main, "BUTTON_VIDPLAY");
    HWND playback = PlaybackWindow(main);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return IsWindowVisible(playback) && FindChildByPrefix(main, "PLAY") != nullptr; }));
    ClickElement(program, main, "BUTTON_VIDPAUSE");  // held, so the playback does not end meanwhile
    hoverBackground();
    ASSERT_TRUE(WaitFor(3000, [&] { return FocusOf(main) == main; }));
    PostMessageA(main, WM_LBUTTONDOWN, MK_LBUTTON, background);
    PostMessageA(main, WM_LBUTTONUP, 0, background);
    EXPECT_TRUE(WaitFor(3000, [&] { return FocusOf(main) == playback; })) << "during playback";
    ClickElement(program, main, "BUTTON_VIDSTOP");
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return Shows(main, "MONITOR"); }));
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Walk, TheDeviceDialogsBesideTheWindowTakeTabEnterAndEsc) {
    Program program("walk-modeless");
    PrepareFiles(program);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    auto focusIn = [&](HWND dialog) {
        HWND focus = FocusOf(main);
        return focus && (focus == dialog || IsChild(dialog, focus)) ? focus : nullptr;
    };
    auto key = [&](UINT vk) {
        HWND focus = FocusOf(main);
        ASSERT_NE(focus, nullptr);
        program.PressKey(focus, vk);
    };

    // The current input's button shows its dialog; Tab moves from the standard list to OK, Enter
    // presses OK, which puts the dialog away.
    ClickElement(program, main, "BUTTON_INPUT_COMPOSITE");
    HWND analog = ProgramWindow(program, "Analog Video");
    ASSERT_NE(analog, nullptr);
    HWND standards = GetDlgItem(analog, 1136);
    EXPECT_TRUE(WaitFor(3000, [&] { return focusIn(analog) == standards; })) << "the dialog has no keyboard";
    key(VK_TAB);
    EXPECT_TRUE(WaitFor(3000, [&] { return focusIn(analog) == GetDlgItem(analog, IDOK); })) << "Tab did not move";
    key(VK_RETURN);
    EXPECT_TRUE(WaitFor(3000, [&] { return !IsWindowVisible(analog); })) << "Enter did not press OK";

    // The tuner window: Tab walks its controls, Esc closes it and the program goes on.
    ClickElement(program, main, "BUTTON_INPUT_TUNER");  // routed
    ClickElement(program, main, "BUTTON_INPUT_TUNER");  // the current input: its window
    HWND tuner = ProgramWindow(program, "TV Tuner controls");
    ASSERT_NE(tuner, nullptr);
    HWND first = nullptr;
    ASSERT_TRUE(WaitFor(3000, [&] { return (first = focusIn(tuner)) != nullptr; })) << "the tuner has no keyboard";
    key(VK_TAB);
    EXPECT_TRUE(WaitFor(3000, [&] { return focusIn(tuner) && focusIn(tuner) != first; })) << "Tab did not move";
    key(VK_ESCAPE);
    EXPECT_TRUE(WaitFor(3000, [&] { return !IsWindowVisible(tuner); })) << "Esc did not close the tuner";
    EXPECT_FALSE(program.WaitForExit(500).has_value());
    EndWithEscape(program, main, kExitMs);
}

// ---------------------------------------------------------------------------------------------
// The compact view, through the view menu

TEST_F(Walk, CompactViewRecordsPlaysPausesGrabsAndIsKept) {
    Program program("walk-compact");
    PrepareFiles(program);
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kStill, "UsePopupWindow", 0);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    // The view menu opens below its button: the two views, a separator, the schedule, full screen.
    HWND menu = OpenMenu(program, main, "BUTTON_VIEW_MENU");
    ASSERT_NE(menu, nullptr);
    RECT menuRect, button;
    GetWindowRect(menu, &menuRect);
    GetWindowRect(FindChildByText(main, "BUTTON_VIEW_MENU"), &button);
    EXPECT_EQ(menuRect.left, button.left);
    EXPECT_NEAR(menuRect.top, button.bottom, 2);
    Choose(program, menu, 2);  // "Compact"
    RECT client{};
    ASSERT_TRUE(WaitFor(kWaitMs, [&] {
        GetClientRect(main, &client);
        return client.right == 400 && client.bottom == 314;
    })) << client.right << " x " << client.bottom;
    const RECT picture = PictureRect(main, 16, 54, 288, 216);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return BarsShow(picture); })) << "no live picture in the compact view";
    for (const char* element : {"BUTTON_VIEW_MENU", "BUTTON_MINIMIZE", "BUTTON_EXIT", "BUTTON_VIDCAP", "BUTTON_VIDPLAY",
                                "BUTTON_VIDPAUSE", "BUTTON_VIDSTOP", "BUTTON_SNAPSHOT", "BUTTON_MUTE", "MONITOR",
                                "640 x 480"})
        EXPECT_TRUE(Shows(main, element)) << element;
    EXPECT_FALSE(Shows(main, "BUTTON_INPUT_TUNER")) << "an element of the full panel shows";
    HWND clock = ElementAt(main, 324 + 27, 286 + 8);
    ASSERT_NE(clock, nullptr);
    EXPECT_TRUE(WaitFor(3000, [&] { return ClockTexts().count(TextOf(clock)) == 1; })) << TextOf(clock);

    // Record, play, hold the playback with pause and let it go on, stop.
    RecordTwoSeconds(program, main);
    EXPECT_GT(FileSize(capture_), 30u * 640 * 480 * 2);
    ClickElement(program, main, "BUTTON_VIDPLAY");
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return FindChildByPrefix(main, "PLAY 00:0") != nullptr; }));
    EXPECT_TRUE(Enabled(main, "BUTTON_VIDPAUSE"));
    ClickElement(program, main, "BUTTON_VIDPAUSE");
    Sleep(700);
    HWND function = FindChildByPrefix(main, "PLAY");
    ASSERT_NE(function, nullptr);
    const std::string held = TextOf(function);
    Sleep(1500);
    EXPECT_EQ(TextOf(function), held) << "the playback runs on while paused";
    ClickElement(program, main, "BUTTON_VIDPAUSE");
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return TextOf(function) != held; })) << "the playback did not go on";
    ClickElement(program, main, "BUTTON_VIDSTOP");
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return Shows(main, "MONITOR"); }));
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return BarsShow(picture); })) << "the live picture did not come back";

    // A snapshot from the compact view.
    ClickElement(program, main, "BUTTON_SNAPSHOT");
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return FileSize(shot_) == 54u + 640 * 480 * 3; }));

    // Minimised and restored, still compact.
    ClickElement(program, main, "BUTTON_MINIMIZE");
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return IsIconic(main) != FALSE; }));
    PostMessageA(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsIconic(main); }));
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return BarsShow(PictureRect(main, 16, 54, 288, 216)); }));

    // Exit from the compact view keeps it for the next start.
    ExpectNoBoxes(program);
    ClickElement(program, main, "BUTTON_EXIT");
    ASSERT_TRUE(program.WaitForExit(kExitMs).has_value());
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "SkinView"), 1u);
    Program again("walk-compact-again");
    HWND second = Start(again);
    ASSERT_NE(second, nullptr);
    GetClientRect(second, &client);
    EXPECT_EQ(client.right, 400);
    // And the menu takes it back to the full panel.
    HWND back = OpenMenu(again, second, "BUTTON_VIEW_MENU");
    ASSERT_NE(back, nullptr);
    Choose(again, back, 1);  // "Full panel"
    EXPECT_TRUE(WaitFor(kWaitMs, [&] {
        GetClientRect(second, &client);
        return client.right == 700 && client.bottom == 450;
    }));
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return BarsShow(PictureRect(second, 30, 68, 384, 288)); }));
    EndWithEscape(again, second);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "SkinView"), 0u);
}

// ---------------------------------------------------------------------------------------------
// The pictures' own menus

TEST_F(Walk, PictureMenusSizeThePicturesAndGoFullScreen) {
    Program program("walk-picture-menus");
    PrepareFiles(program);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    HWND live = LiveWindow(main);
    ASSERT_NE(live, nullptr);
    auto menuOf = [&](HWND picture) {
        PostMessageA(picture, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
        PostMessageA(picture, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
        HWND menu = nullptr;
        EXPECT_TRUE(WaitFor(kWaitMs, [&] { return (menu = VisibleMenuOf(program.ProcessId())) != nullptr; }));
        return menu;
    };
    auto clientIs = [&](HWND picture, int width, int height) {
        RECT client{};
        bool done = WaitFor(kWaitMs, [&] {
            GetClientRect(picture, &client);
            return client.right == width && client.bottom == height;
        });
        if (!done) ADD_FAILURE() << client.right << " x " << client.bottom << ", wanted " << width << " x " << height;
        return done;
    };
    // "Display Size", then 50 %, 100 %, 150 %, 200 % of the 640 x 480 capture and "Full Screen Mode";
    // the client area ends one pixel short, as the window's sizing makes it.
    Choose(program, menuOf(live), 2);
    EXPECT_TRUE(clientIs(live, 319, 239));
    Choose(program, menuOf(live), 4);
    EXPECT_TRUE(clientIs(live, 959, 719));
    Choose(program, menuOf(live), 5);
    EXPECT_TRUE(clientIs(live, 1279, 959));
    Choose(program, menuOf(live), 3);
    EXPECT_TRUE(clientIs(live, 639, 479));
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    auto fullScreen = [&] {
        DWORD pid = 0;
        GetWindowThreadProcessId(WindowFromPoint(POINT{width - 5, height - 5}), &pid);
        return pid == program.ProcessId();
    };
    ASSERT_FALSE(fullScreen());
    Choose(program, menuOf(live), 6);
    ASSERT_TRUE(WaitFor(kWaitMs, fullScreen)) << "no full screen picture";
    // In full screen the menu has one item: back.
    Choose(program, menuOf(live), 1);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return !fullScreen(); })) << "full screen was not left";

    // The played picture's menu: "Playback Size", its sizes of the recorded picture.
    RecordTwoSeconds(program, main);
    ClickElement(program, main, "BUTTON_VIDPLAY");
    HWND playback = PlaybackWindow(main);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return IsWindowVisible(playback) && FindChildByPrefix(main, "PLAY") != nullptr; }));
    ClickElement(program, main, "BUTTON_VIDPAUSE");
    Choose(program, menuOf(playback), 2);
    EXPECT_TRUE(clientIs(playback, 319, 239));
    Choose(program, menuOf(playback), 6);
    EXPECT_TRUE(WaitFor(kWaitMs, fullScreen)) << "no full screen playback";
    // Esc leaves the played picture's full screen first.
    program.PressKey(main, VK_ESCAPE);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return !fullScreen(); }));
    EXPECT_FALSE(program.WaitForExit(500).has_value());
    ClickElement(program, main, "BUTTON_VIDSTOP");
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return Shows(main, "MONITOR"); }));
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Walk, RecordingInputMenuChoicesKeepThePictureRunning) {
    Program program("walk-input-menu");
    PrepareFiles(program);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    ClickElement(program, main, "BUTTON_INPUT_TUNER");
    // Title, "Line-In", "Mic", "Mute", the resynchronising line, "TV Tuner Audio Properties".
    for (int downs : {2, 3, 5}) {
        HWND menu = OpenMenu(program, main, "BUTTON_PROP_VOLUME");
        ASSERT_NE(menu, nullptr);
        Choose(program, menu, downs);
        Sleep(300);
        ExpectNoBoxes(program);
        EXPECT_TRUE(Shows(main, "BUTTON_PROP_VOLUME")) << "the menu item muted: " << downs;
    }
    HWND menu = OpenMenu(program, main, "BUTTON_PROP_VOLUME");
    ASSERT_NE(menu, nullptr);
    Choose(program, menu, 6);
    // The TV audio's pages in a property frame of the platform.
    HWND frame = program.WaitForWindow(kWaitMs, [&](HWND hwnd) { return TextOf(hwnd).rfind("Properties", 0) == 0; });
    ASSERT_NE(frame, nullptr) << "no property pages of the TV audio";
    PostMessageA(frame, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(frame); }));
    // The tuner's colour bars, turned by its channel, still run.
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return Spread(Bar(PictureRect(main, 30, 68, 384, 288), 3)) > 100; }));
    EXPECT_TRUE(Shows(main, "MONITOR"));
    EndWithEscape(program, main, kExitMs);
}

// ---------------------------------------------------------------------------------------------
// Playing another file from disk

TEST_F(Walk, PlayOffersAnotherFileAndShowsItsOwnSizeAndName) {
    Program program("walk-play-other");
    PrepareFiles(program);
    const std::string other = program.Folder() + "\\other.avi";
    {
        // A recording of 640 x 480 to play later.
        WriteRegistryText(HKEY_LOCAL_MACHINE, kVideo, "FileName", other);
        HWND main = Start(program);
        ASSERT_NE(main, nullptr);
        RecordTwoSeconds(program, main);
        EndWithEscape(program, main, kExitMs);
    }
    ASSERT_GT(FileSize(other), 30u * 640 * 480 * 2);
    // Now the device captures 320 x 240 and the capture file does not exist.
    WriteRegistryText(HKEY_LOCAL_MACHINE, kVideo, "FileName", capture_);
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "StreamFormat", 2);
    Program again("walk-play-other-again");
    HWND main = Start(again);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return Shows(main, "320 x 240"); }));
    auto askForAnother = [&] {
        ClickElement(again, main, "BUTTON_VIDPLAY");
        auto box = again.WaitForMessageBox(kWaitMs);
        EXPECT_TRUE(box.has_value());
        if (!box) return static_cast<HWND>(nullptr);
        EXPECT_EQ(box->caption, "Warning");
        EXPECT_NE(box->text.find(".. : Play a different file from disk?"), std::string::npos) << box->text;
        again.Answer(*box, IDYES);
        return ProgramWindow(again, "Select a video file to play");
    };
    // The file dialog cancelled: nothing plays.
    HWND chooser = askForAnother();
    ASSERT_NE(chooser, nullptr) << "no file dialog";
    PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(chooser); }));
    EXPECT_TRUE(Shows(main, "MONITOR"));
    // A file chosen: it plays, named, at its own size.
    chooser = askForAnother();
    ASSERT_NE(chooser, nullptr);
    ChooseInFileDialog(chooser, other);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return FindChildByPrefix(main, "PLAY") != nullptr; })) << "nothing plays";
    EXPECT_TRUE(Shows(main, other));
    EXPECT_TRUE(Shows(main, "640 x 480"));
    EXPECT_TRUE(Enabled(main, "PROGRESS_VIDEO"));
    EXPECT_FALSE(Enabled(main, "BUTTON_VIDCAP"));
    EXPECT_FALSE(Enabled(main, "BUTTON_SNAPSHOT"));
    // At its end the live picture and its size come back.
    EXPECT_TRUE(WaitFor(20000, [&] { return Shows(main, "MONITOR"); }));
    EXPECT_TRUE(Shows(main, "320 x 240"));
    EndWithEscape(again, main);
}

// ---------------------------------------------------------------------------------------------
// The settings dialogs through the program

TEST_F(Walk, CaptureSettingsAreStoredOnOkForgottenOnCancelAndPreallocate) {
    Program program("walk-capture-settings");
    PrepareFiles(program);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    constexpr int kFileName = 1096, kBrowse = 1097, kUseTimeLimit = 1107, kTimeLimit = 1109, kSeconds = 1111;
    constexpr int kPreallocate = 1119, kAllocate = 1132;
    auto open = [&](const char* element) {
        ClickElement(program, main, element);
        return ProgramWindow(program, "VIDEO CAPTURE SETTINGS");
    };

    // Cancel forgets what was changed.
    HWND dialog = open("BUTTON_VID_FILE");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, kFileName)), capture_);
    PressButton(dialog, kUseTimeLimit);
    EXPECT_TRUE(WaitFor(3000, [&] { return IsWindowEnabled(GetDlgItem(dialog, kTimeLimit)) != FALSE; }));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(dialog); }));
    EXPECT_FALSE(ReadRegistryDword(HKEY_LOCAL_MACHINE, kVideo, "UseTimeLimit").has_value());

    // OK stores: a limit of 5 seconds.
    dialog = open("BUTTON_VIDCAP_SETUP");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Checked(dialog, kUseTimeLimit));
    PressButton(dialog, kUseTimeLimit);
    TypeInto(dialog, kTimeLimit, "5");
    PressButton(dialog, kSeconds);
    Sleep(300);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(dialog); }));
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kVideo, "UseTimeLimit"), 1u);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kVideo, "TimeLimit"), 5u);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kVideo, "TimeUnits"), 1u);

    // The browse dialog names a new file; without an extension ".avi" is added. Cancelled afterwards,
    // the settings keep the old name.
    dialog = open("BUTTON_VID_FILE");
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, kBrowse);
    HWND chooser = ProgramWindow(program, "Select a video file to overwrite or enter new filemname \nif not specified "
                                          "'.avi' will be added");
    if (!chooser)
        chooser = program.WaitForWindow(kWaitMs, [&](HWND hwnd) { return TextOf(hwnd).rfind("Select a video file", 0) == 0; });
    ASSERT_NE(chooser, nullptr) << "no file dialog";
    ChooseInFileDialog(chooser, program.Folder() + "\\renamed");
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return TextOf(GetDlgItem(dialog, kFileName)) == program.Folder() + "\\renamed.avi"; }))
        << TextOf(GetDlgItem(dialog, kFileName));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(dialog); }));
    EXPECT_EQ(ReadRegistryText(HKEY_LOCAL_MACHINE, kVideo, "FileName"), capture_);

    // More than 80 % of the free space is refused and lowered.
    dialog = open("BUTTON_VIDCAP_SETUP");
    ASSERT_NE(dialog, nullptr);
    TypeInto(dialog, kPreallocate, "999999999");
    ExpectBox(program, "Error", "Preallocated capture filesize should not excede 80% of available space on selected drive");
    EXPECT_NE(TextOf(GetDlgItem(dialog, kPreallocate)), "999999999");
    // A size of 2 MB, allocated when OK asks.
    TypeInto(dialog, kPreallocate, "2");
    Sleep(300);
    ExpectNoBoxes(program);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ExpectBox(program, "Warning", "Filename or Pre-allocate size changed. Do you want to allocate now?", IDYES);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(dialog); }));
    EXPECT_EQ(FileSize(capture_), 2u << 20);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kVideo, "Preallocate"), 2u);

    // Over a recording, Allocate asks first; No keeps it.
    RecordTwoSeconds(program, main);
    const uint64_t recorded = FileSize(capture_);
    dialog = open("BUTTON_VIDCAP_SETUP");
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, kAllocate);
    ExpectBox(program, "Warning",
              "Re-allocate video file \"" + capture_ + "\" to 2 MBytes? (This will destroy current contents.)", IDNO);
    EXPECT_EQ(FileSize(capture_), recorded);
    // A file another program holds cannot be allocated.
    HANDLE held = CreateFileA(capture_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    PressButton(dialog, kAllocate);
    ExpectBox(program, "Error", "File \"" + capture_ + "\" cannot be allocated for capture....\n  May be in use.");
    CloseHandle(held);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(dialog); }));
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Walk, StillSettingsAndThePopUpsFolderAndCloseItems) {
    Program program("walk-still");
    PrepareFiles(program);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    constexpr int kFileName = 1096, kBrowse = 1097, kShutter = 1118;
    auto open = [&] {
        ClickElement(program, main, "BUTTON_SNAPSHOT_SETUP");
        return ProgramWindow(program, "STILL IMAGE CAPTURE SETTINGS");
    };
    // A name chosen without ".bmp" gets it; Cancel forgets it, OK stores it.
    for (bool ok : {false, true}) {
        HWND dialog = open();
        ASSERT_NE(dialog, nullptr);
        PressButton(dialog, kBrowse);
        HWND chooser = program.WaitForWindow(kWaitMs, [&](HWND hwnd) {
            return TextOf(hwnd) == "Select a bitmap file to overwrite or enter new filemname";
        });
        ASSERT_NE(chooser, nullptr) << "no file dialog";
        ChooseInFileDialog(chooser, program.Folder() + "\\picture");
        EXPECT_TRUE(WaitFor(kWaitMs, [&] { return TextOf(GetDlgItem(dialog, kFileName)) == program.Folder() + "\\picture.bmp"; }))
            << TextOf(GetDlgItem(dialog, kFileName));
        if (ok) PressButton(dialog, kShutter);  // off
        PostMessageA(dialog, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
        ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(dialog); }));
        EXPECT_EQ(ReadRegistryText(HKEY_LOCAL_MACHINE, kStill, "FileName"), ok ? program.Folder() + "\\picture.bmp" : shot_);
    }
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kStill, "UseShutterSound"), 0u);

    // The pop-up's menu: "Open Containing Folder" starts a file manager there, "Close Window" hides it.
    ClickElement(program, main, "BUTTON_SNAPSHOT");
    HWND popup = ProgramWindow(program, "picture.bmp");
    ASSERT_NE(popup, nullptr) << "no pop-up";
    auto menuItem = [&](int downs) {
        PostMessageA(popup, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 30));
        PostMessageA(popup, WM_RBUTTONUP, 0, MAKELPARAM(30, 30));
        HWND menu = nullptr;
        ASSERT_TRUE(WaitFor(kWaitMs, [&] { return (menu = VisibleMenuOf(program.ProcessId())) != nullptr; }));
        Choose(program, menu, downs);
    };
    const std::set<DWORD> before = ExplorerProcesses();
    menuItem(2);
    DWORD started = 0;
    EXPECT_TRUE(WaitFor(kWaitMs, [&] {
        for (DWORD pid : ExplorerProcesses())
            if (!before.count(pid)) started = pid;
        return started != 0;
    })) << "no file manager started";
    if (started) {
        EXPECT_NE(CommandLineOf(started).find("/n, " + program.Folder()), std::string::npos) << CommandLineOf(started);
        EndProcess(started);
    }
    EXPECT_TRUE(IsWindowVisible(popup));
    menuItem(5);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindowVisible(popup); })) << "Close Window did not hide it";
    EXPECT_TRUE(FileExists(program.Folder() + "\\picture.bmp"));
    EndWithEscape(program, main, kExitMs);
}

// ---------------------------------------------------------------------------------------------
// Motion detection's dialogs through the program

TEST_F(Walk, MotionSetupSaysWhatArmingNeedsAndItsDialogsOpenAndClose) {
    Program program("walk-motion");
    PrepareFiles(program);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    constexpr int kSnapshot = 1206, kRun = 1208, kRunFile = 1215, kBrowse = 1216, kTest = 1224, kDefaults = 1199;
    constexpr int kInternet = 1230, kArm = 1228, kEmail = 1049;
    auto open = [&] {
        ClickElement(program, main, "BUTTON_MOTION_SETUP");
        return ProgramWindow(program, "Motion detection setup");
    };
    HWND setup = open();
    ASSERT_NE(setup, nullptr);

    // Arming needs an action, and a run file that exists; Test says so too.
    PressButton(setup, kArm);
    ExpectBox(program, "Error", "No action is seleced for motion trigger");
    PressButton(setup, kRun);
    TypeInto(setup, kRunFile, program.Folder() + "\\missing.exe");
    PressButton(setup, kTest);
    ExpectBox(program, "Error", "File does not exist");
    PressButton(setup, kArm);
    ExpectBox(program, "Error", "[Run] selected for motion trigger action action but filename entered cannot be found");
    PressButton(setup, kRun);  // off again

    // Browse offers a file to run; cancelled, nothing changes.
    PressButton(setup, kBrowse);
    HWND chooser = ProgramWindow(program, "Select a file to run when motion triggered");
    ASSERT_NE(chooser, nullptr) << "no file dialog";
    PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(chooser); }));

    // The destination dialog is a dialog, not a box; Cancel forgets, OK stores.
    for (bool ok : {false, true}) {
        PressButton(setup, kInternet);
        HWND internet = ProgramWindow(program, "Internet Destination for still images captured by motion trigger");
        ASSERT_NE(internet, nullptr);
        EXPECT_TRUE(program.OpenMessageBoxes().empty()) << "the destination dialog is taken for a message box";
        TypeInto(internet, kEmail, "watch@example.org");
        Sleep(200);
        PostMessageA(internet, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
        ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(internet); }));
        EXPECT_EQ(ReadRegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\Internet", "EmailAddress"), ok ? "watch@example.org" : "");
    }

    // A snapshot action armed, then the countdown cancelled: back in the setup, nothing armed.
    PressButton(setup, kSnapshot);
    PressButton(setup, kArm);
    HWND countdown = ProgramWindow(program, "Motion detection countdown");
    ASSERT_NE(countdown, nullptr) << "no countdown";
    EXPECT_FALSE(IsWindowVisible(setup));
    PostMessageA(countdown, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return IsWindowVisible(setup) && !IsWindow(countdown); }));
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kMotion, "Snap"), 1u);  // ARM stored the settings

    // Defaults, then Cancel: nothing stored; Save: stored.
    PressButton(setup, kDefaults);
    PostMessageA(setup, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(setup); }));
    setup = open();
    ASSERT_NE(setup, nullptr);
    PressButton(setup, kSnapshot);  // off
    Sleep(200);
    PostMessageA(setup, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return !IsWindow(setup); }));
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kMotion, "Snap"), 0u);
    EndWithEscape(program, main, kExitMs);
}

// ---------------------------------------------------------------------------------------------
// The website button and names the program does not know

// The shell's handler of http addresses, replaced by the recorder for the test and put back after.
class WalkWebsite : public Walk {
protected:
    void SetUp() override {
        Walk::SetUp();
        log_ = BinFolder() + "\\url-opened.txt";
        DeleteFileA(log_.c_str());
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, kCommand, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        char old[1024] = {};
        DWORD size = sizeof old - 1;
        hadCommand_ = RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
        oldCommand_ = old;
        const std::string command = "\"" + BinFolder() + "\\lumetra_url_recorder.exe\" \"%1\"";
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
        RegCloseKey(key);
    }
    void TearDown() override {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kCommand, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            if (hadCommand_)
                RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(oldCommand_.c_str()),
                               static_cast<DWORD>(oldCommand_.size() + 1));
            else
                RegDeleteValueA(key, nullptr);
            RegCloseKey(key);
        }
        DeleteFileA(log_.c_str());
        Walk::TearDown();
    }
    static constexpr const char* kCommand = "http\\shell\\open\\command";
    std::string log_, oldCommand_;
    bool hadCommand_ = false;
};

TEST_F(WalkWebsite, TheWebsiteButtonOpensTheSkinsAddress) {
    Program program("walk-website");
    PrepareFiles(program);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    ClickElement(program, main, "BUTTON_WEBSITE");
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return ReadWholeFile(log_).find("http://localhost/lumetra") != std::string::npos; }))
        << "the browser was not asked for the skin's address: " << ReadWholeFile(log_);
    EndWithEscape(program, main, kExitMs);
}

TEST_F(WalkWebsite, AWebsiteWithoutHttpAndAnUnknownNameAreToldOncePerClick) {
    Program program("walk-skin-names");
    TestView view;
    view.file = "A.ini";
    view.title = "A";
    view.images = StandardImages("a_");
    view.buttons = {"BUTTON_EXIT,40,10,30,20,TYPE_PUSH,Exit", "BUTTON_WEBSITE,80,10,30,20,TYPE_PUSH,www.example.org",
                    "BUTTON_REWIND,120,10,30,20,TYPE_PUSH,Rewind"};
    WriteTestSkin(program.Folder(), {view});
    HWND main = Start(program, false);
    ASSERT_NE(main, nullptr);
    ClickElement(program, main, "BUTTON_WEBSITE");
    ExpectBox(program, "Error",
              "If this button is implemented the 'tooltip' field in the ini file must be a valid URL starting with "
              "'http://'");
    ClickElement(program, main, "BUTTON_REWIND");
    ExpectBox(program, "Warning", "BUTTON_REWIND: not implemented: Check name definitions in Skin\\A.ini");
    // One click, one box; and nothing was opened.
    EXPECT_FALSE(program.WaitForMessageBox(1000).has_value()) << "a second box for the same click";
    EXPECT_FALSE(FileExists(log_)) << ReadWholeFile(log_);
    EndWithEscape(program, main, kExitMs);
}

// ---------------------------------------------------------------------------------------------
// Without a device

class WalkNoDevice : public Walk {
protected:
    void SetUp() override {
        Walk::SetUp();
        ASSERT_TRUE(Regsvr32("/u " + SimulatorDll()));
    }
    void TearDown() override {
        Regsvr32(SimulatorDll());
        Walk::TearDown();
    }
};

TEST_F(WalkNoDevice, TheDroppedFramesClockShowsMinusOneWithoutACapturePin) {
    Program program("walk-nodevice");
    program.CopyFromBin("skins.ini");
    program.CopyFromBin("Default");
    ASSERT_TRUE(program.Start());
    ExpectBox(program, "Warning", "Video Capture device not connected");
    HWND main = program.WaitForMainWindow(kStartMs);
    ASSERT_NE(main, nullptr);
    HWND clock = ElementAt(main, 604 + 34, 70 + 10);
    ASSERT_NE(clock, nullptr);
    ClickElement(program, main, "BUTTON_CYCLE_PREV");
    ASSERT_TRUE(WaitFor(kWaitMs, [&] { return Shows(main, "BUTTON_PROP_SATURATION"); }));
    for (int i = 0; i < 10; ++i) ClickElement(program, main, "BUTTON_CYCLE_UP");
    ClickElement(program, main, "BUTTON_EXIT");
    EXPECT_TRUE(WaitFor(kWaitMs, [&] { return TextOf(clock) == "-1"; })) << TextOf(clock);
    EXPECT_FALSE(program.WaitForExit(500).has_value());
    for (int i = 0; i < 15; ++i) ClickElement(program, main, "BUTTON_CYCLE_UP");
    ClickElement(program, main, "BUTTON_EXIT");
    EXPECT_TRUE(WaitFor(3000, [&] { return ClockTexts().count(TextOf(clock)) == 1; })) << TextOf(clock);
    EndWithEscape(program, main, kExitMs);
}

}  // namespace
}  // namespace lumetra::e2e
