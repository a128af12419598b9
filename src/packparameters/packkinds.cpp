#include "packkinds.h"

#include <algorithm>

namespace {

constexpr std::array<SettingChoice, 2> kPttChoices{{
    {"Aircraft Switch", "aircraft"},
    {"Microphone Switch", "microphone"},
}};

// Indexed by Setting.
constexpr std::array<SettingInfo, kSettingCount> kSettings{{
    {Setting::Id, "id", "id", "ID", "ID:", "The unit's ID", 52, 0, 9999, "Unique_ID"},
    {Setting::RfPower, "rf_power", "rf-power", "RF Power", "RF Power (0-127):", "The transmit power of the unit's radio",
     55, 0, 127, "RF_Power"},
    {Setting::MicSensitivity, "mic_sensitivity", "mic-sensitivity", "Mic Sensitivity", "Mic sensivity (0-15):",
     "The sensitivity of the microphone input", 56, 0, 15, "Mic_Sensitivity"},
    {Setting::SideTone, "side_tone", "side-tone", "Side Tone", "Side Tone (0-24):",
     "How loud the wearer hears their own voice, as a cut below full level", 57, 0, 24, "Side_Tone", true},
    {Setting::StartupVolume, "startup_volume", "startup-volume", "Startup Volume", "Startup Volume (0-9):",
     "The volume the unit starts with", 58, 0, 9, "Startup_Volume"},
    {Setting::PttSelection, "ptt_sel", "ptt", "PTT Control", "PTT Control:",
     "Which switch keys the transmitter: the aircraft's or the microphone's", 64, 0, 1, {}, false, true,
     kPttChoices},
}};

constexpr bool indexedBySetting()
{
    for (std::size_t i = 0; i < kSettings.size(); ++i)
        if (std::size_t(kSettings[i].setting) != i)
            return false;
    return true;
}
static_assert(indexedBySetting());

constexpr std::array<Setting, 6> kBodypackSettings{Setting::Id,          Setting::RfPower,
                                                   Setting::StartupVolume, Setting::MicSensitivity,
                                                   Setting::SideTone,    Setting::PttSelection};
// Files put the side tone before the microphone sensitivity; units the other way round.
constexpr std::array<Setting, 5> kBodypackFileSettings{Setting::Id, Setting::RfPower, Setting::StartupVolume,
                                                       Setting::SideTone, Setting::MicSensitivity};
constexpr std::array<Setting, 3> kAircraftPackSettings{Setting::Id, Setting::RfPower, Setting::StartupVolume};

// An aircraft pack's read also takes its product ID in capitals; no write does.
constexpr std::array<PackKindInfo, 2> kPackKinds{{
    {PackKind::Bodypack, "bodypack", "bodypack", "Nerio Bodypack", 0xEAB0, ProductIdMatch::Exact,
     ProductIdMatch::Exact, "bpack", "Body_Parameters", kBodypackSettings, kBodypackFileSettings},
    {PackKind::AircraftPack, "aircraft", "aircraft pack", "Nerio Aircraft Pack", 0xEAB1, ProductIdMatch::AnyCase,
     ProductIdMatch::Exact, "apack", "Aicraft_Parameters", kAircraftPackSettings, kAircraftPackSettings},
}};

char lowerCase(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

} // namespace

bool PackKindInfo::has(Setting setting) const
{
    return std::find(settings.begin(), settings.end(), setting) != settings.end();
}

bool PackKindInfo::hasVersionedSettings() const
{
    return std::any_of(settings.begin(), settings.end(), [](Setting s) { return settingInfo(s).versioned; });
}

const std::array<PackKindInfo, 2> &packKinds()
{
    return kPackKinds;
}

const PackKindInfo &packKind(PackKind kind)
{
    return kPackKinds[std::size_t(kind)];
}

const std::array<SettingInfo, kSettingCount> &settings()
{
    return kSettings;
}

const SettingInfo &settingInfo(Setting setting)
{
    return kSettings[std::size_t(setting)];
}

std::optional<PackKind> packKindNamed(std::string_view name)
{
    for (const PackKindInfo &info : kPackKinds)
        if (info.name == name)
            return info.kind;
    return std::nullopt;
}

std::optional<PackKind> packKindOfUsbProductId(std::uint16_t productId)
{
    for (const PackKindInfo &info : kPackKinds)
        if (info.productId == productId)
            return info.kind;
    return std::nullopt;
}

std::array<char, 5> productIdText(PackKind kind)
{
    constexpr std::string_view hexDigits = "0123456789abcdef";
    const std::uint16_t id = packKind(kind).productId;
    return {hexDigits[id >> 12 & 0xF], hexDigits[id >> 8 & 0xF], hexDigits[id >> 4 & 0xF], hexDigits[id & 0xF], '\0'};
}

bool productIdMatches(PackKind kind, std::string_view productId, ProductIdMatch match)
{
    const std::array<char, 5> expected = productIdText(kind);
    const std::string_view own(expected.data(), 4);
    if (match == ProductIdMatch::Exact)
        return productId == own;
    return productId.size() == own.size()
           && std::equal(own.begin(), own.end(), productId.begin(),
                         [](char a, char b) { return a == lowerCase(b); });
}

std::optional<PackKind> packKindReadAs(std::string_view productId)
{
    for (const PackKindInfo &info : kPackKinds)
        if (productIdMatches(info.kind, productId, info.readMatch))
            return info.kind;
    return std::nullopt;
}
