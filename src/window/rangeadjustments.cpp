#include "rangeadjustments.h"

#include "packparameters/kindtext.h"

#include <algorithm>

int RangeAdjustments::fit(const SettingInfo &setting, int value)
{
    const int fitted = std::clamp(value, setting.minimum, setting.maximum);
    if (fitted != value)
        m_changes.append(QStringLiteral("%1: %2 changed to %3").arg(qText(setting.name)).arg(value).arg(fitted));
    return fitted;
}

QString RangeAdjustments::appendedTo(const QString &text) const
{
    if (m_changes.isEmpty())
        return text;
    return text + QStringLiteral("\n\nSome values were outside the range of their fields and have been changed:\n")
           + m_changes.join(u'\n');
}
