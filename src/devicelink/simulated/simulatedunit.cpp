#include "simulatedunit.h"

#include <utility>

namespace {

constexpr std::uint8_t kRead = 82;
constexpr std::uint8_t kWrite = 87;
constexpr std::uint8_t kCommand = 67;

std::uint8_t sum(const QByteArray &bytes, qsizetype count)
{
    std::uint8_t total = 0;
    for (qsizetype i = 0; i < count; ++i)
        total = std::uint8_t(total + std::uint8_t(bytes[i]));
    return total;
}

QByteArray idBytes(std::uint16_t id)
{
    // The ID encoding: the first two digits of a number above 99 as one byte,
    // the rest as another; 0 and the ID otherwise.
    if (id <= 99)
        return QByteArray(1, '\0') + char(id);
    const QString text = QString::number(id);
    return QByteArray(1, char(text.left(2).toInt())) + char(text.mid(2).toInt());
}

bool versionAbove100(const QByteArray &versionBytes)
{
    QString text;
    for (const char byte : versionBytes)
        text += QString::number(std::uint8_t(byte));
    if (text.size() < 3)
        return false;
    const int number = (text[0].unicode() - '0') * 100 + (text[1].unicode() - '0') * 10 + (text[2].unicode() - '0');
    return number > 100;
}

} // namespace

bool requestChecksumValid(const QByteArray &frame)
{
    if (frame.size() < 4 || std::uint8_t(frame[0]) + 2 != frame.size())
        return false;
    const qsizetype dataBytes = frame.size() - 4;
    const qsizetype covered = std::uint8_t(frame[1]) == kRead ? frame.size() - 1 : dataBytes + 1;
    return sum(frame, covered) == std::uint8_t(frame.back());
}

SimulatedUnit::SimulatedUnit(UnitKind kind, QString description, const UnitSettings &settings)
    : m_kind(kind)
    , m_description(std::move(description))
{
    m_parameters[52] = idBytes(settings.id);
    m_parameters[55] = QByteArray(1, char(settings.rfPower));
    m_parameters[58] = QByteArray(1, char(settings.startupVolume));
    m_parameters[50] = settings.versionBytes;
    m_parameters[61] = QByteArray(1, char(settings.batteryTenths));
    m_parameters[60] = QByteArray(1, char(settings.rssi));
    if (kind == UnitKind::Bodypack) {
        m_parameters[56] = QByteArray(1, char(settings.micSensitivity));
        m_parameters[57] = QByteArray(1, char(settings.sideTone));
        if (versionAbove100(settings.versionBytes))
            m_parameters[64] = QByteArray(1, char(settings.pttSel));
    }
}

SimulatedUnit SimulatedUnit::demoBodypack()
{
    UnitSettings settings;
    settings.id = 1234;
    settings.rfPower = 90;
    settings.startupVolume = 6;
    settings.micSensitivity = 7;
    settings.sideTone = 10;
    settings.pttSel = 1;
    settings.versionBytes = QByteArray("\x01\x00\x05", 3);
    settings.batteryTenths = 37;
    settings.rssi = 57;
    return SimulatedUnit(UnitKind::Bodypack, QStringLiteral("Demo Bodypack"), settings);
}

SimulatedUnit SimulatedUnit::demoAircraftPack()
{
    UnitSettings settings;
    settings.id = 38;
    settings.rfPower = 127;
    settings.startupVolume = 4;
    settings.versionBytes = QByteArray("\x02\x01\x00", 3);
    settings.batteryTenths = 41;
    settings.rssi = 63;
    return SimulatedUnit(UnitKind::AircraftPack, QStringLiteral("Demo Aircraft Pack"), settings);
}

QString SimulatedUnit::productId() const
{
    if (faults.productId)
        return *faults.productId;
    return m_kind == UnitKind::Bodypack ? QStringLiteral("eab0") : QStringLiteral("eab1");
}

std::optional<QString> SimulatedUnit::description() const
{
    if (faults.descriptionFails)
        return std::nullopt;
    return faults.description.value_or(m_description);
}

QByteArray SimulatedUnit::parameter(std::uint8_t number) const
{
    const auto it = m_parameters.find(number);
    return it == m_parameters.end() ? QByteArray() : it->second;
}

void SimulatedUnit::setParameter(std::uint8_t number, const QByteArray &bytes)
{
    m_parameters[number] = bytes;
}

std::optional<QByteArray> SimulatedUnit::receive(const QByteArray &frame)
{
    const int exchange = exchangeCount();
    m_received.append(frame);
    if (faults.silentFromExchange && exchange >= *faults.silentFromExchange)
        return std::nullopt;
    if (!requestChecksumValid(frame))
        return std::nullopt;

    const std::uint8_t operation = std::uint8_t(frame[1]);
    const std::uint8_t number = std::uint8_t(frame[2]);
    const QByteArray data = frame.mid(3, frame.size() - 4);
    QByteArray replyData;
    switch (operation) {
    case kRead:
        replyData = parameter(number);
        break;
    case kWrite:
        m_parameters[number] = data;
        replyData = data;
        break;
    case kCommand:
        replyData = data;
        break;
    default:
        return std::nullopt;
    }
    if (faults.replyWithoutData)
        replyData.clear();

    QByteArray reply;
    reply.append(char(replyData.size() + 2));
    reply.append(char(operation));
    reply.append(char(number));
    reply.append(replyData);
    reply.append(char(sum(reply, reply.size())));
    if (faults.lengthBeyondReply)
        reply[0] = char(reply.size() + 2);
    if (faults.oversizedReply)
        reply.append(QByteArray(12, '\x07'));
    return reply;
}
