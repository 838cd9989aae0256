#include "frmConstant.h"

#include "Controls.h"
#include "EditorContext.h"
#include "EditorControls.h"
#include "EditorRules.h"
#include "LinePanel.h"
#include "SharedState.h"
#include "clsKYR.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmConstant::frmConstant(EditorContext &context, QWidget *parent) : QDialog(parent), context(context)
{
    setObjectName(QStringLiteral("frmConstant"));
    setWindowTitle(QStringLiteral("Constant Data Module Configuration"));
    const clsKYR &kyr = context.kyr;
    program = context.state.CurrentProgram;

    F_Constant = MakeFrame(QStringLiteral("F_Constant"), QStringLiteral("Constant Data"), this);
    const char *const names[] = {"RB_None", "RB_Stereo", "RB_51", "RB_Stereo_SAP", "RB_51_SAP"};
    const char *const captions[] = {"None", "Audio Metadata Stereo 2+2", "Audio Metadata 5.1 Surround",
                                    "Audio Metadata Stereo + SAP", "Audio Metadata 5.1 + SAP"};
    auto *files = new QVBoxLayout(F_Constant);
    for (int k = 0; k < 5; ++k) {
        RB_File[k] = MakeOption(QString::fromLatin1(names[k]), QString::fromLatin1(captions[k]), F_Constant);
        files->addWidget(RB_File[k]);
    }
    files->addStretch(1);

    auto *ids = new QGridLayout;
    EB_DID =
        AddHexRow(ids, 0, QStringLiteral("Label1"), QStringLiteral("EB_DID"), QStringLiteral("Data ID (DID)"), this);
    EB_SDID = AddHexRow(ids, 1, QStringLiteral("Label2"), QStringLiteral("EB_SDID"),
                        QStringLiteral("Secondary Data ID (SDID)"), this);

    F_Line = new LinePanel(context.messages, this);
    F_Line->setCheck([this](int line) { return this->context.kyr.ValidLine(program, line); });

    CB_ConditionalInsertion = MakeCheck(
        QStringLiteral("CB_ConditionalInsertion"),
        QStringLiteral("Conditional Insertion. Do not insert if a packet of this DID/SDID is already present"), this);
    CB_ConditionalInsertion->setToolTip(
        QStringLiteral("When checked no data will be inserted if it is already present.  When unchecked any existing "
                       "packet is deleted and the new packet inserted."));

    B_Apply = MakeButton(QStringLiteral("B_Apply"), QStringLiteral("Apply"), this);
    B_Cancel = MakeButton(QStringLiteral("B_Cancel"), QStringLiteral("Cancel"), this);

    ids->setColumnStretch(2, 1);
    auto *right = new QVBoxLayout;
    right->addLayout(ids);
    right->addStretch(1);
    right->addWidget(F_Line);
    auto *top = new QHBoxLayout;
    top->addWidget(F_Constant);
    top->addLayout(right);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(CB_ConditionalInsertion);
    layout->addLayout(MakeButtonRow({B_Apply, B_Cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(B_Apply, &QPushButton::clicked, this, &frmConstant::B_Apply_Click);
    connect(B_Cancel, &QPushButton::clicked, this, &frmConstant::B_Cancel_Click);

    // Revisions before "C" have no SAP files and no conditional insertion;
    // the layout closes up around the hidden controls.
    if (RevisionBelow(kyr, QStringLiteral("C"))) {
        RB_File[ConstantModule::StereoSap]->hide();
        RB_File[ConstantModule::SurroundSap]->hide();
        CB_ConditionalInsertion->hide();
    }

    const bool sd = RequestsSD(kyr, program);
    loaded = context.state.CurrentStream;
    ConstantModule module;
    if (loaded != -1)
        module = ConstantModule::Read(kyr, loaded);
    RB_File[module.file]->setChecked(true);
    ShowHex(EB_DID, module.did);
    ShowHex(EB_SDID, module.sdid);
    F_Line->applySD(sd);
    if (!sd)
        F_Line->selectLuma(module.luma);
    F_Line->selectLine(module.line);
    CB_ConditionalInsertion->setChecked(module.conditional);
}

ConstantModule frmConstant::shown() const
{
    ConstantModule module;
    module.stream = loaded;
    for (int k = 0; k < int(RB_File.size()); ++k) {
        if (RB_File[k]->isChecked())
            module.file = ConstantModule::File(k);
    }
    module.did = int(ReadHex(EB_DID, 0xFF));
    module.sdid = int(ReadHex(EB_SDID, 0xFF));
    module.luma = F_Line->luma();
    module.line = F_Line->line();
    module.conditional = CB_ConditionalInsertion->isChecked();
    return module;
}

void frmConstant::B_Apply_Click()
{
    shown().Write(context.kyr, context.state, program);
    accept();
}

void frmConstant::B_Cancel_Click()
{
    reject();
}
