#include "tests/soak/resource_probe.h"

#include <psapi.h>
#include <winternl.h>

#include <vector>

namespace lumetra::soak {
namespace {

// x64 process environment block: the pointer to the GDI handle table.
constexpr size_t kPebGdiSharedHandleTable = 0xF8;
// One entry of the GDI handle table: object pointer, owner (process id and count), a reuse count,
// the object type (0 for a free entry) and a user pointer; 0x10000 entries.
constexpr size_t kGdiEntryBytes = 24;
constexpr size_t kGdiEntryTypeOffset = 14;
constexpr size_t kGdiEntries = 0x10000;

uintptr_t GdiTableOf(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return 0;
    uintptr_t table = 0;
    SIZE_T read = 0;
    const auto* at = reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + kPebGdiSharedHandleTable;
    if (!ReadProcessMemory(process, at, &table, sizeof table, &read) || read != sizeof table) return 0;
    return table;
}

struct WindowCount {
    DWORD pid;
    long windows = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
    ++reinterpret_cast<WindowCount*>(lp)->windows;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM lp) {
    auto* count = reinterpret_cast<WindowCount*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != count->pid) return TRUE;
    ++count->windows;
    // EnumChildWindows walks every descendant, not only the direct children.
    EnumChildWindows(hwnd, &CountChild, lp);
    return TRUE;
}

}  // namespace

ResourceProbe::ResourceProbe(HANDLE process, DWORD processId) : process_(process), processId_(processId) {
    SetLastError(0);
    DWORD gdi = GetGuiResources(process_, GR_GDIOBJECTS);
    guiResources_ = gdi != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED;
    if (!guiResources_) gdiTable_ = GdiTableOf(process_);
}

std::string ResourceProbe::Sources() const {
    if (guiResources_) return "GDI and USER objects from GetGuiResources";
    std::string gdi = gdiTable_ ? "GDI objects counted in the process's GDI handle table"
                                : "GDI objects not measurable";
    return "GetGuiResources is not implemented here: " + gdi +
           "; USER objects counted as the process's windows (top-level, children and message-only)";
}

long ResourceProbe::GdiObjects() const {
    if (guiResources_) return static_cast<long>(GetGuiResources(process_, GR_GDIOBJECTS));
    if (!gdiTable_) return -1;
    std::vector<BYTE> table(kGdiEntries * kGdiEntryBytes);
    SIZE_T read = 0;
    if (!ReadProcessMemory(process_, reinterpret_cast<const void*>(gdiTable_), table.data(), table.size(), &read) ||
        read != table.size())
        return -1;
    long used = 0;
    for (size_t i = 0; i < kGdiEntries; ++i) used += table[i * kGdiEntryBytes + kGdiEntryTypeOffset] != 0;
    return used;
}

long ResourceProbe::UserObjects() const {
    if (guiResources_) return static_cast<long>(GetGuiResources(process_, GR_USEROBJECTS));
    WindowCount count{processId_};
    EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&count));
    for (HWND hwnd = nullptr; (hwnd = FindWindowExA(HWND_MESSAGE, hwnd, nullptr, nullptr)) != nullptr;)
        CountTopLevel(hwnd, reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

ResourceSample ResourceProbe::Take() const {
    ResourceSample s;
    s.gdiObjects = GdiObjects();
    s.userObjects = UserObjects();
    DWORD handles = 0;
    if (GetProcessHandleCount(process_, &handles)) s.handles = static_cast<long>(handles);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process_, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        s.privateBytes = static_cast<int64_t>(memory.PrivateUsage);
    return s;
}

}  // namespace lumetra::soak
