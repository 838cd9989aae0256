#include "StreamPresetDialog.h"

#include "Controls.h"

#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

StreamPresetDialog::StreamPresetDialog(SharedState &state, const Texts &texts, Preset preset, QWidget *parent)
    : QDialog(parent), state(state), preset(std::move(preset))
{
    setObjectName(texts.name);
    setWindowTitle(texts.title);
    RB_Normal = MakeOption(QStringLiteral("RB_Normal"), texts.normal, this);
    RB_Other = MakeOption(texts.otherName, texts.other, this);
    RB_Normal->setChecked(true);
    B_OK = MakeButton(QStringLiteral("B_OK"), QStringLiteral("OK"), this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(RB_Normal);
    layout->addWidget(RB_Other);
    layout->addSpacing(8);
    layout->addLayout(MakeButtonRow({B_OK}));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(B_OK, &QPushButton::clicked, this, &StreamPresetDialog::B_OK_Click);
}

void StreamPresetDialog::B_OK_Click()
{
    preset(state, RB_Other->isChecked());
    accept();
}

void StreamPresetDialog::reject()
{
    B_OK_Click();
}
