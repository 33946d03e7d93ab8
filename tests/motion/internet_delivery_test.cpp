// FTP uploads and mail through Simple MAPI, against real servers on the loopback address: the
// stored files and the delivered messages are read back byte for byte.
#include "net/internet_destination.h"

#include <gtest/gtest.h>

#include <string>

#include "app/settings_store.h"
#include "res/resource.h"
#include "tests/motion/dialog_driver.h"
#include "tests/motion/loopback_servers.h"
#include "tests/win/box_watcher.h"

namespace lumetra {
namespace {

using testing::FileExists;
using testing::LoopbackServer;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

const char kUser[] = "camera";
const char kPassword[] = "s3cret-Pass";
const char kMailClientKey[] = "Software\\Clients\\Mail\\Lumetra Test Mail";
constexpr DWORD kDeliveryMs = 15000;

template <class Predicate>
bool WaitFor(DWORD timeoutMs, Predicate done) {
    for (DWORD waited = 0;; waited += 50) {
        if (done()) return true;
        if (waited >= timeoutMs) return false;
        Sleep(50);
    }
}

// A picture-like file with every byte value, so that any text-mode mangling shows.
std::string SampleBytes(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    bytes[0] = 'B';
    bytes[1] = 'M';
    // Line ends, which a text-mode transfer would rewrite.
    for (size_t i = 1000; i + 1 < size; i += 1000) {
        bytes[i] = '\r';
        bytes[i + 1] = '\n';
    }
    return bytes;
}

void DeleteInternetKey() {
    RegKey orvex = OpenSettingsKey();
    if (orvex) RegDeleteKeyA(orvex.Get(), "Internet");
}

// ---- FTP ----

class FtpUpload : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteInternetKey();
        local_ = testing::TempFolder("lumetra-ftp") + "\\snap_1234.bmp";
        bytes_ = SampleBytes(70000);
        ASSERT_TRUE(WriteFileBytes(local_, bytes_));
    }
    void TearDown() override {
        DeleteFileA(local_.c_str());
        DeleteInternetKey();
    }
    void Aim(int port, const std::string& directory, const std::string& password = kPassword) {
        InternetSettings& s = destination_.Settings();
        s.ftpServer = "127.0.0.1:" + std::to_string(port);
        s.ftpDirectory = directory;
        s.ftpUser = kUser;
        s.ftpPassword = password;
    }
    std::vector<testing::SeenBox> Boxes() { return watcher_.Seen(); }

    testing::BoxWatcher watcher_;
    InternetDestinationDialog destination_;
    LoopbackServer server_;
    std::string local_, bytes_;
};

TEST_F(FtpUpload, StoresTheFileUnderItsOwnNameByteForByte) {
    ASSERT_TRUE(server_.StartFtp(kUser, kPassword));
    CreateDirectoryA((server_.Folder() + "\\cam").c_str(), nullptr);
    Aim(server_.Port(), "cam");
    EXPECT_TRUE(destination_.FtpUpload(local_));
    std::string stored;
    ASSERT_TRUE(ReadFileBytes(server_.Folder() + "\\cam\\snap_1234.bmp", stored));
    EXPECT_TRUE(stored == bytes_) << "stored " << stored.size() << " bytes of " << bytes_.size();
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FtpUpload, WrongPasswordIsAnInvalidCombination) {
    ASSERT_TRUE(server_.StartFtp(kUser, kPassword));
    Aim(server_.Port(), "", "wrong");
    EXPECT_FALSE(destination_.FtpUpload(local_));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, "Error");
    EXPECT_EQ(Boxes()[0].text, "Invalid Server/User/Password combination");
}

TEST_F(FtpUpload, ServerDownIsAnInvalidCombination) {
    Aim(testing::UnusedPort(), "");
    EXPECT_FALSE(destination_.FtpUpload(local_));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Invalid Server/User/Password combination");
}

TEST_F(FtpUpload, MissingDirectory) {
    ASSERT_TRUE(server_.StartFtp(kUser, kPassword));
    Aim(server_.Port(), "no-such-folder");
    EXPECT_FALSE(destination_.FtpUpload(local_));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, "Error");
    EXPECT_EQ(Boxes()[0].text, "Invalid FTP Directory");
}

