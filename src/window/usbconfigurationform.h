#pragma once

// The tool's one window: the device drop-down and the command buttons above,
// a tab per pack kind below, and the commands search, Read, Write, Save and
// Load, by button or by the keys F2 to F5.

#include "common/errortype.h"
#include "packparameters/packrecords.h"
#include "rangeadjustments.h"
#include "screenreadernames.h"
#include "userdialogs.h"

#include <QFileDialog>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace USBConfiguration {

// A file dialog is built on its first use and then kept for the window's
// life: building one sets up a file system model and loads the icon theme,
// which would double the time the window takes to show.
struct FileDialogSlot
{
    const char *name;
    QFileDialog::AcceptMode mode;
    QString filter; // description, bar, pattern
    QFileDialog **dialog; // the window's member, nullptr until first use
};

// What the commands need of one tab: its pack kind, its two file dialogs and
// the controls its record is copied to and from.
struct PackTab
{
    PackKind kind;
    QWidget *page;
    FileDialogSlot saveDialog;
    FileDialogSlot openDialog;
    // A spin box or, for a setting chosen from a list, a drop-down; nullptr
    // for the settings that the kind lacks. Indexed by Setting.
    std::array<QWidget *, kSettingCount> fields;
    ReportedValue version;
    ReportedValue battery;
    ReportedValue rssi;
};

class USBConfigurationForm : public QWidget
{
    Q_OBJECT

public:
    // The client area at the 6 x 13 base cell.
    static constexpr QSize kBaseClientSize{619, 386};

    explicit USBConfigurationForm(std::unique_ptr<UserDialogs> dialogs = std::make_unique<ModalUserDialogs>());
    ~USBConfigurationForm() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void InitializeComponent();
    void USBConfigurationForm_Load();

    struct CommandKey
    {
        QKeyCombination key;
        QPushButton *button;
        QString help; // what the command does, for the button's tooltip
    };
    std::array<CommandKey, 4> commandKeys() const;
    // Runs a command for F2 to F5 pressed without modifiers, before the focused
    // control sees the key; true when the key was taken.
    bool ProcessCmdKey(const QKeyEvent &key);

    void bSearchUSBButton_Click();
    void bLoadButton_Click();
    void bSaveButton_Click();
    void bReadButton_Click();
    void bWriteButton_Click();
    void bRFPowerNumericUpDown_Validating(QSpinBox *sender);

    // The box that ends a command: the error's message if one is recorded,
    // `success` otherwise, each with the notes of values that did not fit.
    void report(const Errortype &error, const QString &success, const RangeAdjustments &adjustments = {});
    void report_error(const Errortype &error, const RangeAdjustments &adjustments = {});

    // Record to controls; the returned notes tell which values did not fit.
    template <typename Record>
    [[nodiscard]] RangeAdjustments StoreToGUI(const PackTab &tab, const Record &record);
    template <typename Record>
    void LoadFromGUI(const PackTab &tab, Record &record);

    // The selected tab; nullptr for none.
    const PackTab *selectedTab() const;
    struct ChosenFile
    {
        const PackTab &tab;
        QString path;
    };
    // The selected tab and the file chosen in its `dialog`; std::nullopt
    // when the dialog ended with anything but OK.
    std::optional<ChosenFile> chooseFileOnSelectedTab(FileDialogSlot PackTab::*dialog);
    QFileDialog &fileDialog(const FileDialogSlot &slot);
    std::uint16_t selectedDeviceIndex() const;
    bool isEmptyFieldRuleField(const QObject *object) const;

    std::unique_ptr<UserDialogs> m_dialogs;
    bool m_loaded = false;

    // The controls, named as in the designer; each one's object name is its
    // member name.
    QGroupBox *groupBox3;
    QLabel *label2;
    QPushButton *bSearchUSBButton;
    QComboBox *bUSBCombobox;
    QPushButton *bWritebutton;
    QPushButton *bReadButton;
    QPushButton *bSaveButton;
    QPushButton *bLoadButton;

    QTabWidget *TabControl;
    QWidget *yTabPage;
    QWidget *aTabPage;

    QGroupBox *yRadioGroupBox;
    QGroupBox *yGeneralGroupBox;
    QComboBox *yPTT_SelComboBox1;
    QLabel *label1;
    QSpinBox *yMIC_SensitivityNumericUpDown;
    QLabel *yMIC_SensitivityLabel;
    QSpinBox *yStartup_VolumeNumericUpDown;
    QSpinBox *ySide_ToneNumericUpDown;
    QSpinBox *IDnumericUpDown1;
    QLabel *ySide_ToneLabel;
    QSpinBox *yRF_PowerNumericUpDown;
    QLabel *yStartup_VolumeLabel;
    QLabel *yRF_powerLabel;
    QLabel *yIDLabel;
    QLabel *bv_RSSIlabel1;
    QLabel *bv_Batterylabel1;
    QLabel *bv_SVlabel1;
    QLabel *b_RSSIlabel1;
    QLabel *b_Batterylabel1;
    QLabel *b_SVlabel1;

    QGroupBox *groupBox1;
    QGroupBox *aGeneralGroupBox;
    QLabel *av_RSSIlabel1;
    QLabel *av_Batterylabel3;
    QLabel *Av_SVlabel4;
    QLabel *a_RSSIlabel5;
    QLabel *A_Batterylabel6;
    QLabel *a_SVlabel7;
    QSpinBox *aStartup_VolumeNumericUpDown;
    QLabel *aStartup_VolumeLabel;
    QSpinBox *aIDnumericUpDown1;
    QSpinBox *aRF_PowerNumericUpDown;
    QLabel *aRF_PowerLabel;
    QLabel *aIDlabel;

    QFileDialog *bSaveFileDialog = nullptr;
    QFileDialog *bOpenFileDialog = nullptr;
    QFileDialog *aSaveFileDialog = nullptr;
    QFileDialog *aOpenFileDialog = nullptr;

    std::array<PackTab, 2> m_tabs{};
};

} // namespace USBConfiguration
