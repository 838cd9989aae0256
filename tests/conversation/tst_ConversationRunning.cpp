// How a conversation runs: the step timer, replies as they arrive, stale
// and flooding text, and the real links opening, failing and closing.
#include "ConversationRig.h"
#include "PseudoTerminal.h"
#include "SerialLink.h"
#include "TcpLink.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest/QtTest>

namespace {
ScriptStep makeStep(const QString &command, const QString &expect, int interval, int maxTries)
{
    ScriptStep s;
    s.Command = command;
    s.Expect = expect;
    s.Interval = interval;
    s.MaxTries = qint16(maxTries);
    return s;
}

// A retrieval over the in-memory LAN link, run to its end.
void retrieve(ConversationRig &rig)
{
    rig.conv.OpenConnection(ConversationRig::settings("LAN"));
    rig.answerAll();
    QCOMPARE(rig.retrieved.count(), 1);
    rig.link->sent.clear();
}

// Runs a hand-written closing script on an open in-memory link.
void runScript(ConversationRig &rig, std::vector<ScriptStep> steps)
{
    retrieve(rig);
    steps.push_back(ScriptStep{});
    rig.conv.Script = steps;
    rig.conv.CurrentStep = 0;
    rig.conv.StartClosing();
}
} // namespace

class tst_ConversationRunning : public QObject
{
    Q_OBJECT
private slots:
    // --- the step timer

    void stepRepeatsUntilItsTriesRunOut_data()
    {
        QTest::addColumn<int>("maxTries");
        QTest::newRow("1") << 1;
        QTest::newRow("2") << 2;
        QTest::newRow("3") << 3;
        QTest::newRow("10") << 10;
    }

    void stepRepeatsUntilItsTriesRunOut()
    {
        QFETCH(int, maxTries);
        ConversationRig rig;
        runScript(rig, {makeStep("PING\r", "#", 700, maxTries)});
        QCOMPARE(rig.link->sent, QByteArray("PING\r"));
        for (int i = 1; i < maxTries; ++i) {
            QVERIFY(rig.timer.fire());
            QCOMPARE(rig.link->sent, QByteArray("PING\r").repeated(i + 1));
            QCOMPARE(rig.timer.interval(), 700);
            QVERIFY(!rig.monitor.contains("Connection Has Failed"));
        }
        QVERIFY(rig.timer.fire());
        QCOMPARE(rig.link->sent, QByteArray("PING\r").repeated(maxTries));
        QCOMPARE(rig.monitor.last(), QStringLiteral("Connection Has Failed"));
        QCOMPARE(rig.halted.count(), 1);
        QVERIFY(!rig.timer.isActive());
        QCOMPARE(rig.timer.interval(), 0);
        QCOMPARE(rig.conv.CurrentStep, 0);
        QVERIFY(!rig.timer.fire());
    }

