#include "testsupport.h"

FakeReplyClock::FakeReplyClock()
    : m_now(std::make_shared<std::uint64_t>(1'000'000))
{
    m_previous = setReplyClock([now = m_now] { return (*now)++; });
}

FakeReplyClock::~FakeReplyClock()
{
    setReplyClock(m_previous);
}

ScopedSimulatedBridge::ScopedSimulatedBridge()
    : m_bridge(std::make_shared<SimulatedBridge>())
{
    m_previous = installBridgeBackend(m_bridge);
}

ScopedSimulatedBridge::~ScopedSimulatedBridge()
{
    installBridgeBackend(m_previous);
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (const int value : values)
        result.append(char(value));
    return result;
}

QList<int> parameterNumbers(const QList<QByteArray> &frames)
{
    QList<int> numbers;
    for (const QByteArray &frame : frames)
        numbers.append(std::uint8_t(frame[2]));
    return numbers;
}
