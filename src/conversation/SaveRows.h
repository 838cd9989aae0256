#pragma once

#include "SavePlan.h"
#include "clsKYR.h"

#include <vector>

// What a save writes, decided once for the save script and for anything
// that must know beforehand what a save would change.

// The rows a save sends in a section, in the order it sends them: the
// network rows of "KYR", every program row but the detected video format,
// every caption program row, and the rows a stream's slot and StreamType call for.
std::vector<int> SaveRows(const clsKYR &kyr, Section section, int slot);

// False for a section a save does not visit: the bridge streams of an
// encoder before revision "C".
bool SavesSection(const clsKYR &kyr, Section section, int slot);

// The plan of a full save of this model: "KYR" (its network rows), the two
// programs, the two caption programs and the stream sections the save visits,
// each with SaveRows().
SavePlan FullSavePlan(const clsKYR &kyr);
