// What the workbench decides without a window: the checks before a save,
// the review of edits made through the real editors, a configuration file
// as a document (what a save of a partial file writes, what is refused), and
// the recent files.
#include "ChangeReview.h"
#include "ConfigDocument.h"
#include "ConfigFile.h"
#include "Editing.h"
#include "ModuleEditors.h"
#include "RecentFiles.h"
#include "SaveRows.h"
#include "SendSummary.h"
#include "SetupChecks.h"
#include "TestFiles.h"
#include "VerifyReport.h"
#include "frmLanSetup.h"
#include "frmLineUsage.h"

#include <QtTest/QtTest>

namespace {

// Every change of a review as "Program / Module: line".
QStringList reviewed(const ChangeReview &review)
{
    QStringList lines;
    for (const ChangeReview::Group &group : review.groups())
        for (const ChangeReview::Change &change : group.changes)
            lines << group.program + " / " + group.module + ": " + ChangeReview::Line(change);
    return lines;
}

// Two transparent modules of program 1 on LAN1 and LAN2, each on line 10 of
// field 1 and no line of field 2, with the factory DID and SDID.
const QStringList kTwoModules{
    "LAN1.StreamType=0x0001", "LAN1.Program=1", "LAN1.InsertLinesF1=0x00000200", "LAN1.InsertLinesF2=0x0",
    "LAN2.StreamType=0x0001", "LAN2.Program=1", "LAN2.InsertLinesF1=0x00000200", "LAN2.InsertLinesF2=0x0"};
const QStringList kCaption{"cap:4:E:0", "current=4"};

} // namespace

class tst_Workbench : public QObject
{
    Q_OBJECT

private slots:
    // --- the checks: each rule with what it finds and what it lets pass

