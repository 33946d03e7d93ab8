// The program's start-up and endings, driven from outside: skin errors, settings persistence.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

namespace lumetra::e2e {
namespace {

constexpr DWORD kStartMs = 15000;
constexpr DWORD kExitMs = 15000;
const char kOrvex[] = "SOFTWARE\\Orvex";

// Starts the program, answers the expected skin error, and returns the blank main window.
HWND StartWithoutSkin(Program& program) {
    EXPECT_TRUE(program.Start());
    auto box = program.WaitForMessageBox(kStartMs);
    EXPECT_TRUE(box.has_value()) << "no skin error box";
    if (!box) return nullptr;
    EXPECT_EQ(box->caption, "Error");
    EXPECT_EQ(box->text, "./skins.ini not found");
    EXPECT_TRUE(program.Answer(*box, IDOK));
    return program.WaitForMainWindow(kStartMs);
}

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex);
        DeleteRegistryTree(HKEY_CURRENT_USER, kOrvex);
    }
    void TearDown() override {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kOrvex);
        DeleteRegistryTree(HKEY_CURRENT_USER, kOrvex);
    }
};

TEST_F(Shell, WithoutSkinShowsErrorThenBlankWindowAndEscEnds) {
    Program program("noskin");
    HWND main = StartWithoutSkin(program);
    ASSERT_NE(main, nullptr);
    char text[200] = {};
    SendMessageA(GetDlgItem(main, 1001), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "If this blank window appears there is a problem with the skinfiles - Hit [ESC] to exit");
    EXPECT_EQ(GetWindowLongA(main, GWL_STYLE) & (WS_POPUP | WS_CAPTION), static_cast<LONG>(WS_POPUP));
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Shell, EnterDoesNotEndTheProgram) {
    Program program("enter");
    HWND main = StartWithoutSkin(program);
    ASSERT_NE(main, nullptr);
    // The dialog manager turns Enter into the OK command; only Exit and Esc end the program.
    program.PressKey(main, VK_RETURN);
    program.PressKey(GetDlgItem(main, 1001), VK_RETURN);
    Sleep(1500);
    ASSERT_TRUE(program.Running()) << "Enter ended the program";
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Shell, EmptyViewsSectionIsReported) {
    Program program("noviews");
    program.WriteFile("skins.ini", "[OTHER]\nx=1\n");
    ASSERT_TRUE(program.Start());
    auto box = program.WaitForMessageBox(kStartMs);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Error");
    EXPECT_EQ(box->text, "Could not find [VIEWS] section (see Skins.ini)");
    program.Answer(*box, IDOK);
    HWND main = program.WaitForMainWindow(kStartMs);
    ASSERT_NE(main, nullptr);
    EndWithEscape(program, main, kExitMs);
}

TEST_F(Shell, NormalExitStoresDefaults) {
    {
        Program program("defaults");
        HWND main = StartWithoutSkin(program);
        ASSERT_NE(main, nullptr);
        EndWithEscape(program, main, kExitMs);
    }
    auto value = [](const char* name) { return ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, name); };
    EXPECT_EQ(value("StreamFormat"), 5u);
    EXPECT_EQ(value("SkinView"), 0u);
    EXPECT_EQ(value("PropView"), 0u);
    EXPECT_EQ(value("CrossbarInput"), 1u);  // the input selector's start value: composite
    EXPECT_EQ(value("CrossbarInputCnt"), 0u);
    EXPECT_EQ(value("DisplaySize"), 0u);
    EXPECT_EQ(value("AudioEnumCnt"), 0u);
    EXPECT_EQ(value("AudioEnum"), 0xFFFFFFFFu);
    // CfgResync is read, never written.
    EXPECT_FALSE(value("CfgResync").has_value());
}

TEST_F(Shell, StoredValuesAreReadBackAtTheNextStart) {
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "StreamFormat", 2));
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "PropView", 3));
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "CrossbarInput", 2));
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "DisplaySize", 7));
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "AudioEnum", 4));
    // Values the program must not trust: an out-of-range property selector and capture size.
    {
        Program program("readback");
        HWND main = StartWithoutSkin(program);
        ASSERT_NE(main, nullptr);
        EndWithEscape(program, main, kExitMs);
    }
    auto value = [](const char* name) { return ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, name); };
    EXPECT_EQ(value("StreamFormat"), 2u);
    EXPECT_EQ(value("PropView"), 3u);
    EXPECT_EQ(value("CrossbarInput"), 2u);
    EXPECT_EQ(value("DisplaySize"), 7u);
    EXPECT_EQ(value("AudioEnum"), 4u);
}

TEST_F(Shell, DamagedValuesFallBackToDefaults) {
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "StreamFormat", 99));
    ASSERT_TRUE(WriteRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "PropView", 0x80000000u));
    {
        Program program("damaged");
        HWND main = StartWithoutSkin(program);
        ASSERT_NE(main, nullptr);
        EndWithEscape(program, main, kExitMs);
    }
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "StreamFormat"), 5u);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "PropView"), 0u);
}

// Denies write access to HKEY_LOCAL_MACHINE\SOFTWARE while alive, as for a standard user.
class ReadOnlyMachineSoftware {
public:
    ReadOnlyMachineSoftware() {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, READ_CONTROL | WRITE_DAC, &key_) != ERROR_SUCCESS) return;
        DWORD size = 0;
        RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
        saved_.resize(size);
        if (RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS) return;
        PSECURITY_DESCRIPTOR denied = nullptr;
        // Everyone: write access denied on this key only, reading allowed.
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;KW;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                  &denied, nullptr))
            return;
        applied_ = RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, denied) == ERROR_SUCCESS;
        LocalFree(denied);
    }
    ~ReadOnlyMachineSoftware() {
        if (applied_) RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data());
        if (key_) RegCloseKey(key_);
    }
    bool Applied() const { return applied_; }

private:
    HKEY key_ = nullptr;
    std::vector<BYTE> saved_;
    bool applied_ = false;
};

TEST_F(Shell, WithoutMachineWriteAccessSettingsPersistForTheUser) {
    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kOrvex, "PropView", 2));
    {
        ReadOnlyMachineSoftware readOnly;
        ASSERT_TRUE(readOnly.Applied());
        HKEY probe;
        ASSERT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS, &probe), ERROR_SUCCESS);
        Program program("userroot");
        HWND main = StartWithoutSkin(program);
        ASSERT_NE(main, nullptr);
        EndWithEscape(program, main, kExitMs);
    }
    EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, kOrvex, "PropView"), 2u);
    EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, kOrvex, "StreamFormat"), 5u);
    EXPECT_FALSE(ReadRegistryDword(HKEY_LOCAL_MACHINE, kOrvex, "StreamFormat").has_value());
}

}  // namespace
}  // namespace lumetra::e2e
