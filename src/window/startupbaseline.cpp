// startup-baseline: the least that a Qt Widgets program does to show a window
// with the tool's title and size. scripts/measure-startup.sh times the tool's
// start-up against it, so that the figure says what the tool adds to Qt's own.

#include "formlayout.h"
#include "usbconfigurationform.h"
#include "windowtext.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(WindowText::title());
    const QSize size = USBConfiguration::USBConfigurationForm::kBaseClientSize;
    window.resize(FormScale(window.fontMetrics()).size(size.width(), size.height()));
    window.show();
    return QApplication::exec();
}
