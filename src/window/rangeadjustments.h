#pragma once

// A value from a unit or a file that a field cannot hold is brought to the
// nearest value in the field's range, and each change is noted so that the
// user is told about it instead of seeing a value change silently.

#include "packparameters/packkinds.h"

#include <QString>
#include <QStringList>

class RangeAdjustments
{
public:
    int fit(const SettingInfo &setting, int value);

    // `text` followed by the list of changes, if any.
    QString appendedTo(const QString &text) const;

private:
    QStringList m_changes;
};
