// What every window and dialog owes the operator, checked over each of them:
// a screen reader hears every control by name, every button by its caption
// (also after the program changes it) and every value shown; text enters a
// filtered box by no way that gives other text than typing it would, and
// Backspace always works; a mouse wheel passing over a list changes nothing;
// every option and check box acts the same whether it is clicked or changed
// by an assistive technology's own actions, and Apply takes what a box holds
// however the text got there and however Apply is pressed.
// A new dialog joins all of this with one row in addDialogs().
#include "ChangeReview.h"
#include "ConfigFile.h"
#include "Dialogs.h"
#include "EditorContext.h"
#include "FixedClock.h"
#include "KeyFilter.h"
#include "ManualStepTimer.h"
#include "MemoryLink.h"
#include "SaveRows.h"
#include "SetupChecks.h"
#include "TestFiles.h"
#include "frmBridging.h"
#include "frmCaption.h"
#include "frmConnect.h"
#include "frmConstant.h"
#include "frmKYR7Set.h"
#include "frmLanSetup.h"
#include "frmLineSelection.h"
#include "frmLineUsage.h"
#include "frmMapping.h"
#include "frmModem.h"
#include "frmPrimaryStreamMapping.h"
#include "frmRS232.h"
#include "frmReview.h"
#include "frmSecondaryStreamMapping.h"
#include "frmTransparent.h"
#include "frmUpstream.h"

namespace {

// Everything a dialog may need, with the services of a headless run: the
// connection dialog is answered with OK, other dialogs are not run.
struct World
{
    World() : kyr(FactoryModel())
    {
        // A bridge: a wheel choosing another requested video format would ask about it.
        kyr.setSSTR(StreamSlot::INBRIDGE1, StrRow::StreamType, "4");
        shared.CurrentStream = -1; // an editor opens on a new module
        dialogs.otherwise = "B_OK";
        services.linkFactory = [](const ConnectionSettings &) { return std::make_unique<MemoryLink>(); };
    }

