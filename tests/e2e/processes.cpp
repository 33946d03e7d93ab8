#include "tests/e2e/processes.h"

#include <tlhelp32.h>
#include <winternl.h>

namespace lumetra::e2e {

std::set<DWORD> ExplorerProcesses() {
    std::set<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{sizeof entry};
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, "explorer.exe") == 0) ids.insert(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

std::string CommandLineOf(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return {};
    std::string result;
    PROCESS_BASIC_INFORMATION basic{};
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    SIZE_T read = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) == 0 &&
        ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, &read) &&
        ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, &read)) {
        std::wstring wide(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
        if (ReadProcessMemory(process, parameters.CommandLine.Buffer, &wide[0], parameters.CommandLine.Length, &read)) {
            char text[2048] = {};
            WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
            result = text;
        }
    }
    CloseHandle(process);
    return result;
}

}  // namespace lumetra::e2e
