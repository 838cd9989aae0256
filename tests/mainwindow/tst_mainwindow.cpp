// The connection dialog, the main window headless, and the whole program
// against kyr7sim over loopback TCP: settings, monitor, module slots, the
// requested video format, the editors and the closing conversations.
#include "SaveRows.h"
#include "SetupChecks.h"
#include "WindowRig.h"
#include "frmConnect.h"

namespace {

// A LAN retrieval: "SETUP", 21 section visits of three steps, the two bridge
// visits and the closing step; the replies come line by line.
constexpr int kRetrievalSteps = 1 + 21 * 3 + 2 + 1;
constexpr int kRetrievalReplies = 1 + 21 * 3 + 4 + 5 + 1;

void click(QWidget &parent, const char *name)
{
    child<QAbstractButton>(parent, name)->click();
}

// A choice as the operator makes it: the program acts on activated().
void choose(QComboBox *list, int at)
{
    list->setCurrentIndex(at);
    emit list->activated(at);
}

// A stream as "NAME:type:program[:direction[:mode]]", e.g. "LAN1:16:1:D".
void setStream(clsKYR &kyr, const QString &text)
{
    const QStringList f = text.split(':');
    Section section;
    int s = 0;
    clsKYR::FindSection(f[0], section, s);
    kyr.setStr(s, StrRow::StreamType, KyrValue(qint32(f[1].toInt())));
    kyr.setSSTR(s, StrRow::Program, f[2]);
    kyr.setSSTR(s, StrRow::Direction, f.value(3, "E"));
    kyr.setSSTR(s, StrRow::Mode, f.value(4, "0"));
}

// The rows a save sends that the encoder did not store as the model holds them.
QStringList notSaved(const clsKYR &model, const clsKYR &stored)
{
    QStringList rows;
    for (Section section : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str})
        for (int slot = 0; slot < clsKYR::Slots(section); ++slot)
            for (int row : SaveRows(model, section, slot))
                if (stored.text(section, slot, row) != model.text(section, slot, row))
                    rows << clsKYR::SectionName(section, slot) + '.' + clsKYR::Definitions(section)[size_t(row)].Name;
    return rows;
}

// The bytes of one direction ("TX" or "RX") read back from a conversation log.
QByteArray logged(const QByteArray &log, const QByteArray &direction)
{
    QByteArray bytes;
    for (const QByteArray &line : log.split('\n')) {
        const QByteArray text = line.mid(16);
        for (qsizetype i = 0; line.mid(12, 4) == " " + direction + " " && i < text.size(); ++i) {
            const char c = text[i] == '\\' ? text[++i] : 0;
            bytes += !c         ? text[i]
                     : c == 'r' ? '\r'
                     : c == 'n' ? '\n'
                     : c == 'x' ? char(text.mid(i + 1, 2).toInt(nullptr, 16))
                                : c;
            i += c == 'x' ? 2 : 0;
        }
    }
    return bytes;
}

// Progress through one conversation: from 0 to all of its steps, one step
// at a time, never back.
void checkSteps(const QList<std::pair<int, int>> &progress, int steps)
{
    QCOMPARE(progress.size(), steps + 1);
    for (int i = 0; i < progress.size(); ++i)
        QCOMPARE(progress[i], std::make_pair(i, steps));
}

// The main window's rig (the connection dialog answered with OK, in-memory
// links that never connect by themselves), with what these tests look at.
struct Harness : WindowRig
{
    Harness()
    {
        dialogs.otherwise = "B_OK";
        services.linkFactory = [this](const ConnectionSettings &) {
            auto made = std::make_unique<MemoryLink>();
            made->connectOnOpen = false;
            link = made.get();
            return made;
        };
    }

    // A started window, monitor off, holding every parameter at its factory
    // default as after a retrieval, and these streams.
    frmKYR7Set &editing(const QStringList &streams = {})
    {
        make().Start();
        window->model() = FactoryModel();
        for (const QString &stream : streams)
            setStream(window->model(), stream);
        window->MonitorOff();
        window->SetDisplay();
        return *window;
    }

    // kyr7sim on its demo configuration changed by these lines of a
    // configuration file, and the window on it once retrieved.
    bool retrieve(const QByteArray &config = {}, const QStringList &simArgs = {})
    {
        return startSim(simArgs, config) && unit();
    }

    // The slot open to a choice of module type on the current tab.
    int freeSlot() const
    {
        int slot = 0;
        while (slot < frmKYR7Set::Slots && !combo(QStringLiteral("CB_Module_%1").arg(slot))->isEnabled())
            ++slot;
        return slot;
    }

    // What a program's module slots show: per slot the module's initials (N
    // for "None", T, C, Ca, B), "@" and its port, and for the slot open to a
    // choice the types it offers besides "None".
    QString modules(int program)
    {
        tabs()->setCurrentIndex(program);
        const auto initials = [](const QStringList &types) {
            QString text;
            for (const QString &t : types)
                text += t.startsWith("Caption") ? "Ca" : t.left(1);
            return text;
        };
        QStringList shown;
        for (int i = 0; i < frmKYR7Set::Slots; ++i) {
            QComboBox *box = combo(QStringLiteral("CB_Module_%1").arg(i));
            const bool configurable = button(QStringLiteral("B_Configure_%1").arg(i))->isEnabled();
            if (!box->count() && !configurable)
                continue;
            const QString port = value(QStringLiteral("TB_Port_%1").arg(i))->text();
            shown << initials({box->currentText()}) + (port.isEmpty() ? "" : "@" + port) +
                         (box->isEnabled() ? "[" + initials(texts(box->model()).mid(1)) + "]" : "") +
                         (configurable ? "" : "(no Configure)");
        }
        return shown.join(' ');
    }

