#include "frmLanSetup.h"

#include "Controls.h"
#include "KeyFilter.h"
#include "KeyFilters.h"
#include "Messages.h"
#include "NumberText.h"
#include "clsKYR.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kPortErrorTitle = QStringLiteral("LAN Port Error");
constexpr int kPortLimit = 30000;

// The port as the encoder receives it: the text the model turns a box's text
// into. "2000" and "02000" are the same port; an empty box is port 0.
QString SentPort(const QString &text)
{
    const int kind = clsKYR::Definitions(Section::Str).at(StrRow::PortAddr).Kind;
    return clsKYR::ToText(kind, clsKYR::FromText(kind, text));
}

} // namespace

std::array<QString, 4> frmLanSetup::SplitAddress(const QString &address)
{
    std::array<QString, 4> pieces;
    QString rest = address;
    for (int k = 0; k < 3; ++k) {
        const qsizetype dot = rest.indexOf(u'.');
        if (dot < 0)
            return pieces;
        pieces[k] = rest.left(dot);
        rest = rest.mid(dot + 1);
    }
    pieces[3] = rest;
    return pieces;
}

QString frmLanSetup::JoinAddress(const std::array<QString, 4> &pieces)
{
    return pieces[0] + u'.' + pieces[1] + u'.' + pieces[2] + u'.' + pieces[3];
}

QLineEdit *frmLanSetup::AddressBox(const QString &name, int index, const QString &label, int maxLength, bool digitsOnly)
{
    auto *box = MakeEdit(QStringLiteral("%1_%2").arg(name).arg(index),
                         QStringLiteral("%1 %2").arg(label).arg(index + 1), this, maxLength);
    if (digitsOnly)
        KeyFilter::install(box, DecimalKeyFilter);
    return box;
}

frmLanSetup::frmLanSetup(clsKYR &kyr, Messages &messages, QWidget *parent)
    : QDialog(parent), kyr(kyr), messages(messages)
{
    setObjectName(QStringLiteral("frmLanSetup"));
    setWindowTitle(QStringLiteral("LAN Configuration"));

    RB_DHCP = MakeOption(QStringLiteral("RB_DHCP"), QStringLiteral("Obtain IP Address Automatically using DHCP"), this);
    F_Fixed = MakeFrame(QStringLiteral("F_Fixed"), QStringLiteral("Use the Fixed IP Address"), this);
    // The option has no caption of its own: the frame beside it names it.
    RB_Fixed = MakeOption(QStringLiteral("RB_Fixed"), QString(), this);
    RB_Fixed->setAccessibleName(F_Fixed->title());

    auto *addresses = new QGridLayout(F_Fixed);
    const struct
    {
        std::array<QLineEdit *, 4> &boxes;
        const char *name;
        const char *label;
        bool firstOnlyLimited;
        bool digitsOnly;
    } rows[] = {
        {EB_IP, "EB_IP", "IP Address", true, true},
        {EB_Mask, "EB_Mask", "Subnet Mask", true, true},
        {EB_Gateway, "EB_Gateway", "Gateway", false, false},
    };
    int gridRow = 0;
    for (const auto &row : rows) {
        const QString label = QString::fromLatin1(row.label);
        addresses->addWidget(new QLabel(label, F_Fixed), gridRow, 0);
        for (int k = 0; k < 4; ++k) {
            const int maxLength = (k == 0 || !row.firstOnlyLimited) ? 3 : 0;
            row.boxes[k] = AddressBox(QString::fromLatin1(row.name), k, label, maxLength, row.digitsOnly);
            row.boxes[k]->setParent(F_Fixed);
            row.boxes[k]->setFixedWidth(48);
            row.boxes[k]->setAlignment(Qt::AlignCenter);
            addresses->addWidget(row.boxes[k], gridRow, 1 + 2 * k);
            if (k < 3)
                addresses->addWidget(new QLabel(QStringLiteral("."), F_Fixed), gridRow, 2 + 2 * k);
        }
        ++gridRow;
    }
    addresses->setColumnStretch(8, 1);

    F_Ports = MakeFrame(QStringLiteral("F_Ports"), QStringLiteral("TCP/IP Port Addresses"), this);
    auto *ports = new QGridLayout(F_Ports);
    for (int k = 0; k < 8; ++k) {
        const QString label = QStringLiteral("LAN %1").arg(k + 1);
        auto *box = MakeEdit(QStringLiteral("EB_Port_%1").arg(k), label, F_Ports, k == 0 ? 5 : 0);
        box->setFixedWidth(72);
        KeyFilter::install(box, DecimalKeyFilter);
        EB_Port[k] = box;
        auto *caption = new QLabel(label, F_Ports);
        caption->setBuddy(box);
        const int column = k < 4 ? 0 : 3;
        ports->addWidget(caption, k % 4, column);
        ports->addWidget(box, k % 4, column + 1);
    }
    ports->setColumnMinimumWidth(2, 24);
    ports->setColumnStretch(5, 1);

    B_Apply = MakeButton(QStringLiteral("B_Apply"), QStringLiteral("Apply"), this);
    B_Cancel = MakeButton(QStringLiteral("B_Cancel"), QStringLiteral("Cancel"), this);

    auto *fixedRow = new QHBoxLayout;
    fixedRow->addWidget(RB_Fixed, 0, Qt::AlignTop);
    fixedRow->addWidget(F_Fixed, 1);
    auto *buttons = MakeButtonRow({B_Apply, B_Cancel});
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(RB_DHCP);
    layout->addLayout(fixedRow);
    layout->addWidget(F_Ports);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    OnChosen(RB_DHCP, this, [this] { RB_DHCP_Click(); });
    OnChosen(RB_Fixed, this, [this] { RB_Fixed_Click(); });
    connect(B_Apply, &QPushButton::clicked, this, &frmLanSetup::B_Apply_Click);
    connect(B_Cancel, &QPushButton::clicked, this, &frmLanSetup::B_Cancel_Click);

    // Opening: any non-zero DHCP value reads as DHCP.
    (kyr.KYR(KyrRow::DHCP).toDouble() != 0 ? RB_DHCP : RB_Fixed)->setChecked(true);
    const std::array<QString, 4> ip = SplitAddress(kyr.sKYR(KyrRow::IpNum));
    const std::array<QString, 4> mask = SplitAddress(kyr.sKYR(KyrRow::Netmask));
    const std::array<QString, 4> gateway = SplitAddress(kyr.sKYR(KyrRow::Gateway));
    for (int k = 0; k < 4; ++k) {
        ShowStored(EB_IP[k], ip[k]);
        ShowStored(EB_Mask[k], mask[k]);
        ShowStored(EB_Gateway[k], gateway[k]);
    }
    for (int k = 0; k < 8; ++k)
        ShowStored(EB_Port[k], kyr.sSTR(StreamSlot::LAN1 + k, StrRow::PortAddr));
}