    QTemporaryDir dir;
    QSettings store{dir.filePath("KYR7Setup.ini"), QSettings::IniFormat};
    clsKYR kyr;
    SharedState shared;
    ConnectionSettings connection;
    ScriptedMessages messages;
    Dialogs dialogs{messages};
    FixedClock clock;
    ManualStepTimer timer;
    EditorContext context{kyr, shared, messages, dialogs};
    AppServices services{&store, &messages, &dialogs, &clock, &timer, dir.path(), 0, {}, dir.filePath("logs"), {}};
};

using Maker = std::function<std::unique_ptr<QWidget>(World &)>;

enum class MainState { Connecting, Editing, Done, Saved };

// The main window as the operator meets it: connecting, showing a retrieved
// configuration, and after a closing conversation ("Done").
std::unique_ptr<QWidget> mainWindow(World &w, MainState state)
{
    auto window = std::make_unique<frmKYR7Set>(w.services);
    window->Start();
    if (state == MainState::Connecting)
        return window;
    window->model() = w.kyr;
    window->MonitorOff();
    window->SetDisplay();
    if (state == MainState::Done) {
        window->B_Cancel_Click();
        window->conversation().GetSetup("EXIT\r\n!");
    }
    if (state == MainState::Saved) {
        // A save run through: "Verify" beside "Done".
        window->workbench().retrieved();
        window->SaveToUnit(FullSavePlan(window->model()));
        emit window->conversation().closingFinished();
        if (window->findChild<QPushButton *>("B_Verify")->isHidden())
            qFatal("no Verify after a save");
    }
    return window;
}

// The main window on a configuration file (the file written from the world's model).
std::unique_ptr<frmKYR7Set> fileWindow(World &w)
{
    auto window = std::make_unique<frmKYR7Set>(w.services);
    window->Start(WriteTestFile(w.dir.filePath("unit.kyr7"), ConfigFile::Text(w.kyr)));
    return window;
}

void addDialogs()
{
    const auto row = Table<Maker>({"make"});
    row("frmConnect", [](World &w) { return std::make_unique<frmConnect>(w.connection, w.dialogs); });
    row("frmModem", [](World &w) { return std::make_unique<frmModem>(w.connection); });
    row("frmLanSetup", [](World &w) { return std::make_unique<frmLanSetup>(w.kyr, w.messages); });
    row("frmRS232", [](World &w) { return std::make_unique<frmRS232>(w.kyr, w.shared); });
    row("frmLineUsage", [](World &w) { return std::make_unique<frmLineUsage>(w.context); });
    row("frmLineUsage, appending on line 9", [](World &w) {
        w.kyr.setSPGM(0, PgmRow::AddToCLines, "0x00000100");
        return std::make_unique<frmLineUsage>(w.context);
    });
    row("frmLineSelection", [](World &w) { return std::make_unique<frmLineSelection>(w.context); });
    row("frmConstant", [](World &w) { return std::make_unique<frmConstant>(w.context); });
    row("frmBridging", [](World &w) { return std::make_unique<frmBridging>(w.context); });
    row("frmTransparent", [](World &w) { return std::make_unique<frmTransparent>(w.context); });
    row("frmTransparent, high capacity on a serial port", [](World &w) {
        w.kyr.setSSTR(StreamSlot::PORTA, StrRow::DataType, "2");
        w.kyr.setSSTR(StreamSlot::PORTA, StrRow::InsertLinesF1, "0x001FFF00");
        w.shared.CurrentStream = StreamSlot::PORTA;
        return std::make_unique<frmTransparent>(w.context);
    });
    row("frmCaption", [](World &w) { return std::make_unique<frmCaption>(w.context); });
    row("frmCaption, primary port on PORTA with a modem", [](World &w) {
        for (const auto &[row, value] : {std::pair{StrRow::StreamType, "0x0010"},
                                         {StrRow::Program, "1"},
                                         {StrRow::Direction, "E"},
                                         {StrRow::Mode, "0"},
                                         {StrRow::ModemPresent, "1"}})
            w.kyr.setSSTR(StreamSlot::PORTA, row, value);
        w.kyr.setSKYR(KyrRow::Rev, "G");
        w.shared.CurrentStream = StreamSlot::PORTA;
        w.shared.StreamInUse[StreamSlot::PORTA] = true;
        return std::make_unique<frmCaption>(w.context);
    });
    row("frmMapping", [](World &w) { return std::make_unique<frmMapping>(w.shared); });
    row("frmUpstream", [](World &w) { return std::make_unique<frmUpstream>(w.shared); });
    row("frmPrimaryStreamMapping", [](World &w) { return std::make_unique<frmPrimaryStreamMapping>(w.shared); });
    row("frmSecondaryStreamMapping", [](World &w) { return std::make_unique<frmSecondaryStreamMapping>(w.shared); });
    row("frmKYR7Set connecting", [](World &w) { return mainWindow(w, MainState::Connecting); });
    row("frmKYR7Set editing", [](World &w) { return mainWindow(w, MainState::Editing); });
    row("frmKYR7Set done", [](World &w) { return mainWindow(w, MainState::Done); });
    row("frmKYR7Set on a file, its menu", [](World &w) { return fileWindow(w); });
    row("frmKYR7Set sending a file: what the KYR7 will hold", [](World &w) {
        auto window = fileWindow(w);
        window->findChild<QPushButton *>("B_Send")->click();
        window->model() = w.kyr;
        w.messages.queueChoice("Go Back");
        emit window->conversation().retrievalFinished();
        QCoreApplication::processEvents(); // the message before anything is written
        if (window->findChild<QPushButton *>("B_Save")->text() != "Send" || w.messages.count() != 1)
            qFatal("not showing what the KYR7 will hold");
        return window;
    });
    row("frmKYR7Set after a save, Verify beside Done", [](World &w) { return mainWindow(w, MainState::Saved); });
    row("frmReview", [](World &w) {
        clsKYR after = w.kyr;
        after.setSCAP(0, CapRow::Language608F2, "spn");
        return std::make_unique<frmReview>(ChangeReview::Build(w.kyr, after), SetupChecks::Run(after), "the file");
    });
    row("frmReview of a file sent, with what is not sent", [](World &w) {
        clsKYR after = w.kyr;
        after.setSCAP(0, CapRow::Language608F2, "spn");
        return std::make_unique<frmReview>(ChangeReview::Build(w.kyr, after), SetupChecks::Run(after),
                                           "what the KYR7 held",
                                           QStringList{"KYR SerialNumber: the file's \"9\", the KYR7 keeps \"12345\""});
    });
}

QString nameOf(const QWidget *widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

// What a screen reader is told wrongly or not at all about one control.
void check(QAccessibleInterface *a, QStringList &faults)
{
    const QString name = a->text(QAccessible::Name);
    auto *widget = qobject_cast<QWidget *>(a->object());
    if (!widget || a->role() == QAccessible::PageTab) // a tab is named by its text
        return;
    const QString id = nameOf(widget);
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        const QString caption = button->text().remove(u'&');
        if (caption.isEmpty() ? name.isEmpty() : !name.contains(caption))
            faults << QStringLiteral("%1 shows \"%2\" but is announced as \"%3\"").arg(id, caption, name);
    } else if (auto *label = qobject_cast<QLabel *>(widget)) {
        if (!label->text().isEmpty() && !name.contains(label->text()))
            faults << QStringLiteral("%1 shows \"%2\" but is announced as \"%3\"").arg(id, label->text(), name);
    } else if (a->role() == QAccessible::ComboBox) {
        // Announced by its choice on Linux, so it needs a label beside it.
        if (a->relations(QAccessible::Label).empty())
            faults << id + " has no label";
    } else if ((widget->focusPolicy() & Qt::TabFocus) || a->role() == QAccessible::ProgressBar) {
        if (name.trimmed().isEmpty())
            faults << id + " has no name";
    }
}

void walk(QAccessibleInterface *parent, QStringList &faults)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface *child = parent->child(i);
        if (!child)
            continue;
        check(child, faults);
        // A list's items and a combo box's popup and editor belong to it.
        const QAccessible::Role role = child->role();
        if (role != QAccessible::ComboBox && role != QAccessible::List && role != QAccessible::Table)
            walk(child, faults);
    }
}

