// Motion detection end to end: the real Lumetra.exe with the default skin and the simulated
// device, worked from outside. The setup dialog opens from BUTTON_MOTION_SETUP with its live
// picture and meter; ARM counts down; the simulator's moving square triggers the actions, whose
// files arrive on the loopback FTP server and in the loopback SMTP server's mailbox.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <ctime>
#include <random>
#include <string>

#include "net/password_scramble.h"
#include "res/resource.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/test_skin.h"
#include "tests/motion/loopback_servers.h"

namespace lumetra::e2e {
namespace {

using testing::LoopbackServer;

constexpr DWORD kStartMs = 20000;
constexpr DWORD kExitMs = 20000;
const char kOrvex[] = "SOFTWARE\\Orvex";
const char kSimulator[] = "Software\\LumetraSim";
const char kMailClientKey[] = "Software\\Clients\\Mail\\Lumetra Test Mail";
const char kUser[] = "camera";
const char kPassword[] = "door-Cam1";
const char kSetupCaption[] = "Motion detection setup";

void SetDword(HKEY root, const char* path, const char* name, DWORD value) { WriteRegistryDword(root, path, name, value); }
void SetText(HKEY root, const char* path, const char* name, const std::string& value) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)) return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

// A window of the program with this caption (its dialogs are top-level windows).
HWND FindProgramWindow(DWORD pid, const char* caption) {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, nullptr, caption)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

int CountMessages(const std::string& maildir) {
    int n = 0;
    char name[32];
    for (;; ++n) {
        snprintf(name, sizeof name, "\\%04d\\complete.txt", n + 1);
        if (!testing::FileExists(maildir + name)) return n;
    }
}

std::string Read(const std::string& path) {
    std::string bytes;
    testing::ReadFileBytes(path, bytes);
    return bytes;
}

