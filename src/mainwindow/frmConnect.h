#pragma once

#include <QDialog>

struct ConnectionSettings;
class DialogRunner;

// "Connection Method": LAN, serial or modem, with the address, the ports and
// the telephone number. OK writes the settings and sets ConnectOK.
class frmConnect : public QDialog
{
    Q_OBJECT
public:
    frmConnect(ConnectionSettings &settings, DialogRunner &dialogs, QWidget *parent = nullptr);
    bool ConnectOK = false;
};
