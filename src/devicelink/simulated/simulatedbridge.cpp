#include "simulatedbridge.h"

#include "devicelink/replyclock.h"

#include <algorithm>
#include <cstring>

std::shared_ptr<SimulatedUnit> SimulatedBridge::plug(SimulatedUnit unit)
{
    auto attached = std::make_shared<SimulatedUnit>(std::move(unit));
    m_attached.push_back(attached);
    return attached;
}

void SimulatedBridge::unplug(const std::shared_ptr<SimulatedUnit> &unit)
{
    unit->unplugged = true;
    std::erase(m_attached, unit);
}

std::shared_ptr<SimulatedBridge> SimulatedBridge::withDemoUnits()
{
    auto bridge = std::make_shared<SimulatedBridge>();
    bridge->plug(SimulatedUnit::demoBodypack());
    bridge->plug(SimulatedUnit::demoAircraftPack());
    return bridge;
}

SiStatus SimulatedBridge::getNumDevices(std::uint32_t &count)
{
    m_listing = m_attached;
    m_listed = true;
    count = std::uint32_t(m_listing.size());
    return kBridgeSuccess;
}

std::shared_ptr<SimulatedUnit> SimulatedBridge::listed(std::uint32_t device)
{
    if (!m_listed)
        m_listing = m_attached;
    if (device >= m_listing.size() || m_listing[device]->unplugged)
        return nullptr;
    return m_listing[device];
}

SiStatus SimulatedBridge::getProductString(std::uint32_t device, std::span<char, kProductStringSize> buffer,
                                           ProductStringOption option)
{
    const auto unit = listed(device);
    if (!unit)
        return kBridgeFailure;
    const std::optional<std::string> text =
        option == ProductStringOption::ProductId ? unit->productId() : unit->description();
    if (!text)
        return kBridgeFailure;
    const std::size_t length = text->copy(buffer.data(), buffer.size() - 1);
    buffer[length] = '\0';
    return kBridgeSuccess;
}

SiStatus SimulatedBridge::open(std::uint32_t device, SiHandle &handle)
{
    const auto unit = listed(device);
    if (!unit || unit->faults.openFails)
        return kBridgeFailure;
    handle = m_nextHandle++;
    m_open[handle] = OpenUnit{unit, {}, 0};
    return kBridgeSuccess;
}

SiStatus SimulatedBridge::close(SiHandle handle)
{
    return m_open.erase(handle) ? kBridgeSuccess : kBridgeFailure;
}

SimulatedBridge::OpenUnit *SimulatedBridge::openUnit(SiHandle handle)
{
    const auto it = m_open.find(handle);
    if (it == m_open.end() || it->second.unit->unplugged)
        return nullptr;
    return &it->second;
}

SiStatus SimulatedBridge::write(SiHandle handle, std::span<const std::uint8_t> frame, std::uint32_t &written)
{
    OpenUnit *open = openUnit(handle);
    if (!open)
        return kBridgeFailure;
    SimulatedUnit &unit = *open->unit;
    if (unit.faults.unplugAtExchange && unit.exchangeCount() >= *unit.faults.unplugAtExchange) {
        unplug(open->unit);
        return kBridgeFailure;
    }
    if (unit.faults.writeFails)
        return kBridgeFailure;
    const UnitBytes reply = unit.receive(frame).value_or(UnitBytes());
    written = std::uint32_t(frame.size());
    open->pending = QByteArray(reinterpret_cast<const char *>(reply.data()), qsizetype(reply.size()));
    open->readyAt = replyClockNow() + unit.faults.replyDelayMs;
    return kBridgeSuccess;
}

SiStatus SimulatedBridge::checkRxQueue(SiHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus)
{
    queued = 0;
    queueStatus = 0;
    OpenUnit *open = openUnit(handle);
    if (!open)
        return kBridgeFailure;
    if (!open->pending.isEmpty() && replyClockNow() >= open->readyAt) {
        queued = std::uint32_t(open->pending.size());
        queueStatus = open->unit->faults.queueNeverReady ? 0 : kRxQueueReady;
    } else {
        // The reply wait queries without a pause; like the real units' query,
        // which blocks in the kernel, this one waits a moment while nothing is
        // queued, so that a silent unit does not keep a core busy.
        constexpr std::uint32_t kEmptyQueuePauseMs = 1;
        pauseWithReplyClock(kEmptyQueuePauseMs);
    }
    return kBridgeSuccess;
}

SiStatus SimulatedBridge::read(SiHandle handle, std::span<std::uint8_t> buffer, std::uint32_t &bytesRead)
{
    bytesRead = 0;
    OpenUnit *open = openUnit(handle);
    if (!open || buffer.empty() || open->pending.isEmpty() || replyClockNow() < open->readyAt)
        return kBridgeFailure;
    const auto count = std::min<std::size_t>(buffer.size(), std::size_t(open->pending.size()));
    std::memcpy(buffer.data(), open->pending.constData(), count);
    open->pending.remove(0, qsizetype(count));
    bytesRead = std::uint32_t(count);
    return kBridgeSuccess;
}