TEST_F(FtpUpload, ServerThatRefusesTheFile) {
    ASSERT_TRUE(server_.StartFtp(kUser, kPassword, "--read-only"));
    Aim(server_.Port(), "");
    EXPECT_FALSE(destination_.FtpUpload(local_));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "FTP Error sending test file");
    EXPECT_FALSE(FileExists(server_.Folder() + "\\snap_1234.bmp"));
}

TEST_F(FtpUpload, SlowServerStillGetsTheFile) {
    ASSERT_TRUE(server_.StartFtp(kUser, kPassword, "--slow 0.4"));
    Aim(server_.Port(), "");
    EXPECT_TRUE(destination_.FtpUpload(local_));
    std::string stored;
    ASSERT_TRUE(ReadFileBytes(server_.Folder() + "\\snap_1234.bmp", stored));
    EXPECT_TRUE(stored == bytes_);
    EXPECT_TRUE(Boxes().empty());
}

// ---- Mail through Simple MAPI and the test mail client ----

class Mail : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteInternetKey();
        SetClientValue("Answer", 0);
        local_ = testing::TempFolder("lumetra-mail") + "\\motion_77.bmp";
        bytes_ = SampleBytes(40000);
        ASSERT_TRUE(WriteFileBytes(local_, bytes_));
        destination_.Settings().emailAddress = "watcher@example.org";
        destination_.Settings().emailSubject = "Motion at the door";
    }
    void TearDown() override {
        SetClientValue("Answer", 0);
        DeleteFileA(local_.c_str());
        DeleteInternetKey();
    }
    static void SetClientValue(const char* name, DWORD value) {
        HKEY key;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMailClientKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
            return;
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(key);
    }
    bool StartServer(const std::string& extra = "") {
        if (!server_.StartSmtp(extra)) return false;
        SetClientValue("SmtpPort", static_cast<DWORD>(server_.Port()));
        return true;
    }
    // The folder of the n-th message the server stored, once it is complete.
    std::string Message(int n) {
        char name[16];
        snprintf(name, sizeof name, "\\%04d", n);
        std::string folder = server_.Folder() + name;
        return WaitFor(kDeliveryMs, [&] { return FileExists(folder + "\\complete.txt"); }) ? folder : "";
    }
    static std::string Read(const std::string& path) {
        std::string bytes;
        ReadFileBytes(path, bytes);
        return bytes;
    }

    testing::BoxWatcher watcher_;
    InternetDestinationDialog destination_;
    LoopbackServer server_;
    std::string local_, bytes_;
};

TEST_F(Mail, DeliversRecipientSubjectTextAndAttachment) {
    ASSERT_TRUE(StartServer());
    EXPECT_EQ(destination_.SendMail(local_, "Attached image was captured by Motion Detection in Lumetra"), 0u);
    std::string message = Message(1);
    ASSERT_FALSE(message.empty()) << "no message arrived";
    EXPECT_EQ(Read(message + "\\to.txt"), "watcher@example.org");
    EXPECT_EQ(Read(message + "\\subject.txt"), "Motion at the door");
    EXPECT_EQ(Read(message + "\\text.txt"), "Attached image was captured by Motion Detection in Lumetra");
    std::string attachment = Read(message + "\\attachments\\motion_77.bmp");
    EXPECT_TRUE(attachment == bytes_) << "attachment of " << attachment.size() << " bytes";
    EXPECT_TRUE(watcher_.Seen().empty());
}

TEST_F(Mail, WithoutAPathNothingIsAttached) {
    ASSERT_TRUE(StartServer());
    EXPECT_EQ(destination_.SendMail("", "Lumetra Motion Detection has triggered video capture"), 0u);
    std::string message = Message(1);
    ASSERT_FALSE(message.empty());
    EXPECT_EQ(Read(message + "\\text.txt"), "Lumetra Motion Detection has triggered video capture");
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((message + "\\attachments\\*.*").c_str(), &found);
    int files = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do files += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    EXPECT_EQ(files, 0);
}

