#pragma once

#include "ConfigDiff.h"
#include "Configuration.h"
#include "SavePlan.h"
#include "clsKYR.h"

#include <QString>

#include <vector>

// What applying a file's settings to a unit does, worked out from the
// retrieved configuration before anything is sent: the configuration the
// unit is to hold, the settings that change, the file's settings the unit
// keeps on purpose, and those a save could not carry (with the reason,
// derived from the save's own rules in SaveRows). kyr7ctl's apply and the
// program's sending of a file both work from it.
class ApplyPlan
{
public:
    // A setting of the file that the save of the merged configuration would
    // not write, while the unit holds another value.
    struct Unwritten
    {
        Section section = Section::Kyr;
        int slot = 0;
        int row = 0;
        QString value; // the file's
        QString reason;
    };
    // A setting of the file the unit keeps its own value of: its identity,
    // its detected video formats, and its network settings unless they are
    // taken too.
    struct Kept
    {
        Section section = Section::Kyr;
        int slot = 0;
        int row = 0;
        QString file;
        QString unit;
    };

    static ApplyPlan Make(const Configuration &file, const clsKYR &unit, bool withNetwork);

    // The file's settings over the unit's (Configuration::over).
    clsKYR merged;
    // What the save of merged changes on the unit.
    std::vector<ConfigDiff::Difference> changes;
    std::vector<Unwritten> notWritten;
    std::vector<Kept> kept;

    // The whole save of merged, as "Save and Exit" sends it.
    SavePlan fullSave() const;
    // Only the rows that differ from what the unit holds, in the save's
    // order; sections without one are not visited. A stream whose StreamType
    // changes is written whole (StreamType first), as a full save writes it.
    SavePlan changedOnly() const;
    // The save moves the unit to another address (IpNum or DHCP change):
    // it cannot be reached again where it was.
    bool movesUnit() const { return Moves(unit, merged); }
    // Whether saving after over a unit that holds before moves it so.
    static bool Moves(const clsKYR &before, const clsKYR &after);

    // "LAN3 FileName: \"x.txt\" (the save leaves it out: ...)"
    static QString Line(const Unwritten &unwritten);
    static QString RowName(Section section, int row);

private:
    clsKYR unit;
};
