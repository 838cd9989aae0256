#pragma once

#include <QDialog>

struct ConnectionSettings;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Modem Settings": the modem initialisation commands ("INIT") and the dial
// command ("DIAL") of the connection settings. Apply changes them; Cancel
// leaves them.
class frmModem : public QDialog
{
    Q_OBJECT
public:
    explicit frmModem(ConnectionSettings &settings, QWidget *parent = nullptr);

    // Index of the "Custom" item of CB_Init.
    static constexpr int CustomIndex = 4;
    // The initialisation text of a preset (0..3); empty for "Custom".
    static QString PresetText(int index);

public slots:
    // A preset puts its text into EB_Custom and locks it; "Custom" unlocks
    // EB_Custom and keeps its text.
    void CB_Init_Click();
    void B_Default_Click();
    void B_Apply_Click();
    void B_Cancel_Click();

private:
    ConnectionSettings &settings;

    QComboBox *CB_Init = nullptr;
    QLineEdit *EB_Custom = nullptr;
    QLineEdit *EB_Dial = nullptr;
    QPushButton *B_Default = nullptr;
    QPushButton *B_Apply = nullptr;
    QPushButton *B_Cancel = nullptr;
};
