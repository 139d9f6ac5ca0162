// The pseudo locale: every text of the own resources made longer and full
// of accented letters, so that a translation that runs longer than the
// English (German and French often take a third more room) shows up as
// cut-off or overlapping text before any translator has been at work.
//
// Texts are in the system code page (Windows-1252), as the model keeps
// them, so only letters of that code page are used: "Camera" becomes
// "[Çåmérå ~~~]".  What the program reads in a text stays as it is:
// printf conversions (%s, %d, %0.2f, %%), control characters (tab, line
// breaks) and the letter after a "&" (the mnemonic keeps its key).
#pragma once
#include <string>

namespace res {

// The language code of the pseudo locale ("SystemLanguage" value); its
// resource module is ResSetupUIQPS.json.  "qps" is the code the platform's
// own pseudo locales use (qps-ploc), from the range ISO 639 keeps for
// local use.
inline constexpr const char* kPseudoLanguage = "QPS";

// The pseudo-localised form of a Windows-1252 text.  A text without a letter
// to translate (numbers, column widths, a lone "%s") comes back unchanged.
std::string PseudoLocalise(const std::string& ansi);

}  // namespace res
