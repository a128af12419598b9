#include "packexchange.h"

#include "idencoding.h"

QString PackMessages::invalidPttSelection(int ptt_sel)
{
    return QStringLiteral("The PTT control selection %1 is not valid. Please choose Aircraft Switch or Microphone Switch.")
        .arg(ptt_sel);
}

QString PackMessages::valueOutOfRange(std::uint8_t par_number, const QString &reply)
{
    return QStringLiteral("The device sent the value %1 for parameter %2, which is out of range.")
        .arg(reply)
        .arg(par_number);
}

bool unitIsOfKind(CParameter &param, const QString &expected, Qt::CaseSensitivity sensitivity, Errortype &error)
{
    const QString productId = param.GetProductID(error);
    if (error.status)
        return false;
    if (productId.compare(expected, sensitivity) == 0)
        return true;
    error.fail(PackMessages::wrongDevice);
    return false;
}

std::optional<long long> PackReader::integer(std::uint8_t par_number, long long maximum)
{
    const ReplyValue reply = m_param.read(par_number, m_error);
    if (!reply)
        return 0; // a reply without data bytes counts as 0
    if (reply->isEmpty())
        return std::nullopt; // the failed exchange has recorded its message
    bool ok = false;
    const long long value = reply->toLongLong(&ok);
    if (!ok || value > maximum) {
        // Only a unit that sends more bytes than the parameter has gets here;
        // stop rather than store a value the field cannot hold.
        m_error.fail(PackMessages::valueOutOfRange(par_number, reply->left(24)));
        return std::nullopt;
    }
    return value;
}

bool PackReader::number(std::uint8_t par_number, std::int16_t &field)
{
    const auto value = integer(par_number, 32767);
    if (value)
        field = std::int16_t(*value);
    return value.has_value();
}

bool PackReader::number(std::uint8_t par_number, std::uint8_t &field)
{
    const auto value = integer(par_number, 255);
    if (value)
        field = std::uint8_t(*value);
    return value.has_value();
}

bool PackReader::battery(std::uint8_t par_number, BatteryVoltage &field)
{
    std::uint8_t tenths = 0;
    if (!number(par_number, tenths))
        return false;
    field = BatteryVoltage(tenths);
    return true;
}

bool PackReader::text(std::uint8_t par_number, QString &field)
{
    // Stored as it comes: the empty text of a failed exchange ends the read at
    // the next parameter, whose exchange is then skipped.
    field = m_param.read(par_number, m_error).value_or(QString());
    return true;
}

std::optional<std::uint16_t> versionNumber(const QString &sv, std::array<qsizetype, 3> positions)
{
    int number = 0;
    for (const qsizetype position : positions) {
        if (position >= sv.size())
            return std::nullopt;
        number = number * 10 + (int(sv[position].unicode()) - '0');
    }
    return std::uint16_t(number);
}

bool pttTakesPart(const QString &sv, std::array<qsizetype, 3> positions)
{
    const auto number = versionNumber(sv, positions);
    return number && *number > 100;
}

bool idIsStorable(int id, Errortype &error)
{
    const auto problem = unstorableIdMessage(id);
    if (problem)
        error.fail(*problem);
    return !problem;
}
