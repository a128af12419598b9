// The window as built: its controls, their texts, places, ranges and tab
// indexes, the file dialogs, the size limits, the title, the state it starts
// in and the focus order; what screen readers and tooltips tell about the
// controls; and that nothing overlaps or is cut off at Debian's default font,
// neither in the window nor in a message box's title.

#include "filedialogfilter.h"
#include "formlayout.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(QMessageBox::Icon)

namespace {

QRect baseRect(int x, int y, int width, int height)
{
    return QRect(x, y, width, height);
}

QList<QWidget *> placedWidgets(QWidget *window)
{
    QList<QWidget *> placed;
    for (QWidget *widget : window->findChildren<QWidget *>())
        if (widget->property("tabIndex").isValid())
            placed.append(widget);
    return placed;
}

// Where a child may be: inside a group box's frame below its caption, on a
// page, in the window's client area.
QRect roomIn(QWidget *container)
{
    const auto *group = qobject_cast<QGroupBox *>(container);
    if (!group)
        return container->rect();
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect caption = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
    return group->rect().adjusted(1, caption.bottom() + 1, -1, -1);
}

} // namespace

class WindowLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void defaultFontIsTheOneTheLayoutIsCheckedAt();
    void controls_data();
    void controls();
    void pttDropDown();
    void fileDialogs_data();
    void fileDialogs();
    void screenReaderNames();
    void toolTips_data();
    void toolTips();
    void messageBoxShowsItsWholeTitle_data();
    void messageBoxShowsItsWholeTitle();
    void barSeparatedFilters_data();
    void barSeparatedFilters();
    void nothingOverlapsOrIsCutOff();
    void sizeLimits();
    void titleIsSetWhenFirstShown();
    void startState();
    void focusOrder();
};

void WindowLayoutTest::defaultFontIsTheOneTheLayoutIsCheckedAt()
{
    WindowFixture fixture;
    QCOMPARE(QFontInfo(fixture.window->font()).family(), u"DejaVu Sans"_s);
    QCOMPARE(fixture.window->fontMetrics().averageCharWidth(), 6);
    QCOMPARE(fixture.window->fontMetrics().height(), 14);
}

