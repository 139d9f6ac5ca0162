// The host's IPSourceConfig document, as the IP Sources page reads it (never
// written here): device types, configured sources and the camera mask.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Numbers.h"

namespace network {

struct IPDeviceType {
    std::string guid;
    std::string name;
};

struct IPSourceEntry {
    std::string guid;
    std::string address;
    std::string cameras;  // 1-based camera numbers, comma-separated
    std::uint8_t id = 0;
};

struct IPSourceConfig {
    long unassignedCameras = 0;
    std::vector<IPDeviceType> devices;
    std::vector<IPSourceEntry> sources;
};

// Numbers with automatic base ("0x" hexadecimal, leading "0" octal); a text
// longer than 31 characters reads as 0; read into the unit's 32-bit long
// (saturating).
inline std::int32_t ReadConfigNumber(std::string_view text) { return text.size() > 31 ? 0 : StrToLong32(text, 0); }

// False when the text ends before an element's end tag; out then holds what
// was read up to there.
bool ReadIPSourceConfig(const std::string& xml, IPSourceConfig& out);

// The language code handed to the host with configuration data requests:
// "DEU" 1, "FRA" 2, "ESP" 3, "POR" 4, "CHI" 5 (exact), anything else 0.
int LanguageCode(const std::string& systemLanguage);

// Bit n-1 set for every camera number n of every source (the low five bits
// of n-1 choose the bit); each list is read up to its first empty piece.
std::uint32_t AssignedCameraMask(const std::vector<IPSourceEntry>& sources);

// Text of row r, column c of the source list: device type name, address,
// cameras; "Device GUID not found" for an unknown type and "Invalid Source
// Row %d" past the last source.
std::string SourceRowText(const IPSourceConfig& config, int row, int column);

}  // namespace network
