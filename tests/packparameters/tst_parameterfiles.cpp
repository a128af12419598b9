#include "packparameters/aircraftpackparameters.h"
#include "packparameters/bodypackparameters.h"
#include "packparameters/parameterfile.h"
#include "support/fixtures.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray bodypackDocument(const QByteArray &children)
{
    return xmlDocument("Body_Parameters", children);
}

Body_cfg_params exampleBodypack()
{
    Body_cfg_params record;
    record.id = 1234;
    record.rf_power = 90;
    record.startup_volume = 6;
    record.side_tone = 10;
    record.mic_sensitivity = 7;
    return record;
}

// Files are limited to `bytes` for this process while it lives: writes past
// the limit fail as on a full disk (EFBIG; the signal is ignored).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_previous{};
    void (*m_handler)(int);
};

} // namespace

class TestParameterFiles : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        folder.emplace();
        QVERIFY(folder->isValid());
    }
    void cleanup() { folder.reset(); }

    void writesTheExampleBytes();
    void roundTripKeepsWhatFilesDoNotHold();
    void savingReplacesAWholeFile();
    void loading_data();
    void loading();
    void aircraftPackFiles_data();
    void aircraftPackFiles();
    void unreadablePaths_data();
    void unreadablePaths();
    void unwritablePaths_data();
    void unwritablePaths();
    void failedSaveKeepsTheOldFile();
    void savingWhereNoTemporaryFileCanBeMade_data();
    void savingWhereNoTemporaryFileCanBeMade();
    void savingKeepsHardLinks();
    void savingKeepsPermissionsAndOwner();
    void nothingHappensOnceAnErrorStands();

private:
    QString path(const QString &name) const { return folder->path(name); }
    std::optional<FixtureFolder> folder;
};

void TestParameterFiles::writesTheExampleBytes()
{
    Errortype error;
    C_Bodypackparameters().save_to_file(path(u"example.bpack"_qs), exampleBodypack(), error);
    Aircraft_cfg_params aircraft;
    aircraft.id = 38;
    aircraft.rf_power = 127;
    aircraft.startup_volume = 4;
    C_Aircraftpackparameters().save_to_file(path(u"example.apack"_qs), aircraft, error);
    QVERIFY(!error.status);
    QCOMPARE(folder->contents(u"example.bpack"_qs), kBodypackExample);
    QCOMPARE(kBodypackExample.size(), 235);
    QCOMPARE(folder->contents(u"example.apack"_qs), kAircraftPackExample);
    QCOMPARE(kAircraftPackExample.size(), 175);
}

void TestParameterFiles::roundTripKeepsWhatFilesDoNotHold()
{
    Errortype error;
    Body_cfg_params saved = exampleBodypack();
    saved.id = -12; // the window never holds one, but the record can
    saved.ptt_sel = 0;
    C_Bodypackparameters().save_to_file(path(u"a.bpack"_qs), saved, error);
    Body_cfg_params loaded = sentinelBodypackRecord();
    C_Bodypackparameters().load_from_file(path(u"a.bpack"_qs), loaded, error);
    QVERIFY(!error.status);
    QCOMPARE(loaded.id, -12);
    QCOMPARE(loaded.rf_power, 90);
    QCOMPARE(loaded.startup_volume, 6);
    QCOMPARE(loaded.side_tone, 10);
    QCOMPARE(loaded.mic_sensitivity, 7);
    const Body_cfg_params untouched = sentinelBodypackRecord();
    QCOMPARE(loaded.sv, untouched.sv);
    QCOMPARE(loaded.rssi, untouched.rssi);
    QCOMPARE(loaded.batt_voltage, untouched.batt_voltage);
    QCOMPARE(loaded.ptt_sel, untouched.ptt_sel);
}

