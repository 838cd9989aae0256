#pragma once

// What the editors' tests share: a model at its factory defaults with the
// state an editor opens with, setup words, and the dialogs it opens in turn
// run by the operator's steps (Dialogs).
#include "Dialogs.h"
#include "EditorContext.h"
#include "SharedState.h"

// A model at its factory defaults, program 1 requesting HD 1080i and program
// 2 SD 625, LAN ports 2000 to 2007; the state an editor opens with; and the
// runner of the dialogs it opens.
struct Editing
{
    Editing() : kyr(FactoryModel())
    {
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

    void step(QDialog &d, const QString &s) { dialogs.step(d, s); }

    clsKYR kyr;
    SharedState state;
    ScriptedMessages messages;
    Dialogs dialogs{messages};
    EditorContext context{kyr, state, messages, dialogs};
};
