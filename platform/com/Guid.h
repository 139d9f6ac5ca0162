// 128-bit identifiers of classes, interfaces and type libraries.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace com {

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::array<std::uint8_t, 8> Data4{};

    friend bool operator==(const GUID&, const GUID&) = default;
    friend auto operator<=>(const GUID&, const GUID&) = default;
};

using IID = GUID;
using CLSID = GUID;

constexpr GUID GUID_NULL{};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
std::string GuidToString(const GUID& g);
// Accepts the braced form above (either case); nullopt when malformed.
std::optional<GUID> GuidFromString(std::string_view text);

// Compile-time literal: MakeGuid(0x12345678, 0x1234, 0x1234, {..8 bytes..}).
constexpr GUID MakeGuid(std::uint32_t d1, std::uint16_t d2, std::uint16_t d3,
                        std::array<std::uint8_t, 8> d4) {
    return GUID{d1, d2, d3, d4};
}

}  // namespace com
