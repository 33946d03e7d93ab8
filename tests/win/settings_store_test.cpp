#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <string>

namespace lumetra {
namespace {

// Each test works in its own subkey of the settings key and removes it afterwards.
class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        key_ = OpenSettingsKey("UnitTest");
        ASSERT_TRUE(key_);
    }
    void TearDown() override {
        key_.Reset();
        RegKey orvex = OpenSettingsKey();
        RegDeleteKeyA(orvex.Get(), "UnitTest");
    }
    void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExA(key_.Get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    RegKey key_;
};

TEST_F(SettingsStore, DwordRoundTripAndMissingKeepsDefault) {
    int value = 5;
    EXPECT_FALSE(ReadDword(key_.Get(), "Missing", value));
    EXPECT_EQ(value, 5);
    ASSERT_TRUE(WriteDword(key_.Get(), "Value", -1));
    EXPECT_TRUE(ReadDword(key_.Get(), "Value", value));
    EXPECT_EQ(value, -1);
    DWORD type = 0, size = 0;
    RegQueryValueExA(key_.Get(), "Value", nullptr, &type, nullptr, &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
}

TEST_F(SettingsStore, DwordIgnoresStoredTypeAndRefusesLongerValues) {
    const char four[] = {7, 0, 0, 0};
    SetRaw("AsBinary", REG_BINARY, four, 4);
    int value = 0;
    EXPECT_TRUE(ReadDword(key_.Get(), "AsBinary", value));
    EXPECT_EQ(value, 7);

    const char two[] = {2, 1};
    SetRaw("Short", REG_BINARY, two, 2);
    EXPECT_TRUE(ReadDword(key_.Get(), "Short", value));
    EXPECT_EQ(value, 0x0102);

    // An 8-byte value does not fit the 4-byte buffer: the default survives untouched.
    const long long eight = 0x1122334455667788LL;
    SetRaw("Long", REG_QWORD, &eight, 8);
    value = 42;
    EXPECT_FALSE(ReadDword(key_.Get(), "Long", value));
    EXPECT_EQ(value, 42);

    SetRaw("Text", REG_SZ, "12", 3);
    EXPECT_TRUE(ReadDword(key_.Get(), "Text", value));
    EXPECT_EQ(value, '1' | ('2' << 8));
}

TEST_F(SettingsStore, StringsAreCutToTheirBuffer) {
    ASSERT_TRUE(WriteString(key_.Get(), "Name", "C:\\__temp__.avi"));
    std::string value;
    EXPECT_TRUE(ReadString(key_.Get(), "Name", value));
    EXPECT_EQ(value, "C:\\__temp__.avi");

    std::string longName(300, 'a');
    ASSERT_TRUE(WriteString(key_.Get(), "Long", longName));
    EXPECT_TRUE(ReadString(key_.Get(), "Long", value));
    EXPECT_EQ(value, std::string(127, 'a'));

    // Stored without a terminator, or of another type: still a terminated, bounded text.
    SetRaw("NoZero", REG_BINARY, "abc", 3);
    EXPECT_TRUE(ReadString(key_.Get(), "NoZero", value));
    EXPECT_EQ(value, "abc");

    value = "kept";
    EXPECT_FALSE(ReadString(key_.Get(), "Missing", value));
    EXPECT_EQ(value, "kept");
}

TEST_F(SettingsStore, RootIsTheMachineWhenItIsWritable) {
    // The test prefix runs with full access to HKEY_LOCAL_MACHINE.
    EXPECT_EQ(SettingsRoot(), HKEY_LOCAL_MACHINE);
    RegKey direct;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex\\UnitTest", 0, KEY_READ, direct.Put()),
              ERROR_SUCCESS);
}

TEST(DriverKey, MissingKeyIsEmptyNotCreated) {
    EXPECT_FALSE(OpenDriverKey("Software\\Norrin\\DoesNotExist"));
    RegKey check;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Norrin\\DoesNotExist", 0, KEY_READ, check.Put()),
              ERROR_SUCCESS);
}

}  // namespace
}  // namespace lumetra