class Motion : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex);
        SetDword(HKEY_LOCAL_MACHINE, kSimulator, "Scene", 2);
        // Motion only in a rectangle inside the default area (x 100..540, y 37..322 of 640 x 480).
        SetText(HKEY_LOCAL_MACHINE, kSimulator, "MotionRect", "260,160,380,280");
        ASSERT_TRUE(ftp_.StartFtp(kUser, kPassword));
        ASSERT_TRUE(smtp_.StartSmtp());
        SetDword(HKEY_LOCAL_MACHINE, kMailClientKey, "SmtpPort", static_cast<DWORD>(smtp_.Port()));
        SetDword(HKEY_LOCAL_MACHINE, kMailClientKey, "Answer", 0);
        stills_ = testing::TempFolder("lumetra-e2e-stills");
        still_ = stills_ + "\\motion.bmp";
        SetText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\Still", "FileName", still_);
        SetDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\Still", "FileOverwrite", 1);
        SetDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\Still", "UsePopupWindow", 0);
        capture_ = stills_ + "\\motion.avi";
        SetText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\Video", "FileName", capture_);
        StoreDestination();
    }
    void TearDown() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex);
        SetDword(HKEY_LOCAL_MACHINE, kSimulator, "Scene", 0);
        SetDword(HKEY_LOCAL_MACHINE, kSimulator, "Unplugged", 0);
        SetText(HKEY_LOCAL_MACHINE, kSimulator, "MotionRect", "");
    }
    void StoreDestination() {
        const char* key = "SOFTWARE\\Orvex\\Internet";
        SetText(HKEY_LOCAL_MACHINE, key, "EmailAddress", "guard@example.org");
        SetText(HKEY_LOCAL_MACHINE, key, "EmailSubject", "Door camera");
        SetText(HKEY_LOCAL_MACHINE, key, "FTPServer", "127.0.0.1:" + std::to_string(ftp_.Port()));
        SetText(HKEY_LOCAL_MACHINE, key, "FTPAddress", "");
        SetText(HKEY_LOCAL_MACHINE, key, "FTPUser", kUser);
        SetDword(HKEY_LOCAL_MACHINE, key, "FTPSavePassword", 1);
        std::minstd_rand random(7);
        std::string stored;
        ScramblePassword(kPassword, [&] { return static_cast<unsigned>(random()); }, stored);
        SetText(HKEY_LOCAL_MACHINE, key, "FTPPassword", stored);
    }
    // The detection settings of the setup dialog, stored as it stores them.
    void StoreActions(int snap, int ftp, int email, int video, int alert, int rearm, int rearmSecs, int countdown = 1) {
        const char* key = "SOFTWARE\\Orvex\\MotionDetection";
        SetDword(HKEY_LOCAL_MACHINE, key, "Countdown", static_cast<DWORD>(countdown));
        SetDword(HKEY_LOCAL_MACHINE, key, "AreaPercent", 1);
        SetDword(HKEY_LOCAL_MACHINE, key, "Snap", static_cast<DWORD>(snap));
        SetDword(HKEY_LOCAL_MACHINE, key, "FTP", static_cast<DWORD>(ftp));
        SetDword(HKEY_LOCAL_MACHINE, key, "Email", static_cast<DWORD>(email));
        SetDword(HKEY_LOCAL_MACHINE, key, "Vid", static_cast<DWORD>(video));
        SetDword(HKEY_LOCAL_MACHINE, key, "VidAlert", static_cast<DWORD>(alert));
        SetDword(HKEY_LOCAL_MACHINE, key, "Rearm", static_cast<DWORD>(rearm));
        SetDword(HKEY_LOCAL_MACHINE, key, "RearmSecs", static_cast<DWORD>(rearmSecs));
    }
    HWND Start(Program& program) {
        program.CopyFromBin("skins.ini");
        program.CopyFromBin("Default");
        EXPECT_TRUE(program.Start());
        HWND main = program.WaitForMainWindow(kStartMs);
        EXPECT_TRUE(WaitFor(10000, [&] { return main && FindChildByText(main, "MONITOR") != nullptr; }));
        return main;
    }
    HWND OpenSetup(Program& program, HWND main) {
        HWND button = FindChildByText(main, "BUTTON_MOTION_SETUP");
        EXPECT_NE(button, nullptr);
        if (!button) return nullptr;
        program.Click(button, 5, 5);
        HWND setup = nullptr;
        EXPECT_TRUE(WaitFor(10000, [&] { return (setup = FindProgramWindow(program.ProcessId(), kSetupCaption)) != nullptr; }));
        return setup;
    }
    // ARM, then the countdown runs and closes by itself.
    void Arm(Program& program, HWND setup) {
        PostMessageA(GetDlgItem(setup, IDC_MD_ARM), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor(5000, [&] { return FindProgramWindow(program.ProcessId(), "Motion detection countdown") != nullptr; }))
            << "no countdown";
        EXPECT_TRUE(WaitFor(10000, [&] { return !IsWindow(setup); })) << "the setup dialog did not close armed";
    }
    void End(Program& program, HWND main) {
        for (const auto& box : program.OpenMessageBoxes()) ADD_FAILURE() << "unexpected box: [" << box.caption << "] " << box.text;
        program.PressKey(main, VK_ESCAPE);
        EXPECT_TRUE(program.WaitForExit(kExitMs).has_value());
    }
    std::string Mail(int n) {
        char name[16];
        snprintf(name, sizeof name, "\\%04d", n);
        return smtp_.Folder() + name;
    }

    LoopbackServer ftp_, smtp_;
    std::string stills_, still_, capture_;
};

