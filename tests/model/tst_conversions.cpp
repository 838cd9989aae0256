// Display conversions and the insert-line check: video mode names, stream
// names, line masks, line cautions, broadcast flag modes, key filters.
#include "KeyFilters.h"
#include "clsKYR.h"

#include <QtTest>

namespace {
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

class tst_conversions : public QObject
{
    Q_OBJECT

private slots:
    // Cautions for an insert line: a requested standard decides whatever is
    // detected; for "any SD" or "any HD" the detected standard decides if it
    // is of that kind.
    void validLine_data()
    {
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("detected");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("caution");
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

QTEST_APPLESS_MAIN(tst_conversions)
#include "tst_conversions.moc"
