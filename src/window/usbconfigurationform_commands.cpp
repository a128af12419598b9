// The window's commands and the copying between records and controls.

#include "usbconfigurationform.h"

#include "common/outcometexts.h"
#include "devicelink/unitlisting.h"
#include "packparameters/packexchange.h"
#include "packparameters/packparameters.h"
#include "packparameters/packsettings.h"
#include "packparameters/versiontext.h"
#include "windowtext.h"

#include <QApplication>
#include <QComboBox>
#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>

#include <algorithm>
#include <array>

namespace USBConfiguration {

namespace {

// The device index of no selection: a position that no unit has.
constexpr std::uint16_t kNoDevice = 0xFFFF;
// Room beside the entries of the open device list for its frame and scroll bar.
constexpr int kListMargin = 24;

// Shown while the window waits on units; it takes no input meanwhile.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// The open list of a drop-down is a window of its own, owned by the drop-down.
QComboBox *dropDownOfOpenList(const QWidget *target)
{
    const QWidget *list = target->window();
    return list->windowType() == Qt::Popup ? qobject_cast<QComboBox *>(list->parentWidget()) : nullptr;
}

} // namespace

void USBConfigurationForm::showEvent(QShowEvent *event)
{
    if (!m_loaded) {
        m_loaded = true;
        USBConfigurationForm_Load();
    }
    QWidget::showEvent(event);
}

void USBConfigurationForm::USBConfigurationForm_Load()
{
    setWindowTitle(WindowText::title());
    if (const QScreen *shownOn = screen())
        move(shownOn->availableGeometry().center() - rect().center());
}

bool USBConfigurationForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        if (const auto *target = qobject_cast<QWidget *>(watched)) {
            const QComboBox *openDropDown = dropDownOfOpenList(target);
            const QWidget *owner = openDropDown ? openDropDown->window() : target->window();
            if (owner == this && ProcessCmdKey(*static_cast<QKeyEvent *>(event)))
                return true;
        }
    } else if (event->type() == QEvent::FocusOut && isEmptyFieldRuleField(watched)) {
        // Before the field's own focus-out handling puts its old value back.
        bRFPowerNumericUpDown_Validating(static_cast<QSpinBox *>(watched));
    }
    return QWidget::eventFilter(watched, event);
}

std::array<USBConfigurationForm::CommandKey, 4> USBConfigurationForm::commandKeys() const
{
    return {{
        {QKeyCombination(Qt::Key_F2), bLoadButton, WindowText::loadHelp},
        {QKeyCombination(Qt::Key_F3), bSaveButton, WindowText::saveHelp},
        {QKeyCombination(Qt::Key_F4), bReadButton, WindowText::readHelp},
        {QKeyCombination(Qt::Key_F5), bWritebutton, WindowText::writeHelp},
    }};
}

bool USBConfigurationForm::ProcessCmdKey(const QKeyEvent &key)
{
    const auto commands = commandKeys();
    // The whole combination counts, so Shift, Ctrl or Alt with the key match none.
    const auto command = std::find_if(commands.begin(), commands.end(),
                                      [&](const CommandKey &entry) { return entry.key == key.keyCombination(); });
    if (command == commands.end())
        return false;
    // The command's dialog or box comes up in place of a drop-down's open list.
    if (QWidget *popup = QApplication::activePopupWidget())
        if (QComboBox *dropDown = dropDownOfOpenList(popup))
            dropDown->hidePopup();
    // A click moves the focus to the button and so checks the field that had
    // it; the key leaves the focus where it is, so check the field here.
    if (isEmptyFieldRuleField(focusWidget()))
        bRFPowerNumericUpDown_Validating(static_cast<QSpinBox *>(focusWidget()));
    command->button->click();
    return true;
}