void WindowLayoutTest::controls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("base");
    QTest::addColumn<int>("tabIndex");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");

    auto row = [](const char *name, const char *kind, const char *container, const char *text, QRect base,
                  int tab, int minimum = 0, int maximum = 0) {
        QTest::newRow(name) << QString::fromLatin1(kind) << QString::fromLatin1(container) << QString::fromUtf8(text)
                            << base << tab << minimum << maximum;
    };
    row("groupBox3", "QGroupBox", "USBConfigurationForm", "Actions", baseRect(12, 12, 600, 98), 0);
    row("TabControl", "QTabWidget", "USBConfigurationForm", "", baseRect(12, 132, 600, 239), 1);

    row("label2", "QLabel", "groupBox3", "USB Devices", baseRect(6, 26, 71, 13), 28);
    row("bSearchUSBButton", "QPushButton", "groupBox3", "Search for USB Devices", baseRect(347, 18, 143, 23), 1);
    row("bUSBCombobox", "QComboBox", "groupBox3", "", baseRect(127, 20, 166, 21), 0);
    row("bWritebutton", "QPushButton", "groupBox3", "F5 Write Parameters", baseRect(417, 59, 118, 23), 5);
    row("bReadButton", "QPushButton", "groupBox3", "F4 Read Parameters", baseRect(289, 59, 118, 23), 4);
    row("bSaveButton", "QPushButton", "groupBox3", "F3 Save to File", baseRect(156, 59, 118, 23), 3);
    row("bLoadButton", "QPushButton", "groupBox3", "F2 Load from File", baseRect(21, 59, 118, 23), 2);

    row("yTabPage", "QWidget", "TabControl", "Bodypack Parameters", QRect(), 1, 0);
    row("aTabPage", "QWidget", "TabControl", "Aircraftpack Parameters", QRect(), 3, 1);

    row("yRadioGroupBox", "QGroupBox", "yTabPage", "Info", baseRect(305, 20, 265, 177), 10);
    row("yGeneralGroupBox", "QGroupBox", "yTabPage", "Settings", baseRect(17, 20, 265, 177), 9);

    row("yPTT_SelComboBox1", "QComboBox", "yGeneralGroupBox", "", baseRect(127, 150, 126, 21), 26);
    row("label1", "QLabel", "yGeneralGroupBox", "PTT Control:", baseRect(6, 153, 67, 13), 24);
    row("yMIC_SensitivityNumericUpDown", "QSpinBox", "yGeneralGroupBox", "", baseRect(153, 125, 100, 20), 21, 0, 15);
    row("yMIC_SensitivityLabel", "QLabel", "yGeneralGroupBox", "Mic sensivity (0-15):", baseRect(6, 127, 100, 13), 1);
    row("yStartup_VolumeNumericUpDown", "QSpinBox", "yGeneralGroupBox", "", baseRect(153, 73, 100, 20), 21, 0, 9);
    row("ySide_ToneNumericUpDown", "QSpinBox", "yGeneralGroupBox", "", baseRect(153, 99, 100, 20), 21, -24, 0);
    row("IDnumericUpDown1", "QSpinBox", "yGeneralGroupBox", "", baseRect(153, 20, 100, 20), 22, 0, 9999);
    row("ySide_ToneLabel", "QLabel", "yGeneralGroupBox", "Side Tone (0-24):", baseRect(6, 101, 89, 13), 1);
    row("yRF_PowerNumericUpDown", "QSpinBox", "yGeneralGroupBox", "", baseRect(153, 47, 100, 20), 21, 0, 127);
    row("yStartup_VolumeLabel", "QLabel", "yGeneralGroupBox", "Startup Volume (0-9):", baseRect(6, 75, 106, 13), 1);
    row("yRF_powerLabel", "QLabel", "yGeneralGroupBox", "RF Power (0-127):", baseRect(6, 49, 93, 13), 4);
    row("yIDLabel", "QLabel", "yGeneralGroupBox", "ID:", baseRect(6, 22, 21, 13), 1);

    row("bv_RSSIlabel1", "QLabel", "yRadioGroupBox", "0%", baseRect(134, 75, 21, 13), 6);
    row("bv_Batterylabel1", "QLabel", "yRadioGroupBox", "0,0V", baseRect(134, 49, 29, 13), 5);
    row("bv_SVlabel1", "QLabel", "yRadioGroupBox", "x.x.x", baseRect(134, 22, 28, 13), 4);
    row("b_RSSIlabel1", "QLabel", "yRadioGroupBox", "RSSI:", baseRect(11, 75, 35, 13), 3);
    row("b_Batterylabel1", "QLabel", "yRadioGroupBox", "Battery Voltage:", baseRect(11, 49, 82, 13), 2);
    row("b_SVlabel1", "QLabel", "yRadioGroupBox", "Software Version:", baseRect(11, 22, 90, 13), 0);

    row("groupBox1", "QGroupBox", "aTabPage", "Info", baseRect(305, 20, 265, 107), 24);
    row("aGeneralGroupBox", "QGroupBox", "aTabPage", "Settings", baseRect(17, 20, 265, 107), 11);

    row("av_RSSIlabel1", "QLabel", "groupBox1", "0%", baseRect(134, 75, 21, 13), 6);
    row("av_Batterylabel3", "QLabel", "groupBox1", "0,0V", baseRect(134, 49, 29, 13), 5);
    row("Av_SVlabel4", "QLabel", "groupBox1", "x.x.x", baseRect(134, 22, 28, 13), 4);
    row("a_RSSIlabel5", "QLabel", "groupBox1", "RSSI:", baseRect(11, 75, 35, 13), 3);
    row("A_Batterylabel6", "QLabel", "groupBox1", "Battery Voltage:", baseRect(11, 49, 82, 13), 2);
    row("a_SVlabel7", "QLabel", "groupBox1", "Software Version:", baseRect(11, 22, 90, 13), 0);

    row("aStartup_VolumeNumericUpDown", "QSpinBox", "aGeneralGroupBox", "", baseRect(153, 73, 100, 20), 21, 0, 9);
    row("aStartup_VolumeLabel", "QLabel", "aGeneralGroupBox", "Startup Volume (0-9):", baseRect(6, 75, 106, 13), 1);
    row("aIDnumericUpDown1", "QSpinBox", "aGeneralGroupBox", "", baseRect(153, 20, 100, 20), 23, 0, 9999);
    row("aRF_PowerNumericUpDown", "QSpinBox", "aGeneralGroupBox", "", baseRect(153, 47, 100, 20), 21, 0, 127);
    row("aRF_PowerLabel", "QLabel", "aGeneralGroupBox", "RF Power (0-127):", baseRect(6, 49, 93, 13), 4);
    row("aIDlabel", "QLabel", "aGeneralGroupBox", "ID:", baseRect(6, 22, 21, 13), 1);
}

