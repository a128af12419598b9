#pragma once

// File dialog filters are written as "description|pattern" pairs joined by
// "|", patterns within a pair separated by ";" ("Bodypack Parameters (*.bpack)
// | *.bpack"). Qt wants "description (patterns)" per filter.

#include <QString>
#include <QStringList>

QStringList qtNameFilters(const QString &barSeparatedFilter);

// The extension of the first filter's first pattern ("bpack" for "*.bpack"),
// added to a file name typed without one; empty for a pattern such as "*.*".
QString defaultSuffix(const QString &barSeparatedFilter);
