#include "KeyFilter.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

namespace {
constexpr int Backspace = 8;

QString clipboardText()
{
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}
} // namespace

void KeyFilter::install(QLineEdit *box, Filter filter)
{
    box->installEventFilter(new KeyFilter(box, std::move(filter)));
}

KeyFilter::KeyFilter(QLineEdit *box, Filter filter)
    : QObject(box), box(box), filter(std::move(filter)), shown(box->text())
{
    connect(box, &QLineEdit::textEdited, this, &KeyFilter::onEdited);
    connect(box, &QLineEdit::textChanged, this, [this](const QString &text) {
        previous = shown;
        shown = text;
    });
}

QString KeyFilter::Filtered(const Filter &filter, const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (!c.isPrint())
            continue;
        const int passed = filter(c.unicode());
        if (passed > 0 && passed != Backspace)
            out += QChar(passed);
    }
    return out;
}

bool KeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    // While the box is being destroyed it is no longer a QLineEdit: leave it be.
    if (watched == box && qobject_cast<QLineEdit *>(watched) && !box->isReadOnly()) {
        switch (event->type()) {
        case QEvent::KeyPress:
            return filterKey(event);
        case QEvent::ContextMenu:
            showContextMenu(event);
            return true;
        case QEvent::Drop:
            return drop(event);
        case QEvent::MouseButtonRelease:
            return pasteSelection(event);
        case QEvent::InputMethod: {
            auto *input = static_cast<QInputMethodEvent *>(event);
            if (!input->commitString().isEmpty()) {
                input->setCommitString(Filtered(filter, input->commitString()), input->replacementStart(),
                                       input->replacementLength());
            }
            break;
        }
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool KeyFilter::filterKey(QEvent *event)
{
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->matches(QKeySequence::Paste)) {
        insert(clipboardText());
        return true;
    }
    if (key->key() == Qt::Key_Backspace)
        return filter(Backspace) == 0;
    const QString text = key->text();
    if (text.isEmpty() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
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

void KeyFilter::insert(const QString &text)
{
    const QString filtered = Filtered(filter, text);
    // Like a swallowed key, text that is all filtered out leaves the box as it was.
    if (!filtered.isEmpty())
        box->insert(filtered);
}

bool KeyFilter::pasteSelection(QEvent *event)
{
    // The middle button pastes the selection; the box would cut it to its
    // length before the filter could drop what it refuses ("a192" in a
    // three-digit box would leave "19").
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (mouse->button() != Qt::MiddleButton || !clipboard->supportsSelection() ||
        !box->rect().contains(mouse->position().toPoint()))
        return false;
    box->deselect();
    insert(clipboard->text(QClipboard::Selection));
    return true;
}

void KeyFilter::showContextMenu(QEvent *event)
{
    QMenu *menu = box->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The standard menu pastes unfiltered; its Paste item is rewired.
    const QString pasteText = QLineEdit::tr("&Paste");
    for (QAction *action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste") || action->text().startsWith(pasteText)) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this] { insert(clipboardText()); });
        }
    }
    menu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
}

bool KeyFilter::drop(QEvent *event)
{
    auto *dropped = static_cast<QDropEvent *>(event);
    // Text moved within the box is already in it.
    if (dropped->source() == box || !dropped->mimeData()->hasText())
        return false;
    QMimeData filtered;
    filtered.setText(Filtered(filter, dropped->mimeData()->text()));
    QDropEvent copy(dropped->position(), dropped->possibleActions(), &filtered, dropped->buttons(),
                    dropped->modifiers());
    copy.setDropAction(dropped->dropAction());
    box->removeEventFilter(this);
    QCoreApplication::sendEvent(box, &copy);
    box->installEventFilter(this);
    dropped->setDropAction(copy.dropAction());
    dropped->setAccepted(copy.isAccepted());
    return true;
}

void KeyFilter::onEdited(const QString &text)
{
    // Whichever of textChanged and textEdited comes first, this is the text before the edit.
    const QString before = shown == text ? previous : shown;
    qsizetype head = 0;
    while (head < text.size() && head < before.size() && text[head] == before[head])
        ++head;
    qsizetype tail = 0;
    while (tail < text.size() - head && tail < before.size() - head &&
           text[text.size() - 1 - tail] == before[before.size() - 1 - tail])
        ++tail;
    const QString added = text.mid(head, text.size() - head - tail);
    const QString filtered = Filtered(filter, added);
    if (filtered == added)
        return;
    box->setText(text.left(head) + filtered + text.right(tail));
    box->setCursorPosition(int(head + filtered.size()));
}
