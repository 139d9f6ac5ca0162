// Wide (UTF-16) <-> 8-bit text in Windows-1252, the unit's system code page.
#pragma once
#include <string>
#include <string_view>

#include "platform/com/Bstr.h"

namespace cp {

// Characters without a Windows-1252 form become '?'.
std::string WideToAnsi(std::u16string_view wide);
std::u16string AnsiToWide(std::string_view ansi);

// BSTR helpers: a null BSTR converts to "".
inline std::string FromBstr(com::BSTR s) { return WideToAnsi(com::BstrView(s)); }
inline com::BSTR ToBstr(std::string_view ansi) { return com::SysAllocString(AnsiToWide(ansi)); }

// UTF-8 <-> Windows-1252 for files and terminals (the unit file is UTF-8 JSON).
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);

}  // namespace cp
