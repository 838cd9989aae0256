// What applying a file to a unit does, worked out before anything is sent
// (ApplyPlan), and the read-back that checks what a save left (ReadBack),
// run against kyr7sim over loopback TCP.
#include "ApplyPlan.h"
#include "ConfigFile.h"
#include "DataTable.h"
#include "ManualStepTimer.h"
#include "ReadBack.h"
#include "ScriptedMessages.h"
#include "SimConfig.h"
#include "SimProcess.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

namespace {

Configuration fileOf(const QByteArray &text)
{
    return Configuration::FromFile(ConfigFile::Parse(text));
}

// A read-back to 127.0.0.1 on a port where nothing listens yet, its pause
// between attempts ticked by the test.
struct ReadBackRig
{
    ReadBackRig()
    {
        QTcpServer probe; // a free port
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
        readBack.conversation().TcpPort = port;
        lan.Method = QStringLiteral("LAN");
        lan.IP = QStringLiteral("127.0.0.1");
    }
    quint16 port = 0;
    QtStepTimer steps;
    ManualStepTimer pause;
    ScriptedMessages messages;
    ReadBack readBack{steps, pause, messages};
    QSignalSpy finished{&readBack, &ReadBack::finished};
    ConnectionSettings lan;
};

QStringList visits(const SavePlan &plan)
{
    QStringList out;
    for (const SaveVisit &visit : plan) {
        QStringList rows;
        for (int row : visit.rows)
            rows << ApplyPlan::RowName(visit.section, row);
        out << clsKYR::SectionName(visit.section, visit.slot) + u':' + rows.join(u',');
    }
    return out;
}

} // namespace

class tst_apply : public QObject
{
    Q_OBJECT
private slots:
    // Each setting of the file lands in one place: changed, kept by the
    // unit on purpose, or not written by the save (and why).
    void whereAFilesSettingsGo_data()
    {
        const auto row = Table<QByteArray, bool, int, QStringList, QStringList>(
            {"file", "withNetwork", "changes", "kept", "notWritten"});
        row("a setting the save carries", "[CAPPGM1]\nLanguage608F1=fra\n", false, 1, {}, {});
        row("what the unit holds already", "[PORTA]\nBaud=9600\n[LAN1]\nDid=0x61\n", false, 0, {}, {});
        row("identity and detected video kept", "[KYR]\nSerialNumber=9\n[PGM1]\nVideoMode=3\n", false, 0,
            {"SerialNumber", "VideoMode"}, {});
        row("network kept unless taken", "[KYR]\nIpNum=10.0.0.9\n", false, 0, {"IpNum"}, {});
        row("network taken", "[KYR]\nIpNum=10.0.0.9\n", true, 1, {}, {});
        row("a free stream's rows", "[PORTA]\nBaud=19200\n", false, 0, {}, {"PORTA Baud"});
        row("a stream the file sets up is written", "[PORTA]\nStreamType=0x0001\nBaud=19200\n", false, 2, {}, {});
        row("a stream the file frees", "[LAN2]\nStreamType=0x0000\nDid=0x77\n", false, 1, {}, {"LAN2 Did"});
        row("a file name on a transparent stream", "[LAN2]\nFileName=x.txt\n", false, 0, {}, {"LAN2 FileName"});
        row("a port address on a serial port", "[PORTA]\nStreamType=0x0001\nPortAddr=3000\n", false, 1, {},
            {"PORTA PortAddr"});
    }
    void whereAFilesSettingsGo()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, withNetwork);
        const ApplyPlan plan = ApplyPlan::Make(fileOf(file), SimDemo(), withNetwork);
        QStringList kept, notWritten;
        for (const auto &k : plan.kept)
            kept << ApplyPlan::RowName(k.section, k.row);
        for (const auto &u : plan.notWritten) {
            notWritten << clsKYR::SectionName(u.section, u.slot) + u' ' + ApplyPlan::RowName(u.section, u.row);
            QVERIFY(!u.reason.isEmpty());
        }
        QTEST(int(plan.changes.size()), "changes");
        QTEST(kept, "kept");
        QTEST(notWritten, "notWritten");
    }

    // The changed-only plan: the rows that differ in the save's order; a
    // stream whose type changes is written whole, its StreamType first.
    void changedOnlyPlan_data()
    {
        const auto row = Table<QByteArray, QStringList>({"file", "plan"});
        row("nothing changes", "[LAN1]\nDid=0x61\n", {});
        row("two rows of two sections",
            "[LAN1]\nSDid=0x02\nDid=0x22\n[CAPPGM1]\nLanguage608F2=spn\nOverwriteUpstream=0\n",
            {"CAPPGM1:OverwriteUpstream,Language608F2", "LAN1:Did,SDid"});
        row("a stream freed: its type, then its port", "[LAN2]\nStreamType=0x0000\n", {"LAN2:StreamType,PortAddr"});
    }
    void changedOnlyPlan()
    {
        QFETCH(QByteArray, file);
        QTEST(visits(ApplyPlan::Make(fileOf(file), SimDemo(), false).changedOnly()), "plan");
    }

    // A unit that refuses connections after storing is tried again until it
    // answers; only the sections the save visited are read, then EXIT.
    void readBackRetriesUntilTheUnitAnswers()
    {
        ReadBackRig r;
        ReadBack &readBack = r.readBack;
        clsKYR sent = SimDemo();
        sent.setSCAP(0, CapRow::Language608F1, QStringLiteral("fra"));
        const SavePlan plan{{Section::Cap, 0, {CapRow::Language608F1, CapRow::Language608F2}},
                            {Section::Str, StreamSlot::LAN1, {StrRow::StreamType, StrRow::Did}}};
        readBack.start(r.lan, plan, sent, 60000);
        QTRY_VERIFY(r.pause.isActive()); // refused: waiting to try again
        QCOMPARE(r.pause.interval(), ReadBack::RetryInterval);

        SimProcess sim({"--port", QString::number(r.port)});
        QVERIFY(sim.start());
        QVERIFY(r.pause.fire());
        QVERIFY(r.finished.wait(30000));
        QCOMPARE(readBack.attempts(), 2);
        const Verification &v = readBack.result();
        QCOMPARE(v.result, Verification::Result::Mismatch);
        QCOMPARE(v.checked, 4);
        QCOMPARE(int(v.mismatches.size()), 1);
        QCOMPARE(Verification::Line(v.mismatches.front()),
                 QStringLiteral("CAPPGM1 Language608F1: sent \"fra\", holds \"eng\""));
        QTRY_COMPARE(sim.transcript(), QByteArray("SETUP\rCAPPGM1\r*\r\rLAN1\r*\r\r\rEXIT\r"));
    }

    // With no time left, one attempt: the reason is the link's own words.
    void readBackGivesUpAtTheDeadline()
    {
        ReadBackRig r;
        r.readBack.start(r.lan, {{Section::Kyr, 0, {KyrRow::IpNum}}}, clsKYR(), 0);
        QVERIFY(r.finished.wait(30000));
        QCOMPARE(r.readBack.result().result, Verification::Result::Failed);
        QCOMPARE(r.readBack.result().message,
                 QStringLiteral("the unit could not be read back (1 attempt): LAN Error: Connection refused"));
        QVERIFY(!r.pause.isActive());
    }
};

QTEST_GUILESS_MAIN(tst_apply)
#include "tst_apply.moc"
