#pragma once

#include <QDialog>

struct ConnectionSettings;
class DialogRunner;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Connection Method": LAN, serial or modem, with the address, the ports and
// the telephone number. OK writes the settings and sets ConnectOK; "Open
// File..." closes it to work on a configuration file instead.
class frmConnect : public QDialog
{
    Q_OBJECT
public:
    frmConnect(ConnectionSettings &settings, DialogRunner &dialogs, QWidget *parent = nullptr);
    bool ConnectOK = false;
    // The operator chose to open a configuration file instead of connecting.
    bool OpenFileChosen = false;

    // For a file sent to a unit: the link only, no file to open instead.
    void hideOpenFile();

    // The ports a port list offers: "COM1" .. "COM4", then the serial ports
    // of this computer.
    static QStringList PortNames();
    // "COM1" .. "COM4".
    static QStringList FixedPortNames();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chooseMethod(QRadioButton *chosen);
    void B_OK_Click();
    void B_Cancel_Click();
    void B_Properties_Click();
    void B_OpenFile_Click();

    ConnectionSettings &settings;
    DialogRunner &dialogs;
    QRadioButton *RB_LAN = nullptr;
    QRadioButton *RB_Serial = nullptr;
    QRadioButton *RB_Modem = nullptr;
    QGroupBox *F_LAN = nullptr;
    QGroupBox *F_Serial = nullptr;
    QGroupBox *F_Modem = nullptr;
    QLineEdit *EB_Address = nullptr;
    QComboBox *CB_COM = nullptr;
    QComboBox *CB_MODEM = nullptr;
    QLineEdit *EB_Phone = nullptr;
    QPushButton *B_OpenFile = nullptr;
    bool portsDiscovered = false;
};
