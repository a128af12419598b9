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

std::optional<std::uint16_t> versionNumber(const QString &sv, std::array<qsizetype, 3> positions)
{
    int number = 0;
    for (const qsizetype position : positions) {
        if (position >= sv.size())
            return std::nullopt;
        number = number * 10 + (int(sv[position].unicode()) - '0');
    }
    return std::uint16_t(number);
}

bool versionedSettingsTakePart(const QString &sv, std::array<qsizetype, 3> positions)
{
    const auto number = versionNumber(sv, positions);
    return number && *number > 100;
}
