#pragma once

#include "batteryvoltage.h"

#include <QString>

#include <array>
#include <cstdint>

// The settings of one bodypack. `sv` holds the raw version reply (105) after a
// read, and the version label's dotted text (1.0.5) on the way to a write.
// The PTT control selections by their `ptt_sel` value.
inline const std::array<QString, 2> kPttSelectionNames{QStringLiteral("Aircraft Switch"),
                                                       QStringLiteral("Microphone Switch")};

class Body_cfg_params
{
public:
    std::int16_t id = 0;
    std::uint8_t rf_power = 0;
    std::uint8_t mic_sensitivity = 0;
    std::uint8_t side_tone = 0; // magnitude; shown negated
    std::uint8_t startup_volume = 0;
    QString sv;
    std::uint8_t rssi = 0;
    BatteryVoltage batt_voltage;
    std::uint8_t ptt_sel = 0; // 0 "Aircraft Switch", 1 "Microphone Switch"
};

class Aircraft_cfg_params
{
public:
    std::int16_t id = 0;
    std::uint8_t rf_power = 0;
    std::uint8_t startup_volume = 0;
    QString sv;
    std::uint8_t rssi = 0;
    BatteryVoltage batt_voltage;
};
