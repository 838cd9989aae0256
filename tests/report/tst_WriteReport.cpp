#include "WriteReport.h"
#include "clsKYR.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <initializer_list>

namespace {

const QDateTime kNow(QDate(2024, 3, 7), QTime(9, 5, 30));

// Applies listing lines to a section, as the encoder's listing would.
void set(clsKYR &kyr, const char *section, std::initializer_list<const char *> lines)
{
    Section kind;
    int slot = 0;
    if (!clsKYR::FindSection(QString::fromLatin1(section), kind, slot))
        qFatal("no section %s", section);
    for (const char *line : lines) {
        if (kyr.SetParam(kind, slot, QString::fromLatin1(line)).contains(u'?'))
            qFatal("no parameter %s in %s", line, section);
    }
}

// Every module type, caption mode, data type and flow control the report
// names, and a few values it does not.
clsKYR FullModel()
{
    clsKYR kyr;
    set(kyr, "KYR",
        {"Software=36-47215-01", "Rev=G", "SerialNumber=40123", "IpNum=192.168.1.50", "Netmask=255.255.255.0",
         "Gateway=192.168.1.1", "DHCP=1", "ProgramCount=2", "TransparentStreams=3", "CaptionStreams=2", "BfStreams=2",
         "ConstantStreams=2", "BridgingStreams=1"});
    set(kyr, "PGM1",
        {"VideoMode=8", "RequestedVideoMode=8", "AddToCLines=0x00100100", "AddToLLines=0x00000000", "LineCfgC9F1=10",
         "LineCfgC9F2=0", "LineCfgC21F1=2", "LineCfgC21F2=2", "LineCfgL9F1=7"});
    set(kyr, "CAPPGM1",
        {"C1To608=1",         "C2To608=1",         "C3To608=0",         "C4To608=4",         "XDSEnabled=1",
         "C1To708=1",         "C2To708=0",         "C3To708=3",         "C4To708=6",         "UpstreamS1=1",
         "UpstreamS2=0",      "UpstreamS3=4",      "UpstreamS4=4",      "UpstreamS5=5",      "UpstreamS6=6",
         "Language708S1=eng", "Language708S2=spa", "EasyReader708S2=1", "Language708S4=fra", "Language708S6=deu",
         "EasyReader708S6=2", "Language608F1=eng", "EasyReader608F1=1", "RCControl=2"});
    set(kyr, "PGM2",
        {"VideoMode=3", "RequestedVideoMode=1", "AddToCLines=0x00000000", "AddToLLines=0x01000400", "LineCfgL11F1=5",
         "LineCfgL11F2=6", "LineCfgC11F1=9"});
    set(kyr, "CAPPGM2", {"UpstreamS6=2", "Language708S3=kor", "RCControl=4"});

    set(kyr, "PORTA",
        {"StreamType=0x0010",
         "Program=1",
         "Direction=E",
         "Mode=0",
         "DataType=0",
         "DataChannel=C",
         "InsertLinesF1=0x00000800",
         "InsertLinesF2=0x00000800",
         "Did=0x61",
         "SDid=0x01",
         "Echo=1",
         "C1To608=1",
         "C2To608=2",
         "C3To608=0",
         "C4To608=4",
         "XDSEnabled=0",
         "C1To708=1",
         "C2To708=3",
         "C3To708=0",
         "C4To708=4",
         "Baud=9600",
         "WordSize=8",
         "Parity=N",
         "StopBits=1",
         "RxFlowCtrl=2",
         "TxFlowCtrl=2"});
    set(kyr, "PORTB",
        {"StreamType=0x0010", "Program=1", "Direction=E", "Mode=1", "DataType=2", "DataChannel=L",
         "InsertLinesF1=0x00000900", "InsertLinesF2=0x00000000", "Did=0x61", "SDid=0x02", "Echo=0", "C1To608=1",
         "Baud=19200", "WordSize=7", "Parity=E", "StopBits=2", "RxFlowCtrl=1", "TxFlowCtrl=0"});
    set(kyr, "PORTC",
        {"StreamType=0x0010", "Program=2", "Direction=E", "Mode=2", "DataType=1", "DataChannel=C",
         "InsertLinesF1=0x00100000", "InsertLinesF2=0x00100000", "Did=0x0A", "SDid=0xff", "Echo=3", "C1To608=1",
         "Baud=38400", "WordSize=8", "Parity=O", "StopBits=1", "RxFlowCtrl=7", "TxFlowCtrl=1"});
    set(kyr, "MODEM",
        {"StreamType=0x0001", "Program=2", "Direction=D", "DataType=6", "FieldIndicator=1", "DataChannel=C",
         "InsertLinesF1=0x00000400", "InsertLinesF2=0x00000400", "Did=0x41", "SDid=0x02", "Baud=57600", "WordSize=8",
         "Parity=N", "StopBits=1", "RxFlowCtrl=0", "TxFlowCtrl=0", "VancBufferFlush=1"});
    set(kyr, "LAN1",
        {"StreamType=0x0010", "Program=1", "Direction=D", "Mode=18", "DataType=3", "FrameDelay=2", "DataChannel=C",
         "InsertLinesF1=0x00000800", "InsertLinesF2=0x00000800", "Did=0x61", "SDid=0x01", "PortAddr=2000", "Echo=1"});
    set(kyr, "LAN2",
        {"StreamType=0x0010", "Program=2", "Direction=D", "Mode=17", "DataType=3", "FrameDelay=5", "DataChannel=L",
         "Did=0x61", "SDid=0x02", "PortAddr=2001"});
    set(kyr, "LAN3",
        {"StreamType=0x0010", "Program=1", "Direction=", "Mode=0", "DataType=4", "FrameDelay=0", "DataChannel=",
         "InsertLinesF1=0x01000001", "InsertLinesF2=0x01FFFFFF", "Did=0x61", "SDid=0x01", "PortAddr=2002"});
    set(kyr, "LAN4",
        {"StreamType=0x0001", "Program=1", "Direction=E", "DataType=0", "FieldIndicator=0", "DataChannel=C",
         "InsertLinesF1=0x00000080", "InsertLinesF2=0x00000080", "Did=0x45", "SDid=0x01", "VancBufferFlush=3",
         "TimedBufferFlush=2", "DataCountF1=100", "DataCountF2=50", "PortAddr=2003"});
    set(kyr, "LAN5",
        {"StreamType=0x0001", "Program=2", "Direction=E", "DataType=2", "FieldIndicator=2", "DataChannel=L",
         "InsertLinesF1=0x00000200", "Did=0x45", "SDid=0x02", "VancBufferFlush=1", "TimedBufferFlush=0",
         "DataCountF1=255", "DataCountF2=0", "PortAddr=2004"});
    set(kyr, "LAN6",
        {"StreamType=0x0001", "Program=1", "Direction=E", "DataType=3", "FieldIndicator=1", "DataChannel=C",
         "InsertLinesF1=0x00000100", "InsertLinesF2=0x00000100", "Did=0x45", "SDid=0x04", "PortAddr=2005"});
    set(kyr, "LAN7",
        {"StreamType=0x0001", "Program=2", "Direction=E", "DataType=5", "DataChannel=C", "InsertLinesF1=0x00080000",
         "InsertLinesF2=0x00080000", "Did=0x43", "SDid=0x02", "HeaderId1=0x15", "HeaderId2=0x12", "PortAddr=2006"});
    set(kyr, "LAN8", {"StreamType=0x0000", "PortAddr=2007", "Did=0x51"});
    set(kyr, "FILE1",
        {"StreamType=0x0002", "Program=1", "DataChannel=L", "InsertLinesF1=0x00000100", "Did=0x45", "SDid=0x05",
         "FileName=metadata_51", "ConditionalInsertion=1"});
    set(kyr, "FILE2",
        {"StreamType=0x0002", "Program=2", "DataChannel=C", "InsertLinesF1=0x00000400", "InsertLinesF2=0x00000400",
         "Did=0x45", "SDid=0x05", "FileName=stereo_sap", "ConditionalInsertion=0"});
    set(kyr, "BTEST1",
        {"StreamType=0x0001", "Program=1", "Direction=E", "DataType=1", "DataChannel=C", "InsertLinesF1=0x00000040",
         "InsertLinesF2=0x00000040", "Did=0x51", "SDid=0x01", "VancBufferFlush=4", "TimedBufferFlush=3",
         "DataCountF1=10", "DataCountF2=20"});
    set(kyr, "BTEST2",
        {"StreamType=0x0001", "Program=2", "Direction=E", "DataType=9", "DataChannel=C", "Did=0x51", "SDid=0x02"});
    set(kyr, "INBRIDGE1", {"StreamType=0x0004", "Program=1", "Baud=9600"});
    set(kyr, "OUTBRIDGE1", {"StreamType=0x0004", "Program=2"});
    return kyr;
}

QString SavedText()
{
    const QLocale locale = QLocale::system();
    return locale.toString(kNow.time(), QLocale::ShortFormat) + u' ' +
           locale.toString(kNow.date(), QLocale::ShortFormat);
}

// A golden file as the report's bytes: stored with LF line ends, the time
// stamp and version filled in.
QByteArray Golden(const QString &name)
{
    QFile file(QDir(qEnvironmentVariable("KYR7_TESTDATA")).filePath(QStringLiteral("golden/") + name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no golden file %s", qPrintable(file.fileName()));
    QString text = QString::fromLatin1(file.readAll());
    text.replace(QLatin1String("@NOW@"), SavedText());
    text.replace(QLatin1String("@VERSION@"),
                 QStringLiteral("%1.%2.%3").arg(KYR7_VERSION_MAJOR).arg(KYR7_VERSION_MINOR).arg(KYR7_VERSION_PATCH));
    text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return text.toLatin1();
}

QByteArray Written(const clsKYR &kyr)
{
    QTemporaryDir dir;
    QString error = QStringLiteral("stale");
    if (!WriteReport(kyr, dir.path(), kNow, &error)) {
        qWarning("%s", qPrintable(error));
        return {};
    }
    if (!error.isEmpty())
        qWarning("error text left on success: %s", qPrintable(error));
    QFile file(dir.filePath(QStringLiteral("kyr.cfg")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The lines of one stream block, from its section name to the blank line.
QStringList StreamBlock(const QByteArray &report, const QString &section)
{
    const QStringList lines = QString::fromLatin1(report).split(QLatin1String("\r\n"));
    const qsizetype first = lines.indexOf(section);
    QStringList block;
    for (qsizetype k = first + 1; first >= 0 && k < lines.size() && !lines[k].isEmpty(); ++k)
        block << lines[k];
    return block;
}

// Shows the first differing line, which a byte comparison would not.
void CompareLines(const QByteArray &actual, const QByteArray &expected)
{
    const QList<QByteArray> a = actual.split('\n');
    const QList<QByteArray> e = expected.split('\n');
    for (qsizetype k = 0; k < qMin(a.size(), e.size()); ++k) {
        if (a[k] != e[k])
            QFAIL(qPrintable(QStringLiteral("line %1:\n  got      [%2]\n  expected [%3]")
                                 .arg(k + 1)
                                 .arg(QString::fromLatin1(a[k]), QString::fromLatin1(e[k]))));
    }
    QCOMPARE(a.size(), e.size());
    QCOMPARE(actual, expected);
}

} // namespace

class tst_WriteReport : public QObject
{
    Q_OBJECT
private slots:
    void matchesGoldenFile_data();
    void matchesGoldenFile();
    void secondProgramOnlyWhenCounted_data();
    void secondProgramOnlyWhenCounted();
    void streamLinesFollowTypeDirectionAndMode_data();
    void streamLinesFollowTypeDirectionAndMode();
    void savedLineHasTimeThenDate();
    void eightBitTextWithCrLfLines();
    void replacesAnEarlierReport();
    void unwritableFolderIsReported_data();
    void unwritableFolderIsReported();
};

void tst_WriteReport::matchesGoldenFile_data()
{
    QTest::addColumn<bool>("full");
    QTest::addColumn<QString>("golden");
    QTest::newRow("fresh model") << false << "fresh.cfg";
    QTest::newRow("every module type") << true << "full.cfg";
}

void tst_WriteReport::matchesGoldenFile()
{
    QFETCH(bool, full);
    QFETCH(QString, golden);
    const QByteArray report = Written(full ? FullModel() : clsKYR());
    QVERIFY(!report.isEmpty());
    CompareLines(report, Golden(golden));
}

void tst_WriteReport::secondProgramOnlyWhenCounted_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<bool>("second");
    QTest::newRow("none") << "0" << false;
    QTest::newRow("one") << "1" << false;
    QTest::newRow("two") << "2" << true;
    QTest::newRow("three") << "3" << true;
}

void tst_WriteReport::secondProgramOnlyWhenCounted()
{
    QFETCH(QString, count);
    QFETCH(bool, second);
    clsKYR kyr = FullModel();
    kyr.setSKYR(KyrRow::ProgramCount, count);
    const QString report = QString::fromLatin1(Written(kyr));
    QVERIFY(report.contains(QLatin1String("\r\nProgram 1\r\n   Video Format, Current:  HD 1080i 59.94 Hz\r\n")));
    QCOMPARE(report.contains(QLatin1String("\r\nProgram 2\r\n")), second);
    QCOMPARE(report.contains(QLatin1String("Requested:  Any SD Video\r\n")), second);
    QCOMPARE(report.count(QLatin1String("Caption Language:  ")), second ? 2 : 1);
    // The stream blocks follow the last program block directly.
    QVERIFY(
        report.contains(QLatin1String("Broadcast Flag:  ") +
                        (second ? QLatin1String("Always Inserted") : QLatin1String("Controlled by GPIO and Commands")) +
                        QLatin1String("\r\n\r\nPORTA\r\n")));
}

void tst_WriteReport::streamLinesFollowTypeDirectionAndMode_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QStringList>("block");

    const QStringList common = {"              DID:  0x45", "             SDID:  0x02", "     Data Channel:  Chroma",
                                "  Insert Lines F1:  9", "  Insert Lines F2:  None"};
    const QStringList base = {"Did=0x45",          "SDid=0x02",          "DataChannel=C",  "InsertLinesF1=0x00000100",
                              "InsertLinesF2=0",   "Program=1",          "HeaderId1=0x20", "HeaderId2=0x21",
                              "VancBufferFlush=2", "TimedBufferFlush=1", "DataCountF1=30", "DataCountF2=40"};
    const QStringList transparent =
        QStringList{"      Stream Type:  Transparent Module on Program 1", "  Field Indicator:  False"} + common;
    const QStringList byteLines = {"       Input Mode:  Byte", "       Vanc Flush:  On Field 2",
                                   "    Timeout Flush:  After 1 Field", "       Data Count:  30 Field 1",
                                   "                    40 Field 2"};
    const QStringList packetLines = {"       Input Mode:  Packet", "        Packet ID:  0x20, 0x21"};
    const QString encode = "        Direction:  Encode";
    const QString decode = "        Direction:  Decode";
    const QString lanPort = "         LAN Port:  2100";

    const char *const dataTypes[] = {"Custom",      "Byte Mode",    "High Capacity", "Audio Metadata",
                                     "Caption CDP", "Subtitle SDP", "Custom"};
    for (int type = 0; type <= 6; ++type) {
        const QStringList tail = type <= 2 ? byteLines : type == 3 ? QStringList{} : packetLines;
        QTest::addRow("transparent encode, data type %d", type)
            << "LAN5" << base + QStringList{"StreamType=0x0001", "Direction=E", QStringLiteral("DataType=%1").arg(type)}
            << transparent + QStringList{QStringLiteral("        Data Type:  ") + dataTypes[type], encode} + tail +
                   QStringList{lanPort};
        QTest::addRow("transparent decode, data type %d", type)
            << "LAN5" << base + QStringList{"StreamType=0x0001", "Direction=D", QStringLiteral("DataType=%1").arg(type)}
            << transparent + QStringList{QStringLiteral("        Data Type:  ") + dataTypes[type], decode, lanPort};
    }
    QTest::newRow("lower-case d is not decode")
        << "LAN5" << base + QStringList{"StreamType=0x0001", "Direction=d", "DataType=3"}
        << transparent + QStringList{"        Data Type:  Audio Metadata", encode, lanPort};
    QTest::newRow("unknown data type names its number")
        << "LAN5" << base + QStringList{"StreamType=0x0001", "Direction=E", "DataType=7"}
        << transparent + QStringList{"        Data Type:  Unknown (7)", encode, lanPort};
    QTest::newRow("field indicator on") << "BTEST1"
                                        << base + QStringList{"StreamType=0x0001", "Direction=D", "FieldIndicator=1"}
                                        << QStringList{"      Stream Type:  Transparent Module on Program 1",
                                                       "  Field Indicator:  True"} +
                                               common + QStringList{"        Data Type:  Custom", decode};

    const QStringList mapping = {"   Mapping To 608:  CC1 To CC1, CC2 To CC2, CC3 To CC3, CC4 To CC4, XDS To XDS",
                                 "   Mapping To 708:  CC1 To  S1, CC2 To  S3, CC3 To  S2, CC4 To  S4"};
    const QStringList maps = {"C1To608=1", "C2To608=2", "C3To608=3", "C4To608=4", "XDSEnabled=1",
                              "C1To708=1", "C2To708=3", "C3To708=2", "C4To708=4"};
    const QStringList caption = base + maps + QStringList{"StreamType=0x0010", "Echo=0", "FrameDelay=3"};
    const QString server = "       Input Mode:  Caption Server";
    const QString echoOff = "    Echo Commands:  Off";
    QTest::newRow("primary caption port")
        << "LAN5" << caption + QStringList{"Direction=E", "Mode=0", "DataType=0"}
        << QStringList{"      Stream Type:  Captioning Module (Primary) on Program1"} + common +
               QStringList{echoOff, server} + mapping + QStringList{lanPort};
    QTest::newRow("secondary caption port")
        << "LAN5" << caption + QStringList{"Direction=E", "Mode=1", "DataType=0", "Echo=1"}
        << QStringList{"      Stream Type:  Captioning Module (Secondary) on Program 1"} + common +
               QStringList{"    Echo Commands:  On", server} + mapping + QStringList{lanPort};
    QTest::newRow("XDS port, field marked has no mapping")
        << "LAN5" << caption + QStringList{"Direction=E", "Mode=2", "DataType=2"}
        << QStringList{"      Stream Type:  Captioning Module (XDS) on Program 1"} + common +
               QStringList{echoOff, "       Input Mode:  Field Marked", lanPort};
    QTest::newRow("caption server other than 0 has no mapping")
        << "LAN5" << caption + QStringList{"Direction=E", "Mode=0", "DataType=4"}
        << QStringList{"      Stream Type:  Captioning Module (Primary) on Program1"} + common +
               QStringList{echoOff, server, lanPort};
    QTest::newRow("unknown encoder mode has no type line")
        << "LAN5" << caption + QStringList{"Direction=E", "Mode=3", "DataType=0"}
        << common + QStringList{echoOff, server} + mapping + QStringList{lanPort};
    QTest::newRow("708 decoder, push")
        << "LAN5" << caption + QStringList{"Direction=D", "Mode=0", "DataType=3"}
        << QStringList{"      Stream Type:  Caption Decoder (DTVCC 708 Out) on Program1"} + common +
               QStringList{"         Protocol:  Push", "      Frame Delay:  3", lanPort};
    QTest::newRow("708 decoder, SMPTE 333, high mode bits ignored")
        << "LAN5" << caption + QStringList{"Direction=D", "Mode=32", "DataType=4"}
        << QStringList{"      Stream Type:  Caption Decoder (DTVCC 708 Out) on Program1"} + common +
               QStringList{"         Protocol:  SMPTE 333", "      Frame Delay:  3", lanPort};
    QTest::newRow("708 decoder, unknown protocol")
        << "LAN5" << caption + QStringList{"Direction=X", "Mode=2", "DataType=0"}
        << QStringList{"      Stream Type:  Caption Decoder (DTVCC 708 Out) on Program1"} + common +
               QStringList{"         Protocol:  Unknown (0)", "      Frame Delay:  3", lanPort};
    QTest::newRow("608 decoder") << "LAN5" << caption + QStringList{"Direction=D", "Mode=1", "DataType=3"}
                                 << QStringList{"      Stream Type:  Caption Decoder (NTSC 608 Out) on Program1"} +
                                        common + QStringList{lanPort};
    QTest::newRow("608 decoder, low four bits 1")
        << "LAN5" << caption + QStringList{"Direction=", "Mode=17", "DataType=4"}
        << QStringList{"      Stream Type:  Caption Decoder (NTSC 608 Out) on Program1"} + common +
               QStringList{lanPort};

    const QStringList serial = {"Baud=115200", "WordSize=7", "Parity=E", "StopBits=2"};
    const QStringList serialLines = {"         Baudrate:  115200", "        Data Bits:  7", "           Parity:  E",
                                     "        Stop Bits:  2"};
    QTest::newRow("free serial port has no serial lines")
        << "PORTB" << base + serial + QStringList{"StreamType=0x0000", "RxFlowCtrl=2"}
        << QStringList{"      Stream Type:  Unused"};
    QTest::newRow("bridging type on a serial port: serial lines only")
        << "PORTB" << base + serial + QStringList{"StreamType=0x0004", "RxFlowCtrl=2", "TxFlowCtrl=1"}
        << serialLines + QStringList{"  RX Flow Control:  Hardware", "  TX Flow Control:  Software"};
    QTest::newRow("constant data on the modem port")
        << "MODEM"
        << base + serial +
               QStringList{"StreamType=0x0002", "FileName=51_sap", "ConditionalInsertion=1", "RxFlowCtrl=0",
                           "TxFlowCtrl=9"}
        << QStringList{"      Stream Type:  Constant Data Module on Program 1"} + common +
               QStringList{"        Data File:  51_sap", "        Conditional Insertion:  True"} + serialLines +
               QStringList{"  RX Flow Control:  None", "  TX Flow Control:  Unknown (9)"};
    QTest::newRow("conditional insertion other than 1 is false")
        << "FILE2" << base + QStringList{"StreamType=0x0002", "FileName=x", "ConditionalInsertion=2"}
        << QStringList{"      Stream Type:  Constant Data Module on Program 1"} + common +
               QStringList{"        Data File:  x", "        Conditional Insertion:  False"};
    QTest::newRow("free LAN port still shows its port")
        << "LAN5" << base + QStringList{"StreamType=0"} << QStringList{"      Stream Type:  Unused", lanPort};
}

void tst_WriteReport::streamLinesFollowTypeDirectionAndMode()
{
    QFETCH(QString, section);
    QFETCH(QStringList, settings);
    QFETCH(QStringList, block);
    clsKYR kyr;
    Section kind;
    int slot = 0;
    QVERIFY(clsKYR::FindSection(section, kind, slot));
    kyr.SetParam(kind, slot, QStringLiteral("PortAddr=2100"));
    for (const QString &line : settings)
        QVERIFY2(!kyr.SetParam(kind, slot, line).contains(u'?'), qPrintable(line));
    QCOMPARE(StreamBlock(Written(kyr), section), block);
}

void tst_WriteReport::savedLineHasTimeThenDate()
{
    const QStringList lines = QString::fromLatin1(Written(clsKYR())).split(QLatin1String("\r\n"));
    QVERIFY(lines.size() > 4);
    const QString saved = lines[3];
    // Short time, one space, short date: 09:05 on 7 March 2024 in whatever order the locale uses.
    static const QRegularExpression form(QStringLiteral("^Saved:  \\S*0?9\\D05\\S*( [AP]M)? \\S.*(2024|24)\\S*$"));
    QVERIFY2(form.match(saved).hasMatch(), qPrintable(saved));
    QCOMPARE(lines[4], QString());
}

void tst_WriteReport::eightBitTextWithCrLfLines()
{
    clsKYR kyr;
    kyr.setSKYR(KyrRow::SerialNumber, QStringLiteral("Z\u00FCrich-\u03A97"));
    kyr.setSKYR(KyrRow::IpNum, QStringLiteral("10.0.0.1\r\nDHCP:  ON\r"));
    const QByteArray report = Written(kyr);
    QVERIFY(report.contains("           Serial Number:  Z\xFCrich-?7\r\n"));
    // A line break inside a value must not start a report line of its own.
    QVERIFY(report.contains("              IP Address:  10.0.0.1DHCP:  ON\r\n"));
    QVERIFY(report.startsWith("KYR7 Configuration\r\n\r\nKYR7Set V"));
    QVERIFY(report.endsWith("OUTBRIDGE1\r\n      Stream Type:  Unused\r\n\r\n"));
    QVERIFY(!report.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(report.count('\r'), report.count('\n'));
    QCOMPARE(report.count("\r\n"), report.count('\n'));
}

void tst_WriteReport::replacesAnEarlierReport()
{
    QTemporaryDir dir;
    QFile old(dir.filePath(QStringLiteral("kyr.cfg")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(20000, 'x'));
    old.close();
    QString error;
    QVERIFY(WriteReport(clsKYR(), dir.path(), kNow, &error));
    QVERIFY(error.isEmpty());
    QFile file(dir.filePath(QStringLiteral("kyr.cfg")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray report = file.readAll();
    QVERIFY(!report.contains('x'));
    CompareLines(report, Golden(QStringLiteral("fresh.cfg")));
}

void tst_WriteReport::unwritableFolderIsReported_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("folder does not exist") << "missing";
    QTest::newRow("folder is a regular file") << "file";
    QTest::newRow("report name taken by a folder") << "folder";
}

void tst_WriteReport::unwritableFolderIsReported()
{
    QFETCH(QString, obstacle);
    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("reports"));
    if (obstacle == QLatin1String("file")) {
        QFile plain(folder);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("not a folder");
    } else if (obstacle == QLatin1String("folder")) {
        // A non-empty folder named kyr.cfg survives the removal of the old report.
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/kyr.cfg/keep")));
    }
    const QString path = QDir::toNativeSeparators(folder + QStringLiteral("/kyr.cfg"));
    QString error;
    QVERIFY(!WriteReport(FullModel(), folder, kNow, &error));
    QVERIFY2(error.contains(path), qPrintable(error));
    QVERIFY2(error.size() > error.indexOf(path) + path.size() + 3, qPrintable(error)); // the system's reason follows
    QVERIFY(!QFileInfo(folder + QStringLiteral("/kyr.cfg")).isFile());
    QVERIFY(!WriteReport(FullModel(), folder, kNow)); // no error text wanted: still refused, no crash
}

QTEST_MAIN(tst_WriteReport)
#include "tst_WriteReport.moc"
