#pragma once

#include "batteryvoltage.h"
#include "packkinds.h"

#include <QString>

#include <cstdint>

// The settings of one bodypack. `sv` holds the raw version reply (105) after a
// read, and the version label's dotted text (1.0.5) on the way to a write.
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

// The kind whose settings a record type holds.
template <typename Record>
inline constexpr PackKind kRecordKind = PackKind::Bodypack;
template <>
inline constexpr PackKind kRecordKind<Aircraft_cfg_params> = PackKind::AircraftPack;

// Hands the record's field of `setting` to `use`, as a reference to its own
// type; false when the record has no such field.
template <typename Record, typename Use>
bool withSettingField(Record &record, Setting setting, Use &&use)
{
    switch (setting) {
    case Setting::Id:
        use(record.id);
        return true;
    case Setting::RfPower:
        use(record.rf_power);
        return true;
    case Setting::StartupVolume:
        use(record.startup_volume);
        return true;
    case Setting::MicSensitivity:
        if constexpr (requires { record.mic_sensitivity; }) {
            use(record.mic_sensitivity);
            return true;
        }
        break;
    case Setting::SideTone:
        if constexpr (requires { record.side_tone; }) {
            use(record.side_tone);
            return true;
        }
        break;
    case Setting::PttSelection:
        if constexpr (requires { record.ptt_sel; }) {
            use(record.ptt_sel);
            return true;
        }
        break;
    }
    return false;
}

// Calls `use` with a fresh record of the kind's type and returns what it returns.
template <typename Use>
decltype(auto) withRecordOf(PackKind kind, Use &&use)
{
    if (kind == PackKind::Bodypack)
        return use(Body_cfg_params{});
    return use(Aircraft_cfg_params{});
}
