#include "textstreams/TextStreamSheetRules.h"

#include <cmath>

namespace textstreams {

std::int32_t VersionTimes100(double version) {
    const double scaled = std::trunc(version * 100.0);
    if (!std::isfinite(scaled) || scaled > 2147483647.0 || scaled < -2147483648.0) return 240;
    return static_cast<std::int32_t>(scaled);
}

std::vector<eStreamPage> StreamSheetPages(double version, const std::function<std::int16_t()>& featureEnabled) {
    std::vector<eStreamPage> pages{eStreamPage::TextSource, eStreamPage::CameraAssociations};
    const bool wanted = version * 100.0 >= 310.0 && featureEnabled && featureEnabled() != 0;
    if (wanted) {
        pages.push_back(eStreamPage::Alarms);
        pages.push_back(eStreamPage::ReceiptDefinitions);
    }
    return pages;
}

std::int32_t StreamPageHelpTopic(std::optional<eStreamPage> page) {
    if (!page) return 0;
    switch (*page) {
        case eStreamPage::TextSource: return 75;
        case eStreamPage::CameraAssociations: return 77;
        case eStreamPage::Alarms: return 79;
        case eStreamPage::ReceiptDefinitions: return 84;
    }
    return 0;
}

}  // namespace textstreams
