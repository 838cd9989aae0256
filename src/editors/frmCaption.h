#pragma once

#include "CaptionModule.h"

#include <QDialog>

#include <array>

class LeaveCheck;
class LinePanel;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabBar;
struct EditorContext;

// "Caption Stream Configuration": the caption module of the selected program.
// Five port tabs (primary, secondary and XDS captioning ports, 708 and 608
// output ports) each bind one of the encoder's port streams; the values all
// the module's streams share, the service languages, the broadcast flag mode
// and both mappings belong to the whole module. Apply writes it all; Cancel
// writes nothing.
class frmCaption : public QDialog
{
    Q_OBJECT
public:
    frmCaption(EditorContext &context, QWidget *parent = nullptr);

    const CaptionModule &module() const { return working; }

public slots:
    // Shows the selected tab's port.
    void ShowPort();
    void TS_Ports_Click(int tab);
    void CB_Port_Click(int position);
    void CB_ExternalModem_Click(bool checked);
    void B_Configure_Click();
    void B_StreamMapping_Click();
    void B_Upstream_Click();
    void B_Apply_Click();
    void B_Cancel_Click();

private:
    QWidget *makePortPanel();
    QGroupBox *makeServiceFrame();
    void showModule();
    // Opens the preset dialog a port choice calls for, on the editor's own
    // tables, and takes them back: the dialog ends with OK however it is
    // closed.
    void runPreset(CaptionModule::Preset preset);
    // Opens a mapping drawing on the editor's tables; only Apply changes them.
    void runMapping(bool upstream);
    // What the shown port's boxes hold, kept when they are left.
    bool leaveInit(QLineEdit *box);
    bool leaveDelay(QLineEdit *box);
    // The shared values and the caption program as the controls show them.
    void readShown();
    // Runs a handler's refresh with the loading flag set.
    void refresh();

    EditorContext &context;
    CaptionModule working;
    bool loading = false;
    int currentPortStream = -1;
    int shownPort = CaptionModule::Primary; // the port the port controls show
    LeaveCheck *leave = nullptr;

    QTabBar *TS_Ports = nullptr;
    QWidget *F_Port = nullptr; // the shown port's controls, named after its tab
    QComboBox *CB_Port = nullptr;
    QPushButton *B_Configure = nullptr;
    QPushButton *B_StreamMapping = nullptr;
    QGroupBox *F_Input = nullptr;
    QRadioButton *RB_Normal = nullptr;
    QRadioButton *RB_FieldMarked = nullptr;
    QCheckBox *CB_Echo = nullptr;
    QCheckBox *CB_ExternalModem = nullptr;
    QLabel *TB_Init = nullptr;
    QLineEdit *EB_Init = nullptr;
    QCheckBox *CB_PassThrough = nullptr;
    QGroupBox *F_Protocol = nullptr;
    QRadioButton *RB_Push = nullptr;
    QRadioButton *RB_Pull = nullptr;
    QLabel *TB_Delay = nullptr;
    QLineEdit *EB_Delay = nullptr;
    QLineEdit *EB_DID = nullptr;
    QLineEdit *EB_SDID = nullptr;
    LinePanel *F_Line = nullptr;
    QCheckBox *CB_Replace = nullptr;
    QComboBox *CB_BroadcastFlag = nullptr;
    QGroupBox *F_Service = nullptr;
    QGroupBox *F_608 = nullptr;
    QGroupBox *F_708 = nullptr;
    std::array<QComboBox *, 2> CB_Lang608{}; // CB_Lang608F1, CB_Lang608F2
    std::array<QCheckBox *, 2> CB_F{};       // CB_F1, CB_F2
    std::array<QComboBox *, 6> CB_Lang708{};
    std::array<QCheckBox *, 6> CB_EasyReader708{};
    QPushButton *B_Upstream = nullptr;
    QPushButton *B_Apply = nullptr;
    QPushButton *B_Cancel = nullptr;
};