void WindowLayoutTest::controls()
{
    QFETCH(QString, kind);
    QFETCH(QString, container);
    QFETCH(QString, text);
    QFETCH(QRect, base);
    QFETCH(int, tabIndex);
    QFETCH(int, minimum);
    QFETCH(int, maximum);

    WindowFixture fixture;
    fixture.window->show();
    const char *name = QTest::currentDataTag();
    auto *control = fixture.control<QWidget>(name);
    QCOMPARE(QString::fromLatin1(control->metaObject()->className()), kind);
    QCOMPARE(::tabIndex(control), tabIndex);

    if (container == u"TabControl"_s) {
        // A page: its position among the tabs and its tab text.
        auto *tabs = fixture.control<QTabWidget>("TabControl");
        QCOMPARE(tabs->indexOf(control), minimum);
        QCOMPARE(tabs->tabText(minimum), text);
        return;
    }
    QCOMPARE(control->parentWidget()->objectName(), container);

    const QRect scaled = FormScale(fixture.window->fontMetrics()).rect(base.x(), base.y(), base.width(), base.height());
    if (auto *label = qobject_cast<QLabel *>(control)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->pos(), scaled.topLeft());
        QCOMPARE(label->size(), label->sizeHint());
        return;
    }
    // Other controls keep their scaled place; one whose text needs more room
    // is wider, and may have moved left for it.
    QCOMPARE(control->y(), scaled.y());
    QCOMPARE(control->height(), scaled.height());
    QVERIFY(control->width() >= scaled.width());
    if (control->width() == scaled.width())
        QCOMPARE(control->x(), scaled.x());

    if (auto *group = qobject_cast<QGroupBox *>(control))
        QCOMPARE(group->title(), text);
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        QCOMPARE(button->text(), text);
    if (auto *field = qobject_cast<QSpinBox *>(control)) {
        QCOMPARE(field->minimum(), minimum);
        QCOMPARE(field->maximum(), maximum);
    }
}

void WindowLayoutTest::pttDropDown()
{
    WindowFixture fixture;
    auto *ptt = fixture.control<QComboBox>("yPTT_SelComboBox1");
    QVERIFY(!ptt->isEditable());
    QCOMPARE(ptt->count(), 2);
    QCOMPARE(ptt->itemText(0), u"Aircraft Switch"_s);
    QCOMPARE(ptt->itemText(1), u"Microphone Switch"_s);
    QCOMPARE(ptt->maxVisibleItems(), 2);
    QVERIFY(fixture.control<QComboBox>("bUSBCombobox")->isEditable());
}

void WindowLayoutTest::fileDialogs_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QFileDialog::AcceptMode>("mode");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("bSaveFileDialog") << 0 << u"bSaveButton"_s << QFileDialog::AcceptSave
                                     << u"Bodypack Parameter (*.bpack)"_s << u"bpack"_s;
    QTest::newRow("bOpenFileDialog") << 0 << u"bLoadButton"_s << QFileDialog::AcceptOpen
                                     << u"Bodypack Parameters (*.bpack)"_s << u"bpack"_s;
    QTest::newRow("aSaveFileDialog") << 1 << u"bSaveButton"_s << QFileDialog::AcceptSave
                                     << u"Aircraftpack Parameters (*.apack)"_s << u"apack"_s;
    QTest::newRow("aOpenFileDialog") << 1 << u"bLoadButton"_s << QFileDialog::AcceptOpen
                                     << u"Aircraftpack Parameters (*.apack)"_s << u"apack"_s;
}

void WindowLayoutTest::fileDialogs()
{
    QFETCH(int, tab);
    QFETCH(QString, button);
    QFETCH(QFileDialog::AcceptMode, mode);
    QFETCH(QString, filter);
    QFETCH(QString, suffix);
    WindowFixture fixture;
    // Built on first use, not with the window.
    QVERIFY(fixture.window->findChildren<QFileDialog *>().isEmpty());
    fixture.control<QTabWidget>("TabControl")->setCurrentIndex(tab);
    auto *command = fixture.control<QPushButton>(qPrintable(button));
    command->click();

    auto *dialog = fixture.control<QFileDialog>(QTest::currentDataTag());
    QCOMPARE(dialog->acceptMode(), mode);
    QCOMPARE(dialog->nameFilters(), QStringList{filter});
    QCOMPARE(dialog->defaultSuffix(), suffix);
    QVERIFY(!dialog->isVisible());
    // Room for the files' names, sizes and dates, scaled like the window.
    QCOMPARE(dialog->size(), FormScale(fixture.window->fontMetrics()).size(800, 500));

    // Kept for the window's life: the next use shows the same dialog.
    command->click();
    QCOMPARE(fixture.window->findChildren<QFileDialog *>(), QList<QFileDialog *>{dialog});
    QCOMPARE(fixture.dialogs->fileDialogsShown, QStringList(2, QString::fromLatin1(QTest::currentDataTag())));
}

