#pragma once
// The registry settings store. Every owner keeps its values below one settings key,
// "SOFTWARE\Orvex" of the settings root; a key is opened when an owner loads or saves and
// closed when the RegKey goes out of scope.
#include <windows.h>

#include <string>

#include "framework/handles.h"

namespace lumetra {

constexpr size_t kSettingsTextBytes = 128;  // 127 characters and the terminator

// The root every owner uses: HKEY_LOCAL_MACHINE when its "SOFTWARE" key opens with full access,
// else HKEY_CURRENT_USER (a standard account), so settings persist in the same layout either way.
HKEY SettingsRoot();

// Opens "SOFTWARE" of the settings root with full access and creates or opens "Orvex" below it,
// then, when subkey is given, creates or opens that below "Orvex". Empty on failure.
RegKey OpenSettingsKey(const char* subkey = nullptr);

// Opens a key of the device driver package below HKEY_LOCAL_MACHINE for reading only.
RegKey OpenDriverKey(const char* path);

// A 4-byte read whatever the stored type. A missing value, or one longer than 4 bytes, leaves
// value unchanged and returns false; a shorter one is read into the low bytes.
bool ReadDword(HKEY key, const char* name, int& value);
bool ReadDword(HKEY key, const char* name, unsigned long& value);
bool WriteDword(HKEY key, const char* name, int value);

// A text read into capacity bytes (default 128): a longer stored text is cut to capacity - 1
// characters, and the result is always terminated. Missing: value unchanged, false.
bool ReadString(HKEY key, const char* name, std::string& value, size_t capacity = kSettingsTextBytes);
// REG_SZ including the terminating zero.
bool WriteString(HKEY key, const char* name, const std::string& value);

}  // namespace lumetra
