#pragma once

#include <QDialog>
#include <QString>

#include <array>

class clsKYR;
class Messages;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "LAN Configuration": the encoder's address settings and its eight LAN
// data ports.
class frmLanSetup : public QDialog
{
    Q_OBJECT
public:
    frmLanSetup(clsKYR &kyr, Messages &messages, QWidget *parent = nullptr);

    // A dotted address cut into its four pieces: the pieces before the first,
    // second and third dots and the rest. From the first missing dot on the
    // pieces stay empty ("10.1.2" gives "10", "1", "", "").
    static std::array<QString, 4> SplitAddress(const QString &address);
    static QString JoinAddress(const std::array<QString, 4> &pieces);

public slots:
    void RB_DHCP_Click();
    void RB_Fixed_Click();
    // Checks the port boxes; when they pass, writes the model and closes.
    void B_Apply_Click();
    void B_Cancel_Click();

private:
    // Every port box must be below 30000 and unlike every later box. Shows
    // the messages and returns false when a port is refused.
    bool PortsValid();
    QLineEdit *AddressBox(const QString &name, int index, const QString &label, int maxLength, bool digitsOnly);

    clsKYR &kyr;
    Messages &messages;

    QRadioButton *RB_DHCP = nullptr;
    QRadioButton *RB_Fixed = nullptr;
    QGroupBox *F_Fixed = nullptr;
    std::array<QLineEdit *, 4> EB_IP{};
    std::array<QLineEdit *, 4> EB_Mask{};
    std::array<QLineEdit *, 4> EB_Gateway{};
    QGroupBox *F_Ports = nullptr;
    std::array<QLineEdit *, 8> EB_Port{};
    QPushButton *B_Apply = nullptr;
    QPushButton *B_Cancel = nullptr;
};
