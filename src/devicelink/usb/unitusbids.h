#pragma once

// How a unit shows itself on the USB: its IDs and the one interface through
// which frames travel. The USB backend and the emulated units of the tests
// both go by these.

#include <cstdint>
#include <optional>
#include <string_view>

namespace UnitUsb {
inline constexpr std::uint16_t vendorId = 0x10C4;
inline constexpr std::uint16_t bodypackProductId = 0xEAB0;
inline constexpr std::uint16_t aircraftPackProductId = 0xEAB1;
inline constexpr std::uint8_t configuration = 1;
inline constexpr std::uint8_t interfaceNumber = 0;
inline constexpr std::uint8_t interfaceClass = 0xFF; // vendor specific
inline constexpr std::uint16_t maxPacketSize = 64;

// The kind's name as the device list shows it when the unit's own product
// string cannot be read; std::nullopt for a product ID that is no unit.
constexpr std::optional<std::string_view> kindName(std::uint16_t productId)
{
    switch (productId) {
    case bodypackProductId:
        return "Nerio Bodypack";
    case aircraftPackProductId:
        return "Nerio Aircraft Pack";
    default:
        return std::nullopt;
    }
}
} // namespace UnitUsb
