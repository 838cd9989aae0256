// A configuration file sent to a unit and what a save left read back, the
// whole program against kyr7sim over loopback TCP, headless: the file's
// settings over the unit's with its identity and network kept, the one
// message before anything is written (and the review and the way back from
// it), a unit that cannot be reached or is refused with nothing lost, and
// "Verify" after "Save and Exit" and after a Send, also with the unit changed
// by another client in between.
#include "ConfigFile.h"
#include "ConnectDialogs.h"
#include "FixedClock.h"
#include "ManualStepTimer.h"
#include "ModelTexts.h"
#include "SaveRows.h"
#include "ScriptedFiles.h"
#include "ScriptedMessages.h"
#include "SilentPort.h"
#include "SimConfig.h"
#include "SimProcess.h"
#include "TestFiles.h"
#include "frmConnect.h"
#include "frmKYR7Set.h"
#include "frmReview.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest/QtTest>
#include <QtWidgets>

namespace {

constexpr int kWait = 20000;
const QString kTitle = QStringLiteral(" - KYR7 Setup Program Version " KYR7_VERSION);
const QString kFor = QStringLiteral("13:05:09 - "); // the fixed clock's stamp

int rowsOf(const SavePlan &plan)
{
    int rows = 0;
    for (const SaveVisit &visit : plan)
        rows += int(visit.rows.size());
    return rows;
}

struct Harness
{
    Harness()
    {
        services.files = &files;
        services.readBackTimer = &readBackTimer;
        services.pauseTimer = &pauseTimer;
        store.setValue("Settings/Method", "LAN");
        store.setValue("Settings/IP", "127.0.0.1");
    }

    bool startSim(const QStringList &args = {})
    {
        sim.emplace(args);
        if (!sim->start())
            return false;
        services.tcpPort = sim->port();
        return true;
    }

    QString write(const QString &name, const QByteArray &text) { return WriteTestFile(dir.filePath(name), text); }
    QByteArray read(const QString &path) const { return ReadTestFile(path); }

    frmKYR7Set &open(const QString &path)
    {
        window = std::make_unique<frmKYR7Set>(services);
        window->Start(path);
        return *window;
    }

    // A window on the unit kyr7sim is, once its configuration is in.
    bool unit()
    {
        dialogs.connectButtons = {"B_OK"};
        window = std::make_unique<frmKYR7Set>(services);
        QSignalSpy retrieved(&window->conversation(), &Conversation::retrievalFinished);
        return window->Start() && (retrieved.count() > 0 || retrieved.wait(kWait));
    }

    // Presses "Send to KYR7...", OK in the connection dialog, and waits for
    // the one message (answered with the choices queued) to have been asked.
    bool send(const QStringList &choices)
    {
        for (const QString &choice : choices)
            messages.queueChoice(choice);
        const int boxes = messages.count();
        dialogs.connectButtons = {"B_OK"};
        QSignalSpy retrieved(&window->conversation(), &Conversation::retrievalFinished);
        button("B_Send")->click();
        return (retrieved.count() > 0 || retrieved.wait(kWait)) &&
               QTest::qWaitFor([&] { return messages.count() > boxes && messages.choices.isEmpty(); }, kWait);
    }

    // Presses a button that starts a closing conversation and waits for its end.
    bool runToDone(const char *name, const std::function<void()> &press = {})
    {
        QSignalSpy finished(&window->conversation(), &Conversation::closingFinished);
        if (press)
            press();
        else
            button(name)->click();
        return (finished.count() > 0 || finished.wait(kWait)) && button("B_Cancel")->text() == "Done";
    }

    // Presses "Verify" and waits for what it found.
    bool verify()
    {
        QSignalSpy finished(&window->verifier(), &Verifier::finished);
        QSignalSpy progress(&window->verifier().conversation(), &Conversation::progress);
        button("B_Verify")->click();
        const bool done = finished.count() > 0 || finished.wait(kWait);
        progressShown = progress.count() > 0;
        return done && progressBar()->isHidden();
    }

    // What the unit stored, as kyr7sim's state file holds it.
    clsKYR stored() const
    {
        clsKYR kyr;
        if (!LoadSimConfig(sim->statePath(), kyr))
            qWarning("no state file");
        return kyr;
    }

