#include "DataTable.h"
#include "TestFiles.h"
#include "WriteReport.h"
#include "clsKYR.h"
#include "clsReport.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QDateTime kNow(QDate(2024, 3, 7), QTime(9, 5, 30));

// Every module type, caption mode, data type and flow control the report names, and a few values it does not, as
// listing lines; a word without "=" starts a section.
const char *const kFull =
    R"(
KYR Software=36-47215-01 Rev=G SerialNumber=40123 IpNum=192.168.1.50 Netmask=255.255.255.0 Gateway=192.168.1.1 DHCP=1
ProgramCount=2 TransparentStreams=3 CaptionStreams=2 BfStreams=2 ConstantStreams=2 BridgingStreams=1 PGM1 VideoMode=8
RequestedVideoMode=8 AddToCLines=0x00100100 LineCfgC9F1=10 LineCfgC21F1=2 LineCfgC21F2=2 LineCfgL9F1=7 CAPPGM1
C1To608=1 C2To608=1 C4To608=4 XDSEnabled=1 C1To708=1 C3To708=3 C4To708=6 UpstreamS1=1 UpstreamS3=4 UpstreamS4=4
UpstreamS5=5 UpstreamS6=6 Language708S1=eng Language708S2=spa EasyReader708S2=1 Language708S4=fra Language708S6=deu
EasyReader708S6=2 Language608F1=eng EasyReader608F1=1 RCControl=2 PGM2 VideoMode=3 RequestedVideoMode=1
AddToLLines=0x01000400 LineCfgL11F1=5 LineCfgL11F2=6 LineCfgC11F1=9 CAPPGM2 UpstreamS6=2 Language708S3=kor RCControl=4
PORTA StreamType=0x0010 Program=1 Direction=E DataChannel=C InsertLinesF1=0x00000800 InsertLinesF2=0x00000800 Did=0x61
SDid=0x01 Echo=1 C1To608=1 C2To608=2 C4To608=4 C1To708=1 C2To708=3 C4To708=4 Baud=9600 WordSize=8 Parity=N StopBits=1
RxFlowCtrl=2 TxFlowCtrl=2 PORTB StreamType=0x0010 Program=1 Direction=E Mode=1 DataType=2 DataChannel=L
InsertLinesF1=0x00000900 Did=0x61 SDid=0x02 C1To608=1 Baud=19200 WordSize=7 Parity=E StopBits=2 RxFlowCtrl=1 PORTC
StreamType=0x0010 Program=2 Direction=E Mode=2 DataType=1 DataChannel=C InsertLinesF1=0x00100000
InsertLinesF2=0x00100000 Did=0x0A SDid=0xff Echo=3 C1To608=1 Baud=38400 WordSize=8 Parity=O StopBits=1 RxFlowCtrl=7
TxFlowCtrl=1 MODEM StreamType=0x0001 Program=2 Direction=D DataType=6 FieldIndicator=1 DataChannel=C
InsertLinesF1=0x00000400 InsertLinesF2=0x00000400 Did=0x41 SDid=0x02 Baud=57600 WordSize=8 Parity=N StopBits=1
VancBufferFlush=1 LAN1 StreamType=0x0010 Program=1 Direction=D Mode=18 DataType=3 FrameDelay=2 DataChannel=C
InsertLinesF1=0x00000800 InsertLinesF2=0x00000800 Did=0x61 SDid=0x01 PortAddr=2000 Echo=1 LAN2 StreamType=0x0010
Program=2 Direction=D Mode=17 DataType=3 FrameDelay=5 DataChannel=L Did=0x61 SDid=0x02 PortAddr=2001 LAN3
StreamType=0x0010 Program=1 Direction= DataType=4 DataChannel= InsertLinesF1=0x01000001 InsertLinesF2=0x01FFFFFF
Did=0x61 SDid=0x01 PortAddr=2002 LAN4 StreamType=0x0001 Program=1 Direction=E DataChannel=C InsertLinesF1=0x00000080
InsertLinesF2=0x00000080 Did=0x45 SDid=0x01 VancBufferFlush=3 TimedBufferFlush=2 DataCountF1=100 DataCountF2=50
PortAddr=2003 LAN5 StreamType=0x0001 Program=2 Direction=E DataType=2 FieldIndicator=2 DataChannel=L
InsertLinesF1=0x00000200 Did=0x45 SDid=0x02 VancBufferFlush=1 DataCountF1=255 PortAddr=2004 LAN6 StreamType=0x0001
Program=1 Direction=E DataType=3 FieldIndicator=1 DataChannel=C InsertLinesF1=0x00000100 InsertLinesF2=0x00000100
Did=0x45 SDid=0x04 PortAddr=2005 LAN7 StreamType=0x0001 Program=2 Direction=E DataType=5 DataChannel=C
InsertLinesF1=0x00080000 InsertLinesF2=0x00080000 Did=0x43 SDid=0x02 HeaderId1=0x15 HeaderId2=0x12 PortAddr=2006 LAN8
PortAddr=2007 Did=0x51 FILE1 StreamType=0x0002 Program=1 DataChannel=L InsertLinesF1=0x00000100 Did=0x45 SDid=0x05
FileName=metadata_51 ConditionalInsertion=1 FILE2 StreamType=0x0002 Program=2 DataChannel=C InsertLinesF1=0x00000400
InsertLinesF2=0x00000400 Did=0x45 SDid=0x05 FileName=stereo_sap BTEST1 StreamType=0x0001 Program=1 Direction=E
DataType=1 DataChannel=C InsertLinesF1=0x00000040 InsertLinesF2=0x00000040 Did=0x51 SDid=0x01 VancBufferFlush=4
TimedBufferFlush=3 DataCountF1=10 DataCountF2=20 BTEST2 StreamType=0x0001 Program=2 Direction=E DataType=9
DataChannel=C Did=0x51 SDid=0x02 INBRIDGE1 StreamType=0x0004 Program=1 Baud=9600 OUTBRIDGE1 StreamType=0x0004 Program=2)";

