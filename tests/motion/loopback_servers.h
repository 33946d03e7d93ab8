#pragma once
// The FTP and SMTP servers of the Internet tests: real servers (pyftpdlib, aiosmtpd) started from
// the project's script on the loopback address. Their folders are reached from the test through
// Wine's Z: drive, which maps the Linux root.
#include <string>

namespace lumetra::testing {

class LoopbackServer {
public:
    LoopbackServer();
    // Asks the server to stop (it also stops by itself after a bounded lifetime).
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // An FTP server whose user's home is Folder(); extra are further script options (--slow 1).
    bool StartFtp(const std::string& user, const std::string& password, const std::string& extra = "");
    // An SMTP server that stores each message as a folder in Folder().
    bool StartSmtp(const std::string& extra = "");
    void Stop();

    int Port() const { return port_; }
    // The server's folder as Windows sees it (Z:\tmp\...).
    std::string Folder() const { return windowsFolder_; }

private:
    bool Start(const std::string& arguments);
    std::string unixFolder_, windowsFolder_;
    int port_ = 0;
};

// A loopback port that nothing listens on.
int UnusedPort();
// Whole contents of a file, or nothing when it cannot be read.
bool ReadFileBytes(const std::string& path, std::string& bytes);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
std::string TempFolder(const std::string& name);  // a new empty folder below the temp folder

}  // namespace lumetra::testing
