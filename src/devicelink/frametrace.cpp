#include "frametrace.h"

#include "siusbbridge.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <cstdio>

namespace {

bool withTimes = false;

QElapsedTimer &sinceEnabled()
{
    static QElapsedTimer timer;
    return timer;
}

void printFrame(FrameDirection direction, std::span<const std::uint8_t> bytes)
{
    QByteArray line = "nerio: ";
    if (withTimes)
        line += QByteArray::number(double(sinceEnabled().nsecsElapsed()) / 1e6, 'f', 3).rightJustified(10) + " ms ";
    line += direction == FrameDirection::Sent ? "->" : "<-";
    for (const std::uint8_t byte : bytes)
        line += ' ' + QByteArray::number(byte, 16).rightJustified(2, '0');
    std::fprintf(stderr, "%s\n", line.constData());
}

} // namespace

void enableFrameTrace(FrameTraceTimes times)
{
    withTimes = times == FrameTraceTimes::On;
    sinceEnabled().start();
    setFrameObserver(printFrame);
}

void disableFrameTrace()
{
    setFrameObserver(nullptr);
}

bool enableFrameTraceFromEnvironment()
{
    const QByteArray setting = qgetenv("NERIO_TRACE");
    if (setting.isEmpty() || setting == "0")
        return false;
    enableFrameTrace(setting == "times" ? FrameTraceTimes::On : FrameTraceTimes::Off);
    return true;
}
