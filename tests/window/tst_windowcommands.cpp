// The window's commands against simulated units: search, Read, Write, Save
// and Load by button and by function key, what reaches the unit and the
// files, what the controls show afterwards and which box the user gets.

#include "devicelink/siusbbridge.h"
#include "support/fixtures.h"
#include "windowfixture.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(QMessageBox::Icon)

namespace {

const QString kChoosePtt = u"No PTT Control is selected. Please choose Aircraft Switch or Microphone Switch under "
                           u"PTT Control, then write the parameters again. Nothing was written to the device."_s;

// The bodypack settings in table order and the values of the demo bodypack.
const QStringList kBodypackFields{u"IDnumericUpDown1"_s, u"yRF_PowerNumericUpDown"_s,
                                  u"yStartup_VolumeNumericUpDown"_s, u"ySide_ToneNumericUpDown"_s,
                                  u"yMIC_SensitivityNumericUpDown"_s};
const QList<int> kDemoBodypackValues{1234, 90, 6, -10, 7};
const QStringList kAircraftPackFields{u"aIDnumericUpDown1"_s, u"aRF_PowerNumericUpDown"_s,
                                      u"aStartup_VolumeNumericUpDown"_s};
const QList<int> kDemoAircraftPackValues{38, 127, 4};

void click(const WindowFixture &fixture, const char *button)
{
    fixture.control<QPushButton>(button)->click();
}

QStringList entries(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

QList<int> values(const WindowFixture &fixture, const QStringList &fields)
{
    QList<int> shown;
    for (const QString &field : fields)
        shown.append(fixture.control<QSpinBox>(qPrintable(field))->value());
    return shown;
}

void setValues(const WindowFixture &fixture, const QStringList &fields, const QList<int> &shown)
{
    for (qsizetype i = 0; i < fields.size(); ++i)
        fixture.control<QSpinBox>(qPrintable(fields[i]))->setValue(shown[i]);
}

// The field holds `value` and then is emptied as a user would, keeping the focus.
void emptyWithKeys(QSpinBox *field, int value)
{
    field->setValue(value);
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
}

QStringList infoLabels(const WindowFixture &fixture, int tab)
{
    QStringList texts;
    const auto names = tab == 0 ? std::array{"bv_SVlabel1", "bv_Batterylabel1", "bv_RSSIlabel1"}
                                : std::array{"Av_SVlabel4", "av_Batterylabel3", "av_RSSIlabel1"};
    for (const char *name : names)
        texts.append(fixture.control<QLabel>(name)->text());
    return texts;
}


// Restores the default locale when a test ends.
class ScopedLocale
{
public:
    explicit ScopedLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(m_previous); }

private:
    QLocale m_previous;
};

QList<int> cursorShapesDuringExchanges;

void noteCursorShape(FrameDirection, std::span<const std::uint8_t>)
{
    const QCursor *cursor = QApplication::overrideCursor();
    cursorShapesDuringExchanges.append(cursor ? int(cursor->shape()) : -1);
}

} // namespace

class WindowCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void search_data();
    void search();
    void searchRebuildsTheList();
    void searchKeepsEveryUnitAtItsPlace();
    void readBodypack_data();
    void readBodypack();
    void readAircraftPack();
    void readFailureChangesNoControl_data();
    void readFailureChangesNoControl();
    void readFitsValuesOutsideTheFields();
    void writeBodypack_data();
    void writeBodypack();
    void writeAircraftPack();
    void writeFailure_data();
    void writeFailure();
    void saveAndLoad_data();
    void saveAndLoad();
    void failedLoad_data();
    void failedLoad();
    void loadFitsValuesOutsideTheFields();
    void cancelledFileDialog_data();
    void cancelledFileDialog();
    void failedSave();
    void keys_data();
    void keys();
    void functionKeyInAnOpenList_data();
    void functionKeyInAnOpenList();
    void emptyFieldRule_data();
    void emptyFieldRule();
    void functionKeyChecksTheEmptiedField();
    void functionKeyWritesTheEmptiedIdAsShown();
    void waitCursorWhileTalkingToUnits();
};

void WindowCommandsTest::search_data()
{
    QTest::addColumn<int>("units");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("none") << 0 << QStringList();
    QTest::newRow("one") << 1 << QStringList{u"Demo Bodypack"_s};
    QTest::newRow("two") << 2 << QStringList{u"Demo Bodypack"_s, u"Demo Aircraft Pack"_s};
}

