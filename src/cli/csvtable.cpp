#include "csvtable.h"

#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

QString csvCell(QString cell)
{
    static const QRegularExpression needsQuotes(QStringLiteral("[,\"\\r\\n]"));
    if (!cell.contains(needsQuotes))
        return cell;
    return u'"' + cell.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

QByteArray csvText(const QList<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (const QString &cell : row)
            cells.append(csvCell(cell));
        text += cells.join(u',') + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

void saveCsv(const QString &path, const QList<QStringList> &rows, Errortype &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csvText(rows)) < 0 || !file.commit())
        error.fail(QStringLiteral("The table could not be written to %1: %2.")
                       .arg(QDir::toNativeSeparators(path), file.errorString()));
}