TEST_F(Mail, RecipientTheServerRefuses) {
    ASSERT_TRUE(StartServer("--reject watcher@example.org"));
    EXPECT_EQ(destination_.SendMail(local_, "x"), 14u);
    ASSERT_EQ(watcher_.Seen().size(), 1u);
    EXPECT_EQ(watcher_.Seen()[0].caption, "Error");
    EXPECT_EQ(watcher_.Seen()[0].text, "MAPI Error: Invalid email recipient");
}

TEST_F(Mail, EveryAnswerOfTheMailClientHasItsMessage) {
    struct Row {
        DWORD answer;
        const char* caption;
        const char* text;
    };
    const Row rows[] = {
        {1, "Warning", "MAPI Warning: User aborted send"},
        {3, "Error", "MAPI Error: User not logged on"},
        {14, "Error", "MAPI Error: Invalid email recipient"},
        {25, "Error", "MAPI Error: Invalid email recipient"},
        {2, "Error", "MAPI Error: Error sending email"},
        {11, "Error", "MAPI Error: Error sending email"},
    };
    for (const Row& row : rows) {
        SetClientValue("Answer", row.answer);
        watcher_.Clear();
        EXPECT_EQ(destination_.SendMail(local_, "x"), row.answer);
        auto seen = watcher_.Seen();
        ASSERT_EQ(seen.size(), 1u) << "answer " << row.answer;
        EXPECT_EQ(seen[0].caption, row.caption);
        EXPECT_EQ(seen[0].text, row.text);
    }
}

TEST_F(Mail, NoServerForTheMailClient) {
    SetClientValue("SmtpPort", static_cast<DWORD>(testing::UnusedPort()));
    EXPECT_EQ(destination_.SendMail(local_, "x"), 3u);
    ASSERT_EQ(watcher_.Seen().size(), 1u);
    EXPECT_EQ(watcher_.Seen()[0].text, "MAPI Error: User not logged on");
}

// Runs in a child process whose MAPI32.DLL is disabled (see the test below).
TEST_F(Mail, ChildWithoutMailLibrary) {
    if (!GetEnvironmentVariableA("LUMETRA_CHILD_WITHOUT_MAPI", nullptr, 0)) GTEST_SKIP() << "runs as a child";
    EXPECT_NE(destination_.SendMail(local_, "x"), 0u);
    ASSERT_EQ(watcher_.Seen().size(), 1u);
    EXPECT_EQ(watcher_.Seen()[0].caption, "Error");
    EXPECT_EQ(watcher_.Seen()[0].text, "MAPI Error: Cannot load library");
}

TEST_F(Mail, MissingMailLibrary) {
    // A copy of this program for which the loader refuses MAPI32.DLL, as on a machine without it
    // (Wine's per-program DLL override, set for the copy's name only).
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string copy = testing::TempFolder("lumetra-nomapi") + "\\lumetra_without_mapi.exe";
    ASSERT_TRUE(CopyFileA(exe, copy.c_str(), FALSE));
    const char kOverrides[] = "Software\\Wine\\AppDefaults\\lumetra_without_mapi.exe\\DllOverrides";
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "mapi32", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    RegCloseKey(key);
    SetEnvironmentVariableA("LUMETRA_CHILD_WITHOUT_MAPI", "1");
    std::string command = "\"" + copy + "\" --gtest_filter=Mail.ChildWithoutMailLibrary";
    STARTUPINFOA si{sizeof si};
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA("LUMETRA_CHILD_WITHOUT_MAPI", nullptr);
    bool ended = started && WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0;
    DWORD code = 1;
    if (started) {
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, kOverrides);
    DeleteFileA(copy.c_str());
    ASSERT_TRUE(ended);
    EXPECT_EQ(code, 0u) << "the child's checks failed";
}

// ---- Stored settings ----

class InternetDialog : public ::testing::Test {
protected:
    void SetUp() override { DeleteInternetKey(); }
    void TearDown() override { DeleteInternetKey(); }
    static std::string Stored(const char* name) {
        RegKey key = OpenSettingsKey("Internet");
        std::string value = "(missing)";
        ReadString(key.Get(), name, value, 1024);
        return value;
    }
    static void Store(const char* name, const std::string& value) {
        RegKey key = OpenSettingsKey("Internet");
        WriteString(key.Get(), name, value);
    }
    InternetDestinationDialog dialog_;
    testing::DialogDriver driver_;
};

