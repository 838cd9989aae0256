// kyr7sim's dialect over real loopback TCP: prompts, listings, parameter lines, SAVE/EXIT/DEFAULTS.
#include "SimConfig.h"
#include "SimTcpRig.h"
#include "clsKYR.h"
#include "mParseSetup.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct SectionRef
{
    Section section;
    int slot;
    QString name;
};

QList<SectionRef> allSections()
{
    QList<SectionRef> out;
    for (Section s : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str}) {
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot)
            out.append({s, slot, clsKYR::SectionName(s, slot)});
    }
    return out;
}

QByteArray listing(const clsKYR &kyr, Section s, int slot)
{
    return kyr.GetParam(s, slot, QStringLiteral("*")).mid(1).toLatin1();
}
} // namespace

class tst_SimProtocol : public QObject
{
    Q_OBJECT

private slots:
    void prompts_data();
    void prompts();
    void lineFeedsAreIgnored();
    void overlongLineIsRefused();
    void everyListingInTableOrder();
    void retrievalAsTheProgramSendsIt();
    void parameterLines_data();
    void parameterLines();
    void refusedLinesChangeNothing_data();
    void refusedLinesChangeNothing();
    void savedValuesSurviveARestart();
    void exitThrowsChangesAway();
    void sessionsShareOneConfiguration();
    void defaultsKeepTheNetworkSettings();
    void configFileAndIdentityOptions();
    void stateFileTakesPrecedenceOverConfig();
    void badConfigFileStopsTheStart_data();
    void badConfigFileStopsTheStart();
    void transcriptHoldsEveryByte();
};

void tst_SimProtocol::prompts_data()
{
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QByteArray>("lastReply");
    using L = QByteArrayList;
    QTest::newRow("empty line at command level") << L{""} << QByteArray("\r\n!");
    QTest::newRow("login") << L{"login"} << QByteArray("login\r\n!");
    QTest::newRow("SETUP") << L{"SETUP"} << QByteArray("SETUP\r\n>");
    QTest::newRow("Setup in any case") << L{"Setup"} << QByteArray("Setup\r\n>");
    QTest::newRow("unknown command") << L{"REBOOT"} << QByteArray("REBOOT\r\n?\r\n!");
    QTest::newRow("RESTART") << L{"RESTART"} << QByteArray("RESTART\r\n!");
    QTest::newRow("SETUP again stays") << L{"SETUP", "SETUP"} << QByteArray("SETUP\r\n>");
    QTest::newRow("unknown section") << L{"SETUP", "PGM3"} << QByteArray("PGM3\r\n?\r\n>");
    QTest::newRow("command word in setup mode") << L{"SETUP", "SAVE"} << QByteArray("SAVE\r\n?\r\n>");
    QTest::newRow("empty line leaves setup mode") << L{"SETUP", ""} << QByteArray("\r\n!");
    QTest::newRow("section") << L{"SETUP", "OUTBRIDGE1"} << QByteArray("OUTBRIDGE1\r\n#");
    QTest::newRow("empty line leaves the section") << L{"SETUP", "KYR", ""} << QByteArray("\r\n>");
    QTest::newRow("unknown name in a section") << L{"SETUP", "KYR", "Bogus=1"} << QByteArray("Bogus=1\r\n?\r\n#");
    QTest::newRow("parameter line") << L{"SETUP", "LAN3", "Did=0x51"} << QByteArray("Did=0x51\r\n#");
    QTest::newRow("SAVE") << L{"SAVE"} << QByteArray("SAVE\r\n!");
    QTest::newRow("EXIT") << L{"EXIT"} << QByteArray("EXIT\r\n!");
    QTest::newRow("DEFAULTS") << L{"DEFAULTS"} << QByteArray("DEFAULTS\r\n!");
}

void tst_SimProtocol::prompts()
{
    QFETCH(QByteArrayList, lines);
    QFETCH(QByteArray, lastReply);
    SimTcpRig rig;
    QVERIFY(rig.start());
    QByteArray reply;
    for (const QByteArray &line : lines)
        reply = rig.client.command(line);
    QCOMPARE(reply, lastReply);
}

void tst_SimProtocol::lineFeedsAreIgnored()
{
    SimTcpRig rig;
    QVERIFY(rig.start());
    // A line feed alone is no line; inside a line it is dropped.
    rig.client.send("\n\n");
    QCOMPARE(rig.client.readFor(150), QByteArray());
    QCOMPARE(rig.client.command("SE\nTUP\n"), QByteArray("SETUP\r\n>"));
    QCOMPARE(rig.client.command("\nKYR"), QByteArray("KYR\r\n#"));
    QCOMPARE(rig.client.command("\n"), QByteArray("\r\n>"));
}

