// The parser of the encoder's listings: line ends, names, section order,
// the test-stream presets, repeated and missing listings.
#include "ModelFixtures.h"
#include "clsKYR.h"
#include "mParseSetup.h"

#include <QtTest>

using namespace ModelFixtures;

class tst_parsesetup : public QObject
{
    Q_OBJECT

private slots:
    void streamListingLines_data();
    void streamListingLines();
    void programListingExample();
    void namesIgnoreLetterCaseInEverySection();
    void listingsGoToTheirSections();
    void testStreamProgramPresets_data();
    void testStreamProgramPresets();
    void parsingTwiceIsIdempotent();
    void emptyListingsChangeNothing_data();
    void emptyListingsChangeNothing();
    void shortListReportsOnceAndAppliesWhatIsThere();
    void noListingsAtAll();
    void extraListingIgnored();
};

namespace {
constexpr int kPortB = 5 + StreamSlot::PORTB; // listing index of "PORTB"

QStringList withListing(int k, const QString &listing)
{
    QStringList l = emptyListings();
    l[k] = listing;
    return l;
}
} // namespace

// Line rules over one stream listing ("PORTB"): what Did and FileName hold
// afterwards in a fresh model.
void tst_parsesetup::streamListingLines_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QString>("did");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("encoder reply") << "*\r\nDid=0x22\r\nFileName=f.bin\r\n#"
                                   << "0x22"
                                   << "f.bin";
    QTest::newRow("CR LF ends a line") << "Did=0x22\r\n"
                                       << "0x22"
                                       << "";
    QTest::newRow("no line end: not applied") << "Did=0x22#"
                                              << "0x00"
                                              << "";
    QTest::newRow("text after last CR LF ignored") << "Did=0x22\r\nFileName=tail"
                                                   << "0x22"
                                                   << "";
    QTest::newRow("lone LF is no line end") << "Did=0x22\n"
                                            << "0x00"
                                            << "";
    QTest::newRow("lone CR is no line end") << "Did=0x22\r"
                                            << "0x00"
                                            << "";
    QTest::newRow("lone CR joins two lines") << "Did=0x22\rFileName=x\r\n"
                                             << "0x00"
                                             << "";
    QTest::newRow("lone CR kept in text") << "FileName=a\rb\r\n"
                                          << "0x00"
                                          << "a\rb";
    QTest::newRow("lone LF kept in text") << "FileName=a\nDid=0x22\r\n"
                                          << "0x00"
                                          << "a\nDid=0x22";
    QTest::newRow("CR before CR LF kept in text") << "FileName=a\r\r\nDid=0x22\r\n"
                                                  << "0x22"
                                                  << "a\r";
    QTest::newRow("LF before CR LF spoils a hex value") << "Did=0x22\n\r\n"
                                                        << "0x00"
                                                        << "";
    QTest::newRow("empty lines skipped") << "\r\n\r\nDid=0x22\r\n\r\n"
                                         << "0x22"
                                         << "";
    QTest::newRow("leading LF spoils the name") << "\nDid=0x22\r\n"
                                                << "0x00"
                                                << "";
    QTest::newRow("leading space spoils the name") << " Did=0x22\r\n"
                                                   << "0x00"
                                                   << "";
    QTest::newRow("space before = spoils the name") << "Did =0x22\r\n"
                                                    << "0x00"
                                                    << "";
    QTest::newRow("value not trimmed") << "Did=0x22 \r\nFileName= f \r\n"
                                       << "0x00"
                                       << " f ";
    QTest::newRow("lower case name") << "did=0x22\r\nfilename=f\r\n"
                                     << "0x22"
                                     << "f";
    QTest::newRow("upper case name") << "DID=0x22\r\nFILENAME=f\r\n"
                                     << "0x22"
                                     << "f";
    QTest::newRow("later duplicate wins") << "Did=0x11\r\nDid=0x22\r\n"
                                          << "0x22"
                                          << "";
    QTest::newRow("later duplicate wins, spoilt") << "Did=0x22\r\nDid=0X33\r\n"
                                                  << "0x00"
                                                  << "";
    QTest::newRow("further = in the value") << "FileName=a=b\r\n"
                                            << "0x00"
                                            << "a=b";
    QTest::newRow("empty value") << "FileName=\r\nDid=\r\n"
                                 << "0x00"
                                 << "";
    QTest::newRow("lines without =") << "*\r\nDid\r\nhello\r\n"
                                     << "0x00"
                                     << "";
    QTest::newRow("unknown names") << "Bogus=1\r\nVideoMode=3\r\nDid=0x22\r\n"
                                   << "0x22"
                                   << "";
    QTest::newRow("prompt only") << "#"
                                 << "0x00"
                                 << "";
}

