// The CameraControl document: which handler controls each camera, with the
// camera's address on the control line, its serial port and monitor number.
//
// Pure logic, free of the dialog model: the writer produces the exact text the
// host stores; the reader is lenient (names in any case, any number of
// Associations blocks anywhere, unknown elements skipped) and never fails.
#pragma once
#include <cstdint>
#include <string>

#include "foundation/HostStrings.h"
#include "foundation/Numbers.h"
#include <string_view>
#include <vector>

namespace cameras {

// One handler offered by the host.
struct CameraHandlerInfo {
    std::int32_t index = -1;  // the host's index (argument of GetHandler)
    std::string DisplayName;
    std::string ProgramID;
};

// One camera's handler.  -1 and empty mean "not set".
struct CameraHandlerAssociation {
    std::int16_t CameraNumber = -1;   // zero-based, 0 to 15
    std::string ProgramID;
    std::string SerialPort;           // empty: the handler uses no port
    std::int16_t CameraAddress = -1;  // 1 to 9999
    std::int16_t MonitorNum = -1;     // negative: not used

    bool operator==(const CameraHandlerAssociation&) const = default;
};

using AssociationList = std::vector<CameraHandlerAssociation>;

// CameraControl / Associations / Handler..., tab-indented, CR LF line ends.
std::string WriteCameraControlXml(const AssociationList& associations);

// Replaces nothing: answers the associations read from text.  Handlers with a
// camera outside 0 to 15 (as 16-bit) or without ProgramID are dropped.
AssociationList ReadCameraControlXml(const std::string& text);

// The C library's leading-integer conversion of element text into the unit's
// 32-bit long (0 when the text does not start with a number; saturating).
inline std::int32_t LeadingInteger(std::string_view text) { return StrToLong32(text, 10); }

// Names of elements compare without regard to ASCII letter case.
using mirelle::EqualsNoCase;

}  // namespace cameras