void tst_SimProtocol::overlongLineIsRefused()
{
    SimTcpRig rig;
    QVERIFY(rig.start());
    const QByteArray reply = rig.client.command(QByteArray(20000, 'A'));
    QVERIFY(reply.endsWith("\r\n?\r\n!"));
    QCOMPARE(rig.client.command("SETUP"), QByteArray("SETUP\r\n>"));
}

void tst_SimProtocol::everyListingInTableOrder()
{
    clsKYR expected;
    QVERIFY(DefaultSimConfig(expected));
    SimTcpRig rig;
    QVERIFY(rig.start());
    QCOMPARE(rig.client.command("SETUP"), QByteArray("SETUP\r\n>"));
    static const QRegularExpression forms[] = {
        QRegularExpression(QStringLiteral("^[^\r\n]*$")),
        QRegularExpression(QStringLiteral("^[0-9]+(\\.[0-9]+)?$")),
        QRegularExpression(QStringLiteral("^0x[0-9A-F]{2}$")),
        QRegularExpression(QStringLiteral("^0x[0-9A-F]{4,}$")),
        QRegularExpression(QStringLiteral("^0x[0-9A-F]{8}$")),
    };
    for (const SectionRef &ref : allSections()) {
        QCOMPARE(rig.client.command(ref.name.toLatin1()), ref.name.toLatin1() + "\r\n#");
        const QByteArray reply = rig.client.command("*");
        QCOMPARE(reply, "*\r\n" + listing(expected, ref.section, ref.slot) + "#");
        // Every row in table order, each value in its kind's text form.
        const QList<QByteArray> lines = reply.mid(3, reply.size() - 4).split('\n');
        const auto &defs = clsKYR::Definitions(ref.section);
        QCOMPARE(lines.size(), qsizetype(defs.size() + 1));
        for (size_t row = 0; row < defs.size(); ++row) {
            const QString line = QString::fromLatin1(lines.at(row).chopped(1));
            QVERIFY2(line.startsWith(defs[row].Name + u'='), qPrintable(ref.name + u' ' + line));
            const QString value = line.mid(defs[row].Name.size() + 1);
            QVERIFY2(forms[defs[row].Kind].match(value).hasMatch(), qPrintable(ref.name + u' ' + line));
        }
        QCOMPARE(rig.client.command(""), QByteArray("\r\n>"));
    }
}

void tst_SimProtocol::retrievalAsTheProgramSendsIt()
{
    clsKYR expected;
    QVERIFY(DefaultSimConfig(expected));
    SimTcpRig rig;
    QVERIFY(rig.start());
    QStringList listings;
    QVERIFY(rig.client.command("SETUP").endsWith('>'));
    for (int i = 0; i < 21; ++i) {
        const SectionRef ref = allSections().at(i);
        QVERIFY(rig.client.command(ref.name.toLatin1()).endsWith('#'));
        listings << QString::fromLatin1(rig.client.command("*"));
        QVERIFY(rig.client.command("").endsWith('>'));
    }
    // The bridge visits go out as one write each and end at the command level.
    rig.client.send("INBRIDGE1\r*\r\r\r");
    const QByteArray in = rig.client.readReply("\r\n!");
    QCOMPARE(in, "INBRIDGE1\r\n#*\r\n" + listing(expected, Section::Str, StreamSlot::INBRIDGE1) + "#\r\n>\r\n!");
    rig.client.send("Setup\rOUTBRIDGE1\r*\r\r\r");
    const QByteArray out = rig.client.readReply("\r\n!");
    QCOMPARE(out, "Setup\r\n>OUTBRIDGE1\r\n#*\r\n" + listing(expected, Section::Str, StreamSlot::OUTBRIDGE1) +
                      "#\r\n>\r\n!");
    QCOMPARE(rig.client.command(""), QByteArray("\r\n!"));
    listings << QString::fromLatin1(in) << QString::fromLatin1(out);

    clsKYR parsed;
    bool parseError = false;
    ParseSetup(parsed, listings, [&](const QString &) { parseError = true; });
    QVERIFY(!parseError);
    QVERIFY(parsed == expected);
}

