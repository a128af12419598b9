#pragma once

// How a unit shows itself on the USB beyond its product ID (the kind table's):
// the one interface through which frames travel. The USB backend and the
// emulated units of the tests both go by these.

#include <cstdint>

namespace UnitUsb {
inline constexpr std::uint8_t configuration = 1;
inline constexpr std::uint8_t interfaceNumber = 0;
inline constexpr std::uint8_t interfaceClass = 0xFF; // vendor specific
inline constexpr std::uint16_t maxPacketSize = 64;
} // namespace UnitUsb
