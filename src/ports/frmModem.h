#pragma once

#include <QDialog>

struct ConnectionSettings;
class QComboBox;
class QLineEdit;

// "Modem Settings": the modem initialisation commands ("INIT") and the dial
// command ("DIAL") of the connection settings. Apply changes them; Cancel
// leaves them.
class frmModem : public QDialog
{
    Q_OBJECT
public:
    explicit frmModem(ConnectionSettings &settings, QWidget *parent = nullptr);
    // (implementation: see frmModem.cpp)
};
