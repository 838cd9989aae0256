#include "frmKYR7Set.h"

#include "CheckVersion.h"
#include "Clock.h"
#include "Controls.h"
#include "DialogRunner.h"
#include "EditorContext.h"
#include "Messages.h"
#include "ModuleEditors.h"
#include "ModuleType.h"
#include "ProgramModules.h"
#include "SaveRows.h"
#include "StepTimer.h"
#include "WindowRole.h"
#include "WriteReport.h"
#include "frmConnect.h"
#include "frmLanSetup.h"
#include "mParseSetup.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

// Title of the error boxes of the routines' own traps.
const QString kErrorTitle = QStringLiteral("KYR7 Setup Program");
const QString kCRLF = QStringLiteral("\r\n");

const QString kTransparent = ModuleName(ModuleType::Transparent);
const QString kCaption = ModuleName(ModuleType::Caption);
const QString kConstant = ModuleName(ModuleType::Constant);
const QString kBridging = ModuleName(ModuleType::Bridging);
const QString kNone = QStringLiteral("None");

constexpr int TypeFree = ModuleType::Free;
constexpr int TypeTransparent = ModuleType::Transparent;
constexpr int TypeConstant = ModuleType::Constant;
constexpr int TypeBridging = ModuleType::Bridging;
constexpr int TypeCaption = ModuleType::Caption;

int typeOfText(const QString &text)
{
    if (text == kTransparent)
        return TypeTransparent;
    if (text == kCaption)
        return TypeCaption;
    if (text == kConstant)
        return TypeConstant;
    if (text == kBridging)
        return TypeBridging;
    return TypeFree;
}

// A read-only value field, announced with its caption and its value.
QLineEdit *valueField(const QString &name, const QString &caption, QWidget *parent, int minWidth = 130)
{
    QLineEdit *field = MakeValue(name, caption, parent);
    field->setMinimumWidth(minWidth);
    return field;
}

// A number given as text, read leniently as the program reads every number.
bool isNumber(const KyrValue &value, double number)
{
    return value.toDouble() == number;
}

// The position in a list of count items that a value names, or -1 when it
// names none (a fraction, a negative or huge number from the encoder).
int listPosition(const KyrValue &value, int count)
{
    const double number = value.toDouble();
    return number >= 0 && number < count && number == std::trunc(number) ? int(number) : -1;
}

