#include "packkind.h"

#include "packparameters/packnumbers.h"

QString packKindName(PackKind kind)
{
    return kind == PackKind::Bodypack ? QStringLiteral("bodypack") : QStringLiteral("aircraft");
}

std::optional<PackKind> packKindFromName(const QString &name)
{
    for (const PackKind kind : {PackKind::Bodypack, PackKind::Aircraft})
        if (name == packKindName(kind))
            return kind;
    return std::nullopt;
}

QString packKindCaption(PackKind kind)
{
    return kind == PackKind::Bodypack ? QStringLiteral("bodypack") : QStringLiteral("aircraft pack");
}

std::optional<PackKind> packKindOfProductId(const QString &productId)
{
    if (productId == QLatin1String(ProductIds::bodypack))
        return PackKind::Bodypack;
    if (productId.compare(QLatin1String(ProductIds::aircraftPack), Qt::CaseInsensitive) == 0)
        return PackKind::Aircraft;
    return std::nullopt;
}
