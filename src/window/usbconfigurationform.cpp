// The window's construction: every control built once, and each file dialog
// on its first use.

#include "usbconfigurationform.h"

#include "filedialogfilter.h"
#include "formlayout.h"
#include "packparameters/kindtext.h"
#include "windowtext.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <array>
#include <tuple>

namespace USBConfiguration {

namespace {

// Outer size limits at the base cell. Qt limits the client area, so the
// limits lose the frame that the outer sizes count.
constexpr QSize kMinimumOuterSize(627, 400);
constexpr QSize kMaximumOuterSize(627, 420);
constexpr QSize kOuterFrame = kMinimumOuterSize - USBConfigurationForm::kBaseClientSize;
// Wide enough for the names, sizes and dates of the files, at the base cell.
constexpr QSize kFileDialogSize(800, 500);

// The filters as the dialogs' designer wrote them: description, bar, pattern.
const QString kBodypackSaveFilter = QStringLiteral("Bodypack Parameter (*.bpack) | *.bpack");
const QString kBodypackOpenFilter = QStringLiteral("Bodypack Parameters (*.bpack) | *.bpack");
const QString kAircraftPackSaveFilter = QStringLiteral("Aircraftpack Parameters (*.apack) | *.apack");
const QString kAircraftPackOpenFilter = QStringLiteral("Aircraftpack Parameters (*.apack) | *.apack");

struct Place
{
    int x;
    int y;
    int width;
    int height;
};

template <typename Control>
Control *placed(Control *control, const char *name, const FormScale &scale, Place place, int tab)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(scale.rect(place.x, place.y, place.width, place.height));
    setTabIndex(control, tab);
    return control;
}

QGroupBox *groupBox(QWidget *parent, const char *name, const QString &caption, const FormScale &scale, Place place,
                    int tab)
{
    return placed(new QGroupBox(caption, parent), name, scale, place, tab);
}

// Labels size themselves to their text; only their position is laid out.
QLabel *label(QWidget *parent, const char *name, const QString &text, const FormScale &scale, int x, int y, int tab)
{
    QLabel *control = placed(new QLabel(parent), name, scale, {x, y, 0, 0}, tab);
    setAutoSizedText(control, text);
    return control;
}

// An Info group's values and captions, in the order in which they are added:
// the RSSI, battery voltage and version values, then the same three captions.
// Every tab has them at the same places.
std::tuple<QLabel *, QLabel *, QLabel *, QLabel *, QLabel *, QLabel *>
infoLabels(QGroupBox *group, const std::array<const char *, 6> &names, const FormScale &scale)
{
    const std::tuple labels{label(group, names[0], {}, scale, 134, 75, 6),
                            label(group, names[1], {}, scale, 134, 49, 5),
                            label(group, names[2], {}, scale, 134, 22, 4),
                            label(group, names[3], qText(InfoCaptions::rssi), scale, 11, 75, 3),
                            label(group, names[4], qText(InfoCaptions::batteryVoltage), scale, 11, 49, 2),
                            label(group, names[5], qText(InfoCaptions::softwareVersion), scale, 11, 22, 0)};
    const auto [rssi, battery, version, rssiCaption, batteryCaption, versionCaption] = labels;
    ReportedValue{rssiCaption, rssi}.show(QStringLiteral("0%"));
    ReportedValue{batteryCaption, battery}.show(QStringLiteral("0,0V"));
    ReportedValue{versionCaption, version}.show(QStringLiteral("x.x.x"));
    return labels;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const FormScale &scale, Place place,
                    int tab)
{
    QPushButton *control = placed(new QPushButton(caption, parent), name, scale, place, tab);
    // Enter presses the button that has the focus, and only that one.
    control->setAutoDefault(true);
    growToWidth(control, captionWidth(control));
    return control;
}

// The field of a counted setting, with the setting's range; a setting shown
// negated runs from minus its maximum to 0.
QSpinBox *numericField(QWidget *parent, const char *name, Setting setting, const FormScale &scale, Place place,
                       int tab)
{
    const SettingInfo &info = settingInfo(setting);
    QSpinBox *control = placed(new QSpinBox(parent), name, scale, place, tab);
    if (info.shownNegated)
        control->setRange(-info.maximum, -info.minimum);
    else
        control->setRange(info.minimum, info.maximum);
    control->setValue(0);
    return control;
}

// The caption of a setting's field, which names the field for screen readers;
// the field's tooltip tells what the setting sets and its range.
QLabel *settingCaption(QWidget *parent, const char *name, Setting setting, QWidget *field, const FormScale &scale,
                       int x, int y, int tab)
{
    QLabel *caption = label(parent, name, qText(settingInfo(setting).caption), scale, x, y, tab);
    nameAfterCaption(field, caption);
    const auto *number = qobject_cast<QSpinBox *>(field);
    field->setToolTip(number ? WindowText::settingToolTip(setting, number->minimum(), number->maximum())
                             : WindowText::settingToolTip(setting));
    return caption;
}

} // namespace

