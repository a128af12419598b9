#pragma once

// The editable settings that a write lays over what a unit holds: from a
// parameter file, from the command line, or all of a record for checking.

#include "packparameters/packrecords.h"

#include <QString>

#include <optional>

struct SettingOverrides
{
    std::optional<int> id{};
    std::optional<int> rfPower{};
    std::optional<int> startupVolume{};
    std::optional<int> micSensitivity{};
    std::optional<int> sideTone{}; // the magnitude, as the record stores it
    std::optional<int> pttSel{};

    // This set with every value that `other` has replaced by the other's.
    SettingOverrides overlaidBy(const SettingOverrides &other) const;
    bool hasBodypackOnlySettings() const;

    // Aircraft packs have no microphone, side tone or PTT settings; the caller
    // refuses those before it gets here.
    void applyTo(Body_cfg_params &record) const;
    void applyTo(Aircraft_cfg_params &record) const;
};

// Every editable setting of the record.
SettingOverrides editableSettings(const Body_cfg_params &record);
SettingOverrides editableSettings(const Aircraft_cfg_params &record);
// What a parameter file carries: the editable settings but the PTT selection.
SettingOverrides fileSettings(const Body_cfg_params &record);
SettingOverrides fileSettings(const Aircraft_cfg_params &record);

// Why these settings cannot go to a unit: the first value outside the range of
// its field in the window, or an ID the unit cannot store. std::nullopt when
// all of them can.
std::optional<QString> settingsProblem(const SettingOverrides &settings);
