#include "textstreams/HexPairs.h"

#include <cctype>

namespace textstreams {

NormalisedEol NormaliseEndOfLine(const std::string& text) {
    size_t b = text.find_first_not_of(' '), e = text.find_last_not_of(' ');
    std::string trimmed = b == std::string::npos ? std::string{} : text.substr(b, e - b + 1);
    NormalisedEol out{{}, true};
    bool inSeparator = false;
    for (char raw : trimmed) {
        unsigned char c = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(raw)));
        if (std::isxdigit(c)) {
            out.text += static_cast<char>(c);
            inSeparator = false;
        } else if (std::isalpha(c)) {
            out.lettersOk = false;
            out.text += static_cast<char>(c);
            inSeparator = false;
        } else if (!inSeparator) {
            out.text += ' ';
            inSeparator = true;
        }
    }
    return out;
}

bool IsHexPairText(const std::string& normalised) {
    if (normalised.empty()) return false;
    std::string s = normalised;
    if (s.back() != ' ') s += ' ';
    while (true) {
        size_t blank = s.find(' ');
        if (blank == std::string::npos) return true;
        if (blank != 2) return false;
        for (int i = 0; i < 2; ++i)
            if (!std::isxdigit(static_cast<unsigned char>(s[i]))) return false;
        s.erase(0, 3);
    }
}

bool IsValidEndOfLine(const std::string& text) {
    auto n = NormaliseEndOfLine(text);
    return n.lettersOk && IsHexPairText(n.text);
}

}  // namespace textstreams