QStringList unheard(QWidget &window)
{
    QStringList faults;
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(&window);
    const QString title = window.windowTitle();
    if (!root || (root->role() != QAccessible::Window && root->role() != QAccessible::Dialog) ||
        root->text(QAccessible::Name) != title)
        faults << QStringLiteral("not announced as a window titled \"%1\"").arg(title);
    if (root)
        walk(root, faults);
    return faults;
}

// Makes a control usable whatever the dialog's state (a disabled frame).
void enable(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget())
        w->setEnabled(true);
}

QString typed(QLineEdit *box, const QString &keys)
{
    box->clear();
    QTest::keyClicks(box, keys);
    return box->text();
}

// The ways other than typing that text enters a box, each putting it at the end.
using Route = std::function<void(QLineEdit *, const QString &)>;
const QList<std::pair<const char *, Route>> kRoutes{
    {"Ctrl+V",
     [](QLineEdit *box, const QString &text) {
         QGuiApplication::clipboard()->setText(text);
         QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
     }},
    {"context menu Paste",
     [](QLineEdit *box, const QString &text) {
         QGuiApplication::clipboard()->setText(text);
         QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(1, 1), box->mapToGlobal(QPoint(1, 1)));
         QCoreApplication::sendEvent(box, &event);
         auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
         QVERIFY(menu);
         for (QAction *action : menu->actions())
             if (action->text().startsWith(QLineEdit::tr("&Paste")))
                 action->trigger();
         menu->close();
     }},
    {"drop",
     [](QLineEdit *box, const QString &text) {
         QMimeData data;
         data.setText(text);
         const QPointF at(box->width() - 2, box->height() / 2);
         QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QCoreApplication::sendEvent(box, &enter);
         QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QCoreApplication::sendEvent(box, &drop);
     }},
    {"input method", [](QLineEdit *box, const QString &text) {
         QInputMethodEvent event;
         event.setCommitString(text);
         QCoreApplication::sendEvent(box, &event);
     }}};

