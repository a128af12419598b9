#include "replyclock.h"

#include <chrono>
#include <thread>
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

std::uint32_t replyClockElapsedSince(std::uint64_t start)
{
    return std::uint32_t(replyClockNow() - start);
}

void pauseWithReplyClock(std::uint32_t milliseconds)
{
    if (!installedClock())
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

MillisecondClock setReplyClock(MillisecondClock clock)
{
    return std::exchange(installedClock(), std::move(clock));
}
