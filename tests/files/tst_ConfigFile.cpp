// The configuration file that kyr7sim and kyr7ctl share: what the reader
// takes, what it refuses and why, and what the writer gives back.
#include "ConfigFile.h"
#include "DataTable.h"
#include "SimProcess.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

class tst_ConfigFile : public QObject
{
    Q_OBJECT

private slots:
    void read_data()
    {
        // Problems: "LINE: part of the reason", in order; values: "SECTION ROW=text
        // form" read back from a fresh model the file was applied to.
        const auto row = Table<QByteArray, QStringList, QStringList>({"text", "problems", "values"});

        row("LF and CR LF line ends, any letter case", "[KYR]\nRev=H\r\n[lan3]\r\ndid=0x5a\r\n\r\n", {},
            {"KYR Rev=H", "LAN3 Did=0x5A"});
        row("values with \"=\" and spaces kept whole", "[KYR]\nIpNum=10.1.1.2=x\n[CAPPGM2]\nLanguage608F2= spn \n", {},
            {"KYR IpNum=10.1.1.2=x", "CAPPGM2 Language608F2= spn "});
        row("Latin-1 bytes", "[FILE1]\nFileName=caf\xe9 \xff\n", {}, {"FILE1 FileName=caf\xc3\xa9 \xc3\xbf"});
        row("comments and blank lines", "; backup\n\n   \n[KYR]\n  ; indented\nRev=C\n", {}, {"KYR Rev=C"});
        row("short and long forms of every kind",
            "[LAN3]\nDid=0x5\nStreamType=0x7\nInsertLinesF1=0x7FFFFFFF\nBaud=9600\nFrameDelay=1.5\nDataCountF1=1e2\n",
            {},
            {"LAN3 Did=0x05", "LAN3 StreamType=0x0007", "LAN3 InsertLinesF1=0x7FFFFFFF", "LAN3 Baud=9600",
             "LAN3 FrameDelay=1.5", "LAN3 DataCountF1=100"});
        row("malformed lines", "[KYR]\nRev C\n=1\nRev=B\r\rx\n[LAN3\nDid=0x01\n",
            {"2: no \"=\" in \"Rev C\"", "3: no name before \"=\"", "4: a carriage return inside the line",
             "5: a section line without its closing \"]\""},
            {"KYR Rev="});
        row("unknown section: its lines are not read into the one before", "[KYR]\n[PGM3]\nRev=Z\n",
            {"2: unknown section [PGM3]; its lines are not read"}, {"KYR Rev="});
        row("unknown names", "[KYR]\nBogus=1\nDid=0x51\n Rev=A\n",
            {"2: unknown parameter \"Bogus\" in [KYR]", "3: unknown parameter \"Did\" in [KYR]",
             "4: unknown parameter \" Rev\" in [KYR]"},
            {});
        row("a setting before any section", "Rev=G\n[KYR]\n", {"1: a setting before the first [SECTION] line"}, {});
        row("values the encoder would change are refused",
            "[LAN3]\nDid=0X51\nSDid=0x123\nStreamType=0x12345\nInsertLinesF1=0x80000080\nBaud=-5\nPortAddr=12abc\n"
            "Program=\nWordSize=1e999\n",
            {"2: Did: \"0X51\" is not a hexadecimal byte", "3: SDid: \"0x123\" is not a hexadecimal byte",
             "4: StreamType: \"0x12345\" is not a hexadecimal word", "5: InsertLinesF1: \"0x80000080\" is out of range",
             "6: Baud: \"-5\" is not a decimal number", "7: PortAddr: \"12abc\" is not a decimal number",
             "8: Program: \"\" is not a decimal number", "9: WordSize: \"1e999\" is out of range"},
            {"LAN3 Did=0x00", "LAN3 InsertLinesF1=0x00000000", "LAN3 Baud=0"});
        row("a setting given twice keeps the first", "[LAN3]\nDid=0x01\n[lan3]\ndid=0x02\n",
            {"4: Did given twice in [LAN3] (first at line 2)"}, {"LAN3 Did=0x01"});
    }

