#include "libusbbridge.h"

#include "packparameters/packkinds.h"
#include "unitusbids.h"
#include "usbunitlink.h"

#include <QString>

#include <libusb.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <span>

namespace {

constexpr unsigned kStringTimeoutMs = 500;
constexpr int kMaxPortDepth = 7; // what the USB allows below a root hub
constexpr std::size_t kMaxText = kProductStringSize - 1;

bool isUnit(const libusb_device_descriptor &descriptor)
{
    return descriptor.idVendor == kUnitVendorId && packKindOfUsbProductId(descriptor.idProduct).has_value();
}

std::optional<UsbLocation> locationOf(libusb_device *device)
{
    std::array<std::uint8_t, kMaxPortDepth> ports{};
    const int depth = libusb_get_port_numbers(device, ports.data(), int(ports.size()));
    if (depth < 0)
        return std::nullopt;
    return UsbLocation{libusb_get_bus_number(device), {ports.begin(), ports.begin() + depth}};
}

// The name of a listed unit's kind, for entries that cannot show its own
// product string.
std::string unitName(std::uint16_t productId)
{
    return std::string(packKind(*packKindOfUsbProductId(productId)).unitName);
}

std::string accessDeniedText(std::uint16_t productId)
{
    return unitName(productId) + " (access denied: install 60-nerio-config.rules, see README)";
}

// libusb_get_string_descriptor() waits a fixed second; a unit whose control
// pipe hangs would cost every listing that long, so the request is bounded here.
int getStringDescriptor(libusb_device_handle *handle, std::uint8_t index, std::uint16_t language,
                        std::span<unsigned char> data)
{
    return libusb_control_transfer(handle, LIBUSB_ENDPOINT_IN, LIBUSB_REQUEST_GET_DESCRIPTOR,
                                   std::uint16_t(LIBUSB_DT_STRING << 8 | index), language, data.data(),
                                   std::uint16_t(data.size()), kStringTimeoutMs);
}

// The string descriptor `index` in the unit's first language, in the 8-bit
// character set of the platform; std::nullopt when the unit has none.
std::optional<std::string> stringDescriptor(libusb_device_handle *handle, std::uint8_t index)
{
    if (index == 0)
        return std::nullopt;
    std::array<unsigned char, 4> languages{};
    int length = getStringDescriptor(handle, 0, 0, languages);
    if (length < 4 || languages[1] != LIBUSB_DT_STRING)
        return std::nullopt;
    const auto language = std::uint16_t(languages[2] | languages[3] << 8);

    std::array<unsigned char, 255> descriptor{};
    length = getStringDescriptor(handle, index, language, descriptor);
    if (length < 2 || descriptor[1] != LIBUSB_DT_STRING)
        return std::nullopt;
    length = std::min(length, int(descriptor[0]));
    QString text;
    for (int i = 2; i + 1 < length; i += 2)
        text.append(QChar(char16_t(descriptor[std::size_t(i)] | descriptor[std::size_t(i) + 1] << 8)));
    if (text.isEmpty())
        return std::nullopt;
    QByteArray bytes = text.toLocal8Bit();
    // Shorten by whole characters until it fits the caller's buffer.
    while (std::size_t(bytes.size()) > kMaxText) {
        text.chop(1);
        bytes = text.toLocal8Bit();
    }
    return bytes.toStdString();
}

} // namespace

void LibusbBridge::DeviceUnref::operator()(libusb_device *device) const
{
    libusb_unref_device(device);
}

LibusbBridge::LibusbBridge()
{
    if (libusb_init(&m_context) != LIBUSB_SUCCESS)
        m_context = nullptr;
}

LibusbBridge::~LibusbBridge()
{
    // Links and device references belong to the context: they have to be
    // closed and released before libusb_exit() frees it, or they would touch
    // freed memory on the way out.
    m_links.clear();
    m_listing.clear();
    if (m_context)
        libusb_exit(m_context);
}

void LibusbBridge::makeListing()
{
    m_listing.clear();
    m_listed = true;
    if (!m_context)
        return;
    libusb_device **devices = nullptr;
    const ssize_t count = libusb_get_device_list(m_context, &devices);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(devices[i], &descriptor) != LIBUSB_SUCCESS || !isUnit(descriptor))
            continue;
        const auto location = locationOf(devices[i]);
        if (!location)
            continue;
        m_listing.push_back({DeviceRef(libusb_ref_device(devices[i])), *location, descriptor.idProduct});
    }
    if (count >= 0)
        libusb_free_device_list(devices, 1);
    std::sort(m_listing.begin(), m_listing.end(),
              [](const ListedUnit &a, const ListedUnit &b) { return a.location < b.location; });
}

