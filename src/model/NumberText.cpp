#include "NumberText.h"

namespace {

int digitValue(QChar c, int base)
{
    int v = -1;
    if (c >= u'0' && c <= u'9')
        v = c.unicode() - '0';
    else if (c >= u'a' && c <= u'f')
        v = c.unicode() - 'a' + 10;
    else if (c >= u'A' && c <= u'F')
        v = c.unicode() - 'A' + 10;
    return v < base ? v : -1;
}

qint64 leading(QStringView text, qint64 limit, int base)
{
    qint64 value = 0;
    for (QChar c : text) {
        const int d = digitValue(c, base);
        if (d < 0)
            break;
        if (value > (limit - d) / base)
            return limit;
        value = value * base + d;
    }
    return qMin(value, limit);
}

} // namespace

qint64 LeadingDecimal(QStringView text, qint64 limit)
{
    return leading(text, limit, 10);
}

qint64 LeadingHex(QStringView text, qint64 limit)
{
    return leading(text, limit, 16);
}

QString HexText(qint64 value)
{
    return QString::number(value, 16).toUpper();
}
