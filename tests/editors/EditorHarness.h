#pragma once

// What the editors' tests share: a model at its factory defaults with the
// state an editor opens with, setup words, the operator's steps, nested
// dialogs run by the test, and the rows a dialog changed.
#include "DialogRunner.h"
#include "EditorContext.h"
#include "ScriptedMessages.h"
#include "SharedState.h"
#include "clsKYR.h"

#include <QtTest/QtTest>
#include <QtWidgets>

#include <array>
#include <functional>
#include <type_traits>

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

inline QStringList Items(const QComboBox *list)
{
    QStringList items;
    for (int k = 0; k < list->count(); ++k)
        items << list->itemText(k);
    return items;
}

// A data table: declares the columns and gives the function that adds a row,
// so that a row's lists can be written in braces.
template <typename... C> void Row(const char *name, const std::type_identity_t<C> &...values)
{
    (QTest::newRow(name) << ... << values);
}
template <typename... C> auto Table(const std::array<const char *, sizeof...(C)> &names)
{
    size_t k = 0;
    (QTest::addColumn<C>(names[k++]), ...);
    return &Row<C...>;
}

// Shows a dialog as the active window, so that the focus moves as it does
// for the operator.
inline bool Activate(QDialog &dialog)
{
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
}

// The rows that differ, by section: "LAN1: Echo=1 DataType=2".
inline QStringList Changed(const clsKYR &before, const clsKYR &after)
{
    QStringList list;
    for (Section section : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str})
        for (int slot = 0; slot < clsKYR::Slots(section); ++slot) {
            QStringList rows;
            for (int row = 0; row < int(clsKYR::Definitions(section).size()); ++row)
                if (before.text(section, slot, row) != after.text(section, slot, row))
                    rows << clsKYR::Definitions(section)[size_t(row)].Name + '=' + after.text(section, slot, row);
            if (!rows.isEmpty())
                list << clsKYR::SectionName(section, slot) + ": " + rows.join(' ');
        }
    return list;
}

