// The conversation engine: what the scripts put on the wire, the step
// timer, replies as they arrive, flooding text, the encoder closing, links
// that cannot open and the version check, over an in-memory link; then whole
// conversations with kyr7sim over real loopback TCP and pseudo-terminals.
#include "CheckVersion.h"
#include "Conversation.h"
#include "ConversationLog.h"
#include "DataTable.h"
#include "FixedClock.h"
#include "ManualStepTimer.h"
#include "MemoryLink.h"
#include "ModelTexts.h"
#include "ScriptedMessages.h"
#include "SerialLink.h"
#include "SilentPort.h"
#include "SimConfig.h"
#include "SimProcess.h"
#include "TcpLink.h"
#include "TestFiles.h"
#include "clsKYR.h"
#include "mParseSetup.h"

#include <QFile>
#include <QLocale>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest/QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
QStringList names(const char *spaced)
{
    return QString::fromLatin1(spaced).split(QLatin1Char(' '));
}

// What a retrieval sends from "SETUP" on, byte for byte.
QByteArray retrievalBytes()
{
    QByteArray bytes = "SETUP\r";
    for (const QString &name : names("KYR PGM1 PGM2 CAPPGM1 CAPPGM2 PORTA PORTB PORTC MODEM LAN1 LAN2 LAN3 LAN4 LAN5 "
                                     "LAN6 LAN7 LAN8 FILE1 FILE2 BTEST1 BTEST2"))
        bytes += name.toLatin1() + "\r*\r\r";
    return bytes + "INBRIDGE1\r*\r\r\rSetup\rOUTBRIDGE1\r*\r\r\r\r";
}

// A modem's INIT setting of 25 commands.
QByteArray manyInits()
{
    QByteArrayList commands;
    for (int i = 0; i < 25; ++i)
        commands << "ATS" + QByteArray::number(i) + "=0";
    return commands.join('|');
}

// Real links bring replies as fast as they come; this only bounds a wait.
constexpr int Patience = 30000;

// A conversation with a hand-ticked step timer and scripted message boxes,
// over an in-memory link unless real links are asked for; records the
// monitor lines.
struct ConversationRig
{
    clsKYR kyr;
    ManualStepTimer timer;
    ScriptedMessages messages;
    Conversation conv{kyr, timer, messages};
    MemoryLink *link = nullptr; // owned by the conversation once made
    QStringList monitor;
    QSignalSpy retrieved{&conv, &Conversation::retrievalFinished};
    QSignalSpy closing{&conv, &Conversation::closingFinished};
    QSignalSpy halted{&conv, &Conversation::halted};
    QSignalSpy linkClosed{&conv, &Conversation::linkClosed};
    QList<int> stepsDone; // as the conversation reports its progress

    explicit ConversationRig(bool realLinks = false)
    {
        QObject::connect(&conv, &Conversation::monitor, &conv, [this](const QString &line) { monitor << line; });
        QObject::connect(&conv, &Conversation::progress, &conv, [this](int done, int) { stepsDone << done; });
        if (!realLinks)
            conv.setLinkFactory([this](const ConnectionSettings &) {
                auto made = std::make_unique<MemoryLink>();
                link = made.get();
                return std::unique_ptr<Link>(std::move(made));
            });
    }

    void open(const QString &method = QStringLiteral("LAN"), const QString &port = {},
              const QString &init = QStringLiteral("AT Z"))
    {
        ConnectionSettings s;
        s.Method = method;
        s.Serial = s.Modem = port;
        s.IP = QStringLiteral("127.0.0.1");
        s.INIT = init;
        conv.OpenConnection(s);
    }

    // Waits in a real event loop, which runs a conversation at full speed.
    static bool waitFor(QSignalSpy &spy) { return !spy.isEmpty() || spy.wait(Patience); }
    const ScriptStep &step() const { return conv.Script.at(size_t(conv.CurrentStep)); }

    // Answers each step as an encoder would (an echo, then the expected
    // prompt) and ticks pause steps; stops at the end of the script, after
    // `limit` answers, or where a step does not move on.
    void answerAll(int limit = 100000)
    {
        for (int at = -2; at != conv.CurrentStep && conv.CurrentStep >= 0 &&
                          size_t(conv.CurrentStep) < conv.Script.size() && !step().Command.isEmpty();) {
            at = conv.CurrentStep;
            if (step().Command == QLatin1String("|"))
                timer.fire();
            else if (limit-- > 0)
                link->receive(step().Command.toLatin1().replace('\r', "\r\n") + step().Expect.toLatin1());
        }
    }

    // A whole LAN retrieval over the in-memory link; then forgets what was sent.
    void retrieve()
    {
        open();
        answerAll();
        link->sent.clear();
        link->writes.clear();
    }

    void startClosing(const QString &script)
    {
        script == QLatin1String("exit")       ? conv.BuildExitScript()
        : script == QLatin1String("defaults") ? conv.BuildDefaultsScript()
                                              : conv.BuildSaveScript();
        conv.StartClosing();
    }
};

// The commands of one section visit of a save, without the section's name
// and its closing CR; with `namesOnly`, only what comes before each "=".
QStringList visit(const ConversationRig &rig, const QString &section, bool namesOnly = true)
{
    QStringList commands;
    const QList<QByteArray> &writes = rig.link->writes;
    for (qsizetype i = writes.indexOf(section.toLatin1() + "\r") + 1;
         i > 0 && i < writes.size() && writes.at(i) != "\r"; ++i)
        commands << QString::fromLatin1(namesOnly ? writes.at(i).split('=').first() : writes.at(i));
    return commands;
}

void save(ConversationRig &rig)
{
    rig.retrieve();
    rig.startClosing("save");
    rig.answerAll();
    QCOMPARE(rig.closing.count(), 1);
    QCOMPARE(rig.monitor.last(), QStringLiteral("Setup is complete, Press Done to exit"));
    QCOMPARE(rig.link->writes.last(), QByteArray("SAVE\r"));
}

