#include "ConnectionSettings.h"
#include "Dialogs.h"
#include "SharedState.h"
#include "clsKYR.h"
#include "frmLanSetup.h"
#include "frmModem.h"
#include "frmRS232.h"

namespace {

const int kSerialRows[] = {StrRow::Baud,     StrRow::Parity,     StrRow::StopBits,
                           StrRow::WordSize, StrRow::TxFlowCtrl, StrRow::RxFlowCtrl};
const char *const kSerialLists[] = {"CB_Baud", "CB_Parity", "CB_StopBits", "CB_DataBits", "CB_FlowControl"};

// Baud, Parity, StopBits, WordSize, TxFlowCtrl, RxFlowCtrl, space-separated.
void StoreSerial(clsKYR &kyr, int stream, const QString &values)
{
    for (int k = 0; k < 6; ++k)
        kyr.setSSTR(stream, kSerialRows[k], values.section(u' ', k, k));
}

} // namespace

class tst_PortDialogs : public QObject
{
    Q_OBJECT

private slots:
    void lan_data()
    {
        // Ports: LAN1..LAN8; messages: title|text; address: stored as IP address, mask
        // and gateway; pieces: the four boxes of each.
        const auto row = Table<QString, QStringList, QString, QString, QString>(
            {"ports", "messages", "address", "pieces", "written"});
        const QString unique = QStringLiteral("LAN Port Error|All Lan port addresses must be unique");
        const QString tooLarge = QStringLiteral("LAN Port Error|All Lan port addresses must be less than 30000");
        row("LAN1 equals LAN3", "2000,2001,2000,2003,2004,2005,2006,2007", {unique}, "", "|||", "");
        row("LAN1 equals LAN2 and LAN5", "2000,2000,2002,2003,2000,2005,2006,2007", {unique, unique}, "", "|||", "");
        row("30000", "2000,2001,2002,30000,2004,2005,2006,2007", {tooLarge}, "", "|||", "");
        row("huge is too large, not wrapped round", "2000,2001,2002,2003,2004,2005,2006,99999999999999999999",
            {tooLarge}, "", "|||", "");
        row("two empty boxes are equal", "2000,,2002,2003,,2005,2006,2007", {unique}, "", "|||", "");
        row("29999 passes; third dot missing", "2000,2001,2002,29999,2004,2005,2006,2007", {}, "10.1.2", "10|1||",
            "10.1..");
        row("2000 and 02000 are one port to the encoder", "2000,02000,2002,2003,2004,2005,2006,2007", {unique}, "",
            "|||", "");
        row("0 and an empty box are one port", "0,2001,2002,2003,2004,2005,2006,", {unique}, "", "|||", "");
        row("rest after the third dot kept", "2000,2001,2002,2003,2004,2005,2006,2007", {}, "1.2.3.4.5", "1|2|3|4.5",
            "1.2.3.4.5");
        row("stored pieces longer than a box's limit kept whole", "2000,2001,2002,2003,2004,2005,2006,2007", {},
            "1000.1.2.3456", "1000|1|2|3456", "1000.1.2.3456");
    }

    // Addresses are written under DHCP too; a refused port keeps the dialog open and writes nothing.
    void lan()
    {
        QFETCH(QString, ports);
        QFETCH(QStringList, messages);
        QFETCH(QString, address);
        QFETCH(QString, pieces);
        QFETCH(QString, written);
        const int rows[] = {KyrRow::IpNum, KyrRow::Netmask, KyrRow::Gateway};
        clsKYR kyr;
        for (int row : rows)
            kyr.setSKYR(row, address);
        const clsKYR before = kyr;
        ScriptedMessages shown;
        frmLanSetup dialog(kyr, shown);
        dialog.show();
        QStringList boxes; // IP address, mask, gateway
        for (int k = 0; k < 12; ++k)
            boxes << child<QLineEdit>(
                         dialog, QStringLiteral("EB_%1_%2").arg(QStringList{"IP", "Mask", "Gateway"}[k / 4]).arg(k % 4))
                         ->text();
        QCOMPARE(boxes.join(u'|'), QStringList(3, pieces).join(u'|'));
        for (int k = 0; k < 8; ++k)
            child<QLineEdit>(dialog, QStringLiteral("EB_Port_%1").arg(k))->setText(ports.section(u',', k, k));
        QTest::mouseClick(child<QRadioButton>(dialog, "RB_DHCP"), Qt::LeftButton);
        child<QAbstractButton>(dialog, "B_Apply")->click();
        QStringList texts;
        for (const auto &box : shown.boxes)
            texts << box.title + u'|' + box.text;
        QCOMPARE(texts, messages);
        QCOMPARE(dialog.isVisible(), !messages.isEmpty());
        if (!messages.isEmpty()) {
            QVERIFY(kyr == before);
            return;
        }
        QCOMPARE(kyr.sKYR(KyrRow::DHCP), QStringLiteral("1"));
        for (int row : rows)
            QCOMPARE(kyr.sKYR(row), written);
        for (int k = 0; k < 8; ++k)
            QCOMPARE(kyr.sSTR(StreamSlot::LAN1 + k, StrRow::PortAddr),
                     QString::number(ports.section(u',', k, k).toInt()));
    }