// Stream settings shared by the rows of the stream table.
const QString kBase =
    QStringLiteral(" Did=0x45 SDid=0x02 DataChannel=C InsertLinesF1=0x00000100 InsertLinesF2=0 Program=1 "
                   "HeaderId1=0x20 HeaderId2=0x21 PortAddr=2100 FrameDelay=3 Echo=0 C1To608=1 C2To608=2 C3To608=3 "
                   "C4To608=4 XDSEnabled=1 C1To708=1 C2To708=3 C3To708=2 C4To708=4");

void Apply(clsKYR &kyr, const QString &listing)
{
    Section kind = Section::Kyr;
    int slot = 0;
    for (const QString &line : listing.simplified().split(u' ', Qt::SkipEmptyParts)) {
        if (!line.contains(u'=') && !clsKYR::FindSection(line, kind, slot))
            qFatal("no section %s", qPrintable(line));
        else if (line.contains(u'=') && kyr.SetParam(kind, slot, line).contains(u'?'))
            qFatal("no parameter %s", qPrintable(line));
    }
}

// Writes the report over a stale, longer one and returns its bytes.
QByteArray Written(const clsKYR &kyr)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("kyr.cfg")));
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(20000, 'x')) != 20000)
        qFatal("no stale report");
    file.close();
    QString error = QStringLiteral("stale");
    if (!WriteReport(kyr, dir.path(), kNow, &error) || !error.isEmpty() || !file.open(QIODevice::ReadOnly))
        qFatal("report not written: %s", qPrintable(error));
    return file.readAll();
}

} // namespace

