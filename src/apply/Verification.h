#pragma once

#include "SavePlan.h"
#include "clsKYR.h"

#include <QString>

#include <vector>

// What a read-back found: each setting a save sent compared with what the
// unit holds afterwards.
class Verification
{
public:
    enum class Result {
        NotRun,   // no read-back was made
        Verified, // every setting sent is held
        Mismatch, // some are not (mismatches)
        Failed    // the unit could not be read back (message)
    };
    struct Mismatch
    {
        Section section = Section::Kyr;
        int slot = 0;
        int row = 0;
        QString sent;
        QString held;
    };

    Result result = Result::NotRun;
    int checked = 0; // settings compared
    std::vector<Mismatch> mismatches;
    QString message; // why it failed or was not run; empty otherwise

    // Every row plan sent, with the values of sent (as the wire carried
    // them), against held.
    static Verification Compare(const SavePlan &plan, const clsKYR &sent, const clsKYR &held);
    // The sections plan visits, as positions in a retrieval's listings
    // (Conversation::BuildSectionsScript).
    static std::vector<int> Listings(const SavePlan &plan);
    // The position of a section in a retrieval's listings.
    static int ListingOf(Section section, int slot);

    // "verified", "mismatch", "not_run", "failed".
    static QString Name(Result result);
    // "CAPPGM1 Language608F1: sent \"fra\", holds \"eng\""
    static QString Line(const Mismatch &mismatch);
};
