#include "MappingBox.h"

#include <QKeyEvent>
#include <QPainter>

MappingBox::MappingBox(const MapBox &box, const QString &caption, QWidget *parent) : QAbstractButton(parent), which(box)
{
    setText(caption);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void MappingBox::setPendingEnd(bool pendingEnd)
{
    if (pendingEnd != isPendingEnd) {
        isPendingEnd = pendingEnd;
        update();
    }
}

QSize MappingBox::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {qMax(44, metrics.horizontalAdvance(text()) + 14), metrics.height() + 12};
}

void MappingBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(frame, isPendingEnd ? QColor(0xc8, 0xf0, 0xc8) : palette().color(QPalette::Base));
    painter.setPen(
        QPen(hasFocus() ? palette().color(QPalette::Highlight) : palette().color(QPalette::Dark), hasFocus() ? 2 : 1));
    painter.drawRect(hasFocus() ? frame.adjusted(1, 1, 0, 0) : frame);
    // An absent port's boxes are written in red.
    painter.setPen(isEnabled() ? palette().color(QPalette::Text) : QColor(Qt::red));
    painter.drawText(rect(), Qt::AlignCenter, text());
}

void MappingBox::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            click();
        return;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        emit disconnectPressed();
        return;
    case Qt::Key_Escape: {
        bool handled = false;
        emit escapePressed(handled);
        if (handled)
            return;
        break;
    }
    default:
        break;
    }
    QAbstractButton::keyPressEvent(event);
}

void MappingBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

void MappingBox::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    emit reached();
}

void MappingBox::focusInEvent(QFocusEvent *event)
{
    QAbstractButton::focusInEvent(event);
    emit reached();
}
