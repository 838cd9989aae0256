// The configuration model: text forms of parameter values, the set- and
// get-parameter operations, a fresh model and its spare rows and slots, the
// settings store, the encoder's listings (rendering a section, parsing a
// retrieval back: line ends, names, the test-stream presets, missing and
// extra listings), and the display conversions and insert-line cautions.
#include "DataTable.h"
#include "KeyFilters.h"
#include "TestFiles.h"
#include "clsKYR.h"
#include "mParseSetup.h"

#include <QtTest>

#include <clocale>
#include <functional>
#include <stdexcept>

namespace {
// Calls f(section, slot, row) for every defined row of every slot.
template <class F> void forEachRow(F f)
{
    for (Section s : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str})
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot)
            for (int row = 0; row < static_cast<int>(clsKYR::Definitions(s).size()); ++row)
                f(s, slot, row);
}

// A value of the row's kind that differs from a fresh model's value and
// between slots and rows.
QString nonDefaultText(int kind, int slot, int row)
{
    const quint32 n = row * 37 + slot * 11 + 1;
    if (kind == KindText) // spaces, "=", "," and a Latin-1 letter must survive listing and store
        return QStringLiteral("v%1 r%2=x,y \u00e9").arg(slot).arg(row);
    if (kind == KindDecimal)
        return row % 2 ? QString::number(123456789 + n) : QStringLiteral("%1.25").arg(n);
    const quint32 hex[] = {0, 0, n % 255 + 1, 0x8000 + n, 0x40100000u | (1u << (n % 25))};
    return "0x" + QString::number(hex[kind], 16).toUpper().rightJustified(2 << (kind - KindHexByte), u'0');
}

void fillNonDefault(clsKYR &kyr)
{
    forEachRow([&](Section s, int slot, int row) {
        kyr.setText(s, slot, row, nonDefaultText(clsKYR::Definitions(s)[row].Kind, slot, row));
    });
}

// The section and slot of the k-th listing of a retrieval: "KYR", "PGM1",
// "PGM2", "CAPPGM1", "CAPPGM2", then the stream slots.
std::pair<Section, int> listingSection(int k)
{
    for (Section s : {Section::Kyr, Section::Pgm, Section::Cap}) {
        if (k < clsKYR::Slots(s))
            return {s, k};
        k -= clsKYR::Slots(s);
    }
    return {Section::Str, k};
}

// A stream row of each kind.
constexpr int kRowOfKind[] = {StrRow::FileName, StrRow::Baud, StrRow::Did, StrRow::StreamType, StrRow::InsertLinesF1};

// Compares every defined row's text with expected(section, slot, row).
void compareAll(const clsKYR &got, const std::function<QString(Section, int, int)> &expected)
{
    forEachRow([&](Section s, int slot, int row) { QCOMPARE(got.text(s, slot, row), expected(s, slot, row)); });
}

// The lines of a section's rendering, after its leading line feed.
QStringList renderedLines(const QString &rendering)
{
    QStringList lines;
    ApplyListing(rendering.mid(1), [&](const QString &line) { lines << line; });
    return lines;
}

const QStringList kEmptyListings(clsKYR::SectionCount, QString());
const QString kUndetermined =
    QStringLiteral("\r\nIt is not possible to determine if the selected line is appropriate.");

QString anyVideo(const char *kind)
{
    return QString::asprintf("Warning, the KYR7 is currently set to insert into any %s video.\r\nValid %s video was "
                             "not present at the input when the KYR7 went into setup.",
                             kind, kind) +
           kUndetermined;
}

