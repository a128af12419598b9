#pragma once

// Puts bytes into a file, replacing what it held, with as little harm to the
// old file as the folder allows.

#include <QByteArray>
#include <QString>

// Where it can, the save goes through a temporary file beside the target that
// replaces it only once every byte is on disk, so that a failed save leaves
// the old file as it was; the replacement takes over the old file's
// permissions and, on Unix, its owner and group. Where that cannot be done,
// the file is written in place: where no temporary file can be made (a folder
// the user may write the file in but not create files in, a name too long for
// the temporary file's suffix), where the replacement could not take over the
// owner or group, and for a file with more than one hard link, which a
// replacement would split from its other names. False when the file was not
// written whole.
bool saveFileContents(const QString &filename, const QByteArray &bytes);
