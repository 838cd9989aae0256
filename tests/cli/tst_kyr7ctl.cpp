// kyr7ctl run as a user runs it, against kyr7sim over loopback TCP and
// pseudo-terminals: backing up, comparing, reporting and restoring
// encoders, refusals, encoders that fail among others, and bad input.
#include "ConfigFile.h"
#include "SimConfig.h"
#include "SimProcess.h"
#include "WriteReport.h"

#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace {

struct CtlRun
{
    int code = -1;
    QByteArray out;
    QByteArray err; // standard error, or what the terminal showed
};

// A pseudo-terminal to stand for a user's terminal on a child's standard
// error; its other end is held open here too, so it outlives the child.
struct ErrorTerminal
{
    int master = -1, slave = -1;
    char name[256] = {};
    QByteArray shown;
    ErrorTerminal()
    {
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0)
            ::fcntl(master, F_SETFL, O_NONBLOCK);
    }
    ~ErrorTerminal() { ::close(slave), ::close(master); }
    void drain()
    {
        char buffer[4096];
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
            shown.append(buffer, n);
    }
};

CtlRun runCtl(const QStringList &args, const QString &folder, ErrorTerminal *terminal = nullptr)
{
    QProcess ctl;
    ctl.setWorkingDirectory(folder);
    if (terminal)
        ctl.setStandardErrorFile(QString::fromLocal8Bit(terminal->name));
    ctl.start(qEnvironmentVariable("KYR7CTL"), args);
    for (QDeadlineTimer deadline(120000); !ctl.waitForFinished(50) && !deadline.hasExpired();)
        if (terminal)
            terminal->drain();
    if (terminal)
        terminal->drain();
    return {ctl.exitStatus() == QProcess::NormalExit ? ctl.exitCode() : -1, ctl.readAllStandardOutput(),
            terminal ? terminal->shown : ctl.readAllStandardError()};
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString lan(const SimProcess &sim)
{
    return QStringLiteral("lan:127.0.0.1:%1").arg(sim.port());
}

// A target on which nothing listens.
QString refusingTarget()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return QStringLiteral("lan:127.0.0.1:%1").arg(server.serverPort());
}

// The demo encoder with other settings and another identity and network.
const QByteArray kOtherUnit = "[KYR]\nIpNum=10.9.8.7\nNetmask=255.0.0.0\n[PGM1]\nRequestedVideoMode=4\n"
                              "[CAPPGM1]\nLanguage608F2=fra\n[LAN1]\nDid=0x22\n";

} // namespace

class tst_kyr7ctl : public QObject
{
    Q_OBJECT

