// The main window headless: start-up and shutdown with the settings store,
// the monitor, the display of a program's modules, the requested video
// format, and the closing buttons up to the first command on the link.
#include "MainWindowHarness.h"

#include <QFile>
#include <QGroupBox>
#include <QTabBar>
#include <QtTest/QtTest>

namespace {

void setStream(clsKYR &kyr, int s, int type, int program, const char *direction = "E", int mode = 0)
{
    kyr.setStr(s, StrRow::StreamType, KyrValue(qint32(type)));
    kyr.setSSTR(s, StrRow::Program, QString::number(program));
    kyr.setSSTR(s, StrRow::Direction, QString::fromLatin1(direction));
    kyr.setSSTR(s, StrRow::Mode, QString::number(mode));
}

const QStringList kAllTypes{"None", "Transparent Module", "Constant Data Module", "Caption Module", "Bridging Module"};

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    // --- start-up and shutdown

    void emptyStoreOpensOnDefaultsAndCancelStoresThem()
    {
        MainWindowHarness h;
        QString option, address;
        h.dialogs.connectOK = false;
        h.dialogs.onConnect = [&](frmConnect &d) {
            option = d.findChild<QRadioButton *>(QStringLiteral("RB_LAN"))->isChecked() ? "LAN" : "other";
            address = d.findChild<QLineEdit *>(QStringLiteral("EB_Address"))->text();
        };
        frmKYR7Set &w = h.make();
        QVERIFY(!w.Start());
        QCOMPARE(option, QStringLiteral("LAN"));
        QCOMPARE(address, QStringLiteral("192.168.0.1"));
        QVERIFY(w.ended());
        QVERIFY(!w.ConnectOK);
        QCOMPARE(h.linksMade, 0);
        QCOMPARE(h.messages.count(), 0);
        const QStringList expected{"0", "0", "192.168.0.1", "COM1", "COM2", "LAN", "9,", "AT Z", "AT DT"};
        const QStringList keys{"Top", "Left", "IP", "Serial", "Modem", "Method", "Number", "INIT", "DIAL"};
        for (int i = 0; i < keys.size(); ++i)
            QCOMPARE(h.stored(keys[i]), expected[i]);
    }

    void okOpensTheLinkWithTheChosenSettings()
    {
        MainWindowHarness h;
        h.store.setValue(QStringLiteral("Settings/IP"), QStringLiteral("10.1.2.3"));
        h.store.setValue(QStringLiteral("Settings/Method"), QStringLiteral("LAN"));
        frmKYR7Set &w = h.make();
        QVERIFY(w.Start());
        QVERIFY(w.ConnectOK);
        QCOMPARE(h.linksMade, 1);
        QCOMPARE(h.linkSettings.IP, QStringLiteral("10.1.2.3"));
        QCOMPARE(h.monitor(),
                 QStringList({"13:05:09 - Attempting to connect to KYR7", "13:05:09 - Connection Type is LAN"}));
        QCOMPARE(w.windowTitle(), QStringLiteral("KYR7 Setup Program Version %1.%2.%3")
                                      .arg(KYR7_VERSION_MAJOR)
                                      .arg(KYR7_VERSION_MINOR)
                                      .arg(KYR7_VERSION_PATCH));
        const QStringList video = MainWindowHarness::items(h.combo(QStringLiteral("CB_Video")));
        QCOMPARE(video.size(), 15);
        QCOMPARE(video.first(), QStringLiteral("None - Disable Encoding"));
        QCOMPARE(video.at(4), QStringLiteral("Any HD Video"));
        QVERIFY(w.monitorShowing());
        for (const char *hidden : {"F_Modules", "F_ID", "F_TCP", "F_General"})
            QVERIFY2(w.findChild<QGroupBox *>(QLatin1String(hidden))->isHidden(), hidden);
        QVERIFY(h.button(QStringLiteral("B_Save"))->isHidden());
        QVERIFY(h.button(QStringLiteral("B_Defaults"))->isHidden());
        QVERIFY(!h.button(QStringLiteral("B_Cancel"))->isHidden());
    }

