#pragma once

#include <cstdint>
#include <functional>

// The millisecond count that the reply wait reads. Production uses a monotonic
// clock that does not wrap; tests install their own so that a 2000 ms time-out
// costs no real time. An installed clock may also be a 32-bit tick counter
// that wraps: waits measure their time modulo 2^32.
using MillisecondClock = std::function<std::uint64_t()>;

std::uint64_t replyClockNow();
// Milliseconds since `start`, an earlier reading, counted modulo 2^32 so that
// a wait ends on time whether or not the clock wraps meanwhile.
std::uint32_t replyClockElapsedSince(std::uint64_t start);
// Gives the processor back for about `milliseconds`, for a backend whose
// queue query finds nothing due, as a query that blocks in the kernel would.
// Under an installed clock it returns at once: that clock advances only when
// it is read, so sleeping would cost real time and show nothing.
void pauseWithReplyClock(std::uint32_t milliseconds);
// An empty clock restores the monotonic one. Returns the previous clock.
MillisecondClock setReplyClock(MillisecondClock clock);
