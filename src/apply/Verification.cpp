#include "Verification.h"

#include "ConfigDiff.h"

#include <set>

namespace {

// A value as the save puts it on the wire: without line breaks.
QString onTheWire(QString value)
{
    value.remove(u'\r');
    value.remove(u'\n');
    return value;
}

} // namespace

Verification Verification::Compare(const SavePlan &plan, const clsKYR &sent, const clsKYR &held)
{
    Verification v;
    for (const SaveVisit &visit : plan) {
        for (int row : visit.rows) {
            ++v.checked;
            const QString a = onTheWire(sent.text(visit.section, visit.slot, row));
            const QString b = held.text(visit.section, visit.slot, row);
            if (a != b)
                v.mismatches.push_back({visit.section, visit.slot, row, a, b});
        }
    }
    v.result = v.mismatches.empty() ? Result::Verified : Result::Mismatch;
    return v;
}

int Verification::ListingOf(Section section, int slot)
{
    switch (section) {
    case Section::Kyr:
        return 0;
    case Section::Pgm:
        return 1 + slot;
    case Section::Cap:
        return 1 + clsKYR::ProgramSlots + slot;
    case Section::Str:
        return 1 + clsKYR::ProgramSlots + clsKYR::CaptionSlots + slot;
    }
    return -1;
}

std::vector<int> Verification::Listings(const SavePlan &plan)
{
    std::set<int> listings;
    for (const SaveVisit &visit : plan)
        listings.insert(ListingOf(visit.section, visit.slot));
    return {listings.begin(), listings.end()};
}

QString Verification::Name(Result result)
{
    switch (result) {
    case Result::Verified:
        return QStringLiteral("verified");
    case Result::Mismatch:
        return QStringLiteral("mismatch");
    case Result::Failed:
        return QStringLiteral("failed");
    case Result::NotRun:
        break;
    }
    return QStringLiteral("not_run");
}

QString Verification::Line(const Mismatch &m)
{
    return clsKYR::SectionName(m.section, m.slot) + u' ' + clsKYR::Definitions(m.section)[size_t(m.row)].Name +
           QStringLiteral(": sent ") + ConfigDiff::Shown(m.section, m.row, m.sent) + QStringLiteral(", holds ") +
           ConfigDiff::Shown(m.section, m.row, m.held);
}
