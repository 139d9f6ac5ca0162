// Port lists of the serial and TCP/IP port dialogs, free of the dialog model.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace textstreams {

struct PortEntry {
    std::string text;
    std::int32_t value = 0;
    bool operator==(const PortEntry&) const = default;
};

struct PortList {
    std::vector<PortEntry> entries;
    int selected = -1;  // -1: nothing selected (empty list)
};

// The serial port list from the host's comma-separated zero-based port
// numbers: "COM%d" with n + 1, unassigned for -1.  A current port (zero or
// more) that the host does not list is inserted ahead of the first listed
// number above it, or at the position of the last entry when there is none,
// and selected; a listed current port is selected where it is; otherwise the
// first entry is.  Fields that are not numbers are skipped.
PortList BuildComPortList(const std::string& available, std::int32_t currentPort, const std::string& unassigned);

// The table of the serial dialog's fixed lists.
const std::vector<std::int32_t>& BaudRates();

}  // namespace textstreams
