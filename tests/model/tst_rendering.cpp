// Rendering sections in listing form, and listings that parse back to the
// same configuration.
#include "ModelFixtures.h"
#include "clsKYR.h"
#include "mParseSetup.h"

#include <QtTest>

using namespace ModelFixtures;

class tst_rendering : public QObject
{
    Q_OBJECT

private slots:
    void programListingOrder();
    void everySectionListsEveryRowOnce_data();
    void everySectionListsEveryRowOnce();
    void listingParsesBackToSameValues_data();
    void listingParsesBackToSameValues();
    void wholeConfigurationRoundTrip();
    void renderedLinesEchoAsApplied();
};

namespace {
QStringList renderedLines(const QString &rendering)
{
    QStringList lines;
    ApplyListing(rendering, [&](const QString &line) { lines << line; });
    return lines;
}
} // namespace

void tst_rendering::programListingOrder()
{
    clsKYR kyr;
    const QString listing = kyr.GetPGMParam(0, QStringLiteral("*"));
    QVERIFY(listing.startsWith(u'\n'));
    QVERIFY(listing.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = renderedLines(listing.mid(1));
    QCOMPARE(lines.size(), 104);
    QCOMPARE(lines.at(0), QStringLiteral("VideoMode=0"));
    QCOMPARE(lines.at(1), QStringLiteral("RequestedVideoMode=0"));
    QCOMPARE(lines.at(2), QStringLiteral("AddToCLines=0x00000000"));
    QCOMPARE(lines.at(3), QStringLiteral("AddToLLines=0x00000000"));
    QCOMPARE(lines.at(4), QStringLiteral("LineCfgC1F1=0"));
    QCOMPARE(lines.at(28), QStringLiteral("LineCfgC25F1=0"));
    QCOMPARE(lines.at(29), QStringLiteral("LineCfgC1F2=0"));
    QCOMPARE(lines.at(54), QStringLiteral("LineCfgL1F1=0"));
    QCOMPARE(lines.at(79), QStringLiteral("LineCfgL1F2=0"));
    QCOMPARE(lines.last(), QStringLiteral("LineCfgL25F2=0"));
}

void tst_rendering::everySectionListsEveryRowOnce_data()
{
    QTest::addColumn<int>("k");
    for (int k = 0; k < clsKYR::SectionCount; ++k) {
        Section s;
        int slot;
        listingSection(k, s, slot);
        QTest::newRow(qPrintable(clsKYR::SectionName(s, slot))) << k;
    }
}

void tst_rendering::everySectionListsEveryRowOnce()
{
    QFETCH(int, k);
    Section s;
    int slot;
    listingSection(k, s, slot);
    clsKYR kyr;
    fillNonDefault(kyr);
    const QString listing = kyr.GetParam(s, slot, QStringLiteral("*"));
    QVERIFY(listing.startsWith(u'\n'));
    const QStringList lines = renderedLines(listing.mid(1));
    const auto &defs = clsKYR::Definitions(s);
    QCOMPARE(lines.size(), static_cast<qsizetype>(defs.size()));
    for (int row = 0; row < lines.size(); ++row)
        QCOMPARE(lines.at(row), defs[row].Name + u'=' + nonDefaultText(defs[row].Kind, slot, row));
}

void tst_rendering::listingParsesBackToSameValues_data()
{
    everySectionListsEveryRowOnce_data();
}

// One section's listing, fetched from an encoder that holds a full
// configuration, fills that section and no other.
void tst_rendering::listingParsesBackToSameValues()
{
    QFETCH(int, k);
    Section s;
    int slot;
    listingSection(k, s, slot);
    clsKYR encoder;
    fillNonDefault(encoder);
    QStringList listings = emptyListings();
    listings[k] = encoderReply(encoder.GetParam(s, slot, QStringLiteral("*")));

    clsKYR kyr;
    int errors = 0;
    ParseSetup(kyr, listings, [&](const QString &) { ++errors; });
    QCOMPARE(errors, 0);
    const clsKYR fresh;
    for (Section other : kSections) {
        const auto &defs = clsKYR::Definitions(other);
        for (int o = 0; o < clsKYR::Slots(other); ++o) {
            for (int row = 0; row < static_cast<int>(defs.size()); ++row) {
                const bool here = other == s && o == slot;
                const bool bTestProgram = other == Section::Str && !here && row == StrRow::Program &&
                                          (o == StreamSlot::BTEST1 || o == StreamSlot::BTEST2);
                QString expected = here ? encoder.text(other, o, row) : fresh.text(other, o, row);
                if (bTestProgram)
                    expected = o == StreamSlot::BTEST1 ? QStringLiteral("1") : QStringLiteral("2");
                QCOMPARE(kyr.text(other, o, row), expected);
            }
        }
    }
}

void tst_rendering::wholeConfigurationRoundTrip()
{
    clsKYR encoder;
    fillNonDefault(encoder);
    encoder.SetStreamParam(StreamSlot::BTEST2, QStringLiteral("Program=1"));
    clsKYR kyr;
    int errors = 0;
    ParseSetup(kyr, renderAll(encoder), [&](const QString &) { ++errors; });
    QCOMPARE(errors, 0);
    QVERIFY(kyr == encoder);
    QCOMPARE(renderAll(kyr), renderAll(encoder));
}

// Sending a rendered line back as a parameter command stores the same value
// and echoes the line.
void tst_rendering::renderedLinesEchoAsApplied()
{
    clsKYR encoder;
    fillNonDefault(encoder);
    for (int k = 0; k < clsKYR::SectionCount; ++k) {
        Section s;
        int slot;
        listingSection(k, s, slot);
        const auto &defs = clsKYR::Definitions(s);
        const QStringList lines = renderedLines(encoder.GetParam(s, slot, QStringLiteral("*")).mid(1));
        clsKYR kyr = encoder;
        for (int row = 0; row < lines.size(); ++row) {
            QString echo;
            switch (s) {
            case Section::Kyr:
                echo = kyr.SetKYRParam(lines.at(row));
                break;
            case Section::Pgm:
                echo = kyr.SetPGMParam(slot, lines.at(row));
                break;
            case Section::Cap:
                echo = kyr.SetCAPPGMParam(slot, lines.at(row));
                break;
            case Section::Str:
                echo = kyr.SetStreamParam(slot, lines.at(row));
                break;
            }
            const QString tail = defs[row].Kind == KindText ? QString() : QStringLiteral("\r\n");
            QCOMPARE(echo, u'\n' + lines.at(row) + tail);
        }
        QVERIFY(kyr == encoder);
    }
}

QTEST_APPLESS_MAIN(tst_rendering)
#include "tst_rendering.moc"