    // Every command of the current script, as sent.
    QByteArray script() const
    {
        QByteArray bytes;
        for (const ScriptStep &step : window->conversation().Script)
            bytes += step.Command.toLatin1();
        return bytes;
    }
};

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    // --- the connection dialog

    void connectionDialog_data()
    {
        // stored Method, option clicked, button; option checked, frames enabled (LAN, Serial, Modem), Method after
        QTest::addColumn<QStringList>("r");
        const QList<QStringList> rows{{"LAN", "", "B_OK", "RB_LAN", "100", "LAN"},
                                      {"SERIAL", "", "B_OK", "RB_Serial", "010", "SERIAL"},
                                      {"MODEM", "", "B_OK", "RB_Modem", "001", "MODEM"},
                                      {"Bluetooth", "", "B_OK", "", "111", "MODEM"},
                                      {"lan", "", "B_OK", "", "111", "MODEM"},
                                      {"MODEM", "RB_LAN", "B_OK", "RB_LAN", "100", "LAN"},
                                      {"MODEM", "RB_Serial", "B_OK", "RB_Serial", "010", "SERIAL"},
                                      {"LAN", "RB_Modem", "B_OK", "RB_Modem", "001", "MODEM"},
                                      {"LAN", "RB_Serial", "B_Cancel", "RB_Serial", "010", "LAN"}};
        for (const QStringList &r : rows)
            QTest::newRow(qPrintable(r.mid(0, 3).join(' '))) << r;
    }
    void connectionDialog()
    {
        QFETCH(QStringList, r);
        ConnectionSettings settings;
        settings.Method = r[0];
        ScriptedMessages messages;
        Dialogs dialogs(messages);
        frmConnect d(settings, dialogs);
        d.show();
        if (!r[1].isEmpty())
            click(d, qPrintable(r[1]));
        QString checked, frames;
        for (const char *name : {"RB_LAN", "RB_Serial", "RB_Modem"})
            checked += d.findChild<QRadioButton *>(name)->isChecked() ? name : "";
        for (const char *name : {"F_LAN", "F_Serial", "F_Modem"}) {
            auto *frame = d.findChild<QGroupBox *>(name);
            frames += frame->isEnabled() ? '1' : '0';
            // An option that can be chosen never looks disabled: its frame's
            // title keeps its colour, while the frame's contents grey out.
            const QPalette title = frame->palette(), contents = frame->findChild<QLabel *>()->palette();
            QCOMPARE(title.color(QPalette::Disabled, QPalette::WindowText),
                     title.color(QPalette::Active, QPalette::WindowText));
            QVERIFY(contents.color(QPalette::Disabled, QPalette::WindowText) !=
                    contents.color(QPalette::Active, QPalette::WindowText));
        }
        d.findChild<QLineEdit *>("EB_Address")->setText("12345");
        d.findChild<QComboBox *>("CB_COM")->setCurrentText("/dev/ttyUSB0");
        d.findChild<QComboBox *>("CB_MODEM")->setCurrentIndex(2);
        d.findChild<QLineEdit *>("EB_Phone")->setText("9,5550100");
        click(d, qPrintable(r[2]));
        const bool ok = r[2] == "B_OK";
        QCOMPARE(d.ConnectOK, ok);
        QCOMPARE(d.result(), ok ? QDialog::Accepted : QDialog::Rejected);
        QCOMPARE(QStringList(
                     {checked, frames, settings.Method, settings.IP, settings.Serial, settings.Modem, settings.Number}),
                 r.mid(3) + (ok ? QStringList({"12345", "/dev/ttyUSB0", "COM3", "9,5550100"})
                                : QStringList({"192.168.0.1", "COM1", "COM2", "9,"})));
    }

    // --- the main window

    void emptyStoreOpensOnDefaultsAndCancelStoresThem()
    {
        Harness h;
        QString shown;
        h.dialogs.connectButtons = {"B_Cancel"};
        h.dialogs.onConnect = [&](QDialog &d) {
            shown = child<QRadioButton>(d, "RB_LAN")->isChecked() ? "LAN" : "other";
            for (const char *box : {"EB_Address", "EB_Phone"})
                shown += " " + text(d, box);
            for (const char *box : {"CB_COM", "CB_MODEM"})
                shown += " " + child<QComboBox>(d, box)->currentText();
        };
        QVERIFY(!h.make().Start());
        QCOMPARE(shown, QStringLiteral("LAN 192.168.0.1 9, COM1 COM2"));
        QVERIFY(h.window->ended() && !h.link);
        QStringList stored;
        for (const char *key : {"Top", "Left", "IP", "Serial", "Modem", "Method", "Number", "INIT", "DIAL"})
            stored << h.stored(key);
        QCOMPARE(stored, QStringList({"0", "0", "192.168.0.1", "COM1", "COM2", "LAN", "9,", "AT Z", "AT DT"}));
    }

    // A stored position far off every screen (a monitor since removed, a
    // number edited by hand) brings the window back onto a screen.
    void startThenCloseStoresThePositionUnlessMinimised_data()
    {
        // Top and Left before the start; where the window opens; Top and Left after the close.
        const auto row = Table<bool, QStringList, QPoint, QStringList>({"minimised", "stored", "shown", "position"});
        const QPoint corner = QGuiApplication::primaryScreen()->availableGeometry().topLeft();
        row("normal", false, {"100", "200"}, QPoint(200, 100), {"50", "300"});
        row("minimised", true, {"100", "200"}, QPoint(200, 100), {"100", "200"});
        row("huge", false, {"1e300", "-1e300"}, corner, {"50", "300"});
        row("removed monitor", false, {"40", "5000"}, corner, {"50", "300"});
    }
    void startThenCloseStoresThePositionUnlessMinimised()
    {
        QFETCH(bool, minimised);
        QFETCH(QStringList, stored);
        Harness h;
        h.store.setValue("Settings/Top", stored[0]);
        h.store.setValue("Settings/Left", stored[1]);
        h.clock.time = QTime(9, 0, 5);
        frmKYR7Set &w = h.make();
        QVERIFY(w.Start());
        QCOMPARE(w.windowTitle(), QStringLiteral("KYR7 Setup Program Version " KYR7_VERSION));
        for (int i = 1; i <= 14; ++i)
            w.MonitorAdd(QStringLiteral("line %1").arg(i));
        QCOMPARE(h.monitor().size(), 15);
        QCOMPARE(h.monitor().first(), QStringLiteral("09:00:05 - Connection Type is LAN"));
        QCOMPARE(h.lastLine(), QStringLiteral("09:00:05 - line 14"));
        QTEST(w.pos(), "shown");
        w.move(300, 50);
        if (minimised)
            w.setWindowState(Qt::WindowMinimized);
        w.close();
        QVERIFY(w.ended());
        QTEST(QStringList({h.stored("Top"), h.stored("Left")}), "position");
        QCOMPARE(h.stored("IP"), QStringLiteral("192.168.0.1"));
        QVERIFY(h.link && !h.link->isOpen());
    }

    // Two screens side by side: a window whose title bar is on either stays.
    void windowPlacement()
    {
        const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
        for (const QPoint &kept : {QPoint(100, 50), QPoint(2500, 300), QPoint(-300, 10)})
            QCOMPARE(frmKYR7Set::OnScreen(kept, QSize(600, 400), screens), kept);
        for (const QPoint &off : {QPoint(3300, 10), QPoint(100, 1100), QPoint(100, -200)})
            QCOMPARE(frmKYR7Set::OnScreen(off, QSize(600, 400), screens), QPoint(0, 0));
    }

    // A caption module is one slot for its three streams, and a decoding
    // caption stream is in use without a slot; the transparent limit counts
    // both programs; the free slot never offers a type the program already has
    // (one file stream and one caption module a program, one bridge an
    // encoder): choosing it would open that module as a new one and reset it.
    void moduleSlots_data()
    {
        const auto row = Table<QStringList, QStringList>({"streams", "shown"}); // shown: program 1, program 2
        row("all free", {}, {"N[TCCaB]", "N[TCCaB]"});
        row("three transparent", {"LAN1:1:1", "LAN2:1:1", "LAN3:1:2"}, {"T@2000 T@2000 N[CCaB]", "T@5003 N[CCaB]"});
        row("caption streams and eight modules",
            {"PORTA:16:1:E:0", "PORTB:16:1:E:1", "PORTC:16:1:E:2", "LAN1:16:1:D:0", "LAN2:1:1", "LAN3:2:1", "LAN4:1:1",
             "LAN5:2:1", "LAN6:1:1", "LAN7:2:1", "LAN8:1:1"},
            {"Ca@PORTA T@2000 C@5003 T@2000 C@2000 T@2000 C@2000 T@2000", "N[CaB]"});
        row("constant data module in program 1", {"FILE1:2:1"}, {"C@Stereo N[TCaB]", "N[TCCaB]"});
        row("program 2's file stream in use", {"FILE2:2:1"}, {"C@Stereo N[TCaB]", "N[TCaB]"});
        row("caption module in program 2", {"LAN1:16:2"}, {"N[TCCaB]", "Ca@2000 N[TCB]"});
        row("a bridge, limit not reached", {"INBRIDGE1:4:2", "OUTBRIDGE1:4:1"},
            {"B@Bridge N[TCCa]", "B@Bridge N[TCCa]"});
        // The slots stop after eight; the marks do not.
        row("eight slots, then another program's module",
            {"PORTA:1:1", "PORTB:1:1", "PORTC:1:1", "MODEM:1:1", "LAN1:1:1", "LAN2:1:1", "LAN3:1:1", "LAN4:1:1",
             "LAN5:1:2", "FILE1:2:1"},
            {"T@PORTA T@PORTB T@PORTC T@MODEM T@2000 T@2000 T@5003 T@2000", "T@2000 N[CCaB]"});
        row("a type the program does not know: in use, no slot", {"LAN3:8:1", "BTEST2:32:2"}, {"N[TCCaB]", "N[TCCaB]"});
        row("a bridge stream of an unknown type: no bridge offered", {"OUTBRIDGE1:8:2"}, {"N[TCCa]", "N[TCCa]"});
    }
    void moduleSlots()
    {
        QFETCH(QStringList, streams);
        Harness h;
        frmKYR7Set &w = h.editing();
        w.model().setSKYR(KyrRow::BridgingStreams, "3");
        w.model().setSSTR(StreamSlot::LAN3, StrRow::PortAddr, "5003");
        for (const QString &stream : streams)
            setStream(w.model(), stream);
        w.SetDisplay();
        QStringList shown;
        for (int program : {0, 1}) {
            shown << h.modules(program);
            QStringList inUse;
            for (int s = 0; s < clsKYR::StreamSlots; ++s)
                if (w.state().StreamInUse[s])
                    inUse << clsKYR::StreamText(s);
            QCOMPARE(inUse.join(' '), streams.join(' ').remove(QRegularExpression(":[^ ]*")));
        }
        QTEST(shown, "shown");
        QCOMPARE(h.messages.count(), 0);
    }

    // A requested video format outside the list is reported and the redraw
    // goes on.
    void identityAndVideoTexts_data()
    {
        // ID, DHCP, RequestedVideoMode; TB_TYPE, TB_DHCP, CB_Video position, message
        QTest::addColumn<QStringList>("r");
        const QString error = "Error in SetDisplay, press OK to continue";
        for (const QStringList &r : QList<QStringList>{{"KYR7-12", "0", "15", "KYR7", "Off", "-1", error},
                                                       {"KYR7", "0", "1e300", "KYR7", "Off", "-1", error},
                                                       {"KYR7", "0", "2.5", "KYR7", "Off", "-1", error},
                                                       {"Encoder", "1", "-1", "Encoder", "On", "-1", error},
                                                       {"KYR7", "2", "3", "KYR7", "On", "3", ""}})
            QTest::newRow(qPrintable(r.mid(0, 3).join(' '))) << r;
    }
    void identityAndVideoTexts()
    {
        QFETCH(QStringList, r);
        Harness h;
        frmKYR7Set &w = h.editing({"PORTB:1:1"});
        w.model().setSKYR(KyrRow::ID, r[0]);
        w.model().setSKYR(KyrRow::DHCP, r[1]);
        w.model().setPgm(0, PgmRow::RequestedVideoMode, KyrValue(r[2].toDouble()));
        w.SetDisplay();
        QStringList messages;
        for (const auto &box : h.messages.boxes)
            messages << box.text;
        QCOMPARE(QStringList({h.value("TB_TYPE")->text(), h.value("TB_DHCP")->text(),
                              QString::number(h.combo("CB_Video")->currentIndex()), messages.join('|')}),
                 r.mid(3));
        QCOMPARE(h.modules(0), QStringLiteral("T@PORTB N[TCCaB]"));
    }

    // Only with a bridge does a change of format ask, and only Yes opens the
    // existing bridge to set up again (without Cancel), even after Configure
    // on the free slot left no stream chosen.
    void videoChangeAsksOnlyWithABridge_data()
    {
        // stored: RequestedVideoMode after choosing 12 instead of 3
        const auto row = Table<bool, bool, int>({"bridge", "yes", "stored"});
        row("no bridge", false, false, 12);
        row("bridge, Yes", true, true, 12);
        row("bridge, No", true, false, 3);
    }
    void videoChangeAsksOnlyWithABridge()
    {
        QFETCH(bool, bridge);
        QFETCH(bool, yes);
        Harness h;
        frmKYR7Set &w = h.editing(bridge ? QStringList{"INBRIDGE1:4:2:D", "OUTBRIDGE1:4:1"} : QStringList{});
        w.model().setSSTR(StreamSlot::OUTBRIDGE1, StrRow::InsertLinesF1, "0x00000200");
        w.model().setSPGM(0, PgmRow::RequestedVideoMode, "3");
        w.model().setSPGM(1, PgmRow::RequestedVideoMode, "3");
        w.SetDisplay();
        w.state().CurrentStream = 7;
        h.click(QStringLiteral("B_Configure_%1").arg(h.freeSlot()));
        QCOMPARE(w.state().CurrentStream, -1);
        QCOMPARE(h.dialogs.opened, QStringList{"frmConnect"});
        QString shown;
        h.dialogs.handlers["frmBridging"] = [&](QDialog &d) {
            shown = child<QComboBox>(d, "CB_Bridge")->currentText();
            QVERIFY(w.state().BridgeReconfigure && d.findChild<QPushButton *>("B_Cancel")->isHidden());
        };
        const QString current = h.value("TB_Video")->text();
        h.messages.queueAnswer(yes); // not taken without a bridge
        choose(h.combo("CB_Video"), 12);
        QCOMPARE(h.messages.count(), bridge ? 1 : 0);
        QCOMPARE(shown, QString(bridge && yes ? "Bridge WST from VBI of Program 2 to OP47 in Vanc of Program 1" : ""));
        QVERIFY(!w.state().BridgeReconfigure);
        QTEST(w.model().sPGM(0, PgmRow::RequestedVideoMode).toInt(), "stored");
        QCOMPARE(w.model().sPGM(1, PgmRow::RequestedVideoMode), QStringLiteral("3"));
        QTEST(h.combo("CB_Video")->currentIndex(), "stored");
        QCOMPARE(h.value("TB_Video")->text(), current);
    }

    // --- the whole program against kyr7sim

    // The demo as retrieved and shown; the progress bar counts the steps of
    // the retrieval and of the save and goes when each ends; the log holds
    // every byte that went each way, with no control character or byte
    // outside ASCII written as it is.
    void retrievalShownWithProgressAndLog()
    {
        Harness h;
        QVERIFY(h.retrieve());
        QCOMPARE(h.lastLine(), QStringLiteral("13:05:09 - Encoder Setup Retrieved"));
        QVERIFY(h.window->model() == SimDemo());
        QCOMPARE(QStringList({h.value("TB_TYPE")->text(), h.value("TB_Address")->text(), h.value("TB_Video")->text(),
                              QString::number(h.combo("CB_Video")->currentIndex()), h.modules(1), h.modules(0)}),
                 QStringList(
                     {"KYR7", "192.168.0.10", "HD 1080i 59.94 Hz", "8", "N[TCCaB]", "Ca@2000 T@2001 C@Stereo N[TB]"}));
        QCOMPARE(h.messages.count(), 0);
        checkSteps(h.progress, kRetrievalSteps);
        QVERIFY(h.progressBar()->isHidden());
        const QByteArray retrieval = h.sim->transcript();
        h.progress.clear();
        h.window->model().setSCAP(0, CapRow::Language708S1, "espa\u00F1ol");
        QVERIFY(h.runToDone("B_Save"));
        QVERIFY(QFile::exists(h.dir.filePath("kyr.cfg")));
        // Every step of a save sends one command, ended by its one CR.
        checkSteps(h.progress, int(h.sim->transcript().mid(retrieval.size()).count('\r')));
        QVERIFY(h.progressBar()->isHidden());
        h.click("B_Cancel");
        QFile file(h.window->conversationLog().path());
        QVERIFY(file.fileName().startsWith(h.dir.filePath("logs/")) && file.open(QIODevice::ReadOnly));
        const QByteArray log = file.readAll();
        QVERIFY(!QString::fromLatin1(log).contains(QRegularExpression("[^\\n\\x20-\\x7e]")));
        QCOMPARE(logged(log, "TX"), h.sim->transcript());
        QVERIFY(h.sim->transcript().contains("Language708S1=espa\xF1ol\r"));
        const QByteArray received = logged(log, "RX");
        QVERIFY(received.startsWith("SETUP\r\n>KYR\r\n#*\r\nID=KYR7"));
        QVERIFY(received.endsWith("SAVE\r\n!"));
    }
    // Each editor opened from the main window as the operator does (a tab, a
    // module type chosen in the free slot and configured, a button, a video
    // format; "Yes" answers the question it asks), after Configure on the free
    // slot has left no stream chosen, and driven by the steps given for each
    // editor opened in turn (Dialogs::step); then Save and Exit, and what the
    // encoder stored against what it held. Nothing goes to the encoder while
    // editing.
    void editsReachTheEncoder_data()
    {
        // Config: changes to the demo configuration; shown: program 1, program 2 afterwards.
        const auto row =
            Table<QByteArray, QStringList, QList<QStringList>, QStringList, QStringList, QStringList, QStringList>(
                {"config", "actions", "edits", "opened", "asked", "shown", "changes"});
        const QString demo = "Ca@2000 T@2001 C@Stereo";
        const QString wst = "shows:CB_Bridge=Bridge WST from VBI of Program 2 to OP47 in Vanc of Program 1";
        row("program 1's streams cleared", "[BTEST2]\nStreamType=0x0001\n", {"B_Clear Yes", "video 10"}, {}, {},
            {"Warning, About to remove configuration information: This action will remove all the current "
             "streams\r\nAre you sure you want to continue?"},
            {"N[TCCaB]", "T@BTEST2 N[TCCaB]"},
            {"PGM1 RequestedVideoMode=10", "LAN1 StreamType=0x0000", "LAN2 StreamType=0x0000",
             "FILE1 StreamType=0x0000"});
        // Counts above 32767 and mask bits beyond line 25 stay as they were.
        row("line usage", "[PGM1]\nAddToLLines=0x7E000100\nLineCfgL9F1=40000\n", {"B_LineUsage"},
            {{"scroll:13", "CB_AppendC", "type:EB_CF1=300", "type:EB_CF2=2000", "B_Apply", "B_Apply"}},
            {"frmLineUsage"}, {}, {demo + " N[TB]", "N[TCCaB]"},
            {"PGM1 AddToCLines=0x00000880 AddToLLines=0x00000100 LineCfgC12F1=300 LineCfgC12F2=1900"});
        row("constant data module added to program 2", {}, {"tab 1", "Constant Data Module"},
            {{"RB_51", "keys:EB_SDID=b", "choose:CB_Line=11", "CB_ConditionalInsertion", "B_Apply"}}, {"frmConstant"},
            {}, {demo + " N[TB]", "C@5.1 Surround N[TCaB]"},
            {"FILE2 StreamType=0x0002 DataChannel=L InsertLinesF1=0x00000800 InsertLinesF2=0x00000800 Did=0x50 "
             "SDid=0x1B FileName=metadata_51 ConditionalInsertion=1"});
        row("bridge from program 2 to program 1", {}, {"Bridging Module"}, {{wst, "CB_LineNum_9", "B_Apply"}},
            {"frmBridging"}, {}, {demo + " B@Bridge N[T]", "B@Bridge N[TCCa]"},
            {"INBRIDGE1 StreamType=0x0004 Program=2 Direction=D InsertLinesF1=0x00104000 InsertLinesF2=0x00104000",
             "OUTBRIDGE1 StreamType=0x0004 DataChannel=L InsertLinesF1=0x00000100 InsertLinesF2=0x00000100 Did=0x43 "
             "SDid=0x02"});
        // Forced: the existing bridge with its identifiers, and neither the close box nor Escape leaves it.
        row("bridge forced by a video change",
            "[INBRIDGE1]\nStreamType=0x0004\nProgram=2\nDirection=D\nInsertLinesF1=0x00100000\n"
            "[OUTBRIDGE1]\nStreamType=0x0004\nDid=0x47\nSDid=0x05\nInsertLinesF1=0x00000600\n",
            {"video 5 Yes"}, {{wst, "shows:EB_DID=47", "shows:EB_SDID=5", "close", "key:Escape", "open", "B_Apply"}},
            {"frmBridging"},
            {"Warning, bridging module affected: Changing the requested video type affects the operation of the "
             "bridging module.\r\nYou will be forced to reconfigure the bridge if you continue with the "
             "change.\r\n\r\nContinue and change the requested video?"},
            {demo + " B@Bridge N[T]", "B@Bridge N[TCCa]"},
            {"PGM1 RequestedVideoMode=5", "INBRIDGE1 InsertLinesF2=0x00100000", "OUTBRIDGE1 InsertLinesF2=0x00000600"});
        // A new module on a serial port set through "Configure" with several
        // lines; the demo's LAN module (2001) to Caption CDP; program 2's (2004) removed.
        row("transparent modules", "[LAN5]\nStreamType=0x0001\nProgram=2\nDirection=D\nDataType=1\n",
            {"Transparent Module", "B_Configure_2", "tab 1", "B_Configure_0"},
            {{"pick:CB_Port=PORTB", "B_Configure>pick:CB_Baud=19200,pick:CB_FlowControl=Hardware,B_Apply", "RB_High",
              "B_Lines>CB_Line_9,CB_Line_10,B_Apply", "B_Apply"},
             {"shows:CB_Port=2001", "RB_CDP", "B_Apply"},
             {"shows:CB_Port=2004", "pick:CB_Port=None", "B_Apply"}},
            {"frmTransparent", "frmRS232", "frmLineSelection", "frmTransparent", "frmTransparent"}, {},
            {"T@PORTB Ca@2000 T@2001 C@Stereo N[TB]", "N[TCCaB]"},
            {"PORTB StreamType=0x0001 InsertLinesF1=0x00000700 InsertLinesF2=0x00000700 Did=0x52 SDid=0x19 "
             "Baud=19200 TxFlowCtrl=2 RxFlowCtrl=2 DataType=2 DataCountF1=0 DataCountF2=0 HeaderId1=0x96 "
             "HeaderId2=0x69 TimedBufferFlush=0",
             "LAN2 Did=0x61 DataType=4 DataCountF1=0 DataCountF2=0 HeaderId1=0x96 HeaderId2=0x69 TimedBufferFlush=0 "
             "VancBufferFlush=0",
             "LAN5 StreamType=0x0000"});
        // The demo's module: field 2 in Spanish, a secondary port through its
        // preset, upstream CC2 transcoded to service 2.
        row("caption module edited", {}, {"B_Configure_0"},
            {{"pick:CB_Lang608F2=spn", "tab:1", "pick:CB_Port=2005", "B_Upstream>TB_608Input_1,TB_708Output_1,B_Apply",
              "B_Apply"},
             {"B_OK"}},
            {"frmCaption", "frmSecondaryStreamMapping", "frmUpstream"}, {}, {demo + " N[TB]", "N[TCCaB]"},
            {"CAPPGM1 C1To708=0 C3To708=0 C4To708=0 UpstreamS2=0 Language608F2=spn",
             "LAN1 InsertLinesF2=0x00000000 C3To608=0 C4To608=0 C2To708=0 C3To708=0 C4To708=0",
             "LAN6 StreamType=0x0010 DataChannel=L InsertLinesF1=0x00000200 InsertLinesF2=0x00000000 Did=0x61 Mode=1 "
             "C1To608=0 C2To608=0 XDSEnabled=0 C1To708=0 C2To708=0 C4To708=0"});
        row("caption module created on program 2", {}, {"tab 1", "Caption Module"},
            {{"pick:CB_Port=2002", "B_Apply"}, {"B_OK"}}, {"frmCaption", "frmPrimaryStreamMapping"}, {},
            {demo + " N[TB]", "Ca@2002 N[TCB]"},
            {"CAPPGM2 C1To708=0 C2To708=0 C3To708=0 C4To708=0 Language608F1= Language608F2= Language708S1= "
             "Language708S2= Language708S3= Language708S4= Language708S5= Language708S6=",
             "LAN3 StreamType=0x0010 Program=2 DataChannel=L InsertLinesF1=0x00000100 InsertLinesF2=0x00000000 "
             "Did=0x61 C2To708=0 C4To708=0"});

        // Every edit reaches the stream it was made on, and nothing else; no
        // editor offers another module's stream, whatever the slots show.
        row("eight slots shown: program 2's module after them is not offered",
            "[KYR]\nTransparentStreams=9\n[PORTA]\nStreamType=0x0001\nInsertLinesF1=0x00000800\n[PORTB]\n"
            "StreamType=0x0001\n[PORTC]\nStreamType=0x0001\n[MODEM]\nStreamType=0x0001\n[LAN3]\nStreamType=0x0001\n"
            "[LAN4]\nStreamType=0x0001\n[LAN5]\nStreamType=0x0001\nProgram=2\n",
            {"B_Configure_0"}, {{"offers:CB_Port=None PORTA 2005 2006 2007 BTEST1", "pick:CB_Port=2005", "B_Apply"}},
            {"frmTransparent"}, {}, {"T@PORTB T@PORTC T@MODEM Ca@2000 T@2001 T@2002 T@2003 T@2005", "T@2004 N[TCCaB]"},
            {"PORTA StreamType=0x0000", "LAN6 StreamType=0x0001 InsertLinesF1=0x00000800 InsertLinesF2=0x00000800"});
        const QByteArray file2 = "[FILE1]\nStreamType=0x0000\n[FILE2]\nStreamType=0x0002\nProgram=1\n"
                                 "FileName=metadata_51\nInsertLinesF1=0x00000400\nDid=0x45\nSDid=0x02\n";
        row("constant data module in FILE2 edited there", file2, {"B_Configure_2"}, {{"RB_Stereo_SAP", "B_Apply"}},
            {"frmConstant"}, {}, {"Ca@2000 T@2001 C@Stereo + SAP N[TB]", "N[TCaB]"},
            {"FILE2 InsertLinesF2=0x00000400 FileName=stereo_sap"});
        row("constant data module in FILE2 removed", file2, {"B_Configure_2"}, {{"RB_None", "B_Apply"}},
            {"frmConstant"}, {}, {"Ca@2000 T@2001 N[TCB]", "N[TCCaB]"}, {"FILE2 StreamType=0x0000"});
        row("program 2 cleared: the whole bridge goes",
            "[INBRIDGE1]\nStreamType=0x0004\nProgram=2\nDirection=D\nInsertLinesF1=0x00100000\n[OUTBRIDGE1]\n"
            "StreamType=0x0004\n",
            {"tab 1", "B_Clear Yes", "tab 0", "video 5"}, {}, {},
            {"Warning, About to remove configuration information: This action will remove all the current "
             "streams\r\nThe bridging module joins both programs and will be removed from both.\r\nAre you sure you "
             "want to continue?"},
            {demo + " N[TB]", "N[TCCaB]"},
            {"PGM1 RequestedVideoMode=5", "INBRIDGE1 StreamType=0x0000", "OUTBRIDGE1 StreamType=0x0000"});
        // The demo's module on 2000, and one on 2002 with its secondary port on
        // 2003: each opens on its own streams; the first gets DID 63, the
        // second is released with its secondary.
        row("two caption modules in program 1, each on its own streams",
            "[LAN3]\nStreamType=0x0010\nDataChannel=L\nInsertLinesF1=0x00000200\nDid=0x62\n[LAN4]\n"
            "StreamType=0x0010\nDataChannel=L\nInsertLinesF1=0x00000200\nDid=0x62\nMode=1\n",
            {"B_Configure_0", "B_Configure_2 Yes"},
            {{"shows:CB_Port=2000", "shows:EB_DID=61", "tab:1", "shows:CB_Port=None", "tab:0", "type:EB_DID=63",
              "B_Apply"},
             {"shows:CB_Port=2002", "shows:EB_DID=62", "tab:1", "shows:CB_Port=2003", "tab:0", "pick:CB_Port=None",
              "B_Apply"}},
            {"frmCaption", "frmCaption"},
            {"Disabling Primary Port Disables Captioning: Are you sure that you wish to disable captioning?"},
            {demo + " N[TB]", "N[TCCaB]"},
            {"LAN1 InsertLinesF2=0x00000000 Did=0x63", "LAN3 StreamType=0x0000", "LAN4 StreamType=0x0000"});
        row("revision B: no bridge offered, the save would leave it out", "[KYR]\nRev=B\n", {"tab 1"}, {}, {}, {},
            {demo + " N[T]", "N[TCCa]"}, {});
        // Beside a stream of a type the program does not know (2002): the
        // caption editor does not offer it, the transparent module moves from 2001 to 2003.
        row("a stream of an unknown type is offered by no editor", "[LAN3]\nStreamType=0x0008\nDid=0x70\n",
            {"B_Configure_0", "B_Configure_1"},
            {{"offers:CB_Port=None PORTA PORTB PORTC MODEM 2000 2003 2004 2005 2006 2007", "B_Cancel"},
             {"offers:CB_Port=None PORTA PORTB PORTC MODEM 2001 2003 2004 2005 2006 2007 BTEST1", "pick:CB_Port=2003",
              "B_Apply"}},
            {"frmCaption", "frmTransparent"}, {}, {"Ca@2000 T@2003 C@Stereo N[TB]", "N[TCCaB]"},
            {"LAN2 StreamType=0x0000", "LAN4 StreamType=0x0001 InsertLinesF1=0x00000800 InsertLinesF2=0x00000800"});
    }
    void editsReachTheEncoder()
    {
        QFETCH(QByteArray, config);
        QFETCH(QStringList, actions);
        Harness h;
        QVERIFY(h.retrieve(config));
        const clsKYR retrieved = h.window->model();
        const QByteArray retrieval = h.sim->transcript();
        if (h.freeSlot() < frmKYR7Set::Slots) {
            h.click(QStringLiteral("B_Configure_%1").arg(h.freeSlot()));
            QCOMPARE(h.window->state().CurrentStream, -1);
        }
        QFETCH(QList<QStringList>, edits);
        h.dialogs.steps = edits;
        for (QString action : actions) {
            if (action.endsWith(" Yes"))
                h.messages.queueAnswer(true);
            action.remove(" Yes");
            if (action.startsWith("tab ")) {
                h.tabs()->setCurrentIndex(action.mid(4).toInt());
            } else if (action.startsWith("video ")) {
                choose(h.combo("CB_Video"), action.mid(6).toInt());
            } else if (!action.startsWith("B_")) {
                const int slot = h.freeSlot();
                const QString list = QStringLiteral("CB_Module_%1").arg(slot);
                choose(h.combo(list), h.combo(list)->findText(action));
                h.click(QStringLiteral("B_Configure_%1").arg(slot));
            } else {
                h.click(action);
            }
        }
        QTEST(h.dialogs.opened.mid(1), "opened");
        QVERIFY(h.dialogs.steps.isEmpty());
        QStringList asked;
        for (const auto &box : h.messages.boxes)
            asked << box.title + ": " + box.text;
        QTEST(asked, "asked");
        QTEST(QStringList({h.modules(0), h.modules(1)}), "shown");
        // Set-ups made for the slots' sake (eight modules on one line) are
        // saved all the same; the checks before a save have their own tests.
        if (!SetupChecks::Run(h.window->model()).isEmpty())
            h.messages.queueChoice("Save Anyway");
        QVERIFY(h.runToDone("B_Save"));
        QCOMPARE(h.sim->transcript(), retrieval + h.script());
        QVERIFY(h.sim->transcript().endsWith("\rSAVE\r"));
        QCOMPARE(h.lastLine(), QStringLiteral("13:05:09 - Setup is complete, Press Done to exit"));
        QCOMPARE(notSaved(h.window->model(), h.sim->stored()), QStringList());
        QTEST(changes(retrieved, h.sim->stored()), "changes");
    }
    void oneProgramLeavesOneTabAndDefaultsAfterYes()
    {
        Harness h;
        QVERIFY(h.retrieve({}, {"--program-count", "1"}));
        QCOMPARE(h.tabs()->count(), 1);
        const QByteArray retrieval = h.sim->transcript();
        QVERIFY(h.runToDone("B_Defaults", true));
        QCOMPARE(h.messages.last().title, QStringLiteral("Warning Changes are Permanent"));
        QCOMPARE(h.messages.last().text,
                 QStringLiteral("This will cause you to lose all current settings leaving only the TCP/IP address\r\n"
                                "are you sure that you wish to proceed?"));
        QCOMPARE(h.sim->transcript(), retrieval + "DEFAULTS\r");
        QCOMPARE(h.sim->stored().str(StreamSlot::LAN1, StrRow::StreamType).toInt(), 0);
        QCOMPARE(h.sim->stored().sKYR(KyrRow::IpNum), QStringLiteral("192.168.0.10"));
    }

    void tooOldForTheEncoderEndsTheProgram()
    {
        Harness h;
        QVERIFY(h.retrieve({}, {"--part-required", "47215RH", "--part-suggested", "47215RH"}));
        QCOMPARE(h.messages.count(), 1);
        QCOMPARE(h.messages.last().title,
                 QStringLiteral("Error, KYR7 requires at least version 1.7 of setup software"));
        QTRY_VERIFY_WITH_TIMEOUT(h.window->ended(), Harness::Wait);
        QVERIFY(!h.window->conversation().linkOpen());
    }

    // With no report written, No to saving sends nothing and Yes saves all
    // the same; No to Load Factory Defaults sends nothing; Cancel sends
    // "EXIT", and an encoder that then closes the connection ends the program.
    void unwritableReportAndRefusals_data()
    {
        const auto row = Table<bool>({"save"});
        row("No", false);
        row("Yes", true);
    }
    void unwritableReportAndRefusals()
    {
        QFETCH(bool, save);
        Harness h;
        h.services.reportFolder = h.dir.filePath("not-a-folder");
        QVERIFY(QFile(h.services.reportFolder).open(QIODevice::WriteOnly));
        QVERIFY(h.retrieve({}, {"--close-on-exit"}));
        const QByteArray retrieval = h.sim->transcript();
        // An edit in the unit's own network: a new network would leave the
        // broadcast address behind, which the checks before a save point out.
        h.window->model().setSKYR(KyrRow::IpNum, "192.168.0.99");
        if (save) {
            QVERIFY(h.runToDone("B_Save", true));
            QCOMPARE(h.messages.count(), 1);
            QVERIFY(QFile::exists(h.sim->statePath()));
            return;
        }
        h.click("B_Defaults", false);
        h.click("B_Save", false);
        QCOMPARE(h.messages.count(), 2);
        QVERIFY(h.messages.last().text.contains(QDir::toNativeSeparators(h.services.reportFolder + "/kyr.cfg")));
        QVERIFY(!h.window->monitorShowing());

        h.click("B_Cancel");
        QCOMPARE(h.monitor().first(), QStringLiteral("13:05:09 - Cancelling Changes"));
        QTRY_VERIFY_WITH_TIMEOUT(h.window->ended(), Harness::Wait);
        QCOMPARE(h.lastLine(), QStringLiteral("13:05:09 - Setup Complete"));
        QVERIFY(h.monitor().contains(QStringLiteral("13:05:09 - Setup is complete, Press Done to exit")));
        QCOMPARE(h.sim->transcript(), retrieval + "EXIT\r");
        QVERIFY(!QFile::exists(h.sim->statePath()));
        QCOMPARE(h.stored("IP"), QStringLiteral("127.0.0.1"));
    }

    // The encoder drops the idle connection while the operator edits: the
    // monitor says so, and Save and Exit connects again and stores every edit.
    void editsSurviveADroppedLink()
    {
        Harness h;
        QVERIFY(h.retrieve({}, {"--close-idle", "1000"}));
        frmKYR7Set &w = *h.window;
        const QByteArray retrieval = h.sim->transcript();
        QTRY_COMPARE_WITH_TIMEOUT(h.lastLine(), QStringLiteral("13:05:09 - The KYR7 closed the connection"),
                                  Harness::Wait);
        QVERIFY(!w.monitorShowing() && !w.conversation().linkOpen());
        w.model().setSCAP(0, CapRow::Language608F2, "spn");
        w.model().setSPGM(1, PgmRow::RequestedVideoMode, "12");

        QSignalSpy lines(&w.conversation(), &Conversation::monitor);
        QVERIFY(h.runToDone("B_Save"));
        QStringList first;
        for (int i = 0; i < 3; ++i)
            first << lines.at(i).at(0).toString();
        QCOMPARE(first, QStringList({"The connection to the KYR7 was closed, reconnecting", "Connection Type is LAN",
                                     "LAN Connection Established"}));
        QCOMPARE(h.sim->transcript(), retrieval + h.script());
        QVERIFY(h.sim->stored() == w.model());
        QCOMPARE(w.model().sCAP(0, CapRow::Language608F2), QStringLiteral("spn"));
    }

    void connectionFailureDuringSaveStoresNothing()
    {
        // The 26th reply of the save (a PGM1 parameter) never comes.
        const int lost = 25;
        Harness h;
        QVERIFY(h.retrieve({}, {"--drop", QString::number(kRetrievalReplies + 1 + lost)}));
        frmKYR7Set &w = *h.window;
        h.click("B_Save");
        QTRY_COMPARE_WITH_TIMEOUT(w.conversation().CurrentStep, lost, Harness::Wait);
        // The step is repeated once and then given up, before any late answer
        // to the repeat can arrive.
        QVERIFY(h.timer.fire());
        QVERIFY(h.timer.fire());
        // Where it stopped, and where the whole conversation can be read.
        const QStringList monitor = h.monitor();
        QCOMPARE(monitor.mid(monitor.size() - 2),
                 QStringList({"13:05:09 - Connection Has Failed",
                              "13:05:09 - Conversation log: " + QDir::toNativeSeparators(w.conversationLog().path())}));
        QVERIFY(w.conversationLog().path().startsWith(h.dir.filePath("logs/")));
        QVERIFY(!h.progressBar()->isHidden());
        QCOMPARE(h.progressBar()->value(), lost);
        QVERIFY(!h.timer.isActive());
        QCOMPARE(h.button("B_Cancel")->text(), QStringLiteral("Cancel"));
        h.click("B_Cancel");
        QVERIFY(w.ended() && !w.conversation().linkOpen());
        QVERIFY(h.otherClient());
        QVERIFY(!h.sim->transcript().contains("SAVE\r"));
        QVERIFY(!QFile::exists(h.sim->statePath()));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
