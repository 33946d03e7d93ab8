#include "tests/e2e/driver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "lumetra_version.h"
#include "tests/e2e/test_skin.h"

namespace lumetra::e2e {
namespace {

constexpr int kMessageBoxTextId = 0xFFFF;

std::string ModuleFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\'));
}

std::string WindowText(HWND hwnd) {
    char buffer[1024] = {};
    // WM_GETTEXT reads another process's controls; GetWindowText would not.
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    return buffer;
}

std::string ClassName(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

struct Search {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindows(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && IsWindowVisible(hwnd)) search->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> VisibleWindowsOf(DWORD pid) {
    Search search{pid, {}};
    EnumWindows(&CollectProcessWindows, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What a message box holds: one text without prefix processing (id 0xFFFF), an icon, and the
// buttons of its choices. A dialog of the program may have id -1 statics too, but never only these.
struct MessageBoxParts {
    int texts = 0;
    int buttons = 0;
    int others = 0;
};

bool IsMessageBoxButton(int id) {
    switch (id) {
    case IDOK: case IDCANCEL: case IDABORT: case IDRETRY: case IDIGNORE: case IDYES: case IDNO:
    case IDCLOSE: case IDHELP: case IDTRYAGAIN: case IDCONTINUE:
        return true;
    default:
        return false;
    }
}

BOOL CALLBACK CountMessageBoxParts(HWND child, LPARAM lp) {
    auto* parts = reinterpret_cast<MessageBoxParts*>(lp);
    const std::string name = ClassName(child);
    const bool isStatic = lstrcmpiA(name.c_str(), "Static") == 0, isButton = lstrcmpiA(name.c_str(), "Button") == 0;
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    const int id = GetDlgCtrlID(child);
    if (isStatic && id == kMessageBoxTextId && (style & SS_NOPREFIX)) ++parts->texts;
    else if (isStatic && (style & SS_TYPEMASK) == SS_ICON) {}  // the box's icon
    else if (isButton && IsMessageBoxButton(id)) ++parts->buttons;
    else ++parts->others;
    return TRUE;
}

void CopyTree(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) CopyTree(from + "\\" + name, to + "\\" + name);
        else CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
            else { SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL); DeleteFileA(child.c_str()); }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

}  // namespace

bool IsMessageBox(HWND hwnd) {
    if (ClassName(hwnd) != "#32770") return false;
    MessageBoxParts parts;
    EnumChildWindows(hwnd, &CountMessageBoxParts, reinterpret_cast<LPARAM>(&parts));
    return parts.texts == 1 && parts.buttons > 0 && parts.others == 0;
}

std::string BinFolder() { return ModuleFolder(); }

std::string MainWindowTitle() { return "Lumetra " LUMETRA_VERSION_TEXT; }

Program::Program(const std::string& testName) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "lumetra-e2e-" + testName;
    RemoveTree(folder_);
    CreateDirectoryA(folder_.c_str(), nullptr);
    exe_ = folder_ + "\\Lumetra.exe";
    CopyFileA((BinFolder() + "\\Lumetra.exe").c_str(), exe_.c_str(), FALSE);
}

void ExpectNoBoxes(const Program& program) {
    for (const auto& box : program.OpenMessageBoxes())
        ADD_FAILURE() << "unexpected box: [" << box.caption << "] " << box.text;
}

void EndWithEscape(Program& program, HWND main, DWORD timeoutMs) {
    ExpectNoBoxes(program);
    program.PressKey(main, VK_ESCAPE);
    const auto code = program.WaitForExit(timeoutMs);
    ASSERT_TRUE(code.has_value()) << "program did not end on Esc";
    EXPECT_EQ(*code, 0u) << "exit code after Esc";
}

HWND StartWithDefaultSkin(Program& program, DWORD startMs, bool waitForLive) {
    program.CopyFromBin("skins.ini");
    program.CopyFromBin("Default");
    EXPECT_TRUE(program.Start());
    HWND main = program.WaitForMainWindow(startMs);
    ExpectNoBoxes(program);
    if (main && waitForLive) {
        // The live picture is up once the stream format is known and frames arrive.
        EXPECT_TRUE(WaitFor(15000, [&] { return FindChildByText(main, "MONITOR") != nullptr; }));
    }
    return main;
}

void ClickElement(const Program& program, HWND main, const char* name) {
    HWND element = FindChildByText(main, name);
    ASSERT_NE(element, nullptr) << name;
    program.Click(element, 5, 5);
}

Program::Program(const std::string& exePath, const std::string& workingFolder)
    : folder_(workingFolder), exe_(exePath), ownsFolder_(false) {}

Program::~Program() {
    if (pi_.hProcess) {
        if (Running()) {
            for (const auto& box : OpenMessageBoxes())
                ADD_FAILURE() << "message box left open: [" << box.caption << "] " << box.text;
            TerminateProcess(pi_.hProcess, 99);
            WaitForSingleObject(pi_.hProcess, 5000);
        }
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    if (ownsFolder_) RemoveTree(folder_);
}

void Program::WriteFile(const std::string& relativePath, const std::string& content) const {
    std::string path = folder_ + "\\" + relativePath;
    size_t slash = relativePath.find_last_of('\\');
    if (slash != std::string::npos) CreateDirectoryA((folder_ + "\\" + relativePath.substr(0, slash)).c_str(), nullptr);
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
}

void Program::CopyFromBin(const std::string& relativePath) const {
    std::string from = BinFolder() + "\\" + relativePath;
    DWORD attributes = GetFileAttributesA(from.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << from;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) CopyTree(from, folder_ + "\\" + relativePath);
    else CopyFileA(from.c_str(), (folder_ + "\\" + relativePath).c_str(), FALSE);
}

bool Program::Start() {
    if (pi_.hProcess) return false;  // one process per Program
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string commandLine = "\"" + exe_ + "\"";
    return CreateProcessA(exe_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &si,
                          &pi_) != FALSE;
}

bool Program::Running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND Program::WaitForWindow(DWORD timeoutMs, const std::function<bool(HWND)>& matches) const {
    HWND window = nullptr;
    WaitFor(timeoutMs, [&] {
        for (HWND hwnd : VisibleWindowsOf(pi_.dwProcessId))
            if (matches(hwnd)) {
                window = hwnd;
                return true;
            }
        return !Running();
    });
    return window;
}

HWND Program::WaitForWindowTitled(const std::string& title, DWORD timeoutMs) const {
    return WaitForWindow(timeoutMs, [&](HWND hwnd) { return !IsMessageBox(hwnd) && WindowText(hwnd) == title; });
}

std::string TextOf(HWND hwnd) { return WindowText(hwnd); }
std::string ClassOf(HWND hwnd) { return ClassName(hwnd); }

HWND Program::WaitForMainWindow(DWORD timeoutMs) const {
    HWND main = nullptr;
    WaitFor(timeoutMs, [&] {
        for (HWND hwnd : VisibleWindowsOf(pi_.dwProcessId)) {
            if (!IsMessageBox(hwnd) && WindowText(hwnd) == MainWindowTitle()) { main = hwnd; return true; }
        }
        return !Running();
    });
    return main;
}

std::vector<MessageBoxInfo> Program::OpenMessageBoxes() const {
    std::vector<MessageBoxInfo> boxes;
    for (HWND hwnd : VisibleWindowsOf(pi_.dwProcessId)) {
        if (!IsMessageBox(hwnd)) continue;
        boxes.push_back({hwnd, WindowText(hwnd), WindowText(GetDlgItem(hwnd, kMessageBoxTextId))});
    }
    return boxes;
}

std::optional<MessageBoxInfo> Program::WaitForMessageBox(DWORD timeoutMs) const {
    std::optional<MessageBoxInfo> result;
    WaitFor(timeoutMs, [&] {
        // A box that is still being built (or a program too busy to answer within the read's time-out)
        // reads as empty: every message box of the program has a caption and a text, so wait for them.
        for (const auto& box : OpenMessageBoxes()) {
            if (box.caption.empty() || box.text.empty()) continue;
            result = box;
            return true;
        }
        return !Running();
    });
    return result;
}

bool Program::Answer(const MessageBoxInfo& box, int buttonId, DWORD timeoutMs) const {
    HWND button = GetDlgItem(box.hwnd, buttonId);
    if (!button) return false;
    PostMessageA(button, BM_CLICK, 0, 0);
    return WaitFor(timeoutMs, [&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); });
}

void Program::PressKey(HWND hwnd, UINT virtualKey) const {
    UINT scan = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(hwnd, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(hwnd, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

void Program::Click(HWND hwnd, int x, int y) const {
    LPARAM at = MAKELPARAM(x, y);
    PostMessageA(hwnd, WM_MOUSEMOVE, 0, at);
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
}

std::optional<DWORD> Program::WaitForExit(DWORD timeoutMs) const {
    if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

namespace {

// A file below the Unix /tmp, by its Wine name and its Unix name.
struct UnixTempFile {
    std::string wine;
    std::string unix;
};

UnixTempFile NewUnixTempFile(const char* suffix) {
    static int counter = 0;
    std::string name = "lumetra-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + suffix;
    return {"Z:\\tmp\\" + name, "/tmp/" + name};
}

}  // namespace

bool RunUnixCommand(const std::string& shellCommand, DWORD timeoutMs) {
    UnixTempFile done = NewUnixTempFile(".done");
    DeleteFileA(done.wine.c_str());
    // The status is written to a side file first and then renamed, so it is never read half-written.
    std::string script = shellCommand + "; echo $? > " + done.unix + ".part && mv " + done.unix + ".part " + done.unix;
    std::string commandLine = "/bin/sh -c \"" + script + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    bool ended = WaitFor(timeoutMs, [&] { return GetFileAttributesA(done.wine.c_str()) != INVALID_FILE_ATTRIBUTES; });
    std::string status = ReadWholeFile(done.wine);
    DeleteFileA(done.wine.c_str());
    return ended && status.rfind("0", 0) == 0;
}

bool RealClick(int screenX, int screenY, int button) {
    return RunUnixCommand("xdotool mousemove " + std::to_string(screenX) + " " + std::to_string(screenY) +
                          " sleep 0.1 click " + std::to_string(button));
}

bool RealKeys(const std::string& keyNames) {
    return RunUnixCommand("xdotool key --delay 50 " + keyNames);
}

COLORREF XScreenPixel(int x, int y) {
    UnixTempFile out = NewUnixTempFile(".txt");
    // One pixel of the root window as text: "0,0: (r,g,b)  #RRGGBB  name" after a comment line.
    bool ok = RunUnixCommand("import -window root -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
                             " -depth 8 txt:" + out.unix);
    std::string text = ReadWholeFile(out.wine);
    DeleteFileA(out.wine.c_str());
    // The first line is a comment ("# ImageMagick pixel enumeration ..."); the pixel follows.
    size_t line = text.find('\n');
    size_t hash = line == std::string::npos ? line : text.find('#', line);
    if (!ok || hash == std::string::npos || hash + 7 > text.size()) return CLR_INVALID;
    unsigned long rgb = std::strtoul(text.substr(hash + 1, 6).c_str(), nullptr, 16);
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

namespace {

struct ToolTipSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectToolTips(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<ToolTipSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && ClassName(hwnd) == "tooltips_class32") search->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

std::optional<std::string> ToolTipText(DWORD processId, HWND tool) {
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return std::nullopt;
    // The tooltip messages carry pointers, which the program reads in its own memory.
    constexpr size_t kTextAt = 512, kBytes = 4096;
    auto* remote = static_cast<BYTE*>(VirtualAllocEx(process, nullptr, kBytes, MEM_COMMIT, PAGE_READWRITE));
    std::optional<std::string> text;
    ToolTipSearch search{processId, {}};
    EnumWindows(&CollectToolTips, reinterpret_cast<LPARAM>(&search));
    for (HWND tip : search.found) {
        const LRESULT count = SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0);
        for (LRESULT i = 0; remote && i < count && !text; ++i) {
            TOOLINFOA info{};
            info.cbSize = sizeof info;
            SIZE_T moved = 0;
            WriteProcessMemory(process, remote, &info, sizeof info, &moved);
            if (!SendMessageA(tip, TTM_ENUMTOOLSA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote))) continue;
            ReadProcessMemory(process, remote, &info, sizeof info, &moved);
            if (info.hwnd != tool && reinterpret_cast<HWND>(info.uId) != tool) continue;
            info.lpszText = reinterpret_cast<char*>(remote + kTextAt);
            WriteProcessMemory(process, remote, &info, sizeof info, &moved);
            SendMessageA(tip, TTM_GETTEXTA, kBytes - kTextAt, reinterpret_cast<LPARAM>(remote));
            char buffer[kBytes - kTextAt] = {};
            ReadProcessMemory(process, remote + kTextAt, buffer, sizeof buffer - 1, &moved);
            text = std::string(buffer);
        }
        if (text) break;
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return text;
}

std::optional<DWORD> ReadRegistryDword(HKEY root, const char* path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    DWORD value = 0, size = sizeof value, type = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
    return value;
}

void DeleteRegistryTree(HKEY root, const char* path) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char child[256];
    for (;;) {
        DWORD size = sizeof child;
        if (RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        DeleteRegistryTree(key, child);
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, path);
}

bool WriteRegistryDword(HKEY root, const char* path, const char* name, DWORD value) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

bool WriteRegistryText(HKEY root, const char* path, const char* name, const std::string& value) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

std::string ReadRegistryText(HKEY root, const char* path, const char* name) {
    char value[512] = {};
    DWORD size = sizeof value - 1, type = 0;
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    LONG r = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_SZ ? std::string(value) : std::string();
}

uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

HWND VisibleMenuOf(DWORD processId) {
    for (HWND menu = nullptr; (menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(menu, &owner);
        if (owner == processId && IsWindowVisible(menu)) return menu;
    }
    return nullptr;
}

std::string ReadWholeFile(const std::string& path) {
    std::string content;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return content;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) content.append(buffer, n);
    std::fclose(f);
    return content;
}

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

}  // namespace lumetra::e2e