void WindowCommandsTest::search()
{
    QFETCH(int, units);
    QFETCH(QStringList, expected);
    WindowFixture fixture;
    if (units > 0)
        fixture.bridge->plug(SimulatedUnit::demoBodypack());
    if (units > 1)
        fixture.bridge->plug(SimulatedUnit::demoAircraftPack());
    click(fixture, "bSearchUSBButton");

    auto *devices = fixture.control<QComboBox>("bUSBCombobox");
    QCOMPARE(entries(devices), expected);
    QCOMPARE(devices->currentIndex(), units > 0 ? 0 : -1);
    QVERIFY(fixture.dialogs->messages.isEmpty());
    if (units > 0) {
        QVERIFY(devices->lineEdit()->placeholderText().isEmpty());
        return;
    }

    // No box, but the empty list says why, also to a screen reader; that text
    // is neither an entry nor a selection, so a Read still addresses no unit.
    const QString noUnit = u"No unit found: connect one and search again"_s;
    QCOMPARE(devices->lineEdit()->placeholderText(), noUnit);
    QCOMPARE(QAccessible::queryAccessibleInterface(devices)->text(QAccessible::Description), noUnit);
    QVERIFY(devices->currentText().isEmpty());
    click(fixture, "bReadButton");
    QCOMPARE(fixture.dialogs->messages.size(), 1);
    QCOMPARE(fixture.dialogs->messages.first().text, Expected::noProductId);

    // Gone once a unit is found.
    fixture.bridge->plug(SimulatedUnit::demoBodypack());
    click(fixture, "bSearchUSBButton");
    QVERIFY(devices->lineEdit()->placeholderText().isEmpty());
    QVERIFY(devices->toolTip().isEmpty());
    QCOMPARE(devices->currentIndex(), 0);
}

void WindowCommandsTest::searchRebuildsTheList()
{
    WindowFixture fixture;
    const auto bodypack = fixture.bridge->plug(SimulatedUnit::demoBodypack());
    fixture.bridge->plug(SimulatedUnit::demoAircraftPack());
    click(fixture, "bSearchUSBButton");
    auto *devices = fixture.control<QComboBox>("bUSBCombobox");
    devices->setCurrentIndex(1);

    fixture.bridge->unplug(bodypack);
    fixture.bridge->plug(SimulatedUnit(PackKind::Bodypack, u"Spare bodypack"_s, UnitSettings()));
    click(fixture, "bSearchUSBButton");
    QCOMPARE(entries(devices), (QStringList{u"Demo Aircraft Pack"_s, u"Spare bodypack"_s}));
    QCOMPARE(devices->currentIndex(), 0);
}

void WindowCommandsTest::searchKeepsEveryUnitAtItsPlace()
{
    WindowFixture fixture;
    SimulatedUnit undescribed = SimulatedUnit::demoBodypack();
    undescribed.faults.descriptionFails = true;
    fixture.bridge->plug(undescribed);
    fixture.bridge->plug(SimulatedUnit::demoAircraftPack());
    click(fixture, "bSearchUSBButton");
    auto *devices = fixture.control<QComboBox>("bUSBCombobox");
    QCOMPARE(entries(devices), (QStringList{u"USB device 0 (its description could not be read)"_s,
                                            u"Demo Aircraft Pack"_s}));

    // Each entry still addresses its own unit.
    devices->setCurrentIndex(1);
    fixture.control<QTabWidget>("TabControl")->setCurrentIndex(1);
    click(fixture, "bReadButton");
    QCOMPARE(values(fixture, kAircraftPackFields), kDemoAircraftPackValues);
    devices->setCurrentIndex(0);
    fixture.control<QTabWidget>("TabControl")->setCurrentIndex(0);
    click(fixture, "bReadButton");
    QCOMPARE(values(fixture, kBodypackFields), kDemoBodypackValues);
    QCOMPARE(fixture.dialogs->messages.size(), 2);
    QCOMPARE(fixture.dialogs->messages.last().text, Expected::readFromDevice);
}

void WindowCommandsTest::readBodypack_data()
{
    QTest::addColumn<QByteArray>("versionBytes");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<int>("ptt");
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("1.0.5, decimal point") << bytes({1, 0, 5}) << english
                                          << QStringList{u"1.0.5"_s, u"3.7 V"_s, u"57"_s} << 1;
    QTest::newRow("1.0.5, decimal comma") << bytes({1, 0, 5}) << QLocale(QLocale::German, QLocale::Germany)
                                          << QStringList{u"1.0.5"_s, u"3,7 V"_s, u"57"_s} << 1;
    // At version 100 and below the unit is not asked for its PTT selection.
    QTest::newRow("1.0.0, no PTT read") << bytes({1, 0, 0}) << english
                                        << QStringList{u"1.0.0"_s, u"3.7 V"_s, u"57"_s} << 0;
    QTest::newRow("1.10.2 shown as 1.1.02") << bytes({1, 10, 2}) << english
                                            << QStringList{u"1.1.02"_s, u"3.7 V"_s, u"57"_s} << 1;
}

