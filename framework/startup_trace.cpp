#include "framework/startup_trace.h"

#include <windows.h>

#include <cstdio>

namespace lumetra {
namespace {

constexpr char kTraceVariable[] = "LUMETRA_STARTUP_TRACE";

long long FileTimeValue(const FILETIME& t) {
    return static_cast<long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime;
}

// The wall clock with the finest resolution the system has (the precise call exists from Windows 8 on).
long long WallClockNow() {
    using Precise = void(WINAPI*)(FILETIME*);
    static const auto precise = reinterpret_cast<Precise>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now{};
    if (precise) precise(&now);
    else GetSystemTimeAsFileTime(&now);
    return FileTimeValue(now);
}

double CounterMs() {
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Milliseconds of the performance counter at the process's creation, which is as near to the launch as
// the process can see; the counter measures from there on.
double CreationOnCounterMs() {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return CounterMs() - static_cast<double>(WallClockNow() - FileTimeValue(created)) / 10000.0;
}

const double kCreationOnCounterMs = CreationOnCounterMs();

class Trace {
public:
    Trace() {
        char path[MAX_PATH] = {};
        DWORD n = GetEnvironmentVariableA(kTraceVariable, path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return;
        file_ = std::fopen(path, "w");
    }
    ~Trace() { Close(); }
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    bool On() const { return file_ != nullptr; }
    void Write(double clockMs, const std::string& step) {
        if (!file_) return;
        std::fprintf(file_, "%10.1f ms  %s\n", clockMs, step.c_str());
        // Each step reaches the file at once: a start that hangs still shows how far it came.
        std::fflush(file_);
    }
    void Close() {
        if (file_) std::fclose(file_);
        file_ = nullptr;
    }

private:
    std::FILE* file_ = nullptr;
};

Trace& TheTrace() {
    static Trace trace;
    return trace;
}

}  // namespace

double StartupTraceClockMs() {
    return CounterMs() - kCreationOnCounterMs;
}

void TraceStartupStep(const std::string& step) {
    if (StartupTraceOn()) TheTrace().Write(StartupTraceClockMs(), step);
}

void TraceStartupStepAt(double clockMs, const std::string& step) {
    TheTrace().Write(clockMs, step);
}

bool StartupTraceOn() {
    return TheTrace().On();
}

void EndStartupTrace() {
    TheTrace().Close();
}

}  // namespace lumetra
