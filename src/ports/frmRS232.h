#pragma once

#include <QDialog>

class clsKYR;
class QComboBox;
class QPushButton;
struct SharedState;

// "Serial Port Setup": the line settings of the stream ConfigureStream.
// A stored value that matches no item opens as the fallback item and is
// replaced by it on Apply.
class frmRS232 : public QDialog
{
    Q_OBJECT
public:
    frmRS232(clsKYR &kyr, SharedState &state, QWidget *parent = nullptr);

public slots:
    // Writes the six line settings of the stream and closes.
    void B_Apply_Click();
    void B_Cancel_Click();

private:
    QComboBox *List(const char *name, const QString &label, const QStringList &items);

    clsKYR &kyr;
    // The stream edited; -1 when ConfigureStream names no stream, and then
    // Apply is disabled.
    int stream = -1;

    QComboBox *CB_Baud = nullptr;
    QComboBox *CB_Parity = nullptr;
    QComboBox *CB_StopBits = nullptr;
    QComboBox *CB_DataBits = nullptr;
    QComboBox *CB_FlowControl = nullptr;
    QPushButton *B_Apply = nullptr;
    QPushButton *B_Cancel = nullptr;
};
