#include "ScriptedMessages.h"
#include "clsKYR.h"
#include "frmLanSetup.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest/QTest>

namespace {

const QString kUnique = QStringLiteral("All Lan port addresses must be unique");
const QString kTooLarge = QStringLiteral("All Lan port addresses must be less than 30000");

clsKYR Configured()
{
    clsKYR kyr;
    kyr.setSKYR(KyrRow::DHCP, QStringLiteral("0"));
    kyr.setSKYR(KyrRow::IpNum, QStringLiteral("192.168.0.20"));
    kyr.setSKYR(KyrRow::Netmask, QStringLiteral("255.255.255.0"));
    kyr.setSKYR(KyrRow::Gateway, QStringLiteral("192.168.0.1"));
    kyr.setSKYR(KyrRow::Broadcast, QStringLiteral("192.168.0.255"));
    for (int k = 0; k < 8; ++k)
        kyr.setSSTR(StreamSlot::LAN1 + k, StrRow::PortAddr, QString::number(2000 + k));
    return kyr;
}

template <typename T> T *child(QWidget &dialog, const QString &name)
{
    T *w = dialog.findChild<T *>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

QLineEdit *box(QWidget &dialog, const QString &name)
{
    return child<QLineEdit>(dialog, name);
}

void click(QWidget &dialog, const char *name)
{
    child<QAbstractButton>(dialog, QString::fromLatin1(name))->click();
}

} // namespace

class tst_frmLanSetup : public QObject
{
    Q_OBJECT
private slots:
    void opensOnTheModel();
    void refusedPorts_data();
    void refusedPorts();
    void keysOfTheBoxes_data();
    void keysOfTheBoxes();
    void addressesSplitAndJoin_data();
    void addressesSplitAndJoin();
    void dhcpStillWritesTheAddresses();
    void fixedAddressKeepsWhatWasTyped();
    void cancelWritesNothing();
    void inputsHaveAccessibleNames();
};

void tst_frmLanSetup::opensOnTheModel()
{
    clsKYR kyr = Configured();
    kyr.setSKYR(KyrRow::DHCP, QStringLiteral("7")); // any non-zero value reads as DHCP
    ScriptedMessages messages;
    frmLanSetup dialog(kyr, messages);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("LAN Configuration"));
    QVERIFY(child<QRadioButton>(dialog, "RB_DHCP")->isChecked());
    QVERIFY(!child<QRadioButton>(dialog, "RB_Fixed")->isChecked());
    QVERIFY(!child<QGroupBox>(dialog, "F_Fixed")->isEnabled());
    QCOMPARE(box(dialog, "EB_IP_3")->text(), QStringLiteral("20"));
    QCOMPARE(box(dialog, "EB_Mask_2")->text(), QStringLiteral("255"));
    QCOMPARE(box(dialog, "EB_Gateway_0")->text(), QStringLiteral("192"));
    QCOMPARE(box(dialog, "EB_Port_0")->text(), QStringLiteral("2000"));
    QCOMPARE(box(dialog, "EB_Port_7")->text(), QStringLiteral("2007"));
}

void tst_frmLanSetup::refusedPorts_data()
{
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QStringList>("expected");

    const QStringList none;
    QTest::newRow("LAN1 equals LAN3") << QStringList{"2000", "2001", "2000", "2003", "2004", "2005", "2006", "2007"}
                                      << QStringList{kUnique};
    QTest::newRow("LAN1 equals LAN2 and LAN5")
        << QStringList{"2000", "2000", "2002", "2003", "2000", "2005", "2006", "2007"} << QStringList{kUnique, kUnique};
    QTest::newRow("only the first duplicated port is reported")
        << QStringList{"2000", "2000", "2002", "2002", "2004", "2005", "2006", "2007"} << QStringList{kUnique};
    QTest::newRow("30000 in LAN4") << QStringList{"2000", "2001", "2002", "30000", "2004", "2005", "2006", "2007"}
                                   << QStringList{kTooLarge};
    QTest::newRow("29999 in LAN4 passes")
        << QStringList{"2000", "2001", "2002", "29999", "2004", "2005", "2006", "2007"} << none;
    QTest::newRow("two empty boxes are equal")
        << QStringList{"2000", "", "2002", "2003", "", "2005", "2006", "2007"} << QStringList{kUnique};
    QTest::newRow("2000 and 02000 differ")
        << QStringList{"2000", "02000", "2002", "2003", "2004", "2005", "2006", "2007"} << none;
    QTest::newRow("earlier duplicate reported before a later large port")
        << QStringList{"2000", "30000", "2000", "2003", "2004", "2005", "2006", "2007"} << QStringList{kUnique};
    QTest::newRow("large port stops the check before later duplicates")
        << QStringList{"40000", "2001", "2001", "2003", "2004", "2005", "2006", "2007"} << QStringList{kTooLarge};
    QTest::newRow("a huge number is too large, not wrapped round")
        << QStringList{"2000", "2001", "2002", "2003", "2004", "2005", "2006", "99999999999999999999"}
        << QStringList{kTooLarge};
    QTest::newRow("leading digits count")
        << QStringList{"2000", "2001", "2002", "2003", "30001x", "2005", "2006", "2007"} << QStringList{kTooLarge};
}

