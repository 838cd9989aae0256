#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QPushButton;
struct EditorContext;

// "Line Selection": picks several lines at once. Opens on
// LineSelectionMask and stores the picked lines there on Apply.
class frmLineSelection : public QDialog
{
    Q_OBJECT
public:
    static constexpr int Lines = 25;

    frmLineSelection(EditorContext &context, QWidget *parent = nullptr);

    // The mask of the checked lines: bit i for line i + 1.
    static qint32 MaskOf(const std::array<bool, Lines> &checked);

public slots:
    void B_Apply_Click();
    void B_Cancel_Click();

private:
    EditorContext &context;
    std::array<QCheckBox *, Lines> CB_Line{};
    QPushButton *B_Apply = nullptr;
    QPushButton *B_Cancel = nullptr;
};