bool LibusbBridge::stillAttached(const ListedUnit &unit)
{
    // libusb keeps one device object per attachment, and the listing holds a
    // reference to it: a unit plugged in after an unplug gets a new object
    // even at the same port, so finding the very object proves it is the same
    // unit. Its place and IDs must match all the same.
    libusb_device **devices = nullptr;
    const ssize_t count = libusb_get_device_list(m_context, &devices);
    bool attached = false;
    for (ssize_t i = 0; i < count && !attached; ++i) {
        if (devices[i] != unit.device.get())
            continue;
        libusb_device_descriptor descriptor{};
        attached = libusb_get_device_descriptor(devices[i], &descriptor) == LIBUSB_SUCCESS
                   && descriptor.idVendor == kUnitVendorId && descriptor.idProduct == unit.productId
                   && locationOf(devices[i]) == unit.location;
    }
    if (count >= 0)
        libusb_free_device_list(devices, 1);
    return attached;
}

const LibusbBridge::ListedUnit *LibusbBridge::attachedUnit(std::uint32_t device)
{
    if (!m_listed)
        makeListing();
    if (device >= m_listing.size() || !stillAttached(m_listing[device]))
        return nullptr;
    return &m_listing[device];
}

std::optional<std::string> LibusbBridge::description(const ListedUnit &unit)
{
    libusb_device_handle *handle = nullptr;
    const int opened = libusb_open(unit.device.get(), &handle);
    if (opened == LIBUSB_ERROR_ACCESS)
        return accessDeniedText(unit.productId);
    if (opened != LIBUSB_SUCCESS)
        return std::nullopt;
    libusb_device_descriptor descriptor{};
    libusb_get_device_descriptor(unit.device.get(), &descriptor);
    auto text = stringDescriptor(handle, descriptor.iProduct);
    libusb_close(handle);
    // A unit without a readable product string still gets an entry.
    return text ? text : unitName(unit.productId);
}

SiStatus LibusbBridge::getNumDevices(std::uint32_t &count)
{
    makeListing();
    count = std::uint32_t(m_listing.size());
    return m_context ? kBridgeSuccess : kBridgeFailure;
}

SiStatus LibusbBridge::getProductString(std::uint32_t device, std::span<char, kProductStringSize> buffer,
                                        ProductStringOption option)
{
    const ListedUnit *unit = attachedUnit(device);
    if (!unit)
        return kBridgeFailure;
    std::optional<std::string> text;
    if (option == ProductStringOption::ProductId) {
        std::array<char, 8> hex{};
        std::snprintf(hex.data(), hex.size(), "%04x", unsigned(unit->productId));
        text = hex.data();
    } else {
        text = description(*unit);
    }
    if (!text)
        return kBridgeFailure;
    const std::size_t length = std::min(text->size(), kMaxText);
    std::memcpy(buffer.data(), text->data(), length);
    buffer[length] = '\0';
    return kBridgeSuccess;
}

SiStatus LibusbBridge::open(std::uint32_t device, SiHandle &handle)
{
    const ListedUnit *unit = attachedUnit(device);
    if (!unit)
        return kBridgeFailure;
    auto link = UsbUnitLink::open(m_context, unit->device.get());
    if (!link)
        return kBridgeFailure;
    handle = m_nextHandle++;
    m_links.emplace(handle, std::move(link));
    return kBridgeSuccess;
}

SiStatus LibusbBridge::close(SiHandle handle)
{
    return m_links.erase(handle) ? kBridgeSuccess : kBridgeFailure;
}

UsbUnitLink *LibusbBridge::link(SiHandle handle)
{
    const auto it = m_links.find(handle);
    return it == m_links.end() ? nullptr : it->second.get();
}

SiStatus LibusbBridge::write(SiHandle handle, std::span<const std::uint8_t> frame, std::uint32_t &written)
{
    written = 0;
    UsbUnitLink *open = link(handle);
    if (!open || !open->send(frame))
        return kBridgeFailure;
    written = std::uint32_t(frame.size());
    return kBridgeSuccess;
}

SiStatus LibusbBridge::checkRxQueue(SiHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus)
{
    queued = 0;
    queueStatus = 0;
    UsbUnitLink *open = link(handle);
    if (!open)
        return kBridgeFailure;
    open->collect();
    queued = std::uint32_t(open->queued());
    if (open->broken()) {
        queueStatus = kRxQueueReady;
        return kBridgeFailure;
    }
    queueStatus = open->replyReady() ? kRxQueueReady : 0;
    return kBridgeSuccess;
}

SiStatus LibusbBridge::read(SiHandle handle, std::span<std::uint8_t> buffer, std::uint32_t &bytesRead)
{
    bytesRead = 0;
    UsbUnitLink *open = link(handle);
    if (!open || buffer.empty() || open->queued() == 0)
        return kBridgeFailure;
    bytesRead = std::uint32_t(open->take(buffer));
    return kBridgeSuccess;
}

std::shared_ptr<BridgeBackend> makeLibusbBridge()
{
    return std::make_shared<LibusbBridge>();
}
