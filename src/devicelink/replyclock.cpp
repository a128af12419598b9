#include "replyclock.h"

#include <chrono>
#include <utility>

namespace {

std::uint64_t steadyMilliseconds()
{
    using namespace std::chrono;
    return std::uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

MillisecondClock &installedClock()
{
    static MillisecondClock clock;
    return clock;
}

} // namespace

std::uint64_t replyClockNow()
{
    const MillisecondClock &clock = installedClock();
    return clock ? clock() : steadyMilliseconds();
}

MillisecondClock setReplyClock(MillisecondClock clock)
{
    return std::exchange(installedClock(), std::move(clock));
}
