#pragma once
// Message boxes, shell, module and text conversion helpers shared by every part of the program.
#include <windows.h>

#include <string>

namespace lumetra {

// Modal "Error" box without owner; code -1 shows text alone, otherwise "Error %08x : text".
void ShowError(const std::string& text, long code);
// Modal "Info" box without owner.
void ShowInfo(const std::string& text);
// Opens a file or URL with its associated program; "Cannot open %s" when the shell refuses.
void OpenWithShell(const std::string& path);
// The platform's text for an error code (GetLastError), without the closing full stop and line end.
std::string SystemErrorText(DWORD error);

// String-table texts of the program.
std::string LoadResourceString(UINT id);
std::string ProductTitle();    // string 122
std::string AlternateTitle();  // string 123

// Full path of the running executable (at most MAX_PATH characters).
std::string ModulePath();
// Makes the executable's folder the current directory, so relative skin paths resolve there.
void EnterProgramFolder();

// ANSI to UTF-16 in one shared buffer of 256 characters, valid until the next call.
const wchar_t* ToWide(const std::string& text);
// The same conversion into a caller's buffer of capacity wide characters (cleared first).
void ToWideInto(const std::string& text, wchar_t* buffer, size_t capacity);

}  // namespace lumetra