// An insert standard: its name, recommended range, valid and suggested lines.
struct Standard
{
    const char *name;
    int recommendedFirst, recommendedLast, validFirst, validLast, suggestedFirst, suggestedLast;
};
const Standard kSd525 = {"SD 525 line", 12, 20, 10, 19, 12, 19}, kSd625 = {"SD 625 line", 8, 22, 7, 22, 8, 22};
const Standard kHd[] = {{"HD 720p", 9, 25, 1, 25, 9, 25},
                        {"HD 1080i", 9, 20, 1, 20, 9, 20},
                        {"HD 1080p", 9, 25, 1, 25, 9, 25},
                        {"HD 1080psf", 9, 20, 1, 20, 9, 20}};

// Adds rows for the edges of a standard's ranges: recommended lines, valid
// lines below the recommended range, and invalid lines.
void addStandard(int requested, int detected, const Standard &s)
{
    auto add = [&](int line, const QString &caution) {
        QTest::addRow("%d/%d line %d", requested, detected, line) << requested << detected << line << caution;
    };
    for (int line : {s.recommendedFirst, std::min(s.recommendedLast, s.validLast)})
        add(line, QString());
    for (int line : {s.validFirst, s.recommendedFirst - 1})
        add(line, QString::asprintf("Warning, the KYR7 is set to insert into %s video\r\nLine %d is a valid insert "
                                    "line but\r\nis not in the recommended range of %d to %d",
                                    s.name, line, s.recommendedFirst, s.recommendedLast));
    for (int line : {s.validFirst - 1, s.validLast + 1})
        add(line, QString::asprintf("Warning, the KYR7 is set to insert into %s video\r\nLine %d is not a valid line "
                                    "number\r\nValid lines are %d to %d.  It is suggested you use lines %d to %d",
                                    s.name, line, s.validFirst, s.validLast, s.suggestedFirst, s.suggestedLast));
}
} // namespace

class tst_model : public QObject
{
    Q_OBJECT

private slots:
    // Text written to a row of each kind, and the text shown afterwards.
    void readers_data()
    {
        Table<int, QString, QString>({"kind", "input", "shown"});
        // Pairs of input and shown text.
        auto add = [](int kind, auto... texts) {
            const char *t[] = {texts...};
            for (size_t i = 0; i < sizeof...(texts); i += 2)
                QTest::addRow("kind %d: %s", kind, t[i])
                    << kind << QString::fromUtf8(t[i]) << QString::fromUtf8(t[i + 1]);
        };
        add(KindText, "  a=b,c\t\xc3\xbf ", "  a=b,c\t\xc3\xbf ", "", "", "0x51", "0x51");
        // White space is skipped anywhere; no sign; "." is the decimal point.
        add(KindDecimal, "9600", "9600", "", "0", " 1\t2", "12", "1\r2", "1", "-5", "0", "+5", "0", "12abc", "12",
            "abc", "0", ".5", "0.5", "12.0", "12", "1,5", "1", "25e-2", "0.25", "7e", "7", "1e999", "0",
            "0.30000000000000004", "0.3", "1e20", "1e+20");
        // The largest number was once shown as a text that read back as 0.
        add(KindDecimal, "1.7976931348623157e308", "1.7976931348623157e+308");
        add(KindHexByte, "0x51", "0x51", "0x5", "0x05", "0x0f", "0x0F", "0xFF", "0xFF", "0x", "0x00", "0x123", "0x00",
            "0X51", "0x00", "51", "0x00", "0x5G", "0x05", " 0x5", "0x00", "0x51 ", "0x00", "-0x5", "0x00");
        add(KindHexWord, "0x7", "0x0007", "0xabcd", "0xABCD", "0x8000", "0x8000", "0xFFFF", "0xFFFF", "0x12345",
            "0x0000", "0x", "0x0000", "0X0010", "0x0000", "0x12G4", "0x0012", "16", "0x0000");
        add(KindHexLong, "0x1", "0x00000001", "0xabcdef", "0x00ABCDEF", "0x12345678", "0x12345678", "0x80000080",
            "0x00000080", "0xFFFFFFFF", "0x7FFFFFFF", "0x123456789", "0x00000000", "0x", "0x00000000", "0X80",
            "0x00000000", "0x12345z78", "0x00012345", "128", "0x00000000");
    }
    void readers()
    {
        QFETCH(int, kind);
        QFETCH(QString, input);
        QFETCH(QString, shown);
        clsKYR kyr;
        kyr.setSSTR(StreamSlot::PORTA, kRowOfKind[kind], input);
        QCOMPARE(kyr.sSTR(StreamSlot::PORTA, kRowOfKind[kind]), shown);
        // What is shown reads back as itself: a listing sent back is unchanged.
        kyr.setSSTR(StreamSlot::PORTB, kRowOfKind[kind], shown);
        QCOMPARE(kyr.sSTR(StreamSlot::PORTB, kRowOfKind[kind]), shown);
    }

