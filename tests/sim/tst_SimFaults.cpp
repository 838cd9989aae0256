// kyr7sim's fault options, as the conversation tests rely on them.
#include "SimTcpRig.h"

#include <QElapsedTimer>
#include <QTest>

class tst_SimFaults : public QObject
{
    Q_OBJECT

private slots:
    void chunkedRepliesArriveInPieces();
    void droppedReplyNeverComes();
    void closeAfterCommands();
    void closeOnExit_data();
    void closeOnExit();
    void connectionStaysOpenWithoutCloseOnExit();
    void rateLimitPacesTheOutput();
    void delayHoldsEveryReplyInOrder();
    void floodWithoutPrompt();
    void badFaultValueStopsTheStart_data();
    void badFaultValueStopsTheStart();

private:
    static QByteArray plainListing(const char *section)
    {
        SimTcpRig rig;
        if (!rig.start())
            return {};
        rig.client.command("SETUP");
        rig.client.command(section);
        return rig.client.command("*");
    }
};

void tst_SimFaults::chunkedRepliesArriveInPieces()
{
    const QByteArray expected = plainListing("KYR");
    QVERIFY(expected.endsWith('#'));
    SimTcpRig rig(
        {QStringLiteral("--chunk"), QStringLiteral("7"), QStringLiteral("--chunk-gap"), QStringLiteral("20")});
    QVERIFY(rig.start());
    QCOMPARE(rig.client.command("SETUP"), QByteArray("SETUP\r\n>"));
    rig.client.command("KYR");
    // A prompt character inside a piece must not end the reading early: read up to the last "#".
    const QByteArray listing = rig.client.command("*", "\r\n#");
    QCOMPARE(listing, expected);
    qInfo("listing of %lld bytes arrived in %d pieces", qint64(listing.size()), rig.client.lastArrivals());
    QVERIFY(rig.client.lastArrivals() >= 2);
}

void tst_SimFaults::droppedReplyNeverComes()
{
    SimTcpRig rig({QStringLiteral("--drop"), QStringLiteral("2")});
    QVERIFY(rig.start());
    QCOMPARE(rig.client.command("SETUP"), QByteArray("SETUP\r\n>"));
    rig.client.send("KYR\r");
    QCOMPARE(rig.client.readFor(300), QByteArray());
    // The line was still obeyed: the session is inside KYR.
    QCOMPARE(rig.client.command(""), QByteArray("\r\n>"));
    QCOMPARE(rig.client.command("KYR"), QByteArray("KYR\r\n#"));
}

void tst_SimFaults::closeAfterCommands()
{
    SimTcpRig rig({QStringLiteral("--close-after"), QStringLiteral("3")});
    QVERIFY(rig.start());
    // The third line arrives together with a fourth, which is not answered.
    QCOMPARE(rig.client.command("SETUP"), QByteArray("SETUP\r\n>"));
    QCOMPARE(rig.client.command("KYR"), QByteArray("KYR\r\n#"));
    rig.client.send("\r\r");
    QCOMPARE(rig.client.readReply(), QByteArray("\r\n>"));
    QVERIFY(rig.waitClosed());
    QTRY_COMPARE(rig.sim.transcript(), QByteArray("SETUP\rKYR\r\r\r"));
    // A new connection is a new session.
    QTcpSocket second;
    QVERIFY(rig.connectClient(second));
    SimClient other(second);
    QCOMPARE(other.command("SETUP"), QByteArray("SETUP\r\n>"));
}

void tst_SimFaults::closeOnExit_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("SAVE") << QByteArray("SAVE");
    QTest::newRow("DEFAULTS") << QByteArray("DEFAULTS");
    QTest::newRow("EXIT") << QByteArray("EXIT");
}

void tst_SimFaults::closeOnExit()
{
    QFETCH(QByteArray, command);
    SimTcpRig rig({QStringLiteral("--close-on-exit")});
    QVERIFY(rig.start());
    QCOMPARE(rig.client.command("SETUP"), QByteArray("SETUP\r\n>"));
    QCOMPARE(rig.client.command(""), QByteArray("\r\n!"));
    QCOMPARE(rig.client.command(command), command + "\r\n!");
    QVERIFY(rig.waitClosed());
}

