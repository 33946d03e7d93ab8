#include "tests/soak/resource_probe.h"

#include <psapi.h>
#include <winternl.h>

#include <map>
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

// One entry of the system's handle list (SystemHandleInformation, class 16).
struct SystemHandleEntry {
    ULONG ownerProcessId;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};
constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

// The handles a process holds, from the system's list of every process's handles: how many of each
// object type; empty when the list cannot be read.
std::vector<long> HandlesByType(DWORD processId) {
    std::vector<BYTE> buffer(1 << 20);
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(kSystemHandleInformation),
                                              buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
               kInfoLengthMismatch &&
           buffer.size() < (64u << 20))
        buffer.resize(buffer.size() * 2);
    if (status != 0) return {};
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    if (sizeof(ULONG_PTR) + static_cast<size_t>(count) * sizeof(SystemHandleEntry) > buffer.size()) return {};
    std::vector<long> byType(256, 0);
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].ownerProcessId == processId) ++byType[entries[i].objectType];
    return byType;
}

// The object type the system handle list gives registry keys: the type whose count in this process
// grows by one when a key is opened.
int RegistryKeyType() {
    const std::vector<long> before = HandlesByType(GetCurrentProcessId());
    HKEY key = nullptr;
    if (before.empty() || RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    const std::vector<long> after = HandlesByType(GetCurrentProcessId());
    RegCloseKey(key);
    for (size_t type = 0; type < before.size() && type < after.size(); ++type)
        if (after[type] == before[type] + 1) return static_cast<int>(type);
    return -1;
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
    DWORD handles = 0;
    handleCount_ = GetProcessHandleCount(process_, &handles) && handles != 0;
    if (!handleCount_) registryKeyType_ = RegistryKeyType();
}

std::string ResourceProbe::Sources() const {
    std::string text = guiResources_ ? "GDI and USER objects from GetGuiResources"
                                     : std::string("GetGuiResources is not implemented here: ") +
                                           (gdiTable_ ? "GDI objects counted in the process's GDI handle table"
                                                      : "GDI objects not measurable") +
                                           ", USER objects counted as the process's windows (top-level, children "
                                           "and message-only)";
    text += handleCount_ ? "; handles from GetProcessHandleCount"
                         : "; handles counted in the system's handle list (GetProcessHandleCount answers 0), "
                           "registry keys among them told apart";
    return text + "; private bytes from GetProcessMemoryInfo (PrivateUsage, else PagefileUsage)";
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

std::string ResourceProbe::GdiObjectsByType() const {
    if (guiResources_ || !gdiTable_) return "not told apart here";
    std::vector<BYTE> table(kGdiEntries * kGdiEntryBytes);
    SIZE_T read = 0;
    if (!ReadProcessMemory(process_, reinterpret_cast<const void*>(gdiTable_), table.data(), table.size(), &read) ||
        read != table.size())
        return "unreadable";
    std::map<int, long> byType;
    for (size_t i = 0; i < kGdiEntries; ++i)
        if (BYTE type = table[i * kGdiEntryBytes + kGdiEntryTypeOffset]) ++byType[type];
    std::string text;
    for (const auto& [type, count] : byType)
        text += (text.empty() ? "" : ", ") + std::string("type ") + std::to_string(type) + ": " + std::to_string(count);
    return text;
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
    if (!handleCount_) {
        const std::vector<long> byType = HandlesByType(processId_);
        if (!byType.empty()) {
            s.handles = 0;
            for (long n : byType) s.handles += n;
            if (registryKeyType_ >= 0) s.registryKeys = byType[static_cast<size_t>(registryKeyType_)];
        }
    } else if (GetProcessHandleCount(process_, &handles)) s.handles = static_cast<long>(handles);
    // Wine fills PagefileUsage (the process's anonymous memory) but not PrivateUsage.
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process_, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        s.privateBytes = static_cast<int64_t>(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage);
    return s;
}

}  // namespace lumetra::soak
