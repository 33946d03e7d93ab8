#include "app/settings_store.h"

#include "app/format.h"

#include <cstring>
#include <vector>

namespace lumetra {

HKEY SettingsRoot() {
    RegKey software;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS, software.Put()) == ERROR_SUCCESS)
        return HKEY_LOCAL_MACHINE;
    return HKEY_CURRENT_USER;
}

RegKey OpenSettingsKey(const char* subkey) {
    RegKey software;
    if (RegOpenKeyExA(SettingsRoot(), "SOFTWARE", 0, KEY_ALL_ACCESS, software.Put()) != ERROR_SUCCESS)
        return {};
    RegKey orvex;
    DWORD disposition = 0;
    if (RegCreateKeyExA(software.Get(), "Orvex", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        orvex.Put(), &disposition) != ERROR_SUCCESS)
        return {};
    if (!subkey) return orvex;
    RegKey child;
    if (RegCreateKeyExA(orvex.Get(), subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        child.Put(), &disposition) != ERROR_SUCCESS)
        return {};
    return child;
}

RegKey OpenDriverKey(const char* path) {
    RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return {};
    return key;
}

bool ReadDword(HKEY key, const char* name, unsigned long& value) {
    if (!key) return false;
    unsigned char bytes[4] = {};
    DWORD size = sizeof bytes;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, bytes, &size) != ERROR_SUCCESS) return false;
    value = static_cast<unsigned long>(bytes[0]) | static_cast<unsigned long>(bytes[1]) << 8 |
            static_cast<unsigned long>(bytes[2]) << 16 | static_cast<unsigned long>(bytes[3]) << 24;
    return true;
}

bool ReadDword(HKEY key, const char* name, int& value) {
    unsigned long raw = 0;
    if (!ReadDword(key, name, raw)) return false;
    value = static_cast<int>(static_cast<int32_t>(raw));
    return true;
}

bool WriteDword(HKEY key, const char* name, int value) {
    if (!key) return false;
    DWORD data = static_cast<DWORD>(value);
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) ==
           ERROR_SUCCESS;
}

bool ReadString(HKEY key, const char* name, std::string& value, size_t capacity) {
    if (!key || capacity == 0) return false;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    // Read the whole stored value, then keep at most capacity - 1 characters up to its first zero.
    std::vector<char> bytes(static_cast<size_t>(size) + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &got) != ERROR_SUCCESS)
        return false;
    value = StoredText(bytes.data(), got, capacity);
    return true;
}

bool WriteString(HKEY key, const char* name, const std::string& value) {
    if (!key) return false;
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace lumetra
