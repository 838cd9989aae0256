// The caption module editor headless: the rules of both mapping drawings as
// tables, the drawings from the keyboard and the mouse, the presets, and
// frmCaption opening, showing each port, choosing ports, writing row by row
// and keeping what the operator did not change.
#include "Editing.h"
#include "MappingBox.h"
#include "MappingDialog.h"
#include "MappingDrawing.h"
#include "PortMapping.h"
#include "UpstreamMapping.h"
#include "frmCaption.h"
#include "frmMapping.h"
#include "frmPrimaryStreamMapping.h"
#include "frmSecondaryStreamMapping.h"
#include "frmUpstream.h"

#include <numeric>
#include <span>

namespace {

// Mapping tables as digit groups: "12345 1020 0000 0000 0" for frmMapping
// (Primary608Map Primary708Map Secondary608Map Secondary708Map, then
// XdsPortEnabled), "12345 0000 123456" for the upstream tables.
QList<std::span<qint16>> portTables(SharedState &s)
{
    return {s.Primary608Map, s.Primary708Map, s.Secondary608Map, s.Secondary708Map};
}
QList<std::span<qint16>> upstreamTables(SharedState &s)
{
    return {s.Upstream608Map, s.Upstream708Map, s.UpstreamServiceMap};
}
QString digits(const QList<std::span<qint16>> &tables, const bool *flag = nullptr)
{
    QStringList groups;
    for (const auto &table : tables)
        groups << std::accumulate(table.begin(), table.end(), QString(),
                                  [](const QString &text, qint16 v) { return text + QString::number(v); });
    if (flag)
        groups << QString::number(*flag);
    return groups.join(' ');
}
void setDigits(const QList<std::span<qint16>> &tables, const QString &text, bool *flag = nullptr)
{
    const QStringList groups = text.split(' ');
    for (qsizetype t = 0; t < tables.size(); ++t)
        for (size_t k = 0; k < tables[t].size(); ++k)
            tables[t][k] = qint16(groups[t].mid(qsizetype(k), 1).toInt());
    if (flag)
        *flag = groups.value(tables.size()) == "1";
}

// A box by a short word: "a3" is 608 output 3 (0-based), "v1" 708 output 1;
// an input is its group's number and index, "0.4" primary XDS.
MapBox boxOf(const QString &word)
{
    if (word.startsWith('a') || word.startsWith('v'))
        return {true, word.startsWith('a') ? MappingRules::Kind608 : MappingRules::Kind708, word.mid(1).toInt()};
    return {false, word.section('.', 0, 0).toInt(), word.section('.', 1, 1).toInt()};
}

// Clicks: "0.0 v1" clicks two boxes, "dbl:a2" double-clicks, "bg" clicks the
// background.
void play(MappingRules &rules, const QString &clicks)
{
    for (const QString &word : clicks.split(' ', Qt::SkipEmptyParts)) {
        if (word == "bg")
            rules.clickBackground();
        else if (word.startsWith("dbl:"))
            rules.doubleClick(boxOf(word.mid(4)));
        else
            rules.click(boxOf(word));
    }
}

// Ends a preset dialog: "ok", "other" (the second choice, then OK), "close"
// (the window's close box), "escape"; "other+close" chooses, then closes.
void EndPreset(QDialog &dialog, const QString &how)
{
    if (how.startsWith("other"))
        dialog.findChildren<QRadioButton *>().last()->click();
    if (how.endsWith("close")) {
        dialog.show();
        dialog.close();
    } else if (how.endsWith("escape")) {
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    } else {
        child<QPushButton>(dialog, "B_OK")->click();
    }
}

// The caption editor's own steps: "preset:HOW" says how the next preset
// dialog ends (EndPreset); "mapping:CLICKS" and
// "upstream:CLICKS" open a drawing, play the clicks and apply ("|cancel" at
// the end cancels); any other step is the operator's (Editing::step).
void Do(Editing &e, frmCaption &d, const QString &step)
{
    const QString what = step.section(':', 0, 0), arg = step.section(':', 1);
    if (what == "preset") {
        for (const char *name : {"frmPrimaryStreamMapping", "frmSecondaryStreamMapping"})
            e.dialogs.handlers[name] = [arg](QDialog &dialog) { EndPreset(dialog, arg); };
    } else if (what == "mapping" || what == "upstream") {
        e.dialogs.handlers[what == "mapping" ? "frmMapping" : "frmUpstream"] = [arg](QDialog &dialog) {
            play(static_cast<MappingDialog &>(dialog).rules(), arg.section('|', 0, 0));
            child<QPushButton>(dialog, arg.endsWith("|cancel") ? "B_Cancel" : "B_Apply")->click();
        };
        child<QPushButton>(d, what == "mapping" ? "B_StreamMapping" : "B_Upstream")->click();
    } else {
        e.step(d, step);
    }
}

// What the dialog shows of the module: the port list, identifiers, line,
// replacement, languages and easy readers, broadcast flag.
QString Shown(const frmCaption &d)
{
    auto *port = child<QComboBox>(d, "CB_Port");
    QStringList languages{"CB_Lang608F1", "CB_Lang608F2"}, readers{"CB_F1", "CB_F2"};
    for (int k = 0; k < 6; ++k) {
        languages << QStringLiteral("CB_Lang708_%1").arg(k);
        readers << QStringLiteral("CB_EasyReader708_%1").arg(k);
    }
    for (QString &name : languages)
        name = child<QComboBox>(d, name)->currentText();
    QString easy;
    for (const QString &name : readers)
        easy += child<QCheckBox>(d, name)->isChecked() ? '1' : '0';
    auto *bf = child<QComboBox>(d, "CB_BroadcastFlag");
    return QStringLiteral("%1 (%2); %3 %4; line %5 %6%7; %8; %9 %10; bf %11%12")
        .arg(port->currentText(), texts(port->model()).join(','), text(d, "EB_DID"), text(d, "EB_SDID"),
             child<QComboBox>(d, "CB_Line")->currentText(),
             child<QRadioButton>(d, "RB_Luma")->isChecked() ? "luma" : "chroma",
             child(d, "RB_Chroma")->isEnabled() ? "" : " only",
             child<QCheckBox>(d, "CB_Replace")->isChecked() ? "replace" : "keep", languages.join(','), easy)
        .arg(bf->isVisibleTo(&d) ? "" : "hidden ",
             bf->currentIndex() < 5 ? QString::number(bf->currentIndex()) : bf->currentText());
}

} // namespace

