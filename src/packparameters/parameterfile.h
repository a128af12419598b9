#pragma once

// The XML parameter files: a root element holding one element per setting, in
// the order of the kind table's file settings, written byte for byte in one
// layout and read leniently as to whitespace, declaration and byte order mark.

#include "common/errortype.h"
#include "packrecords.h"

#include <QString>

namespace FileMessages {
inline const QString writeFailed = QStringLiteral("An error occured while writing a parameter file.");
inline const QString readFailed = QStringLiteral("An error occured while reading a parameter file.");
} // namespace FileMessages

// Writes the file through a temporary file that replaces `filename` only once
// every byte is on disk, so a failed save leaves an existing file as it was,
// or in place where a replacement cannot be made or would change more than
// the contents (filesave.h).
template <typename Record>
void saveParameterFile(const QString &filename, const Record &record, Errortype &error);

// Stores each setting as soon as it is read; on a failure the settings before
// it keep what the file held and the others are not touched. Only the field
// widths are checked, not the window's ranges.
template <typename Record>
void loadParameterFile(const QString &filename, Record &record, Errortype &error);
