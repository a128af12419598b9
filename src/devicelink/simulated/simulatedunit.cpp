#include "simulatedunit.h"

#include "devicelink/cparameter.h"

#include <utility>

namespace {

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
    const qsizetype covered = std::uint8_t(frame[1]) == kReadOperation ? frame.size() - 1 : dataBytes + 1;
    return sum(frame, covered) == std::uint8_t(frame.back());
}

SimulatedUnit::SimulatedUnit(PackKind kind, QString description, const UnitSettings &settings)
    : m_kind(kind)
    , m_description(std::move(description))
{
    const std::pair<Setting, int> values[] = {
        {Setting::Id, settings.id},
        {Setting::RfPower, settings.rfPower},
        {Setting::StartupVolume, settings.startupVolume},
        {Setting::MicSensitivity, settings.micSensitivity},
        {Setting::SideTone, settings.sideTone},
        {Setting::PttSelection, settings.pttSel},
    };
    for (const auto &[setting, value] : values) {
        const SettingInfo &info = settingInfo(setting);
        if (!packKind(kind).has(setting) || (info.versioned && !versionAbove100(settings.versionBytes)))
            continue;
        m_parameters[info.parameter] = setting == Setting::Id ? idBytes(std::uint16_t(value)) : QByteArray(1, char(value));
    }
    m_parameters[InfoParameters::softwareVersion] = settings.versionBytes;
    m_parameters[InfoParameters::batteryVoltage] = QByteArray(1, char(settings.batteryTenths));
    m_parameters[InfoParameters::rssi] = QByteArray(1, char(settings.rssi));
}

SimulatedUnit SimulatedUnit::demoBodypack()
{
    return demoUnit(PackKind::Bodypack);
}

SimulatedUnit SimulatedUnit::demoAircraftPack()
{
    return demoUnit(PackKind::AircraftPack);
}

SimulatedUnit SimulatedUnit::demoUnit(PackKind kind)
{
    if (kind == PackKind::Bodypack)
        return SimulatedUnit(kind, QStringLiteral("Demo Bodypack"),
                             {.id = 1234, .rfPower = 90, .startupVolume = 6, .micSensitivity = 7, .sideTone = 10,
                              .pttSel = 1, .versionBytes = QByteArray("\x01\x00\x05", 3), .batteryTenths = 37,
                              .rssi = 57});
    return SimulatedUnit(kind, QStringLiteral("Demo Aircraft Pack"),
                         {.id = 38, .rfPower = 127, .startupVolume = 4, .versionBytes = QByteArray("\x02\x01\x00", 3),
                          .batteryTenths = 41, .rssi = 63});
}

QString SimulatedUnit::productId() const
{
    if (faults.productId)
        return *faults.productId;
    return QString::fromLatin1(productIdText(m_kind).data());
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
    case kReadOperation:
        replyData = parameter(number);
        break;
    case kWriteOperation:
        m_parameters[number] = data;
        replyData = data;
        break;
    case kCommandOperation:
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
