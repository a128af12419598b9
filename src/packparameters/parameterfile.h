#pragma once

// The XML parameter files: a root element holding one element per setting, in
// a fixed order, written byte for byte in one layout and read leniently as to
// whitespace, declaration and byte order mark.

#include "common/errortype.h"

#include <QString>

#include <functional>
#include <span>

namespace FileMessages {
inline const QString writeFailed = QStringLiteral("An error occured while writing a parameter file.");
inline const QString readFailed = QStringLiteral("An error occured while reading a parameter file.");
} // namespace FileMessages

struct FileValue
{
    const char *element;
    int value;
};

struct FileField
{
    const char *element;
    int minimum;
    int maximum;
    std::function<void(int)> store;
};

// Writes the file through a temporary file that replaces `filename` only once
// every byte is on disk, so a failed save leaves an existing file as it was.
void writeParameterFile(const QString &filename, const char *root, std::span<const FileValue> values, Errortype &error);

// Stores each field as soon as it is read; on a failure the fields before it
// keep what the file held and the others are not touched.
void readParameterFile(const QString &filename, const char *root, std::span<const FileField> fields, Errortype &error);
