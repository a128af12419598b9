#include "backups.h"

#include "unitread.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace {

const QString kSavedAtKey = QStringLiteral("saved_at");
// Far more than any unit's record; a larger file is no backup and is not read whole.
constexpr qint64 kLargestBackup = 64 * 1024;
// Names tried for the backups of one unit within one second.
constexpr int kMostNamesPerSecond = 1000;

QString savingFailed(const QString &folder, const QString &reason)
{
    return QStringLiteral("The backup could not be saved in %1: %2. Nothing was written to the unit; "
                          "--no-backup skips the backup.")
        .arg(QDir::toNativeSeparators(folder), reason);
}

// The folder, made owner-only when it has to be made: backups show how a
// fleet is set up.
bool makeFolder(const QString &folder, QString &reason)
{
    if (QFileInfo(folder).isDir())
        return true;
    const QString parent = QFileInfo(folder).absolutePath();
    if (QDir().mkpath(parent)
        && QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return true;
    // Another process may have made it in the meantime.
    if (QFileInfo(folder).isDir())
        return true;
    reason = QStringLiteral("the folder cannot be made");
    return false;
}

// Creates the first name of the series that no file has yet, so that no other
// backup can take it; empty with `reason` set when none can be created.
QString claimName(const QDir &folder, const QString &stem, QString &reason)
{
    for (int number = 1; number <= kMostNamesPerSecond; ++number) {
        const QString name = number == 1 ? stem + QStringLiteral(".json") : QStringLiteral("%1-%2.json").arg(stem).arg(number);
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return file.fileName();
        if (!file.exists()) {
            reason = file.errorString();
            return {};
        }
    }
    reason = QStringLiteral("too many backups of this unit within one second");
    return {};
}

bool syncFolder(const QString &folder, QString &reason)
{
    const int descriptor = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = descriptor >= 0 && ::fsync(descriptor) == 0;
    if (!synced)
        reason = QString::fromLocal8Bit(std::strerror(errno));
    if (descriptor >= 0)
        ::close(descriptor);
    return synced;
}

// A whole number that fits an int; std::nullopt for anything else.
std::optional<int> wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (std::trunc(number) != number || std::abs(number) > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(number);
}

} // namespace

QString backupFolder()
{
    const QString chosen = qEnvironmentVariable(kBackupFolderVariable);
    if (!chosen.isEmpty())
        return QDir::cleanPath(chosen);
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(state + QStringLiteral("/nerio-config/backups"));
}

std::optional<QString> saveBackup(const QString &folder, const UnitReading &reading, const QDateTime &savedAt,
                                  Errortype &error)
{
    const QDateTime utc = savedAt.toUTC();
    QJsonObject backup = unitRecordJson(reading);
    backup.insert(kSavedAtKey, utc.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")));
    const QString stem = QStringLiteral("%1-%2-device%3-id%4")
                             .arg(utc.toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")),
                                  qText(packKind(reading.kind).name))
                             .arg(reading.device)
                             .arg(reading.settings.value(Setting::Id).value_or(0));

    QString reason;
    if (!makeFolder(folder, reason)) {
        error.fail(savingFailed(folder, reason));
        return std::nullopt;
    }
    const QString path = claimName(QDir(folder), stem, reason);
    if (path.isEmpty()) {
        error.fail(savingFailed(folder, reason));
        return std::nullopt;
    }
    // The claimed name is replaced only once every byte is on disk, and the
    // folder is synced so that the name stays too.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(backup).toJson()) < 0 || !file.commit()) {
        error.fail(savingFailed(folder, file.errorString()));
        QFile::remove(path);
        return std::nullopt;
    }
    if (!syncFolder(folder, reason)) {
        error.fail(savingFailed(folder, reason));
        QFile::remove(path);
        return std::nullopt;
    }
    return path;
}

std::optional<FileSettings> loadBackup(const QString &path, Errortype &error)
{
    auto noBackup = [&](const QString &reason) -> std::optional<FileSettings> {
        error.fail(QStringLiteral("not a backup: %1.").arg(reason));
        return std::nullopt;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error.fail(QStringLiteral("cannot be read: %1.").arg(file.errorString()));
        return std::nullopt;
    }
    if (file.size() > kLargestBackup)
        return noBackup(QStringLiteral("it is far larger than a backup"));
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    const QJsonObject backup = document.object();
    if (!document.isObject() || !backup.value(kSavedAtKey).isString())
        return noBackup(QStringLiteral("it is no JSON object with \"%1\"").arg(kSavedAtKey));
    const auto kind = packKindNamed(backup.value(RecordKeys::kind).toString().toStdString());
    if (!kind)
        return noBackup(QStringLiteral("\"%1\" names no kind of unit").arg(RecordKeys::kind));
    PackSettings settings;
    for (const Setting setting : packKind(*kind).settings) {
        const QString key = qText(settingInfo(setting).key);
        const auto value = wholeNumber(backup.value(key));
        if (!value)
            return noBackup(QStringLiteral("\"%1\" is no whole number").arg(key));
        settings.set(setting, value);
    }
    return FileSettings{*kind, heldSettings(*kind, settings, backup.value(RecordKeys::sv).toString())};
}
