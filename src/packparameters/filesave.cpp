#include "filesave.h"

#include <QFile>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <optional>

namespace {

#ifdef Q_OS_UNIX
// What a replacement could take from the file that is there: its owner,
// group and other names.
using ExistingFile = struct stat;

std::optional<ExistingFile> existingFile(const QString &filename)
{
    ExistingFile status{};
    if (stat(QFile::encodeName(filename).constData(), &status) != 0)
        return std::nullopt;
    return status;
}

bool hasOtherNames(const ExistingFile &file)
{
    return file.st_nlink > 1;
}

// False where the user may not give the replacement that owner and group.
bool takeOverOwner(QSaveFile &replacement, const ExistingFile &file)
{
    return fchown(replacement.handle(), file.st_uid, file.st_gid) == 0;
}
#else
// Elsewhere (Windows) owners and hard links are not looked at: the
// replacement is made as QSaveFile makes it.
struct ExistingFile
{
};

std::optional<ExistingFile> existingFile(const QString &)
{
    return std::nullopt;
}

bool hasOtherNames(const ExistingFile &)
{
    return false;
}

bool takeOverOwner(QSaveFile &, const ExistingFile &)
{
    return true;
}
#endif

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

Replacement replaceAtomically(const QString &filename, const QByteArray &bytes, const std::optional<ExistingFile> &old)
{
    QSaveFile file(filename);
    // QSaveFile gives the temporary file the old file's permissions itself.
    if (!file.open(QIODevice::WriteOnly))
        return Replacement::NotPossible;
    if (old && !takeOverOwner(file, *old)) {
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

} // namespace

bool saveFileContents(const QString &filename, const QByteArray &bytes)
{
    const std::optional<ExistingFile> old = existingFile(filename);
    if (old && hasOtherNames(*old))
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