void WindowCommandsTest::readBodypack()
{
    QFETCH(QByteArray, versionBytes);
    QFETCH(QLocale, locale);
    QFETCH(QStringList, labels);
    QFETCH(int, ptt);
    const ScopedLocale userLocale(locale);
    WindowFixture fixture;
    SimulatedUnit unit = SimulatedUnit::demoBodypack();
    unit.setParameter(50, versionBytes);
    fixture.bridge->plug(unit);
    click(fixture, "bSearchUSBButton");
    click(fixture, "bReadButton");

    QCOMPARE(values(fixture, kBodypackFields), kDemoBodypackValues);
    QCOMPARE(fixture.control<QComboBox>("yPTT_SelComboBox1")->currentIndex(), ptt);
    QCOMPARE(infoLabels(fixture, 0), labels);
    QCOMPARE(QAccessible::queryAccessibleInterface(fixture.control<QLabel>("bv_Batterylabel1"))
                 ->text(QAccessible::Name),
             u"Battery Voltage: "_s + labels[1]);
    QCOMPARE(fixture.control<QTabWidget>("TabControl")->currentIndex(), 0);
    QCOMPARE(fixture.dialogs->messages.size(), 1);
    const ScriptedDialogs::Message &box = fixture.dialogs->messages.first();
    QCOMPARE(box.owner, fixture.window.get());
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.title, u"Information"_s);
    QCOMPARE(box.text, Expected::readFromDevice);
}

void WindowCommandsTest::readAircraftPack()
{
    const ScopedLocale userLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    WindowFixture fixture;
    fixture.bridge->plug(SimulatedUnit::demoBodypack());
    fixture.bridge->plug(SimulatedUnit::demoAircraftPack());
    click(fixture, "bSearchUSBButton");
    fixture.control<QComboBox>("bUSBCombobox")->setCurrentIndex(1);
    fixture.control<QTabWidget>("TabControl")->setCurrentIndex(1);
    click(fixture, "bReadButton");

    QCOMPARE(values(fixture, kAircraftPackFields), kDemoAircraftPackValues);
    QCOMPARE(infoLabels(fixture, 1), (QStringList{u"2.1.0"_s, u"4.1 V"_s, u"63"_s}));
    QCOMPARE(infoLabels(fixture, 0), (QStringList{u"x.x.x"_s, u"0,0V"_s, u"0%"_s}));
    QCOMPARE(fixture.control<QTabWidget>("TabControl")->currentIndex(), 1);
    QCOMPARE(fixture.dialogs->messages.size(), 1);
    QCOMPARE(fixture.dialogs->messages.first().text, Expected::readFromDevice);
}

void WindowCommandsTest::readFailureChangesNoControl_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("device"); // -1: no search, so no selection
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("message");
    QTest::newRow("aircraft pack on the bodypack tab") << 0 << 1 << false << Expected::wrongDevice;
    QTest::newRow("bodypack on the aircraft pack tab") << 1 << 0 << false << Expected::wrongDevice;
    QTest::newRow("no selection") << 0 << -1 << false << Expected::noProductId;
    QTest::newRow("unit does not answer") << 0 << 0 << true << u"No response from device."_s;
}

void WindowCommandsTest::readFailureChangesNoControl()
{
    QFETCH(int, tab);
    QFETCH(int, device);
    QFETCH(bool, silent);
    QFETCH(QString, message);
    WindowFixture fixture;
    SimulatedUnit bodypack = SimulatedUnit::demoBodypack();
    bodypack.faults.silentFromExchange = silent ? std::optional(3) : std::nullopt;
    fixture.bridge->plug(bodypack);
    fixture.bridge->plug(SimulatedUnit::demoAircraftPack());
    if (device >= 0) {
        click(fixture, "bSearchUSBButton");
        fixture.control<QComboBox>("bUSBCombobox")->setCurrentIndex(device);
    }
    fixture.control<QTabWidget>("TabControl")->setCurrentIndex(tab);
    click(fixture, "bReadButton");

    QCOMPARE(values(fixture, kBodypackFields), QList<int>(5, 0));
    QCOMPARE(values(fixture, kAircraftPackFields), QList<int>(3, 0));
    QCOMPARE(fixture.control<QComboBox>("yPTT_SelComboBox1")->currentIndex(), -1);
    QCOMPARE(infoLabels(fixture, tab), (QStringList{u"x.x.x"_s, u"0,0V"_s, u"0%"_s}));
    QCOMPARE(fixture.dialogs->messages.size(), 1);
    const ScriptedDialogs::Message &box = fixture.dialogs->messages.first();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.title, u"Communication Error"_s);
    QCOMPARE(box.text, message);
}

