#include "simulatedunits.h"

#include "packparameters/packkinds.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

std::optional<int> exchangeNumber(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,6}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    return text.toInt();
}

std::optional<QByteArray> versionBytes(const QString &text)
{
    static const QRegularExpression dotted(QStringLiteral("^([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})$"));
    const QRegularExpressionMatch match = dotted.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    QByteArray bytes;
    for (int piece = 1; piece <= 3; ++piece) {
        const int value = match.captured(piece).toInt();
        if (value > 255)
            return std::nullopt;
        bytes.append(char(value));
    }
    return bytes;
}

// Gives `unit` the fault that `text` names; false when it names none.
bool addFault(SimulatedUnit &unit, const QString &text)
{
    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0)
        return false;
    const QString name = text.left(equals);
    const QString value = text.mid(equals + 1);
    if (name == u"silent-from" || name == u"unplug-at") {
        const auto number = exchangeNumber(value);
        if (!number)
            return false;
        (name == u"silent-from" ? unit.faults.silentFromExchange : unit.faults.unplugAtExchange) = *number;
        return true;
    }
    if (name == u"product-id") {
        unit.faults.productId = value.toStdString();
        return true;
    }
    if (name == u"version") {
        const auto bytes = versionBytes(value);
        if (!bytes)
            return false;
        unit.setParameter(InfoParameters::softwareVersion, *bytes);
        return true;
    }
    return false;
}

std::optional<SimulatedUnit> unitOfKind(const QString &name)
{
    const auto kind = packKindNamed(name.toStdString());
    if (!kind)
        return std::nullopt;
    return SimulatedUnit::demoUnit(*kind);
}

} // namespace

SimulatedUnitsSetup simulatedUnits(const std::optional<QString> &unitList)
{
    if (!unitList)
        return {SimulatedBridge::withDemoUnits(), {}};
    auto bridge = std::make_shared<SimulatedBridge>();
    if (unitList->isEmpty())
        return {bridge, {}};
    for (const QString &item : unitList->split(u',')) {
        QStringList parts = item.split(u':');
        std::optional<SimulatedUnit> unit = unitOfKind(parts.takeFirst());
        if (!unit)
            return {nullptr, QStringLiteral("%1: no unit kind in '%2'; use bodypack or aircraft.")
                                 .arg(QLatin1String(kSimulatedUnitsVariable), item)};
        for (const QString &fault : parts)
            if (!addFault(*unit, fault))
                return {nullptr, QStringLiteral("%1: unknown fault '%2' in '%3'.")
                                     .arg(QLatin1String(kSimulatedUnitsVariable), fault, item)};
        bridge->plug(std::move(*unit));
    }
    return {bridge, {}};
}
