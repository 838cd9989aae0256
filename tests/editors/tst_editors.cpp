// The module editors headless: what each opens on, what the operator's
// choices do, what Apply writes row by row and that Cancel writes nothing.
#include "Editing.h"
#include "NumberText.h"
#include "frmBridging.h"
#include "frmConstant.h"
#include "frmLineSelection.h"
#include "frmLineUsage.h"
#include "frmTransparent.h"

namespace {

// The stream rows the constant data and bridging editors write, as text.
QString StreamRows(const clsKYR &kyr, int s)
{
    QStringList rows;
    for (int row : {StrRow::StreamType, StrRow::Program, StrRow::Direction, StrRow::BridgeType, StrRow::Did,
                    StrRow::SDid, StrRow::DataChannel, StrRow::InsertLinesF1, StrRow::InsertLinesF2, StrRow::FileName,
                    StrRow::ConditionalInsertion})
        rows << kyr.sSTR(s, row);
    return rows.join(u' ');
}

// The transparent editor's choices as shown: direction (E, D), channel (L,
// C), priority (0 to 2), field indicator, the two VANC fields (0 clear, 1
// checked), timed flush (0 to 2); "-" where none is chosen.
QString ChoicesShown(const QDialog &d)
{
    const auto option = [&d](const QStringList &names) {
        for (qsizetype k = 0; k < names.size(); ++k)
            if (child<QRadioButton>(d, names[k])->isChecked())
                return QString::number(k);
        return QStringLiteral("-");
    };
    const auto check = [&d](const char *name) {
        const Qt::CheckState state = child<QCheckBox>(d, name)->checkState();
        return state == Qt::PartiallyChecked ? QStringLiteral("-") : QString::number(int(state == Qt::Checked));
    };
    return QStringList{option({"RB_Encode", "RB_Decode"}).replace('0', 'E').replace('1', 'D'),
                       option({"RB_Luma", "RB_Chroma"}).replace('0', 'L').replace('1', 'C'),
                       option({"Option1", "Option2", "Option3"}),
                       check("CB_FieldIndicator"),
                       check("CB_Field1") + check("CB_Field2"),
                       option({"RB_Off", "RB_1Field", "RB_2Fields"})}
        .join(' ');
}

// Line list, channel and chroma option as shown: "12 chroma", "9 luma -"
// when chroma is refused, "12 neither" when no channel is chosen.
QString LineShown(const QDialog &d)
{
    return child<QComboBox>(d, "CB_Line")->currentText() +
           (child<QRadioButton>(d, "RB_Luma")->isChecked()     ? " luma"
            : child<QRadioButton>(d, "RB_Chroma")->isChecked() ? " chroma"
                                                               : " neither") +
           (child<QRadioButton>(d, "RB_Chroma")->isEnabled() ? "" : " -");
}

// --- the transparent editor

// The transparent editor as shown: type option, mode option, DID, SDID,
// identifier, counts, line (or "[lines]" on B_Lines) and channel, timeout,
// port, and the serial settings on "Configure" when it shows; then the
// choices (ChoicesShown).
QString TransparentShown(const QDialog &d)
{
    QString type = "-";
    for (auto *option : child(d, "F_Mode")->findChildren<QRadioButton *>())
        type = option->isChecked() ? option->objectName() : type;
    const QString mode = child<QRadioButton>(d, "RB_Packet")->isChecked()     ? "packet"
                         : child<QRadioButton>(d, "RB_ByteMode")->isChecked() ? "bytes"
                                                                              : "-";
    QStringList shown{type, mode};
    for (const char *box : {"EB_DID", "EB_SDID", "EB_Identifier", "EB_DataCount_0", "EB_DataCount_1"})
        shown << text(d, box);
    auto *lines = child<QPushButton>(d, "B_Lines");
    shown << (lines->isVisible() ? '[' + lines->text() + "] " + LineShown(d).section(u' ', 1) : LineShown(d))
          << child<QComboBox>(d, "Combo1")->currentText() << child<QComboBox>(d, "CB_Port")->currentText();
    auto *configure = child<QPushButton>(d, "B_Configure");
    if (configure->isVisible())
        shown << configure->text();
    return shown.join(u' ') + "; " + ChoicesShown(d);
}

// Options, frames and boxes of the transparent editor as a view says; the
// first control that differs, or "".
QString DiffersFrom(const QDialog &d, const TransparentView &v)
{
    const QList<std::pair<QStringList, bool>> enabled{
        {{"Option1", "Option3", "Combo1"}, v.priority},
        {{"F_ByteMode", "F_Timeout"}, v.byteMode.frame},
        {{"EB_DataCount_0", "RB_2Fields", "CB_Field2"}, v.byteMode.fields},
        {{"RB_ByteMode"}, v.byteMode.option},
        {{"F_Packet"}, v.packet.frame},
        {{"EB_Identifier"}, v.packet.fields},
        {{"RB_Packet"}, v.packet.option},
        {{"B_Lines"}, v.severalLines},
        {{"CB_Line"}, !v.severalLines}};
    for (const auto &[names, on] : enabled)
        for (const QString &name : names)
            if (child(d, name)->isEnabled() != on || (name.contains("Line") && child(d, name)->isVisibleTo(&d) != on))
                return name;
    if (child<QRadioButton>(d, "RB_ByteMode")->isChecked() != v.byteMode.select ||
        child<QRadioButton>(d, "RB_Packet")->isChecked() != v.packet.select)
        return "mode option";
    return child<QLabel>(d, "TB_Description")->text() == v.description ? QString() : "TB_Description";
}

// A view as "type 4; priority; bytes ----; packet sf--; to SMPTE 334M-2":
// each mode's option selected, frame enabled, fields editable, option
// enabled; the description's last words.
QString ViewText(const TransparentView &v)
{
    const auto flags = [](const TransparentView::Mode &m) {
        return QString(m.select ? "s" : "-") + (m.frame ? "f" : "-") + (m.fields ? "e" : "-") + (m.option ? "o" : "-");
    };
    return QStringLiteral("type %1").arg(v.typeOption) + (v.priority ? "; priority" : "") + "; bytes " +
           flags(v.byteMode) + "; packet " + flags(v.packet) + (v.severalLines ? "; several lines" : "") +
           (v.configure ? "; configure" : "") + (v.description.isEmpty() ? "" : "; " + v.description.section(u' ', -3));
}

} // namespace

