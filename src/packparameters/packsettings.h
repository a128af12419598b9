#pragma once

// Values for some or all of a pack's editable settings: what a write lays over
// what a unit holds, what a parameter file carries, or a whole record's for
// checking before anything leaves the tool.

#include "kindtext.h"
#include "packrecords.h"

#include <QString>

#include <array>
#include <optional>
#include <span>

class PackSettings
{
public:
    std::optional<int> value(Setting setting) const { return m_values[std::size_t(setting)]; }
    void set(Setting setting, std::optional<int> value) { m_values[std::size_t(setting)] = value; }
    bool any(std::span<const Setting> which) const;

    // This set with every value that `other` has replaced by the other's.
    PackSettings overlaidBy(const PackSettings &other) const;

    // The values of those of `which` that the record holds.
    template <typename Record>
    static PackSettings of(const Record &record, std::span<const Setting> which)
    {
        PackSettings settings;
        for (const Setting setting : which)
            withSettingField(record, setting, [&](const auto &field) { settings.set(setting, int(field)); });
        return settings;
    }

    // Stores each value into the record's field. The caller has checked the
    // values against their ranges (settingsProblem), so each fits its field.
    template <typename Record>
    void applyTo(Record &record) const
    {
        for (const SettingInfo &info : settings())
            if (const auto given = value(info.setting))
                withSettingField(record, info.setting, [&](auto &field) { field = std::remove_reference_t<decltype(field)>(*given); });
    }

private:
    std::array<std::optional<int>, kSettingCount> m_values{};
};

// Every editable setting of the record, and those a parameter file carries.
template <typename Record>
PackSettings editableSettings(const Record &record)
{
    return PackSettings::of(record, packKind(kRecordKind<Record>).settings);
}
template <typename Record>
PackSettings fileSettings(const Record &record)
{
    return PackSettings::of(record, packKind(kRecordKind<Record>).fileSettings);
}

// "RF Power must be from 0 to 127, not 300." when the value is outside the
// setting's range.
std::optional<QString> rangeProblem(Setting setting, int value);

// Why these settings cannot go to a unit: the first value outside its range,
// or an ID the unit cannot store. std::nullopt when all of them can.
std::optional<QString> settingsProblem(const PackSettings &settings);
