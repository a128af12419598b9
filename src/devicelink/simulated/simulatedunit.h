#pragma once

// The behaviour of one unit, independent of how frames reach it: simulated
// units in-process and emulated USB units in the tests both answer through it.

#include "packparameters/packkinds.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>

// Faults a test can give a unit. Exchanges are counted from 0 in the order in
// which frames reach the unit.
struct UnitFaults
{
    std::optional<int> silentFromExchange; // no reply from this exchange on
    std::optional<int> unplugAtExchange;   // the unit is gone when this frame is written
    std::uint64_t replyDelayMs = 0;        // the reply shows up this late
    bool queueNeverReady = false;          // the reply is queued but the ready status never shows
    bool replyWithoutData = false;         // length byte 2, no data bytes
    bool lengthBeyondReply = false;        // length byte pointing past the bytes sent
    bool oversizedReply = false;           // more bytes than any reply of the protocol
    bool openFails = false;
    bool writeFails = false;
    std::optional<QString> productId;      // reported instead of the kind's own
    std::optional<QString> description;    // std::nullopt here is "as configured"
    bool descriptionFails = false;
};

struct UnitSettings
{
    std::uint16_t id = 0;
    std::uint8_t rfPower = 0;
    std::uint8_t startupVolume = 0;
    std::uint8_t micSensitivity = 0;
    std::uint8_t sideTone = 0;
    std::uint8_t pttSel = 0;
    QByteArray versionBytes = QByteArray("\x01\x00\x05", 3);
    std::uint8_t batteryTenths = 37;
    std::uint8_t rssi = 57;
};

class SimulatedUnit
{
public:
    SimulatedUnit(PackKind kind, QString description, const UnitSettings &settings);

    static SimulatedUnit demoBodypack();
    static SimulatedUnit demoAircraftPack();
    static SimulatedUnit demoUnit(PackKind kind);

    PackKind kind() const { return m_kind; }
    QString productId() const;
    std::optional<QString> description() const;

    // Takes one request frame and returns the reply, or std::nullopt when the
    // unit stays silent (a frame with a wrong checksum, a fault).
    std::optional<QByteArray> receive(const QByteArray &frame);

    // The data bytes stored for a parameter; empty for one the unit lacks.
    QByteArray parameter(std::uint8_t number) const;
    void setParameter(std::uint8_t number, const QByteArray &bytes);

    const QList<QByteArray> &receivedFrames() const { return m_received; }
    int exchangeCount() const { return int(m_received.size()); }

    UnitFaults faults;
    bool unplugged = false;

private:
    PackKind m_kind;
    QString m_description;
    std::map<std::uint8_t, QByteArray> m_parameters;
    QList<QByteArray> m_received;
};

// The checksum the units expect: a read frame is summed over every byte before
// its checksum, a write or command frame over its first n + 1 bytes.
bool requestChecksumValid(const QByteArray &frame);