void WindowCommandsTest::readFitsValuesOutsideTheFields()
{
    WindowFixture fixture;
    UnitSettings settings;
    settings.rfPower = 200;
    settings.startupVolume = 12;
    settings.micSensitivity = 20;
    settings.sideTone = 30;
    settings.pttSel = 5;
    auto unit = fixture.bridge->plug(SimulatedUnit(PackKind::Bodypack, u"Odd bodypack"_s, settings));
    unit->setParameter(52, bytes({30, 100})); // reads as 30100
    click(fixture, "bSearchUSBButton");
    click(fixture, "bReadButton");

    QCOMPARE(values(fixture, kBodypackFields), (QList<int>{9999, 127, 9, -24, 15}));
    QCOMPARE(fixture.control<QComboBox>("yPTT_SelComboBox1")->currentIndex(), 1);
    QCOMPARE(fixture.dialogs->messages.size(), 1);
    QCOMPARE(fixture.dialogs->messages.first().icon, QMessageBox::Information);
    QCOMPARE(fixture.dialogs->messages.first().text,
             Expected::readFromDevice
                 + u"\n\nSome values were outside the range of their fields and have been changed:\n"
                   u"ID: 30100 changed to 9999\nRF Power: 200 changed to 127\nMic Sensitivity: 20 changed to 15\n"
                   u"Side Tone: 30 changed to 24\nStartup Volume: 12 changed to 9\nPTT Control: 5 changed to 1"_s);
}

void WindowCommandsTest::writeBodypack_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("ptt");
    QTest::addColumn<QList<int>>("numbers");
    QTest::addColumn<QString>("message");
    const QList<int> withPtt{52, 55, 58, 56, 57, 64, 70};
    const QList<int> withoutPtt{52, 55, 58, 56, 57, 70};
    QTest::newRow("x.x.x sends the PTT selection") << u"x.x.x"_s << 1 << withPtt << Expected::written;
    QTest::newRow("1.0.0 does not") << u"1.0.0"_s << 1 << withoutPtt << Expected::written;
    QTest::newRow("1.0.1 does") << u"1.0.1"_s << 0 << withPtt << Expected::written;
    QTest::newRow("1.0.0 needs no PTT choice") << u"1.0.0"_s << -1 << withoutPtt << Expected::written;
    QTest::newRow("x.x.x without PTT choice sends nothing") << u"x.x.x"_s << -1 << QList<int>()
                                                            << kChoosePtt;
}

void WindowCommandsTest::writeBodypack()
{
    QFETCH(QString, version);
    QFETCH(int, ptt);
    QFETCH(QList<int>, numbers);
    QFETCH(QString, message);
    WindowFixture fixture;
    const auto unit = fixture.bridge->plug(SimulatedUnit(PackKind::Bodypack, u"Bodypack"_s, UnitSettings()));
    click(fixture, "bSearchUSBButton");
    setValues(fixture, kBodypackFields, kDemoBodypackValues);
    fixture.control<QComboBox>("yPTT_SelComboBox1")->setCurrentIndex(ptt);
    fixture.control<QLabel>("bv_SVlabel1")->setText(version);
    click(fixture, "bWritebutton");

    QCOMPARE(parameterNumbers(unit->receivedFrames()), numbers);
    if (!numbers.isEmpty()) {
        // Write frames are summed over their first n + 1 bytes, as the units expect.
        QList<QByteArray> expected{bytes({4, 87, 52, 12, 34, 143}), bytes({3, 87, 55, 90, 90}),
                                   bytes({3, 87, 58, 6, 90}), bytes({3, 87, 56, 7, 90}), bytes({3, 87, 57, 10, 90})};
        if (numbers.contains(64))
            expected.append(bytes({3, 87, 64, ptt, 90}));
        expected.append(bytes({3, 67, 70, 1, 70}));
        QCOMPARE(unit->receivedFrames(), expected);
    }
    QCOMPARE(fixture.dialogs->messages.size(), 1);
    QCOMPARE(fixture.dialogs->messages.first().text, message);
    QCOMPARE(fixture.dialogs->messages.first().icon,
             message == Expected::written ? QMessageBox::Information : QMessageBox::Critical);
}

void WindowCommandsTest::writeAircraftPack()
{
    WindowFixture fixture;
    fixture.bridge->plug(SimulatedUnit::demoBodypack());
    const auto unit = fixture.bridge->plug(SimulatedUnit::demoAircraftPack());
    click(fixture, "bSearchUSBButton");
    fixture.control<QComboBox>("bUSBCombobox")->setCurrentIndex(1);
    fixture.control<QTabWidget>("TabControl")->setCurrentIndex(1);
    setValues(fixture, kAircraftPackFields, {42, 100, 3});
    click(fixture, "bWritebutton");

    QCOMPARE(unit->receivedFrames(), (QList<QByteArray>{bytes({4, 87, 52, 0, 42, 143}), bytes({3, 87, 55, 100, 90}),
                                                        bytes({3, 87, 58, 3, 90}), bytes({3, 67, 70, 1, 70})}));
    QCOMPARE(fixture.dialogs->messages.size(), 1);
    QCOMPARE(fixture.dialogs->messages.first().text, Expected::written);
}

