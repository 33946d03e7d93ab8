#pragma once
// Drives the real Lumetra.exe from another process under Wine: starts it in a prepared folder,
// finds its windows, answers its message boxes, sends keys and clicks, waits for it to end.
// Every wait is bounded; boxes nobody expected are reported with their text.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lumetra::e2e {

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
};

// Folder of the test programs (beside Lumetra.exe and the default skin).
std::string BinFolder();
// The main window's title: the product name and the build's version.
std::string MainWindowTitle();

class Program;

// Fails the test for every message box open now, naming its caption and text.
void ExpectNoBoxes(const Program& program);
// Expects no box open, presses Esc in the main window and expects the program to end with 0.
void EndWithEscape(Program& program, HWND main, DWORD timeoutMs = 20000);
// Starts the program with the default skin from the binaries folder and expects no box; with
// waitForLive, also that the live picture comes up ("MONITOR" shown). The main window, or null.
HWND StartWithDefaultSkin(Program& program, DWORD startMs, bool waitForLive = true);
// Clicks a skin element of the main window by its name; fails the test when there is none.
void ClickElement(const Program& program, HWND main, const char* name);

class Program {
public:
    // Prepares an empty work folder named after the test with a copy of Lumetra.exe.
    explicit Program(const std::string& testName);
    // Runs an exe where it is (an installed program), started in workingFolder; nothing is copied or removed.
    Program(const std::string& exePath, const std::string& workingFolder);
    // Ends the process if it still runs (reporting any open box as a failure) and removes a work folder.
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    const std::string& Folder() const { return folder_; }
    void WriteFile(const std::string& relativePath, const std::string& content) const;
    // Copies a folder tree below the binaries folder (for example the default skin) into the work folder.
    void CopyFromBin(const std::string& relativePath) const;

    bool Start();
    bool Running() const;
    DWORD ProcessId() const { return pi_.dwProcessId; }
    // The started process (full access), for measuring it; null before Start.
    HANDLE ProcessHandle() const { return pi_.hProcess; }

    // The main window once it is visible, or null after the time-out.
    HWND WaitForMainWindow(DWORD timeoutMs) const;
    // The first visible top-level window of the process that matches, or null after the time-out.
    HWND WaitForWindow(DWORD timeoutMs, const std::function<bool(HWND)>& matches) const;
    // A visible top-level window of the process with this title, not a message box.
    HWND WaitForWindowTitled(const std::string& title, DWORD timeoutMs) const;
    // The next message box of the process, or nothing after the time-out.
    std::optional<MessageBoxInfo> WaitForMessageBox(DWORD timeoutMs) const;
    // The message boxes open right now.
    std::vector<MessageBoxInfo> OpenMessageBoxes() const;
    // Clicks a button of a box (IDOK, IDYES, IDNO ...) and waits for the box to close.
    bool Answer(const MessageBoxInfo& box, int buttonId, DWORD timeoutMs = 5000) const;

    // Posts a key press and release to a window of the program.
    void PressKey(HWND hwnd, UINT virtualKey) const;
    // Posts a left click at client coordinates of a window.
    void Click(HWND hwnd, int x, int y) const;

    // Waits for the process to end; its exit code, or nothing after the time-out.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;

private:
    std::string folder_;
    std::string exe_;
    bool ownsFolder_ = true;
    PROCESS_INFORMATION pi_{};
};

// Polls a condition every 20 ms until it holds or the time-out passes.
template <class Predicate>
bool WaitFor(DWORD timeoutMs, Predicate done) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

// Real user input and the screen as the X server shows it. Posted messages never change stacking or
// activation, so faults of those show only with input that goes through the X server: xdotool sends
// XTest events, ImageMagick's import reads the root window. Both run as Unix programs; Wine starts
// them without a process handle, so each command leaves a file with its exit status when it ends.
// Runs a shell command line; false when it did not end within the time-out or failed.
bool RunUnixCommand(const std::string& shellCommand, DWORD timeoutMs = 10000);
// Moves the pointer to a screen point and clicks a button there (1 left, 3 right).
bool RealClick(int screenX, int screenY, int button = 1);
// Presses and releases keys by their X names ("Return", "Escape", "Down").
bool RealKeys(const std::string& keyNames);
// A pixel of the root window, as the X server stacks the windows; CLR_INVALID on failure.
COLORREF XScreenPixel(int x, int y);

// The text of the tooltip whose tool is the given window of another process (the skin's buttons
// have one each), read through memory lent in that process; nothing when there is none.
std::optional<std::string> ToolTipText(DWORD processId, HWND tool);

// Whether a window is a message box: a dialog holding only a text without prefix processing (id
// 0xFFFF), an icon and the buttons of the box's choices.
bool IsMessageBox(HWND hwnd);

// The text of a window of any process (WM_GETTEXT) and its class name.
std::string TextOf(HWND hwnd);
std::string ClassOf(HWND hwnd);

// Reads a REG_DWORD of a key below a root; nothing when missing.
std::optional<DWORD> ReadRegistryDword(HKEY root, const char* path, const char* name);
// Deletes a key and everything below it (nothing when it is absent).
void DeleteRegistryTree(HKEY root, const char* path);
bool WriteRegistryDword(HKEY root, const char* path, const char* name, DWORD value);
// Writes a REG_SZ, creating the key; reads one (empty when missing).
bool WriteRegistryText(HKEY root, const char* path, const char* name, const std::string& value);
std::string ReadRegistryText(HKEY root, const char* path, const char* name);

// The size of a file in bytes; 0 when it is missing.
uint64_t FileSize(const std::string& path);
bool FileExists(const std::string& path);

// The visible pop-up menu of a process, or null.
HWND VisibleMenuOf(DWORD processId);
// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Runs regsvr32 silently with these arguments ("/u " first to unregister); false when it did not
// run or end within half a minute. The simulated devices' server, quoted, for it:
bool Regsvr32(const std::string& arguments);
std::string SimulatorDll();

}  // namespace lumetra::e2e
