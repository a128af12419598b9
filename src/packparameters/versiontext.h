#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The version as shown: the raw reply with a dot after its first and after its
// second digit (105 as 1.0.5, 1102 as 1.1.02, 12 as "1.2."). A text of fewer
// than two characters cannot be shown so and gives std::nullopt.
std::optional<QString> dottedVersionText(const QString &sv);

// Where the three version digits stand in `sv`: after a read it is the raw
// reply (105), on the way to a bodypack write the version label's dotted text
// (1.0.5); the same three digits either way.
inline constexpr std::array<qsizetype, 3> kRawVersionDigits{0, 1, 2};
inline constexpr std::array<qsizetype, 3> kDottedVersionDigits{0, 2, 4};

// 100 x d0 + 10 x d1 + d2 over the characters at `positions` of `sv`, each
// taken as its code less that of '0', held in 16 bits; std::nullopt when `sv`
// is too short to have them.
std::optional<std::uint16_t> versionNumber(const QString &sv, std::array<qsizetype, 3> positions);

// Whether the settings that only newer units have (the PTT control selection)
// take part: only for a version number above 100. The label's initial "x.x.x"
// counts far above it.
bool versionedSettingsTakePart(const QString &sv, std::array<qsizetype, 3> positions);