    // The set-parameter operations echo what they stored (text kinds
    // without CR LF), and the get-parameter operation then shows it.
    void setParameter_data()
    {
        Table<int, QString, QString>({"listing", "line", "echo"}); // listing: 0 KYR, 1-2 PGM, 3-4 CAPPGM, 5.. streams
        auto add = [](int listing, const char *line, const char *echo) {
            QTest::addRow("%d: %s", listing, line) << listing << QString(line) << QString(echo);
        };
        add(11, "DID=0X51", "\nDid=0x00\r\n");
        add(0, "IpNum=10.1.1.2=x", "\nIpNum=10.1.1.2=x");
        add(1, "LINECFGC21F1=3", "\nLineCfgC21F1=3\r\n");
        add(3, "Language608F2=spn", "\nLanguage608F2=spn");
        add(9, "TRANSMODE=1", "\ntransMode=1\r\n");
        add(5, "Parity= E ", "\nParity= E ");
        // Unknown names store nothing.
        for (const char *line : {"Bogus=1", "no equals sign", "=0x51", "", " Did=0x51", "Did =0x51", "VideoMode=3"})
            add(8, line, "\n?\r\n");
        add(0, "Did=0x51", "\n?\r\n");
    }
    void setParameter()
    {
        QFETCH(int, listing);
        QFETCH(QString, line);
        QFETCH(QString, echo);
        const auto [s, slot] = listingSection(listing);
        clsKYR kyr;
        fillNonDefault(kyr);
        const clsKYR before = kyr;
        QCOMPARE(kyr.SetParam(s, slot, line), echo);
        QCOMPARE(kyr == before, echo == QStringLiteral("\n?\r\n"));
        const QString crLf = QStringLiteral("\r\n");
        QCOMPARE(kyr.GetParam(s, slot, line.section(u'=', 0, 0)), echo.endsWith(crLf) ? echo : echo + crLf);
    }