void WindowCommandsTest::writeFailure_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("message");
    QTest::newRow("bodypack on the aircraft pack tab") << 1 << 42 << Expected::wrongDevice;
    QTest::newRow("ID that reads back as another")
        << 0 << 1005
        << u"The ID 1005 cannot be stored on the unit: IDs from 1000 to 9999 whose last two digits are 00 to 09 "
           u"read back as another ID. Please choose another ID."_s;
}

void WindowCommandsTest::writeFailure()
{
    QFETCH(int, tab);
    QFETCH(int, id);
    QFETCH(QString, message);
    WindowFixture fixture;
    const auto unit = fixture.bridge->plug(SimulatedUnit::demoBodypack());
    click(fixture, "bSearchUSBButton");
    fixture.control<QTabWidget>("TabControl")->setCurrentIndex(tab);
    fixture.control<QSpinBox>(tab == 0 ? "IDnumericUpDown1" : "aIDnumericUpDown1")->setValue(id);
    fixture.control<QComboBox>("yPTT_SelComboBox1")->setCurrentIndex(0);
    click(fixture, "bWritebutton");

    QVERIFY(unit->receivedFrames().isEmpty());
    QCOMPARE(fixture.dialogs->messages.size(), 1);
    QCOMPARE(fixture.dialogs->messages.first().icon, QMessageBox::Critical);
    QCOMPARE(fixture.dialogs->messages.first().title, u"Communication Error"_s);
    QCOMPARE(fixture.dialogs->messages.first().text, message);
}

void WindowCommandsTest::saveAndLoad_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QList<int>>("saved");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("dialogs");
    QTest::newRow("bodypack") << 0 << kBodypackFields << kDemoBodypackValues << kBodypackExample
                              << QStringList{u"bSaveFileDialog"_s, u"bOpenFileDialog"_s};
    QTest::newRow("aircraft pack") << 1 << kAircraftPackFields << kDemoAircraftPackValues << kAircraftPackExample
                                   << QStringList{u"aSaveFileDialog"_s, u"aOpenFileDialog"_s};
}

void WindowCommandsTest::saveAndLoad()
{
    QFETCH(int, tab);
    QFETCH(QStringList, fields);
    QFETCH(QList<int>, saved);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, dialogs);
    const ScopedLocale userLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    WindowFixture fixture;
    const FixtureFolder folder;
    const QString path = folder.path(u"unit.pack"_s);
    fixture.control<QTabWidget>("TabControl")->setCurrentIndex(tab);
    setValues(fixture, fields, saved);
    fixture.control<QComboBox>("yPTT_SelComboBox1")->setCurrentIndex(1);
    fixture.dialogs->fileAnswers = {path, path};
    click(fixture, "bSaveButton");
    QCOMPARE(folder.contents(u"unit.pack"_s), file);

    // Info labels from a read stay as they are through a load.
    fixture.bridge->plug(tab == 0 ? SimulatedUnit::demoBodypack() : SimulatedUnit::demoAircraftPack());
    click(fixture, "bSearchUSBButton");
    click(fixture, "bReadButton");
    const QStringList labels = infoLabels(fixture, tab);
    QCOMPARE(labels.first(), tab == 0 ? u"1.0.5"_s : u"2.1.0"_s);
    setValues(fixture, fields, QList<int>(fields.size(), 1));
    click(fixture, "bLoadButton");

    QCOMPARE(values(fixture, fields), saved);
    QCOMPARE(infoLabels(fixture, tab), labels);
    if (tab == 0)
        QCOMPARE(fixture.control<QComboBox>("yPTT_SelComboBox1")->currentIndex(), 0);
    QCOMPARE(fixture.dialogs->fileDialogsShown, dialogs);
    QCOMPARE(fixture.dialogs->messages.size(), 3);
    QCOMPARE(fixture.dialogs->messages[0].text, Expected::saved);
    QCOMPARE(fixture.dialogs->messages[0].icon, QMessageBox::Information);
    QCOMPARE(fixture.dialogs->messages[2].text, Expected::loaded);
    QCOMPARE(fixture.dialogs->messages[2].icon, QMessageBox::Information);
}

void WindowCommandsTest::failedLoad_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<int>>("shown");
    QTest::newRow("elements out of order")
        << QByteArray("<Body_Parameters><Unique_ID>4321</Unique_ID><RF_Power>80</RF_Power>"
                      "<Startup_Volume>5</Startup_Volume><Mic_Sensitivity>3</Mic_Sensitivity>"
                      "<Side_Tone>2</Side_Tone></Body_Parameters>")
        << QList<int>{4321, 80, 5, 0, 0};
    QTest::newRow("not a parameter file") << QByteArray("hello") << QList<int>{0, 0, 0, 0, 0};
    QTest::newRow("aircraft pack file") << kAircraftPackExample << QList<int>{0, 0, 0, 0, 0};
}

