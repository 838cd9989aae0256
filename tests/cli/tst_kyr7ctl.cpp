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
#include <unistd.h>

namespace {

struct CtlRun
{
    int code = -1;
    QByteArray out;
    QByteArray err; // standard error, or what the terminal showed
};

// A pseudo-terminal to stand for a user's terminal on a child's standard error.
class ErrorTerminal
{
public:
    ErrorTerminal()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) {
            path = QString::fromLocal8Bit(::ptsname(master));
            // Held open here too, so the terminal outlives the child.
            slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
            ::fcntl(master, F_SETFL, O_NONBLOCK);
        }
    }
    ~ErrorTerminal()
    {
        ::close(slave);
        ::close(master);
    }
    void drain()
    {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(master, buffer, sizeof buffer)) > 0)
            shown.append(buffer, n);
    }
    QString path;
    QByteArray shown;

private:
    int master = -1;
    int slave = -1;
};

CtlRun runCtl(const QStringList &args, const QString &folder, ErrorTerminal *terminal = nullptr)
{
    QProcess ctl;
    ctl.setWorkingDirectory(folder);
    if (terminal)
        ctl.setStandardErrorFile(terminal->path);
    ctl.start(qEnvironmentVariable("KYR7CTL"), args);
    QDeadlineTimer deadline(120000);
    while (!ctl.waitForFinished(50) && !deadline.hasExpired()) {
        if (terminal)
            terminal->drain();
    }
    if (terminal)
        terminal->drain();
    CtlRun run;
    run.code = ctl.exitStatus() == QProcess::NormalExit ? ctl.exitCode() : -1;
    run.out = ctl.readAllStandardOutput();
    run.err = terminal ? terminal->shown : ctl.readAllStandardError();
    return run;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString lan(const SimProcess &sim)
{
    return QStringLiteral("lan:127.0.0.1:%1").arg(sim.port());
}

// A port on which nothing listens.
quint16 refusingPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

// The demo encoder with other settings and another identity and network.
const QByteArray kOtherUnit = "[KYR]\nIpNum=10.9.8.7\nNetmask=255.0.0.0\n[PGM1]\nRequestedVideoMode=4\n"
                              "[CAPPGM1]\nLanguage608F2=fra\n[LAN1]\nDid=0x22\n";

} // namespace

class tst_kyr7ctl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void backUpRestoreAndCompare();
    void diffOfFiles_data();
    void diffOfFiles();
    void reportIsTheProgramsReport();
    void dryRunSendsOnlyTheRetrievalAndExit();
    void versionCheck_data();
    void versionCheck();
    void failingEncodersFailAlone();
    void jobsBoundTheEncodersAtOnce();
    void badInput_data();
    void badInput();
    void serialAndModem_data();
    void serialAndModem();

private:
    QTemporaryDir home;  // the user's configuration folder: the program's connection settings
    QTemporaryDir dir;   // the working folder
    QByteArray demoFile; // the demo encoder's configuration file
};

void tst_kyr7ctl::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    clsKYR demo;
    QVERIFY(DefaultSimConfig(demo));
    demoFile = ConfigFile::Text(demo);
    QVERIFY(writeFile(dir.filePath(QStringLiteral("demo.cfg")), demoFile));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("other.cfg")), kOtherUnit));
}