void tst_SimProtocol::parameterLines_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("listed");
    QTest::newRow("byte, lower-case name") << QByteArray("LAN3") << QByteArray("did=0x51") << QByteArray("Did=0x51");
    QTest::newRow("byte, one digit") << QByteArray("PORTA") << QByteArray("SDid=0xf") << QByteArray("SDid=0x0F");
    QTest::newRow("byte, 0X is no hex") << QByteArray("LAN3") << QByteArray("DID=0X51") << QByteArray("Did=0x00");
    QTest::newRow("byte, junk hex") << QByteArray("LAN3") << QByteArray("Did=0xZZ") << QByteArray("Did=0x00");
    QTest::newRow("byte, no prefix") << QByteArray("LAN3") << QByteArray("Did=51") << QByteArray("Did=0x00");
    QTest::newRow("word") << QByteArray("LAN2") << QByteArray("StreamType=0x1234") << QByteArray("StreamType=0x1234");
    QTest::newRow("word, short") << QByteArray("LAN2") << QByteArray("StreamType=0x7")
                                 << QByteArray("StreamType=0x0007");
    QTest::newRow("word, too long") << QByteArray("LAN2") << QByteArray("StreamType=0x12345")
                                    << QByteArray("StreamType=0x0000");
    QTest::newRow("long") << QByteArray("FILE2") << QByteArray("InsertLinesF2=0x00100000")
                          << QByteArray("InsertLinesF2=0x00100000");
    QTest::newRow("long, bit 31 masked") << QByteArray("PGM2") << QByteArray("AddToCLines=0x80000080")
                                         << QByteArray("AddToCLines=0x00000080");
    QTest::newRow("decimal") << QByteArray("PORTB") << QByteArray("Baud=19200") << QByteArray("Baud=19200");
    QTest::newRow("decimal, sign") << QByteArray("PORTB") << QByteArray("Baud=-5") << QByteArray("Baud=0");
    QTest::newRow("decimal, trailing junk") << QByteArray("PORTB") << QByteArray("Baud=12abc") << QByteArray("Baud=12");
    QTest::newRow("decimal, empty") << QByteArray("PGM1") << QByteArray("LineCfgL25F2=")
                                    << QByteArray("LineCfgL25F2=0");
    QTest::newRow("text keeps later =") << QByteArray("KYR") << QByteArray("IpNum=10.1.1.2=x")
                                        << QByteArray("IpNum=10.1.1.2=x");
    QTest::newRow("text keeps spaces") << QByteArray("CAPPGM2") << QByteArray("Language608F2= spn ")
                                       << QByteArray("Language608F2= spn ");
    QTest::newRow("text, Latin-1") << QByteArray("FILE1") << QByteArray("FileName=caf\xe9")
                                   << QByteArray("FileName=caf\xe9");
    QTest::newRow("lower-case name") << QByteArray("OUTBRIDGE1") << QByteArray("transtimeout=7")
                                     << QByteArray("transTimeout=7");
}

void tst_SimProtocol::parameterLines()
{
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, listed);
    SimTcpRig rig;
    QVERIFY(rig.start());
    rig.client.command("SETUP");
    QCOMPARE(rig.client.command(section), section + "\r\n#");
    QCOMPARE(rig.client.command(line), line + "\r\n#");
    const QByteArray list = rig.client.command("*");
    QVERIFY2(list.contains("\r\n" + listed + "\r\n"), list.constData());
}

void tst_SimProtocol::refusedLinesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("no =") << QByteArray("Did 0x22");
    QTest::newRow("name alone") << QByteArray("Did");
    QTest::newRow("empty name") << QByteArray("=0x22");
    QTest::newRow("unknown name") << QByteArray("Bogus=0x22");
    QTest::newRow("name with a space") << QByteArray("Did =0x22");
    QTest::newRow("name of another section") << QByteArray("IpNum=1.2.3.4");
    QTest::newRow("section name") << QByteArray("LAN2");
}

void tst_SimProtocol::refusedLinesChangeNothing()
{
    QFETCH(QByteArray, line);
    SimTcpRig rig;
    QVERIFY(rig.start());
    rig.client.command("SETUP");
    rig.client.command("LAN1");
    const QByteArray before = rig.client.command("*");
    QCOMPARE(rig.client.command(line), line + "\r\n?\r\n#");
    QCOMPARE(rig.client.command("*"), before);
}

