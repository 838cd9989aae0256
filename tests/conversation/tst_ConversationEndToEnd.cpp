// Whole conversations with kyr7sim over real loopback TCP and real
// pseudo-terminals: what the encoder receives, what the model gets, and
// what the encoder stores.
#include "ConversationRig.h"
#include "SimConfig.h"
#include "SimProcess.h"
#include "mParseSetup.h"

#include <QFile>
#include <QtTest/QtTest>

namespace {
constexpr int Patience = 30000;

QByteArray retrievalBytes()
{
    QByteArray bytes = "SETUP\r";
    for (const char *name :
         {"KYR",  "PGM1", "PGM2", "CAPPGM1", "CAPPGM2", "PORTA", "PORTB", "PORTC", "MODEM",  "LAN1",  "LAN2",
          "LAN3", "LAN4", "LAN5", "LAN6",    "LAN7",    "LAN8",  "FILE1", "FILE2", "BTEST1", "BTEST2"})
        bytes += QByteArray(name) + "\r*\r\r";
    return bytes + "INBRIDGE1\r*\r\r\rSetup\rOUTBRIDGE1\r*\r\r\r\r";
}

QByteArray scriptBytes(const Conversation &conv)
{
    QByteArray bytes;
    for (const ScriptStep &step : conv.Script) {
        if (step.Command.isEmpty())
            break;
        bytes += step.Command.toLatin1();
    }
    return bytes;
}

ConnectionSettings lanTo(const SimProcess &sim, Conversation &conv)
{
    ConnectionSettings s = ConversationRig::settings("LAN");
    s.IP = "127.0.0.1";
    conv.TcpPort = sim.port();
    return s;
}

// Every parameter command of the save script, checked against the stored
// configuration: the encoder must hold what the model held.
void compareSavedValues(const Conversation &conv, const clsKYR &edited, const clsKYR &stored)
{
    Section section = Section::Kyr;
    int slot = 0;
    int checked = 0;
    for (const ScriptStep &step : conv.Script) {
        const QString command = step.Command.chopped(step.Command.isEmpty() ? 0 : 1);
        if (command.isEmpty() || command == "SETUP" || command == "SAVE")
            continue;
        if (!command.contains('=')) {
            QVERIFY2(clsKYR::FindSection(command, section, slot), qPrintable(command));
            continue;
        }
        const int row = clsKYR::FindRow(section, command.section('=', 0, 0));
        QVERIFY2(row >= 0, qPrintable(command));
        QCOMPARE(stored.text(section, slot, row), edited.text(section, slot, row));
        ++checked;
    }
    QVERIFY(checked > 300);
}
// Waits in a real event loop (replies come as fast as the link brings them).
bool waitFor(QSignalSpy &spy, int count = 1)
{
    QDeadlineTimer deadline(Patience);
    while (spy.count() < count && !deadline.hasExpired())
        spy.wait(int(qMax<qint64>(1, deadline.remainingTime())));
    return spy.count() == count;
}
} // namespace