bool USBConfigurationForm::isEmptyFieldRuleField(const QObject *object) const
{
    const std::array<const QObject *, 6> fields{
        yRF_PowerNumericUpDown, yStartup_VolumeNumericUpDown, ySide_ToneNumericUpDown,
        yMIC_SensitivityNumericUpDown, aRF_PowerNumericUpDown, aStartup_VolumeNumericUpDown,
    };
    return object && std::find(fields.begin(), fields.end(), object) != fields.end();
}

void USBConfigurationForm::bRFPowerNumericUpDown_Validating(QSpinBox *sender)
{
    if (!sender->text().isEmpty())
        return;
    sender->setValue(0);
    sender->repaint();
}

std::uint16_t USBConfigurationForm::selectedDeviceIndex() const
{
    const QVariant device = bUSBCombobox->currentData();
    if (bUSBCombobox->currentIndex() < 0 || !device.isValid())
        return kNoDevice;
    return std::uint16_t(device.toUInt());
}

const PackTab *USBConfigurationForm::selectedTab() const
{
    for (const PackTab &tab : m_tabs)
        if (tab.page == TabControl->currentWidget())
            return &tab;
    return nullptr;
}

void USBConfigurationForm::bSearchUSBButton_Click()
{
    const WaitCursor waiting;
    const QList<ListedUnit> units = listUnits();
    bUSBCombobox->clear();
    // Every unit gets an entry at its own position, also one whose description
    // cannot be fetched, and each entry keeps its device number: a command
    // always addresses the unit that its entry stands for.
    for (const ListedUnit &unit : units)
        bUSBCombobox->addItem(unit.description, unit.device);
    bUSBCombobox->setCurrentIndex(bUSBCombobox->count() > 0 ? 0 : -1);
    // An empty list says why it is empty; the text is no entry, so nothing
    // is selected and the device index stays that of no unit. The drop-down
    // is too narrow to show all of it, so its tooltip, which screen readers
    // read as its description, has it whole.
    const QString emptyNote = units.isEmpty() ? WindowText::noUnitFound : QString();
    bUSBCombobox->lineEdit()->setPlaceholderText(emptyNote);
    bUSBCombobox->setToolTip(emptyNote);
    // Show a long description whole in the open list.
    bUSBCombobox->view()->setMinimumWidth(bUSBCombobox->view()->sizeHintForColumn(0) + kListMargin);
}

void USBConfigurationForm::bReadButton_Click()
{
    const PackTab *tab = selectedTab();
    if (!tab)
        return;
    Errortype error;
    RangeAdjustments adjustments;
    withRecordOf(tab->kind, [&](auto record) {
        {
            const WaitCursor waiting;
            PackParameters<decltype(record)>().read_params(selectedDeviceIndex(), record, error);
        }
        if (!error.status)
            adjustments = StoreToGUI(*tab, record);
    });
    report(error, OutcomeTexts::readFromDevice, adjustments);
}

void USBConfigurationForm::bWriteButton_Click()
{
    const PackTab *tab = selectedTab();
    if (!tab)
        return;
    Errortype error;
    withRecordOf(tab->kind, [&](auto record) {
        LoadFromGUI(*tab, record);
        // A list with no entry chosen has no value to send.
        for (const Setting setting : packKind(tab->kind).settings) {
            const auto *list = qobject_cast<QComboBox *>(tab->fields[std::size_t(setting)]);
            const bool sent = !settingInfo(setting).versioned || writeSendsVersionedSettings(record);
            if (list && list->currentIndex() < 0 && sent) {
                error.fail(WindowText::chooseFromList(setting));
                return;
            }
        }
        const WaitCursor waiting;
        PackParameters<decltype(record)>().write_params(selectedDeviceIndex(), record, error);
    });
    report(error, OutcomeTexts::writtenToDevice);
}

std::optional<USBConfigurationForm::ChosenFile>
USBConfigurationForm::chooseFileOnSelectedTab(FileDialogSlot PackTab::*dialog)
{
    const PackTab *tab = selectedTab();
    if (!tab)
        return std::nullopt;
    const auto path = m_dialogs->chooseFile(fileDialog(tab->*dialog));
    if (!path)
        return std::nullopt;
    return ChosenFile{*tab, *path};
}

