#include "windowtext.h"

#include "packparameters/kindtext.h"

#include <QKeySequence>
#include <QStringList>

namespace {

// "Aircraft Switch or Microphone Switch"
QString choicesOf(const SettingInfo &info)
{
    QStringList choices;
    for (const SettingChoice &choice : info.choices)
        choices.append(qText(choice.caption));
    return choices.join(QStringLiteral(" or "));
}

} // namespace

QString WindowText::productVersion()
{
    return QStringLiteral(NERIO_PRODUCT_VERSION);
}

QString WindowText::title()
{
    return productName + u' ' + productVersion();
}

QString WindowText::chooseFromList(Setting setting)
{
    const SettingInfo &info = settingInfo(setting);
    return QStringLiteral("No %1 is selected. Please choose %2 under %1, then write the parameters again. Nothing was "
                          "written to the device.")
        .arg(qText(info.name), choicesOf(info));
}

QString WindowText::settingToolTip(Setting setting)
{
    const SettingInfo &info = settingInfo(setting);
    return QStringLiteral("%1. Choose %2.").arg(qText(info.description), choicesOf(info));
}

QString WindowText::settingToolTip(Setting setting, int lowest, int highest)
{
    return QStringLiteral("%1, from %2 to %3.").arg(qText(settingInfo(setting).description)).arg(lowest).arg(highest);
}

QString WindowText::commandToolTip(const QString &help, QKeyCombination key)
{
    return QStringLiteral("%1 (%2)").arg(help, QKeySequence(key).toString(QKeySequence::NativeText));
}
