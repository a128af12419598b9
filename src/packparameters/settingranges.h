#pragma once

// The ranges of the settings the user may edit (the window's fields). The
// records and files can hold more; what leaves the tool stays inside these.
struct SettingRange
{
    const char *name;
    int minimum;
    int maximum;

    bool contains(int value) const { return value >= minimum && value <= maximum; }
};

namespace SettingRanges {
inline constexpr SettingRange id{"ID", 0, 9999};
inline constexpr SettingRange rfPower{"RF Power", 0, 127};
inline constexpr SettingRange startupVolume{"Startup Volume", 0, 9};
inline constexpr SettingRange micSensitivity{"Mic Sensitivity", 0, 15};
inline constexpr SettingRange sideTone{"Side Tone", 0, 24}; // the magnitude; the window shows it negated
inline constexpr SettingRange pttSelection{"PTT Control", 0, 1};
} // namespace SettingRanges
