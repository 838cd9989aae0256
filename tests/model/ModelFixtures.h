#pragma once

#include "clsKYR.h"

#include <QString>
#include <QStringList>

// Helpers shared by the model tests.
namespace ModelFixtures {

inline constexpr Section kSections[] = {Section::Kyr, Section::Pgm, Section::Cap, Section::Str};

inline QString hex(quint32 value, int width)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(width, u'0');
}

// A value of the row's kind that differs from the definition default and
// from a fresh model's value, and differs between slots and rows.
inline QString nonDefaultText(int kind, int slot, int row)
{
    switch (kind) {
    case KindText:
        // Spaces, "=" and a Latin-1 letter must survive listing and store.
        return QStringLiteral("v%1 r%2=x,y \u00e9").arg(slot).arg(row);
    case KindDecimal:
        if (row % 3 == 0)
            return QString::number(1000 * (slot + 1) + row) + QStringLiteral(".25");
        if (row % 3 == 1)
            return QString::number(123456789 + slot * 100 + row);
        return QString::number(slot * 50 + row + 1);
    case KindHexByte: {
        const int v = (row * 37 + slot * 11 + 0xA0) % 256;
        return hex(v == 0 ? 0xFE : v, 2);
    }
    case KindHexWord:
        return hex(0x8000 + row * 257 + slot, 4);
    case KindHexLong:
        return hex((1u << ((row + slot) % 25)) | (0x40000000u >> (slot % 7)) | 0x00100000u, 8);
    }
    return {};
}

// Fills every defined row of every used slot with a non-default value.
inline void fillNonDefault(clsKYR &kyr)
{
    for (Section s : kSections) {
        const auto &defs = clsKYR::Definitions(s);
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            for (int row = 0; row < static_cast<int>(defs.size()); ++row)
                kyr.setText(s, slot, row, nonDefaultText(defs[row].Kind, slot, row));
        }
    }
}

// The section and slot of the k-th listing of a retrieval.
inline void listingSection(int k, Section &section, int &slot)
{
    if (k == 0) {
        section = Section::Kyr;
        slot = 0;
    } else if (k <= 2) {
        section = Section::Pgm;
        slot = k - 1;
    } else if (k <= 4) {
        section = Section::Cap;
        slot = k - 3;
    } else {
        section = Section::Str;
        slot = k - 5;
    }
}

// The encoder's reply to "*": the echoed request ends with its CR, the
// rendering's leading line feed completes that line, and the "#" prompt
// follows the last line.
inline QString encoderReply(const QString &rendering)
{
    return QStringLiteral("*\r") + rendering + QLatin1Char('#');
}

// The 23 replies of a retrieval from this model.
inline QStringList renderAll(const clsKYR &kyr)
{
    QStringList listings;
    for (int k = 0; k < clsKYR::SectionCount; ++k) {
        Section s;
        int slot;
        listingSection(k, s, slot);
        listings << encoderReply(kyr.GetParam(s, slot, QStringLiteral("*")));
    }
    return listings;
}

// 23 listings that are all empty.
inline QStringList emptyListings()
{
    QStringList l;
    for (int k = 0; k < clsKYR::SectionCount; ++k)
        l << QString();
    return l;
}

} // namespace ModelFixtures
