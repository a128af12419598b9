#include "cparameter.h"

#include "replyclock.h"
#include "siusbbridge.h"

#include <QStringList>

namespace {

// A text of one to three decimal digits for a number from 0 to 255; a sign,
// white space or an empty piece is no byte. A limit of the tool
// (docs/limits.md): a piece longer than three digits ("0005") is refused even
// when its number fits, since no caller builds one and a frame must carry
// only what was asked for.
std::optional<std::uint8_t> pieceToByte(const QString &piece)
{
    if (piece.isEmpty() || piece.size() > 3)
        return std::nullopt;
    int value = 0;
    for (const QChar c : piece) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value > 255)
        return std::nullopt;
    return std::uint8_t(value);
}

// The echo of parameter 52 comes back undotted (bytes 12, 34 as 1234); put the
// dot back where the ID encoding put it.
std::optional<QString> redotIdEcho(QString echo)
{
    bool ok = false;
    const short number = echo.toShort(&ok);
    if (!ok)
        return std::nullopt;
    echo.insert(number > 99 ? 2 : 1, u'.');
    return echo;
}

constexpr std::uint8_t kIdParameter = 52;

} // namespace

CParameter::CParameter(std::uint16_t device_index)
    : fdevice_index(device_index)
{
}

std::uint8_t CParameter::calc_crc(const std::uint8_t *buff, std::uint16_t length)
{
    std::uint8_t sum = 0;
    for (std::uint16_t i = 0; i < length; ++i)
        sum = std::uint8_t(sum + buff[i]);
    return sum;
}

ReplyValue CParameter::read(std::uint8_t par_number, Errortype &error)
{
    Frame frame{};
    frame[0] = 3;
    frame[1] = kReadOperation;
    frame[2] = par_number;
    frame[3] = 0;
    frame[4] = calc_crc(frame.data(), 4);
    return par_send(frame.data(), 5, error);
}

void CParameter::write(std::uint8_t par_number, const QString &data, Errortype &error)
{
    send_checked(kWriteOperation, par_number, data, DeviceMessages::wrongEcho, error);
}

void CParameter::command(std::uint8_t command_number, const QString &data, Errortype &error)
{
    send_checked(kCommandOperation, command_number, data, DeviceMessages::wrongCommandEcho, error);
}

std::optional<std::uint16_t> CParameter::build_frame(Frame &frame, std::uint8_t operation, std::uint8_t number,
                                                     const QString &data)
{
    const QStringList pieces = data.isEmpty() ? QStringList() : data.split(u'.');
    if (std::size_t(pieces.size()) > kMaxDataBytes)
        return std::nullopt;
    const auto n = std::uint16_t(pieces.size());
    frame[0] = std::uint8_t(n + 2);
    frame[1] = operation;
    frame[2] = number;
    for (std::uint16_t i = 0; i < n; ++i) {
        const auto byte = pieceToByte(pieces[i]);
        if (!byte)
            return std::nullopt;
        frame[3 + i] = *byte;
    }
    // The units check a write or command frame over its first n + 1 bytes only,
    // not over all the bytes before the checksum; it has to stay that way.
    frame[3 + n] = calc_crc(frame.data(), std::uint16_t(n + 1));
    return std::uint16_t(n + 4);
}

void CParameter::send_checked(std::uint8_t operation, std::uint8_t number, const QString &data,
                              const QString &mismatch, Errortype &error)
{
    if (error.status)
        return;
    Frame frame{};
    const auto length = build_frame(frame, operation, number, data);
    if (!length) {
        // No caller builds such a value; refuse it as a failed write without
        // sending anything rather than send bytes that were not asked for.
        error.fail(mismatch);
        return;
    }
    ReplyValue echo = par_send(frame.data(), *length, error);
    if (error.status)
        return;
    if (echo && operation == kWriteOperation && number == kIdParameter)
        echo = redotIdEcho(*echo);
    if (!echo || *echo != data)
        error.fail(mismatch);
}

QString CParameter::GetProductID(Errortype &error)
{
    std::array<char, kProductStringSize> buffer{};
    if (SI_GetProductString(fdevice_index, buffer.data(), std::uint32_t(ProductStringOption::ProductId))
        == kBridgeSuccess)
        return QString::fromLocal8Bit(buffer.data());
    error.status = true;
    error.message = DeviceMessages::noProductId;
    return QString();
}

ReplyValue CParameter::par_send(const std::uint8_t *buff, std::uint16_t length, Errortype &error)
{
    if (error.status)
        return QString();

    std::array<std::uint8_t, kFrameBufferSize> reply{};
    std::uint32_t received = 0;
    QString message;

    SiHandle handle = kInvalidHandle;
    SI_Open(fdevice_index, &handle);
    std::uint32_t written = 0;
    if (SI_Write(handle, buff, length, &written) != kBridgeSuccess) {
        message = DeviceMessages::writeFailed;
    } else {
        std::uint32_t queued = 0;
        std::uint32_t queueStatus = 0;
        SI_CheckRXQueue(handle, &queued, &queueStatus);
        const std::uint64_t start = replyClockNow();
        while (queueStatus != kRxQueueReady && replyClockElapsedSince(start) < kReplyTimeoutMs)
            SI_CheckRXQueue(handle, &queued, &queueStatus);
        // No reply of this protocol is longer than the reply buffer; a longer
        // queue is no reply of this protocol and counts as none.
        if (queued > reply.size()
            || SI_Read(handle, reply.data(), queued, &received) != kBridgeSuccess)
            message = DeviceMessages::noResponse;
    }
    SI_Close(handle);

    // A read that delivered no byte, or a length byte pointing at bytes that
    // never arrived (or beyond the buffer), would render bytes the unit never
    // sent; whatever the bridge reported, count such a reply as none.
    const std::uint8_t replyLength = reply[0];
    if (message.isEmpty() && (received == 0 || (replyLength >= 3 && replyLength >= received)))
        message = DeviceMessages::noResponse;

    if (!message.isEmpty()) {
        error.fail(message);
        return QString();
    }
    ReplyValue value;
    for (std::size_t offset = 3; offset <= replyLength; ++offset)
        value = value.value_or(QString()) + QString::number(reply[offset]);
    return value;
}