    void lanKeysSwallowed()
    {
        // A dot in the IP address, a letter in a port; the gateway takes any key.
        for (const auto &[name, typed, kept] :
             {std::array{"EB_IP_0", "1.2", "12"}, {"EB_Port_3", "2a0b0 0", "2000"}, {"EB_Gateway_0", "a.b", "a.b"}}) {
            clsKYR kyr;
            ScriptedMessages messages;
            frmLanSetup dialog(kyr, messages);
            dialog.show();
            QLineEdit *edit = child<QLineEdit>(dialog, name);
            edit->clear();
            QTest::keyClicks(edit, typed);
            QCOMPARE(edit->text(), QString(kept)); // Backspace in every filtered box: tst_EveryDialog
        }
    }

    void serial_data()
    {
        // Shown: baud, parity, stop bits, data bits, flow control; all serial
        // ports hold "14400 N 1 5 1 2" before.
        const auto row =
            Table<int, QString, QString, QString, QString>({"stream", "shown", "chosen", "button", "written"});
        const int portC = StreamSlot::PORTC;
        row("fallbacks; hardware flow sets both", portC, "9600|None|1|8|Hardware", "||||", "B_Apply", "9600 N 1 8 2 2");
        row("even parity writes E", portC, "9600|None|1|8|Hardware", "|Even|||", "B_Apply", "9600 E 1 8 2 2");
        row("every list changed", portC, "9600|None|1|8|Hardware", "57600|Odd|2|7|Software", "B_Apply",
            "57600 O 2 7 1 1");
        row("Cancel leaves all six", StreamSlot::MODEM, "9600|None|1|8|Hardware", "1200|Odd|2|7|None", "B_Cancel",
            "14400 N 1 5 1 2");
        row("no stream", -1, "9600|None|1|8|None", "1200|Odd|2|7|Software", "B_Apply", "");
        row("spare slot", clsKYR::StreamSlots, "9600|None|1|8|None", "1200|Odd|2|7|Software", "B_Apply", "");
    }

    void serial()
    {
        QFETCH(int, stream);
        QFETCH(QString, shown);
        QFETCH(QString, chosen);
        QFETCH(QString, button);
        QFETCH(QString, written);
        clsKYR kyr;
        for (int s = StreamSlot::PORTA; s <= StreamSlot::MODEM; ++s)
            StoreSerial(kyr, s, QStringLiteral("14400 N 1 5 1 2"));
        clsKYR expected = kyr;
        const bool inside = stream >= 0 && stream < clsKYR::StreamSlots;
        if (inside)
            StoreSerial(expected, stream, written);
        SharedState state;
        state.ConfigureStream = stream;
        frmRS232 dialog(kyr, state);
        dialog.show();
        for (int k = 0; k < 5; ++k) {
            auto *list = child<QComboBox>(dialog, kSerialLists[k]);
            QCOMPARE(list->currentText(), shown.section(u'|', k, k));
            if (!chosen.section(u'|', k, k).isEmpty())
                list->setCurrentIndex(list->findText(chosen.section(u'|', k, k)));
        }
        QCOMPARE(child<QPushButton>(dialog, "B_Apply")->isEnabled(), inside);
        if (inside)
            child<QAbstractButton>(dialog, button)->click();
        else
            dialog.B_Apply_Click(); // the button is disabled; the slot must not write either
        QCOMPARE(dialog.result(), int(inside && button == QLatin1String("B_Apply")));
        QVERIFY(kyr == expected); // only the configured stream changes
    }

    void modem_data()
    {
        // Steps: items chosen, "+text" typed into the custom box, "Reset Default".
        const auto row = Table<QStringList, QString, QString, QString>({"steps", "button", "init", "dial"});
        row("Modem 4 joins two commands", {"Modem 4"}, "B_Apply", "ATZ|ATE1X4&C0", "ATDP9,");
        row("Custom keeps the text of Modem 2", {"Modem 2", "Custom", "+|ATM0"}, "B_Apply", "AT&F|ATM0", "ATDP9,");
        row("Reset Default, Cancel", {"Reset Default"}, "B_Cancel", "AT Z", "AT DT");
        row("Reset Default, Apply", {"Reset Default"}, "B_Apply", "AT Z", "ATDT");
    }

    void modem()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, button);
        ConnectionSettings settings;
        frmModem dialog(settings);
        dialog.show();
        QLineEdit *custom = child<QLineEdit>(dialog, "EB_Custom");
        auto *list = child<QComboBox>(dialog, "CB_Init");
        QCOMPARE(list->currentText(), QStringLiteral("Custom"));
        QCOMPARE(custom->text(), QStringLiteral("AT Z"));
        child<QLineEdit>(dialog, "EB_Dial")->setText(QStringLiteral("ATDP9,"));
        for (const QString &step : steps) {
            if (step.startsWith(u'+'))
                QTest::keyClicks(custom, step.mid(1));
            else if (step == QLatin1String("Reset Default"))
                child<QAbstractButton>(dialog, "B_Default")->click();
            else
                list->setCurrentIndex(list->findText(step));
        }
        child<QAbstractButton>(dialog, button)->click();
        QTEST(settings.INIT, "init");
        QTEST(settings.DIAL, "dial");
    }
};

QTEST_MAIN(tst_PortDialogs)
#include "tst_PortDialogs.moc"
