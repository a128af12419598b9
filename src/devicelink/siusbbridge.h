#pragma once

// The seven operations of the USB bridge through which every exchange with a
// unit passes. The functions dispatch to the backend installed for the whole
// process: simulated units, or real units over libusb.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

using SiStatus = std::int32_t;
using SiHandle = std::uintptr_t;

inline constexpr SiStatus kBridgeSuccess = 0;
inline constexpr SiStatus kBridgeFailure = 1;
inline constexpr SiHandle kInvalidHandle = ~SiHandle{0};
// The only queue status that means "a reply is ready".
inline constexpr std::uint32_t kRxQueueReady = 2;
inline constexpr std::size_t kProductStringSize = 256;

enum class ProductStringOption : std::uint32_t {
    Description = 1,
    ProductId = 4,
};

class BridgeBackend
{
public:
    virtual ~BridgeBackend() = default;

    virtual SiStatus getNumDevices(std::uint32_t &count) = 0;
    // Writes a zero-terminated text into `buffer` without opening the device.
    virtual SiStatus getProductString(std::uint32_t device, std::span<char, kProductStringSize> buffer,
                                      ProductStringOption option) = 0;
    virtual SiStatus open(std::uint32_t device, SiHandle &handle) = 0;
    virtual SiStatus close(SiHandle handle) = 0;
    virtual SiStatus write(SiHandle handle, std::span<const std::uint8_t> frame, std::uint32_t &written) = 0;
    // Reads exactly buffer.size() bytes at most; a request for zero bytes fails.
    virtual SiStatus read(SiHandle handle, std::span<std::uint8_t> buffer, std::uint32_t &bytesRead) = 0;
    virtual SiStatus checkRxQueue(SiHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus) = 0;
};

// Installs the backend for the whole process and returns the previous one.
// With no backend installed every operation fails and no unit is listed.
std::shared_ptr<BridgeBackend> installBridgeBackend(std::shared_ptr<BridgeBackend> backend);
// Makes the backend a program installs: simulated units, or real ones.
using BridgeBackendFactory = std::function<std::shared_ptr<BridgeBackend>()>;
std::shared_ptr<BridgeBackend> bridgeBackend();

SiStatus SI_GetNumDevices(std::uint32_t *numDevices);
SiStatus SI_GetProductString(std::uint32_t device, char *buffer, std::uint32_t option);
SiStatus SI_Open(std::uint32_t device, SiHandle *handle);
SiStatus SI_Close(SiHandle handle);
SiStatus SI_Write(SiHandle handle, const std::uint8_t *frame, std::uint32_t length, std::uint32_t *written);
SiStatus SI_Read(SiHandle handle, std::uint8_t *buffer, std::uint32_t bytesToRead, std::uint32_t *bytesRead);
SiStatus SI_CheckRXQueue(SiHandle handle, std::uint32_t *queued, std::uint32_t *queueStatus);

// Support switch: when set, every frame written to and every reply read from a
// unit is handed to the observer, whatever backend is installed.
enum class FrameDirection { Sent, Received };
using FrameObserver = void (*)(FrameDirection direction, std::span<const std::uint8_t> bytes);
void setFrameObserver(FrameObserver observer);
