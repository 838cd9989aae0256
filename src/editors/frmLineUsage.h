#pragma once

#include "LineUsageCopy.h"

#include <QDialog>

#include <array>

class LeaveCheck;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
struct EditorContext;
class clsKYR;

// "Line Usage": per video line of the selected program, whether inserted
// data is appended after data already on the line, and how many bytes of
// that data are reserved, for each channel and field.
class frmLineUsage : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxReserved = 1900;

    frmLineUsage(EditorContext &context, QWidget *parent = nullptr);

    int currentLine() const { return line; }

public slots:
    void VS_Line_Change(int value);
    void CB_AppendC_Click(bool checked);
    void CB_AppendL_Click(bool checked);
    void B_Apply_Click();
    void B_Cancel_Click();

private:
    void ShowLine();
    void appendClicked(int channel, bool checked);
    // The leaving rule of a count box: 1900 or less is stored for the
    // current line; more puts "1900" into the box and keeps the focus there.
    bool leaveCount(QLineEdit *box, int channel, int field);

    clsKYR &kyr;
    int program = 0;
    int line = 9;
    LineUsageCopy copy;
    LeaveCheck *checks = nullptr;
    bool showing = false; // ShowLine is setting the controls

    QLabel *Label1 = nullptr;
    QGroupBox *F_Line = nullptr;
    QLineEdit *TB_Line = nullptr;
    QScrollBar *VS_Line = nullptr;
    std::array<QCheckBox *, 2> CB_Append{}; // CB_AppendC, CB_AppendL
    QGroupBox *F_Reserved = nullptr;
    std::array<QGroupBox *, 2> F_Channel{}; // F_Chroma, F_Luma
    // [channel][field - 1]: TB_CField1 .. TB_LField2 and EB_CF1 .. EB_LF2
    std::array<std::array<QLabel *, 2>, 2> TB_Field{};
    std::array<std::array<QLineEdit *, 2>, 2> EB_Count{};
    QPushButton *B_Apply = nullptr;
    QPushButton *B_Cancel = nullptr;
};
