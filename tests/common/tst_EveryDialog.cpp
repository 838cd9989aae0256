// What every window and dialog owes the operator, checked over each of them:
// a screen reader hears every control by name, every button by its caption
// (also after the program changes it) and every value shown; text enters a
// filtered box by no way that gives other text than typing it would, and
// Backspace always works; a mouse wheel passing over a list changes nothing.
// A new dialog joins all of this with one row in addDialogs().
#include "ChangeReview.h"
#include "ConfigFile.h"
#include "DialogRunner.h"
#include "EditorContext.h"
#include "FixedClock.h"
#include "KeyFilter.h"
#include "ManualStepTimer.h"
#include "MemoryLink.h"
#include "ScriptedMessages.h"
#include "SetupChecks.h"
#include "SharedState.h"
#include "clsKYR.h"
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

#include <QtTest/QtTest>
#include <QtWidgets>

namespace {

// Everything a dialog may need, with the services of a headless run.
struct World
{
    class Dialogs : public DialogRunner
    {
    public:
        int run(QDialog &dialog) override
        {
            // The connection dialog is answered with OK; others are not run.
            if (auto *connect = qobject_cast<frmConnect *>(&dialog))
                connect->findChild<QPushButton *>("B_OK")->click();
            return dialog.result();
        }
    };

    World()
    {
        for (Section section : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str})
            for (int slot = 0; slot < clsKYR::Slots(section); ++slot)
                for (int row = 0; row < int(clsKYR::Definitions(section).size()); ++row)
                    kyr.setText(section, slot, row, clsKYR::Definitions(section)[size_t(row)].Default);
        // A bridge: a wheel choosing another requested video format would ask about it.
        kyr.setSSTR(StreamSlot::INBRIDGE1, StrRow::StreamType, "4");
        shared.CurrentStream = -1; // an editor opens on a new module
    }

    QTemporaryDir dir;
    QSettings store{dir.filePath("KYR7Setup.ini"), QSettings::IniFormat};
    clsKYR kyr;
    SharedState shared;
    ConnectionSettings connection;
    ScriptedMessages messages;
    Dialogs dialogs;
    FixedClock clock;
    ManualStepTimer timer;
    EditorContext context{kyr, shared, messages, dialogs};
    AppServices services{&store,
                         &messages,
                         &dialogs,
                         &clock,
                         &timer,
                         dir.path(),
                         0,
                         [](const ConnectionSettings &) { return std::make_unique<MemoryLink>(); },
                         dir.filePath("logs"),
                         {}};
};

using Maker = std::function<std::unique_ptr<QWidget>(World &)>;

enum class MainState { Connecting, Editing, Done };

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
    return window;
}

void addDialogs()
{
    QTest::addColumn<Maker>("make");
    const auto row = [](const char *name, Maker make) { QTest::newRow(name) << make; };
    row("frmConnect", [](World &w) { return std::make_unique<frmConnect>(w.connection, w.dialogs); });
    row("frmModem", [](World &w) { return std::make_unique<frmModem>(w.connection); });
    row("frmLanSetup", [](World &w) { return std::make_unique<frmLanSetup>(w.kyr, w.messages); });
    row("frmRS232", [](World &w) { return std::make_unique<frmRS232>(w.kyr, w.shared); });
    row("frmLineUsage", [](World &w) { return std::make_unique<frmLineUsage>(w.context); });
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
    row("frmMapping", [](World &w) { return std::make_unique<frmMapping>(w.shared); });
    row("frmUpstream", [](World &w) { return std::make_unique<frmUpstream>(w.shared); });
    row("frmPrimaryStreamMapping", [](World &w) { return std::make_unique<frmPrimaryStreamMapping>(w.shared); });
    row("frmSecondaryStreamMapping", [](World &w) { return std::make_unique<frmSecondaryStreamMapping>(w.shared); });
    row("frmKYR7Set connecting", [](World &w) { return mainWindow(w, MainState::Connecting); });
    row("frmKYR7Set editing", [](World &w) { return mainWindow(w, MainState::Editing); });
    row("frmKYR7Set done", [](World &w) { return mainWindow(w, MainState::Done); });
    row("frmKYR7Set on a file, its menu", [](World &w) {
        const QString path = w.dir.filePath("unit.kyr7");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(ConfigFile::Text(w.kyr)) < 0)
            qFatal("cannot write %s", qPrintable(path));
        file.close();
        auto window = std::make_unique<frmKYR7Set>(w.services);
        window->Start(path);
        return window;
    });
    row("frmReview", [](World &w) {
        clsKYR after = w.kyr;
        after.setSCAP(0, CapRow::Language608F2, "spn");
        return std::make_unique<frmReview>(ChangeReview::Build(w.kyr, after), SetupChecks::Run(after), "the file");
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
