#pragma once

// The frames of the parameter protocol, in plain C++ without Qt so that the
// unit model and the Windows tests can use them too.

#include <cstddef>
#include <cstdint>

inline constexpr std::uint8_t kReadOperation = 82;    // 'R'
inline constexpr std::uint8_t kWriteOperation = 87;   // 'W'
inline constexpr std::uint8_t kCommandOperation = 67; // 'C'
inline constexpr std::uint32_t kReplyTimeoutMs = 2000;
inline constexpr std::size_t kFrameBufferSize = 10;
inline constexpr std::size_t kMaxDataBytes = kFrameBufferSize - 4;
