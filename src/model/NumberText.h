#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

// Numbers typed into the dialogs' boxes. The boxes are read as the operator
// sees them: a "0" is put in front, so an empty box counts as 0, and only the
// leading digits count. Reading never overflows: a longer run of digits stops
// counting at the given limit.

// The leading decimal digits of "0" + text, at most limit.
qint64 LeadingDecimal(QStringView text, qint64 limit);
// The leading hexadecimal digits of "0" + text (either letter case), at most
// limit. A "-" placeholder reads as 0.
qint64 LeadingHex(QStringView text, qint64 limit);
// Upper-case hexadecimal without prefix or leading zeros: 0x61 gives "61",
// 0x01 gives "1", 0 gives "0".
QString HexText(qint64 value);
