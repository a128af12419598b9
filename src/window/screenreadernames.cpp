#include "screenreadernames.h"

#include "formlayout.h"

#include <QLabel>

void nameAfterCaption(QWidget *field, QLabel *caption)
{
    QString name = caption->text().trimmed();
    if (name.endsWith(u':'))
        name.chop(1);
    field->setAccessibleName(name);
    caption->setBuddy(field);
}

void ReportedValue::show(const QString &text) const
{
    setAutoSizedText(value, text);
    value->setAccessibleName(caption->text() + u' ' + text);
}