// Waits for the retrieval's end; the model parsed from its listings must be
// the configuration kyr7sim starts with (given `simArgs`).
void finishRetrieval(ConversationRig &rig, const QStringList &simArgs = {})
{
    QVERIFY(rig.waitFor(rig.retrieved));
    QCOMPARE(rig.monitor.last(), QStringLiteral("Encoder Setup Retrieved"));
    QVERIFY(!rig.timer.isActive());
    ParseSetup(rig.kyr, rig.conv.Listings(), [](const QString &e) { QFAIL(qPrintable(e)); });
    QVERIFY(rig.kyr == SimDemo(simArgs));
}

} // namespace

Q_DECLARE_METATYPE(ConversationLog::Limits)
Q_DECLARE_METATYPE(std::vector<int>)

class tst_Conversation : public QObject
{
    Q_OBJECT
private slots:
    // --- the scripts on the wire

    // A full configuration in a locale with a decimal comma: program and
    // caption rows in order; a line break in a value would end the command
    // early, and a comma would be no decimal point to the encoder.
    void saveOfAFullConfigurationInAnyLocale()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        ConversationRig rig;
        rig.kyr.setSKYR(KyrRow::Rev, "G");
        for (int s = 0; s < clsKYR::StreamSlots; ++s)
            rig.kyr.setStr(s, StrRow::StreamType, KyrValue(qint32(s >= StreamSlot::INBRIDGE1 ? 4 : 16)));
        rig.kyr.setSCAP(1, CapRow::Language608F2, "spn");
        rig.kyr.setSSTR(StreamSlot::PORTA, StrRow::ModemInit, "AT&F\r\nATZ\r");
        rig.kyr.setSKYR(KyrRow::IpNum, "10.0.0.\n5");
        rig.kyr.setStr(StreamSlot::LAN1, StrRow::transTimeout, KyrValue(2.5));
        save(rig);
        QLocale::setDefault(before);
        QVERIFY2(rig.conv.Script.size() > 901, qPrintable(QString::number(rig.conv.Script.size())));
        QStringList caption = names("OverwriteUpstream Services C1To608 C2To608 C3To608 C4To608 XDSEnabled C1To708 "
                                    "C2To708 C3To708 C4To708");
        for (const char *name : {"UpstreamS", "Language708S", "EasyReader708S"})
            for (int i = 1; i <= 6; ++i)
                caption << name + QString::number(i);
        caption += names("RCControl Language608F1 Language608F2 EasyReader608F1 EasyReader608F2");
        QCOMPARE(caption.size(), 34);
        for (int p = 1; p <= 2; ++p) {
            const QStringList program = visit(rig, QStringLiteral("PGM%1").arg(p));
            QCOMPARE(program.size(), 103);
            QCOMPARE(program.mid(0, 3), QStringList({"RequestedVideoMode", "AddToCLines", "AddToLLines"}));
            QCOMPARE(program.last(), QStringLiteral("LineCfgL25F2"));
            QCOMPARE(visit(rig, QStringLiteral("CAPPGM%1").arg(p)), caption);
        }
        QVERIFY(visit(rig, "CAPPGM2", false).contains("Language608F2=spn\r"));
        QVERIFY(visit(rig, "PORTA", false).contains("ModemInit=AT&FATZ\r"));
        QVERIFY(visit(rig, "KYR", false).contains("IpNum=10.0.0.5\r"));
        QVERIFY(visit(rig, "LAN1", false).contains("transTimeout=2.5\r"));
        for (const QByteArray &w : rig.link->writes)
            QVERIFY2(!w.contains('\n') && w.indexOf('\r') == w.size() - 1, w.constData());
    }

    // A save of some rows only: the same frame and steps as the full save,
    // only the sections and rows of its plan.
    void saveOfAPlan()
    {
        ConversationRig rig;
        rig.retrieve();
        rig.kyr.setSCAP(1, CapRow::Language608F2, "spn");
        rig.kyr.setSKYR(KyrRow::IpNum, "10.0.0.5");
        rig.kyr.setStr(StreamSlot::LAN1, StrRow::StreamType, KyrValue(qint32(16)));
        rig.conv.BuildSaveScript({{Section::Kyr, 0, {KyrRow::IpNum}},
                                  {Section::Cap, 1, {CapRow::Language608F2}},
                                  {Section::Str, StreamSlot::LAN1, {StrRow::StreamType, StrRow::Did}}});
        rig.conv.StartClosing();
        rig.answerAll();
        QCOMPARE(rig.closing.count(), 1);
        QCOMPARE(rig.link->writes,
                 QByteArrayList({"SETUP\r", "KYR\r", "IpNum=10.0.0.5\r", "\r", "CAPPGM2\r", "Language608F2=spn\r", "\r",
                                 "LAN1\r", "StreamType=0x0010\r", "Did=0x00\r", "\r", "\r", "SAVE\r"}));
        QVERIFY(rig.monitor.contains("Saving Program 2 Caption Data"));
        QCOMPARE(rig.conv.Script.at(2).Interval, 200); // the encoder section's short waits, as in the full save
        QCOMPARE(rig.conv.Script.at(5).Interval, 1000);
    }

    // A retrieval of some sections: the full retrieval's commands for those
    // sections alone, in its order; the other listings stay empty.
    void retrievalOfSomeSections_data()
    {
        const auto row = Table<std::vector<int>, QByteArray>({"listings", "sent"});
        const int in = 5 + StreamSlot::INBRIDGE1, out = 5 + StreamSlot::OUTBRIDGE1;
        row("two sections, out of order", {5 + StreamSlot::LAN1, 3}, "SETUP\rCAPPGM1\r*\r\rLAN1\r*\r\r\r");
        row("the bridge streams", {out, 0, in}, "SETUP\rKYR\r*\r\rINBRIDGE1\r*\r\r\rSetup\rOUTBRIDGE1\r*\r\r\r\r");
        row("the outgoing bridge alone", {out}, "SETUP\rSetup\rOUTBRIDGE1\r*\r\r\r\r");
    }
    void retrievalOfSomeSections()
    {
        QFETCH(std::vector<int>, listings);
        ConversationRig rig;
        ConnectionSettings lan;
        lan.Method = QStringLiteral("LAN");
        rig.conv.OpenConnection(lan, listings);
        rig.answerAll();
        QCOMPARE(rig.retrieved.count(), 1);
        QTEST(rig.link->sent, "sent");
        const QStringList got = rig.conv.Listings();
        for (int k = 0; k < clsKYR::SectionCount; ++k)
            QCOMPARE(got.at(k).isEmpty(), std::find(listings.begin(), listings.end(), k) == listings.end());
    }

    void streamRowsFollowStreamType_data()
    {
        const auto row = Table<QString, int, int, QStringList>({"rev", "stream", "type", "expected"});
        const QStringList common = names("Program Direction DataChannel InsertLinesF1 InsertLinesF2 Did SDid");
        const QStringList serial = names("Baud WordSize Parity StopBits TxFlowCtrl RxFlowCtrl DisconnectProcessing");
        const QStringList body = names(
            "FieldIndicator DataType Mode Echo C1To608 C2To608 C3To608 C4To608 XDSEnabled C1To708 C2To708 C3To708 "
            "C4To708 FlushBytes FrameDelay DataCountF1 DataCountF2 HeaderId1 HeaderId2 FooterId FooterSize "
            "TimedBufferFlush VancBufferFlush transMode transTimeout");
        const QStringList type = {"StreamType"}, lan = {"StreamType", "PortAddr"};
        row("free serial port", "G", StreamSlot::PORTA, 0, type);
        row("free LAN port", "G", StreamSlot::LAN3, 0, lan);
        row("caption on port A", "G", StreamSlot::PORTA, 16,
            type + common + serial + names("ModemPresent ModemInit") + body);
        row("transparent on the modem port", "G", StreamSlot::MODEM, 1, type + common + serial + body);
        row("transparent on LAN1", "G", StreamSlot::LAN1, 1, lan + common + body);
        row("constant data file", "G", StreamSlot::FILE1, 2,
            type + common + body + names("FileName ConditionalInsertion"));
        row("bridge input, Rev C", "C", StreamSlot::INBRIDGE1, 4, type + common + body + names("BridgeType"));
        row("bridge input, Rev B: not visited", "B", StreamSlot::INBRIDGE1, 4, {});
        row("bridge output, no Rev: not visited", "", StreamSlot::OUTBRIDGE1, 4, {});
    }

    void streamRowsFollowStreamType()
    {
        QFETCH(QString, rev);
        QFETCH(int, stream);
        QFETCH(int, type);
        ConversationRig rig;
        rig.kyr.setSKYR(KyrRow::Rev, rev);
        rig.kyr.setStr(stream, StrRow::StreamType, KyrValue(qint32(type)));
        save(rig);
        QTEST(visit(rig, clsKYR::StreamText(stream)), "expected");
    }

    // --- running: the step timer, replies, the encoder closing

    void stepRepeatsUntilItsTriesRunOutAndALateReplyResumes()
    {
        for (const int maxTries : {1, 2, 3, 10}) {
            ConversationRig rig;
            rig.open();
            rig.conv.Script[0].MaxTries = qint16(maxTries);
            for (int i = 1; i <= maxTries; ++i) {
                QCOMPARE(rig.link->sent, QByteArray("SETUP\r").repeated(i));
                QCOMPARE(rig.timer.interval(), 2000);
                QVERIFY(!rig.monitor.contains("Connection Has Failed"));
                QVERIFY(rig.timer.fire());
            }
            QCOMPARE(rig.link->sent, QByteArray("SETUP\r").repeated(maxTries));
            QCOMPARE(rig.monitor.last(), QStringLiteral("Connection Has Failed"));
            QCOMPARE(rig.halted.count(), 1);
            QVERIFY(!rig.timer.fire());
            rig.link->receive("SETUP\r\n>");
            QCOMPARE(rig.link->sent, QByteArray("SETUP\r").repeated(maxTries) + "KYR\r");
            QVERIFY(rig.timer.isActive());
            rig.answerAll();
            QCOMPARE(rig.retrieved.count(), 1);
        }
    }

    void pauseThatRunsOutDropsWhatCameIn()
    {
        ConversationRig rig;
        rig.open("SERIAL");
        rig.conv.Script[1].Status = "Logging in";
        rig.link->receive("line noise ! > #");
        QVERIFY(rig.timer.fire());
        QCOMPARE(rig.link->sent, QByteArray("\rlogin\r"));
        QVERIFY(!rig.monitor.contains("Logging in"));
        // The "!" that came during the pause did not log in.
        QVERIFY(rig.timer.fire());
        QCOMPARE(rig.monitor.last(), QStringLiteral("Connection Has Failed"));
        QCOMPARE(rig.link->sent, QByteArray("\rlogin\r"));
    }

    // Every reply form of the dialect completes; a prompt character inside a
    // line never does.
    void promptsWhereTheEncoderPutsThem_data()
    {
        Table<QString, QString, int>({"received", "prompt", "at"});
        for (const auto &[text, prompt, at] : std::initializer_list<std::tuple<const char *, const char *, int>>{
                 {"SETUP\r\n>", ">", 7},
                 {">", ">", 0},
                 {"AT\r\nOK\r\n", "OK", 4},
                 {"AT DT9,\r\nCONNECT 57600\r\n", "CONNECT", 9},
                 {"\r\nlogin:login\r\n!", "!", 15},
                 {"x\r\nok", "OK", 3},
                 {"*\r\nFileName=cc#2.txt\r\n#", "#", 22},
                 {"ModemInit=AT#!>\r\n", "#", -1},
                 {"ModemInit=AT#!>\r\n", "!", -1},
                 {"ModemInit=AT#!>\r\n", ">", -1},
                 {"a\r#", "#", -1}})
            QTest::addRow("%s in %s", prompt, QByteArray(text).replace("\r", "CR").replace("\n", "LF").constData())
                << QString::fromLatin1(text) << QString::fromLatin1(prompt) << at;
    }

    void promptsWhereTheEncoderPutsThem()
    {
        QFETCH(QString, received);
        QFETCH(QString, prompt);
        QTEST(int(Conversation::FindPrompt(received, prompt)), "at");
    }

    // Two prompts in one arrival complete one step, not two. (Replies in
    // one-byte pieces: promptCharactersInsideValues.)
    void twoPromptsInOneArrival()
    {
        ConversationRig rig;
        rig.open();
        rig.link->receive("SETUP\r\n>\r\n>");
        QCOMPARE(rig.link->sent, QByteArray("SETUP\rKYR\r"));
        QCOMPARE(rig.conv.RxBuffer, QString());
    }

    // An encoder restarts (and closes the connection) after the last command
    // of a closing conversation; closed before that, nothing was stored and
    // the operator must not be told the setup is complete. Closed during a
    // retrieval, the link is just gone. (EXIT and DEFAULTS: against kyr7sim.)
    void encoderClosingTheConnection_data()
    {
        const auto row = Table<QString, int, bool>({"script", "answers", "complete"});
        row("retrieval, mid-way", "", 10, true);
        row("save, mid-way", "save", 40, false);
        row("save, before SETUP is answered", "save", 0, false);
        row("save, after SAVE was sent", "save", -1, true);
    }

    void encoderClosingTheConnection()
    {
        QFETCH(QString, script);
        QFETCH(int, answers);
        QFETCH(bool, complete);
        ConversationRig rig;
        rig.open();
        if (!script.isEmpty()) {
            rig.answerAll();
            rig.startClosing(script);
        }
        rig.answerAll(answers >= 0 ? answers : int(rig.conv.Script.size()) - 2); // -1: all but "SAVE"
        if (answers < 0)
            QCOMPARE(rig.step().Command, QStringLiteral("SAVE\r"));
        const QStringList monitor = rig.monitor;
        rig.link->peerCloses();
        QCOMPARE(rig.linkClosed.count(), complete ? 1 : 0);
        QCOMPARE(rig.halted.count(), complete ? 0 : 1);
        if (complete)
            QCOMPARE(rig.monitor, monitor);
        else
            QCOMPARE(rig.monitor.last(), QStringLiteral("Connection Has Failed"));
        QCOMPARE(rig.retrieved.count(), script.isEmpty() ? 0 : 1);
        QVERIFY(complete || !rig.timer.isActive());
    }

    void floodWithoutPromptFailsTheStep()
    {
        ConversationRig rig;
        rig.open();
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
        rig.link->receive("\r\n#");
        QCOMPARE(rig.step().Command, QStringLiteral("\r"));
    }

    // A one-step closing script: repeated until answered, then the end. Text
    // after a retrieval answers none of it; nothing that comes after the end
    // starts anything.
    void defaultsThenTextAfterTheEnd()
    {
        ConversationRig rig;
        rig.retrieve();
        rig.link->receive("!\r\n>");
        QVERIFY(!rig.timer.fire());
        rig.startClosing("defaults");
        QVERIFY(rig.timer.fire());
        rig.link->receive("DEFAULTS\r\nDEFAULTS\r\n!");
        QCOMPARE(rig.closing.count(), 1);
        const QStringList monitor = rig.monitor;
        rig.link->receive("!>#\r\nOK CONNECT");
        QVERIFY(!rig.timer.fire());
        QCOMPARE(rig.closing.count(), 1);
        QCOMPARE(rig.monitor, monitor);
        QCOMPARE(rig.link->sent, QByteArray("DEFAULTS\rDEFAULTS\r"));
        QVERIFY(rig.messages.boxes.isEmpty());
    }

    // On a serial or modem line a closing conversation first sends an empty
    // line, and goes on at once when the encoder is still logged in ("!"). An
    // encoder that logged the session out answers "login:", whatever comes
    // around it and in whatever pieces: the check then logs in, as one step
    // of the script, and the script goes on.
    void serialSessionCheckedBeforeClosing_data()
    {
        const auto row = Table<QByteArrayList, bool, QString>({"answer", "loggedOut", "method"});
        row("logged in: echo, prompt", {"\r\n!"}, false, "SERIAL");
        row("logged in: the prompt alone", {"!"}, false, "SERIAL");
        row("logged in: prompt in its own piece", {"\r\n", "!"}, false, "SERIAL");
        row("logged out: echo, login:", {"\r\nlogin:"}, true, "SERIAL");
        row("logged out: login: alone", {"login:"}, true, "SERIAL");
        row("logged out: login: and a line end", {"\r\nlogin:\r\n"}, true, "SERIAL");
        row("logged out: a greeting with \"!\", Login: ", {"\r\nWelcome to the KYR7!\r\nKYR7 Login: "}, true, "SERIAL");
        row("logged out: in pieces", {"\r\nlo", "gi", "n", ":"}, true, "SERIAL");
        // Behind a modem whose call stayed up.
        row("modem, logged in", {"\r\n!"}, false, "MODEM");
        row("modem, logged out", {"\r\nlogin:"}, true, "MODEM");
    }

    void serialSessionCheckedBeforeClosing()
    {
        QFETCH(QByteArrayList, answer);
        QFETCH(bool, loggedOut);
        QFETCH(QString, method);
        ConversationRig rig;
        rig.open(method);
        rig.answerAll();
        QCOMPARE(rig.retrieved.count(), 1);
        rig.link->sent.clear();
        rig.stepsDone.clear();
        rig.monitor.clear();
        rig.startClosing("exit");
        QCOMPARE(rig.link->sent, QByteArray("\r")); // no pause first
        for (const QByteArray &piece : answer)
            rig.link->receive(piece);
        if (loggedOut) {
            QCOMPARE(rig.link->sent, QByteArray("\r\rlogin\r"));
            QCOMPARE(rig.monitor, QStringList{"The KYR7 had logged the session out, logging in again"});
            rig.link->receive("\r\nlogin:login\r\n!");
        }
        QCOMPARE(rig.link->sent, QByteArray(loggedOut ? "\r\rlogin\rEXIT\r" : "\rEXIT\r"));
        rig.link->receive("EXIT\r\n!");
        QCOMPARE(rig.closing.count(), 1);
        QCOMPARE(rig.halted.count(), 0);
        // Two steps, the check (or the login it became) and EXIT, counted from the start.
        QCOMPARE(rig.stepsDone, QList<int>({0, 1, 2}));
        QCOMPARE(rig.conv.StepCount(), 2);
    }

    // One conversation used again, as the read-back is after every save: a
    // retrieval after a closing conversation that checked the session does
    // not take its first reply for that check. Behind a modem whose call
    // stayed up, a logged-out unit answers the first "AT" with "login:"; the
    // modem must still hear nothing but its commands.
    void retrievalAfterASessionCheck_data()
    {
        const auto row = Table<bool>({"someSections"});
        row("every section", false);
        row("some sections (the read-back)", true);
    }

    void retrievalAfterASessionCheck()
    {
        QFETCH(bool, someSections);
        ConversationRig rig;
        rig.open("MODEM");
        rig.answerAll();
        rig.link->sent.clear();
        rig.startClosing("exit");
        QCOMPARE(rig.link->sent, QByteArray("\r")); // the session check
        rig.answerAll();
        QCOMPARE(rig.closing.count(), 1);
        ConnectionSettings modem;
        modem.Method = QStringLiteral("MODEM");
        someSections ? rig.conv.OpenConnection(modem, {0}) : rig.conv.OpenConnection(modem);
        QCOMPARE(rig.link->sent, QByteArray("AT\r"));
        rig.link->receive("AT\r\nlogin:");
        QCOMPARE(rig.link->sent, QByteArray("AT\r"));
        rig.timer.fire();
        QCOMPARE(rig.link->sent, QByteArray("AT\rAT\r"));
    }

    // A send that makes the link fail (the next step's command, then a
    // repeat) halts the closing conversation once; the step timer stays off.
    void linkFailingInASendHaltsOnce()
    {
        for (const bool repeat : {false, true}) {
            ConversationRig rig;
            rig.retrieve();
            rig.startClosing("save");
            rig.link->onSend = [&rig](const QByteArray &) { rig.link->peerCloses(); };
            repeat ? void(rig.timer.fire()) : rig.link->receive("SETUP\r\n>");
            QVERIFY(!rig.timer.fire());
            QCOMPARE(rig.monitor.count("Connection Has Failed"), 1);
        }
    }

    // Nothing is sent; one line tells why, and no "Connection Has Failed"
    // follows. An address that never answers fails after the first step's
    // tries, as a refused one fails at once.
    void linksThatCannotOpen()
    {
        ConversationRig rig(true);
        QSignalSpy failed(&rig.conv, &Conversation::linkFailed);
        QTcpServer server; // a free port nobody listens on
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        rig.conv.TcpPort = server.serverPort();
        server.close();
        rig.open();
        QStringList lines = {"Connection Type is LAN", "LAN Error: Connection refused"};
        QTRY_COMPARE(rig.monitor, lines);
        QVERIFY(!rig.timer.fire());

        SilentPort silent;
        rig.conv.TcpPort = silent.port;
        rig.open();
        QCOMPARE(rig.timer.interval(), Conversation::ConnectInterval);
        for (int tick = 1; tick < Conversation::ConnectTries; ++tick)
            QVERIFY(rig.timer.fire());
        QCoreApplication::processEvents();
        QCOMPARE(rig.monitor, lines << "Connection Type is LAN");
        QVERIFY(rig.timer.fire());
        QCOMPARE(rig.monitor, lines << "LAN Error: Connection timed out");
        QCOMPARE(failed.count(), 2); // the time-out ends the attempt as the refusal did
        QVERIFY(!rig.timer.fire());

        rig.open("MODEM", "/none/tty");
        QCOMPARE(rig.monitor.mid(4), QStringList({"Connection Type is Modem", "/none/tty is not available"}));
        QVERIFY(!rig.timer.fire());
        QCOMPARE(rig.linkClosed.count() + rig.halted.count(), 0);
        QVERIFY(!rig.conv.linkOpen());
    }

    // Where the operator's words lead: "COMn" is the n-th serial device and
    // named so on the monitor; a typed device path is used as given; an
    // address without a dot is an encoder's serial number.
    void portAndHostNames()
    {
        for (const auto &[typed, device] :
             {std::pair{"COM1", "/dev/ttyS0"}, {"COM12", "/dev/ttyS11"}, {"/dev/ttyUSB0", "/dev/ttyUSB0"}}) {
            QCOMPARE(SerialLink::DeviceFor(typed), QString(device));
            QCOMPARE(SerialLink::DisplayName(typed), QString(typed));
        }
        QCOMPARE(TcpLink::HostFor("12345"), QStringLiteral("KYR7-12345"));
        QCOMPARE(TcpLink::HostFor("10.1.2.3"), QStringLiteral("10.1.2.3"));
    }

    // --- the version check after a retrieval

    void checkVersion_data()
    {
        // Title: none, no box; an error ends the conversation.
        const auto row = Table<QString, QString, QString, QString>({"required", "suggested", "title", "text"});
        const QString error = "Error, KYR7 requires at least version 2.10 of setup software";
        const QString newer = "This software is not as new as the KYR7 software.\r\n";
        const QString wrong = "This is not the correct setup software for this version of the KYR7\r\nthe required "
                              "software is 86-%1-01, Please check the website for software\r\nwww.kyr7.example";
        row("older encoder software", "47215RC", "47215RG", "", "");
        row("newer suggested", "47215RC", "47215RH",
            "Warning, version 2.10 is required for full functionality of the setup software",
            newer + "You may use this software to setup the KYR7 but it may not be able to setup all features.\r\n"
                    "A newer version of 86-47215-01 is available from the website\r\nwww.kyr7.example");
        row("newer required", "47215RH", "47215RH", error,
            newer + "Please use the latest version of the software 86-47215-01.\r\nCheck the website www.kyr7.example");
        row("wrong product", "12345RA", "12345RA", error, wrong.arg("12345"));
        row("no part number", "", "", error, wrong.arg(""));
    }

    void checkVersion()
    {
        QFETCH(QString, required);
        QFETCH(QString, suggested);
        QFETCH(QString, title);
        QFETCH(QString, text);
        clsKYR kyr;
        kyr.setSKYR(KyrRow::PartRequired, required);
        kyr.setSKYR(KyrRow::PartSuggested, suggested);
        kyr.setSKYR(KyrRow::VersionSuggested, "2.10");
        ScriptedMessages messages;
        QCOMPARE(CheckVersion(kyr, messages), !title.startsWith("Error"));
        QStringList shown;
        for (const ScriptedMessages::Box &box : messages.boxes)
            shown << (box.question ? "?" : "") + box.title << box.text;
        QCOMPARE(shown, title.isEmpty() ? QStringList() : QStringList({title, text}));
    }

    // --- whole conversations with kyr7sim

    // A modem whose call drops while the operator edits says "NO CARRIER":
    // the save dials again, logs in and stores every edit.
    void modemCallDroppedWhileEditing()
    {
        SimProcess sim({"--pty", "--modem", "--connect-delay", "20", "--close-idle", "1000"});
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        ConversationRig rig(true);
        const auto tickThePause = [&rig] {
            QTRY_COMPARE_WITH_TIMEOUT(rig.step().Command, QStringLiteral("|"), Patience);
            QVERIFY(rig.timer.fire());
        };
        rig.open("MODEM", sim.ptyPath());
        tickThePause();
        finishRetrieval(rig);
        QTRY_COMPARE_WITH_TIMEOUT(rig.monitor.last(), QStringLiteral("The KYR7 closed the connection"), Patience);
        rig.kyr.setSCAP(1, CapRow::Language608F1, "fra");
        rig.startClosing("save");
        tickThePause();
        QVERIFY(rig.waitFor(rig.closing));
        QVERIFY(rig.monitor.contains("The connection to the KYR7 was closed, reconnecting"));
        QVERIFY(sim.stored() == rig.kyr);
    }

    // A unit on a serial line that logs the session out after a quiet spell
    // leaves the line open: each closing conversation logs in again first
    // and then does its work, the edits included; still logged in, it goes
    // straight on. The progress counts the login as the check's step, and the
    // conversation log has it.
    void serialClosingAfterTheUnitLoggedOut_data()
    {
        const auto row = Table<QString, bool>({"script", "loggedOut"});
        row("save, logged out", "save", true);
        row("cancel, logged out", "exit", true);
        row("factory defaults, logged out", "defaults", true);
        row("save, still logged in", "save", false);
    }

    void serialClosingAfterTheUnitLoggedOut()
    {
        QFETCH(QString, script);
        QFETCH(bool, loggedOut);
        // Long enough that the retrieval and the save never fall quiet that long.
        SimProcess sim(loggedOut ? QStringList{"--pty", "--close-idle", "2000"} : QStringList{"--pty"});
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        ConversationRig rig(true);
        QTemporaryDir logs;
        FixedClock clock;
        ConversationLog log(clock);
        log.follow(rig.conv);
        QVERIFY(log.openSession(logs.path(), "SERIAL"));
        rig.open("SERIAL", sim.ptyPath());
        QTRY_COMPARE_WITH_TIMEOUT(rig.step().Command, QStringLiteral("|"), Patience);
        QVERIFY(rig.timer.fire());
        finishRetrieval(rig, {"--pty"});
        if (loggedOut) // kyr7sim says when it has logged the session out
            QTRY_VERIFY_WITH_TIMEOUT(sim.output().contains("the session ends"), Patience);
        rig.kyr.setSCAP(0, CapRow::Language608F2, "spn");
        const qsizetype retrievalSteps = rig.stepsDone.size();
        const QByteArray retrieval = sim.transcript();
        rig.startClosing(script);
        QVERIFY(rig.waitFor(rig.closing));
        QCOMPARE(rig.halted.count(), 0);
        const QString again = "The KYR7 had logged the session out, logging in again";
        QCOMPARE(rig.monitor.count(again), loggedOut ? 1 : 0);
        // The check's empty line, then the script, whose first step the check
        // became: the login when it was needed.
        QByteArray sent = loggedOut ? "\r" : "";
        for (const ScriptStep &step : rig.conv.Script)
            sent += step.Command.toLatin1();
        QCOMPARE(rig.conv.Script.front().Command, loggedOut ? QStringLiteral("\rlogin\r") : QStringLiteral("\r"));
        QCOMPARE(sim.transcript().mid(retrieval.size()), sent);
        const QList<int> closing = rig.stepsDone.mid(retrievalSteps);
        QCOMPARE(closing.first(), 0);
        QVERIFY(std::is_sorted(closing.begin(), closing.end()));
        QCOMPARE(closing.last(), rig.conv.StepCount());
        QCOMPARE(closing.size(), rig.conv.StepCount() + 1);
        log.close();
        QCOMPARE(ReadTestFile(log.path()).count(" TX \\rlogin\\r"), loggedOut ? 2 : 1);
        QCOMPARE(QFile::exists(sim.statePath()), script != "exit");
        if (script == "save")
            QVERIFY(sim.stored() == rig.kyr);
        if (script == "defaults")
            QCOMPARE(sim.stored().sSTR(StreamSlot::LAN1, StrRow::StreamType), QStringLiteral("0x0000"));
    }

    // Values holding "#", "!" and ">" in section listings and in the two
    // bridge listings, replies in pieces: the retrieval keeps every value,
    // and the save sends each one back unchanged. The replies kyr7sim sent
    // are then replayed one byte at a time, and no step ends before its
    // reply's prompt.
    void promptCharactersInsideValues_data()
    {
        const auto row = Table<QStringList, QString, QByteArray, int>({"simArgs", "method", "opening", "setupStep"});
        const QStringList pieces{"--chunk", "16", "--chunk-gap", "1"};
        row("TCP", pieces, "LAN", {}, 0);
        row("serial", pieces + QStringList{"--pty"}, "SERIAL", "\rlogin\r", 2);
        // Every one of many INIT commands is sent.
        row("modem", pieces + QStringList{"--pty", "--modem", "--connect-delay", "20"}, "MODEM",
            "AT\r" + manyInits().replace('|', '\r') + "\rAT DT9,\r\rlogin\r", 29);
    }

    void promptCharactersInsideValues()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QString, method);
        QFETCH(QByteArray, opening);
        QFETCH(int, setupStep);
        QTemporaryDir dir;
        simArgs << "--config"
                << WriteTestFile(dir.filePath("prompts.cfg"),
                                 "[KYR]\nRev=G\n[CAPPGM1]\nLanguage608F1=#!>\n[PORTA]\nStreamType=0x0001\nModemInit="
                                 "AT#CID=1!>\n[FILE1]\nStreamType=0x0002\nFileName=cc#2\xe9\xff.txt\n[INBRIDGE1]\n"
                                 "FileName=in!>#\n[OUTBRIDGE1]\nFileName=!\n");
        SimProcess sim(simArgs);
        QVERIFY2(sim.start(), qPrintable(sim.output()));
        ConversationRig rig(true);
        rig.conv.TcpPort = sim.port();
        rig.open(method, sim.ptyPath(), manyInits());
        if (setupStep) {
            // The pause before the login runs out by a tick, never by waiting.
            QTRY_COMPARE_WITH_TIMEOUT(rig.conv.CurrentStep, setupStep - 2, Patience);
            QVERIFY(rig.timer.fire());
        }
        finishRetrieval(rig, simArgs);
        QCOMPARE(rig.conv.SetupStep, setupStep);
        QCOMPARE(sim.transcript(), opening + retrievalBytes());
        // The opening steps (the pause too) count as steps of the retrieval.
        QCOMPARE(rig.conv.StepCount(), setupStep + 67);
        QCOMPARE(rig.stepsDone.size(), setupStep + 68);
        QVERIFY(std::is_sorted(rig.stepsDone.begin(), rig.stepsDone.end()));
        QCOMPARE(rig.stepsDone.last(), setupStep + 67);
        QCOMPARE(rig.kyr.sSTR(StreamSlot::FILE1, StrRow::FileName), QStringLiteral("cc#2\u00e9\u00ff.txt"));
        QCOMPARE(rig.kyr.sSTR(StreamSlot::INBRIDGE1, StrRow::FileName), QStringLiteral("in!>#"));

        ConversationRig replay;
        replay.open(method, {}, manyInits());
        while (replay.conv.CurrentStep >= 0 && !replay.step().Command.isEmpty()) {
            const int at = replay.conv.CurrentStep;
            if (replay.step().Command == QLatin1String("|")) {
                QVERIFY(replay.timer.fire());
                continue;
            }
            const QByteArray reply = rig.conv.Script.at(size_t(at)).Reply.toLatin1();
            qsizetype next = 0;
            while (next < reply.size() && replay.conv.CurrentStep == at)
                replay.link->receive(QByteArray(1, reply.at(next++)));
            QVERIFY(replay.conv.CurrentStep != at);
            // Only the rest of a modem's answer line ("CONNECT 57600") may follow.
            const QByteArray rest = reply.mid(next);
            QVERIFY2(rest.isEmpty() || rest.indexOf('\n') == rest.size() - 1, reply.constData());
        }
        QCOMPARE(replay.retrieved.count(), 1);
        QCOMPARE(replay.conv.Listings(), rig.conv.Listings());

        // Edits of every kind of section are stored; line breaks are never sent.
        rig.kyr.setSCAP(0, CapRow::Language608F2, "spn");
        rig.kyr.setStr(StreamSlot::LAN3, StrRow::StreamType, KyrValue(qint32(0x10)));
        rig.kyr.setStr(StreamSlot::PORTB, StrRow::StreamType, KyrValue(qint32(1)));
        rig.kyr.setSSTR(StreamSlot::PORTB, StrRow::ModemInit, "AT&F\rATZ");
        rig.kyr.setStr(StreamSlot::INBRIDGE1, StrRow::StreamType, KyrValue(qint32(4)));
        rig.startClosing("save");
        QVERIFY(rig.waitFor(rig.closing));
        QVERIFY(rig.link == nullptr); // the real link, not a memory one
        QByteArray script;
        for (const ScriptStep &step : rig.conv.Script)
            script += step.Command.toLatin1();
        QCOMPARE(sim.transcript(), opening + retrievalBytes() + script);
        rig.kyr.setSSTR(StreamSlot::PORTB, StrRow::ModemInit, "AT&FATZ");
        QCOMPARE(changes(rig.kyr, sim.stored()), QStringList());
    }

    // --- the conversation log

    // Old session logs beyond the limits go, oldest first, when a session
    // starts and when it ends; nothing else in the folder is touched.
    void oldLogsAreBounded_data()
    {
        // Old files of 100 bytes each; the newest ones kept.
        const auto row = Table<int, ConversationLog::Limits, int>({"oldFiles", "limits", "keptOld"});
        row("within the limits", 3, {20, 100000}, 3);
        row("25 sessions, 20 kept", 25, {20, 100000}, 19);
        row("by size, this session's own bytes too", 10, {20, 450}, 2);
        row("one session only", 4, {1, 100000}, 0);
    }
    void oldLogsAreBounded()
    {
        QFETCH(int, oldFiles);
        QFETCH(int, keptOld);
        QTemporaryDir dir;
        QStringList kept{"notes.txt"}; // not a log: never touched
        for (int i = 0; i < oldFiles; ++i) {
            kept.insert(1, QStringLiteral("conversation-20200101-0000%1-000.log").arg(i, 2, 10, QChar('0')));
            WriteTestFile(dir.filePath(kept[1]), QByteArray(100, 'x'));
        }
        WriteTestFile(dir.filePath(kept[0]), {});
        FixedClock clock;
        ConversationLog log(clock);
        QFETCH(ConversationLog::Limits, limits);
        log.setLimits(limits);
        QVERIFY(log.openSession(dir.path(), "LAN 10.0.0.1"));
        log.sent(QByteArray(150, 'a'));
        log.close();
        kept = kept.mid(0, keptOld + 1);
        kept.insert(1, QFileInfo(log.path()).fileName());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name | QDir::Reversed), kept);
    }

    // A session that reaches the size limit ends its file with a notice that
    // fits within the limit. Closing it keeps it whatever it holds (the
    // monitor has named it to the operator), and the newest older sessions
    // that fit beside it: counting only the files kept, up to the first that
    // does not fit.
    void sessionAtTheSizeLimit_data()
    {
        // The old files' sizes, newest first. The session's own file ends
        // between 119 bytes and 1 byte short of the limit.
        const auto row = Table<ConversationLog::Limits, QList<int>, int>({"limits", "oldSizes", "keptOld"});
        row("a small one fits beside it, a big one does not", {20, 1000}, {1, 200, 1}, 1);
        row("none fits beside it", {20, 1000}, {200, 1}, 0);
        row("two sessions at most", {2, 1000}, {1, 1}, 1);
    }
    void sessionAtTheSizeLimit()
    {
        QFETCH(ConversationLog::Limits, limits);
        QFETCH(QList<int>, oldSizes);
        QFETCH(int, keptOld);
        // Limits that leave every amount of room for the notice after the last line.
        const qint64 base = limits.bytes;
        for (limits.bytes = base; limits.bytes < base + 119; limits.bytes += 17) {
            QTemporaryDir dir;
            QStringList old;
            for (qsizetype i = 0; i < oldSizes.size(); ++i) {
                old << QStringLiteral("conversation-20200101-0000%1-000.log")
                           .arg(oldSizes.size() - i, 2, 10, QChar('0'));
                WriteTestFile(dir.filePath(old.last()), QByteArray(oldSizes[i], 'x'));
            }
            FixedClock clock;
            ConversationLog log(clock);
            log.setLimits(limits);
            QVERIFY(log.openSession(dir.path(), "LAN 10.0.0.1"));
            for (int piece = 0; piece < 100; ++piece)
                log.received(QByteArray(100, 'a') + '\n');
            QVERIFY(!log.isOpen());
            log.close();
            const QByteArray written = ReadTestFile(log.path());
            QVERIFY2(written.size() < limits.bytes && written.size() >= limits.bytes - 119,
                     qPrintable(QStringLiteral("%1 bytes, limit %2").arg(written.size()).arg(limits.bytes)));
            QCOMPARE(ConversationLog::SessionFiles(dir.path()),
                     QStringList{QFileInfo(log.path()).fileName()} + old.mid(0, keptOld));
            QVERIFY(written.startsWith("# KYR7Set "));
            QVERIFY(written.endsWith(QByteArray(100, 'a') + "\\n\n# The log has reached its size limit; the rest "
                                                            "of this session is not written.\n"));
        }
    }

    // A note of the program's own (what a read-back found) ends the line of
    // bytes before it, stays one line whatever it holds, and the bytes after
    // it start a line of their own.
    void notesStandApartFromTheBytes()
    {
        QTemporaryDir dir;
        FixedClock clock;
        ConversationLog log(clock);
        QVERIFY(log.openFile(dir.filePath("notes.log"), "LAN"));
        log.sent("CAPPGM1\r*");
        log.note(QStringLiteral("CAPPGM1 Language608F1: sent \"fra\", holds \"e\r\ng\u00e9\""));
        log.received("#");
        log.close();
        log.note("after the end: not written");
        QCOMPARE(ReadTestFile(dir.filePath("notes.log")).split('\n').mid(1),
                 QList<QByteArray>({"13:05:09.000 TX CAPPGM1\\r*",
                                    "13:05:09.000 # CAPPGM1 Language608F1: sent \"fra\", holds \"e\\r\\ng\\xe9\"",
                                    "13:05:09.000 RX #", ""}));
    }

    // A log that cannot be written says why; one the operator names gets
    // each session appended.
    void logFileNamedOrUnwritable()
    {
        QTemporaryDir dir;
        FixedClock clock;
        ConversationLog log(clock);
        WriteTestFile(dir.filePath("file"), {});
        QVERIFY(!log.openSession(dir.filePath("file/logs"), "LAN") && !log.errorText().isEmpty());
        for (const char *bytes : {"first\r", "second\r"}) {
            QVERIFY(log.openFile(dir.filePath("field.log"), "LAN"));
            log.sent(bytes);
            log.close();
        }
        QCOMPARE(ReadTestFile(dir.filePath("field.log")).count("TX first\\r\n# KYR7Set"), 1);
    }
};

QTEST_GUILESS_MAIN(tst_Conversation)
#include "tst_Conversation.moc"
