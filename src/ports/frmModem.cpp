#include "frmModem.h"

#include "ConnectionSettings.h"
#include "Controls.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char *const kPresets[] = {"ATZ", "AT&F", "AT&F1", "ATZ|ATE1X4&C0"};
const QString kDefaultDial = QStringLiteral("ATDT");
} // namespace

QString frmModem::PresetText(int index)
{
    return index >= 0 && index < CustomIndex ? QString::fromLatin1(kPresets[index]) : QString();
}

frmModem::frmModem(ConnectionSettings &settings, QWidget *parent) : QDialog(parent), settings(settings)
{
    setObjectName(QStringLiteral("frmModem"));
    setWindowTitle(QStringLiteral("Modem Settings"));

    CB_Init = MakeList(QStringLiteral("CB_Init"), QStringLiteral("Modem Initialization"),
                       {"Modem 1", "Modem 2", "Modem 3", "Modem 4", "Custom"}, this);
    EB_Custom = MakeEdit(QStringLiteral("EB_Custom"), QStringLiteral("Custom Initialization"), this);
    EB_Custom->setMinimumWidth(200);
    EB_Dial = MakeEdit(QStringLiteral("EB_Dial"), QStringLiteral("Dialing Prefix"), this);
    EB_Dial->setText(kDefaultDial);
    B_Default = MakeButton(QStringLiteral("B_Default"), QStringLiteral("Reset Default"), this);
    B_Apply = MakeButton(QStringLiteral("B_Apply"), QStringLiteral("Apply"), this);
    B_Cancel = MakeButton(QStringLiteral("B_Cancel"), QStringLiteral("Cancel"), this);

    auto *dialRow = new QHBoxLayout;
    dialRow->addWidget(EB_Dial, 1);
    dialRow->addWidget(B_Default);
    auto *form = new QFormLayout;
    form->addRow(CB_Init->accessibleName(), CB_Init);
    form->addRow(EB_Custom->accessibleName(), EB_Custom);
    form->addRow(EB_Dial->accessibleName(), dialRow);
    auto *buttons = MakeButtonRow({B_Apply, B_Cancel});
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Opening: the texts first, then the preset that matches INIT exactly.
    EB_Dial->setText(settings.DIAL);
    EB_Custom->setText(settings.INIT);
    int index = CustomIndex;
    for (int k = 0; k < CustomIndex; ++k) {
        if (settings.INIT == PresetText(k)) {
            index = k;
            break;
        }
    }
    CB_Init->setCurrentIndex(index);
    CB_Init_Click();

    connect(CB_Init, &QComboBox::currentIndexChanged, this, &frmModem::CB_Init_Click);
    connect(B_Default, &QPushButton::clicked, this, &frmModem::B_Default_Click);
    connect(B_Apply, &QPushButton::clicked, this, &frmModem::B_Apply_Click);
    connect(B_Cancel, &QPushButton::clicked, this, &frmModem::B_Cancel_Click);
}

void frmModem::CB_Init_Click()
{
    const int index = CB_Init->currentIndex();
    if (index >= 0 && index < CustomIndex) {
        EB_Custom->setText(PresetText(index));
        EB_Custom->setEnabled(false);
    } else {
        EB_Custom->setEnabled(true);
    }
}

void frmModem::B_Default_Click()
{
    EB_Dial->setText(kDefaultDial);
}

void frmModem::B_Apply_Click()
{
    settings.DIAL = EB_Dial->text();
    settings.INIT = EB_Custom->text();
    accept();
}

void frmModem::B_Cancel_Click()
{
    reject();
}