    void checks_data()
    {
        // The model at its factory defaults (program 1 HD 1080i, program 2 SD
        // 625), with the setup words; what every finding says, in part.
        const auto row = Table<QStringList, QStringList>({"setup", "findings"});
        row("factory defaults: nothing", {}, {});
        row("two modules, one line, one DID and SDID", kTwoModules,
            {"Program 1: the transparent module on 2000 and the transparent module on 2001 both insert on line 10 "
             "of field 1 in chroma with DID 0x51 and SDID 0x01"});
        row("the same line with another SDID", kTwoModules + QStringList{"LAN2.SDid=0x02"}, {});
        row("the same line in the other channel", kTwoModules + QStringList{"LAN2.DataChannel=L"}, {});
        row("the same line of the other program", kTwoModules + QStringList{"LAN2.Program=2"}, {});
        row("the same line of the other field",
            kTwoModules + QStringList{"LAN2.InsertLinesF1=0x0", "LAN2.InsertLinesF2=0x00000200"}, {});
        row("a decoding module inserts nothing", kTwoModules + QStringList{"LAN2.Direction=D"}, {});
        row("a caption module's ports share their line", {"cap:4:E:0", "cap:5:E:1", "cap:0:E:2"}, {});
        row("a caption module and a transparent module on its line and identifiers",
            {"cap:4:E:0", "LAN2.StreamType=0x0001", "LAN2.Program=1", "LAN2.InsertLinesF1=0x00000100",
             "LAN2.InsertLinesF2=0x0"},
            {"Program 1: the caption module and the transparent module on 2001 both insert on line 9 of field 1"});
        row("a line SD 625 does not carry",
            {"LAN1.StreamType=0x0001", "LAN1.Program=2", "LAN1.InsertLinesF1=0x00000030"},
            {"Program 2: the transparent module on 2000 inserts on lines 5, 6 of field 1, which SD 625 Line video "
             "does not carry (valid lines are 7 to 22)."});
        row("a valid line out of the recommended range is no finding",
            {"LAN1.StreamType=0x0001", "LAN1.Program=2", "LAN1.InsertLinesF1=0x00000040"}, {});
        row("any SD without SD at the input: a caution, no finding",
            {"LAN1.StreamType=0x0001", "LAN1.Program=2", "LAN1.InsertLinesF1=0x00000010", "PGM2.RequestedVideoMode=1",
             "PGM2.VideoMode=8"},
            {});
        row("any SD with SD 525 at the input: its lines",
            {"LAN1.StreamType=0x0001", "LAN1.Program=2", "PGM2.RequestedVideoMode=1", "PGM2.VideoMode=2"},
            {"Program 2: the transparent module on 2000 inserts on line 8 of field 1, which SD 525 Line video does "
             "not carry (valid lines are 10 to 19).",
             "Program 2: the transparent module on 2000 inserts on line 8 of field 2"});
        row("no insertion requested: no finding", {"LAN1.StreamType=0x0001", "PGM1.RequestedVideoMode=0"}, {});
        row("a module on no line", {"LAN1.StreamType=0x0001", "LAN1.InsertLinesF1=0x0", "LAN1.InsertLinesF2=0x0"},
            {"Program 1: the transparent module on 2000 inserts on no line, in either field."});
        row("an unknown requested video format", {"PGM1.RequestedVideoMode=15"},
            {"Program 1 requests video format 15, which the encoder does not know."});
        row("a caption port mapping nothing",
            kCaption + QStringList{"LAN1.C1To608=0", "LAN1.C2To608=0", "LAN1.C3To608=0", "LAN1.C4To608=0",
                                   "LAN1.XDSEnabled=0", "LAN1.C1To708=0", "LAN1.C2To708=0", "LAN1.C3To708=0",
                                   "LAN1.C4To708=0"},
            {"Program 1: the caption module's primary port (2000) feeds no output"});
        row("a caption port mapping only XDS",
            kCaption + QStringList{"LAN1.C1To608=0", "LAN1.C2To608=0", "LAN1.C3To608=0", "LAN1.C4To608=0",
                                   "LAN1.C1To708=0", "LAN1.C2To708=0", "LAN1.C3To708=0", "LAN1.C4To708=0"},
            {});
        row("an XDS port passing no XDS", {"cap:4:E:0", "cap:0:E:2", "PORTA.XDSEnabled=0"},
            {"Program 1: the caption module's XDS port (PORTA) feeds no output"});
        row("a field-marked port needs no mapping",
            kCaption + QStringList{"LAN1.DataType=2", "LAN1.C1To608=0", "LAN1.C2To608=0", "LAN1.C3To608=0",
                                   "LAN1.C4To608=0", "LAN1.XDSEnabled=0", "LAN1.C1To708=0", "LAN1.C2To708=0",
                                   "LAN1.C3To708=0", "LAN1.C4To708=0"},
            {});
        const QStringList lan{"KYR.IpNum=10.0.0.7", "KYR.Netmask=255.255.255.0"};
        row("the old network's broadcast address", lan + QStringList{"KYR.Broadcast=192.168.0.255"},
            {"The broadcast address 192.168.0.255 does not belong to the address 10.0.0.7 with netmask "
             "255.255.255.0 (that network's is 10.0.0.255)"});
        row("a host's address as broadcast address", lan + QStringList{"KYR.Broadcast=10.0.0.9"},
            {"The broadcast address 10.0.0.9 does not belong"});
        row("the network's broadcast address", lan + QStringList{"KYR.Broadcast=10.0.0.255"}, {});
        row("the limited broadcast address", lan + QStringList{"KYR.Broadcast=255.255.255.255"}, {});
        row("no address as broadcast address", lan + QStringList{"KYR.Broadcast=10.0.0"},
            {"The broadcast address \"10.0.0\" is no address"});
        row("with DHCP the server decides", lan + QStringList{"KYR.Broadcast=192.168.0.255", "KYR.DHCP=1"}, {});
        const QStringList twoPorts{"LAN1.StreamType=0x0001", "LAN2.StreamType=0x0001", "LAN2.Program=2"};
        row("two modules on one LAN port", twoPorts + QStringList{"LAN2.PortAddr=2000"},
            {"LAN1 and LAN2 both use LAN port 2000; only one of them can receive on it."});
        row("three modules on one LAN port",
            twoPorts +
                QStringList{"LAN2.PortAddr=2000", "LAN5.StreamType=0x0001", "LAN5.PortAddr=2000", "LAN5.Did=0x52"},
            {"LAN1, LAN2 and LAN5 all use LAN port 2000; only one of them can receive on it."});
        row("a free LAN stream's port is free to repeat", {"LAN1.StreamType=0x0001", "LAN2.PortAddr=2000"}, {});
        row("the setup port", {"LAN1.StreamType=0x0001", "LAN1.PortAddr=1080"},
            {"LAN1 uses LAN port 1080, the port on which the encoder is set up."});
        row("no TCP port", {"LAN1.StreamType=0x0001", "LAN1.PortAddr=70000"},
            {"LAN1 uses LAN port 70000, which is no TCP port (1 to 65535)."});
        row("a module on a program the encoder lacks",
            {"KYR.ProgramCount=1", "LAN1.StreamType=0x0001", "LAN1.Program=2"},
            {"The transparent module on 2000 (LAN1) is on program 2, which this encoder does not have (it has 1 "
             "program)."});
        row("more modules than the encoder takes", twoPorts + QStringList{"KYR.TransparentStreams=1"},
            {"2 transparent modules are set up, but the encoder takes 1."});
        const QStringList bridge{"INBRIDGE1.StreamType=0x0004", "INBRIDGE1.Program=2", "INBRIDGE1.Direction=D",
                                 "OUTBRIDGE1.StreamType=0x0004", "OUTBRIDGE1.Program=1"};
        row("a bridge from program 2 to program 1", bridge, {});
        row("a bridge on revision B", bridge + QStringList{"KYR.Rev=B"},
            {"The bridging module cannot be saved: an encoder of revision B takes no bridge"});
        row("half a bridge", {"INBRIDGE1.StreamType=0x0004"},
            {"The bridging module is incomplete: INBRIDGE1 is set up as a bridge but OUTBRIDGE1 is not."});
        row("a bridge into its own program", bridge + QStringList{"OUTBRIDGE1.Program=2"},
            {"The bridging module takes its data from program 2 and inserts it into the same program"});
    }
    void checks()
    {
        QFETCH(QStringList, setup);
        QFETCH(QStringList, findings);
        Editing e;
        e.setup(setup);
        const QStringList found = SetupChecks::Run(e.kyr);
        QVERIFY2(found.size() == findings.size(), qPrintable(found.join('\n')));
        for (int i = 0; i < found.size(); ++i)
            QVERIFY2(found[i].startsWith(findings[i]), qPrintable(found[i]));
    }

