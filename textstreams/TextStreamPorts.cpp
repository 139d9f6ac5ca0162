#include "textstreams/TextStreamPorts.h"

#include "textstreams/TextStreamRecord.h"

namespace textstreams {

namespace {
std::string ComName(std::int32_t n) { return "COM" + std::to_string(static_cast<long long>(n) + 1); }
}  // namespace

PortList BuildComPortList(const std::string& available, std::int32_t currentPort, const std::string& unassigned) {
    PortList out;
    bool placed = currentPort < 0;
    for (const auto& field : SplitNameList(available)) {
        auto one = ParseIdentifierList(field);
        if (!one || one->size() != 1) continue;
        std::int32_t n = (*one)[0];
        if (!placed && n == currentPort) {
            placed = true;
            out.selected = static_cast<int>(out.entries.size());
        } else if (!placed && n > currentPort) {
            placed = true;
            out.selected = static_cast<int>(out.entries.size());
            out.entries.push_back({ComName(currentPort), currentPort});
        }
        out.entries.push_back({n == -1 ? unassigned : ComName(n), n});
    }
    if (!placed) {
        int at = out.entries.empty() ? 0 : static_cast<int>(out.entries.size()) - 1;
        out.entries.insert(out.entries.begin() + at, {ComName(currentPort), currentPort});
        out.selected = at;
    }
    if (out.selected < 0 && !out.entries.empty()) out.selected = 0;
    return out;
}

const std::vector<std::int32_t>& BaudRates() {
    static const std::vector<std::int32_t> kRates = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                                     19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return kRates;
}

}  // namespace textstreams

#include <algorithm>

namespace textstreams {

UsedIpPorts BuildUsedIpPortList(const std::string& used, std::int32_t currentPort) {
    UsedIpPorts out;
    const auto current = static_cast<std::uint16_t>(currentPort);
    std::vector<std::pair<PortEntry, bool>> rows;
    for (const auto& field : SplitNameList(used)) {
        auto one = ParseIdentifierList(field);
        if (!one || one->size() != 1) continue;
        auto p = static_cast<std::uint16_t>((*one)[0]);
        bool own = p == current && std::none_of(rows.begin(), rows.end(), [](const auto& r) { return r.second; });
        std::string text = (own ? "<IP Port " : "IP Port ") + std::to_string(p) + (own ? ">" : "");
        rows.push_back({{text, p}, own});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first.text < b.first.text; });
    for (const auto& [entry, own] : rows) {
        if (own) out.own = static_cast<int>(out.entries.size());
        out.entries.push_back(entry);
    }
    out.selected = out.own >= 0 ? out.own : (out.entries.empty() ? -1 : 0);
    return out;
}

bool IsIpPortUsed(const UsedIpPorts& list, std::int64_t port) {
    for (size_t i = 0; i < list.entries.size(); ++i)
        if (static_cast<int>(i) != list.own && list.entries[i].value == port) return true;
    return false;
}

std::string ProposeIpPort(const UsedIpPorts& list) {
    std::int64_t candidate = list.entries.empty() ? 5100 : list.entries.front().value;
    while (IsIpPortUsed(list, candidate)) ++candidate;
    return candidate < 65535 ? std::to_string(candidate) : std::string{};
}

eIpPortCheck CheckIpPortText(const std::string& text, const UsedIpPorts& list) {
    size_t b = text.find_first_not_of(" \t"), e = text.find_last_not_of(" \t");
    std::string t = b == std::string::npos ? std::string{} : text.substr(b, e - b + 1);
    long port = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return eIpPortCheck::OutOfRange;
        port = std::min(port * 10 + (c - '0'), 1000000L);
    }
    if (port < 1 || port > 65534) return eIpPortCheck::OutOfRange;
    return IsIpPortUsed(list, port) ? eIpPortCheck::Used : eIpPortCheck::Ok;
}

}  // namespace textstreams
