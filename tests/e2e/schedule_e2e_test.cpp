// The recording schedule through the real program: opened from the view menu, an entry made in its
// cells records by itself at its time, and the schedule's preferences outlive a restart.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <string>

#include "tests/e2e/driver.h"
#include "tests/e2e/test_skin.h"

namespace lumetra::e2e {
namespace {

constexpr DWORD kStartMs = 20000;
constexpr DWORD kExitMs = 20000;
const char kOrvex[] = "SOFTWARE\\Orvex";
const char kScheduleTitle[] = "Video Recording Schedule";

// The schedule dialog's controls and its list's columns (pixels), as the program lays them out.
constexpr int kListOnce = 1238, kAdd = 1252, kDisable = 1257, kPreferences = 1269;
constexpr int kTooltips = 1270, kOnceColour = 1271;
const int kColumnWidths[] = {22, 120, 100, 70, 58, 80, 64, 80, 22};
enum Column { kColCheck, kColName, kColDate, kColStart, kColLength, kColSource };

struct Search {
    DWORD pid;
    const char* cls;
    const char* title;
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
    char cls[64] = {}, title[128] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, title, sizeof title);
    if (s->cls && std::string(cls) != s->cls) return TRUE;
    if (s->title && std::string(title) != s->title) return TRUE;
    if (s->owner && GetWindow(hwnd, GW_OWNER) != s->owner) return TRUE;
    s->found = hwnd;
    return FALSE;
}

HWND TopLevel(const Program& program, const char* cls, const char* title, HWND owner = nullptr) {
    Search s{program.ProcessId(), cls, title, owner, nullptr};
    EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND WaitTopLevel(const Program& program, const char* cls, const char* title, HWND owner = nullptr,
                  DWORD timeoutMs = 5000) {
    HWND found = nullptr;
    WaitFor(timeoutMs, [&] { return (found = TopLevel(program, cls, title, owner)) != nullptr; });
    return found;
}

POINT CentreOnScreen(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The pointer over a screen point, as a user moves it; the program sees the movement itself.
void PointAt(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    Sleep(80);
}

void PostKey(HWND hwnd, UINT key) {
    PostMessageA(hwnd, WM_KEYDOWN, key, 1);
    PostMessageA(hwnd, WM_KEYUP, key, 1 | (3u << 30));
}

class Schedule : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex);
        // The recording stays behind for the ffprobe check; only the recording test replaces it.
        capture_ = BinFolder() + "\\schedule-e2e.avi";
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\Video", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "FileName", 0, REG_SZ, reinterpret_cast<const BYTE*>(capture_.c_str()),
                       static_cast<DWORD>(capture_.size() + 1));
        RegCloseKey(key);
        // The smallest picture keeps a minute's recording small.
        ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "StreamFormat", 0));
    }
    void TearDown() override { DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex); }

    // View menu, then the item above "Full Screen Mode".
    HWND OpenSchedule(Program& program, HWND main) {
        program.Click(FindChildByText(main, "BUTTON_VIEW_MENU"), 5, 5);
        HWND menu = nullptr;
        EXPECT_TRUE(WaitFor(5000, [&] {
            menu = FindWindowA("#32768", nullptr);
            return menu && IsWindowVisible(menu);
        })) << "no view menu";
        if (!menu) return nullptr;
        program.PressKey(menu, VK_UP);  // "Full Screen Mode", the last item
        program.PressKey(menu, VK_UP);  // "Recording Schedule..."
        program.PressKey(menu, VK_RETURN);
        HWND dialog = WaitTopLevel(program, "#32770", kScheduleTitle);
        EXPECT_NE(dialog, nullptr) << "schedule did not open";
        return dialog;
    }
    // A cell of row 0 of a list on screen: its centre, or the square button at its right end.
    static POINT Cell(HWND list, int column, bool button) {
        HWND header = FindWindowExA(list, nullptr, "SysHeader32", nullptr);
        RECT h;
        GetWindowRect(header, &h);
        int left = h.left;
        for (int c = 0; c < column; ++c) left += kColumnWidths[c];
        const int right = left + kColumnWidths[column];
        const int y = h.bottom + 8;  // inside the first row
        return POINT{button ? right - 7 : (left + right) / 2, y};
    }
    // Points at a cell (the dialog selects its row), presses on it and releases once the editor is up.
    static void PressCell(HWND list, POINT screen, const std::function<bool()>& editorUp) {
        PointAt(screen);
        POINT client = screen;
        ScreenToClient(list, &client);
        PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        EXPECT_TRUE(WaitFor(3000, editorUp)) << "editor did not open";
        PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    }
    // The list's pop-up editor (owned by the dialog the list is in).
    HWND EditorPopup(const Program& program, HWND list) const {
        return TopLevel(program, "LumetraEditorPopup", nullptr, GetAncestor(list, GA_ROOT));
    }
    // Opens the pop-up editor of a cell and returns its child of the given class.
    HWND OpenPopupEditor(const Program& program, HWND list, int column, const char* childClass) {
        HWND editor = nullptr;
        PressCell(list, Cell(list, column, true), [&] {
            HWND popup = EditorPopup(program, list);
            editor = popup ? FindWindowExA(popup, nullptr, childClass, nullptr) : nullptr;
            return editor != nullptr && IsWindowVisible(editor);
        });
        return editor;
    }
    bool EditorClosed(const Program& program, HWND list) {
        return WaitFor(3000, [&] { return EditorPopup(program, list) == nullptr; });
    }
    // One notch of the wheel with Ctrl over the clock's centre knob: one minute on.
    static void NextMinute(HWND clock, int centreY) {
        RECT r;
        GetWindowRect(clock, &r);
        const int width = r.right - r.left;
        POINT knob{r.left + width / 2, r.top + centreY};
        PointAt(knob);
        PostMessageA(clock, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), MAKELPARAM(knob.x, knob.y));
        Sleep(100);
    }

    std::string capture_;
};

