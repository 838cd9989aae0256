// The whole program against kyr7sim over loopback TCP: the retrieval fills
// the display, and the closing buttons reach (or do not reach) the
// simulated encoder's stored configuration.
#include "MainWindowHarness.h"
#include "SimConfig.h"
#include "SimProcess.h"

#include <QFile>
#include <QTabBar>
#include <QtTest/QtTest>

namespace {

constexpr int kWait = 20000;

// The steps of a LAN retrieval: "SETUP", 21 section visits of three steps,
// the two bridge visits and the closing step, each answered line by line.
constexpr int kRetrievalReplies = 1 + 21 * 3 + 4 + 5 + 1;

} // namespace

class tst_MainWindowSim : public QObject
{
    Q_OBJECT

private:
    // Starts the window on the simulator at 127.0.0.1 and waits for the end
    // of the retrieval (the monitor goes off) or of the program.
    static bool retrieve(MainWindowHarness &h, SimProcess &sim)
    {
        if (!sim.start())
            return false;
        h.services.tcpPort = sim.port();
        h.store.setValue(QStringLiteral("Settings/IP"), QStringLiteral("127.0.0.1"));
        h.store.setValue(QStringLiteral("Settings/Method"), QStringLiteral("LAN"));
        frmKYR7Set &w = h.make();
        // A signal spy runs a real event loop, so replies are taken as they
        // arrive rather than at polling intervals.
        QSignalSpy retrieved(&w.conversation(), &Conversation::retrievalFinished);
        if (!w.Start())
            return false;
        return retrieved.count() > 0 || retrieved.wait(kWait);
    }

    // Clicks a closing button and waits for the end of its script.
    static bool runToDone(MainWindowHarness &h, const char *button)
    {
        QSignalSpy finished(&h.window->conversation(), &Conversation::closingFinished);
        h.button(QLatin1String(button))->click();
        return (finished.count() > 0 || finished.wait(kWait)) &&
               h.button(QStringLiteral("B_Cancel"))->text() == QLatin1String("Done");
    }

