#include "idencoding.h"

QString dottedId(std::int16_t id)
{
    const QString digits = QString::number(id);
    if (id <= 99)
        return QStringLiteral("0.") + digits;
    return digits.left(2) + u'.' + digits.mid(2);
}

std::optional<QString> unstorableIdMessage(int id)
{
    if (id < 0 || id > 9999)
        return QStringLiteral("The ID %1 cannot be stored on the unit. Please choose an ID from 0 to 9999.").arg(id);
    if (id >= 1000 && id % 100 <= 9)
        return QStringLiteral("The ID %1 cannot be stored on the unit: IDs from 1000 to 9999 whose last two digits "
                              "are 00 to 09 read back as another ID. Please choose another ID.")
            .arg(id);
    return std::nullopt;
}

bool idIsStorable(int id, Errortype &error)
{
    const auto problem = unstorableIdMessage(id);
    if (problem)
        error.fail(*problem);
    return !problem;
}