// A model at its factory defaults, program 1 requesting HD 1080i and program
// 2 SD 625, LAN ports 2000 to 2007; the state an editor opens with; and the
// runner of the dialogs it opens in turn: by a handler for the dialog's class,
// else by the steps queued for it, else closed unseen.
struct Editing : DialogRunner
{
    Editing()
    {
        for (Section section : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str})
            for (int slot = 0; slot < clsKYR::Slots(section); ++slot)
                for (int row = 0; row < int(clsKYR::Definitions(section).size()); ++row)
                    kyr.setText(section, slot, row, clsKYR::Definitions(section)[size_t(row)].Default);
        kyr.setSPGM(0, PgmRow::RequestedVideoMode, "8");
        kyr.setSPGM(1, PgmRow::RequestedVideoMode, "3");
        for (int lan = StreamSlot::LAN1; lan <= StreamSlot::LAN8; ++lan)
            kyr.setSSTR(lan, StrRow::PortAddr, QString::number(2000 + lan - StreamSlot::LAN1));
        state.CurrentStream = -1;
    }

    QStringList titles() const
    {
        QStringList list;
        for (const auto &box : messages.boxes)
            list << box.title;
        return list;
    }

    // Setup words: "program=N", "current=N", "mask=0x..." (LineSelectionMask),
    // "inuse=LAN1,FILE1"; "open=LAN2", a transparent module of the program
    // being edited; "cap:4:E:0" a caption stream of program 1 with its mode
    // ("cap:6:D:4" an output port with its data type, "cap:4:E:0:2" on program
    // 2); or "SECTION.Row=value".
    void setup(const QStringList &words)
    {
        for (const QString &word : words) {
            const QString key = word.section('=', 0, 0), value = word.section('=', 1);
            if (key == "program") {
                state.CurrentProgram = value.toInt();
            } else if (key == "current") {
                state.CurrentStream = value.toInt();
            } else if (key == "mask") {
                state.LineSelectionMask = qint32(value.toUInt(nullptr, 16));
            } else if (key == "inuse") {
                for (const QString &name : value.split(','))
                    state.StreamInUse[size_t(slotOf(name))] = true;
            } else if (key == "open") {
                state.CurrentStream = slotOf(value);
                setup({"inuse=" + value, value + ".StreamType=0x0001",
                       value + ".Program=" + QString::number(state.CurrentProgram + 1)});
            } else if (word.startsWith("cap:")) {
                const QStringList f = word.mid(4).split(':');
                const QString s = clsKYR::StreamText(f[0].toInt()) + '.', type = f[1] + f[2];
                // Lines as the editor writes them, so that applying unchanged changes nothing.
                setup({"inuse=" + s.chopped(1), s + "StreamType=0x0010", s + "Program=" + f.value(3, "1"),
                       s + "Direction=" + f[1], s + (f[1] == "E" ? "Mode=" : "DataType=") + f[2],
                       s + "InsertLinesF1=0x00000100", s + "InsertLinesF2=0x00000000"});
                if (type == "E1")
                    setup({s + "XDSEnabled=0"});
                for (int k = 1; k <= 4 && type == "E2"; ++k)
                    setup({s + QStringLiteral("C%1To608=0").arg(k), s + QStringLiteral("C%1To708=0").arg(k)});
            } else {
                Section section;
                const int slot = slotOf(word.section('.', 0, 0), &section);
                const int row = clsKYR::FindRow(section, key.section('.', 1));
                if (row < 0)
                    qFatal("no row %s", qPrintable(word));
                kyr.setText(section, slot, row, value);
            }
        }
    }
    static int slotOf(const QString &name, Section *section = nullptr)
    {
        Section found;
        int slot = -1;
        if (!clsKYR::FindSection(name, section ? *section : found, slot))
            qFatal("no section %s", qPrintable(name));
        return slot;
    }

    // One step of the operator: "mouse:NAME" presses and releases the mouse on
    // a control; "key:Return", "key:Escape", "key:Tab" go to the control with
    // the focus, "key:Up" to VS_Line; "scroll:N" moves VS_Line; "tab:N" shows
    // tab N; "pick:LIST=TEXT" picks the item showing TEXT ("TEXT#2" the second
    // such item), "choose:LIST=N" item N; "type:NAME=TEXT" replaces a box's
    // text by typing, "keys:NAME=TEXT" types at its end; "access:NAME=TEXT"
    // sets a box's text through the accessibility interface, as voice control
    // does (the focus stays where it is); "toggle:NAME" and "press:NAME" are
    // an assistive technology's Toggle and Press actions; "yes" or "no" answer
    // the next question; "NAME>STEP,STEP" clicks a button and takes the steps
    // in the dialog it opens; any other step is a control's name, clicked as
    // a screen reader does.
    void step(QDialog &d, const QString &step)
    {
        const QString what = step.section(':', 0, 0), arg = step.section(':', 1);
        const QString name = arg.section('=', 0, 0), value = arg.section('=', 1);
        if (what == "mouse") {
            QTest::mouseClick(child(d, arg), Qt::LeftButton);
        } else if (what == "key") {
            QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : &d;
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
        } else if (step == "yes" || step == "no") {
            messages.queueAnswer(step == "yes");
        } else if (step.contains('>')) {
            steps = step.section('>', 1).split(',');
            child<QAbstractButton>(d, step.section('>', 0, 0))->click();
        } else {
            child<QAbstractButton>(d, step)->click();
        }
        QCoreApplication::processEvents();
    }

    int run(QDialog &dialog) override
    {
        const QString name = QString::fromLatin1(dialog.metaObject()->className());
        opened << name;
        if (auto handler = handlers.value(name))
            handler(dialog);
        for (const QString &s : std::exchange(steps, {}))
            step(dialog, s);
        return dialog.result();
    }

    clsKYR kyr;
    SharedState state;
    ScriptedMessages messages;
    QStringList opened; // the dialogs run, by class
    QStringList steps;
    QMap<QString, std::function<void(QDialog &)>> handlers;
    EditorContext context{kyr, state, messages, *this};
};
