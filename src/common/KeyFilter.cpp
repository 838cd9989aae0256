#include "KeyFilter.h"

#include <QKeyEvent>
#include <QLineEdit>

void KeyFilter::install(QLineEdit *box, Filter filter)
{
    box->installEventFilter(new KeyFilter(box, std::move(filter)));
}

bool KeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (key->key() == Qt::Key_Backspace)
        return filter(8) == 0;
    const QString text = key->text();
    if (text.isEmpty() || !box || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    if (text.size() != 1 || !text[0].isPrint())
        return false;
    const int passed = filter(text[0].unicode());
    if (passed == 0)
        return true;
    if (passed != text[0].unicode()) {
        box->insert(QString(QChar(passed)));
        return true;
    }
    return false;
}
