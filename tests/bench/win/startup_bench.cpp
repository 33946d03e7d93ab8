// Measures start-up as the user sees it, from outside the program (run by hand under Wine, not a test):
//  - launching Lumetra.exe to its main window on the screen (its pixels differ from the desktop's);
//  - launching to the live picture's first frame on the screen: the simulated device's colour bars inside
//    the skin's screen rectangle, read from the screen's pixels.
// Each run starts the program beside this one (Lumetra.exe and the default skin), waits for both, ends it
// with Esc and waits until it has gone. This program runs under the same wine server, so the server is
// warm for every run, as it is for a user who has started a Windows program before.
// Usage: lumetra_startup_bench.exe [runs, default 10] [--trace]
//   --trace  the program also writes its start-up trace (LUMETRA_STARTUP_TRACE) in each run, and the
//            median time of each step since the launch is printed after the figures.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "lumetra_version.h"
#include "tests/e2e/screen_capture.h"

namespace {

using lumetra::e2e::CaptureScreen;
using lumetra::e2e::ScreenArea;
using lumetra::e2e::ShowsColourBars;

constexpr DWORD kRunTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;
constexpr DWORD kTraceWaitMs = 10000;

double Seconds() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// Wall-clock time in 100 ns units, as precise as the system offers (the process creation time has the same base).
long long FileTimeNow() {
    using Precise = void(WINAPI*)(FILETIME*);
    static auto precise = reinterpret_cast<Precise>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now{};
    if (precise) precise(&now);
    else GetSystemTimeAsFileTime(&now);
    return static_cast<long long>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
}

std::string BinFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\'));
}

std::string Profile(const std::string& file, const char* section, const char* key) {
    char value[2048] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof value, file.c_str());
    return value;
}

DWORD StoredSkinView() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        DWORD view = 0, size = sizeof view;
        if (RegGetValueA(root, "SOFTWARE\\Orvex", "SkinView", RRF_RT_REG_DWORD, nullptr, &view, &size) ==
            ERROR_SUCCESS)
            return view;
    }
    return 0;
}

// The screen rectangle of the view the program shows, in the main window's client coordinates.
bool SkinScreenRect(const std::string& folder, RECT& rect) {
    const std::string master = folder + "\\skins.ini";
    std::string entry = Profile(master, "VIEWS", std::to_string(StoredSkinView() + 1).c_str());
    if (entry.empty()) entry = Profile(master, "VIEWS", "1");
    const std::string view = folder + "\\" + Profile(master, "VIEWS", "FOLDER") + entry.substr(0, entry.find(','));
    int x = 0, y = 0, w = 0, h = 0;
    if (std::sscanf(Profile(view, "SCREENINFO", "Screen").c_str(), "%d , %d , %d , %d", &x, &y, &w, &h) != 4 ||
        w <= 0 || h <= 0)
        return false;
    rect = RECT{x, y, x + w, y + h};
    return true;
}

struct WindowSearch {
    DWORD pid;
    std::string title;
    HWND found = nullptr;
};

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid || !IsWindowVisible(hwnd)) return TRUE;
    // The window's own text, read without a message: the program is busy starting up.
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    if (search->title == text) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleMainWindow(DWORD pid) {
    WindowSearch search{pid, "Lumetra " LUMETRA_VERSION_TEXT};
    EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The window shows on the screen once most points of a grid over it (outside the video screen) differ
// from what the desktop showed there before the launch.
bool WindowOnScreen(HWND main, const RECT& videoOnScreen, const ScreenArea& desktop) {
    RECT r;
    if (!GetWindowRect(main, &r)) return false;
    ScreenArea now = CaptureScreen(r);
    int changed = 0, points = 0;
    for (int i = 1; i < 8; ++i)
        for (int j = 1; j < 8; ++j) {
            POINT p{r.left + (r.right - r.left) * i / 8, r.top + (r.bottom - r.top) * j / 8};
            if (PtInRect(&videoOnScreen, p) || p.x >= desktop.rect.right || p.y >= desktop.rect.bottom) continue;
            ++points;
            if (now.At(p.x, p.y) != desktop.At(p.x, p.y)) ++changed;
        }
    return points > 0 && changed * 3 >= points * 2;
}

bool ColourBarsOnScreen(const RECT& videoOnScreen) {
    // One row through the bars is enough to tell them.
    int row = videoOnScreen.top + (videoOnScreen.bottom - videoOnScreen.top) * 2 / 5;
    ScreenArea strip = CaptureScreen(RECT{videoOnScreen.left, row, videoOnScreen.right, row + 1});
    return !strip.pixels.empty() && ShowsColourBars(strip, videoOnScreen);
}

// The program's last start-up step is its first frame (or that none came).
bool TraceFinished(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        if (line.find("frame") != std::string::npos) return true;
    return false;
}

struct Run {
    double mainShown = -1;     // s from the launch: the window is visible (its style)
    double mainOnScreen = -1;  // s from the launch: its pixels are on the screen
    double firstFrame = -1;    // s from the launch: the colour bars are on the screen
    double createdAfter = 0;   // s from the launch to the process's creation time (the trace's zero)
};

Run MeasureOnce(const std::string& folder, const RECT& screenRect, const std::string& tracePath) {
    Run run;
    ScreenArea desktop = CaptureScreen(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    std::string exe = folder + "\\Lumetra.exe";
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const long long launchedAt = FileTimeNow();
    const double start = Seconds();
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                        &pi)) {
        std::printf("cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
        return run;
    }
    HWND main = nullptr;
    RECT video{};
    while (Seconds() - start < kRunTimeoutMs / 1000.0 && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        const double now = Seconds() - start;
        if (!main && (main = VisibleMainWindow(pi.dwProcessId)) != nullptr) {
            run.mainShown = now;
            video = screenRect;
            MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&video), 2);
        }
        if (main && run.mainOnScreen < 0 && WindowOnScreen(main, video, desktop)) run.mainOnScreen = now;
        if (main && run.firstFrame < 0 && ColourBarsOnScreen(video)) run.firstFrame = now;
        if (run.mainOnScreen >= 0 && run.firstFrame >= 0) break;
        Sleep(2);
    }
    // With the trace, the program stays until it has written its last start-up step.
    if (!tracePath.empty())
        for (DWORD waited = 0; waited < kTraceWaitMs && !TraceFinished(tracePath); waited += 20) Sleep(20);
    FILETIME created{}, exited{}, kernel{}, user{};
    if (GetProcessTimes(pi.hProcess, &created, &exited, &kernel, &user))
        run.createdAfter =
            static_cast<double>((static_cast<long long>(created.dwHighDateTime) << 32 | created.dwLowDateTime) -
                                launchedAt) / 1e7;
    // Esc ends the program the way a user does, so each run leaves the settings as it found them.
    if (main) PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
    if (WaitForSingleObject(pi.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0) {
        std::printf("the program did not end after Esc: ended by force\n");
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, kExitTimeoutMs);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return run;
}

