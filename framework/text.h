#pragma once
// Conversions between the program's ANSI texts and the UTF-16 texts of COM and DirectShow.
#include <string>

namespace lumetra {

// ANSI (system code page) to UTF-16.
std::wstring AnsiToWide(const std::string& text);
// UTF-16 to ANSI (system code page); characters without a mapping become '?'.
std::string WideToAnsi(const wchar_t* text);
inline std::string WideToAnsi(const std::wstring& text) { return WideToAnsi(text.c_str()); }

}  // namespace lumetra