void tst_kyr7ctl::backUpRestoreAndCompare()
{
    SimProcess a, b({QStringLiteral("--config"), dir.filePath(QStringLiteral("other.cfg")),
                     QStringLiteral("--serial-number"), QStringLiteral("777")});
    QVERIFY(a.start() && b.start());
    const QString aFile = QStringLiteral("backup/lan_127.0.0.1_%1.cfg").arg(a.port());
    const QString bFile = QStringLiteral("backup/lan_127.0.0.1_%1.cfg").arg(b.port());
    CtlRun run =
        runCtl({QStringLiteral("fetch"), lan(a), lan(b), QStringLiteral("-o"), QStringLiteral("backup")}, dir.path());
    QVERIFY2(run.code == 0, run.err.constData());
    clsKYR fetched;
    QVERIFY(LoadSimConfig(dir.filePath(aFile), fetched));
    QCOMPARE(ConfigFile::Text(fetched), demoFile);

    // Two backups compared: every difference, in section and table order.
    const QByteArray differences = "KYR SerialNumber: \"12345\" -> \"777\"\n"
                                   "KYR IpNum: \"192.168.0.10\" -> \"10.9.8.7\"\n"
                                   "KYR Netmask: \"255.255.255.0\" -> \"255.0.0.0\"\n";
    const QByteArray settings = "PGM1 RequestedVideoMode: 8 -> 4\n"
                                "CAPPGM1 Language608F2: \"eng\" -> \"fra\"\n"
                                "LAN1 Did: 0x61 -> 0x22\n";
    run = runCtl({QStringLiteral("diff"), aFile, bFile}, dir.path());
    QCOMPARE(run.code, 1);
    QCOMPARE(run.out, differences + settings);

    // Restored onto the other unit, which keeps its identity and network.
    run = runCtl({QStringLiteral("apply"), aFile, lan(b)}, dir.path());
    QVERIFY2(run.code == 0 && run.err.contains("saved; 3 settings changed; kept its own IpNum, Netmask"),
             run.err.constData());
    clsKYR stored, expected = fetched;
    QVERIFY(LoadSimConfig(b.statePath(), stored));
    for (const char *const line : {"SerialNumber=777", "IpNum=10.9.8.7", "Netmask=255.0.0.0"})
        expected.SetKYRParam(QString::fromLatin1(line));
    QCOMPARE(ConfigFile::Text(stored), ConfigFile::Text(expected));

    run = runCtl({QStringLiteral("diff"), aFile, lan(b)}, dir.path());
    QCOMPARE(run.code, 1);
    QCOMPARE(run.out, differences);
    run = runCtl({QStringLiteral("diff"), QStringLiteral("--settings-only"), aFile, lan(b)}, dir.path());
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, QByteArray());
}

void tst_kyr7ctl::diffOfFiles_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("b"); // written as b.cfg; demo.cfg and other.cfg are there too
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    const QStringList demoAndB{"demo.cfg", "b.cfg"};
    QTest::newRow("equal") << demoAndB << demoFile << 0 << QByteArray() << QByteArray();
    QTest::newRow("text values quoted") << demoAndB << QByteArray("[CAPPGM1]\nLanguage608F2=s\"p\\n\n") << 1
                                        << QByteArray("CAPPGM1 Language608F2: \"eng\" -> \"s\\\"p\\\\n\"\n")
                                        << QByteArray();
    QTest::newRow("a partial file compares what it gives")
        << demoAndB << QByteArray("[LAN1]\nDid=0x61\nSDid=0x05\n") << 1 << QByteArray("LAN1 SDid: 0x01 -> 0x05\n")
        << QByteArray();
    QTest::newRow("settings only: no identity, no unused stream")
        << QStringList{"--settings-only", "demo.cfg", "b.cfg"}
        << QByteArray("[KYR]\nSerialNumber=9\n[LAN3]\nDid=0x77\n[LAN1]\nEcho=1\n") << 1
        << QByteArray("LAN1 Echo: 0 -> 1\n") << QByteArray();
    QTest::newRow("several files: each line names its file")
        << QStringList{"demo.cfg", "demo.cfg", "b.cfg"} << QByteArray("[LAN1]\nEcho=1\n") << 1
        << QByteArray("b.cfg: LAN1 Echo: 0 -> 1\n") << QByteArray();
    QTest::newRow("a malformed file is named with its line")
        << demoAndB << QByteArray("[LAN1]\nEcho 1\n") << 2 << QByteArray()
        << QByteArray("kyr7ctl: b.cfg:2: no \"=\" in \"Echo 1\"\n");
}

void tst_kyr7ctl::diffOfFiles()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, b);
    QFETCH(int, code);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QVERIFY(writeFile(dir.filePath(QStringLiteral("b.cfg")), b));
    const CtlRun run = runCtl(QStringList{QStringLiteral("diff")} + args, dir.path());
    QCOMPARE(run.out, out);
    QCOMPARE(run.err, err);
    QCOMPARE(run.code, code);
}

void tst_kyr7ctl::reportIsTheProgramsReport()
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
    const QByteArrayList expected = withoutStamp(readFile(written.filePath(QString::fromLatin1(kReportFileName))));
    QVERIFY(expected.size() > 100);
    for (const QString &operand : {lan(sim), QStringLiteral("demo.cfg")}) {
        const CtlRun run = runCtl({QStringLiteral("report"), operand}, dir.path());
        QCOMPARE(run.code, 0);
        QVERIFY(run.out.contains("\r\nSaved:  "));
        QCOMPARE(withoutStamp(run.out), expected);
    }
}

