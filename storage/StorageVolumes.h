// Volume facts as the storage dialog shows them, and the decisions of its
// operations: pure functions over the host's values, free of the dialog.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace storage {

enum eVolumeState : std::int32_t {
    eVolumeActive = 0,
    eVolumeEmpty = 1,
    eVolumeNonQuellan = 2,
    eVolumeOtherQuellan = 3,
    eVolumeMissing = 4,
    eVolumeFailed = 5,
    eVolumeCorrupt = 6,
};

// The host's time values that mean "no such time".
constexpr std::int32_t kNoStartTime = 2085724800;
constexpr std::int32_t kNoEndTime = 115200;

// String ids of the storage setup.
enum : int {
    IDS_COLUMN_WIDTHS = 1024,
    IDS_COLUMN_HEADINGS = 1025,
    IDS_STATE_ACTIVE = 1026,
    IDS_STATE_EMPTY = 1027,
    IDS_STATE_OTHER_QUELLAN = 1028,
    IDS_STATE_MISSING = 1029,
    IDS_STATE_FAILED = 1030,
    IDS_STATE_CORRUPT = 1031,
    IDS_SIZE_FAILED = 1032,
    IDS_INITIALIZE_FAILED = 1033,
    IDS_CONVERT_QUESTION = 1034,
    IDS_STATE_NON_QUELLAN = 1035,
    IDS_NON_QUELLAN_QUESTION = 1036,
    IDS_CONVERT_ALL_QUESTION = 1056,
    IDS_NON_QUELLAN_ALL_QUESTION = 1057,
    IDS_CONVERT_FAILED = 1058,
    IDS_REMOVE_ACTIVE_QUESTION = 1059,
    IDS_REMOVE_QUESTION = 1060,
    IDS_REPAIR_QUESTION = 1061,
    IDS_REPAIR_COMPLETE = 1062,
    IDS_REPAIR_FAILED = 1063,
    IDS_STORAGE_TITLE = 1065,
    // Our own: a host failure during a volume operation, and a percentage
    // outside 1..100 in the label dialog.
    IDS_OPERATION_ERROR = 9510,
    IDS_PERCENT_RANGE = 9511,
};

// Status column: the state's text ("" for an unknown code), "*" appended
// when the host's marker flag is set.
std::string StatusText(std::int32_t state, bool marker);

// Sizes in kilobytes shown in gigabytes ("%.2fGB").
std::string SizeText(std::int32_t kilobytes);

// Start or end of a time range: local 24-hour text, "*" for the no-time value.
std::string StartTimeText(std::int32_t start);
std::string EndTimeText(std::int32_t end);
// Both "*" gives "*"; both non-empty gives start-end; otherwise the non-empty one.
std::string TimeRangeText(const std::string& start, const std::string& end);

// States the dialog can add (1, 2, 3).
bool IsAddable(std::int32_t state);

struct ButtonStates {
    bool add = false, remove = false, label = false, repair = false;
    bool operator==(const ButtonStates&) const = default;
};
// Buttons for the selected volume's state.
ButtonStates ButtonsForState(std::int32_t state);

// The percentage of the label dialog: a whole number from 1 to 100 (blanks
// around it allowed); nothing otherwise.
std::optional<int> ParsePercent(const std::string& text);

// Kilobytes to allocate: size x percentage x 0.01, truncated toward zero.
std::int32_t AllocationKB(std::int32_t sizeKB, int percent);

// Add All: what the scan of every volume's state found.
struct AddAllScan {
    bool otherDatabase = false;  // some state 3
    bool foreignData = false;    // some state 2
    bool empty = false;          // some state 1
    bool noneUsable = true;      // no state 0, 1 or 2
};
AddAllScan ScanStates(const std::vector<std::int32_t>& states);
// Whether some volume will be initialised (so the label dialog is needed).
bool AddAllInitialises(const AddAllScan& scan, bool convert);

enum class eAddAllStep { Skip, Initialise, Convert };
eAddAllStep AddAllStepFor(std::int32_t state, bool convert);

// List columns from the heading text and the width text (both
// comma-separated); a missing width is 0.
std::vector<std::pair<std::string, int>> ParseColumns(const std::string& headings, const std::string& widths);

// Fills the printf conversions of a message text in order with the given
// texts ("%s", "%d", "%ld" each take the next one; "%%" is a percent sign).
// Conversions without a value are left out.
std::string FillMessage(const std::string& format, std::initializer_list<std::string> values);

}  // namespace storage