void TestParameterFiles::savingReplacesAWholeFile()
{
    QVERIFY(folder->write(u"old.bpack"_qs, QByteArray(4000, 'x')));
    Errortype error;
    C_Bodypackparameters().save_to_file(path(u"old.bpack"_qs), exampleBodypack(), error);
    QVERIFY(!error.status);
    QCOMPARE(folder->contents(u"old.bpack"_qs), kBodypackExample);
}

// `filled` is how many of the five settings the load stored before it ended.
void TestParameterFiles::loading_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("filled");
    QTest::addColumn<bool>("fails");

    const QByteArray id = "<Unique_ID>1234</Unique_ID>";
    const QByteArray rf = "<RF_Power>90</RF_Power>";
    const QByteArray volume = "<Startup_Volume>6</Startup_Volume>";
    const QByteArray side = "<Side_Tone>10</Side_Tone>";
    const QByteArray mic = "<Mic_Sensitivity>7</Mic_Sensitivity>";
    const auto withRf = [&](const QByteArray &value) {
        return bodypackDocument(id + "<RF_Power>" + value + "</RF_Power>" + volume + side + mic);
    };

    QTest::newRow("as written") << kBodypackExample << 5 << false;
    QTest::newRow("no byte order mark") << kBodypackExample.mid(3) << 5 << false;
    QTest::newRow("no declaration") << QByteArray("<Body_Parameters>" + id + rf + volume + side + mic
                                                  + "</Body_Parameters>")
                                    << 5 << false;
    QTest::newRow("LF and indentation")
        << QByteArray("<?xml version=\"1.0\"?>\n<Body_Parameters>\n\t" + id + "\n  " + rf + "\n  " + volume + "\n  "
                      + side + "\n  " + mic + "\n</Body_Parameters>\n")
        << 5 << false;
    QTest::newRow("comments between elements") << bodypackDocument(id + "<!-- tuned -->" + rf + volume + side + mic) << 5
                                               << false;
    QTest::newRow("mic before side tone") << bodypackDocument(id + rf + volume + mic + side) << 3 << true;
    QTest::newRow("element after the last") << bodypackDocument(id + rf + volume + side + mic + "<Extra>1</Extra>") << 5
                                            << true;
    QTest::newRow("missing last element") << bodypackDocument(id + rf + volume + side) << 4 << true;
    QTest::newRow("aircraft pack file") << kAircraftPackExample << 0 << true;
    QTest::newRow("names are case-sensitive") << bodypackDocument(id + "<rf_power>90</rf_power>" + volume + side + mic)
                                              << 1 << true;
    QTest::newRow("text between elements") << bodypackDocument(id + "x" + rf + volume + side + mic) << 1 << true;
    QTest::newRow("element inside a value") << withRf("<b>9</b>") << 1 << true;
    QTest::newRow("RF power 300") << withRf("300") << 1 << true;
    QTest::newRow("RF power -1") << withRf("-1") << 1 << true;
    QTest::newRow("RF power 1.5") << withRf("1.5") << 1 << true;
    QTest::newRow("RF power empty") << withRf("") << 1 << true;
    QTest::newRow("RF power 0x10") << withRf("0x10") << 1 << true;
    QTest::newRow("RF power two signs") << withRf("+-1") << 1 << true;
    QTest::newRow("RF power spaces around") << withRf(" \t12\r\n ") << 5 << false;
    QTest::newRow("RF power +12") << withRf("+12") << 5 << false;
    // White space is spaces, tabs and line ends only, not any Unicode space.
    QTest::newRow("RF power in no-break spaces") << withRf("\xC2\xA0" "12\xC2\xA0") << 1 << true;
    QTest::newRow("RF power in ideographic spaces") << withRf("\xE3\x80\x80" "12\xE3\x80\x80") << 1 << true;
    QTest::newRow("RF power after next line") << withRf("\xC2\x85" "12") << 1 << true;
    // Names match exactly, prefix included.
    QTest::newRow("prefixed ID") << bodypackDocument("<p:Unique_ID xmlns:p=\"urn:x\">1234</p:Unique_ID>" + rf + volume
                                                     + side + mic)
                                 << 0 << true;
    QTest::newRow("prefixed root")
        << QByteArray("<p:Body_Parameters xmlns:p=\"urn:x\">" + id + rf + volume + side + mic + "</p:Body_Parameters>")
        << 0 << true;
    QTest::newRow("RF power with many leading zeros") << withRf("0000000000000090") << 5 << false;
    QTest::newRow("RF power of twenty digits") << withRf("99999999999999999999") << 1 << true;
    QTest::newRow("ID 40000") << bodypackDocument("<Unique_ID>40000</Unique_ID>" + rf + volume + side + mic) << 0 << true;
    QTest::newRow("not XML") << QByteArray("Unique_ID=1234\n") << 0 << true;
    QTest::newRow("empty file") << QByteArray() << 0 << true;
    QTest::newRow("cut off") << kBodypackExample.left(120) << 2 << true;
    QTest::newRow("entity declaration")
        << QByteArray("<!DOCTYPE Body_Parameters [<!ENTITY v \"9\">]><Body_Parameters>" + id + rf + volume + side + mic
                      + "</Body_Parameters>")
        << 0 << true;
}