void tst_kyr7ctl::dryRunSendsOnlyTheRetrievalAndExit()
{
    SimProcess sim({QStringLiteral("--config"), dir.filePath(QStringLiteral("other.cfg"))});
    QVERIFY(sim.start());
    const CtlRun run = runCtl(
        {QStringLiteral("apply"), QStringLiteral("--dry-run"), QStringLiteral("demo.cfg"), lan(sim)}, dir.path());
    QVERIFY2(run.code == 0, run.err.constData());
    QCOMPARE(run.out, QByteArray("PGM1 RequestedVideoMode: 4 -> 8\nCAPPGM1 Language608F2: \"fra\" -> \"eng\"\n"
                                 "LAN1 Did: 0x22 -> 0x61\n"));
    QVERIFY2(run.err.contains("would change 3 settings; nothing sent; kept its own IpNum, Netmask"),
             run.err.constData());
    // Nothing but listings asked for and the exit: no parameter line, no SAVE.
    const QByteArray transcript = sim.transcript();
    QVERIFY(transcript.endsWith("\rEXIT\r"));
    QVERIFY(!transcript.contains('=') && !transcript.contains("SAVE"));
    QVERIFY(!QFile::exists(sim.statePath()));
}

void tst_kyr7ctl::versionCheck_data()
{
    QTest::addColumn<QStringList>("identity");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("said");
    QTest::addColumn<bool>("saved");
    QTest::newRow("wrong product") << QStringList{"--part-required", "12345RA"} << 1
                                   << QByteArray("FAILED: refused: Error, KYR7 requires at least version 1.7 of setup "
                                                 "software: This is not the correct setup software for this version "
                                                 "of the KYR7 the required software is 86-12345-01")
                                   << false;
    QTest::newRow("needs a newer program")
        << QStringList{"--part-required", "47215RH", "--part-suggested", "47215RH"} << 1
        << QByteArray("FAILED: refused: Error, KYR7 requires at least version 1.7 of setup software: This software "
                      "is not as new as the KYR7 software. Please use the latest version")
        << false;
    QTest::newRow("suggests a newer program")
        << QStringList{"--part-suggested", "47215RH", "--version-suggested", "1.9"} << 0
        << QByteArray("note: Warning, version 1.9 is required for full functionality of the setup software") << true;
}

void tst_kyr7ctl::versionCheck()
{
    QFETCH(QStringList, identity);
    QFETCH(int, code);
    QFETCH(QByteArray, said);
    QFETCH(bool, saved);
    SimProcess sim(identity);
    QVERIFY(sim.start());
    const CtlRun run = runCtl({QStringLiteral("apply"), QStringLiteral("other.cfg"), lan(sim)}, dir.path());
    QCOMPARE(run.code, code);
    QVERIFY2(run.err.contains(said), run.err.constData());
    QCOMPARE(sim.transcript().contains("SAVE"), saved);
    QCOMPARE(QFile::exists(sim.statePath()), saved);
}

void tst_kyr7ctl::failingEncodersFailAlone()
{
    // One that works, one that refuses the connection, one that hangs up in
    // the middle of the save; standard error is a terminal.
    SimProcess good, hangsUp({QStringLiteral("--close-after"), QStringLiteral("120")});
    QVERIFY(good.start() && hangsUp.start());
    const QString refusing = QStringLiteral("lan:127.0.0.1:%1").arg(refusingPort());
    ErrorTerminal terminal;
    QVERIFY(!terminal.path.isEmpty());
    const CtlRun run = runCtl({QStringLiteral("apply"), QStringLiteral("other.cfg"), lan(good), refusing, lan(hangsUp)},
                              dir.path(), &terminal);
    QCOMPARE(run.code, 1);
    const QString shown = QString::fromLocal8Bit(run.err);
    const auto summary = [&](const QString &target, const QString &outcome) {
        return QRegularExpression(QRegularExpression::escape(target) + QStringLiteral(" +") +
                                  QRegularExpression::escape(outcome))
            .match(shown)
            .hasMatch();
    };
    QVERIFY2(summary(lan(good), QStringLiteral("saved; 3 settings changed")), qPrintable(shown));
    QVERIFY2(summary(refusing, QStringLiteral("FAILED: LAN Error: Connection refused")), qPrintable(shown));
    QVERIFY2(summary(lan(hangsUp), QStringLiteral("FAILED: the save did not complete: The KYR7 closed the connection "
                                                  "before the setup was complete")),
             qPrintable(shown));
    QVERIFY(shown.contains(QStringLiteral("1 of 3 targets succeeded, 2 failed")));
    // The progress lines were drawn, redrawn in place, and taken away.
    QVERIFY2(shown.contains(QStringLiteral("\x1b[3A")) && shown.contains(QStringLiteral("% ")), qPrintable(shown));
    clsKYR stored;
    QVERIFY(LoadSimConfig(good.statePath(), stored));
    QCOMPARE(stored.sCAP(0, CapRow::Language608F2), QStringLiteral("fra"));
    QVERIFY(!QFile::exists(hangsUp.statePath()));
}

