#include "configurationtool.h"

#include "usbconfigurationform.h"
#include "windowtext.h"

#include <QApplication>
#include <QIcon>

int runConfigurationTool(int &argc, char **argv, const BridgeBackendFactory &makeBackend)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nerio-config"));
    QApplication::setApplicationVersion(WindowText::productVersion());
    QApplication::setDesktopFileName(QStringLiteral(NERIO_APP_ID));
    // The program's icon, as a desktop shows it for the program; the window
    // sets none of its own.
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/nerio-config-16.png"));
    icon.addFile(QStringLiteral(":/icons/nerio-config-32.png"));
    QApplication::setWindowIcon(icon);

    installBridgeBackend(makeBackend());
    {
        USBConfiguration::USBConfigurationForm window;
        window.show();
        QApplication::exec();
    }
    installBridgeBackend(nullptr);
    return 0;
}
