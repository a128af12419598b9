#include "packexchange.h"

#include "idencoding.h"
#include "packsettings.h"
#include "versiontext.h"

#include <optional>

namespace {

// Reads parameters one after another into record fields. Each call returns
// false when the whole-set read has to end: the exchange failed (its message
// stands) or the unit answered with a value that does not fit the field.
class PackReader
{
public:
    PackReader(CParameter &param, Errortype &error) : m_param(param), m_error(error) {}

    template <typename Field>
    bool number(std::uint8_t par_number, Field &field)
    {
        const auto value = integer(par_number, std::numeric_limits<Field>::max());
        if (value)
            field = Field(*value);
        return value.has_value();
    }

    bool battery(std::uint8_t par_number, BatteryVoltage &field)
    {
        std::uint8_t tenths = 0;
        if (!number(par_number, tenths))
            return false;
        field = BatteryVoltage(tenths);
        return true;
    }

    bool text(std::uint8_t par_number, QString &field)
    {
        // Stored as it comes: the empty text of a failed exchange ends the read
        // at the next parameter, whose exchange is then skipped.
        field = m_param.read(par_number, m_error).value_or(QString());
        return true;
    }

    template <typename Record>
    bool setting(Setting setting, Record &record)
    {
        bool stored = false;
        withSettingField(record, setting,
                         [&](auto &field) { stored = number(settingInfo(setting).parameter, field); });
        return stored;
    }

private:
    std::optional<long long> integer(std::uint8_t par_number, long long maximum)
    {
        const ReplyValue reply = m_param.read(par_number, m_error);
        if (!reply)
            return 0; // a reply without data bytes counts as 0
        if (reply->isEmpty())
            return std::nullopt; // the failed exchange has recorded its message
        bool ok = false;
        const long long value = reply->toLongLong(&ok);
        if (!ok || value > maximum) {
            // Only a unit that sends more bytes than the parameter has gets
            // here; stop rather than store a value the field cannot hold.
            m_error.fail(PackMessages::valueOutOfRange(par_number, reply->left(24)));
            return std::nullopt;
        }
        return value;
    }

    CParameter &m_param;
    Errortype &m_error;
};

} // namespace

QString PackMessages::invalidChoice(Setting setting, int value)
{
    const SettingInfo &info = settingInfo(setting);
    QStringList choices;
    for (const SettingChoice &choice : info.choices)
        choices.append(qText(choice.caption));
    return QStringLiteral("The %1 selection %2 is not valid. Please choose %3.")
        .arg(qText(info.name))
        .arg(value)
        .arg(choices.join(QStringLiteral(" or ")));
}

QString PackMessages::valueOutOfRange(std::uint8_t par_number, const QString &reply)
{
    return QStringLiteral("The device sent the value %1 for parameter %2, which is out of range.")
        .arg(reply)
        .arg(par_number);
}

int normalDataBytes(Setting setting)
{
    return setting == Setting::Id ? 2 : 1;
}

bool unitIsOfKind(CParameter &param, PackKind kind, ProductIdMatch match, Errortype &error)
{
    const QString productId = param.GetProductID(error);
    if (error.status)
        return false;
    if (productIdMatches(kind, productId.toStdString(), match))
        return true;
    error.fail(PackMessages::wrongDevice);
    return false;
}

template <typename Record>
void readPack(CParameter &param, Record &record, Errortype &error)
{
    const PackKindInfo &kind = packKind(kRecordKind<Record>);
    if (error.status || !unitIsOfKind(param, kind.kind, kind.readMatch, error))
        return;
    PackReader reader(param, error);
    for (const Setting setting : kind.settings)
        if (!settingInfo(setting).versioned && !reader.setting(setting, record))
            return;
    if (!reader.text(InfoParameters::softwareVersion, record.sv)
        || !reader.battery(InfoParameters::batteryVoltage, record.batt_voltage)
        || !reader.number(InfoParameters::rssi, record.rssi))
        return;
    if (!kind.hasVersionedSettings() || !versionedSettingsTakePart(record.sv, kRawVersionDigits))
        return;
    for (const Setting setting : kind.settings)
        if (settingInfo(setting).versioned && !reader.setting(setting, record))
            return;
}

template <typename Record>
bool writeSendsVersionedSettings(const Record &record)
{
    return packKind(kRecordKind<Record>).hasVersionedSettings()
           && versionedSettingsTakePart(record.sv, kDottedVersionDigits);
}

template <typename Record>
void writePack(CParameter &param, const Record &record, Errortype &error)
{
    const PackKindInfo &kind = packKind(kRecordKind<Record>);
    const bool withVersioned = writeSendsVersionedSettings(record);
    if (error.status || !idIsStorable(record.id, error))
        return;
    const PackSettings values = editableSettings(record);
    // A selection beyond its list has no meaning on the unit; refuse it
    // before anything is sent.
    for (const Setting setting : kind.settings) {
        const SettingInfo &info = settingInfo(setting);
        if (info.choices.empty() || (info.versioned && !withVersioned))
            continue;
        if (!info.contains(*values.value(setting))) {
            error.fail(PackMessages::invalidChoice(setting, *values.value(setting)));
            return;
        }
    }
    if (!unitIsOfKind(param, kind.kind, kind.writeMatch, error))
        return;
    // Each step is issued whatever happened before: after the first failure
    // the protocol sends nothing more.
    for (const Setting setting : kind.settings) {
        const SettingInfo &info = settingInfo(setting);
        if (info.versioned && !withVersioned)
            continue;
        const int value = *values.value(setting);
        param.write(info.parameter, setting == Setting::Id ? dottedId(std::int16_t(value)) : QString::number(value),
                    error);
    }
    param.command(kClosingCommand, qText(kClosingCommandValue), error);
}

template void readPack(CParameter &, Body_cfg_params &, Errortype &);
template void readPack(CParameter &, Aircraft_cfg_params &, Errortype &);
template void writePack(CParameter &, const Body_cfg_params &, Errortype &);
template void writePack(CParameter &, const Aircraft_cfg_params &, Errortype &);
template bool writeSendsVersionedSettings(const Body_cfg_params &);
template bool writeSendsVersionedSettings(const Aircraft_cfg_params &);
