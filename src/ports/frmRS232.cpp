#include "frmRS232.h"

#include "Controls.h"
#include "SharedState.h"
#include "clsKYR.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
enum Flow : int { Hardware = 0, Software = 1, NoFlow = 2 };
}

QComboBox *frmRS232::List(const char *name, const QString &label, const QStringList &items)
{
    auto *list = MakeList(QString::fromLatin1(name), label, items, this);
    list->setMinimumWidth(120);
    return list;
}

frmRS232::frmRS232(clsKYR &kyr, SharedState &state, QWidget *parent) : QDialog(parent), kyr(kyr)
{
    setObjectName(QStringLiteral("frmRS232"));
    setWindowTitle(QStringLiteral("Serial Port Setup"));

    CB_Baud = List("CB_Baud", QStringLiteral("Baud Rate"),
                   {"115200", "57600", "38400", "19200", "9600", "4800", "2400", "1200"});
    CB_Parity = List("CB_Parity", QStringLiteral("Parity"), {"Odd", "Even", "None"});
    CB_StopBits = List("CB_StopBits", QStringLiteral("Stop Bits"), {"1", "2"});
    CB_DataBits = List("CB_DataBits", QStringLiteral("Data Bits"), {"7", "8"});
    CB_FlowControl = List("CB_FlowControl", QStringLiteral("Flow Control"), {"Hardware", "Software", "None"});

    B_Apply = MakeButton(QStringLiteral("B_Apply"), QStringLiteral("Apply"), this);
    B_Cancel = MakeButton(QStringLiteral("B_Cancel"), QStringLiteral("Cancel"), this);

    auto *form = new QFormLayout;
    for (QComboBox *list : {CB_Baud, CB_Parity, CB_StopBits, CB_DataBits, CB_FlowControl})
        form->addRow(list->accessibleName(), list);
    auto *buttons = MakeButtonRow({B_Apply, B_Cancel});
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(B_Apply, &QPushButton::clicked, this, &frmRS232::B_Apply_Click);
    connect(B_Cancel, &QPushButton::clicked, this, &frmRS232::B_Cancel_Click);

    if (state.ConfigureStream >= 0 && state.ConfigureStream < clsKYR::StreamSlots)
        stream = state.ConfigureStream;

    // Fallbacks for values that match no item.
    QString baud, parity, stopBits, wordSize;
    double rxFlow = 0;
    if (stream >= 0) {
        baud = kyr.sSTR(stream, StrRow::Baud);
        parity = kyr.sSTR(stream, StrRow::Parity);
        stopBits = kyr.sSTR(stream, StrRow::StopBits);
        wordSize = kyr.sSTR(stream, StrRow::WordSize);
        rxFlow = kyr.str(stream, StrRow::RxFlowCtrl).toDouble();
    } else {
        B_Apply->setEnabled(false);
    }
    const int baudIndex = CB_Baud->findText(baud, Qt::MatchExactly | Qt::MatchCaseSensitive);
    CB_Baud->setCurrentIndex(baudIndex >= 0 ? baudIndex : CB_Baud->findText(QStringLiteral("9600")));
    int parityIndex = CB_Parity->findText(QStringLiteral("None"));
    for (int k = 0; k < CB_Parity->count(); ++k) {
        if (CB_Parity->itemText(k).left(1) == parity) {
            parityIndex = k;
            break;
        }
    }
    CB_Parity->setCurrentIndex(parityIndex);
    const int stopIndex = CB_StopBits->findText(stopBits, Qt::MatchExactly | Qt::MatchCaseSensitive);
    CB_StopBits->setCurrentIndex(stopIndex >= 0 ? stopIndex : 0);
    CB_DataBits->setCurrentIndex(wordSize == QLatin1String("7") ? 0 : 1);
    CB_FlowControl->setCurrentIndex(rxFlow == 2 ? Hardware : rxFlow == 1 ? Software : NoFlow);
}

void frmRS232::B_Apply_Click()
{
    if (stream < 0)
        return;
    kyr.setSSTR(stream, StrRow::Baud, CB_Baud->currentText());
    kyr.setSSTR(stream, StrRow::Parity, CB_Parity->currentText().left(1));
    kyr.setSSTR(stream, StrRow::StopBits, CB_StopBits->currentText());
    kyr.setSSTR(stream, StrRow::WordSize, CB_DataBits->currentText());
    const int flow = CB_FlowControl->currentIndex();
    const QString code = flow == Hardware   ? QStringLiteral("2")
                         : flow == Software ? QStringLiteral("1")
                                            : QStringLiteral("0");
    kyr.setSSTR(stream, StrRow::RxFlowCtrl, code);
    kyr.setSSTR(stream, StrRow::TxFlowCtrl, code);
    accept();
}

void frmRS232::B_Cancel_Click()
{
    reject();
}
