#pragma once

#include <QList>
#include <QObject>

#include <functional>

class QLineEdit;
class QWidget;

// A rule that runs whenever the operator leaves a text box, however the box
// is left: Tab, a click on another control, Return pressing the default
// button, a tab or a line step that redraws the box. A rule that refuses
// keeps the focus in the box, and the action that was about to happen (the
// click, the step) does not happen; the next attempt runs the rule again.
//
// Dialogs call settle() at the start of every handler that reads or redraws
// the boxes, and guard() the controls whose mouse press should be held back
// while a rule refuses.
class LeaveCheck : public QObject
{
    Q_OBJECT
public:
    // Takes the box; true when what it holds is accepted (and stored).
    using Rule = std::function<bool(QLineEdit *)>;

    explicit LeaveCheck(QObject *parent) : QObject(parent) {}

    void watch(QLineEdit *box, Rule rule);
    void guard(QWidget *control);
    // Runs the rule of every watched box; false at the first refusal, with
    // the focus put into that box.
    bool settle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool check(QLineEdit *box);

    QList<QLineEdit *> boxes;
    QList<Rule> rules;
    bool refusedJustNow = false;
};
