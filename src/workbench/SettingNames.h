#pragma once

#include "clsKYR.h"

#include <QString>

// What a setting is, in the operator's words: "608 field 2 language" beside
// "Language608F2".
QString ReadableName(Section section, int row);

// What a value means, where its text form does not say it plainly: the
// lines of a line mask ("lines 8, 21"), a video format, a module type;
// empty text for values that speak for themselves.
QString ReadableValue(Section section, int row, const QString &text);
