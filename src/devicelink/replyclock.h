#pragma once

#include <cstdint>
#include <functional>

// The millisecond count that the reply wait reads. Production uses a monotonic
// clock that does not wrap; tests install their own so that a 2000 ms time-out
// costs no real time.
using MillisecondClock = std::function<std::uint64_t()>;

std::uint64_t replyClockNow();
// An empty clock restores the monotonic one. Returns the previous clock.
MillisecondClock setReplyClock(MillisecondClock clock);
