#include "batteryvoltage.h"

QString BatteryVoltage::toString(const QLocale &locale) const
{
    const QString volts = locale.toString(m_tenths / 10);
    if (m_tenths % 10 == 0)
        return volts;
    return volts + locale.decimalPoint() + locale.toString(m_tenths % 10);
}
