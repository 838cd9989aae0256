// The module editors headless: what each opens on, what the operator's
// choices do, what Apply writes row by row and that Cancel writes nothing;
// and the toolkit pieces whose faults an operator would meet in every editor.
#include "Controls.h"
#include "DialogRunner.h"
#include "EditorContext.h"
#include "EditorControls.h"
#include "NumberText.h"
#include "ScriptedMessages.h"
#include "SharedState.h"
#include "clsKYR.h"
#include "frmBridging.h"
#include "frmConstant.h"
#include "frmLineSelection.h"
#include "frmLineUsage.h"
#include "frmTransparent.h"

#include <QtTest/QtTest>
#include <QtWidgets>

namespace {

template <typename T = QWidget> T *child(const QWidget &parent, const QString &name)
{
    T *w = parent.findChild<T *>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

QString text(const QWidget &parent, const QString &name)
{
    return child<QLineEdit>(parent, name)->text();
}

// Shows a dialog as the active window, so that the focus moves as it does
// for the operator.
bool Activate(QDialog &dialog)
{
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
}

// One step of the operator: "mouse:NAME" presses and releases the mouse on a
// control; "key:Return", "key:Escape", "key:Tab" go to the control with the
// focus, "key:Up" to VS_Line; "scroll:N" moves VS_Line; "line:N" picks line
// N of CB_Line and "choose:N" item N of CB_Bridge; "pick:LIST=TEXT" picks the
// item showing TEXT ("TEXT#2" the second such item); "type:NAME=TEXT" replaces
// a box's text by typing, "keys:NAME=TEXT" types at its end; any other step
// is a control's name, clicked as a screen reader does.
void Step(QDialog &dialog, const QString &step)
{
    const QString what = step.section(u':', 0, 0);
    const QString arg = step.section(u':', 1);
    if (what == QLatin1String("mouse")) {
        QTest::mouseClick(child(dialog, arg), Qt::LeftButton);
    } else if (what == QLatin1String("key")) {
        const QMap<QString, Qt::Key> keys{
            {"Return", Qt::Key_Return}, {"Escape", Qt::Key_Escape}, {"Tab", Qt::Key_Tab}, {"Up", Qt::Key_Up}};
        QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : &dialog;
        QTest::keyClick(arg == QLatin1String("Up") ? child(dialog, "VS_Line") : focus, keys.value(arg));
    } else if (what == QLatin1String("scroll")) {
        child<QScrollBar>(dialog, "VS_Line")->setValue(arg.toInt());
    } else if (what == QLatin1String("line") || what == QLatin1String("choose")) {
        auto *list = child<QComboBox>(dialog, what == QLatin1String("line") ? "CB_Line" : "CB_Bridge");
        const int position = arg.toInt() - (what == QLatin1String("line"));
        list->setCurrentIndex(position);
        emit list->activated(position);
    } else if (what == QLatin1String("pick")) {
        auto *list = child<QComboBox>(dialog, arg.section(u'=', 0, 0));
        const QString item = arg.section(u'=', 1).section(u'#', 0, 0);
        int position = -1;
        for (int k = 0, seen = 0, wanted = qMax(1, arg.section(u'#', 1).toInt()); k < list->count(); ++k)
            if (list->itemText(k) == item && ++seen == wanted)
                position = k;
        QVERIFY2(position >= 0, qPrintable(step));
        list->setCurrentIndex(position);
        emit list->activated(position);
    } else if (what == QLatin1String("type") || what == QLatin1String("keys")) {
        auto *box = child<QLineEdit>(dialog, arg.section(u'=', 0, 0));
        box->setFocus();
        if (what == QLatin1String("type")) {
            box->selectAll();
            QTest::keyClick(box, Qt::Key_Backspace);
        } else {
            box->end(false);
        }
        QTest::keyClicks(box, arg.section(u'=', 1));
    } else {
        child<QAbstractButton>(dialog, step)->click();
    }
    QCoreApplication::processEvents();
}

// Runs the dialogs an editor opens in turn: the steps a test gives act in the
// dialog as the operator would; without steps the dialog is cancelled.
class RecordingDialogs : public DialogRunner
{
public:
    int run(QDialog &dialog) override
    {
        for (const QString &step : std::exchange(steps, {}))
            Step(dialog, step);
        return dialog.result();
    }
    QStringList steps;
};

// A model at its factory defaults with program 1 requesting HD 1080i and
// program 2 SD 625, and the state an editor opens with.
struct Editing
{
    Editing()
    {
        for (Section section : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str})
            for (int slot = 0; slot < clsKYR::Slots(section); ++slot)
                for (int row = 0; row < int(clsKYR::Definitions(section).size()); ++row)
                    kyr.setText(section, slot, row, clsKYR::Definitions(section)[size_t(row)].Default);
        kyr.setSPGM(0, PgmRow::RequestedVideoMode, "8");
        kyr.setSPGM(1, PgmRow::RequestedVideoMode, "3");
        state.CurrentStream = -1;
    }
    QStringList titles() const
    {
        QStringList list;
        for (const auto &box : messages.boxes)
            list << box.title;
        return list;
    }

    clsKYR kyr;
    SharedState state;
    ScriptedMessages messages;
    RecordingDialogs dialogs;
    EditorContext context{kyr, state, messages, dialogs};
};

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

// Line list, channel and chroma option as shown: "12 chroma", "9 luma -"
// when chroma is refused.
QString LineShown(const QDialog &d)
{
    return child<QComboBox>(d, "CB_Line")->currentText() +
           (child<QRadioButton>(d, "RB_Luma")->isChecked() ? " luma" : " chroma") +
           (child<QRadioButton>(d, "RB_Chroma")->isEnabled() ? "" : " -");
}

// --- the transparent editor

// Applies "SECTION.Row=value" to the model.
void SetParam(clsKYR &kyr, const QString &entry)
{
    Section section;
    int slot = 0;
    if (!clsKYR::FindSection(entry.section(u'.', 0, 0), section, slot))
        qFatal("no section in %s", qPrintable(entry));
    kyr.SetParam(section, slot, entry.section(u'.', 1));
}

// Sets up a transparent editor: LAN ports 2000 to 2007, every stream on line
// 12, then the entries: "program=1", "open=LAN2" (CurrentStream, a
// transparent module of the program), "inuse=LAN1,FILE1", "mask=0x..."
// (LineSelectionMask), or "SECTION.Row=value".
void SetUpTransparent(Editing &e, const QStringList &setup)
{
    for (int s = 0; s < clsKYR::StreamSlots; ++s) {
        e.kyr.setSSTR(s, StrRow::InsertLinesF1, "0x00000800");
        e.kyr.setSSTR(s, StrRow::InsertLinesF2, "0x00000800");
        if (s >= StreamSlot::LAN1 && s <= StreamSlot::LAN8)
            e.kyr.setSSTR(s, StrRow::PortAddr, QString::number(2000 + s - StreamSlot::LAN1));
    }
    for (const QString &entry : setup) {
        const QString key = entry.section(u'=', 0, 0), value = entry.section(u'=', 1);
        Section section;
        int stream = -1;
        if (key == "program")
            e.state.CurrentProgram = value.toInt();
        else if (key == "mask")
            e.state.LineSelectionMask = qint32(value.toUInt(nullptr, 16));
        else if (key != "open" && key != "inuse")
            SetParam(e.kyr, entry);
        for (const QString &name : value.split(u','))
            if (key == "inuse" || key == "open")
                e.state.StreamInUse[size_t(clsKYR::FindSection(name, section, stream) ? stream : 18)] = true;
        if (key == "open") {
            e.state.CurrentStream = stream;
            SetParam(e.kyr, value + ".StreamType=0x0001");
            SetParam(e.kyr, value + QStringLiteral(".Program=%1").arg(e.state.CurrentProgram + 1));
        }
    }
}

// The rows of every stream that differ, "PORTB Did=0x52 DataType=2 | LAN2 ...".
QString StreamChanges(const clsKYR &before, const clsKYR &after)
{
    QStringList streams;
    for (int s = 0; s < clsKYR::StreamSlots; ++s) {
        QStringList rows;
        for (int row = 0; row < StrRow::Count; ++row)
            if (before.sSTR(s, row) != after.sSTR(s, row))
                rows << after.pSTR(row) + u'=' + after.sSTR(s, row);
        if (!rows.isEmpty())
            streams << clsKYR::StreamText(s) + u' ' + rows.join(u' ');
    }
    return streams.join(" | ");
}

// The transparent editor as shown: type option, mode option, DID, SDID,
// identifier, counts, line (or "[lines]" on B_Lines) and channel, timeout,
// port, and the serial settings on "Configure" when it shows.
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
    return shown.join(u' ');
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
    // Identifiers show without leading zeros and whole; a "-" placeholder
    // never joins what is typed; a list shows a stored value that is none of
    // its items; port lists tell apart two ports shown alike.
    void toolkitShowsStoredValues()
    {
        Editing e;
        QWidget parent;
        QLineEdit *did = MakeHexBox("EB_DID", "Data ID (DID)", &parent);
        ShowHex(did, 0x01);
        QCOMPARE(did->text(), QStringLiteral("1"));
        ShowHex(did, 0x12345);
        QCOMPARE(ReadHex(did, 0xFFFFF), qint64(0x12345));
        ShowPlaceholder(did);
        QCOMPARE(ReadHex(did), qint64(0));
        did->setCursorPosition(1);
        QTest::keyClicks(did, "a");
        QCOMPARE(did->text(), QStringLiteral("A"));

        QComboBox *list = MakeList("Combo1", "Timeout (frames)", {"1", "2", "3"}, &parent);
        ShowStoredItem(list, "46");
        QVERIFY(StoredItemShown(list) && list->currentText() == "46");
        ShowStoredItem(list, "2");
        QVERIFY(!StoredItemShown(list) && list->count() == 3 && list->currentIndex() == 1);

        FillPortList(list, e.kyr, {StreamSlot::LAN1, StreamSlot::LAN2}, StreamSlot::LAN2); // both "2000"
        QCOMPARE(QList<int>({list->currentIndex(), PortAt(list, 0), PortAt(list, 1), PortAt(list, 2)}),
                 QList<int>({2, -1, StreamSlot::LAN1, StreamSlot::LAN2}));

        QPushButton configure("Configure");
        e.kyr.setSSTR(StreamSlot::PORTB, StrRow::RxFlowCtrl, "2");
        ShowSerialCaption(&configure, e.kyr, StreamSlot::PORTB);
        QCOMPARE(configure.text(), QStringLiteral("9600,N,8,1,HW"));
        QCOMPARE(configure.accessibleName(), QStringLiteral("Configure 9600,N,8,1,HW"));
    }