void tst_parsesetup::streamListingLines()
{
    QFETCH(QString, listing);
    QFETCH(QString, did);
    QFETCH(QString, fileName);
    clsKYR kyr;
    int errors = 0;
    ParseSetup(kyr, withListing(kPortB, listing), [&](const QString &) { ++errors; });
    QCOMPARE(errors, 0);
    QCOMPARE(kyr.sSTR(StreamSlot::PORTB, StrRow::Did), did);
    QCOMPARE(kyr.sSTR(StreamSlot::PORTB, StrRow::FileName), fileName);
    // No other stream slot is touched.
    QCOMPARE(kyr.sSTR(StreamSlot::PORTA, StrRow::Did), QStringLiteral("0x00"));
    QCOMPARE(kyr.sSTR(StreamSlot::PORTC, StrRow::FileName), QString());
}

void tst_parsesetup::programListingExample()
{
    clsKYR kyr;
    const clsKYR fresh;
    ParseSetup(kyr, withListing(2, QStringLiteral("*\r\nVideoMode=8\r\nRequestedVideoMode=2\r\n#")));
    QCOMPARE(kyr.sPGM(1, PgmRow::VideoMode), QStringLiteral("8"));
    QCOMPARE(kyr.sPGM(1, PgmRow::RequestedVideoMode), QStringLiteral("2"));
    kyr.setPgm(1, PgmRow::VideoMode, fresh.pgm(1, PgmRow::VideoMode));
    kyr.setPgm(1, PgmRow::RequestedVideoMode, fresh.pgm(1, PgmRow::RequestedVideoMode));
    kyr.setStr(StreamSlot::BTEST1, StrRow::Program, fresh.str(StreamSlot::BTEST1, StrRow::Program));
    kyr.setStr(StreamSlot::BTEST2, StrRow::Program, fresh.str(StreamSlot::BTEST2, StrRow::Program));
    QVERIFY(kyr == fresh); // nothing else
}

void tst_parsesetup::namesIgnoreLetterCaseInEverySection()
{
    QStringList l = emptyListings();
    l[0] = QStringLiteral("*\r\nserialnumber=123\r\nDHCP=1\r\n#");
    l[1] = QStringLiteral("*\r\nvideomode=5\r\n VideoMode=7\r\n#");
    l[2] = QStringLiteral("*\r\nLINECFGL25F2=2\r\n#");
    l[3] = QStringLiteral("*\r\nlanguage708s6=fra\r\n#");
    l[4] = QStringLiteral("*\r\nEASYREADER608F1=1\r\n#");
    l[5 + StreamSlot::OUTBRIDGE1] = QStringLiteral("*\r\nTRANSTIMEOUT=9\r\nbridgetype=1\r\n#");
    clsKYR kyr;
    ParseSetup(kyr, l);
    QCOMPARE(kyr.sKYR(KyrRow::SerialNumber), QStringLiteral("123"));
    QCOMPARE(kyr.sKYR(KyrRow::DHCP), QStringLiteral("1"));
    QCOMPARE(kyr.sPGM(0, PgmRow::VideoMode), QStringLiteral("5"));
    QCOMPARE(kyr.sPGM(1, PgmRow::LineCfg(1, 25, 2)), QStringLiteral("2"));
    QCOMPARE(kyr.sCAP(0, CapRow::Language708S6), QStringLiteral("fra"));
    QCOMPARE(kyr.sCAP(1, CapRow::EasyReader608F1), QStringLiteral("1"));
    QCOMPARE(kyr.sSTR(StreamSlot::OUTBRIDGE1, StrRow::transTimeout), QStringLiteral("9"));
    QCOMPARE(kyr.sSTR(StreamSlot::OUTBRIDGE1, StrRow::BridgeType), QStringLiteral("1"));
}

