#pragma once
// Helpers of the Windows-side stand-in tests.
#include "wine-standins/dshow/com.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace lumetra::standins::test {

struct ComInit {
    ComInit() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComInit() { CoUninitialize(); }
};

// Folder for files that outlive the test (checked by ffprobe afterwards): $STANDINS_OUT, a Unix path.
inline std::string OutDirUnix() {
    const char* dir = std::getenv("STANDINS_OUT");
    return dir && *dir ? dir : "/tmp";
}

inline std::wstring UnixToWindows(const std::string& unix) {
    std::wstring w = L"Z:";
    for (char c : unix) w += c == '/' ? L'\\' : wchar_t(c);
    return w;
}

inline std::wstring OutPath(const std::string& name) { return UnixToWindows(OutDirUnix() + "/" + name); }

inline std::vector<uint8_t> ReadAll(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size;
    GetFileSizeEx(h, &size);
    bytes.resize(size_t(size.QuadPart));
    DWORD got = 0;
    for (size_t at = 0; at < bytes.size(); at += got) {
        if (!ReadFile(h, bytes.data() + at, DWORD(std::min<size_t>(bytes.size() - at, 1u << 30)), &got, nullptr) || !got) break;
    }
    CloseHandle(h);
    return bytes;
}

inline uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// What ffprobe must find in a recording: `key=value` lines beside the file (name.expect).
inline void WriteExpectation(const std::string& name, const std::string& lines) {
    std::string path = "Z:";
    for (char c : OutDirUnix() + "/" + name + ".expect") path += c == '/' ? '\\' : c;
    std::ofstream out(path);
    out << lines;
}

// Waits for one of the graph's events; returns the event code or 0 on time-out.
inline long WaitForEvent(IMediaEvent* events, long wanted, DWORD timeoutMs) {
    DWORD until = GetTickCount() + timeoutMs;
    while (int(until - GetTickCount()) > 0) {
        long code = 0;
        LONG_PTR p1 = 0, p2 = 0;
        if (events->GetEvent(&code, &p1, &p2, 50) == S_OK) {
            events->FreeEventParams(code, p1, p2);
            if (code == wanted || code == EC_ERRORABORT || code == EC_STREAM_ERROR_STOPPED) return code;
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return 0;
}

inline void PumpFor(DWORD ms) {
    DWORD until = GetTickCount() + ms;
    while (int(until - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
}

}  // namespace lumetra::standins::test
