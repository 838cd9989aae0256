// The connection dialog, the main window headless, and the whole program
// against kyr7sim over loopback TCP: start-up and shutdown with the settings
// store, the monitor, the display of a program's modules, the requested video
// format, the retrieval, and the closing buttons reaching (or not reaching) the
// simulated encoder's stored configuration.
#include "DialogRunner.h"
#include "FixedClock.h"
#include "ManualStepTimer.h"
#include "MemoryLink.h"
#include "ScriptedMessages.h"
#include "SimConfig.h"
#include "SimProcess.h"
#include "frmConnect.h"
#include "frmKYR7Set.h"

#include <QtTest/QtTest>
#include <QtWidgets>

namespace {

constexpr int kWait = 20000;

// The steps of a LAN retrieval: "SETUP", 21 section visits of three steps,
// the two bridge visits and the closing step, each answered line by line.
constexpr int kRetrievalReplies = 1 + 21 * 3 + 4 + 5 + 1;

void setStream(clsKYR &kyr, int s, int type, int program, const char *direction = "E", int mode = 0)
{
    kyr.setStr(s, StrRow::StreamType, KyrValue(qint32(type)));
    kyr.setSSTR(s, StrRow::Program, QString::number(program));
    kyr.setSSTR(s, StrRow::Direction, direction);
    kyr.setSSTR(s, StrRow::Mode, QString::number(mode));
}

QStringList texts(const QAbstractItemModel *model)
{
    QStringList list;
    for (int i = 0; i < model->rowCount(); ++i)
        list << model->index(i, 0).data().toString();
    return list;
}

// Runs dialogs without an event loop of their own: the connection dialog is
// inspected and closed with OK or Cancel, every other one is only recorded.
class TestDialogs : public DialogRunner
{
public:
    int run(QDialog &dialog) override
    {
        opened << QString::fromLatin1(dialog.metaObject()->className());
        auto *connect = qobject_cast<frmConnect *>(&dialog);
        if (!connect)
            return QDialog::Rejected;
        onConnect(*connect);
        connect->findChild<QPushButton *>(connectOK ? "B_OK" : "B_Cancel")->click();
        return connect->result();
    }

    bool connectOK = true;
    std::function<void(frmConnect &)> onConnect = [](frmConnect &) {};
    QStringList opened;
};

// A main window with every service replaced: an INI store and a report folder
// in a temporary folder, scripted message boxes, a fixed clock, a manual step
// timer and an in-memory link, or kyr7sim on loopback once retrieve() runs.
class Harness
{
public:
    frmKYR7Set &make() { return *(window = std::make_unique<frmKYR7Set>(services)); }

    // A started window, monitor off, holding every parameter at its factory
    // default as after a retrieval.
    frmKYR7Set &editing()
    {
        make().Start();
        for (Section section : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str})
            for (int slot = 0; slot < clsKYR::Slots(section); ++slot)
                for (int row = 0; row < int(clsKYR::Definitions(section).size()); ++row)
                    window->model().setText(section, slot, row, clsKYR::Definitions(section)[size_t(row)].Default);
        window->MonitorOff();
        window->SetDisplay();
        return *window;
    }

    // Starts kyr7sim and the window on it at 127.0.0.1, and waits for the end
    // of the retrieval (the spy's event loop takes replies as they arrive).
    bool retrieve(const QStringList &simArgs = {})
    {
        sim.emplace(simArgs);
        if (!sim->start())
            return false;
        services.tcpPort = sim->port();
        services.linkFactory = nullptr;
        store.setValue("Settings/IP", "127.0.0.1");
        QSignalSpy retrieved(&make().conversation(), &Conversation::retrievalFinished);
        return window->Start() && (retrieved.count() > 0 || retrieved.wait(kWait));
    }

    // Clicks a button (answering the question it asks, if any).
    void click(const char *name, int answer = -1)
    {
        if (answer >= 0)
            messages.queueAnswer(answer);
        button(name)->click();
    }

