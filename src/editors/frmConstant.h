#pragma once

#include "ConstantModule.h"

#include <QDialog>

#include <array>

class LinePanel;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct EditorContext;

// "Constant Data Module Configuration": the constant data module of the
// selected program, a packet read from one of the encoder's audio metadata
// files and inserted on one line of every frame.
class frmConstant : public QDialog
{
    Q_OBJECT
public:
    frmConstant(EditorContext &context, QWidget *parent = nullptr);

    // The module as the controls show it.
    ConstantModule shown() const;

public slots:
    void B_Apply_Click();
    void B_Cancel_Click();

private:
    EditorContext &context;
    int program = 0;
    int loaded = -1; // the stream the module was read from, -1 for a new one

    QGroupBox *F_Constant = nullptr;
    // RB_None, RB_Stereo, RB_51, RB_Stereo_SAP, RB_51_SAP, by ConstantModule::File
    std::array<QRadioButton *, 5> RB_File{};
    QLineEdit *EB_DID = nullptr;
    QLineEdit *EB_SDID = nullptr;
    LinePanel *F_Line = nullptr;
    QCheckBox *CB_ConditionalInsertion = nullptr;
    QPushButton *B_Apply = nullptr;
    QPushButton *B_Cancel = nullptr;
};
