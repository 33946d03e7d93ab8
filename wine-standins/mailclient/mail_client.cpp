// lumetra_test_mail.dll: a mail client for the test prefix. Registered the way Windows mail clients
// register (HKLM\Software\Clients\Mail names the default client, whose key gives "DLLPath"), it
// receives Simple MAPI's MAPISendMail and delivers the message over SMTP to the server named in its
// key ("SmtpServer", "SmtpPort"; the loopback address and port 25 unless a test says otherwise).
// A non-zero "Answer" value makes it return that result without sending, so that every answer a
// mail client can give reaches the program.
#include "wine-standins/core/mime_message.h"
#include "wine-standins/dshow/registry.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <mapi.h>
#include <olectl.h>

#include <string>
#include <vector>

using namespace lumetra::standins;

namespace {

HMODULE g_module;

const wchar_t kMailClients[] = L"Software\\Clients\\Mail";
const wchar_t kClientName[] = L"Lumetra Test Mail";
const wchar_t kClientKey[] = L"Software\\Clients\\Mail\\Lumetra Test Mail";
const char kClientKeyA[] = "Software\\Clients\\Mail\\Lumetra Test Mail";
const char kSender[] = "lumetra-test-client@localhost";
constexpr DWORD kSocketTimeoutMs = 10000;

struct ClientConfig {
    std::string server = "127.0.0.1";
    int port = 25;
    DWORD answer = 0;
};

ClientConfig ReadConfig() {
    ClientConfig config;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kClientKeyA, 0, KEY_READ, &key) != ERROR_SUCCESS) return config;
    char text[256] = {};
    DWORD size = sizeof text - 1, type = 0;
    if (RegQueryValueExA(key, "SmtpServer", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS &&
        type == REG_SZ && text[0])
        config.server = text;
    DWORD value = 0;
    size = sizeof value;
    if (RegQueryValueExA(key, "SmtpPort", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
        type == REG_DWORD)
        config.port = static_cast<int>(value);
    size = sizeof value;
    if (RegQueryValueExA(key, "Answer", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
        type == REG_DWORD)
        config.answer = value;
    RegCloseKey(key);
    return config;
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < (1LL << 30);
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() || (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                               read == bytes.size());
    }
    CloseHandle(file);
    return ok;
}

std::string BaseName(const std::string& path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The mail address of a recipient: its address without the "SMTP:" type, else its name.
std::string AddressOf(const MapiRecipDesc& r) {
    std::string address = r.lpszAddress ? r.lpszAddress : "";
    if (address.size() >= 5 && _strnicmp(address.c_str(), "SMTP:", 5) == 0) address.erase(0, 5);
    if (address.empty() && r.lpszName) address = r.lpszName;
    return address;
}

// One SMTP conversation on a blocking socket.
class SmtpSession {
public:
    ~SmtpSession() {
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
    }
    bool Connect(const ClientConfig& config) {
        addrinfo hints{}, *found = nullptr;
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        std::string port = std::to_string(config.port);
        if (getaddrinfo(config.server.c_str(), port.c_str(), &hints, &found) != 0) return false;
        socket_ = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
        bool ok = socket_ != INVALID_SOCKET;
        if (ok) {
            DWORD timeout = kSocketTimeoutMs;
            setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
            setsockopt(socket_, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
            ok = connect(socket_, found->ai_addr, static_cast<int>(found->ai_addrlen)) == 0;
        }
        freeaddrinfo(found);
        return ok && Reply() == 220;
    }
    // Sends a command (without its CR LF) and returns the reply code, 0 when the line broke.
    int Command(const std::string& line) { return Send(line + "\r\n") ? Reply() : 0; }
    bool Send(const std::string& data) {
        size_t sent = 0;
        while (sent < data.size()) {
            int n = send(socket_, data.data() + sent, static_cast<int>(data.size() - sent), 0);
            if (n <= 0) return false;
            sent += static_cast<size_t>(n);
        }
        return true;
    }
    // The code of the next reply; its continuation lines ("250-...") are read through.
    int Reply() {
        for (;;) {
            std::string line;
            if (!ReadLine(line) || line.size() < 3) return 0;
            if (line.size() == 3 || line[3] != '-') return atoi(line.substr(0, 3).c_str());
        }
    }

private:
    bool ReadLine(std::string& line) {
        for (;;) {
            size_t end = buffer_.find("\r\n");
            if (end != std::string::npos) {
                line = buffer_.substr(0, end);
                buffer_.erase(0, end + 2);
                return true;
            }
            char chunk[512];
            int n = recv(socket_, chunk, sizeof chunk, 0);
            if (n <= 0) return false;
            buffer_.append(chunk, static_cast<size_t>(n));
        }
    }
    SOCKET socket_ = INVALID_SOCKET;
    std::string buffer_;
};

ULONG Deliver(const ClientConfig& config, const MailContent& mail) {
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return MAPI_E_FAILURE;
    ULONG result = MAPI_E_FAILURE;
    {
        SmtpSession smtp;
        if (!smtp.Connect(config)) {
            result = MAPI_E_LOGIN_FAILURE;  // no server to hand the message to
        } else if (smtp.Command("HELO localhost") == 250 &&
                   smtp.Command(std::string("MAIL FROM:<") + kSender + ">") == 250) {
            result = SUCCESS_SUCCESS;
            for (const std::string& to : mail.to) {
                int code = smtp.Command("RCPT TO:<" + to + ">");
                if (code != 250 && code != 251) result = MAPI_E_UNKNOWN_RECIPIENT;
            }
            if (result == SUCCESS_SUCCESS) {
                if (smtp.Command("DATA") != 354 || !smtp.Send(DotStuff(BuildMimeMessage(mail))) ||
                    smtp.Command(".") != 250)
                    result = MAPI_E_FAILURE;
            }
            smtp.Command("QUIT");
        }
    }
    WSACleanup();
    return result;
}

}  // namespace

extern "C" ULONG WINAPI MAPISendMail(LHANDLE, ULONG_PTR, lpMapiMessage message, FLAGS, ULONG) {
    if (!message) return MAPI_E_FAILURE;
    ClientConfig config = ReadConfig();
    if (config.answer) return config.answer;

    MailContent mail;
    mail.from = kSender;
    mail.subject = message->lpszSubject ? message->lpszSubject : "";
    mail.text = message->lpszNoteText ? message->lpszNoteText : "";
    for (ULONG i = 0; i < message->nRecipCount; ++i) {
        std::string address = AddressOf(message->lpRecips[i]);
        if (address.empty()) return MAPI_E_INVALID_RECIPS;
        mail.to.push_back(address);
    }
    if (mail.to.empty()) return MAPI_E_INVALID_RECIPS;
    for (ULONG i = 0; i < message->nFileCount; ++i) {
        const MapiFileDesc& file = message->lpFiles[i];
        MailAttachment attachment;
        std::string path = file.lpszPathName ? file.lpszPathName : "";
        if (path.empty() || !ReadWholeFile(path.c_str(), attachment.bytes)) return MAPI_E_ATTACHMENT_NOT_FOUND;
        attachment.name = file.lpszFileName && *file.lpszFileName ? file.lpszFileName : BaseName(path);
        mail.attachments.push_back(std::move(attachment));
    }
    return Deliver(config, mail);
}

extern "C" HRESULT WINAPI DllRegisterServer() {
    if (!OverrideString(HKEY_LOCAL_MACHINE, kMailClients, nullptr, kClientName)) return SELFREG_E_CLASS;
    if (!OverrideString(HKEY_LOCAL_MACHINE, kClientKey, L"DLLPath", ModulePath(g_module))) return SELFREG_E_CLASS;
    return S_OK;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    RestoreValue(HKEY_LOCAL_MACHINE, kClientKey, L"DLLPath");
    RestoreValue(HKEY_LOCAL_MACHINE, kMailClients, nullptr);
    return S_OK;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
