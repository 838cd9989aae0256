#include "LinePanel.h"

#include "Controls.h"
#include "EditorControls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QRadioButton>
#include <QScopedValueRollback>

LinePanel::LinePanel(Messages &messages, QWidget *parent)
    : QGroupBox(QStringLiteral("Line Selection"), parent), messages(messages)
{
    setObjectName(QStringLiteral("F_Line"));
    setAccessibleName(title());
    CB_Line = MakeLineList(QStringLiteral("CB_Line"), this);
    RB_Luma = MakeOption(QStringLiteral("RB_Luma"), QStringLiteral("Luma"), this);
    RB_Chroma = MakeOption(QStringLiteral("RB_Chroma"), QStringLiteral("Chroma"), this);
    RB_Luma->setChecked(true);

    layout = new QGridLayout(this);
    layout->addWidget(CB_Line, 0, 0);
    layout->addWidget(RB_Luma, 0, 1);
    layout->addWidget(RB_Chroma, 0, 2);
    layout->setColumnStretch(3, 1);

    connect(CB_Line, &QComboBox::activated, this, &LinePanel::CB_Line_Click);
    for (const auto &[option, luma] : {std::pair{RB_Luma, true}, {RB_Chroma, false}}) {
        OnChosen(option, this, [this, luma = luma] {
            if (!selecting)
                emit channelChosen(luma);
        });
    }
}

void LinePanel::selectLine(int line)
{
    const int position = qBound(1, line, 25) - 1;
    CB_Line->setCurrentIndex(position);
    CB_Line_Click(position);
}

int LinePanel::line() const
{
    return CB_Line->currentIndex() + 1;
}

void LinePanel::selectLuma(bool luma)
{
    {
        const QScopedValueRollback<bool> quiet(selecting, true);
        (luma ? RB_Luma : RB_Chroma)->setChecked(true);
    }
    emit channelChosen(luma);
}

void LinePanel::clearChannel()
{
    CheckOption(RB_Luma, false);
    CheckOption(RB_Chroma, false);
}

bool LinePanel::luma() const
{
    return RB_Luma->isChecked();
}

void LinePanel::applySD(bool sd)
{
    RB_Chroma->setEnabled(!sd);
    if (sd)
        selectLuma(true);
}

void LinePanel::CB_Line_Click(int position)
{
    if (lineCheck)
        ShowCaution(messages, lineCheck(position + 1));
    emit lineChosen(position + 1);
}