void WindowCommandsTest::failedLoad()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<int>, shown);
    const ScopedLocale userLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    WindowFixture fixture;
    fixture.bridge->plug(SimulatedUnit::demoBodypack());
    click(fixture, "bSearchUSBButton");
    click(fixture, "bReadButton");
    const FixtureFolder folder;
    const QString path = folder.path(u"broken.bpack"_s);
    QVERIFY(folder.write(u"broken.bpack"_s, file));
    fixture.dialogs->fileAnswers = {path};
    click(fixture, "bLoadButton");

    QCOMPARE(values(fixture, kBodypackFields), shown);
    QCOMPARE(fixture.control<QComboBox>("yPTT_SelComboBox1")->currentIndex(), 0);
    QCOMPARE(infoLabels(fixture, 0), (QStringList{u"1.0.5"_s, u"3.7 V"_s, u"57"_s}));
    QCOMPARE(fixture.dialogs->messages.size(), 2);
    QCOMPARE(fixture.dialogs->messages.last().icon, QMessageBox::Critical);
    QCOMPARE(fixture.dialogs->messages.last().title, u"Communication Error"_s);
    QCOMPARE(fixture.dialogs->messages.last().text, Expected::fileReadFailed);
}

void WindowCommandsTest::loadFitsValuesOutsideTheFields()
{
    WindowFixture fixture;
    const FixtureFolder folder;
    const QString path = folder.path(u"edited.bpack"_s);
    QVERIFY(folder.write(u"edited.bpack"_s, "<Body_Parameters><Unique_ID>-5</Unique_ID><RF_Power>200</RF_Power>"
                            "<Startup_Volume>9</Startup_Volume><Side_Tone>30</Side_Tone>"
                            "<Mic_Sensitivity>15</Mic_Sensitivity></Body_Parameters>"));
    fixture.dialogs->fileAnswers = {path};
    click(fixture, "bLoadButton");

    QCOMPARE(values(fixture, kBodypackFields), (QList<int>{0, 127, 9, -24, 15}));
    QCOMPARE(fixture.dialogs->messages.size(), 1);
    QCOMPARE(fixture.dialogs->messages.first().text,
             Expected::loaded
                 + u"\n\nSome values were outside the range of their fields and have been changed:\n"
                   u"ID: -5 changed to 0\nRF Power: 200 changed to 127\nSide Tone: 30 changed to 24"_s);
}

void WindowCommandsTest::cancelledFileDialog_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("bodypack save") << 0 << u"bSaveButton"_s << u"bSaveFileDialog"_s;
    QTest::newRow("bodypack load") << 0 << u"bLoadButton"_s << u"bOpenFileDialog"_s;
    QTest::newRow("aircraft pack save") << 1 << u"bSaveButton"_s << u"aSaveFileDialog"_s;
    QTest::newRow("aircraft pack load") << 1 << u"bLoadButton"_s << u"aOpenFileDialog"_s;
}

void WindowCommandsTest::cancelledFileDialog()
{
    QFETCH(int, tab);
    QFETCH(QString, button);
    QFETCH(QString, dialog);
    WindowFixture fixture;
    fixture.control<QTabWidget>("TabControl")->setCurrentIndex(tab);
    setValues(fixture, kBodypackFields, kDemoBodypackValues);
    setValues(fixture, kAircraftPackFields, kDemoAircraftPackValues);
    click(fixture, qPrintable(button));

    QCOMPARE(fixture.dialogs->fileDialogsShown, QStringList{dialog});
    QVERIFY(fixture.dialogs->messages.isEmpty());
    QCOMPARE(values(fixture, kBodypackFields), kDemoBodypackValues);
    QCOMPARE(values(fixture, kAircraftPackFields), kDemoAircraftPackValues);
    QCOMPARE(fixture.control<QComboBox>("yPTT_SelComboBox1")->currentIndex(), -1);
}

void WindowCommandsTest::failedSave()
{
    WindowFixture fixture;
    const FixtureFolder folder;
    fixture.dialogs->fileAnswers = {folder.path(u"missing/unit.bpack"_s)};
    click(fixture, "bSaveButton");
    QCOMPARE(fixture.dialogs->messages.size(), 1);
    QCOMPARE(fixture.dialogs->messages.first().icon, QMessageBox::Critical);
    QCOMPARE(fixture.dialogs->messages.first().text, Expected::fileWriteFailed);
}

