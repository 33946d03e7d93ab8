#include "app/helpers.h"

#include <gtest/gtest.h>

#include <cwchar>

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
