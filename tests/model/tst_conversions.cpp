// Display conversions and the insert-line check: video mode names, stream
// names, line masks, line cautions, broadcast flag modes, key filters.
#include "KeyFilters.h"
#include "clsKYR.h"

#include <QtTest>

class tst_conversions : public QObject
{
    Q_OBJECT

private slots:
    void validLine_data();
    void validLine();
    void validLineReadsItsOwnProgram();
    void videoName_data();
    void videoName();
    void stream2Name_data();
    void stream2Name();
    void name2Stream_data();
    void name2Stream();
    void insertLines_data();
    void insertLines();
    void lineNumber_data();
    void lineNumber();
    void lineNumbers_data();
    void lineNumbers();
    void bf2Text_data();
    void bf2Text();
    void keyFilters_data();
    void keyFilters();
};

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kUndetermined = QStringLiteral("It is not possible to determine if the selected line is appropriate.");
const QString kNotInserting =
    QStringLiteral("Warning, the KYR7 is currently set not to insert.") + kCrLf + kUndetermined;
const QString kAnySd = QStringLiteral("Warning, the KYR7 is currently set to insert into any SD video.") + kCrLf +
                       QStringLiteral("Valid SD video was not present at the input when the KYR7 went into setup.") +
                       kCrLf + kUndetermined;
const QString kAnyHd = QStringLiteral("Warning, the KYR7 is currently set to insert into any HD video.") + kCrLf +
                       QStringLiteral("Valid HD video was not present at the input when the KYR7 went into setup.") +
                       kCrLf + kUndetermined;
const QString kOutside = QStringLiteral("You have selected to only insert into ");

struct Standard
{
    const char *sentence;
    const char *notRecommended;
    const char *invalid;
};

const Standard kSd525 = {"Warning, the KYR7 is set to insert into SD 525 line video",
                         "is not in the recommended range of 12 to 20",
                         "Valid lines are 10 to 19.  It is suggested you use lines 12 to 19"};
const Standard kSd625 = {"Warning, the KYR7 is set to insert into SD 625 line video",
                         "is not in the recommended range of 8 to 22",
                         "Valid lines are 7 to 22.  It is suggested you use lines 8 to 22"};
const Standard kHd720 = {"Warning, the KYR7 is set to insert into HD 720p video",
                         "is not in the recommended range of 9 to 25",
                         "Valid lines are 1 to 25.  It is suggested you use lines 9 to 25"};
const Standard kHd1080i = {"Warning, the KYR7 is set to insert into HD 1080i video",
                           "is not in the recommended range of 9 to 20",
                           "Valid lines are 1 to 20.  It is suggested you use lines 9 to 20"};
const Standard kHd1080p = {"Warning, the KYR7 is set to insert into HD 1080p video",
                           "is not in the recommended range of 9 to 25",
                           "Valid lines are 1 to 25.  It is suggested you use lines 9 to 25"};
const Standard kHd1080psf = {"Warning, the KYR7 is set to insert into HD 1080psf video",
                             "is not in the recommended range of 9 to 20",
                             "Valid lines are 1 to 20.  It is suggested you use lines 9 to 20"};

QString validButNot(const Standard &s, int line)
{
    return QLatin1String(s.sentence) + kCrLf + QStringLiteral("Line %1 is a valid insert line but").arg(line) + kCrLf +
           QLatin1String(s.notRecommended);
}

QString invalidLine(const Standard &s, int line)
{
    return QLatin1String(s.sentence) + kCrLf + QStringLiteral("Line %1 is not a valid line number").arg(line) + kCrLf +
           QLatin1String(s.invalid);
}

// Adds rows for one standard: the recommended, valid and invalid lines.
void addStandard(const char *tag, int requested, int detected, const Standard &s, QList<int> recommended,
                 QList<int> validNotRecommended, QList<int> invalid)
{
    for (int line : recommended)
        QTest::addRow("%s line %d recommended", tag, line) << requested << detected << line << QString();
    for (int line : validNotRecommended)
        QTest::addRow("%s line %d valid", tag, line) << requested << detected << line << validButNot(s, line);
    for (int line : invalid)
        QTest::addRow("%s line %d invalid", tag, line) << requested << detected << line << invalidLine(s, line);
}

} // namespace

