// kyr7sim on a real pseudo-terminal: the serial login and the Hayes modem in front of the encoder.
#include "SimClient.h"
#include "SimProcess.h"

#include <QSerialPort>
#include <QTest>

class tst_SimSerial : public QObject
{
    Q_OBJECT

private slots:
    void conversation_data();
    void conversation();
};

void tst_SimSerial::conversation_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("steps"); // line sent|reply expected|line sent|...
    // Logged out until "login", which the program sends after a CR in one write.
    QTest::newRow("serial") << QStringList{"--pty"}
                            << QByteArray("SETUP|SETUP\r\nlogin:|logi|logi\r\nlogin:|\rlogin|\r\nlogin:login\r\n!|"
                                          "SETUP|SETUP\r\n>");
    // The modem answers AT commands; a dial connects to the encoder, logged out; the session's end hangs up.
    QTest::newRow("modem") << QStringList{"--pty", "--modem", "--connect-delay", "0", "--close-after", "6"}
                           << QByteArray("AT|AT\r\nOK\r\n|login|login\r\nERROR\r\n|"
                                         "AT DT9,5551234|AT DT9,5551234\r\nCONNECT 57600\r\n|SETUP|SETUP\r\nlogin:|"
                                         "login|login\r\n!|SETUP|SETUP\r\n>\r\nNO CARRIER\r\n|at&f|at&f\r\nOK\r\n");
}

void tst_SimSerial::conversation()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, steps);
    SimProcess sim(args);
    QVERIFY(sim.start());
    QSerialPort port(sim.ptyPath());
    QVERIFY(port.open(QIODevice::ReadWrite));
    SimClient client{port};
    const QByteArrayList step = steps.split('|');
    for (qsizetype i = 0; i + 1 < step.size(); i += 2)
        QCOMPARE(client.command(step.at(i), step.at(i + 1)), step.at(i + 1));
}

QTEST_GUILESS_MAIN(tst_SimSerial)
#include "tst_SimSerial.moc"
