#pragma once

#include <QDialog>

#include <functional>

class QPushButton;
class QRadioButton;
struct SharedState;

// A preset picker for a newly assigned caption port: two choices and OK,
// which writes the chosen preset into the shared tables. There is no Cancel:
// closing the window (its close box, Escape) is OK on the choice it shows, so
// that a newly assigned port never stays without a mapping.
class StreamPresetDialog : public QDialog
{
    Q_OBJECT
public:
    struct Texts
    {
        QString name;
        QString title;
        QString normal;    // RB_Normal, selected when the dialog opens
        QString otherName; // the control name of the second choice
        QString other;
    };
    // Writes the preset; the flag is true for the second choice.
    using Preset = std::function<void(SharedState &, bool)>;

    StreamPresetDialog(SharedState &state, const Texts &texts, Preset preset, QWidget *parent);

public slots:
    void B_OK_Click();
    void reject() override;

private:
    SharedState &state;
    Preset preset;
    QRadioButton *RB_Normal = nullptr;
    QRadioButton *RB_Other = nullptr;
    QPushButton *B_OK = nullptr;
};