TEST_F(Motion, SetupShowsTheLivePictureAndTheMeterMoves) {
    Program program("motion-setup");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    HWND setup = OpenSetup(program, main);
    ASSERT_NE(setup, nullptr);
    HWND meter = GetDlgItem(setup, IDC_MD_METER);
    EXPECT_EQ(SendMessageA(meter, PBM_GETRANGE, FALSE, 0), 110 * 71);  // 440 x 285 pixels in cells of 4
    EXPECT_TRUE(WaitFor(10000, [&] { return SendMessageA(meter, PBM_GETPOS, 0, 0) > 0; })) << "the meter never moved";
    // The picture shows the frame at half size (320 x 240) centred over its backdrop.
    RECT picture{};
    GetWindowRect(GetDlgItem(setup, IDC_MD_PICTURE), &picture);
    EXPECT_EQ(picture.right - picture.left, 320);
    EXPECT_EQ(picture.bottom - picture.top, 240);
    PostMessageA(GetDlgItem(setup, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor(5000, [&] { return !IsWindow(setup); }));
    End(program, main);
}

TEST_F(Motion, TriggeredSnapshotIsUploadedThenMailed) {
    StoreActions(1, 1, 1, 0, 0, 0, 0);
    Program program("motion-snapshot");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    HWND setup = OpenSetup(program, main);
    ASSERT_NE(setup, nullptr);
    Arm(program, setup);
    const std::string uploaded = ftp_.Folder() + "\\motion.bmp";
    EXPECT_TRUE(WaitFor(20000, [&] { return CountMessages(smtp_.Folder()) >= 1; })) << "no mail arrived";
    std::string local = Read(still_), stored = Read(uploaded);
    EXPECT_EQ(local.size(), 54u + 640u * 480u * 3u);
    EXPECT_TRUE(stored == local) << "the uploaded file differs from the snapshot";
    EXPECT_EQ(Read(Mail(1) + "\\to.txt"), "guard@example.org");
    EXPECT_EQ(Read(Mail(1) + "\\subject.txt"), "Door camera");
    EXPECT_EQ(Read(Mail(1) + "\\text.txt"), "Attached image was captured by Motion Detection in Lumetra");
    EXPECT_TRUE(Read(Mail(1) + "\\attachments\\motion.bmp") == local);
    // Without re-arm one trigger is all.
    Sleep(3000);
    EXPECT_EQ(CountMessages(smtp_.Folder()), 1);
    End(program, main);
}

TEST_F(Motion, TriggeredRecordingEndsWithTheAlertAndReArms) {
    StoreActions(0, 0, 0, 1, 1, 1, 2);
    SetDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\Video", "UseTimeLimit", 1);
    SetDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\Video", "TimeLimit", 2);
    SetDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\Video", "TimeUnits", 1);  // seconds
    Program program("motion-video");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    HWND setup = OpenSetup(program, main);
    ASSERT_NE(setup, nullptr);
    Arm(program, setup);
    EXPECT_TRUE(WaitFor(15000, [&] { return FindChildByPrefix(main, "REC") != nullptr; })) << "no recording started";
    // The time limit ends the recording; its end sends the alert without an attachment.
    EXPECT_TRUE(WaitFor(20000, [&] { return CountMessages(smtp_.Folder()) >= 1; })) << "no alert";
    EXPECT_EQ(Read(Mail(1) + "\\text.txt"), "Lumetra Motion Detection has triggered video capture");
    EXPECT_FALSE(testing::FileExists(Mail(1) + "\\attachments\\motion.avi"));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(GetFileAttributesExA(capture_.c_str(), GetFileExInfoStandard, &data));
    // Two seconds later the detector is armed again, and the motion records and alerts again.
    EXPECT_TRUE(WaitFor(30000, [&] { return CountMessages(smtp_.Folder()) >= 2; })) << "no second trigger after re-arm";
    End(program, main);
}

TEST_F(Motion, ATriggeredRecordingThatTheDeviceEndsStillSendsTheAlert) {
    StoreActions(0, 0, 0, 1, 1, 0, 0);
    Program program("motion-video-unplugged");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    HWND setup = OpenSetup(program, main);
    ASSERT_NE(setup, nullptr);
    Arm(program, setup);
    ASSERT_TRUE(WaitFor(15000, [&] { return FindChildByPrefix(main, "REC 00:01") != nullptr; })) << "no recording";
    // The device goes away in the middle of the recording: it ends, and the alert goes out as after a stop.
    SetDword(HKEY_LOCAL_MACHINE, kSimulator, "Unplugged", 1);
    auto box = program.WaitForMessageBox(15000);
    SetDword(HKEY_LOCAL_MACHINE, kSimulator, "Unplugged", 0);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, "Warning");
    program.Answer(*box, IDOK);
    EXPECT_TRUE(WaitFor(20000, [&] { return CountMessages(smtp_.Folder()) >= 1; })) << "no alert";
    EXPECT_EQ(Read(Mail(1) + "\\text.txt"), "Lumetra Motion Detection has triggered video capture");
    EXPECT_TRUE(WaitFor(20000, [&] { return FindChildByText(main, "MONITOR") != nullptr; })) << "no picture again";
    End(program, main);
}

TEST_F(Motion, RecordingStartedByTheUserSendsNoAlert) {
    StoreActions(0, 0, 0, 1, 1, 0, 0);
    Program program("motion-user-recording");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    program.Click(FindChildByText(main, "BUTTON_VIDCAP"), 5, 5);
    EXPECT_TRUE(WaitFor(10000, [&] { return FindChildByPrefix(main, "REC 00:01") != nullptr; }));
    program.Click(FindChildByText(main, "BUTTON_VIDSTOP"), 5, 5);
    EXPECT_TRUE(WaitFor(10000, [&] { return FindChildByText(main, "MONITOR") != nullptr; }));
    Sleep(3000);
    EXPECT_EQ(CountMessages(smtp_.Folder()), 0);
    End(program, main);
}

