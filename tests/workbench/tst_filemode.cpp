// The main window on a configuration file instead of a unit, headless: a
// file opened from the command line or from the connection dialog, edited in
// an editor and saved; files refused with the line and the reason and
// nothing shown; closing with unsaved edits; Save Copy As... and the review
// of a unit's configuration; the checks before "Save and Exit".
#include "ConfigDocument.h"
#include "ConfigFile.h"
#include "WindowRig.h"

namespace {

const QString kTitle = QStringLiteral(" - KYR7 Setup Program Version " KYR7_VERSION);

// A choice in the main window as the operator makes it: the program acts on activated().
void choose(QComboBox *list, const QString &item)
{
    QVERIFY2(list->findText(item) >= 0, qPrintable(item));
    list->setCurrentIndex(list->findText(item));
    emit list->activated(list->currentIndex());
}

// A configuration as a unit holds it: factory defaults, program 1 at HD
// 1080i with a caption module on LAN1, program 2 at SD 625.
clsKYR unitModel()
{
    clsKYR kyr = ConfigDocument::Factory();
    kyr.setSPGM(0, PgmRow::RequestedVideoMode, "8");
    kyr.setSPGM(1, PgmRow::RequestedVideoMode, "3");
    kyr.setSSTR(StreamSlot::LAN1, StrRow::StreamType, "0x0010");
    kyr.setSSTR(StreamSlot::LAN1, StrRow::InsertLinesF1, "0x00000200");
    kyr.setSSTR(StreamSlot::LAN1, StrRow::InsertLinesF2, "0x00000000");
    return kyr;
}

// The rig on in-memory links, with a window on a unit whose retrieval
// brought this configuration.
struct Harness : WindowRig
{
    frmKYR7Set &unit(const clsKYR &kyr)
    {
        dialogs.connectButtons = {"B_OK"};
        open();
        window->model() = kyr;
        emit window->conversation().retrievalFinished();
        return *window;
    }
};

QStringList comments(const QByteArray &text)
{
    QStringList lines;
    for (const QByteArray &line : text.split('\n'))
        if (line.startsWith("; "))
            lines << QString::fromLatin1(line.mid(2));
    return lines;
}

} // namespace

class tst_FileMode : public QObject
{
    Q_OBJECT

private slots:
    // Opened from the command line, shown with no monitor and no link, edited
    // in the caption editor, reviewed and saved: the file differs from what
    // it was by the one setting, under a new header.
    void fileOpenedEditedReviewedSaved()
    {
        Harness h;
        const QByteArray original = ConfigFile::Text(unitModel());
        const QString path = h.write("unit.kyr7", original);
        frmKYR7Set &w = h.open(path);
        QVERIFY(h.started);
        QVERIFY(!h.link);
        QVERIFY(!w.monitorShowing());
        QCOMPARE(h.dialogs.opened, QStringList());
        QCOMPARE(w.windowTitle(), "unit.kyr7" + kTitle);
        QCOMPARE(h.button("B_Save")->text() + '|' + h.button("B_Cancel")->text(), "Save|Close");
        QVERIFY(h.button("B_Defaults")->isHidden());
        QCOMPARE(h.combo("CB_Module_0")->currentText(), "Caption Module");
        QCOMPARE(h.store.value("Settings/Recent").toStringList(), QStringList{QFileInfo(path).absoluteFilePath()});

        h.dialogs.steps = {{"pick:CB_Lang608F2=spn", "B_Apply"}};
        h.click("B_Configure_0");
        QCOMPARE(h.dialogs.opened, QStringList{"frmCaption"});
        QCOMPARE(w.windowTitle(), "*unit.kyr7" + kTitle);

        // The review, from the keyboard: Return on the list closes it, as
        // Escape does.
        QStringList seen;
        h.dialogs.handlers["frmReview"] = [&seen](QDialog &d) {
            auto *tree = child<QTreeWidget>(d, "TV_Changes");
            for (QTreeWidgetItemIterator it(tree); *it; ++it)
                seen << (*it)->text(0) +
                            ((*it)->text(2).isEmpty() ? "" : ": " + (*it)->text(2) + " -> " + (*it)->text(3));
            seen << child<QLabel>(d, "TB_Summary")->text();
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            tree->setFocus();
            QTest::keyClick(tree, Qt::Key_Return);
            seen << (d.isVisible() ? "still open" : "closed");
        };
        h.action("A_Review")->trigger();
        QCOMPARE(seen, QStringList({"Program 1", "Caption Module (1)", "608 field 2 language: \"eng\" -> \"spn\"",
                                    "1 setting will change, compared with what the file unit.kyr7 holds.", "closed"}));
        QVERIFY(h.dialogs.opened.endsWith("frmReview"));

        h.click("B_Save");
        QCOMPARE(h.messages.count(), 0);
        const QByteArray saved = h.read("unit.kyr7");
        QByteArray expected = original;
        expected.replace(expected.indexOf("Language608F2=eng"), 17, "Language608F2=spn");
        QCOMPARE(Body(saved), expected);
        const QStringList header = comments(saved);
        QCOMPARE(header.value(0), "KYR7 12345, software 36-47215-01 rev. G");
        QVERIFY2(header.value(1).startsWith("saved from unit.kyr7 on ") &&
                     header.value(1).endsWith(" by KYR7Set " KYR7_VERSION),
                 qPrintable(header.value(1))); // the date's form: tst_ConfigFile's header
        QCOMPARE(w.windowTitle(), "unit.kyr7" + kTitle);
        // Closed with nothing unsaved: no question.
        h.click("B_Cancel");
        QVERIFY(w.ended());
        QCOMPARE(h.messages.count(), 0);
    }

