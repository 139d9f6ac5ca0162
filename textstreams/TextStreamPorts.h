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

namespace textstreams {

// The "Used Text IP Ports" list, in the list's sorted order: "IP Port %u",
// or "<IP Port %u>" for the dialog's own port (compared as 16-bit), which is
// remembered as own and selected (the first entry otherwise).
struct UsedIpPorts {
    std::vector<PortEntry> entries;
    int own = -1;
    int selected = -1;
};
UsedIpPorts BuildUsedIpPortList(const std::string& used, std::int32_t currentPort);
// Used: another entry than the dialog's own has the port.
bool IsIpPortUsed(const UsedIpPorts& list, std::int64_t port);
// A free port from the first entry's value (5100 without entries) upwards;
// empty when none below 65535 is free.
std::string ProposeIpPort(const UsedIpPorts& list);

enum class eIpPortCheck { Ok, OutOfRange, Used };
// The port text after trimming blanks: digits only, 1 to 65534, not used.
eIpPortCheck CheckIpPortText(const std::string& text, const UsedIpPorts& list);

}  // namespace textstreams
