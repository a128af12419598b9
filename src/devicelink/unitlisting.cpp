#include "unitlisting.h"

#include "siusbbridge.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace {

std::optional<QString> productString(std::uint16_t device, ProductStringOption option)
{
    std::array<char, kProductStringSize> buffer{};
    if (SI_GetProductString(device, buffer.data(), std::uint32_t(option)) != kBridgeSuccess)
        return std::nullopt;
    return QString::fromLocal8Bit(buffer.data());
}

} // namespace

QList<ListedUnit> listUnits()
{
    std::uint32_t count = 0;
    SI_GetNumDevices(&count);
    // Device numbers are 16 bits wide all through the protocol, and the
    // highest stands for no selection.
    count = std::min<std::uint32_t>(count, std::numeric_limits<std::uint16_t>::max());
    QList<ListedUnit> units;
    for (std::uint32_t number = 0; number < count; ++number) {
        const auto device = std::uint16_t(number);
        units.append({device,
                      productString(device, ProductStringOption::Description)
                          .value_or(QStringLiteral("USB device %1 (its description could not be read)").arg(device)),
                      productString(device, ProductStringOption::ProductId).value_or(QString())});
    }
    return units;
}
