#pragma once

// The dialogs of a headless test: finding controls, data tables, and the
// runner of the dialogs the program opens, driven by the operator's steps
// written as words.
#include "DataTable.h"
#include "DialogRunner.h"
#include "ModelTexts.h"
#include "ScriptedMessages.h"

#include <QtTest/QtTest>
#include <QtWidgets>

#include <functional>

template <typename T = QWidget> T *child(const QWidget &parent, const QString &name)
{
    T *w = parent.findChild<T *>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

inline QString text(const QWidget &parent, const QString &name)
{
    return child<QLineEdit>(parent, name)->text();
}

// Shows a window as the active one, so that the focus moves as it does for
// the operator.
inline bool Activate(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Runs the dialogs the program opens, without an event loop of their own, and
// records the class of each. The connection dialog is closed with the buttons
// queued (`otherwise` when none is); any other dialog goes to the handler for
// its class, else takes the next steps queued, else is closed unseen.
class Dialogs : public DialogRunner
{
public:
    explicit Dialogs(ScriptedMessages &answers) : messages(answers) {}

    int run(QDialog &dialog) override
    {
        const QString name = QString::fromLatin1(dialog.metaObject()->className());
        opened << name;
        if (name == "frmConnect") {
            fileOffered = !child(dialog, "B_OpenFile")->isHidden();
            if (onConnect)
                onConnect(dialog);
            child<QAbstractButton>(dialog, connectButtons.isEmpty() ? otherwise : connectButtons.takeFirst())->click();
        } else if (auto handler = handlers.value(name)) {
            handler(dialog);
        } else if (!steps.isEmpty()) {
            for (const QString &s : steps.takeFirst())
                step(dialog, s);
        }
        return dialog.result();
    }

    // One step of the operator: "mouse:NAME" presses and releases the mouse on
    // a control; "key:Return", "key:Escape", "key:Tab" go to the control with
    // the focus (or the dialog), "key:Up" to VS_Line; "scroll:N" moves VS_Line; "tab:N" shows
    // tab N; "pick:LIST=TEXT" picks the item showing TEXT ("TEXT#2" the second
    // such item), "choose:LIST=N" item N; "type:NAME=TEXT" replaces a box's
    // text by typing, "keys:NAME=TEXT" types at its end; "access:NAME=TEXT"
    // sets a box's text through the accessibility interface, as voice control
    // does (the focus stays where it is); "toggle:NAME" and "press:NAME" are
    // an assistive technology's Toggle and Press actions; "close" is the
    // window's close box; "yes" or "no" answer the next question; "NAME>STEP,
    // STEP" clicks a button and takes the steps in the dialog it opens; any
    // other step is a control's name, clicked as a screen reader does. And
    // what the operator sees: "offers:LIST=ITEM ITEM" a list's items,
    // "shows:NAME=TEXT" a list's choice or a box's text, "open" that the
    // dialog is still open.
    void step(QDialog &d, const QString &step)
    {
        const QString what = step.section(':', 0, 0), arg = step.section(':', 1);
        const QString name = arg.section('=', 0, 0), value = arg.section('=', 1);
        if (what == "mouse") {
            QTest::mouseClick(child(d, arg), Qt::LeftButton);
        } else if (what == "key") {
            QWidget *focus = QApplication::focusWidget();
            focus = focus && focus->window() == &d ? focus : &d;
            QTest::keyClick(arg == "Up" ? child(d, "VS_Line") : focus, QKeySequence(arg)[0].key());
        } else if (what == "scroll") {
            child<QScrollBar>(d, "VS_Line")->setValue(arg.toInt());
        } else if (what == "tab") {
            child<QTabBar>(d, "TS_Ports")->setCurrentIndex(arg.toInt());
        } else if (what == "pick" || what == "choose") {
            auto *list = child<QComboBox>(d, name);
            int position = what == "choose" ? value.toInt() : -1;
            for (int k = 0, seen = 0, wanted = qMax(1, value.section('#', 1).toInt()); k < list->count(); ++k)
                if (what == "pick" && list->itemText(k) == value.section('#', 0, 0) && ++seen == wanted)
                    position = k;
            QVERIFY2(position >= 0, qPrintable(step));
            list->setCurrentIndex(position);
            emit list->activated(position);
        } else if (what == "type" || what == "keys") {
            auto *box = child<QLineEdit>(d, name);
            box->setFocus();
            if (what == "type") {
                box->selectAll();
                QTest::keyClick(box, Qt::Key_Backspace);
            } else {
                box->end(false);
            }
            QTest::keyClicks(box, value);
        } else if (what == "access") {
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(child(d, name));
            QVERIFY2(a && a->editableTextInterface(), qPrintable(step));
            a->editableTextInterface()->replaceText(0, int(a->textInterface()->characterCount()), value);
        } else if (what == "toggle" || what == "press") {
            auto *control = child<QAbstractButton>(d, arg);
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(a && a->actionInterface(), qPrintable(step));
            QSignalSpy clicked(control, &QAbstractButton::clicked);
            a->actionInterface()->doAction(what == "toggle" ? QAccessibleActionInterface::toggleAction()
                                                            : QAccessibleActionInterface::pressAction());
            if (what == "press") // the button shows itself pressed for a moment first
                QVERIFY2(clicked.wait(10000), qPrintable(step));
        } else if (what == "offers") {
            QCOMPARE(texts(child<QComboBox>(d, name)->model()).join(' '), value);
        } else if (what == "shows") {
            auto *list = qobject_cast<QComboBox *>(child(d, name));
            QCOMPARE(list ? list->currentText() : text(d, name), value);
        } else if (step == "open") {
            QVERIFY(d.isVisible());
        } else if (step == "close") {
            d.show();
            d.close();
        } else if (step == "yes" || step == "no") {
            messages.queueAnswer(step == "yes");
        } else if (step.contains('>')) {
            steps.prepend(step.section('>', 1).split(','));
            child<QAbstractButton>(d, step.section('>', 0, 0))->click();
        } else {
            child<QAbstractButton>(d, step)->click();
        }
        QCoreApplication::processEvents();
    }

    ScriptedMessages &messages;
    QStringList opened;                                     // the dialogs run, by class
    QList<QStringList> steps;                               // for the dialogs to come, in turn
    QMap<QString, std::function<void(QDialog &)>> handlers; // by class
    QStringList connectButtons;
    QString otherwise = QStringLiteral("B_Cancel");
    std::function<void(QDialog &)> onConnect; // looks at the connection dialog first
    bool fileOffered = false;                 // the connection dialog offered to open a file
};