struct Summary {
    double min, median, max;
};

Summary Summarise(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {values.front(), median, values.back()};
}

// One trace line: milliseconds since the process's creation, then the step.
struct TraceLine {
    double ms;
    std::string step;
};

std::vector<TraceLine> ReadTrace(const std::string& path) {
    std::vector<TraceLine> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        TraceLine t{};
        std::string unit;
        if (!(fields >> t.ms >> unit) || unit != "ms") continue;
        std::getline(fields >> std::ws, t.step);
        lines.push_back(t);
    }
    return lines;
}

// The median time of every step over the runs, in milliseconds since the launch, in the order of time.
void PrintTraceBreakdown(const std::vector<std::vector<TraceLine>>& traces, const std::vector<Run>& runs) {
    if (traces.empty() || traces[0].empty()) {
        std::printf("no start-up trace was written\n");
        return;
    }
    std::map<std::string, std::vector<double>> times;
    for (size_t r = 0; r < traces.size(); ++r)
        for (const TraceLine& t : traces[r]) times[t.step].push_back(runs[r].createdAfter * 1000 + t.ms);
    std::vector<std::pair<double, std::string>> steps;
    for (const auto& [step, values] : times) steps.emplace_back(Summarise(values).median, step);
    std::sort(steps.begin(), steps.end());
    std::vector<double> created;
    for (const Run& r : runs) created.push_back(r.createdAfter * 1000);
    std::printf("\nstart-up steps, ms since the launch (median over %zu runs; the process was created after "
                "%.0f ms):\n",
                traces.size(), Summarise(created).median);
    double previous = 0;
    for (const auto& [median, step] : steps) {
        std::printf("%8.1f  %+7.1f  %s\n", median, median - previous, step.c_str());
        previous = median;
    }
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 10;
    bool trace = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--trace") == 0) trace = true;
        else runs = std::max(1, std::atoi(argv[i]));
    }
    const std::string folder = BinFolder();
    RECT screenRect{};
    if (!SkinScreenRect(folder, screenRect)) {
        std::printf("no skin with a screen rectangle in %s\n", folder.c_str());
        return 1;
    }
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string tracePath = std::string(temp) + "lumetra-startup-trace.txt";
    if (trace) SetEnvironmentVariableA("LUMETRA_STARTUP_TRACE", tracePath.c_str());

    std::vector<Run> results;
    std::vector<std::vector<TraceLine>> traces;
    for (int i = 0; i < runs; ++i) {
        DeleteFileA(tracePath.c_str());
        Run run = MeasureOnce(folder, screenRect, trace ? tracePath : std::string());
        std::printf("run %2d: main window visible %.3f s, on the screen %.3f s, first frame on the screen %.3f s\n",
                    i + 1, run.mainShown, run.mainOnScreen, run.firstFrame);
        if (run.mainOnScreen < 0 || run.firstFrame < 0) {
            std::printf("run %d did not show the window and the picture within %lu s\n", i + 1, kRunTimeoutMs / 1000);
            return 1;
        }
        results.push_back(run);
        if (trace) traces.push_back(ReadTrace(tracePath));
        Sleep(300);  // the device and the windows are gone before the next launch
    }
    auto report = [&](const char* what, double Run::*field) {
        std::vector<double> v;
        for (const Run& r : results) v.push_back(r.*field);
        Summary s = Summarise(v);
        std::printf("%-40s min %.3f s, median %.3f s, max %.3f s (%zu runs)\n", what, s.min, s.median, s.max, v.size());
    };
    std::printf("\n");
    report("launch to main window visible:", &Run::mainShown);
    report("launch to main window on the screen:", &Run::mainOnScreen);
    report("launch to first frame on the screen:", &Run::firstFrame);
    if (trace) PrintTraceBreakdown(traces, results);
    return 0;
}
