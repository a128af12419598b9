#pragma once

// Everything that tells the two pack kinds apart, in one table: a row per
// kind and a row per editable setting. The pack classes, the parameter files,
// the window, the command line and the simulated and emulated units all take
// these facts from here, so a kind or a setting changes in one place.
//
// Plain C++ without Qt, so that code that cannot link Qt can use it too.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

enum class PackKind { Bodypack, AircraftPack };

// In the order of the records' fields, which is also the order in which the
// window copies them.
enum class Setting { Id, RfPower, MicSensitivity, SideTone, StartupVolume, PttSelection };
inline constexpr std::size_t kSettingCount = 6;

// An entry of a setting that is chosen from a list rather than counted; its
// value is its position.
struct SettingChoice
{
    std::string_view caption; // as the window lists it: "Aircraft Switch"
    std::string_view option;  // as the command line takes it: "aircraft"
};

struct SettingInfo
{
    Setting setting;
    std::string_view key;         // record field and JSON key: "rf_power"
    std::string_view option;      // command-line option: "rf-power"
    std::string_view name;        // in messages about its value: "RF Power"
    std::string_view caption;     // the window's caption: "RF Power (0-127):"
    std::string_view description; // what it sets on the unit
    std::uint8_t parameter;       // its parameter number on the unit
    int minimum;                  // the range the tool lets through to a unit;
    int maximum;                  // for the side tone its magnitude
    std::string_view fileElement; // empty when parameter files do not carry it
    bool shownNegated = false;    // the window shows the magnitude negated
    // Read and written only when the unit's software version is above 100.
    bool versioned = false;
    std::span<const SettingChoice> choices = {};

    bool contains(int value) const { return value >= minimum && value <= maximum; }
};

// Which comparison of the reported product ID a whole-set operation makes.
enum class ProductIdMatch { Exact, AnyCase };

struct PackKindInfo
{
    PackKind kind;
    std::string_view name;     // command line and JSON: "bodypack"
    std::string_view caption;  // as people read it: "bodypack"
    std::string_view unitName; // a unit whose own description cannot be read
    std::uint16_t productId;
    ProductIdMatch readMatch;
    ProductIdMatch writeMatch;
    std::string_view fileExtension; // without the dot
    std::string_view fileRoot;
    std::span<const Setting> settings;     // in the order of whole-set reads and writes
    std::span<const Setting> fileSettings; // in the order of a parameter file's elements

    bool has(Setting setting) const;
    bool hasVersionedSettings() const;
};

// Parameters that every unit reports and nobody edits, and the command that
// closes a whole-set write.
namespace InfoParameters {
inline constexpr std::uint8_t softwareVersion = 50;
inline constexpr std::uint8_t batteryVoltage = 61;
inline constexpr std::uint8_t rssi = 60;
} // namespace InfoParameters
inline constexpr std::uint8_t kClosingCommand = 70;
inline constexpr std::string_view kClosingCommandValue = "1";

// The captions of the values the units report.
namespace InfoCaptions {
inline constexpr std::string_view softwareVersion = "Software Version:";
inline constexpr std::string_view batteryVoltage = "Battery Voltage:";
inline constexpr std::string_view rssi = "RSSI:";
} // namespace InfoCaptions

inline constexpr std::uint16_t kUnitVendorId = 0x10C4;

const std::array<PackKindInfo, 2> &packKinds();
const PackKindInfo &packKind(PackKind kind);
// Every setting, indexed by its Setting.
const std::array<SettingInfo, kSettingCount> &settings();
const SettingInfo &settingInfo(Setting setting);

std::optional<PackKind> packKindNamed(std::string_view name);
std::optional<PackKind> packKindOfUsbProductId(std::uint16_t productId);
// The product ID as the bridge reports it: four lower-case hex digits.
std::array<char, 5> productIdText(PackKind kind);
// The kind whose whole-set read accepts this reported product ID.
std::optional<PackKind> packKindReadAs(std::string_view productId);
bool productIdMatches(PackKind kind, std::string_view productId, ProductIdMatch match);
