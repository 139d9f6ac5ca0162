#include "textstreams/TextStreamRecord.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <type_traits>
#include <variant>

namespace textstreams {

void MergeRecord(TextStreamRecord& current, const TextStreamRecord& partial) {
    auto str = [](std::string& to, const std::string& from) {
        if (!from.empty()) to = from;
    };
    auto num = [](auto& to, auto from) {
        if (from != -1) to = from;
    };
    str(current.Name, partial.Name);
    str(current.HandlerName, partial.HandlerName);
    str(current.ConnectionName, partial.ConnectionName);
    str(current.EndOfLine, partial.EndOfLine);
    num(current.ShowCustomerEntries, partial.ShowCustomerEntries);
    num(current.ShowJournalEntries, partial.ShowJournalEntries);
    num(current.ApplyExceptionsAsGroup, partial.ApplyExceptionsAsGroup);
    num(current.StreamId, partial.StreamId);
    num(current.CameraMask, partial.CameraMask);
    num(current.ConnectionType, partial.ConnectionType);
    if (!partial.DefinitionIds.empty()) current.DefinitionIds = partial.DefinitionIds;
    if (current.ConnectionType == eConnectionTcpIp) num(current.IpPort, partial.IpPort);
    if (current.ConnectionType == eConnectionSerial) {
        if (partial.ComPort >= -1) current.ComPort = partial.ComPort;
        num(current.BaudRate, partial.BaudRate);
        num(current.DataBits, partial.DataBits);
        num(current.Parity, partial.Parity);
        num(current.StopBits, partial.StopBits);
        num(current.FlowControl, partial.FlowControl);
    }
}

const char* ParityLetter(std::int32_t parity) {
    static const char* const kLetters[] = {"N", "O", "E", "M", "S"};
    return parity >= 0 && parity < 5 ? kLetters[parity] : "";
}

const char* StopBitsText(std::int32_t stopBits) {
    static const char* const kTexts[] = {"1", "1.5", "2"};
    return stopBits >= 0 && stopBits < 3 ? kTexts[stopBits] : "";
}

std::string SerialSummary(const TextStreamRecord& r, const std::string& unassigned) {
    if (r.ComPort < 0) return unassigned;
    char buf[96];
    std::snprintf(buf, sizeof buf, "COM%d:%d,%s,%d,%s", r.ComPort + 1, r.BaudRate, ParityLetter(r.Parity),
                  static_cast<int>(r.DataBits), StopBitsText(r.StopBits));
    return buf;
}

std::string DescriptionText(const TextStreamRecord& r, const std::string& unassigned) {
    if (r.ConnectionType == eConnectionTcpIp) {
        if (r.IpPort < 0) return unassigned;
        return "IP Port:" + std::to_string(r.IpPort);
    }
    return SerialSummary(r, unassigned);
}

std::string FormatIdentifierList(const std::vector<std::int32_t>& ids) {
    std::string out;
    for (auto id : ids) {
        if (!out.empty()) out += ',';
        out += std::to_string(id);
    }
    return out;
}

std::string StreamDefinitionList(const DefinitionSelections& s) {
    std::vector<std::int32_t> ids = s.receiptsReplaced ? s.receiptsReceipts : s.alarmsReceipts;
    const auto& exceptions = s.alarmsReplaced ? s.alarmsExceptions : s.receiptsExceptions;
    ids.insert(ids.end(), exceptions.begin(), exceptions.end());
    return FormatIdentifierList(ids);
}

std::int32_t NextListKey(const std::vector<TextStreamRecord>& records) {
    std::int32_t largest = -1;
    for (const auto& r : records) largest = std::max<std::int32_t>(largest, static_cast<std::int16_t>(r.ListKey));
    return largest + 1;
}

namespace {
std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

template <class T>
bool ReadNumber(std::string_view s, T& value) {
    s = TrimBlanks(s);
    if (s.empty()) return false;
    long long v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || p != s.data() + s.size()) return false;
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) return false;
    value = static_cast<T>(v);
    return true;
}

template <class F>
void ForEachField(std::string_view text, char sep, F&& f) {
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t next = text.find(sep, pos);
        if (next == std::string_view::npos) next = text.size();
        f(text.substr(pos, next - pos));
        pos = next + 1;
    }
}
}  // namespace

IdentifierListRead ReadIdentifierList(std::string_view text) {
    IdentifierListRead out;
    ForEachField(text, ',', [&](std::string_view field) {
        if (TrimBlanks(field).empty()) return;
        std::int32_t v = 0;
        if (ReadNumber(field, v)) out.ids.push_back(v);
        else out.unreadable.emplace_back(field);
    });
    return out;
}