void TestParameterFiles::loading()
{
    QFETCH(QByteArray, contents);
    QFETCH(int, filled);
    QFETCH(bool, fails);

    QVERIFY(folder->write(u"in.bpack"_qs, contents));
    Errortype error;
    Body_cfg_params record = sentinelBodypackRecord();
    C_Bodypackparameters().load_from_file(path(u"in.bpack"_qs), record, error);

    QCOMPARE(error.status, fails);
    QCOMPARE(error.message, fails ? FileMessages::readFailed : QString());
    const Body_cfg_params old = sentinelBodypackRecord();
    const bool rf12 = contents.contains("12\r\n ") || contents.contains("+12");
    QCOMPARE(record.id, filled > 0 ? 1234 : old.id);
    QCOMPARE(record.rf_power, filled > 1 ? (rf12 ? 12 : 90) : old.rf_power);
    QCOMPARE(record.startup_volume, filled > 2 ? 6 : old.startup_volume);
    QCOMPARE(record.side_tone, filled > 3 ? 10 : old.side_tone);
    QCOMPARE(record.mic_sensitivity, filled > 4 ? 7 : old.mic_sensitivity);
    QCOMPARE(record.ptt_sel, old.ptt_sel);
    QCOMPARE(record.sv, old.sv);
}

// The reader checks field widths only, not the window's ranges.
void TestParameterFiles::aircraftPackFiles_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("rfPower");
    QTest::addColumn<bool>("fails");
    QTest::newRow("example") << kAircraftPackExample << 38 << 127 << false;
    QTest::newRow("ID 20000, RF power 200")
        << QByteArray("<Aicraft_Parameters><Unique_ID>20000</Unique_ID><RF_Power>200</RF_Power>"
                      "<Startup_Volume>4</Startup_Volume></Aicraft_Parameters>")
        << 20000 << 200 << false;
    QTest::newRow("ID -5") << QByteArray("<Aicraft_Parameters><Unique_ID>-5</Unique_ID><RF_Power>1</RF_Power>"
                                         "<Startup_Volume>4</Startup_Volume></Aicraft_Parameters>")
                           << -5 << 1 << false;
    QTest::newRow("bodypack file") << kBodypackExample << 0 << 0 << true;
}

void TestParameterFiles::aircraftPackFiles()
{
    QFETCH(QByteArray, contents);
    QFETCH(int, id);
    QFETCH(int, rfPower);
    QFETCH(bool, fails);

    QVERIFY(folder->write(u"in.apack"_qs, contents));
    Errortype error;
    Aircraft_cfg_params record;
    C_Aircraftpackparameters().load_from_file(path(u"in.apack"_qs), record, error);
    QCOMPARE(error.status, fails);
    QCOMPARE(record.id, id);
    QCOMPARE(record.rf_power, rfPower);
}

