#pragma once

// Bridge backend with in-process simulated units, for the demo and the tests.

#include "devicelink/siusbbridge.h"
#include "simulatedunit.h"

#include <map>
#include <memory>
#include <vector>

class SimulatedBridge : public BridgeBackend
{
public:
    // Attaches a unit after those already attached and returns it, so that a
    // test can give it faults and read the frames it received.
    std::shared_ptr<SimulatedUnit> plug(SimulatedUnit unit);
    void unplug(const std::shared_ptr<SimulatedUnit> &unit);

    // A bridge with the demo's bodypack and aircraft pack attached.
    static std::shared_ptr<SimulatedBridge> withDemoUnits();

    // Handles opened and not closed again; 0 between exchanges.
    std::size_t openHandleCount() const { return m_open.size(); }

    SiStatus getNumDevices(std::uint32_t &count) override;
    SiStatus getProductString(std::uint32_t device, std::span<char, kProductStringSize> buffer,
                              ProductStringOption option) override;
    SiStatus open(std::uint32_t device, SiHandle &handle) override;
    SiStatus close(SiHandle handle) override;
    SiStatus write(SiHandle handle, std::span<const std::uint8_t> frame, std::uint32_t &written) override;
    SiStatus read(SiHandle handle, std::span<std::uint8_t> buffer, std::uint32_t &bytesRead) override;
    SiStatus checkRxQueue(SiHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus) override;

private:
    struct OpenUnit
    {
        std::shared_ptr<SimulatedUnit> unit;
        QByteArray pending;
        std::uint64_t readyAt = 0;
    };

    std::shared_ptr<SimulatedUnit> listed(std::uint32_t device);
    OpenUnit *openUnit(SiHandle handle);

    std::vector<std::shared_ptr<SimulatedUnit>> m_attached;
    // Device numbers refer to the units as listed by the last count.
    std::vector<std::shared_ptr<SimulatedUnit>> m_listing;
    bool m_listed = false;
    std::map<SiHandle, OpenUnit> m_open;
    SiHandle m_nextHandle = 1;
};
