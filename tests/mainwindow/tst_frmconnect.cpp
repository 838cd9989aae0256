// The connection dialog: what it shows for the stored settings, which frame
// an option enables, the keys its boxes take, and what OK and Cancel leave in
// the settings.
#include "MainWindowHarness.h"
#include "frmModem.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSerialPortInfo>
#include <QtTest/QtTest>

class tst_frmConnect : public QObject
{
    Q_OBJECT

private:
    template <class T> static T *find(QDialog &d, const char *name) { return d.findChild<T *>(QLatin1String(name)); }
    static QString enabledFrames(QDialog &d)
    {
        QString frames;
        for (const char *name : {"F_LAN", "F_Serial", "F_Modem"})
            frames += find<QGroupBox>(d, name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return frames;
    }
    static QString checkedOption(QDialog &d)
    {
        for (const char *name : {"RB_LAN", "RB_Serial", "RB_Modem"})
            if (find<QRadioButton>(d, name)->isChecked())
                return QLatin1String(name);
        return QStringLiteral("none");
    }

private slots:
    void controlsAndCaptions()
    {
        ConnectionSettings settings;
        TestDialogs dialogs;
        frmConnect d(settings, dialogs);
        QCOMPARE(d.windowTitle(), QStringLiteral("Connection Method"));
        QCOMPARE(find<QGroupBox>(d, "F_LAN")->title(), QStringLiteral("LAN "));
        QCOMPARE(find<QGroupBox>(d, "F_Serial")->title(), QStringLiteral("Serial"));
        QCOMPARE(find<QGroupBox>(d, "F_Modem")->title(), QStringLiteral("Modem"));
        QCOMPARE(find<QPushButton>(d, "B_OK")->text(), QStringLiteral("OK"));
        QCOMPARE(find<QPushButton>(d, "B_Cancel")->text(), QStringLiteral("Cancel"));
        QCOMPARE(find<QPushButton>(d, "B_Properties")->text(), QStringLiteral("Properties"));
        QCOMPARE(find<QLineEdit>(d, "EB_Address")->accessibleName(),
                 QStringLiteral("KYR7 Serial Number or IP Address"));
        QCOMPARE(find<QLineEdit>(d, "EB_Phone")->accessibleName(), QStringLiteral("Phone Number"));
        QCOMPARE(find<QComboBox>(d, "CB_COM")->accessibleName(), QStringLiteral("Connect using"));
        QCOMPARE(find<QComboBox>(d, "CB_MODEM")->accessibleName(), QStringLiteral("Connect using"));
    }

    void opensOnStoredMethod_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("frames"); // LAN, Serial, Modem enabled
        QTest::newRow("LAN") << "LAN"
                             << "RB_LAN"
                             << "100";
        QTest::newRow("SERIAL") << "SERIAL"
                                << "RB_Serial"
                                << "010";
        QTest::newRow("MODEM") << "MODEM"
                               << "RB_Modem"
                               << "001";
        QTest::newRow("unknown keeps the design") << "Bluetooth"
                                                  << "none"
                                                  << "111";
        QTest::newRow("letter case counts") << "lan"
                                            << "none"
                                            << "111";
    }
    void opensOnStoredMethod()
    {
        QFETCH(QString, method);
        ConnectionSettings settings;
        settings.Method = method;
        TestDialogs dialogs;
        frmConnect d(settings, dialogs);
        QFETCH(QString, option);
        QCOMPARE(checkedOption(d), option);
        QFETCH(QString, frames);
        QCOMPARE(enabledFrames(d), frames);
    }

    void showsStoredValues()
    {
        ConnectionSettings settings;
        settings.IP = QStringLiteral("10.1.2.3");
        settings.Serial = QStringLiteral("/dev/ttyUSB3");
        settings.Modem = QStringLiteral("COM4");
        settings.Number = QStringLiteral("9,5551234");
        TestDialogs dialogs;
        frmConnect d(settings, dialogs);
        QCOMPARE(find<QLineEdit>(d, "EB_Address")->text(), settings.IP);
        QCOMPARE(find<QComboBox>(d, "CB_COM")->currentText(), settings.Serial);
        QCOMPARE(find<QComboBox>(d, "CB_MODEM")->currentText(), settings.Modem);
        QCOMPARE(find<QLineEdit>(d, "EB_Phone")->text(), settings.Number);
    }

