#pragma once

// The behaviour of one unit, independent of how frames reach it: the simulated
// units in-process, the emulated USB units of the tests and the stub bridge
// library of the Windows tests all answer through it. Plain C++ without Qt, so
// that the stub library, which cannot link Qt, plays the same units.

#include "packparameters/packkinds.h"

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

using UnitBytes = std::vector<std::uint8_t>;

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
    std::optional<std::string> productId;   // reported instead of the kind's own
    std::optional<std::string> description; // std::nullopt here is "as configured"
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
    UnitBytes versionBytes{1, 0, 5};
    std::uint8_t batteryTenths = 37;
    std::uint8_t rssi = 57;
};

class UnitModel
{
public:
    UnitModel(PackKind kind, std::string description, const UnitSettings &settings);

    // The demo's units: a bodypack (ID 1234, version 1.0.5) and an aircraft
    // pack (ID 38).
    static UnitModel demoUnit(PackKind kind);

    PackKind kind() const { return m_kind; }
    std::string productId() const;
    std::optional<std::string> description() const;

    // Takes one request frame and returns the reply, or std::nullopt when the
    // unit stays silent (a frame with a wrong checksum, a fault).
    std::optional<UnitBytes> receive(std::span<const std::uint8_t> frame);

    // The data bytes stored for a parameter; empty for one the unit lacks.
    UnitBytes parameter(std::uint8_t number) const;
    void setParameter(std::uint8_t number, UnitBytes bytes);

    const std::vector<UnitBytes> &receivedFrames() const { return m_received; }
    int exchangeCount() const { return int(m_received.size()); }

    UnitFaults faults;
    bool unplugged = false;

private:
    PackKind m_kind;
    std::string m_description;
    std::map<std::uint8_t, UnitBytes> m_parameters;
    std::vector<UnitBytes> m_received;
};

// The checksum the units expect: a read frame is summed over every byte before
// its checksum, a write or command frame over its first n + 1 bytes.
bool requestChecksumValid(std::span<const std::uint8_t> frame);