// Listing k goes to: "KYR", "PGM1", "PGM2", "CAPPGM1", "CAPPGM2", then the
// stream slots "PORTA" .. "OUTBRIDGE1".
void tst_parsesetup::listingsGoToTheirSections()
{
    QStringList l;
    l << QStringLiteral("*\r\nID=KYR7\r\n#");
    l << QStringLiteral("*\r\nVideoMode=8\r\n#") << QStringLiteral("*\r\nVideoMode=3\r\n#");
    l << QStringLiteral("*\r\nServices=3\r\n#") << QStringLiteral("*\r\nServices=4\r\n#");
    for (int s = 0; s < clsKYR::StreamSlots; ++s)
        l << QStringLiteral("*\r\nPortAddr=%1\r\n#").arg(3000 + s);
    clsKYR kyr;
    ParseSetup(kyr, l);
    QCOMPARE(kyr.sKYR(KyrRow::ID), QStringLiteral("KYR7"));
    QCOMPARE(kyr.sPGM(0, PgmRow::VideoMode), QStringLiteral("8"));
    QCOMPARE(kyr.sPGM(1, PgmRow::VideoMode), QStringLiteral("3"));
    QCOMPARE(kyr.sCAP(0, CapRow::Services), QStringLiteral("3"));
    QCOMPARE(kyr.sCAP(1, CapRow::Services), QStringLiteral("4"));
    for (int s = 0; s < clsKYR::StreamSlots; ++s)
        QCOMPARE(kyr.sSTR(s, StrRow::PortAddr), QString::number(3000 + s));
}

void tst_parsesetup::testStreamProgramPresets_data()
{
    QTest::addColumn<QString>("btest1");
    QTest::addColumn<QString>("btest2");
    QTest::addColumn<QString>("program1");
    QTest::addColumn<QString>("program2");
    QTest::newRow("no Program lines") << "*\r\nDid=0x41\r\n#"
                                      << "*\r\nDid=0x42\r\n#"
                                      << "1"
                                      << "2";
    QTest::newRow("empty listings") << ""
                                    << ""
                                    << "1"
                                    << "2";
    QTest::newRow("BTEST2 says program 1") << ""
                                           << "*\r\nProgram=1\r\n#"
                                           << "1"
                                           << "1";
    QTest::newRow("BTEST1 says program 2") << "*\r\nprogram=2\r\n#"
                                           << ""
                                           << "2"
                                           << "2";
    QTest::newRow("Program line without line end") << "Program=2"
                                                   << "Program=1#"
                                                   << "1"
                                                   << "2";
}

void tst_parsesetup::testStreamProgramPresets()
{
    QFETCH(QString, btest1);
    QFETCH(QString, btest2);
    QFETCH(QString, program1);
    QFETCH(QString, program2);
    clsKYR kyr;
    kyr.setSSTR(StreamSlot::BTEST1, StrRow::Program, QStringLiteral("7"));
    kyr.setSSTR(StreamSlot::BTEST2, StrRow::Program, QStringLiteral("7"));
    QStringList l = emptyListings();
    l[5 + StreamSlot::BTEST1] = btest1;
    l[5 + StreamSlot::BTEST2] = btest2;
    ParseSetup(kyr, l);
    QCOMPARE(kyr.sSTR(StreamSlot::BTEST1, StrRow::Program), program1);
    QCOMPARE(kyr.sSTR(StreamSlot::BTEST2, StrRow::Program), program2);
    // The presets are for the test streams only.
    QCOMPARE(kyr.sSTR(StreamSlot::FILE2, StrRow::Program), QStringLiteral("0"));
}

void tst_parsesetup::parsingTwiceIsIdempotent()
{
    clsKYR encoder;
    fillNonDefault(encoder);
    QStringList l = renderAll(encoder);
    l[0] += QStringLiteral("\r\nID=second\r\nID=third\r\n"); // duplicates after the prompt
    l[kPortB] = QStringLiteral("*\r\nDid=0x11\r\nDid=0x22\r\nFileName=x\ry\r\nBaud=12abc\r\n#");
    l[5 + StreamSlot::BTEST2] = QStringLiteral("*\r\nDid=0x42\r\n#");
    clsKYR once;
    ParseSetup(once, l);
    clsKYR twice = once;
    ParseSetup(twice, l);
    QVERIFY(twice == once);
    QCOMPARE(once.sKYR(KyrRow::ID), QStringLiteral("third"));
    QCOMPARE(once.sSTR(StreamSlot::PORTB, StrRow::Did), QStringLiteral("0x22"));
    QCOMPARE(once.sSTR(StreamSlot::BTEST2, StrRow::Program), QStringLiteral("2"));
}

