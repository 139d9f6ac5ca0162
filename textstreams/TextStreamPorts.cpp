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
