// The connection dialog, the main window headless, and the whole program
// against kyr7sim over loopback TCP: start-up and shutdown with the settings
// store, the monitor, the display of a program's modules, the requested video
// format, the retrieval, and the closing buttons reaching (or not reaching) the
// simulated encoder's stored configuration.
#include "DialogRunner.h"
#include "FixedClock.h"
#include "ManualStepTimer.h"
#include "MemoryLink.h"
#include "SaveRows.h"
#include "ScriptedMessages.h"
#include "SimConfig.h"
#include "SimProcess.h"
#include "frmConnect.h"
#include "frmKYR7Set.h"

#include <QTcpSocket>
#include <QtTest/QtTest>
#include <QtWidgets>

namespace {

constexpr int kWait = 20000;

// The steps of a LAN retrieval: "SETUP", 21 section visits of three steps,
// the two bridge visits and the closing step, each answered line by line.
constexpr int kRetrievalReplies = 1 + 21 * 3 + 4 + 5 + 1;
// Its steps: "SETUP", 21 visits of three, two bridge visits and the closing one.
constexpr int kRetrievalSteps = 1 + 21 * 3 + 2 + 1;

void setStream(clsKYR &kyr, int s, int type, int program, const char *direction = "E", int mode = 0)
{
    kyr.setStr(s, StrRow::StreamType, KyrValue(qint32(type)));
    kyr.setSSTR(s, StrRow::Program, QString::number(program));
    kyr.setSSTR(s, StrRow::Direction, direction);
    kyr.setSSTR(s, StrRow::Mode, QString::number(mode));
}

// Some rows of a stream, as text.
QString rows(const clsKYR &kyr, int stream, std::initializer_list<int> list)
{
    QStringList values;
    for (int row : list)
        values << kyr.sSTR(stream, row);
    return values.join(' ');
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

QStringList texts(const QAbstractItemModel *model)
{
    QStringList list;
    for (int i = 0; i < model->rowCount(); ++i)
        list << model->index(i, 0).data().toString();
    return list;
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

// Runs dialogs without an event loop of their own: the connection dialog is
// inspected and closed with OK or Cancel, an editor is driven by onEditor,
// when a test gives one, or only recorded.
class TestDialogs : public DialogRunner
{
public:
    int run(QDialog &dialog) override
    {
        opened << QString::fromLatin1(dialog.metaObject()->className());
        auto *connect = qobject_cast<frmConnect *>(&dialog);
        if (!connect) {
            if (!onEditor)
                return QDialog::Rejected;
            onEditor(dialog);
            return dialog.result();
        }
        onConnect(*connect);
        connect->findChild<QPushButton *>(connectOK ? "B_OK" : "B_Cancel")->click();
        return connect->result();
    }

    bool connectOK = true;
    std::function<void(frmConnect &)> onConnect = [](frmConnect &) {};
    std::function<void(QDialog &)> onEditor;
    QStringList opened;
};

// A main window with every service replaced: an INI store and a report folder
// in a temporary folder, scripted message boxes, a fixed clock, a manual step
// timer and an in-memory link, or kyr7sim on loopback once retrieve() runs.
class Harness
{
public:
    frmKYR7Set &make()
    {
        window = std::make_unique<frmKYR7Set>(services);
        QObject::connect(&window->conversation(), &Conversation::progress, window.get(), [this](int done, int total) {
            progress.append({done, total});
        });
        return *window;
    }

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

    // Retrieves from kyr7sim started on its demo configuration changed by
    // these lines of a configuration file.
    bool retrieveWith(const QByteArray &lines)
    {
        QFile config(dir.filePath("changes.cfg"));
        return config.open(QIODevice::WriteOnly) && config.write(lines) == lines.size() && config.flush() &&
               retrieve({"--config", config.fileName()});
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

    // Save and Exit, then what the encoder stored.
    bool saveAndRead(clsKYR &stored) { return runToDone("B_Save") && LoadSimConfig(sim->statePath(), stored); }

    // Chooses a module type in a slot as the operator does.
    void chooseModule(int slot, const QString &type)
    {
        QComboBox *list = combo(QStringLiteral("CB_Module_%1").arg(slot));
        const int at = list->findText(type);
        QVERIFY(at > 0);
        list->setCurrentIndex(at);
        emit list->activated(at);
    }

    // Every command of the current script, as sent.
    QByteArray script() const
    {
        QByteArray bytes;
        for (const ScriptStep &step : window->conversation().Script)
            bytes += step.Command.toLatin1();
        return bytes;
    }

    // True once kyr7sim has answered a line from a client of its own: what
    // the program sent before has been taken in by then.
    bool simCaughtUp()
    {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, sim->port());
        probe.write("\r");
        QByteArray reply;
        for (QDeadlineTimer deadline(kWait); !reply.endsWith('!') && !deadline.hasExpired();)
            reply += probe.waitForReadyRead(100) ? probe.readAll() : QByteArray();
        return reply.endsWith('!');
    }

    QComboBox *combo(const QString &name) const { return window->findChild<QComboBox *>(name); }
    QLineEdit *value(const QString &name) const { return window->findChild<QLineEdit *>(name); }
    QPushButton *button(const QString &name) const { return window->findChild<QPushButton *>(name); }
    QStringList items(const QString &box) const { return texts(combo(box)->model()); }
    QTabBar *tabs() const { return window->findChild<QTabBar *>("TS_Program"); }
    QProgressBar *progressBar() const { return window->findChild<QProgressBar *>("PB_Progress"); }
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
    AppServices services{&store,
                         &messages,
                         &dialogs,
                         &clock,
                         &timer,
                         dir.path(),
                         0,
                         [this](const ConnectionSettings &) {
                             auto made = std::make_unique<MemoryLink>();
                             made->connectOnOpen = false;
                             link = made.get();
                             return made;
                         },
                         dir.filePath("logs"),
                         {}};
    std::optional<SimProcess> sim;
    std::unique_ptr<frmKYR7Set> window;
    QList<std::pair<int, int>> progress; // (done, total) as the conversation reports it
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

    // A stored position far off every screen (a monitor since removed, a
    // number edited by hand) brings the window back onto a screen.
    void startThenCloseStoresThePositionUnlessMinimised_data()
    {
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<QStringList>("stored");   // Top, Left before the start
        QTest::addColumn<QPoint>("shown");         // where the window opens
        QTest::addColumn<QStringList>("position"); // Top, Left after the close
        const QPoint corner = QGuiApplication::primaryScreen()->availableGeometry().topLeft();
        QTest::newRow("normal") << false << QStringList{"100", "200"} << QPoint(200, 100) << QStringList{"50", "300"};
        QTest::newRow("minimised") << true << QStringList{"100", "200"} << QPoint(200, 100)
                                   << QStringList{"100", "200"};
        QTest::newRow("huge") << false << QStringList{"1e300", "-1e300"} << corner << QStringList{"50", "300"};
        QTest::newRow("removed monitor") << false << QStringList{"40", "5000"} << corner << QStringList{"50", "300"};
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
        QCOMPARE(w.windowTitle(), QString::asprintf("KYR7 Setup Program Version %d.%d.%d", KYR7_VERSION_MAJOR,
                                                    KYR7_VERSION_MINOR, KYR7_VERSION_PATCH));
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
        h.value("TB_TYPE")->setText("stale");
        h.button("B_Configure_0")->click();
        QCOMPARE(w.state().CurrentStream, -1);
        QCOMPARE(h.dialogs.opened, QStringList{"frmConnect"});
        QCOMPARE(h.value("TB_TYPE")->text(), QStringLiteral("KYR7"));
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
        QCOMPARE(h.value("TB_Port_0")->text(), QStringLiteral("5003"));
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
        QCOMPARE(h.value("TB_Port_0")->text(), QStringLiteral("PORTA"));
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
        frmKYR7Set &w = h.editing();
        w.model().setSKYR(KyrRow::ID, r[0]);
        w.model().setSKYR(KyrRow::DHCP, r[1]);
        w.model().setPgm(0, PgmRow::RequestedVideoMode, KyrValue(r[2].toDouble()));
        setStream(w.model(), StreamSlot::PORTB, 1, 1);
        w.SetDisplay();
        QStringList messages;
        for (const auto &box : h.messages.boxes)
            messages << box.text;
        QCOMPARE(QStringList({h.value("TB_TYPE")->text(), h.value("TB_DHCP")->text(),
                              QString::number(h.combo("CB_Video")->currentIndex()), messages.join('|')}),
                 r.mid(3));
        QCOMPARE(h.value("TB_Port_0")->text(), QStringLiteral("PORTB"));
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
        if (bridge) {
            setStream(w.model(), StreamSlot::INBRIDGE1, 4, 2, "D");
            setStream(w.model(), StreamSlot::OUTBRIDGE1, 4, 1);
            w.model().setSSTR(StreamSlot::OUTBRIDGE1, StrRow::InsertLinesF1, "0x00000200");
        }
        w.model().setSPGM(0, PgmRow::RequestedVideoMode, "3");
        w.model().setSPGM(1, PgmRow::RequestedVideoMode, "3");
        w.SetDisplay();
        w.state().CurrentStream = -1; // as after Configure on a free slot
        // The bridge to set up again is the existing one, and only Apply
        // leaves it.
        QString shown;
        h.dialogs.onEditor = [&](QDialog &d) {
            shown = d.findChild<QComboBox *>("CB_Bridge")->currentText();
            QVERIFY(w.state().BridgeReconfigure && d.findChild<QPushButton *>("B_Cancel")->isHidden());
        };
        const QString current = h.value("TB_Video")->text();
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
        QCOMPARE(shown, QString(bridge && yes ? "Bridge WST from VBI of Program 2 to OP47 in Vanc of Program 1" : ""));
        QVERIFY(!w.state().BridgeReconfigure);
        QTEST(w.model().sPGM(0, PgmRow::RequestedVideoMode).toInt(), "stored");
        QCOMPARE(w.model().sPGM(1, PgmRow::RequestedVideoMode), QStringLiteral("3"));
        QTEST(video->currentIndex(), "stored");
        QCOMPARE(h.value("TB_Video")->text(), current);
    }

    // The free slot never offers a module type the program already has (a
    // program has one file stream and one caption module, the encoder one
    // bridge): choosing it would open that module as a new one and reset it.
    void freeSlotOffersOnlyWhatCanBeAdded_data()
    {
        QTest::addColumn<QStringList>("modules"); // stream:type:program
        QTest::addColumn<QStringList>("offered"); // by program 1 and program 2, initials of the types after "None"
        QTest::newRow("constant data module in program 1") << QStringList{"12:2:1"} << QStringList{"TCaB", "TCCaB"};
        QTest::newRow("program 2's file stream in use") << QStringList{"13:2:1"} << QStringList{"TCaB", "TCaB"};
        QTest::newRow("caption module in program 2") << QStringList{"4:16:2"} << QStringList{"TCCaB", "TCB"};
        QTest::newRow("a bridge, limit not reached") << QStringList{"16:4:2", "17:4:1"} << QStringList{"TCCa", "TCCa"};
    }
    void freeSlotOffersOnlyWhatCanBeAdded()
    {
        QFETCH(QStringList, modules);
        QFETCH(QStringList, offered);
        Harness h;
        frmKYR7Set &w = h.editing();
        w.model().setSKYR(KyrRow::BridgingStreams, "3");
        for (const QString &m : modules)
            setStream(w.model(), m.section(':', 0, 0).toInt(), m.section(':', 1, 1).toInt(),
                      m.section(':', 2, 2).toInt());
        w.SetDisplay();
        for (int program : {0, 1}) {
            h.tabs()->setCurrentIndex(program);
            const QString free = QStringLiteral("CB_Module_%1").arg(h.items("CB_Module_1").isEmpty() ? 0 : 1);
            QString initials;
            for (const QString &item : h.items(free).mid(1))
                initials += item.startsWith("Caption") ? "Ca" : item.left(1);
            QCOMPARE(initials, offered[program]);
        }
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
        QStringList shown{h.value("TB_TYPE")->text(), h.value("TB_Address")->text(), h.value("TB_Video")->text(),
                          QString::number(h.combo("CB_Video")->currentIndex()), QString::number(h.tabs()->count())};
        for (int i = 0; i < 4; ++i)
            shown << h.combo(QStringLiteral("CB_Module_%1").arg(i))->currentText()
                  << h.value(QStringLiteral("TB_Port_%1").arg(i))->text();
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

        // Nothing went to the encoder while editing: the save follows the retrieval directly.
        QVERIFY(h.runToDone("B_Save"));
        QCOMPARE(h.sim->transcript(), retrieval + h.script());
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

    // --- the module editors against kyr7sim: open from the main window,
    // change, "Save and Exit", read what the encoder stored

    // All 102 rows go back: what the operator changed, the masks for lines
    // 1..25 only, and a count above 32767 whole.
    void lineUsageReachesTheEncoder()
    {
        Harness h;
        QVERIFY(h.retrieveWith("[PGM1]\nAddToLLines=0x7E000100\nLineCfgL9F1=40000\n"));
        h.dialogs.onEditor = [](QDialog &d) {
            d.findChild<QScrollBar *>("VS_Line")->setValue(13); // line 12
            d.findChild<QCheckBox *>("CB_AppendC")->click();
            for (const auto &[box, typed] : {std::pair{"EB_CF1", "300"}, {"EB_CF2", "2000"}}) {
                d.findChild<QLineEdit *>(box)->selectAll();
                QTest::keyClicks(d.findChild<QLineEdit *>(box), typed);
            }
            d.findChild<QPushButton *>("B_Apply")->click(); // EB_CF2 held as "1900"
            d.findChild<QPushButton *>("B_Apply")->click();
        };
        clsKYR expected = h.window->model();
        h.click("B_LineUsage");
        clsKYR stored;
        QVERIFY(h.saveAndRead(stored));
        expected.setSPGM(0, PgmRow::AddToCLines, "0x00000880");
        expected.setSPGM(0, PgmRow::AddToLLines, "0x00000100");
        QCOMPARE(expected.sPGM(0, PgmRow::LineCfg(1, 9, 1)), QStringLiteral("40000"));
        expected.setSPGM(0, PgmRow::LineCfg(0, 12, 1), "300");
        expected.setSPGM(0, PgmRow::LineCfg(0, 12, 2), "1900");
        for (int row = PgmRow::AddToCLines; row < PgmRow::Count; ++row)
            QCOMPARE(stored.sPGM(0, row), expected.sPGM(0, row));
    }

    void constantModuleAddedToProgram2()
    {
        Harness h;
        QVERIFY(h.retrieve());
        h.tabs()->setCurrentIndex(1);
        h.chooseModule(0, "Constant Data Module");
        h.dialogs.onEditor = [](QDialog &d) {
            d.findChild<QRadioButton *>("RB_51")->click();
            QTest::keyClicks(d.findChild<QLineEdit *>("EB_SDID"), "b");
            auto *line = d.findChild<QComboBox *>("CB_Line");
            line->setCurrentIndex(11);
            emit line->activated(11);
            d.findChild<QCheckBox *>("CB_ConditionalInsertion")->click();
            d.findChild<QPushButton *>("B_Apply")->click();
        };
        h.click("B_Configure_0");
        QCOMPARE(h.window->state().CurrentStream, int(StreamSlot::FILE2));
        QCOMPARE(h.value("TB_Port_0")->text(), QStringLiteral("5.1 Surround"));
        clsKYR stored;
        QVERIFY(h.saveAndRead(stored));
        QCOMPARE(rows(stored, StreamSlot::FILE2,
                      {StrRow::StreamType, StrRow::Program, StrRow::Did, StrRow::SDid, StrRow::DataChannel,
                       StrRow::InsertLinesF1, StrRow::InsertLinesF2, StrRow::FileName, StrRow::ConditionalInsertion}),
                 QStringLiteral("0x0002 2 0x50 0x1B L 0x00000800 0x00000800 metadata_51 1"));
        QCOMPARE(rows(stored, StreamSlot::FILE1, {StrRow::StreamType, StrRow::FileName}),
                 QStringLiteral("0x0002 metadata_stereo"));
        QCOMPARE(h.messages.count(), 0);
    }

    void bridgeFromProgram2ToProgram1()
    {
        Harness h;
        QVERIFY(h.retrieve());
        h.chooseModule(3, "Bridging Module");
        QString offered;
        h.dialogs.onEditor = [&](QDialog &d) {
            offered = d.findChild<QComboBox *>("CB_Bridge")->currentText();
            d.findChild<QCheckBox *>("CB_LineNum_9")->click(); // line 15 besides line 21
            d.findChild<QPushButton *>("B_Apply")->click();
        };
        h.click("B_Configure_3");
        QCOMPARE(offered, QStringLiteral("Bridge WST from VBI of Program 2 to OP47 in Vanc of Program 1"));
        QCOMPARE(h.value("TB_Port_3")->text(), QStringLiteral("Bridge"));
        clsKYR stored;
        QVERIFY(h.saveAndRead(stored));
        const std::initializer_list<int> bridgeRows{StrRow::StreamType,  StrRow::Program,       StrRow::Direction,
                                                    StrRow::BridgeType,  StrRow::Did,           StrRow::SDid,
                                                    StrRow::DataChannel, StrRow::InsertLinesF1, StrRow::InsertLinesF2};
        QCOMPARE(rows(stored, StreamSlot::INBRIDGE1, bridgeRows),
                 QStringLiteral("0x0004 2 D 0 0x51 0x01 C 0x00104000 0x00104000"));
        QCOMPARE(rows(stored, StreamSlot::OUTBRIDGE1, bridgeRows),
                 QStringLiteral("0x0004 1 E 0 0x43 0x02 L 0x00000100 0x00000100"));
    }

    // Add a transparent module on a serial port, set that port through
    // "Configure" and pick several lines; switch the LAN module to Caption
    // CDP; remove program 2's module with "None"; then compare what the
    // encoder stored, stream by stream.
    void transparentModulesReachTheEncoder()
    {
        Harness h;
        QVERIFY(h.retrieveWith("[LAN5]\nStreamType=0x0001\nProgram=2\nDirection=D\nDataType=1\n"));
        const clsKYR retrieved = h.window->model();

        const auto click = [](QDialog &d, const char *name) { d.findChild<QAbstractButton *>(name)->click(); };
        const auto pick = [](QDialog &d, const char *list, const QString &item) {
            auto *box = d.findChild<QComboBox *>(list);
            const int at = box->findText(item);
            box->setCurrentIndex(at);
            emit box->activated(at);
        };
        h.dialogs.onEditor = [&](QDialog &d) {
            const QByteArray dialog = d.metaObject()->className();
            if (dialog == "frmRS232") {
                pick(d, "CB_Baud", "19200");
                pick(d, "CB_FlowControl", "Hardware");
            } else if (dialog == "frmLineSelection") {
                click(d, "CB_Line_9"); // lines 10 and 11 besides line 9
                click(d, "CB_Line_10");
            } else {
                pick(d, "CB_Port", "PORTB");
                click(d, "B_Configure");
                click(d, "RB_High");
                click(d, "B_Lines");
            }
            click(d, "B_Apply");
        };
        h.chooseModule(3, "Transparent Module");
        h.click("B_Configure_3");
        QCOMPARE(h.value("TB_Port_0")->text(), QStringLiteral("PORTB")); // slots follow the streams' order

        h.dialogs.onEditor = [&](QDialog &d) {
            click(d, "RB_CDP");
            click(d, "B_Apply");
        };
        QCOMPARE(h.value("TB_Port_2")->text(), QStringLiteral("2001"));
        h.click("B_Configure_2");

        h.tabs()->setCurrentIndex(1);
        QCOMPARE(h.value("TB_Port_0")->text(), QStringLiteral("2004"));
        h.dialogs.onEditor = [&](QDialog &d) {
            pick(d, "CB_Port", "None");
            click(d, "B_Apply");
        };
        h.click("B_Configure_0");
        QCOMPARE(h.combo("CB_Module_0")->currentText(), QStringLiteral("None"));
        QCOMPARE(h.messages.count(), 0);

        clsKYR stored;
        QVERIFY(h.saveAndRead(stored));
        QStringList changes; // stream by stream, the rows the encoder now holds otherwise
        for (int s = 0; s < clsKYR::StreamSlots; ++s) {
            QStringList rows;
            for (int row = 0; row < StrRow::Count; ++row)
                if (stored.sSTR(s, row) != retrieved.sSTR(s, row))
                    rows << stored.pSTR(row) + '=' + stored.sSTR(s, row);
            if (!rows.isEmpty())
                changes << clsKYR::StreamText(s) + ' ' + rows.join(' ');
        }
        QCOMPARE(changes, QStringList({"PORTB StreamType=0x0001 InsertLinesF1=0x00000700 InsertLinesF2=0x00000700 "
                                       "Did=0x52 SDid=0x19 Baud=19200 TxFlowCtrl=2 RxFlowCtrl=2 DataType=2 "
                                       "DataCountF1=0 DataCountF2=0 HeaderId1=0x96 HeaderId2=0x69 TimedBufferFlush=0",
                                       "LAN2 Did=0x61 DataType=4 DataCountF1=0 DataCountF2=0 HeaderId1=0x96 "
                                       "HeaderId2=0x69 TimedBufferFlush=0 VancBufferFlush=0",
                                       "LAN5 StreamType=0x0000"}));
    }

    // The demo's caption module: field 2 in Spanish, a secondary port through
    // its preset, upstream CC2 transcoded to service 2; every row reaches the
    // encoder.
    void captionModuleEditedAndSaved()
    {
        Harness h;
        QVERIFY(h.retrieve());
        QCOMPARE(h.combo("CB_Module_0")->currentText(), QStringLiteral("Caption Module"));
        h.dialogs.onEditor = [](QDialog &d) {
            const QString name = QString::fromLatin1(d.metaObject()->className());
            const auto click = [&d](const char *control) { d.findChild<QAbstractButton *>(control)->click(); };
            if (name == "frmCaption") {
                const auto choose = [&d](const char *list, const QString &text) {
                    auto *box = d.findChild<QComboBox *>(list);
                    const int at = box->findText(text);
                    box->setCurrentIndex(at);
                    emit box->activated(at);
                };
                choose("CB_Lang608F2", "spn");
                d.findChild<QTabBar *>("TS_Ports")->setCurrentIndex(1);
                choose("CB_Port", "2005");
                click("B_Upstream");
                click("B_Apply");
            } else if (name == "frmSecondaryStreamMapping") {
                click("B_OK");
            } else if (name == "frmUpstream") {
                click("TB_608Input_1");
                click("TB_708Output_1");
                click("B_Apply");
            }
        };
        h.click("B_Configure_0");
        QCOMPARE(h.dialogs.opened,
                 QStringList({"frmConnect", "frmCaption", "frmSecondaryStreamMapping", "frmUpstream"}));
        clsKYR stored;
        QVERIFY(h.saveAndRead(stored));
        QCOMPARE(notSaved(h.window->model(), stored), QStringList());
        QCOMPARE(stored.sCAP(0, CapRow::Language608F2), QStringLiteral("spn"));
        QStringList upstream;
        for (int row = CapRow::C1To708; row <= CapRow::UpstreamS6; ++row)
            upstream << stored.sCAP(0, row);
        QCOMPARE(upstream.join(' '), QStringLiteral("0 2 0 0 1 0 3 4 5 6"));
        QCOMPARE(rows(stored, StreamSlot::LAN6,
                      {StrRow::StreamType, StrRow::Program, StrRow::Direction, StrRow::Mode, StrRow::Did,
                       StrRow::InsertLinesF1, StrRow::C3To608, StrRow::C4To608, StrRow::C3To708}),
                 QStringLiteral("0x0010 1 E 1 0x61 0x00000200 3 4 2"));
        QCOMPARE(rows(stored, StreamSlot::LAN1,
                      {StrRow::StreamType, StrRow::C1To608, StrRow::C2To608, StrRow::C3To608, StrRow::C1To708,
                       StrRow::C2To708}),
                 QStringLiteral("0x0010 1 2 0 1 0"));
        QCOMPARE(h.messages.count(), 0);
    }

    // A caption module made from nothing on program 2.
    void captionModuleCreatedOnProgram2()
    {
        Harness h;
        QVERIFY(h.retrieve());
        h.tabs()->setCurrentIndex(1);
        h.chooseModule(0, "Caption Module");
        h.dialogs.onEditor = [](QDialog &d) {
            if (d.objectName() == "frmCaption") {
                auto *port = d.findChild<QComboBox *>("CB_Port");
                const int at = port->findText("2002");
                port->setCurrentIndex(at);
                emit port->activated(at);
                d.findChild<QPushButton *>("B_Apply")->click();
            } else {
                d.findChild<QPushButton *>("B_OK")->click();
            }
        };
        h.click("B_Configure_0");
        QCOMPARE(h.dialogs.opened.mid(1), QStringList({"frmCaption", "frmPrimaryStreamMapping"}));
        QCOMPARE(h.value("TB_Port_0")->text(), QStringLiteral("2002"));
        QVERIFY(!h.items("CB_Module_1").contains("Caption Module"));
        clsKYR stored;
        QVERIFY(h.saveAndRead(stored));
        QCOMPARE(notSaved(h.window->model(), stored), QStringList());
        QCOMPARE(rows(stored, StreamSlot::LAN3,
                      {StrRow::StreamType, StrRow::Program, StrRow::Direction, StrRow::Mode, StrRow::DataChannel,
                       StrRow::InsertLinesF1, StrRow::InsertLinesF2, StrRow::Did, StrRow::SDid, StrRow::C1To708,
                       StrRow::C2To708, StrRow::C3To708, StrRow::XDSEnabled}),
                 QStringLiteral("0x0010 2 E 0 L 0x00000100 0x00000000 0x61 0x01 1 0 2 1"));
        QCOMPARE(stored.sCAP(1, CapRow::Language608F1), QString());
        QCOMPARE(stored.sCAP(0, CapRow::Language608F1), QStringLiteral("eng"));
    }

    // Changing program 1's requested format opens the existing bridge, even
    // after Configure on a free slot left no stream selected; it keeps its
    // identifiers and lines, and neither Escape nor the close box leaves it.
    void bridgeForcedByAVideoChangeKeepsItsIdentifiers()
    {
        Harness h;
        QVERIFY(h.retrieveWith("[INBRIDGE1]\nStreamType=0x0004\nProgram=2\nDirection=D\nInsertLinesF1=0x00100000\n"
                               "[OUTBRIDGE1]\nStreamType=0x0004\nDid=0x47\nSDid=0x05\nInsertLinesF1=0x00000600\n"));
        h.click("B_Configure_4"); // the free slot, "None"
        QCOMPARE(h.window->state().CurrentStream, -1);
        QString shown;
        h.dialogs.onEditor = [&](QDialog &d) {
            d.show();
            shown = d.findChild<QComboBox *>("CB_Bridge")->currentText() + " " +
                    d.findChild<QLineEdit *>("EB_DID")->text() + " " + d.findChild<QLineEdit *>("EB_SDID")->text();
            QTest::keyClick(&d, Qt::Key_Escape);
            QVERIFY(!d.close());
            d.findChild<QPushButton *>("B_Apply")->click();
        };
        h.messages.queueAnswer(true);
        h.combo("CB_Video")->setCurrentIndex(5);
        emit h.combo("CB_Video")->activated(5);
        QCOMPARE(shown, QStringLiteral("Bridge WST from VBI of Program 2 to OP47 in Vanc of Program 1 47 5"));
        QCOMPARE(h.messages.count(), 1);
        clsKYR stored;
        QVERIFY(h.saveAndRead(stored));
        QCOMPARE(stored.sPGM(0, PgmRow::RequestedVideoMode), QStringLiteral("5"));
        QCOMPARE(rows(stored, StreamSlot::OUTBRIDGE1,
                      {StrRow::StreamType, StrRow::Did, StrRow::SDid, StrRow::DataChannel, StrRow::InsertLinesF2}),
                 QStringLiteral("0x0004 0x47 0x05 C 0x00000600"));
        QCOMPARE(stored.sSTR(StreamSlot::INBRIDGE1, StrRow::InsertLinesF2), QStringLiteral("0x00100000"));
    }

    // The progress bar counts the steps of the retrieval and of the save and
    // goes when each ends; the log holds every byte that went each way, with
    // no control character or byte outside ASCII written as it is.
    void progressAndLogFollowTheConversation()
    {
        Harness h;
        QVERIFY(h.retrieve());
        checkSteps(h.progress, kRetrievalSteps);
        QVERIFY(h.progressBar()->isHidden());
        const QByteArray retrieval = h.sim->transcript();
        h.progress.clear();
        h.window->model().setSCAP(0, CapRow::Language708S1, "espa\u00F1ol");
        QVERIFY(h.runToDone("B_Save"));
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

    // The encoder drops the idle connection while the operator edits: the
    // monitor says so, and Save and Exit connects again and stores every edit.
    void editsSurviveADroppedLink()
    {
        Harness h;
        QVERIFY(h.retrieve({"--close-idle", "1000"}));
        frmKYR7Set &w = *h.window;
        const QByteArray retrieval = h.sim->transcript();
        QTRY_COMPARE_WITH_TIMEOUT(h.lastLine(), QStringLiteral("13:05:09 - The KYR7 closed the connection"), kWait);
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
        clsKYR stored;
        QVERIFY(LoadSimConfig(h.sim->statePath(), stored));
        QVERIFY(stored == w.model());
        QCOMPARE(stored.sCAP(0, CapRow::Language608F2), QStringLiteral("spn"));
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
        QVERIFY(w.ended());
        QVERIFY(!w.conversation().linkOpen());
        QVERIFY(h.simCaughtUp());
        QVERIFY(!h.sim->transcript().contains("SAVE\r"));
        QVERIFY(!QFile::exists(h.sim->statePath()));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
