// A configuration file sent to a unit and what a save left read back, the
// whole program against kyr7sim over loopback TCP, headless: the file's
// settings over the unit's with its identity and network kept, the one
// message before anything is written (and the review and the way back from
// it), a unit that cannot be reached or is refused with nothing lost, and
// "Verify" after "Save and Exit" and after a Send, also with the unit changed
// by another client in between.
#include "ConfigFile.h"
#include "SaveRows.h"
#include "WindowRig.h"

#include <QTcpServer>

namespace {

const QString kTitle = QStringLiteral(" - KYR7 Setup Program Version " KYR7_VERSION);
const QString kFor = QStringLiteral("13:05:09 - "); // the fixed clock's stamp

int rowsOf(const SavePlan &plan)
{
    int rows = 0;
    for (const SaveVisit &visit : plan)
        rows += int(visit.rows.size());
    return rows;
}

struct Harness : WindowRig
{
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
        return (retrieved.count() > 0 || retrieved.wait(Wait)) &&
               QTest::qWaitFor([&] { return messages.count() > boxes && messages.choices.isEmpty(); }, Wait);
    }

    // Presses "Verify" (by a click, or by Space where the keyboard is) and
    // waits for what it found.
    bool verify(bool keyboard = false)
    {
        QSignalSpy finished(&window->verifier(), &Verifier::finished);
        QSignalSpy progress(&window->verifier().conversation(), &Conversation::progress);
        if (keyboard)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        else
            button("B_Verify")->click();
        const bool done = finished.count() > 0 || finished.wait(Wait);
        progressShown = progress.count() > 0;
        return done && progressBar()->isHidden();
    }

    bool progressShown = false;
};

// kyr7sim's own configuration with these settings replaced.
QByteArray demoWith(const QList<std::pair<QByteArray, QByteArray>> &replaced)
{
    QByteArray text = ConfigFile::Text(SimDemo());
    for (const auto &[from, to] : replaced) {
        if (!text.contains(from))
            qFatal("no %s", from.constData());
        text.replace(text.indexOf(from), from.size(), to);
    }
    return text;
}

} // namespace