void tst_conversions::validLine_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("detected");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("caution");

    QTest::newRow("not inserting") << 0 << 8 << 15 << kNotInserting;
    QTest::newRow("not inserting, no video") << 0 << 0 << 1 << kNotInserting;

    // Any SD: the detected standard decides, if it is an SD standard.
    for (int d : {0, 1, 4, 5, 8, 14, 15, -1})
        QTest::addRow("any SD, detected %d", d) << 1 << d << 15 << kAnySd;
    addStandard("any SD, 525 detected", 1, 2, kSd525, {12, 19}, {10, 11}, {9, 20});
    addStandard("any SD, 625 detected", 1, 3, kSd625, {8, 22}, {7}, {6, 23});

    // Any HD: the detected standard decides, if it is an HD standard.
    for (int d : {0, 1, 2, 3, 4, 15, -1})
        QTest::addRow("any HD, detected %d", d) << 4 << d << 15 << kAnyHd;
    for (int d : {5, 6, 7})
        addStandard(qPrintable(QStringLiteral("any HD, %1 detected").arg(d)), 4, d, kHd720, {9, 25}, {1, 8}, {26});
    for (int d : {8, 9, 10})
        addStandard(qPrintable(QStringLiteral("any HD, %1 detected").arg(d)), 4, d, kHd1080i, {9, 20}, {1}, {21});
    for (int d : {11, 12})
        addStandard(qPrintable(QStringLiteral("any HD, %1 detected").arg(d)), 4, d, kHd1080p, {25}, {8}, {0});
    for (int d : {13, 14})
        addStandard(qPrintable(QStringLiteral("any HD, %1 detected").arg(d)), 4, d, kHd1080psf, {20}, {8}, {21});

    // A requested standard decides whatever is detected.
    addStandard("SD 525", 2, 8, kSd525, {12, 15, 19}, {10, 11}, {0, 9, 20, 21, 25});
    addStandard("SD 625", 3, 0, kSd625, {8, 21, 22}, {7}, {1, 6, 23});
    for (int r : {5, 6, 7})
        addStandard(qPrintable(QStringLiteral("720p %1").arg(r)), r, 2, kHd720, {9, 21, 25}, {1, 8}, {0, 26});
    for (int r : {8, 9, 10})
        addStandard(qPrintable(QStringLiteral("1080i %1").arg(r)), r, 8, kHd1080i, {9, 20}, {1, 8}, {0, 21, 25});
    for (int r : {11, 12})
        addStandard(qPrintable(QStringLiteral("1080p %1").arg(r)), r, 3, kHd1080p, {9, 25}, {1, 8}, {0, 26});
    for (int r : {13, 14})
        addStandard(qPrintable(QStringLiteral("1080psf %1").arg(r)), r, 13, kHd1080psf, {9, 20}, {1, 8}, {21, 26});

    QTest::newRow("requested 15") << 15 << 8 << 15 << kOutside;
    QTest::newRow("requested -1") << -1 << 8 << 15 << kOutside;
    QTest::newRow("requested 100") << 100 << 3 << 1 << kOutside;
}

void tst_conversions::validLine()
{
    QFETCH(int, requested);
    QFETCH(int, detected);
    QFETCH(int, line);
    QFETCH(QString, caution);
    clsKYR kyr;
    kyr.SetPGMParam(1, QStringLiteral("VideoMode=%1").arg(detected));
    kyr.setPgm(1, PgmRow::RequestedVideoMode, KyrValue(qint32(requested)));
    QCOMPARE(kyr.ValidLine(1, line), caution);
    QVERIFY(!caution.endsWith(kCrLf));
}