// Waits until the clock stands early enough in a minute that an entry for the next minute can be made
// before that minute begins (and not at :59, where the next minute is in the next hour).
void WaitForAnEarlyMoment() {
    WaitFor(80000, [] {
        std::time_t now = std::time(nullptr);
        std::tm t{};
        localtime_s(&t, &now);
        return t.tm_sec <= 30 && t.tm_min != 59;
    });
}

TEST_F(Schedule, AOneTimeEntryForTheNextMinuteRecordsByItself) {
    DeleteFileA(capture_.c_str());
    Program program("schedule-record");
    HWND main = StartWithDefaultSkin(program, kStartMs);
    ASSERT_NE(main, nullptr);
    WaitForAnEarlyMoment();
    HWND dialog = OpenSchedule(program, main);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, kListOnce);
    ASSERT_NE(list, nullptr);

    // Over "Add Item" and a click: a new row.
    HWND add = GetDlgItem(dialog, kAdd);
    PointAt(CentreOnScreen(add));
    program.Click(add, 5, 5);
    ASSERT_TRUE(WaitFor(3000, [&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
    Sleep(300);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 1);  // the row stays after the pointer leaves

    // Date: the calendar opens on today; Return takes it.
    HWND calendar = OpenPopupEditor(program, list, kColDate, "SysMonthCal32");
    ASSERT_NE(calendar, nullptr);
    PostKey(calendar, VK_RETURN);
    ASSERT_TRUE(EditorClosed(program, list));
    // Start: the clock opens on the row's creation time; one minute on.
    HWND clock = OpenPopupEditor(program, list, kColStart, "MFCTimeClkCtrl");
    ASSERT_NE(clock, nullptr);
    NextMinute(clock, 29 + 60);  // the face's centre below the 29-pixel strip, 12-hour clock
    PostKey(clock, VK_RETURN);
    ASSERT_TRUE(EditorClosed(program, list));
    // Length: the length clock opens on 0:00; one minute.
    clock = OpenPopupEditor(program, list, kColLength, "MFCTimeClkCtrl");
    ASSERT_NE(clock, nullptr);
    NextMinute(clock, 29 + 44);
    PostKey(clock, VK_RETURN);
    ASSERT_TRUE(EditorClosed(program, list));
    // Source: the third choice, S-Video (no channel needed); the program shows composite until then.
    HWND choices = OpenPopupEditor(program, list, kColSource, "ListBox");
    ASSERT_NE(choices, nullptr);
    PostKey(choices, VK_DOWN);
    PostKey(choices, VK_DOWN);
    PostKey(choices, VK_RETURN);
    ASSERT_TRUE(EditorClosed(program, list));
    PointAt(POINT{0, 0});

    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor(5000, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
    for (const auto& box : program.OpenMessageBoxes()) ADD_FAILURE() << "box: [" << box.caption << "] " << box.text;

    // The entry was complete, so it was armed and stored.
    HKEY once;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\RecordingSchedule\\Once", 0, KEY_READ, &once),
              ERROR_SUCCESS);
    unsigned char record[100] = {};
    DWORD size = sizeof record;
    EXPECT_EQ(RegQueryValueExA(once, "Item0", nullptr, nullptr, record, &size), ERROR_SUCCESS);
    EXPECT_EQ(record[0], 1);             // armed
    EXPECT_EQ(record[16], 60);           // one minute
    EXPECT_EQ(record[24], 2);            // S-Video

    // The recording starts at the next minute and stops a minute later, by itself.
    EXPECT_TRUE(WaitFor(75000, [&] { return FindChildByPrefix(main, "REC") != nullptr; })) << "recording did not start";
    const DWORD started = GetTickCount();
    EXPECT_TRUE(WaitFor(80000, [&] { return FindChildByText(main, "MONITOR") != nullptr; })) << "recording did not stop";
    const DWORD seconds = (GetTickCount() - started) / 1000;
    EXPECT_GE(seconds, 55u);
    EXPECT_LE(seconds, 65u);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA(capture_.c_str(), GetFileExInfoStandard, &data));
    EXPECT_GT(data.nFileSizeLow | static_cast<uint64_t>(data.nFileSizeHigh) << 32, 30ull * 60 * 160 * 120);
    // The stored entry says it was recorded.
    size = sizeof record;
    RegQueryValueExA(once, "Item0", nullptr, nullptr, record, &size);
    RegCloseKey(once);
    EXPECT_EQ(record[32], 3);
    EndWithEscape(program, main, kExitMs);
    // The schedule switched to its source: the program ended on S-Video, the crossbar's third input.
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "CrossbarInput"), 2u);
}