void tst_frmLanSetup::refusedPorts()
{
    QFETCH(QStringList, ports);
    QFETCH(QStringList, expected);
    clsKYR kyr = Configured();
    const clsKYR before = kyr;
    ScriptedMessages messages;
    frmLanSetup dialog(kyr, messages);
    dialog.show();
    for (int k = 0; k < 8; ++k)
        box(dialog, QStringLiteral("EB_Port_%1").arg(k))->setText(ports[k]);
    box(dialog, "EB_IP_3")->setText(QStringLiteral("99"));

    click(dialog, "B_Apply");

    QStringList shown;
    for (const auto &b : messages.boxes) {
        QVERIFY(!b.question);
        QCOMPARE(b.title, QStringLiteral("LAN Port Error"));
        shown << b.text;
    }
    QCOMPARE(shown, expected);
    if (expected.isEmpty()) {
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        for (int k = 0; k < 8; ++k)
            QCOMPARE(kyr.sSTR(StreamSlot::LAN1 + k, StrRow::PortAddr),
                     QString::number(KyrValue::readDecimal(ports[k])));
        QCOMPARE(kyr.sKYR(KyrRow::IpNum), QStringLiteral("192.168.0.99"));
    } else {
        QVERIFY(dialog.isVisible());
        QVERIFY(kyr == before);
    }
}

void tst_frmLanSetup::keysOfTheBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");

    QTest::newRow("dot swallowed in IP") << "EB_IP_0"
                                         << "1.2"
                                         << "12";
    QTest::newRow("IP box 0 takes 3") << "EB_IP_0"
                                      << "12345"
                                      << "123";
    QTest::newRow("IP box 1 has no limit") << "EB_IP_1"
                                           << "12345"
                                           << "12345";
    QTest::newRow("letters swallowed in mask") << "EB_Mask_2"
                                               << "25x5-"
                                               << "255";
    QTest::newRow("mask box 0 takes 3") << "EB_Mask_0"
                                        << "2555"
                                        << "255";
    QTest::newRow("gateway takes any key") << "EB_Gateway_0"
                                           << "a.b"
                                           << "a.b";
    QTest::newRow("gateway boxes take 3") << "EB_Gateway_3"
                                          << "12345"
                                          << "123";
    QTest::newRow("letter swallowed in port") << "EB_Port_3"
                                              << "2a0b0 0"
                                              << "2000";
    QTest::newRow("port box 0 takes 5") << "EB_Port_0"
                                        << "123456"
                                        << "12345";
    QTest::newRow("port box 7 has no limit") << "EB_Port_7"
                                             << "1234567"
                                             << "1234567";
}

void tst_frmLanSetup::keysOfTheBoxes()
{
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    clsKYR kyr;
    ScriptedMessages messages;
    frmLanSetup dialog(kyr, messages);
    dialog.show();
    QLineEdit *edit = box(dialog, name);
    edit->clear();
    edit->setFocus();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), shown);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), shown.chopped(1));
}

void tst_frmLanSetup::addressesSplitAndJoin_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("written");

    QTest::newRow("four octets") << "192.168.0.1" << QStringList{"192", "168", "0", "1"} << "192.168.0.1";
    QTest::newRow("third dot missing") << "10.1.2" << QStringList{"10", "1", "", ""} << "10.1..";
    QTest::newRow("no dot at all") << "10" << QStringList{"", "", "", ""} << "...";
    QTest::newRow("empty") << "" << QStringList{"", "", "", ""} << "...";
    QTest::newRow("empty piece kept") << "192..0.1" << QStringList{"192", "", "0", "1"} << "192..0.1";
    QTest::newRow("rest after the third dot") << "1.2.3.4.5" << QStringList{"1", "2", "3", "4.5"} << "1.2.3.4.5";
}

void tst_frmLanSetup::addressesSplitAndJoin()
{
    QFETCH(QString, address);
    QFETCH(QStringList, pieces);
    QFETCH(QString, written);
    clsKYR kyr = Configured();
    kyr.setSKYR(KyrRow::IpNum, address);
    kyr.setSKYR(KyrRow::Netmask, address);
    kyr.setSKYR(KyrRow::Gateway, address);
    ScriptedMessages messages;
    frmLanSetup dialog(kyr, messages);
    for (const char *name : {"EB_IP", "EB_Mask", "EB_Gateway"}) {
        for (int k = 0; k < 4; ++k)
            QCOMPARE(box(dialog, QStringLiteral("%1_%2").arg(name).arg(k))->text(), pieces[k]);
    }
    click(dialog, "B_Apply");
    QCOMPARE(messages.count(), 0);
    QCOMPARE(kyr.sKYR(KyrRow::IpNum), written);
    QCOMPARE(kyr.sKYR(KyrRow::Netmask), written);
    QCOMPARE(kyr.sKYR(KyrRow::Gateway), written);
}

