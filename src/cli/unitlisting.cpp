#include "unitlisting.h"

#include "devicelink/cparameter.h"
#include "devicelink/siusbbridge.h"
#include "packparameters/packexchange.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

QString description(std::uint16_t device)
{
    std::array<char, kProductStringSize> buffer{};
    if (SI_GetProductString(device, buffer.data(), std::uint32_t(ProductStringOption::Description)) != kBridgeSuccess)
        return QString();
    return QString::fromLocal8Bit(buffer.data());
}

} // namespace

QList<ListedUnit> listUnits()
{
    std::uint32_t count = 0;
    SI_GetNumDevices(&count);
    // Device numbers are 16 bits wide all through the protocol.
    count = std::min<std::uint32_t>(count, std::numeric_limits<std::uint16_t>::max());
    QList<ListedUnit> units;
    for (std::uint32_t number = 0; number < count; ++number) {
        const auto device = std::uint16_t(number);
        Errortype error;
        const QString productId = CParameter(device).GetProductID(error);
        units.append({device, productId, packKindOfProductId(productId), description(device)});
    }
    return units;
}

std::optional<PackKind> kindOfUnit(std::uint16_t device, Errortype &error)
{
    const QString productId = CParameter(device).GetProductID(error);
    if (error.status)
        return std::nullopt;
    const auto kind = packKindOfProductId(productId);
    if (!kind)
        error.fail(PackMessages::wrongDevice);
    return kind;
}