void USBConfigurationForm::bSaveButton_Click()
{
    const auto chosen = chooseFileOnSelectedTab(&PackTab::saveDialog);
    if (!chosen)
        return;
    Errortype error;
    withRecordOf(chosen->tab.kind, [&](auto record) {
        LoadFromGUI(chosen->tab, record);
        PackParameters<decltype(record)>().save_to_file(chosen->path, record, error);
    });
    report(error, OutcomeTexts::savedToFile);
}

void USBConfigurationForm::bLoadButton_Click()
{
    const auto chosen = chooseFileOnSelectedTab(&PackTab::openDialog);
    if (!chosen)
        return;
    Errortype error;
    RangeAdjustments adjustments;
    // The record goes into the controls whether the load succeeded or not, so
    // the user sees how far the file could be read.
    withRecordOf(chosen->tab.kind, [&](auto record) {
        PackParameters<decltype(record)>().load_from_file(chosen->path, record, error);
        adjustments = StoreToGUI(chosen->tab, record);
    });
    report(error, OutcomeTexts::readFromFile, adjustments);
}

void USBConfigurationForm::report(const Errortype &error, const QString &success, const RangeAdjustments &adjustments)
{
    if (error.status)
        report_error(error, adjustments);
    else
        m_dialogs->showMessage(this, QMessageBox::Information, WindowText::successTitle,
                               adjustments.appendedTo(success));
}

void USBConfigurationForm::report_error(const Errortype &error, const RangeAdjustments &adjustments)
{
    m_dialogs->showMessage(this, QMessageBox::Critical, WindowText::failureTitle,
                           adjustments.appendedTo(error.message));
}

template <typename Record>
RangeAdjustments USBConfigurationForm::StoreToGUI(const PackTab &tab, const Record &record)
{
    RangeAdjustments adjustments;
    const PackSettings values = editableSettings(record);
    for (const SettingInfo &info : settings()) {
        QWidget *field = tab.fields[std::size_t(info.setting)];
        const auto value = values.value(info.setting);
        if (!field || !value)
            continue;
        const int fitted = adjustments.fit(info, *value);
        if (auto *list = qobject_cast<QComboBox *>(field))
            list->setCurrentIndex(fitted);
        else
            static_cast<QSpinBox *>(field)->setValue(info.shownNegated ? -fitted : fitted);
    }
    // A version text that cannot be dotted (none was read) leaves all three
    // labels as they were.
    const auto dotted = dottedVersionText(record.sv);
    if (!dotted)
        return adjustments;
    tab.version.show(*dotted);
    tab.battery.show(record.batt_voltage.toString(QLocale()) + QStringLiteral(" V"));
    tab.rssi.show(QString::number(record.rssi));
    return adjustments;
}

template <typename Record>
void USBConfigurationForm::LoadFromGUI(const PackTab &tab, Record &record)
{
    PackSettings values;
    for (const SettingInfo &info : settings()) {
        QWidget *field = tab.fields[std::size_t(info.setting)];
        if (auto *list = qobject_cast<QComboBox *>(field))
            // No entry chosen counts as the first; a write refuses that case
            // before anything is sent, and files carry no such selection.
            values.set(info.setting, std::max(list->currentIndex(), 0));
        else if (auto *number = qobject_cast<QSpinBox *>(field)) {
            // A field still being edited (an emptied ID, say) shows again the
            // value it holds, so that what is sent is what the user sees.
            number->interpretText();
            values.set(info.setting, info.shownNegated ? -number->value() : number->value());
        }
    }
    values.applyTo(record);
    // A write decides about the version-dependent settings by the version
    // last read into this tab, as its label shows it.
    if (packKind(tab.kind).hasVersionedSettings())
        record.sv = tab.version.value->text();
}

} // namespace USBConfiguration