std::optional<std::vector<std::int32_t>> ParseIdentifierList(std::string_view text) {
    IdentifierListRead read = ReadIdentifierList(text);
    if (!read.unreadable.empty()) return std::nullopt;
    return std::move(read.ids);
}

std::vector<std::string> SplitNameList(std::string_view text) {
    std::vector<std::string> names;
    ForEachField(text, ',', [&](std::string_view field) {
        if (!field.empty()) names.emplace_back(field);
    });
    return names;
}

// ---- the record line ----

namespace {
std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == ';' || c == '=' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

using StrField = std::string TextStreamRecord::*;
using I16Field = std::int16_t TextStreamRecord::*;
using I32Field = std::int32_t TextStreamRecord::*;
using IdsField = std::vector<std::int32_t> TextStreamRecord::*;

struct FieldRef {
    const char* name;
    std::variant<StrField, I16Field, I32Field, IdsField> member;
};

#define TS_FIELD(n) FieldRef{#n, &TextStreamRecord::n}
const FieldRef kFields[] = {
    TS_FIELD(Name),       TS_FIELD(HandlerName),         TS_FIELD(ConnectionName),     TS_FIELD(EndOfLine),
    TS_FIELD(ShowCustomerEntries), TS_FIELD(ShowJournalEntries), TS_FIELD(ApplyExceptionsAsGroup),
    TS_FIELD(DefinitionsChanged),  TS_FIELD(StreamId),   TS_FIELD(ComPort),    TS_FIELD(BaudRate),
    TS_FIELD(DataBits),   TS_FIELD(Parity),      TS_FIELD(StopBits),   TS_FIELD(FlowControl),
    TS_FIELD(CameraMask), TS_FIELD(ListKey),     TS_FIELD(ConnectionType),     TS_FIELD(IpPort),
    TS_FIELD(DefinitionIds),
};
#undef TS_FIELD
}  // namespace

std::string FormatStreamRecord(const TextStreamRecord& r) {
    std::string out;
    for (const auto& f : kFields) {
        if (!out.empty()) out += ';';
        out += f.name;
        out += '=';
        std::visit(
            [&](auto m) {
                using T = std::remove_cvref_t<decltype(r.*m)>;
                if constexpr (std::is_same_v<T, std::string>) out += Escape(r.*m);
                else if constexpr (std::is_same_v<T, std::vector<std::int32_t>>) out += FormatIdentifierList(r.*m);
                else out += std::to_string(r.*m);
            },
            f.member);
    }
    return out;
}

std::optional<TextStreamRecord> ParseStreamRecord(std::string_view text, std::string* error) {
    auto fail = [&](std::string why) -> std::optional<TextStreamRecord> {
        if (error) *error = std::move(why);
        return std::nullopt;
    };
    TextStreamRecord r;
    bool seen[std::size(kFields)] = {};
    size_t pos = 0;
    while (pos < text.size()) {
        // Field name up to '='.
        size_t eq = text.find('=', pos);
        size_t semi = text.find(';', pos);
        if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq))
            return fail("field without '=' at position " + std::to_string(pos));
        std::string_view name = text.substr(pos, eq - pos);
        // Value up to the first unescaped ';'.
        std::string value;
        size_t i = eq + 1;
        for (; i < text.size() && text[i] != ';'; ++i) {
            if (text[i] == '\\') {
                if (++i == text.size()) return fail("dangling escape in field " + std::string(name));
            }
            value += text[i];
        }
        pos = i + 1;
        size_t k = 0;
        while (k < std::size(kFields) && name != kFields[k].name) ++k;
        if (k == std::size(kFields)) return fail("unknown field \"" + std::string(name) + "\"");
        if (seen[k]) return fail("field " + std::string(name) + " given twice");
        seen[k] = true;
        const auto& f = kFields[k];
        bool ok = std::visit(
            [&](auto m) {
                using T = std::remove_cvref_t<decltype(r.*m)>;
                if constexpr (std::is_same_v<T, std::string>) {
                    r.*m = value;
                    return true;
                } else if constexpr (std::is_same_v<T, std::vector<std::int32_t>>) {
                    auto ids = ParseIdentifierList(value);
                    if (ids) r.*m = std::move(*ids);
                    return ids.has_value();
                } else {
                    return ReadNumber(value, r.*m);
                }
            },
            f.member);
        if (!ok) return fail("bad value \"" + value + "\" for field " + std::string(name));
    }
    return r;
}

}  // namespace textstreams
