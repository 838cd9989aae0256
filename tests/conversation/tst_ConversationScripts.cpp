// What the retrieval and closing scripts put on the wire, byte for byte.
#include "ConversationRig.h"

#include <QLocale>
#include <QtTest/QtTest>

namespace {
const QStringList Sections = {"KYR",   "PGM1",  "PGM2", "CAPPGM1", "CAPPGM2", "PORTA",  "PORTB",
                              "PORTC", "MODEM", "LAN1", "LAN2",    "LAN3",    "LAN4",   "LAN5",
                              "LAN6",  "LAN7",  "LAN8", "FILE1",   "FILE2",   "BTEST1", "BTEST2"};

QByteArray retrievalBytes()
{
    QByteArray bytes = "SETUP\r";
    for (const QString &name : Sections)
        bytes += name.toLatin1() + "\r*\r\r";
    return bytes + "INBRIDGE1\r*\r\r\rSetup\rOUTBRIDGE1\r*\r\r\r\r";
}

// Runs a retrieval until "SETUP" is sent: answers steps, ticks pauses.
void runToSetup(ConversationRig &rig)
{
    for (int guard = 0; guard < 200 && !rig.link->sent.endsWith("SETUP\r"); ++guard) {
        if (rig.step().Command == QLatin1String("|"))
            QVERIFY(rig.timer.fire());
        else
            rig.answerAll(1);
    }
}

// The commands sent inside one section visit of a save, without the
// section's name and its closing CR.
QStringList visitCommands(const QList<QByteArray> &writes, const QByteArray &section)
{
    QStringList commands;
    const qsizetype at = writes.indexOf(section + "\r");
    if (at < 0)
        return commands;
    for (qsizetype i = at + 1; i < writes.size() && writes.at(i) != "\r"; ++i)
        commands << QString::fromLatin1(writes.at(i));
    return commands;
}

QStringList names(const QStringList &commands)
{
    QStringList result;
    for (const QString &c : commands)
        result << c.section(QLatin1Char('='), 0, 0);
    return result;
}

void runSave(ConversationRig &rig)
{
    rig.conv.OpenConnection(ConversationRig::settings("LAN"));
    rig.answerAll();
    rig.link->sent.clear();
    rig.link->writes.clear();
    rig.conv.BuildSaveScript();
    rig.conv.StartClosing();
    rig.answerAll();
}
} // namespace

