#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

// The battery voltage as the unit reports it, in tenths of a volt, so that the
// value stays exact: 37 tenths is 3.7 V, not a binary approximation of it.
class BatteryVoltage
{
public:
    BatteryVoltage() = default;
    explicit BatteryVoltage(std::uint8_t tenths) : m_tenths(tenths) {}

    std::uint8_t tenths() const { return m_tenths; }

    // Shortest decimal form: 40 tenths give "4", 37 give "3.7", 5 give "0.5";
    // the decimal separator is the locale's.
    QString toString(const QLocale &locale = QLocale::c()) const;

    friend bool operator==(BatteryVoltage, BatteryVoltage) = default;

private:
    std::uint8_t m_tenths = 0;
};
