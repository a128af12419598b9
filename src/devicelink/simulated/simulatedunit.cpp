#include "simulatedunit.h"

#include <utility>

namespace {

QByteArray qBytes(const UnitBytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

} // namespace

SimulatedUnit::SimulatedUnit(PackKind kind, const QString &description, const UnitSettings &settings)
    : UnitModel(kind, description.toStdString(), settings)
{
}

SimulatedUnit::SimulatedUnit(UnitModel model)
    : UnitModel(std::move(model))
{
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
    return SimulatedUnit(UnitModel::demoUnit(kind));
}

QByteArray SimulatedUnit::parameter(std::uint8_t number) const
{
    return qBytes(UnitModel::parameter(number));
}

void SimulatedUnit::setParameter(std::uint8_t number, const QByteArray &bytes)
{
    UnitModel::setParameter(number, UnitBytes(bytes.begin(), bytes.end()));
}

QList<QByteArray> SimulatedUnit::receivedFrames() const
{
    QList<QByteArray> frames;
    for (const UnitBytes &frame : UnitModel::receivedFrames())
        frames.append(qBytes(frame));
    return frames;
}