class tst_Editors : public QObject
{
    Q_OBJECT

private slots:
    // --- line usage

    // What the operator typed into a count box is what Apply writes, however
    // the box is left; more than 1900 is held back once as "1900".
    void lineUsageLeavingACountBox_data()
    {
        // Typed into EB_CF1 on line 9 (stored count 25), then the steps; the box
        // after them, the line shown (0 when the dialog closed), LineCfgC9F1.
        const auto row =
            Table<QString, QStringList, QString, int, QString>({"typed", "steps", "box", "line", "stored"});
        row("2000, Apply pressed: held", "2000", {"mouse:B_Apply"}, "1900", 9, "25");
        row("2000, Apply pressed twice: 1900", "2000", {"mouse:B_Apply", "mouse:B_Apply"}, "1900", 0, "1900");
        row("2000, Return twice", "2000", {"key:Return", "key:Return"}, "1900", 0, "1900");
        row("2000, Cancel twice: nothing written", "2000", {"mouse:B_Cancel", "mouse:B_Cancel"}, "1900", 0, "25");
        row("2000, Tab: held", "2000", {"key:Tab"}, "1900", 9, "25");
        row("2000, line up: held on line 9", "2000", {"scroll:15"}, "1900", 9, "25");
        row("150, Return applies it", "150", {"key:Return"}, "150", 0, "150");
        row("150, up arrow, back down, Apply", "150", {"key:Up", "scroll:16", "B_Apply"}, "150", 0, "150");
        row("150, Append Chroma off and on keeps it", "150", {"mouse:CB_AppendC", "mouse:CB_AppendC", "B_Apply"}, "150",
            0, "150");
        row("emptied, Tab: 0", "", {"key:Tab", "B_Apply"}, "", 0, "0");
        row("150, Escape: nothing written", "150", {"key:Escape"}, "150", 0, "25");
        // A screen reader's way: the text set through the accessibility
        // interface, Apply pressed through it; the focus never leaves the box.
        row("2000 set and Apply pressed by a screen reader: held", "25", {"access:EB_CF1=2000", "press:B_Apply"},
            "1900", 9, "25");
        row("... pressed again: 1900", "25", {"access:EB_CF1=2000", "press:B_Apply", "press:B_Apply"}, "1900", 0,
            "1900");
        row("150 set and Apply pressed by a screen reader", "25", {"access:EB_CF1=150", "press:B_Apply"}, "150", 0,
            "150");
        row("150 set, Append Chroma toggled off and on by a screen reader", "25",
            {"access:EB_CF1=150", "toggle:CB_AppendC", "toggle:CB_AppendC", "press:B_Apply"}, "150", 0, "150");
    }
    void lineUsageLeavingACountBox()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, steps);
        QFETCH(int, line);
        Editing e;
        e.kyr.setSPGM(0, PgmRow::AddToCLines, "0x00000300"); // lines 9 and 10
        e.kyr.setSPGM(0, PgmRow::LineCfg(0, 9, 1), "25");
        frmLineUsage d(e.context);
        QVERIFY(Activate(d));
        QCOMPARE(child<QScrollBar>(d, "VS_Line")->value(), 16); // line 9; luma is not appended there
        QVERIFY(text(d, "TB_Line") == "9" && text(d, "EB_LF1") == "-" && !child(d, "EB_LF1")->isEnabled());
        child(d, "EB_CF1")->setFocus();
        e.step(d, "type:EB_CF1=" + typed);
        for (const QString &step : steps)
            e.step(d, step);
        QTEST(text(d, "EB_CF1"), "box");
        QCOMPARE(d.isVisible() ? d.currentLine() : 0, line);
        if (line)
            QCOMPARE(QApplication::focusWidget(), child(d, "EB_CF1"));
        QTEST(e.kyr.sPGM(0, PgmRow::LineCfg(0, 9, 1)), "stored");
    }

    // --- the line picker

    // Lines toggled (opened on line 9); the boxes, "title: first line";
    // LineSelectionMask after.
    void linePicker_data()
    {
        const auto row = Table<QList<int>, QStringList, qint32>({"toggled", "boxes", "mask"});
        row("lines 3 and 5: one caution, for line 3", {9, 3, 5},
            {"Caution: Warning, the KYR7 is set to insert into HD 1080i video"}, 0x14);
        row("recommended lines: no caution", {10, 20}, {}, 0x80300);
        row("nothing checked: refused, mask kept", {9}, {"Error, No lines selected: Please select at least one line"},
            0x100);
    }
    void linePicker()
    {
        QFETCH(QList<int>, toggled);
        Editing e;
        e.state.LineSelectionMask = 0x100;
        frmLineSelection d(e.context);
        d.show();
        for (int k = 0; k < 25; ++k)
            QCOMPARE(child<QCheckBox>(d, QStringLiteral("CB_Line_%1").arg(k))->isChecked(), k == 8);
        for (int line : toggled)
            e.step(d, QStringLiteral("CB_Line_%1").arg(line - 1));
        e.step(d, "B_Apply");
        QStringList boxes;
        for (const auto &b : e.messages.boxes)
            boxes << b.title + ": " + b.text.section("\r\n", 0, 0);
        QTEST(boxes, "boxes");
        QTEST(e.state.LineSelectionMask, "mask");
        if (d.isVisible()) { // refused: Cancel keeps what the picker was opened with
            e.step(d, "B_Cancel");
            QCOMPARE(e.state.LineSelectionMask, 0x100);
        }
        QVERIFY(!d.isVisible());
    }

    // --- constant data

    // Setup: program, Rev, requested video, CurrentStream, FileName[, line
    // mask]; shown: option, DID, SDID, line and channel, SAP offered; written:
    // the program's file stream; state: CurrentStream, in use.
    void constant_data()
    {
        const auto row = Table<QStringList, QString, QStringList, QStringList, QString, QString>(
            {"setup", "shown", "boxes", "steps", "written", "state"});
        const QString stored = "0x0002 1 E 0 0x45 0x02 C 0x00000400 0x00000400 ";
        row("new on program 2 goes to FILE2; no chroma on SD", {"1", "G", "3", "-1", "metadata_stereo"},
            "RB_None 50 1 9 luma - SAP", {},
            {"RB_Stereo_SAP", "RB_Chroma", "CB_ConditionalInsertion", "type:EB_DID=", "type:EB_SDID=7",
             "pick:CB_Line=21", "B_Apply"},
            "0x0002 2 E 0 0x00 0x07 L 0x00100000 0x00100000 stereo_sap 1", "13 in use");
        row("new, applied unchanged, stays absent", {"0", "G", "8", "-1", "metadata_stereo"}, "RB_None 50 1 9 luma SAP",
            {}, {"B_Apply"}, "0x0000 1 E 0 0x45 0x02 C 0x00000400 0x00000080 metadata_stereo 0", "-1 free");
        row("existing 5.1 in chroma, None releases it", {"0", "G", "8", "12", "metadata_51"},
            "RB_51 45 2 11 chroma SAP", {}, {"RB_None", "B_Apply"},
            "0x0000 1 E 0 0x45 0x02 C 0x00000400 0x00000080 metadata_51 0", "-1 free");
        row("existing, Cancel writes nothing", {"0", "G", "8", "12", "stereo_sap"}, "RB_Stereo_SAP 45 2 11 chroma SAP",
            {}, {"RB_None", "type:EB_DID=7F", "B_Cancel"},
            "0x0002 1 E 0 0x45 0x02 C 0x00000400 0x00000080 stereo_sap 0", "12 free");
        row("unknown file shows and saves as 5.1 + SAP", {"0", "G", "8", "12", "custom.bin"},
            "RB_51_SAP 45 2 11 chroma SAP", {}, {"B_Apply"}, stored + "51_sap 0", "12 in use");
        row("revision B: no SAP offered, stored 51_sap kept", {"0", "B", "8", "12", "51_sap"},
            "RB_51_SAP 45 2 11 chroma", {}, {"B_Apply"}, stored + "51_sap 0", "12 in use");
        row("line 1 cautioned, though the list already showed it", {"0", "G", "8", "12", "metadata_stereo", "0x1"},
            "RB_Stereo 45 2 1 chroma SAP", {"Caution"}, {"B_Cancel"},
            "0x0002 1 E 0 0x45 0x02 C 0x00000001 0x00000080 metadata_stereo 0", "12 free");
        row("SD 525 forces luma, line 11 cautioned", {"0", "G", "2", "12", "metadata_stereo"},
            "RB_Stereo 45 2 11 luma - SAP", {"Caution"}, {"B_Apply"},
            "0x0002 1 E 0 0x45 0x02 L 0x00000400 0x00000400 metadata_stereo 0", "12 in use");
    }
    void constant()
    {
        QFETCH(QStringList, setup);
        QFETCH(QStringList, steps);
        Editing e;
        const int program = setup[0].toInt(), file = StreamSlot::FILE1 + program;
        const QString f = clsKYR::StreamText(file) + '.';
        e.kyr.setSPGM(program, PgmRow::RequestedVideoMode, setup[2]);
        e.setup({"program=" + setup[0], "KYR.Rev=" + setup[1], "current=" + setup[3], f + "FileName=" + setup[4],
                 f + "InsertLinesF1=" + setup.value(5, "0x00000400"), f + "Did=0x45", f + "SDid=0x02"});
        if (e.state.CurrentStream == file)
            e.setup({f + "StreamType=0x0002"});
        frmConstant d(e.context);
        d.show();
        QString option;
        for (auto *rb : child(d, "F_Constant")->findChildren<QRadioButton *>())
            option += rb->isChecked() ? rb->objectName() : QString();
        const bool sap = child(d, "RB_51_SAP")->isVisible();
        QVERIFY(child(d, "RB_Stereo_SAP")->isVisible() == sap &&
                child(d, "CB_ConditionalInsertion")->isVisible() == sap);
        QTEST(QStringList({option, text(d, "EB_DID"), text(d, "EB_SDID"), LineShown(d)}).join(' ') +
                  (sap ? " SAP" : ""),
              "shown");
        QTEST(e.titles(), "boxes");
        for (const QString &step : steps)
            e.step(d, step);
        QVERIFY(!d.isVisible());
        QTEST(StreamRows(e.kyr, file), "written");
        QTEST(QString::number(e.state.CurrentStream) + (e.state.StreamInUse[file] ? " in use" : " free"), "state");
        QCOMPARE(e.kyr.str(StreamSlot::FILE2 - program, StrRow::StreamType).toInt(), 0);
    }

    // --- the bridge

    // Setup: requested video 1 and 2, stored bridge "type source" or "new";
    // opened: items, selected position, frames from the top, DID, line;
    // written: INBRIDGE1 | OUTBRIDGE1.
    void bridge_data()
    {
        const auto row = Table<QStringList, QString, QStringList, QStringList, QString>(
            {"setup", "opened", "boxes", "steps", "written"});
        const QString changed = "Video modes have changed";
        const QString storedIn = "0x0004 2 D 0 0x51 0x01 C 0x00100000 0x00100000 metadata_stereo 0 | ";
        row("neither at 625 lines: Disable only", {"8", "8", "new"}, "1 0 -", {"Video Mode Error", changed},
            {"B_Apply"},
            "0x0000 1 E 0 0x51 0x01 C 0x00000080 0x00000080 metadata_stereo 0 | "
            "0x0000 1 E 0 0x51 0x01 C 0x00000080 0x00000080 metadata_stereo 0");
        row("new, only program 2 at 625: WST from program 2", {"8", "3", "new"},
            "3 1 Decode WST from VBI of Program 2 (SD 625 Line), Encode OP47 in Vanc of Program 1 (HD 1080i 59.94 "
            "Hz); 43 9 luma",
            {}, {"CB_LineNum_15", "CB_LineNum_9", "pick:CB_Line=12", "type:EB_DID=4a", "B_Apply"},
            "0x0004 2 D 0 0x51 0x01 C 0x00004000 0x00004000 metadata_stereo 0 | "
            "0x0004 1 E 0 0x4A 0x02 L 0x00000800 0x00000800 metadata_stereo 0");
        row("new, both at 625: no chroma; OP47 to WST chosen", {"3", "3", "new"},
            "5 1 Decode WST from VBI of Program 1 (SD 625 Line), Encode OP47 in Vanc of Program 2 (SD 625 Line); 43 "
            "9 luma -",
            {}, {"choose:CB_Bridge=2", "B_Apply"},
            "0x0004 2 D 1 0x43 0x02 L 0x00000100 0x00000100 metadata_stereo 0 | "
            "0x0004 1 E 1 0x51 0x01 C 0x00000080 0x00000080 metadata_stereo 0");
        row("stored WST from program 2 among five, lines kept whole", {"3", "3", "0 2"},
            "5 3 Decode WST from VBI of Program 2 (SD 625 Line), Encode OP47 in Vanc of Program 1 (SD 625 Line); 47 "
            "10 luma -",
            {}, {"B_Apply"}, storedIn + "0x0004 1 E 0 0x47 0x05 L 0x00000600 0x00000600 metadata_stereo 0");
        row("stored OP47 from program 2 among three", {"3", "4", "1 2"},
            "3 2 Decode OP47 from Vanc of Program 2 (Any HD Video); 47 10 chroma", {}, {"B_Cancel"},
            "0x0004 2 D 1 0x47 0x05 C 0x00000600 0x00100000 metadata_stereo 0 | "
            "0x0004 1 E 0 0x51 0x01 L 0x00100000 0x00000080 metadata_stereo 0");
        row("stored bridge no longer offered: released", {"8", "3", "0 1"}, "3 0 -", {changed}, {"B_Apply"},
            "0x0000 1 D 0 0x51 0x01 C 0x00100000 0x00100000 metadata_stereo 0 | "
            "0x0000 2 E 0 0x47 0x05 L 0x00000600 0x00000600 metadata_stereo 0");
        row("stored source 0 is no bridge", {"3", "8", "0 0"}, "3 0 -", {changed}, {"B_Cancel"},
            "0x0004 0 D 0 0x51 0x01 C 0x00100000 0x00100000 metadata_stereo 0 | "
            "0x0004 1 E 0 0x47 0x05 L 0x00000600 0x00000600 metadata_stereo 0");
    }
    void bridge()
    {
        QFETCH(QStringList, setup);
        QFETCH(QStringList, steps);
        Editing e;
        e.kyr.setSPGM(0, PgmRow::RequestedVideoMode, setup[0]);
        e.kyr.setSPGM(1, PgmRow::RequestedVideoMode, setup[1]);
        if (setup[2] != "new") {
            e.state.CurrentStream = StreamSlot::OUTBRIDGE1;
            const QString type = setup[2].section(' ', 0, 0), source = setup[2].section(' ', 1, 1);
            const QString in = "INBRIDGE1.", out = "OUTBRIDGE1.", vanc = type == "1" ? in : out;
            e.setup({in + "StreamType=0x0004", in + "Program=" + source, in + "Direction=D", in + "BridgeType=" + type,
                     in + "InsertLinesF1=0x00100000", in + "InsertLinesF2=0x00100000", out + "StreamType=0x0004",
                     out + "Program=" + (source == "1" ? "2" : "1"), out + "Direction=E", out + "BridgeType=0",
                     out + "InsertLinesF1=0x00100000", out + "DataChannel=L", vanc + "InsertLinesF1=0x00000600",
                     vanc + "Did=0x47", vanc + "SDid=0x05"});
            if (vanc == out)
                e.setup({out + "InsertLinesF2=0x00000600"});
        }
        frmBridging d(e.context);
        d.show();
        auto *list = child<QComboBox>(d, "CB_Bridge");
        QMap<int, QString> frames; // by their place from the top
        for (const char *name : {"F_VBI", "F_Vanc"})
            if (auto *frame = child<QGroupBox>(d, name); frame->isVisible())
                frames.insert(frame->y(), frame->title());
        QTEST(QStringLiteral("%1 %2 ").arg(list->count()).arg(list->currentIndex()) +
                  (frames.isEmpty()
                       ? "-"
                       : QStringList(frames.values()).join(", ") + "; " + text(d, "EB_DID") + ' ' + LineShown(d)),
              "opened");
        QTEST(e.titles(), "boxes");
        for (const QString &step : steps)
            e.step(d, step);
        QVERIFY(!d.isVisible());
        QTEST(StreamRows(e.kyr, StreamSlot::INBRIDGE1) + " | " + StreamRows(e.kyr, StreamSlot::OUTBRIDGE1), "written");
    }

    // --- transparent data

    // The data type options' presets and what each type lets the operator
    // change, in both directions: the enabling table, without a dialog.
    void transparentTypes_data()
    {
        // Start: the working copy's DataType, mode, direction (a new module is
        // "3 bytes E"); the type chosen, -1 for none; preset: DataType DID SDID
        // identifier counts timed VANC. Each row in encode direction, and in
        // decode direction with its twin: the same preset, byte mode fixed,
        // the capture description.
        const auto add = Table<QString, int, QString, QString>({"start", "option", "preset", "view"});
        const auto row = [add](const QString &name, const QString &start, int option, const char *preset,
                               const QString &view, bool twin = true) {
            add(qPrintable(name), start, option, preset, view);
            if (twin)
                add(qPrintable("decode " + name), QString(start).replace('E', 'D'), option, preset,
                    view.section("; bytes", 0, 0) + "; bytes sf--; packet ----" +
                        (view.contains("several") ? "; several lines; selected video lines" : "; selected video line"));
        };
        row("byte mode", "3 bytes E", 1, "1 52 19 0 255 255 0 3", "type 1; bytes sf--; packet ----; as it arrives");
        row("high capacity", "3 bytes E", 2, "2 52 19 9669 0 0 0 3",
            "type 2; bytes sf--; packet ----; several lines; of multiple lines");
        row("audio metadata", "1 bytes E", 3, "3 50 1 0 0 0 0 0",
            "type 3; bytes sf--; packet ----; audio metadata frames");
        row("caption CDP", "3 bytes E", 4, "4 61 1 9669 0 0 0 0",
            "type 4; priority; bytes ----; packet sf--; to SMPTE 334M-2");
        row("subtitle SDP", "3 bytes E", 5, "5 61 3 5115 0 0 0 0",
            "type 5; priority; bytes ----; packet sf--; according to OP-47");
        row("custom", "3 bytes E", 0, "0 50 1 9669 0 0 0 0",
            "type 0; priority; bytes sfeo; packet ---o; the other modes");
        row("custom from packet mode", "4 packets E", 0, "6 50 1 9669 0 0 0 0",
            "type 0; priority; bytes ---o; packet sfeo; the other modes");
        row("stored 9: nothing to change", "9 bytes E", -1, "9 50 1 9669 0 0 0 0", "type -1; bytes s---; packet ----",
            false);
        row("stored 2.5 in packet mode", "2.5 packets E", -1, "2.5 50 1 9669 0 0 0 0",
            "type -1; bytes ----; packet s---", false);
    }
    void transparentTypes()
    {
        QFETCH(QString, start);
        QFETCH(int, option);
        SharedState state;
        state.CurrentStream = -1;
        TransparentModule m = TransparentModule::Open(clsKYR(), state);
        m.dataType = WorkingNumber(KyrValue(start.section(u' ', 0, 0).toDouble()));
        m.byteMode = start.section(u' ', 1, 1) == "bytes";
        m.direction = start.section(u' ', 2, 2);
        if (option >= 0)
            m.choose(TransparentModule::Type(option));
        QTEST(QStringList({m.dataType.text(), HexText(m.did), HexText(m.sdid), HexText(m.identifier), m.count[0].text(),
                           m.count[1].text(), m.timedFlush.text(), m.vancFlush.text()})
                  .join(u' '),
              "preset");
        QTEST(ViewText(TransparentView::Of(m)), "view");
    }

    void transparentLinesCaption_data()
    {
        const auto row = Table<qint32, QString>({"mask", "caption"});
        row("none", 0x7E000000, "None");
        row("9 to 11", 0x700, "9, 10, 11");
        row("10 to 14, 18 characters: whole", 0x3E00, "10, 11, 12, 13, 14");
        row("10 to 15: cut at the comma at position 15", 0x7E00, "10, 11, 12, 13...");
        row("every line: at the first comma past it", 0x1FFFFFF, "1, 2, 3, 4, 5, 6...");
    }
    void transparentLinesCaption()
    {
        QFETCH(qint32, mask);
        QTEST(TransparentView::LinesCaption(mask), "caption");
    }

    // What the editor opens on, what the operator's steps do, and what Apply
    // (or Cancel) writes, stream by stream.
    void transparent_data()
    {
        // Shown: before the last step.
        const auto row = Table<QStringList, QStringList, QString, QString>({"setup", "steps", "shown", "written"});
        const QString newOnLine9 = " StreamType=0x0001 InsertLinesF1=0x00000100 InsertLinesF2=0x00000100 Did=0x50 "
                                   "DataType=3 DataCountF1=0 DataCountF2=0 HeaderId1=0x96 HeaderId2=0x69 "
                                   "TimedBufferFlush=0 VancBufferFlush=0";
        const QStringList unlisted = QString("open=LAN2 LAN2.DataType=9 LAN2.transTimeout=45 LAN2.transMode=7 "
                                             "LAN2.TimedBufferFlush=5 LAN2.VancBufferFlush=6 LAN2.FieldIndicator=2 "
                                             "LAN2.DataCountF1=40000 LAN2.InsertLinesF1=0x7E000800")
                                         .split(' ');
        row("new: audio metadata on line 9, whatever mask the picker held", {"mask=0x00400000"},
            {"pick:CB_Port=PORTB", "B_Apply"}, "RB_Audio bytes 50 1 9669 - - 9 chroma 1 PORTB 9600,N,8,1; E C 0 0 00 0",
            "PORTB" + newOnLine9);
        row("new: ports taken and given back, None applied: nothing written", {"inuse=PORTC"},
            {"pick:CB_Port=PORTA", "pick:CB_Port=2003", "pick:CB_Port=None",
             "offers:CB_Port=None PORTA PORTB MODEM 2000 2001 2002 2003 2004 2005 2006 2007 BTEST1", "B_Apply"},
            "RB_Audio bytes 50 1 9669 - - 9 chroma 1 None; E C 0 0 00 0", "");
        row("program 1 is offered no file, bridge or other module's stream", {"inuse=LAN1,FILE1,BTEST1,INBRIDGE1"},
            {"offers:CB_Port=None PORTA PORTB PORTC MODEM 2001 2002 2003 2004 2005 2006 2007", "B_Cancel"},
            "RB_Audio bytes 50 1 9669 - - 9 chroma 1 None; E C 0 0 00 0", "");
        row("a stream of a type the program does not know is never offered", {"LAN3.StreamType=0x0008"},
            {"offers:CB_Port=None PORTA PORTB PORTC MODEM 2000 2001 2003 2004 2005 2006 2007 BTEST1", "B_Cancel"},
            "RB_Audio bytes 50 1 9669 - - 9 chroma 1 None; E C 0 0 00 0", "");
        row("program 2 is offered its own port and BTEST2", {"program=1", "inuse=LAN1,LAN4,BTEST1", "open=LAN3"},
            {"offers:CB_Port=None PORTA PORTB PORTC MODEM 2001 2002 2004 2005 2006 2007 BTEST2", "B_Cancel"},
            "RB_Custom bytes 51 1 1512 100 50 12 luma - 1 2002; E L 0 0 11 -", "");
        row("two LAN ports numbered alike: the one picked is written", {"LAN3.PortAddr=2000"},
            {"pick:CB_Port=2000#2", "B_Apply"}, "RB_Audio bytes 50 1 9669 - - 9 chroma 1 2000; E C 0 0 00 0",
            "LAN3" + newOnLine9);
        row("high capacity on lines 9 to 11", {"open=LAN2", "LAN2.DataType=1", "LAN2.InsertLinesF1=0x00000100"},
            {"RB_High", "B_Lines>CB_Line_9,CB_Line_10,B_Apply", "B_Apply"},
            "RB_High bytes 52 19 1512 - - [9, 10, 11] chroma 1 2001; E C 0 0 11 0",
            "LAN2 InsertLinesF1=0x00000700 InsertLinesF2=0x00000700 Did=0x52 SDid=0x19 DataType=2 DataCountF1=0 "
            "DataCountF2=0 TimedBufferFlush=0");
        row("Caption CDP, then Custom: identifier and packet mode kept", {"open=LAN2"},
            {"RB_CDP", "RB_Custom", "B_Apply"}, "RB_Custom packet 61 1 9669 - - 12 chroma 1 2001; E C 0 0 00 0",
            "LAN2 Did=0x61 DataType=6 DataCountF1=0 DataCountF2=0 HeaderId1=0x96 HeaderId2=0x69 TimedBufferFlush=0 "
            "VancBufferFlush=0");
        row("SD video: a chroma stream shows and saves as luma",
            {"program=1", "open=LAN3", "LAN3.DataType=3", "LAN3.DataChannel=C"}, {"B_Apply"},
            "RB_Audio bytes 51 1 1512 100 50 12 luma - 1 2002; E L 0 0 11 -", "LAN3 DataChannel=L");
        row("values none of the choices stands for, kept", unlisted, {"B_Apply"},
            "- bytes 51 1 1512 40000 50 12 chroma 46 2001; E C - - -- -", "LAN2 InsertLinesF2=0x7E000800");
        row("... until the operator changes them", unlisted,
            {"RB_Custom", "pick:Combo1=5", "Option2", "RB_1Field", "type:EB_DataCount_0=300", "B_Apply"},
            "RB_Custom bytes 51 1 1512 300 50 12 chroma 5 2001; E C 1 - -- 1",
            "LAN2 InsertLinesF2=0x7E000800 DataType=0 DataCountF1=300 TimedBufferFlush=1 transMode=1 transTimeout=4");
        row("a box showing \"-\" takes what is typed",
            {"open=LAN2", "LAN2.DataType=6", "LAN2.HeaderId1=0x00", "LAN2.HeaderId2=0x00", "LAN2.DataCountF1=0"},
            {"keys:EB_Identifier=5", "RB_ByteMode", "keys:EB_DataCount_0=7", "B_Apply"},
            "RB_Custom bytes 51 1 5 7 50 12 chroma 1 2001; E C 0 0 11 -",
            "LAN2 DataType=0 DataCountF1=7 HeaderId2=0x05");
        row("None releases only the loaded stream", {"inuse=LAN1", "open=LAN2"},
            {"RB_Decode", "pick:CB_Port=None", "B_Apply"},
            "RB_Custom bytes 51 1 1512 100 50 12 chroma 1 None; D C 0 0 11 -", "LAN2 StreamType=0x0000");
        row("Cancel writes nothing", {"open=PORTA"},
            {"RB_SDP", "pick:CB_Port=PORTB", "type:EB_DID=7", "pick:Combo1=9", "B_Cancel"},
            "RB_SDP packet 7 3 5115 - - 12 chroma 9 PORTB 9600,N,8,1; E C 0 0 00 0", "");
        row("Caption CDP chosen by a screen reader's Toggle loads its preset", {"open=LAN2"},
            {"toggle:RB_CDP", "press:B_Apply"}, "RB_CDP packet 61 1 9669 - - 12 chroma 1 2001; E C 0 0 00 0",
            "LAN2 Did=0x61 DataType=4 DataCountF1=0 DataCountF2=0 HeaderId1=0x96 HeaderId2=0x69 TimedBufferFlush=0 "
            "VancBufferFlush=0");
        // A stored direction, channel, field indicator, priority, VANC or timed
        // flush that none of the choices stands for shows none chosen, and is
        // kept; what the operator then chooses, by a click or a screen reader's
        // Toggle, is written.
        const QStringList packets{"open=LAN2",          "LAN2.DataType=4",       "LAN2.Direction=X",
                                  "LAN2.DataChannel=Q", "LAN2.FieldIndicator=2", "LAN2.transMode=7"};
        const QStringList bytes{"open=LAN2", "LAN2.DataType=0", "LAN2.Direction=E", "LAN2.VancBufferFlush=6",
                                "LAN2.TimedBufferFlush=5"};
        row("direction, channel, field indicator, priority: none chosen, kept", packets, {"B_Apply"},
            "RB_CDP bytes 51 1 1512 100 50 12 neither 1 2001; - - - - 11 -", "");
        row("... chosen by clicks", packets, {"RB_Encode", "RB_Chroma", "CB_FieldIndicator", "Option2", "B_Apply"},
            "RB_CDP packet 51 1 1512 100 50 12 chroma 1 2001; E C 1 1 11 -",
            "LAN2 Direction=E DataChannel=C FieldIndicator=1 transMode=1");
        row("... chosen by a screen reader's Toggle", packets,
            {"toggle:RB_Decode", "toggle:RB_Luma", "toggle:CB_FieldIndicator", "toggle:Option3", "B_Apply"},
            "RB_CDP bytes 51 1 1512 100 50 12 luma 1 2001; D L 2 1 11 -",
            "LAN2 Direction=D DataChannel=L FieldIndicator=1 transMode=2");
        row("VANC and timed flush: none chosen, kept", bytes, {"B_Apply"},
            "RB_Custom bytes 51 1 1512 100 50 12 chroma 1 2001; E C 0 0 -- -", "");
        row("... VANC field 1 and one field's timeout chosen", bytes, {"CB_Field1", "RB_1Field", "B_Apply"},
            "RB_Custom bytes 51 1 1512 100 50 12 chroma 1 2001; E C 0 0 10 1",
            "LAN2 TimedBufferFlush=1 VancBufferFlush=1");
        row("... VANC field 2 toggled by a screen reader", bytes, {"toggle:CB_Field2", "B_Apply"},
            "RB_Custom bytes 51 1 1512 100 50 12 chroma 1 2001; E C 0 0 01 -", "LAN2 VancBufferFlush=2");
        row("Configure sets the serial port and shows its settings", {"open=PORTA"},
            {"B_Configure>pick:CB_Baud=19200,pick:CB_FlowControl=Hardware,B_Apply", "B_Apply"},
            "RB_Custom bytes 51 1 1512 100 50 12 chroma 1 PORTA 19200,N,8,1,HW; E C 0 0 11 -",
            "PORTA Baud=19200 TxFlowCtrl=2 RxFlowCtrl=2");
    }
    void transparent()
    {
        QFETCH(QStringList, setup);
        QFETCH(QStringList, steps);
        Editing e;
        for (int s = 0; s < clsKYR::StreamSlots; ++s) // every stream on line 12
            for (int row : {StrRow::InsertLinesF1, StrRow::InsertLinesF2})
                e.kyr.setSSTR(s, row, "0x00000800");
        e.setup(setup);
        const clsKYR before = e.kyr;
        frmTransparent d(e.context);
        QVERIFY(Activate(d));
        QString shown;
        for (const QString &step : steps) {
            if (step == steps.last()) {
                shown = TransparentShown(d);
                QCOMPARE(DiffersFrom(d, TransparentView::Of(d.module())), QString());
            }
            e.step(d, step);
        }
        QTEST(shown, "shown");
        QCOMPARE(e.titles(), QStringList());
        QVERIFY(!d.isVisible());
        QTEST(changes(before, e.kyr).join(" | "), "written");
    }
};

QTEST_MAIN(tst_Editors)
#include "tst_editors.moc"
