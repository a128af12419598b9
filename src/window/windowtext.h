#pragma once

// The texts the window shows in its title and message boxes.

#include <QString>

#include "packparameters/packkinds.h"

namespace WindowText {

inline const QString productName = QStringLiteral("Nerio Configuration");
// The program version as four numbers: major, minor, build, revision.
QString productVersion();
// "Nerio Configuration 1.0.1.0"
QString title();

inline const QString successTitle = QStringLiteral("Information");
inline const QString failureTitle = QStringLiteral("Communication Error");

// Why a write with no entry chosen in the setting's list sends nothing.
QString chooseFromList(Setting setting);

} // namespace WindowText
