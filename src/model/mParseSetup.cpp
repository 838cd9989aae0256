#include "mParseSetup.h"

#include "clsKYR.h"

#include <exception>

void ApplyListing(const QString &listing, const std::function<void(const QString &)> &apply)
{
    qsizetype p = 0;
    for (qsizetype q = listing.indexOf(QLatin1String("\r\n"), p); q >= 0;
         q = listing.indexOf(QLatin1String("\r\n"), p)) {
        apply(listing.mid(p, q - p));
        p = q + 2;
    }
}

void ParseSetup(clsKYR &kyr, const QStringList &listings,
                const std::function<void(const QString &)> &reportError)
{
    const QString errorText = QStringLiteral("Error in ParseSetup, press OK to continue");
    bool reported = false;
    for (int k = 0; k < clsKYR::SectionCount; ++k) {
        try {
            Section section = Section::Kyr;
            int slot = 0;
            if (k >= 1 && k <= 2) {
                section = Section::Pgm;
                slot = k - 1;
            } else if (k >= 3 && k <= 4) {
                section = Section::Cap;
                slot = k - 3;
            } else if (k >= 5) {
                section = Section::Str;
                slot = k - 5;
                if (slot == StreamSlot::BTEST1)
                    kyr.setStr(slot, StrRow::Program, KyrValue(qint32(1)));
                else if (slot == StreamSlot::BTEST2)
                    kyr.setStr(slot, StrRow::Program, KyrValue(qint32(2)));
            }
            if (k >= listings.size())
                throw std::out_of_range("listing missing");
            ApplyListing(listings.at(k), [&](const QString &line) { kyr.SetParam(section, slot, line); });
        } catch (const std::exception &) {
            // One message for the whole parse is enough for the operator.
            if (reportError && !reported)
                reportError(errorText);
            reported = true;
        }
    }
}
