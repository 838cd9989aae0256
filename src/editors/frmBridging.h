#pragma once

#include "BridgeModule.h"

#include <QDialog>

#include <array>

class LinePanel;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
struct EditorContext;

// "Bridging Configuration": the subtitle bridge between the two programs,
// WST in the VBI of a 625-line program to OP-47 in the VANC of the other, or
// back. Opened after a change of the requested video format it cannot be
// cancelled: only Apply leaves it.
class frmBridging : public QDialog
{
    Q_OBJECT
public:
    static constexpr int VbiLines = 17; // lines 6 to 22

    frmBridging(EditorContext &context, QWidget *parent = nullptr);

public slots:
    void CB_Bridge_Click(int position);
    void CB_LineNum_Click(int index, bool checked);
    void B_Apply_Click();
    void B_Cancel_Click();
    // Escape and the window's close box cancel too, except when the bridge
    // must be set up again.
    void reject() override;

private:
    void ShowBridgeChoices(bool existing);
    void showVbiLines();
    // Frame captions and positions, and the chroma rule, for the chosen bridge.
    void showChoice(int position);

    EditorContext &context;
    bool mustApply = false;
    std::array<int, 2> requested{}; // requested video mode of programs 1 and 2
    QList<BridgeChoice> choices;
    BridgeModule module;

    QComboBox *CB_Bridge = nullptr;
    QVBoxLayout *frames = nullptr;
    QGroupBox *F_VBI = nullptr;
    std::array<QCheckBox *, VbiLines> CB_LineNum{};
    QGroupBox *F_Vanc = nullptr;
    QLineEdit *EB_DID = nullptr;
    QLineEdit *EB_SDID = nullptr;
    LinePanel *F_Line = nullptr;
    QPushButton *B_Apply = nullptr;
    QPushButton *B_Cancel = nullptr;
};