void tst_kyr7ctl::jobsBoundTheEncodersAtOnce()
{
    // A slow encoder named first and a quick one: one at a time, the quick
    // one is talked to only after the slow one is done; at once, it is done first.
    for (const bool oneAtATime : {true, false}) {
        SimProcess slow({QStringLiteral("--delay"), QStringLiteral("20")}), quick;
        QVERIFY(slow.start() && quick.start());
        const CtlRun run = runCtl({QStringLiteral("fetch"), QStringLiteral("--jobs"), oneAtATime ? "1" : "2",
                                   QStringLiteral("-o"), QStringLiteral("jobs/"), lan(slow), lan(quick)},
                                  dir.path());
        QVERIFY2(run.code == 0, run.err.constData());
        const QDateTime slowEnd = QFileInfo(slow.transcriptPath()).lastModified();
        const QDateTime quickEnd = QFileInfo(quick.transcriptPath()).lastModified();
        QCOMPARE(quickEnd > slowEnd, oneAtATime);
    }
}

void tst_kyr7ctl::badInput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("said");
    const QString refused = QStringLiteral("lan:127.0.0.1:%1").arg(refusingPort());
    const auto row = [](const char *name, const QStringList &args, int code, const QString &said) {
        QTest::newRow(name) << args << code << said;
    };
    row("no command", {}, 2, "no command given");
    row("unknown command", {"backup", "lan:10.0.0.7"}, 2, "unknown command \"backup\"");
    row("unknown option", {"fetch", "--force", "lan:10.0.0.7"}, 2, "Unknown option 'force'");
    row("option of another command", {"report", "--dry-run", "demo.cfg"}, 2, "--dry-run is for apply only");
    row("jobs out of range", {"fetch", "--jobs", "0", "lan:10.0.0.7"}, 2, "--jobs takes a number from 1 to 1000");
    row("no operand", {"fetch"}, 2, "usage: kyr7ctl fetch TARGET...");
    row("one side of a diff", {"diff", "demo.cfg"}, 2, "usage: kyr7ctl diff A B...");
    row("two reports", {"report", "demo.cfg", "other.cfg"}, 2, "usage: kyr7ctl report FILE|TARGET");
    row("a file to fetch", {"fetch", "demo.cfg"}, 2, "\"demo.cfg\" is not a target");
    row("empty address", {"fetch", "lan:"}, 2, "\"lan:\" is not lan:ADDRESS or lan:ADDRESS:PORT");
    row("port out of range", {"fetch", "lan:10.0.0.7:70000"}, 2, "is not lan:ADDRESS or lan:ADDRESS:PORT");
    row("serial port name", {"fetch", "serial:ttyS0"}, 2, "\"ttyS0\" is not a serial port");
    row("modem without a number", {"fetch", "modem:COM2"}, 2, "\"modem:COM2\" is not modem:DEVICE:NUMBER");
    row("one encoder twice", {"fetch", "lan:10.0.0.7", "lan:10.0.0.7:1080"}, 2,
        "lan:10.0.0.7 and lan:10.0.0.7:1080 are the same encoder");
    row("one port twice", {"fetch", "serial:COM1", "modem:/dev/ttyS0:555"}, 2, "are the same encoder");
    row("no folder for the file", {"fetch", "lan:10.0.0.7", "-o", "no/such/a.cfg"}, 2, "there is no folder");
    row("a target to apply", {"apply", "lan:10.0.0.7", "lan:10.0.0.8"}, 2, "apply takes a file first");
    row("one address for many", {"apply", "--with-network", "demo.cfg", "lan:10.0.0.7", "lan:10.0.0.8"}, 2,
        "--with-network would give every target the same address");
    row("unreadable file", {"apply", "missing.cfg", "lan:10.0.0.7"}, 2, "missing.cfg: cannot read: ");
    row("unknown name in a file", {"diff", "demo.cfg", "bad.cfg"}, 2,
        "bad.cfg:3: unknown parameter \"Bogus\" in [KYR]");
    row("a file without settings", {"apply", "empty.cfg", "lan:10.0.0.7"}, 2, "empty.cfg: gives no setting");
    row("nothing in common", {"diff", "rev.cfg", "lan1.cfg"}, 2, "rev.cfg and lan1.cfg give no setting in common");
    row("unreachable encoder", {"fetch", refused}, 1, refused + "  FAILED: LAN Error: Connection refused");
    row("unreachable side of a diff", {"diff", "demo.cfg", refused}, 2, "FAILED: LAN Error: Connection refused");
    row("serial port not there", {"report", "serial:/dev/kyr7-none"}, 1, "FAILED: /dev/kyr7-none is not available");
}

