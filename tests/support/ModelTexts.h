#pragma once

#include "clsKYR.h"

#include <QAbstractItemModel>
#include <QStringList>

// The texts of a list's items, in order.
inline QStringList texts(const QAbstractItemModel *model)
{
    QStringList list;
    for (int i = 0; i < model->rowCount(); ++i)
        list << model->index(i, 0).data().toString();
    return list;
}

// Every row of every section at its definition's default.
inline clsKYR FactoryModel()
{
    clsKYR kyr;
    for (Section section : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str})
        for (int slot = 0; slot < clsKYR::Slots(section); ++slot)
            for (int row = 0; row < int(clsKYR::Definitions(section).size()); ++row)
                kyr.setText(section, slot, row, clsKYR::Definitions(section)[size_t(row)].Default);
    return kyr;
}

// Every row that differs, one line per section: "SECTION Name=value ...".
inline QStringList changes(const clsKYR &before, const clsKYR &after)
{
    QStringList lines;
    for (Section section : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str})
        for (int slot = 0; slot < clsKYR::Slots(section); ++slot) {
            QString line;
            for (int row = 0; row < int(clsKYR::Definitions(section).size()); ++row)
                if (after.text(section, slot, row) != before.text(section, slot, row))
                    line +=
                        u' ' + clsKYR::Definitions(section)[size_t(row)].Name + u'=' + after.text(section, slot, row);
            if (!line.isEmpty())
                lines << clsKYR::SectionName(section, slot) + line;
        }
    return lines;
}
