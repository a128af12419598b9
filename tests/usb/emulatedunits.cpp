#include "emulatedunits.h"

#include "support/testsupport.h"

#include <umockdev.h>

#include <linux/capability.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

namespace {

constexpr std::uint8_t kOutEndpoint = 0x02;
constexpr std::uint8_t kInEndpoint = 0x81;
constexpr int kManufacturerIndex = 1;
constexpr int kProductIndex = 2;
constexpr std::size_t kSetupPacketSize = 8;
constexpr std::uint32_t kCapabilities = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION
                                        | USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;

QByteArray littleEndian16(std::uint16_t value)
{
    return bytes({value & 0xFF, value >> 8});
}

usbdevfs_urb urbHeader(UMockdevIoctlData *urb)
{
    usbdevfs_urb header{};
    std::memcpy(&header, urb->data, sizeof header);
    return header;
}

UMockdevIoctlData *resolve(UMockdevIoctlData *data, std::size_t offset, std::size_t length)
{
    GError *error = nullptr;
    UMockdevIoctlData *resolved = umockdev_ioctl_data_resolve(data, offset, length, &error);
    g_clear_error(&error);
    return resolved;
}

} // namespace

EmulatedUnit::EmulatedUnit(SimulatedUnit model, UsbPlace place, int deviceNumber)
    : m_model(std::move(model))
    , m_place(place)
    , m_deviceNumber(deviceNumber)
{
}

EmulatedUnit::~EmulatedUnit()
{
    for (auto *pending : {&m_waitingIn, &m_hungControl, &m_done}) {
        for (const Urb &urb : *pending) {
            g_object_unref(urb.urb);
            if (urb.buffer)
                g_object_unref(urb.buffer);
        }
    }
}

QList<QByteArray> EmulatedUnit::receivedFrames()
{
    return withModel([](SimulatedUnit &model) { return model.receivedFrames(); });
}

void EmulatedUnit::dropOffAfterRequest(int exchange)
{
    std::lock_guard lock(m_mutex);
    m_dropOffAfterRequest = exchange;
}

void EmulatedUnit::sendInPiecesOf(int bytes)
{
    std::lock_guard lock(m_mutex);
    m_pieceSize = bytes;
}

void EmulatedUnit::hangControlRequests()
{
    std::lock_guard lock(m_mutex);
    m_controlHangs = true;
}

QString EmulatedUnit::sysfsPath() const
{
    return QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb%1/%1-%2").arg(m_place.bus).arg(m_place.port);
}

QString EmulatedUnit::deviceNode() const
{
    return QStringLiteral("/dev/bus/usb/%1/%2")
        .arg(m_place.bus, 3, 10, QLatin1Char('0'))
        .arg(m_deviceNumber, 3, 10, QLatin1Char('0'));
}

QByteArray EmulatedUnit::descriptors() const
{
    const std::uint16_t productId = packKind(m_model.kind()).productId;
    const QByteArray device = bytes({18, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 64})
                              + littleEndian16(kUnitVendorId) + littleEndian16(productId)
                              + bytes({0x00, 0x01, kManufacturerIndex, kProductIndex, 0, 1});
    const QByteArray interface = bytes({9, 0x04, UnitUsb::interfaceNumber, 0, 2, UnitUsb::interfaceClass, 0, 0, 0})
                                 + bytes({7, 0x05, kOutEndpoint, 0x02}) + littleEndian16(UnitUsb::maxPacketSize)
                                 + bytes({0}) + bytes({7, 0x05, kInEndpoint, 0x02})
                                 + littleEndian16(UnitUsb::maxPacketSize) + bytes({0});
    const auto totalLength = std::uint16_t(9 + interface.size());
    const QByteArray config = bytes({9, 0x02}) + littleEndian16(totalLength)
                              + bytes({1, UnitUsb::configuration, 0, 0x80, 50});
    return device + config + interface;
}

QString EmulatedUnit::sysfsDescription() const
{
    const std::uint16_t productId = packKind(m_model.kind()).productId;
    return QStringLiteral("P: %1\n"
                          "N: %2\n"
                          "E: SUBSYSTEM=usb\n"
                          "E: DEVTYPE=usb_device\n"
                          "E: DEVNAME=%3\n"
                          "E: BUSNUM=%4\n"
                          "E: DEVNUM=%5\n"
                          "A: busnum=%6\n"
                          "A: devnum=%7\n"
                          "A: idVendor=%8\n"
                          "A: idProduct=%9\n"
                          "A: bConfigurationValue=1\n"
                          "A: bNumConfigurations=1\n"
                          "A: speed=12\n"
                          "H: descriptors=%10\n")
        .arg(sysfsPath().mid(4), deviceNode().mid(5), deviceNode(),
             QStringLiteral("%1").arg(m_place.bus, 3, 10, QLatin1Char('0')),
             QStringLiteral("%1").arg(m_deviceNumber, 3, 10, QLatin1Char('0')), QString::number(m_place.bus),
             QString::number(m_deviceNumber), QStringLiteral("%1").arg(kUnitVendorId, 4, 16, QLatin1Char('0')),
             QStringLiteral("%1").arg(productId, 4, 16, QLatin1Char('0')))
        .arg(QString::fromLatin1(descriptors().toHex()));
}

