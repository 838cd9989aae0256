#include "SharedState.h"
#include "clsKYR.h"
#include "frmRS232.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest/QTest>

namespace {

struct Stored
{
    QString baud, parity, stopBits, wordSize, txFlow, rxFlow;
};

void store(clsKYR &kyr, int stream, const Stored &s)
{
    kyr.setSSTR(stream, StrRow::Baud, s.baud);
    kyr.setSSTR(stream, StrRow::Parity, s.parity);
    kyr.setSSTR(stream, StrRow::StopBits, s.stopBits);
    kyr.setSSTR(stream, StrRow::WordSize, s.wordSize);
    kyr.setSSTR(stream, StrRow::TxFlowCtrl, s.txFlow);
    kyr.setSSTR(stream, StrRow::RxFlowCtrl, s.rxFlow);
}

Stored read(const clsKYR &kyr, int stream)
{
    return {kyr.sSTR(stream, StrRow::Baud),       kyr.sSTR(stream, StrRow::Parity),
            kyr.sSTR(stream, StrRow::StopBits),   kyr.sSTR(stream, StrRow::WordSize),
            kyr.sSTR(stream, StrRow::TxFlowCtrl), kyr.sSTR(stream, StrRow::RxFlowCtrl)};
}

QComboBox *list(QWidget &dialog, const char *name)
{
    auto *w = dialog.findChild<QComboBox *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no list %s", name);
    return w;
}

QPushButton *button(QWidget &dialog, const char *name)
{
    auto *w = dialog.findChild<QPushButton *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no button %s", name);
    return w;
}

} // namespace

class tst_frmRS232 : public QObject
{
    Q_OBJECT
private slots:
    void opensWithFallbacks_data();
    void opensWithFallbacks();
    void applyWrites_data();
    void applyWrites();
    void editsOnlyTheConfiguredStream();
    void cancelLeavesAllSix();
    void streamOutsideTheModelWritesNothing_data();
    void streamOutsideTheModelWritesNothing();
};

void tst_frmRS232::opensWithFallbacks_data()
{
    QTest::addColumn<QStringList>("stored"); // Baud, Parity, StopBits, WordSize, Tx, Rx
    QTest::addColumn<QStringList>("shown");  // baud, parity, stop bits, data bits, flow control

    QTest::newRow("everyday settings") << QStringList{"9600", "N", "1", "8", "0", "0"}
                                       << QStringList{"9600", "None", "1", "8", "None"};
    QTest::newRow("fastest and slowest") << QStringList{"115200", "O", "2", "7", "1", "1"}
                                         << QStringList{"115200", "Odd", "2", "7", "Software"};
    QTest::newRow("1200 baud") << QStringList{"1200", "E", "1", "8", "0", "0"}
                               << QStringList{"1200", "Even", "1", "8", "None"};
    QTest::newRow("baud 14400 is not offered")
        << QStringList{"14400", "N", "1", "8", "0", "0"} << QStringList{"9600", "None", "1", "8", "None"};
    QTest::newRow("fresh model") << QStringList{"", "", "", "", "", ""}
                                 << QStringList{"9600", "None", "1", "8", "None"};
    QTest::newRow("parity in lower case")
        << QStringList{"9600", "e", "1", "8", "0", "0"} << QStringList{"9600", "None", "1", "8", "None"};
    QTest::newRow("parity spelt out") << QStringList{"9600", "Even", "1", "8", "0", "0"}
                                      << QStringList{"9600", "None", "1", "8", "None"};
    QTest::newRow("three stop bits") << QStringList{"9600", "N", "3", "8", "0", "0"}
                                     << QStringList{"9600", "None", "1", "8", "None"};
    QTest::newRow("word size 5") << QStringList{"9600", "N", "1", "5", "0", "0"}
                                 << QStringList{"9600", "None", "1", "8", "None"};
    QTest::newRow("receive flow decides")
        << QStringList{"9600", "N", "1", "8", "1", "2"} << QStringList{"9600", "None", "1", "8", "Hardware"};
    QTest::newRow("transmit flow alone is not read")
        << QStringList{"9600", "N", "1", "8", "2", "0"} << QStringList{"9600", "None", "1", "8", "None"};
    QTest::newRow("unknown flow code") << QStringList{"9600", "N", "1", "8", "3", "3"}
                                       << QStringList{"9600", "None", "1", "8", "None"};
}

void tst_frmRS232::opensWithFallbacks()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, shown);
    clsKYR kyr;
    store(kyr, StreamSlot::PORTB, {stored[0], stored[1], stored[2], stored[3], stored[4], stored[5]});
    SharedState state;
    state.ConfigureStream = StreamSlot::PORTB;
    frmRS232 dialog(kyr, state);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Serial Port Setup"));
    QCOMPARE(list(dialog, "CB_Baud")->currentText(), shown[0]);
    QCOMPARE(list(dialog, "CB_Parity")->currentText(), shown[1]);
    QCOMPARE(list(dialog, "CB_StopBits")->currentText(), shown[2]);
    QCOMPARE(list(dialog, "CB_DataBits")->currentText(), shown[3]);
    QCOMPARE(list(dialog, "CB_FlowControl")->currentText(), shown[4]);
}

