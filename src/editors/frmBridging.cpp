#include "frmBridging.h"

#include "Controls.h"
#include "EditorContext.h"
#include "EditorControls.h"
#include "EditorRules.h"
#include "LinePanel.h"
#include "Messages.h"
#include "SharedState.h"
#include "clsKYR.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kFirstVbiLine = 6;
const QString kCrLf = QStringLiteral("\r\n");
} // namespace

frmBridging::frmBridging(EditorContext &context, QWidget *parent) : QDialog(parent), context(context)
{
    setObjectName(QStringLiteral("frmBridging"));
    setWindowTitle(QStringLiteral("Bridging Configuration"));
    const clsKYR &kyr = context.kyr;

    CB_Bridge = MakeList(QStringLiteral("CB_Bridge"), QStringLiteral("Bridge"), {}, this);
    CB_Bridge->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    CB_Bridge->setMinimumContentsLength(62);
    // A list shows its item as its name; the label gives it a caption too.
    QLabel *label = MakeLabel(QStringLiteral("Label3"), QStringLiteral("Bridge"), this, CB_Bridge);

    F_VBI = MakeFrame(QStringLiteral("F_VBI"), QStringLiteral("VBI"), this);
    auto *vbiGrid = new QGridLayout(F_VBI);
    for (int i = 0; i < VbiLines; ++i) {
        CB_LineNum[i] =
            MakeCheck(QStringLiteral("CB_LineNum_%1").arg(i), QStringLiteral("Line %1").arg(i + kFirstVbiLine), F_VBI);
        vbiGrid->addWidget(CB_LineNum[i], i / 6, i % 6);
        // Showing the stored lines sets each line's bit to what it is already.
        OnCheckChanged(CB_LineNum[i], this, [this, i](bool checked) { CB_LineNum_Click(i, checked); });
    }

    F_Vanc = MakeFrame(QStringLiteral("F_Vanc"), QStringLiteral("Vanc"), this);
    auto *vancGrid = new QGridLayout(F_Vanc);
    EB_DID = AddHexRow(vancGrid, 0, QStringLiteral("Label1"), QStringLiteral("EB_DID"), QStringLiteral("Data ID (DID)"),
                       F_Vanc);
    EB_SDID = AddHexRow(vancGrid, 1, QStringLiteral("Label2"), QStringLiteral("EB_SDID"),
                        QStringLiteral("Secondary Data ID (SDID)"), F_Vanc);
    F_Line = new LinePanel(context.messages, F_Vanc);
    F_Line->setCheck([this](int line) {
        const int program = module.vancProgram();
        return program == 1 || program == 2 ? this->context.kyr.ValidLine(program - 1, line) : QString();
    });
    connect(F_Line, &LinePanel::lineChosen, this, [this](int line) { module.vancMask = clsKYR::InsertLines(line); });
    connect(F_Line, &LinePanel::channelChosen, this, [this](bool luma) { module.luma = luma; });
    vancGrid->addWidget(F_Line, 0, 2, 2, 1);
    vancGrid->setColumnStretch(2, 1);

    B_Apply = MakeButton(QStringLiteral("B_Apply"), QStringLiteral("Apply"), this);
    B_Cancel = MakeButton(QStringLiteral("B_Cancel"), QStringLiteral("Cancel"), this);

    frames = new QVBoxLayout;
    frames->addWidget(F_Vanc);
    frames->addWidget(F_VBI);
    auto *layout = new QVBoxLayout(this);
    auto *choice = new QHBoxLayout;
    choice->addWidget(label);
    choice->addWidget(CB_Bridge, 1);
    layout->addLayout(choice);
    layout->addLayout(frames);
    layout->addLayout(MakeButtonRow({B_Apply, B_Cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(CB_Bridge, &QComboBox::activated, this, &frmBridging::CB_Bridge_Click);
    connect(B_Apply, &QPushButton::clicked, this, &frmBridging::B_Apply_Click);
    connect(B_Cancel, &QPushButton::clicked, this, &frmBridging::B_Cancel_Click);

    mustApply = context.state.BridgeReconfigure;
    if (mustApply) {
        B_Cancel->hide();
        setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) & ~Qt::WindowCloseButtonHint);
    }
    showVbiLines();

    requested = {kyr.pgm(0, PgmRow::RequestedVideoMode).toInt(), kyr.pgm(1, PgmRow::RequestedVideoMode).toInt()};
    if (!Requests625(kyr, 0) && !Requests625(kyr, 1)) {
        context.messages.inform(QStringLiteral("Video Mode Error"),
                                QStringLiteral("The requested video mode for either Program 1 or Program 2 must be "
                                               "625 line video in order to perform bridging"));
        ShowBridgeChoices(false);
        return;
    }

    if (context.state.CurrentStream == -1) {
        if (!Requests625(kyr, 0))
            module.choose({{}, BridgeModule::WstToOp47, 2, 1});
        F_Line->applySD(RequestsSD(kyr, module.vancProgram() - 1));
        F_Line->selectLine(9);
        ShowHex(EB_DID, module.did);
        ShowHex(EB_SDID, module.sdid);
        F_Line->selectLuma(true);
        ShowBridgeChoices(false);
        return;
    }

    const BridgeModule stored = BridgeModule::Read(kyr);
    module.choose({{}, stored.type, stored.source, stored.destination});
    ShowBridgeChoices(true);
    ShowHex(EB_DID, stored.did);
    ShowHex(EB_SDID, stored.sdid);
    const bool sd = RequestsSD(kyr, module.vancProgram() - 1);
    F_Line->applySD(sd);
    if (!sd)
        F_Line->selectLuma(stored.luma);
    F_Line->selectLine(clsKYR::LineNumber(stored.vancMask));
    module.vancMask = stored.vancMask;
    if (module.type == BridgeModule::WstToOp47) {
        module.vbiMask = stored.vbiMask;
        showVbiLines();
    }
}

void frmBridging::showVbiLines()
{
    for (int i = 0; i < VbiLines; ++i)
        CB_LineNum[i]->setChecked(module.vbiMask & clsKYR::InsertLines(i + kFirstVbiLine));
}

void frmBridging::ShowBridgeChoices(bool existing)
{
    choices = BridgeModule::Choices(Requests625(context.kyr, 0), Requests625(context.kyr, 1));
    CB_Bridge->clear();
    for (const BridgeChoice &choice : std::as_const(choices))
        CB_Bridge->addItem(choice.text);
    const int position = module.positionIn(choices);
    CB_Bridge->setCurrentIndex(position);
    CB_Bridge_Click(position);
    // A stored bridge that none of the items shows (its programs no longer
    // request 625-line video, or its source is no program) has to be set up
    // again.
    if (choices.size() == 1 || (existing && position == 0)) {
        context.messages.inform(QStringLiteral("Video modes have changed"),
                                QStringLiteral("The bridge settings do not match the video types of Program 1 and 2.") +
                                    kCrLf + QStringLiteral("You will have to set up the bridge again."));
    }
}

void frmBridging::CB_Bridge_Click(int position)
{
    if (position < 0 || position >= choices.size())
        return;
    module.choose(choices[position]);
    showChoice(position);
}

void frmBridging::showChoice(int position)
{
    const BridgeChoice &choice = choices[position];
    auto videoOf = [this](int program) { return clsKYR::VideoName(requested[program - 1], true); };
    frames->removeWidget(F_VBI);
    frames->removeWidget(F_Vanc);
    if (choice.type == BridgeModule::WstToOp47) {
        frames->addWidget(F_VBI);
        frames->addWidget(F_Vanc);
        SetCaption(F_Vanc, QStringLiteral("Encode OP47 in Vanc of Program %1 (%2)")
                               .arg(choice.destination)
                               .arg(videoOf(choice.destination)));
        SetCaption(
            F_VBI,
            QStringLiteral("Decode WST from VBI of Program %1 (%2)").arg(choice.source).arg(videoOf(choice.source)));
    } else {
        frames->addWidget(F_Vanc);
        frames->addWidget(F_VBI);
        if (choice.type == BridgeModule::Op47ToWst)
            SetCaption(F_Vanc, QStringLiteral("Decode OP47 from Vanc of Program %1 (%2)")
                                   .arg(choice.source)
                                   .arg(videoOf(choice.source)));
    }
    F_Vanc->setVisible(choice.type >= 0);
    F_VBI->setVisible(choice.type == BridgeModule::WstToOp47);
    // Data inserted into SD video has no chroma channel.
    if (choice.type >= 0)
        F_Line->applySD(RequestsSD(context.kyr, module.vancProgram() - 1));
}

void frmBridging::CB_LineNum_Click(int index, bool checked)
{
    const qint32 bit = clsKYR::InsertLines(index + kFirstVbiLine);
    module.vbiMask = checked ? (module.vbiMask | bit) : (module.vbiMask & ~bit);
}

void frmBridging::B_Apply_Click()
{
    if (CB_Bridge->currentIndex() <= 0) {
        BridgeModule::Release(context.kyr);
    } else {
        module.did = int(ReadHex(EB_DID, 0xFF));
        module.sdid = int(ReadHex(EB_SDID, 0xFF));
        module.Write(context.kyr);
    }
    accept();
}

void frmBridging::B_Cancel_Click()
{
    reject();
}

void frmBridging::reject()
{
    if (mustApply)
        return;
    QDialog::reject();
}