QFileDialog &USBConfigurationForm::fileDialog(const FileDialogSlot &slot)
{
    if (QFileDialog *made = *slot.dialog)
        return *made;
    auto *dialog = new QFileDialog(this);
    dialog->setObjectName(QLatin1String(slot.name));
    dialog->setAcceptMode(slot.mode);
    dialog->setFileMode(slot.mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setNameFilters(qtNameFilters(slot.filter));
    // A name typed without extension gets the filter's, so that the file shows
    // up in the open dialog's filter later.
    dialog->setDefaultSuffix(defaultSuffix(slot.filter));
    dialog->resize(FormScale(fontMetrics()).size(kFileDialogSize.width(), kFileDialogSize.height()));
    *slot.dialog = dialog;
    return *dialog;
}

USBConfigurationForm::USBConfigurationForm(std::unique_ptr<UserDialogs> dialogs)
    : m_dialogs(std::move(dialogs))
{
    InitializeComponent();
    // The function keys are taken before the focused control sees them, and
    // a field is checked before it loses the focus.
    qApp->installEventFilter(this);
}

USBConfigurationForm::~USBConfigurationForm()
{
    qApp->removeEventFilter(this);
}

void USBConfigurationForm::InitializeComponent()
{
    const FormScale scale(fontMetrics());

    groupBox3 = groupBox(this, "groupBox3", QStringLiteral("Actions"), scale, {12, 12, 600, 98}, 0);
    label2 = label(groupBox3, "label2", QStringLiteral("USB Devices"), scale, 6, 26, 28);
    bSearchUSBButton = button(groupBox3, "bSearchUSBButton", QStringLiteral("Search for USB Devices"), scale,
                              {347, 18, 143, 23}, 1);
    bUSBCombobox = placed(new QComboBox(groupBox3), "bUSBCombobox", scale, {127, 20, 166, 21}, 0);
    bUSBCombobox->setEditable(true);
    // Typed text picks nothing: entries come from the search only.
    bUSBCombobox->setInsertPolicy(QComboBox::NoInsert);
    // A long description shows from its start.
    QLineEdit *deviceText = bUSBCombobox->lineEdit();
    connect(bUSBCombobox, &QComboBox::currentIndexChanged, deviceText,
            [deviceText] { deviceText->setCursorPosition(0); });
    bWritebutton = button(groupBox3, "bWritebutton", QStringLiteral("F5 Write Parameters"), scale,
                          {417, 59, 118, 23}, 5);
    bReadButton = button(groupBox3, "bReadButton", QStringLiteral("F4 Read Parameters"), scale,
                         {289, 59, 118, 23}, 4);
    bSaveButton = button(groupBox3, "bSaveButton", QStringLiteral("F3 Save to File"), scale, {156, 59, 118, 23}, 3);
    bLoadButton = button(groupBox3, "bLoadButton", QStringLiteral("F2 Load from File"), scale, {21, 59, 118, 23}, 2);
    nameAfterCaption(bUSBCombobox, label2);
    for (const CommandKey &command : commandKeys())
        command.button->setToolTip(WindowText::commandToolTip(command.help, command.key));

    TabControl = placed(new QTabWidget(this), "TabControl", scale, {12, 132, 600, 239}, 1);
    yTabPage = new QWidget;
    yTabPage->setObjectName(QStringLiteral("yTabPage"));
    setTabIndex(yTabPage, 1);
    TabControl->addTab(yTabPage, QStringLiteral("Bodypack Parameters"));
    aTabPage = new QWidget;
    aTabPage->setObjectName(QStringLiteral("aTabPage"));
    setTabIndex(aTabPage, 3);
    TabControl->addTab(aTabPage, QStringLiteral("Aircraftpack Parameters"));

    yRadioGroupBox = groupBox(yTabPage, "yRadioGroupBox", QStringLiteral("Info"), scale, {305, 20, 265, 177}, 10);
    yGeneralGroupBox = groupBox(yTabPage, "yGeneralGroupBox", QStringLiteral("Settings"), scale, {17, 20, 265, 177}, 9);

    yPTT_SelComboBox1 = placed(new QComboBox(yGeneralGroupBox), "yPTT_SelComboBox1", scale, {127, 150, 126, 21}, 26);
    for (const SettingChoice &choice : settingInfo(Setting::PttSelection).choices)
        yPTT_SelComboBox1->addItem(qText(choice.caption));
    yPTT_SelComboBox1->setCurrentIndex(-1);
    yPTT_SelComboBox1->setMaxVisibleItems(2);
    QPalette windowColoured = yPTT_SelComboBox1->palette();
    windowColoured.setColor(QPalette::Button, windowColoured.color(QPalette::Base));
    yPTT_SelComboBox1->setPalette(windowColoured);
    growToWidth(yPTT_SelComboBox1, yPTT_SelComboBox1->sizeHint().width());
    label1 = settingCaption(yGeneralGroupBox, "label1", Setting::PttSelection, yPTT_SelComboBox1, scale, 6, 153, 24);
    yMIC_SensitivityNumericUpDown = numericField(yGeneralGroupBox, "yMIC_SensitivityNumericUpDown", Setting::MicSensitivity, scale,
                                                 {153, 125, 100, 20}, 21);
    yMIC_SensitivityLabel = settingCaption(yGeneralGroupBox, "yMIC_SensitivityLabel", Setting::MicSensitivity,
                                           yMIC_SensitivityNumericUpDown, scale, 6, 127, 1);
    yStartup_VolumeNumericUpDown = numericField(yGeneralGroupBox, "yStartup_VolumeNumericUpDown", Setting::StartupVolume, scale,
                                                {153, 73, 100, 20}, 21);
    ySide_ToneNumericUpDown = numericField(yGeneralGroupBox, "ySide_ToneNumericUpDown", Setting::SideTone, scale,
                                           {153, 99, 100, 20}, 21);
    IDnumericUpDown1 = numericField(yGeneralGroupBox, "IDnumericUpDown1", Setting::Id, scale, {153, 20, 100, 20}, 22);
    ySide_ToneLabel = settingCaption(yGeneralGroupBox, "ySide_ToneLabel", Setting::SideTone, ySide_ToneNumericUpDown,
                                     scale, 6, 101, 1);
    yRF_PowerNumericUpDown = numericField(yGeneralGroupBox, "yRF_PowerNumericUpDown", Setting::RfPower, scale,
                                          {153, 47, 100, 20}, 21);
    yStartup_VolumeLabel = settingCaption(yGeneralGroupBox, "yStartup_VolumeLabel", Setting::StartupVolume,
                                          yStartup_VolumeNumericUpDown, scale, 6, 75, 1);
    yRF_powerLabel = settingCaption(yGeneralGroupBox, "yRF_powerLabel", Setting::RfPower, yRF_PowerNumericUpDown,
                                    scale, 6, 49, 4);
    yIDLabel = settingCaption(yGeneralGroupBox, "yIDLabel", Setting::Id, IDnumericUpDown1, scale, 6, 22, 1);

    std::tie(bv_RSSIlabel1, bv_Batterylabel1, bv_SVlabel1, b_RSSIlabel1, b_Batterylabel1, b_SVlabel1) =
        infoLabels(yRadioGroupBox,
                   {"bv_RSSIlabel1", "bv_Batterylabel1", "bv_SVlabel1", "b_RSSIlabel1", "b_Batterylabel1", "b_SVlabel1"},
                   scale);

    groupBox1 = groupBox(aTabPage, "groupBox1", QStringLiteral("Info"), scale, {305, 20, 265, 107}, 24);
    aGeneralGroupBox = groupBox(aTabPage, "aGeneralGroupBox", QStringLiteral("Settings"), scale,
                                {17, 20, 265, 107}, 11);

    std::tie(av_RSSIlabel1, av_Batterylabel3, Av_SVlabel4, a_RSSIlabel5, A_Batterylabel6, a_SVlabel7) =
        infoLabels(groupBox1,
                   {"av_RSSIlabel1", "av_Batterylabel3", "Av_SVlabel4", "a_RSSIlabel5", "A_Batterylabel6", "a_SVlabel7"},
                   scale);

    aStartup_VolumeNumericUpDown = numericField(aGeneralGroupBox, "aStartup_VolumeNumericUpDown", Setting::StartupVolume, scale,
                                                {153, 73, 100, 20}, 21);
    aStartup_VolumeLabel = settingCaption(aGeneralGroupBox, "aStartup_VolumeLabel", Setting::StartupVolume,
                                          aStartup_VolumeNumericUpDown, scale, 6, 75, 1);
    aIDnumericUpDown1 = numericField(aGeneralGroupBox, "aIDnumericUpDown1", Setting::Id, scale, {153, 20, 100, 20}, 23);
    aRF_PowerNumericUpDown = numericField(aGeneralGroupBox, "aRF_PowerNumericUpDown", Setting::RfPower, scale,
                                          {153, 47, 100, 20}, 21);
    aRF_PowerLabel = settingCaption(aGeneralGroupBox, "aRF_PowerLabel", Setting::RfPower, aRF_PowerNumericUpDown,
                                    scale, 6, 49, 4);
    aIDlabel = settingCaption(aGeneralGroupBox, "aIDlabel", Setting::Id, aIDnumericUpDown1, scale, 6, 22, 1);

    m_tabs = {{
        {PackKind::Bodypack, yTabPage,
         {"bSaveFileDialog", QFileDialog::AcceptSave, kBodypackSaveFilter, &bSaveFileDialog},
         {"bOpenFileDialog", QFileDialog::AcceptOpen, kBodypackOpenFilter, &bOpenFileDialog},
         {IDnumericUpDown1, yRF_PowerNumericUpDown, yMIC_SensitivityNumericUpDown, ySide_ToneNumericUpDown,
          yStartup_VolumeNumericUpDown, yPTT_SelComboBox1},
         {b_SVlabel1, bv_SVlabel1}, {b_Batterylabel1, bv_Batterylabel1}, {b_RSSIlabel1, bv_RSSIlabel1}},
        {PackKind::AircraftPack, aTabPage,
         {"aSaveFileDialog", QFileDialog::AcceptSave, kAircraftPackSaveFilter, &aSaveFileDialog},
         {"aOpenFileDialog", QFileDialog::AcceptOpen, kAircraftPackOpenFilter, &aOpenFileDialog},
         {aIDnumericUpDown1, aRF_PowerNumericUpDown, nullptr, nullptr, aStartup_VolumeNumericUpDown, nullptr},
         {a_SVlabel7, Av_SVlabel4}, {A_Batterylabel6, av_Batterylabel3}, {a_RSSIlabel5, av_RSSIlabel1}},
    }};

    setObjectName(QStringLiteral("USBConfigurationForm"));
    resize(scale.size(kBaseClientSize.width(), kBaseClientSize.height()));
    const QSize minimumClient = kMinimumOuterSize - kOuterFrame;
    const QSize maximumClient = kMaximumOuterSize - kOuterFrame;
    setMinimumSize(scale.size(minimumClient.width(), minimumClient.height()));
    setMaximumSize(scale.size(maximumClient.width(), maximumClient.height()));
    chainFocusByTabIndex(this);
    bUSBCombobox->setFocus();

    connect(bSearchUSBButton, &QPushButton::clicked, this, &USBConfigurationForm::bSearchUSBButton_Click);
    connect(bReadButton, &QPushButton::clicked, this, &USBConfigurationForm::bReadButton_Click);
    connect(bWritebutton, &QPushButton::clicked, this, &USBConfigurationForm::bWriteButton_Click);
    connect(bSaveButton, &QPushButton::clicked, this, &USBConfigurationForm::bSaveButton_Click);
    connect(bLoadButton, &QPushButton::clicked, this, &USBConfigurationForm::bLoadButton_Click);
}

} // namespace USBConfiguration
