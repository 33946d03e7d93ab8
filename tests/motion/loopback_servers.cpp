#include "tests/motion/loopback_servers.h"

#include <winsock2.h>
#include <windows.h>

#include <atomic>

namespace lumetra::testing {
namespace {

constexpr DWORD kStartMs = 15000;
std::atomic<int> g_serial{0};

std::string UnixToWindows(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
    CloseHandle(file);
    return true;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TempFolder(const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(g_serial++);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

int UnusedPort() {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        int size = sizeof address;
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
        port = ntohs(address.sin_port);
    }
    closesocket(s);
    WSACleanup();
    return port;
}

LoopbackServer::LoopbackServer() {
    // Wine gives the same small process ids run after run, and a folder left by an earlier run would
    // hand over its old port and stop file: the clock makes each run's folders its own.
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    unixFolder_ = "/tmp/lumetra-servers-" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(now.QuadPart) + "-" + std::to_string(g_serial++);
    windowsFolder_ = UnixToWindows(unixFolder_) + "\\data";
    CreateDirectoryA(UnixToWindows(unixFolder_).c_str(), nullptr);
    CreateDirectoryA(windowsFolder_.c_str(), nullptr);
}

LoopbackServer::~LoopbackServer() { Stop(); }

void LoopbackServer::Stop() {
    if (!port_) return;
    WriteFileBytes(UnixToWindows(unixFolder_ + "/port.stop"), "");
    port_ = 0;
}

bool LoopbackServer::Start(const std::string& arguments) {
    // Unix programs start from Wine like Windows ones (there is no handle to wait on: the server
    // reports its port through a file and stops when the stop file appears).
    std::string command = std::string("/usr/bin/python3 ") + LUMETRA_SOURCE_DIR + "/tests/servers/loopback_servers.py " +
                          arguments + " --port-file " + unixFolder_ + "/port --lifetime 300";
    STARTUPINFOA si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    const std::string portFile = UnixToWindows(unixFolder_ + "/port");
    for (DWORD waited = 0; waited < kStartMs; waited += 50) {
        std::string text;
        if (ReadFileBytes(portFile, text) && !text.empty()) {
            port_ = atoi(text.c_str());
            return port_ > 0;
        }
        Sleep(50);
    }
    return false;
}

bool LoopbackServer::StartFtp(const std::string& user, const std::string& password, const std::string& extra) {
    return Start("ftp --root " + unixFolder_ + "/data --user " + user + " --password " + password + " " + extra);
}

bool LoopbackServer::StartSmtp(const std::string& extra) {
    return Start("smtp --maildir " + unixFolder_ + "/data " + extra);
}

}  // namespace lumetra::testing
