#pragma once

#include "KyrValue.h"
#include "clsKYR.h"

#include <QString>
#include <QtGlobal>

// A dialog's 16-bit working copy of a stored number (a count, a code, an
// identifier). A stored value that such a copy cannot hold (above 32767,
// negative, or with a fraction) is neither cut nor wrapped: it is shown whole
// and written back unchanged until the operator gives a new value.
class WorkingNumber
{
public:
    WorkingNumber() = default;
    explicit WorkingNumber(const KyrValue &stored);

    // The number as the dialog works with it; a stored value that does not
    // fit reads as the nearest 16-bit number.
    qint16 value() const { return number; }
    // Plain decimal text: the stored value whole until the operator changes it.
    QString text() const;
    // The operator's new value.
    void set(qint16 value);
    // Writes the copy to a parameter: the stored value itself unless it was
    // changed, else the new number in the row's own form.
    void store(clsKYR &kyr, Section section, int slot, int row) const;
    bool changed() const { return isChanged; }
    // True when value() is the number itself: the operator gave it, or the
    // stored value is a whole number in the 16-bit range.
    bool exact() const { return isChanged || stored.toDouble() == number; }

private:
    KyrValue stored{qint32(0)};
    qint16 number = 0;
    bool isChanged = false;
};