// Paths that are no parameter file fail at once, without blocking on a FIFO
// or reading a device for ever.
void TestParameterFiles::unreadablePaths_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing file") << u"missing.bpack"_qs;
    QTest::newRow("directory") << u"folder"_qs;
    QTest::newRow("FIFO") << u"fifo"_qs;
    QTest::newRow("device") << u"/dev/zero"_qs;
    QTest::newRow("oversized file") << u"huge.bpack"_qs;
    QTest::newRow("empty name") << QString();
}

void TestParameterFiles::unreadablePaths()
{
    QFETCH(QString, name);
    folder->dir().mkdir(u"folder"_qs);
    mkfifo(QFile::encodeName(path(u"fifo"_qs)).constData(), 0600);
    QVERIFY(folder->write(u"huge.bpack"_qs, kBodypackExample + QByteArray(2 << 20, ' ')));

    Errortype error;
    Body_cfg_params record = sentinelBodypackRecord();
    C_Bodypackparameters().load_from_file(name.startsWith(u'/') || name.isEmpty() ? name : path(name), record, error);
    QCOMPARE(error.message, FileMessages::readFailed);
    QCOMPARE(record.id, sentinelBodypackRecord().id);
}

void TestParameterFiles::unwritablePaths_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing folder") << u"no/such/folder/a.bpack"_qs;
    QTest::newRow("directory") << u"folder"_qs;
    QTest::newRow("FIFO") << u"fifo"_qs;
    QTest::newRow("empty name") << QString();
}

void TestParameterFiles::unwritablePaths()
{
    QFETCH(QString, name);
    folder->dir().mkdir(u"folder"_qs);
    mkfifo(QFile::encodeName(path(u"fifo"_qs)).constData(), 0600);

    Errortype error;
    C_Bodypackparameters().save_to_file(name.isEmpty() ? name : path(name), exampleBodypack(), error);
    QCOMPARE(error.message, FileMessages::writeFailed);
    QVERIFY(QFileInfo(path(u"folder"_qs)).isDir());
    QVERIFY(!QFileInfo(path(u"fifo"_qs)).isFile());
}

void TestParameterFiles::failedSaveKeepsTheOldFile()
{
    const QByteArray old = kBodypackExample;
    QVERIFY(folder->write(u"kept.bpack"_qs, old));
    Errortype error;
    Body_cfg_params changed = exampleBodypack();
    changed.rf_power = 11;
    {
        const FileSizeLimit limit(100);
        C_Bodypackparameters().save_to_file(path(u"kept.bpack"_qs), changed, error);
    }
    QCOMPARE(error.message, FileMessages::writeFailed);
    QCOMPARE(folder->contents(u"kept.bpack"_qs), old);
    QCOMPARE(folder->dir().entryList(QDir::Files), QStringList{u"kept.bpack"_qs});
}

// The save replaces the file through a temporary file beside it where it can
// make one, and otherwise writes it in place.
void TestParameterFiles::savingWhereNoTemporaryFileCanBeMade_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("readOnlyFolder");

    // 255 bytes, the longest a name may be: no room for a temporary suffix.
    const QString longest = QString(255 - 6, u'n') + u".bpack"_qs;
    QTest::newRow("own file in a read-only folder") << u"a.bpack"_qs << true << true;
    QTest::newRow("new 255-byte name") << longest << false << false;
    QTest::newRow("existing 255-byte name") << longest << true << false;
}