    // Another client of the same unit sends these lines and waits for the
    // prompt after the last one.
    bool otherClient(const QByteArray &lines)
    {
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, sim->port());
        if (!client.waitForConnected(kWait))
            return false;
        client.write(lines);
        const QByteArray last = lines.chopped(1).mid(lines.chopped(1).lastIndexOf('\r') + 1);
        QByteArray reply;
        for (QDeadlineTimer deadline(kWait); !reply.endsWith(last + "\r\n!") && !deadline.hasExpired();)
            reply += client.waitForReadyRead(100) ? client.readAll() : QByteArray();
        return reply.endsWith(last + "\r\n!");
    }

    QPushButton *button(const QString &name) const { return window->findChild<QPushButton *>(name); }
    QLineEdit *value(const QString &name) const { return window->findChild<QLineEdit *>(name); }
    QProgressBar *progressBar() const { return window->findChild<QProgressBar *>("PB_Progress"); }
    QStringList monitor() const { return texts(window->findChild<QListWidget *>("LB_Monitor")->model()); }
    QString lastLine() const { return monitor().value(monitor().size() - 1); }
    // Caption and what a screen reader hears.
    QString shown(const QString &name) const { return button(name)->text() + '|' + button(name)->accessibleName(); }

    QTemporaryDir dir;
    QSettings store{dir.filePath("KYR7Setup.ini"), QSettings::IniFormat};
    ScriptedMessages messages;
    ConnectDialogs dialogs;
    FixedClock clock;
    ManualStepTimer timer;
    ManualStepTimer readBackTimer;
    ManualStepTimer pauseTimer;
    ScriptedFiles files;
    AppServices services{&store, &messages, &dialogs, &clock, &timer, dir.path(), 0, {}, dir.filePath("logs"), {}};
    std::optional<SimProcess> sim;
    std::unique_ptr<frmKYR7Set> window;
    bool progressShown = false;
};

// kyr7sim's own configuration with these settings replaced.
QByteArray demoWith(const QList<std::pair<QByteArray, QByteArray>> &replaced)
{
    clsKYR kyr;
    if (!DefaultSimConfig(kyr))
        qFatal("kyr7sim --print-config failed");
    QByteArray text = ConfigFile::Text(kyr);
    for (const auto &[from, to] : replaced) {
        if (!text.contains(from))
            qFatal("no %s", from.constData());
        text.replace(text.indexOf(from), from.size(), to);
    }
    return text;
}

const QString kAsk = QStringLiteral("Nothing has been written to the KYR7 yet. Send now, review the changes against "
                                    "what the KYR7 holds, or go back?");

} // namespace

