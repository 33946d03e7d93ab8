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

class Trace {
public:
    Trace() {
        char path[MAX_PATH] = {};
        DWORD n = GetEnvironmentVariableA(kTraceVariable, path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return;
        file_ = std::fopen(path, "w");
        if (!file_) return;
        // Steps count from the process's creation, which is as near to the launch as the process can see;
        // the performance counter then measures from here on.
        FILETIME created{}, exited{}, kernel{}, user{};
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
        originMs_ = CounterMs() - static_cast<double>(WallClockNow() - FileTimeValue(created)) / 10000.0;
    }
    ~Trace() { Close(); }
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    bool On() const { return file_ != nullptr; }
    void Write(const std::string& step) {
        if (!file_) return;
        std::fprintf(file_, "%10.1f ms  %s\n", CounterMs() - originMs_, step.c_str());
        // Each step reaches the file at once: a start that hangs still shows how far it came.
        std::fflush(file_);
    }
    void Close() {
        if (file_) std::fclose(file_);
        file_ = nullptr;
    }

private:
    std::FILE* file_ = nullptr;
    double originMs_ = 0;
};

Trace& TheTrace() {
    static Trace trace;
    return trace;
}

}  // namespace

void TraceStartupStep(const std::string& step) {
    TheTrace().Write(step);
}

bool StartupTraceOn() {
    return TheTrace().On();
}

void EndStartupTrace(const std::string& lastStep) {
    TheTrace().Write(lastStep);
    TheTrace().Close();
}

}  // namespace lumetra