    void closeStoresThePositionUnlessMinimised_data()
    {
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("left");
        QTest::newRow("normal") << false << "50"
                                << "300";
        QTest::newRow("minimised") << true << "100"
                                   << "200";
    }
    void closeStoresThePositionUnlessMinimised()
    {
        QFETCH(bool, minimised);
        QFETCH(QString, top);
        QFETCH(QString, left);
        MainWindowHarness h;
        h.store.setValue(QStringLiteral("Settings/Top"), QStringLiteral("100"));
        h.store.setValue(QStringLiteral("Settings/Left"), QStringLiteral("200"));
        frmKYR7Set &w = h.make();
        QVERIFY(w.Start());
        QCOMPARE(w.pos(), QPoint(200, 100));
        w.move(300, 50);
        if (minimised)
            w.setWindowState(Qt::WindowMinimized);
        w.close();
        QVERIFY(w.ended());
        QCOMPARE(h.stored(QStringLiteral("Top")), top);
        QCOMPARE(h.stored(QStringLiteral("Left")), left);
        QCOMPARE(h.stored(QStringLiteral("IP")), QStringLiteral("192.168.0.1"));
        QVERIFY(h.link && !h.link->isOpen());
    }

    // --- the monitor

    void monitorKeepsTheLatestFifteenLines_data()
    {
        QTest::addColumn<int>("added");
        QTest::newRow("one") << 1;
        QTest::newRow("fifteen") << 15;
        QTest::newRow("sixteen") << 16;
        QTest::newRow("forty") << 40;
    }
    void monitorKeepsTheLatestFifteenLines()
    {
        QFETCH(int, added);
        MainWindowHarness h;
        frmKYR7Set &w = h.make();
        for (int i = 1; i <= added; ++i)
            w.MonitorAdd(QStringLiteral("line %1").arg(i));
        const QStringList lines = h.monitor();
        QCOMPARE(lines.size(), qMin(added, 15));
        QCOMPARE(lines.last(), QStringLiteral("13:05:09 - line %1").arg(added));
        QCOMPARE(lines.first(), QStringLiteral("13:05:09 - line %1").arg(qMax(1, added - 14)));
    }