class tst_SendVerify : public QObject
{
    Q_OBJECT

private slots:
    // A file sent: one message first, then kyr7sim holds the file's settings
    // with its own identity and network, and what the file does not give as
    // it was. Then Verify reads it all back as sent, and Done closes.
    void fileSentToAUnit_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("changes");
        QTest::newRow("a whole file of another unit")
            << demoWith({{"SerialNumber=12345", "SerialNumber=99999"},
                         {"IpNum=192.168.0.10", "IpNum=10.9.9.9"},
                         {"Netmask=255.255.255.0", "Netmask=255.0.0.0"},
                         {"Language608F2=eng", "Language608F2=spn"},
                         {"[PGM2]\nVideoMode=3\nRequestedVideoMode=3", "[PGM2]\nVideoMode=2\nRequestedVideoMode=12"}})
            << "Sending sent.kyr7 to the KYR7 12345 over LAN 127.0.0.1 changes 2 settings. The window shows what "
               "the KYR7 will hold.\r\n\r\nThe KYR7 keeps its own SerialNumber, IpNum, Netmask and PGM2 VideoMode: "
               "a file does not change a unit's identity, detected video or network settings.\r\n\r\nThe checks "
               "found nothing wrong.\r\n\r\n" +
                   kAsk
            << QStringList{"PGM2 RequestedVideoMode=12", "CAPPGM1 Language608F2=spn"};
        QTest::newRow("some settings, one the save cannot carry, one the checks find")
            << QByteArray("[KYR]\nSerialNumber=1\n[CAPPGM1]\nLanguage608F1=fra\n[PORTA]\nBaud=19200\n"
                          "[LAN2]\nPortAddr=2000\n")
            << "Sending sent.kyr7 to the KYR7 12345 over LAN 127.0.0.1 changes 2 settings. The window shows what "
               "the KYR7 will hold.\r\n\r\nThe KYR7 keeps its own SerialNumber: a file does not change a unit's "
               "identity, detected video or network settings.\r\n\r\nThe save cannot carry 1 of the file's "
               "settings:\r\n- PORTA Baud: 19200 (not written: the stream is free (StreamType 0x0000) after the "
               "apply; the save writes this only with StreamType 0x0001 (transparent), 0x0002 (constant data), "
               "0x0004 (bridging), 0x0010 (caption))\r\n\r\nThe checks found a problem:\r\n- LAN1 and LAN2 both use "
               "LAN port 2000; only one of them can receive on it.\r\n\r\n" +
                   kAsk
            << QStringList{"CAPPGM1 Language608F1=fra", "LAN2 PortAddr=2000"};
    }
    void fileSentToAUnit()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        Harness h;
        QVERIFY(h.startSim());
        clsKYR unit;
        QVERIFY(DefaultSimConfig(unit));
        const QString path = h.write("sent.kyr7", file);
        frmKYR7Set &w = h.open(path);
        QCOMPARE(h.shown("B_Send"), "Send to KYR7...|Send to KYR7...");
        QVERIFY(!h.button("B_Send")->isHidden());

        QVERIFY(h.send({"Send"}));
        QVERIFY(!h.dialogs.fileOffered);
        QCOMPARE(h.messages.count(), 1);
        QCOMPARE(h.messages.last().title, "Send sent.kyr7 to the KYR7");
        QCOMPARE(h.messages.last().text, message);
        QCOMPARE(h.messages.last().buttons, QStringList({"Send", "Review Changes...", "Go Back*"}));
        QVERIFY(h.runToDone("B_Cancel", [] {})); // the save started by "Send"
        QCOMPARE(w.windowTitle(), "sent.kyr7 sent to the KYR7 12345" + kTitle);

        // What the unit holds: the file's settings, its own identity and network.
        QTEST(changes(unit, h.stored()), "changes");
        QCOMPARE(h.read(path), file);
        QVERIFY(QFile::exists(h.dir.filePath("kyr.cfg")));
        QCOMPARE(h.lastLine(), kFor + "Setup is complete, Press Done to exit");
        QCOMPARE(h.shown("B_Cancel"), "Done|Done");
        QCOMPARE(h.shown("B_Verify"), "Verify|Verify");
        QVERIFY(!h.button("B_Verify")->isHidden() && h.button("B_Verify")->isEnabled());
        QVERIFY(h.button("B_Verify")->focusPolicy() & Qt::TabFocus);

        // Verify after a Send: every setting sent, read back as saved.
        QVERIFY(h.verify());
        QVERIFY(h.progressShown);
        const int sent = rowsOf(FullSavePlan(w.model()));
        QCOMPARE(h.lastLine(),
                 kFor + QStringLiteral("Verified: every setting was found as saved (%1 settings compared)").arg(sent));
        const QByteArray log = h.read(w.conversationLog().path());
        QVERIFY(log.contains(" # Verify: reading back what the save wrote\n"));
        QVERIFY(log.contains(" # Verified: every setting was found as saved"));

        h.button("B_Cancel")->click();
        QVERIFY(w.ended());
        QCOMPARE(h.messages.count(), 1);
    }

    // Before anything is written: the review against what the unit held,
    // with the file's settings not sent; Go Back leaves the unit untouched and
    // the window on what it would hold; Back to File gives the file back as
    // it was, its unsaved edit included, and asks first when what the unit
    // would hold was edited.
    void theMessageLetsTheOperatorLookAndGoBack()
    {
        Harness h;
        QVERIFY(h.startSim());
        const QString path =
            h.write("part.kyr7", "[KYR]\nIpNum=10.1.1.1\n[CAPPGM1]\nLanguage608F1=fra\n[PORTA]\nBaud=19200\n");
        frmKYR7Set &w = h.open(path);
        w.model().setSCAP(1, CapRow::Language608F2, "deu"); // not saved to the file
        w.SetDisplay();
        const clsKYR edited = w.model();
        QStringList review;
        h.dialogs.onDialog = [&review](QDialog &d) {
            review << d.findChild<QLabel *>("TB_Summary")->text()
                   << texts(d.findChild<QListWidget *>("LB_NotSent")->model());
        };
        const QByteArray before = h.sim->transcript();
        QVERIFY(h.send({"Review Changes...", "Go Back"}));
        QCOMPARE(h.dialogs.opened, QStringList({"frmConnect", "frmReview"}));
        QCOMPARE(review,
                 QStringList({"2 settings will change, compared with what the KYR7 12345 over LAN 127.0.0.1 held "
                              "when retrieved.",
                              "KYR IpNum: the file's \"10.1.1.1\", the KYR7 keeps \"192.168.0.10\"",
                              "PORTA Baud: 19200 (not written: the stream is free (StreamType 0x0000) after the "
                              "apply; the save writes this only with StreamType 0x0001 (transparent), 0x0002 "
                              "(constant data), 0x0004 (bridging), 0x0010 (caption))"}));
        QCOMPARE(h.messages.count(), 2); // the same message, before and after the review
        QCOMPARE(h.messages.boxes[0].text, h.messages.boxes[1].text);

        // Gone back: nothing written; the window shows what the unit would hold.
        QVERIFY(!w.monitorShowing());
        QCOMPARE(w.windowTitle(), "Sending part.kyr7 to the KYR7 12345" + kTitle);
        QCOMPARE(h.shown("B_Save"), "Send|Send");
        QCOMPARE(h.shown("B_Cancel"), "Back to File|Back to File");
        QVERIFY(h.button("B_Defaults")->isHidden() && h.button("B_Send")->isHidden());
        QCOMPARE(w.focusWidget(), h.button("B_Save")); // the keyboard's next step
        QCOMPARE(h.value("TB_Address")->text(), "192.168.0.10");
        QCOMPARE(w.model().sCAP(0, CapRow::Language608F1), "fra");
        QCOMPARE(w.model().sCAP(1, CapRow::Language608F2), "deu"); // the unsaved edit goes too
        QCOMPARE(w.model().sCAP(1, CapRow::Language608F1), "eng"); // the file does not give it
        QVERIFY(h.sim->transcript().startsWith(before + "SETUP\r"));
        QVERIFY(!h.sim->transcript().contains("Language608F1=fra"));
        QVERIFY(!QFile::exists(h.sim->statePath()));

        // Edited here, Back to File asks; No stays, Yes goes back.
        w.model().setSPGM(0, PgmRow::RequestedVideoMode, "10");
        h.messages.queueAnswer(false);
        h.button("B_Cancel")->click();
        QCOMPARE(h.messages.last().title, "Back to the file");
        QVERIFY(w.windowTitle().startsWith("Sending"));
        h.messages.queueAnswer(true);
        h.button("B_Cancel")->click();
        QVERIFY(!w.conversation().linkOpen());
        QVERIFY(w.model() == edited);
        QCOMPARE(w.windowTitle(), "*part.kyr7 (some settings)" + kTitle);
        QCOMPARE(h.shown("B_Save"), "Save|Save");
        QCOMPARE(h.shown("B_Cancel"), "Close|Close");
        QVERIFY(!h.button("B_Send")->isHidden());
        QCOMPARE(w.focusWidget(), h.button("B_Send"));
        QCOMPARE(h.read(path), "[KYR]\nIpNum=10.1.1.1\n[CAPPGM1]\nLanguage608F1=fra\n[PORTA]\nBaud=19200\n");
        QVERIFY(!QFile::exists(h.sim->statePath()));
        QVERIFY(!QFile::exists(h.dir.filePath("kyr.cfg")));
    }

    // A unit that cannot be reached, or whose version is refused: the
    // monitor says so and names the log, Back to File gives the file back
    // with its unsaved edit, and nothing is lost or written.
    void aSendThatCannotGoAheadLosesNothing_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QStringList>("monitor");
        QTest::newRow("does not answer") << "silent"
                                         << QStringList{"Attempting to connect to KYR7", "Connection Type is LAN",
                                                        "LAN Error: Connection timed out"};
        QTest::newRow("refuses the connection")
            << "closed"
            << QStringList{"Attempting to connect to KYR7", "Connection Type is LAN", "LAN Error: Connection refused"};
        QTest::newRow("needs a newer program") << "refused"
                                               << QStringList{"Closing Setup Conversation", "Encoder Setup Retrieved",
                                                              "Nothing was sent: this program cannot set up this KYR7"};
    }
    void aSendThatCannotGoAheadLosesNothing()
    {
        QFETCH(QString, unit);
        QFETCH(QStringList, monitor);
        Harness h;
        SilentPort silent;
        if (unit == "silent") {
            h.services.tcpPort = silent.port;
        } else if (unit == "closed") {
            QTcpServer probe; // a free port nobody listens on
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            h.services.tcpPort = probe.serverPort();
            probe.close();
        } else {
            QVERIFY(h.startSim({"--part-required", "47215RH", "--part-suggested", "47215RH"}));
        }
        const QByteArray text = demoWith({});
        const QString path = h.write("unit.kyr7", text);
        frmKYR7Set &w = h.open(path);
        // An unsaved edit, and the send chosen from the keyboard.
        w.model().setSCAP(0, CapRow::Language608F1, "fra");
        w.SetDisplay();
        const clsKYR edited = w.model();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QSignalSpy failed(&w.conversation(), &Conversation::linkFailed);
        QSignalSpy retrieved(&w.conversation(), &Conversation::retrievalFinished);
        h.dialogs.connectButtons = {"B_OK"};
        QTest::keySequence(&w, QKeySequence("Ctrl+T"));
        QCOMPARE(h.dialogs.opened, QStringList{"frmConnect"});
        QVERIFY(w.monitorShowing());
        QCOMPARE(w.windowTitle(), "Sending unit.kyr7" + kTitle);
        QCOMPARE(h.shown("B_Cancel"), "Back to File|Back to File");
        if (unit == "silent") {
            for (int tick = 0; tick < Conversation::ConnectTries; ++tick)
                QVERIFY(h.timer.fire());
        } else if (unit == "closed") {
            QVERIFY(failed.count() > 0 || failed.wait(kWait));
        } else {
            QVERIFY(retrieved.count() > 0 || retrieved.wait(kWait));
            QCOMPARE(h.messages.count(), 1);
            QCOMPARE(h.messages.last().title, "Error, KYR7 requires at least version 1.7 of setup software");
        }
        QStringList lines = h.monitor();
        QCOMPARE(lines.takeLast(), kFor + "Conversation log: " + QDir::toNativeSeparators(w.conversationLog().path()));
        for (QString &line : lines)
            line.remove(kFor);
        QCOMPARE(lines.mid(lines.size() - monitor.size()), monitor);
        QVERIFY(!w.conversation().linkOpen());
        QVERIFY(!w.ended());

        h.button("B_Cancel")->click();
        QVERIFY(!w.monitorShowing() && !w.ended());
        QVERIFY(w.model() == edited);
        QCOMPARE(w.windowTitle(), "*unit.kyr7" + kTitle);
        QCOMPARE(h.shown("B_Cancel"), "Close|Close");
        QCOMPARE(h.read(path), text);
        if (h.sim)
            QVERIFY(!QFile::exists(h.sim->statePath()));
        // The file's own edit is still asked about when the program closes.
        h.messages.queueChoice("Close Without Saving");
        h.button("B_Cancel")->click();
        QVERIFY(w.ended());
        QCOMPARE(h.messages.last().title, "Unsaved changes");
    }

    // Verify after Save and Exit: what the unit holds against what was sent,
    // also after another client changed the unit and saved. Each difference
    // on the monitor, as many as fit its 15 lines, the rest counted and all
    // of them in the conversation log; Verify can be pressed again.
    void verifyAfterSaveAndExit_data()
    {
        QTest::addColumn<QByteArray>("meanwhile");
        QTest::addColumn<QStringList>("found"); // %1: the settings sent
        QTest::newRow("as saved") << QByteArray()
                                  << QStringList{"Verified: every setting was found as saved (%1 settings compared)"};
        QTest::newRow("another client changed a setting and saved")
            << QByteArray("SETUP\rCAPPGM1\rLanguage608F1=fra\r\r\rSAVE\r")
            << QStringList{"Verify found 1 of the %1 settings sent not held as saved:",
                           "CAPPGM1 Language608F1: sent \"spn\", holds \"fra\""};
        // More than the monitor holds: listed as far as they fit, the rest counted.
        QTest::newRow("another client loaded the factory defaults") << QByteArray("DEFAULTS\r") << QStringList{};
    }
    void verifyAfterSaveAndExit()
    {
        QFETCH(QByteArray, meanwhile);
        QFETCH(QStringList, found);
        Harness h;
        QVERIFY(h.startSim());
        QVERIFY(h.unit());
        frmKYR7Set &w = *h.window;
        QVERIFY(h.button("B_Verify")->isHidden());
        w.model().setSCAP(0, CapRow::Language608F1, "spn");
        QVERIFY(h.runToDone("B_Save"));
        QVERIFY(h.button("B_Verify")->isVisible());
        if (!meanwhile.isEmpty())
            QVERIFY(h.otherClient(meanwhile));

        QVERIFY(h.verify());
        const Verification &result = w.verifier().result();
        const QString sent = QString::number(rowsOf(FullSavePlan(w.model())));
        const QString log = QDir::toNativeSeparators(w.conversationLog().path());
        if (found.isEmpty()) {
            const int listed = frmKYR7Set::MonitorLines - 2;
            QVERIFY(int(result.mismatches.size()) > listed);
            found << QStringLiteral("Verify found %1 of the %2 settings sent not held as saved:")
                         .arg(result.mismatches.size())
                         .arg(sent);
            for (int i = 0; i < listed; ++i)
                found << Verification::Line(result.mismatches[size_t(i)]);
            found << QStringLiteral("... and %1 more; the full list is in the conversation log %2")
                         .arg(result.mismatches.size() - listed)
                         .arg(log);
            QCOMPARE(found.size(), frmKYR7Set::MonitorLines);
        }
        for (QString &line : found)
            line = kFor + (line.contains("%1") ? line.arg(sent) : line);
        QCOMPARE(h.monitor().mid(h.monitor().size() - found.size()), found);

        // The log has the read-back's bytes and every difference.
        const QByteArray text = h.read(w.conversationLog().path());
        for (const Verification::Mismatch &m : result.mismatches)
            QVERIFY2(text.contains(" # " + Verification::Line(m).toLatin1() + '\n'), qPrintable(Verification::Line(m)));
        QCOMPARE(text.count(" TX SETUP\\r\n"), 3); // retrieval, save, read-back

        // Again: the same outcome, one more read-back in the log.
        QVERIFY(h.verify());
        QCOMPARE(h.monitor().mid(h.monitor().size() - found.size()), found);
        QCOMPARE(h.read(w.conversationLog().path()).count(" TX SETUP\\r\n"), 4);
        h.button("B_Cancel")->click();
        QVERIFY(w.ended());
    }

    // On a LAN link a unit that closes the connection after SAVE ends the
    // program, as it always has: there is no Done, and no Verify.
    void aUnitThatClosesAfterSaveEndsTheProgram()
    {
        Harness h;
        QVERIFY(h.startSim({"--close-on-exit"}));
        QVERIFY(h.unit());
        frmKYR7Set &w = *h.window;
        h.button("B_Save")->click();
        QTRY_VERIFY_WITH_TIMEOUT(w.ended(), kWait);
        QCOMPARE(h.lastLine(), kFor + "Setup Complete");
        QVERIFY(h.button("B_Verify")->isHidden());
    }

    // A save that gives the unit another address on the LAN: it would not be
    // found where the read-back looks (a real unit restarts there), so there
    // is no Verify, and the monitor says why.
    void aSaveThatMovesTheUnitOffersNoVerify()
    {
        Harness h;
        QVERIFY(h.startSim());
        QVERIFY(h.unit());
        h.window->model().setSKYR(KyrRow::IpNum, "192.168.0.11");
        QVERIFY(h.runToDone("B_Save"));
        QVERIFY(h.button("B_Verify")->isHidden());
        QCOMPARE(h.lastLine(), kFor + "The save moves the KYR7 from 192.168.0.10 to 192.168.0.11: it cannot be read "
                                      "back where it was, so Verify is not offered");
    }

    // From the keyboard after a save: the keyboard is on Verify, and Tab
    // goes on to Done and back.
    void verifyIsReachedFromTheKeyboard()
    {
        Harness h;
        QVERIFY(h.startSim());
        QVERIFY(h.unit());
        frmKYR7Set &w = *h.window;
        QVERIFY(h.runToDone("B_Save"));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), h.button("B_Verify"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), h.button("B_Cancel"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), h.button("B_Verify"));
        QSignalSpy finished(&w.verifier(), &Verifier::finished);
        QTest::keyClick(h.button("B_Verify"), Qt::Key_Space);
        QVERIFY(finished.wait(kWait));
        QVERIFY(h.lastLine().startsWith(kFor + "Verified: "));
    }
};

QTEST_MAIN(tst_SendVerify)
#include "tst_sendverify.moc"
