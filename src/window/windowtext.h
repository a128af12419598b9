#pragma once

// The texts the window shows in its title and message boxes.

#include <QString>

#include <cstdint>

namespace WindowText {

inline const QString productName = QStringLiteral("Nerio Configuration");
// The program version as four numbers: major, minor, build, revision.
QString productVersion();
// "Nerio Configuration 1.0.1.0"
QString title();

inline const QString successTitle = QStringLiteral("Information");
inline const QString failureTitle = QStringLiteral("Communication Error");

inline const QString choosePttControl = QStringLiteral(
    "No PTT control is selected. Please choose Aircraft Switch or Microphone Switch under PTT Control, then write "
    "the parameters again. Nothing was written to the device.");

// The device list entry of a unit whose description could not be fetched.
QString undescribedDevice(std::uint32_t device);

} // namespace WindowText
