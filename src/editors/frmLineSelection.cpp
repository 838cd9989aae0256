#include "frmLineSelection.h"

#include "Controls.h"
#include "EditorContext.h"
#include "EditorControls.h"
#include "Messages.h"
#include "SharedState.h"
#include "clsKYR.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

frmLineSelection::frmLineSelection(EditorContext &context, QWidget *parent) : QDialog(parent), context(context)
{
    setObjectName(QStringLiteral("frmLineSelection"));
    setWindowTitle(QStringLiteral("Line Selection"));

    auto *grid = new QGridLayout;
    for (int i = 0; i < Lines; ++i) {
        CB_Line[i] = MakeCheck(QStringLiteral("CB_Line_%1").arg(i), QStringLiteral("Line %1").arg(i + 1), this);
        CB_Line[i]->setChecked(context.state.LineSelectionMask & clsKYR::InsertLines(i + 1));
        // Five columns, lines running down each column.
        grid->addWidget(CB_Line[i], i % 5, i / 5);
    }
    B_Apply = MakeButton(QStringLiteral("B_Apply"), QStringLiteral("Apply"), this);
    B_Cancel = MakeButton(QStringLiteral("B_Cancel"), QStringLiteral("Cancel"), this);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(MakeButtonRow({B_Apply, B_Cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(B_Apply, &QPushButton::clicked, this, &frmLineSelection::B_Apply_Click);
    connect(B_Cancel, &QPushButton::clicked, this, &frmLineSelection::B_Cancel_Click);
}

qint32 frmLineSelection::MaskOf(const std::array<bool, Lines> &checked)
{
    qint32 mask = 0;
    for (int i = 0; i < Lines; ++i) {
        if (checked[i])
            mask |= clsKYR::InsertLines(i + 1);
    }
    return mask;
}

void frmLineSelection::B_Apply_Click()
{
    std::array<bool, Lines> checked{};
    bool cautioned = false;
    for (int i = 0; i < Lines; ++i) {
        checked[i] = CB_Line[i]->isChecked();
        if (!checked[i] || cautioned)
            continue;
        const QString caution = context.kyr.ValidLine(context.state.CurrentProgram, i + 1);
        ShowCaution(context.messages, caution);
        cautioned = !caution.isEmpty();
    }
    const qint32 mask = MaskOf(checked);
    if (mask == 0) {
        context.messages.inform(QStringLiteral("Error, No lines selected"),
                                QStringLiteral("Please select at least one line"));
        return;
    }
    context.state.LineSelectionMask = mask;
    accept();
}

void frmLineSelection::B_Cancel_Click()
{
    reject();
}
