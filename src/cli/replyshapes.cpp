#include "replyshapes.h"

#include "devicelink/cparameter.h"

#include <algorithm>

class ReplyRecorder : public BridgeBackend
{
public:
    explicit ReplyRecorder(std::shared_ptr<BridgeBackend> inner) : m_inner(std::move(inner)) {}

    std::optional<int> dataBytes(std::uint16_t device, std::uint8_t parameter) const
    {
        const auto it = m_dataBytes.find({device, parameter});
        return it == m_dataBytes.end() ? std::nullopt : std::optional<int>(it->second);
    }

    SiStatus getNumDevices(std::uint32_t &count) override { return m_inner->getNumDevices(count); }
    SiStatus getProductString(std::uint32_t device, std::span<char, kProductStringSize> buffer,
                              ProductStringOption option) override
    {
        return m_inner->getProductString(device, buffer, option);
    }
    SiStatus open(std::uint32_t device, SiHandle &handle) override
    {
        const SiStatus status = m_inner->open(device, handle);
        if (status == kBridgeSuccess)
            m_exchanges[handle] = {std::uint16_t(device), std::nullopt};
        return status;
    }
    SiStatus close(SiHandle handle) override
    {
        m_exchanges.erase(handle);
        return m_inner->close(handle);
    }
    SiStatus write(SiHandle handle, std::span<const std::uint8_t> frame, std::uint32_t &written) override
    {
        const auto exchange = m_exchanges.find(handle);
        if (exchange != m_exchanges.end())
            exchange->second.readParameter =
                frame.size() > 2 && frame[1] == kReadOperation ? std::optional(frame[2]) : std::nullopt;
        return m_inner->write(handle, frame, written);
    }
    SiStatus read(SiHandle handle, std::span<std::uint8_t> buffer, std::uint32_t &bytesRead) override
    {
        const SiStatus status = m_inner->read(handle, buffer, bytesRead);
        const auto exchange = m_exchanges.find(handle);
        if (status == kBridgeSuccess && bytesRead > 0 && exchange != m_exchanges.end()
            && exchange->second.readParameter)
            // The protocol takes the bytes from offset 3 up to the length byte
            // as the data bytes.
            m_dataBytes[{exchange->second.device, *exchange->second.readParameter}] = std::max(0, buffer[0] - 2);
        return status;
    }
    SiStatus checkRxQueue(SiHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus) override
    {
        return m_inner->checkRxQueue(handle, queued, queueStatus);
    }

private:
    struct Exchange
    {
        std::uint16_t device;
        std::optional<std::uint8_t> readParameter;
    };

    std::shared_ptr<BridgeBackend> m_inner;
    std::map<SiHandle, Exchange> m_exchanges;
    std::map<std::pair<std::uint16_t, std::uint8_t>, int> m_dataBytes;
};

ReplyShapeWatch::ReplyShapeWatch()
{
    // Without a backend no exchange can take place, and there is nothing to watch.
    if (auto installed = bridgeBackend()) {
        m_recorder = std::make_shared<ReplyRecorder>(std::move(installed));
        m_previous = installBridgeBackend(m_recorder);
    }
}

ReplyShapeWatch::~ReplyShapeWatch()
{
    if (m_recorder)
        installBridgeBackend(m_previous);
}

std::optional<int> ReplyShapeWatch::dataBytes(std::uint16_t device, std::uint8_t parameter) const
{
    return m_recorder ? m_recorder->dataBytes(device, parameter) : std::nullopt;
}