void WindowLayoutTest::screenReaderNames()
{
    QAccessible::setActive(true);
    WindowFixture fixture;
    fixture.window->show();
    auto accessibleName = [](QWidget *widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    };
    const QMap<QString, QString> fieldNames{
        {u"bUSBCombobox"_s, u"USB Devices"_s},
        {u"IDnumericUpDown1"_s, u"ID"_s},
        {u"yRF_PowerNumericUpDown"_s, u"RF Power (0-127)"_s},
        {u"yStartup_VolumeNumericUpDown"_s, u"Startup Volume (0-9)"_s},
        {u"ySide_ToneNumericUpDown"_s, u"Side Tone (0-24)"_s},
        {u"yMIC_SensitivityNumericUpDown"_s, u"Mic sensivity (0-15)"_s},
        {u"yPTT_SelComboBox1"_s, u"PTT Control"_s},
        {u"aIDnumericUpDown1"_s, u"ID"_s},
        {u"aRF_PowerNumericUpDown"_s, u"RF Power (0-127)"_s},
        {u"aStartup_VolumeNumericUpDown"_s, u"Startup Volume (0-9)"_s},
    };
    QStringList groupCaptions;
    for (const QGroupBox *group : fixture.window->findChildren<QGroupBox *>())
        groupCaptions.append(group->title());

    QList<QWidget *> inputs;
    for (QSpinBox *field : fixture.window->findChildren<QSpinBox *>())
        inputs.append(field);
    for (QComboBox *list : fixture.window->findChildren<QComboBox *>())
        inputs.append(list);
    QCOMPARE(inputs.size(), fieldNames.size());
    for (QWidget *input : inputs) {
        const QString field = input->objectName();
        // Drop-downs without an entry shown, as they start, announce their name.
        const QString name = accessibleName(input);
        QCOMPARE(name, fieldNames.value(field));
        QVERIFY2(!groupCaptions.contains(name), qPrintable(field));
        // Qt on Linux announces a drop-down that shows an entry by the entry
        // and takes the field's name from its label: its caption comes first.
        const auto labels = QAccessible::queryAccessibleInterface(input)->relations(QAccessible::Label);
        QVERIFY2(!labels.isEmpty(), qPrintable(field));
        auto *caption = qobject_cast<QLabel *>(labels.first().first->object());
        QVERIFY2(caption && caption->buddy() == input, qPrintable(field));
    }

    // Reported values are read with their captions.
    QCOMPARE(accessibleName(fixture.control<QLabel>("bv_Batterylabel1")), u"Battery Voltage: 0,0V"_s);
    QCOMPARE(accessibleName(fixture.control<QLabel>("Av_SVlabel4")), u"Software Version: x.x.x"_s);
    QCOMPARE(accessibleName(fixture.control<QLabel>("av_RSSIlabel1")), u"RSSI: 0%"_s);
}

void WindowLayoutTest::toolTips_data()
{
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("IDnumericUpDown1") << u"The unit's ID, from 0 to 9999."_s;
    QTest::newRow("yRF_PowerNumericUpDown") << u"The transmit power of the unit's radio, from 0 to 127."_s;
    QTest::newRow("yStartup_VolumeNumericUpDown") << u"The volume the unit starts with, from 0 to 9."_s;
    QTest::newRow("ySide_ToneNumericUpDown")
        << u"How loud the wearer hears their own voice, as a cut below full level, from -24 to 0."_s;
    QTest::newRow("yMIC_SensitivityNumericUpDown") << u"The sensitivity of the microphone input, from 0 to 15."_s;
    QTest::newRow("yPTT_SelComboBox1") << u"Which switch keys the transmitter: the aircraft's or the microphone's. "
                                          u"Choose Aircraft Switch or Microphone Switch."_s;
    QTest::newRow("aIDnumericUpDown1") << u"The unit's ID, from 0 to 9999."_s;
    QTest::newRow("aRF_PowerNumericUpDown") << u"The transmit power of the unit's radio, from 0 to 127."_s;
    QTest::newRow("aStartup_VolumeNumericUpDown") << u"The volume the unit starts with, from 0 to 9."_s;
    QTest::newRow("bLoadButton") << u"Load a parameter file into the selected tab (F2)"_s;
    QTest::newRow("bSaveButton") << u"Save the settings of the selected tab to a parameter file (F3)"_s;
    QTest::newRow("bReadButton") << u"Read the unit chosen under USB Devices into the selected tab (F4)"_s;
    QTest::newRow("bWritebutton") << u"Write the settings of the selected tab to the unit chosen under USB Devices "
                                     u"(F5)"_s;
}