TEST_F(Motion, NothingTriggersOutsideTheAreaOrInAStillScene) {
    // A run file that leaves a mark when a trigger runs it.
    const std::string mark = stills_ + "\\ran.txt";
    const std::string batch = stills_ + "\\mark.bat";
    testing::WriteFileBytes(batch, "@echo ran> \"" + mark + "\"\r\n");
    StoreActions(0, 0, 0, 0, 0, 0, 0);
    SetDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\MotionDetection", "Run", 1);
    SetText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\MotionDetection", "RunFile", batch);
    // Motion only left of the area (x below 100 of 640).
    SetText(HKEY_LOCAL_MACHINE, kSimulator, "MotionRect", "0,100,60,400");
    Program program("motion-outside");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    HWND setup = OpenSetup(program, main);
    ASSERT_NE(setup, nullptr);
    Arm(program, setup);
    Sleep(6000);
    EXPECT_FALSE(testing::FileExists(mark)) << "motion outside the area triggered";
    // A still scene: nothing moves at all.
    SetDword(HKEY_LOCAL_MACHINE, kSimulator, "Scene", 1);
    Sleep(6000);
    EXPECT_FALSE(testing::FileExists(mark)) << "a still scene triggered";
    // Motion inside the area runs the file.
    SetText(HKEY_LOCAL_MACHINE, kSimulator, "MotionRect", "260,160,380,280");
    SetDword(HKEY_LOCAL_MACHINE, kSimulator, "Scene", 2);
    EXPECT_TRUE(WaitFor(20000, [&] { return testing::FileExists(mark); })) << "the run file did not run";
    End(program, main);
}

TEST_F(Motion, SettingsPersistAcrossARestart) {
    {
        Program program("motion-persist-1");
        HWND main = Start(program);
        ASSERT_NE(main, nullptr);
        HWND setup = OpenSetup(program, main);
        ASSERT_NE(setup, nullptr);
        HWND granularity = GetDlgItem(setup, IDC_MD_GRANULARITY);
        SendMessageA(granularity, TBM_SETPOS, TRUE, 3);
        SendMessageA(setup, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 3), reinterpret_cast<LPARAM>(granularity));
        SendMessageA(GetDlgItem(setup, IDC_MD_SNAPSHOT), BM_CLICK, 0, 0);
        PostMessageA(GetDlgItem(setup, IDOK), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor(5000, [&] { return !IsWindow(setup); }));
        End(program, main);
    }
    Program program("motion-persist-2");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    HWND setup = OpenSetup(program, main);
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(setup, IDC_MD_GRANULARITY), TBM_GETPOS, 0, 0), 3);
    char edge[16] = {};
    SendMessageA(GetDlgItem(setup, IDC_MD_CELL_EDGE), WM_GETTEXT, sizeof edge, reinterpret_cast<LPARAM>(edge));
    EXPECT_STREQ(edge, "12");
    EXPECT_EQ(SendMessageA(GetDlgItem(setup, IDC_MD_SNAPSHOT), BM_GETCHECK, 0, 0), BST_CHECKED);
    PostMessageA(GetDlgItem(setup, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor(5000, [&] { return !IsWindow(setup); }));
    End(program, main);
}

TEST_F(Motion, RefusingFtpServerIsReportedAndMailStillGoes) {
    StoreActions(1, 1, 1, 0, 0, 0, 0);
    SetText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\Internet", "FTPAddress", "missing-folder");
    Program program("motion-ftp-refused");
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    HWND setup = OpenSetup(program, main);
    ASSERT_NE(setup, nullptr);
    Arm(program, setup);
    auto box = program.WaitForMessageBox(20000);
    ASSERT_TRUE(box.has_value()) << "no FTP error";
    EXPECT_EQ(box->caption, "Error");
    EXPECT_EQ(box->text, "Invalid FTP Directory");
    program.Answer(*box, IDOK);
    EXPECT_TRUE(WaitFor(20000, [&] { return CountMessages(smtp_.Folder()) >= 1; })) << "the mail did not follow";
    End(program, main);
}

}  // namespace
}  // namespace lumetra::e2e