    QTemporaryDir home;  // the user's configuration folder: the program's connection settings
    QTemporaryDir dir;   // the working folder
    QByteArray demoFile; // the demo encoder's configuration file

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        clsKYR demo;
        QVERIFY(DefaultSimConfig(demo));
        demoFile = ConfigFile::Text(demo);
        for (const auto &[name, text] : {std::pair<const char *, QByteArray>{"demo.cfg", demoFile},
                                         {"other.cfg", kOtherUnit},
                                         {"bad.cfg", "[KYR]\nRev=G\nBogus=1\n"},
                                         {"empty.cfg", "; none\n"},
                                         {"rev.cfg", "[KYR]\nRev=G\n"},
                                         {"lan1.cfg", "[LAN1]\nDid=0x01\n"}})
            QVERIFY(writeFile(dir.filePath(name), text));
    }

    void backUpRestoreAndCompare()
    {
        SimProcess a, b({"--config", dir.filePath("other.cfg"), "--serial-number", "777"});
        QVERIFY(a.start() && b.start());
        const QString aFile = QStringLiteral("backup/lan_127.0.0.1_%1.kyr7").arg(a.port());
        const QString bFile = QStringLiteral("backup/lan_127.0.0.1_%1.kyr7").arg(b.port());
        CtlRun run = runCtl({"fetch", lan(a), lan(b), "-o", "backup"}, dir.path());
        QVERIFY2(run.code == 0, run.err.constData());
        clsKYR fetched;
        QVERIFY(LoadSimConfig(dir.filePath(aFile), fetched));
        QCOMPARE(ConfigFile::Text(fetched), demoFile);

        // Two backups compared: every difference, in section and table order.
        const QByteArray differences = "KYR SerialNumber: \"12345\" -> \"777\"\n"
                                       "KYR IpNum: \"192.168.0.10\" -> \"10.9.8.7\"\n"
                                       "KYR Netmask: \"255.255.255.0\" -> \"255.0.0.0\"\n";
        run = runCtl({"diff", aFile, bFile}, dir.path());
        QCOMPARE(run.code, 1);
        QCOMPARE(run.out, differences + "PGM1 RequestedVideoMode: 8 -> 4\nCAPPGM1 Language608F2: \"eng\" -> \"fra\"\n"
                                        "LAN1 Did: 0x61 -> 0x22\n");

        // Restored onto the other unit, which keeps its identity and network.
        run = runCtl({"apply", aFile, lan(b)}, dir.path());
        QVERIFY2(run.code == 0 && run.err.contains("saved; 3 settings changed; kept its own IpNum, Netmask"),
                 run.err.constData());
        clsKYR stored, expected = fetched;
        QVERIFY(LoadSimConfig(b.statePath(), stored));
        for (const char *const line : {"SerialNumber=777", "IpNum=10.9.8.7", "Netmask=255.0.0.0"})
            expected.SetKYRParam(QString::fromLatin1(line));
        QCOMPARE(ConfigFile::Text(stored), ConfigFile::Text(expected));

        run = runCtl({"diff", aFile, lan(b)}, dir.path());
        QCOMPARE(run.code, 1);
        QCOMPARE(run.out, differences);
        run = runCtl({"diff", "--settings-only", aFile, lan(b)}, dir.path());
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, QByteArray());
    }

    void diffOfFiles_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("b"); // written as b.cfg
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        const auto row = [](const char *name, const QStringList &args, const QByteArray &b, int code,
                            const QByteArray &out,
                            const QByteArray &err = {}) { QTest::newRow(name) << args << b << code << out << err; };
        const QStringList demoAndB{"demo.cfg", "b.cfg"};
        row("equal", demoAndB, demoFile, 0, {});
        row("text values quoted", demoAndB, "[CAPPGM1]\nLanguage608F2=s\"p\\n\n", 1,
            "CAPPGM1 Language608F2: \"eng\" -> \"s\\\"p\\\\n\"\n");
        row("a partial file compares what it gives", demoAndB, "[LAN1]\nDid=0x61\nSDid=0x05\n", 1,
            "LAN1 SDid: 0x01 -> 0x05\n");
        row("settings only: no identity, no unused stream", {"--settings-only", "demo.cfg", "b.cfg"},
            "[KYR]\nSerialNumber=9\n[LAN3]\nDid=0x77\n[LAN1]\nEcho=1\n", 1, "LAN1 Echo: 0 -> 1\n");
        row("several files: each line names its file", {"demo.cfg", "demo.cfg", "b.cfg"}, "[LAN1]\nEcho=1\n", 1,
            "b.cfg: LAN1 Echo: 0 -> 1\n");
        row("a malformed file is named with its line", demoAndB, "[LAN1]\nEcho 1\n", 2, {},
            "kyr7ctl: b.cfg:2: no \"=\" in \"Echo 1\"\n");
    }
    void diffOfFiles()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, b);
        QVERIFY(writeFile(dir.filePath("b.cfg"), b));
        const CtlRun run = runCtl(QStringList{"diff"} + args, dir.path());
        QTEST(run.out, "out");
        QTEST(run.err, "err");
        QTEST(run.code, "code");
    }

    void reportIsTheProgramsReport()
    {
        SimProcess sim;
        QVERIFY(sim.start());
        clsKYR demo;
        QVERIFY(LoadSimConfigText(demoFile, demo));
        QTemporaryDir written;
        QVERIFY(WriteReport(demo, written.path(), QDateTime::currentDateTime()));
        // The time stamp is the only line that may differ.
        const auto withoutStamp = [](const QByteArray &report) {
            QByteArrayList lines = report.split('\n');
            lines.removeIf([](const QByteArray &line) { return line.startsWith("Saved:  "); });
            return lines;
        };
        QFile file(written.filePath(QString::fromLatin1(kReportFileName)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArrayList expected = withoutStamp(file.readAll());
        QVERIFY(expected.size() > 100);
        for (const QString &operand : {lan(sim), QStringLiteral("demo.cfg")}) {
            const CtlRun run = runCtl({"report", operand}, dir.path());
            QCOMPARE(run.code, 0);
            QVERIFY(run.out.contains("\r\nSaved:  "));
            QCOMPARE(withoutStamp(run.out), expected);
        }
    }

    // A refused version and a dry run save nothing (the version rules
    // themselves: the conversation tests): the encoder was sent only
    // the listings asked for, no parameter line, no SAVE.
    void applyOutcomes_data()
    {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("said");
        QTest::addColumn<bool>("saved");
        const QStringList apply{"apply", "other.cfg"};
        const QByteArray refused = "FAILED: refused: Error, KYR7 requires at least version 1.7 of setup software: ";
        QTest::newRow("dry run") << QStringList{"--config", dir.filePath("other.cfg")}
                                 << QStringList{"apply", "--dry-run", "demo.cfg"} << 0
                                 << QByteArray("PGM1 RequestedVideoMode: 4 -> 8\nCAPPGM1 Language608F2: \"fra\" -> "
                                               "\"eng\"\nLAN1 Did: 0x22 -> 0x61\n")
                                 << QByteArray("would change 3 settings; nothing sent; kept its own IpNum, Netmask")
                                 << false;
        QTest::newRow("wrong product") << QStringList{"--part-required", "12345RA"} << apply << 1 << QByteArray()
                                       << refused + "This is not the correct setup software for this version of the "
                                                    "KYR7 the required software is 86-12345-01"
                                       << false;
        QTest::newRow("suggests a newer program")
            << QStringList{"--part-suggested", "47215RH", "--version-suggested", "1.9"} << apply << 0 << QByteArray()
            << QByteArray("note: Warning, version 1.9 is required for full functionality of the setup software")
            << true;
    }
    void applyOutcomes()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QStringList, args);
        QFETCH(QByteArray, said);
        QFETCH(bool, saved);
        SimProcess sim(simArgs);
        QVERIFY(sim.start());
        const CtlRun run = runCtl(args << lan(sim), dir.path());
        QTEST(run.code, "code");
        QTEST(run.out, "out");
        QVERIFY2(run.err.contains(said), run.err.constData());
        const QByteArray transcript = sim.transcript();
        QCOMPARE(transcript.contains("SAVE"), saved);
        QCOMPARE(QFile::exists(sim.statePath()), saved);
        if (!saved) // a dry run ends the session; a refused version, as the program does, just leaves
            QVERIFY2(!transcript.contains('=') && transcript.endsWith("\rEXIT\r") == (run.code == 0),
                     transcript.constData());
    }

    void failingEncodersFailAlone()
    {
        // One that works, one that refuses the connection, one that hangs up in
        // the middle of the save; standard error is a terminal.
        SimProcess good, hangsUp({"--close-after", "120"});
        QVERIFY(good.start() && hangsUp.start());
        const QString refusing = refusingTarget();
        ErrorTerminal terminal;
        QVERIFY(terminal.master >= 0);
        const CtlRun run = runCtl({"apply", "other.cfg", lan(good), refusing, lan(hangsUp)}, dir.path(), &terminal);
        QCOMPARE(run.code, 1);
        const QString shown = QString::fromLocal8Bit(run.err);
        for (const auto &[target, outcome] :
             {std::pair{lan(good), QStringLiteral("saved; 3 settings changed")},
              {refusing, QStringLiteral("FAILED: LAN Error: Connection refused")},
              {lan(hangsUp), QStringLiteral("FAILED: the save did not complete: The KYR7 closed the connection "
                                            "before the setup was complete")}})
            QVERIFY2(QRegularExpression(QRegularExpression::escape(target) + " +" + QRegularExpression::escape(outcome))
                         .match(shown)
                         .hasMatch(),
                     qPrintable(shown));
        QVERIFY(shown.contains("1 of 3 targets succeeded, 2 failed"));
        // The progress lines were drawn, redrawn in place, and taken away.
        QVERIFY2(shown.contains("\x1b[3A") && shown.contains("% "), qPrintable(shown));
        clsKYR stored;
        QVERIFY(LoadSimConfig(good.statePath(), stored));
        QCOMPARE(stored.sCAP(0, CapRow::Language608F2), QStringLiteral("fra"));
        QVERIFY(!QFile::exists(hangsUp.statePath()));
    }

    // A slow encoder named first and a quick one: one at a time, the quick one
    // is talked to only after the slow one is done; at once, it is done first.
    void jobsBoundTheEncodersAtOnce()
    {
        for (const bool oneAtATime : {true, false}) {
            SimProcess slow({"--delay", "20"}), quick;
            QVERIFY(slow.start() && quick.start());
            const CtlRun run =
                runCtl({"fetch", "--jobs", oneAtATime ? "1" : "2", "-o", "jobs/", lan(slow), lan(quick)}, dir.path());
            QVERIFY2(run.code == 0, run.err.constData());
            QCOMPARE(QFileInfo(quick.transcriptPath()).lastModified() > QFileInfo(slow.transcriptPath()).lastModified(),
                     oneAtATime);
        }
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("said");
        const QString refused = refusingTarget();
        const auto row = [](const char *name, const QStringList &args, const QString &said, int code = 2) {
            QTest::newRow(name) << args << code << said;
        };
        row("no command", {}, "no command given");
        row("unknown command", {"backup", "lan:10.0.0.7"}, "unknown command \"backup\"");
        row("unknown option", {"fetch", "--force", "lan:10.0.0.7"}, "Unknown option 'force'");
        row("option of another command", {"report", "--dry-run", "demo.cfg"}, "--dry-run is for apply only");
        row("jobs out of range", {"fetch", "--jobs", "0", "lan:10.0.0.7"}, "--jobs takes a number from 1 to 1000");
        row("no operand", {"fetch"}, "usage: kyr7ctl fetch TARGET...");
        row("one side of a diff", {"diff", "demo.cfg"}, "usage: kyr7ctl diff A B...");
        row("two reports", {"report", "demo.cfg", "other.cfg"}, "usage: kyr7ctl report FILE|TARGET");
        row("a file to fetch", {"fetch", "demo.cfg"}, "\"demo.cfg\" is not a target");
        row("empty address", {"fetch", "lan:"}, "\"lan:\" is not lan:ADDRESS or lan:ADDRESS:PORT");
        row("port out of range", {"fetch", "lan:10.0.0.7:70000"}, "is not lan:ADDRESS or lan:ADDRESS:PORT");
        row("serial port name", {"fetch", "serial:ttyS0"}, "\"ttyS0\" is not a serial port");
        row("modem without a number", {"fetch", "modem:COM2"}, "\"modem:COM2\" is not modem:DEVICE:NUMBER");
        row("one encoder twice", {"fetch", "lan:10.0.0.7", "lan:10.0.0.7:1080"},
            "lan:10.0.0.7 and lan:10.0.0.7:1080 are the same encoder");
        row("one port twice", {"fetch", "serial:COM1", "modem:/dev/ttyS0:555"}, "are the same encoder");
        row("no folder for the file", {"fetch", "lan:10.0.0.7", "-o", "no/such/a.cfg"}, "there is no folder");
        row("a target to apply", {"apply", "lan:10.0.0.7", "lan:10.0.0.8"}, "apply takes a file first");
        row("one address for many", {"apply", "--with-network", "demo.cfg", "lan:10.0.0.7", "lan:10.0.0.8"},
            "--with-network would give every target the same address");
        row("unreadable file", {"apply", "missing.cfg", "lan:10.0.0.7"}, "missing.cfg: cannot read: ");
        row("unknown name in a file", {"diff", "demo.cfg", "bad.cfg"},
            "bad.cfg:3: unknown parameter \"Bogus\" in [KYR]");
        row("a file without settings", {"apply", "empty.cfg", "lan:10.0.0.7"}, "empty.cfg: gives no setting");
        row("nothing in common", {"diff", "rev.cfg", "lan1.cfg"}, "rev.cfg and lan1.cfg give no setting in common");
        row("unreachable encoder", {"fetch", refused}, refused + "  FAILED: LAN Error: Connection refused", 1);
        row("unreachable side of a diff", {"diff", "demo.cfg", refused}, "FAILED: LAN Error: Connection refused");
        row("serial port not there", {"report", "serial:/dev/kyr7-none"}, "FAILED: /dev/kyr7-none is not available", 1);
    }
    void badInput()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, said);
        const CtlRun run = runCtl(args, dir.path());
        QVERIFY2(QString::fromLocal8Bit(run.err).contains(said), run.err.constData());
        QTEST(run.code, "code");
        QCOMPARE(run.out, QByteArray());
        QVERIFY(!QFile::exists(dir.filePath("lan_10.0.0.7.cfg")));
    }

    void serialAndModem_data()
    {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<QString>("target"); // PTY stands for the simulator's terminal
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("dialled"); // in the transcript
        const QStringList modem{"--pty", "--modem", "--connect-delay", "0"};
        QTest::newRow("serial line") << QStringList{"--pty"} << "serial:PTY" << QStringList{}
                                     << QByteArray("\rlogin\r");
        QTest::newRow("modem, the program's settings")
            << modem << "modem:PTY:5551234" << QStringList{} << QByteArray("AT\rATE0\rATX3\rATDP5551234\r");
        QTest::newRow("modem, the command line's")
            << modem << "modem:PTY:5551234" << QStringList{"--init", "AT&F", "--dial", "ATDT"}
            << QByteArray("AT\rAT&F\rATDT5551234\r");
    }
    void serialAndModem()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QString, target);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, dialled);
        QVERIFY(writeFile(home.filePath("KYR7Setup.conf"), "[Settings]\nMethod=MODEM\nINIT=ATE0|ATX3\nDIAL=ATDP\n"));
        SimProcess sim(simArgs);
        QVERIFY(sim.start());
        const CtlRun run =
            runCtl(QStringList{"fetch", target.replace("PTY", sim.ptyPath()), "-o", "line.cfg"} + options, dir.path());
        QVERIFY2(run.code == 0, run.err.constData());
        QVERIFY2(sim.transcript().contains(dialled), sim.transcript().constData());
        clsKYR fetched;
        QVERIFY(LoadSimConfig(dir.filePath("line.cfg"), fetched));
        QCOMPARE(ConfigFile::Text(fetched), demoFile);
    }
};

QTEST_GUILESS_MAIN(tst_kyr7ctl)
#include "tst_kyr7ctl.moc"
