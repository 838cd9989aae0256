#include "frmTransparent.h"

#include "Controls.h"
#include "DialogRunner.h"
#include "EditorContext.h"
#include "EditorControls.h"
#include "EditorRules.h"
#include "LinePanel.h"
#include "NumberText.h"
#include "SharedState.h"
#include "clsKYR.h"
#include "frmLineSelection.h"
#include "frmRS232.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

using T = TransparentModule;

struct TypeOption
{
    const char *name;
    const char *caption;
    T::Type type;
};
const TypeOption kTypes[] = {{"RB_Byte", "Byte Mode", T::Bytes},       {"RB_Audio", "Audio Metadata", T::AudioMetadata},
                             {"RB_CDP", "Caption CDP", T::CaptionCdp}, {"RB_SDP", "Subtitle SDP", T::SubtitleSdp},
                             {"RB_Custom", "Custom", T::CustomBytes},  {"RB_High", "High Capacity", T::HighCapacity}};

// The largest count the working copy holds; a longer stored count is shown
// whole until the operator edits it.
constexpr qint64 kMaxCount = 32767;
// Items of the timeout list: "1" to "30" frames.
constexpr int kTimeouts = 30;

// A mode option without a caption of its own: the frame beside it names it.
QRadioButton *MakeModeOption(const QString &name, const QString &frame, QWidget *parent)
{
    QRadioButton *option = MakeOption(name, QString(), parent);
    option->setAccessibleName(frame);
    option->setToolTip(frame);
    return option;
}

} // namespace

