#include "platform/codepage/CodePage.h"

namespace cp {
namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five unassigned positions.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t ToWide(unsigned char c) {
    if (c >= 0x80 && c < 0xA0) return kHigh[c - 0x80] ? kHigh[c - 0x80] : c;  // unassigned map through
    return c;
}

int ToAnsi(char32_t w) {
    if (w < 0x80 || (w >= 0xA0 && w < 0x100)) return static_cast<int>(w);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == w) return 0x80 + i;
    if (w >= 0x80 && w < 0xA0) {
        int i = static_cast<int>(w) - 0x80;
        if (kHigh[i] == 0) return static_cast<int>(w);
    }
    return -1;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string WideToAnsi(std::u16string_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        }
        int a = ToAnsi(c);
        out += a < 0 ? '?' : static_cast<char>(a);
    }
    return out;
}

std::u16string AnsiToWide(std::string_view ansi) {
    std::u16string out;
    out.reserve(ansi.size());
    for (unsigned char c : ansi) out += ToWide(c);
    return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
    std::string out;
    for (unsigned char c : ansi) AppendUtf8(out, ToWide(c));
    return out;
}

std::string Utf8ToAnsi(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        size_t n;
        if (c < 0x80) { cp = c; n = 1; }
        else if ((c >> 5) == 6) { cp = c & 0x1F; n = 2; }
        else if ((c >> 4) == 14) { cp = c & 0x0F; n = 3; }
        else if ((c >> 3) == 30) { cp = c & 0x07; n = 4; }
        else { out += '?'; ++i; continue; }
        if (i + n > s.size()) { out += '?'; break; }
        bool ok = true;
        for (size_t k = 1; k < n; ++k) {
            unsigned char d = static_cast<unsigned char>(s[i + k]);
            if ((d >> 6) != 2) { ok = false; break; }
            cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) { out += '?'; ++i; continue; }
        int a = ToAnsi(cp);
        out += a < 0 ? '?' : static_cast<char>(a);
        i += n;
    }
    return out;
}

}  // namespace cp
