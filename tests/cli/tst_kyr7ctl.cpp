// kyr7ctl run as a user runs it, against kyr7sim over loopback TCP and
// pseudo-terminals: backing up, comparing, reporting and restoring
// encoders, refusals, encoders that fail among others, and bad input.
#include "ConfigFile.h"
#include "DataTable.h"
#include "SilentPort.h"
#include "SimConfig.h"
#include "SimProcess.h"
#include "TestFiles.h"
#include "WriteReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

// The JSON document of a run; fails the test when there is none.
QJsonObject json(const CtlRun &run)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        qWarning("no JSON document (%s): %s", qPrintable(error.errorString()), run.out.constData());
    return document.object();
}

QJsonObject onlyTarget(const CtlRun &run)
{
    const QJsonArray targets = json(run).value("targets").toArray();
    return targets.size() == 1 ? targets.first().toObject() : QJsonObject();
}

// The stored configuration of a simulator as file text, for comparing end states.
QByteArray stored(const SimProcess &sim)
{
    return QFile::exists(sim.statePath()) ? ConfigFile::Text(sim.stored()) : QByteArray("(nothing stored)");
}

// The lines a kyr7sim session had received when "SAVE" arrived, counting it.
int linesUpToSave(const QByteArray &transcript)
{
    const qsizetype at = transcript.indexOf("\rSAVE\r");
    return at < 0 ? -1 : int(transcript.left(at + 1).count('\r')) + 1;
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
        qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());
        demoFile = ConfigFile::Text(SimDemo());
        for (const auto &[name, text] :
             {std::pair<const char *, QByteArray>{"demo.cfg", demoFile},
              {"other.cfg", kOtherUnit},
              {"bad.cfg", "[KYR]\nRev=G\nBogus=1\n"},
              {"empty.cfg", "; none\n"},
              {"rev.cfg", "[KYR]\nRev=G\n"},
              {"lan1.cfg", "[LAN1]\nDid=0x01\n"},
              {"three.cfg", "[CAPPGM1]\nLanguage608F1=fra\nLanguage608F2=spn\n[LAN1]\nDid=0x22\n"},
              {"bridgeA.cfg", "[OUTBRIDGE1]\nStreamType=0x0004\nBridgeType=1\n"},
              {"bridgeB.cfg", "[OUTBRIDGE1]\nStreamType=0x0004\nBridgeType=2\n"}})
            WriteTestFile(dir.filePath(name), text);
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
        // Its header says whose it is, where from, when and by what, as the
        // program's own files do.
        const QList<QByteArray> header = ReadTestFile(dir.filePath(aFile)).split('\n').mid(0, 2);
        QCOMPARE(header.value(0), "; KYR7 12345, software 36-47215-01 rev. G");
        QVERIFY2(QRegularExpression("^; fetched from " + QRegularExpression::escape(lan(a)) +
                                    " on \\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d by kyr7ctl " KYR7_VERSION "$")
                     .match(QString::fromLatin1(header.value(1)))
                     .hasMatch(),
                 header.value(1).constData());

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
        QVERIFY2(run.code == 0 && run.err.contains("saved and verified; 3 settings changed; kept its own "
                                                   "SerialNumber, IpNum, Netmask (--with-network takes the file's)"),
                 run.err.constData());
        for (const char *const line : {"SerialNumber=777", "IpNum=10.9.8.7", "Netmask=255.0.0.0"})
            fetched.SetKYRParam(QString::fromLatin1(line));
        QCOMPARE(stored(b), ConfigFile::Text(fetched));

        run = runCtl({"diff", aFile, lan(b)}, dir.path());
        QCOMPARE(run.code, 1);
        QCOMPARE(run.out, differences);
        run = runCtl({"diff", "--settings-only", aFile, lan(b)}, dir.path());
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, QByteArray());
    }

    void diffOfFiles_data()
    {
        // b: written as b.cfg
        const auto row =
            Table<QStringList, QByteArray, int, QByteArray, QByteArray>({"args", "b", "code", "out", "err"});
        const QStringList demoAndB{"demo.cfg", "b.cfg"};
        row("equal", demoAndB, demoFile, 0, {}, {});
        row("text values quoted", demoAndB, "[CAPPGM1]\nLanguage608F2=s\"p\\n\n", 1,
            "CAPPGM1 Language608F2: \"eng\" -> \"s\\\"p\\\\n\"\n", {});
        row("a partial file compares what it gives", demoAndB, "[LAN1]\nDid=0x61\nSDid=0x05\n", 1,
            "LAN1 SDid: 0x01 -> 0x05\n", {});
        row("settings only: no identity, no unused stream", {"--settings-only", "demo.cfg", "b.cfg"},
            "[KYR]\nSerialNumber=9\n[LAN3]\nDid=0x77\n[LAN1]\nEcho=1\n", 1, "LAN1 Echo: 0 -> 1\n", {});
        // Files without Rev are taken as written for a unit that saves the
        // bridge streams; one that gives an old revision does not save them.
        row("settings only: partial files apart in a bridge stream", {"--settings-only", "bridgeA.cfg", "b.cfg"},
            "[OUTBRIDGE1]\nStreamType=0x0004\nBridgeType=2\n", 1, "OUTBRIDGE1 BridgeType: 1 -> 2\n", {});
        row("settings only: partial files alike in their bridge stream", {"--settings-only", "bridgeA.cfg", "b.cfg"},
            "[OUTBRIDGE1]\nStreamType=0x0004\nBridgeType=1\n", 0, {}, {});
        row("settings only: a revision that does not save the bridge", {"--settings-only", "bridgeA.cfg", "b.cfg"},
            "[KYR]\nRev=B\n[OUTBRIDGE1]\nStreamType=0x0004\nBridgeType=2\n", 1, "OUTBRIDGE1 BridgeType: 1 -> 2\n", {});
        row("several files: each line names its file", {"demo.cfg", "demo.cfg", "b.cfg"}, "[LAN1]\nEcho=1\n", 1,
            "b.cfg: LAN1 Echo: 0 -> 1\n", {});
        row("a malformed file is named with its line", demoAndB, "[LAN1]\nEcho 1\n", 2, {},
            "kyr7ctl: b.cfg:2: no \"=\" in \"Echo 1\"\n");
    }
    void diffOfFiles()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, b);
        WriteTestFile(dir.filePath("b.cfg"), b);
        const CtlRun run = runCtl(QStringList{"diff"} + args, dir.path());
        QTEST(run.out, "out");
        QTEST(run.err, "err");
        QTEST(run.code, "code");
    }

    void reportIsTheProgramsReport()
    {
        SimProcess sim;
        QVERIFY(sim.start());
        QTemporaryDir written;
        QVERIFY(WriteReport(SimDemo(), written.path(), QDateTime::currentDateTime()));
        // The time stamp is the only line that may differ.
        const auto withoutStamp = [](const QByteArray &report) {
            QByteArrayList lines = report.split('\n');
            lines.removeIf([](const QByteArray &line) { return line.startsWith("Saved:  "); });
            return lines;
        };
        const QByteArrayList expected = withoutStamp(ReadTestFile(written.filePath(kReportFileName)));
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
        const auto row = Table<QStringList, QStringList, int, QByteArray, QByteArray, bool>(
            {"simArgs", "args", "code", "out", "said", "saved"});
        const QStringList apply{"apply", "other.cfg"};
        row("dry run", {"--config", dir.filePath("other.cfg")}, {"apply", "--dry-run", "demo.cfg"}, 0,
            "PGM1 RequestedVideoMode: 4 -> 8\nCAPPGM1 Language608F2: \"fra\" -> \"eng\"\nLAN1 Did: 0x22 -> 0x61\n",
            "would change 3 settings; nothing sent; kept its own IpNum, Netmask", false);
        row("wrong product", {"--part-required", "12345RA"}, apply, 1, {},
            "FAILED: refused: Error, KYR7 requires at least version 1.7 of setup software: This is not the correct "
            "setup software for this version of the KYR7 the required software is 86-12345-01",
            false);
        row("suggests a newer program", {"--part-suggested", "47215RH", "--version-suggested", "1.9"}, apply, 0, {},
            "note: Warning, version 1.9 is required for full functionality of the setup software", true);
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
             {std::pair{lan(good), QStringLiteral("saved and verified; 3 settings changed")},
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
        QCOMPARE(good.stored().sCAP(0, CapRow::Language608F2), QStringLiteral("fra"));
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

    // --- what apply promises

    // The settings sent are read back on a new connection and compared; the
    // JSON says so field by field.
    void applyIsVerified()
    {
        SimProcess sim;
        QVERIFY(sim.start());
        const CtlRun run = runCtl({"apply", "--json", "three.cfg", lan(sim)}, dir.path());
        QVERIFY2(run.code == 0, run.err.constData());
        QVERIFY2(run.err.contains("saved and verified; 3 settings changed"), run.err.constData());
        const QJsonObject root = json(run);
        QCOMPARE(root.value("kyr7ctl").toString(), QStringLiteral(KYR7_VERSION));
        QCOMPARE(root.value("command").toString(), QStringLiteral("apply"));
        QCOMPARE(root.value("exit_status").toInt(-1), 0);
        const QJsonObject target = onlyTarget(run);
        QCOMPARE(target.value("target").toString(), lan(sim));
        QCOMPARE(target.value("device").toString(), QStringLiteral("tcp:127.0.0.1:%1").arg(sim.port()));
        QCOMPARE(target.value("state").toString(), QStringLiteral("verified"));
        QVERIFY(target.value("ok").toBool() && target.value("message").isNull());
        const QJsonArray changes = target.value("changes").toArray();
        QCOMPARE(changes.size(), 3);
        QCOMPARE(changes.first().toObject(),
                 (QJsonObject{{"section", "CAPPGM1"}, {"name", "Language608F1"}, {"before", "eng"}, {"after", "fra"}}));
        const QJsonObject verification = target.value("verification").toObject();
        QCOMPARE(verification.value("result").toString(), QStringLiteral("verified"));
        QVERIFY(verification.value("checked").toInt() > 400); // every row of a full save
        QVERIFY(QFile::exists(target.value("log").toString()));
        const QJsonObject unit = target.value("unit").toObject();
        QCOMPARE(unit.value("limits").toObject().value("TransparentStreams").toInt(), 3);
        const QJsonObject program = unit.value("programs").toArray().first().toObject();
        QCOMPARE(program.value("video").toObject().value("requested_name").toString(), "HD 1080i 59.94 Hz");
        QCOMPARE(program.value("modules").toArray().first().toObject().value("source").toString(), "2000");
        // Two connections: the retrieval and save, then the read-back.
        QCOMPARE(sim.transcript().count("SETUP\r"), 3);
    }

    // The link drops when "SAVE" has arrived and before the unit stored it:
    // the save looks complete, the read-back finds the old settings.
    void linkLostAroundSaveIsNotVerified()
    {
        SimProcess first;
        QVERIFY(first.start());
        QCOMPARE(runCtl({"apply", "--no-verify", "three.cfg", lan(first)}, dir.path()).code, 0);
        const int lines = linesUpToSave(first.transcript());
        QVERIFY(lines > 100);
        SimProcess sim({"--close-after", QString::number(lines - 1)});
        QVERIFY(sim.start());
        const CtlRun run = runCtl({"apply", "--json", "three.cfg", lan(sim)}, dir.path());
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains("FAILED: saved but not verified: 3 of the ") &&
                     run.err.contains("note: not held: CAPPGM1 Language608F1: sent \"fra\", holds \"eng\"") &&
                     run.err.contains("note: not held: LAN1 Did: sent 0x22, holds 0x61"),
                 run.err.constData());
        const QJsonObject target = onlyTarget(run);
        QCOMPARE(target.value("state").toString(), QStringLiteral("not_verified"));
        QVERIFY(!target.value("ok").toBool());
        const QJsonObject verification = target.value("verification").toObject();
        QCOMPARE(verification.value("result").toString(), QStringLiteral("mismatch"));
        QCOMPARE(verification.value("mismatches").toArray().size(), 3);
        QCOMPARE(verification.value("mismatches").toArray().at(2).toObject(),
                 (QJsonObject{{"section", "LAN1"}, {"name", "Did"}, {"sent", "0x22"}, {"held", "0x61"}}));
        QVERIFY(run.err.contains(target.value("log").toString().toLocal8Bit()));
        QVERIFY(!QFile::exists(sim.statePath()));
    }

    // Settings the save would not carry: named before anything is sent, the
    // file refused for the target (status 2, only the retrieval and EXIT),
    // or saved without them on request; a dry run lists them.
    void unwritableSettings_data()
    {
        // Named: the line of each one not written.
        const auto row = Table<QStringList, QByteArray, QByteArray>({"simArgs", "file", "named"});
        row("a free stream's settings", {}, "[PORTA]\nBaud=19200\n",
            "PORTA Baud: 19200 (not written: the stream is free (StreamType 0x0000) after the apply");
        row("a file name on a caption stream", {}, "[LAN1]\nFileName=x.txt\n",
            "LAN1 FileName: \"x.txt\" (not written: the save writes this only with StreamType 0x0002 (constant "
            "data), not 0x0010");
        row("the bridge on revision B", {"--rev", "B"}, "[OUTBRIDGE1]\nStreamType=0x0004\n",
            "OUTBRIDGE1 StreamType: 0x0004 (not written: the unit's revision \"B\" does not save the bridge streams");
    }
    void unwritableSettings()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, named);
        WriteTestFile(dir.filePath("unwritable.cfg"), "[CAPPGM1]\nLanguage608F1=fra\n" + file);
        SimProcess sim(simArgs);
        QVERIFY(sim.start());
        const QStringList apply{"apply", "unwritable.cfg", lan(sim)};

        CtlRun run = runCtl(QStringList{"apply", "--dry-run", "unwritable.cfg", lan(sim)}, dir.path());
        QCOMPARE(run.code, 0);
        QVERIFY2(run.out.contains("CAPPGM1 Language608F1: \"eng\" -> \"fra\"\n" + named), run.out.constData());
        QVERIFY(run.err.contains("would change 1 settings; nothing sent; 1 settings would not be written"));

        run = runCtl(apply, dir.path());
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.contains("FAILED: refused: the file gives 1 settings the save cannot write") &&
                     run.err.contains("note: " + named),
                 run.err.constData());
        QVERIFY(!sim.transcript().contains('=') && sim.transcript().endsWith("\rEXIT\r"));

        run = runCtl(QStringList{"apply", "--skip-unwritable", "--json", "unwritable.cfg", lan(sim)}, dir.path());
        QVERIFY2(run.code == 0 && run.err.contains("saved and verified; 1 settings changed; 1 settings not written") &&
                     run.err.contains("note: " + named),
                 run.err.constData());
        const QJsonArray notWritten = onlyTarget(run).value("not_written").toArray();
        QCOMPARE(notWritten.size(), 1);
        QVERIFY(named.contains(notWritten.first().toObject().value("reason").toString().left(40).toLatin1()));
        QVERIFY(stored(sim).contains("Language608F1=fra"));
    }

    // An address that never answers fails within the connection's tries;
    // one at a time, the next target is still worked on.
    void silentTargetFailsInTime()
    {
        SilentPort silent;
        QVERIFY(silent.port != 0);
        SimProcess sim;
        QVERIFY(sim.start());
        const QString quiet = QStringLiteral("lan:127.0.0.1:%1").arg(silent.port);
        const CtlRun run =
            runCtl({"fetch", "-j", "1", "--connect-timeout", "1", "-o", "silent/", quiet, lan(sim)}, dir.path());
        QCOMPARE(run.code, 1);
        QVERIFY2(QRegularExpression(QRegularExpression::escape(quiet) +
                                    " +FAILED: LAN Error: Connection timed out \\(log: [^)]+\\.log\\)")
                     .match(QString::fromLocal8Bit(run.err))
                     .hasMatch(),
                 run.err.constData());
        QVERIFY(run.err.contains("1 of 2 targets succeeded, 1 failed"));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("silent/lan_127.0.0.1_%1.kyr7").arg(sim.port()))));
    }

    // --changed-only sends what differs and leaves the unit as a full save
    // would: the same edits through both, the two end states compared.
    // Two kyr7ctl processes started at once on one unit (two Ansible hosts
    // naming it) take turns: each retrieves what the other saved, so neither
    // change is undone by the other's full save.
    void runsOnOneDeviceTakeTurns()
    {
        SimProcess sim({"--rate", "40000"});
        QVERIFY(sim.start());
        WriteTestFile(dir.filePath("f1.cfg"), "[CAPPGM1]\nLanguage608F1=fra\n");
        WriteTestFile(dir.filePath("f2.cfg"), "[CAPPGM1]\nLanguage608F2=spn\n");
        QProcess first, second;
        for (QProcess *ctl : {&first, &second})
            ctl->setWorkingDirectory(dir.path());
        first.start(qEnvironmentVariable("KYR7CTL"), {"apply", "f1.cfg", lan(sim)});
        second.start(qEnvironmentVariable("KYR7CTL"), {"apply", "f2.cfg", lan(sim)});
        QVERIFY(first.waitForFinished(120000) && second.waitForFinished(120000));
        const QByteArray said = first.readAllStandardError() + second.readAllStandardError();
        QVERIFY2(first.exitCode() == 0 && second.exitCode() == 0, said.constData());
        QCOMPARE(said.count("saved and verified"), 2);
        // The holder is named when its lock file could be read at that moment.
        QVERIFY2(said.contains("to finish with this device"), said.constData());
        const QByteArray state = stored(sim);
        QVERIFY2(state.contains("Language608F1=fra") && state.contains("Language608F2=spn"), state.constData());
    }

    void changedOnlyEndsAsAFullSave_data()
    {
        // Visited: the only sections the changed-only save enters.
        const auto row = Table<QByteArray, QStringList>({"edits", "visited"});
        row("a language", "[CAPPGM2]\nLanguage608F2=deu\n", {"CAPPGM2"});
        row("a module removed", "[LAN2]\nStreamType=0x0000\n", {"LAN2"});
        row("a module added", "[LAN5]\nStreamType=0x0001\nProgram=1\nInsertLinesF1=0x00000800\n", {"LAN5"});
        row("a bridge", "[INBRIDGE1]\nStreamType=0x0004\nBridgeType=1\n[OUTBRIDGE1]\nStreamType=0x0004\nBridgeType=1\n",
            {"INBRIDGE1", "OUTBRIDGE1"});
        row("network settings kept", "[KYR]\nIpNum=10.1.1.1\n[PGM2]\nRequestedVideoMode=4\n", {"PGM2"});
    }
    void changedOnlyEndsAsAFullSave()
    {
        QFETCH(QByteArray, edits);
        QFETCH(QStringList, visited);
        WriteTestFile(dir.filePath("edits.cfg"), edits);
        SimProcess full, changed;
        QVERIFY(full.start() && changed.start());
        CtlRun run = runCtl({"apply", "edits.cfg", lan(full)}, dir.path());
        QVERIFY2(run.code == 0, run.err.constData());
        run = runCtl({"apply", "--changed-only", "edits.cfg", lan(changed)}, dir.path());
        QVERIFY2(run.code == 0 && run.err.contains("saved and verified"), run.err.constData());
        QCOMPARE(stored(changed), stored(full));
        QVERIFY(stored(full) != ConfigFile::Text(clsKYR()));

        // The save's conversation: from its "SETUP" to "SAVE", only the changed sections.
        const QByteArray transcript = changed.transcript();
        const qsizetype save = transcript.indexOf("\rSAVE\r");
        const qsizetype from = transcript.lastIndexOf("SETUP\r", save);
        QStringList entered;
        for (const QByteArray &line : transcript.mid(from, save - from).split('\r')) {
            Section section;
            int slot = 0;
            if (clsKYR::FindSection(QString::fromLatin1(line), section, slot))
                entered << QString::fromLatin1(line);
        }
        QCOMPARE(entered, visited);
    }

    // Every command gives one JSON document on standard output, its text on
    // standard error; a refused command line too.
    void jsonDocuments()
    {
        SimProcess sim;
        QVERIFY(sim.start());
        CtlRun run = runCtl({"fetch", "--json", "-o", "json.cfg", lan(sim)}, dir.path());
        QCOMPARE(run.code, 0);
        QJsonObject target = onlyTarget(run);
        QCOMPARE(target.value("state").toString(), QStringLiteral("fetched"));
        QCOMPARE(target.value("file").toString(), QStringLiteral("json.cfg"));
        QCOMPARE(target.value("verification").toObject().value("result").toString(), QStringLiteral("not_run"));
        QCOMPARE(target.value("unit").toObject().value("network").toObject().value("IpNum").toString(),
                 QStringLiteral("192.168.0.10"));

        run = runCtl({"diff", "--json", "demo.cfg", "other.cfg", lan(sim)}, dir.path());
        QCOMPARE(run.code, 1);
        QVERIFY(run.err.contains("other.cfg: LAN1 Did: 0x61 -> 0x22\n"));
        const QJsonArray differences = json(run).value("differences").toArray();
        QCOMPARE(differences.size(), 2);
        QJsonObject first = differences.first().toObject();
        QCOMPARE(first.value("b").toString(), QStringLiteral("other.cfg"));
        QVERIFY(!first.value("equal").toBool(true));
        QCOMPARE(first.value("lines").toArray().last().toObject(),
                 (QJsonObject{{"section", "LAN1"}, {"name", "Did"}, {"a", "0x61"}, {"b", "0x22"}}));
        QVERIFY(differences.last().toObject().value("equal").toBool());
        QVERIFY(differences.last().toObject().value("compared").toInt() > 1000);
        QCOMPARE(json(run).value("targets").toArray().first().toObject().value("state").toString(),
                 QStringLiteral("retrieved"));

        for (const QStringList &refused : {QStringList{"fetch", "--json", "--jobs", "x", "lan:10.0.0.7"},
                                           QStringList{"apply", "--json", "missing.cfg", "lan:10.0.0.7"}}) {
            run = runCtl(refused, dir.path());
            QCOMPARE(run.code, 2);
            QCOMPARE(json(run).value("exit_status").toInt(), 2);
            QVERIFY(!json(run).value("error").toString().isEmpty());
            QVERIFY(json(run).value("targets").toArray().isEmpty());
        }
    }

    void badInput_data()
    {
        const auto row = Table<QStringList, QString, int>({"args", "said", "code"});
        const QString refused = refusingTarget();
        row("no command", {}, "no command given", 2);
        row("unknown command", {"backup", "lan:10.0.0.7"}, "unknown command \"backup\"", 2);
        row("unknown option", {"fetch", "--force", "lan:10.0.0.7"}, "Unknown option 'force'", 2);
        row("option of another command", {"report", "--dry-run", "demo.cfg"}, "--dry-run is for apply only", 2);
        row("jobs out of range", {"fetch", "--jobs", "0", "lan:10.0.0.7"}, "--jobs takes a number from 1 to 1000", 2);
        row("verification of a fetch", {"fetch", "--no-verify", "lan:10.0.0.7"}, "--no-verify is for apply only", 2);
        row("a time-out that is no number", {"apply", "--verify-timeout", "soon", "demo.cfg", "lan:10.0.0.7"},
            "--verify-timeout takes a number of seconds from 0 to 3600, not \"soon\"", 2);
        row("no operand", {"fetch"}, "usage: kyr7ctl fetch TARGET...", 2);
        row("one side of a diff", {"diff", "demo.cfg"}, "usage: kyr7ctl diff A B...", 2);
        row("two reports", {"report", "demo.cfg", "other.cfg"}, "usage: kyr7ctl report FILE|TARGET", 2);
        row("a file to fetch", {"fetch", "demo.cfg"}, "\"demo.cfg\" is not a target", 2);
        row("empty address", {"fetch", "lan:"}, "\"lan:\" is not lan:ADDRESS or lan:ADDRESS:PORT", 2);
        row("port out of range", {"fetch", "lan:10.0.0.7:70000"}, "is not lan:ADDRESS or lan:ADDRESS:PORT", 2);
        row("serial port name", {"fetch", "serial:ttyS0"}, "\"ttyS0\" is not a serial port", 2);
        row("modem without a number", {"fetch", "modem:COM2"}, "\"modem:COM2\" is not modem:DEVICE:NUMBER", 2);
        row("one encoder twice", {"fetch", "lan:10.0.0.7", "lan:10.0.0.7:1080"},
            "lan:10.0.0.7 and lan:10.0.0.7:1080 are the same encoder", 2);
        row("one port twice", {"fetch", "serial:COM1", "modem:/dev/ttyS0:555"}, "are the same encoder", 2);
        QFile::link("/dev/null", dir.filePath("null-link"));
        row("a device and a link to it", {"fetch", "serial:/dev/null", "serial:" + dir.filePath("null-link")},
            "serial:/dev/null and serial:" + dir.filePath("null-link") + " are the same encoder (tty:/dev/null)", 2);
        row("no folder for the file", {"fetch", "lan:10.0.0.7", "-o", "no/such/a.cfg"}, "there is no folder", 2);
        row("a target to apply", {"apply", "lan:10.0.0.7", "lan:10.0.0.8"}, "apply takes a file first", 2);
        row("one address for many", {"apply", "--with-network", "demo.cfg", "lan:10.0.0.7", "lan:10.0.0.8"},
            "--with-network would give every target the same address", 2);
        row("unreadable file", {"apply", "missing.cfg", "lan:10.0.0.7"}, "missing.cfg: cannot read: ", 2);
        row("unknown name in a file", {"diff", "demo.cfg", "bad.cfg"},
            "bad.cfg:3: unknown parameter \"Bogus\" in [KYR]", 2);
        row("a file without settings", {"apply", "empty.cfg", "lan:10.0.0.7"}, "empty.cfg: gives no setting", 2);
        row("nothing in common", {"diff", "rev.cfg", "lan1.cfg"}, "rev.cfg and lan1.cfg give no setting in common", 2);
        row("unreachable encoder", {"fetch", refused}, refused + "  FAILED: LAN Error: Connection refused", 1);
        row("unreachable side of a diff", {"diff", "demo.cfg", refused}, "FAILED: LAN Error: Connection refused", 2);
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
        // PTY stands for the simulator's terminal; dialled: in the transcript.
        const auto row =
            Table<QStringList, QString, QStringList, QByteArray>({"simArgs", "target", "options", "dialled"});
        const QStringList modem{"--pty", "--modem", "--connect-delay", "0"};
        row("serial line", {"--pty"}, "serial:PTY", {}, "\rlogin\r");
        row("modem, the program's settings", modem, "modem:PTY:5551234", {}, "AT\rATE0\rATX3\rATDP5551234\r");
        row("modem, the command line's", modem, "modem:PTY:5551234", {"--init", "AT&F", "--dial", "ATDT"},
            "AT\rAT&F\rATDT5551234\r");
    }
    void serialAndModem()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QString, target);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, dialled);
        WriteTestFile(home.filePath("KYR7Setup.conf"), "[Settings]\nMethod=MODEM\nINIT=ATE0|ATX3\nDIAL=ATDP\n");
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