void WindowLayoutTest::toolTips()
{
    QFETCH(QString, toolTip);
    WindowFixture fixture;
    QCOMPARE(fixture.control<QWidget>(QTest::currentDataTag())->toolTip(), toolTip);
}

void WindowLayoutTest::messageBoxShowsItsWholeTitle_data()
{
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("short failure") << QMessageBox::Critical << u"Communication Error"_s
                                   << u"No response from device."_s;
    QTest::newRow("success") << QMessageBox::Information << u"Information"_s << u"Parameters are successfully read."_s;
    QTest::newRow("long failure") << QMessageBox::Critical << u"Communication Error"_s
                                  << u"You tried to communicate with the wrong device. Please select another one."_s;
}

void WindowLayoutTest::messageBoxShowsItsWholeTitle()
{
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(QString, title);
    QFETCH(QString, text);
    WindowFixture fixture;
    const auto box = messageBox(fixture.window.get(), icon, title, text);
    box->show();

    QVERIFY2(box->width() >= widthForTitle(title), qPrintable(QString::number(box->width())));
    // Room for more than the title's text: the icon and buttons beside it.
    QVERIFY(widthForTitle(title) > box->fontMetrics().horizontalAdvance(title) * 3 / 2);
    QCOMPARE(box->windowTitle(), title);
    QCOMPARE(box->text(), text);
    QCOMPARE(box->icon(), icon);
    QCOMPARE(box->parentWidget(), fixture.window.get());
    QCOMPARE(box->standardButtons(), QMessageBox::Ok);
    QCOMPARE(box->defaultButton(), box->button(QMessageBox::Ok));
}

void WindowLayoutTest::barSeparatedFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("nameFilters");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("description names the pattern")
        << u"Bodypack Parameter (*.bpack) | *.bpack"_s << QStringList{u"Bodypack Parameter (*.bpack)"_s}
        << u"bpack"_s;
    QTest::newRow("bare description") << u"Parameter files|*.bpack"_s
                                      << QStringList{u"Parameter files (*.bpack)"_s} << u"bpack"_s;
    QTest::newRow("several pairs and patterns")
        << u"Packs|*.bpack;*.apack|All files (*.*)|*.*"_s
        << QStringList{u"Packs (*.bpack *.apack)"_s, u"All files (*.*)"_s} << u"bpack"_s;
    QTest::newRow("no usable suffix") << u"All files|*.*"_s << QStringList{u"All files (*.*)"_s} << QString();
    QTest::newRow("description without pattern") << u"Packs"_s << QStringList() << QString();
}

void WindowLayoutTest::barSeparatedFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, nameFilters);
    QFETCH(QString, suffix);
    QCOMPARE(qtNameFilters(filter), nameFilters);
    QCOMPARE(defaultSuffix(filter), suffix);
}

void WindowLayoutTest::nothingOverlapsOrIsCutOff()
{
    WindowFixture fixture;
    // Both pages are laid out only once each has been shown.
    auto *tabs = fixture.control<QTabWidget>("TabControl");
    fixture.window->show();
    tabs->setCurrentIndex(1);
    tabs->setCurrentIndex(0);

    const QList<QWidget *> placed = placedWidgets(fixture.window.get());
    QCOMPARE(placed.size(), 45);
    for (QWidget *control : placed) {
        const QString name = control->objectName();
        QWidget *container = control->parentWidget();
        QVERIFY2(roomIn(container).contains(control->geometry()), qPrintable(name + u" sticks out of its container"_s));
        const bool page = tabs->indexOf(control) >= 0; // pages take turns in one place
        for (QWidget *other : placed) {
            if (!page && other != control && other->parentWidget() == container)
                QVERIFY2(!control->geometry().intersects(other->geometry()),
                         qPrintable(name + u" overlaps "_s + other->objectName()));
        }
        if (auto *label = qobject_cast<QLabel *>(control))
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(name));
        if (auto *button = qobject_cast<QAbstractButton *>(control))
            QVERIFY2(button->width() >= captionWidth(button), qPrintable(name + u" cuts its caption"_s));
    }
    auto *ptt = fixture.control<QComboBox>("yPTT_SelComboBox1");
    QVERIFY(ptt->width() >= ptt->sizeHint().width());
    QVERIFY(tabs->tabBar()->width() <= tabs->width());
}