TEST_F(InternetDialog, SavesScrambledPasswordAndRestoresItWithItsCheckBox) {
    driver_.Do([](HWND d) {
        EXPECT_EQ(testing::WindowText(d), "Internet Destination for still images captured by motion trigger");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_NET_EMAIL_TEST)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_NET_FTP_TEST)));
        SetDlgItemTextA(d, IDC_NET_EMAIL_ADDRESS, "me@example.org");
        SetDlgItemTextA(d, IDC_NET_FTP_SERVER, "ftp.example.org");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_NET_EMAIL_TEST)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_NET_FTP_TEST)));  // needs the user name too
        SetDlgItemTextA(d, IDC_NET_FTP_USER, "cam");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_NET_FTP_TEST)));
        SetDlgItemTextA(d, IDC_NET_EMAIL_ADDRESS, "");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_NET_EMAIL_TEST)));
        SetDlgItemTextA(d, IDC_NET_EMAIL_ADDRESS, "me@example.org");
        SetDlgItemTextA(d, IDC_NET_FTP_PASSWORD, "abcDEF12");
        CheckDlgButton(d, IDC_NET_SAVE_PASSWORD, BST_CHECKED);
        testing::Click(d, IDOK);
    });
    EXPECT_EQ(driver_.Run(dialog_), IDOK);
    std::string stored = Stored("FTPPassword");
    ASSERT_EQ(stored.size(), 16u);
    for (size_t i = 0; i < stored.size(); i += 2) EXPECT_TRUE(stored[i] >= 'A' && stored[i] <= 'T') << stored;
    EXPECT_NE(stored.find("abcDEF12"), 0u);
    EXPECT_EQ(Stored("EmailAddress"), "me@example.org");
    EXPECT_EQ(Stored("FTPUser"), "cam");

    // A new run finds the password and the check box as they were saved.
    InternetDestinationDialog restarted;
    restarted.LoadInternetSettings();
    EXPECT_EQ(restarted.Settings().ftpPassword, "abcDEF12");
    EXPECT_EQ(restarted.Settings().savePassword, 1);
    EXPECT_EQ(restarted.Settings().ftpServer, "ftp.example.org");
}

TEST_F(InternetDialog, InvalidPasswordCharacterKeepsTheDialogOpen) {
    driver_.Do([](HWND d) {
        SetDlgItemTextA(d, IDC_NET_FTP_PASSWORD, "pass word");
        CheckDlgButton(d, IDC_NET_SAVE_PASSWORD, BST_CHECKED);
        testing::Click(d, IDOK);
    })
        .ExpectBox("Error", "Invalid characters in password.")
        .Do([](HWND d) {
            EXPECT_TRUE(IsWindowVisible(d));
            testing::Click(d, IDCANCEL);
        });
    EXPECT_EQ(driver_.Run(dialog_), IDCANCEL);
    EXPECT_EQ(Stored("FTPPassword"), "(missing)");
}

TEST_F(InternetDialog, UnsavedPasswordIsStoredEmptyButStaysInMemory) {
    driver_.Do([](HWND d) {
        SetDlgItemTextA(d, IDC_NET_FTP_PASSWORD, "memoryOnly");
        CheckDlgButton(d, IDC_NET_SAVE_PASSWORD, BST_UNCHECKED);
        testing::Click(d, IDOK);
    });
    EXPECT_EQ(driver_.Run(dialog_), IDOK);
    EXPECT_EQ(Stored("FTPPassword"), "");
    EXPECT_EQ(dialog_.Settings().ftpPassword, "memoryOnly");
    dialog_.LoadInternetSettings();
    EXPECT_EQ(dialog_.Settings().ftpPassword, "memoryOnly");
}