void tst_conversions::validLineReadsItsOwnProgram()
{
    clsKYR kyr;
    kyr.SetPGMParam(0, QStringLiteral("RequestedVideoMode=2"));
    kyr.SetPGMParam(1, QStringLiteral("RequestedVideoMode=3"));
    QCOMPARE(kyr.ValidLine(0, 21), invalidLine(kSd525, 21));
    QCOMPARE(kyr.ValidLine(1, 21), QString());
    // Values as the encoder lists them.
    kyr.SetPGMParam(0, QStringLiteral("RequestedVideoMode=4"));
    kyr.SetPGMParam(0, QStringLiteral("VideoMode=3"));
    QCOMPARE(kyr.ValidLine(0, 15), kAnyHd);
    kyr.SetPGMParam(0, QStringLiteral("RequestedVideoMode=1"));
    QCOMPARE(kyr.ValidLine(0, 7), validButNot(kSd625, 7));
}

void tst_conversions::videoName_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("detected");
    QTest::addColumn<QString>("requested");
    QTest::newRow("0") << 0 << "No Video Present"
                       << "None - Disable Encoding";
    QTest::newRow("1") << 1 << "Unknown SD"
                       << "Any SD Video";
    QTest::newRow("2") << 2 << "SD 525 Line"
                       << "SD 525 Line";
    QTest::newRow("3") << 3 << "SD 625 Line"
                       << "SD 625 Line";
    QTest::newRow("4") << 4 << "Unknown HD"
                       << "Any HD Video";
    QTest::newRow("5") << 5 << "HD 720p 50 Hz"
                       << "HD 720p 50 Hz";
    QTest::newRow("6") << 6 << "HD 720p 59.94 Hz"
                       << "HD 720p 59.94 Hz";
    QTest::newRow("7") << 7 << "HD 720p 60 Hz"
                       << "HD 720p 60 Hz";
    QTest::newRow("8") << 8 << "HD 1080i 59.94 Hz"
                       << "HD 1080i 59.94 Hz";
    QTest::newRow("9") << 9 << "HD 1080i 60 Hz"
                       << "HD 1080i 60 Hz";
    QTest::newRow("10") << 10 << "HD 1080i 50 Hz"
                        << "HD 1080i 50 Hz";
    QTest::newRow("11") << 11 << "HD 1080p 23.98 Hz"
                        << "HD 1080p 23.98 Hz";
    QTest::newRow("12") << 12 << "HD 1080p 24 Hz"
                        << "HD 1080p 24 Hz";
    QTest::newRow("13") << 13 << "HD 1080psf 23.98 Hz"
                        << "HD 1080psf 23.98 Hz";
    QTest::newRow("14") << 14 << "HD 1080psf 24 Hz"
                        << "HD 1080psf 24 Hz";
    QTest::newRow("15") << 15 << ""
                        << "";
    QTest::newRow("-1") << -1 << ""
                        << "";
}

void tst_conversions::videoName()
{
    QFETCH(int, code);
    QFETCH(QString, detected);
    QFETCH(QString, requested);
    QCOMPARE(clsKYR::VideoName(code, false), detected);
    QCOMPARE(clsKYR::VideoName(code, true), requested);
}