    void lateReplyResumesAHaltedConversation()
    {
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("LAN"));
        for (int i = 0; i < 3; ++i)
            QVERIFY(rig.timer.fire());
        QCOMPARE(rig.link->sent, QByteArray("SETUP\rSETUP\rSETUP\r"));
        QCOMPARE(rig.monitor.last(), QStringLiteral("Connection Has Failed"));
        rig.link->receive("SETUP\r\n>");
        QCOMPARE(rig.link->sent, QByteArray("SETUP\rSETUP\rSETUP\rKYR\r"));
        QCOMPARE(rig.conv.CurrentStep, 1);
        QVERIFY(rig.timer.isActive());
        QCOMPARE(rig.timer.interval(), 2000);
        rig.answerAll();
        QCOMPARE(rig.retrieved.count(), 1);
    }

    void pauseThatRunsOutDropsWhatCameIn()
    {
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("SERIAL"));
        rig.conv.Script[1].Status = "Logging in";
        rig.link->receive("line noise ! > #");
        QCOMPARE(rig.conv.CurrentStep, 0);
        QVERIFY(rig.timer.fire());
        QCOMPARE(rig.conv.RxBuffer, QString());
        QCOMPARE(rig.conv.CurrentStep, 1);
        QCOMPARE(rig.link->sent, QByteArray("\rlogin\r"));
        QVERIFY(!rig.monitor.contains("Logging in"));
        // The "!" that came during the pause did not log in.
        QVERIFY(rig.timer.fire());
        QCOMPARE(rig.monitor.last(), QStringLiteral("Connection Has Failed"));
        QCOMPARE(rig.link->sent, QByteArray("\rlogin\r"));
    }

    // --- replies as they arrive

    void replyInOneBytePieces()
    {
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("LAN"));
        rig.answerAll(2); // SETUP, KYR
        QCOMPARE(rig.step().Command, QStringLiteral("*\r"));
        const QByteArray listing = "*\r\nID=KYR7\r\nRev=G\r\n#";
        const qsizetype before = rig.link->sent.size();
        for (char c : listing) {
            QCOMPARE(rig.link->sent.size(), before);
            rig.link->receive(QByteArray(1, c));
        }
        QCOMPARE(rig.link->sent.right(1), QByteArray("\r"));
        QCOMPARE(rig.conv.Script.at(2).Reply, QString::fromLatin1(listing));
        QCOMPARE(rig.conv.RxBuffer, QString());
    }

    void promptSplitAcrossPieces()
    {
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("MODEM"));
        rig.answerAll(2); // AT, AT Z
        QCOMPARE(rig.step().Expect, QStringLiteral("CONNECT"));
        rig.link->receive("\r\nCON");
        QCOMPARE(rig.step().Expect, QStringLiteral("CONNECT"));
        rig.link->receive("nect 57600\r\n");
        QCOMPARE(rig.step().Command, QStringLiteral("|"));
        QCOMPARE(rig.conv.Script.at(2).Reply, QStringLiteral("\r\nCONnect 57600\r\n"));
    }

    void twoPromptsInOnePieceCompleteOneStep()
    {
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("LAN"));
        rig.link->receive("SETUP\r\n>\r\n>");
        QCOMPARE(rig.conv.CurrentStep, 1);
        QCOMPARE(rig.conv.Script.at(0).Reply, QStringLiteral("SETUP\r\n>\r\n>"));
        QCOMPARE(rig.link->sent, QByteArray("SETUP\rKYR\r"));
        QCOMPARE(rig.conv.RxBuffer, QString());
    }

    void latin1BytesSurvive()
    {
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("LAN"));
        rig.answerAll(2);
        rig.link->receive("*\r\nName=caf\xe9\xff\r\n#");
        QCOMPARE(rig.conv.Script.at(2).Reply, QStringLiteral("*\r\nName=caf\u00e9\u00ff\r\n#"));
    }

    void encoderClosingMidRetrieval()
    {
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("LAN"));
        rig.answerAll(10);
        const QStringList before = rig.monitor;
        rig.link->peerCloses();
        QCOMPARE(rig.linkClosed.count(), 1);
        QCOMPARE(rig.monitor, before);
        QCOMPARE(rig.conv.Finishing, 0);
        QCOMPARE(rig.retrieved.count(), 0);
    }

    // An encoder restarts (and closes the connection) after the last command
    // of a closing conversation; closed before that, nothing was stored and
    // the operator must not be told the setup is complete.
    void encoderClosingDuringAClosingConversation_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("answersBeforeClose");
        QTest::addColumn<bool>("complete");
        QTest::newRow("save, mid-way") << "save" << 40 << false;
        QTest::newRow("save, before SETUP is answered") << "save" << 0 << false;
        QTest::newRow("save, after SAVE was sent") << "save:last" << 0 << true;
        QTest::newRow("exit") << "exit" << 0 << true;
        QTest::newRow("defaults") << "defaults" << 0 << true;
    }

    void encoderClosingDuringAClosingConversation()
    {
        QFETCH(QString, script);
        QFETCH(int, answersBeforeClose);
        QFETCH(bool, complete);
        ConversationRig rig;
        retrieve(rig);
        if (script.startsWith("save"))
            rig.conv.BuildSaveScript();
        else if (script == "exit")
            rig.conv.BuildExitScript();
        else
            rig.conv.BuildDefaultsScript();
        rig.conv.StartClosing();
        if (script == "save:last") {
            // Everything answered but "SAVE" itself.
            int commands = 0;
            while (!rig.conv.Script.at(size_t(commands)).Command.isEmpty())
                ++commands;
            rig.answerAll(commands - 1);
            QCOMPARE(rig.step().Command, QStringLiteral("SAVE\r"));
        } else {
            rig.answerAll(answersBeforeClose);
        }
        rig.link->peerCloses();
        QCOMPARE(rig.linkClosed.count(), complete ? 1 : 0);
        QCOMPARE(rig.halted.count(), complete ? 0 : 1);
        QCOMPARE(rig.monitor.contains("Connection Has Failed"), !complete);
        QVERIFY(!rig.timer.isActive() || complete);
    }

    void floodWithoutPromptFailsTheStep()
    {
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("LAN"));
        rig.answerAll(2);
        const QByteArray chunk(64 * 1024, 'x');
        for (int sent = 0; sent <= 2 * Conversation::MaxRxBuffer; sent += chunk.size()) {
            rig.link->receive(chunk);
            QVERIFY(rig.conv.RxBuffer.size() <= Conversation::MaxRxBuffer + chunk.size());
        }
        QCOMPARE(rig.monitor.count("Too much text without a prompt"), 1);
        QCOMPARE(rig.monitor.count("Connection Has Failed"), 1);
        QCOMPARE(rig.halted.count(), 1);
        QVERIFY(!rig.timer.isActive());
        rig.link->receive("#");
        QCOMPARE(rig.step().Command, QStringLiteral("\r"));
    }

    // --- text that no step waits for

    void staleTextDoesNotAnswerAClosingConversation()
    {
        ConversationRig rig;
        retrieve(rig);
        rig.link->receive("\r\n!");
        QCOMPARE(rig.conv.RxBuffer, QString());
        rig.conv.BuildExitScript();
        rig.conv.StartClosing();
        QCOMPARE(rig.link->sent, QByteArray("EXIT\r"));
        QCOMPARE(rig.closing.count(), 0);
        QCOMPARE(rig.conv.CurrentStep, 0);
        rig.link->receive("EXIT\r\n!");
        QCOMPARE(rig.closing.count(), 1);
    }

    void textLeftByAHaltedRetrievalIsDropped()
    {
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("LAN"));
        rig.link->receive("SETUP\r\n?\r\n!");
        for (int i = 0; i < 3; ++i)
            QVERIFY(rig.timer.fire());
        QCOMPARE(rig.monitor.last(), QStringLiteral("Connection Has Failed"));
        rig.conv.BuildSaveScript();
        rig.conv.StartClosing();
        QCOMPARE(rig.conv.CurrentStep, 0);
        rig.conv.BuildExitScript();
        rig.conv.StartClosing();
        QCOMPARE(rig.conv.CurrentStep, 0);
        QCOMPARE(rig.closing.count(), 0);
    }

    void textAfterDoneIsIgnored()
    {
        ConversationRig rig;
        retrieve(rig);
        rig.conv.BuildDefaultsScript();
        rig.conv.StartClosing();
        rig.link->receive("DEFAULTS\r\n!");
        QCOMPARE(rig.conv.CurrentStep, -1);
        const QStringList monitor = rig.monitor;
        rig.link->receive("!>#\r\nOK CONNECT");
        QVERIFY(!rig.timer.fire());
        QCOMPARE(rig.conv.CurrentStep, -1);
        QCOMPARE(rig.closing.count(), 1);
        QCOMPARE(rig.monitor, monitor);
        QCOMPARE(rig.link->sent, QByteArray("DEFAULTS\r"));
        QVERIFY(rig.messages.boxes.isEmpty());
    }

    void textAfterRetrievalStartsNothing()
    {
        ConversationRig rig;
        retrieve(rig);
        rig.link->receive("!\r\n>");
        QCOMPARE(rig.link->sent, QByteArray());
        QCOMPARE(rig.retrieved.count(), 1);
        QVERIFY(!rig.timer.fire());
    }

    // --- opening

    void nothingIsSentBeforeTheConnection()
    {
        ConversationRig rig;
        rig.connectOnOpen = false;
        rig.conv.OpenConnection(ConversationRig::settings("LAN"));
        QCOMPARE(rig.monitor, QStringList{"Connection Type is LAN"});
        QCOMPARE(rig.link->sent, QByteArray());
        QVERIFY(!rig.timer.isActive());
        emit rig.link->connected();
        QCOMPARE(rig.monitor.last(), QStringLiteral("LAN Connection Established"));
        QCOMPARE(rig.link->sent, QByteArray("SETUP\r"));
        QVERIFY(rig.timer.isActive());
        QCOMPARE(rig.timer.interval(), 2000);
    }

    void unknownLinkKindOpensNothing()
    {
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("PIGEON"));
        QCOMPARE(rig.linksMade.size(), 0);
        QCOMPARE(rig.monitor, QStringList{"Connection Type PIGEON is not known"});
        QCOMPARE(rig.timer.starts, 0);
    }

    void socketErrorIsShownAndDisconnects()
    {
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("LAN"));
        const int starts = rig.timer.starts;
        rig.link->fail("LAN Error: Network unreachable");
        QCOMPARE(rig.monitor.last(), QStringLiteral("LAN Error: Network unreachable"));
        QVERIFY(!rig.link->isOpen());
        QCOMPARE(rig.timer.starts, starts);
        QCOMPARE(rig.linkClosed.count(), 0);
    }

    void portNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("device");
        QTest::newRow("COM1") << "COM1" << 1 << "COM1"
                              << "/dev/ttyS0";
        QTest::newRow("COM12") << "COM12" << 12 << "COM12"
                               << "/dev/ttyS11";
        QTest::newRow("lower case") << "com3" << 3 << "COM3"
                                    << "/dev/ttyS2";
        QTest::newRow("no number") << "COM" << 0 << "COM0"
                                   << "";
        QTest::newRow("not a number") << "COMx" << 0 << "COM0"
                                      << "";
        QTest::newRow("device path") << "/dev/ttyUSB0" << 0 << "/dev/ttyUSB0"
                                     << "/dev/ttyUSB0";
        QTest::newRow("pseudo-terminal") << "/dev/pts/7" << 0 << "/dev/pts/7"
                                         << "/dev/pts/7";
    }

    void portNames()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QFETCH(QString, shown);
        QFETCH(QString, device);
        if (!name.startsWith('/'))
            QCOMPARE(SerialLink::PortNumber(name), number);
        QCOMPARE(SerialLink::DisplayName(name), shown);
        QCOMPARE(SerialLink::DeviceFor(name), device);
    }

    void lanHosts_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("host");
        QTest::newRow("serial number") << "12345"
                                       << "KYR7-12345";
        QTest::newRow("IPv4 address") << "10.1.2.3"
                                      << "10.1.2.3";
        QTest::newRow("empty") << ""
                               << "KYR7-";
    }

    void lanHosts()
    {
        QFETCH(QString, address);
        QFETCH(QString, host);
        QCOMPARE(TcpLink::HostFor(address), host);
    }

    void serialPortThatCannotOpen_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QStringList>("monitor");
        QTest::newRow("missing COM port")
            << "SERIAL"
            << "COM99" << QStringList{"Connection Type is Serial", "COM99 is not available"};
        QTest::newRow("no port number") << "SERIAL"
                                        << "COMx" << QStringList{"Connection Type is Serial", "COM0 is not available"};
        QTest::newRow("missing device") << "MODEM"
                                        << "/nonexistent/tty"
                                        << QStringList{"Connection Type is Modem", "/nonexistent/tty is not available"};
    }

    void serialPortThatCannotOpen()
    {
        QFETCH(QString, method);
        QFETCH(QString, port);
        QFETCH(QStringList, monitor);
        if (port == "COM99" && QFile::exists("/dev/ttyS98"))
            QSKIP("this machine has a COM99");
        ConversationRig rig;
        rig.conv.setLinkFactory({});
        ConnectionSettings s = ConversationRig::settings(method);
        s.Serial = s.Modem = port;
        rig.conv.OpenConnection(s);
        QCOMPARE(rig.monitor, monitor);
        QCOMPARE(rig.timer.starts, 0);
        QVERIFY(!rig.conv.linkOpen());
    }

    // --- the real links

    void lanConnectionRefused()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        const quint16 port = server.serverPort();
        server.close();
        ConversationRig rig;
        rig.conv.setLinkFactory({});
        rig.conv.TcpPort = port;
        ConnectionSettings s = ConversationRig::settings("LAN");
        s.IP = "127.0.0.1";
        rig.conv.OpenConnection(s);
        QTRY_COMPARE(rig.monitor.size(), 2);
        QCOMPARE(rig.monitor.at(1), QStringLiteral("LAN Error: Connection refused"));
        QTest::qWait(50);
        QCOMPARE(rig.monitor.size(), 2);
        QCOMPARE(rig.linkClosed.count(), 0);
        QCOMPARE(rig.timer.starts, 0);
        QVERIFY(!rig.conv.linkOpen());
    }

    void lanEncoderClosing()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        ConversationRig rig;
        rig.conv.setLinkFactory({});
        rig.conv.TcpPort = server.serverPort();
        ConnectionSettings s = ConversationRig::settings("LAN");
        s.IP = "127.0.0.1";
        rig.conv.OpenConnection(s);
        QTRY_VERIFY(server.hasPendingConnections());
        QTcpSocket *peer = server.nextPendingConnection();
        QTRY_VERIFY(rig.monitor.contains("LAN Connection Established"));
        QByteArray got;
        QTRY_VERIFY((got += peer->readAll()) == "SETUP\r");
        peer->write("SETUP\r\n>");
        QTRY_COMPARE(rig.conv.CurrentStep, 1);
        peer->close();
        QTRY_COMPARE(rig.linkClosed.count(), 1);
        for (const QString &line : rig.monitor)
            QVERIFY2(!line.startsWith("LAN Error"), qPrintable(line));
    }

    void serialLinkOverAPseudoTerminal_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QByteArray>("first");
        QTest::newRow("serial") << "SERIAL"
                                << "Serial port open " << QByteArray();
        QTest::newRow("modem") << "MODEM"
                               << "Modem port open " << QByteArray("AT\r");
    }

    void serialLinkOverAPseudoTerminal()
    {
        QFETCH(QString, method);
        QFETCH(QString, opened);
        QFETCH(QByteArray, first);
        PseudoTerminal pty;
        QVERIFY(pty.ok());
        ConversationRig rig;
        rig.conv.setLinkFactory({});
        ConnectionSettings s = ConversationRig::settings(method);
        s.Serial = s.Modem = pty.slavePath();
        rig.conv.OpenConnection(s);
        QCOMPARE(rig.monitor.at(1), opened + pty.slavePath());
        QVERIFY(rig.conv.linkOpen());
        QVERIFY(rig.timer.isActive());
        QCOMPARE(rig.timer.interval(), 2000);
        if (method == "SERIAL") {
            QTest::qWait(20);
            QCOMPARE(pty.received(), QByteArray());
            QVERIFY(rig.timer.fire());
            QTRY_COMPARE(pty.received(), QByteArray("\rlogin\r"));
            QVERIFY(pty.write("\r\nlogin\r\n!"));
            QTRY_COMPARE(pty.received(), QByteArray("\rlogin\rSETUP\r"));
            QCOMPARE(rig.conv.CurrentStep, 2);
        } else {
            QTRY_COMPARE(pty.received(), first);
            QVERIFY(pty.write("AT\r\nOK\r\n"));
            QTRY_COMPARE(pty.received(), QByteArray("AT\rAT Z\r"));
        }
    }
};

QTEST_GUILESS_MAIN(tst_ConversationRunning)
#include "tst_ConversationRunning.moc"
