#include "unitkind.h"

#include "devicelink/cparameter.h"
#include "packparameters/packexchange.h"

std::optional<PackKind> kindOfUnit(std::uint16_t device, Errortype &error)
{
    const QString productId = CParameter(device).GetProductID(error);
    if (error.status)
        return std::nullopt;
    const auto kind = packKindReadAs(productId.toStdString());
    if (!kind)
        error.fail(PackMessages::wrongDevice);
    return kind;
}