void tst_SimProtocol::savedValuesSurviveARestart()
{
    QTemporaryDir dir;
    const QString state = dir.filePath(QStringLiteral("state.cfg"));
    const QByteArrayList changes = {"KYR",
                                    "IpNum=10.0.0.7",
                                    "DHCP=1",
                                    "",
                                    "PGM2",
                                    "RequestedVideoMode=10",
                                    "AddToLLines=0x00000400",
                                    "",
                                    "CAPPGM1",
                                    "Language708S3=fra",
                                    "",
                                    "MODEM",
                                    "StreamType=0x0001",
                                    "Did=0x9A",
                                    "Parity=E",
                                    "",
                                    ""};
    QByteArrayList listings;
    {
        SimTcpRig rig({QStringLiteral("--state"), state});
        QVERIFY(rig.start());
        rig.client.command("SETUP");
        for (const QByteArray &line : changes)
            QVERIFY(!rig.client.command(line).contains('?'));
        QCOMPARE(rig.client.command("SAVE"), QByteArray("SAVE\r\n!"));
        rig.client.command("SETUP");
        for (const char *name : {"KYR", "PGM2", "CAPPGM1", "MODEM"}) {
            rig.client.command(name);
            listings << rig.client.command("*");
            rig.client.command("");
        }
    }
    clsKYR stored;
    QVERIFY(DefaultSimConfig(stored));
    QVERIFY(LoadSimConfig(state, stored));
    QCOMPARE(stored.sKYR(KyrRow::IpNum), QStringLiteral("10.0.0.7"));
    QCOMPARE(stored.sSTR(StreamSlot::MODEM, StrRow::Did), QStringLiteral("0x9A"));

    SimTcpRig again({QStringLiteral("--state"), state});
    QVERIFY(again.start());
    again.client.command("SETUP");
    int i = 0;
    for (const char *name : {"KYR", "PGM2", "CAPPGM1", "MODEM"}) {
        again.client.command(name);
        QCOMPARE(again.client.command("*"), listings.at(i++));
        again.client.command("");
    }
}

void tst_SimProtocol::exitThrowsChangesAway()
{
    SimTcpRig rig;
    QVERIFY(rig.start());
    rig.client.command("SETUP");
    rig.client.command("LAN5");
    const QByteArray before = rig.client.command("*");
    rig.client.command("PortAddr=3333");
    rig.client.command("");
    rig.client.command("");
    QCOMPARE(rig.client.command("EXIT"), QByteArray("EXIT\r\n!"));
    rig.client.command("SETUP");
    rig.client.command("LAN5");
    QCOMPARE(rig.client.command("*"), before);
    // Nothing was saved, so no state file was written.
    QVERIFY(!QFile::exists(rig.sim.statePath()));
}

void tst_SimProtocol::sessionsShareOneConfiguration()
{
    SimTcpRig rig;
    QVERIFY(rig.start());
    rig.client.command("SETUP");
    rig.client.command("KYR");
    rig.client.command("Gateway=10.9.9.9");
    QTcpSocket second;
    QVERIFY(rig.connectClient(second));
    SimClient other(second);
    QCOMPARE(other.command("SETUP"), QByteArray("SETUP\r\n>"));
    other.command("KYR");
    QVERIFY(other.command("*").contains("\r\nGateway=10.9.9.9\r\n"));
}

void tst_SimProtocol::defaultsKeepTheNetworkSettings()
{
    SimTcpRig rig;
    QVERIFY(rig.start());
    rig.client.command("SETUP");
    for (const QByteArray &line :
         {QByteArray("KYR"), QByteArray("IpNum=10.20.30.40"), QByteArray("Broadcast=10.20.30.255"),
          QByteArray("Netmask=255.255.0.0"), QByteArray("Gateway=10.20.0.1"), QByteArray("DHCP=1"), QByteArray("")})
        rig.client.command(line);
    rig.client.command("");
    QCOMPARE(rig.client.command("DEFAULTS"), QByteArray("DEFAULTS\r\n!"));

    clsKYR expected;
    QVERIFY(DefaultSimConfig(expected, {QStringLiteral("--factory-defaults")}));
    expected.setSKYR(KyrRow::IpNum, QStringLiteral("10.20.30.40"));
    expected.setSKYR(KyrRow::Broadcast, QStringLiteral("10.20.30.255"));
    expected.setSKYR(KyrRow::Netmask, QStringLiteral("255.255.0.0"));
    expected.setSKYR(KyrRow::Gateway, QStringLiteral("10.20.0.1"));
    expected.setSKYR(KyrRow::DHCP, QStringLiteral("1"));
    // The detected video formats are facts about the inputs, not settings.
    expected.setSPGM(0, PgmRow::VideoMode, QStringLiteral("8"));
    expected.setSPGM(1, PgmRow::VideoMode, QStringLiteral("3"));

    clsKYR stored;
    QVERIFY(LoadSimConfig(rig.sim.statePath(), stored));
    QVERIFY(stored == expected);
    // The reset is also the working configuration: EXIT does not bring the modules back.
    rig.client.command("EXIT");
    rig.client.command("SETUP");
    rig.client.command("LAN1");
    QCOMPARE(rig.client.command("*"), "*\r\n" + listing(expected, Section::Str, StreamSlot::LAN1) + "#");
}

