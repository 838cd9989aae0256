#include "frmCaption.h"

#include "Controls.h"
#include "DialogRunner.h"
#include "EditorContext.h"
#include "EditorControls.h"
#include "EditorRules.h"
#include "LeaveCheck.h"
#include "LinePanel.h"
#include "Messages.h"
#include "NumberText.h"
#include "SharedState.h"
#include "clsKYR.h"
#include "frmMapping.h"
#include "frmPrimaryStreamMapping.h"
#include "frmRS232.h"
#include "frmSecondaryStreamMapping.h"
#include "frmUpstream.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QVBoxLayout>

#include <memory>

namespace {

const QStringList kLanguages{"none", "eng", "frn", "spn"};
const QString kNone = QStringLiteral("none");

QLabel *makeLabel(const QString &name, const QString &caption, QWidget *parent, QWidget *buddy = nullptr)
{
    auto *label = new QLabel(caption, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

// Port controls keep their place while hidden, so that the dialog does not
// jump from tab to tab.
void keepPlace(std::initializer_list<QWidget *> controls)
{
    for (QWidget *control : controls) {
        QSizePolicy policy = control->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        control->setSizePolicy(policy);
    }
}

} // namespace

frmCaption::frmCaption(EditorContext &context, QWidget *parent) : QDialog(parent), context(context)
{
    setObjectName(QStringLiteral("frmCaption"));
    setWindowTitle(QStringLiteral("Caption Stream Configuration"));
    const clsKYR &kyr = context.kyr;
    leave = new LeaveCheck(this);

    TS_Ports = MakeTabs(
        QStringLiteral("TS_Ports"), QStringLiteral("Ports"),
        {"Primary Captioning Port", "Secondary Captioning Port", "XDS Port", "708 Output Port", "608 Output Port"},
        this);
    const char *const tips[] = {
        "This port is typically used to connect to the caption server providing the Primary Language",
        "This port is typically used to connect to the caption server providing the second caption language",
        "This port is used to add XDS records to the embedded 608 data",
        "This port is used to bridge caption data to a mux",
        "This port is used to bridge the embedded 608 data to KYR2 or KYR4"};
    for (int tab = 0; tab < CaptionModule::Ports; ++tab)
        TS_Ports->setTabToolTip(tab, QString::fromLatin1(tips[tab]));
    QWidget *portPanel = makePortPanel();

    auto *ids = new QGridLayout;
    EB_DID =
        AddHexRow(ids, 0, QStringLiteral("Label2"), QStringLiteral("EB_DID"), QStringLiteral("Data ID (DID)"), this);
    EB_SDID = AddHexRow(ids, 1, QStringLiteral("Label3"), QStringLiteral("EB_SDID"),
                        QStringLiteral("Secondary Data ID (SDID)"), this);
    EB_DID->setToolTip(QStringLiteral("DID 61 is reserved for captioning"));
    EB_SDID->setToolTip(QStringLiteral("SDID 01 is reserved for captioning"));
    ids->setRowStretch(2, 1);
    F_Line = new LinePanel(context.messages, this);
    F_Line->setCheck([this](int line) { return this->context.kyr.ValidLine(working.program, line); });
    connect(F_Line, &LinePanel::lineChosen, this, [this](int line) { working.line = line; });
    connect(F_Line, &LinePanel::channelChosen, this, [this](bool luma) { working.luma = luma; });

    CB_Replace = MakeCheck(QStringLiteral("CB_Replace"), QStringLiteral("Replace Upstream Captions"), this);
    CB_BroadcastFlag = MakeList(QStringLiteral("CB_BroadcastFlag"), QStringLiteral("Broadcast Flag"),
                                {"Broadcast Flag Disabled (Upstream Passed)", "Broadcast Flag controlled by Command",
                                 "Broadcast Flag controlled by GPI & Command", "Always Block Upstream Broadcast Flag",
                                 "Always Insert Broadcast Flag"},
                                this);
    F_Service = makeServiceFrame();
    B_Upstream = MakeButton(QStringLiteral("B_Upstream"), QStringLiteral("Upstream Mapping"), this);
    B_Apply = MakeButton(QStringLiteral("B_Apply"), QStringLiteral("Apply"), this);
    B_Cancel = MakeButton(QStringLiteral("B_Cancel"), QStringLiteral("Cancel"), this);
    // Cancel leaves whatever a box holds; a click on it does not leave the box.
    B_Cancel->setFocusPolicy(Qt::TabFocus);

    auto *shared = new QHBoxLayout;
    shared->addLayout(ids);
    shared->addWidget(F_Line, 1);
    auto *upstream = new QVBoxLayout;
    upstream->addWidget(CB_Replace);
    upstream->addWidget(B_Upstream, 0, Qt::AlignLeft);
    upstream->addStretch(1);
    // A list is announced by its item; the label names it too.
    auto *flagLabel = makeLabel(QStringLiteral("Label4"), QStringLiteral("Broadcast Flag"), this, CB_BroadcastFlag);
    auto *flag = new QHBoxLayout;
    flag->addWidget(flagLabel);
    flag->addWidget(CB_BroadcastFlag, 1);
    auto *services = new QHBoxLayout;
    services->addWidget(F_Service);
    services->addLayout(upstream, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(TS_Ports);
    layout->addWidget(portPanel);
    layout->addLayout(shared);
    layout->addLayout(flag);
    layout->addLayout(services);
    layout->addLayout(MakeButtonRow({B_Apply, B_Cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(TS_Ports, &QTabBar::currentChanged, this, &frmCaption::TS_Ports_Click);
    connect(CB_Port, &QComboBox::activated, this, &frmCaption::CB_Port_Click);
    connect(B_Configure, &QPushButton::clicked, this, &frmCaption::B_Configure_Click);
    connect(B_StreamMapping, &QPushButton::clicked, this, &frmCaption::B_StreamMapping_Click);
    connect(B_Upstream, &QPushButton::clicked, this, &frmCaption::B_Upstream_Click);
    connect(B_Apply, &QPushButton::clicked, this, &frmCaption::B_Apply_Click);
    connect(B_Cancel, &QPushButton::clicked, this, &frmCaption::B_Cancel_Click);
    // What the port's choices show while the dialog shows a port is already
    // the working copy's: only the operator's choices change it.
    const auto onCaptioningPort = [this](auto set) {
        return [this, set](bool checked) {
            if (!loading && shownPort <= CaptionModule::Xds)
                set(working.ports[size_t(shownPort)], checked);
        };
    };
    OnCheckChanged(CB_Echo, this, onCaptioningPort([](CaptionPort &p, bool on) { p.echo = on; }));
    OnCheckChanged(CB_PassThrough, this, onCaptioningPort([](CaptionPort &p, bool on) { p.passThrough = on; }));
    OnCheckChanged(CB_ExternalModem, this, [this](bool checked) { CB_ExternalModem_Click(checked); });
    for (const auto &[option, marked] : {std::pair{RB_Normal, false}, {RB_FieldMarked, true}}) {
        OnChosen(option, this, [this, marked = marked] {
            if (!loading && shownPort <= CaptionModule::Secondary)
                working.ports[size_t(shownPort)].fieldMarked = marked;
        });
    }
    for (const auto &[option, pull] : {std::pair{RB_Pull, true}, {RB_Push, false}}) {
        OnChosen(option, this, [this, pull = pull] {
            if (!loading)
                working.pull = pull;
        });
    }

    leave->watch(EB_Init, [this](QLineEdit *box) { return leaveInit(box); });
    leave->watch(EB_Delay, [this](QLineEdit *box) { return leaveDelay(box); });
    for (QWidget *control : findChildren<QWidget *>()) {
        if ((control->inherits("QAbstractButton") || control->inherits("QComboBox") || control->inherits("QTabBar") ||
             control->inherits("QLineEdit")) &&
            control != EB_Init && control != EB_Delay && control != B_Cancel)
            leave->guard(control);
    }

    // One broadcast flag resource for both programs belongs to the program
    // that uses it; the hidden list still carries this program's mode.
    working = CaptionModule::Read(kyr, context.state);
    const bool flagShown = CaptionModule::BroadcastFlagShown(kyr, working.program);
    CB_BroadcastFlag->setVisible(flagShown);
    flagLabel->setVisible(flagShown);
    showModule();
    refresh();
}

QWidget *frmCaption::makePortPanel()
{
    auto *panel = new QFrame(this);
    F_Port = panel;
    panel->setObjectName(QStringLiteral("F_Port"));
    panel->setFrameShape(QFrame::StyledPanel);
    CB_Port = MakeList(QStringLiteral("CB_Port"), QStringLiteral("Port"), {}, panel);
    CB_Port->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    CB_Port->setMinimumContentsLength(8);
    B_Configure = MakeButton(QStringLiteral("B_Configure"), QStringLiteral("Configure"), panel);
    B_Configure->setMinimumWidth(130);
    B_StreamMapping = MakeButton(QStringLiteral("B_StreamMapping"), QStringLiteral("Stream Mapping"), panel);

    F_Input = MakeFrame(QStringLiteral("F_Input"), QStringLiteral("Input Mode"), panel);
    RB_Normal = MakeOption(QStringLiteral("RB_Normal"), QStringLiteral("Caption Server"), F_Input);
    RB_FieldMarked = MakeOption(QStringLiteral("RB_FieldMarked"), QStringLiteral("Field Marked"), F_Input);
    PlaceInRow(F_Input, {RB_Normal, RB_FieldMarked});
    F_Protocol = MakeFrame(QStringLiteral("F_Protocol"), QStringLiteral("Protocol"), panel);
    RB_Push = MakeOption(QStringLiteral("RB_Push"), QStringLiteral("Push"), F_Protocol);
    RB_Pull = MakeOption(QStringLiteral("RB_Pull"), QStringLiteral("SMPTE 333"), F_Protocol);
    PlaceInRow(F_Protocol, {RB_Push, RB_Pull});

    CB_Echo = MakeCheck(QStringLiteral("CB_Echo"), QStringLiteral("Echo Commands"), panel);
    CB_ExternalModem = MakeCheck(QStringLiteral("CB_ExternalModem"), QStringLiteral("External Modem"), panel);
    CB_PassThrough =
        MakeCheck(QStringLiteral("CB_PassThrough"), QStringLiteral("Pass Through On Modem Hang-up"), panel);
    EB_Init = MakeEdit(QStringLiteral("EB_Init"), QStringLiteral("Init"), panel);
    TB_Init = makeLabel(QStringLiteral("TB_Init"), QStringLiteral("Init"), panel, EB_Init);
    EB_Delay = MakeCountBox(QStringLiteral("EB_Delay"), QStringLiteral("Frame Delay"), panel, 3);
    EB_Delay->setFixedWidth(50);
    TB_Delay = makeLabel(QStringLiteral("TB_Delay"), QStringLiteral("Frame Delay"), panel, EB_Delay);
    keepPlace({B_Configure, B_StreamMapping, F_Input, F_Protocol, CB_Echo, CB_ExternalModem, CB_PassThrough, EB_Init,
               TB_Init, EB_Delay, TB_Delay});

    auto *checks = new QVBoxLayout;
    checks->addWidget(CB_Echo);
    checks->addWidget(CB_ExternalModem);
    checks->addWidget(CB_PassThrough);
    auto *grid = new QGridLayout(panel);
    grid->addWidget(makeLabel(QStringLiteral("Label1"), QStringLiteral("Port"), panel, CB_Port), 0, 0);
    grid->addWidget(CB_Port, 0, 1);
    grid->addWidget(B_Configure, 0, 2);
    grid->addWidget(B_StreamMapping, 0, 3);
    // The input mode, the init string and the pass-through option belong to
    // the captioning ports, the protocol and the frame delay to the 708
    // output: they share their places.
    grid->addWidget(F_Input, 1, 0, 1, 2);
    grid->addWidget(F_Protocol, 1, 0, 1, 2);
    grid->addLayout(checks, 1, 2, 1, 3);
    grid->addWidget(TB_Init, 2, 0);
    grid->addWidget(EB_Init, 2, 1, 1, 4);
    grid->addWidget(TB_Delay, 2, 0);
    grid->addWidget(EB_Delay, 2, 1, Qt::AlignLeft);
    grid->setColumnStretch(4, 1);
    return panel;
}

QGroupBox *frmCaption::makeServiceFrame()
{
    auto *frame = MakeFrame(QStringLiteral("F_Service"), QStringLiteral("Caption Service Information"), this);
    F_608 = MakeFrame(QStringLiteral("F_608"), QStringLiteral("608 Embedded"), frame);
    F_708 = MakeFrame(QStringLiteral("F_708"), QStringLiteral("708 Services"), frame);
    const auto addRow = [](QGroupBox *group, QGridLayout *grid, int row, const QString &rowName,
                           const QString &listName, const QString &checkName) {
        auto *list = MakeList(listName, rowName + QStringLiteral(" Language"), kLanguages, group);
        auto *check = MakeCheck(checkName, QString(), group);
        check->setAccessibleName(rowName + QStringLiteral(" Easy Reader"));
        grid->addWidget(makeLabel(QString(), rowName, group, list), row, 0);
        grid->addWidget(list, row, 1);
        grid->addWidget(check, row, 2, Qt::AlignHCenter);
        return std::pair{list, check};
    };
    const auto headings = [](QGroupBox *group) {
        auto *grid = new QGridLayout(group);
        grid->addWidget(new QLabel(QStringLiteral("Language"), group), 0, 1);
        grid->addWidget(new QLabel(QStringLiteral("Easy Reader"), group), 0, 2);
        return grid;
    };
    QGridLayout *grid608 = headings(F_608);
    for (int k = 0; k < 2; ++k) {
        std::tie(CB_Lang608[size_t(k)], CB_F[size_t(k)]) =
            addRow(F_608, grid608, k + 1, QStringLiteral("Field %1").arg(k + 1),
                   QStringLiteral("CB_Lang608F%1").arg(k + 1), QStringLiteral("CB_F%1").arg(k + 1));
    }
    grid608->setRowStretch(3, 1);
    QGridLayout *grid708 = headings(F_708);
    for (int k = 0; k < 6; ++k) {
        const QString row = k == 0   ? QStringLiteral("Primary")
                            : k == 1 ? QStringLiteral("Secondary")
                                     : QStringLiteral("Service %1").arg(k + 1);
        std::tie(CB_Lang708[size_t(k)], CB_EasyReader708[size_t(k)]) =
            addRow(F_708, grid708, k + 1, row, QStringLiteral("CB_Lang708_%1").arg(k),
                   QStringLiteral("CB_EasyReader708_%1").arg(k));
    }
    auto *layout = new QHBoxLayout(frame);
    layout->addWidget(F_608, 0, Qt::AlignTop);
    layout->addWidget(F_708, 0, Qt::AlignTop);
    return frame;
}

void frmCaption::showModule()
{
    const clsKYR &kyr = context.kyr;
    const WorkingNumber &rc = working.rcControl;
    if (rc.text() == QString::number(rc.value()) && rc.value() >= 0 && rc.value() < CB_BroadcastFlag->count())
        CB_BroadcastFlag->setCurrentIndex(rc.value());
    else
        ShowStoredItem(CB_BroadcastFlag, QStringLiteral("Broadcast Flag mode ") + rc.text());

    ShowHex(EB_DID, working.did);
    ShowHex(EB_SDID, working.sdid);
    const bool sd = RequestsSD(kyr, working.program);
    F_Line->applySD(sd);
    if (!sd)
        F_Line->selectLuma(working.luma);
    F_Line->selectLine(working.line);
    CB_Replace->setChecked(working.replace);
    const auto showLanguage = [](QComboBox *list, const QString &language) {
        ShowStoredItem(list, language.isEmpty() ? kNone : language);
    };
    for (size_t k = 0; k < 2; ++k) {
        showLanguage(CB_Lang608[k], working.language608[k]);
        CB_F[k]->setChecked(working.easyReader608[k]);
    }
    for (size_t k = 0; k < 6; ++k) {
        showLanguage(CB_Lang708[k], working.language708[k]);
        CB_EasyReader708[k]->setChecked(working.easyReader708[k]);
    }
}

void frmCaption::refresh()
{
    const bool was = loading;
    loading = true;
    ShowPort();
    loading = was;
}

void frmCaption::ShowPort()
{
    const clsKYR &kyr = context.kyr;
    int tab = TS_Ports->currentIndex();
    if (working.ports[CaptionModule::Primary].stream < 0 && tab != CaptionModule::Primary) {
        context.messages.inform(
            QStringLiteral("Unable to set up other ports"),
            QStringLiteral("Please setup the Primary Caption Port address before setting up other ports"));
        const QSignalBlocker block(TS_Ports);
        TS_Ports->setCurrentIndex(CaptionModule::Primary);
        tab = CaptionModule::Primary;
    }
    shownPort = tab;
    // A screen reader hears which port the controls below the tabs belong to.
    F_Port->setAccessibleName(TS_Ports->tabText(tab));
    const CaptionPort &port = working.ports[size_t(tab)];
    const bool captioning = tab <= CaptionModule::Xds;

    CB_Echo->setVisible(captioning);
    F_Input->setVisible(tab <= CaptionModule::Secondary);
    const CaptionModule::ModemControls modem = working.modemControls(kyr, tab);
    CB_ExternalModem->setVisible(modem.externalModem);
    CB_PassThrough->setVisible(modem.passThrough);
    TB_Init->setVisible(modem.init);
    EB_Init->setVisible(modem.init);
    if (captioning) {
        CB_Echo->setChecked(port.echo);
        if (tab <= CaptionModule::Secondary)
            (port.fieldMarked ? RB_FieldMarked : RB_Normal)->setChecked(true);
        CB_ExternalModem->setChecked(port.externalModem);
        CB_PassThrough->setChecked(port.passThrough);
        ShowStored(EB_Init, port.init);
    }
    const bool output708 = tab == CaptionModule::Output708;
    F_Protocol->setVisible(output708);
    TB_Delay->setVisible(output708);
    EB_Delay->setVisible(output708);
    if (output708) {
        (working.pull ? RB_Pull : RB_Push)->setChecked(true);
        ShowStored(EB_Delay, working.frameDelay.text());
    }

    currentPortStream = working.shownStream(tab);
    B_StreamMapping->setVisible(captioning && currentPortStream >= 0);
    FillPortList(CB_Port, kyr, working.offered(tab), currentPortStream);
    if (currentPortStream >= StreamSlot::PORTA && currentPortStream <= StreamSlot::MODEM) {
        ShowSerialCaption(B_Configure, kyr, currentPortStream);
        B_Configure->show();
    } else {
        B_Configure->hide();
    }
}

void frmCaption::TS_Ports_Click(int tab)
{
    if (loading || tab == shownPort)
        return;
    if (!leave->settle()) {
        const QSignalBlocker block(TS_Ports);
        TS_Ports->setCurrentIndex(shownPort);
        return;
    }
    refresh();
}

void frmCaption::CB_Port_Click(int position)
{
    if (loading)
        return;
    if (leave->settle()) {
        const int port = shownPort;
        const int stream = PortAt(CB_Port, position);
        loading = true;
        const bool go = !working.asksBeforeChoosing(port, stream) ||
                        context.messages.ask(QStringLiteral("Disabling Primary Port Disables Captioning"),
                                             QStringLiteral("Are you sure that you wish to disable captioning?"));
        if (go)
            runPreset(working.choose(port, stream));
        loading = false;
    }
    refresh();
}

void frmCaption::runPreset(CaptionModule::Preset preset)
{
    if (preset == CaptionModule::NoPreset)
        return;
    SharedState &state = context.state;
    working.publishPorts(state);
    std::unique_ptr<QDialog> dialog;
    if (preset == CaptionModule::PrimaryPreset)
        dialog = std::make_unique<frmPrimaryStreamMapping>(state, this);
    else
        dialog = std::make_unique<frmSecondaryStreamMapping>(state, this);
    context.dialogs.run(*dialog);
    working.takePreset(state, preset);
}

void frmCaption::CB_ExternalModem_Click(bool checked)
{
    if (loading)
        return;
    if (!leave->settle()) {
        // Refused by a box's rule: the check box goes back (a click on it
        // was held back before it could change it).
        const QSignalBlocker block(CB_ExternalModem);
        CB_ExternalModem->setChecked(!checked);
        return;
    }
    if (shownPort <= CaptionModule::Xds)
        working.ports[size_t(shownPort)].externalModem = checked;
    refresh();
}

bool frmCaption::leaveInit(QLineEdit *box)
{
    if (shownPort > CaptionModule::Xds)
        return true;
    CaptionPort &port = working.ports[size_t(shownPort)];
    const QString text = box->text();
    if (text == port.init)
        return true;
    const QString fault = CaptionModule::InitFault(text);
    if (!fault.isEmpty()) {
        context.messages.inform(QStringLiteral("Invalid Init String"), fault + QStringLiteral("\r\nPlease remove it."));
        return false;
    }
    port.init = text;
    return true;
}

bool frmCaption::leaveDelay(QLineEdit *box)
{
    if (shownPort == CaptionModule::Output708 && box->text() != working.frameDelay.text())
        working.frameDelay.set(qint16(LeadingDecimal(box->text(), 32767)));
    return true;
}

void frmCaption::B_Configure_Click()
{
    if (!leave->settle())
        return;
    context.state.ConfigureStream = currentPortStream;
    frmRS232 dialog(context.kyr, context.state, this);
    context.dialogs.run(dialog);
    refresh();
}

void frmCaption::B_StreamMapping_Click()
{
    runMapping(false);
}

void frmCaption::B_Upstream_Click()
{
    runMapping(true);
}

void frmCaption::runMapping(bool upstream)
{
    if (!leave->settle())
        return;
    SharedState &state = context.state;
    state.MappingCancelled = true;
    std::unique_ptr<QDialog> dialog;
    if (upstream) {
        working.publishUpstream(state);
        dialog = std::make_unique<frmUpstream>(state, this);
    } else {
        working.publishPorts(state);
        dialog = std::make_unique<frmMapping>(state, this);
    }
    context.dialogs.run(*dialog);
    if (state.MappingCancelled)
        return;
    if (upstream)
        working.takeUpstream(state);
    else
        working.takePorts(state);
}

void frmCaption::readShown()
{
    working.did = int(ReadHex(EB_DID, 0xFF));
    working.sdid = int(ReadHex(EB_SDID, 0xFF));
    working.luma = F_Line->luma();
    working.line = F_Line->line();
    working.replace = CB_Replace->isChecked();
    const int mode = CB_BroadcastFlag->currentIndex();
    if (!StoredItemShown(CB_BroadcastFlag) && mode >= 0 && working.rcControl.text() != QString::number(mode))
        working.rcControl.set(qint16(mode));
    const auto language = [](const QComboBox *list) {
        return list->currentText() == kNone ? QString() : list->currentText();
    };
    for (size_t k = 0; k < 2; ++k) {
        working.language608[k] = language(CB_Lang608[k]);
        working.easyReader608[k] = CB_F[k]->isChecked();
    }
    for (size_t k = 0; k < 6; ++k) {
        working.language708[k] = language(CB_Lang708[k]);
        working.easyReader708[k] = CB_EasyReader708[k]->isChecked();
    }
}

void frmCaption::B_Apply_Click()
{
    if (!leave->settle())
        return;
    readShown();
    working.Write(context.kyr, context.state);
    accept();
}

void frmCaption::B_Cancel_Click()
{
    reject();
}