class tst_ConversationScripts : public QObject
{
    Q_OBJECT
private slots:
    void lanRetrievalSendsTheWholeSequence()
    {
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("LAN"));
        QCOMPARE(rig.linksMade.size(), 1);
        rig.answerAll();
        QCOMPARE(rig.link->sent, retrievalBytes());
        QCOMPARE(rig.retrieved.count(), 1);
        QCOMPARE(rig.monitor.last(), QStringLiteral("Encoder Setup Retrieved"));
        QCOMPARE(rig.conv.Finishing, 0);
        QVERIFY(!rig.timer.isActive());
    }

    void lanRetrievalShowsProgressAndKeepsListings()
    {
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("LAN"));
        rig.answerAll();
        QStringList expected = {"Connection Type is LAN", "LAN Connection Established", "Fetching KYR specific data"};
        for (const QString &name : Sections.mid(1)) {
            QString shown = name;
            if (name.startsWith("PORT"))
                shown = "Port " + name.right(1);
            expected << "Fetching " + shown + " Specific Settings";
        }
        expected << "Fetching INBRIDGE1 Specific Settings"
                 << "Fetching OUTBRIDGE1 Specific Settings"
                 << "Closing Setup Conversation"
                 << "Encoder Setup Retrieved";
        QCOMPARE(rig.monitor, expected);

        const QStringList listings = rig.conv.Listings();
        QCOMPARE(listings.size(), 23);
        for (int k = 0; k < 23; ++k)
            QVERIFY2(listings.at(k).contains("Listed=" + expected.at(k + 2) + "\r\n"), qPrintable(listings.at(k)));
        QVERIFY(listings.at(21).startsWith("INBRIDGE1\r\n"));
        QVERIFY(listings.at(22).startsWith("Setup\r\nOUTBRIDGE1\r\n"));
    }

    void openingPartByLinkKind_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("init");
        QTest::addColumn<QByteArray>("opening");
        QTest::addColumn<int>("setupStep");
        QTest::newRow("LAN") << "LAN"
                             << "AT Z" << QByteArray() << 0;
        QTest::newRow("serial") << "SERIAL"
                                << "AT Z" << QByteArray("\rlogin\r") << 2;
        QTest::newRow("modem defaults") << "MODEM"
                                        << "AT Z" << QByteArray("AT\rAT Z\rAT DT9,\r\rlogin\r") << 5;
        QTest::newRow("modem two INIT commands")
            << "MODEM"
            << "AT Z|AT E0" << QByteArray("AT\rAT Z\rAT E0\rAT DT9,\r\rlogin\r") << 6;
        QStringList many;
        QByteArray manyBytes = "AT\r";
        for (int i = 0; i < 25; ++i) {
            many << QStringLiteral("ATS%1=0").arg(i);
            manyBytes += QStringLiteral("ATS%1=0\r").arg(i).toLatin1();
        }
        QTest::newRow("modem 25 INIT commands, all sent")
            << "MODEM" << many.join('|') << manyBytes + "AT DT9,\r\rlogin\r" << 29;
    }

    void openingPartByLinkKind()
    {
        QFETCH(QString, method);
        QFETCH(QString, init);
        QFETCH(QByteArray, opening);
        QFETCH(int, setupStep);
        ConversationRig rig;
        ConnectionSettings s = ConversationRig::settings(method);
        s.INIT = init;
        rig.conv.OpenConnection(s);
        runToSetup(rig);
        QCOMPARE(rig.link->sent, opening + "SETUP\r");
        QCOMPARE(rig.conv.SetupStep, setupStep);
        QCOMPARE(rig.conv.CurrentStep, setupStep);
        rig.answerAll();
        QCOMPARE(rig.link->sent, opening + retrievalBytes());
        QCOMPARE(rig.retrieved.count(), 1);
    }

    void serialRetrievalWaitsThenLogsIn()
    {
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("SERIAL"));
        QCOMPARE(rig.monitor, QStringList({"Connection Type is Serial", "Serial port open COM1"}));
        QCOMPARE(rig.link->sent, QByteArray());
        QCOMPARE(rig.timer.interval(), 2000);
        QVERIFY(rig.timer.isActive());
        QVERIFY(rig.timer.fire());
        QCOMPARE(rig.link->sent, QByteArray("\rlogin\r"));
        QCOMPARE(rig.timer.interval(), 5000);
        rig.link->receive("\r\nlogin\r\n!");
        QCOMPARE(rig.link->sent, QByteArray("\rlogin\rSETUP\r"));
        QCOMPARE(rig.conv.CurrentStep, 2);
    }

    void modemRetrievalDialsAndWaits()
    {
        ConversationRig rig;
        ConnectionSettings s = ConversationRig::settings("MODEM");
        s.Modem = "COM12";
        s.DIAL = "ATDT";
        s.Number = "555-0100";
        rig.conv.OpenConnection(s);
        QCOMPARE(rig.monitor, QStringList({"Connection Type is Modem", "Modem port open COM12"}));
        QCOMPARE(rig.link->sent, QByteArray("AT\r"));
        rig.link->receive("AT\r\nOK\r\n");
        rig.link->receive("AT Z\r\nOK\r\n");
        QCOMPARE(rig.link->sent, QByteArray("AT\rAT Z\rATDT555-0100\r"));
        QCOMPARE(rig.monitor.last(), QStringLiteral("Dialing"));
        QCOMPARE(rig.timer.interval(), 60000);
        rig.link->receive("connect 57600\r\n"); // letter case does not matter
        QCOMPARE(rig.link->sent, QByteArray("AT\rAT Z\rATDT555-0100\r"));
        QVERIFY(rig.timer.fire());
        QCOMPARE(rig.link->sent, QByteArray("AT\rAT Z\rATDT555-0100\r\rlogin\r"));
    }

    void programVisitSendsEveryProgramRow()
    {
        ConversationRig rig;
        runSave(rig);
        for (const QByteArray section : {"PGM1", "PGM2"}) {
            const QStringList commands = visitCommands(rig.link->writes, section);
            QCOMPARE(commands.size(), 103);
            QCOMPARE(names(commands).mid(0, 5),
                     QStringList({"RequestedVideoMode", "AddToCLines", "AddToLLines", "LineCfgC1F1", "LineCfgC2F1"}));
            QVERIFY(!names(commands).contains("VideoMode"));
            QCOMPARE(names(commands).last(), QStringLiteral("LineCfgL25F2"));
        }
    }

    void captionVisitSendsRowsInTheirOrder()
    {
        ConversationRig rig;
        rig.kyr.setSCAP(1, CapRow::Language608F2, "spn");
        runSave(rig);
        QStringList expected = {"OverwriteUpstream", "Services", "C1To608", "C2To608", "C3To608", "C4To608",
                                "XDSEnabled",        "C1To708",  "C2To708", "C3To708", "C4To708"};
        for (int i = 1; i <= 6; ++i)
            expected << QStringLiteral("UpstreamS%1").arg(i);
        for (int i = 1; i <= 6; ++i)
            expected << QStringLiteral("Language708S%1").arg(i);
        for (int i = 1; i <= 6; ++i)
            expected << QStringLiteral("EasyReader708S%1").arg(i);
        expected << "RCControl"
                 << "Language608F1"
                 << "Language608F2"
                 << "EasyReader608F1"
                 << "EasyReader608F2";
        QCOMPARE(expected.size(), 34);
        QCOMPARE(names(visitCommands(rig.link->writes, "CAPPGM1")), expected);
        const QStringList second = visitCommands(rig.link->writes, "CAPPGM2");
        QCOMPARE(names(second), expected);
        QVERIFY(second.contains("Language608F2=spn\r"));
    }

    void streamRowsFollowStreamType_data()
    {
        QTest::addColumn<int>("stream");
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("expected");
        const QStringList common = {"Program",       "Direction", "DataChannel", "InsertLinesF1",
                                    "InsertLinesF2", "Did",       "SDid"};
        const QStringList serial = {
            "Baud", "WordSize", "Parity", "StopBits", "TxFlowCtrl", "RxFlowCtrl", "DisconnectProcessing"};
        QStringList body = {"FieldIndicator", "DataType", "Mode", "Echo"};
        body << "C1To608"
             << "C2To608"
             << "C3To608"
             << "C4To608"
             << "XDSEnabled"
             << "C1To708"
             << "C2To708"
             << "C3To708"
             << "C4To708"
             << "FlushBytes"
             << "FrameDelay"
             << "DataCountF1"
             << "DataCountF2"
             << "HeaderId1"
             << "HeaderId2"
             << "FooterId"
             << "FooterSize"
             << "TimedBufferFlush"
             << "VancBufferFlush"
             << "transMode"
             << "transTimeout";
        QTest::newRow("free serial port") << int(StreamSlot::PORTA) << 0 << QStringList{"StreamType"};
        QTest::newRow("free LAN port") << int(StreamSlot::LAN3) << 0 << QStringList{"StreamType", "PortAddr"};
        QTest::newRow("caption on port A")
            << int(StreamSlot::PORTA) << 16
            << QStringList{"StreamType"} + common + serial + QStringList{"ModemPresent", "ModemInit"} + body;
        QTest::newRow("transparent on the modem port")
            << int(StreamSlot::MODEM) << 1 << QStringList{"StreamType"} + common + serial + body;
        QTest::newRow("transparent on LAN1")
            << int(StreamSlot::LAN1) << 1 << QStringList{"StreamType", "PortAddr"} + common + body;
        QTest::newRow("constant data file")
            << int(StreamSlot::FILE1) << 2
            << QStringList{"StreamType"} + common + body + QStringList{"FileName", "ConditionalInsertion"};
        QTest::newRow("bridge input") << int(StreamSlot::INBRIDGE1) << 4
                                      << QStringList{"StreamType"} + common + body + QStringList{"BridgeType"};
    }

    void streamRowsFollowStreamType()
    {
        QFETCH(int, stream);
        QFETCH(int, type);
        QFETCH(QStringList, expected);
        ConversationRig rig;
        rig.kyr.setSKYR(KyrRow::Rev, "G");
        rig.kyr.setStr(stream, StrRow::StreamType, KyrValue(qint32(type)));
        runSave(rig);
        QCOMPARE(names(visitCommands(rig.link->writes, clsKYR::StreamText(stream).toLatin1())), expected);
    }

    void bridgeStreamsOnlyAfterRevisionB_data()
    {
        QTest::addColumn<QString>("rev");
        QTest::addColumn<bool>("visited");
        QTest::newRow("none") << "" << false;
        QTest::newRow("A") << "A" << false;
        QTest::newRow("B") << "B" << false;
        QTest::newRow("C") << "C" << true;
        QTest::newRow("G") << "G" << true;
        QTest::newRow("lower-case b comes after B") << "b" << true;
    }

    void bridgeStreamsOnlyAfterRevisionB()
    {
        QFETCH(QString, rev);
        QFETCH(bool, visited);
        ConversationRig rig;
        rig.kyr.setSKYR(KyrRow::Rev, rev);
        runSave(rig);
        QCOMPARE(rig.link->writes.contains("INBRIDGE1\r"), visited);
        QCOMPARE(rig.link->writes.contains("OUTBRIDGE1\r"), visited);
        QVERIFY(rig.link->writes.contains("BTEST2\r"));
        QCOMPARE(rig.closing.count(), 1);
    }

    void emptyStreamsSaveAsTheirTypeOnly()
    {
        ConversationRig rig;
        rig.kyr.setSKYR(KyrRow::Rev, "G");
        for (int s = 0; s < clsKYR::StreamSlots; ++s)
            rig.kyr.setStr(s, StrRow::StreamType, KyrValue(qint32(0)));
        runSave(rig);
        QByteArray tail;
        for (int s = 0; s < clsKYR::StreamSlots; ++s) {
            tail += clsKYR::StreamText(s).toLatin1() + "\rStreamType=0x0000\r";
            if (s >= StreamSlot::LAN1 && s <= StreamSlot::LAN8)
                tail += "PortAddr=" + rig.kyr.sSTR(s, StrRow::PortAddr).toLatin1() + "\r";
            tail += "\r";
        }
        tail += "\rSAVE\r";
        QVERIFY2(rig.link->sent.endsWith("EasyReader608F2=" + rig.kyr.sCAP(1, CapRow::EasyReader608F2).toLatin1() +
                                         "\r\r" + tail),
                 rig.link->sent.right(400).constData());
        QVERIFY(rig.link->sent.startsWith("SETUP\rKYR\rIpNum="));
        QCOMPARE(rig.monitor.last(), QStringLiteral("Setup is complete, Press Done to exit"));
        QCOMPARE(rig.conv.CurrentStep, -1);
    }

    void saveShowsWhatItSaves()
    {
        ConversationRig rig;
        rig.kyr.setSKYR(KyrRow::Rev, "G");
        runSave(rig);
        for (const char *line :
             {"Saving Program 1 Specific Data", "Saving Program 2 Specific Data", "Saving Program 1 Caption Data",
              "Saving Program 2 Caption Data", "Saving PORTA Specific Data", "Saving Bridge Specific Data",
              "KYR7 is Saving Parameters", "Setup is complete, Press Done to exit"})
            QVERIFY2(rig.monitor.contains(QString::fromLatin1(line)), line);
        const ScriptStep &save = rig.conv.Script.at(rig.conv.Script.size() - 2);
        QCOMPARE(save.Command, QStringLiteral("SAVE\r"));
        QCOMPARE(save.Interval, 8000);
        QCOMPARE(save.MaxTries, qint16(2));
    }

    void fullConfigurationNeedsMoreThan901Steps()
    {
        ConversationRig rig;
        rig.kyr.setSKYR(KyrRow::Rev, "G");
        for (int s = 0; s < clsKYR::StreamSlots; ++s)
            rig.kyr.setStr(s, StrRow::StreamType, KyrValue(qint32(s >= StreamSlot::INBRIDGE1 ? 4 : 16)));
        runSave(rig);
        QVERIFY2(rig.conv.Script.size() > 901, qPrintable(QString::number(rig.conv.Script.size())));
        QCOMPARE(qsizetype(rig.link->writes.size()), qsizetype(rig.conv.Script.size() - 1));
        QCOMPARE(rig.link->writes.last(), QByteArray("SAVE\r"));
        QCOMPARE(rig.closing.count(), 1);
    }

    void valuesNeverCarryLineBreaks()
    {
        ConversationRig rig;
        rig.kyr.setStr(StreamSlot::PORTA, StrRow::StreamType, KyrValue(qint32(16)));
        rig.kyr.setSSTR(StreamSlot::PORTA, StrRow::ModemInit, "AT&F\r\nATZ\r");
        rig.kyr.setSKYR(KyrRow::IpNum, "10.0.0.\n5");
        runSave(rig);
        QVERIFY(rig.link->writes.contains("ModemInit=AT&FATZ\r"));
        QVERIFY(rig.link->writes.contains("IpNum=10.0.0.5\r"));
        for (const QByteArray &w : rig.link->writes) {
            QVERIFY2(!w.contains('\n'), w.constData());
            QVERIFY2(w.indexOf('\r') == w.size() - 1, w.constData());
        }
    }

    void numbersUseAPointWhateverTheLocale()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        ConversationRig rig;
        rig.kyr.setStr(StreamSlot::LAN1, StrRow::StreamType, KyrValue(qint32(1)));
        rig.kyr.setStr(StreamSlot::LAN1, StrRow::transTimeout, KyrValue(2.5));
        runSave(rig);
        QLocale::setDefault(before);
        QVERIFY(visitCommands(rig.link->writes, "LAN1").contains("transTimeout=2.5\r"));
    }

    void oneStepClosingScripts_data()
    {
        QTest::addColumn<bool>("defaults");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("exit") << false << QByteArray("EXIT\r");
        QTest::newRow("defaults") << true << QByteArray("DEFAULTS\r");
    }

    void oneStepClosingScripts()
    {
        QFETCH(bool, defaults);
        QFETCH(QByteArray, command);
        ConversationRig rig;
        rig.conv.OpenConnection(ConversationRig::settings("LAN"));
        rig.answerAll();
        rig.link->sent.clear();
        defaults ? rig.conv.BuildDefaultsScript() : rig.conv.BuildExitScript();
        rig.conv.StartClosing();
        QCOMPARE(rig.conv.Finishing, 1);
        QCOMPARE(rig.link->sent, command);
        QCOMPARE(rig.timer.interval(), 5000);
        QVERIFY(rig.timer.fire());
        QCOMPARE(rig.link->sent, command + command);
        rig.link->receive(command.replace("\r", "\r\n") + "!");
        QCOMPARE(rig.closing.count(), 1);
        QCOMPARE(rig.conv.CurrentStep, -1);
        QVERIFY(!rig.timer.isActive());
    }
};

QTEST_GUILESS_MAIN(tst_ConversationScripts)
#include "tst_ConversationScripts.moc"
