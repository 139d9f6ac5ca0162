#include "apps/reg/RegText.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace regtext {
namespace {

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7f) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\x%02x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A quoted text at pos (on the opening quote); pos ends after the closing one.
bool Unquote(const std::string& line, std::size_t& pos, std::string* out, std::string* error) {
    ++pos;
    out->clear();
    while (pos < line.size()) {
        char c = line[pos++];
        if (c == '"') return true;
        if (c != '\\') {
            *out += c;
            continue;
        }
        if (pos >= line.size()) break;
        char e = line[pos++];
        switch (e) {
            case '\\': *out += '\\'; break;
            case '"': *out += '"'; break;
            case 'n': *out += '\n'; break;
            case 'r': *out += '\r'; break;
            case 't': *out += '\t'; break;
            case 'x': {
                int hi = pos < line.size() ? HexDigit(line[pos]) : -1;
                int lo = pos + 1 < line.size() ? HexDigit(line[pos + 1]) : -1;
                if (hi < 0 || lo < 0) {
                    *error = "\\x needs two hex digits";
                    return false;
                }
                *out += static_cast<char>(hi * 16 + lo);
                pos += 2;
                break;
            }
            default: *error = std::string("unknown escape \\") + e; return false;
        }
    }
    *error = "text without its closing quote";
    return false;
}

bool ParseHexList(const std::string& text, std::vector<std::uint8_t>* out) {
    out->clear();
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i >= text.size()) break;
        int hi = HexDigit(text[i]);
        int lo = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        if (hi < 0 || lo < 0) return false;
        out->push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        i += 2;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i < text.size()) {
            if (text[i] != ',') return false;
            ++i;
        }
    }
    return true;
}

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// The data after '=' of a value line.
bool ParseData(const std::string& text, Entry* entry, std::string* error) {
    if (text == "-") {
        entry->kind = Entry::DeleteValue;
        return true;
    }
    entry->kind = Entry::Value;
    if (!text.empty() && text[0] == '"') {
        std::size_t pos = 0;
        std::string value;
        if (!Unquote(text, pos, &value, error)) return false;
        if (!Trim(text.substr(pos)).empty()) {
            *error = "text after the closing quote";
            return false;
        }
        entry->type = reg::REG_SZ;
        entry->data.assign(value.begin(), value.end());
        entry->data.push_back(0);
        return true;
    }
    if (text.rfind("dword:", 0) == 0) {
        std::string digits = text.substr(6);
        if (digits.empty() || digits.size() > 8 ||
            digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            *error = "dword: needs one to eight hex digits";
            return false;
        }
        reg::DWORD v = static_cast<reg::DWORD>(std::stoul(digits, nullptr, 16));
        entry->type = reg::REG_DWORD;
        entry->data.resize(4);
        std::memcpy(entry->data.data(), &v, 4);
        return true;
    }
    std::string list;
    if (text.rfind("hex:", 0) == 0) {
        entry->type = reg::REG_BINARY;
        list = text.substr(4);
    } else if (text.rfind("hex(", 0) == 0) {
        std::size_t close = text.find("):");
        std::string digits = close == std::string::npos ? "" : text.substr(4, close - 4);
        if (digits.empty() || digits.size() > 8 ||
            digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            *error = "hex(N): needs the type number in hex";
            return false;
        }
        entry->type = static_cast<reg::DWORD>(std::stoul(digits, nullptr, 16));
        list = text.substr(close + 2);
    } else {
        *error = "the data must be \"text\", dword:, hex:, hex(N): or -";
        return false;
    }
    if (!ParseHexList(list, &entry->data)) {
        *error = "a hex list is two-digit bytes separated by commas";
        return false;
    }
    return true;
}

}  // namespace

std::string RootName(reg::HKEY root) {
    switch (root) {
        case reg::HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
        case reg::HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
        case reg::HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
        default: return {};
    }
}