class tst_Caption : public QObject
{
    Q_OBJECT

private slots:
    // --- the rules of the two drawings, without a mouse

    // The rules of both drawings, without a mouse: "10" is frmMapping
    // with the secondary port present and no XDS port, "upstream" frmUpstream.
    void drawingRules_data()
    {
        // The tables as digits, before and after the clicks; the lines drawn
        // after them (-1 not counted); the tables after opening ("" unchanged).
        const auto add = Table<QString, QString, QString, QString, int, QString>(
            {"drawing", "tables", "clicks", "after", "lines", "opened"});
        const auto row = [add](const char *name, const char *drawing, const char *tables, const char *clicks,
                               const char *after, int lines = -1,
                               const char *opened = "") { add(name, drawing, tables, clicks, after, lines, opened); };
        const char *empty = "00000 0000 0000 0000 0";
        row("primary CC1 to Sec", "00", empty, "0.0 v1", "00000 2000 0000 0000 0", 1);
        row("then CC1 to S4: the line moves", "00", "00000 2000 0000 0000 0", "0.0 v3", "00000 4000 0000 0000 0", 1);
        row("XDS output first, then primary XDS", "00", empty, "a4 0.4", "00005 0000 0000 0000 0", 1);
        row("primary XDS to CC1 refused", "00", empty, "0.4 a0", empty, 0);
        row("primary XDS to a 708 service refused", "00", empty, "0.4 v0", empty, 0);
        row("primary CC2 to XDS refused", "00", empty, "0.1 a4", empty, 0);
        row("secondary CC3 to XDS refused", "10", empty, "1.2 a4", empty, 0);
        row("secondary CC4 to S6", "10", empty, "1.3 v5", "00000 0000 0000 0006 0", 1);
        row("two feeders of CC3 stay; a double click removes both", "10", "00300 0000 3000 0000 0", "dbl:a2", empty, 0);
        row("two outputs in a row: nothing pending", "00", empty, "a0 a1", empty, 0);
        row("two inputs in a row: nothing, then a fresh start", "00", empty, "0.0 0.1 0.2 a1", "00200 0000 0000 0000 0",
            1);
        row("background click drops the pending end", "00", empty, "0.0 bg a1", empty, 0);
        row("double click on an input clears both kinds", "00", "12345 1020 0000 0000 0", "dbl:0.0",
            "02345 0020 0000 0000 0", 5);
        row("XDS port to XDS output", "01", empty, "2.0 a4", "00000 0000 0000 0000 1", 1);
        row("XDS port to a 708 service refused", "01", empty, "2.0 v0", empty, 0);
        row("double click on XDS output: port and primary", "01", "00005 0000 0000 0000 1", "dbl:a4", empty, 0);
        row("absent secondary: its boxes do nothing", "00", "00000 0000 1200 3400 0", "1.0 a3 dbl:1.1",
            "00000 0000 1200 3400 0", 0);
        row("absent secondary untouched by an output's double click", "00", "10000 0000 1000 0000 0", "dbl:a0",
            "00000 0000 1000 0000 0", 0);
        row("absent XDS port: flag untouched", "00", "00005 0000 0000 0000 1", "2.0 a4 dbl:a4",
            "00000 0000 0000 0000 1", 0);
        row("stored CC1 to XDS and 708 service 9: not drawn, kept", "00", "50000 9000 0000 0000 0", "",
            "50000 9000 0000 0000 0", 0);
        row("a 708 service takes its output from a transcoded channel", "up", "12345 1234 123456", "",
            "12345 0000 123456", -1, "12345 0000 123456");
        row("three feeders of CC3 stored: the last keeps it", "up", "33345 0000 000000", "", "00345 0000 000000", -1,
            "00345 0000 000000");
        row("refused entries stay: CC1 to XDS, service 9", "up", "50000 9000 000000", "", "50000 9000 000000");
        row("CC1 to CC3 blocks CC3", "up", "12345 0000 123456", "0.0 a2", "32045 0000 123456");
        row("CC2 to 708 Sec blocks 708 Sec", "up", "12345 0000 123456", "0.1 v1", "12345 0200 103456");
        row("708 Pri to output Sec blocks 708 Sec and a transcoded CC1", "up", "00000 2000 020000", "0.0 v1 1.0 v1",
            "00000 0000 200000", -1, "00000 0000 020000");
        row("a channel keeps one 608 and one 708 target", "up", "00000 0000 000000", "0.0 a0 v2 0.0",
            "10000 3000 000000");
        row("XDS only to XDS", "up", "00000 0000 000000", "0.4 a0 0.4 v0 a4 0.4", "00005 0000 000000");
        row("708 inputs never to 608 outputs", "up", "00000 0000 000000", "1.0 a0", "00000 0000 000000");
        row("double clicks on 708 outputs block transcoded and native feeders", "up", "00000 1000 020000",
            "dbl:v0 dbl:v1", "00000 0000 000000");
        row("double click on upstream CC1 clears both kinds", "up", "10000 2000 000000", "dbl:0.0",
            "00000 0000 000000");
    }
    void drawingRules()
    {
        QFETCH(QString, drawing);
        QFETCH(QString, tables);
        QFETCH(QString, clicks);
        QFETCH(int, lines);
        QFETCH(QString, opened);
        SharedState state;
        state.SecondaryPortPresent = drawing == "10";
        state.XdsPortPresent = drawing == "01";
        const bool upstream = drawing == "up";
        const auto shown = upstream ? upstreamTables(state) : portTables(state);
        bool *flag = upstream ? nullptr : &state.XdsPortEnabled;
        setDigits(shown, tables, flag);
        PortMapping ports(state);
        UpstreamMapping up(state);
        MappingRules &rules = upstream ? static_cast<MappingRules &>(up) : ports;
        rules.open();
        QCOMPARE(digits(shown, flag), opened.isEmpty() ? tables : opened);
        play(rules, clicks);
        QTEST(digits(shown, flag), "after");
        QSet<int> outputs; // the upstream drawing never shows an output with two feeders
        for (const MapLink &link : rules.links())
            outputs << link.output.group * 10 + link.output.index;
        QVERIFY((!upstream || outputs.size() == rules.links().size()) && (lines < 0 || lines == rules.links().size()));
    }

