// Times a whole-set bodypack read and write over each transport, the libusb
// backend on emulated USB units (umockdev) and the simulated units in-process,
// and counts the bridge calls that each exchange makes.
//
// Usage: bench_exchange [rounds]. It restarts itself under umockdev-wrapper
// when it does not run under it already. Times under umockdev measure the
// emulation, not a unit on a real bus: every usbfs ioctl is a round trip to
// umockdev's thread, and the mocked device node always polls ready.

#include "devicelink/simulated/simulatedbridge.h"
#include "devicelink/usb/libusbbridge.h"
#include "packparameters/bodypackparameters.h"
#include "umockdevrestart.h"
#include "usb/emulatedunits.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <cstdlib>

namespace {

struct CallCounts
{
    std::uint64_t productString = 0;
    std::uint64_t open = 0;
    std::uint64_t write = 0;
    std::uint64_t checkRxQueue = 0;
    std::uint64_t read = 0;
    std::uint64_t close = 0;

    std::uint64_t total() const { return productString + open + write + checkRxQueue + read + close; }
};

// Passes every call on and counts it.
class CountingBridge : public BridgeBackend
{
public:
    explicit CountingBridge(std::shared_ptr<BridgeBackend> inner) : m_inner(std::move(inner)) {}

    CallCounts counts;

    SiStatus getNumDevices(std::uint32_t &count) override { return m_inner->getNumDevices(count); }
    SiStatus getProductString(std::uint32_t device, std::span<char, kProductStringSize> buffer,
                              ProductStringOption option) override
    {
        ++counts.productString;
        return m_inner->getProductString(device, buffer, option);
    }
    SiStatus open(std::uint32_t device, SiHandle &handle) override
    {
        ++counts.open;
        return m_inner->open(device, handle);
    }
    SiStatus close(SiHandle handle) override
    {
        ++counts.close;
        return m_inner->close(handle);
    }
    SiStatus write(SiHandle handle, std::span<const std::uint8_t> frame, std::uint32_t &written) override
    {
        ++counts.write;
        return m_inner->write(handle, frame, written);
    }
    SiStatus read(SiHandle handle, std::span<std::uint8_t> buffer, std::uint32_t &bytesRead) override
    {
        ++counts.read;
        return m_inner->read(handle, buffer, bytesRead);
    }
    SiStatus checkRxQueue(SiHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus) override
    {
        ++counts.checkRxQueue;
        return m_inner->checkRxQueue(handle, queued, queueStatus);
    }

private:
    std::shared_ptr<BridgeBackend> m_inner;
};

struct SetFigures
{
    std::int64_t nanoseconds = 0;
    CallCounts calls;
};

QTextStream out(stdout);

void report(const char *transport, const char *set, const SetFigures &figures, int rounds)
{
    const double exchanges = double(figures.calls.write) / rounds;
    const double setMs = double(figures.nanoseconds) / rounds / 1e6;
    out << qSetFieldWidth(22) << Qt::left << transport << qSetFieldWidth(7) << set << qSetFieldWidth(0) << Qt::right
        << qSetFieldWidth(10) << QString::number(setMs, 'f', 3) << qSetFieldWidth(12)
        << QString::number(setMs / exchanges, 'f', 3) << qSetFieldWidth(11) << QString::number(exchanges, 'f', 0)
        << qSetFieldWidth(12) << QString::number(double(figures.calls.total()) / figures.calls.write, 'f', 2)
        << qSetFieldWidth(12) << QString::number(double(figures.calls.checkRxQueue) / figures.calls.write, 'f', 2)
        << qSetFieldWidth(0) << Qt::endl;
}

// Reads and writes the bodypack at device 0 `rounds` times through `bridge`.
bool measure(const char *transport, const std::shared_ptr<BridgeBackend> &bridge, int rounds)
{
    const auto counting = std::make_shared<CountingBridge>(bridge);
    const auto previous = installBridgeBackend(counting);
    SetFigures reading;
    SetFigures writing;
    Errortype error;
    for (int round = 0; round < rounds && !error.status; ++round) {
        Body_cfg_params record;
        QElapsedTimer timer;
        counting->counts = {};
        timer.start();
        C_Bodypackparameters().read_params(0, record, error);
        reading.nanoseconds += timer.nsecsElapsed();
        const CallCounts afterRead = counting->counts;

        record.sv = QStringLiteral("1.0.5");
        counting->counts = {};
        timer.start();
        C_Bodypackparameters().write_params(0, record, error);
        writing.nanoseconds += timer.nsecsElapsed();

        for (auto [figures, counts] : {std::pair{&reading, afterRead}, std::pair{&writing, counting->counts}}) {
            figures->calls.productString += counts.productString;
            figures->calls.open += counts.open;
            figures->calls.write += counts.write;
            figures->calls.checkRxQueue += counts.checkRxQueue;
            figures->calls.read += counts.read;
            figures->calls.close += counts.close;
        }
    }
    installBridgeBackend(previous);
    if (error.status) {
        out << transport << ": " << error.message << Qt::endl;
        return false;
    }
    report(transport, "read", reading, rounds);
    report(transport, "write", writing, rounds);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    ensureUnderUmockdev(argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    out << "Whole-set bodypack read and write, mean of " << rounds << " rounds; times in ms" << Qt::endl;
    out << "transport             set     per set per exchange  exchanges  calls/exch  queries/exch" << Qt::endl;
    bool ok = measure("simulated units", SimulatedBridge::withDemoUnits(), rounds);
    {
        EmulatedUnits units;
        units.plug(SimulatedUnit::demoBodypack(), {1, 1});
        ok = measure("libusb on umockdev", makeLibusbBridge(), rounds) && ok;
    }
    out << "calls/exch: bridge calls per exchange, the product ID query of each set included;" << Qt::endl
        << "queries/exch: receive queue queries per exchange." << Qt::endl;
    return ok ? 0 : 1;
}