void TestParameterFiles::savingWhereNoTemporaryFileCanBeMade()
{
    QFETCH(QString, name);
    QFETCH(bool, existing);
    QFETCH(bool, readOnlyFolder);

    if (existing)
        QVERIFY(folder->write(name, QByteArray(4000, 'x')));
    const QFile::Permissions writable = QFile(folder->dir().path()).permissions();
    if (readOnlyFolder)
        QVERIFY(QFile(folder->dir().path()).setPermissions(writable & ~(QFile::WriteOwner | QFile::WriteUser)));
    Errortype error;
    {
        // Root could make the temporary file in the read-only folder.
        const ScopedFileAccessChecks asAnyUser;
        C_Bodypackparameters().save_to_file(path(name), exampleBodypack(), error);
    }
    QFile(folder->dir().path()).setPermissions(writable);
    QCOMPARE(error.message, QString());
    QCOMPARE(folder->contents(name), kBodypackExample);
    QCOMPARE(folder->dir().entryList(QDir::Files), QStringList{name});
}

// A replacement would split the file from its other names.
void TestParameterFiles::savingKeepsHardLinks()
{
    QVERIFY(folder->write(u"a.bpack"_qs, QByteArray(4000, 'x')));
    QCOMPARE(link(QFile::encodeName(path(u"a.bpack"_qs)).constData(),
                  QFile::encodeName(path(u"b.bpack"_qs)).constData()),
             0);
    Errortype error;
    C_Bodypackparameters().save_to_file(path(u"a.bpack"_qs), exampleBodypack(), error);
    QCOMPARE(error.message, QString());
    QCOMPARE(folder->contents(u"b.bpack"_qs), kBodypackExample);
    struct stat a{};
    struct stat b{};
    QCOMPARE(stat(QFile::encodeName(path(u"a.bpack"_qs)).constData(), &a), 0);
    QCOMPARE(stat(QFile::encodeName(path(u"b.bpack"_qs)).constData(), &b), 0);
    QCOMPARE(a.st_ino, b.st_ino);
    QCOMPARE(a.st_nlink, nlink_t(2));
}

// A save over an existing file changes its contents and nothing else. Only
// root can give a file to another user, so the owner part needs root (CI runs
// the tests as root).
void TestParameterFiles::savingKeepsPermissionsAndOwner()
{
    const QByteArray name = QFile::encodeName(path(u"a.bpack"_qs));
    QVERIFY(folder->write(u"a.bpack"_qs, QByteArray(4000, 'x')));
    QCOMPARE(chmod(name.constData(), 0604), 0);
    const bool root = geteuid() == 0;
    const uid_t otherUser = 65534; // nobody
    if (root)
        QCOMPARE(chown(name.constData(), otherUser, otherUser), 0);

    Errortype error;
    C_Bodypackparameters().save_to_file(path(u"a.bpack"_qs), exampleBodypack(), error);
    QCOMPARE(error.message, QString());
    QCOMPARE(folder->contents(u"a.bpack"_qs), kBodypackExample);
    struct stat saved{};
    QCOMPARE(stat(name.constData(), &saved), 0);
    QCOMPARE(saved.st_mode & 07777, mode_t(0604));
    if (!root)
        QSKIP("Only root can give the file to another user; the owner check needs root.");
    QCOMPARE(saved.st_uid, otherUser);
    QCOMPARE(saved.st_gid, gid_t(otherUser));
}

void TestParameterFiles::nothingHappensOnceAnErrorStands()
{
    QVERIFY(folder->write(u"in.bpack"_qs, kBodypackExample));
    Errortype error;
    error.fail(u"first"_qs);
    C_Bodypackparameters().save_to_file(path(u"new.bpack"_qs), exampleBodypack(), error);
    Body_cfg_params record = sentinelBodypackRecord();
    C_Bodypackparameters().load_from_file(path(u"in.bpack"_qs), record, error);
    QVERIFY(!QFile::exists(path(u"new.bpack"_qs)));
    QCOMPARE(record.id, sentinelBodypackRecord().id);
    QCOMPARE(error.message, u"first"_qs);
}

QTEST_GUILESS_MAIN(TestParameterFiles)
#include "tst_parameterfiles.moc"
