#include "display/DwellTime.h"

#include <algorithm>
#include <cstdio>

#include "util/DisplayInfo.h"

namespace display {

namespace {
// Leading decimal number of a part (blanks skipped, optional sign), 0 when
// none; saturates instead of overflowing.
long LeadingNumber(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    long v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (v < 1000000) v = v * 10 + (s[i] - '0');
        ++i;
    }
    return negative ? -v : v;
}
}  // namespace

MinSec SplitDwell(std::int32_t seconds) {
    if (seconds < 0) return {};
    return {seconds / 60, seconds % 60};
}

std::string FormatDwell(std::int32_t seconds) {
    MinSec v = SplitDwell(seconds);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%ld:%02ld", v.minutes, v.seconds);
    return buf;
}

MinSec ParseDwell(const std::string& text) {
    size_t colon = text.find(':');
    if (colon == std::string::npos) return {0, LeadingNumber(text)};
    return {LeadingNumber(text.substr(0, colon)), LeadingNumber(text.substr(colon + 1))};
}

std::int32_t DwellSeconds(const MinSec& value) {
    const long total = value.minutes * 60 + value.seconds;
    return static_cast<std::int32_t>(std::clamp<long>(total, CDisplayInfo::kMinDwell, CDisplayInfo::kMaxDwell));
}

}  // namespace display
