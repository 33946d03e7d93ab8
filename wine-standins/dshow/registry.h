#pragma once
// Prefix registration that can be undone: every registry value a stand-in changes is first saved
// under HKLM\Software\Lumetra\WineStandins\Saved, and put back (or deleted, if it was absent) when
// the stand-in is unregistered.
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

namespace lumetra::standins {

// Sets a value after saving the one it replaces (only the first save counts, so re-registering
// keeps the platform's original). name nullptr = the key's default value.
bool OverrideValue(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size);
bool OverrideString(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value);
// Puts back what OverrideValue saved. Returns false when nothing was saved.
bool RestoreValue(HKEY root, const std::wstring& path, const wchar_t* name);
bool ReadValue(HKEY root, const std::wstring& path, const wchar_t* name, DWORD& type, std::vector<BYTE>& data);

std::wstring GuidString(const GUID& guid);
std::wstring ModulePath(HMODULE module);

// Points HKCR\CLSID\{clsid}\InprocServer32 at `dll` (threading model Both), saving the platform's entry.
bool OverrideClass(const CLSID& clsid, const std::wstring& dll);
void RestoreClass(const CLSID& clsid);

}  // namespace lumetra::standins
