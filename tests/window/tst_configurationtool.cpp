// The program entry: the backend it is given is installed while the window
// runs and taken down afterwards, the window shows with its title and the
// program's icon, and closing it ends with exit code 0.

#include "configurationtool.h"
#include "devicelink/simulated/simulatedbridge.h"

#include <QApplication>
#include <QIcon>
#include <QTest>
#include <QTimer>
#include <QWidget>

using namespace Qt::StringLiterals;

class ConfigurationToolTest : public QObject
{
    Q_OBJECT

private slots:
    void runsTheWindowOnTheGivenBackendUntilClosed();
};

void ConfigurationToolTest::runsTheWindowOnTheGivenBackendUntilClosed()
{
    const auto bridge = SimulatedBridge::withDemoUnits();
    QStringList shownTitles;
    bool backendInstalled = false;
    QList<QSize> iconSizes;
    auto makeBackend = [&]() -> std::shared_ptr<BridgeBackend> {
        // Runs once the application exists: look at the running window, then close it.
        QTimer::singleShot(0, [&] {
            backendInstalled = bridgeBackend() == bridge;
            iconSizes = QApplication::windowIcon().availableSizes();
            for (QWidget *window : QApplication::topLevelWidgets())
                if (window->isVisible())
                    shownTitles.append(window->windowTitle());
            QApplication::closeAllWindows();
        });
        return bridge;
    };
    int argc = 1;
    char name[] = "nerio-config";
    char *argv[] = {name, nullptr};

    QCOMPARE(runConfigurationTool(argc, argv, makeBackend), 0);
    QVERIFY(backendInstalled);
    QCOMPARE(shownTitles, QStringList{u"Nerio Configuration 1.0.1.0"_s});
    QCOMPARE(iconSizes, (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
    QCOMPARE(bridgeBackend(), nullptr);
}

QTEST_APPLESS_MAIN(ConfigurationToolTest)
#include "tst_configurationtool.moc"
