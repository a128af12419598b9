#pragma once

// Tables for spreadsheets: comma-separated values as RFC 4180 has them.

#include "common/errortype.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The rows in UTF-8, each ended by CR LF; a cell that holds a comma, a double
// quote, CR or LF goes in double quotes, with its double quotes doubled.
QByteArray csvText(const QList<QStringList> &rows);

// Writes the rows to `path` through a temporary file that replaces it only
// when complete. On a failure the message names the file.
void saveCsv(const QString &path, const QList<QStringList> &rows, Errortype &error);
