#include "WorkingNumber.h"

#include <algorithm>
#include <limits>

WorkingNumber::WorkingNumber(const KyrValue &value) : stored(value)
{
    const qint32 whole = value.toInt();
    number = qint16(std::clamp<qint32>(whole, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
}

QString WorkingNumber::text() const
{
    return isChanged ? QString::number(number) : KyrValue::decimalText(stored.toDouble());
}

void WorkingNumber::set(qint16 value)
{
    number = value;
    isChanged = true;
}

void WorkingNumber::store(clsKYR &kyr, Section section, int slot, int row) const
{
    if (isChanged)
        kyr.setText(section, slot, row, QString::number(number));
    else
        kyr.setValue(section, slot, row, stored);
}