    // --- line usage

    // What the operator typed into a count box is what Apply writes, however
    // the box is left; more than 1900 is held back once as "1900".
    void lineUsageLeavingACountBox_data()
    {
        QTest::addColumn<QString>("typed"); // into EB_CF1 on line 9, stored count 25
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("box");    // EB_CF1 after the steps
        QTest::addColumn<int>("line");       // shown, 0 when the dialog closed
        QTest::addColumn<QString>("stored"); // LineCfgC9F1 after
        const auto row = [](const char *name, const char *typed, const QStringList &steps, const char *box, int line,
                            const char *stored) {
            QTest::newRow(name) << QString(typed) << steps << QString(box) << line << QString(stored);
        };
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
        Step(d, "type:EB_CF1=" + typed);
        for (const QString &step : steps)
            Step(d, step);
        QTEST(text(d, "EB_CF1"), "box");
        QCOMPARE(d.isVisible() ? d.currentLine() : 0, line);
        if (line)
            QCOMPARE(QApplication::focusWidget(), child(d, "EB_CF1"));
        QTEST(e.kyr.sPGM(0, PgmRow::LineCfg(0, 9, 1)), "stored");
    }

    // --- the line picker

    void linePicker_data()
    {
        QTest::addColumn<QList<int>>("toggled"); // lines; opened on line 9
        QTest::addColumn<QStringList>("boxes");  // title: first line of the text
        QTest::addColumn<qint32>("mask");        // LineSelectionMask after
        QTest::newRow("lines 3 and 5: one caution, for line 3")
            << QList<int>{9, 3, 5} << QStringList{"Caution: Warning, the KYR7 is set to insert into HD 1080i video"}
            << qint32(0x14);
        QTest::newRow("recommended lines: no caution") << QList<int>{10, 20} << QStringList{} << qint32(0x80300);
        QTest::newRow("nothing checked: refused, mask kept")
            << QList<int>{9} << QStringList{"Error, No lines selected: Please select at least one line"}
            << qint32(0x100);
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
            Step(d, QStringLiteral("CB_Line_%1").arg(line - 1));
        Step(d, "B_Apply");
        QStringList boxes;
        for (const auto &b : e.messages.boxes)
            boxes << b.title + ": " + b.text.section("\r\n", 0, 0);
        QTEST(boxes, "boxes");
        QTEST(e.state.LineSelectionMask, "mask");
        if (d.isVisible()) { // refused: Cancel keeps what the picker was opened with
            Step(d, "B_Cancel");
            QCOMPARE(e.state.LineSelectionMask, 0x100);
        }
        QVERIFY(!d.isVisible());
    }