void WindowCommandsTest::keys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QStringList>("fileDialogs");
    QTest::addColumn<QStringList>("messages");
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    QTest::newRow("F2 loads") << u"bUSBCombobox"_s << int(Qt::Key_F2) << none << QStringList{u"bOpenFileDialog"_s}
                              << QStringList();
    QTest::newRow("F3 saves") << u"bUSBCombobox"_s << int(Qt::Key_F3) << none << QStringList{u"bSaveFileDialog"_s}
                              << QStringList();
    QTest::newRow("F4 reads") << u"IDnumericUpDown1"_s << int(Qt::Key_F4) << none << QStringList()
                              << QStringList{Expected::readFromDevice};
    QTest::newRow("F5 writes") << u"bSearchUSBButton"_s << int(Qt::Key_F5) << none << QStringList()
                               << QStringList{Expected::written};
    QTest::newRow("F4 in the device list") << u"bUSBCombobox"_s << int(Qt::Key_F4) << none << QStringList()
                                           << QStringList{Expected::readFromDevice};
    QTest::newRow("F4 in the PTT list") << u"yPTT_SelComboBox1"_s << int(Qt::Key_F4) << none << QStringList()
                                        << QStringList{Expected::readFromDevice};
    QTest::newRow("Shift+F4") << u"bUSBCombobox"_s << int(Qt::Key_F4) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                              << QStringList() << QStringList();
    QTest::newRow("Ctrl+F4") << u"bUSBCombobox"_s << int(Qt::Key_F4) << Qt::KeyboardModifiers(Qt::ControlModifier)
                             << QStringList() << QStringList();
    QTest::newRow("Alt+F4") << u"bUSBCombobox"_s << int(Qt::Key_F4) << Qt::KeyboardModifiers(Qt::AltModifier)
                            << QStringList() << QStringList();
    QTest::newRow("Ctrl+F2") << u"bUSBCombobox"_s << int(Qt::Key_F2) << Qt::KeyboardModifiers(Qt::ControlModifier)
                             << QStringList() << QStringList();
    QTest::newRow("F6") << u"bUSBCombobox"_s << int(Qt::Key_F6) << none << QStringList() << QStringList();
    QTest::newRow("Enter on the focused button") << u"bReadButton"_s << int(Qt::Key_Return) << none << QStringList()
                                                 << QStringList{Expected::readFromDevice};
    QTest::newRow("Enter in a field") << u"yRF_PowerNumericUpDown"_s << int(Qt::Key_Return) << none << QStringList()
                                      << QStringList();
    QTest::newRow("Escape") << u"bReadButton"_s << int(Qt::Key_Escape) << none << QStringList() << QStringList();
}

void WindowCommandsTest::keys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QStringList, fileDialogs);
    QFETCH(QStringList, messages);
    WindowFixture fixture;
    fixture.bridge->plug(SimulatedUnit::demoBodypack());
    click(fixture, "bSearchUSBButton");
    fixture.control<QComboBox>("yPTT_SelComboBox1")->setCurrentIndex(0);
    QVERIFY(fixture.showActive());
    auto *focused = fixture.control<QWidget>(qPrintable(focus));
    focused->setFocus();
    QCOMPARE(QApplication::focusWidget(), focused);
    QTest::keyClick(focused, Qt::Key(key), modifiers);

    QCOMPARE(fixture.dialogs->fileDialogsShown, fileDialogs);
    QStringList shown;
    for (const ScriptedDialogs::Message &message : fixture.dialogs->messages)
        shown.append(message.text);
    QCOMPARE(shown, messages);
    for (auto *combo : fixture.window->findChildren<QComboBox *>())
        QVERIFY2(!combo->view()->isVisible(), "the key opened a drop-down list");
}

void WindowCommandsTest::functionKeyInAnOpenList_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("fileDialogs");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("F4 in the device list") << u"bUSBCombobox"_s << int(Qt::Key_F4) << QStringList()
                                           << QStringList{Expected::readFromDevice};
    QTest::newRow("F4 in the PTT list") << u"yPTT_SelComboBox1"_s << int(Qt::Key_F4) << QStringList()
                                        << QStringList{Expected::readFromDevice};
    QTest::newRow("F2 in the device list") << u"bUSBCombobox"_s << int(Qt::Key_F2)
                                           << QStringList{u"bOpenFileDialog"_s} << QStringList();
    QTest::newRow("F5 in the PTT list") << u"yPTT_SelComboBox1"_s << int(Qt::Key_F5) << QStringList()
                                        << QStringList{Expected::written};
}

void WindowCommandsTest::functionKeyInAnOpenList()
{
    // The open list is a window of its own that takes the keys; the command
    // keys still run their command, and the list closes.
    QFETCH(QString, list);
    QFETCH(int, key);
    QFETCH(QStringList, fileDialogs);
    QFETCH(QStringList, messages);
    WindowFixture fixture;
    fixture.bridge->plug(SimulatedUnit::demoBodypack());
    click(fixture, "bSearchUSBButton");
    auto *ptt = fixture.control<QComboBox>("yPTT_SelComboBox1");
    ptt->setCurrentIndex(0);
    QVERIFY(fixture.showActive());
    auto *dropDown = fixture.control<QComboBox>(qPrintable(list));
    dropDown->setFocus();
    dropDown->showPopup();
    QTRY_VERIFY(dropDown->view()->isVisible());
    QTest::keyClick(dropDown->view(), Qt::Key(key));

    QVERIFY(!dropDown->view()->isVisible());
    QCOMPARE(fixture.dialogs->fileDialogsShown, fileDialogs);
    QStringList shown;
    for (const ScriptedDialogs::Message &message : fixture.dialogs->messages)
        shown.append(message.text);
    QCOMPARE(shown, messages);
}