class tst_WriteReport : public QObject
{
    Q_OBJECT

private slots:
    void matchesGoldenFiles()
    {
        const QString now = QLocale().toString(kNow.time(), QLocale::ShortFormat) + u' ' +
                            QLocale().toString(kNow.date(), QLocale::ShortFormat);
        const QString version = QStringLiteral(KYR7_VERSION);
        // The full configuration counts two programs; with one, the "Program 2" block goes.
        for (const char *extra : {(const char *)nullptr, "", "KYR ProgramCount=1"}) {
            clsKYR kyr;
            if (extra)
                Apply(kyr, QString::fromLatin1(kFull) + u' ' + QString::fromLatin1(extra));
            QFile file(
                QDir(qEnvironmentVariable("KYR7_TESTDATA")).filePath(extra ? "golden/full.cfg" : "golden/fresh.cfg"));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QString golden = QString::fromLatin1(file.readAll()).replace("@NOW@", now).replace("@VERSION@", version);
            if (extra && *extra)
                golden.replace("Programs:  2", "Programs:  1")
                    .remove(QRegularExpression("Program 2\n.*\n\n(?=PORTA)",
                                               QRegularExpression::DotMatchesEverythingOption));
            const QByteArray report = Written(kyr);
            QCOMPARE(QString::fromLatin1(report).split(QStringLiteral("\r\n")), golden.split(u'\n')); // shows the line
            QCOMPARE(report, golden.toLatin1().replace("\n", "\r\n"));
        }
    }

    void streamLinesFollowDirectionDataTypeAndMode_data()
    {
        // Settings: the section, then listing lines; block: the report lines after the section name.
        const auto row = Table<QString, QString>({"settings", "block"});
        row("transparent decode has no input lines", "LAN5 StreamType=0x0001 Direction=D DataType=0",
            "T|C|        Data Type:  Custom|        Direction:  Decode|P");
        row("Caption CDP goes in packets", "LAN5 StreamType=0x0001 Direction=E DataType=4",
            "T|C|        Data Type:  Caption CDP|        Direction:  Encode|K|P");
        row("secondary caption port maps", "LAN5 StreamType=0x0010 Direction=E Mode=1 DataType=0 Echo=1",
            "      Stream Type:  Captioning Module (Secondary) on Program 1|C|    Echo Commands:  On|S|M|P");
        row("any other direction decodes", "LAN5 StreamType=0x0010 Direction=X Mode=2 DataType=0",
            "      Stream Type:  Caption Decoder (DTVCC 708 Out) on Program1|C|         Protocol:  Unknown (0)|"
            "      Frame Delay:  3|P");
    }

    void streamLinesFollowDirectionDataTypeAndMode()
    {
        QFETCH(QString, settings);
        QFETCH(QString, block);
        static const QHash<QString, QString> parts = {
            {"T", "      Stream Type:  Transparent Module on Program 1\r\n  Field Indicator:  False"},
            {"C", "              DID:  0x45\r\n             SDID:  0x02\r\n     Data Channel:  Chroma\r\n"
                  "  Insert Lines F1:  9\r\n  Insert Lines F2:  None"},
            {"K", "       Input Mode:  Packet\r\n        Packet ID:  0x20, 0x21"},
            {"S", "       Input Mode:  Caption Server"},
            {"M", "   Mapping To 608:  CC1 To CC1, CC2 To CC2, CC3 To CC3, CC4 To CC4, XDS To XDS\r\n"
                  "   Mapping To 708:  CC1 To  S1, CC2 To  S3, CC3 To  S2, CC4 To  S4"},
            {"P", "         LAN Port:  2100"}};
        QStringList lines = block.split(u'|');
        for (QString &line : lines)
            line = parts.value(line, line);
        clsKYR kyr;
        const QString section = settings.section(u' ', 0, 0);
        Apply(kyr, section + kBase + u' ' + settings);
        const QString report = QString::fromLatin1(Written(kyr));
        QVERIFY2(report.contains("\r\n" + section + "\r\n" + lines.join("\r\n") + "\r\n\r\n"), qPrintable(report));
    }

