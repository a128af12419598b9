// The support switch: NERIO_TRACE prints every frame of an exchange to stderr.

#include "devicelink/cparameter.h"
#include "devicelink/frametrace.h"
#include "support/testsupport.h"

#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTest>

#include <cstdio>
#include <unistd.h>

namespace {

// Collects what is written to stderr while it lives.
class CapturedStderr
{
public:
    CapturedStderr()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        dup2(m_file.handle(), STDERR_FILENO);
    }
    ~CapturedStderr() { restore(); }
    CapturedStderr(const CapturedStderr &) = delete;
    CapturedStderr &operator=(const CapturedStderr &) = delete;

    QByteArray text()
    {
        restore();
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace

class TestFrameTrace : public QObject
{
    Q_OBJECT

private slots:
    void switchedByEnvironment_data()
    {
        QTest::addColumn<QByteArray>("setting");
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("withTimes");
        QTest::newRow("unset") << QByteArray() << false << false;
        QTest::newRow("0") << QByteArray("0") << false << false;
        QTest::newRow("1") << QByteArray("1") << true << false;
        QTest::newRow("times") << QByteArray("times") << true << true;
    }

    void switchedByEnvironment()
    {
        QFETCH(QByteArray, setting);
        QFETCH(bool, on);
        QFETCH(bool, withTimes);
        ScopedSimulatedBridge bridge;
        bridge->plug(SimulatedUnit::demoBodypack());
        if (setting.isNull())
            qunsetenv("NERIO_TRACE");
        else
            qputenv("NERIO_TRACE", setting);

        CapturedStderr captured;
        QCOMPARE(enableFrameTraceFromEnvironment(), on);
        Errortype error;
        CParameter(0).read(52, error);
        disableFrameTrace();
        const QByteArray text = captured.text();
        qunsetenv("NERIO_TRACE");

        QVERIFY(!error.status);
        if (!on) {
            QCOMPARE(text, QByteArray());
            return;
        }
        const QString time = withTimes ? QStringLiteral(" +[0-9]+\\.[0-9]{3} ms") : QString();
        const QRegularExpression expected(QStringLiteral("^nerio:%1 -> 03 52 34 00 89\nnerio:%1 <- 04 52 34 0c 22 b8\n$")
                                              .arg(time));
        QVERIFY2(expected.match(QString::fromLatin1(text)).hasMatch(), text.constData());
    }
};

QTEST_GUILESS_MAIN(TestFrameTrace)
#include "tst_frametrace.moc"
