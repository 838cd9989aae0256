#pragma once

#include <QString>
#include <QtGlobal>

#include <variant>

// One stored parameter value: text, or a number held as a byte, a 32-bit
// integer or a double. A default-constructed value is empty text.
class KyrValue
{
public:
    KyrValue() = default;
    KyrValue(const QString &text) : v(text) {}
    KyrValue(const char *text) : v(QString::fromLatin1(text)) {}
    KyrValue(quint8 byte) : v(byte) {}
    KyrValue(qint32 number) : v(number) {}
    KyrValue(double number) : v(number) {}

    bool isText() const { return std::holds_alternative<QString>(v); }
    bool isNumber() const { return !isText(); }

    // Text of the value; a number is written in plain decimal with "." as
    // the decimal point, whole numbers without a fraction.
    QString toText() const;
    // The value as a number; text is read with the lenient decimal reader.
    double toDouble() const;
    // The value rounded to the nearest 32-bit integer (halves to even),
    // clamped to the 32-bit range.
    qint32 toInt() const;

    bool operator==(const KyrValue &other) const = default;

    // Lenient decimal reader: spaces, tabs and line feeds are skipped
    // anywhere; digits with an optional decimal point and exponent are taken;
    // reading stops at the first other character. Empty or non-numeric
    // text gives 0. A sign is not accepted, so "-5" gives 0.
    static double readDecimal(QStringView text);
    // Plain decimal text of a number, "." as the decimal point whatever the
    // locale.
    static QString decimalText(double number);

private:
    std::variant<QString, quint8, qint32, double> v;
};
