#include "LeaveCheck.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

void LeaveCheck::watch(QLineEdit *box, Rule rule)
{
    boxes.append(box);
    rules.append(std::move(rule));
    box->installEventFilter(this);
}

void LeaveCheck::guard(QWidget *control)
{
    control->installEventFilter(this);
}

bool LeaveCheck::check(QLineEdit *box)
{
    const qsizetype k = boxes.indexOf(box);
    if (k < 0 || rules[k](box))
        return true;
    box->setFocus(Qt::OtherFocusReason);
    return false;
}

bool LeaveCheck::settle()
{
    for (QLineEdit *box : std::as_const(boxes)) {
        if (!check(box))
            return false;
    }
    return true;
}

bool LeaveCheck::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    const bool isWatchedBox = box && boxes.contains(box);
    switch (event->type()) {
    case QEvent::KeyPress:
        if (isWatchedBox) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && !check(box))
                return true;
        }
        break;
    case QEvent::FocusOut:
        if (isWatchedBox) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            // Switching to another window or opening a menu is not leaving.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                const qsizetype k = boxes.indexOf(box);
                if (!rules[k](box)) {
                    // A mouse press gives the focus away before the pressed
                    // control sees the press: remember the refusal for that
                    // press, and take the focus back after it.
                    refusedJustNow = true;
                    QTimer::singleShot(0, this, [this, back = QPointer<QLineEdit>(box)] {
                        refusedJustNow = false;
                        if (back)
                            back->setFocus(Qt::OtherFocusReason);
                    });
                }
            }
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        if (!isWatchedBox && (refusedJustNow || !settle()))
            return true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
