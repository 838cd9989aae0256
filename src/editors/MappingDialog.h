#pragma once

#include <QDialog>

#include <memory>

class MappingDrawing;
class MappingRules;
class QLabel;
class QPushButton;
struct SharedState;

// A mapping drawing in a dialog with its explanation, Apply and Cancel. The
// rules edit the shared tables in place; Apply sets MappingCancelled false,
// Cancel sets it true, and closing the window leaves it as the caller set it
// (true), so the caller takes the tables back only after Apply.
class MappingDialog : public QDialog
{
    Q_OBJECT
public:
    struct Texts
    {
        QString name;
        QString title;
        QString info;
        QString outputHeading;
        QString inputHeading;
    };

    MappingDialog(SharedState &state, std::unique_ptr<MappingRules> rules, const Texts &texts, QWidget *parent);
    ~MappingDialog() override;

    MappingRules &rules() const { return *mapping; }
    MappingDrawing *drawing() const { return F_Drawing; }

public slots:
    void B_Apply_Click();
    void B_Cancel_Click();

protected:
    // A click on the dialog's background ends a pending connection.
    void mousePressEvent(QMouseEvent *event) override;

private:
    SharedState &state;
    std::unique_ptr<MappingRules> mapping;
    QLabel *TB_Info = nullptr;
    MappingDrawing *F_Drawing = nullptr;
    QPushButton *B_Apply = nullptr;
    QPushButton *B_Cancel = nullptr;
};
