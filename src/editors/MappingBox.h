#pragma once

#include "MappingRules.h"

#include <QAbstractButton>

// One box of a mapping drawing. It takes the focus with Tab; a click, Space
// or Enter clicks it, a double click or Delete disconnects it. A screen
// reader hears it as a button named by its group and caption, described by
// what it is connected to.
class MappingBox : public QAbstractButton
{
    Q_OBJECT
public:
    MappingBox(const MapBox &box, const QString &caption, QWidget *parent);

    MapBox box() const { return which; }
    // Drawn as the start of a pending connection.
    void setPendingEnd(bool pendingEnd);
    QSize sizeHint() const override;

signals:
    void doubleClicked();
    void disconnectPressed();
    // Escape while a connection is pending; otherwise Escape goes on to the dialog.
    void escapePressed(bool &handled);
    // The pointer or the focus reached the box.
    void reached();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    MapBox which;
    bool isPendingEnd = false;
};
