#pragma once

#include <QGroupBox>

#include <functional>

class Messages;
class QComboBox;
class QGridLayout;
class QRadioButton;

// The "Line Selection" frame of the module editors: the line list CB_Line
// ("1" to "25") and the channel options RB_Luma and RB_Chroma.
//
// A line chosen by the operator and a line selected by the dialog itself
// count alike: both run the line check and its caution, and both announce
// lineChosen, even when the list already showed that line. The channel the
// operator chooses, however (a click, the keyboard, an assistive Toggle), and
// the one selectLuma selects are announced by channelChosen.
class LinePanel : public QGroupBox
{
    Q_OBJECT
public:
    // The check gives the caution text for a line ("" when the line suits).
    using Check = std::function<QString(int line)>;

    LinePanel(Messages &messages, QWidget *parent);

    void setCheck(Check check) { lineCheck = std::move(check); }
    // Selects a line (1..25) as the operator's choice would.
    void selectLine(int line);
    int line() const;
    // Selects luma or chroma, and announces it as channelChosen.
    void selectLuma(bool luma);
    // Shows neither: a stored channel that is neither luma nor chroma.
    void clearChannel();
    bool luma() const;
    // SD video carries no chroma data here: chroma is disabled and luma
    // selected. Other video enables chroma again and keeps the choice.
    void applySD(bool sd);

    // The frame's own grid, for an editor that adds controls to it.
    QGridLayout *grid() const { return layout; }

    QComboBox *CB_Line = nullptr;
    QRadioButton *RB_Luma = nullptr;
    QRadioButton *RB_Chroma = nullptr;

signals:
    void lineChosen(int line);
    void channelChosen(bool luma);

private:
    void CB_Line_Click(int position);

    Messages &messages;
    Check lineCheck;
    bool selecting = false; // selectLuma announces its choice itself
    QGridLayout *layout = nullptr;
};