reg::HKEY SplitRoot(const std::string& path, std::string* rest) {
    std::size_t cut = path.find_first_of("\\/");
    std::string root = path.substr(0, cut);
    for (auto& c : root) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const struct {
        const char* full;
        const char* brief;
        reg::HKEY key;
    } roots[] = {{"HKEY_CLASSES_ROOT", "HKCR", reg::HKEY_CLASSES_ROOT},
                 {"HKEY_CURRENT_USER", "HKCU", reg::HKEY_CURRENT_USER},
                 {"HKEY_LOCAL_MACHINE", "HKLM", reg::HKEY_LOCAL_MACHINE}};
    for (auto& r : roots) {
        if (root == r.full || root == r.brief) {
            *rest = cut == std::string::npos ? std::string() : path.substr(cut + 1);
            return r.key;
        }
    }
    return 0;
}

std::string FormatValue(const std::string& name, reg::DWORD type, const std::vector<std::uint8_t>& data) {
    std::string out = name.empty() ? "@=" : Quote(name) + "=";
    if (type == reg::REG_DWORD && data.size() == 4) {
        reg::DWORD v;
        std::memcpy(&v, data.data(), 4);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", v);
        return out + buf;
    }
    if (type == reg::REG_SZ && !data.empty() && data.back() == 0 &&
        std::memchr(data.data(), 0, data.size() - 1) == nullptr)
        return out + Quote(std::string(data.begin(), data.end() - 1));
    if (type == reg::REG_BINARY) {
        out += "hex:";
    } else {
        char buf[24];
        std::snprintf(buf, sizeof buf, "hex(%x):", type);
        out += buf;
    }
    for (std::size_t i = 0; i < data.size(); ++i) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%s%02x", i ? "," : "", data[i]);
        out += buf;
    }
    return out;
}

Parsed Parse(const std::string& text) {
    Parsed result;
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    bool header = false;
    std::string key;
    auto fail = [&](int line, const std::string& why) {
        result.entries.clear();
        result.error = "line " + std::to_string(line) + ": " + why;
        return result;
    };
    while (std::getline(in, raw)) {
        int lineNo = ++number;
        std::string line = Trim(raw);
        // A hex list goes on over lines ending with a backslash.
        while (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos) {
            std::string next;
            if (!std::getline(in, next)) break;
            ++number;
            line = line.substr(0, line.size() - 1) + Trim(next);
        }
        if (line.empty() || line[0] == ';') continue;
        if (!header) {
            if (line != kHeader && line != "REGEDIT4")
                return fail(lineNo, std::string("the file must start with \"") + kHeader + "\"");
            header = true;
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']') return fail(lineNo, "a key line ends with ]");
            bool remove = line.size() > 1 && line[1] == '-';
            std::string path = line.substr(remove ? 2 : 1, line.size() - (remove ? 3 : 2));
            std::string rest;
            if (!SplitRoot(path, &rest)) return fail(lineNo, "unknown root key in [" + path + "]");
            if (remove && rest.empty()) return fail(lineNo, "a root key cannot be deleted");
            result.entries.push_back({remove ? Entry::DeleteKey : Entry::Key, path, {}, reg::REG_NONE, {}});
            key = remove ? std::string() : path;
            continue;
        }
        if (key.empty()) return fail(lineNo, "a value line before any [KEY] line");
        Entry entry{Entry::Value, key, {}, reg::REG_NONE, {}};
        std::size_t pos = 0;
        std::string error;
        if (line[0] == '@') {
            pos = 1;
        } else if (line[0] == '"') {
            if (!Unquote(line, pos, &entry.name, &error)) return fail(lineNo, error);
        } else {
            return fail(lineNo, "expected [KEY], \"NAME\"=DATA or @=DATA");
        }
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        if (pos >= line.size() || line[pos] != '=') return fail(lineNo, "expected = after the value name");
        if (!ParseData(Trim(line.substr(pos + 1)), &entry, &error)) return fail(lineNo, error);
        result.entries.push_back(std::move(entry));
    }
    if (!header) return fail(number + 1, std::string("the file must start with \"") + kHeader + "\"");
    return result;
}

}  // namespace regtext