    static QString lastMonitorLine(MainWindowHarness &h) { return h.monitor().value(h.monitor().size() - 1); }

private slots:
    void retrievalShowsProgramOneAsTheEncoderHasIt()
    {
        SimProcess sim;
        MainWindowHarness h(false);
        QVERIFY(retrieve(h, sim));
        frmKYR7Set &w = *h.window;
        QVERIFY(!w.ended());
        QCOMPARE(lastMonitorLine(h), QStringLiteral("13:05:09 - Encoder Setup Retrieved"));
        clsKYR expected;
        QVERIFY(DefaultSimConfig(expected));
        QVERIFY(w.model() == expected);
        QCOMPARE(h.label(QStringLiteral("TB_TYPE"))->text(), QStringLiteral("KYR7"));
        QCOMPARE(h.label(QStringLiteral("TB_Address"))->text(), QStringLiteral("192.168.0.10"));
        QCOMPARE(h.label(QStringLiteral("TB_Video"))->text(), QStringLiteral("HD 1080i 59.94 Hz"));
        QCOMPARE(h.combo(QStringLiteral("CB_Video"))->currentIndex(), 8);
        const QStringList modules{"Caption Module", "Transparent Module", "Constant Data Module", "None"};
        const QStringList sources{"2000", "2001", "Stereo", ""};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(h.combo(QStringLiteral("CB_Module_%1").arg(i))->currentText(), modules[i]);
            QCOMPARE(h.label(QStringLiteral("TB_Port_%1").arg(i))->text(), sources[i]);
        }
        QCOMPARE(h.child<QTabBar>(QStringLiteral("TS_Program"))->count(), 2);
        QCOMPARE(h.messages.count(), 0);
    }

    void oneProgramLeavesOneTab()
    {
        SimProcess sim({QStringLiteral("--program-count"), QStringLiteral("1")});
        MainWindowHarness h(false);
        QVERIFY(retrieve(h, sim));
        QCOMPARE(h.child<QTabBar>(QStringLiteral("TS_Program"))->count(), 1);
        QCOMPARE(h.window->state().CurrentProgram, 0);
    }

    void versionCheck_data()
    {
        QTest::addColumn<QString>("required");
        QTest::addColumn<QString>("suggested");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("ends");
        QTest::newRow("suits") << "47215RC"
                               << "47215RG"
                               << "" << false;
        QTest::newRow("newer suggested") << "47215RC"
                                         << "47215RH"
                                         << "Warning, version 1.7 is required for full functionality of the setup "
                                            "software"
                                         << false;
        QTest::newRow("newer required") << "47215RH"
                                        << "47215RH"
                                        << "Error, KYR7 requires at least version 1.7 of setup software" << true;
        QTest::newRow("other product") << "12345RA"
                                       << "12345RA"
                                       << "Error, KYR7 requires at least version 1.7 of setup software" << true;
    }
    void versionCheck()
    {
        QFETCH(QString, required);
        QFETCH(QString, suggested);
        QFETCH(QString, title);
        QFETCH(bool, ends);
        SimProcess sim({QStringLiteral("--part-required"), required, QStringLiteral("--part-suggested"), suggested});
        MainWindowHarness h(false);
        QVERIFY(retrieve(h, sim));
        QCOMPARE(h.messages.count(), title.isEmpty() ? 0 : 1);
        if (!title.isEmpty())
            QCOMPARE(h.messages.last().title, title);
        if (ends) {
            QTRY_VERIFY_WITH_TIMEOUT(h.window->ended(), kWait);
            QVERIFY(!h.window->conversation().linkOpen());
        } else {
            QTest::qWait(50);
            QVERIFY(!h.window->ended());
            QCOMPARE(h.combo(QStringLiteral("CB_Module_0"))->currentText(), QStringLiteral("Caption Module"));
        }
    }

    void saveAndExitStoresTheEditedConfiguration()
    {
        SimProcess sim;
        MainWindowHarness h(false);
        QVERIFY(retrieve(h, sim));
        frmKYR7Set &w = *h.window;
        QComboBox *video = h.combo(QStringLiteral("CB_Video"));
        video->setCurrentIndex(10);
        emit video->activated(10);
        w.model().setSSTR(StreamSlot::LAN2, StrRow::Did, QStringLiteral("0x61"));
        w.model().setSCAP(0, CapRow::Language608F2, QStringLiteral("spn"));

        QVERIFY(runToDone(h, "B_Save"));
        QCOMPARE(lastMonitorLine(h), QStringLiteral("13:05:09 - Setup is complete, Press Done to exit"));
        QVERIFY(QFile::exists(QDir(h.services.reportFolder).filePath(QStringLiteral("kyr.cfg"))));
        QVERIFY(sim.transcript().contains("CAPPGM1\r"));
        QVERIFY(sim.transcript().contains("Language608F2=spn\r"));
        QVERIFY(sim.transcript().endsWith("\rSAVE\r"));

        clsKYR stored;
        QVERIFY(LoadSimConfig(sim.statePath(), stored));
        QCOMPARE(stored.sPGM(0, PgmRow::RequestedVideoMode), QStringLiteral("10"));
        QCOMPARE(stored.sSTR(StreamSlot::LAN2, StrRow::Did), QStringLiteral("0x61"));
        QCOMPARE(stored.sCAP(0, CapRow::Language608F2), QStringLiteral("spn"));
        QVERIFY(stored == w.model());

        // A reply after "Done" belongs to no step.
        const QStringList before = h.monitor();
        w.conversation().GetSetup(QStringLiteral("SAVE\r\n!"));
        QCOMPARE(h.monitor(), before);
        QCOMPARE(w.conversation().CurrentStep, -1);

        h.button(QStringLiteral("B_Cancel"))->click();
        QVERIFY(w.ended());
    }

    void cancelSendsExitAndNothingIsStored()
    {
        SimProcess sim;
        MainWindowHarness h(false);
        QVERIFY(retrieve(h, sim));
        h.window->model().setSKYR(KyrRow::IpNum, QStringLiteral("10.9.9.9"));
        QVERIFY(runToDone(h, "B_Cancel"));
        QVERIFY(sim.transcript().endsWith("\rEXIT\r"));
        QVERIFY(!sim.transcript().contains("IpNum="));
        QVERIFY(!QFile::exists(sim.statePath()));
        QCOMPARE(h.monitor().first(), QStringLiteral("13:05:09 - Cancelling Changes"));
    }

    void factoryDefaultsAreSentOnlyAfterYes()
    {
        SimProcess sim;
        MainWindowHarness h(false);
        QVERIFY(retrieve(h, sim));
        const QByteArray retrieval = sim.transcript();
        h.messages.queueAnswer(false);
        h.button(QStringLiteral("B_Defaults"))->click();
        QVERIFY(!h.window->monitorShowing());
        QTest::qWait(50);
        QCOMPARE(sim.transcript(), retrieval);

        h.messages.queueAnswer(true);
        QVERIFY(runToDone(h, "B_Defaults"));
        QCOMPARE(sim.transcript(), retrieval + "DEFAULTS\r");
        clsKYR stored;
        QVERIFY(LoadSimConfig(sim.statePath(), stored));
        QCOMPARE(stored.str(StreamSlot::LAN1, StrRow::StreamType).toInt(), 0);
        QCOMPARE(stored.sKYR(KyrRow::IpNum), QStringLiteral("192.168.0.10"));
    }

    void clearStreamsWaitsForTheSaveAndKeepsTheOtherProgram()
    {
        SimProcess sim;
        MainWindowHarness h(false);
        QVERIFY(retrieve(h, sim));
        frmKYR7Set &w = *h.window;
        w.model().setSSTR(StreamSlot::BTEST2, StrRow::StreamType, QStringLiteral("0x0001")); // program 2
        const QByteArray retrieval = sim.transcript();
        h.messages.queueAnswer(true);
        h.button(QStringLiteral("B_Clear"))->click();
        QCOMPARE(h.combo(QStringLiteral("CB_Module_0"))->currentText(), QStringLiteral("None"));
        QTest::qWait(50);
        QCOMPARE(sim.transcript(), retrieval);

        QVERIFY(runToDone(h, "B_Save"));
        clsKYR stored;
        QVERIFY(LoadSimConfig(sim.statePath(), stored));
        for (int s : {int(StreamSlot::LAN1), int(StreamSlot::LAN2), int(StreamSlot::FILE1)})
            QCOMPARE(stored.str(s, StrRow::StreamType).toInt(), 0);
        QCOMPARE(stored.str(StreamSlot::BTEST2, StrRow::StreamType).toInt(), 1);
    }

    void connectionFailureDuringSaveStoresNothing()
    {
        // The 26th reply of the save (a PGM1 parameter) never comes.
        const int lost = 25;
        SimProcess sim({QStringLiteral("--drop"), QString::number(kRetrievalReplies + 1 + lost)});
        MainWindowHarness h(false);
        QVERIFY(retrieve(h, sim));
        frmKYR7Set &w = *h.window;
        h.button(QStringLiteral("B_Save"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(w.conversation().CurrentStep, lost, kWait);
        QTest::qWait(50);
        QCOMPARE(w.conversation().CurrentStep, lost);

        // The step is repeated once and then given up, before any late
        // answer to the repeat can arrive.
        QVERIFY(h.timer.fire());
        QVERIFY(h.timer.fire());
        QCOMPARE(lastMonitorLine(h), QStringLiteral("13:05:09 - Connection Has Failed"));
        QVERIFY(!h.timer.isActive());
        QCOMPARE(h.button(QStringLiteral("B_Cancel"))->text(), QStringLiteral("Cancel"));

        h.button(QStringLiteral("B_Cancel"))->click();
        QVERIFY(w.ended());
        QVERIFY(!w.conversation().linkOpen());
        QTest::qWait(100);
        QVERIFY(!sim.transcript().contains("SAVE\r"));
        QVERIFY(!QFile::exists(sim.statePath()));
    }

    void encoderClosingAfterExitEndsTheProgram()
    {
        SimProcess sim({QStringLiteral("--close-on-exit")});
        MainWindowHarness h(false);
        QVERIFY(retrieve(h, sim));
        h.button(QStringLiteral("B_Cancel"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(h.window->ended(), kWait);
        QCOMPARE(lastMonitorLine(h), QStringLiteral("13:05:09 - Setup Complete"));
        QVERIFY(h.monitor().contains(QStringLiteral("13:05:09 - Setup is complete, Press Done to exit")));
        QCOMPARE(h.stored(QStringLiteral("IP")), QStringLiteral("127.0.0.1"));
    }

    void unwritableReportAsksWhetherToSave_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes saves") << true;
        QTest::newRow("No sends nothing") << false;
    }
    void unwritableReportAsksWhetherToSave()
    {
        QFETCH(bool, yes);
        SimProcess sim;
        MainWindowHarness h(false);
        QFile blocker(h.dir.filePath(QStringLiteral("not-a-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        h.services.reportFolder = blocker.fileName();
        QVERIFY(retrieve(h, sim));
        const QByteArray retrieval = sim.transcript();
        h.messages.queueAnswer(yes);
        QSignalSpy finished(&h.window->conversation(), &Conversation::closingFinished);
        h.button(QStringLiteral("B_Save"))->click();
        QCOMPARE(h.messages.count(), 1);
        QVERIFY(h.messages.last().question);
        QVERIFY(h.messages.last().text.contains(QDir::toNativeSeparators(blocker.fileName() + "/kyr.cfg")));
        if (yes) {
            QVERIFY(finished.wait(kWait));
            QVERIFY(QFile::exists(sim.statePath()));
        } else {
            QVERIFY(!h.window->monitorShowing());
            QTest::qWait(50);
            QCOMPARE(sim.transcript(), retrieval);
            QVERIFY(!QFile::exists(sim.statePath()));
        }
    }
};

QTEST_MAIN(tst_MainWindowSim)
#include "tst_mainwindow_sim.moc"
