#pragma once

#include "clsKYR.h"

#include <QString>

#include <vector>

class Configuration;

// The differences between two configurations, row by row in section and
// table order.
class ConfigDiff
{
public:
    struct Difference
    {
        Section section = Section::Kyr;
        int slot = 0;
        int row = 0;
        QString before;
        QString after;
    };

    enum class Rows {
        All,     // every row both sides give
        Settings // only what a save of either side writes, network settings left out
    };

    // compared, when given, counts the rows both sides give that were compared.
    static std::vector<Difference> Compare(const Configuration &before, const Configuration &after, Rows rows,
                                           int *compared = nullptr);
    // What saving `after` to an encoder that holds `before` changes: the rows
    // the save of `after` sends whose value differs.
    static std::vector<Difference> SaveChanges(const clsKYR &before, const clsKYR &after);

    // "LAN3 Did: 0x61 -> 0x51"; text values in double quotes
    // (CAPPGM1 Language608F2: "eng" -> "spn").
    static QString Line(const Difference &difference);
    // A value as Line() shows it: text values in double quotes, with the
    // backslash and the double quote escaped.
    static QString Shown(Section section, int row, const QString &value);
};