    // A partial file shows its one program, stays partial when saved and
    // says so in its title.
    void partialFileSavedPartial()
    {
        Harness h;
        const QString path = h.write("part.cfg", "[KYR]\nProgramCount=1\n[PGM1]\nRequestedVideoMode=8\n");
        frmKYR7Set &w = h.open(path);
        QCOMPARE(h.tabs()->count(), 1);
        QCOMPARE(w.windowTitle(), "part.cfg (some settings)" + kTitle);
        choose(h.combo("CB_Video"), clsKYR::VideoName(10, true));
        QCOMPARE(w.windowTitle(), "*part.cfg (some settings)" + kTitle);
        h.action("A_Save")->trigger();
        const QByteArray saved = h.read("part.cfg");
        QCOMPARE(Body(saved), "[KYR]\nProgramCount=1\n[PGM1]\nRequestedVideoMode=10\n");
        QCOMPARE(comments(saved).value(0), "KYR7 configuration, some settings only");
    }

    // Bad content: the line and the reason, nothing shown, and the
    // connection dialog to go on from.
    void badFilesRefusedNothingShown_data()
    {
        const auto row = Table<QByteArray, QString>({"content", "reason"});
        row("unknown name", "[KYR]\nRev=G\n[PGM1]\nRequestedVideoMode=8\nBogus=1\n",
            "bad.kyr7:5: unknown parameter \"Bogus\" in [PGM1]");
        row("value changed on the way", "[LAN1]\nStreamType=0x0010\nDid=-5\n",
            "bad.kyr7:3: Did: \"-5\" is not a hexadecimal byte");
        row("unknown section", "[LAN9]\nDid=0x51\n", "bad.kyr7:1: unknown section [LAN9]");
        row("no such file", {}, "bad.kyr7: cannot read: ");
    }
    void badFilesRefusedNothingShown()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        Harness h;
        const QString path = content.isEmpty() ? h.dir.filePath("bad.kyr7") : h.write("bad.kyr7", content);
        frmKYR7Set &w = h.open(path);
        QVERIFY(!h.started);
        QCOMPARE(h.dialogs.opened, QStringList{"frmConnect"});
        QCOMPARE(h.messages.count(), 1);
        QCOMPARE(h.messages.last().title, "Cannot open the configuration file");
        QVERIFY2(h.messages.last().text.contains("\r\n" + reason), qPrintable(h.messages.last().text));
        QVERIFY(h.messages.last().text.endsWith("Nothing of it has been opened."));
        QCOMPARE(w.model(), clsKYR());
        QVERIFY(h.store.value("Settings/Recent").toStringList().isEmpty());
    }

    // "Open File..." in the connection dialog: cancelled or refused, the
    // dialog comes back; a good file is shown.
    void openFileFromTheConnectionDialog()
    {
        Harness h;
        const QString good = h.write("good.kyr7", ConfigFile::Text(unitModel()));
        const QString bad = h.write("bad.kyr7", "[KYR]\nRev=G\nRev=H\n");
        h.dialogs.connectButtons = {"B_OpenFile", "B_OpenFile", "B_OpenFile"};
        h.files.queue("");
        h.files.queue(bad);
        h.files.queue(good);
        frmKYR7Set &w = h.open();
        QVERIFY(h.started);
        QCOMPARE(h.dialogs.opened, QStringList({"frmConnect", "frmConnect", "frmConnect"}));
        QCOMPARE(h.files.asked.size(), 3);
        QCOMPARE(h.messages.count(), 1);
        QVERIFY(h.messages.last().text.contains("bad.kyr7:3: Rev given twice in [KYR] (first at line 2)"));
        QCOMPARE(w.windowTitle(), "good.kyr7" + kTitle);
        QVERIFY(!h.link);
    }

    // Closing with unsaved edits asks: Cancel stays, Close Without Saving
    // leaves the file as it was, Save saves and closes.
    void closingWithUnsavedEdits_data()
    {
        const auto row = Table<QString, bool, bool>({"choice", "ended", "saved"});
        row("Cancel", "Cancel", false, false);
        row("Close Without Saving", "Close Without Saving", true, false);
        row("Save", "Save", true, true);
    }
    void closingWithUnsavedEdits()
    {
        QFETCH(QString, choice);
        QFETCH(bool, ended);
        QFETCH(bool, saved);
        Harness h;
        const QByteArray original = ConfigFile::Text(unitModel());
        frmKYR7Set &w = h.open(h.write("unit.kyr7", original));
        choose(h.combo("CB_Video"), clsKYR::VideoName(10, true));
        h.messages.queueChoice(choice);
        h.click("B_Cancel");
        QCOMPARE(h.messages.count(), 1);
        QCOMPARE(h.messages.last().buttons, QStringList({"Save", "Close Without Saving", "Cancel*"}));
        QCOMPARE(w.ended(), ended);
        QCOMPARE(Body(h.read("unit.kyr7")) != original, saved);
    }

    // A unit's configuration: Save Copy As... writes it whole in kyr7ctl's
    // format, with the extension added; the review counts from the retrieval.
    void unitSavedAsACopyAndReviewed()
    {
        Harness h;
        frmKYR7Set &w = h.unit(unitModel());
        QVERIFY(!w.monitorShowing());
        QCOMPARE(w.windowTitle(), "KYR7 Setup Program Version " KYR7_VERSION);
        QVERIFY(!h.action("A_Save")->isEnabled());
        QVERIFY(!h.action("A_Open")->isEnabled());
        w.model().setSCAP(1, CapRow::Language708S2, "fra");
        const QByteArray sent = h.link->sent;
        h.files.queue(h.dir.filePath("copy"));
        h.action("A_SaveCopyAs")->trigger();
        QCOMPARE(h.files.suggestions, QStringList{QDir::home().filePath("KYR7 12345.kyr7")});
        const ConfigFile file = ConfigFile::Read(h.dir.filePath("copy.kyr7"));
        QVERIFY(file.ok());
        QCOMPARE(int(file.settings().size()), Configuration::AllRows());
        clsKYR read;
        file.applyTo(read);
        QCOMPARE(ConfigFile::Text(read), ConfigFile::Text(w.model()));
        const QStringList header = comments(h.read("copy.kyr7"));
        QCOMPARE(header.value(0), "KYR7 12345, software 36-47215-01 rev. G");
        QVERIFY2(header.value(1).startsWith("saved from the KYR7 over LAN 192.168.0.1 on "),
                 qPrintable(header.value(1)));
        // Still the unit's window: nothing sent, the review against the retrieval.
        QCOMPARE(h.link->sent, sent);
        QString summary;
        h.dialogs.handlers["frmReview"] = [&summary](QDialog &d) { summary = child<QLabel>(d, "TB_Summary")->text(); };
        h.action("A_Review")->trigger();
        QCOMPARE(summary, "1 setting will change, compared with the configuration retrieved from the KYR7.");
    }

    // "Save and Exit" with a set-up the checks find fault with asks first;
    // Go Back (the default) sends nothing and writes no report. With nothing
    // found it asks nothing and saves as it always has.
    void checksBeforeSaveAndExit_data()
    {
        const auto row = Table<bool, QString, bool>({"broken", "choice", "saving"});
        row("nothing found: saved, no box", false, "", true);
        row("found, Go Back: nothing sent", true, "Go Back", false);
        row("found, Save Anyway: saved", true, "Save Anyway", true);
    }
    void checksBeforeSaveAndExit()
    {
        QFETCH(bool, broken);
        QFETCH(QString, choice);
        QFETCH(bool, saving);
        Harness h;
        clsKYR kyr = unitModel();
        if (broken) {
            kyr.setSKYR(KyrRow::IpNum, "10.0.0.7");
            kyr.setSKYR(KyrRow::Broadcast, "192.168.0.255");
        }
        frmKYR7Set &w = h.unit(kyr);
        const QByteArray before = h.link->sent;
        if (!choice.isEmpty())
            h.messages.queueChoice(choice);
        h.click("B_Save");
        QCOMPARE(h.messages.count(), broken ? 1 : 0);
        if (broken) {
            QCOMPARE(h.messages.last().title, "Warning, this set-up cannot work as it stands");
            QCOMPARE(h.messages.last().text,
                     "The checks found a problem:\r\n- The broadcast address 192.168.0.255 does not belong to the "
                     "address 10.0.0.7 with netmask 255.255.255.0 (that network's is 10.0.0.255); the save sends it "
                     "as it is (it is not shown or edited here).\r\n\r\nSave to the KYR7 anyway, or go back and "
                     "change the set-up?");
            QCOMPARE(h.messages.last().buttons, QStringList({"Save Anyway", "Go Back*"}));
        }
        QCOMPARE(w.monitorShowing(), saving);
        QCOMPARE(QFile::exists(h.dir.filePath("kyr.cfg")), saving);
        QCOMPARE(h.link->sent.mid(before.size()), saving ? QByteArray("SETUP\r") : QByteArray());
    }
};

QTEST_MAIN(tst_FileMode)
#include "tst_filemode.moc"
