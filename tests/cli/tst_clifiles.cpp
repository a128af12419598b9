// The files nerio-cli makes besides parameter files: backups (their folder,
// names and contents) and CSV tables.

#include "cli/backups.h"
#include "cli/csvtable.h"
#include "cli/unitread.h"
#include "nerioclirun.h"
#include "support/testsupport.h"

#include <QTest>

namespace {

// The demo bodypack as a read finds it.
UnitReading demoReading()
{
    ScopedSimulatedBridge bridge;
    bridge->plug(SimulatedUnit::demoBodypack());
    Errortype error;
    return readUnit(0, std::nullopt, error).value_or(UnitReading{});
}

} // namespace

class TestCliFiles : public QObject
{
    Q_OBJECT

    FixtureFolder m_files;

private slots:
    void backupFolderFollowsTheEnvironment_data()
    {
        QTest::addColumn<QByteArray>("backupDir");
        QTest::addColumn<QByteArray>("stateHome");
        QTest::addColumn<QString>("folder");
        QTest::newRow("chosen") << QByteArray("/srv/packs/") << QByteArray("/state") << u"/srv/packs"_s;
        QTest::newRow("state home") << QByteArray() << QByteArray("/state") << u"/state/nerio-config/backups"_s;
        // The base directory rules ignore a relative path.
        QTest::newRow("relative state home") << QByteArray() << QByteArray("state")
                                             << QDir::homePath() + u"/.local/state/nerio-config/backups"_s;
        QTest::newRow("neither") << QByteArray() << QByteArray()
                                 << QDir::homePath() + u"/.local/state/nerio-config/backups"_s;
    }

    void backupFolderFollowsTheEnvironment()
    {
        QFETCH(QByteArray, backupDir);
        QFETCH(QByteArray, stateHome);
        QFETCH(QString, folder);
        qputenv(kBackupFolderVariable, backupDir);
        qputenv("XDG_STATE_HOME", stateHome);
        QCOMPARE(backupFolder(), folder);
    }

    void backupsOfOneSecondKeepApartInAFolderOfTheOwner()
    {
        const QString folder = m_files.path("state/nerio-config/backups");
        const QDateTime savedAt(QDate(2026, 12, 11), QTime(15, 45, 7, 600), Qt::UTC);
        QStringList names;
        for (int copy = 0; copy < 3; ++copy) {
            Errortype error;
            const auto path = saveBackup(folder, demoReading(), savedAt, error);
            QVERIFY2(path, qPrintable(error.message));
            QCOMPARE(QFileInfo(*path).dir(), QDir(folder));
            names.append(QFileInfo(*path).fileName());
        }
        QCOMPARE(names, (QStringList{u"20261211T154507Z-bodypack-device0-id1234.json"_s,
                                     u"20261211T154507Z-bodypack-device0-id1234-2.json"_s,
                                     u"20261211T154507Z-bodypack-device0-id1234-3.json"_s}));
        QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup
                                                    | QFile::WriteOther | QFile::ExeGroup | QFile::ExeOther),
                 QFile::Permissions());

        const QJsonObject expected = with(kDemoBodypack, {{"saved_at", u"2026-12-11T15:45:07Z"_s}});
        for (const QString &name : names)
            QCOMPARE(QJsonDocument::fromJson(m_files.contents(u"state/nerio-config/backups/"_s + name)).object(),
                     expected);

        Errortype error;
        const auto loaded = loadBackup(QDir(folder).filePath(names.first()), error);
        QVERIFY(loaded);
        QCOMPARE(loaded->kind, PackKind::Bodypack);
        QCOMPARE(loaded->settings.value(Setting::PttSelection), 1);
        QCOMPARE(loaded->settings.value(Setting::SideTone), 10);
    }

    void csvQuotesTheCellsThatNeedIt()
    {
        QCOMPARE(csvText({{u"device"_s, u"result"_s}, {u"0"_s, u"plain text."_s}, {u"1"_s, u"a, b"_s},
                          {u"2"_s, u"say \"no\""_s}, {u"3"_s, u"two\nlines"_s}, {QString(), u"\r"_s}}),
                 QByteArray("device,result\r\n"
                            "0,plain text.\r\n"
                            "1,\"a, b\"\r\n"
                            "2,\"say \"\"no\"\"\"\r\n"
                            "3,\"two\nlines\"\r\n"
                            ",\"\r\"\r\n"));
    }

    void csvThatCannotBeWrittenSaysWhere()
    {
        const QString path = m_files.path("no/such/folder/units.csv");
        Errortype error;
        saveCsv(path, {{u"device"_s}}, error);
        QVERIFY(error.status);
        QVERIFY2(error.message.startsWith(u"The table could not be written to "_s + path + u": "_s),
                 qPrintable(error.message));
    }
};

QTEST_GUILESS_MAIN(TestCliFiles)
#include "tst_clifiles.moc"
