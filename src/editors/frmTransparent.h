#pragma once

#include "TransparentModule.h"
#include "TransparentView.h"

#include <QDialog>

#include <array>
#include <functional>

class LinePanel;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct EditorContext;

// "Transparent Stream Configuration": one transparent data stream between a
// data port and the video of the selected program. The data type options
// load their presets; the settings a type fixes are shown but not editable.
class frmTransparent : public QDialog
{
    Q_OBJECT
public:
    frmTransparent(EditorContext &context, QWidget *parent = nullptr);

    // The working copy, as Apply would write it.
    const TransparentModule &module() const { return copy; }

public slots:
    void B_Apply_Click();
    void B_Cancel_Click();

private:
    // Refreshes every control from the working copy.
    void ShowSettings();
    void ShowByteMode(const TransparentView::Mode &mode);
    void ShowPacketMode(const TransparentView::Mode &mode);
    // The check boxes: the field indicator and the VANC flush fields.
    void showChecks();
    void showCount(int field);
    void showTimeout();

    void chooseType(TransparentModule::Type type);
    void CB_Port_Click(int index);
    void B_Configure_Click();
    void B_Lines_Click();
    void Combo1_Click(int position);
    void countChanged(int field);
    void vancChanged(int field, bool checked);
    // Whether a check box's change checks it; shown is what it showed
    // before (-1 neither state).
    static bool checking(bool checked, int shown);
    // Runs a handler of the operator's, and refreshes, unless the dialog is
    // refreshing itself.
    void act(const std::function<void()> &change, bool refresh = true);

    EditorContext &context;
    TransparentModule copy;
    bool eventsEnabled = false; // false while refreshing: the controls' own signals change nothing
    bool refreshing = false;

    QGroupBox *F_Mode = nullptr;
    // RB_Byte, RB_Audio, RB_CDP, RB_SDP, RB_Custom, RB_High
    std::array<QRadioButton *, 6> RB_Type{};
    QLabel *TB_Description = nullptr;
    QGroupBox *F_Direction = nullptr;
    QRadioButton *RB_Encode = nullptr;
    QRadioButton *RB_Decode = nullptr;
    QComboBox *CB_Port = nullptr;
    QPushButton *B_Configure = nullptr;
    QLineEdit *EB_DID = nullptr;
    QLineEdit *EB_SDID = nullptr;
    LinePanel *F_Line = nullptr;
    QPushButton *B_Lines = nullptr;
    QCheckBox *CB_FieldIndicator = nullptr;
    QGroupBox *F_Settings = nullptr;
    QGroupBox *Frame1 = nullptr;
    std::array<QRadioButton *, 3> Option{}; // Option1 .. Option3
    QLabel *Label4 = nullptr;
    QComboBox *Combo1 = nullptr;
    QRadioButton *RB_Packet = nullptr;
    QGroupBox *F_Packet = nullptr;
    QLabel *L_PacketID = nullptr;
    QLineEdit *EB_Identifier = nullptr;
    QRadioButton *RB_ByteMode = nullptr;
    QGroupBox *F_ByteMode = nullptr;
    QLabel *L_DataCount = nullptr;
    std::array<QLabel *, 2> T_Field{};         // T_Field1, T_Field2
    std::array<QLineEdit *, 2> EB_DataCount{}; // EB_DataCount_0, EB_DataCount_1
    QGroupBox *F_Vanc = nullptr;
    QCheckBox *CB_Field1 = nullptr;
    QCheckBox *CB_Field2 = nullptr;
    QGroupBox *F_Timeout = nullptr;
    std::array<QRadioButton *, 3> RB_Flush{}; // RB_Off, RB_1Field, RB_2Fields
    QPushButton *B_Apply = nullptr;
    QPushButton *B_Cancel = nullptr;
};
