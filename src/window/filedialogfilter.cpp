#include "filedialogfilter.h"

namespace {

QStringList patternsOf(const QString &patternText)
{
    QStringList patterns = patternText.split(u';', Qt::SkipEmptyParts);
    for (QString &pattern : patterns)
        pattern = pattern.trimmed();
    patterns.removeAll(QString());
    return patterns;
}

} // namespace

QStringList qtNameFilters(const QString &barSeparatedFilter)
{
    const QStringList parts = barSeparatedFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = patternsOf(parts[i + 1]).join(u' ');
        const QString shown = QStringLiteral("(%1)").arg(patterns);
        // Qt shows the whole text and takes the patterns from its last
        // parentheses; a description that already names them keeps its form.
        filters.append(description.endsWith(shown) ? description : description + u' ' + shown);
    }
    return filters;
}

QString defaultSuffix(const QString &barSeparatedFilter)
{
    const QStringList parts = barSeparatedFilter.split(u'|');
    if (parts.size() < 2)
        return QString();
    const QStringList patterns = patternsOf(parts[1]);
    if (patterns.isEmpty() || !patterns[0].startsWith(QStringLiteral("*.")))
        return QString();
    const QString suffix = patterns[0].mid(2);
    return suffix.contains(u'*') || suffix.contains(u'?') ? QString() : suffix;
}