// What a window shows: every named control's state.
QStringList shown(const QWidget &window)
{
    QStringList controls;
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith("qt_"))
            continue;
        QString state = w->objectName() + (w->isVisibleTo(&window) ? "" : " hidden") + (w->isEnabled() ? "" : " off");
        if (const auto *button = qobject_cast<const QAbstractButton *>(w))
            state += ' ' + button->text() + (button->isCheckable() ? QString(" %1").arg(int(button->isChecked())) : "");
        if (const auto *box = qobject_cast<const QCheckBox *>(w))
            state += QString(" state %1").arg(int(box->checkState()));
        else if (const auto *edit = qobject_cast<const QLineEdit *>(w))
            state += " \"" + edit->text() + '"';
        else if (const auto *list = qobject_cast<const QComboBox *>(w))
            state += " \"" + list->currentText() + '"';
        else if (const auto *frame = qobject_cast<const QGroupBox *>(w))
            state += ' ' + frame->title();
        controls << state;
    }
    return controls;
}

QString stateText(const SharedState &s)
{
    QStringList parts{QString::number(s.CurrentProgram), QString::number(s.CurrentStream),
                      QString::number(s.ConfigureStream), QString::number(s.LineSelectionMask)};
    const auto add = [&parts](const auto &table) {
        QString text;
        for (const auto v : table)
            text += QString::number(v) + ',';
        parts << text;
    };
    add(s.StreamInUse);
    for (const auto &program : s.SlotStream)
        add(program);
    add(s.Primary608Map), add(s.Primary708Map), add(s.Secondary608Map), add(s.Secondary708Map);
    add(s.Upstream608Map), add(s.Upstream708Map), add(s.UpstreamServiceMap);
    add(std::array<bool, 7>{s.BridgeReconfigure, s.PrimaryPortPresent, s.SecondaryPortPresent, s.XdsPortPresent,
                            s.MappingCancelled, s.XdsPortEnabled});
    return parts.join(' ');
}

// What the operator's Apply (or OK) leaves: the window's controls, whether it
// is still open, and everything it may have written: the model's rows that
// changed, the shared state, the connection settings and the message boxes.
QStringList applied(QWidget &window, World &w, const clsKYR &before)
{
    QStringList outcome = shown(window) + changes(before, w.kyr);
    outcome << "open " + QString::number(int(window.isVisible())) << stateText(w.shared);
    const ConnectionSettings &c = w.connection;
    outcome << QStringList{c.IP, c.Serial, c.Modem, c.Method, c.Number, c.INIT, c.DIAL}.join('|');
    for (const ScriptedMessages::Box &box : w.messages.boxes)
        outcome << box.title + ": " + box.text;
    return outcome;
}

// Makes a window in a world of its own, shows it as the active one and lets
// the operator act on it; then what act saw, and what the window shows and
// wrote (applied).
QStringList tryOut(const Maker &make, const std::function<QStringList(QWidget &)> &act)
{
    World w;
    std::unique_ptr<QWidget> window = make(w);
    const clsKYR before = w.kyr;
    if (!Activate(*window))
        return {"not active"};
    QStringList outcome = act(*window);
    QCoreApplication::processEvents();
    return outcome + applied(*window, w, before);
}

// ": \"line\", expected \"line\"" for the first line that differs, "" for none.
QString firstDifference(const QStringList &got, const QStringList &expected)
{
    for (qsizetype line = 0; line < qMax(got.size(), expected.size()); ++line)
        if (got.value(line) != expected.value(line))
            return QStringLiteral(": \"%1\", expected \"%2\"").arg(got.value(line), expected.value(line));
    return {};
}

// The control that applies a dialog's settings, when it can be pressed.
QPushButton *applyButton(QWidget &window)
{
    for (const char *name : {"B_Apply", "B_OK"})
        if (auto *button = window.findChild<QPushButton *>(name); button && button->isVisible() && button->isEnabled())
            return button;
    return nullptr;
}

// The options and check boxes the operator can reach.
QList<QAbstractButton *> choices(QWidget &window)
{
    QList<QAbstractButton *> found;
    for (QAbstractButton *b : window.findChildren<QAbstractButton *>())
        if ((qobject_cast<QRadioButton *>(b) || qobject_cast<QCheckBox *>(b)) && b->isVisible() && b->isEnabled())
            found << b;
    return found;
}

