#pragma once

// Shared fixtures of the tests: a reply clock that runs only when read, and a
// process-wide bridge of simulated units that is taken down again afterwards.

#include "devicelink/replyclock.h"
#include "devicelink/simulated/simulatedbridge.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <initializer_list>
#include <memory>

// Every reading of the clock advances it by one millisecond, so a unit that
// never answers costs about 2000 queue queries and no real time.
class FakeReplyClock
{
public:
    FakeReplyClock();
    ~FakeReplyClock();
    FakeReplyClock(const FakeReplyClock &) = delete;
    FakeReplyClock &operator=(const FakeReplyClock &) = delete;

    std::uint64_t now() const { return *m_now; }
    void advance(std::uint64_t milliseconds) { *m_now += milliseconds; }

private:
    std::shared_ptr<std::uint64_t> m_now;
    MillisecondClock m_previous;
};

class ScopedSimulatedBridge
{
public:
    ScopedSimulatedBridge();
    ~ScopedSimulatedBridge();
    ScopedSimulatedBridge(const ScopedSimulatedBridge &) = delete;
    ScopedSimulatedBridge &operator=(const ScopedSimulatedBridge &) = delete;

    SimulatedBridge &operator*() const { return *m_bridge; }
    SimulatedBridge *operator->() const { return m_bridge.get(); }

private:
    std::shared_ptr<SimulatedBridge> m_bridge;
    std::shared_ptr<BridgeBackend> m_previous;
};

// As root the permission bits of files and folders stop nobody. While this
// lives, the calling thread runs without the capabilities that let root past
// them, so that a test sees a refusal as any other user would. Does nothing
// for another user, whom the bits stop anyway.
class ScopedFileAccessChecks
{
public:
    ScopedFileAccessChecks();
    ~ScopedFileAccessChecks();
    ScopedFileAccessChecks(const ScopedFileAccessChecks &) = delete;
    ScopedFileAccessChecks &operator=(const ScopedFileAccessChecks &) = delete;
};

// For a child process, between fork and exec (a QProcess child process
// modifier): files and devices without access refuse the child too, also when
// the tests run as root.
void denyFileAccessOverridesAcrossExec();

QByteArray bytes(std::initializer_list<int> values);

// The parameter or command number of each frame, in order.
QList<int> parameterNumbers(const QList<QByteArray> &frames);
