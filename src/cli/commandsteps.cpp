#include "commandsteps.h"

#include "backups.h"

#include <QDateTime>
#include <QDir>

int unitFailure(Console &console, const QString &message)
{
    console.err << message << Qt::endl;
    return kExitFailure;
}

QString deviceText(std::uint16_t device)
{
    return QStringLiteral("device %1").arg(device);
}

BeforeWrite backupBeforeWrite(const CliRequest &request, Console &console, QString &path)
{
    if (!request.backup)
        return {};
    return [&request, &console, &path](const UnitReading &asRead) -> std::optional<QString> {
        Errortype error;
        const auto saved = saveBackup(backupFolder(), asRead, QDateTime::currentDateTimeUtc(), error);
        if (!saved)
            return error.message;
        path = *saved;
        if (!request.json)
            console.out << QStringLiteral("Backup: ") << QDir::toNativeSeparators(path) << Qt::endl;
        return std::nullopt;
    };
}