TEST_F(Schedule, PreferencesAndTheDisabledFlagOutliveARestart) {
    {
        Program program("schedule-prefs");
        HWND main = StartWithDefaultSkin(program, kStartMs);
        ASSERT_NE(main, nullptr);
        HWND dialog = OpenSchedule(program, main);
        ASSERT_NE(dialog, nullptr);
        PostMessageA(GetDlgItem(dialog, kDisable), BM_CLICK, 0, 0);
        PostMessageA(GetDlgItem(dialog, kPreferences), BM_CLICK, 0, 0);
        HWND prefs = WaitTopLevel(program, "#32770", "Recording Schedule Preferences");
        ASSERT_NE(prefs, nullptr);
        PostMessageA(GetDlgItem(prefs, kTooltips), BM_CLICK, 0, 0);
        HWND colour = GetDlgItem(prefs, kOnceColour);
        PointAt(CentreOnScreen(colour));
        program.Click(colour, 5, 5);
        HWND palette = WaitTopLevel(program, "LumetraWindow", nullptr, prefs);
        ASSERT_NE(palette, nullptr) << "no palette";
        // White is chosen; Lavender is four rows down.
        for (int i = 0; i < 4; ++i) PostKey(palette, VK_DOWN);
        PostKey(palette, VK_RETURN);
        ASSERT_TRUE(WaitFor(3000, [&] { return !IsWindow(palette); }));
        PostMessageA(GetDlgItem(prefs, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitFor(3000, [&] { return !IsWindow(prefs); }));
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, kListOnce), LVM_GETBKCOLOR, 0, 0), 0xFAE6E6);
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitFor(5000, [&] { return !IsWindow(dialog); }));
        EndWithEscape(program, main, kExitMs);
    }
    const char* schedule = "SOFTWARE\\Orvex\\RecordingSchedule";
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, schedule, "OneTimeColor"), 0xFAE6E6u);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, schedule, "ToolTips"), 0u);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, schedule, "DisableSchedule"), 1u);
    {
        Program program("schedule-prefs-again");
        HWND main = StartWithDefaultSkin(program, kStartMs);
        ASSERT_NE(main, nullptr);
        HWND dialog = OpenSchedule(program, main);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, kListOnce), LVM_GETBKCOLOR, 0, 0), 0xFAE6E6);
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, kDisable), BM_GETCHECK, 0, 0), BST_CHECKED);
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitFor(5000, [&] { return !IsWindow(dialog); }));
        EndWithEscape(program, main, kExitMs);
    }
}

}  // namespace
}  // namespace lumetra::e2e