// The text boxes the operator can type into.
QList<QLineEdit *> boxes(QWidget &window)
{
    QList<QLineEdit *> found;
    for (QLineEdit *box : window.findChildren<QLineEdit *>())
        if (box->isVisible() && box->isEnabled() && !box->isReadOnly())
            found << box;
    return found;
}

// An assistive technology's own action on a control; Press clicks it a
// moment later, as a button shows itself pressed first.
void doAction(QAbstractButton *control, const QString &action)
{
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(control);
    QVERIFY(a && a->actionInterface());
    QSignalSpy clicked(control, &QAbstractButton::clicked);
    a->actionInterface()->doAction(action);
    if (action == QAccessibleActionInterface::pressAction())
        QVERIFY(clicked.wait(10000));
}

// A mouse click on the option's or check box's own mark.
void clickMark(QAbstractButton *control)
{
    QStyleOptionButton option;
    option.initFrom(control);
    const auto mark =
        qobject_cast<QRadioButton *>(control) ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator;
    QTest::mouseClick(control, Qt::LeftButton, {}, control->style()->subElementRect(mark, &option, control).center());
}

} // namespace

Q_DECLARE_METATYPE(Maker)

class tst_EveryDialog : public QObject
{
    Q_OBJECT

private slots:
    void screenReaderHearsEveryControl_data() { addDialogs(); }
    void screenReaderHearsEveryControl()
    {
        QFETCH(Maker, make);
        World world;
        std::unique_ptr<QWidget> window = make(world);
        QStringList faults = unheard(*window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("\n")));
    }

    void filteredBoxesTakeTextOnlyAsTyped_data() { addDialogs(); }
    void filteredBoxesTakeTextOnlyAsTyped()
    {
        QFETCH(Maker, make);
        World world;
        std::unique_ptr<QWidget> window = make(world);
        window->show();
        const QString sample = "1a.2B-c,3 d:4W5pP6D/7x#*w";
        // What typing the sample leaves in the encoder's address and phone number.
        const QHash<QString, QString> kept{{"EB_Address", "1.234567"}, {"EB_Phone", "12-,3d4W5pP6D7w"}};
        for (QLineEdit *box : window->findChildren<QLineEdit *>()) {
            if (!box->findChild<KeyFilter *>())
                continue;
            enable(box);
            const QString expected = typed(box, sample);
            QCOMPARE(expected, kept.value(box->objectName(), expected));
            QVERIFY2(expected != sample, qPrintable(nameOf(box))); // the box does filter
            QTest::keyClick(box, Qt::Key_Backspace);
            QVERIFY2(box->text() == expected.chopped(1), qPrintable(nameOf(box) + " refuses Backspace"));
            const QString added = typed(box, "1y");
            for (const auto &[routeName, route] : kRoutes) {
                box->clear();
                route(box, sample);
                QVERIFY2(box->text() == expected, qPrintable(QStringLiteral("%1 by %2: \"%3\", typed \"%4\"")
                                                                 .arg(nameOf(box), routeName, box->text(), expected)));
                // What the program shows stays whole; only what is added is filtered.
                box->setText("9x");
                box->end(false);
                route(box, "1y");
                QVERIFY2(box->text() == "9x" + added.left(box->maxLength() - 2),
                         qPrintable(QStringLiteral("%1 by %2 after a stored value: \"%3\"")
                                        .arg(nameOf(box), routeName, box->text())));
            }
            // Any other edit (a middle-button paste inserts so) is filtered too.
            box->setText("9x");
            box->insert("1y");
            QCOMPARE(box->text(), "9x" + added.left(box->maxLength() - 2));
        }
    }

    // A click, the keyboard's Space, and an assistive technology's Toggle and
    // Press actions on every option and check box leave the dialog showing
    // the same, and its Apply writing the same.
    void everyChoiceActsAlikeHoweverMade_data() { addDialogs(); }
    void everyChoiceActsAlikeHoweverMade()
    {
        QFETCH(Maker, make);
        const auto choose = [](qsizetype k, const QString &way) {
            return [k, way](QWidget &window) {
                QAbstractButton *control = choices(window).value(k);
                if (!control)
                    return QStringList{"no control"};
                if (way == "mouse")
                    clickMark(control);
                else if (way == "space")
                    QTest::keyClick(control, Qt::Key_Space);
                else
                    doAction(control, way);
                QCoreApplication::processEvents();
                const QStringList seen = QStringList{control->objectName()} + shown(window);
                if (QPushButton *apply = applyButton(window))
                    apply->click();
                return seen;
            };
        };
        World w;
        std::unique_ptr<QWidget> window = make(w);
        window->show();
        for (qsizetype k = 0; k < choices(*window).size(); ++k) {
            const QStringList clicked = tryOut(make, choose(k, "mouse"));
            for (const QString &way : {QStringLiteral("space"), QAccessibleActionInterface::toggleAction(),
                                       QAccessibleActionInterface::pressAction()}) {
                const QString differs = firstDifference(tryOut(make, choose(k, way)), clicked);
                QVERIFY2(differs.isEmpty(), qPrintable(clicked.first() + " by " + way + differs));
            }
        }
    }

    // Text set through the accessibility interface and Apply pressed through
    // it (the focus never leaves the box) give what typing the text and
    // clicking Apply give, with the rules leaving the box applies.
    void applyTakesABoxHoweverItsTextCame_data() { addDialogs(); }
    void applyTakesABoxHoweverItsTextCame()
    {
        QFETCH(Maker, make);
        const auto enter = [](qsizetype k, bool typed) {
            return [k, typed](QWidget &window) {
                const QString sample = "2000";
                QLineEdit *box = boxes(window).value(k);
                QPushButton *apply = applyButton(window);
                if (!box || !apply)
                    return QStringList{"no box"};
                box->setFocus();
                if (typed) {
                    box->selectAll();
                    QTest::keyClicks(box, sample);
                    QTest::mouseClick(apply, Qt::LeftButton);
                    return QStringList{box->objectName()};
                }
                QAccessibleInterface *a = QAccessible::queryAccessibleInterface(box);
                if (!a || !a->editableTextInterface())
                    return QStringList{"no editable text"};
                a->editableTextInterface()->replaceText(0, int(box->text().size()), sample);
                doAction(apply, QAccessibleActionInterface::pressAction());
                return QStringList{box->objectName()};
            };
        };
        World w;
        std::unique_ptr<QWidget> window = make(w);
        window->show();
        if (!applyButton(*window))
            return;
        for (qsizetype k = 0; k < boxes(*window).size(); ++k) {
            const QStringList typed = tryOut(make, enter(k, true));
            const QString differs = firstDifference(tryOut(make, enter(k, false)), typed);
            QVERIFY2(differs.isEmpty(), qPrintable(typed.first() + " set and pressed through accessibility" + differs));
        }
    }

    void wheelOverAListChangesNothing_data() { addDialogs(); }
    void wheelOverAListChangesNothing()
    {
        QFETCH(Maker, make);
        World world;
        std::unique_ptr<QWidget> window = make(world);
        window->show();
        const int shown = world.messages.count(); // cautions of an opening editor
        for (QComboBox *list : window->findChildren<QComboBox *>()) {
            enable(list);
            if (list->count() < 2)
                list->addItems({"first", "second"});
            {
                const QSignalBlocker block(list);
                list->setCurrentIndex(1);
            }
            QSignalSpy activated(list, &QComboBox::activated);
            QSignalSpy changed(list, &QComboBox::currentIndexChanged);
            for (int notch : {-120, 120, -120}) {
                const QPointF at(list->width() / 2, list->height() / 2);
                QWheelEvent wheel(at, list->mapToGlobal(at), {}, {0, notch}, Qt::NoButton, Qt::NoModifier,
                                  Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(list, &wheel);
            }
            QVERIFY2(list->currentIndex() == 1 && activated.isEmpty() && changed.isEmpty(), qPrintable(nameOf(list)));
        }
        QCOMPARE(world.messages.count(), shown);
    }
};

QTEST_MAIN(tst_EveryDialog)
#include "tst_EveryDialog.moc"