    void valuesStayOnTheirLineInLatin1()
    {
        clsKYR kyr;
        kyr.setSKYR(KyrRow::SerialNumber, QStringLiteral("Z\u00FCrich-\u03A97\r\nDHCP:  ON\r"));
        QVERIFY(Written(kyr).contains("           Serial Number:  Z\xFCrich-?7DHCP:  ON\r\n"));
    }

    // The locale's short formats where Latin-1 holds them, numbers where it does not; never "?".
    void savedStampFitsTheFile_data()
    {
        const auto row = Table<QLocale, QString>({"locale", "stamp"});
        row("English", QLocale(QLocale::English, QLocale::UnitedStates), "9:05 AM 3/7/24");
        row("German", QLocale(QLocale::German, QLocale::Germany), "09:05 07.03.24");
        row("Korean: the time's morning word", QLocale(QLocale::Korean, QLocale::SouthKorea), "09:05 24. 3. 7.");
        row("Arabic, Egypt: Arabic digits", QLocale(QLocale::Arabic, QLocale::Egypt), "09:05 2024-03-07");
        row("Arabic, Morocco: direction marks", QLocale(QLocale::Arabic, QLocale::Morocco), "09:05 7/3/2024");
        row("Persian", QLocale(QLocale::Persian, QLocale::Iran), "09:05 2024-03-07");
    }

    void savedStampFitsTheFile()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, stamp);
        QCOMPARE(clsReport(clsKYR()).Text(kNow, locale).split(QStringLiteral("\r\n")).value(3), "Saved:  " + stamp);
    }

    void unwritableFolderIsReported()
    {
        // A missing folder, and a folder named kyr.cfg that survives the removal of the old report.
        for (const bool blocked : {false, true}) {
            QTemporaryDir dir;
            const QString folder = dir.filePath(QStringLiteral("reports"));
            const QString path = QDir::toNativeSeparators(folder + "/kyr.cfg");
            QVERIFY(!blocked || QDir().mkpath(folder + "/kyr.cfg/keep"));
            QString error;
            QVERIFY(!WriteReport(clsKYR(), folder, kNow, &error));
            // The path, then the system's reason.
            QVERIFY2(error.contains(path) && error.size() > error.indexOf(path) + path.size() + 3, qPrintable(error));
            QVERIFY(!QFileInfo(folder + "/kyr.cfg").isFile());
            QVERIFY(!WriteReport(clsKYR(), folder, kNow)); // no error text wanted: still refused, no crash
        }
    }

    // The old report is never written over in place: a second name for it keeps
    // it whole while the new one takes its name. A disk that fills up mid-write
    // leaves neither a cut-off report nor the stale one, nor a scrap file.
    void newReportReplacesTheOldOnlyWhenComplete()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kyr.cfg"));
        const QString old = dir.filePath(QStringLiteral("old.cfg"));
        QVERIFY(WriteReport(clsKYR(), dir.path(), kNow.addDays(-1)));
        QVERIFY(::link(QFile::encodeName(path).constData(), QFile::encodeName(old).constData()) == 0);
        const QByteArray before = ReadTestFile(old);

        clsKYR kyr;
        Apply(kyr, QString::fromLatin1(kFull));
        QVERIFY(WriteReport(kyr, dir.path(), kNow));
        QCOMPARE(ReadTestFile(old), before);
        QCOMPARE(ReadTestFile(path), Written(kyr));

        // A file size limit stands in for a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small{rlim_t(before.size() / 2), saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &small);
        QString error;
        const bool written = WriteReport(kyr, dir.path(), kNow, &error);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written);
        QVERIFY2(error.contains(QStringLiteral("could not be written")), qPrintable(error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.cfg")});
    }
};

QTEST_MAIN(tst_WriteReport)
#include "tst_WriteReport.moc"
