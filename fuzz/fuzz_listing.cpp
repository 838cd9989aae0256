// Fuzz target over the encoder's listings: the parser, the four
// set-parameter operations and the rendering of every section.
//
// The input is Latin-1 text cut into listings at the byte 0x1E; listing k
// is the reply for the k-th section of a retrieval ("KYR", "PGM1", ...,
// "OUTBRIDGE1"). Any broken invariant aborts.
#include "ListingFuzzing.h"
#include "clsKYR.h"
#include "mParseSetup.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

#define CHECK(cond, detail) FUZZ_CHECK("fuzz_listing", cond, detail)

bool isUpperHex(QStringView digits)
{
    for (QChar c : digits) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

// The text form of a value read from a listing is the canonical form of
// its kind.
void checkTextForm(int kind, const QString &t)
{
    switch (kind) {
    case KindDecimal:
        CHECK(!t.isEmpty() && !t.startsWith(u'-'), t);
        break;
    case KindHexByte:
        CHECK(t.size() == 4 && t.startsWith(QLatin1String("0x")) && isUpperHex(QStringView(t).mid(2)), t);
        break;
    case KindHexWord:
        CHECK(t.size() == 6 && t.startsWith(QLatin1String("0x")) && isUpperHex(QStringView(t).mid(2)), t);
        break;
    case KindHexLong:
        CHECK(t.size() == 10 && t.startsWith(QLatin1String("0x")) && isUpperHex(QStringView(t).mid(2)) &&
                  t.at(2) <= u'7',
              t);
        break;
    default:
        CHECK(!t.contains(QLatin1String("\r\n")), t);
        break;
    }
}

QStringList renderAll(const clsKYR &kyr)
{
    QStringList out;
    for (int k = 0; k < clsKYR::SectionCount; ++k) {
        Section s;
        int slot;
        listingSection(k, s, slot);
        const QString rendering = kyr.GetParam(s, slot, QStringLiteral("*"));
        CHECK(rendering.startsWith(u'\n'), rendering);
        // The encoder's reply: the echoed "*" and its CR, which the
        // rendering's line feed completes, the lines, then the prompt.
        out << QStringLiteral("*\r") + rendering + u'#';
    }
    return out;
}

void checkSameTexts(const clsKYR &a, const clsKYR &b)
{
    for (Section s : kSections) {
        const auto &defs = clsKYR::Definitions(s);
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            for (int row = 0; row < static_cast<int>(defs.size()); ++row)
                CHECK(a.text(s, slot, row) == b.text(s, slot, row), defs[row].Name + u'=' + a.text(s, slot, row));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromLatin1(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QStringList listings = input.split(QLatin1Char(kSeparator));
    const QString errorText = QStringLiteral("Error in ParseSetup, press OK to continue");

    // 1. Parse; a short list is reported exactly once.
    clsKYR parsed;
    int errors = 0;
    ParseSetup(parsed, listings, [&](const QString &m) {
        CHECK(m == errorText, m);
        ++errors;
    });
    CHECK(errors == (listings.size() < clsKYR::SectionCount ? 1 : 0), input);

    // 2. Parsing the same listings again changes nothing.
    clsKYR again = parsed;
    ParseSetup(again, listings);
    CHECK(again == parsed, input);

    // 3. Every stored value has the canonical text form of its kind, and
    // the rendering lists every row once.
    for (int k = 0; k < clsKYR::SectionCount; ++k) {
        Section s;
        int slot;
        listingSection(k, s, slot);
        const auto &defs = clsKYR::Definitions(s);
        for (int row = 0; row < static_cast<int>(defs.size()); ++row)
            checkTextForm(defs[row].Kind, parsed.text(s, slot, row));
        int lines = 0;
        ApplyListing(parsed.GetParam(s, slot, QStringLiteral("*")).mid(1), [&](const QString &) { ++lines; });
        CHECK(lines == static_cast<int>(defs.size()), clsKYR::SectionName(s, slot));
    }

    // 4. Rendering then parsing is a fixed point.
    const QStringList rendered = renderAll(parsed);
    clsKYR reparsed;
    errors = 0;
    ParseSetup(reparsed, rendered, [&](const QString &) { ++errors; });
    CHECK(errors == 0, input);
    checkSameTexts(reparsed, parsed);
    CHECK(renderAll(reparsed) == rendered, input);

    // 5. Every line of every listing through the set-parameter operations:
    // an unknown name stores nothing; a known one echoes what the
    // get-parameter operation renders, and its echo applied again is stable.
    clsKYR direct;
    for (int k = 0; k < clsKYR::SectionCount && k < listings.size(); ++k) {
        Section s;
        int slot;
        listingSection(k, s, slot);
        const auto &defs = clsKYR::Definitions(s);
        ApplyListing(listings.at(k), [&](const QString &line) {
            std::vector<KyrValue> before;
            for (int row = 0; row < static_cast<int>(defs.size()); ++row)
                before.push_back(direct.value(s, slot, row));
            const QString echo = setByName(direct, s, slot, line);
            if (echo == QLatin1String("\n?\r\n")) {
                for (int row = 0; row < static_cast<int>(defs.size()); ++row)
                    CHECK(direct.value(s, slot, row) == before[row], line);
                return;
            }
            const int row = clsKYR::FindRow(s, line.left(line.indexOf(u'=')));
            CHECK(row >= 0, line);
            const QString listed = getByName(direct, s, slot, defs[row].Name);
            CHECK(echo + (defs[row].Kind == KindText ? QStringLiteral("\r\n") : QString()) == listed, echo);
            const QString textBefore = direct.text(s, slot, row);
            const QString echoAgain = setByName(direct, s, slot, listed.mid(1, listed.size() - 3));
            CHECK(echoAgain == echo, echoAgain);
            CHECK(direct.text(s, slot, row) == textBefore, textBefore);
        });
    }

    // The named operations line by line give what the parser gave, but for
    // the test streams' program presets.
    for (int k = 0; k < clsKYR::SectionCount; ++k) {
        Section s;
        int slot;
        listingSection(k, s, slot);
        for (int row = 0; row < static_cast<int>(clsKYR::Definitions(s).size()); ++row) {
            const bool preset = s == Section::Str && row == StrRow::Program &&
                                (slot == StreamSlot::BTEST1 || slot == StreamSlot::BTEST2);
            if (!preset)
                CHECK(direct.text(s, slot, row) == parsed.text(s, slot, row), direct.text(s, slot, row));
        }
    }

    // 6. The display conversions take whatever was parsed; a port or section
    // name shown for a stream finds that stream again (a LAN port may find
    // an earlier LAN slot with the same port).
    for (int stream = 0; stream <= clsKYR::StreamSlots; ++stream) {
        const QString name = parsed.Stream2Name(stream);
        const int found = parsed.Name2Stream(name);
        if (stream >= StreamSlot::LAN1 && stream <= StreamSlot::LAN8)
            CHECK(found >= StreamSlot::LAN1 && found <= stream, name);
        else if (stream <= StreamSlot::MODEM || stream == StreamSlot::BTEST1 || stream == StreamSlot::BTEST2)
            CHECK(found == stream, name);
        else
            CHECK(found >= -1 && found < clsKYR::StreamSlots, name);
        (void)clsKYR::LineNumbers(parsed.str(stream, StrRow::InsertLinesF1).toInt());
        const int first = clsKYR::LineNumber(parsed.str(stream, StrRow::InsertLinesF2).toInt());
        CHECK(first >= 1 && first <= 25, name);
    }
    for (int program = 0; program < clsKYR::ProgramSlots; ++program) {
        (void)clsKYR::VideoName(parsed.pgm(program, PgmRow::VideoMode).toInt(), false);
        for (int line = 0; line <= 26; ++line) {
            const QString caution = parsed.ValidLine(program, line);
            CHECK(!caution.endsWith(QLatin1String("\r\n")), caution);
        }
    }
    return 0;
}
