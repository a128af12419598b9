#pragma once

// What a screen reader announces for the window's controls. Without names of
// their own, Qt names a field after the caption of the group box around it,
// so every field would be read as "Settings".

class QLabel;
class QString;
class QWidget;

// The field is named after its caption, without the caption's colon ("RF
// Power (0-127)"), and the caption is tied to it. Qt on Linux announces a
// drop-down by its current entry and takes the label from that tie.
void nameAfterCaption(QWidget *field, QLabel *caption);

// A value that a unit reports, with the caption in front of it, so that it is
// read as "Battery Voltage: 3.7 V".
struct ReportedValue
{
    QLabel *caption;
    QLabel *value;

    void show(const QString &text) const;
};