    // --- constant data

    void constant_data()
    {
        QTest::addColumn<QStringList>("setup"); // program, Rev, requested video, CurrentStream, FileName[, line mask]
        QTest::addColumn<QString>("shown");     // option, DID, SDID, line and channel; SAP offered
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("written"); // the program's file stream
        QTest::addColumn<QString>("state");   // CurrentStream, in use
        const QString stored = "0x0002 1 E 0 0x45 0x02 C 0x00000400 0x00000400 ";
        const auto row = [](const char *name, const QStringList &setup, const char *shown, const QStringList &boxes,
                            const QStringList &steps, const QString &written, const char *state) {
            QTest::newRow(name) << setup << QString(shown) << boxes << steps << written << QString(state);
        };
        row("new on program 2 goes to FILE2; no chroma on SD", {"1", "G", "3", "-1", "metadata_stereo"},
            "RB_None 50 1 9 luma - SAP", {},
            {"RB_Stereo_SAP", "RB_Chroma", "CB_ConditionalInsertion", "type:EB_DID=", "type:EB_SDID=7", "line:21",
             "B_Apply"},
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
        const int program = setup[0].toInt();
        const int file = StreamSlot::FILE1 + program;
        e.state.CurrentProgram = program;
        e.kyr.setSKYR(KyrRow::Rev, setup[1]);
        e.kyr.setSPGM(program, PgmRow::RequestedVideoMode, setup[2]);
        e.state.CurrentStream = setup[3].toInt();
        for (const auto &[row, value] : {std::pair{StrRow::FileName, setup[4]},
                                         {StrRow::InsertLinesF1, setup.value(5, "0x00000400")},
                                         {StrRow::Did, "0x45"},
                                         {StrRow::SDid, "0x02"}})
            e.kyr.setSSTR(file, row, value);
        if (e.state.CurrentStream == file)
            e.kyr.setSSTR(file, StrRow::StreamType, "0x0002");
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
            Step(d, step);
        QVERIFY(!d.isVisible());
        QTEST(StreamRows(e.kyr, file), "written");
        QTEST(QString::number(e.state.CurrentStream) + (e.state.StreamInUse[file] ? " in use" : " free"), "state");
        QCOMPARE(e.kyr.str(StreamSlot::FILE2 - program, StrRow::StreamType).toInt(), 0);
    }

    // --- the bridge

    void bridge_data()
    {
        QTest::addColumn<QStringList>("setup"); // requested video 1 and 2, stored bridge "type source" or "new"
        QTest::addColumn<QString>("opened");    // items, selected position, frames from the top, DID, line
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("written"); // INBRIDGE1 | OUTBRIDGE1
        const QString changed = "Video modes have changed";
        const QString storedIn = "0x0004 2 D 0 0x51 0x01 C 0x00100000 0x00100000 metadata_stereo 0 | ";
        const auto row = [](const char *name, const QStringList &setup, const QString &opened, const QStringList &boxes,
                            const QStringList &steps, const QString &written) {
            QTest::newRow(name) << setup << opened << boxes << steps << written;
        };
        row("neither at 625 lines: Disable only", {"8", "8", "new"}, "1 0 -", {"Video Mode Error", changed},
            {"B_Apply"},
            "0x0000 1 E 0 0x51 0x01 C 0x00000080 0x00000080 metadata_stereo 0 | "
            "0x0000 1 E 0 0x51 0x01 C 0x00000080 0x00000080 metadata_stereo 0");
        row("new, only program 2 at 625: WST from program 2", {"8", "3", "new"},
            "3 1 Decode WST from VBI of Program 2 (SD 625 Line), Encode OP47 in Vanc of Program 1 (HD 1080i 59.94 "
            "Hz); 43 9 luma",
            {}, {"CB_LineNum_15", "CB_LineNum_9", "line:12", "type:EB_DID=4a", "B_Apply"},
            "0x0004 2 D 0 0x51 0x01 C 0x00004000 0x00004000 metadata_stereo 0 | "
            "0x0004 1 E 0 0x4A 0x02 L 0x00000800 0x00000800 metadata_stereo 0");
        row("new, both at 625: no chroma; OP47 to WST chosen", {"3", "3", "new"},
            "5 1 Decode WST from VBI of Program 1 (SD 625 Line), Encode OP47 in Vanc of Program 2 (SD 625 Line); 43 "
            "9 luma -",
            {}, {"choose:2", "B_Apply"},
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
            const QString type = setup[2].section(u' ', 0, 0), source = setup[2].section(u' ', 1, 1);
            const int vanc = type == "1" ? StreamSlot::INBRIDGE1 : StreamSlot::OUTBRIDGE1;
            for (int s : {int(StreamSlot::INBRIDGE1), int(StreamSlot::OUTBRIDGE1)}) {
                const bool in = s == StreamSlot::INBRIDGE1;
                for (const auto &[row, value] :
                     {std::pair{StrRow::StreamType, QString("0x0004")},
                      {StrRow::Program, in ? source : QString(source == "1" ? "2" : "1")},
                      {StrRow::Direction, QString(in ? "D" : "E")},
                      {StrRow::BridgeType, in ? type : "0"},
                      {StrRow::InsertLinesF1, QString(s == vanc ? "0x00000600" : "0x00100000")}})
                    e.kyr.setSSTR(s, row, value);
            }
            e.kyr.setSSTR(vanc, StrRow::Did, "0x47");
            e.kyr.setSSTR(vanc, StrRow::SDid, "0x05");
            e.kyr.setSSTR(StreamSlot::OUTBRIDGE1, StrRow::DataChannel, "L");
            e.kyr.setSSTR(StreamSlot::INBRIDGE1, StrRow::InsertLinesF2, "0x00100000");
            if (vanc == StreamSlot::OUTBRIDGE1)
                e.kyr.setSSTR(vanc, StrRow::InsertLinesF2, "0x00000600");
        }
        frmBridging d(e.context);
        d.show();
        auto *list = child<QComboBox>(d, "CB_Bridge");
        QList<QGroupBox *> shown;
        for (const char *name : {"F_VBI", "F_Vanc"}) {
            auto *frame = child<QGroupBox>(d, name);
            QCOMPARE(frame->accessibleName(), frame->title());
            if (frame->isVisible())
                shown << frame;
        }
        std::sort(shown.begin(), shown.end(), [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
        QStringList frames;
        for (QGroupBox *frame : shown)
            frames << frame->title();
        QTEST(QStringLiteral("%1 %2 ").arg(list->count()).arg(list->currentIndex()) +
                  (frames.isEmpty() ? "-" : frames.join(", ") + "; " + text(d, "EB_DID") + ' ' + LineShown(d)),
              "opened");
        QTEST(e.titles(), "boxes");
        for (const QString &step : steps)
            Step(d, step);
        QVERIFY(!d.isVisible());
        QTEST(StreamRows(e.kyr, StreamSlot::INBRIDGE1) + " | " + StreamRows(e.kyr, StreamSlot::OUTBRIDGE1), "written");
    }

    // --- transparent data

    // The data type options' presets and what each type lets the operator
    // change, in both directions: the enabling table, without a dialog.
    void transparentTypes_data()
    {
        QTest::addColumn<QString>("start");  // the working copy: DataType, mode, direction; a new module is "3 bytes E"
        QTest::addColumn<int>("option");     // the type chosen, -1 for none
        QTest::addColumn<QString>("preset"); // DataType DID SDID identifier counts timed VANC
        QTest::addColumn<QString>("view");
        // Each row in encode direction, and in decode direction with its
        // twin: the same preset, byte mode fixed, the capture description.
        const auto row = [](const QString &name, const QString &start, int option, const char *preset,
                            const QString &view, bool twin = true) {
            QTest::newRow(qPrintable(name)) << start << option << QString(preset) << view;
            if (twin)
                QTest::newRow(qPrintable("decode " + name))
                    << QString(start).replace('E', 'D') << option << QString(preset)
                    << view.section("; bytes", 0, 0) + "; bytes sf--; packet ----" +
                           (view.contains("several") ? "; several lines; selected video lines"
                                                     : "; selected video line");
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
        QTest::addColumn<qint32>("mask");
        QTest::addColumn<QString>("caption");
        QTest::newRow("none") << qint32(0x7E000000) << "None";
        QTest::newRow("9 to 11") << qint32(0x700) << "9, 10, 11";
        QTest::newRow("10 to 14, 18 characters: whole") << qint32(0x3E00) << "10, 11, 12, 13, 14";
        QTest::newRow("10 to 15: cut at the comma at position 15") << qint32(0x7E00) << "10, 11, 12, 13...";
        QTest::newRow("every line: at the first comma past it") << qint32(0x1FFFFFF) << "1, 2, 3, 4, 5, 6...";
    }
    void transparentLinesCaption()
    {
        QFETCH(qint32, mask);
        QTEST(TransparentView::LinesCaption(mask), "caption");
    }

    // What the editor opens on, what the operator's steps do, and what Apply
    // (or Cancel) writes, stream by stream. "B_Lines>STEP,STEP" clicks a
    // button and takes the steps in the dialog it opens; "ports:..." is what
    // the port list offers then.
    void transparent_data()
    {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("shown"); // before the last step
        QTest::addColumn<QString>("written");
        const QString newOnLine9 = " StreamType=0x0001 InsertLinesF1=0x00000100 InsertLinesF2=0x00000100 Did=0x50 "
                                   "DataType=3 DataCountF1=0 DataCountF2=0 HeaderId1=0x96 HeaderId2=0x69 "
                                   "TimedBufferFlush=0 VancBufferFlush=0";
        const QStringList unlisted{"open=LAN2",
                                   "LAN2.DataType=9",
                                   "LAN2.transTimeout=45",
                                   "LAN2.transMode=7",
                                   "LAN2.TimedBufferFlush=5",
                                   "LAN2.VancBufferFlush=6",
                                   "LAN2.FieldIndicator=2",
                                   "LAN2.DataCountF1=40000",
                                   "LAN2.InsertLinesF1=0x7E000800"};
        const auto row = [](const char *name, const QStringList &setup, const QStringList &steps, const char *shown,
                            const QString &written) {
            QTest::newRow(name) << setup << steps << QString(shown) << written;
        };
        row("new: audio metadata on line 9, whatever mask the picker held", {"mask=0x00400000"},
            {"pick:CB_Port=PORTB", "B_Apply"}, "RB_Audio bytes 50 1 9669 - - 9 chroma 1 PORTB 9600,N,8,1",
            "PORTB" + newOnLine9);
        row("new: ports taken and given back, None applied: nothing written", {"inuse=PORTC"},
            {"pick:CB_Port=PORTA", "pick:CB_Port=2003", "pick:CB_Port=None",
             "ports:None PORTA PORTB MODEM 2000 2001 2002 2003 2004 2005 2006 2007 BTEST1", "B_Apply"},
            "RB_Audio bytes 50 1 9669 - - 9 chroma 1 None", "");
        row("program 1 is offered no file, bridge or other module's stream", {"inuse=LAN1,FILE1,BTEST1,INBRIDGE1"},
            {"ports:None PORTA PORTB PORTC MODEM 2001 2002 2003 2004 2005 2006 2007", "B_Cancel"},
            "RB_Audio bytes 50 1 9669 - - 9 chroma 1 None", "");
        row("program 2 is offered its own port and BTEST2", {"program=1", "inuse=LAN1,LAN4,BTEST1", "open=LAN3"},
            {"ports:None PORTA PORTB PORTC MODEM 2001 2002 2004 2005 2006 2007 BTEST2", "B_Cancel"},
            "RB_Custom bytes 51 1 1512 100 50 12 luma - 1 2002", "");
        row("two LAN ports numbered alike: the one picked is written", {"LAN3.PortAddr=2000"},
            {"pick:CB_Port=2000#2", "B_Apply"}, "RB_Audio bytes 50 1 9669 - - 9 chroma 1 2000", "LAN3" + newOnLine9);
        row("high capacity on lines 9 to 11", {"open=LAN2", "LAN2.DataType=1", "LAN2.InsertLinesF1=0x00000100"},
            {"RB_High", "B_Lines>CB_Line_9,CB_Line_10,B_Apply", "B_Apply"},
            "RB_High bytes 52 19 1512 - - [9, 10, 11] chroma 1 2001",
            "LAN2 InsertLinesF1=0x00000700 InsertLinesF2=0x00000700 Did=0x52 SDid=0x19 DataType=2 DataCountF1=0 "
            "DataCountF2=0 TimedBufferFlush=0");
        row("Caption CDP, then Custom: identifier and packet mode kept", {"open=LAN2"},
            {"RB_CDP", "RB_Custom", "B_Apply"}, "RB_Custom packet 61 1 9669 - - 12 chroma 1 2001",
            "LAN2 Did=0x61 DataType=6 DataCountF1=0 DataCountF2=0 HeaderId1=0x96 HeaderId2=0x69 TimedBufferFlush=0 "
            "VancBufferFlush=0");
        row("SD video: a chroma stream shows and saves as luma",
            {"program=1", "open=LAN3", "LAN3.DataType=3", "LAN3.DataChannel=C"}, {"B_Apply"},
            "RB_Audio bytes 51 1 1512 100 50 12 luma - 1 2002", "LAN3 DataChannel=L");
        row("values none of the choices stands for, kept", unlisted, {"B_Apply"},
            "- bytes 51 1 1512 40000 50 12 chroma 46 2001", "LAN2 InsertLinesF2=0x7E000800");
        row("... until the operator changes them", unlisted,
            {"RB_Custom", "pick:Combo1=5", "Option2", "RB_1Field", "type:EB_DataCount_0=300", "B_Apply"},
            "RB_Custom bytes 51 1 1512 300 50 12 chroma 5 2001",
            "LAN2 InsertLinesF2=0x7E000800 DataType=0 DataCountF1=300 TimedBufferFlush=1 transMode=1 transTimeout=4");
        row("a box showing \"-\" takes what is typed",
            {"open=LAN2", "LAN2.DataType=6", "LAN2.HeaderId1=0x00", "LAN2.HeaderId2=0x00", "LAN2.DataCountF1=0"},
            {"keys:EB_Identifier=5", "RB_ByteMode", "keys:EB_DataCount_0=7", "B_Apply"},
            "RB_Custom bytes 51 1 5 7 50 12 chroma 1 2001", "LAN2 DataType=0 DataCountF1=7 HeaderId2=0x05");
        row("None releases only the loaded stream", {"inuse=LAN1", "open=LAN2"},
            {"RB_Decode", "pick:CB_Port=None", "B_Apply"}, "RB_Custom bytes 51 1 1512 100 50 12 chroma 1 None",
            "LAN2 StreamType=0x0000");
        row("Cancel writes nothing", {"open=PORTA"},
            {"RB_SDP", "pick:CB_Port=PORTB", "type:EB_DID=7", "pick:Combo1=9", "B_Cancel"},
            "RB_SDP packet 7 3 5115 - - 12 chroma 9 PORTB 9600,N,8,1", "");
        row("Configure sets the serial port and shows its settings", {"open=PORTA"},
            {"B_Configure>pick:CB_Baud=19200,pick:CB_FlowControl=Hardware,B_Apply", "B_Apply"},
            "RB_Custom bytes 51 1 1512 100 50 12 chroma 1 PORTA 19200,N,8,1,HW",
            "PORTA Baud=19200 TxFlowCtrl=2 RxFlowCtrl=2");
    }
    void transparent()
    {
        QFETCH(QStringList, setup);
        QFETCH(QStringList, steps);
        Editing e;
        SetUpTransparent(e, setup);
        const clsKYR before = e.kyr;
        frmTransparent d(e.context);
        QVERIFY(Activate(d));
        QString shown;
        for (const QString &step : steps) {
            if (step == steps.last()) {
                shown = TransparentShown(d);
                QCOMPARE(DiffersFrom(d, TransparentView::Of(d.module())), QString());
            }
            if (step.startsWith("ports:")) {
                auto *list = child<QComboBox>(d, "CB_Port");
                QStringList ports;
                for (int k = 0; k < list->count(); ++k)
                    ports << list->itemText(k);
                QCOMPARE(ports.join(u' '), step.section(u':', 1));
            } else if (step.contains(u'>')) { // a button, then steps in the dialog it opens
                e.dialogs.steps = step.section(u'>', 1).split(u',');
                Step(d, step.section(u'>', 0, 0));
            } else {
                Step(d, step);
            }
        }
        QTEST(shown, "shown");
        QCOMPARE(e.titles(), QStringList());
        QVERIFY(!d.isVisible());
        QTEST(StreamChanges(before, e.kyr), "written");
    }

    // Every input control of every dialog has its name and an accessible name.
    void everyControlNamed()
    {
        Editing e;
        std::unique_ptr<QDialog> dialogs[] = {
            std::make_unique<frmLineUsage>(e.context), std::make_unique<frmLineSelection>(e.context),
            std::make_unique<frmConstant>(e.context), std::make_unique<frmBridging>(e.context)};
        for (auto &d : dialogs)
            for (QWidget *w : d->findChildren<QWidget *>())
                if ((w->inherits("QAbstractButton") || w->inherits("QLineEdit") || w->inherits("QGroupBox") ||
                     w->inherits("QAbstractSlider") || w->inherits("QComboBox")) &&
                    w->window() == d.get()) // not a part of a list's popup
                    QVERIFY2(!w->objectName().isEmpty() && !w->accessibleName().isEmpty(),
                             qPrintable(d->objectName() + " " + w->metaObject()->className()));
    }
};

QTEST_MAIN(tst_Editors)
#include "tst_editors.moc"