void tst_conversions::stream2Name_data()
{
    QTest::addColumn<int>("stream");
    QTest::addColumn<QString>("line"); // applied to the slot first
    QTest::addColumn<QString>("name");
    QTest::newRow("PORTA") << 0 << ""
                           << "PORTA";
    QTest::newRow("PORTB") << 1 << "PortAddr=2000"
                           << "PORTB";
    QTest::newRow("PORTC") << 2 << ""
                           << "PORTC";
    QTest::newRow("MODEM") << 3 << ""
                           << "MODEM";
    QTest::newRow("LAN1 port") << 4 << "PortAddr=2000"
                               << "2000";
    QTest::newRow("LAN8 port") << 11 << "PortAddr=2007"
                               << "2007";
    QTest::newRow("LAN fresh") << 6 << ""
                               << "0";
    QTest::newRow("LAN fraction") << 5 << "PortAddr=2000.5"
                                  << "2000.5";
    QTest::newRow("FILE1 5.1") << 12 << "FileName=metadata_51"
                               << "5.1 Surround";
    QTest::newRow("FILE1 stereo") << 12 << "FileName=metadata_stereo"
                                  << "Stereo";
    QTest::newRow("FILE2 5.1 SAP") << 13 << "FileName=51_sap"
                                   << "5.1 + SAP";
    QTest::newRow("FILE2 stereo SAP") << 13 << "FileName=stereo_sap"
                                      << "Stereo + SAP";
    QTest::newRow("FILE1 other") << 12 << "FileName=custom.bin"
                                 << "custom.bin";
    QTest::newRow("FILE1 letter case") << 12 << "FileName=Metadata_51"
                                       << "Metadata_51";
    QTest::newRow("FILE2 empty") << 13 << ""
                                 << "";
    QTest::newRow("BTEST1") << 14 << ""
                            << "BTEST1";
    QTest::newRow("BTEST2") << 15 << "FileName=metadata_51"
                            << "BTEST2";
    QTest::newRow("INBRIDGE1") << 16 << ""
                               << "Bridge";
    QTest::newRow("OUTBRIDGE1") << 17 << "PortAddr=2000"
                                << "Bridge";
    QTest::newRow("spare slot") << 18 << ""
                                << "";
}

void tst_conversions::stream2Name()
{
    QFETCH(int, stream);
    QFETCH(QString, line);
    QFETCH(QString, name);
    clsKYR kyr;
    if (!line.isEmpty())
        kyr.SetStreamParam(stream, line);
    QCOMPARE(kyr.Stream2Name(stream), name);
}

void tst_conversions::name2Stream_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("stream");
    QTest::newRow("first LAN with the port") << "2000" << 5;
    QTest::newRow("unique LAN port") << "3000" << 4;
    QTest::newRow("last LAN") << "2007" << 11;
    QTest::newRow("port not in use") << "2001" << -1;
    QTest::newRow("port with space") << "2000 " << -1;
    QTest::newRow("port with leading zero") << "02000" << -1;
    QTest::newRow("LAN section name") << "LAN1" << -1;
    QTest::newRow("PORTA") << "PORTA" << 0;
    QTest::newRow("porta") << "porta" << -1;
    QTest::newRow("MODEM") << "MODEM" << 3;
    QTest::newRow("FILE1") << "FILE1" << 12;
    QTest::newRow("FILE2") << "FILE2" << 13;
    QTest::newRow("file display name") << "Stereo" << -1;
    QTest::newRow("BTEST1") << "BTEST1" << 14;
    QTest::newRow("BTEST2") << "BTEST2" << 15;
    QTest::newRow("INBRIDGE1") << "INBRIDGE1" << 16;
    QTest::newRow("OUTBRIDGE1") << "OUTBRIDGE1" << 17;
    QTest::newRow("bridge display name") << "Bridge" << -1;
    QTest::newRow("empty") << "" << -1;
}

void tst_conversions::name2Stream()
{
    QFETCH(QString, name);
    QFETCH(int, stream);
    clsKYR kyr;
    const int ports[8] = {3000, 2000, 2000, 2002, 2003, 2004, 2005, 2007};
    for (int k = 0; k < 8; ++k)
        kyr.SetStreamParam(StreamSlot::LAN1 + k, QStringLiteral("PortAddr=%1").arg(ports[k]));
    kyr.SetStreamParam(StreamSlot::FILE1, QStringLiteral("FileName=metadata_stereo"));
    QCOMPARE(kyr.Name2Stream(name), stream);
}

void tst_conversions::insertLines_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("mask");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("-1") << -1 << 0;
    QTest::newRow("1") << 1 << 0x1;
    QTest::newRow("8") << 8 << 0x80;
    QTest::newRow("21") << 21 << 0x00100000;
    QTest::newRow("25") << 25 << 0x01000000;
}

