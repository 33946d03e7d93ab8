#include "net/internet_destination.h"

#include <mapi.h>

#include <ctime>
#include <random>

#include "app/helpers.h"
#include "app/settings_store.h"
#include "net/password_scramble.h"
#include "net/server_address.h"
#include "res/resource.h"

namespace lumetra {
namespace {

const char kInternetKey[] = "Internet";
// Longest text read from the registry (the settings' 128-byte buffers less the terminator).
constexpr size_t kLongestText = kSettingsTextBytes - 1;

// Waits on a server that stops answering end after this long instead of holding the program.
constexpr DWORD kFtpTimeoutMs = 15000;

const char kFtpTestFile[] = "C:\\test_ftp.txt";
const char kFtpTestText[] =
    "This is an FTP test file. It was upload to this FTP site by the Tessaly Video Capture application\n";
const char kEmailTestFile[] = "C:\\test_email.txt";
const char kEmailTestText[] = "This is an Email test file.\n";

// A stored text, empty when missing or longer than the settings' buffers hold.
std::string ReadSettingText(HKEY key, const char* name) {
    std::string value;
    if (!ReadString(key, name, value, kLongestText + 2) || value.size() > kLongestText) return {};
    return value;
}

// Creates (or opens without truncating) a file and writes text at its start.
bool WriteTestFile(const char* path, const char* text) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    CloseHandle(file);
    return ok != FALSE;
}

std::string FileNameOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

InternetDestinationDialog::InternetDestinationDialog()
    : Dialog(IDD_INTERNET_DESTINATION),
      session_(InternetOpenA(ProductTitle().c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)) {
    if (session_) {
        DWORD timeout = kFtpTimeoutMs;
        for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
            InternetSetOptionA(session_.Get(), option, &timeout, sizeof timeout);
    }
}

void InternetDestinationDialog::LoadInternetSettings() {
    RegKey key = OpenSettingsKey(kInternetKey);
    if (!key) return;
    settings_.emailAddress = ReadSettingText(key.Get(), "EmailAddress");
    settings_.emailSubject = ReadSettingText(key.Get(), "EmailSubject");
    settings_.ftpServer = ReadSettingText(key.Get(), "FTPServer");
    settings_.ftpDirectory = ReadSettingText(key.Get(), "FTPAddress");
    settings_.ftpUser = ReadSettingText(key.Get(), "FTPUser");
    // The check box shows whether a password is stored. Without one, a password typed in this
    // run stays in memory for the rest of it.
    int save = 0;
    if (ReadDword(key.Get(), "FTPSavePassword", save)) settings_.savePassword = save ? 1 : 0;
    if (settings_.savePassword) settings_.ftpPassword = UnscramblePassword(ReadSettingText(key.Get(), "FTPPassword"));
}

bool InternetDestinationDialog::SaveInternetSettings() {
    RegKey key = OpenSettingsKey(kInternetKey);
    if (!key) return true;
    HKEY k = key.Get();
    WriteString(k, "EmailAddress", settings_.emailAddress);
    WriteString(k, "EmailSubject", settings_.emailSubject);
    WriteString(k, "FTPServer", settings_.ftpServer);
    WriteString(k, "FTPAddress", settings_.ftpDirectory);
    WriteString(k, "FTPUser", settings_.ftpUser);
    WriteDword(k, "FTPSavePassword", settings_.savePassword);
    std::string stored;
    if (settings_.savePassword) {
        std::minstd_rand random(static_cast<unsigned>(std::time(nullptr)));
        if (!ScramblePassword(settings_.ftpPassword, [&] { return static_cast<unsigned>(random()); }, stored)) {
            Report("Invalid characters in password.", "Error", MB_ICONERROR);
            return false;
        }
    }
    WriteString(k, "FTPPassword", stored);
    return true;
}

HWND InternetDestinationDialog::MessageOwner() const {
    return Handle() && IsWindowVisible(Handle()) ? Handle() : nullptr;
}

void InternetDestinationDialog::Report(const char* text, const char* caption, UINT icon) const {
    MessageBoxA(MessageOwner(), text, caption, MB_OK | icon);
}

bool InternetDestinationDialog::FtpUpload(const std::string& path) {
    std::string host;
    int port = kStandardFtpPort;
    SplitServerAddress(settings_.ftpServer, host, port);
    // Active mode: no INTERNET_FLAG_PASSIVE.
    InternetHandle connection(session_ ? InternetConnectA(session_.Get(), host.c_str(), static_cast<INTERNET_PORT>(port),
                                                          settings_.ftpUser.c_str(), settings_.ftpPassword.c_str(),
                                                          INTERNET_SERVICE_FTP, 0, 1)
                                       : nullptr);
    if (!connection) {
        Report("Invalid Server/User/Password combination", "Error", MB_ICONERROR);
        return false;
    }
    if (!FtpSetCurrentDirectoryA(connection.Get(), settings_.ftpDirectory.c_str())) {
        Report("Invalid FTP Directory", "Error", MB_ICONERROR);
        return false;
    }
    if (!FtpPutFileA(connection.Get(), path.c_str(), FileNameOf(path).c_str(), FTP_TRANSFER_TYPE_BINARY, 1)) {
        Report("FTP Error sending test file", "Error", MB_ICONERROR);
        return false;
    }
    return true;
}

unsigned long InternetDestinationDialog::SendMail(const std::string& path, const std::string& text) {
    HMODULE mapi = LoadLibraryA("MAPI32.DLL");
    if (!mapi) {
        Report("MAPI Error: Cannot load library", "Error", MB_ICONERROR);
        return MAPI_E_FAILURE;
    }
    auto sendMail = reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void*>(GetProcAddress(mapi, "MAPISendMail")));
    if (!sendMail) {
        Report("MAPI Error: Error in library", "Error", MB_ICONERROR);
        FreeLibrary(mapi);
        return MAPI_E_FAILURE;
    }

