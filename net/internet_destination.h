#pragma once
// Where still images taken by a motion trigger go: one FTP server folder and one e-mail address.
// The object holds the destination settings (stored under "SOFTWARE\Orvex\Internet", the password
// scrambled), shows them in the "Internet Destination" dialog with a Test button for each way,
// uploads files by FTP through one Internet session kept for the whole run, and hands e-mail to
// the user's mail client through Simple MAPI.
#include <windows.h>
#include <wininet.h>

#include <string>

#include "framework/dialog.h"

namespace lumetra {

// An Internet handle closed with InternetCloseHandle.
class InternetHandle {
public:
    InternetHandle() = default;
    explicit InternetHandle(HINTERNET h) : h_(h) {}
    ~InternetHandle() { if (h_) InternetCloseHandle(h_); }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
private:
    HINTERNET h_ = nullptr;
};

struct InternetSettings {
    std::string emailAddress;
    std::string emailSubject;
    std::string ftpServer;     // host, or host:port
    std::string ftpDirectory;
    std::string ftpUser;
    std::string ftpPassword;   // plain, in memory only
    int savePassword = 0;
};

class InternetDestinationDialog : public Dialog {
public:
    InternetDestinationDialog();

    InternetSettings& Settings() { return settings_; }

    // Reads the stored settings; a missing or too long text reads as empty. A key that cannot be
    // opened leaves the settings as they are.
    void LoadInternetSettings();
    // Stores the settings; false (with a message) when the password holds a character that cannot
    // be stored. A key that cannot be opened stores nothing and counts as success.
    bool SaveInternetSettings();

    // Uploads a local file into the FTP directory under its own name; false after a message.
    bool FtpUpload(const std::string& path);
    // Sends one message to the e-mail address through the mail client, with the file at path
    // attached when path is not empty; returns the mail client's result (0 for success) after the
    // message that goes with it.
    unsigned long SendMail(const std::string& path, const std::string& text);

protected:
    void Exchange(DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void TakeOverText(int id);
    void EnableTests();
    void TestFtp();
    void TestEmail();
    // Error boxes belong to the dialog while it is on screen.
    HWND MessageOwner() const;
    void Report(const char* text, const char* caption, UINT icon) const;

    InternetSettings settings_;
    InternetHandle session_;
    bool controlsReady_ = false;  // text changes count only once the dialog shows its values
};

}  // namespace lumetra
