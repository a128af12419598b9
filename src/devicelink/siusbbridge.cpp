#include "siusbbridge.h"

#include <utility>

namespace {

std::shared_ptr<BridgeBackend> &installedBackend()
{
    static std::shared_ptr<BridgeBackend> backend;
    return backend;
}

FrameObserver frameObserver = nullptr;

void observe(FrameDirection direction, const std::uint8_t *bytes, std::uint32_t count)
{
    if (frameObserver && bytes)
        frameObserver(direction, {bytes, count});
}

} // namespace

std::shared_ptr<BridgeBackend> installBridgeBackend(std::shared_ptr<BridgeBackend> backend)
{
    return std::exchange(installedBackend(), std::move(backend));
}

std::shared_ptr<BridgeBackend> bridgeBackend()
{
    return installedBackend();
}

void setFrameObserver(FrameObserver observer)
{
    frameObserver = observer;
}

SiStatus SI_GetNumDevices(std::uint32_t *numDevices)
{
    if (!numDevices)
        return kBridgeFailure;
    *numDevices = 0;
    const auto backend = bridgeBackend();
    if (!backend)
        return kBridgeFailure;
    const SiStatus status = backend->getNumDevices(*numDevices);
    if (status != kBridgeSuccess)
        *numDevices = 0;
    return status;
}

SiStatus SI_GetProductString(std::uint32_t device, char *buffer, std::uint32_t option)
{
    if (!buffer)
        return kBridgeFailure;
    buffer[0] = '\0';
    const auto backend = bridgeBackend();
    if (!backend)
        return kBridgeFailure;
    if (option != std::uint32_t(ProductStringOption::Description) && option != std::uint32_t(ProductStringOption::ProductId))
        return kBridgeFailure;
    const std::span<char, kProductStringSize> span(buffer, kProductStringSize);
    const SiStatus status = backend->getProductString(device, span, ProductStringOption(option));
    // Whatever the backend did, the caller gets a terminated text.
    buffer[kProductStringSize - 1] = '\0';
    return status;
}

SiStatus SI_Open(std::uint32_t device, SiHandle *handle)
{
    if (!handle)
        return kBridgeFailure;
    const auto backend = bridgeBackend();
    if (!backend)
        return kBridgeFailure;
    const SiStatus status = backend->open(device, *handle);
    if (status != kBridgeSuccess)
        *handle = kInvalidHandle;
    return status;
}

SiStatus SI_Close(SiHandle handle)
{
    const auto backend = bridgeBackend();
    if (!backend || handle == kInvalidHandle)
        return kBridgeFailure;
    return backend->close(handle);
}

SiStatus SI_Write(SiHandle handle, const std::uint8_t *frame, std::uint32_t length, std::uint32_t *written)
{
    if (!frame || !written)
        return kBridgeFailure;
    *written = 0;
    const auto backend = bridgeBackend();
    if (!backend || handle == kInvalidHandle)
        return kBridgeFailure;
    observe(FrameDirection::Sent, frame, length);
    return backend->write(handle, {frame, length}, *written);
}

SiStatus SI_Read(SiHandle handle, std::uint8_t *buffer, std::uint32_t bytesToRead, std::uint32_t *bytesRead)
{
    if (!buffer || !bytesRead)
        return kBridgeFailure;
    *bytesRead = 0;
    const auto backend = bridgeBackend();
    if (!backend || handle == kInvalidHandle || bytesToRead == 0)
        return kBridgeFailure;
    const SiStatus status = backend->read(handle, {buffer, bytesToRead}, *bytesRead);
    if (*bytesRead > bytesToRead)
        *bytesRead = bytesToRead;
    if (status == kBridgeSuccess)
        observe(FrameDirection::Received, buffer, *bytesRead);
    return status;
}

SiStatus SI_CheckRXQueue(SiHandle handle, std::uint32_t *queued, std::uint32_t *queueStatus)
{
    if (!queued || !queueStatus)
        return kBridgeFailure;
    *queued = 0;
    *queueStatus = 0;
    const auto backend = bridgeBackend();
    if (!backend || handle == kInvalidHandle)
        return kBridgeFailure;
    return backend->checkRxQueue(handle, *queued, *queueStatus);
}
