#pragma once

// Units on an emulated USB. A umockdev testbed holds one USB device per unit,
// with the sysfs entries and descriptors that libusb lists, and answers the
// usbfs ioctls that libusb issues with the same SimulatedUnit model that the
// simulated bridge uses: libusb and the backend above it run unchanged.
//
// The process must run under umockdev-wrapper. A child process started while
// the units are plugged in sees them too, as it inherits UMOCKDEV_DIR and the
// preload; its usbfs calls are answered here.
//
// Of the model's faults the emulation plays those of the unit itself
// (silence, odd replies) and unplugAtExchange; the transport faults of the
// simulated bridge (reply delay, queue status, open and write failures) have
// real counterparts here: unplugging, denied access.

#include "devicelink/simulated/simulatedunit.h"
#include "devicelink/usb/unitusbids.h"
#include "support/testsupport.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

// Where a unit is plugged in: a port of a root hub.
struct UsbPlace
{
    int bus = 1;
    int port = 1;
};

enum class UnitAccess { Granted, Denied };

class EmulatedUnit
{
public:
    EmulatedUnit(SimulatedUnit model, UsbPlace place, int deviceNumber);
    ~EmulatedUnit();
    EmulatedUnit(const EmulatedUnit &) = delete;
    EmulatedUnit &operator=(const EmulatedUnit &) = delete;

    // Runs `use` on the unit's model under the lock that the ioctl thread takes.
    template <typename Use>
    auto withModel(Use &&use)
    {
        std::lock_guard lock(m_mutex);
        return use(m_model);
    }
    QList<QByteArray> receivedFrames();

    // The unit takes the request of this exchange (counted from 0) and drops
    // off the bus before it replies.
    void dropOffAfterRequest(int exchange);
    // The unit sends each reply in packets of at most this many bytes.
    void sendInPiecesOf(int bytes);
    // The unit's control pipe hangs: it takes control requests (descriptor
    // requests among them) and never answers, until the host gives up.
    void hangControlRequests();

    QString sysfsPath() const;
    QString deviceNode() const;

private:
    friend class EmulatedUnits;

    // A URB that libusb submitted and has not reaped yet.
    struct Urb
    {
        UMockdevIoctlClient *client;
        UMockdevIoctlData *urb;
        UMockdevIoctlData *buffer;
    };
    // How an ioctl ends, and the data that may be let go once it has.
    struct Outcome
    {
        long result = 0;
        int error = 0;
        std::vector<UMockdevIoctlData *> release;
    };

    void attach(UMockdevTestbed *testbed, const std::shared_ptr<EmulatedUnit> &self);
    void detach(UMockdevTestbed *testbed);

    void handleIoctl(UMockdevIoctlClient *client);
    Outcome respond(UMockdevIoctlClient *client);
    Outcome submit(UMockdevIoctlClient *client);
    Outcome reap(UMockdevIoctlClient *client);
    Outcome discard(UMockdevIoctlClient *client);
    void answerControl(Urb &urb);
    void takeBulkOut(Urb &urb);
    void deliverReplies();
    void finish(Urb &urb, int status, int length, const QByteArray &data = {}, std::size_t dataOffset = 0);
    void disconnect();
    void forget(UMockdevIoctlClient *client);
    QString sysfsDescription() const;
    QByteArray descriptors() const;
    QByteArray stringDescriptor(int index) const;

    std::mutex m_mutex;
    SimulatedUnit m_model;
    UsbPlace m_place;
    int m_deviceNumber;
    bool m_connected = true;
    std::optional<int> m_dropOffAfterRequest;
    int m_pieceSize = UnitUsb::maxPacketSize;
    QByteArray m_toSend;
    bool m_controlHangs = false;
    std::deque<Urb> m_waitingIn; // bulk IN, for the unit's next reply
    std::deque<Urb> m_hungControl; // control requests never to be answered
    std::deque<Urb> m_done;      // completed, failed or cancelled, to be reaped
    UMockdevIoctlBase *m_handler = nullptr;
    unsigned long m_ioctlSignal = 0;
    unsigned long m_vanishedSignal = 0;
};

class EmulatedUnits
{
public:
    EmulatedUnits();
    ~EmulatedUnits();
    EmulatedUnits(const EmulatedUnits &) = delete;
    EmulatedUnits &operator=(const EmulatedUnits &) = delete;

    // False when the process does not run under umockdev-wrapper.
    bool active() const;

    std::shared_ptr<EmulatedUnit> plug(SimulatedUnit model, UsbPlace place,
                                       UnitAccess access = UnitAccess::Granted);
    // Pulls the unit out: pending transfers fail as on a real unplug, then
    // the device leaves sysfs with a "remove" uevent.
    void unplug(const std::shared_ptr<EmulatedUnit> &unit);

private:
    UMockdevTestbed *m_testbed;
    bool m_active;
    std::vector<std::shared_ptr<EmulatedUnit>> m_units;
    std::map<int, int> m_lastDeviceNumber;
    std::optional<ScopedFileAccessChecks> m_fileAccessChecks;
};