    // Clicks a closing button and waits for the end of its script.
    bool runToDone(const char *name, int answer = -1)
    {
        QSignalSpy finished(&window->conversation(), &Conversation::closingFinished);
        click(name, answer);
        return (finished.count() > 0 || finished.wait(kWait)) && button("B_Cancel")->text() == "Done";
    }

    QComboBox *combo(const QString &name) const { return window->findChild<QComboBox *>(name); }
    QLabel *label(const QString &name) const { return window->findChild<QLabel *>(name); }
    QPushButton *button(const QString &name) const { return window->findChild<QPushButton *>(name); }
    QStringList items(const QString &box) const { return texts(combo(box)->model()); }
    QTabBar *tabs() const { return window->findChild<QTabBar *>("TS_Program"); }
    QStringList monitor() const { return texts(window->findChild<QListWidget *>("LB_Monitor")->model()); }
    QString lastLine() const { return monitor().value(monitor().size() - 1); }
    QString stored(const QString &key) const { return store.value("Settings/" + key).toString(); }

    QTemporaryDir dir;
    QSettings store{dir.filePath("KYR7Setup.ini"), QSettings::IniFormat};
    ScriptedMessages messages;
    TestDialogs dialogs;
    FixedClock clock;
    ManualStepTimer timer;
    QPointer<MemoryLink> link;
    AppServices services{
        &store, &messages, &dialogs, &clock, &timer, dir.path(), 0, [this](const ConnectionSettings &) {
            auto made = std::make_unique<MemoryLink>();
            made->connectOnOpen = false;
            link = made.get();
            return made;
        }};
    std::optional<SimProcess> sim;
    std::unique_ptr<frmKYR7Set> window;
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
        TestDialogs dialogs;
        frmConnect d(settings, dialogs);
        d.show();
        if (!r[1].isEmpty())
            d.findChild<QRadioButton *>(r[1])->click();
        QString checked, frames;
        for (const char *name : {"RB_LAN", "RB_Serial", "RB_Modem"})
            checked += d.findChild<QRadioButton *>(name)->isChecked() ? name : "";
        for (const char *name : {"F_LAN", "F_Serial", "F_Modem"})
            frames += d.findChild<QGroupBox *>(name)->isEnabled() ? '1' : '0';
        d.findChild<QLineEdit *>("EB_Address")->setText("12345");
        d.findChild<QComboBox *>("CB_COM")->setCurrentText("/dev/ttyUSB0");
        d.findChild<QComboBox *>("CB_MODEM")->setCurrentIndex(2);
        d.findChild<QLineEdit *>("EB_Phone")->setText("9,5550100");
        d.findChild<QPushButton *>(r[2])->click();
        const bool ok = r[2] == "B_OK";
        QCOMPARE(d.ConnectOK, ok);
        QCOMPARE(d.result(), ok ? QDialog::Accepted : QDialog::Rejected);
        QCOMPARE(QStringList(
                     {checked, frames, settings.Method, settings.IP, settings.Serial, settings.Modem, settings.Number}),
                 r.mid(3) + (ok ? QStringList({"12345", "/dev/ttyUSB0", "COM3", "9,5550100"})
                                : QStringList({"192.168.0.1", "COM1", "COM2", "9,"})));
    }

    void boxesTakeOnlyTheirKeys_data()
    {
        // box, keys typed (\b is Backspace), text left
        QTest::addColumn<QStringList>("r");
        const QList<QStringList> rows{
            {"EB_Address", "10.0.0.7", "10.0.0.7"}, {"EB_Address", "1a2b.c3 -,/", "12.3"},
            {"EB_Address", "123\b", "12"},          {"EB_Phone", "9,W555-1234dDpP", "9,W555-1234dDpP"},
            {"EB_Phone", "9#*x .a5", "95"},         {"EB_Phone", "9,w\b\b", "9"}};
        for (const QStringList &r : rows)
            QTest::newRow(qPrintable(r[0] + " " + r[2])) << r;
    }
    void boxesTakeOnlyTheirKeys()
    {
        QFETCH(QStringList, r);
        ConnectionSettings settings;
        settings.Method = r[0] == "EB_Phone" ? "MODEM" : "LAN";
        TestDialogs dialogs;
        frmConnect d(settings, dialogs);
        d.show();
        auto *edit = d.findChild<QLineEdit *>(r[0]);
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, r[1]);
        QCOMPARE(edit->text(), r[2]);
    }

    // --- the main window

    void emptyStoreOpensOnDefaultsAndCancelStoresThem()
    {
        Harness h;
        QString shown;
        h.dialogs.connectOK = false;
        h.dialogs.onConnect = [&](frmConnect &d) {
            shown = d.findChild<QRadioButton *>("RB_LAN")->isChecked() ? "LAN" : "other";
            for (const char *box : {"EB_Address", "EB_Phone"})
                shown += " " + d.findChild<QLineEdit *>(box)->text();
            for (const char *box : {"CB_COM", "CB_MODEM"})
                shown += " " + d.findChild<QComboBox *>(box)->currentText();
        };
        frmKYR7Set &w = h.make();
        QVERIFY(!w.Start());
        QCOMPARE(shown, QStringLiteral("LAN 192.168.0.1 9, COM1 COM2"));
        QVERIFY(w.ended());
        QVERIFY(!h.link);
        QStringList stored;
        for (const char *key : {"Top", "Left", "IP", "Serial", "Modem", "Method", "Number", "INIT", "DIAL"})
            stored << h.stored(key);
        QCOMPARE(stored, QStringList({"0", "0", "192.168.0.1", "COM1", "COM2", "LAN", "9,", "AT Z", "AT DT"}));
    }

    void startThenCloseStoresThePositionUnlessMinimised_data()
    {
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<QStringList>("position"); // Top, Left
        QTest::newRow("normal") << false << QStringList{"50", "300"};
        QTest::newRow("minimised") << true << QStringList{"100", "200"};
    }
    void startThenCloseStoresThePositionUnlessMinimised()
    {
        QFETCH(bool, minimised);
        Harness h;
        h.store.setValue("Settings/Top", "100");
        h.store.setValue("Settings/Left", "200");
        h.clock.time = QTime(9, 0, 5);
        frmKYR7Set &w = h.make();
        QVERIFY(w.Start());
        QCOMPARE(w.windowTitle(), QString::asprintf("KYR7 Setup Program Version %d.%d.%d", KYR7_VERSION_MAJOR,
                                                    KYR7_VERSION_MINOR, KYR7_VERSION_PATCH));
        for (int i = 1; i <= 14; ++i)
            w.MonitorAdd(QStringLiteral("line %1").arg(i));
        QCOMPARE(h.monitor().size(), 15);
        QCOMPARE(h.monitor().first(), QStringLiteral("09:00:05 - Connection Type is LAN"));
        QCOMPARE(h.lastLine(), QStringLiteral("09:00:05 - line 14"));
        QCOMPARE(w.pos(), QPoint(200, 100));
        w.move(300, 50);
        if (minimised)
            w.setWindowState(Qt::WindowMinimized);
        w.close();
        QVERIFY(w.ended());
        QTEST(QStringList({h.stored("Top"), h.stored("Left")}), "position");
        QCOMPARE(h.stored("IP"), QStringLiteral("192.168.0.1"));
        QVERIFY(h.link && !h.link->isOpen());
    }

    // With every stream free, the first slot offers every type and the others
    // nothing; Configure on that "None" slot opens nothing and redraws.
    void allStreamsFree()
    {
        Harness h;
        frmKYR7Set &w = h.editing();
        QComboBox *first = h.combo("CB_Module_0");
        QCOMPARE(h.items("CB_Module_0"), QStringList({"None", "Transparent Module", "Constant Data Module",
                                                      "Caption Module", "Bridging Module"}));
        QCOMPARE(first->currentText(), QStringLiteral("None"));
        QVERIFY(first->isEnabled() && h.button("B_Configure_0")->isEnabled());
        for (int i = 1; i < 8; ++i)
            QVERIFY(!h.combo(QStringLiteral("CB_Module_%1").arg(i))->count() &&
                    !h.button(QStringLiteral("B_Configure_%1").arg(i))->isEnabled());
        w.state().CurrentStream = 7;
        h.label("TB_TYPE")->setText("stale");
        h.button("B_Configure_0")->click();
        QCOMPARE(w.state().CurrentStream, -1);
        QCOMPARE(h.dialogs.opened, QStringList{"frmConnect"});
        QCOMPARE(h.label("TB_TYPE")->text(), QStringLiteral("KYR7"));
        QCOMPARE(h.messages.count(), 0);
    }

    void limitsCountTheStreamsOfBothPrograms()
    {
        Harness h;
        frmKYR7Set &w = h.editing();
        clsKYR &kyr = w.model();
        kyr.setSKYR(KyrRow::TransparentStreams, "3");
        kyr.setSSTR(StreamSlot::LAN3, StrRow::PortAddr, "5003");
        setStream(kyr, StreamSlot::LAN1, 1, 1);
        setStream(kyr, StreamSlot::LAN2, 1, 1);
        setStream(kyr, StreamSlot::LAN3, 1, 2);
        w.SetDisplay();
        const QStringList noTransparent{"None", "Constant Data Module", "Caption Module", "Bridging Module"};
        QCOMPARE(h.combo("CB_Module_1")->currentText(), QStringLiteral("Transparent Module"));
        QCOMPARE(h.items("CB_Module_2"), noTransparent);
        h.tabs()->setCurrentIndex(1);
        QCOMPARE(h.combo("CB_Module_0")->currentText(), QStringLiteral("Transparent Module"));
        QCOMPARE(h.label("TB_Port_0")->text(), QStringLiteral("5003"));
        QCOMPARE(h.items("CB_Module_1"), noTransparent);
    }

    // A caption module shows one slot for its three streams, a decoding caption
    // stream is in use without a slot, and eight modules leave no free slot.
    void captionStreamsAndEightModules()
    {
        Harness h;
        frmKYR7Set &w = h.editing();
        clsKYR &kyr = w.model();
        setStream(kyr, StreamSlot::PORTA, 16, 1, "E", 0); // primary
        setStream(kyr, StreamSlot::PORTB, 16, 1, "E", 1); // secondary
        setStream(kyr, StreamSlot::PORTC, 16, 1, "E", 2); // XDS
        setStream(kyr, StreamSlot::LAN1, 16, 1, "D", 0);  // decoding
        for (int i = 1; i < 8; ++i)
            setStream(kyr, StreamSlot::LAN1 + i, i % 2 ? 1 : 2, 1);
        w.SetDisplay();
        QStringList shown;
        for (int i = 0; i < 8; ++i) {
            QComboBox *box = h.combo(QStringLiteral("CB_Module_%1").arg(i));
            shown << texts(box->model()).join('|');
            QVERIFY(!box->isEnabled() && h.button(QStringLiteral("B_Configure_%1").arg(i))->isEnabled());
            QCOMPARE(w.state().SlotStream[0][i], qint16(i ? StreamSlot::LAN1 + i : StreamSlot::PORTA));
        }
        const QString t = "Transparent Module", c = "Constant Data Module";
        QCOMPARE(shown, QStringList({"Caption Module", t, c, t, c, t, c, t}));
        QCOMPARE(h.label("TB_Port_0")->text(), QStringLiteral("PORTA"));
        for (int s : {0, 1, 2, int(StreamSlot::LAN1)})
            QVERIFY2(w.state().StreamInUse[s], qPrintable(QString::number(s)));
        QVERIFY(!w.state().StreamInUse[StreamSlot::MODEM]);
    }

    // A requested video format outside the list is reported and the redraw
    // goes on.
    void identityAndVideoTexts_data()
    {
        // ID, DHCP, RequestedVideoMode; TB_TYPE, TB_DHCP, CB_Video position, message
        QTest::addColumn<QStringList>("r");
        const QString error = "Error in SetDisplay, press OK to continue";
        for (const QStringList &r : QList<QStringList>{{"KYR7-12", "0", "15", "KYR7", "Off", "-1", error},
                                                       {"Encoder", "1", "-1", "Encoder", "On", "-1", error},
                                                       {"KYR7", "2", "3", "KYR7", "On", "3", ""}})
            QTest::newRow(qPrintable(r.mid(0, 3).join(' '))) << r;
    }
    void identityAndVideoTexts()
    {
        QFETCH(QStringList, r);
        Harness h;
        frmKYR7Set &w = h.editing();
        w.model().setSKYR(KyrRow::ID, r[0]);
        w.model().setSKYR(KyrRow::DHCP, r[1]);
        w.model().setPgm(0, PgmRow::RequestedVideoMode, KyrValue(r[2].toInt()));
        setStream(w.model(), StreamSlot::PORTB, 1, 1);
        w.SetDisplay();
        QStringList messages;
        for (const auto &box : h.messages.boxes)
            messages << box.text;
        QCOMPARE(QStringList({h.label("TB_TYPE")->text(), h.label("TB_DHCP")->text(),
                              QString::number(h.combo("CB_Video")->currentIndex()), messages.join('|')}),
                 r.mid(3));
        QCOMPARE(h.label("TB_Port_0")->text(), QStringLiteral("PORTB"));
        QCOMPARE(h.combo("CB_Module_1")->currentText(), QStringLiteral("None"));
    }

    void videoChangeAsksOnlyWithABridge_data()
    {
        QTest::addColumn<bool>("bridge");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("stored"); // RequestedVideoMode after choosing 12 instead of 3
        QTest::newRow("no bridge") << false << false << 12;
        QTest::newRow("bridge, Yes") << true << true << 12;
        QTest::newRow("bridge, No") << true << false << 3;
    }
    void videoChangeAsksOnlyWithABridge()
    {
        QFETCH(bool, bridge);
        QFETCH(bool, yes);
        Harness h;
        frmKYR7Set &w = h.editing();
        if (bridge)
            setStream(w.model(), StreamSlot::INBRIDGE1, 4, 2);
        w.model().setSPGM(0, PgmRow::RequestedVideoMode, "3");
        w.SetDisplay();
        const QString current = h.label("TB_Video")->text();
        QComboBox *video = h.combo("CB_Video");
        h.messages.queueAnswer(yes); // not taken without a bridge
        video->setCurrentIndex(12);
        emit video->activated(12);
        QCOMPARE(h.messages.count(), bridge ? 1 : 0);
        if (bridge) {
            QCOMPARE(h.messages.last().title, QStringLiteral("Warning, bridging module affected"));
            QCOMPARE(
                h.messages.last().text,
                QStringLiteral("Changing the requested video type affects the operation of the bridging module.\r\n"
                               "You will be forced to reconfigure the bridge if you continue with the change.\r\n"
                               "\r\nContinue and change the requested video?"));
        }
        QTEST(w.model().sPGM(0, PgmRow::RequestedVideoMode).toInt(), "stored");
        QCOMPARE(w.model().sPGM(1, PgmRow::RequestedVideoMode), QStringLiteral("0"));
        QTEST(video->currentIndex(), "stored");
        QCOMPARE(h.label("TB_Video")->text(), current);
    }

    // --- the whole program against kyr7sim

    // Retrieve, clear program 1's streams, edit, then Save and Exit.
    void retrieveClearEditAndSave()
    {
        Harness h;
        QVERIFY(h.retrieve());
        frmKYR7Set &w = *h.window;
        QCOMPARE(h.lastLine(), QStringLiteral("13:05:09 - Encoder Setup Retrieved"));
        clsKYR expected;
        QVERIFY(DefaultSimConfig(expected));
        QVERIFY(w.model() == expected);
        QStringList shown{h.label("TB_TYPE")->text(), h.label("TB_Address")->text(), h.label("TB_Video")->text(),
                          QString::number(h.combo("CB_Video")->currentIndex()), QString::number(h.tabs()->count())};
        for (int i = 0; i < 4; ++i)
            shown << h.combo(QStringLiteral("CB_Module_%1").arg(i))->currentText()
                  << h.label(QStringLiteral("TB_Port_%1").arg(i))->text();
        QCOMPARE(shown, QStringList({"KYR7", "192.168.0.10", "HD 1080i 59.94 Hz", "8", "2", "Caption Module", "2000",
                                     "Transparent Module", "2001", "Constant Data Module", "Stereo", "None", ""}));
        QCOMPARE(h.messages.count(), 0);

        w.model().setSSTR(StreamSlot::BTEST2, StrRow::StreamType, "0x0001"); // program 2
        const QByteArray retrieval = h.sim->transcript();
        h.click("B_Clear", true);
        QCOMPARE(h.messages.last().title, QStringLiteral("Warning, About to remove configuration information"));
        QCOMPARE(
            h.messages.last().text,
            QStringLiteral("This action will remove all the current streams\r\nAre you sure you want to continue?"));
        QCOMPARE(h.combo("CB_Module_0")->currentText(), QStringLiteral("None"));
        h.combo("CB_Video")->setCurrentIndex(10);
        emit h.combo("CB_Video")->activated(10);
        w.model().setSCAP(0, CapRow::Language608F2, "spn");
        QTest::qWait(50);
        QCOMPARE(h.sim->transcript(), retrieval);

        QVERIFY(h.runToDone("B_Save"));
        QCOMPARE(h.lastLine(), QStringLiteral("13:05:09 - Setup is complete, Press Done to exit"));
        QVERIFY(QFile::exists(h.dir.filePath("kyr.cfg")));
        QVERIFY(h.sim->transcript().endsWith("\rSAVE\r"));
        clsKYR stored;
        QVERIFY(LoadSimConfig(h.sim->statePath(), stored));
        QCOMPARE(stored.sPGM(0, PgmRow::RequestedVideoMode), QStringLiteral("10"));
        QCOMPARE(stored.sCAP(0, CapRow::Language608F2), QStringLiteral("spn"));
        for (int s : {int(StreamSlot::LAN1), int(StreamSlot::LAN2), int(StreamSlot::FILE1)})
            QCOMPARE(stored.str(s, StrRow::StreamType).toInt(), 0);
        QCOMPARE(stored.str(StreamSlot::BTEST2, StrRow::StreamType).toInt(), 1);
        QVERIFY(stored == w.model());

        // A reply after "Done" belongs to no step.
        const QStringList before = h.monitor();
        w.conversation().GetSetup("SAVE\r\n!");
        QCOMPARE(h.monitor(), before);
        QCOMPARE(w.conversation().CurrentStep, -1);
        h.click("B_Cancel");
        QVERIFY(w.ended());
    }

    void oneProgramLeavesOneTabAndDefaultsAfterYes()
    {
        Harness h;
        QVERIFY(h.retrieve({"--program-count", "1"}));
        QCOMPARE(h.tabs()->count(), 1);
        const QByteArray retrieval = h.sim->transcript();
        QVERIFY(h.runToDone("B_Defaults", true));
        QCOMPARE(h.messages.last().title, QStringLiteral("Warning Changes are Permanent"));
        QCOMPARE(h.messages.last().text,
                 QStringLiteral("This will cause you to lose all current settings leaving only the TCP/IP address\r\n"
                                "are you sure that you wish to proceed?"));
        QCOMPARE(h.sim->transcript(), retrieval + "DEFAULTS\r");
        clsKYR stored;
        QVERIFY(LoadSimConfig(h.sim->statePath(), stored));
        QCOMPARE(stored.str(StreamSlot::LAN1, StrRow::StreamType).toInt(), 0);
        QCOMPARE(stored.sKYR(KyrRow::IpNum), QStringLiteral("192.168.0.10"));
    }

    void tooOldForTheEncoderEndsTheProgram()
    {
        Harness h;
        QVERIFY(h.retrieve({"--part-required", "47215RH", "--part-suggested", "47215RH"}));
        QCOMPARE(h.messages.count(), 1);
        QCOMPARE(h.messages.last().title,
                 QStringLiteral("Error, KYR7 requires at least version 1.7 of setup software"));
        QTRY_VERIFY_WITH_TIMEOUT(h.window->ended(), kWait);
        QVERIFY(!h.window->conversation().linkOpen());
    }

    // No to Load Factory Defaults and to saving without a report sends nothing;
    // Cancel sends "EXIT", and an encoder that then closes the connection ends
    // the program.
    void refusalsSendNothingAndCancelStoresNothing()
    {
        Harness h;
        h.services.reportFolder = h.dir.filePath("not-a-folder");
        QVERIFY(QFile(h.services.reportFolder).open(QIODevice::WriteOnly));
        QVERIFY(h.retrieve({"--close-on-exit"}));
        const QByteArray retrieval = h.sim->transcript();
        h.window->model().setSKYR(KyrRow::IpNum, "10.9.9.9");
        h.click("B_Defaults", false);
        h.click("B_Save", false);
        QCOMPARE(h.messages.count(), 2);
        QVERIFY(h.messages.last().text.contains(QDir::toNativeSeparators(h.services.reportFolder + "/kyr.cfg")));
        QVERIFY(!h.window->monitorShowing());
        QTest::qWait(50);
        QCOMPARE(h.sim->transcript(), retrieval);

        h.click("B_Cancel");
        QCOMPARE(h.monitor().first(), QStringLiteral("13:05:09 - Cancelling Changes"));
        QTRY_VERIFY_WITH_TIMEOUT(h.window->ended(), kWait);
        QCOMPARE(h.lastLine(), QStringLiteral("13:05:09 - Setup Complete"));
        QVERIFY(h.monitor().contains(QStringLiteral("13:05:09 - Setup is complete, Press Done to exit")));
        QCOMPARE(h.sim->transcript(), retrieval + "EXIT\r");
        QVERIFY(!QFile::exists(h.sim->statePath()));
        QCOMPARE(h.stored("IP"), QStringLiteral("127.0.0.1"));
    }

    void unwritableReportYesStillSaves()
    {
        Harness h;
        h.services.reportFolder = h.dir.filePath("not-a-folder");
        QVERIFY(QFile(h.services.reportFolder).open(QIODevice::WriteOnly));
        QVERIFY(h.retrieve());
        QVERIFY(h.runToDone("B_Save", true));
        QCOMPARE(h.messages.count(), 1);
        QVERIFY(QFile::exists(h.sim->statePath()));
    }

    void connectionFailureDuringSaveStoresNothing()
    {
        // The 26th reply of the save (a PGM1 parameter) never comes.
        const int lost = 25;
        Harness h;
        QVERIFY(h.retrieve({"--drop", QString::number(kRetrievalReplies + 1 + lost)}));
        frmKYR7Set &w = *h.window;
        h.click("B_Save");
        QTRY_COMPARE_WITH_TIMEOUT(w.conversation().CurrentStep, lost, kWait);
        // The step is repeated once and then given up, before any late answer
        // to the repeat can arrive.
        QVERIFY(h.timer.fire());
        QVERIFY(h.timer.fire());
        QCOMPARE(h.lastLine(), QStringLiteral("13:05:09 - Connection Has Failed"));
        QVERIFY(!h.timer.isActive());
        QCOMPARE(h.button("B_Cancel")->text(), QStringLiteral("Cancel"));
        h.click("B_Cancel");
        QVERIFY(w.ended());
        QVERIFY(!w.conversation().linkOpen());
        QTest::qWait(100);
        QVERIFY(!h.sim->transcript().contains("SAVE\r"));
        QVERIFY(!QFile::exists(h.sim->statePath()));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
