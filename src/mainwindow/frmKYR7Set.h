#pragma once

#include "AppServices.h"
#include "ConnectionSettings.h"
#include "Conversation.h"
#include "ConversationLog.h"
#include "EditorContext.h"
#include "SavePlan.h"
#include "SharedState.h"
#include "Verifier.h"
#include "Workbench.h"
#include "clsKYR.h"

#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTabBar;

// The program's main window: the encoder's identity and network settings,
// the selected program's video format and module slots, the monitor of the
// conversation and the closing buttons. It owns the one model, the shared
// state, the conversation and the connection settings.
class frmKYR7Set : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Slots = 8;
    static constexpr int MonitorLines = 15;

    explicit frmKYR7Set(const AppServices &services, QWidget *parent = nullptr);
    ~frmKYR7Set() override;

    // Start-up: reads the connection settings, asks for the link and opens
    // it, or shows a configuration file instead (the one given, or one the
    // operator opens from the connection dialog). False when the operator
    // cancelled (the window is then closed).
    bool Start(const QString &file = {});

    // The stored window position ("Top", "Left") as a coordinate, whatever
    // number the store holds.
    static int StoredPosition(const QString &text);
    // Where a window of size wanted at a position goes: there, when its
    // title bar is on one of the screens; else onto the first screen.
    static QPoint OnScreen(const QPoint &wanted, const QSize &size, const QList<QRect> &screens);

    // Redraws the configuration display of CurrentProgram from the model.
    void SetDisplay();
    // Shows the model to edit from its first program: the monitor goes, and
    // the second program's tab stays only when the encoder has two.
    void ShowConfiguration();
    // The closing buttons for a file ("Save", "Close", no factory defaults
    // to load, "Send to KYR7...") or for a unit.
    void SetFileMode(bool file);
    // The closing buttons while a file is sent to a unit: "Send" and "Back to File".
    void SetSendMode();
    // The keyboard's place after a step of a send: "Send" once the window
    // shows what the unit will hold, "Send to KYR7..." back on the file.
    void FocusSendButton();

    // The monitor, the conversation log and the retrieval of the unit the
    // connection settings name.
    void ConnectToUnit();
    // The link and the conversation log closed (a send given up).
    void EndConversation();
    // "Save and Exit" once the checks have had their say: the report file,
    // then the save conversation of plan. False when nothing was started.
    bool SaveToUnit(const SavePlan &plan);
    // After a failure: where the whole conversation can be read.
    void tellWhereTheLogIs();

    void MonitorAdd(const QString &message);
    void MonitorOn();
    void MonitorOff();
    bool monitorShowing() const;

    // Handlers of the controls; the controls call them, tests may too.
    void TS_Program_Click(int tabIndex);
    void CB_Module_Click(int slot);
    void B_Configure_Click(int slot);
    void CB_Video_Click(int position);
    void B_LineUsage_Click();
    void B_Properties_Click();
    void B_Save_Click();
    void B_Cancel_Click();
    void B_Defaults_Click();
    void B_Clear_Click();
    void B_Send_Click();
    void B_Verify_Click();

    clsKYR &model() { return kyr; }
    SharedState &state() { return shared; }
    Conversation &conversation() { return conv; }
    const ConversationLog &conversationLog() const { return log; }
    ConnectionSettings &connection() { return settings; }
    const ConnectionSettings &connection() const { return settings; }
    Workbench &workbench() { return bench; }
    Verifier &verifier() { return verify; }
    bool ConnectOK = false;
    // True once the shutdown has run (the program ends with the window).
    bool ended() const { return shutDown; }

signals:
    // The window has closed and the shutdown has run.
    void programEnded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void onRetrievalFinished();
    void onLinkClosed();
    void startClosing(const QString &routine, const std::function<void()> &buildScript, const QString &firstLine);
    void endProgram();
    void openLog();
    void onProgress(int done, int total);
    void onClosingFinished();
    void reportError(const QString &routine);
    // Runs one step of a routine with its own error trap: an unexpected
    // error is reported and the routine goes on.
    void guarded(const QString &routine, const std::function<void()> &step);
    void showSlot(int slot, int stream, const QString &typeText);
    // The module editors (src/editors), run modally through the dialog
    // runner. Each returns true when it opened a dialog.
    EditorContext editorContext();
    bool openEditor(int streamType);
    bool openBridgingEditor();
    bool openLineUsage();

    AppServices services;
    clsKYR kyr;
    SharedState shared;
    ConnectionSettings settings;
    Conversation conv;
    ConversationLog log;
    Verifier verify;
    Workbench bench;
    bool shutDown = false;
    bool loading = false; // selections made from code, not by the operator

    QTabBar *TS_Program = nullptr;
    QGroupBox *F_ID = nullptr;
    QGroupBox *F_TCP = nullptr;
    QGroupBox *F_Program = nullptr;
    QGroupBox *F_General = nullptr;
    QGroupBox *F_Modules = nullptr;
    QLineEdit *TB_TYPE = nullptr;
    QLineEdit *TB_Serial = nullptr;
    QLineEdit *TB_Firmware = nullptr;
    QLineEdit *TB_Revision = nullptr;
    QLineEdit *TB_Address = nullptr;
    QLineEdit *TB_Netmask = nullptr;
    QLineEdit *TB_Gateway = nullptr;
    QLineEdit *TB_DHCP = nullptr;
    QLineEdit *TB_Video = nullptr;
    QComboBox *CB_Video = nullptr;
    QPushButton *B_LineUsage = nullptr;
    QPushButton *B_Properties = nullptr;
    std::array<QLabel *, Slots> TB_Stream{};
    std::array<QComboBox *, Slots> CB_Module{};
    std::array<QLineEdit *, Slots> TB_Port{};
    std::array<QPushButton *, Slots> B_Configure{};
    QPushButton *B_Clear = nullptr;
    QPushButton *B_Save = nullptr;
    QPushButton *B_Cancel = nullptr;
    QPushButton *B_Defaults = nullptr;
    QPushButton *B_Send = nullptr;
    QPushButton *B_Verify = nullptr;
    QListWidget *LB_Monitor = nullptr;
    QProgressBar *PB_Progress = nullptr;
};
