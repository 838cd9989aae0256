#include "KyrValue.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace {

bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

double KyrValue::readDecimal(QStringView text)
{
    // Gather the characters that count, dropping the skipped white space,
    // then take the longest prefix of the form digits [. digits] [E [sign] digits].
    QString s = QStringLiteral("0");
    s.reserve(text.size() + 1);
    for (QChar c : text) {
        if (!isSkipped(c))
            s.append(c);
    }
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && isDigit(s[i]))
        ++i;
    if (i < n && s[i] == u'.') {
        ++i;
        while (i < n && isDigit(s[i]))
            ++i;
    }
    qsizetype end = i;
    if (i < n && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
        qsizetype j = i + 1;
        QString exponentSign;
        if (j < n && (s[j] == u'+' || s[j] == u'-')) {
            exponentSign = s[j];
            ++j;
        }
        const qsizetype digitsStart = j;
        while (j < n && isDigit(s[j]))
            ++j;
        if (j > digitsStart) {
            s = s.left(i) + u'e' + exponentSign + s.mid(digitsStart, j - digitsStart);
            end = s.size();
        }
    }
    bool ok = false;
    const double value = QStringView(s).left(end).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return 0.0;
    return value;
}

QString KyrValue::decimalText(double number)
{
    if (!std::isfinite(number))
        return QStringLiteral("0");
    if (number == std::trunc(number) && std::fabs(number) < 1e15)
        return QString::number(static_cast<qint64>(number));
    // QString::number always writes "." whatever the locale.
    const QString text = QString::number(number, 'g', 15);
    // Near the largest double, 15 digits round up past it and would read
    // back as 0; there the shortest exact form is used.
    bool ok = false;
    if (!std::isfinite(text.toDouble(&ok)) || !ok)
        return QString::number(number, 'g', QLocale::FloatingPointShortest);
    return text;
}

QString KyrValue::toText() const
{
    if (const auto *t = std::get_if<QString>(&v))
        return *t;
    if (const auto *b = std::get_if<quint8>(&v))
        return QString::number(*b);
    if (const auto *i = std::get_if<qint32>(&v))
        return QString::number(*i);
    return decimalText(std::get<double>(v));
}

double KyrValue::toDouble() const
{
    if (const auto *t = std::get_if<QString>(&v))
        return readDecimal(*t);
    if (const auto *b = std::get_if<quint8>(&v))
        return *b;
    if (const auto *i = std::get_if<qint32>(&v))
        return *i;
    return std::get<double>(v);
}

qint32 KyrValue::toInt() const
{
    if (const auto *i = std::get_if<qint32>(&v))
        return *i;
    if (const auto *b = std::get_if<quint8>(&v))
        return *b;
    const double d = std::nearbyint(toDouble());
    if (std::isnan(d))
        return 0;
    if (d < std::numeric_limits<qint32>::min())
        return std::numeric_limits<qint32>::min();
    if (d > std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    return static_cast<qint32>(d);
}
