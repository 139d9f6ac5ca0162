#include "resources/PseudoLocale.h"

#include <cctype>
#include <cstring>

namespace res {
namespace {

// A Windows-1252 accented counterpart of an ASCII letter; the letter itself
// when the code page has none.
char Accented(char c) {
    static const char* const kFrom = "ACDEINOSUYZacdeinosuyz";
    static const unsigned char kTo[] = {0xC5, 0xC7, 0xD0, 0xC9, 0xCE, 0xD1, 0xD6, 0x8A, 0xDC, 0xDD, 0x8E,
                                        0xE5, 0xE7, 0xF0, 0xE9, 0xEE, 0xF1, 0xF6, 0x9A, 0xFC, 0xFD, 0x9E};
    if (c == 0) return c;
    const char* at = std::strchr(kFrom, c);
    return at ? static_cast<char>(kTo[at - kFrom]) : c;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Length of the printf conversion that starts at text[at] ('%'), or 0 when
// none does: flags, width, precision, length modifier, conversion.
size_t ConversionLength(const std::string& text, size_t at) {
    size_t i = at + 1;
    if (i < text.size() && text[i] == '%') return 2;
    while (i < text.size() && std::strchr("-+ #0", text[i])) ++i;
    while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '*')) ++i;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '*')) ++i;
    }
    while (i < text.size() && std::strchr("hlLqjzt", text[i])) ++i;
    if (i < text.size() && std::strchr("diouxXeEfFgGaAcspn", text[i])) return i + 1 - at;
    return 0;
}

}  // namespace

std::string PseudoLocalise(const std::string& text) {
    std::string body;
    bool letters = false;
    size_t visible = 0;  // characters a reader sees, conversions counted once
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '%') {
            if (size_t n = ConversionLength(text, i)) {
                body.append(text, i, n);
                i += n;
                ++visible;
                continue;
            }
        }
        if (c == '&' && i + 1 < text.size()) {
            // "&&" is a plain ampersand; "&x" underlines x, which stays the key.
            body.append(text, i, 2);
            letters = letters || IsLetter(text[i + 1]);
            i += 2;
            ++visible;
            continue;
        }
        if (IsLetter(c)) letters = true;
        body += Accented(c);
        if (static_cast<unsigned char>(c) >= 0x20) ++visible;
        ++i;
    }
    if (!letters) return text;
    // About 40 % longer, the brackets showing where a text is cut off.
    const size_t padding = (visible * 4 + 9) / 10;
    return "[" + body + " " + std::string(padding, '~') + "]";
}

}  // namespace res