void tst_conversions::insertLines()
{
    QFETCH(int, line);
    QFETCH(int, mask);
    QCOMPARE(clsKYR::InsertLines(line), mask);
    if (mask)
        QCOMPARE(clsKYR::LineNumber(mask), line);
}

void tst_conversions::lineNumber_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("line");
    QTest::newRow("none") << 0 << 9;
    QTest::newRow("bit 25 only") << 0x02000000 << 9;
    QTest::newRow("bit 31 only") << int(0x80000000u) << 9;
    QTest::newRow("lines 8 and 21") << 0x00100080 << 8;
    QTest::newRow("line 1") << 1 << 1;
    QTest::newRow("line 25") << 0x01000000 << 25;
    QTest::newRow("all bits") << -1 << 1;
}

void tst_conversions::lineNumber()
{
    QFETCH(int, mask);
    QFETCH(int, line);
    QCOMPARE(clsKYR::LineNumber(mask), line);
}

void tst_conversions::lineNumbers_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("lines");
    QTest::newRow("none") << 0 << "None";
    QTest::newRow("line 1") << 1 << "1";
    QTest::newRow("8, 9, 21") << 0x00100180 << "8, 9, 21";
    QTest::newRow("1 and 25") << 0x01000001 << "1, 25";
    QTest::newRow("bits above 24 ignored") << int(0xFE000000u) << "None";
    QTest::newRow("all lines") << -1
                               << "1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, "
                                  "24, 25";
}

void tst_conversions::lineNumbers()
{
    QFETCH(int, mask);
    QFETCH(QString, lines);
    QCOMPARE(clsKYR::LineNumbers(mask), lines);
}

void tst_conversions::bf2Text_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "Disabled - Upstream Passes";
    QTest::newRow("1") << 1 << "Controlled by Commands";
    QTest::newRow("2") << 2 << "Controlled by GPIO and Commands";
    QTest::newRow("3") << 3 << "Blocked - None Passes";
    QTest::newRow("4") << 4 << "Always Inserted";
    QTest::newRow("5") << 5 << "";
    QTest::newRow("-1") << -1 << "";
}

void tst_conversions::bf2Text()
{
    QFETCH(int, mode);
    QFETCH(QString, text);
    QCOMPARE(clsKYR::BF2Text(mode), text);
}

void tst_conversions::keyFilters_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("hex");
    QTest::addColumn<int>("decimal");
    QTest::newRow("backspace") << 8 << 8 << 8;
    QTest::newRow("0") << int('0') << int('0') << int('0');
    QTest::newRow("9") << int('9') << int('9') << int('9');
    QTest::newRow("/") << int('/') << 0 << 0;
    QTest::newRow(":") << int(':') << 0 << 0;
    QTest::newRow("A") << int('A') << int('A') << 0;
    QTest::newRow("F") << int('F') << int('F') << 0;
    QTest::newRow("G") << int('G') << 0 << 0;
    QTest::newRow("@") << int('@') << 0 << 0;
    QTest::newRow("a") << int('a') << int('A') << 0;
    QTest::newRow("b") << int('b') << int('B') << 0;
    QTest::newRow("f") << int('f') << int('F') << 0;
    QTest::newRow("g") << int('g') << 0 << 0;
    QTest::newRow("`") << int('`') << 0 << 0;
    QTest::newRow("x") << int('x') << 0 << 0;
    QTest::newRow("-") << int('-') << 0 << 0;
    QTest::newRow("space") << int(' ') << 0 << 0;
    QTest::newRow("return") << 13 << 0 << 0;
    QTest::newRow("delete") << 127 << 0 << 0;
    QTest::newRow("nul") << 0 << 0 << 0;
}

void tst_conversions::keyFilters()
{
    QFETCH(int, key);
    QFETCH(int, hex);
    QFETCH(int, decimal);
    QCOMPARE(HexKeyFilter(key), hex);
    QCOMPARE(DecimalKeyFilter(key), decimal);
}

QTEST_APPLESS_MAIN(tst_conversions)
#include "tst_conversions.moc"
