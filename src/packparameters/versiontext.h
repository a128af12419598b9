#pragma once

#include <QString>

#include <optional>

// The version as shown: the raw reply with a dot after its first and after its
// second digit (105 as 1.0.5, 1102 as 1.1.02, 12 as "1.2."). A text of fewer
// than two characters cannot be shown so and gives std::nullopt.
std::optional<QString> dottedVersionText(const QString &sv);