    void monitorStampsTheClocksTime_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("line");
        QTest::newRow("morning") << QTime(0, 0, 5) << "00:00:05 - Connection Has Failed";
        QTest::newRow("evening") << QTime(23, 59, 59) << "23:59:59 - Connection Has Failed";
    }
    void monitorStampsTheClocksTime()
    {
        QFETCH(QTime, time);
        QFETCH(QString, line);
        MainWindowHarness h;
        h.clock.time = time;
        h.make().MonitorAdd(QStringLiteral("Connection Has Failed"));
        QCOMPARE(h.monitor(), QStringList{line});
    }

    // --- the display

    void allStreamsFreeOffersEveryTypeInTheFirstSlot()
    {
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        QComboBox *first = h.combo(QStringLiteral("CB_Module_0"));
        QCOMPARE(MainWindowHarness::items(first), kAllTypes);
        QCOMPARE(first->currentText(), QStringLiteral("None"));
        QVERIFY(first->isEnabled());
        QVERIFY(h.button(QStringLiteral("B_Configure_0"))->isEnabled());
        QCOMPARE(w.state().SlotStream[0][0], qint16(-1));
        for (int i = 1; i < 8; ++i) {
            QCOMPARE(h.combo(QStringLiteral("CB_Module_%1").arg(i))->count(), 0);
            QVERIFY(!h.combo(QStringLiteral("CB_Module_%1").arg(i))->isEnabled());
            QVERIFY(!h.button(QStringLiteral("B_Configure_%1").arg(i))->isEnabled());
            QVERIFY(h.label(QStringLiteral("TB_Port_%1").arg(i))->text().isEmpty());
        }
        QCOMPARE(h.messages.count(), 0);
    }

    void limitsCountTheStreamsOfBothPrograms()
    {
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        clsKYR &kyr = w.model();
        kyr.setSKYR(KyrRow::TransparentStreams, QStringLiteral("3"));
        kyr.setSSTR(StreamSlot::LAN3, StrRow::PortAddr, QStringLiteral("5003"));
        setStream(kyr, StreamSlot::LAN1, 1, 1);
        setStream(kyr, StreamSlot::LAN2, 1, 1);
        setStream(kyr, StreamSlot::LAN3, 1, 2);
        w.SetDisplay();
        QCOMPARE(h.combo(QStringLiteral("CB_Module_0"))->currentText(), QStringLiteral("Transparent Module"));
        QCOMPARE(h.combo(QStringLiteral("CB_Module_1"))->currentText(), QStringLiteral("Transparent Module"));
        QCOMPARE(MainWindowHarness::items(h.combo(QStringLiteral("CB_Module_2"))),
                 QStringList({"None", "Constant Data Module", "Caption Module", "Bridging Module"}));

        h.child<QTabBar>(QStringLiteral("TS_Program"))->setCurrentIndex(1);
        QCOMPARE(w.state().CurrentProgram, 1);
        QCOMPARE(h.combo(QStringLiteral("CB_Module_0"))->currentText(), QStringLiteral("Transparent Module"));
        QCOMPARE(h.label(QStringLiteral("TB_Port_0"))->text(), QStringLiteral("5003"));
        QCOMPARE(w.state().SlotStream[1][0], qint16(StreamSlot::LAN3));
        QCOMPARE(MainWindowHarness::items(h.combo(QStringLiteral("CB_Module_1"))),
                 QStringList({"None", "Constant Data Module", "Caption Module", "Bridging Module"}));
        // Program 1's slot table is kept while program 2 is shown.
        QCOMPARE(w.state().SlotStream[0][1], qint16(StreamSlot::LAN2));
    }

    void captionModuleTakesOneSlotForItsStreams()
    {
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        clsKYR &kyr = w.model();
        kyr.setSKYR(KyrRow::CaptionStreams, QStringLiteral("1"));
        setStream(kyr, StreamSlot::PORTA, 16, 1, "E", 0); // primary
        setStream(kyr, StreamSlot::PORTB, 16, 1, "E", 1); // secondary
        setStream(kyr, StreamSlot::PORTC, 16, 1, "E", 2); // XDS
        setStream(kyr, StreamSlot::LAN1, 16, 1, "D", 0);  // decoding
        w.SetDisplay();
        QCOMPARE(MainWindowHarness::items(h.combo(QStringLiteral("CB_Module_0"))), QStringList{"Caption Module"});
        QVERIFY(!h.combo(QStringLiteral("CB_Module_0"))->isEnabled());
        QVERIFY(h.button(QStringLiteral("B_Configure_0"))->isEnabled());
        QCOMPARE(h.label(QStringLiteral("TB_Port_0"))->text(), QStringLiteral("PORTA"));
        // Only the primary stream counts against the limit of one.
        QCOMPARE(MainWindowHarness::items(h.combo(QStringLiteral("CB_Module_1"))),
                 QStringList({"None", "Transparent Module", "Constant Data Module", "Bridging Module"}));
        QVERIFY(!h.combo(QStringLiteral("CB_Module_2"))->isEnabled());
        for (int s : {0, 1, 2, int(StreamSlot::LAN1)})
            QVERIFY2(w.state().StreamInUse[s], qPrintable(QString::number(s)));
        QVERIFY(!w.state().StreamInUse[StreamSlot::MODEM]);
    }

    void eightModulesLeaveNoFreeSlotAndStopTheScan()
    {
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        clsKYR &kyr = w.model();
        for (int s = 0; s < 8; ++s)
            setStream(kyr, s, s % 2 ? 2 : 1, 1);
        w.state().StreamInUse[StreamSlot::LAN5] = true; // stale mark beyond the eighth module
        w.SetDisplay();
        for (int i = 0; i < 8; ++i) {
            QComboBox *box = h.combo(QStringLiteral("CB_Module_%1").arg(i));
            QCOMPARE(box->count(), 1);
            QVERIFY(!box->isEnabled());
            QVERIFY(h.button(QStringLiteral("B_Configure_%1").arg(i))->isEnabled());
            QCOMPARE(w.state().SlotStream[0][i], qint16(i));
        }
        QCOMPARE(h.combo(QStringLiteral("CB_Module_1"))->currentText(), QStringLiteral("Constant Data Module"));
        QVERIFY(w.state().StreamInUse[StreamSlot::LAN5]);
    }

    void encoderType_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("shown");
        QTest::newRow("KYR7-12") << "KYR7-12"
                                 << "KYR7";
        QTest::newRow("Encoder") << "Encoder"
                                 << "Encoder";
        QTest::newRow("inside") << "MyKYR7X"
                                << "KYR7";
        QTest::newRow("short") << "XKYR"
                               << "KYR";
        QTest::newRow("lower case is not KYR") << "kyr7-1"
                                               << "kyr7-1";
        QTest::newRow("empty") << ""
                               << "";
    }
    void encoderType()
    {
        QFETCH(QString, id);
        QFETCH(QString, shown);
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        w.model().setSKYR(KyrRow::ID, id);
        w.SetDisplay();
        QCOMPARE(h.label(QStringLiteral("TB_TYPE"))->text(), shown);
    }

    void dhcp_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0") << "0"
                           << "Off";
        QTest::newRow("1") << "1"
                           << "On";
        QTest::newRow("2") << "2"
                           << "On";
    }
    void dhcp()
    {
        QFETCH(QString, value);
        QFETCH(QString, shown);
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        w.model().setSKYR(KyrRow::DHCP, value);
        w.SetDisplay();
        QCOMPARE(h.label(QStringLiteral("TB_DHCP"))->text(), shown);
    }

    void identityAndNetworkTexts()
    {
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        clsKYR &kyr = w.model();
        kyr.setSKYR(KyrRow::SerialNumber, QStringLiteral("777"));
        kyr.setSKYR(KyrRow::Software, QStringLiteral("36-47215-02"));
        kyr.setSKYR(KyrRow::Rev, QStringLiteral("H"));
        kyr.setSKYR(KyrRow::IpNum, QStringLiteral("10.0.0.9"));
        kyr.setSKYR(KyrRow::Netmask, QStringLiteral("255.0.0.0"));
        kyr.setSKYR(KyrRow::Gateway, QStringLiteral("10.0.0.1"));
        kyr.setSPGM(0, PgmRow::VideoMode, QStringLiteral("10"));
        kyr.setSPGM(0, PgmRow::RequestedVideoMode, QStringLiteral("3"));
        w.SetDisplay();
        QCOMPARE(h.label(QStringLiteral("TB_Serial"))->text(), QStringLiteral("777"));
        QCOMPARE(h.label(QStringLiteral("TB_Firmware"))->text(), QStringLiteral("36-47215-02"));
        QCOMPARE(h.label(QStringLiteral("TB_Revision"))->text(), QStringLiteral("H"));
        QCOMPARE(h.label(QStringLiteral("TB_Address"))->text(), QStringLiteral("10.0.0.9"));
        QCOMPARE(h.label(QStringLiteral("TB_Netmask"))->text(), QStringLiteral("255.0.0.0"));
        QCOMPARE(h.label(QStringLiteral("TB_Gateway"))->text(), QStringLiteral("10.0.0.1"));
        QCOMPARE(h.label(QStringLiteral("TB_Video"))->text(), QStringLiteral("HD 1080i 50 Hz"));
        QCOMPARE(h.combo(QStringLiteral("CB_Video"))->currentIndex(), 3);
        QCOMPARE(h.label(QStringLiteral("TB_Serial"))->accessibleName(), QStringLiteral("Serial Number"));
        QCOMPARE(h.combo(QStringLiteral("CB_Module_2"))->accessibleName(), QStringLiteral("Module 3"));
        QCOMPARE(h.label(QStringLiteral("TB_Port_0"))->accessibleName(), QStringLiteral("Data Source 1"));
    }

    void requestedVideoOutsideTheListIsReportedAndTheRedrawGoesOn_data()
    {
        QTest::addColumn<int>("requested");
        QTest::newRow("15") << 15;
        QTest::newRow("200") << 200;
        QTest::newRow("negative") << -1;
    }
    void requestedVideoOutsideTheListIsReportedAndTheRedrawGoesOn()
    {
        QFETCH(int, requested);
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        w.model().setPgm(0, PgmRow::RequestedVideoMode, KyrValue(qint32(requested)));
        setStream(w.model(), StreamSlot::PORTB, 1, 1);
        w.SetDisplay();
        QCOMPARE(h.messages.count(), 1);
        QCOMPARE(h.messages.last().text, QStringLiteral("Error in SetDisplay, press OK to continue"));
        QVERIFY(!h.messages.last().question);
        QCOMPARE(h.combo(QStringLiteral("CB_Video"))->currentIndex(), -1);
        QCOMPARE(h.label(QStringLiteral("TB_Port_0"))->text(), QStringLiteral("PORTB"));
        QCOMPARE(h.combo(QStringLiteral("CB_Module_1"))->currentText(), QStringLiteral("None"));
    }

    // --- module slots

    void configureOnAFreeSlotOpensNothingAndRedraws()
    {
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        w.state().CurrentStream = 7;
        h.label(QStringLiteral("TB_TYPE"))->setText(QStringLiteral("stale"));
        h.button(QStringLiteral("B_Configure_0"))->click();
        QCOMPARE(w.state().CurrentStream, -1);
        QCOMPARE(h.dialogs.opened, QStringList{"frmConnect"});
        QCOMPARE(h.label(QStringLiteral("TB_TYPE"))->text(), QStringLiteral("KYR7"));
    }

    void configureOnAModuleWorksOnItsStream()
    {
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        setStream(w.model(), StreamSlot::PORTC, 1, 2);
        setStream(w.model(), StreamSlot::FILE2, 2, 2);
        h.child<QTabBar>(QStringLiteral("TS_Program"))->setCurrentIndex(1);
        h.button(QStringLiteral("B_Configure_1"))->click();
        QCOMPARE(w.state().CurrentStream, int(StreamSlot::FILE2));
    }

    void choosingATypeMakesTheSlotNew()
    {
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        setStream(w.model(), StreamSlot::PORTA, 1, 1);
        w.SetDisplay();
        QComboBox *free = h.combo(QStringLiteral("CB_Module_1"));
        w.state().SlotStream[0][1] = 5;
        free->setCurrentIndex(2);
        emit free->activated(2);
        QCOMPARE(w.state().SlotStream[0][1], qint16(-1));
        QVERIFY(h.button(QStringLiteral("B_Configure_1"))->isEnabled());
        h.button(QStringLiteral("B_Configure_1"))->click();
        QCOMPARE(w.state().CurrentStream, -1);
    }

    void propertiesOpensTheLanEditorAndRedraws()
    {
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        h.dialogs.onOther = [&](QDialog &) {
            w.model().setSKYR(KyrRow::IpNum, QStringLiteral("172.16.0.5"));
            return int(QDialog::Accepted);
        };
        h.button(QStringLiteral("B_Properties"))->click();
        QCOMPARE(h.dialogs.opened.last(), QStringLiteral("frmLanSetup"));
        QCOMPARE(h.label(QStringLiteral("TB_Address"))->text(), QStringLiteral("172.16.0.5"));
    }

    // --- the requested video format

    void videoChangeWithoutBridgeIsStoredAtOnce()
    {
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        QComboBox *video = h.combo(QStringLiteral("CB_Video"));
        const QString current = h.label(QStringLiteral("TB_Video"))->text();
        video->setCurrentIndex(9);
        emit video->activated(9);
        QCOMPARE(w.model().sPGM(0, PgmRow::RequestedVideoMode), QStringLiteral("9"));
        QCOMPARE(w.model().sPGM(1, PgmRow::RequestedVideoMode), QStringLiteral("0"));
        QCOMPARE(h.label(QStringLiteral("TB_Video"))->text(), current);
        QCOMPARE(h.messages.count(), 0);
    }

    void videoChangeWithBridgeAsks_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("Yes") << true << "12" << 12;
        QTest::newRow("No") << false << "3" << 3;
    }
    void videoChangeWithBridgeAsks()
    {
        QFETCH(bool, yes);
        QFETCH(QString, stored);
        QFETCH(int, shown);
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        setStream(w.model(), StreamSlot::INBRIDGE1, 4, 2);
        w.model().setSPGM(0, PgmRow::RequestedVideoMode, QStringLiteral("3"));
        w.SetDisplay();
        QComboBox *video = h.combo(QStringLiteral("CB_Video"));
        h.messages.queueAnswer(yes);
        video->setCurrentIndex(12);
        emit video->activated(12);
        QCOMPARE(h.messages.count(), 1);
        QVERIFY(h.messages.last().question);
        QCOMPARE(h.messages.last().title, QStringLiteral("Warning, bridging module affected"));
        QCOMPARE(h.messages.last().text,
                 QStringLiteral("Changing the requested video type affects the operation of the bridging module.\r\n"
                                "You will be forced to reconfigure the bridge if you continue with the change.\r\n"
                                "\r\nContinue and change the requested video?"));
        QCOMPARE(w.model().sPGM(0, PgmRow::RequestedVideoMode), stored);
        QCOMPARE(video->currentIndex(), shown);
        QVERIFY(!w.state().BridgeReconfigure);
    }

    void reselectingTheStoredFormatAsksNothing()
    {
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        setStream(w.model(), StreamSlot::INBRIDGE1, 4, 1);
        w.SetDisplay();
        emit h.combo(QStringLiteral("CB_Video"))->activated(0);
        QCOMPARE(h.messages.count(), 0);
    }

    // --- the closing buttons, up to the first command

    void cancelWhileTheMonitorShowsClosesAndSendsNothing()
    {
        MainWindowHarness h;
        frmKYR7Set &w = h.make();
        QVERIFY(w.Start());
        h.button(QStringLiteral("B_Cancel"))->click();
        QVERIFY(w.ended());
        QVERIFY(h.link->sent.isEmpty());
        QCOMPARE(h.stored(QStringLiteral("Method")), QStringLiteral("LAN"));
    }

    void cancelWhileEditingSendsExit()
    {
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        h.button(QStringLiteral("B_Cancel"))->click();
        QVERIFY(!w.ended());
        QCOMPARE(h.link->sent, QByteArray("EXIT\r"));
        QVERIFY(w.monitorShowing());
        QCOMPARE(h.monitor(), QStringList{"13:05:09 - Cancelling Changes"});
        QCOMPARE(w.conversation().Finishing, 1);
    }

    void factoryDefaultsOnlyAfterYes_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("Yes") << true << QByteArray("DEFAULTS\r");
        QTest::newRow("No") << false << QByteArray();
    }
    void factoryDefaultsOnlyAfterYes()
    {
        QFETCH(bool, yes);
        QFETCH(QByteArray, sent);
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        h.messages.queueAnswer(yes);
        h.button(QStringLiteral("B_Defaults"))->click();
        QCOMPARE(h.messages.count(), 1);
        QCOMPARE(h.messages.last().title, QStringLiteral("Warning Changes are Permanent"));
        QCOMPARE(h.messages.last().text,
                 QStringLiteral("This will cause you to lose all current settings leaving only the TCP/IP address\r\n"
                                "are you sure that you wish to proceed?"));
        QCOMPARE(h.link->sent, sent);
        QCOMPARE(w.monitorShowing(), yes);
        if (yes)
            QCOMPARE(h.monitor(), QStringList{"13:05:09 - Cancelling Changes"});
    }

    void clearStreamsEmptiesOnlyTheShownProgram_data()
    {
        QTest::addColumn<int>("program");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QList<int>>("cleared");
        const QList<int> one{StreamSlot::PORTA, StreamSlot::FILE1};
        const QList<int> two{StreamSlot::LAN1, StreamSlot::BTEST2};
        QTest::newRow("program 1, Yes") << 0 << true << one;
        QTest::newRow("program 2, Yes") << 1 << true << two;
        QTest::newRow("program 1, No") << 0 << false << QList<int>{};
    }
    void clearStreamsEmptiesOnlyTheShownProgram()
    {
        QFETCH(int, program);
        QFETCH(bool, yes);
        QFETCH(QList<int>, cleared);
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        clsKYR &kyr = w.model();
        setStream(kyr, StreamSlot::PORTA, 1, 1);
        setStream(kyr, StreamSlot::FILE1, 2, 1);
        setStream(kyr, StreamSlot::LAN1, 16, 2);
        setStream(kyr, StreamSlot::BTEST2, 1, 2);
        h.child<QTabBar>(QStringLiteral("TS_Program"))->setCurrentIndex(program);
        h.messages.queueAnswer(yes);
        h.button(QStringLiteral("B_Clear"))->click();
        QCOMPARE(h.messages.last().title, QStringLiteral("Warning, About to remove configuration information"));
        QCOMPARE(
            h.messages.last().text,
            QStringLiteral("This action will remove all the current streams\r\nAre you sure you want to continue?"));
        for (int s : {int(StreamSlot::PORTA), int(StreamSlot::FILE1), int(StreamSlot::LAN1), int(StreamSlot::BTEST2)})
            QCOMPARE(kyr.str(s, StrRow::StreamType).toInt() == 0, cleared.contains(s));
        QVERIFY(h.link->sent.isEmpty());
        QVERIFY(!w.monitorShowing());
        if (yes)
            QCOMPARE(h.combo(QStringLiteral("CB_Module_0"))->currentText(), QStringLiteral("None"));
    }

    void saveWritesTheReportFirst()
    {
        MainWindowHarness h;
        frmKYR7Set &w = h.editing();
        h.button(QStringLiteral("B_Save"))->click();
        QFile report(QDir(h.services.reportFolder).filePath(QStringLiteral("kyr.cfg")));
        QVERIFY(report.open(QIODevice::ReadOnly));
        QVERIFY(report.readLine().startsWith("KYR7 Configuration"));
        QCOMPARE(h.link->sent, QByteArray("SETUP\r"));
        QCOMPARE(h.monitor(), QStringList{"13:05:09 - Saving KYR Parameters"});
        QVERIFY(w.monitorShowing());
        QCOMPARE(h.messages.count(), 0);
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
