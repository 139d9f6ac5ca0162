// The failures that mirelle-run injects into the simulated unit (--fail) and
// the HRESULT names its output uses.
#pragma once
#include <optional>
#include <string>

#include "platform/com/Hresult.h"

namespace apps {

// The names of HRESULTs that runs print and take ("E_FAIL", "S_FALSE", ...);
// others are written and read as hexadecimal (0x80004005).
std::string HresultName(com::HRESULT hr);
std::optional<com::HRESULT> ParseHresult(const std::string& text);

// A failure to inject: "CALL[#N][=CODE]" (every call, or only the Nth; CODE
// E_FAIL when not given).
struct FailOption {
    std::string call;
    int nth = 0;
    com::HRESULT hr = com::E_FAIL;
};
// The failure, or nothing with why set to what is wrong with text.
std::optional<FailOption> ParseFailOption(const std::string& text, std::string& why);

}  // namespace apps