void tst_frmRS232::applyWrites_data()
{
    QTest::addColumn<QStringList>("stored");  // Baud, Parity, StopBits, WordSize, Tx, Rx
    QTest::addColumn<QStringList>("choices"); // list name = item, applied in order
    QTest::addColumn<QStringList>("written"); // Baud, Parity, StopBits, WordSize, Tx, Rx

    QTest::newRow("fallback baud is written") << QStringList{"14400", "N", "1", "8", "0", "0"} << QStringList{}
                                              << QStringList{"9600", "N", "1", "8", "0", "0"};
    QTest::newRow("even parity writes E")
        << QStringList{"9600", "N", "1", "8", "0", "0"} << QStringList{"CB_Parity=Even"}
        << QStringList{"9600", "E", "1", "8", "0", "0"};
    QTest::newRow("hardware flow sets both") << QStringList{"9600", "N", "1", "8", "1", "2"} << QStringList{}
                                             << QStringList{"9600", "N", "1", "8", "2", "2"};
    QTest::newRow("software flow sets both")
        << QStringList{"9600", "N", "1", "8", "0", "0"} << QStringList{"CB_FlowControl=Software"}
        << QStringList{"9600", "N", "1", "8", "1", "1"};
    QTest::newRow("no flow clears both") << QStringList{"9600", "N", "1", "8", "2", "2"}
                                         << QStringList{"CB_FlowControl=None"}
                                         << QStringList{"9600", "N", "1", "8", "0", "0"};
    QTest::newRow("every list changed") << QStringList{"9600", "N", "1", "8", "0", "0"}
                                        << QStringList{"CB_Baud=57600", "CB_Parity=Odd", "CB_StopBits=2",
                                                       "CB_DataBits=7", "CB_FlowControl=Hardware"}
                                        << QStringList{"57600", "O", "2", "7", "2", "2"};
    QTest::newRow("odd word size becomes 8") << QStringList{"2400", "O", "2", "5", "0", "0"} << QStringList{}
                                             << QStringList{"2400", "O", "2", "8", "0", "0"};
}

void tst_frmRS232::applyWrites()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, choices);
    QFETCH(QStringList, written);
    clsKYR kyr;
    store(kyr, StreamSlot::PORTA, {stored[0], stored[1], stored[2], stored[3], stored[4], stored[5]});
    SharedState state;
    state.ConfigureStream = StreamSlot::PORTA;
    frmRS232 dialog(kyr, state);
    dialog.show();
    for (const QString &choice : choices) {
        const QStringList parts = choice.split(u'=');
        QComboBox *box = list(dialog, qPrintable(parts[0]));
        const int index = box->findText(parts[1]);
        QVERIFY2(index >= 0, qPrintable(choice));
        box->setCurrentIndex(index);
    }
    button(dialog, "B_Apply")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const Stored now = read(kyr, StreamSlot::PORTA);
    QCOMPARE(QStringList({now.baud, now.parity, now.stopBits, now.wordSize, now.txFlow, now.rxFlow}), written);
}

void tst_frmRS232::editsOnlyTheConfiguredStream()
{
    clsKYR kyr;
    for (int s = StreamSlot::PORTA; s <= StreamSlot::MODEM; ++s)
        store(kyr, s, {"19200", "O", "2", "7", "1", "1"});
    clsKYR expected = kyr;
    store(expected, StreamSlot::PORTC, {"4800", "O", "2", "7", "0", "0"});
    SharedState state;
    state.ConfigureStream = StreamSlot::PORTC;
    frmRS232 dialog(kyr, state);
    list(dialog, "CB_Baud")->setCurrentIndex(list(dialog, "CB_Baud")->findText("4800"));
    list(dialog, "CB_FlowControl")->setCurrentIndex(list(dialog, "CB_FlowControl")->findText("None"));
    button(dialog, "B_Apply")->click();
    QVERIFY(kyr == expected);
}

void tst_frmRS232::cancelLeavesAllSix()
{
    clsKYR kyr;
    store(kyr, StreamSlot::MODEM, {"14400", "x", "3", "5", "1", "2"});
    const clsKYR before = kyr;
    SharedState state;
    state.ConfigureStream = StreamSlot::MODEM;
    frmRS232 dialog(kyr, state);
    dialog.show();
    list(dialog, "CB_Baud")->setCurrentIndex(0);
    list(dialog, "CB_Parity")->setCurrentIndex(1);
    list(dialog, "CB_FlowControl")->setCurrentIndex(1);
    button(dialog, "B_Cancel")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(kyr == before);
}

void tst_frmRS232::streamOutsideTheModelWritesNothing_data()
{
    QTest::addColumn<int>("stream");
    QTest::newRow("no stream") << -1;
    QTest::newRow("spare slot") << int(clsKYR::StreamSlots);
    QTest::newRow("far outside") << 1000;
}

void tst_frmRS232::streamOutsideTheModelWritesNothing()
{
    QFETCH(int, stream);
    clsKYR kyr;
    const clsKYR before = kyr;
    SharedState state;
    state.ConfigureStream = stream;
    frmRS232 dialog(kyr, state);
    QCOMPARE(list(dialog, "CB_Baud")->currentText(), QStringLiteral("9600"));
    QVERIFY(!button(dialog, "B_Apply")->isEnabled());
    dialog.B_Apply_Click();
    QVERIFY(kyr == before);
}

QTEST_MAIN(tst_frmRS232)
#include "tst_frmRS232.moc"
