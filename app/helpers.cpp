#include "app/helpers.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

#include "app/format.h"
#include "res/resource.h"

namespace lumetra {

void ShowError(const std::string& text, long code) {
    MessageBoxA(nullptr, FormatErrorMessage(text, code).c_str(), "Error", MB_OK | MB_ICONERROR);
}

void ShowInfo(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), "Info", MB_OK | MB_ICONINFORMATION);
}

void OpenWithShell(const std::string& path) {
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, 0));
    if (result > 32) return;
    std::string message = "Cannot open " + path;
    MessageBoxA(nullptr, message.c_str(), "Error", MB_OK | MB_ICONERROR);
}

std::string SystemErrorText(DWORD error) {
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = n && text ? std::string(text, n) : "Error " + std::to_string(error);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}

std::string LoadResourceString(UINT id) {
    char buffer[512];
    int n = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string ProductTitle() { return LoadResourceString(IDS_PRODUCT_TITLE); }
std::string AlternateTitle() { return LoadResourceString(IDS_ALTERNATE_TITLE); }

std::string ModulePath() {
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n < MAX_PATH ? n : MAX_PATH);
}

void EnterProgramFolder() {
    std::string path = ModulePath();
    size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos) return;
    SetCurrentDirectoryA(path.substr(0, slash).c_str());
}

void ToWideInto(const std::string& text, wchar_t* buffer, size_t capacity) {
    if (!buffer || capacity == 0) return;
    std::wmemset(buffer, 0, capacity);
    if (text.empty()) return;
    // Convert in full first, then keep what fits with its terminator.
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return;
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    size_t keep = static_cast<size_t>(n) < capacity - 1 ? static_cast<size_t>(n) : capacity - 1;
    std::wmemcpy(buffer, wide.data(), keep);
}

const wchar_t* ToWide(const std::string& text) {
    static wchar_t shared[256];
    ToWideInto(text, shared, 256);
    return shared;
}

}  // namespace lumetra
