#pragma once

#include "clsKYR.h"

#include <vector>

// One section a save visits and the rows it writes there, in the order it
// writes them.
struct SaveVisit
{
    Section section = Section::Kyr;
    int slot = 0;
    std::vector<int> rows;

    bool operator==(const SaveVisit &) const = default;
};

// What a save writes, section by section in the order it visits them. The
// save script is written from one (Conversation::BuildSaveScript); a full
// save's plan is FullSavePlan(), a save of some rows only leaves sections out
// and rows out of the sections it visits.
using SavePlan = std::vector<SaveVisit>;