void tst_parsesetup::emptyListingsChangeNothing_data()
{
    QTest::addColumn<QString>("listing");
    QTest::newRow("empty") << "";
    QTest::newRow("prompt only") << "#";
    QTest::newRow("no CR LF anywhere") << "*\rVideoMode=3\nDid=0x22#";
}

void tst_parsesetup::emptyListingsChangeNothing()
{
    QFETCH(QString, listing);
    clsKYR kyr;
    fillNonDefault(kyr);
    kyr.setSSTR(StreamSlot::BTEST1, StrRow::Program, QStringLiteral("1"));
    kyr.setSSTR(StreamSlot::BTEST2, StrRow::Program, QStringLiteral("2"));
    const clsKYR before = kyr;
    QStringList l;
    for (int k = 0; k < clsKYR::SectionCount; ++k)
        l << listing;
    int errors = 0;
    ParseSetup(kyr, l, [&](const QString &) { ++errors; });
    QCOMPARE(errors, 0);
    for (Section s : kSections) {
        const auto &defs = clsKYR::Definitions(s);
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            for (int row = 0; row < static_cast<int>(defs.size()); ++row)
                QCOMPARE(kyr.text(s, slot, row), before.text(s, slot, row));
        }
    }
}

void tst_parsesetup::shortListReportsOnceAndAppliesWhatIsThere()
{
    QStringList l;
    l << QStringLiteral("*\r\nID=KYR7\r\n#") << QStringLiteral("*\r\nVideoMode=8\r\n#")
      << QStringLiteral("*\r\nVideoMode=3\r\n#");
    clsKYR kyr;
    QStringList messages;
    ParseSetup(kyr, l, [&](const QString &m) { messages << m; });
    QCOMPARE(messages, QStringList{QStringLiteral("Error in ParseSetup, press OK to continue")});
    QCOMPARE(kyr.sKYR(KyrRow::ID), QStringLiteral("KYR7"));
    QCOMPARE(kyr.sPGM(0, PgmRow::VideoMode), QStringLiteral("8"));
    QCOMPARE(kyr.sPGM(1, PgmRow::VideoMode), QStringLiteral("3"));

    // Without anyone to tell, the parse still goes through.
    clsKYR quiet;
    ParseSetup(quiet, l);
    QCOMPARE(quiet.sPGM(1, PgmRow::VideoMode), QStringLiteral("3"));
}

void tst_parsesetup::noListingsAtAll()
{
    clsKYR kyr;
    fillNonDefault(kyr);
    const QString did = kyr.sSTR(StreamSlot::LAN8, StrRow::Did);
    QStringList messages;
    ParseSetup(kyr, {}, [&](const QString &m) { messages << m; });
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.first(), QStringLiteral("Error in ParseSetup, press OK to continue"));
    QCOMPARE(kyr.sSTR(StreamSlot::LAN8, StrRow::Did), did);
}

void tst_parsesetup::extraListingIgnored()
{
    QStringList l = emptyListings();
    l << QStringLiteral("*\r\nDid=0x22\r\nID=extra\r\nVideoMode=9\r\n#");
    clsKYR kyr;
    const clsKYR fresh;
    int errors = 0;
    ParseSetup(kyr, l, [&](const QString &) { ++errors; });
    QCOMPARE(errors, 0);
    QCOMPARE(kyr.sSTR(StreamSlot::OUTBRIDGE1, StrRow::Did), QStringLiteral("0x00"));
    QCOMPARE(kyr.sKYR(KyrRow::ID), QString());
    QCOMPARE(kyr.sPGM(0, PgmRow::VideoMode), QStringLiteral("0"));
}

QTEST_APPLESS_MAIN(tst_parsesetup)
#include "tst_parsesetup.moc"