    std::string name = settings_.emailAddress;
    std::string address = "SMTP:" + settings_.emailAddress;
    std::string subject = settings_.emailSubject;
    std::string note = text;
    std::string attachment = path;
    char empty[] = "";
    char noDate[] = "";
    char noConversation[] = "";

    MapiRecipDesc recipient{};
    recipient.ulRecipClass = MAPI_TO;
    recipient.lpszName = &name[0];
    recipient.lpszAddress = &address[0];

    MapiFileDesc file{};
    file.nPosition = static_cast<ULONG>(-1);  // not placed in the text
    file.lpszPathName = &attachment[0];
    file.lpszFileName = empty;

    MapiMessage message{};
    message.lpszSubject = &subject[0];
    message.lpszNoteText = &note[0];
    message.lpszDateReceived = noDate;
    message.lpszConversationID = noConversation;
    message.flFlags = MAPI_SENT;
    message.nRecipCount = 1;
    message.lpRecips = &recipient;
    message.nFileCount = path.empty() ? 0 : 1;
    message.lpFiles = path.empty() ? nullptr : &file;

    ULONG result = sendMail(0, 0, &message, 0, 0);
    switch (result) {
    case SUCCESS_SUCCESS:
        break;
    case MAPI_USER_ABORT:
        Report("MAPI Warning: User aborted send", "Warning", MB_ICONEXCLAMATION);
        break;
    case MAPI_E_LOGIN_FAILURE:
        Report("MAPI Error: User not logged on", "Error", MB_ICONERROR);
        break;
    case MAPI_E_UNKNOWN_RECIPIENT:
    case MAPI_E_INVALID_RECIPS:
        Report("MAPI Error: Invalid email recipient", "Error", MB_ICONERROR);
        break;
    default:
        Report("MAPI Error: Error sending email", "Error", MB_ICONERROR);
        break;
    }
    FreeLibrary(mapi);
    return result;
}

void InternetDestinationDialog::Exchange(DataExchange& dx) {
    dx.Text(IDC_NET_EMAIL_ADDRESS, settings_.emailAddress);
    dx.Text(IDC_NET_EMAIL_SUBJECT, settings_.emailSubject);
    dx.Text(IDC_NET_FTP_SERVER, settings_.ftpServer);
    dx.Text(IDC_NET_FTP_DIRECTORY, settings_.ftpDirectory);
    dx.Text(IDC_NET_FTP_USER, settings_.ftpUser);
    dx.Text(IDC_NET_FTP_PASSWORD, settings_.ftpPassword);
    dx.Check(IDC_NET_SAVE_PASSWORD, settings_.savePassword);
}

BOOL InternetDestinationDialog::OnInitDialog() {
    controlsReady_ = false;
    LoadInternetSettings();
    UpdateData(false);
    EnableTests();
    controlsReady_ = true;
    return TRUE;
}

void InternetDestinationDialog::TakeOverText(int id) {
    std::string* field = nullptr;
    switch (id) {
    case IDC_NET_EMAIL_ADDRESS: field = &settings_.emailAddress; break;
    case IDC_NET_EMAIL_SUBJECT: field = &settings_.emailSubject; break;
    case IDC_NET_FTP_SERVER: field = &settings_.ftpServer; break;
    case IDC_NET_FTP_DIRECTORY: field = &settings_.ftpDirectory; break;
    case IDC_NET_FTP_USER: field = &settings_.ftpUser; break;
    case IDC_NET_FTP_PASSWORD: field = &settings_.ftpPassword; break;
    default: return;
    }
    DataExchange dx(Handle(), true);
    dx.Text(id, *field);
}

void InternetDestinationDialog::EnableTests() {
    EnableWindow(Item(IDC_NET_EMAIL_TEST), !settings_.emailAddress.empty());
    EnableWindow(Item(IDC_NET_FTP_TEST), !settings_.ftpServer.empty() && !settings_.ftpUser.empty());
}

bool InternetDestinationDialog::OnCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_NET_EMAIL_ADDRESS:
    case IDC_NET_EMAIL_SUBJECT:
    case IDC_NET_FTP_SERVER:
    case IDC_NET_FTP_DIRECTORY:
    case IDC_NET_FTP_USER:
    case IDC_NET_FTP_PASSWORD:
        if (code != EN_CHANGE || !controlsReady_) return false;
        TakeOverText(id);
        EnableTests();
        return true;
    case IDC_NET_FTP_TEST:
        if (code != BN_CLICKED) return false;
        TestFtp();
        return true;
    case IDC_NET_EMAIL_TEST:
        if (code != BN_CLICKED) return false;
        TestEmail();
        return true;
    default:
        return false;
    }
}

void InternetDestinationDialog::OnOK() {
    UpdateData(true);
    if (SaveInternetSettings()) End(IDOK);
}

void InternetDestinationDialog::OnCancel() {
    LoadInternetSettings();
    End(IDCANCEL);
}

void InternetDestinationDialog::TestFtp() {
    WriteTestFile(kFtpTestFile, kFtpTestText);
    FtpUpload(kFtpTestFile);
    DeleteFileA(kFtpTestFile);
}

void InternetDestinationDialog::TestEmail() {
    WriteTestFile(kEmailTestFile, kEmailTestText);
    SendMail(kEmailTestFile, "The attached text file (test_email.txt) was send by \nthe " + ProductTitle() +
                                 " Video Capture application in response to a click \non [TEST] on the Internet "
                                 "Settings page.");
    DeleteFileA(kEmailTestFile);
}

}  // namespace lumetra