    // --- the review: edits through the real editors, named and grouped

    void review_data()
    {
        // The editor opened (a stream type, or "lan", "lines"), the setup and
        // the operator's steps in it; every change the review lists.
        const auto row = Table<QString, QStringList, QStringList, QStringList>({"editor", "setup", "steps", "listed"});
        row("nothing changed", "16", kCaption, {"B_Apply"}, {});
        row("a caption language", "16", kCaption, {"pick:CB_Lang608F2=spn", "B_Apply"},
            {"Program 1 / Caption Module: CAPPGM1 Language608F2 (608 field 2 language): \"eng\" -> \"spn\""});
        row("a caption module's line: each of its ports", "16", {"cap:4:E:0", "cap:5:E:1", "current=4"},
            {"pick:CB_Line=15", "B_Apply"},
            {"Program 1 / Caption Module: LAN1 InsertLinesF1 (insert lines, field 1): 0x00000100 (line 9) -> "
             "0x00004000 (line 15)",
             "Program 1 / Caption Module: LAN2 InsertLinesF1 (insert lines, field 1): 0x00000100 (line 9) -> "
             "0x00004000 (line 15)"});
        row("a transparent module's identifiers", "1", {"open=LAN2"}, {"type:EB_DID=62", "type:EB_SDID=7", "B_Apply"},
            {"Program 1 / Transparent Module on 2001: LAN2 Did (data ID (DID)): 0x51 -> 0x62",
             "Program 1 / Transparent Module on 2001: LAN2 SDid (secondary data ID (SDID)): 0x01 -> 0x07"});
        row("a transparent module removed", "1", {"open=LAN2"}, {"pick:CB_Port=None", "B_Apply"},
            {"Program 1 / Transparent Module on 2001 (removed): LAN2 StreamType (module type): 0x0001 "
             "(transparent) -> 0x0000 (none)"});
        row("the network settings", "lan", {},
            {"type:EB_IP_0=10", "type:EB_IP_1=0", "type:EB_IP_2=0", "type:EB_IP_3=7", "B_Apply"},
            {"Encoder / TCP/IP: KYR IpNum (IP address): \"192.168.0.1\" -> \"10.0.0.7\""});
        row("a LAN port of a free stream", "lan", {}, {"type:EB_Port_2=3002", "B_Apply"},
            {"Encoder / Streams not in use: LAN3 PortAddr (LAN port): 2002 -> 3002"});
        row("bytes reserved on a line", "lines", {}, {"CB_AppendC", "type:EB_CF1=30", "B_Apply"},
            {"Program 1 / General Config: PGM1 AddToCLines (chroma lines appended to): 0x00000080 (line 8) -> "
             "0x00000180 (lines 8, 9)",
             "Program 1 / General Config: PGM1 LineCfgC9F1 (bytes reserved on chroma line 9, field 1): 0 -> 30"});
    }
    void review()
    {
        QFETCH(QString, editor);
        QFETCH(QStringList, setup);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, listed);
        Editing e;
        e.setup(setup);
        const clsKYR before = e.kyr;
        e.dialogs.steps = {steps};
        if (editor == "lan") {
            frmLanSetup dialog(e.kyr, e.messages);
            e.dialogs.run(dialog);
        } else if (editor == "lines") {
            RunLineUsage(e.context, nullptr);
        } else {
            RunModuleEditor(editor.toInt(), e.context, nullptr);
        }
        const ChangeReview review = ChangeReview::Build(before, e.kyr);
        QCOMPARE(reviewed(review), listed);
        QCOMPARE(review.count(), listed.size());
    }

    void reviewCountsAndOrdersGroups()
    {
        Editing e;
        e.setup(kTwoModules + QStringList{"LAN2.Program=2"});
        const clsKYR before = e.kyr;
        e.setup({"LAN2.Did=0x70", "CAPPGM2.Language708S1=fra", "PGM1.RequestedVideoMode=10", "KYR.Gateway=10.0.0.1",
                 "LAN1.Echo=1"});
        const ChangeReview review = ChangeReview::Build(before, e.kyr);
        QStringList titles;
        for (const ChangeReview::Group &group : review.groups())
            titles << group.program + " / " + group.module;
        QCOMPARE(titles, QStringList({"Encoder / TCP/IP", "Program 1 / General Config",
                                      "Program 1 / Transparent Module on 2000", "Program 2 / Caption Module",
                                      "Program 2 / Transparent Module on 2001"}));
        QCOMPARE(review.summary(), "5 settings will change");
        QCOMPARE(ChangeReview::Build(before, before).summary(), "No setting will change");
    }

    // --- files as documents

    // A partial file stays partial: a save writes what it gave, the settings
    // changed, and a changed stream whole, so that its module lands on a
    // unit as it was shown, whatever the unit held before.
    void partialFileSave_data()
    {
        const auto row = Table<QStringList, QByteArray>({"edits", "written"});
        const QByteArray given = "[PGM1]\nRequestedVideoMode=8\n[LAN3]\nDid=0x61\n";
        row("nothing changed: as given", {}, given);
        row("a setting given changed", {"LAN3.Did=0x62"}, "[PGM1]\nRequestedVideoMode=8\n[LAN3]\nDid=0x62\n");
        row("a setting not given changed", {"CAPPGM2.Language608F2=spn"},
            "[PGM1]\nRequestedVideoMode=8\n[CAPPGM2]\nLanguage608F2=spn\n[LAN3]\nDid=0x61\n");
        row("changed and changed back: as given", {"CAPPGM2.Language608F2=spn", "CAPPGM2.Language608F2=eng"}, given);
        row("a stream's module changed: its saved rows whole", {"LAN1.StreamType=0x0001"}, {});
    }
    void partialFileSave()
    {
        QFETCH(QStringList, edits);
        QFETCH(QByteArray, written);
        QTemporaryDir dir;
        const QString path = dir.filePath("part.kyr7");
        WriteTestFile(path, "; prepared by hand\n[PGM1]\nRequestedVideoMode=8\n[LAN3]\nDid=0x61\n");
        ConfigDocument doc;
        QStringList problems;
        QVERIFY(doc.open(path, problems));
        QVERIFY(doc.partial());
        // What the file does not give shows at the factory defaults.
        QCOMPARE(doc.baseline().sSTR(StreamSlot::LAN3, StrRow::PortAddr), "2000");
        QCOMPARE(doc.baseline().sSTR(StreamSlot::LAN3, StrRow::Did), "0x61");
        Editing e;
        e.kyr = doc.baseline();
        e.setup(edits);
        QString error;
        QVERIFY2(doc.save(e.kyr, {"saved"}, error), qPrintable(error));
        const QByteArray text = ReadTestFile(path);
        QVERIFY(text.startsWith("; saved\n"));
        QVERIFY(!doc.modified(e.kyr));
        if (!written.isEmpty()) {
            QCOMPARE(Body(text), written);
            return;
        }
        // Sent over a unit whose LAN1 held something else in every row.
        clsKYR unit = ConfigDocument::Factory();
        for (int r = 1; r < clsKYR::StrRows; ++r)
            unit.setText(Section::Str, StreamSlot::LAN1, r, r == StrRow::Direction ? "D" : "0x7");
        const clsKYR sent = doc.configuration(e.kyr).over(unit, false);
        for (int r : SaveRows(sent, Section::Str, StreamSlot::LAN1))
            QVERIFY2(sent.text(Section::Str, StreamSlot::LAN1, r) == e.kyr.text(Section::Str, StreamSlot::LAN1, r),
                     qPrintable(clsKYR::Definitions(Section::Str)[size_t(r)].Name));
        // The rest of the unit is as it was but for what the file gave.
        QCOMPARE(sent.sSTR(StreamSlot::LAN3, StrRow::Did), "0x61");
        QCOMPARE(sent.sSTR(StreamSlot::LAN4, StrRow::Did), unit.sSTR(StreamSlot::LAN4, StrRow::Did));
        // And the file read again shows what was saved.
        ConfigDocument again;
        QVERIFY(again.open(path, problems));
        QCOMPARE(again.baseline(), e.kyr);
    }

    void badFilesAreRefusedWhole_data()
    {
        const auto row = Table<QByteArray, QString>({"content", "problem"});
        row("a value not in its form", "[LAN1]\nDid=0X51\n", "bad.kyr7:2: Did: \"0X51\" is not a hexadecimal byte");
        row("the report is no configuration", "KYR7 Configuration\r\n\r\nKYR7Set V1.7.0\r\n",
            "bad.kyr7:1: a setting before the first [SECTION] line");
    }
    void badFilesAreRefusedWhole()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        WriteTestFile(dir.filePath("good.kyr7"), "[LAN3]\nDid=0x61\n");
        WriteTestFile(dir.filePath("bad.kyr7"), content);
        ConfigDocument doc;
        QStringList problems;
        QVERIFY(doc.open(dir.filePath("good.kyr7"), problems));
        QVERIFY(!doc.open(dir.filePath("bad.kyr7"), problems));
        QVERIFY2(problems.value(0).startsWith(problem), qPrintable(problems.join('\n')));
        // The document is the one opened before, untouched.
        QCOMPARE(doc.fileName(), "good.kyr7");
        QCOMPARE(doc.baseline().sSTR(StreamSlot::LAN3, StrRow::Did), "0x61");
    }

    // --- what the operator reads before a file is sent, and after Verify

    // The one message before a send: each part only when it has something
    // to say, long lists cut short with the count of the rest.
    void sendSummary_data()
    {
        // Lines: the message's lines, in order, blank ones left out.
        const auto row = Table<QByteArray, QStringList, QStringList>({"file", "findings", "lines"});
        const QString ask = "Nothing has been written to the KYR7 yet. Send now, review the changes against what the "
                            "KYR7 holds, or go back?";
        const QString start = "Sending a.kyr7 to the KYR7 over LAN 10.0.0.7 changes ";
        row("one change, nothing else to say", "[CAPPGM1]\nLanguage608F1=fra\n", {},
            {start + "1 setting. The window shows what the KYR7 will hold.", "The checks found nothing wrong.", ask});
        row("nothing changes", "[CAPPGM1]\nLanguage608F1=eng\n", {},
            {start + "no setting. The window shows what the KYR7 will hold.", "The checks found nothing wrong.", ask});
        QByteArray identity = "[KYR]\n";
        for (const char *row : {"ID", "SerialNumber", "Software", "Rev", "VersionRequired", "PartRequired",
                                "VersionSuggested", "PartSuggested", "ProgramCount", "IpNum"})
            identity += QByteArray(row) + "=" + (QByteArray(row) == "IpNum" ? "10.9.9.9" : "9") + "\n";
        row("more kept than named", identity + "[PGM2]\nVideoMode=12\n", {},
            {start + "no setting. The window shows what the KYR7 will hold.",
             "The KYR7 keeps its own ID, SerialNumber, Software, Rev, VersionRequired, PartRequired, "
             "VersionSuggested, PartSuggested and 3 more: a file does not change a unit's identity, "
             "detected video or network settings.",
             "The checks found nothing wrong.", ask});
        QByteArray freeRows = "[PORTA]\n";
        for (const char *row : {"Baud=19200", "WordSize=7", "Parity=E", "StopBits=2", "TxFlowCtrl=1", "RxFlowCtrl=1",
                                "Did=0x52", "SDid=0x02", "Echo=1", "DataType=2"})
            freeRows += QByteArray(row) + "\n";
        QStringList unwritten{start + "no setting. The window shows what the KYR7 will hold.",
                              "The save cannot carry 10 of the file's settings:"};
        for (const char *row : {"Did: 0x52", "SDid: 0x02", "Baud: 19200", "WordSize: 7", "Parity: \"E\"", "StopBits: 2",
                                "TxFlowCtrl: 1", "RxFlowCtrl: 1"})
            unwritten << "- PORTA " + QString(row) + " (not written: the stream is free";
        unwritten << "- and 2 more (Review Changes lists them)"
                  << "The checks found 2 problems:"
                  << "- one"
                  << "- two" << ask;
        row("more left out than listed, and findings", freeRows, {"one", "two"}, unwritten);
    }
    void sendSummary()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, findings);
        QFETCH(QStringList, lines);
        const clsKYR unit = ConfigDocument::Factory();
        const ApplyPlan plan = ApplyPlan::Make(Configuration::FromFile(ConfigFile::Parse(file)), unit, false);
        QStringList got = SendSummary::Text("a.kyr7", "the KYR7 over LAN 10.0.0.7",
                                            int(ChangeReview::Build(unit, plan.merged).count()), plan, findings)
                              .split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(got.size(), lines.size());
        for (qsizetype i = 0; i < got.size(); ++i)
            QVERIFY2(got[i].startsWith(lines[i]), qPrintable(got[i] + "\nexpected: " + lines[i]));
        // The review names every one of them.
        QCOMPARE(SendSummary::NotSent(plan).size(), qsizetype(plan.kept.size() + plan.notWritten.size()));
    }

    // What Verify puts on the monitor: the outcome with the count; each
    // difference while they fit, else the rest counted with where they are.
    void verifyReport_data()
    {
        // Lines: the first, then the last when more than one.
        const auto row = Table<int, int, QString, int, QStringList>({"result", "differences", "log", "count", "lines"});
        const int verified = int(Verification::Result::Verified), mismatch = int(Verification::Result::Mismatch);
        row("one setting", verified, 0, "", 1, {"Verified: the one setting sent was found as saved"});
        row("every setting", verified, 0, "/l.log", 1,
            {"Verified: every setting was found as saved (2389 settings compared)"});
        row("a few differences", mismatch, 3, "/l.log", 4,
            {"Verify found 3 of the 2389 settings sent not held as saved:",
             "CAPPGM1 Language608F1: sent \"x2\", holds \"eng\""});
        row("as many as fit", mismatch, 14, "", 15,
            {"Verify found 14 of the 2389 settings sent not held as saved:",
             "CAPPGM1 Language608F1: sent \"x13\", holds \"eng\""});
        row("more than fit", mismatch, 20, "/l.log", 15,
            {"Verify found 20 of the 2389 settings sent not held as saved:",
             "... and 7 more; the full list is in the conversation log " + QDir::toNativeSeparators("/l.log")});
        row("more than fit, no log", mismatch, 20, "", 15,
            {"Verify found 20 of the 2389 settings sent not held as saved:",
             "... and 7 more, not listed: there is no conversation log"});
        row("could not read back", int(Verification::Result::Failed), 0, "/l.log", 2,
            {"Verify failed: the unit could not be read back (1 attempt): LAN Error: Connection refused",
             "Conversation log: " + QDir::toNativeSeparators("/l.log")});
    }
    void verifyReport()
    {
        QFETCH(int, result);
        QFETCH(int, differences);
        QFETCH(QString, log);
        QFETCH(int, count);
        QFETCH(QStringList, lines);
        Verification v;
        v.result = Verification::Result(result);
        v.checked = lines.first().contains("one setting") ? 1 : 2389;
        if (v.result == Verification::Result::Failed)
            v.message = "the unit could not be read back (1 attempt): LAN Error: Connection refused";
        for (int i = 0; i < differences; ++i)
            v.mismatches.push_back({Section::Cap, 0, CapRow::Language608F1, QStringLiteral("x%1").arg(i), "eng"});
        const int room = 15;
        const QStringList got = VerifyReport::MonitorLines(v, room, log);
        QVERIFY(got.size() <= room);
        QCOMPARE(got.size(), count);
        QCOMPARE(got.first(), lines.first());
        QCOMPARE(got.last(), lines.last());
        // The log has them all.
        QCOMPARE(VerifyReport::LogLines(v).size(), differences + 1);
    }

    void recentFilesNewestFirstOnceAndBounded()
    {
        QTemporaryDir dir;
        QSettings store(dir.filePath("KYR7Setup.ini"), QSettings::IniFormat);
        RecentFiles recent(&store);
        for (int i = 0; i < RecentFiles::Max + 2; ++i)
            recent.add(dir.filePath(QStringLiteral("%1.kyr7").arg(i)));
        recent.add(dir.filePath("5.kyr7"));
        const QStringList files = recent.files();
        QCOMPARE(files.size(), RecentFiles::Max);
        QCOMPARE(files.mid(0, 3),
                 QStringList({dir.filePath("5.kyr7"), dir.filePath("9.kyr7"), dir.filePath("8.kyr7")}));
        QVERIFY(!files.contains(dir.filePath("1.kyr7")));
        recent.remove(dir.filePath("9.kyr7"));
        QCOMPARE(RecentFiles(&store).files().value(1), dir.filePath("8.kyr7"));
        // Kept beside the connection settings.
        QVERIFY(store.value("Settings/Recent").toStringList().contains(dir.filePath("5.kyr7")));
    }
};

QTEST_MAIN(tst_Workbench)
#include "tst_workbench.moc"
