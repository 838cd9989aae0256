#include "frmLineUsage.h"

#include "Controls.h"
#include "EditorContext.h"
#include "EditorControls.h"
#include "LeaveCheck.h"
#include "NumberText.h"
#include "SharedState.h"
#include "clsKYR.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

const char *const kChannelName[2] = {"Chroma", "Luma"};
const char *const kChannelLetter[2] = {"C", "L"};

} // namespace

frmLineUsage::frmLineUsage(EditorContext &context, QWidget *parent) : QDialog(parent), kyr(context.kyr)
{
    setObjectName(QStringLiteral("frmLineUsage"));
    setWindowTitle(QStringLiteral("Line Usage"));
    program = context.state.CurrentProgram;
    checks = new LeaveCheck(this);

    Label1 = new QLabel(
        QStringLiteral("Line Usage controls whether data inserted by the encoder will overwrite data already on the "
                       "line or be appended to the end of the line.  If you choose to append data to the line then "
                       "you can reserve space on the line for the existing data.  This is an advanced setting and can "
                       "normally be set to zero.  It is only important if by adding data to the line you may fill "
                       "it.  These settings apply to all modules using the line."),
        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    F_Line = MakeFrame(QStringLiteral("F_Line"), QStringLiteral("Line Number"), this);
    TB_Line = MakeEdit(QStringLiteral("TB_Line"), QStringLiteral("Line Number"), F_Line);
    TB_Line->setReadOnly(true);
    TB_Line->setAlignment(Qt::AlignCenter);
    TB_Line->setFixedWidth(40);
    TB_Line->setToolTip(QStringLiteral("The line number is controlled by the up and down arrows"));
    VS_Line = MakeScrollBar(QStringLiteral("VS_Line"), QStringLiteral("Line Number Arrows"), F_Line);
    VS_Line->setToolTip(TB_Line->toolTip());
    VS_Line->setFixedHeight(TB_Line->sizeHint().height() * 3 / 2);
    CB_Append[0] = MakeCheck(QStringLiteral("CB_AppendC"), QStringLiteral("Append Chroma"), F_Line);
    CB_Append[0]->setToolTip(QStringLiteral(
        "Check this to append data after any existing chroma data instead of overwriting existing data"));
    CB_Append[1] = MakeCheck(QStringLiteral("CB_AppendL"), QStringLiteral("Append Luma"), F_Line);
    CB_Append[1]->setToolTip(
        QStringLiteral("Check this to append data after any existing luma data instead of overwriting existing data"));
    auto *lineGrid = new QGridLayout(F_Line);
    lineGrid->addWidget(TB_Line, 0, 0, Qt::AlignVCenter);
    lineGrid->addWidget(VS_Line, 0, 1, Qt::AlignLeft);
    lineGrid->addWidget(CB_Append[0], 1, 0, 1, 3);
    lineGrid->addWidget(CB_Append[1], 2, 0, 1, 3);
    lineGrid->setColumnStretch(2, 1);

    F_Reserved =
        MakeFrame(QStringLiteral("F_Reserved"), QStringLiteral("Reserved space for data already on the line"), this);
    auto *reservedRow = new QHBoxLayout(F_Reserved);
    for (int channel : {0, 1}) {
        const QString name = QString::fromLatin1(kChannelName[channel]);
        const QString letter = QString::fromLatin1(kChannelLetter[channel]);
        QGroupBox *frame = MakeFrame(QStringLiteral("F_") + name, name + QStringLiteral(" Channel"), F_Reserved);
        F_Channel[channel] = frame;
        auto *grid = new QGridLayout(frame);
        for (int field = 1; field <= 2; ++field) {
            const QString fieldText = QStringLiteral("Field %1").arg(field);
            auto *label = new QLabel(fieldText, frame);
            label->setObjectName(QStringLiteral("TB_%1Field%2").arg(letter).arg(field));
            QLineEdit *box =
                MakeCountBox(QStringLiteral("EB_%1F%2").arg(letter).arg(field), name + u' ' + fieldText, frame, 4);
            box->setToolTip(QStringLiteral("Set this to the number of bytes already in %1 %2 or to zero if you will "
                                           "not fill the line")
                                .arg(name, fieldText));
            box->setFixedWidth(56);
            label->setBuddy(box);
            grid->addWidget(label, field - 1, 0);
            grid->addWidget(box, field - 1, 1);
            TB_Field[channel][field - 1] = label;
            EB_Count[channel][field - 1] = box;
            checks->watch(box, [this, channel, field](QLineEdit *b) { return leaveCount(b, channel, field); });
        }
        reservedRow->addWidget(frame);
    }

    B_Apply = MakeButton(QStringLiteral("B_Apply"), QStringLiteral("Apply"), this);
    B_Cancel = MakeButton(QStringLiteral("B_Cancel"), QStringLiteral("Cancel"), this);
    for (QWidget *control :
         {static_cast<QWidget *>(VS_Line), static_cast<QWidget *>(CB_Append[0]), static_cast<QWidget *>(CB_Append[1]),
          static_cast<QWidget *>(B_Apply), static_cast<QWidget *>(B_Cancel)})
        checks->guard(control);

    auto *middle = new QHBoxLayout;
    middle->addWidget(F_Line);
    middle->addWidget(F_Reserved, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(middle);
    layout->addLayout(MakeButtonRow({B_Apply, B_Cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The explanation wraps to the width of the frames below it.
    Label1->setFixedWidth(middle->sizeHint().width());

    copy = LineUsageCopy::Load(kyr, program);
    VS_Line->setRange(0, 24);
    VS_Line->setSingleStep(1);
    VS_Line->setPageStep(1);
    VS_Line->setValue(25 - line);
    ShowLine();

    connect(VS_Line, &QScrollBar::valueChanged, this, &frmLineUsage::VS_Line_Change);
    OnCheckChanged(CB_Append[0], this, [this](bool checked) { CB_AppendC_Click(checked); });
    OnCheckChanged(CB_Append[1], this, [this](bool checked) { CB_AppendL_Click(checked); });
    connect(B_Apply, &QPushButton::clicked, this, &frmLineUsage::B_Apply_Click);
    connect(B_Cancel, &QPushButton::clicked, this, &frmLineUsage::B_Cancel_Click);
}

void frmLineUsage::ShowLine()
{
    const QScopedValueRollback<bool> quiet(showing, true);
    TB_Line->setText(QString::number(line));
    for (int channel : {0, 1}) {
        const bool append = copy.append[channel][line - 1];
        CB_Append[channel]->setChecked(append);
        F_Channel[channel]->setEnabled(append);
        for (int field = 0; field < 2; ++field) {
            TB_Field[channel][field]->setEnabled(append);
            QLineEdit *box = EB_Count[channel][field];
            box->setEnabled(append);
            if (append)
                ShowStored(box, copy.reserved[channel][field][line - 1].text());
            else
                ShowPlaceholder(box);
        }
    }
}

bool frmLineUsage::leaveCount(QLineEdit *box, int channel, int field)
{
    // Typed, pasted or set through the accessibility interface (which leaves
    // the box unmodified): whatever differs from the count shown is taken.
    WorkingNumber &reserved = copy.reserved[channel][field - 1][line - 1];
    if (!box->isEnabled() || (!box->isModified() && box->text() == reserved.text()))
        return true;
    const qint64 count = LeadingDecimal(box->text(), MaxReserved + 1);
    if (count > MaxReserved) {
        box->setText(QString::number(MaxReserved));
        box->setModified(true); // leaving again stores it
        return false;
    }
    reserved.set(qint16(count));
    box->setModified(false);
    return true;
}

void frmLineUsage::VS_Line_Change(int value)
{
    if (!checks->settle()) {
        const QSignalBlocker block(VS_Line);
        VS_Line->setValue(25 - line);
        return;
    }
    line = qBound(1, 25 - value, 25);
    ShowLine();
}

void frmLineUsage::appendClicked(int channel, bool checked)
{
    if (showing)
        return;
    if (!checks->settle()) {
        // Refused by a count box's rule: the box goes back (a click on it
        // was held back before it could change it).
        const QSignalBlocker block(CB_Append[channel]);
        CB_Append[channel]->setChecked(!checked);
        return;
    }
    copy.append[channel][line - 1] = checked;
    ShowLine();
}

void frmLineUsage::CB_AppendC_Click(bool checked)
{
    appendClicked(LineUsageCopy::Chroma, checked);
}

void frmLineUsage::CB_AppendL_Click(bool checked)
{
    appendClicked(LineUsageCopy::Luma, checked);
}

void frmLineUsage::B_Apply_Click()
{
    if (!checks->settle())
        return;
    copy.Write(kyr, program);
    accept();
}

void frmLineUsage::B_Cancel_Click()
{
    if (!checks->settle())
        return;
    reject();
}