class tst_ConversationEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("KYR7SIM"))
            QSKIP("KYR7SIM names no simulator");
    }

    void lanRetrievalFillsTheModel()
    {
        SimProcess sim;
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        ConversationRig rig;
        rig.conv.setLinkFactory({});
        rig.conv.OpenConnection(lanTo(sim, rig.conv));
        QVERIFY(waitFor(rig.retrieved));
        QCOMPARE(rig.monitor.last(), QStringLiteral("Encoder Setup Retrieved"));
        QCOMPARE(sim.transcript(), retrievalBytes());

        ParseSetup(rig.kyr, rig.conv.Listings(), [](const QString &e) { QFAIL(qPrintable(e)); });
        clsKYR expected;
        QVERIFY(DefaultSimConfig(expected));
        QVERIFY(rig.kyr == expected);
        QCOMPARE(rig.kyr.sSTR(StreamSlot::FILE1, StrRow::FileName), QStringLiteral("metadata_stereo"));
        QVERIFY(rig.messages.boxes.isEmpty());
    }

    void lanRetrievalInSmallPieces()
    {
        SimProcess sim({"--chunk", "3", "--chunk-gap", "0"});
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        ConversationRig rig;
        rig.conv.setLinkFactory({});
        rig.conv.OpenConnection(lanTo(sim, rig.conv));
        QVERIFY(waitFor(rig.retrieved));
        QCOMPARE(sim.transcript(), retrievalBytes());
        ParseSetup(rig.kyr, rig.conv.Listings());
        clsKYR expected;
        QVERIFY(DefaultSimConfig(expected));
        QVERIFY(rig.kyr == expected);
    }

    void saveStoresEveryValue()
    {
        SimProcess sim({"--rev", "G"});
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        ConversationRig rig;
        rig.conv.setLinkFactory({});
        rig.conv.OpenConnection(lanTo(sim, rig.conv));
        QVERIFY(waitFor(rig.retrieved));
        ParseSetup(rig.kyr, rig.conv.Listings());

        rig.kyr.setSCAP(0, CapRow::Language608F2, "spn");
        rig.kyr.setSKYR(KyrRow::Gateway, "10.0.0.254");
        rig.kyr.setStr(StreamSlot::LAN3, StrRow::StreamType, KyrValue(qint32(0x10)));
        rig.kyr.setStr(StreamSlot::LAN3, StrRow::Program, KyrValue(qint32(2)));
        rig.kyr.setSSTR(StreamSlot::LAN3, StrRow::Did, "0x45");
        rig.kyr.setStr(StreamSlot::PORTB, StrRow::StreamType, KyrValue(qint32(1)));
        rig.kyr.setSSTR(StreamSlot::PORTB, StrRow::ModemInit, "AT&F\rATZ");
        rig.kyr.setStr(StreamSlot::INBRIDGE1, StrRow::StreamType, KyrValue(qint32(4)));
        rig.kyr.setSPGM(1, PgmRow::RequestedVideoMode, "3");

        rig.conv.BuildSaveScript();
        rig.conv.StartClosing();
        QVERIFY(waitFor(rig.closing));
        QCOMPARE(rig.monitor.last(), QStringLiteral("Setup is complete, Press Done to exit"));
        QCOMPARE(sim.transcript(), retrievalBytes() + scriptBytes(rig.conv));
        QVERIFY(sim.transcript().contains("ModemInit=AT&FATZ\r"));

        clsKYR stored;
        QVERIFY(LoadSimConfig(sim.statePath(), stored));
        QCOMPARE(stored.sCAP(0, CapRow::Language608F2), QStringLiteral("spn"));
        QCOMPARE(stored.sSTR(StreamSlot::PORTB, StrRow::ModemInit), QStringLiteral("AT&FATZ"));
        rig.kyr.setSSTR(StreamSlot::PORTB, StrRow::ModemInit, "AT&FATZ");
        compareSavedValues(rig.conv, rig.kyr, stored);
        QVERIFY(rig.messages.boxes.isEmpty());
    }

    void closingCommandsStoreWhatTheyShould_data()
    {
        QTest::addColumn<bool>("defaults");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<bool>("stored");
        QTest::newRow("EXIT stores nothing") << false << QByteArray("EXIT\r") << false;
        QTest::newRow("DEFAULTS stores the factory settings") << true << QByteArray("DEFAULTS\r") << true;
    }

    void closingCommandsStoreWhatTheyShould()
    {
        QFETCH(bool, defaults);
        QFETCH(QByteArray, command);
        QFETCH(bool, stored);
        SimProcess sim({"--close-on-exit"});
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        ConversationRig rig;
        rig.conv.setLinkFactory({});
        rig.conv.OpenConnection(lanTo(sim, rig.conv));
        QVERIFY(waitFor(rig.retrieved));
        defaults ? rig.conv.BuildDefaultsScript() : rig.conv.BuildExitScript();
        rig.conv.StartClosing();
        QVERIFY(waitFor(rig.closing));
        // The encoder restarts after the command and closes the connection.
        QVERIFY(waitFor(rig.linkClosed));
        QCOMPARE(rig.conv.Finishing, 1);
        QCOMPARE(sim.transcript(), retrievalBytes() + command);
        QCOMPARE(QFile::exists(sim.statePath()), stored);
        for (const QString &line : rig.monitor)
            QVERIFY2(!line.startsWith("LAN Error"), qPrintable(line));
    }

    void failureDuringASaveStoresNothing()
    {
        // The encoder goes away a hundred lines into the save.
        SimProcess sim({"--close-after", "174"});
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        ConversationRig rig;
        rig.conv.setLinkFactory({});
        rig.conv.OpenConnection(lanTo(sim, rig.conv));
        QVERIFY(waitFor(rig.retrieved));
        ParseSetup(rig.kyr, rig.conv.Listings());
        rig.kyr.setSCAP(0, CapRow::Language608F2, "spn");
        rig.conv.BuildSaveScript();
        rig.conv.StartClosing();
        // Not "complete": the save halts as failed, and the program stays up.
        QVERIFY(waitFor(rig.halted));
        QVERIFY(rig.conv.CurrentStep > 0);
        QCOMPARE(rig.linkClosed.count(), 0);
        QVERIFY(!rig.timer.isActive());
        QVERIFY(rig.monitor.contains("The KYR7 closed the connection before the setup was complete"));
        QCOMPARE(rig.monitor.last(), QStringLiteral("Connection Has Failed"));
        QCOMPARE(rig.closing.count(), 0);
        QVERIFY(!QFile::exists(sim.statePath()));
        QVERIFY(!sim.transcript().contains("SAVE\r"));
    }

    void floodEndsTheStepAsAFailure()
    {
        SimProcess sim({"--flood", QString::number(Conversation::MaxRxBuffer + 100000)});
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        ConversationRig rig;
        rig.conv.setLinkFactory({});
        rig.conv.OpenConnection(lanTo(sim, rig.conv));
        QVERIFY(waitFor(rig.halted));
        QCOMPARE(rig.monitor.mid(rig.monitor.size() - 2),
                 QStringList({"Too much text without a prompt", "Connection Has Failed"}));
        QCOMPARE(rig.conv.CurrentStep, 2);
        QVERIFY(rig.conv.RxBuffer.size() <= Conversation::MaxRxBuffer);
        QCOMPARE(rig.retrieved.count(), 0);
    }

    void serialAndModemRetrievals_data()
    {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QByteArray>("opening");
        QTest::addColumn<int>("setupStep");
        QTest::newRow("serial") << QStringList{"--pty"} << "SERIAL" << QByteArray("\rlogin\r") << 2;
        QTest::newRow("modem") << QStringList{"--pty", "--modem", "--connect-delay", "20"} << "MODEM"
                               << QByteArray("AT\rAT Z\rAT E0\rAT DT9,\r\rlogin\r") << 6;
    }

    void serialAndModemRetrievals()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QString, method);
        QFETCH(QByteArray, opening);
        QFETCH(int, setupStep);
        SimProcess sim(simArgs);
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        ConversationRig rig;
        rig.conv.setLinkFactory({});
        ConnectionSettings s = ConversationRig::settings(method);
        s.Serial = s.Modem = sim.ptyPath();
        s.INIT = "AT Z|AT E0";
        rig.conv.OpenConnection(s);
        QVERIFY(rig.conv.linkOpen());
        // The pause before the login runs out by a tick, never by waiting.
        const int pause = setupStep - 2;
        QTRY_COMPARE_WITH_TIMEOUT(rig.conv.CurrentStep, pause, Patience);
        QCOMPARE(rig.conv.Script.at(size_t(pause)).Command, QStringLiteral("|"));
        QVERIFY(rig.timer.fire());
        QVERIFY(waitFor(rig.retrieved));
        QCOMPARE(rig.conv.SetupStep, setupStep);
        QCOMPARE(sim.transcript(), opening + retrievalBytes());

        ParseSetup(rig.kyr, rig.conv.Listings());
        clsKYR expected;
        QVERIFY(DefaultSimConfig(expected));
        QVERIFY(rig.kyr == expected);
    }
};

QTEST_GUILESS_MAIN(tst_ConversationEndToEnd)
#include "tst_ConversationEndToEnd.moc"
