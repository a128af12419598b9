#include "versiontext.h"

std::optional<QString> dottedVersionText(const QString &sv)
{
    if (sv.size() < 2)
        return std::nullopt;
    QString dotted = sv;
    dotted.insert(1, u'.');
    dotted.insert(3, u'.');
    return dotted;
}
