#pragma once

// Bridge backend for real units on the USB, over libusb-1.0.
//
// Device numbers are positions in the listing that the last count made: the
// units sorted by bus number and port path, so that a given way of plugging
// them in always numbers them alike. An operation on a number reaches the very
// unit that held it in that listing or none: a unit unplugged since then fails,
// and so does one plugged in at its place.

#include "devicelink/siusbbridge.h"

#include <compare>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct libusb_context;
struct libusb_device;
class UsbUnitLink;

// Where a unit is plugged in; orders units by bus, then port path.
struct UsbLocation
{
    std::uint8_t bus = 0;
    std::vector<std::uint8_t> ports;

    auto operator<=>(const UsbLocation &) const = default;
};

class LibusbBridge : public BridgeBackend
{
public:
    LibusbBridge();
    ~LibusbBridge() override;
    LibusbBridge(const LibusbBridge &) = delete;
    LibusbBridge &operator=(const LibusbBridge &) = delete;

    SiStatus getNumDevices(std::uint32_t &count) override;
    // The description is the unit's product string. A unit that this user may
    // not open keeps its entry, and the entry says how to grant access.
    SiStatus getProductString(std::uint32_t device, std::span<char, kProductStringSize> buffer,
                              ProductStringOption option) override;
    SiStatus open(std::uint32_t device, SiHandle &handle) override;
    SiStatus close(SiHandle handle) override;
    SiStatus write(SiHandle handle, std::span<const std::uint8_t> frame, std::uint32_t &written) override;
    SiStatus read(SiHandle handle, std::span<std::uint8_t> buffer, std::uint32_t &bytesRead) override;
    // Reports the ready status also when the link broke (unit unplugged, pipe
    // error): nothing more can arrive, so the reply wait need not run out.
    SiStatus checkRxQueue(SiHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus) override;

private:
    struct DeviceUnref
    {
        void operator()(libusb_device *device) const;
    };
    using DeviceRef = std::unique_ptr<libusb_device, DeviceUnref>;

    struct ListedUnit
    {
        DeviceRef device;
        UsbLocation location;
        std::uint16_t productId = 0;
    };

    void makeListing();
    const ListedUnit *attachedUnit(std::uint32_t device);
    bool stillAttached(const ListedUnit &unit);
    std::optional<std::string> description(const ListedUnit &unit);
    UsbUnitLink *link(SiHandle handle);

    libusb_context *m_context = nullptr;
    std::vector<ListedUnit> m_listing;
    bool m_listed = false;
    std::map<SiHandle, std::unique_ptr<UsbUnitLink>> m_links;
    SiHandle m_nextHandle = 1;
};

std::shared_ptr<BridgeBackend> makeLibusbBridge();