    void read()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, problems);
        QFETCH(QStringList, values);
        const ConfigFile file = ConfigFile::Parse(text);
        const QStringList messages = file.messages(QStringLiteral("a.cfg"));
        QCOMPARE(messages.size(), problems.size());
        for (qsizetype i = 0; i < problems.size(); ++i)
            QVERIFY2(messages[i].startsWith(QStringLiteral("a.cfg:") + problems[i]), qPrintable(messages[i]));
        QCOMPARE(file.ok(), problems.isEmpty());
        clsKYR kyr;
        file.applyTo(kyr);
        for (const QString &value : values) {
            Section section;
            int slot = 0;
            const QString where = value.section(u' ', 0, 0), assignment = value.section(u' ', 1);
            QVERIFY(clsKYR::FindSection(where, section, slot));
            const int row = clsKYR::FindRow(section, assignment.section(u'=', 0, 0));
            QCOMPARE(kyr.text(section, slot, row), assignment.section(u'=', 1));
        }
    }

    // A missing file, a folder and a file too large each get one message.
    void unreadableFiles()
    {
        QTemporaryDir dir;
        QFile big(dir.filePath("large.cfg"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(ConfigFile::MaxSize + 1));
        for (const auto &[path, reason] : {std::pair{dir.filePath("missing.cfg"), "cannot read: "},
                                           {dir.path(), "cannot read: "},
                                           {big.fileName(), "larger than 16 MiB: not a configuration file"}}) {
            const ConfigFile file = ConfigFile::Read(path);
            QVERIFY(!file.ok() && file.settings().empty());
            const QStringList messages = file.messages(path);
            QVERIFY2(messages.size() == 1 && messages.first().startsWith(path + ": " + reason),
                     qPrintable(messages.join('\n')));
        }
    }

    void manyProblemsAreCounted()
    {
        // A binary file read by mistake: every line is named up to a limit, the rest counted.
        const ConfigFile file = ConfigFile::Parse("[KYR]\n" + QByteArray("x\n").repeated(150));
        QCOMPARE(file.problemCount(), 150);
        const QStringList messages = file.messages(QStringLiteral("b"));
        QCOMPARE(messages.size(), ConfigFile::MaxProblems + 1);
        QCOMPARE(messages.last(), QStringLiteral("b: 50 more problems"));
    }

    void writtenFileReadsBackAsWritten()
    {
        clsKYR kyr;
        kyr.setSKYR(KyrRow::IpNum, QStringLiteral("10.1.1.2=x"));
        kyr.setSSTR(StreamSlot::FILE1, StrRow::FileName, QStringLiteral(" caf\u00e9 "));
        kyr.setSSTR(StreamSlot::LAN3, StrRow::InsertLinesF1, QStringLiteral("0x7FFFFFFF"));
        kyr.setSPGM(1, PgmRow::RequestedVideoMode, QStringLiteral("1.5e20"));
        // A faulty listing can leave a line break in a text value: written as the
        // save sends it, it cannot split the row into two lines.
        kyr.setSSTR(StreamSlot::PORTA, StrRow::ModemInit, QStringLiteral("AT\nZ\r"));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.cfg"));
        QString error;
        QVERIFY(ConfigFile::Write(path, kyr, error, {QStringLiteral("fetched\nfrom here")}));
        const ConfigFile file = ConfigFile::Read(path);
        QVERIFY2(file.ok(), qPrintable(file.messages(path).join(u'\n')));
        clsKYR back;
        file.applyTo(back);
        kyr.setSSTR(StreamSlot::PORTA, StrRow::ModemInit, QStringLiteral("ATZ"));
        QCOMPARE(ConfigFile::Text(back), ConfigFile::Text(kyr));
        QCOMPARE(back.sSTR(StreamSlot::FILE1, StrRow::FileName), QStringLiteral(" caf\u00e9 "));
        QVERIFY(!ConfigFile::Write(dir.filePath(QStringLiteral("no/such/folder.cfg")), kyr, error) &&
                error.contains(QStringLiteral("cannot write")));
    }

    // The two comment lines every written file starts with, whoever writes it.
    void header()
    {
        clsKYR kyr;
        kyr.setSKYR(KyrRow::SerialNumber, QStringLiteral("4711"));
        kyr.setSKYR(KyrRow::Software, QStringLiteral("36-47215-01"));
        kyr.setSKYR(KyrRow::Rev, QStringLiteral("H"));
        const QDateTime when(QDate(2024, 3, 9), QTime(7, 5, 1));
        QCOMPARE(ConfigFile::Header(ConfigFile::Identity(kyr), QStringLiteral("fetched from lan:10.0.0.7"), when,
                                    QStringLiteral("kyr7ctl 1.7")),
                 QStringList({"KYR7 4711, software 36-47215-01 rev. H",
                              "fetched from lan:10.0.0.7 on 2024-03-09T07:05:01 by kyr7ctl 1.7"}));
        // Each a comment line of its own, even with a line break in a value.
        kyr.setSKYR(KyrRow::SerialNumber, QStringLiteral("47\n11"));
        const QByteArray text = ConfigFile::Text(kyr, {ConfigFile::Identity(kyr)});
        QVERIFY(text.startsWith("; KYR7 4711, software 36-47215-01 rev. H\n[KYR]\n"));
    }

    void simulatorRefusesEveryBadLine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.cfg"));
        WriteTestFile(path, "[KYR]\nRev=C\nBogus=1\n[LAN3]\nDid=0X51\n");
        SimProcess sim({QStringLiteral("--config"), path});
        QVERIFY(!sim.start());
        sim.process().waitForFinished(5000);
        QCOMPARE(sim.process().exitCode(), 2);
        const QString printed = sim.output();
        QVERIFY2(printed.contains(path + QStringLiteral(":3: unknown parameter \"Bogus\" in [KYR]")) &&
                     printed.contains(path + QStringLiteral(":5: Did: \"0X51\" is not a hexadecimal byte")) &&
                     !printed.contains(QStringLiteral("listening")),
                 qPrintable(printed));
    }
};

QTEST_GUILESS_MAIN(tst_ConfigFile)
#include "tst_ConfigFile.moc"
