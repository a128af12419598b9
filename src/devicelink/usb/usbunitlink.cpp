#include "usbunitlink.h"

#include "unitusbids.h"

#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

constexpr unsigned kWriteTimeoutMs = 1000;
// How long a query for arrived bytes may sleep in the kernel when none are
// queued: short enough that the reply wait notices a reply at once, long
// enough that a silent unit costs wall time and not CPU time.
constexpr int kCollectWaitMicroseconds = 2000;
// Bound on waiting for the kernel to hand back the cancelled IN transfer.
constexpr auto kCancelWait = std::chrono::milliseconds(1000);

struct BulkPipes
{
    std::uint8_t out = 0;
    std::uint8_t in = 0;
    std::uint16_t inPacketSize = 0;
};

// The bulk endpoint pair of interface 0 in configuration 1, read from the
// descriptors rather than assumed.
std::optional<BulkPipes> findBulkPipes(libusb_device *device)
{
    libusb_config_descriptor *config = nullptr;
    if (libusb_get_config_descriptor_by_value(device, UnitUsb::configuration, &config) != LIBUSB_SUCCESS)
        return std::nullopt;
    std::optional<BulkPipes> found;
    for (int i = 0; i < config->bNumInterfaces && !found; ++i) {
        const libusb_interface &interface = config->interface[i];
        if (interface.num_altsetting < 1)
            continue;
        const libusb_interface_descriptor &setting = interface.altsetting[0];
        if (setting.bInterfaceNumber != UnitUsb::interfaceNumber || setting.bInterfaceClass != UnitUsb::interfaceClass)
            continue;
        BulkPipes pipes;
        for (int e = 0; e < setting.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor &endpoint = setting.endpoint[e];
            if ((endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK)
                continue;
            if ((endpoint.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN) {
                if (!pipes.in) {
                    pipes.in = endpoint.bEndpointAddress;
                    pipes.inPacketSize = endpoint.wMaxPacketSize;
                }
            } else if (!pipes.out) {
                pipes.out = endpoint.bEndpointAddress;
            }
        }
        if (pipes.in && pipes.out)
            found = pipes;
    }
    libusb_free_config_descriptor(config);
    return found;
}

} // namespace

std::unique_ptr<UsbUnitLink> UsbUnitLink::open(libusb_context *context, libusb_device *device)
{
    libusb_device_handle *handle = nullptr;
    if (libusb_open(device, &handle) != LIBUSB_SUCCESS)
        return nullptr;
    std::unique_ptr<UsbUnitLink> link(new UsbUnitLink(context, handle));
    if (!link->claim(device) || !link->submitReceive())
        return nullptr;
    return link;
}

UsbUnitLink::UsbUnitLink(libusb_context *context, libusb_device_handle *handle)
    : m_context(context)
    , m_handle(handle)
{
}

UsbUnitLink::~UsbUnitLink()
{
    shutDown();
}

bool UsbUnitLink::claim(libusb_device *device)
{
    const auto pipes = findBulkPipes(device);
    if (!pipes)
        return false;
    m_outEndpoint = pipes->out;
    m_inEndpoint = pipes->in;
    // A whole packet always fits, so a unit can never overflow the transfer.
    m_receiveBuffer.resize(std::max<std::size_t>(pipes->inPacketSize, UnitUsb::maxPacketSize));

    int active = 0;
    if (libusb_get_configuration(m_handle, &active) != LIBUSB_SUCCESS)
        return false;
    if (active != UnitUsb::configuration && libusb_set_configuration(m_handle, UnitUsb::configuration) != LIBUSB_SUCCESS)
        return false;
    // The driver is left detached afterwards: reattaching it after every
    // frame would only make it bind and unbind for each exchange.
    if (libusb_kernel_driver_active(m_handle, UnitUsb::interfaceNumber) == 1
        && libusb_detach_kernel_driver(m_handle, UnitUsb::interfaceNumber) != LIBUSB_SUCCESS)
        return false;
    if (libusb_claim_interface(m_handle, UnitUsb::interfaceNumber) != LIBUSB_SUCCESS)
        return false;
    m_claimed = true;
    return true;
}

bool UsbUnitLink::submitReceive()
{
    if (!m_transfer) {
        m_transfer = libusb_alloc_transfer(0);
        if (!m_transfer)
            return false;
        libusb_fill_bulk_transfer(m_transfer, m_handle, m_inEndpoint, m_receiveBuffer.data(),
                                  int(m_receiveBuffer.size()), &UsbUnitLink::onReceived, this, 0);
    }
    m_receiving = libusb_submit_transfer(m_transfer) == LIBUSB_SUCCESS;
    return m_receiving;
}

void UsbUnitLink::onReceived(libusb_transfer *transfer)
{
    static_cast<UsbUnitLink *>(transfer->user_data)->received(transfer);
}

void UsbUnitLink::received(libusb_transfer *transfer)
{
    m_receiving = false;
    if (transfer->actual_length > 0)
        m_queue.append(reinterpret_cast<const char *>(transfer->buffer), transfer->actual_length);
    switch (transfer->status) {
    case LIBUSB_TRANSFER_COMPLETED:
        if (!m_closing && !submitReceive())
            m_broken = true;
        break;
    case LIBUSB_TRANSFER_CANCELLED:
        break;
    case LIBUSB_TRANSFER_STALL:
        m_stalled = true;
        m_broken = true;
        break;
    default: // gone, a transfer error or an overflow
        m_broken = true;
        break;
    }
}

void UsbUnitLink::pumpEvents(int waitMicroseconds)
{
    timeval wait{0, waitMicroseconds};
    libusb_handle_events_timeout(m_context, &wait);
}

bool UsbUnitLink::send(std::span<const std::uint8_t> frame)
{
    if (!m_broken)
        pumpEvents(0);
    m_queue.clear();
    m_queueSettled = false;
    if (m_broken) {
        shutDown();
        return false;
    }
    int sent = 0;
    // libusb takes a mutable buffer for either direction; an OUT transfer only reads it.
    const int result = libusb_bulk_transfer(m_handle, m_outEndpoint, const_cast<std::uint8_t *>(frame.data()),
                                            int(frame.size()), &sent, kWriteTimeoutMs);
    if (result == LIBUSB_ERROR_PIPE)
        m_stalled = true;
    if (result != LIBUSB_SUCCESS || std::size_t(sent) != frame.size()) {
        m_broken = true;
        shutDown();
        return false;
    }
    return true;
}

void UsbUnitLink::collect()
{
    const qsizetype before = m_queue.size();
    if (!m_broken)
        pumpEvents(replyComplete() ? 0 : kCollectWaitMicroseconds);
    m_queueSettled = !m_queue.isEmpty() && m_queue.size() == before;
    if (m_broken)
        shutDown();
}

bool UsbUnitLink::replyComplete() const
{
    // A reply is its length byte, the bytes it counts, and a checksum.
    return !m_queue.isEmpty() && m_queue.size() >= qsizetype(std::uint8_t(m_queue[0])) + 2;
}

bool UsbUnitLink::replyReady() const
{
    return replyComplete() || m_queueSettled;
}

std::size_t UsbUnitLink::take(std::span<std::uint8_t> buffer)
{
    const auto count = std::min<std::size_t>(buffer.size(), std::size_t(m_queue.size()));
    std::memcpy(buffer.data(), m_queue.constData(), count);
    m_queue.remove(0, qsizetype(count));
    m_queueSettled = false;
    return count;
}

void UsbUnitLink::shutDown()
{
    if (!m_handle)
        return;
    m_closing = true;
    if (m_receiving) {
        libusb_cancel_transfer(m_transfer);
        const auto deadline = std::chrono::steady_clock::now() + kCancelWait;
        while (m_receiving && std::chrono::steady_clock::now() < deadline)
            pumpEvents(10'000);
    }
    if (m_claimed) {
        // A halted pipe stays halted on the unit across opens; clear it so
        // that the next exchange has a chance.
        if (m_stalled) {
            libusb_clear_halt(m_handle, m_inEndpoint);
            libusb_clear_halt(m_handle, m_outEndpoint);
        }
        libusb_release_interface(m_handle, UnitUsb::interfaceNumber);
    }
    // Closing detaches a transfer that never came back from the handle, after
    // which it is ours to free.
    libusb_close(m_handle);
    m_handle = nullptr;
    libusb_free_transfer(m_transfer);
    m_transfer = nullptr;
}
