#include "app/helpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace lumetra {
namespace {

TEST(ResourceTexts, TitlesComeFromTheStringTable) {
    EXPECT_EQ(ProductTitle(), "Lumetra");
    EXPECT_EQ(AlternateTitle(), "QX1200 PC CAM Application");
    EXPECT_EQ(LoadResourceString(118), "Lumetra  Live Video");
    EXPECT_EQ(LoadResourceString(119), "Lumetra Playback");
}

TEST(ModulePath, IsTheRunningExecutable) {
    std::string path = ModulePath();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), ".exe");
    EXPECT_NE(path.find('\\'), std::string::npos);
}

TEST(EnterProgramFolder, MakesTheExecutableFolderCurrent) {
    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    SetCurrentDirectoryA("C:\\");
    EnterProgramFolder();
    char now[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, now);
    std::string path = ModulePath();
    EXPECT_EQ(std::string(now), path.substr(0, path.find_last_of('\\')));
    SetCurrentDirectoryA(before);
}

// The child half of the next test: a copy of this program in a drive root reports the folder it
// enters. Skipped when run on its own.
TEST(EnterProgramFolder, ReportsTheFolderEntered) {
    char out[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("LUMETRA_ENTERED_FOLDER_FILE", out, MAX_PATH)) GTEST_SKIP();
    EnterProgramFolder();
    char now[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, now);
    FILE* f = std::fopen(out, "wb");
    ASSERT_NE(f, nullptr);
    std::fputs(now, f);
    std::fclose(f);
}

// "C:" alone would name the drive's current folder; a program in the root enters the root itself.
TEST(EnterProgramFolder, ProgramInADriveRootEntersTheRoot) {
    const std::string copy = "C:\\lumetra_root_check.exe";
    const std::string report = "C:\\windows\\temp\\lumetra_root_check.txt";
    DeleteFileA(report.c_str());
    ASSERT_TRUE(CopyFileA(ModulePath().c_str(), copy.c_str(), FALSE));
    SetEnvironmentVariableA("LUMETRA_ENTERED_FOLDER_FILE", report.c_str());
    std::string command = copy + " --gtest_filter=EnterProgramFolder.ReportsTheFolderEntered";
    STARTUPINFOA si{sizeof si};
    PROCESS_INFORMATION pi{};
    // Started in another folder of the same drive, which "C:" would leave it in.
    BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\windows", &si, &pi);
    SetEnvironmentVariableA("LUMETRA_ENTERED_FOLDER_FILE", nullptr);
    ASSERT_TRUE(started);
    if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the copy in the root did not end";
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DeleteFileA(copy.c_str());
    char entered[MAX_PATH] = {};
    FILE* f = std::fopen(report.c_str(), "rb");
    ASSERT_NE(f, nullptr) << "the copy in the root reported nothing";
    std::fgets(entered, sizeof entered, f);
    std::fclose(f);
    DeleteFileA(report.c_str());
    EXPECT_STREQ(entered, "C:\\");
}

TEST(ToWide, SharedBufferIsClearedAndBounded) {
    EXPECT_STREQ(ToWide("USB Vexa40 Video"), L"USB Vexa40 Video");
    EXPECT_STREQ(ToWide("ab"), L"ab");  // no leftovers of the longer text
    std::string longText(400, 'x');
    const wchar_t* wide = ToWide(longText);
    EXPECT_EQ(std::wcslen(wide), 255u);
}

TEST(ToWideInto, CutsToCapacityWithTerminator) {
    wchar_t buffer[6];
    std::wmemset(buffer, L'#', 6);
    ToWideInto("abcdefgh", buffer, 5);
    EXPECT_STREQ(buffer, L"abcd");
    EXPECT_EQ(buffer[5], L'#');
    ToWideInto("", buffer, 5);
    EXPECT_STREQ(buffer, L"");
}

}  // namespace
}  // namespace lumetra

namespace lumetra {
namespace {

TEST(Resources, IconAndShutterSoundArePresent) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    HICON largeIcon = static_cast<HICON>(LoadImageA(self, MAKEINTRESOURCEA(128), IMAGE_ICON, 32, 32, LR_SHARED));
    HICON smallIcon = static_cast<HICON>(LoadImageA(self, MAKEINTRESOURCEA(128), IMAGE_ICON, 16, 16, LR_SHARED));
    EXPECT_NE(largeIcon, nullptr);
    EXPECT_NE(smallIcon, nullptr);
    EXPECT_NE(FindResourceA(self, "IDR_SHUTTER", "WAVE"), nullptr);
}

}  // namespace
}  // namespace lumetra
