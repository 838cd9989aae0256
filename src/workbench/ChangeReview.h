#pragma once

#include "clsKYR.h"

#include <QString>

#include <vector>

// What a save changes, for the operator to read before saving: every setting
// the save sends that differs from what was retrieved (or from the file as
// opened), grouped by program and by module, each with its readable name.
class ChangeReview
{
public:
    struct Change
    {
        Section section = Section::Kyr;
        int slot = 0;
        int row = 0;
        QString where;    // the section: "CAPPGM1", "LAN3"
        QString setting;  // "Language608F2"
        QString readable; // "608 field 2 language"
        QString before;   // text forms, with what they mean where that helps
        QString after;
    };
    struct Group
    {
        QString program; // "Encoder", "Program 1", "Program 2"
        QString module;  // "TCP/IP", "General Config", "Caption Module", "Transparent Module on 2001"
        std::vector<Change> changes;
    };

    // What saving `after` over a unit (or file) that holds `before` changes.
    static ChangeReview Build(const clsKYR &before, const clsKYR &after);

    const std::vector<Group> &groups() const { return grouped; }
    int count() const { return total; }
    // "12 settings will change", "1 setting will change", "No setting will change".
    QString summary() const;
    // A change as one line: "CAPPGM1 Language608F2 (608 field 2 language): eng -> spn".
    static QString Line(const Change &change);

private:
    std::vector<Group> grouped;
    int total = 0;
};