void tst_SimFaults::connectionStaysOpenWithoutCloseOnExit()
{
    SimTcpRig rig;
    QVERIFY(rig.start());
    QCOMPARE(rig.client.command("SAVE"), QByteArray("SAVE\r\n!"));
    QCOMPARE(rig.client.command("EXIT"), QByteArray("EXIT\r\n!"));
    QCOMPARE(rig.client.command("SETUP"), QByteArray("SETUP\r\n>"));
}

void tst_SimFaults::rateLimitPacesTheOutput()
{
    const QByteArray expected = plainListing("PGM1");
    QVERIFY(expected.size() > 1000);
    const int rate = 4000;
    SimTcpRig rig({QStringLiteral("--rate"), QString::number(rate)});
    QVERIFY(rig.start());
    rig.client.command("SETUP");
    rig.client.command("PGM1");
    QElapsedTimer clock;
    clock.start();
    const QByteArray listing = rig.client.command("*", "\r\n#", 10000);
    const qint64 took = clock.elapsed();
    const qint64 ideal = qint64(listing.size()) * 1000 / rate;
    qInfo("%lld bytes at %d bytes/s took %lld ms (ideal %lld ms)", qint64(listing.size()), rate, took, ideal);
    QCOMPARE(listing, expected);
    QVERIFY(took >= ideal * 7 / 10);
    QVERIFY(rig.client.lastArrivals() > 5);
}

void tst_SimFaults::delayHoldsEveryReplyInOrder()
{
    SimTcpRig rig({QStringLiteral("--delay"), QStringLiteral("300")});
    QVERIFY(rig.start());
    QElapsedTimer clock;
    clock.start();
    rig.client.send("SETUP\rKYR\r\r\r");
    QCOMPARE(rig.client.readFor(150), QByteArray());
    const QByteArray all = rig.client.readReply("\r\n>\r\n!");
    const qint64 took = clock.elapsed();
    qInfo("four replies with a 300 ms delay took %lld ms", took);
    QCOMPARE(all, QByteArray("SETUP\r\n>KYR\r\n#\r\n>\r\n!"));
    QVERIFY(took >= 250);
}

void tst_SimFaults::floodWithoutPrompt()
{
    SimTcpRig rig({QStringLiteral("--flood"), QStringLiteral("100000")});
    QVERIFY(rig.start());
    rig.client.command("SETUP");
    rig.client.command("CAPPGM1");
    rig.client.send("*\r");
    QByteArray flood;
    QElapsedTimer clock;
    clock.start();
    while (flood.size() < 3 + 100000 && clock.elapsed() < 5000)
        flood += rig.client.readFor(50);
    flood += rig.client.readFor(200);
    QCOMPARE(flood.size(), qsizetype(3 + 100000));
    QVERIFY(flood.startsWith("*\r\n"));
    for (char prompt : {'!', '>', '#', '?'})
        QVERIFY(!flood.contains(prompt));
    // Only the first listing floods; the session is still inside the section.
    QVERIFY(rig.client.command("*").startsWith("*\r\nOverwriteUpstream=1\r\n"));
}

void tst_SimFaults::badFaultValueStopsTheStart_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("negative delay") << QStringList{QStringLiteral("--delay"), QStringLiteral("-5")};
    QTest::newRow("junk chunk") << QStringList{QStringLiteral("--chunk"), QStringLiteral("ten")};
    QTest::newRow("port out of range") << QStringList{QStringLiteral("--port"), QStringLiteral("70000")};
    QTest::newRow("listen on a name") << QStringList{QStringLiteral("--listen"), QStringLiteral("localhost")};
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")};
}

void tst_SimFaults::badFaultValueStopsTheStart()
{
    QFETCH(QStringList, args);
    SimProcess sim(args);
    QVERIFY(!sim.start());
    QTRY_COMPARE(sim.process().state(), QProcess::NotRunning);
    QVERIFY(sim.process().exitCode() != 0);
    QVERIFY(sim.output().contains(QLatin1String("kyr7sim")) || !sim.output().isEmpty());
}

QTEST_GUILESS_MAIN(tst_SimFaults)
#include "tst_SimFaults.moc"
