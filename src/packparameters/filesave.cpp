#include "filesave.h"

#include <QFile>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

#include <optional>

namespace {

// On a full disk write() can come back short without an error, and a commit
// would then keep a truncated file, so the count is checked.
bool writeAll(QFileDevice &file, const QByteArray &bytes)
{
    return file.write(bytes) == bytes.size() && file.flush();
}

bool writeInPlace(const QString &filename, const QByteArray &bytes)
{
    QFile file(filename);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const bool written = writeAll(file, bytes);
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

enum class Replacement { Done, Failed, NotPossible };

Replacement replaceAtomically(const QString &filename, const QByteArray &bytes, const std::optional<struct stat> &old)
{
    QSaveFile file(filename);
    // QSaveFile gives the temporary file the old file's permissions itself.
    if (!file.open(QIODevice::WriteOnly))
        return Replacement::NotPossible;
    if (old && fchown(file.handle(), old->st_uid, old->st_gid) != 0) {
        file.cancelWriting();
        return Replacement::NotPossible;
    }
    if (!writeAll(file, bytes)) {
        file.cancelWriting();
        return Replacement::Failed;
    }
    // Written whole; a failed commit leaves the old file untouched. It fails
    // where the temporary file cannot take the target's place: Qt keeps it
    // unnamed until the commit and then names it after the target plus a
    // suffix, for which a name of 249 bytes or more has no room.
    return file.commit() ? Replacement::Done : Replacement::NotPossible;
}

std::optional<struct stat> existingFile(const QString &filename)
{
    struct stat status{};
    if (stat(QFile::encodeName(filename).constData(), &status) != 0)
        return std::nullopt;
    return status;
}

} // namespace

bool saveFileContents(const QString &filename, const QByteArray &bytes)
{
    const std::optional<struct stat> old = existingFile(filename);
    if (old && old->st_nlink > 1)
        return writeInPlace(filename, bytes);
    switch (replaceAtomically(filename, bytes, old)) {
    case Replacement::Done:
        return true;
    case Replacement::Failed:
        return false;
    case Replacement::NotPossible:
        break;
    }
    return writeInPlace(filename, bytes);
}
