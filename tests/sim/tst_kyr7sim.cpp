// kyr7sim as a peer: the dialect over loopback TCP, the serial login and the
// Hayes modem on a pseudo-terminal, values through SAVE and restart, the
// reset, fault options, clients that wait or read nothing, and sessions that
// drop their link before storing.
#include "DataTable.h"
#include "SimConfig.h"
#include "SimProcess.h"
#include "TestFiles.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTest>

#include <map>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {
// The test's end of a conversation with kyr7sim on a TCP socket or a serial port.
struct SimClient
{
    // Reads until the text ends with a prompt (or with `until`, when given);
    // returns what came so far when the time runs out.
    QByteArray readReply(const QByteArray &until = {}, int timeoutMs = 5000)
    {
        QByteArray got;
        arrivals = 0;
        for (QDeadlineTimer deadline(timeoutMs);;) {
            if (const QByteArray bytes = dev.readAll(); !bytes.isEmpty())
                got += bytes, ++arrivals;
            if ((until.isEmpty() ? got.endsWith('!') || got.endsWith('>') || got.endsWith('#') : got.endsWith(until)) ||
                deadline.hasExpired())
                return got;
            QSignalSpy(&dev, &QIODevice::readyRead).wait(int(qMin<qint64>(50, deadline.remainingTime())) + 1);
        }
    }

    // Sends lines (the last CR is added here) and reads the reply.
    QByteArray command(const QByteArray &lines, const QByteArray &until = {}, int timeoutMs = 5000)
    {
        dev.write(lines + '\r');
        return readReply(until, timeoutMs);
    }

    QIODevice &dev;
    int arrivals = 0; // separate arrivals that made up the last reply read
};

bool connectTo(QTcpSocket &socket, quint16 port)
{
    QSignalSpy connected(&socket, &QTcpSocket::connected);
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.state() == QAbstractSocket::ConnectedState || connected.wait(5000);
}

// kyr7sim on an ephemeral loopback port and one connected client.
struct SimTcpRig
{
    explicit SimTcpRig(const QStringList &args = {}) : sim(args) {}
    bool start() { return sim.start() && connectTo(socket, sim.port()); }
    SimProcess sim;
    QTcpSocket socket;
    SimClient client{socket};
};

// The Did a fresh session reads in a stream section.
QByteArray heldDid(quint16 port, const QByteArray &section)
{
    QTcpSocket socket;
    if (!connectTo(socket, port))
        return "(no connection)";
    const QByteArray listed = SimClient{socket}.command("SETUP\r" + section + "\r*\r\r", ">\r\n!", 5000);
    const qsizetype at = listed.indexOf("\r\nDid=");
    return at < 0 ? "(no Did)" : listed.mid(at + 6, listed.indexOf('\r', at + 2) - at - 6);
}

// A section's listing as the encoder sends it after "*": name=value CR LF per row.
QByteArray listing(const clsKYR &kyr, Section s, int slot)
{
    return kyr.GetParam(s, slot, QStringLiteral("*")).mid(1).toLatin1();
}
} // namespace

class tst_kyr7sim : public QObject
{
    Q_OBJECT

private slots:
    // Line sent, reply expected, line sent, ...
    void dialogue_data()
    {
        const auto row = Table<QStringList, QByteArrayList>({"args", "steps"});
        const clsKYR demo = SimDemo();
        QByteArrayList tcp =
            QByteArray("|\r\n!|login|login\r\n!|RESTART|RESTART\r\n!|REBOOT|REBOOT\r\n?\r\n!|Setup|Setup\r\n>|"
                       "PGM3|PGM3\r\n?\r\n>|SAVE|SAVE\r\n?\r\n>||\r\n!|\nSE\nTUP\n|SETUP\r\n>|KYR|KYR\r\n#||\r\n>|LAN1|"
                       "LAN1\r\n#")
                .split('|');
        for (const QByteArray line : {"Did 0x22", "Did", "=0x22", "Bogus=0x22", "Did =0x22", "IpNum=1.2.3.4", "LAN2"})
            tcp << line << line + "\r\n?\r\n#";
        // The refused lines changed nothing.
        tcp << "*"
            << "*\r\n" + listing(demo, Section::Str, StreamSlot::LAN1) + '#';
        row("TCP", {}, tcp);
        // Logged out until "login", which the program sends after a CR in one write.
        row("serial", {"--pty"},
            QByteArray("SETUP|SETUP\r\nlogin:|logi|logi\r\nlogin:|\rlogin|\r\nlogin:login\r\n!|SETUP|SETUP\r\n>")
                .split('|'));
        // The modem answers AT commands; a dial connects to the encoder, logged out; the session's end hangs up.
        row("modem", {"--pty", "--modem", "--connect-delay", "0", "--close-after", "6"},
            QByteArray("AT|AT\r\nOK\r\n|login|login\r\nERROR\r\n|AT DT9,5551234|AT DT9,5551234\r\nCONNECT 57600\r\n|"
                       "SETUP|SETUP\r\nlogin:|login|login\r\n!|SETUP|SETUP\r\n>\r\nNO CARRIER\r\n|at&f|at&f\r\nOK\r\n")
                .split('|'));
    }