void WindowLayoutTest::sizeLimits()
{
    // 619 x 386 at the 6 x 13 cell, 20 pixels of height to spare; at 6 x 14
    // the height grows in proportion.
    WindowFixture fixture;
    QCOMPARE(fixture.window->size(), QSize(619, 416));
    QCOMPARE(fixture.window->minimumSize(), QSize(619, 416));
    QCOMPARE(fixture.window->maximumSize(), QSize(619, 437));
}

void WindowLayoutTest::titleIsSetWhenFirstShown()
{
    WindowFixture fixture;
    QVERIFY(fixture.window->windowTitle().isEmpty());
    fixture.window->show();
    QCOMPARE(fixture.window->windowTitle(), u"Nerio Configuration 1.0.1.0"_s);
    fixture.window->hide();
    fixture.window->setWindowTitle(u"changed"_s);
    fixture.window->show();
    QCOMPARE(fixture.window->windowTitle(), u"changed"_s);
}

void WindowLayoutTest::startState()
{
    WindowFixture fixture;
    QCOMPARE(fixture.control<QTabWidget>("TabControl")->currentIndex(), 0);
    auto *devices = fixture.control<QComboBox>("bUSBCombobox");
    QCOMPARE(devices->count(), 0);
    QCOMPARE(devices->currentIndex(), -1);
    QVERIFY(devices->currentText().isEmpty());
    // Only a search that finds no unit says so.
    QVERIFY(devices->lineEdit()->placeholderText().isEmpty());
    QCOMPARE(fixture.control<QComboBox>("yPTT_SelComboBox1")->currentIndex(), -1);
    for (QSpinBox *field : fixture.window->findChildren<QSpinBox *>())
        QCOMPARE(field->value(), 0);
    for (const char *name : {"bv_SVlabel1", "Av_SVlabel4"})
        QCOMPARE(fixture.control<QLabel>(name)->text(), u"x.x.x"_s);
    for (const char *name : {"bv_Batterylabel1", "av_Batterylabel3"})
        QCOMPARE(fixture.control<QLabel>(name)->text(), u"0,0V"_s);
    for (const char *name : {"bv_RSSIlabel1", "av_RSSIlabel1"})
        QCOMPARE(fixture.control<QLabel>(name)->text(), u"0%"_s);
}

void WindowLayoutTest::focusOrder()
{
    WindowFixture fixture;
    QVERIFY(fixture.showActive());
    auto *tabs = fixture.control<QTabWidget>("TabControl");
    auto focusName = [] {
        QWidget *focus = QApplication::focusWidget();
        return focus == nullptr ? QString() : focus->objectName();
    };
    auto tabThrough = [&](int presses) {
        QStringList visited;
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.append(focusName());
        }
        return visited;
    };

    QCOMPARE(focusName(), u"bUSBCombobox"_s);
    const QString tabStrip = tabs->tabBar()->objectName();
    QCOMPARE(tabThrough(13),
             (QStringList{u"bSearchUSBButton"_s, u"bLoadButton"_s, u"bSaveButton"_s, u"bReadButton"_s,
                          u"bWritebutton"_s, tabStrip, u"yMIC_SensitivityNumericUpDown"_s,
                          u"yStartup_VolumeNumericUpDown"_s, u"ySide_ToneNumericUpDown"_s,
                          u"yRF_PowerNumericUpDown"_s, u"IDnumericUpDown1"_s, u"yPTT_SelComboBox1"_s,
                          u"bUSBCombobox"_s}));

    tabs->setCurrentIndex(1);
    tabs->tabBar()->setFocus();
    QCOMPARE(tabThrough(4), (QStringList{u"aStartup_VolumeNumericUpDown"_s, u"aRF_PowerNumericUpDown"_s,
                                          u"aIDnumericUpDown1"_s, u"bUSBCombobox"_s}));
}

QTEST_MAIN(WindowLayoutTest)
#include "tst_windowlayout.moc"
