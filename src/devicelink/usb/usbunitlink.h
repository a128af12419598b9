#pragma once

// One unit opened for one exchange: its interface claimed, and a bulk IN
// transfer kept pending so that whatever the unit sends lands in a host-side
// queue as soon as the event loop of the context runs.

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;
struct libusb_transfer;

class UsbUnitLink
{
public:
    // nullptr when the unit cannot be opened, has no bulk pipe pair on its
    // vendor interface, or cannot be claimed.
    static std::unique_ptr<UsbUnitLink> open(libusb_context *context, libusb_device *device);
    ~UsbUnitLink();
    UsbUnitLink(const UsbUnitLink &) = delete;
    UsbUnitLink &operator=(const UsbUnitLink &) = delete;

    // One bulk OUT transfer with a bounded time-out; false unless the whole
    // frame went out. Bytes queued before the frame belong to no request of
    // it and are dropped.
    bool send(std::span<const std::uint8_t> frame);
    // Moves what has arrived on bulk IN into the queue. Unless a whole reply
    // is queued it waits in the kernel for a few milliseconds at most.
    void collect();
    std::size_t queued() const { return std::size_t(m_queue.size()); }
    // The queue holds a reply to hand over: as many bytes as its length byte
    // announces, or, for a reply that falls short, bytes after which a wait
    // brought no more. A reply that comes in pieces is so taken whole.
    bool replyReady() const;
    // Hands over up to buffer.size() queued bytes and returns their count.
    std::size_t take(std::span<std::uint8_t> buffer);
    // The unit is gone or a pipe failed: nothing more will arrive, and the
    // device handle is already closed.
    bool broken() const { return m_broken; }

private:
    UsbUnitLink(libusb_context *context, libusb_device_handle *handle);

    bool claim(libusb_device *device);
    bool submitReceive();
    void received(libusb_transfer *transfer);
    void pumpEvents(int waitMicroseconds);
    bool replyComplete() const;
    void shutDown();

    static void onReceived(libusb_transfer *transfer);

    libusb_context *m_context;
    libusb_device_handle *m_handle;
    std::uint8_t m_outEndpoint = 0;
    std::uint8_t m_inEndpoint = 0;
    bool m_claimed = false;
    bool m_stalled = false;
    bool m_broken = false;
    bool m_closing = false;
    bool m_receiving = false;
    bool m_queueSettled = false;
    libusb_transfer *m_transfer = nullptr;
    std::vector<std::uint8_t> m_receiveBuffer;
    QByteArray m_queue;
};
