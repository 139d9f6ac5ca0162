#include "storage/StorageVolumes.h"

#include <cmath>
#include <cstdio>

#include "util/Util.h"
#include "resources/Resources.h"

namespace storage {

std::string StatusText(std::int32_t state, bool marker) {
    int id = 0;
    switch (state) {
        case eVolumeActive: id = IDS_STATE_ACTIVE; break;
        case eVolumeEmpty: id = IDS_STATE_EMPTY; break;
        case eVolumeNonQuellan: id = IDS_STATE_NON_QUELLAN; break;
        case eVolumeOtherQuellan: id = IDS_STATE_OTHER_QUELLAN; break;
        case eVolumeMissing: id = IDS_STATE_MISSING; break;
        case eVolumeFailed: id = IDS_STATE_FAILED; break;
        case eVolumeCorrupt: id = IDS_STATE_CORRUPT; break;
        default: break;
    }
    std::string text = id ? res::LoadString(id) : std::string{};
    if (marker) text += "*";
    return text;
}

std::string SizeText(std::int32_t kilobytes) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2fGB", std::ldexp(static_cast<double>(kilobytes), -20));
    return buf;
}

std::string StartTimeText(std::int32_t start) {
    if (start == kNoStartTime) return "*";
    return CDateTime(static_cast<std::time_t>(start)).FormatLocal24HourDateTime();
}

std::string EndTimeText(std::int32_t end) {
    if (end == kNoEndTime) return "*";
    return CDateTime(static_cast<std::time_t>(end)).FormatLocal24HourDateTime();
}

std::string TimeRangeText(const std::string& start, const std::string& end) {
    if (start == "*" && end == "*") return "*";
    if (!start.empty() && !end.empty()) return start + "-" + end;
    return start.empty() ? end : start;
}

bool IsAddable(std::int32_t state) {
    return state == eVolumeEmpty || state == eVolumeNonQuellan || state == eVolumeOtherQuellan;
}

ButtonStates ButtonsForState(std::int32_t state) {
    switch (state) {
        case eVolumeActive: return {false, true, true, false};
        case eVolumeEmpty: return {true, true, true, false};
        case eVolumeNonQuellan:
        case eVolumeOtherQuellan: return {true, true, true, true};
        case eVolumeMissing:
        case eVolumeFailed: return {false, true, false, false};
        case eVolumeCorrupt: return {false, true, true, true};
        default: return {false, true, false, false};  // unknown to us: only exclusion is offered
    }
}

std::optional<int> ParsePercent(const std::string& text) {
    std::size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos) return std::nullopt;
    std::size_t e = text.find_last_not_of(" \t");
    std::string digits = text.substr(b, e - b + 1);
    if (digits.size() > 6) return std::nullopt;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 100) return std::nullopt;
    return value;
}

std::int32_t AllocationKB(std::int32_t sizeKB, int percent) {
    return static_cast<std::int32_t>(std::trunc(static_cast<double>(sizeKB) * percent * 0.01));
}

AddAllScan ScanStates(const std::vector<std::int32_t>& states) {
    AddAllScan s;
    for (std::int32_t st : states) {
        if (st == eVolumeOtherQuellan) s.otherDatabase = true;
        if (st == eVolumeNonQuellan) s.foreignData = true;
        if (st == eVolumeEmpty) s.empty = true;
        if (st == eVolumeActive || st == eVolumeEmpty || st == eVolumeNonQuellan) s.noneUsable = false;
    }
    return s;
}

bool AddAllInitialises(const AddAllScan& scan, bool convert) {
    return (scan.otherDatabase && !convert) || scan.foreignData || scan.empty;
}

eAddAllStep AddAllStepFor(std::int32_t state, bool convert) {
    if (state == eVolumeEmpty || state == eVolumeNonQuellan) return eAddAllStep::Initialise;
    if (state == eVolumeOtherQuellan) return convert ? eAddAllStep::Convert : eAddAllStep::Initialise;
    return eAddAllStep::Skip;
}

std::vector<std::pair<std::string, int>> ParseColumns(const std::string& headings, const std::string& widths) {
    std::vector<std::pair<std::string, int>> out;
    std::size_t pos = 0, wpos = 0;
    while (pos <= headings.size()) {
        std::size_t comma = headings.find(',', pos);
        std::string heading = headings.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        long width = 0;
        if (!CWWUtility::First_stol(widths, wpos, width)) width = 0;
        if (!heading.empty() || comma != std::string::npos) out.emplace_back(heading, static_cast<int>(width));
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return out;
}

std::string FillMessage(const std::string& format, std::initializer_list<std::string> values) {
    std::string out;
    auto next = values.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        char d = format[i + 1];
        if (d == '%') {
            out += '%';
            ++i;
        } else if (d == 's' || d == 'd') {
            if (next != values.end()) out += *next++;
            ++i;
        } else if (d == 'l' && i + 2 < format.size() && format[i + 2] == 'd') {
            if (next != values.end()) out += *next++;
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace storage
