// The end-of-line text of a raw text stream: hexadecimal byte pairs in
// upper case separated by single blanks ("0D 0A").
#pragma once
#include <string>

namespace textstreams {

inline constexpr const char* kDefaultEndOfLine = "0D 0A";

struct NormalisedEol {
    std::string text;   // trimmed, upper case, separators folded to one blank
    bool lettersOk;     // false when a letter other than A-F was met
};

// Trims blanks, makes the text upper case, keeps hexadecimal digits, refuses
// other letters, and writes each run of other characters as one blank.
NormalisedEol NormaliseEndOfLine(const std::string& text);
// True for a non-empty text of two-digit pairs each followed by one blank
// (the last blank optional).
bool IsHexPairText(const std::string& normalised);
// Both steps: the normalised text is valid.
bool IsValidEndOfLine(const std::string& text);

}  // namespace textstreams