void frmLanSetup::RB_DHCP_Click()
{
    F_Fixed->setEnabled(false);
}

void frmLanSetup::RB_Fixed_Click()
{
    F_Fixed->setEnabled(true);
}

bool frmLanSetup::PortsValid()
{
    bool refused = false;
    for (int k = 0; k < 8 && !refused; ++k) {
        const QString text = EB_Port[k]->text();
        if (LeadingDecimal(text, kPortLimit) >= kPortLimit) {
            messages.inform(kPortErrorTitle, QStringLiteral("All Lan port addresses must be less than 30000"));
            return false;
        }
        const QString port = SentPort(text);
        for (int j = k + 1; j < 8; ++j) {
            if (SentPort(EB_Port[j]->text()) == port) {
                messages.inform(kPortErrorTitle, QStringLiteral("All Lan port addresses must be unique"));
                refused = true;
            }
        }
    }
    return !refused;
}

void frmLanSetup::B_Apply_Click()
{
    if (!PortsValid())
        return;
    auto pieces = [](const std::array<QLineEdit *, 4> &boxes) {
        return JoinAddress({boxes[0]->text(), boxes[1]->text(), boxes[2]->text(), boxes[3]->text()});
    };
    kyr.setSKYR(KyrRow::DHCP, RB_DHCP->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    kyr.setSKYR(KyrRow::IpNum, pieces(EB_IP));
    kyr.setSKYR(KyrRow::Netmask, pieces(EB_Mask));
    kyr.setSKYR(KyrRow::Gateway, pieces(EB_Gateway));
    for (int k = 0; k < 8; ++k)
        kyr.setSSTR(StreamSlot::LAN1 + k, StrRow::PortAddr, EB_Port[k]->text());
    accept();
}

void frmLanSetup::B_Cancel_Click()
{
    reject();
}