    // A fresh model holds the empty value of each row's kind; the spare row
    // keeps a value but is never listed; an index outside the stores throws.
    void freshModel()
    {
        clsKYR kyr;
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, kyr.sSTR(clsKYR::StreamSlots + 1, 0));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, kyr.SetStreamParam(clsKYR::StreamSlots + 1, "Did=1"));
        const QString empty[] = {"", "0", "0x00", "0x0000", "0x00000000"};
        compareAll(kyr, [&](Section s, int, int row) { return empty[clsKYR::Definitions(s)[row].Kind]; });
        kyr.setSSTR(3, clsKYR::StrRows, QStringLiteral("x"));
        QCOMPARE(kyr.sSTR(3, clsKYR::StrRows), QStringLiteral("x"));
        QVERIFY(!kyr.GetStreamParam(3, QStringLiteral("*")).contains(QStringLiteral("=x\r\n")));
    }

    // Fractions go to the encoder with "." whatever the operator's locale.
    void decimalPointWhateverTheLocale()
    {
        const QLocale savedDefault;
        auto restore = qScopeGuard([&] {
            QLocale::setDefault(savedDefault);
            std::setlocale(LC_NUMERIC, "C");
        });
        auto check = [] {
            clsKYR kyr;
            kyr.setStr(StreamSlot::PORTA, StrRow::FrameDelay, KyrValue(1.5));
            QCOMPARE(kyr.GetStreamParam(0, QStringLiteral("FrameDelay")), QStringLiteral("\nFrameDelay=1.5\r\n"));
            QCOMPARE(kyr.SetStreamParam(0, QStringLiteral("FrameDelay=2.25")), QStringLiteral("\nFrameDelay=2.25\r\n"));
            QCOMPARE(kyr.SetStreamParam(0, QStringLiteral("FrameDelay=1,5")), QStringLiteral("\nFrameDelay=1\r\n"));
        };
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(QLocale().toString(1.5), QStringLiteral("1,5")); // the comma locale is really in force
        check();
        if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
            QFAIL("The C library has no German locale: scripts/deps.sh generates it");
        check();
    }

    // An empty store gives the defaults; what is saved reads back the same; a
    // store edited by hand is read by the row's kind, and an unquoted comma
    // text is kept whole (it once came back as a list).
    void settingsStore()
    {
        QTemporaryDir dir;
        auto load = [&](clsKYR &kyr, const char *name) {
            QSettings store(dir.filePath(QLatin1String(name)), QSettings::IniFormat);
            kyr.GetSettings(store);
        };
        clsKYR kyr;
        fillNonDefault(kyr);
        load(kyr, "empty.ini");
        compareAll(kyr, [](Section s, int, int row) { return clsKYR::Definitions(s)[row].Default; });
        QCOMPARE(kyr.sKYR(KyrRow::ID), QStringLiteral("KYR7"));

        fillNonDefault(kyr);
        // Texts that an INI file could mistake for variants or comments.
        kyr.setSSTR(StreamSlot::FILE1, StrRow::FileName, QStringLiteral("@Variant(x)"));
        kyr.setSSTR(StreamSlot::FILE2, StrRow::FileName, QStringLiteral("; not a comment \"q\" back\\slash"));
        {
            QSettings store(dir.filePath(QStringLiteral("saved.ini")), QSettings::IniFormat);
            kyr.SaveSettings(store);
        }
        // Read from a copy, so the file is parsed afresh.
        QVERIFY(QFile::copy(dir.filePath(QStringLiteral("saved.ini")), dir.filePath(QStringLiteral("copy.ini"))));
        clsKYR loaded;
        load(loaded, "copy.ini");
        compareAll(loaded, [&](Section s, int slot, int row) { return kyr.text(s, slot, row); });

        WriteTestFile(dir.filePath("edited.ini"), "[LAN2]\nDid=0x7\nBaud=12abc\nModemInit=AT&F,S0=1\n");
        load(loaded, "edited.ini");
        QCOMPARE(loaded.sSTR(StreamSlot::LAN2, StrRow::Did), QStringLiteral("0x07"));
        QCOMPARE(loaded.sSTR(StreamSlot::LAN2, StrRow::Baud), QStringLiteral("12"));
        QCOMPARE(loaded.sSTR(StreamSlot::LAN2, StrRow::ModemInit), QStringLiteral("AT&F,S0=1"));
    }

    // One section's listing from an encoder that holds a full configuration
    // lists every row once and parses into that section and no other, the
    // same however often it is parsed.
    void listingParsesBack_data()
    {
        Table<int>({"k"});
        for (int k = 0; k < clsKYR::SectionCount; ++k) {
            const auto [s, slot] = listingSection(k);
            QTest::newRow(qPrintable(clsKYR::SectionName(s, slot))) << k;
        }
    }
    void listingParsesBack()
    {
        QFETCH(int, k);
        const auto [s, slot] = listingSection(k);
        clsKYR encoder;
        fillNonDefault(encoder);
        const auto &defs = clsKYR::Definitions(s);
        const QString listing = encoder.GetParam(s, slot, QStringLiteral("*"));
        const QStringList lines = renderedLines(listing);
        QCOMPARE(lines.size(), static_cast<qsizetype>(defs.size()));
        for (int row = 0; row < lines.size(); ++row)
            QCOMPARE(lines.at(row), defs[row].Name + u'=' + nonDefaultText(defs[row].Kind, slot, row));

        // As the encoder sends it: the echoed "*" and CR, the listing, the prompt.
        QStringList listings = kEmptyListings;
        listings[k] = QStringLiteral("*\r") + listing + u'#';
        clsKYR kyr;
        ParseSetup(kyr, listings, [](const QString &m) { QFAIL(qPrintable(m)); });
        const clsKYR fresh;
        // Named copies: clang before 16 cannot capture structured bindings.
        const Section listed = s;
        const int listedSlot = slot;
        forEachRow([&](Section o, int oSlot, int row) {
            const bool here = o == listed && oSlot == listedSlot;
            QString expected = here ? encoder.text(o, oSlot, row) : fresh.text(o, oSlot, row);
            // "BTEST1" and "BTEST2" get Program 1 and 2 unless their listing says otherwise.
            if (!here && o == Section::Str && row == StrRow::Program && oSlot >= StreamSlot::BTEST1 &&
                oSlot <= StreamSlot::BTEST2)
                expected = QString::number(oSlot - StreamSlot::BTEST1 + 1);
            QCOMPARE(kyr.text(o, oSlot, row), expected);
        });
        clsKYR twice = kyr; // parsing again changes nothing
        ParseSetup(twice, listings);
        QVERIFY(twice == kyr);
    }

    // Line rules over one stream listing ("PORTB"): what Did and FileName
    // hold afterwards in a fresh model.
    void lineRules_data()
    {
        const auto add = Table<QString, QString, QString>({"listing", "did", "fileName"});
        add("encoder reply", "*\r\nDid=0x22\r\nFileName=f.bin\r\n#", "0x22", "f.bin");
        add("text after last CR LF ignored", "Did=0x22\r\nFileName=tail", "0x22", "");
        add("lone LF is no line end", "Did=0x22\nFileName=x#", "0x00", "");
        add("lone CR and LF kept in text", "FileName=a\rb\nDid=0x22\r\n", "0x00", "a\rb\nDid=0x22");
        add("CR before CR LF kept in text", "FileName=a\r\r\nDid=0x22\r\n", "0x22", "a\r");
        add("empty lines skipped", "\r\n\r\nDid=0x22\r\n\r\n", "0x22", "");
        add("leading LF spoils the name", "\nDid=0x22\r\n", "0x00", "");
        add("value not trimmed", "Did=0x22 \r\nFileName= f \r\n", "0x00", " f ");
        add("any letter case", "DID=0x22\r\nfilename=f\r\n", "0x22", "f");
        add("later duplicate wins", "Did=0x11\r\nDid=0x22\r\n", "0x22", "");
        add("later duplicate wins, spoilt", "Did=0x22\r\nDid=0X33\r\n", "0x00", "");
        add("lines without = and unknown names", "*\r\nDid\r\nBogus=1\r\nVideoMode=3\r\n#", "0x00", "");
    }
    void lineRules()
    {
        QFETCH(QString, listing);
        QStringList listings = kEmptyListings;
        listings[5 + StreamSlot::PORTB] = listing;
        clsKYR kyr;
        ParseSetup(kyr, listings, [](const QString &m) { QFAIL(qPrintable(m)); });
        QTEST(kyr.sSTR(StreamSlot::PORTB, StrRow::Did), "did");
        QTEST(kyr.sSTR(StreamSlot::PORTB, StrRow::FileName), "fileName");
    }

    // Too few listings: one report, and what is there is still applied, also
    // with no one to tell. A listing beyond the 23 is ignored.
    void listingCount()
    {
        for (int count : {0, 3, 24}) {
            QStringList l =
                (QStringList(kEmptyListings) << QStringLiteral("*\r\nID=extra\r\nDid=0x22\r\n#")).mid(0, count);
            if (count)
                l[2] = QStringLiteral("*\r\nVideoMode=3\r\n#");
            clsKYR kyr;
            QStringList messages;
            ParseSetup(kyr, l, [&](const QString &m) { messages << m; });
            QCOMPARE(messages,
                     QStringList(count < 23 ? 1 : 0, QStringLiteral("Error in ParseSetup, press OK to continue")));
            QCOMPARE(kyr.sPGM(1, PgmRow::VideoMode), QString::number(count ? 3 : 0));
            QCOMPARE(kyr.sSTR(StreamSlot::OUTBRIDGE1, StrRow::Did), QStringLiteral("0x00"));
            clsKYR quiet;
            ParseSetup(quiet, l);
            QVERIFY(quiet == kyr);
        }
    }

    // Cautions for an insert line: a requested standard decides whatever is
    // detected; for "any SD" or "any HD" the detected standard decides if it
    // is of that kind.
    void validLine_data()
    {
        Table<int, int, int, QString>({"requested", "detected", "line", "caution"});
        QTest::newRow("not inserting") << 0 << 8 << 15
                                       << "Warning, the KYR7 is currently set not to insert." + kUndetermined;
        for (int d : {0, 1, 4, 8, 15, -1})
            QTest::addRow("any SD, detected %d", d) << 1 << d << 15 << anyVideo("SD");
        for (int d : {0, 1, 2, 3, 4, 15, -1})
            QTest::addRow("any HD, detected %d", d) << 4 << d << 15 << anyVideo("HD");
        addStandard(1, 2, kSd525);
        addStandard(2, 8, kSd525);
        addStandard(1, 3, kSd625);
        addStandard(3, 0, kSd625);
        const int standardOf[] = {0, 0, 0, 1, 1, 1, 2, 2, 3, 3}; // of modes 5 to 14
        for (int mode = 5; mode < 15; ++mode) {
            addStandard(4, mode, kHd[standardOf[mode - 5]]);
            addStandard(mode, 3, kHd[standardOf[mode - 5]]);
        }
        for (int r : {15, -1})
            QTest::addRow("requested %d", r)
                << r << 8 << 15 << QStringLiteral("You have selected to only insert into ");
    }
    void validLine()
    {
        QFETCH(int, requested);
        QFETCH(int, detected);
        QFETCH(int, line);
        clsKYR kyr;
        kyr.SetPGMParam(1, QStringLiteral("VideoMode=%1").arg(detected));
        kyr.setPgm(1, PgmRow::RequestedVideoMode, KyrValue(qint32(requested)));
        QTEST(kyr.ValidLine(1, line), "caution");
        // Each program is checked by its own standard.
        QCOMPARE(kyr.ValidLine(0, line), "Warning, the KYR7 is currently set not to insert." + kUndetermined);
    }

    // Codes outside the lists name nothing, and never crash.
    void namesOutsideTheLists()
    {
        for (int code : {-1, 15, 16})
            QCOMPARE(clsKYR::VideoName(code, code > 0), QString());
        for (int mode : {-1, 5})
            QCOMPARE(clsKYR::BF2Text(mode), QString());
    }

    // The names shown for streams, and the stream of a shown name.
    void streamNames()
    {
        clsKYR kyr;
        const char *ports[] = {"0",    "2000",   "0", "0", "3000", "2000", "2000", "2002", "2003",
                               "2004", "2000.5", "0", "0", "0",    "0",    "0",    "0",    "2000"};
        for (int s = 0; s < clsKYR::StreamSlots; ++s)
            kyr.SetStreamParam(s, QStringLiteral("PortAddr=") + ports[s]);
        kyr.SetStreamParam(StreamSlot::FILE1, QStringLiteral("FileName=metadata_stereo"));
        kyr.SetStreamParam(StreamSlot::FILE2, QStringLiteral("FileName=51_sap"));
        kyr.SetStreamParam(StreamSlot::BTEST2, QStringLiteral("FileName=metadata_51"));
        const QStringList shown = {"PORTA",  "PORTB",  "PORTC",  "MODEM",  "3000", "2000",   "2000",
                                   "2002",   "2003",   "2004",   "2000.5", "0",    "Stereo", "5.1 + SAP",
                                   "BTEST1", "BTEST2", "Bridge", "Bridge", ""};
        for (int s = 0; s <= clsKYR::StreamSlots; ++s)
            QCOMPARE(kyr.Stream2Name(s), shown[s]);
        const std::pair<const char *, const char *> files[] = {
            {"metadata_51", "5.1 Surround"}, {"stereo_sap", "Stereo + SAP"}, {"Metadata_51", "Metadata_51"}, {"", ""}};
        for (const auto &[file, name] : files) {
            kyr.SetStreamParam(StreamSlot::FILE1, QStringLiteral("FileName=") + file);
            QCOMPARE(kyr.Stream2Name(StreamSlot::FILE1), QString(name));
        }
        // Section names find their streams, except the LANs: they are found by
        // port. Names as shown for files and bridges are not found.
        for (int s = 0; s < clsKYR::StreamSlots; ++s)
            QCOMPARE(kyr.Name2Stream(clsKYR::StreamText(s)), s >= StreamSlot::LAN1 && s <= StreamSlot::LAN8 ? -1 : s);
        QCOMPARE(kyr.Name2Stream(QStringLiteral("2000")), int(StreamSlot::LAN2)); // the first one wins
        QCOMPARE(kyr.Name2Stream(QStringLiteral("3000")), int(StreamSlot::LAN1));
        for (const char *name : {"2001", "2000 ", "02000", "porta", "Stereo", "Bridge", ""})
            QCOMPARE(kyr.Name2Stream(QString(name)), -1);
    }

    // Line masks: LineNumber gives the first line (9 when none), LineNumbers
    // all of them; InsertLines gives the mask of one line.
    void lineMasks()
    {
        // Each mask with its first line and all its lines.
        const qint32 masks[] = {0, 1, 0x80, 0x00100180, 0x01000000, 0x02000000, qint32(0x80000000u), -1};
        const int first[] = {9, 1, 8, 8, 25, 9, 9, 1};
        const QString all = QStringLiteral("1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, "
                                           "22, 23, 24, 25");
        const QStringList lines = {"None", "1", "8", "8, 9, 21", "25", "None", "None", all};
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(clsKYR::LineNumber(masks[i]), first[i]);
            QCOMPARE(clsKYR::LineNumbers(masks[i]), lines[i]);
            if (lines[i] == QString::number(first[i]))
                QCOMPARE(clsKYR::InsertLines(first[i]), masks[i]);
        }
        QCOMPARE(clsKYR::InsertLines(0) | clsKYR::InsertLines(-1), 0);
    }

    // The key let through by the hex and decimal boxes (0: swallowed).
    void keyFilters()
    {
        const int keys[][3] = {{8, 8, 8},     {'0', '0', '0'}, {'9', '9', '9'}, {'/', 0, 0}, {':', 0, 0},
                               {'@', 0, 0},   {'A', 'A', 0},   {'F', 'F', 0},   {'G', 0, 0}, {'`', 0, 0},
                               {'a', 'A', 0}, {'f', 'F', 0},   {'g', 0, 0},     {'x', 0, 0}, {13, 0, 0}};
        for (const auto &k : keys) {
            QCOMPARE(HexKeyFilter(k[0]), k[1]);
            QCOMPARE(DecimalKeyFilter(k[0]), k[2]);
        }
    }
};

QTEST_APPLESS_MAIN(tst_model)
#include "tst_model.moc"
