#include "unitmodel.h"

#include "devicelink/frameconstants.h"

#include <numeric>
#include <utility>

namespace {

std::uint8_t sum(std::span<const std::uint8_t> bytes)
{
    return std::accumulate(bytes.begin(), bytes.end(), std::uint8_t(0),
                           [](std::uint8_t total, std::uint8_t byte) { return std::uint8_t(total + byte); });
}

UnitBytes idBytes(std::uint16_t id)
{
    // The ID encoding: the first two digits of a number above 99 as one byte,
    // the rest as another; 0 and the ID otherwise.
    if (id <= 99)
        return {0, std::uint8_t(id)};
    const std::string text = std::to_string(id);
    return {std::uint8_t(std::stoi(text.substr(0, 2))), std::uint8_t(std::stoi(text.substr(2)))};
}

bool versionAbove100(const UnitBytes &versionBytes)
{
    std::string text;
    for (const std::uint8_t byte : versionBytes)
        text += std::to_string(byte);
    if (text.size() < 3)
        return false;
    const int number = (text[0] - '0') * 100 + (text[1] - '0') * 10 + (text[2] - '0');
    return number > 100;
}

} // namespace

bool requestChecksumValid(std::span<const std::uint8_t> frame)
{
    if (frame.size() < 4 || std::size_t(frame[0]) + 2 != frame.size())
        return false;
    const std::size_t dataBytes = frame.size() - 4;
    const std::size_t covered = frame[1] == kReadOperation ? frame.size() - 1 : dataBytes + 1;
    return sum(frame.first(covered)) == frame.back();
}

UnitModel::UnitModel(PackKind kind, std::string description, const UnitSettings &settings)
    : m_kind(kind)
    , m_description(std::move(description))
{
    const std::pair<Setting, int> values[] = {
        {Setting::Id, settings.id},
        {Setting::RfPower, settings.rfPower},
        {Setting::StartupVolume, settings.startupVolume},
        {Setting::MicSensitivity, settings.micSensitivity},
        {Setting::SideTone, settings.sideTone},
        {Setting::PttSelection, settings.pttSel},
    };
    for (const auto &[setting, value] : values) {
        const SettingInfo &info = settingInfo(setting);
        if (!packKind(kind).has(setting) || (info.versioned && !versionAbove100(settings.versionBytes)))
            continue;
        m_parameters[info.parameter] =
            setting == Setting::Id ? idBytes(std::uint16_t(value)) : UnitBytes{std::uint8_t(value)};
    }
    m_parameters[InfoParameters::softwareVersion] = settings.versionBytes;
    m_parameters[InfoParameters::batteryVoltage] = {settings.batteryTenths};
    m_parameters[InfoParameters::rssi] = {settings.rssi};
}

UnitModel UnitModel::demoUnit(PackKind kind)
{
    if (kind == PackKind::Bodypack)
        return UnitModel(kind, "Demo Bodypack",
                         {.id = 1234, .rfPower = 90, .startupVolume = 6, .micSensitivity = 7, .sideTone = 10,
                          .pttSel = 1, .versionBytes = {1, 0, 5}, .batteryTenths = 37, .rssi = 57});
    return UnitModel(kind, "Demo Aircraft Pack",
                     {.id = 38, .rfPower = 127, .startupVolume = 4, .versionBytes = {2, 1, 0}, .batteryTenths = 41,
                      .rssi = 63});
}

std::string UnitModel::productId() const
{
    return faults.productId.value_or(productIdText(m_kind).data());
}

std::optional<std::string> UnitModel::description() const
{
    if (faults.descriptionFails)
        return std::nullopt;
    return faults.description.value_or(m_description);
}

UnitBytes UnitModel::parameter(std::uint8_t number) const
{
    const auto it = m_parameters.find(number);
    return it == m_parameters.end() ? UnitBytes() : it->second;
}

void UnitModel::setParameter(std::uint8_t number, UnitBytes bytes)
{
    m_parameters[number] = std::move(bytes);
}

std::optional<UnitBytes> UnitModel::receive(std::span<const std::uint8_t> frame)
{
    const int exchange = exchangeCount();
    m_received.emplace_back(frame.begin(), frame.end());
    if (faults.silentFromExchange && exchange >= *faults.silentFromExchange)
        return std::nullopt;
    if (!requestChecksumValid(frame))
        return std::nullopt;

    const std::uint8_t operation = frame[1];
    const std::uint8_t number = frame[2];
    const std::span<const std::uint8_t> data = frame.subspan(3, frame.size() - 4);
    UnitBytes replyData;
    switch (operation) {
    case kReadOperation:
        replyData = parameter(number);
        break;
    case kWriteOperation:
        m_parameters[number].assign(data.begin(), data.end());
        replyData.assign(data.begin(), data.end());
        break;
    case kCommandOperation:
        replyData.assign(data.begin(), data.end());
        break;
    default:
        return std::nullopt;
    }
    if (faults.replyWithoutData)
        replyData.clear();

    UnitBytes reply{std::uint8_t(replyData.size() + 2), operation, number};
    reply.insert(reply.end(), replyData.begin(), replyData.end());
    reply.push_back(sum(reply));
    if (faults.lengthBeyondReply)
        reply[0] = std::uint8_t(reply.size() + 2);
    if (faults.oversizedReply)
        reply.insert(reply.end(), 12, 0x07);
    return reply;
}
