#include "wine-standins/dshow/registry.h"

namespace lumetra::standins {

namespace {

const wchar_t kSaved[] = L"Software\\Lumetra\\WineStandins\\Saved";

// One backup key per overridden key: root and path flattened into a name.
std::wstring BackupKey(HKEY root, const std::wstring& path) {
    std::wstring name = root == HKEY_CLASSES_ROOT ? L"HKCR|" : root == HKEY_LOCAL_MACHINE ? L"HKLM|" : L"HKCU|";
    for (wchar_t c : path) name += c == L'\\' ? L'|' : c;
    return std::wstring(kSaved) + L"\\" + name;
}

std::wstring SavedName(const wchar_t* name) { return name ? name : L"(default)"; }

}  // namespace

std::wstring GuidString(const GUID& guid) {
    wchar_t text[64];
    StringFromGUID2(guid, text, 64);
    return text;
}

std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, n);
}

bool ReadValue(HKEY root, const std::wstring& path, const wchar_t* name, DWORD& type, std::vector<BYTE>& data) {
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG r = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    if (r == ERROR_SUCCESS) {
        data.resize(size);
        r = RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
        data.resize(size);
    }
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

bool OverrideValue(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY backup;
    std::wstring backupPath = BackupKey(root, path);
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, backupPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &backup, nullptr) !=
        ERROR_SUCCESS)
        return false;
    std::wstring saved = SavedName(name), absent = saved + L"#absent";
    DWORD t;
    bool haveBackup = RegQueryValueExW(backup, saved.c_str(), nullptr, &t, nullptr, nullptr) == ERROR_SUCCESS ||
                      RegQueryValueExW(backup, absent.c_str(), nullptr, &t, nullptr, nullptr) == ERROR_SUCCESS;
    if (!haveBackup) {
        DWORD oldType = 0;
        std::vector<BYTE> old;
        if (ReadValue(root, path, name, oldType, old)) {
            RegSetValueExW(backup, saved.c_str(), 0, oldType, old.data(), DWORD(old.size()));
        } else {
            DWORD one = 1;
            RegSetValueExW(backup, absent.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), sizeof one);
        }
    }
    RegCloseKey(backup);

    HKEY key;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

bool OverrideString(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    return OverrideValue(root, path, name, REG_SZ, value.c_str(), DWORD((value.size() + 1) * sizeof(wchar_t)));
}

bool RestoreValue(HKEY root, const std::wstring& path, const wchar_t* name) {
    HKEY backup;
    std::wstring backupPath = BackupKey(root, path);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, backupPath.c_str(), 0, KEY_ALL_ACCESS, &backup) != ERROR_SUCCESS) return false;
    std::wstring saved = SavedName(name), absent = saved + L"#absent";
    DWORD type = 0, size = 0;
    bool restored = false;
    if (RegQueryValueExW(backup, saved.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> data(size);
        RegQueryValueExW(backup, saved.c_str(), nullptr, &type, data.data(), &size);
        HKEY key;
        if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExW(key, name, 0, type, data.data(), size);
            RegCloseKey(key);
        }
        RegDeleteValueW(backup, saved.c_str());
        restored = true;
    } else if (RegQueryValueExW(backup, absent.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        HKEY key;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, name);
            RegCloseKey(key);
        }
        RegDeleteValueW(backup, absent.c_str());
        restored = true;
    }
    DWORD values = 0;
    RegQueryInfoKeyW(backup, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(backup);
    if (values == 0) RegDeleteKeyW(HKEY_LOCAL_MACHINE, backupPath.c_str());
    return restored;
}

bool OverrideClass(const CLSID& clsid, const std::wstring& dll) {
    std::wstring path = L"CLSID\\" + GuidString(clsid) + L"\\InprocServer32";
    return OverrideString(HKEY_CLASSES_ROOT, path, nullptr, dll) &&
           OverrideString(HKEY_CLASSES_ROOT, path, L"ThreadingModel", L"Both");
}

void RestoreClass(const CLSID& clsid) {
    std::wstring path = L"CLSID\\" + GuidString(clsid) + L"\\InprocServer32";
    RestoreValue(HKEY_CLASSES_ROOT, path, nullptr);
    RestoreValue(HKEY_CLASSES_ROOT, path, L"ThreadingModel");
}

}  // namespace lumetra::standins