QByteArray EmulatedUnit::stringDescriptor(int index) const
{
    QString text;
    if (index == 0)
        return bytes({4, 0x03, 0x09, 0x04}); // US English only
    if (index == kManufacturerIndex)
        text = QStringLiteral("Nerio");
    else if (index == kProductIndex)
        text = QString::fromStdString(m_model.description().value_or(std::string()));
    else
        return {};
    QByteArray descriptor = bytes({int(2 + 2 * text.size()), 0x03});
    for (const QChar c : text)
        descriptor += littleEndian16(c.unicode());
    return descriptor;
}

void EmulatedUnit::attach(UMockdevTestbed *testbed, const std::shared_ptr<EmulatedUnit> &self)
{
    // Each connection holds the unit until umockdev has dropped the
    // connection, so that no late call reaches a unit that is gone.
    const auto hold = [](const std::shared_ptr<EmulatedUnit> &unit) {
        return static_cast<gpointer>(new std::shared_ptr<EmulatedUnit>(unit));
    };
    const auto release = [](gpointer held, GClosure *) { delete static_cast<std::shared_ptr<EmulatedUnit> *>(held); };
    const auto onIoctl = +[](UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer held) -> gboolean {
        (*static_cast<std::shared_ptr<EmulatedUnit> *>(held))->handleIoctl(client);
        return TRUE;
    };
    const auto onVanished = +[](UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer held) {
        (*static_cast<std::shared_ptr<EmulatedUnit> *>(held))->forget(client);
    };

    m_handler = umockdev_ioctl_base_new();
    m_ioctlSignal = g_signal_connect_data(m_handler, "handle-ioctl", G_CALLBACK(onIoctl), hold(self), release,
                                          GConnectFlags(0));
    m_vanishedSignal = g_signal_connect_data(m_handler, "client-vanished", G_CALLBACK(onVanished), hold(self),
                                             release, GConnectFlags(0));
    // The handler has to be in place before the device appears.
    umockdev_testbed_attach_ioctl(testbed, deviceNode().toUtf8().constData(), m_handler, nullptr);
    umockdev_testbed_add_from_string(testbed, sysfsDescription().toUtf8().constData(), nullptr);
}

void EmulatedUnit::detach(UMockdevTestbed *testbed)
{
    if (!m_handler)
        return;
    g_signal_handler_disconnect(m_handler, m_ioctlSignal);
    g_signal_handler_disconnect(m_handler, m_vanishedSignal);
    umockdev_testbed_detach_ioctl(testbed, deviceNode().toUtf8().constData(), nullptr);
    g_object_unref(m_handler);
    m_handler = nullptr;
}

void EmulatedUnit::handleIoctl(UMockdevIoctlClient *client)
{
    Outcome outcome;
    {
        std::lock_guard lock(m_mutex);
        outcome = respond(client);
    }
    umockdev_ioctl_client_complete(client, outcome.result, outcome.error);
    for (UMockdevIoctlData *data : outcome.release)
        g_object_unref(data);
}

EmulatedUnit::Outcome EmulatedUnit::respond(UMockdevIoctlClient *client)
{
    const gulong request = umockdev_ioctl_client_get_request(client);
    switch (request) {
    case USBDEVFS_SUBMITURB:
        return submit(client);
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        return reap(client);
    case USBDEVFS_DISCARDURB:
        return discard(client);
    default:
        break;
    }
    if (!m_connected)
        return {-1, ENODEV, {}};
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData *capabilities = resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof kCapabilities);
        if (!capabilities)
            return {-1, EFAULT, {}};
        std::uint32_t value = kCapabilities;
        umockdev_ioctl_data_update(capabilities, 0, reinterpret_cast<guint8 *>(&value), sizeof value);
        return {0, 0, {capabilities}};
    }
    case USBDEVFS_GETDRIVER:
        return {-1, ENODATA, {}}; // no kernel driver bound
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE:
    case USBDEVFS_SETCONFIGURATION:
    case USBDEVFS_SETINTERFACE:
    case USBDEVFS_CLEAR_HALT:
    case USBDEVFS_RESETEP:
    case USBDEVFS_RESET:
        return {};
    default:
        return {-1, ENOTTY, {}};
    }
}

