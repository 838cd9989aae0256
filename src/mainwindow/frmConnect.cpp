#include "frmConnect.h"

#include "ConnectionSettings.h"
#include "Controls.h"
#include "DialogRunner.h"
#include "KeyFilter.h"
#include "frmModem.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

namespace {

constexpr int Backspace = 8;

int addressKey(int key)
{
    if ((key >= '0' && key <= '9') || key == '.' || key == Backspace)
        return key;
    return 0;
}

int phoneKey(int key)
{
    if ((key >= '0' && key <= '9') || key == Backspace)
        return key;
    switch (key) {
    case ',':
    case '-':
    case 'W':
    case 'w':
    case 'D':
    case 'd':
    case 'P':
    case 'p':
        return key;
    default:
        return 0;
    }
}

QComboBox *portList(const QString &name, const QString &current, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setAccessibleName(QStringLiteral("Connect using"));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(frmConnect::FixedPortNames());
    box->setMinimumWidth(160);
    box->setCurrentText(current);
    KeepFromWheel(box);
    return box;
}

QLabel *label(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

} // namespace

QStringList frmConnect::FixedPortNames()
{
    return {QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"), QStringLiteral("COM4")};
}

QStringList frmConnect::PortNames()
{
    QStringList names = FixedPortNames();
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts()) {
        const QString location = port.systemLocation();
        if (!location.isEmpty() && !names.contains(location))
            names.append(location);
    }
    return names;
}

frmConnect::frmConnect(ConnectionSettings &connection, DialogRunner &dialogRunner, QWidget *parent)
    : QDialog(parent), settings(connection), dialogs(dialogRunner)
{
    setObjectName(QStringLiteral("frmConnect"));
    setWindowTitle(QStringLiteral("Connection Method"));

    RB_LAN = new QRadioButton(this);
    RB_LAN->setObjectName(QStringLiteral("RB_LAN"));
    RB_LAN->setAccessibleName(QStringLiteral("LAN"));
    RB_Serial = new QRadioButton(this);
    RB_Serial->setObjectName(QStringLiteral("RB_Serial"));
    RB_Serial->setAccessibleName(QStringLiteral("Serial"));
    RB_Modem = new QRadioButton(this);
    RB_Modem->setObjectName(QStringLiteral("RB_Modem"));
    RB_Modem->setAccessibleName(QStringLiteral("Modem"));

    F_LAN = new QGroupBox(QStringLiteral("LAN "), this);
    F_LAN->setObjectName(QStringLiteral("F_LAN"));
    EB_Address = MakeEdit(QStringLiteral("EB_Address"), QStringLiteral("KYR7 Serial Number or IP Address"), F_LAN);
    EB_Address->setText(settings.IP);
    KeyFilter::install(EB_Address, addressKey);
    auto *lanBox = new QVBoxLayout(F_LAN);
    lanBox->addWidget(label(QStringLiteral("KYR7 Serial Number or IP Address"), EB_Address, F_LAN));
    lanBox->addWidget(EB_Address);

    F_Serial = new QGroupBox(QStringLiteral("Serial"), this);
    F_Serial->setObjectName(QStringLiteral("F_Serial"));
    CB_COM = portList(QStringLiteral("CB_COM"), settings.Serial, F_Serial);
    auto *serialGrid = new QGridLayout(F_Serial);
    serialGrid->addWidget(label(QStringLiteral("Connect using"), CB_COM, F_Serial), 0, 0);
    serialGrid->addWidget(CB_COM, 0, 1);
    serialGrid->setColumnStretch(2, 1);

    F_Modem = new QGroupBox(QStringLiteral("Modem"), this);
    F_Modem->setObjectName(QStringLiteral("F_Modem"));
    CB_MODEM = portList(QStringLiteral("CB_MODEM"), settings.Modem, F_Modem);
    EB_Phone = MakeEdit(QStringLiteral("EB_Phone"), QStringLiteral("Phone Number"), F_Modem);
    EB_Phone->setText(settings.Number);
    KeyFilter::install(EB_Phone, phoneKey);
    auto *properties = MakeButton(QStringLiteral("B_Properties"), QStringLiteral("Properties"), F_Modem);
    auto *modemGrid = new QGridLayout(F_Modem);
    modemGrid->addWidget(label(QStringLiteral("Connect using"), CB_MODEM, F_Modem), 0, 0);
    modemGrid->addWidget(CB_MODEM, 0, 1);
    modemGrid->addWidget(properties, 0, 2, Qt::AlignRight);
    modemGrid->addWidget(label(QStringLiteral("Phone Number"), EB_Phone, F_Modem), 1, 0);
    modemGrid->addWidget(EB_Phone, 1, 1, 1, 2);
    modemGrid->setColumnStretch(1, 1);

    auto *ok = MakeButton(QStringLiteral("B_OK"), QStringLiteral("OK"), this);
    auto *cancel = MakeButton(QStringLiteral("B_Cancel"), QStringLiteral("Cancel"), this);

    auto *grid = new QGridLayout;
    grid->addWidget(RB_LAN, 0, 0, Qt::AlignTop | Qt::AlignHCenter);
    grid->addWidget(F_LAN, 0, 1);
    grid->addWidget(RB_Serial, 1, 0, Qt::AlignTop | Qt::AlignHCenter);
    grid->addWidget(F_Serial, 1, 1);
    grid->addWidget(RB_Modem, 2, 0, Qt::AlignTop | Qt::AlignHCenter);
    grid->addWidget(F_Modem, 2, 1);
    B_OpenFile = MakeButton(QStringLiteral("B_OpenFile"), QStringLiteral("Open File..."), this);
    auto *buttons = MakeButtonRow({ok, cancel});
    buttons->insertWidget(0, B_OpenFile);
    auto *main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(buttons);
    setMinimumWidth(380);

    for (QRadioButton *option : {RB_LAN, RB_Serial, RB_Modem}) {
        connect(option, &QRadioButton::toggled, this, [this, option](bool checked) {
            if (checked)
                chooseMethod(option);
        });
    }
    // The computer's own serial ports are looked up when a port list is first
    // used rather than while the dialog opens: the look-up takes longer than
    // putting the dialog on screen.
    for (QComboBox *list : {CB_COM, CB_MODEM}) {
        list->installEventFilter(this);
        list->lineEdit()->installEventFilter(this);
    }

    // Each option sits in its frame's title: a disabled frame greys its
    // contents, but its title stays as an option that can be chosen looks.
    for (QGroupBox *frame : {F_LAN, F_Serial, F_Modem}) {
        QPalette contents = frame->palette();
        QPalette title = contents;
        title.setColor(QPalette::Disabled, QPalette::WindowText, title.color(QPalette::Active, QPalette::WindowText));
        frame->setPalette(title);
        // Set explicitly, so that the contents do not take the title's colour.
        contents.setColor(QPalette::Disabled, QPalette::WindowText,
                          contents.color(QPalette::Disabled, QPalette::WindowText));
        for (QWidget *child : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            child->setPalette(contents);
    }
    connect(ok, &QPushButton::clicked, this, &frmConnect::B_OK_Click);
    connect(cancel, &QPushButton::clicked, this, &frmConnect::B_Cancel_Click);
    connect(properties, &QPushButton::clicked, this, &frmConnect::B_Properties_Click);
    connect(B_OpenFile, &QPushButton::clicked, this, &frmConnect::B_OpenFile_Click);

    if (settings.Method == QLatin1String("SERIAL"))
        RB_Serial->setChecked(true);
    else if (settings.Method == QLatin1String("LAN"))
        RB_LAN->setChecked(true);
    else if (settings.Method == QLatin1String("MODEM"))
        RB_Modem->setChecked(true);
}

void frmConnect::hideOpenFile()
{
    B_OpenFile->hide();
}

bool frmConnect::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (!portsDiscovered && (type == QEvent::FocusIn || type == QEvent::MouseButtonPress || type == QEvent::KeyPress)) {
        portsDiscovered = true;
        const QStringList names = PortNames();
        for (QComboBox *list : {CB_COM, CB_MODEM}) {
            const QString current = list->currentText();
            for (const QString &name : names.mid(list->count()))
                list->addItem(name);
            list->setCurrentText(current);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmConnect::chooseMethod(QRadioButton *chosen)
{
    F_LAN->setEnabled(chosen == RB_LAN);
    F_Serial->setEnabled(chosen == RB_Serial);
    F_Modem->setEnabled(chosen == RB_Modem);
}

void frmConnect::B_OK_Click()
{
    settings.Serial = CB_COM->currentText();
    settings.Modem = CB_MODEM->currentText();
    settings.Number = EB_Phone->text();
    settings.IP = EB_Address->text();
    if (RB_LAN->isChecked())
        settings.Method = QStringLiteral("LAN");
    else if (RB_Serial->isChecked())
        settings.Method = QStringLiteral("SERIAL");
    else
        settings.Method = QStringLiteral("MODEM");
    ConnectOK = true;
    accept();
}

void frmConnect::B_Cancel_Click()
{
    ConnectOK = false;
    reject();
}

void frmConnect::B_Properties_Click()
{
    frmModem dialog(settings, this);
    dialogs.run(dialog);
}

void frmConnect::B_OpenFile_Click()
{
    ConnectOK = false;
    OpenFileChosen = true;
    reject();
}
