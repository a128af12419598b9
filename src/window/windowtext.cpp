#include "windowtext.h"

#include "packparameters/kindtext.h"

#include <QStringList>

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
    QStringList choices;
    for (const SettingChoice &choice : info.choices)
        choices.append(qText(choice.caption));
    return QStringLiteral("No %1 is selected. Please choose %2 under %1, then write the parameters again. Nothing was "
                          "written to the device.")
        .arg(qText(info.name), choices.join(QStringLiteral(" or ")));
}