TEST_F(InternetDialog, CancelDiscardsEdits) {
    Store("EmailSubject", "kept");
    driver_.Do([](HWND d) {
        EXPECT_EQ(testing::ItemText(d, IDC_NET_EMAIL_SUBJECT), "kept");
        SetDlgItemTextA(d, IDC_NET_EMAIL_SUBJECT, "changed");
        testing::Click(d, IDCANCEL);
    });
    EXPECT_EQ(driver_.Run(dialog_), IDCANCEL);
    EXPECT_EQ(dialog_.Settings().emailSubject, "kept");
}

TEST_F(InternetDialog, BadStoredFormsLoadSafely) {
    Store("FTPPassword", "UxAbZ");  // a table letter after T
    Store("EmailAddress", std::string(300, 'a'));
    RegKey key = OpenSettingsKey("Internet");
    WriteDword(key.Get(), "FTPSavePassword", 1);
    dialog_.LoadInternetSettings();
    EXPECT_EQ(dialog_.Settings().ftpPassword, "");
    EXPECT_EQ(dialog_.Settings().emailAddress, "");  // too long for its buffer
}

TEST_F(InternetDialog, FtpTestButtonUploadsTheTestFile) {
    LoopbackServer server;
    ASSERT_TRUE(server.StartFtp(kUser, kPassword));
    const std::string port = std::to_string(server.Port());
    driver_.Do([&](HWND d) {
        SetDlgItemTextA(d, IDC_NET_FTP_SERVER, ("127.0.0.1:" + port).c_str());
        SetDlgItemTextA(d, IDC_NET_FTP_USER, kUser);
        SetDlgItemTextA(d, IDC_NET_FTP_PASSWORD, kPassword);
        testing::Click(d, IDC_NET_FTP_TEST);
        testing::Click(d, IDCANCEL);
    });
    driver_.Run(dialog_);
    std::string stored;
    ASSERT_TRUE(ReadFileBytes(server.Folder() + "\\test_ftp.txt", stored));
    EXPECT_EQ(stored, "This is an FTP test file. It was upload to this FTP site by the Tessaly Video Capture application\n");
    EXPECT_FALSE(FileExists("C:\\test_ftp.txt"));
}

TEST_F(InternetDialog, FtpTestButtonReportsAWrongPasswordOverTheDialog) {
    LoopbackServer server;
    ASSERT_TRUE(server.StartFtp(kUser, kPassword));
    const std::string port = std::to_string(server.Port());
    driver_.Do([&](HWND d) {
        SetDlgItemTextA(d, IDC_NET_FTP_SERVER, ("127.0.0.1:" + port).c_str());
        SetDlgItemTextA(d, IDC_NET_FTP_USER, kUser);
        SetDlgItemTextA(d, IDC_NET_FTP_PASSWORD, "nope");
        testing::Click(d, IDC_NET_FTP_TEST);
    })
        .ExpectBox("Error", "Invalid Server/User/Password combination")
        .Do([](HWND d) { testing::Click(d, IDCANCEL); });
    driver_.Run(dialog_);
}

}  // namespace
}  // namespace lumetra

namespace lumetra {
namespace {

TEST_F(Mail, EmailTestButtonSendsTheTestFile) {
    ASSERT_TRUE(StartServer());
    testing::DialogDriver driver;
    driver.Do([](HWND d) {
        SetDlgItemTextA(d, IDC_NET_EMAIL_ADDRESS, "tester@example.org");
        SetDlgItemTextA(d, IDC_NET_EMAIL_SUBJECT, "Test");
        testing::Click(d, IDC_NET_EMAIL_TEST);
        testing::Click(d, IDCANCEL);
    });
    driver.Run(destination_);
    std::string message = Message(1);
    ASSERT_FALSE(message.empty());
    EXPECT_EQ(Read(message + "\\to.txt"), "tester@example.org");
    EXPECT_EQ(Read(message + "\\text.txt"),
              "The attached text file (test_email.txt) was send by \nthe Lumetra Video Capture application in response "
              "to a click \non [TEST] on the Internet Settings page.");
    EXPECT_EQ(Read(message + "\\attachments\\test_email.txt"), "This is an Email test file.\n");
    EXPECT_FALSE(FileExists("C:\\test_email.txt"));
}

}  // namespace
}  // namespace lumetra
