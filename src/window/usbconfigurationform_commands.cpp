// The window's commands and the copying between records and controls.

#include "usbconfigurationform.h"

#include "common/outcometexts.h"
#include "devicelink/siusbbridge.h"
#include "formlayout.h"
#include "packparameters/aircraftpackparameters.h"
#include "packparameters/bodypackparameters.h"
#include "packparameters/versiontext.h"
#include "windowtext.h"

#include <QApplication>
#include <QComboBox>
#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>

#include <algorithm>
#include <array>

namespace USBConfiguration {

namespace {

constexpr int kBodypackTab = 0;
constexpr int kAircraftPackTab = 1;
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
        const auto *target = qobject_cast<QWidget *>(watched);
        if (target && target->window() == this && ProcessCmdKey(*static_cast<QKeyEvent *>(event)))
            return true;
    } else if (event->type() == QEvent::FocusOut && isEmptyFieldRuleField(watched)) {
        // Before the field's own focus-out handling puts its old value back.
        bRFPowerNumericUpDown_Validating(static_cast<QSpinBox *>(watched));
    }
    return QWidget::eventFilter(watched, event);
}

bool USBConfigurationForm::ProcessCmdKey(const QKeyEvent &key)
{
    const std::array<std::pair<QKeyCombination, QPushButton *>, 4> commandKeys{{
        {QKeyCombination(Qt::Key_F2), bLoadButton},
        {QKeyCombination(Qt::Key_F3), bSaveButton},
        {QKeyCombination(Qt::Key_F4), bReadButton},
        {QKeyCombination(Qt::Key_F5), bWritebutton},
    }};
    // The whole combination counts, so Shift, Ctrl or Alt with the key match none.
    const auto command = std::find_if(commandKeys.begin(), commandKeys.end(),
                                      [&](const auto &entry) { return entry.first == key.keyCombination(); });
    if (command == commandKeys.end())
        return false;
    // A click moves the focus to the button and so checks the field that had
    // it; the key leaves the focus where it is, so check the field here.
    if (isEmptyFieldRuleField(focusWidget()))
        bRFPowerNumericUpDown_Validating(static_cast<QSpinBox *>(focusWidget()));
    command->second->click();
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

void USBConfigurationForm::bSearchUSBButton_Click()
{
    const WaitCursor waiting;
    std::uint32_t count = 0;
    SI_GetNumDevices(&count);
    bUSBCombobox->clear();
    // Every unit gets an entry at its own position, also one whose description
    // cannot be fetched, and each entry keeps its device number: a command
    // always addresses the unit that its entry stands for.
    const std::uint32_t listed = std::min<std::uint32_t>(count, kNoDevice);
    for (std::uint32_t device = 0; device < listed; ++device) {
        std::array<char, kProductStringSize> description{};
        const bool described =
            SI_GetProductString(device, description.data(), std::uint32_t(ProductStringOption::Description))
            == kBridgeSuccess;
        bUSBCombobox->addItem(described ? QString::fromLocal8Bit(description.data())
                                        : WindowText::undescribedDevice(device),
                              device);
    }
    bUSBCombobox->setCurrentIndex(bUSBCombobox->count() > 0 ? 0 : -1);
    // Show a long description whole in the open list.
    bUSBCombobox->view()->setMinimumWidth(bUSBCombobox->view()->sizeHintForColumn(0) + kListMargin);
}

void USBConfigurationForm::bReadButton_Click()
{
    Errortype error;
    RangeAdjustments adjustments;
    switch (TabControl->currentIndex()) {
    case kBodypackTab: {
        Body_cfg_params body_params;
        {
            const WaitCursor waiting;
            C_Bodypackparameters().read_params(selectedDeviceIndex(), body_params, error);
        }
        if (!error.status)
            adjustments = StoreBodyToGUI(body_params);
        break;
    }
    case kAircraftPackTab: {
        Aircraft_cfg_params aircraft_params;
        {
            const WaitCursor waiting;
            C_Aircraftpackparameters().read_params(selectedDeviceIndex(), aircraft_params, error);
        }
        if (!error.status)
            adjustments = StoreAirpackToGUI(aircraft_params);
        break;
    }
    default:
        return;
    }
    if (error.status)
        report_error(error);
    else
        report_success(OutcomeTexts::readFromDevice, adjustments);
}

void USBConfigurationForm::bWriteButton_Click()
{
    Errortype error;
    switch (TabControl->currentIndex()) {
    case kBodypackTab: {
        Body_cfg_params body_params;
        LoadBodyFromGUI(body_params);
        // With no entry chosen there is no selection to send.
        if (yPTT_SelComboBox1->currentIndex() < 0 && C_Bodypackparameters::write_sends_ptt_sel(body_params)) {
            error.fail(WindowText::choosePttControl);
            break;
        }
        const WaitCursor waiting;
        C_Bodypackparameters().write_params(selectedDeviceIndex(), body_params, error);
        break;
    }
    case kAircraftPackTab: {
        Aircraft_cfg_params aircraft_params;
        LoadAirpackFromGUI(aircraft_params);
        const WaitCursor waiting;
        C_Aircraftpackparameters().write_params(selectedDeviceIndex(), aircraft_params, error);
        break;
    }
    default:
        return;
    }
    if (error.status)
        report_error(error);
    else
        report_success(OutcomeTexts::writtenToDevice);
}

void USBConfigurationForm::bSaveButton_Click()
{
    Errortype error;
    switch (TabControl->currentIndex()) {
    case kBodypackTab: {
        const auto path = m_dialogs->chooseFile(*bSaveFileDialog);
        if (!path)
            return;
        Body_cfg_params body_params;
        LoadBodyFromGUI(body_params);
        C_Bodypackparameters().save_to_file(*path, body_params, error);
        break;
    }
    case kAircraftPackTab: {
        const auto path = m_dialogs->chooseFile(*aSaveFileDialog);
        if (!path)
            return;
        Aircraft_cfg_params aircraft_params;
        LoadAirpackFromGUI(aircraft_params);
        C_Aircraftpackparameters().save_to_file(*path, aircraft_params, error);
        break;
    }
    default:
        return;
    }
    if (error.status)
        report_error(error);
    else
        report_success(OutcomeTexts::savedToFile);
}

void USBConfigurationForm::bLoadButton_Click()
{
    Errortype error;
    RangeAdjustments adjustments;
    // The record goes into the controls whether the load succeeded or not, so
    // the user sees how far the file could be read.
    switch (TabControl->currentIndex()) {
    case kBodypackTab: {
        const auto path = m_dialogs->chooseFile(*bOpenFileDialog);
        if (!path)
            return;
        Body_cfg_params body_params;
        C_Bodypackparameters().load_from_file(*path, body_params, error);
        adjustments = StoreBodyToGUI(body_params);
        break;
    }
    case kAircraftPackTab: {
        const auto path = m_dialogs->chooseFile(*aOpenFileDialog);
        if (!path)
            return;
        Aircraft_cfg_params aircraft_params;
        C_Aircraftpackparameters().load_from_file(*path, aircraft_params, error);
        adjustments = StoreAirpackToGUI(aircraft_params);
        break;
    }
    default:
        return;
    }
    if (error.status)
        report_error(error, adjustments);
    else
        report_success(OutcomeTexts::readFromFile, adjustments);
}

void USBConfigurationForm::report_error(const Errortype &error, const RangeAdjustments &adjustments)
{
    m_dialogs->showMessage(this, QMessageBox::Critical, WindowText::failureTitle,
                           adjustments.appendedTo(error.message));
}

void USBConfigurationForm::report_success(const QString &text, const RangeAdjustments &adjustments)
{
    m_dialogs->showMessage(this, QMessageBox::Information, WindowText::successTitle, adjustments.appendedTo(text));
}

RangeAdjustments USBConfigurationForm::StoreBodyToGUI(const Body_cfg_params &body_params)
{
    using namespace SettingRanges;
    RangeAdjustments adjustments;
    IDnumericUpDown1->setValue(adjustments.fit(id, body_params.id));
    yRF_PowerNumericUpDown->setValue(adjustments.fit(rfPower, body_params.rf_power));
    yMIC_SensitivityNumericUpDown->setValue(adjustments.fit(micSensitivity, body_params.mic_sensitivity));
    ySide_ToneNumericUpDown->setValue(-adjustments.fit(sideTone, body_params.side_tone));
    yStartup_VolumeNumericUpDown->setValue(adjustments.fit(startupVolume, body_params.startup_volume));
    yPTT_SelComboBox1->setCurrentIndex(adjustments.fit(pttSelection, body_params.ptt_sel));
    showInfoLabels(bv_SVlabel1, bv_Batterylabel1, bv_RSSIlabel1, body_params.sv, body_params.batt_voltage,
                   body_params.rssi);
    return adjustments;
}

RangeAdjustments USBConfigurationForm::StoreAirpackToGUI(const Aircraft_cfg_params &aircraft_params)
{
    using namespace SettingRanges;
    RangeAdjustments adjustments;
    aIDnumericUpDown1->setValue(adjustments.fit(id, aircraft_params.id));
    aRF_PowerNumericUpDown->setValue(adjustments.fit(rfPower, aircraft_params.rf_power));
    aStartup_VolumeNumericUpDown->setValue(adjustments.fit(startupVolume, aircraft_params.startup_volume));
    showInfoLabels(Av_SVlabel4, av_Batterylabel3, av_RSSIlabel1, aircraft_params.sv, aircraft_params.batt_voltage,
                   aircraft_params.rssi);
    return adjustments;
}

void USBConfigurationForm::showInfoLabels(QLabel *version, QLabel *battery, QLabel *rssi, const QString &sv,
                                          const BatteryVoltage &voltage, std::uint8_t rssiValue)
{
    // A version text that cannot be dotted (none was read) leaves all three
    // labels as they were.
    const auto dotted = dottedVersionText(sv);
    if (!dotted)
        return;
    setAutoSizedText(version, *dotted);
    setAutoSizedText(battery, voltage.toString(QLocale()) + QStringLiteral(" V"));
    setAutoSizedText(rssi, QString::number(rssiValue));
}

void USBConfigurationForm::LoadBodyFromGUI(Body_cfg_params &body_params)
{
    body_params.id = std::int16_t(IDnumericUpDown1->value());
    body_params.rf_power = std::uint8_t(yRF_PowerNumericUpDown->value());
    body_params.mic_sensitivity = std::uint8_t(yMIC_SensitivityNumericUpDown->value());
    body_params.side_tone = std::uint8_t(-ySide_ToneNumericUpDown->value());
    body_params.startup_volume = std::uint8_t(yStartup_VolumeNumericUpDown->value());
    // No entry chosen counts as "Aircraft Switch"; a write refuses that case
    // before anything is sent, and files carry no PTT selection.
    body_params.ptt_sel = std::uint8_t(std::max(yPTT_SelComboBox1->currentIndex(), 0));
    body_params.sv = bv_SVlabel1->text();
}

void USBConfigurationForm::LoadAirpackFromGUI(Aircraft_cfg_params &aircraft_params)
{
    aircraft_params.id = std::int16_t(aIDnumericUpDown1->value());
    aircraft_params.rf_power = std::uint8_t(aRF_PowerNumericUpDown->value());
    aircraft_params.startup_volume = std::uint8_t(aStartup_VolumeNumericUpDown->value());
}

} // namespace USBConfiguration
