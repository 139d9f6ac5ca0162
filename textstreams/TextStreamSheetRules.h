// Version and feature rules of the text stream sheet: which pages it
// carries, the help topic of the active page, and what the Text Source page
// shows for a given host software version.  Free of the dialog model so
// that it can be exercised on its own.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace textstreams {

enum class eStreamPage { TextSource, CameraAssociations, Alarms, ReceiptDefinitions };

// Host version times 100, truncated toward zero (3.1 -> 310).
std::int32_t VersionTimes100(double version);

// Feature code that switches the text alarm pages on.
inline constexpr std::int32_t kTextAlarmsFeature = 25;

// Pages in sheet order.  The feature is asked (featureEnabled) only when
// the version times 100 is 310.0 or more; the alarm pages are added when it
// answers non-zero.
std::vector<eStreamPage> StreamSheetPages(double version, const std::function<std::int16_t()>& featureEnabled);

// Help topic of the active page; 0 with no active page.
std::int32_t StreamPageHelpTopic(std::optional<eStreamPage> page);

// Text Source page: the handler list is shown above 310; the connection
// types are asked from the host above 320 (else one "COM Port" entry).
inline bool ShowsHandlerList(std::int32_t versionTimes100) { return versionTimes100 > 310; }
inline bool AsksConnectionTypes(std::int32_t versionTimes100) { return versionTimes100 > 320; }

}  // namespace textstreams