EmulatedUnit::Outcome EmulatedUnit::submit(UMockdevIoctlClient *client)
{
    UMockdevIoctlData *urbData = resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(usbdevfs_urb));
    if (!urbData)
        return {-1, EFAULT, {}};
    const usbdevfs_urb header = urbHeader(urbData);
    UMockdevIoctlData *bufferData =
        header.buffer_length > 0
            ? resolve(urbData, offsetof(usbdevfs_urb, buffer), std::size_t(header.buffer_length))
            : nullptr;
    Urb urb{client, urbData, bufferData};

    const bool bulkOut = header.type == USBDEVFS_URB_TYPE_BULK && !(header.endpoint & 0x80);
    const auto unplugAt = m_model.faults.unplugAtExchange;
    if (bulkOut && m_connected && unplugAt && m_model.exchangeCount() >= *unplugAt)
        disconnect();
    if (!m_connected) {
        Outcome refused{-1, ENODEV, {urbData}};
        if (bufferData)
            refused.release.push_back(bufferData);
        return refused;
    }

    if (header.type == USBDEVFS_URB_TYPE_CONTROL && m_controlHangs) {
        m_hungControl.push_back(urb);
    } else if (header.type == USBDEVFS_URB_TYPE_CONTROL) {
        answerControl(urb);
    } else if (bulkOut) {
        takeBulkOut(urb);
    } else if (header.type == USBDEVFS_URB_TYPE_BULK) {
        m_waitingIn.push_back(urb);
        deliverReplies();
    } else {
        finish(urb, -EPIPE, 0);
    }
    return {};
}

void EmulatedUnit::answerControl(Urb &urb)
{
    const usbdevfs_urb header = urbHeader(urb.urb);
    if (!urb.buffer || std::size_t(header.buffer_length) < kSetupPacketSize) {
        finish(urb, -EPIPE, 0);
        return;
    }
    const guint8 *setup = urb.buffer->data;
    const int requestType = setup[0];
    const int request = setup[1];
    const int descriptorType = setup[3];
    const int descriptorIndex = setup[2];
    const int wanted = setup[6] | setup[7] << 8;

    QByteArray answer;
    if (requestType == 0x80 && request == 0x06) { // GET_DESCRIPTOR
        if (descriptorType == 0x01)
            answer = descriptors().left(18);
        else if (descriptorType == 0x02)
            answer = descriptors().mid(18);
        else if (descriptorType == 0x03)
            answer = stringDescriptor(descriptorIndex);
    }
    if (answer.isEmpty()) {
        finish(urb, -EPIPE, 0); // the unit stalls what it does not know
        return;
    }
    const auto room = int(std::size_t(header.buffer_length) - kSetupPacketSize);
    const int length = std::min({wanted, room, int(answer.size())});
    finish(urb, 0, length, answer.left(length), kSetupPacketSize);
}

void EmulatedUnit::takeBulkOut(Urb &urb)
{
    const usbdevfs_urb header = urbHeader(urb.urb);
    const std::span<const std::uint8_t> frame =
        urb.buffer ? std::span<const std::uint8_t>(urb.buffer->data, std::size_t(header.buffer_length))
                   : std::span<const std::uint8_t>();
    const int exchange = m_model.exchangeCount();
    const auto reply = m_model.receive(frame);
    finish(urb, 0, header.buffer_length);
    if (m_dropOffAfterRequest && exchange == *m_dropOffAfterRequest) {
        disconnect();
        return;
    }
    if (reply) {
        m_toSend.append(reinterpret_cast<const char *>(reply->data()), qsizetype(reply->size()));
        deliverReplies();
    }
}

void EmulatedUnit::deliverReplies()
{
    while (!m_toSend.isEmpty() && !m_waitingIn.empty()) {
        Urb urb = m_waitingIn.front();
        m_waitingIn.pop_front();
        const int length = std::min({urbHeader(urb.urb).buffer_length, int(m_toSend.size()), m_pieceSize});
        finish(urb, 0, length, m_toSend.left(length));
        m_toSend.remove(0, length);
    }
}

void EmulatedUnit::finish(Urb &urb, int status, int length, const QByteArray &data, std::size_t dataOffset)
{
    if (!data.isEmpty() && urb.buffer) {
        QByteArray copy = data;
        umockdev_ioctl_data_update(urb.buffer, dataOffset, reinterpret_cast<guint8 *>(copy.data()),
                                   int(copy.size()));
    }
    usbdevfs_urb header = urbHeader(urb.urb);
    header.status = status;
    header.actual_length = length;
    umockdev_ioctl_data_update(urb.urb, 0, reinterpret_cast<guint8 *>(&header), sizeof header);
    m_done.push_back(urb);
}

