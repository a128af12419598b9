#pragma once

#include <QString>

// What the tool tells the user when a command went well; the window and the
// command line show the same words, spelling included.
namespace OutcomeTexts {
inline const QString readFromDevice = QStringLiteral("Parameters are successfully read.");
inline const QString writtenToDevice = QStringLiteral("Parameters are successfully written.");
inline const QString savedToFile = QStringLiteral("Parameters succesfully saved to file.");
inline const QString readFromFile = QStringLiteral("Parameters successfully read from file.");
} // namespace OutcomeTexts
