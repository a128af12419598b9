#pragma once

// What the two pack classes share for a whole-set read or write: the kind
// check, reading a reply value into a field, and the version number rule.

#include "batteryvoltage.h"
#include "common/errortype.h"
#include "devicelink/cparameter.h"

#include <array>
#include <cstdint>
#include <optional>

namespace PackMessages {
inline const QString wrongDevice =
    QStringLiteral("You tried to communicate with the wrong device. Please select another one.");
QString invalidPttSelection(int ptt_sel);
QString valueOutOfRange(std::uint8_t par_number, const QString &reply);
} // namespace PackMessages

// True when the unit's product ID names the expected kind. Otherwise records
// the wrong-device message, unless the product ID could not be read at all.
bool unitIsOfKind(CParameter &param, const QString &expected, Qt::CaseSensitivity sensitivity, Errortype &error);

// Reads parameters one after another into record fields. Each call returns
// false when the whole-set read has to end: the exchange failed (its message
// stands) or the unit answered with a value that does not fit the field.
class PackReader
{
public:
    PackReader(CParameter &param, Errortype &error) : m_param(param), m_error(error) {}

    bool number(std::uint8_t par_number, std::int16_t &field);
    bool number(std::uint8_t par_number, std::uint8_t &field);
    bool battery(std::uint8_t par_number, BatteryVoltage &field);
    bool text(std::uint8_t par_number, QString &field);

private:
    std::optional<long long> integer(std::uint8_t par_number, long long maximum);

    CParameter &m_param;
    Errortype &m_error;
};

// Where the three version digits stand in `sv`: after a read it is the raw
// reply (105), on the way to a bodypack write the version label's dotted text
// (1.0.5); the same three digits either way.
inline constexpr std::array<qsizetype, 3> kRawVersionDigits{0, 1, 2};
inline constexpr std::array<qsizetype, 3> kDottedVersionDigits{0, 2, 4};

// 100 x d0 + 10 x d1 + d2 over the characters at `positions` of `sv`, each
// taken as its code less that of '0', held in 16 bits; std::nullopt when `sv`
// is too short to have them.
std::optional<std::uint16_t> versionNumber(const QString &sv, std::array<qsizetype, 3> positions);
bool pttTakesPart(const QString &sv, std::array<qsizetype, 3> positions);

// Records why `id` cannot be written to a unit, before anything is sent.
bool idIsStorable(int id, Errortype &error);