void tst_kyr7ctl::badInput()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, said);
    for (const auto &[name, text] :
         {std::pair{"bad.cfg", "[KYR]\nRev=G\nBogus=1\n"}, std::pair{"empty.cfg", "; none\n"},
          std::pair{"rev.cfg", "[KYR]\nRev=G\n"}, std::pair{"lan1.cfg", "[LAN1]\nDid=0x01\n"}})
        QVERIFY(writeFile(dir.filePath(QString::fromLatin1(name)), text));
    const CtlRun run = runCtl(args, dir.path());
    QVERIFY2(QString::fromLocal8Bit(run.err).contains(said), run.err.constData());
    QCOMPARE(run.code, code);
    QCOMPARE(run.out, QByteArray());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("lan_10.0.0.7.cfg"))));
}

void tst_kyr7ctl::serialAndModem_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<QString>("target"); // PTY stands for the simulator's terminal
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("dialled"); // in the transcript
    QTest::newRow("serial line") << QStringList{"--pty"} << "serial:PTY" << QStringList{} << QByteArray("\rlogin\r");
    QTest::newRow("modem, the program's settings")
        << QStringList{"--pty", "--modem", "--connect-delay", "0"} << "modem:PTY:5551234" << QStringList{}
        << QByteArray("AT\rATE0\rATX3\rATDP5551234\r");
    QTest::newRow("modem, the command line's")
        << QStringList{"--pty", "--modem", "--connect-delay", "0"} << "modem:PTY:5551234"
        << QStringList{"--init", "AT&F", "--dial", "ATDT"} << QByteArray("AT\rAT&F\rATDT5551234\r");
}

void tst_kyr7ctl::serialAndModem()
{
    QFETCH(QStringList, simArgs);
    QFETCH(QString, target);
    QFETCH(QStringList, options);
    QFETCH(QByteArray, dialled);
    QVERIFY(writeFile(home.filePath(QStringLiteral("KYR7Setup.conf")),
                      "[Settings]\nMethod=MODEM\nINIT=ATE0|ATX3\nDIAL=ATDP\n"));
    SimProcess sim(simArgs);
    QVERIFY(sim.start());
    target.replace(QStringLiteral("PTY"), sim.ptyPath());
    const CtlRun run =
        runCtl(QStringList{QStringLiteral("fetch"), target, QStringLiteral("-o"), QStringLiteral("line.cfg")} + options,
               dir.path());
    QVERIFY2(run.code == 0, run.err.constData());
    QVERIFY2(sim.transcript().contains(dialled), sim.transcript().constData());
    clsKYR fetched;
    QVERIFY(LoadSimConfig(dir.filePath(QStringLiteral("line.cfg")), fetched));
    QCOMPARE(ConfigFile::Text(fetched), demoFile);
}

QTEST_GUILESS_MAIN(tst_kyr7ctl)
#include "tst_kyr7ctl.moc"