EmulatedUnit::Outcome EmulatedUnit::reap(UMockdevIoctlClient *client)
{
    const auto it = std::find_if(m_done.begin(), m_done.end(), [client](const Urb &urb) { return urb.client == client; });
    if (it == m_done.end())
        return {-1, m_connected ? EAGAIN : ENODEV, {}};
    const Urb urb = *it;
    m_done.erase(it);
    UMockdevIoctlData *pointer = resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(void *));
    Outcome reaped{0, 0, {urb.urb}};
    if (urb.buffer)
        reaped.release.push_back(urb.buffer);
    if (!pointer)
        return {-1, EFAULT, reaped.release};
    umockdev_ioctl_data_set_ptr(pointer, 0, urb.urb);
    reaped.release.push_back(pointer);
    return reaped;
}

EmulatedUnit::Outcome EmulatedUnit::discard(UMockdevIoctlClient *client)
{
    gulong address = 0;
    std::memcpy(&address, umockdev_ioctl_client_get_arg(client)->data, sizeof address);
    const auto cancelled = [&](const Urb &urb) { return urb.client == client && urb.urb->client_addr == address; };
    for (auto *pending : {&m_waitingIn, &m_hungControl}) {
        const auto it = std::find_if(pending->begin(), pending->end(), cancelled);
        if (it == pending->end())
            continue;
        Urb urb = *it;
        pending->erase(it);
        finish(urb, -ENOENT, 0);
        return {};
    }
    // One that is no longer waiting has been handed back already.
    return {-1, EINVAL, {}};
}

void EmulatedUnit::disconnect()
{
    // What the kernel does on an unplug: every waiting transfer comes back
    // failed, and nothing more gets through.
    m_connected = false;
    m_toSend.clear();
    for (auto *pending : {&m_waitingIn, &m_hungControl}) {
        while (!pending->empty()) {
            Urb urb = pending->front();
            pending->pop_front();
            finish(urb, -ENODEV, 0);
        }
    }
}

void EmulatedUnit::forget(UMockdevIoctlClient *client)
{
    std::vector<UMockdevIoctlData *> release;
    {
        std::lock_guard lock(m_mutex);
        for (auto *pending : {&m_waitingIn, &m_hungControl, &m_done}) {
            std::erase_if(*pending, [&](const Urb &urb) {
                if (urb.client != client)
                    return false;
                release.push_back(urb.urb);
                if (urb.buffer)
                    release.push_back(urb.buffer);
                return true;
            });
        }
    }
    for (UMockdevIoctlData *data : release)
        g_object_unref(data);
}

EmulatedUnits::EmulatedUnits()
    : m_testbed(umockdev_testbed_new())
    , m_active(umockdev_in_mock_environment())
{
}

EmulatedUnits::~EmulatedUnits()
{
    for (const auto &unit : m_units)
        unit->detach(m_testbed);
    m_units.clear();
    m_fileAccessChecks.reset();
    g_object_unref(m_testbed);
}

bool EmulatedUnits::active() const
{
    return m_active;
}

std::shared_ptr<EmulatedUnit> EmulatedUnits::plug(SimulatedUnit model, UsbPlace place, UnitAccess access)
{
    // Like the kernel, number the devices of a bus upwards; 1 is the root hub.
    int &deviceNumber = m_lastDeviceNumber.try_emplace(place.bus, 1).first->second;
    auto unit = std::make_shared<EmulatedUnit>(std::move(model), place, ++deviceNumber);
    unit->attach(m_testbed, unit);
    if (access == UnitAccess::Denied) {
        gchar *root = umockdev_testbed_get_root_dir(m_testbed);
        chmod((QString::fromUtf8(root) + unit->deviceNode()).toLocal8Bit().constData(), 0);
        g_free(root);
        if (!m_fileAccessChecks)
            m_fileAccessChecks.emplace();
    }
    m_units.push_back(unit);
    return unit;
}

void EmulatedUnits::unplug(const std::shared_ptr<EmulatedUnit> &unit)
{
    {
        std::lock_guard lock(unit->m_mutex);
        unit->disconnect();
    }
    // umockdev removes the device without telling anyone; libusb learns of
    // an unplug only from the uevent.
    const QByteArray path = unit->sysfsPath().toUtf8();
    umockdev_testbed_uevent(m_testbed, path.constData(), "remove");
    umockdev_testbed_remove_device(m_testbed, path.constData());
    unit->detach(m_testbed);
    std::erase(m_units, unit);
}
