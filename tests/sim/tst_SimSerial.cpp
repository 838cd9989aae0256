// kyr7sim on a real pseudo-terminal: the serial login and the Hayes modem in front of the encoder.
#include "SimClient.h"
#include "SimProcess.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSerialPort>
#include <QTest>

class tst_SimSerial : public QObject
{
    Q_OBJECT

private slots:
    void loggedOutUntilLogin_data();
    void loggedOutUntilLogin();
    void serialLoginAsTheProgramSendsIt();
    void modemAnswersAtCommands_data();
    void modemAnswersAtCommands();
    void dialConnectsAfterADelayThenLogsIn();
    void linkPathPointsAtTheTerminal();
    void reopeningTheLineKeepsTheSession();
    void sessionEndDropsTheCarrier();

private:
    static bool openPort(QSerialPort &port, const QString &path, int baud)
    {
        port.setPortName(path);
        port.setBaudRate(baud);
        return port.open(QIODevice::ReadWrite);
    }
};

void tst_SimSerial::loggedOutUntilLogin_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("empty line") << QByteArray("") << QByteArray("\r\nlogin:");
    QTest::newRow("SETUP") << QByteArray("SETUP") << QByteArray("SETUP\r\nlogin:");
    QTest::newRow("SAVE") << QByteArray("SAVE") << QByteArray("SAVE\r\nlogin:");
    QTest::newRow("almost") << QByteArray("logi") << QByteArray("logi\r\nlogin:");
}

void tst_SimSerial::loggedOutUntilLogin()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, reply);
    SimProcess sim({QStringLiteral("--pty")});
    QVERIFY(sim.start());
    QVERIFY(sim.ptyPath().startsWith(QLatin1String("/dev/")));
    QSerialPort port;
    QVERIFY(openPort(port, sim.ptyPath(), 9600));
    SimClient client(port);
    QCOMPARE(client.command(line, "login:"), reply);
    // Still logged out: the encoder's commands are not taken.
    QCOMPARE(client.command("SETUP", "login:"), QByteArray("SETUP\r\nlogin:"));
    QCOMPARE(client.command("login"), QByteArray("login\r\n!"));
    QCOMPARE(client.command("SETUP"), QByteArray("SETUP\r\n>"));
}

void tst_SimSerial::serialLoginAsTheProgramSendsIt()
{
    SimProcess sim({QStringLiteral("--pty")});
    QVERIFY(sim.start());
    QSerialPort port;
    QVERIFY(openPort(port, sim.ptyPath(), 9600));
    SimClient client(port);
    client.send("\rlogin\r");
    QCOMPARE(client.readReply("!"), QByteArray("\r\nlogin:login\r\n!"));
    QCOMPARE(client.command("SETUP"), QByteArray("SETUP\r\n>"));
    QCOMPARE(client.command("PORTC"), QByteArray("PORTC\r\n#"));
    QVERIFY(client.command("*").startsWith("*\r\nStreamType=0x0000\r\n"));
    QTRY_VERIFY(sim.transcript().startsWith("\rlogin\rSETUP\rPORTC\r*\r"));
}

void tst_SimSerial::modemAnswersAtCommands_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("AT") << QByteArray("AT") << QByteArray("AT\r\nOK\r\n");
    QTest::newRow("init with a space") << QByteArray("AT Z") << QByteArray("AT Z\r\nOK\r\n");
    QTest::newRow("lower case") << QByteArray("at&f") << QByteArray("at&f\r\nOK\r\n");
    QTest::newRow("not a command") << QByteArray("login") << QByteArray("login\r\nERROR\r\n");
}

void tst_SimSerial::modemAnswersAtCommands()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, reply);
    SimProcess sim({QStringLiteral("--pty"), QStringLiteral("--modem")});
    QVERIFY(sim.start());
    QSerialPort port;
    QVERIFY(openPort(port, sim.ptyPath(), 57600));
    SimClient client(port);
    QCOMPARE(client.command(line, "\r\n"), reply);
}

void tst_SimSerial::dialConnectsAfterADelayThenLogsIn()
{
    SimProcess sim(
        {QStringLiteral("--pty"), QStringLiteral("--modem"), QStringLiteral("--connect-delay"), QStringLiteral("300")});
    QVERIFY(sim.start());
    QSerialPort port;
    QVERIFY(openPort(port, sim.ptyPath(), 57600));
    SimClient client(port);
    QCOMPARE(client.command("AT", "OK\r\n"), QByteArray("AT\r\nOK\r\n"));
    QElapsedTimer clock;
    clock.start();
    // The program's default dial command has a space after AT.
    QCOMPARE(client.command("AT DT9,5551234", "CONNECT 57600\r\n"), QByteArray("AT DT9,5551234\r\nCONNECT 57600\r\n"));
    const qint64 took = clock.elapsed();
    qInfo("CONNECT after %lld ms (connect delay 300 ms)", took);
    QVERIFY(took >= 250);
    // Connected: the encoder behind the modem starts logged out.
    QCOMPARE(client.command("SETUP", "login:"), QByteArray("SETUP\r\nlogin:"));
    QCOMPARE(client.command("login"), QByteArray("login\r\n!"));
    QCOMPARE(client.command("AT"), QByteArray("AT\r\n?\r\n!"));
}

void tst_SimSerial::linkPathPointsAtTheTerminal()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyKYR7"));
    {
        SimProcess sim({QStringLiteral("--pty"), QStringLiteral("--pty-link"), link});
        QVERIFY(sim.start());
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.ptyPath());
        QSerialPort port;
        QVERIFY(openPort(port, link, 9600));
        SimClient client(port);
        QCOMPARE(client.command("login"), QByteArray("login\r\n!"));
    }
    // A stopped simulator leaves no dangling link behind.
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
}

void tst_SimSerial::reopeningTheLineKeepsTheSession()
{
    SimProcess sim({QStringLiteral("--pty")});
    QVERIFY(sim.start());
    {
        QSerialPort port;
        QVERIFY(openPort(port, sim.ptyPath(), 9600));
        SimClient client(port);
        QCOMPARE(client.command("login"), QByteArray("login\r\n!"));
    }
    QSerialPort again;
    QVERIFY(openPort(again, sim.ptyPath(), 9600));
    SimClient client(again);
    QCOMPARE(client.command("SETUP"), QByteArray("SETUP\r\n>"));
}

void tst_SimSerial::sessionEndDropsTheCarrier()
{
    SimProcess sim({QStringLiteral("--pty"), QStringLiteral("--modem"), QStringLiteral("--connect-delay"),
                    QStringLiteral("0"), QStringLiteral("--close-after"), QStringLiteral("3")});
    QVERIFY(sim.start());
    QSerialPort port;
    QVERIFY(openPort(port, sim.ptyPath(), 57600));
    SimClient client(port);
    QCOMPARE(client.command("AT", "OK\r\n"), QByteArray("AT\r\nOK\r\n"));
    QCOMPARE(client.command("ATDT1", "CONNECT 57600\r\n"), QByteArray("ATDT1\r\nCONNECT 57600\r\n"));
    // The third line ends the session: on a serial line the modem hangs up.
    QCOMPARE(client.command("login", "NO CARRIER\r\n"), QByteArray("login\r\n!\r\nNO CARRIER\r\n"));
    QCOMPARE(client.command("AT", "OK\r\n"), QByteArray("AT\r\nOK\r\n"));
}

QTEST_GUILESS_MAIN(tst_SimSerial)
#include "tst_SimSerial.moc"
