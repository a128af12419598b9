#pragma once

// The unit model (unitmodel.h) with its bytes and texts in Qt's types, for the
// Qt code that sets up units and the tests that check what they received.

#include "unitmodel.h"

#include <QByteArray>
#include <QList>
#include <QString>

class SimulatedUnit : public UnitModel
{
public:
    SimulatedUnit(PackKind kind, const QString &description, const UnitSettings &settings);

    static SimulatedUnit demoBodypack();
    static SimulatedUnit demoAircraftPack();
    static SimulatedUnit demoUnit(PackKind kind);

    QByteArray parameter(std::uint8_t number) const;
    void setParameter(std::uint8_t number, const QByteArray &bytes);
    QList<QByteArray> receivedFrames() const;

private:
    explicit SimulatedUnit(UnitModel model);
};