frmTransparent::frmTransparent(EditorContext &context, QWidget *parent) : QDialog(parent), context(context)
{
    setObjectName(QStringLiteral("frmTransparent"));
    setWindowTitle(QStringLiteral("Transparent Stream Configuration"));

    // The data type, its description and the direction.
    F_Mode = MakeFrame(QStringLiteral("F_Mode"), QStringLiteral("Data Type"), this);
    auto *types = new QVBoxLayout(F_Mode);
    for (size_t k = 0; k < RB_Type.size(); ++k) {
        RB_Type[k] = MakeOption(QString::fromLatin1(kTypes[k].name), QString::fromLatin1(kTypes[k].caption), F_Mode);
        types->addWidget(RB_Type[k]);
        const T::Type type = kTypes[k].type;
        OnChosen(RB_Type[k], this, [this, type] { chooseType(type); });
    }
    TB_Description = MakeLabel(QStringLiteral("TB_Description"), QString(), F_Mode);
    TB_Description->setWordWrap(true);
    TB_Description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the longest description, so that the dialog keeps its size.
    TB_Description->setFixedSize(210, TB_Description->fontMetrics().lineSpacing() * 4 + 4);
    types->addSpacing(6);
    types->addWidget(TB_Description);
    types->addStretch(1);

    F_Direction = MakeFrame(QStringLiteral("F_Direction"), QStringLiteral("Data Direction"), this);
    RB_Encode = MakeOption(QStringLiteral("RB_Encode"), QStringLiteral("Encode Into the Signal"), F_Direction);
    RB_Decode = MakeOption(QStringLiteral("RB_Decode"), QStringLiteral("Decode From the Signal"), F_Direction);
    PlaceInColumn(F_Direction, {RB_Encode, RB_Decode});

    // The port, the identifiers, the line.
    auto *ids = new QGridLayout;
    CB_Port = MakeList(QStringLiteral("CB_Port"), QStringLiteral("Port"), {}, this);
    CB_Port->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    CB_Port->setMinimumContentsLength(8);
    B_Configure = MakeButton(QStringLiteral("B_Configure"), QStringLiteral("Configure"), this);
    // Wide enough for the longest settings, and keeping its place while
    // hidden, so that the dialog keeps its size whichever port is chosen.
    B_Configure->setMinimumWidth(B_Configure->fontMetrics().horizontalAdvance(QStringLiteral("115200,N,8,1,HW")) + 24);
    QSizePolicy keepPlace = B_Configure->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    B_Configure->setSizePolicy(keepPlace);
    ids->addWidget(MakeLabel(QStringLiteral("Label1"), QStringLiteral("Port"), this, CB_Port), 0, 0);
    auto *port = new QHBoxLayout;
    port->addWidget(CB_Port);
    port->addWidget(B_Configure);
    port->addStretch(1);
    ids->addLayout(port, 0, 1, 1, 2);
    EB_DID =
        AddHexRow(ids, 1, QStringLiteral("Label2"), QStringLiteral("EB_DID"), QStringLiteral("Data ID (DID)"), this);
    EB_SDID = AddHexRow(ids, 2, QStringLiteral("Label3"), QStringLiteral("EB_SDID"),
                        QStringLiteral("Secondary Data ID (SDID)"), this);
    ids->setColumnStretch(2, 1);

    F_Line = new LinePanel(context.messages, this);
    F_Line->setCheck([this](int line) { return this->context.kyr.ValidLine(copy.program, line); });
    B_Lines = MakeButton(QStringLiteral("B_Lines"), QStringLiteral("Lines"), F_Line);
    B_Lines->setMinimumWidth(B_Lines->fontMetrics().horizontalAdvance(QStringLiteral("10, 11, 12, 13, 14...")) + 24);
    F_Line->grid()->addWidget(B_Lines, 0, 0);
    CB_FieldIndicator = MakeCheck(QStringLiteral("CB_FieldIndicator"), QStringLiteral("Send Field Indicator"), this);

    // The buffering settings: priority, packet mode, byte mode.
    F_Settings = MakeFrame(QStringLiteral("F_Settings"), QStringLiteral("Settings"), this);
    Frame1 = MakeFrame(QStringLiteral("Frame1"), QStringLiteral("Packet Mode Priroity"), F_Settings);
    const char *const priorities[] = {"Overwrite Upstream", "Local Priority", "Upstream Priority"};
    auto *priorityOptions = new QVBoxLayout;
    for (int k = 0; k < 3; ++k) {
        Option[k] = MakeOption(QStringLiteral("Option%1").arg(k + 1), QString::fromLatin1(priorities[k]), Frame1);
        priorityOptions->addWidget(Option[k]);
        OnChosen(Option[k], this, [this, k] { act([this, k] { copy.priority.set(qint16(k)); }, false); });
    }
    QStringList frames;
    for (int n = 1; n <= kTimeouts; ++n)
        frames << QString::number(n);
    Combo1 = MakeList(QStringLiteral("Combo1"), QStringLiteral("Timeout (frames)"), frames, Frame1);
    Combo1->setMinimumContentsLength(3);
    Label4 = MakeLabel(QStringLiteral("Label4"), QStringLiteral("Timeout (frames)"), Frame1, Combo1);
    auto *timeoutColumn = new QVBoxLayout;
    timeoutColumn->addWidget(Label4);
    timeoutColumn->addWidget(Combo1, 0, Qt::AlignLeft);
    timeoutColumn->addStretch(1);
    auto *priorityRow = new QHBoxLayout(Frame1);
    priorityRow->addLayout(priorityOptions);
    priorityRow->addSpacing(24);
    priorityRow->addLayout(timeoutColumn);
    priorityRow->addStretch(1);

    RB_Packet = MakeModeOption(QStringLiteral("RB_Packet"), QStringLiteral("Packet Mode"), F_Settings);
    F_Packet = MakeFrame(QStringLiteral("F_Packet"), QStringLiteral("Packet Mode"), F_Settings);
    EB_Identifier = MakeHexBox(QStringLiteral("EB_Identifier"), QStringLiteral("Packet Identifier"), F_Packet, 4);
    EB_Identifier->setFixedWidth(56);
    L_PacketID = MakeLabel(QStringLiteral("L_PacketID"), QStringLiteral("Packet Identifier"), F_Packet, EB_Identifier);
    auto *packetRow = new QHBoxLayout(F_Packet);
    packetRow->addWidget(L_PacketID);
    packetRow->addWidget(EB_Identifier);
    packetRow->addStretch(1);

    RB_ByteMode = MakeModeOption(QStringLiteral("RB_ByteMode"), QStringLiteral("Byte Mode"), F_Settings);
    F_ByteMode = MakeFrame(QStringLiteral("F_ByteMode"), QStringLiteral("Byte Mode"), F_Settings);
    L_DataCount = MakeLabel(QStringLiteral("L_DataCount"), QStringLiteral("Data Count"), F_ByteMode);
    const char *const fieldCaptions[] = {"Field 1", "Field2"};
    auto *counts = new QHBoxLayout;
    counts->addWidget(L_DataCount);
    for (int k = 0; k < 2; ++k) {
        EB_DataCount[k] = MakeCountBox(QStringLiteral("EB_DataCount_%1").arg(k),
                                       QStringLiteral("Data Count Field %1").arg(k + 1), F_ByteMode, 4);
        EB_DataCount[k]->setFixedWidth(56);
        T_Field[k] = MakeLabel(QStringLiteral("T_Field%1").arg(k + 1), QString::fromLatin1(fieldCaptions[k]),
                               F_ByteMode, EB_DataCount[k]);
        counts->addSpacing(12);
        counts->addWidget(T_Field[k]);
        counts->addWidget(EB_DataCount[k]);
        connect(EB_DataCount[k], &QLineEdit::textChanged, this, [this, k] { countChanged(k); });
    }
    counts->addStretch(1);
    F_Vanc = MakeFrame(QStringLiteral("F_Vanc"), QStringLiteral("Flush Buffer at Vanc"), F_ByteMode);
    CB_Field1 = MakeCheck(QStringLiteral("CB_Field1"), QStringLiteral("Field 1"), F_Vanc);
    CB_Field2 = MakeCheck(QStringLiteral("CB_Field2"), QStringLiteral("Field 2"), F_Vanc);
    PlaceInRow(F_Vanc, {CB_Field1, CB_Field2});
    F_Timeout = MakeFrame(QStringLiteral("F_Timeout"), QStringLiteral("Flush Buffer Timeout"), F_ByteMode);
    const char *const flushNames[] = {"RB_Off", "RB_1Field", "RB_2Fields"};
    const char *const flushCaptions[] = {"Off", "1 Field", "2 Fields"};
    auto *timeoutRow = new QHBoxLayout(F_Timeout);
    for (int k = 0; k < 3; ++k) {
        RB_Flush[k] = MakeOption(QString::fromLatin1(flushNames[k]), QString::fromLatin1(flushCaptions[k]), F_Timeout);
        timeoutRow->addWidget(RB_Flush[k]);
        OnChosen(RB_Flush[k], this, [this, k] { act([this, k] { copy.timedFlush.set(qint16(k)); }, false); });
    }
    auto *flushRow = new QHBoxLayout;
    flushRow->addWidget(F_Vanc);
    flushRow->addWidget(F_Timeout);
    flushRow->addStretch(1);
    auto *byteColumn = new QVBoxLayout(F_ByteMode);
    byteColumn->addLayout(counts);
    byteColumn->addLayout(flushRow);

    auto *settings = new QGridLayout(F_Settings);
    settings->addWidget(Frame1, 0, 0, 1, 2);
    settings->addWidget(RB_Packet, 1, 0);
    settings->addWidget(F_Packet, 1, 1);
    settings->addWidget(RB_ByteMode, 2, 0);
    settings->addWidget(F_ByteMode, 2, 1);
    settings->setColumnStretch(1, 1);

    B_Apply = MakeButton(QStringLiteral("B_Apply"), QStringLiteral("Apply"), this);
    B_Cancel = MakeButton(QStringLiteral("B_Cancel"), QStringLiteral("Cancel"), this);

    auto *left = new QVBoxLayout;
    left->addWidget(F_Mode);
    left->addStretch(1);
    auto *middle = new QVBoxLayout;
    middle->addLayout(ids);
    middle->addWidget(F_Line);
    middle->addWidget(CB_FieldIndicator);
    middle->addWidget(F_Direction);
    middle->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(F_Settings);
    right->addStretch(1);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(middle);
    columns->addLayout(right);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(MakeButtonRow({B_Apply, B_Cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    OnChosen(RB_Encode, this, [this] { act([this] { copy.setEncode(true); }); });
    OnChosen(RB_Decode, this, [this] { act([this] { copy.setEncode(false); }); });
    connect(CB_Port, &QComboBox::activated, this, &frmTransparent::CB_Port_Click);
    connect(B_Configure, &QPushButton::clicked, this, &frmTransparent::B_Configure_Click);
    // The line list acts also when the dialog selects the line itself: that
    // runs the line check, as the operator's choice does.
    connect(F_Line, &LinePanel::lineChosen, this, [this](int line) { copy.selectLine(line); });
    connect(F_Line, &LinePanel::channelChosen, this, [this](bool luma) { copy.setLuma(luma); });
    connect(B_Lines, &QPushButton::clicked, this, &frmTransparent::B_Lines_Click);
    OnCheckChanged(CB_FieldIndicator, this, [this](bool checked) {
        act(
            [this, checked] {
                copy.fieldIndicator.set(checking(checked, TransparentView::Of(copy).fieldIndicator) ? 1 : 0);
                showChecks();
            },
            false);
    });
    connect(EB_DID, &QLineEdit::textChanged, this,
            [this] { act([this] { copy.did = int(ReadHex(EB_DID, 0xFF)); }, false); });
    connect(EB_SDID, &QLineEdit::textChanged, this,
            [this] { act([this] { copy.sdid = int(ReadHex(EB_SDID, 0xFF)); }, false); });
    connect(EB_Identifier, &QLineEdit::textChanged, this,
            [this] { act([this] { copy.identifier = qint32(ReadHex(EB_Identifier, 0xFFFF)); }, false); });
    OnCheckChanged(CB_Field1, this, [this](bool checked) { vancChanged(0, checked); });
    OnCheckChanged(CB_Field2, this, [this](bool checked) { vancChanged(1, checked); });
    connect(Combo1, &QComboBox::activated, this, &frmTransparent::Combo1_Click);
    OnChosen(RB_ByteMode, this, [this] { act([this] { copy.setByteMode(true); }); });
    OnChosen(RB_Packet, this, [this] { act([this] { copy.setByteMode(false); }); });
    connect(B_Apply, &QPushButton::clicked, this, &frmTransparent::B_Apply_Click);
    connect(B_Cancel, &QPushButton::clicked, this, &frmTransparent::B_Cancel_Click);

    copy = TransparentModule::Open(context.kyr, context.state);
    ShowSettings();
}

void frmTransparent::act(const std::function<void()> &change, bool refresh)
{
    if (!eventsEnabled)
        return;
    change();
    if (refresh)
        ShowSettings();
}

void frmTransparent::ShowSettings()
{
    if (refreshing)
        return;
    refreshing = true;
    eventsEnabled = false;
    const clsKYR &kyr = context.kyr;
    const TransparentView view = TransparentView::Of(copy);

    for (size_t k = 0; k < RB_Type.size(); ++k)
        CheckOption(RB_Type[k], kTypes[k].type == view.typeOption);
    TB_Description->setText(view.description);
    for (QWidget *control :
         {static_cast<QWidget *>(Option[0]), static_cast<QWidget *>(Option[1]), static_cast<QWidget *>(Option[2]),
          static_cast<QWidget *>(Label4), static_cast<QWidget *>(Combo1)})
        control->setEnabled(view.priority);
    ShowByteMode(view.byteMode);
    ShowPacketMode(view.packet);

    B_Lines->setVisible(view.severalLines);
    B_Lines->setEnabled(view.severalLines);
    F_Line->CB_Line->setVisible(!view.severalLines);
    F_Line->CB_Line->setEnabled(!view.severalLines);
    if (view.severalLines) {
        // A shortened list is told whole by the tooltip and the description.
        const QString lines = clsKYR::LineNumbers(copy.lines);
        SetCaption(B_Lines, view.linesCaption, QStringLiteral("Lines ") + view.linesCaption);
        B_Lines->setToolTip(lines);
        B_Lines->setAccessibleDescription(lines);
    } else {
        F_Line->selectLine(copy.line);
    }

    const bool sd = RequestsSD(kyr, copy.program);
    F_Line->applySD(sd);
    if (!sd && view.channelOption >= 0)
        F_Line->selectLuma(view.channelOption == 0);
    else if (!sd)
        F_Line->clearChannel();
    CheckOption(RB_Encode, view.directionOption == 0);
    CheckOption(RB_Decode, view.directionOption == 1);

    showTimeout();
    for (int k = 0; k < 3; ++k)
        CheckOption(Option[k], view.priorityOption == k);

    FillPortList(CB_Port, kyr, copy.ports(), copy.chosen);

    ShowHex(EB_DID, copy.did);
    ShowHex(EB_SDID, copy.sdid);
    if (copy.identifier == 0)
        ShowPlaceholder(EB_Identifier);
    else
        ShowHex(EB_Identifier, copy.identifier);
    showCount(0);
    showCount(1);

    for (int k = 0; k < 3; ++k)
        CheckOption(RB_Flush[k], view.flushOption == k);
    showChecks();

    B_Configure->setVisible(view.configure);
    if (view.configure)
        ShowSerialCaption(B_Configure, kyr, copy.chosen);

    refreshing = false;
    eventsEnabled = true;
}

bool frmTransparent::checking(bool checked, int shown)
{
    // A click takes a box that shows neither state to checked, a Toggle to
    // clear: both count as checking it.
    return checked || shown < 0;
}

void frmTransparent::showChecks()
{
    const bool was = eventsEnabled;
    eventsEnabled = false;
    const TransparentView view = TransparentView::Of(copy);
    ShowCheck(CB_FieldIndicator, view.fieldIndicator);
    ShowCheck(CB_Field1, view.vancFields < 0 ? -1 : view.vancFields & 1);
    ShowCheck(CB_Field2, view.vancFields < 0 ? -1 : (view.vancFields & 2) >> 1);
    eventsEnabled = was;
}

void frmTransparent::ShowByteMode(const TransparentView::Mode &mode)
{
    for (QWidget *control :
         std::initializer_list<QWidget *>{F_ByteMode, L_DataCount, T_Field[0], T_Field[1], F_Timeout, F_Vanc})
        control->setEnabled(mode.frame);
    for (QWidget *control : std::initializer_list<QWidget *>{EB_DataCount[0], EB_DataCount[1], RB_Flush[0], RB_Flush[1],
                                                             RB_Flush[2], CB_Field1, CB_Field2})
        control->setEnabled(mode.fields);
    CheckOption(RB_ByteMode, mode.select);
    RB_ByteMode->setEnabled(mode.option);
}

void frmTransparent::ShowPacketMode(const TransparentView::Mode &mode)
{
    F_Packet->setEnabled(mode.frame);
    L_PacketID->setEnabled(mode.frame);
    EB_Identifier->setEnabled(mode.fields);
    CheckOption(RB_Packet, mode.select);
    RB_Packet->setEnabled(mode.option);
}

void frmTransparent::showCount(int field)
{
    const WorkingNumber &count = copy.count[size_t(field)];
    if (count.exact() && count.value() < 1)
        ShowPlaceholder(EB_DataCount[field]);
    else
        ShowValue(EB_DataCount[field], count.text());
}

void frmTransparent::showTimeout()
{
    const WorkingNumber &timeout = copy.timeout;
    if (timeout.exact() && timeout.value() >= 0 && timeout.value() < kTimeouts)
        ShowStoredItem(Combo1, QString::number(timeout.value() + 1));
    else // a stored position the list has no item for: shown in frames, as the items are
        ShowStoredItem(Combo1, KyrValue::decimalText(KyrValue::readDecimal(timeout.text()) + 1));
}

void frmTransparent::chooseType(TransparentModule::Type type)
{
    act([this, type] { copy.choose(type); });
}

void frmTransparent::CB_Port_Click(int index)
{
    act([this, index] { copy.choosePort(PortAt(CB_Port, index)); });
}

void frmTransparent::B_Configure_Click()
{
    act([this] {
        context.state.ConfigureStream = copy.chosen;
        frmRS232 dialog(context.kyr, context.state, this);
        context.dialogs.run(dialog);
    });
}

void frmTransparent::B_Lines_Click()
{
    act([this] {
        context.state.LineSelectionMask = copy.lines;
        frmLineSelection dialog(context, this);
        context.dialogs.run(dialog);
        copy.lines = context.state.LineSelectionMask;
    });
}

void frmTransparent::Combo1_Click(int position)
{
    act([this, position] {
        if (!StoredItemShown(Combo1))
            copy.timeout.set(qint16(position));
    });
}

void frmTransparent::countChanged(int field)
{
    act(
        [this, field] {
            QLineEdit *box = EB_DataCount[field];
            const qint64 count = LeadingDecimal(box->text(), kMaxCount + 1);
            if (count > kMaxCount) {
                // Only a stored count shown whole is that long: what the box
                // shows is what Apply writes.
                box->setText(QString::number(kMaxCount));
                return;
            }
            copy.count[size_t(field)].set(qint16(count));
        },
        false);
}

void frmTransparent::vancChanged(int field, bool checked)
{
    act(
        [this, field, checked] {
            // The other box, when it showed neither state, counts as clear.
            const int stored = TransparentView::Of(copy).vancFields;
            int fields = 0;
            for (int k : {0, 1}) {
                QCheckBox *box = k == 0 ? CB_Field1 : CB_Field2;
                const bool on = k == field ? checking(checked, stored < 0 ? -1 : 0) : box->checkState() == Qt::Checked;
                fields |= on ? 1 << k : 0;
            }
            copy.vancFlush.set(qint16(fields));
            showChecks();
        },
        false);
}

void frmTransparent::B_Apply_Click()
{
    copy.Write(context.kyr, context.state);
    accept();
}

void frmTransparent::B_Cancel_Click()
{
    reject();
}