void tst_frmLanSetup::dhcpStillWritesTheAddresses()
{
    clsKYR kyr = Configured();
    ScriptedMessages messages;
    frmLanSetup dialog(kyr, messages);
    dialog.show();
    QVERIFY(child<QRadioButton>(dialog, "RB_Fixed")->isChecked());
    QVERIFY(child<QGroupBox>(dialog, "F_Fixed")->isEnabled());
    box(dialog, "EB_IP_3")->setText(QStringLiteral("77"));

    QTest::mouseClick(child<QRadioButton>(dialog, "RB_DHCP"), Qt::LeftButton);
    QVERIFY(!child<QGroupBox>(dialog, "F_Fixed")->isEnabled());
    click(dialog, "B_Apply");

    QCOMPARE(kyr.sKYR(KyrRow::DHCP), QStringLiteral("1"));
    QCOMPARE(kyr.sKYR(KyrRow::IpNum), QStringLiteral("192.168.0.77"));
    QCOMPARE(kyr.sKYR(KyrRow::Netmask), QStringLiteral("255.255.255.0"));
    QCOMPARE(kyr.sKYR(KyrRow::Gateway), QStringLiteral("192.168.0.1"));
    QCOMPARE(kyr.sKYR(KyrRow::Broadcast), QStringLiteral("192.168.0.255"));
}

void tst_frmLanSetup::fixedAddressKeepsWhatWasTyped()
{
    clsKYR kyr = Configured();
    kyr.setSKYR(KyrRow::DHCP, QStringLiteral("1"));
    ScriptedMessages messages;
    frmLanSetup dialog(kyr, messages);
    dialog.show();
    QVERIFY(!child<QGroupBox>(dialog, "F_Fixed")->isEnabled());
    QTest::mouseClick(child<QRadioButton>(dialog, "RB_Fixed"), Qt::LeftButton);
    QVERIFY(child<QGroupBox>(dialog, "F_Fixed")->isEnabled());
    QLineEdit *gateway = box(dialog, "EB_Gateway_3");
    gateway->clear();
    QTest::keyClicks(gateway, "254");
    QTest::mouseClick(child<QRadioButton>(dialog, "RB_DHCP"), Qt::LeftButton);
    QTest::mouseClick(child<QRadioButton>(dialog, "RB_Fixed"), Qt::LeftButton);
    QCOMPARE(gateway->text(), QStringLiteral("254"));
    click(dialog, "B_Apply");
    QCOMPARE(kyr.sKYR(KyrRow::DHCP), QStringLiteral("0"));
    QCOMPARE(kyr.sKYR(KyrRow::Gateway), QStringLiteral("192.168.0.254"));
}

void tst_frmLanSetup::cancelWritesNothing()
{
    clsKYR kyr = Configured();
    const clsKYR before = kyr;
    ScriptedMessages messages;
    frmLanSetup dialog(kyr, messages);
    dialog.show();
    QTest::mouseClick(child<QRadioButton>(dialog, "RB_DHCP"), Qt::LeftButton);
    box(dialog, "EB_Port_2")->setText(QStringLiteral("3000"));
    box(dialog, "EB_IP_0")->setText(QStringLiteral("10"));
    click(dialog, "B_Cancel");
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(kyr == before);
    QCOMPARE(messages.count(), 0);
}

void tst_frmLanSetup::inputsHaveAccessibleNames()
{
    clsKYR kyr;
    ScriptedMessages messages;
    frmLanSetup dialog(kyr, messages);
    QCOMPARE(box(dialog, "EB_IP_0")->accessibleName(), QStringLiteral("IP Address 1"));
    QCOMPARE(box(dialog, "EB_Mask_3")->accessibleName(), QStringLiteral("Subnet Mask 4"));
    QCOMPARE(box(dialog, "EB_Gateway_1")->accessibleName(), QStringLiteral("Gateway 2"));
    QCOMPARE(box(dialog, "EB_Port_7")->accessibleName(), QStringLiteral("LAN 8"));
    QCOMPARE(child<QRadioButton>(dialog, "RB_Fixed")->accessibleName(), QStringLiteral("Use the Fixed IP Address"));
    QCOMPARE(child<QGroupBox>(dialog, "F_Ports")->title(), QStringLiteral("TCP/IP Port Addresses"));
    const auto inputs = dialog.findChildren<QWidget *>();
    for (QWidget *w : inputs) {
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractButton *>(w))
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }
}

QTEST_MAIN(tst_frmLanSetup)
#include "tst_frmLanSetup.moc"