void WindowCommandsTest::emptyFieldRule_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("yRF_PowerNumericUpDown") << 0 << 5 << 0;
    QTest::newRow("yStartup_VolumeNumericUpDown") << 0 << 5 << 0;
    QTest::newRow("ySide_ToneNumericUpDown") << 0 << -5 << 0;
    QTest::newRow("yMIC_SensitivityNumericUpDown") << 0 << 5 << 0;
    QTest::newRow("aRF_PowerNumericUpDown") << 1 << 5 << 0;
    QTest::newRow("aStartup_VolumeNumericUpDown") << 1 << 5 << 0;
    // The ID fields keep the field's own behaviour: the old value comes back.
    QTest::newRow("IDnumericUpDown1") << 0 << 5 << 5;
    QTest::newRow("aIDnumericUpDown1") << 1 << 5 << 5;
}

void WindowCommandsTest::emptyFieldRule()
{
    QFETCH(int, tab);
    QFETCH(int, before);
    QFETCH(int, after);
    WindowFixture fixture;
    fixture.control<QTabWidget>("TabControl")->setCurrentIndex(tab);
    QVERIFY(fixture.showActive());
    auto *field = fixture.control<QSpinBox>(QTest::currentDataTag());
    emptyWithKeys(field, before);
    QVERIFY(field->text().isEmpty());

    QTest::keyClick(field, Qt::Key_Tab);
    QVERIFY(!field->hasFocus());
    QCOMPARE(field->value(), after);
    QCOMPARE(field->text(), QString::number(after));
    QVERIFY(fixture.dialogs->messages.isEmpty());
}

void WindowCommandsTest::functionKeyChecksTheEmptiedField()
{
    // A function key leaves the focus in the field, so the command would read
    // the value from before the field was emptied; the key checks it first.
    WindowFixture fixture;
    QVERIFY(fixture.showActive());
    auto *field = fixture.control<QSpinBox>("yRF_PowerNumericUpDown");
    emptyWithKeys(field, 90);
    const FixtureFolder folder;
    const QString path = folder.path(u"unit.bpack"_s);
    fixture.dialogs->fileAnswers = {path};
    QTest::keyClick(field, Qt::Key_F3);

    QCOMPARE(field->text(), u"0"_s);
    QVERIFY(folder.contents(u"unit.bpack"_s).contains("<RF_Power>0</RF_Power>"));
}

void WindowCommandsTest::functionKeyWritesTheEmptiedIdAsShown()
{
    // An emptied ID field keeps its value until it is left; before the command
    // reads it, the field shows that value again, so what it writes is shown.
    WindowFixture fixture;
    const auto unit = fixture.bridge->plug(SimulatedUnit::demoBodypack());
    click(fixture, "bSearchUSBButton");
    fixture.control<QComboBox>("yPTT_SelComboBox1")->setCurrentIndex(0);
    QVERIFY(fixture.showActive());
    auto *field = fixture.control<QSpinBox>("IDnumericUpDown1");
    emptyWithKeys(field, 1234);
    QVERIFY(field->text().isEmpty());
    QTest::keyClick(field, Qt::Key_F5);

    QCOMPARE(field->text(), u"1234"_s);
    QVERIFY(field->hasFocus());
    QVERIFY(!unit->receivedFrames().isEmpty());
    QCOMPARE(unit->receivedFrames().first(), bytes({4, 87, 52, 12, 34, 143}));
    QCOMPARE(fixture.dialogs->messages.size(), 1);
    QCOMPARE(fixture.dialogs->messages.first().text, Expected::written);
}

void WindowCommandsTest::waitCursorWhileTalkingToUnits()
{
    WindowFixture fixture;
    fixture.bridge->plug(SimulatedUnit::demoBodypack());
    click(fixture, "bSearchUSBButton");
    cursorShapesDuringExchanges.clear();
    setFrameObserver(noteCursorShape);
    click(fixture, "bReadButton");
    setFrameObserver(nullptr);

    QVERIFY(!cursorShapesDuringExchanges.isEmpty());
    QCOMPARE(cursorShapesDuringExchanges, QList<int>(cursorShapesDuringExchanges.size(), int(Qt::WaitCursor)));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

QTEST_MAIN(WindowCommandsTest)
#include "tst_windowcommands.moc"