void tst_SimProtocol::configFileAndIdentityOptions()
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("start.cfg"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("; a partial configuration\n[kyr]\nRev=C\nSerialNumber=777\n\n[LAN8]\r\nStreamType=0x0004\r\n");
    file.close();
    SimTcpRig rig({QStringLiteral("--config"), config, QStringLiteral("--serial-number"), QStringLiteral("4242"),
                   QStringLiteral("--part-suggested"), QStringLiteral("47215RH"), QStringLiteral("--program-count"),
                   QStringLiteral("1")});
    QVERIFY(rig.start());
    rig.client.command("SETUP");
    rig.client.command("KYR");
    const QByteArray kyr = rig.client.command("*");
    for (const char *line : {"\r\nRev=C\r\n", "\r\nSerialNumber=4242\r\n", "\r\nPartSuggested=47215RH\r\n",
                             "\r\nProgramCount=1\r\n", "\r\nID=KYR7\r\n"})
        QVERIFY2(kyr.contains(line), line);
    rig.client.command("");
    rig.client.command("LAN8");
    QVERIFY(rig.client.command("*").startsWith("*\r\nStreamType=0x0004\r\n"));
}

void tst_SimProtocol::stateFileTakesPrecedenceOverConfig()
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("start.cfg"));
    const QString state = dir.filePath(QStringLiteral("state.cfg"));
    for (const auto &[path, text] : {std::pair{config, QByteArray("[PGM1]\nRequestedVideoMode=2\n[LAN4]\nDid=0x44\n")},
                                     std::pair{state, QByteArray("[PGM1]\nRequestedVideoMode=11\n")}}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    clsKYR kyr;
    QVERIFY(DefaultSimConfig(kyr, {QStringLiteral("--config"), config, QStringLiteral("--state"), state,
                                   QStringLiteral("--rev"), QStringLiteral("B")}));
    QCOMPARE(kyr.sPGM(0, PgmRow::RequestedVideoMode), QStringLiteral("11"));
    QCOMPARE(kyr.sSTR(StreamSlot::LAN4, StrRow::Did), QStringLiteral("0x44"));
    QCOMPARE(kyr.sKYR(KyrRow::Rev), QStringLiteral("B"));
    // Printing the configuration leaves the state file alone.
    QVERIFY(LoadSimConfig(state, kyr));
    QFile file(state);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[PGM1]\nRequestedVideoMode=11\n"));
}

void tst_SimProtocol::badConfigFileStopsTheStart_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown section") << QByteArray("[PGM3]\nVideoMode=1\n") << QStringLiteral(":1: unknown section");
    QTest::newRow("unknown name") << QByteArray("[KYR]\nRev=G\nBogus=1\n") << QStringLiteral(":3: no parameter Bogus");
    QTest::newRow("line before a section") << QByteArray("Rev=G\n") << QStringLiteral(":1: parameter line before");
    QTest::newRow("no =") << QByteArray("[KYR]\nRev\n") << QStringLiteral(":2: no parameter Rev");
}

void tst_SimProtocol::badConfigFileStopsTheStart()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("bad.cfg"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    SimProcess sim({QStringLiteral("--config"), config});
    QVERIFY(!sim.start());
    QTRY_COMPARE(sim.process().state(), QProcess::NotRunning);
    QCOMPARE(sim.process().exitCode(), 2);
    QVERIFY2(sim.output().contains(message), qPrintable(sim.output()));
}

void tst_SimProtocol::transcriptHoldsEveryByte()
{
    SimTcpRig rig;
    QVERIFY(rig.start());
    const QByteArray sent("SETUP\r\n\nKYR\r*\r\x01\xff\r\r\r");
    rig.client.send(sent);
    rig.client.readReply("\r\n!");
    QTRY_COMPARE(rig.sim.transcript(), sent);
}

QTEST_GUILESS_MAIN(tst_SimProtocol)
#include "tst_SimProtocol.moc"