QList<QRect> availableScreens()
{
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace

int frmKYR7Set::StoredPosition(const QString &text)
{
    // Any number a hand-edited store may hold; far beyond every screen is as good as any.
    const double number = KyrValue::readDecimal(text);
    return std::isfinite(number) ? int(std::clamp(number, -1e6, 1e6)) : 0;
}

QPoint frmKYR7Set::OnScreen(const QPoint &wanted, const QSize &size, const QList<QRect> &screens)
{
    // A window whose title bar can be reached stays where it was left (a
    // window not laid out yet counts as 100 wide).
    const QRect titleBar(wanted, QSize(qMax(size.width(), 100), 30));
    for (const QRect &screen : screens) {
        if (screen.intersected(titleBar).width() >= 100)
            return wanted;
    }
    if (screens.isEmpty())
        return wanted;
    // Left on a screen since removed: the top left corner of the first one.
    return screens.first().topLeft();
}

frmKYR7Set::frmKYR7Set(const AppServices &appServices, QWidget *parent)
    : QWidget(parent), services(appServices), conv(kyr, *appServices.timer, *appServices.messages, this),
      log(*appServices.clock, this), verify(appServices, log, this), bench(*this, appServices)
{
    InstallWindowRole();
    setObjectName(QStringLiteral("frmKYR7Set"));
    setWindowTitle(QStringLiteral("KYR7 Setup Program"));
    conv.TcpPort = services.tcpPort;
    if (services.linkFactory)
        conv.setLinkFactory(services.linkFactory);

    connect(&conv, &Conversation::monitor, this, &frmKYR7Set::MonitorAdd);
    connect(&conv, &Conversation::retrievalFinished, this, &frmKYR7Set::onRetrievalFinished);
    connect(&conv, &Conversation::closingFinished, this, &frmKYR7Set::onClosingFinished);
    connect(&conv, &Conversation::linkClosed, this, &frmKYR7Set::onLinkClosed);
    connect(&conv, &Conversation::progress, this, &frmKYR7Set::onProgress);
    connect(&conv, &Conversation::halted, this, &frmKYR7Set::tellWhereTheLogIs);
    connect(&conv, &Conversation::linkFailed, this, &frmKYR7Set::tellWhereTheLogIs);
    log.follow(conv);

    connect(&verify, &Verifier::monitor, this, &frmKYR7Set::MonitorAdd);
    connect(&verify.conversation(), &Conversation::progress, this, &frmKYR7Set::onProgress);
    connect(&verify, &Verifier::finished, this, [this] { PB_Progress->hide(); });
    log.follow(verify.conversation());
}

frmKYR7Set::~frmKYR7Set() = default;

void frmKYR7Set::buildControls()
{
    // Encoder identity.
    F_ID = new QGroupBox(this);
    F_ID->setObjectName(QStringLiteral("F_ID"));
    TB_TYPE = valueField(QStringLiteral("TB_TYPE"), QStringLiteral("Encoder Type"), F_ID);
    TB_Serial = valueField(QStringLiteral("TB_Serial"), QStringLiteral("Serial Number"), F_ID);
    TB_Firmware = valueField(QStringLiteral("TB_Firmware"), QStringLiteral("Firmware Number"), F_ID);
    TB_Revision = valueField(QStringLiteral("TB_Revision"), QStringLiteral("Revision"), F_ID);
    auto *idGrid = new QGridLayout(F_ID);
    idGrid->addWidget(MakeLabel(QStringLiteral("Label3"), QStringLiteral("Encoder Type"), F_ID, TB_TYPE), 0, 0);
    idGrid->addWidget(TB_TYPE, 0, 1);
    idGrid->addWidget(MakeLabel(QStringLiteral("Label4"), QStringLiteral("Serial Number"), F_ID, TB_Serial), 1, 0);
    idGrid->addWidget(TB_Serial, 1, 1);
    idGrid->addWidget(MakeLabel(QStringLiteral("Label5"), QStringLiteral("Firmware Number"), F_ID, TB_Firmware), 2, 0);
    idGrid->addWidget(TB_Firmware, 2, 1);
    idGrid->addWidget(MakeLabel(QStringLiteral("Label6"), QStringLiteral("Revision"), F_ID, TB_Revision), 3, 0);
    idGrid->addWidget(TB_Revision, 3, 1);
    idGrid->setRowStretch(4, 1);

    // Network settings.
    F_TCP = new QGroupBox(QStringLiteral("TCP/IP"), this);
    F_TCP->setObjectName(QStringLiteral("F_TCP"));
    TB_Address = valueField(QStringLiteral("TB_Address"), QStringLiteral("Address"), F_TCP);
    TB_Netmask = valueField(QStringLiteral("TB_Netmask"), QStringLiteral("Netmask"), F_TCP);
    TB_Gateway = valueField(QStringLiteral("TB_Gateway"), QStringLiteral("Gateway"), F_TCP);
    TB_DHCP = valueField(QStringLiteral("TB_DHCP"), QStringLiteral("DHCP"), F_TCP, 50);
    B_Properties = MakeButton(QStringLiteral("B_Properties"), QStringLiteral("Properties"), F_TCP);
    auto *tcpGrid = new QGridLayout(F_TCP);
    tcpGrid->addWidget(MakeLabel(QStringLiteral("Label7"), QStringLiteral("Address"), F_TCP, TB_Address), 0, 0);
    tcpGrid->addWidget(TB_Address, 0, 1, 1, 2);
    tcpGrid->addWidget(MakeLabel(QStringLiteral("Label8"), QStringLiteral("Netmask"), F_TCP, TB_Netmask), 1, 0);
    tcpGrid->addWidget(TB_Netmask, 1, 1, 1, 2);
    tcpGrid->addWidget(MakeLabel(QStringLiteral("Label12"), QStringLiteral("Gateway"), F_TCP, TB_Gateway), 2, 0);
    tcpGrid->addWidget(TB_Gateway, 2, 1, 1, 2);
    tcpGrid->addWidget(MakeLabel(QStringLiteral("Label9"), QStringLiteral("DHCP"), F_TCP, TB_DHCP), 3, 0);
    tcpGrid->addWidget(TB_DHCP, 3, 1);
    tcpGrid->addWidget(B_Properties, 3, 2, Qt::AlignRight);
    tcpGrid->setColumnStretch(1, 1);

    // The selected program.
    TS_Program = new QTabBar(this);
    TS_Program->setObjectName(QStringLiteral("TS_Program"));
    TS_Program->setAccessibleName(QStringLiteral("Program"));
    TS_Program->addTab(QStringLiteral("Program 1"));
    TS_Program->addTab(QStringLiteral("Program 2"));
    TS_Program->setExpanding(false);
    TS_Program->setDrawBase(false);

    F_Program = new QGroupBox(this);
    F_Program->setObjectName(QStringLiteral("F_Program"));

    F_General = new QGroupBox(QStringLiteral("General Config"), F_Program);
    F_General->setObjectName(QStringLiteral("F_General"));
    TB_Video = valueField(QStringLiteral("TB_Video"), QStringLiteral("Current Video Format"), F_General, 200);
    CB_Video = MakeList(QStringLiteral("CB_Video"), QStringLiteral("Requested Video Format"), {}, F_General);
    CB_Video->setMinimumWidth(200);
    B_LineUsage = MakeButton(QStringLiteral("B_LineUsage"), QStringLiteral("Line Usage"), F_General);
    auto *label10 = MakeLabel(QStringLiteral("Label10"), QStringLiteral("Requested Video Format"), F_General);
    label10->setBuddy(CB_Video);
    auto *generalGrid = new QGridLayout(F_General);
    generalGrid->addWidget(
        MakeLabel(QStringLiteral("Label11"), QStringLiteral("Current Video Format"), F_General, TB_Video), 0, 0);
    generalGrid->addWidget(TB_Video, 0, 1);
    generalGrid->addWidget(label10, 1, 0);
    generalGrid->addWidget(CB_Video, 1, 1);
    generalGrid->addWidget(B_LineUsage, 1, 2);
    generalGrid->setColumnStretch(3, 1);

    F_Modules = new QGroupBox(QStringLiteral("Stream Setup"), F_Program);
    F_Modules->setObjectName(QStringLiteral("F_Modules"));
    auto *modulesGrid = new QGridLayout(F_Modules);
    modulesGrid->addWidget(MakeLabel(QStringLiteral("Label1"), QStringLiteral("Module"), F_Modules), 0, 1);
    modulesGrid->addWidget(MakeLabel(QStringLiteral("Label2"), QStringLiteral("Data Source"), F_Modules), 0, 2);
    for (int i = 0; i < Slots; ++i) {
        const QString n = QString::number(i);
        const QString position = QString::number(i + 1);
        TB_Stream[i] = MakeLabel(QStringLiteral("TB_Stream_") + n, QStringLiteral("Stream ") + position, F_Modules);
        CB_Module[i] = MakeList(QStringLiteral("CB_Module_") + n, QStringLiteral("Module ") + position, {}, F_Modules);
        // On Linux a list is announced by its choice and labelled by its row heading.
        TB_Stream[i]->setBuddy(CB_Module[i]);
        CB_Module[i]->setMinimumWidth(190);
        TB_Port[i] =
            valueField(QStringLiteral("TB_Port_") + n, QStringLiteral("Data Source ") + position, F_Modules, 150);
        B_Configure[i] = MakeButton(QStringLiteral("B_Configure_") + n, QStringLiteral("Configure"), F_Modules);
        B_Configure[i]->setAccessibleName(QStringLiteral("Configure ") + position);
        modulesGrid->addWidget(TB_Stream[i], i + 1, 0);
        modulesGrid->addWidget(CB_Module[i], i + 1, 1);
        modulesGrid->addWidget(TB_Port[i], i + 1, 2);
        modulesGrid->addWidget(B_Configure[i], i + 1, 3);
        connect(CB_Module[i], &QComboBox::activated, this, [this, i](int) { CB_Module_Click(i); });
        connect(B_Configure[i], &QPushButton::clicked, this, [this, i] { B_Configure_Click(i); });
    }
    B_Clear = MakeButton(QStringLiteral("B_Clear"), QStringLiteral("Clear Streams"), F_Modules);
    modulesGrid->addWidget(B_Clear, Slots + 1, 3);
    modulesGrid->setColumnStretch(2, 1);

    auto *programBox = new QVBoxLayout(F_Program);
    programBox->addWidget(F_General);
    programBox->addWidget(F_Modules);

    // The configuration display and, over the same place, the monitor.
    auto *configPage = new QWidget(this);
    configPage->setObjectName(QStringLiteral("configPage"));
    auto *configBox = new QVBoxLayout(configPage);
    configBox->setContentsMargins(0, 0, 0, 0);
    auto *topRow = new QHBoxLayout;
    // F_ID has no caption: bottom-aligned, its frame lines up with F_TCP's.
    topRow->addWidget(F_ID, 0, Qt::AlignBottom);
    topRow->addWidget(F_TCP, 1);
    configBox->addLayout(topRow);
    configBox->addSpacing(6);
    configBox->addWidget(TS_Program);
    configBox->addWidget(F_Program, 1);

    LB_Monitor = new QListWidget(this);
    LB_Monitor->setObjectName(QStringLiteral("LB_Monitor"));
    LB_Monitor->setAccessibleName(QStringLiteral("Monitor"));
    LB_Monitor->setSelectionMode(QAbstractItemView::NoSelection);

    auto *area = new QGridLayout;
    area->setContentsMargins(0, 0, 0, 0);
    area->addWidget(configPage, 0, 0);
    area->addWidget(LB_Monitor, 0, 0);
    LB_Monitor->raise();

    // Under the monitor, where "Save and Exit" and "Load Factory Defaults"
    // stand while the configuration shows: how far the conversation has got.
    PB_Progress = new QProgressBar(this);
    PB_Progress->setObjectName(QStringLiteral("PB_Progress"));
    PB_Progress->setAccessibleName(QStringLiteral("Conversation Progress"));
    PB_Progress->setFormat(QStringLiteral("%v of %m steps"));
    PB_Progress->setRange(0, 1);
    PB_Progress->setValue(0);
    PB_Progress->hide();

    B_Save = MakeButton(QStringLiteral("B_Save"), QStringLiteral("Save and Exit"), this);
    B_Defaults = MakeButton(QStringLiteral("B_Defaults"), QStringLiteral("Load Factory Defaults"), this);
    // On a file, where "Load Factory Defaults" stands on a unit.
    B_Send = MakeButton(QStringLiteral("B_Send"), QStringLiteral("Send to KYR7..."), this);
    B_Send->hide();
    // Beside "Done" once a save has run through.
    B_Verify = MakeButton(QStringLiteral("B_Verify"), QStringLiteral("Verify"), this);
    B_Verify->hide();
    B_Cancel = MakeButton(QStringLiteral("B_Cancel"), QStringLiteral("Cancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(B_Save);
    buttons->addWidget(B_Defaults);
    buttons->addWidget(B_Send);
    buttons->addWidget(PB_Progress, 1);
    buttons->addStretch(1);
    buttons->addWidget(B_Verify);
    buttons->addWidget(B_Cancel);

    auto *main = new QVBoxLayout(this);
    main->setMenuBar(bench.menuBar(this));
    main->addLayout(area, 1);
    main->addLayout(buttons);

    connect(TS_Program, &QTabBar::currentChanged, this, [this](int index) {
        if (!loading)
            TS_Program_Click(index);
    });
    connect(CB_Video, &QComboBox::activated, this, &frmKYR7Set::CB_Video_Click);
    connect(B_LineUsage, &QPushButton::clicked, this, &frmKYR7Set::B_LineUsage_Click);
    connect(B_Properties, &QPushButton::clicked, this, &frmKYR7Set::B_Properties_Click);
    connect(B_Clear, &QPushButton::clicked, this, &frmKYR7Set::B_Clear_Click);
    connect(B_Save, &QPushButton::clicked, this, &frmKYR7Set::B_Save_Click);
    connect(B_Cancel, &QPushButton::clicked, this, &frmKYR7Set::B_Cancel_Click);
    connect(B_Defaults, &QPushButton::clicked, this, &frmKYR7Set::B_Defaults_Click);
    connect(B_Send, &QPushButton::clicked, this, &frmKYR7Set::B_Send_Click);
    connect(B_Verify, &QPushButton::clicked, this, &frmKYR7Set::B_Verify_Click);

    // The window keeps one size: the display as laid out with eight slots.
    setFixedSize(sizeHint());
    LB_Monitor->hide();
}

// --- start-up and shutdown

bool frmKYR7Set::Start(const QString &file)
{
    const QString routine = QStringLiteral("KYR7Set Load");
    guarded(routine, [this] {
        if (services.settings)
            settings = LoadConnectionSettings(*services.settings);
        move(OnScreen(QPoint(StoredPosition(settings.Left), StoredPosition(settings.Top)), sizeHint(),
                      availableScreens()));
    });
    // A file that cannot be opened leaves the choice to the connection dialog.
    bool fromFile = !file.isEmpty() && bench.load(file);
    while (!fromFile) {
        bool openFile = false;
        guarded(routine, [&] {
            frmConnect dialog(settings, *services.dialogs, this);
            services.dialogs->run(dialog);
            ConnectOK = dialog.ConnectOK;
            openFile = dialog.OpenFileChosen;
        });
        if (!openFile)
            break;
        // Back to the connection dialog when no file was opened.
        fromFile = bench.chooseAndLoad();
    }
    if (!fromFile && !ConnectOK) {
        close();
        return false;
    }
    // Built once the connection dialog is done: the operator sees the dialog
    // sooner.
    buildControls();
    guarded(routine, [this] {
        CB_Video->clear();
        for (int i = 0; i <= 14; ++i)
            CB_Video->addItem(clsKYR::VideoName(i, true));
    });
    if (fromFile) {
        show();
        bench.showFile();
        return true;
    }
    setWindowTitle(QStringLiteral("KYR7 Setup Program Version " KYR7_VERSION));
    show();
    ConnectToUnit();
    return true;
}

void frmKYR7Set::ConnectToUnit()
{
    LB_Monitor->clear();
    MonitorOn();
    MonitorAdd(QStringLiteral("Attempting to connect to KYR7"));
    openLog();
    guarded(QStringLiteral("KYR7Set Load"), [this] { conv.OpenConnection(settings); });
}

void frmKYR7Set::EndConversation()
{
    conv.Disconnect();
    log.close();
}

void frmKYR7Set::openLog()
{
    const QString link = LinkDescription(settings);
    if (!services.logFile.isEmpty())
        log.openFile(services.logFile, link);
    else if (!services.logFolder.isEmpty())
        log.openSession(services.logFolder, link);
}

void frmKYR7Set::tellWhereTheLogIs()
{
    if (!log.errorText().isEmpty())
        MonitorAdd(QStringLiteral("No conversation log: ") + log.errorText());
    else if (!log.path().isEmpty())
        MonitorAdd(QStringLiteral("Conversation log: ") + QDir::toNativeSeparators(log.path()));
}

void frmKYR7Set::onProgress(int done, int total)
{
    PB_Progress->setRange(0, qMax(total, 1));
    PB_Progress->setValue(done);
    PB_Progress->show();
}

void frmKYR7Set::closeEvent(QCloseEvent *event)
{
    if (!shutDown && !bench.mayClose()) {
        event->ignore();
        return;
    }
    event->accept();
    if (shutDown)
        return;
    shutDown = true;
    if (LB_Monitor)
        MonitorOff();
    settings.Top = QString::number(pos().y());
    settings.Left = QString::number(pos().x());
    if (services.settings)
        SaveConnectionSettings(*services.settings, settings, isMinimized());
    conv.Disconnect();
    verify.conversation().Disconnect();
    log.close();
    emit programEnded();
}

void frmKYR7Set::endProgram()
{
    // Deferred: the request comes from inside the link's own signal, and
    // closing disconnects that link.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

// --- error traps

void frmKYR7Set::reportError(const QString &routine)
{
    services.messages->inform(kErrorTitle, QStringLiteral("Error in %1, press OK to continue").arg(routine));
}

void frmKYR7Set::guarded(const QString &routine, const std::function<void()> &step)
{
    try {
        step();
    } catch (const std::exception &) {
        reportError(routine);
    }
}

// --- the monitor

void frmKYR7Set::MonitorAdd(const QString &message)
{
    while (LB_Monitor->count() >= MonitorLines)
        delete LB_Monitor->takeItem(0);
    LB_Monitor->addItem(services.clock->now().toString(QStringLiteral("hh:mm:ss")) + QStringLiteral(" - ") + message);
    LB_Monitor->scrollToBottom();
}

void frmKYR7Set::MonitorOn()
{
    LB_Monitor->show();
    LB_Monitor->raise();
    F_Modules->hide();
    F_ID->hide();
    F_TCP->hide();
    F_General->hide();
    B_Save->hide();
    B_Defaults->hide();
    B_Send->hide();
}

void frmKYR7Set::MonitorOff()
{
    LB_Monitor->hide();
    PB_Progress->hide();
    F_Modules->show();
    F_ID->show();
    F_TCP->show();
    F_General->show();
    B_Save->show();
    B_Defaults->setVisible(!bench.fileOpen() && !bench.sending());
    B_Send->setVisible(bench.fileOpen());
    B_Verify->hide();
}

bool frmKYR7Set::monitorShowing() const
{
    return !LB_Monitor->isHidden();
}

// --- the end of a retrieval

void frmKYR7Set::onRetrievalFinished()
{
    const QString routine = QStringLiteral("GetSetup");
    // A file sent to the unit keeps the monitor until the version is accepted.
    const bool sending = bench.sending();
    if (!sending)
        MonitorOff();
    guarded(routine, [this] {
        ParseSetup(kyr, conv.Listings(),
                   [this](const QString &message) { services.messages->inform(kErrorTitle, message); });
    });
    bool suits = true;
    guarded(routine, [&] { suits = CheckVersion(kyr, *services.messages); });
    if (sending) {
        bench.sender().retrieved(suits);
        return;
    }
    if (!suits) {
        endProgram();
        return;
    }
    bench.retrieved();
    ShowConfiguration();
}

void frmKYR7Set::ShowConfiguration()
{
    MonitorOff();
    shared.CurrentProgram = 0;
    guarded(QStringLiteral("GetSetup"), [this] {
        loading = true;
        const bool one = isNumber(kyr.KYR(KyrRow::ProgramCount), 1);
        if (one && TS_Program->count() >= 2)
            TS_Program->removeTab(1);
        else if (!one && TS_Program->count() < 2)
            TS_Program->addTab(QStringLiteral("Program 2"));
        TS_Program->setCurrentIndex(0);
        loading = false;
    });
    loading = false;
    SetDisplay();
}

void frmKYR7Set::SetFileMode(bool file)
{
    SetCaption(B_Save, file ? QStringLiteral("Save") : QStringLiteral("Save and Exit"));
    SetCaption(B_Cancel, file ? QStringLiteral("Close") : QStringLiteral("Cancel"));
    B_Defaults->setVisible(!file && !monitorShowing());
    B_Send->setVisible(file && !monitorShowing());
}

void frmKYR7Set::SetSendMode()
{
    SetCaption(B_Save, QStringLiteral("Send"));
    SetCaption(B_Cancel, QStringLiteral("Back to File"));
    B_Defaults->hide();
    B_Send->hide();
}

void frmKYR7Set::FocusSendButton()
{
    if (bench.sending() && B_Save->isVisible())
        B_Save->setFocus();
    else if (B_Send->isVisible())
        B_Send->setFocus();
}

void frmKYR7Set::onClosingFinished()
{
    PB_Progress->hide();
    SetCaption(B_Cancel, QStringLiteral("Done"));
    bench.sender().saved();
    // The save ended with the unit still connected: what it wrote can be read back.
    B_Verify->setVisible(verify.offered());
    if (!verify.notOffered().isEmpty())
        MonitorAdd(verify.notOffered());
    // The keyboard goes on from here (the button it was on has gone with the
    // configuration): Verify when offered, else Done.
    (B_Verify->isVisible() ? B_Verify : B_Cancel)->setFocus();
}

void frmKYR7Set::onLinkClosed()
{
    if (conv.Finishing != 1)
        return;
    MonitorAdd(QStringLiteral("Setup Complete"));
    endProgram();
}

// --- the display

void frmKYR7Set::showSlot(int slot, int stream, const QString &typeText)
{
    CB_Module[slot]->addItem(typeText);
    CB_Module[slot]->setCurrentIndex(0);
    TB_Port[slot]->setText(kyr.Stream2Name(stream));
    B_Configure[slot]->setEnabled(true);
    shared.SlotStream.at(shared.CurrentProgram).at(slot) = qint16(stream);
}

void frmKYR7Set::SetDisplay()
{
    const QString routine = QStringLiteral("SetDisplay");
    const int program = shared.CurrentProgram;

    guarded(routine, [this] {
        const QString id = kyr.sKYR(KyrRow::ID);
        const qsizetype at = id.indexOf(QLatin1String("KYR"));
        TB_TYPE->setText(at >= 0 ? id.mid(at, 4) : id);
    });
    guarded(routine, [this] {
        TB_Serial->setText(kyr.sKYR(KyrRow::SerialNumber));
        TB_Firmware->setText(kyr.sKYR(KyrRow::Software));
        TB_Revision->setText(kyr.sKYR(KyrRow::Rev));
        TB_Address->setText(kyr.sKYR(KyrRow::IpNum));
        TB_Netmask->setText(kyr.sKYR(KyrRow::Netmask));
        TB_Gateway->setText(kyr.sKYR(KyrRow::Gateway));
        TB_DHCP->setText(isNumber(kyr.KYR(KyrRow::DHCP), 0) ? QStringLiteral("Off") : QStringLiteral("On"));
    });
    guarded(routine, [&] { TB_Video->setText(clsKYR::VideoName(kyr.pgm(program, PgmRow::VideoMode).toInt(), false)); });
    guarded(routine, [&] {
        const int position = listPosition(kyr.pgm(program, PgmRow::RequestedVideoMode), CB_Video->count());
        const QSignalBlocker block(CB_Video);
        if (position < 0) {
            // The list cannot show it; show no format rather than a wrong one.
            CB_Video->setCurrentIndex(-1);
            throw std::out_of_range("requested video format outside the list");
        }
        CB_Video->setCurrentIndex(position);
    });

    for (int i = 0; i < Slots; ++i) {
        const QSignalBlocker block(CB_Module[i]);
        CB_Module[i]->clear();
        CB_Module[i]->setEnabled(false);
        TB_Port[i]->clear();
        B_Configure[i]->setEnabled(false);
    }

    int f = 0;
    // Types the selected program already has: a program has one constant
    // data module (its file stream) and one caption module, and the encoder
    // one bridge (streams INBRIDGE1 and OUTBRIDGE1). The free slot does not
    // offer them again; the existing module is opened from its own slot.
    bool hasConstant = false;
    bool hasCaption = false;
    int transparent = 0;
    int caption = 0;
    int constant = 0;
    int bridging = 0;
    guarded(routine, [&] {
        for (int s = 0; s < clsKYR::StreamSlots; ++s) {
            // Every stream is marked on every redraw, also past the eighth
            // slot shown and whatever its type: the editors offer only the
            // streams left unmarked.
            shared.StreamInUse.at(s) = ModuleType::Used(kyr, s);
            const double type = kyr.str(s, StrRow::StreamType).toDouble();
            // The slots shown stop after eight; with no free slot left, the
            // counters no longer matter.
            if (f >= Slots)
                continue;
            const bool shown = ShownInProgram(kyr, s, program);
            if (type == TypeTransparent || type == TypeConstant || type == TypeBridging) {
                if (type == TypeTransparent)
                    ++transparent;
                else if (type == TypeConstant)
                    ++constant;
                else
                    ++bridging;
                if (shown) {
                    hasConstant = hasConstant || type == TypeConstant;
                    showSlot(f, s, ModuleName(int(type)));
                    ++f;
                }
            } else if (type == TypeCaption) {
                if (IsPrimaryCaption(kyr, s))
                    ++caption;
                if (shown) {
                    hasCaption = true;
                    showSlot(f, s, kCaption);
                    ++f;
                }
            }
        }
    });

    if (f < Slots) {
        guarded(routine, [&] {
            QComboBox *box = CB_Module[f];
            const QSignalBlocker block(box);
            box->setEnabled(true);
            box->addItem(kNone);
            if (transparent < kyr.KYR(KyrRow::TransparentStreams).toDouble())
                box->addItem(kTransparent);
            const bool fileStreamFree =
                isNumber(kyr.str(program == 0 ? StreamSlot::FILE1 : StreamSlot::FILE2, StrRow::StreamType), TypeFree);
            if (constant < kyr.KYR(KyrRow::ConstantStreams).toDouble() && !hasConstant && fileStreamFree)
                box->addItem(kConstant);
            if (caption < kyr.KYR(KyrRow::CaptionStreams).toDouble() && !hasCaption)
                box->addItem(kCaption);
            // A new bridge overwrites both bridge streams, whatever they hold.
            const bool bridgeFree =
                !ModuleType::Used(kyr, StreamSlot::INBRIDGE1) && !ModuleType::Used(kyr, StreamSlot::OUTBRIDGE1);
            // Offered only where a save carries the bridge streams.
            const bool bridgeSaved = SavesSection(kyr, Section::Str, StreamSlot::INBRIDGE1) &&
                                     SavesSection(kyr, Section::Str, StreamSlot::OUTBRIDGE1);
            if (bridging < kyr.KYR(KyrRow::BridgingStreams).toDouble() && bridgeFree && bridgeSaved)
                box->addItem(kBridging);
            box->setCurrentIndex(0);
            CB_Module_Click(f);
        });
    }
    bench.refresh();
}

// --- the handlers

void frmKYR7Set::TS_Program_Click(int tabIndex)
{
    guarded(QStringLiteral("TS_Program_Click"), [&] {
        if (tabIndex == 0)
            shared.CurrentProgram = 0;
        else if (tabIndex == 1)
            shared.CurrentProgram = 1;
    });
    SetDisplay();
}

void frmKYR7Set::CB_Module_Click(int slot)
{
    if (slot < 0 || slot >= Slots)
        return;
    B_Configure[slot]->setEnabled(true);
    if (shared.CurrentProgram >= 0 && shared.CurrentProgram < int(shared.SlotStream.size()))
        shared.SlotStream[shared.CurrentProgram][slot] = -1;
}

void frmKYR7Set::B_Configure_Click(int slot)
{
    if (slot < 0 || slot >= Slots)
        return;
    if (shared.CurrentProgram >= 0 && shared.CurrentProgram < int(shared.SlotStream.size()))
        shared.CurrentStream = shared.SlotStream[shared.CurrentProgram][slot];
    const int type = typeOfText(CB_Module[slot]->currentText());
    if (type != TypeFree) {
        try {
            openEditor(type);
        } catch (const std::exception &) {
            // Errors of an editor are ignored; the window redraws as usual.
        }
    }
    SetDisplay();
}

void frmKYR7Set::CB_Video_Click(int position)
{
    const int program = shared.CurrentProgram;
    if (program < 0 || program >= clsKYR::ProgramSlots || position < 0)
        return;
    const KyrValue stored = kyr.pgm(program, PgmRow::RequestedVideoMode);
    if (isNumber(stored, position))
        return;
    if (isNumber(kyr.str(StreamSlot::INBRIDGE1, StrRow::StreamType), TypeBridging)) {
        const bool yes = services.messages->ask(
            QStringLiteral("Warning, bridging module affected"),
            QStringLiteral("Changing the requested video type affects the operation of the bridging module.") + kCRLF +
                QStringLiteral("You will be forced to reconfigure the bridge if you continue with the change.") +
                kCRLF + kCRLF + QStringLiteral("Continue and change the requested video?"));
        if (yes) {
            kyr.setSPGM(program, PgmRow::RequestedVideoMode, QString::number(position));
            shared.BridgeReconfigure = true;
            try {
                openBridgingEditor();
            } catch (const std::exception &) {
                // Errors of the bridging editor are ignored.
            }
            shared.BridgeReconfigure = false;
            SetDisplay();
        } else {
            const QSignalBlocker block(CB_Video);
            CB_Video->setCurrentIndex(listPosition(stored, CB_Video->count()));
        }
        return;
    }
    kyr.setSPGM(program, PgmRow::RequestedVideoMode, QString::number(position));
    bench.refresh();
}

void frmKYR7Set::B_LineUsage_Click()
{
    openLineUsage();
}

void frmKYR7Set::B_Properties_Click()
{
    frmLanSetup dialog(kyr, *services.messages, this);
    services.dialogs->run(dialog);
    SetDisplay();
}

// --- the module editors

EditorContext frmKYR7Set::editorContext()
{
    return {kyr, shared, *services.messages, *services.dialogs};
}

bool frmKYR7Set::openEditor(int streamType)
{
    EditorContext context = editorContext();
    return RunModuleEditor(streamType, context, this);
}

bool frmKYR7Set::openBridgingEditor()
{
    // The bridge to set up again is the one that exists, whatever slot was
    // configured last.
    shared.CurrentStream = StreamSlot::INBRIDGE1;
    return openEditor(TypeBridging);
}

bool frmKYR7Set::openLineUsage()
{
    EditorContext context = editorContext();
    RunLineUsage(context, this);
    return true;
}

// --- the closing buttons

void frmKYR7Set::startClosing(const QString &routine, const std::function<void()> &buildScript,
                              const QString &firstLine)
{
    try {
        buildScript();
    } catch (const std::exception &) {
        // Nothing has been sent: the operator stays in the editing state.
        reportError(routine);
        return;
    }
    LB_Monitor->clear();
    MonitorOn();
    MonitorAdd(firstLine);
    conv.StartClosing();
}

void frmKYR7Set::B_Save_Click()
{
    if (monitorShowing())
        return;
    if (bench.sending()) {
        bench.sender().confirm();
        return;
    }
    if (bench.fileOpen()) {
        bench.save();
        return;
    }
    if (!bench.checksAllowSave())
        return;
    SaveToUnit(FullSavePlan(kyr));
}

bool frmKYR7Set::SaveToUnit(const SavePlan &plan)
{
    QString reason;
    if (!WriteReport(kyr, services.reportFolder, QDateTime::currentDateTime(), &reason)) {
        const QString file = QDir::toNativeSeparators(QDir(services.reportFolder).absoluteFilePath(kReportFileName));
        const bool goOn = services.messages->ask(
            QStringLiteral("Warning, configuration report not written"),
            QStringLiteral("The configuration report %1 could not be written:").arg(file) + kCRLF + reason + kCRLF +
                kCRLF + QStringLiteral("Do you want to save the settings to the KYR7 anyway?"));
        if (!goOn)
            return false;
    }
    verify.saving(plan, kyr, bench.document().baseline(), settings);
    startClosing(
        QStringLiteral("B_Save_Click"), [&] { conv.BuildSaveScript(plan); }, QStringLiteral("Saving KYR Parameters"));
    return monitorShowing();
}

void frmKYR7Set::B_Cancel_Click()
{
    if (bench.sender().wayBack()) {
        bench.sender().back();
        return;
    }
    if (monitorShowing() || bench.fileOpen()) {
        close();
        return;
    }
    verify.forget();
    startClosing(
        QStringLiteral("B_Cancel_Click"), [this] { conv.BuildExitScript(); }, QStringLiteral("Cancelling Changes"));
}

void frmKYR7Set::B_Send_Click()
{
    bench.sendToUnit();
}

void frmKYR7Set::B_Verify_Click()
{
    // Offered in the "Done" state only; pressed again while it runs, nothing.
    if (!monitorShowing() || !verify.offered() || verify.running() || conv.CurrentStep != -1)
        return;
    // One link to the unit at a time.
    conv.Disconnect();
    verify.start(settings, MonitorLines);
}

void frmKYR7Set::B_Defaults_Click()
{
    if (monitorShowing())
        return;
    const bool yes = services.messages->ask(
        QStringLiteral("Warning Changes are Permanent"),
        QStringLiteral("This will cause you to lose all current settings leaving only the TCP/IP address") + kCRLF +
            QStringLiteral("are you sure that you wish to proceed?"));
    if (!yes)
        return;
    verify.forget();
    startClosing(
        QStringLiteral("B_Defaults_Click"), [this] { conv.BuildDefaultsScript(); },
        QStringLiteral("Cancelling Changes"));
}

void frmKYR7Set::B_Clear_Click()
{
    if (monitorShowing())
        return;
    const int program = shared.CurrentProgram + 1;
    // A bridge joins two programs through its two streams: clearing either
    // program removes both, so that no save sends a bridge with one end.
    const int bridgeStreams[] = {StreamSlot::INBRIDGE1, StreamSlot::OUTBRIDGE1};
    bool bridgeHere = false;
    bool bridgeElsewhere = false;
    for (int s : bridgeStreams) {
        if (isNumber(kyr.str(s, StrRow::StreamType), TypeBridging))
            (isNumber(kyr.str(s, StrRow::Program), program) ? bridgeHere : bridgeElsewhere) = true;
    }
    QString text = QStringLiteral("This action will remove all the current streams") + kCRLF;
    if (bridgeHere && bridgeElsewhere)
        text += QStringLiteral("The bridging module joins both programs and will be removed from both.") + kCRLF;
    text += QStringLiteral("Are you sure you want to continue?");
    if (!services.messages->ask(QStringLiteral("Warning, About to remove configuration information"), text))
        return;
    for (int s = 0; s < clsKYR::StreamSlots; ++s) {
        if (isNumber(kyr.str(s, StrRow::Program), program))
            kyr.setStr(s, StrRow::StreamType, KyrValue(qint32(TypeFree)));
    }
    for (int s : bridgeStreams) {
        if (bridgeHere && isNumber(kyr.str(s, StrRow::StreamType), TypeBridging))
            kyr.setStr(s, StrRow::StreamType, KyrValue(qint32(TypeFree)));
    }
    SetDisplay();
}