    void portListsOfferComPortsAndThisComputersPorts()
    {
        ConnectionSettings settings;
        TestDialogs dialogs;
        frmConnect d(settings, dialogs);
        for (const char *name : {"CB_COM", "CB_MODEM"}) {
            QComboBox *box = find<QComboBox>(d, name);
            QVERIFY(box->isEditable());
            const QStringList offered = MainWindowHarness::items(box);
            QCOMPARE(offered.mid(0, 4), QStringList({"COM1", "COM2", "COM3", "COM4"}));
            for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts())
                QVERIFY2(offered.contains(port.systemLocation()), qPrintable(port.systemLocation()));
        }
    }

    void optionEnablesItsFrame_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("frames");
        QTest::newRow("LAN") << "RB_LAN"
                             << "100";
        QTest::newRow("Serial") << "RB_Serial"
                                << "010";
        QTest::newRow("Modem") << "RB_Modem"
                               << "001";
    }
    void optionEnablesItsFrame()
    {
        ConnectionSettings settings;
        settings.Method = QStringLiteral("MODEM");
        TestDialogs dialogs;
        frmConnect d(settings, dialogs);
        d.show();
        QFETCH(QString, option);
        d.findChild<QRadioButton *>(option)->click();
        QFETCH(QString, frames);
        QCOMPARE(enabledFrames(d), frames);
    }

    void boxesTakeOnlyTheirKeys_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("backspaces");
        QTest::addColumn<QString>("result");
        QTest::newRow("address digits and dots") << "EB_Address"
                                                 << "10.0.0.7" << 0 << "10.0.0.7";
        QTest::newRow("address refuses letters") << "EB_Address"
                                                 << "1a2b.c3 -,/" << 0 << "12.3";
        QTest::newRow("address backspace") << "EB_Address"
                                           << "123" << 1 << "12";
        QTest::newRow("phone dial characters") << "EB_Phone"
                                               << "9,W555-1234dDpP" << 0 << "9,W555-1234dDpP";
        QTest::newRow("phone refuses others") << "EB_Phone"
                                              << "9#*x .a5" << 0 << "95";
        QTest::newRow("phone backspace") << "EB_Phone"
                                         << "9,w" << 2 << "9";
    }
    void boxesTakeOnlyTheirKeys()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(int, backspaces);
        ConnectionSettings settings;
        settings.Method = box == QLatin1String("EB_Phone") ? QStringLiteral("MODEM") : QStringLiteral("LAN");
        TestDialogs dialogs;
        frmConnect d(settings, dialogs);
        d.show();
        auto *edit = d.findChild<QLineEdit *>(box);
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, typed);
        for (int i = 0; i < backspaces; ++i)
            QTest::keyClick(edit, Qt::Key_Backspace);
        QFETCH(QString, result);
        QCOMPARE(edit->text(), result);
    }

    void okWritesTheSettings_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("method");
        QTest::newRow("LAN") << "RB_LAN"
                             << "LAN";
        QTest::newRow("Serial") << "RB_Serial"
                                << "SERIAL";
        QTest::newRow("Modem") << "RB_Modem"
                               << "MODEM";
    }
    void okWritesTheSettings()
    {
        ConnectionSettings settings;
        TestDialogs dialogs;
        frmConnect d(settings, dialogs);
        d.show();
        QFETCH(QString, option);
        d.findChild<QRadioButton *>(option)->click();
        find<QLineEdit>(d, "EB_Address")->setText(QStringLiteral("12345"));
        find<QComboBox>(d, "CB_COM")->setCurrentText(QStringLiteral("/dev/ttyUSB0"));
        find<QComboBox>(d, "CB_MODEM")->setCurrentIndex(2);
        find<QLineEdit>(d, "EB_Phone")->setText(QStringLiteral("9,5550100"));
        find<QPushButton>(d, "B_OK")->click();
        QVERIFY(d.ConnectOK);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QFETCH(QString, method);
        QCOMPARE(settings.Method, method);
        QCOMPARE(settings.IP, QStringLiteral("12345"));
        QCOMPARE(settings.Serial, QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(settings.Modem, QStringLiteral("COM3"));
        QCOMPARE(settings.Number, QStringLiteral("9,5550100"));
    }

    void okWithoutAnOptionMeansModem()
    {
        ConnectionSettings settings;
        settings.Method = QStringLiteral("unknown");
        TestDialogs dialogs;
        frmConnect d(settings, dialogs);
        find<QPushButton>(d, "B_OK")->click();
        QCOMPARE(settings.Method, QStringLiteral("MODEM"));
    }

    void cancelChangesNothing()
    {
        ConnectionSettings settings;
        TestDialogs dialogs;
        frmConnect d(settings, dialogs);
        d.show();
        find<QRadioButton>(d, "RB_Serial")->click();
        find<QLineEdit>(d, "EB_Address")->setText(QStringLiteral("10.9.9.9"));
        find<QPushButton>(d, "B_Cancel")->click();
        QVERIFY(!d.ConnectOK);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(settings.Method, QStringLiteral("LAN"));
        QCOMPARE(settings.IP, QStringLiteral("192.168.0.1"));
    }

    void propertiesEditsTheModemCommands()
    {
        ConnectionSettings settings;
        settings.Method = QStringLiteral("MODEM");
        TestDialogs dialogs;
        dialogs.onOther = [](QDialog &modem) {
            modem.findChild<QLineEdit *>(QStringLiteral("EB_Dial"))->setText(QStringLiteral("AT DP"));
            modem.findChild<QPushButton *>(QStringLiteral("B_Apply"))->click();
            return modem.result();
        };
        frmConnect d(settings, dialogs);
        find<QPushButton>(d, "B_Properties")->click();
        QCOMPARE(dialogs.opened, QStringList{QStringLiteral("frmModem")});
        QCOMPARE(settings.DIAL, QStringLiteral("AT DP"));
    }
};

QTEST_MAIN(tst_frmConnect)
#include "tst_frmconnect.moc"