    void dialogue()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArrayList, steps);
        SimProcess sim(args);
        QVERIFY(sim.start());
        QTcpSocket socket;
        QSerialPort port(sim.ptyPath());
        if (args.contains("--pty"))
            QVERIFY(port.open(QIODevice::ReadWrite));
        else
            QVERIFY(connectTo(socket, sim.port()));
        SimClient client{args.contains("--pty") ? static_cast<QIODevice &>(port) : socket};
        for (qsizetype i = 0; i + 1 < steps.size(); i += 2)
            QCOMPARE(client.command(steps.at(i), steps.at(i + 1)), steps.at(i + 1));
    }

    void valuesOfEveryKindSurviveSaveAndRestart()
    {
        // Section, line sent, row listed, ...: a value of each kind (the text forms: tst_model).
        const QByteArrayList values =
            QByteArray("LAN3|did=0x5a|Did=0x5A|LAN2|StreamType=0x7|StreamType=0x0007|FILE2|InsertLinesF2=0x00100000|"
                       "InsertLinesF2=0x00100000|PORTC|Baud=12abc|Baud=12|KYR|IpNum=10.1.1.2=x|IpNum=10.1.1.2=x|"
                       "CAPPGM2|Language608F2= spn |Language608F2= spn |FILE1|FileName=caf\xe9|FileName=caf\xe9|"
                       "OUTBRIDGE1|transtimeout=7|transTimeout=7")
                .split('|');
        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("state.cfg")), config = dir.filePath(QStringLiteral("a.cfg"));
        {
            SimTcpRig rig({QStringLiteral("--state"), state});
            QVERIFY(rig.start());
            rig.client.command("SETUP");
            for (qsizetype i = 0; i + 2 < values.size(); i += 3) {
                const QByteArray want = values[i] + "\r\n#" + values[i + 1] + "\r\n#\r\n>";
                QCOMPARE(rig.client.command(values[i] + '\r' + values[i + 1] + '\r', want), want);
            }
            QCOMPARE(rig.client.command(""), QByteArray("\r\n!"));
            QCOMPARE(rig.client.command("SAVE"), QByteArray("SAVE\r\n!"));
        }
        // On restart the state file outranks a start configuration; EXIT throws the change away.
        WriteTestFile(config, "[KYR]\nIpNum=9.9.9.9\n");
        SimTcpRig rig({QStringLiteral("--state"), state, QStringLiteral("--config"), config});
        QVERIFY(rig.start());
        const QByteArray changed("SETUP\r\n>KYR\r\n#IpNum=1.1.1.1\r\n#\r\n>\r\n!EXIT\r\n!SETUP\r\n>");
        QCOMPARE(rig.client.command("SETUP\rKYR\rIpNum=1.1.1.1\r\r\rEXIT\rSETUP", changed), changed);
        for (qsizetype i = 0; i + 2 < values.size(); i += 3) {
            const QByteArray list = rig.client.command(values[i] + "\r*\r", "#\r\n>");
            QVERIFY2(list.contains("\r\n" + values[i + 2] + "\r\n"), list.constData());
        }
    }

    void defaultsKeepTheNetworkSettings()
    {
        clsKYR expected = SimDemo({QStringLiteral("--factory-defaults")});
        // The detected video formats are facts about the inputs, not settings.
        expected.setSPGM(0, PgmRow::VideoMode, QStringLiteral("8"));
        expected.setSPGM(1, PgmRow::VideoMode, QStringLiteral("3"));
        SimTcpRig rig;
        QVERIFY(rig.start());
        rig.client.command("SETUP");
        rig.client.command("KYR");
        for (const QByteArray line :
             {"IpNum=10.20.30.40", "Broadcast=10.20.30.255", "Netmask=255.255.0.0", "Gateway=10.20.0.1", "DHCP=1"}) {
            expected.SetParam(Section::Kyr, 0, QString::fromLatin1(line));
            QCOMPARE(rig.client.command(line), line + "\r\n#");
        }
        const QByteArray reset("\r\n>\r\n!DEFAULTS\r\n!");
        QCOMPARE(rig.client.command("\r\rDEFAULTS", reset), reset);
        QVERIFY(rig.sim.stored() == expected);
        // The reset is also the working configuration: EXIT does not bring the modules back.
        const QByteArray want =
            "EXIT\r\n!SETUP\r\n>LAN1\r\n#*\r\n" + listing(expected, Section::Str, StreamSlot::LAN1) + '#';
        QCOMPARE(rig.client.command("EXIT\rSETUP\rLAN1\r*", want), want);
    }

    void faults_data()
    {
        const clsKYR kyr = SimDemo();
        // Sent: the last CR is added when sent.
        const auto row =
            Table<QStringList, QByteArray, QByteArray, int, int>({"args", "sent", "received", "minMs", "minArrivals"});
        const QByteArray kyrVisit = "SETUP\r\n>KYR\r\n#*\r\n" + listing(kyr, Section::Kyr, 0) + '#';
        const QByteArray pgm1Visit = "SETUP\r\n>PGM1\r\n#*\r\n" + listing(kyr, Section::Pgm, 0) + '#';
        // Pieces of 7 bytes 5 ms apart take at least half their ideal time.
        row("chunk", {"--chunk", "7", "--chunk-gap", "5"}, "SETUP\rKYR\r*", kyrVisit, int(kyrVisit.size()) * 5 / 14, 2);
        // The second reply is lost, but its line was obeyed: the empty line leaves KYR.
        row("drop", {"--drop", "2"}, "SETUP\rKYR\r", "SETUP\r\n>\r\n>", 0, 1);
        row("delay", {"--delay", "300"}, "SETUP\rKYR\r\r", "SETUP\r\n>KYR\r\n#\r\n>\r\n!", 250, 1);
        row("flood", {"--flood", "100000"}, "SETUP\rCAPPGM1\r*",
            "SETUP\r\n>CAPPGM1\r\n#*\r\n" + QByteArray(62, 'x').append("\r\n").repeated(1563).left(100000), 0, 1);
        // A transcript stops at its limit. (Sessions that end: the conversation and kyr7ctl tests.)
        row("transcript-limit", {"--transcript-limit", "9"}, "SETUP\rKYR\r\r", "SETUP\r\n>KYR\r\n#\r\n>\r\n!", 0, 1);
        // At 4000 bytes/s the listing takes at least half its ideal time, in several pieces.
        row("rate", {"--rate", "4000"}, "SETUP\rPGM1\r*", pgm1Visit, int(pgm1Visit.size() / 8), 5);
    }

    void faults()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, received);
        QFETCH(int, minMs);
        QFETCH(int, minArrivals);
        SimTcpRig rig(args);
        QVERIFY(rig.start());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(rig.client.command(sent, received, 10000), received);
        qInfo("%lld bytes in %d pieces took %lld ms", qint64(received.size()), rig.client.arrivals, clock.elapsed());
        QVERIFY(clock.elapsed() >= minMs && rig.client.arrivals >= minArrivals);
        if (args.contains(QStringLiteral("--transcript-limit"))) {
            QCOMPARE(rig.sim.transcript(), sent.left(9));
            QVERIFY(rig.sim.output().contains(QStringLiteral("reached its limit of 9 bytes")));
        }
    }

    // Clients beyond the session bound, or beyond the file descriptors left,
    // wait; once others leave, a waiting client is served as usual.
    void waitingClientsAreServedInTurn_data()
    {
        const auto row = Table<QStringList, int>({"args", "descriptors"}); // descriptors 0: as the system allows
        row("session bound", {"--max-sessions", "2"}, 0);
        row("no descriptors left", {}, 16);
    }

    void waitingClientsAreServedInTurn()
    {
        QFETCH(QStringList, args);
        QFETCH(int, descriptors);
        SimProcess sim(args);
        sim.process().setChildProcessModifier([descriptors] {
            const rlimit limit{rlim_t(descriptors), rlim_t(descriptors)};
            if (descriptors)
                ::setrlimit(RLIMIT_NOFILE, &limit);
        });
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        std::vector<std::unique_ptr<QTcpSocket>> sockets(12);
        for (auto &socket : sockets) {
            socket = std::make_unique<QTcpSocket>();
            socket->connectToHost(QHostAddress::LocalHost, sim.port());
            socket->write("\r");
        }
        QCOMPARE(SimClient{*sockets.front()}.readReply(), QByteArray("\r\n!"));
        if (descriptors)
            QTRY_VERIFY_WITH_TIMEOUT(sim.output().contains(QStringLiteral("cannot accept a connection")), 10000);
        sockets.erase(sockets.begin(), sockets.end() - 1);
        QCOMPARE(SimClient{*sockets.back()}.readReply({}, 10000), QByteArray("\r\n!"));
    }

    // Sessions a and b change LAN1's Did, save or drop their link: what a
    // session that drops had not stored is taken out, and another session's
    // later change, or what was there before, shows.
    void aDroppedSessionLeavesNoUnsavedChange_data()
    {
        const auto row = Table<QByteArray, QByteArray>({"steps", "held"}); // "a:0x22" sets Did, "a:SAVE", "a:close"
        row("one session drops", "a:0x22 a:close", "0x61");
        row("a later change stays", "a:0x22 b:0x33 a:close", "0x33");
        row("the earlier change shows again", "a:0x22 b:0x33 b:close", "0x22");
        row("both drop", "a:0x22 b:0x33 a:close b:close", "0x61");
        row("both drop, the later first", "a:0x22 b:0x33 b:close a:close", "0x61");
        row("back and forth", "a:0x22 b:0x33 a:0x44 a:close", "0x33");
        row("saved by another before the drop", "a:0x22 b:SAVE a:close", "0x22");
    }
    void aDroppedSessionLeavesNoUnsavedChange()
    {
        QFETCH(QByteArray, steps);
        SimProcess sim;
        QVERIFY(sim.start());
        // Each session also marks a section of its own, so that the test
        // knows when kyr7sim has taken in the end of that session.
        struct Session
        {
            QTcpSocket socket;
            SimClient client{socket};
            QByteArray marker;
        };
        std::map<char, std::unique_ptr<Session>> sessions;
        for (const char name : {'a', 'b'}) {
            auto &session = sessions[name] = std::make_unique<Session>();
            session->marker = name == 'a' ? "LAN7" : "LAN8";
            QVERIFY(connectTo(session->socket, sim.port()));
            QCOMPARE(session->client.command("SETUP\r" + session->marker + "\rDid=0x7f\r\rLAN1", "LAN1\r\n#").right(1),
                     QByteArray("#"));
        }
        const QByteArray unmarked = "0x51"; // the demo's Did of LAN7 and LAN8
        bool saved = false;
        for (const QByteArray &step : steps.split(' ')) {
            Session &session = *sessions[step.at(0)];
            const QByteArray what = step.mid(2);
            if (what == "close") {
                session.socket.disconnectFromHost();
                const QByteArray settled = saved ? "0x7F" : unmarked;
                QTRY_COMPARE_WITH_TIMEOUT(heldDid(sim.port(), session.marker), settled, 10000);
            } else if (what == "SAVE") {
                QVERIFY(session.client.command("\r\rSAVE\rSETUP\rLAN1", "LAN1\r\n#").endsWith('#'));
                saved = true;
            } else {
                QCOMPARE(session.client.command("Did=" + what), "Did=" + what + "\r\n#");
            }
        }
        QTEST(heldDid(sim.port(), "LAN1"), "held");
    }

    // A client that sends many requests and reads nothing is held back (its
    // memory: bench_conversation --sim-memory); another client is served
    // meanwhile, and when the first one reads, every reply is there, in order.
    void clientThatDoesNotReadLosesNothing()
    {
        const clsKYR kyr = SimDemo();
        SimTcpRig rig;
        QVERIFY(rig.start());
        rig.socket.write("SETUP\rKYR\r" + QByteArray("*\r").repeated(20000));
        QTcpSocket other;
        other.connectToHost(QHostAddress::LocalHost, rig.sim.port());
        QCOMPARE(SimClient{other}.command("SETUP"), QByteArray("SETUP\r\n>"));
        const QByteArray want = "SETUP\r\n>KYR\r\n#" + ("*\r\n" + listing(kyr, Section::Kyr, 0) + '#').repeated(20000);
        QByteArray got;
        for (QDeadlineTimer deadline(60000); got.size() < want.size() && !deadline.hasExpired();)
            got += rig.socket.waitForReadyRead(1000) ? rig.socket.readAll() : QByteArray();
        QVERIFY(got == want);
    }
};

QTEST_GUILESS_MAIN(tst_kyr7sim)
#include "tst_kyr7sim.moc"