    // --- the drawings as the operator meets them

    // Without a mouse: Tab reaches every usable box, Space starts a
    // connection, Enter completes it, Delete removes it; each box says what
    // it is and what it is connected to.
    void drawingFromTheKeyboard()
    {
        SharedState state;
        state.XdsPortPresent = true;
        state.Primary608Map = {1, 0, 0, 0, 0};
        state.MappingCancelled = true;
        frmMapping d(state);
        QVERIFY(Activate(d));
        const auto press = [&](const char *box, Qt::Key key) {
            child(d, box)->setFocus();
            QTest::keyClick(child(d, box), key);
        };
        const auto said = [&](const char *box) { return child(d, box)->accessibleDescription(); };
        child(d, "TB_608Output_0")->setFocus();
        QStringList names;
        for (int k = 0; k < 17; ++k, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            names << QApplication::focusWidget()->accessibleName();
        QCOMPARE(names.join(','), QStringLiteral("608 Embedded CC1,608 Embedded CC2,608 Embedded CC3,608 Embedded "
                                                 "CC4,608 Embedded XDS,708 Transcoded Pri,708 Transcoded Sec,708 "
                                                 "Transcoded S3,708 Transcoded S4,708 Transcoded S5,708 Transcoded "
                                                 "S6,Primary CC1,Primary CC2,Primary CC3,Primary CC4,Primary "
                                                 "XDS,XDS Port"));
        QVERIFY(!child(d, "TB_Secondary_0")->isEnabled());
        QCOMPARE(said("TB_Primary_0"), QStringLiteral("Connected to 608 Embedded CC1"));
        QCOMPARE(said("TB_608Output_0"), QStringLiteral("Fed by Primary CC1"));

        press("TB_Primary_0", Qt::Key_Space);
        QVERIFY(said("TB_Primary_0").startsWith("Connecting"));
        press("TB_Primary_0", Qt::Key_Escape); // drops the pending end, the dialog stays
        QVERIFY(d.isVisible() && !d.rules().pending());
        press("TB_Primary_0", Qt::Key_Space);
        child(d, "TB_708Output_2")->setFocus();
        QCOMPARE(d.drawing()->looseEnd(), d.drawing()->anchor({true, 1, 2})); // the guide follows the focus
        press("TB_708Output_2", Qt::Key_Return);
        QCOMPARE(digits(portTables(state), &state.XdsPortEnabled), QStringLiteral("10000 3000 0000 0000 0"));
        QCOMPARE(said("TB_Primary_0"), QStringLiteral("Connected to 608 Embedded CC1, 708 Transcoded S3"));
        press("TB_708Output_2", Qt::Key_Delete);
        QCOMPARE(digits(portTables(state), &state.XdsPortEnabled), QStringLiteral("10000 0000 0000 0000 0"));
        press("TB_XDS", Qt::Key_Enter);
        press("TB_608Output_4", Qt::Key_Space);
        QCOMPARE(said("TB_XDS"), QStringLiteral("Connected to 608 Embedded XDS"));
        QVERIFY(d.isVisible());
        press("TB_608Output_4", Qt::Key_Escape); // nothing pending: the dialog closes as cancelled
        QVERIFY(!d.isVisible() && state.MappingCancelled);
    }

    // With the mouse: click, click; the guide line snaps to the box under the
    // pointer; a double click disconnects; absent ports in red; Apply.
    void drawingWithTheMouse()
    {
        SharedState state;
        setDigits(upstreamTables(state), "12345 0000 123456");
        state.MappingCancelled = true;
        frmUpstream d(state);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::mouseClick(child(d, "TB_608Input_1"), Qt::LeftButton);
        QVERIFY(d.rules().pending());
        QTest::mouseMove(child(d, "TB_708Output_4"));
        QCOMPARE(d.drawing()->looseEnd(), d.drawing()->anchor({true, 1, 4}));
        QTest::mouseClick(child(d, "TB_708Output_4"), Qt::LeftButton);
        QCOMPARE(digits(upstreamTables(state)), QStringLiteral("12345 0500 123406"));
        QTest::mouseClick(child(d, "TB_608Input_0"), Qt::LeftButton);
        QTest::mouseClick(d.drawing(), Qt::LeftButton, {}, QPoint(5, d.drawing()->height() / 2));
        QVERIFY(!d.rules().pending());
        QTest::mouseDClick(child(d, "TB_608Output_0"), Qt::LeftButton);
        QCOMPARE(digits(upstreamTables(state)), QStringLiteral("02345 0500 123406"));
        child<QPushButton>(d, "B_Apply")->click();
        QVERIFY(!state.MappingCancelled);

        SharedState ports;
        frmMapping m(ports);
        m.show();
        const QImage absent = child(m, "TB_Secondary_2")->grab().toImage();
        bool red = false;
        for (int y = 0; y < absent.height() && !red; ++y)
            for (int x = 0; x < absent.width() && !red; ++x)
                red = absent.pixelColor(x, y).red() > 200 && absent.pixelColor(x, y).green() < 80;
        QVERIFY2(red, "an absent port's box is written in red");
    }

    // A preset dialog closed by its close box or by Escape acts as OK on the
    // choice it shows, so a newly given port is always mapped.
    void presetClosedWithoutOK_data()
    {
        // The tables as digits (frmMapping's form), from all zero, no XDS port.
        const auto row = Table<bool, QString, QString>({"secondary", "how", "tables"});
        for (const QString how : {"ok", "close", "escape"}) {
            row(qPrintable("primary, normal: " + how), false, how, "12345 1020 0000 0000 0");
            row(qPrintable("primary, other: " + how), false, "other+" + how, "34005 2000 0000 0000 0");
            row(qPrintable("secondary, normal: " + how), true, how, "12005 1000 0034 0020 0");
            row(qPrintable("secondary, other: " + how), true, "other+" + how, "12005 1000 3400 2000 0");
        }
    }
    void presetClosedWithoutOK()
    {
        QFETCH(bool, secondary);
        QFETCH(QString, how);
        SharedState state;
        std::unique_ptr<QDialog> d;
        if (secondary)
            d = std::make_unique<frmSecondaryStreamMapping>(state);
        else
            d = std::make_unique<frmPrimaryStreamMapping>(state);
        EndPreset(*d, how);
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QTEST(digits(portTables(state), &state.XdsPortEnabled), "tables");
    }

    // --- the caption editor

    void opening_data()
    {
        const auto row = Table<QStringList, QString>({"setup", "shown"});
        const QString all = "(None,PORTA,PORTB,PORTC,MODEM,2000,2001,2002,2003,2004,2005,2006,2007); ";
        const QString eng = "eng,eng,eng,eng,eng,eng,eng,eng 00000000; ";
        const QString none = "none,none,none,none,none,none,none,none 00000000; ";
        row("new module: defaults whatever the caption program held",
            {"CAPPGM1.Language608F2=spn", "CAPPGM1.OverwriteUpstream=0", "CAPPGM1.EasyReader708S3=1",
             "CAPPGM1.RCControl=3"},
            "None " + all + "61 1; line 9 luma; replace; " + none + "bf 3");
        row("ports 1 to 5: the list offers the primary port's stream and the free ones",
            {"cap:4:E:0", "cap:5:E:1", "cap:0:E:2", "cap:6:D:4", "cap:7:D:2", "current=4", "LAN1.Did=0x62",
             "LAN1.SDid=0x0a", "LAN1.InsertLinesF1=0x00001000", "CAPPGM1.Language608F2=frn",
             "CAPPGM1.EasyReader608F1=1"},
            "2000 (None,PORTB,PORTC,MODEM,2000,2004,2005,2006,2007); 62 A; line 13 chroma; replace; "
            "eng,frn,eng,eng,eng,eng,eng,eng 10000000; bf 0");
        row("a stream of program 2, or with Mode 3, belongs to no port",
            {"cap:4:E:0", "cap:5:E:3", "cap:6:E:1:2", "current=4", "LAN1.DataChannel=L"},
            "2000 (None,PORTA,PORTB,PORTC,MODEM,2000,2003,2004,2005,2006,2007); 51 1; line 9 luma; replace; " + eng +
                "bf 0");
        row("SD video: luma only; stored language and mode outside the lists shown",
            {"program=1", "cap:8:E:0:2", "current=8", "CAPPGM2.Language708S2=deu", "CAPPGM2.RCControl=7",
             "LAN5.InsertLinesF1=0x00001000"},
            "2004 " + all + "51 1; line 13 luma only; replace; eng,eng,eng,deu,eng,eng,eng,eng 00000000; " +
                "bf Broadcast Flag mode 7");
        row("a stored primary port on a file stream shows as itself", {"cap:12:E:0", "current=12"},
            "Stereo (None,PORTA,PORTB,PORTC,MODEM,2000,2001,2002,2003,2004,2005,2006,2007,Stereo); 51 1; line 9 "
            "chroma; replace; " +
                eng + "bf 0");
        row("streams without a primary port open as the module, not as a new one",
            {"cap:5:E:1", "LAN2.Did=0x70", "CAPPGM1.Language608F1=spn"},
            "None (None,PORTA,PORTB,PORTC,MODEM,2000,2002,2003,2004,2005,2006,2007); 70 1; line 9 chroma; replace; "
            "spn,eng,eng,eng,eng,eng,eng,eng 00000000; bf 0");
        row("one broadcast flag resource, used by program 2: hidden",
            {"KYR.BfStreams=1", "CAPPGM2.RCControl=2", "CAPPGM1.RCControl=4", "cap:4:E:0", "current=4"},
            "2000 " + all + "51 1; line 9 chroma; replace; " + eng + "bf hidden 4");
        row("one broadcast flag resource, free: shown", {"KYR.BfStreams=1", "CAPPGM1.RCControl=1"},
            "None " + all + "61 1; line 9 luma; replace; " + none + "bf 1");
        row("no broadcast flag resource: hidden", {"KYR.BfStreams=0"},
            "None " + all + "61 1; line 9 luma; replace; " + none + "bf hidden 0");
    }
    void opening()
    {
        QFETCH(QStringList, setup);
        Editing e;
        e.setup(setup);
        frmCaption d(e.context);
        QTEST(Shown(d), "shown");
        QCOMPARE(e.messages.count(), 0);
        QCOMPARE(child<QTabBar>(d, "TS_Ports")->currentIndex(), 0);
    }

    // What each tab shows, by port, stream and revision.
    void showPort_data()
    {
        // Shown: the visible port controls, B_Configure's caption, the boxes.
        const auto row = Table<QStringList, int, QString>({"setup", "tab", "shown"});
        const QStringList module{"cap:0:E:0", "cap:3:E:1", "cap:4:E:2", "cap:5:D:3", "cap:6:D:2", "current=0"};
        row("primary on PORTA with an external modem", module + QStringList{"PORTA.ModemPresent=1"}, 0,
            "B_Configure CB_Echo F_Input CB_ExternalModem CB_PassThrough TB_Init EB_Init B_StreamMapping 9600,N,8,1");
        row("primary on PORTA, hardware flow, no modem", module + QStringList{"PORTA.RxFlowCtrl=2"}, 0,
            "B_Configure CB_Echo F_Input CB_ExternalModem B_StreamMapping 9600,N,8,1,HW");
        row("revision F: no modem controls", module + QStringList{"PORTA.ModemPresent=1", "KYR.Rev=F"}, 0,
            "B_Configure CB_Echo F_Input B_StreamMapping 9600,N,8,1");
        row("secondary on the modem stream: pass-through only", module, 1,
            "B_Configure CB_Echo F_Input CB_PassThrough B_StreamMapping 9600,N,8,1");
        row("XDS port on a LAN port", module, 2, "CB_Echo B_StreamMapping");
        row("708 output", module, 3, "F_Protocol TB_Delay EB_Delay");
        row("608 output", module, 4, "");
        row("secondary without a stream", {"cap:4:E:0", "current=4"}, 1, "CB_Echo F_Input");
        row("another port before the primary one: refused, back on tab 1", {}, 3,
            "CB_Echo F_Input Unable to set up other ports");
    }
    void showPort()
    {
        QFETCH(QStringList, setup);
        QFETCH(int, tab);
        Editing e;
        e.setup(setup);
        frmCaption d(e.context);
        d.show();
        e.step(d, QStringLiteral("tab:%1").arg(tab));
        QStringList shown;
        for (const char *name : {"B_Configure", "CB_Echo", "F_Input", "CB_ExternalModem", "CB_PassThrough", "TB_Init",
                                 "EB_Init", "F_Protocol", "TB_Delay", "EB_Delay", "B_StreamMapping"})
            if (child(d, name)->isVisible())
                shown << name;
        auto *configure = child<QPushButton>(d, "B_Configure");
        if (configure->isVisible()) {
            shown << configure->text();
            QCOMPARE(configure->accessibleName(), "Configure " + configure->text()); // follows the caption
        }
        QTEST((shown + e.titles()).join(' '), "shown");
        const auto *tabs = child<QTabBar>(d, "TS_Ports");
        QCOMPARE(tabs->currentIndex(), e.titles().isEmpty() ? tab : 0);
        // The controls below the tabs tell a screen reader whose port they are.
        QCOMPARE(child(d, "F_Port")->accessibleName(), tabs->tabText(tabs->currentIndex()));
    }

    // Apply writes row by row what the operator chose and nothing else;
    // Cancel writes nothing; stored values the dialog cannot show stay.
    void apply_data()
    {
        // Opened: the nested dialogs.
        const auto add =
            Table<QStringList, QStringList, QStringList, QStringList>({"setup", "steps", "changed", "opened"});
        const auto row = [add](const char *name, const QStringList &setup, const QStringList &steps,
                               const QStringList &changed,
                               const QStringList &opened = {}) { add(name, setup, steps, changed, opened); };
        const QStringList module{"cap:4:E:0", "cap:5:E:1", "cap:0:E:2", "cap:6:D:4", "cap:7:D:2", "current=4"};
        const QString line15 = " DataChannel=L InsertLinesF1=0x00004000 Did=0x7F SDid=0x00";
        row("applied unchanged: every row as stored", module, {"B_Apply"}, {});
        row("stored values beyond the lists and the boxes stay",
            module + QStringList{"CAPPGM1.Language608F1=deu", "CAPPGM1.RCControl=7", "LAN3.FrameDelay=40000",
                                 "LAN1.C1To708=9", "LAN1.C2To708=70000", "CAPPGM1.UpstreamS6=7", "LAN1.C3To608=5",
                                 "CAPPGM1.C1To708=0", "CAPPGM1.C2To708=0", "CAPPGM1.C3To708=0", "CAPPGM1.C4To708=0"},
            {"mapping:", "upstream:", "tab:3", "type:EB_Delay=40000", "tab:0", "B_Apply"}, {},
            {"frmMapping", "frmUpstream"});
        row("Cancel after changes writes nothing", module,
            {"pick:CB_Lang608F2=spn", "tab:1", "pick:CB_Port=None", "tab:0", "yes", "pick:CB_Port=None", "B_Cancel"},
            {}, {"frmPrimaryStreamMapping"});
        row("languages, easy readers, broadcast flag, identifiers, line", module,
            {"pick:CB_Lang608F2=spn", "pick:CB_Lang708_5=none", "CB_F2", "CB_EasyReader708_0",
             "pick:CB_BroadcastFlag=Always Insert Broadcast Flag", "CB_Replace", "type:EB_DID=7f",
             "type:EB_SDID=", "pick:CB_Line=15", "RB_Luma", "B_Apply"},
            {"CAPPGM1 OverwriteUpstream=0 Language608F2=spn Language708S6= EasyReader608F2=1 EasyReader708S1=1 "
             "RCControl=4",
             "PORTA" + line15, "LAN1" + line15, "LAN2" + line15, "LAN3" + line15, "LAN4" + line15});
        row("serial settings through Configure", module,
            {"tab:2", "B_Configure>pick:CB_FlowControl=Hardware,B_Apply", "B_Apply"},
            {"PORTA TxFlowCtrl=2 RxFlowCtrl=2"}, {"frmRS232"});
        row("port flags and the 708 output's protocol and delay", module,
            {"CB_Echo", "RB_FieldMarked", "tab:1", "CB_Echo", "tab:2", "CB_Echo", "tab:3", "RB_Push",
             "type:EB_Delay=12", "tab:0", "B_Apply"},
            {"PORTA Echo=1", "LAN1 DataType=2 Echo=1", "LAN2 Echo=1", "LAN3 DataType=3 FrameDelay=12"});
        row("releasing the primary port, Yes: every stream released, nothing else", module,
            {"CB_Replace", "yes", "pick:CB_Port=None", "B_Apply"},
            {"PORTA StreamType=0x0000", "LAN1 StreamType=0x0000", "LAN2 StreamType=0x0000", "LAN3 StreamType=0x0000",
             "LAN4 StreamType=0x0000"});
        row("releasing the primary port, No: nothing changes", module, {"no", "pick:CB_Port=None", "B_Apply"}, {});
        row("a stream with Mode 3 is neither shown nor released", {"cap:4:E:0", "cap:5:E:3", "current=4"},
            {"yes", "pick:CB_Port=None", "B_Apply"}, {"LAN1 StreamType=0x0000"});
        // Two primary streams in one program, each in a slot of its own; the
        // other ports' streams go with the one whose insertion they share.
        const QStringList two{"cap:4:E:0", "cap:6:E:0", "cap:7:E:1", "cap:8:D:2", "LAN3.Did=0x62", "LAN4.Did=0x62"};
        row("two primary streams: the first slot's module releases its own", two + QStringList{"current=4"},
            {"tab:1", "offers:CB_Port=None PORTA PORTB PORTC MODEM 2001 2005 2006 2007", "tab:0", "yes",
             "pick:CB_Port=None", "B_Apply"},
            {"LAN1 StreamType=0x0000", "LAN5 StreamType=0x0000"});
        row("two primary streams: the second slot's module releases its own", two + QStringList{"current=6"},
            {"tab:1", "offers:CB_Port=None PORTA PORTB PORTC MODEM 2001 2003 2005 2006 2007", "tab:0", "yes",
             "pick:CB_Port=None", "B_Apply"},
            {"LAN3 StreamType=0x0000", "LAN4 StreamType=0x0000"});
        row("the primary port moves: old stream released, new one written", module, {"pick:CB_Port=2004", "B_Apply"},
            {"LAN1 StreamType=0x0000", "LAN5 StreamType=0x0010 InsertLinesF1=0x00000100 InsertLinesF2=0x00000000"});
        row("a secondary port through its preset, the XDS port keeping XDS", {"cap:4:E:0", "cap:0:E:2", "current=4"},
            {"tab:1", "preset:other", "pick:CB_Port=2005", "B_Apply"},
            {"LAN1 C3To608=0 C4To608=0 C2To708=0 C3To708=0 C4To708=0",
             "LAN6 StreamType=0x0010 InsertLinesF1=0x00000100 InsertLinesF2=0x00000000 Mode=1 C1To608=3 C2To608=4 "
             "C3To608=0 C4To608=0 XDSEnabled=0 C1To708=2 C2To708=0 C3To708=0 C4To708=0 ModemInit="},
            {"frmSecondaryStreamMapping"});
        row("a preset closed by its close box maps the port as OK would", {"cap:4:E:0", "current=4"},
            {"tab:1", "preset:close", "pick:CB_Port=2005", "B_Apply"},
            {"LAN1 C3To608=0 C4To608=0 C2To708=0 C3To708=0 C4To708=0",
             // C3, C4 to 608 CC3, CC4 and C3 to 708 Sec: the normal preset, as the defaults hold.
             "LAN6 StreamType=0x0010 InsertLinesF1=0x00000100 InsertLinesF2=0x00000000 Mode=1 C1To608=0 C2To608=0 "
             "XDSEnabled=0 C1To708=0 C2To708=0 C4To708=0 ModemInit="},
            {"frmSecondaryStreamMapping"});
        row("releasing the secondary port: the primary preset on the editor's tables", module,
            {"tab:1", "preset:other", "pick:CB_Port=None", "B_Apply"},
            {"LAN1 C1To608=3 C2To608=4 C3To608=0 C4To608=0 C1To708=2 C2To708=0 C3To708=0 C4To708=0",
             "LAN2 StreamType=0x0000"},
            {"frmPrimaryStreamMapping"});
        row("XDS port released: XDS back on the primary port",
            {"cap:4:E:0", "cap:0:E:2", "current=4", "LAN1.XDSEnabled=0"}, {"tab:2", "pick:CB_Port=None", "B_Apply"},
            {"PORTA StreamType=0x0000", "LAN1 XDSEnabled=1"});
        row("two LAN ports with one number: the chosen one is written",
            {"cap:4:E:0", "current=4", "LAN2.PortAddr=2000"}, {"tab:2", "pick:CB_Port=2000", "B_Apply"},
            {"LAN1 XDSEnabled=0",
             "LAN2 StreamType=0x0010 InsertLinesF1=0x00000100 InsertLinesF2=0x00000000 Mode=2 C1To608=0 C2To608=0 "
             "C3To608=0 C4To608=0 C1To708=0 C2To708=0 C3To708=0 C4To708=0 ModemInit="});
        row("new module: upstream defaults whatever the caption program held",
            {"CAPPGM1.C1To608=4", "CAPPGM1.UpstreamS2=5", "CAPPGM1.OverwriteUpstream=0"},
            {"preset:ok", "pick:CB_Port=2007", "B_Apply"},
            {"CAPPGM1 OverwriteUpstream=1 C1To608=1 C1To708=0 C2To708=0 C3To708=0 C4To708=0 UpstreamS2=2 "
             "Language608F1= Language608F2= Language708S1= Language708S2= Language708S3= Language708S4= Language708S5= "
             "Language708S6=",
             "LAN8 StreamType=0x0010 DataChannel=L InsertLinesF1=0x00000100 InsertLinesF2=0x00000000 Did=0x61 "
             "C2To708=0 C4To708=0 ModemInit="},
            {"frmPrimaryStreamMapping"});
        row("mappings drawn and applied; a cancelled drawing changes nothing", module,
            {"mapping:0.0 v5 2.0 a4|cancel", "mapping:dbl:0.0 1.3 v5", "upstream:1.0 v1", "B_Apply"},
            // Opening the upstream drawing ends the stored transcoding into
            // services the upstream 708 services already feed.
            {"CAPPGM1 C1To708=0 C2To708=0 C3To708=0 C4To708=0 UpstreamS1=2 UpstreamS2=0", "LAN1 C1To608=0 C1To708=0",
             "LAN2 C4To708=6"},
            {"frmMapping", "frmMapping", "frmUpstream"});
    }
    void apply()
    {
        QFETCH(QStringList, setup);
        QFETCH(QStringList, steps);
        Editing e;
        e.setup(setup);
        e.state.Primary608Map = {4, 4, 4, 4, 4}; // stale tables of another module
        e.state.Secondary708Map = {6, 6, 6, 6};
        const clsKYR before = e.kyr;
        frmCaption d(e.context);
        d.show();
        for (const QString &step : steps)
            Do(e, d, step);
        QVERIFY(!d.isVisible());
        QTEST(changes(before, e.kyr), "changed");
        QTEST(e.dialogs.opened, "opened");
        QVERIFY(e.messages.answers.isEmpty());
    }

    // An init string goes to the encoder as a parameter line: a control
    // character is refused, naming it, and nothing else changes.
    void initString_data()
    {
        // Message: the first line of the refusal.
        const auto add = Table<QString, QString, QString>({"typed", "message", "written"});
        const auto row = [add](const char *name, const QString &typed, const QString &held, const QString &written) {
            add(name, typed,
                held.isEmpty() ? held : "The init string holds " + held + ", which cannot be sent to the encoder.",
                written);
        };
        row("prompt characters are legal", "AT#CID=1!>", "", "AT#CID=1!>");
        row("Latin-1 letters", "ATé", "", "ATé");
        row("a tab", "AT\tZ", "a tab", "ATZ");
        row("an escape", "AT\x1bZ", "an escape", "ATZ");
        row("a character beyond Latin-1", "AT€", "the character \"€\"", "ATZ");
    }
    void initString()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        Editing e;
        e.setup({"cap:0:E:0", "current=0", "PORTA.ModemPresent=1"});
        frmCaption d(e.context);
        QVERIFY(Activate(d));
        auto *init = child<QLineEdit>(d, "EB_Init");
        init->setFocus();
        init->selectAll();
        init->insert(typed); // typed or pasted
        // Leaving the box by a click elsewhere, then by Apply.
        for (const char *name : {"CB_Echo", "B_Apply"}) {
            QTest::mouseClick(child(d, name), Qt::LeftButton);
            if (!message.isEmpty())
                QTRY_COMPARE(QApplication::focusWidget(), init);
        }
        QCOMPARE(e.messages.boxes.value(0).text.section("\r\n", 0, 0), message);
        if (!message.isEmpty()) {
            QCOMPARE(e.titles(), QStringList({"Invalid Init String", "Invalid Init String"}));
            QVERIFY(d.isVisible() && !child<QCheckBox>(d, "CB_Echo")->isChecked()); // both clicks held back
            init->setText("ATZ");
            child<QPushButton>(d, "B_Apply")->click();
        }
        QVERIFY(!d.isVisible());
        QTEST(e.kyr.sSTR(StreamSlot::PORTA, StrRow::ModemInit), "written");
    }
};

QTEST_MAIN(tst_Caption)
#include "tst_caption.moc"
