#pragma once

// The texts the window shows in its title, message boxes and tooltips.

#include <QKeyCombination>
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

// What a setting's field sets on the unit, and the values the field takes:
// the entries of a list, or the range of a counted field as it shows it.
QString settingToolTip(Setting setting);
QString settingToolTip(Setting setting, int lowest, int highest);

// What each command button does; its tooltip adds the key that runs it.
inline const QString loadHelp = QStringLiteral("Load a parameter file into the selected tab");
inline const QString saveHelp = QStringLiteral("Save the settings of the selected tab to a parameter file");
inline const QString readHelp = QStringLiteral("Read the unit chosen under USB Devices into the selected tab");
inline const QString writeHelp = QStringLiteral("Write the settings of the selected tab to the unit chosen under USB "
                                                "Devices");
// "Read the unit chosen under USB Devices into the selected tab (F4)"
QString commandToolTip(const QString &help, QKeyCombination key);

// Shown, greyed, in the empty device drop-down after a search found no unit.
inline const QString noUnitFound = QStringLiteral("No unit found: connect one and search again");

} // namespace WindowText