class tst_SendVerify : public QObject
{
    Q_OBJECT

private slots:
    // A file sent: one message first, then kyr7sim holds the file's settings
    // with its own identity and network, and what the file does not give as
    // it was. Then Verify reads it all back as sent, and Done closes. (The
    // message's parts: tst_workbench's sendSummary.)
    void fileSentToAUnit_data()
    {
        const auto row = Table<QByteArray, QStringList, QStringList>({"file", "said", "changes"});
        row("a whole file of another unit",
            demoWith({{"SerialNumber=12345", "SerialNumber=99999"},
                      {"IpNum=192.168.0.10", "IpNum=10.9.9.9"},
                      {"Netmask=255.255.255.0", "Netmask=255.0.0.0"},
                      {"Language608F2=eng", "Language608F2=spn"},
                      {"[PGM2]\nVideoMode=3\nRequestedVideoMode=3", "[PGM2]\nVideoMode=2\nRequestedVideoMode=12"}}),
            {"The KYR7 keeps its own SerialNumber, IpNum, Netmask and PGM2 VideoMode:", "found nothing wrong"},
            {"PGM2 RequestedVideoMode=12", "CAPPGM1 Language608F2=spn"});
        row("some settings, one the save cannot carry, one the checks find",
            "[KYR]\nSerialNumber=1\n[CAPPGM1]\nLanguage608F1=fra\n[PORTA]\nBaud=19200\n[LAN2]\nPortAddr=2000\n",
            {"The KYR7 keeps its own SerialNumber:", "The save cannot carry 1 of the file's settings:\r\n- PORTA Baud",
             "The checks found a problem:\r\n- LAN1 and LAN2 both use LAN port 2000"},
            {"CAPPGM1 Language608F1=fra", "LAN2 PortAddr=2000"});
    }
    void fileSentToAUnit()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, said);
        Harness h;
        QVERIFY(h.startSim());
        const QString path = h.write("sent.kyr7", file);
        frmKYR7Set &w = h.open(path);
        QVERIFY(!h.button("B_Send")->isHidden());

        QVERIFY(h.send({"Send"}));
        QVERIFY(!h.dialogs.fileOffered);
        QCOMPARE(h.messages.count(), 1);
        QCOMPARE(h.messages.last().title, "Send sent.kyr7 to the KYR7");
        const QString message = h.messages.last().text;
        QVERIFY2(message.startsWith("Sending sent.kyr7 to the KYR7 12345 over LAN 127.0.0.1 changes 2 settings."),
                 qPrintable(message));
        for (const QString &part : said)
            QVERIFY2(message.contains(part), qPrintable(part));
        QCOMPARE(h.messages.last().buttons, QStringList({"Send", "Review Changes...", "Go Back*"}));
        QVERIFY(h.runToDone()); // the save started by "Send"
        QCOMPARE(w.windowTitle(), "sent.kyr7 sent to the KYR7 12345" + kTitle);

        // What the unit holds: the file's settings, its own identity and network.
        QTEST(changes(SimDemo(), h.sim->stored()), "changes");
        QCOMPARE(ReadTestFile(path), file);
        QVERIFY(QFile::exists(h.dir.filePath("kyr.cfg")));
        QCOMPARE(h.lastLine(), kFor + "Setup is complete, Press Done to exit");

        // Verify after a Send: every setting sent, read back as saved.
        QVERIFY(h.verify());
        QVERIFY(h.progressShown);
        QCOMPARE(h.lastLine(),
                 kFor + QStringLiteral("Verified: every setting was found as saved (%1 settings compared)")
                            .arg(rowsOf(FullSavePlan(w.model()))));
        const QByteArray log = ReadTestFile(w.conversationLog().path());
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
        const QByteArray file = "[KYR]\nIpNum=10.1.1.1\n[CAPPGM1]\nLanguage608F1=fra\n[PORTA]\nBaud=19200\n";
        frmKYR7Set &w = h.open(h.write("part.kyr7", file));
        w.model().setSCAP(1, CapRow::Language608F2, "deu"); // not saved to the file
        w.SetDisplay();
        const clsKYR edited = w.model();
        QStringList review;
        h.dialogs.handlers["frmReview"] = [&review](QDialog &d) {
            review << child<QLabel>(d, "TB_Summary")->text() << texts(child<QListWidget>(d, "LB_NotSent")->model());
        };
        const QByteArray before = h.sim->transcript();
        QVERIFY(h.send({"Review Changes...", "Go Back"}));
        QCOMPARE(h.dialogs.opened, QStringList({"frmConnect", "frmReview"}));
        QCOMPARE(review.size(), 3);
        QCOMPARE(review[0], "2 settings will change, compared with what the KYR7 12345 over LAN 127.0.0.1 held when "
                            "retrieved.");
        QCOMPARE(review[1], "KYR IpNum: the file's \"10.1.1.1\", the KYR7 keeps \"192.168.0.10\"");
        QVERIFY(review[2].startsWith("PORTA Baud: 19200 (not written: the stream is free"));
        QCOMPARE(h.messages.count(), 2); // the same message, before and after the review
        QCOMPARE(h.messages.boxes[0].text, h.messages.boxes[1].text);

        // Gone back: nothing written; the window shows what the unit would hold.
        QVERIFY(!w.monitorShowing());
        QCOMPARE(w.windowTitle(), "Sending part.kyr7 to the KYR7 12345" + kTitle);
        QCOMPARE(h.button("B_Save")->text() + '|' + h.button("B_Cancel")->text(), "Send|Back to File");
        QVERIFY(h.button("B_Defaults")->isHidden() && h.button("B_Send")->isHidden());
        QCOMPARE(w.focusWidget(), h.button("B_Save")); // the keyboard's next step
        QCOMPARE(h.value("TB_Address")->text(), "192.168.0.10");
        QCOMPARE(w.model().sCAP(0, CapRow::Language608F1), "fra");
        QCOMPARE(w.model().sCAP(1, CapRow::Language608F2), "deu"); // the unsaved edit goes too
        QCOMPARE(w.model().sCAP(1, CapRow::Language608F1), "eng"); // the file does not give it
        QVERIFY(h.sim->transcript().startsWith(before + "SETUP\r"));
        QVERIFY(!h.sim->transcript().contains("Language608F1=fra"));

        // Edited here, Back to File asks; No stays, Yes goes back.
        w.model().setSPGM(0, PgmRow::RequestedVideoMode, "10");
        h.click("B_Cancel", false);
        QCOMPARE(h.messages.last().title, "Back to the file");
        QVERIFY(w.windowTitle().startsWith("Sending"));
        h.click("B_Cancel", true);
        QVERIFY(!w.conversation().linkOpen());
        QVERIFY(w.model() == edited);
        QCOMPARE(w.windowTitle(), "*part.kyr7 (some settings)" + kTitle);
        QCOMPARE(h.button("B_Save")->text() + '|' + h.button("B_Cancel")->text(), "Save|Close");
        QVERIFY(!h.button("B_Send")->isHidden());
        QCOMPARE(w.focusWidget(), h.button("B_Send"));
        QCOMPARE(h.read("part.kyr7"), file);
        QVERIFY(!QFile::exists(h.sim->statePath()));
        QVERIFY(!QFile::exists(h.dir.filePath("kyr.cfg")));
    }

    // A unit that refuses the connection, or whose version is refused: the
    // monitor says so and names the log, Back to File gives the file back
    // with its unsaved edit, and nothing is lost or written. (A unit that
    // does not answer fails as a refusing one: tst_Conversation.)
    void aSendThatCannotGoAheadLosesNothing_data()
    {
        const auto row = Table<bool, QStringList>({"refused", "monitor"});
        row("refuses the connection", false,
            {"Attempting to connect to KYR7", "Connection Type is LAN", "LAN Error: Connection refused"});
        row("needs a newer program", true,
            {"Closing Setup Conversation", "Encoder Setup Retrieved",
             "Nothing was sent: this program cannot set up this KYR7"});
    }
    void aSendThatCannotGoAheadLosesNothing()
    {
        QFETCH(bool, refused);
        QFETCH(QStringList, monitor);
        Harness h;
        if (refused) {
            QVERIFY(h.startSim({"--part-required", "47215RH", "--part-suggested", "47215RH"}));
        } else {
            QTcpServer probe; // a free port nobody listens on
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            h.loopback(probe.serverPort());
        }
        const QByteArray text = demoWith({});
        frmKYR7Set &w = h.open(h.write("unit.kyr7", text));
        // An unsaved edit, and the send chosen from the keyboard.
        w.model().setSCAP(0, CapRow::Language608F1, "fra");
        w.SetDisplay();
        const clsKYR edited = w.model();
        QVERIFY(Activate(w));
        QSignalSpy failed(&w.conversation(), &Conversation::linkFailed);
        QSignalSpy retrieved(&w.conversation(), &Conversation::retrievalFinished);
        h.dialogs.connectButtons = {"B_OK"};
        QTest::keySequence(&w, QKeySequence("Ctrl+T"));
        QCOMPARE(h.dialogs.opened, QStringList{"frmConnect"});
        QVERIFY(w.monitorShowing());
        QCOMPARE(w.windowTitle(), "Sending unit.kyr7" + kTitle);
        QCOMPARE(h.button("B_Cancel")->text(), "Back to File");
        QSignalSpy &ended = refused ? retrieved : failed;
        QVERIFY(ended.count() > 0 || ended.wait(Harness::Wait));
        QCOMPARE(h.messages.count(), refused ? 1 : 0);
        if (refused)
            QCOMPARE(h.messages.last().title, "Error, KYR7 requires at least version 1.7 of setup software");
        QStringList lines = h.monitor();
        QCOMPARE(lines.takeLast(), kFor + "Conversation log: " + QDir::toNativeSeparators(w.conversationLog().path()));
        QCOMPARE(lines.mid(lines.size() - monitor.size()).replaceInStrings(kFor, ""), monitor);
        QVERIFY(!w.conversation().linkOpen() && !w.ended());

        h.button("B_Cancel")->click();
        QVERIFY(!w.monitorShowing() && !w.ended());
        QVERIFY(w.model() == edited);
        QCOMPARE(w.windowTitle(), "*unit.kyr7" + kTitle);
        QCOMPARE(h.button("B_Cancel")->text(), "Close");
        QCOMPARE(h.read("unit.kyr7"), text);
        QVERIFY(!h.sim || !QFile::exists(h.sim->statePath()));
        // The file's own edit is still asked about when the program closes.
        h.messages.queueChoice("Close Without Saving");
        h.button("B_Cancel")->click();
        QVERIFY(w.ended());
        QCOMPARE(h.messages.last().title, "Unsaved changes");
    }

    // Verify after Save and Exit, reached from the keyboard: what the unit
    // holds against what was sent, also after another client changed the unit
    // and saved. Each difference on the monitor, as many as fit its 15 lines,
    // the rest counted and all of them in the conversation log (the monitor's
    // lines themselves: tst_workbench's verifyReport); Verify can be pressed
    // again.
    void verifyAfterSaveAndExit_data()
    {
        // Patterns of the first and last of the lines the outcome takes; %1 the settings sent, %2 the log.
        const auto row = Table<QByteArray, int, QString, QString>({"meanwhile", "lines", "first", "last"});
        const QString verified = "Verified: every setting was found as saved \\(%1 settings compared\\)";
        row("as saved", {}, 1, verified, verified);
        row("another client changed a setting and saved", "SETUP\rCAPPGM1\rLanguage608F1=fra\r\r\rSAVE\r", 2,
            "Verify found 1 of the %1 settings sent not held as saved:",
            "CAPPGM1 Language608F1: sent \"spn\", holds \"fra\"");
        row("another client loaded the factory defaults", "DEFAULTS\r", frmKYR7Set::MonitorLines,
            "Verify found \\d+ of the %1 settings sent not held as saved:",
            "\\.\\.\\. and \\d+ more; the full list is in the conversation log %2");
    }
    void verifyAfterSaveAndExit()
    {
        QFETCH(QByteArray, meanwhile);
        QFETCH(int, lines);
        QFETCH(QString, first);
        QFETCH(QString, last);
        Harness h;
        QVERIFY(h.startSim());
        QVERIFY(h.unit());
        frmKYR7Set &w = *h.window;
        QVERIFY(h.button("B_Verify")->isHidden());
        w.model().setSCAP(0, CapRow::Language608F1, "spn");
        QVERIFY(h.runToDone("B_Save"));
        // The keyboard is on Verify; Tab goes on to Done and back.
        QVERIFY(Activate(w));
        QCOMPARE(QApplication::focusWidget(), h.button("B_Verify"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), h.button("B_Cancel"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        if (!meanwhile.isEmpty())
            QVERIFY(h.otherClient(meanwhile));

        QVERIFY(h.verify(true));
        const QString sent = QString::number(rowsOf(FullSavePlan(w.model())));
        const QString log = QDir::toNativeSeparators(w.conversationLog().path());
        const QStringList shown = h.monitor().mid(h.monitor().size() - lines);
        const auto matches = [&](const QString &line, const QString &pattern) {
            const QString filled = QString(pattern).replace("%1", sent).replace("%2", QRegularExpression::escape(log));
            return QRegularExpression('^' + kFor + filled + '$').match(line).hasMatch();
        };
        QVERIFY2(matches(shown.first(), first) && matches(shown.last(), last), qPrintable(shown.join('\n')));

        // The log has the read-back's bytes and every difference.
        const QByteArray text = ReadTestFile(w.conversationLog().path());
        for (const Verification::Mismatch &m : w.verifier().result().mismatches)
            QVERIFY2(text.contains(" # " + Verification::Line(m).toLatin1() + '\n'), qPrintable(Verification::Line(m)));
        QCOMPARE(text.count(" TX SETUP\\r\n"), 3); // retrieval, save, read-back

        // Again: the same outcome, one more read-back in the log.
        QVERIFY(h.verify());
        QCOMPARE(h.monitor().mid(h.monitor().size() - lines), shown);
        QCOMPARE(ReadTestFile(w.conversationLog().path()).count(" TX SETUP\\r\n"), 4);
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
        h.button("B_Save")->click();
        QTRY_VERIFY_WITH_TIMEOUT(h.window->ended(), Harness::Wait);
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
};

QTEST_MAIN(tst_SendVerify)
#include "tst_sendverify.moc"
