#include "WheelGuard.h"

#include <QComboBox>
#include <QEvent>

void WheelGuard::install(QComboBox *list)
{
    list->installEventFilter(new WheelGuard(list));
}

bool WheelGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel)
        return true;
    return QObject::eventFilter(watched, event);
}
