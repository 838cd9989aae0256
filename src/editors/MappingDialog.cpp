#include "MappingDialog.h"

#include "Controls.h"
#include "MappingDrawing.h"
#include "MappingRules.h"
#include "SharedState.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

MappingDialog::MappingDialog(SharedState &state, std::unique_ptr<MappingRules> rules, const Texts &texts,
                             QWidget *parent)
    : QDialog(parent), state(state), mapping(std::move(rules))
{
    setObjectName(texts.name);
    setWindowTitle(texts.title);
    mapping->open();

    TB_Info = new QLabel(texts.info, this);
    TB_Info->setObjectName(QStringLiteral("TB_Info"));
    TB_Info->setWordWrap(true);
    F_Drawing = new MappingDrawing(*mapping, texts.outputHeading, texts.inputHeading, this);
    TB_Info->setMaximumWidth(F_Drawing->sizeHint().width());

    B_Apply = MakeButton(QStringLiteral("B_Apply"), QStringLiteral("Apply"), this);
    B_Cancel = MakeButton(QStringLiteral("B_Cancel"), QStringLiteral("Cancel"), this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(TB_Info);
    layout->addWidget(F_Drawing);
    layout->addLayout(MakeButtonRow({B_Apply, B_Cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(B_Apply, &QPushButton::clicked, this, &MappingDialog::B_Apply_Click);
    connect(B_Cancel, &QPushButton::clicked, this, &MappingDialog::B_Cancel_Click);
}

MappingDialog::~MappingDialog() = default;

void MappingDialog::B_Apply_Click()
{
    state.MappingCancelled = false;
    accept();
}

void MappingDialog::B_Cancel_Click()
{
    state.MappingCancelled = true;
    reject();
}

void MappingDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        F_Drawing->clickBackground();
    QDialog::mousePressEvent(event);
}
