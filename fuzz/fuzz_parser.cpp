// Lean fuzz target over the encoder's listings: the parser and the named
// set-parameter operations only, so that it runs thousands of inputs a
// second (fuzz_listing also renders and re-parses everything, far slower).
//
// Invariants: a short list of listings is reported exactly once, nothing
// else is; every line applied with its section's named operation leaves the
// model exactly as the parser left it; each line answers "?" or the row it
// set.
#include "ListingFuzzing.h"
#include "mParseSetup.h"

#include <QStringList>

#include <cstdint>

#define CHECK(cond, detail) FUZZ_CHECK("fuzz_parser", cond, detail)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromLatin1(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QStringList listings = input.split(QLatin1Char(kSeparator));

    clsKYR parsed;
    int errors = 0;
    ParseSetup(parsed, listings, [&](const QString &m) {
        CHECK(m == QLatin1String("Error in ParseSetup, press OK to continue"), m);
        ++errors;
    });
    CHECK(errors == (listings.size() < clsKYR::SectionCount ? 1 : 0), input);

    // The parser presets the test streams' programs before their listings.
    clsKYR direct;
    direct.setStr(StreamSlot::BTEST1, StrRow::Program, KyrValue(qint32(1)));
    direct.setStr(StreamSlot::BTEST2, StrRow::Program, KyrValue(qint32(2)));
    for (int k = 0; k < clsKYR::SectionCount && k < listings.size(); ++k) {
        Section s;
        int slot;
        listingSection(k, s, slot);
        ApplyListing(listings.at(k), [&](const QString &line) {
            const QString echo = setByName(direct, s, slot, line);
            CHECK(echo == QLatin1String("\n?\r\n") || (echo.startsWith(u'\n') && echo.contains(u'=')), echo);
        });
    }
    CHECK(direct == parsed, input);
    return 0;
}
