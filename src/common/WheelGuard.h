#pragma once

#include <QObject>

class QComboBox;

// Keeps a mouse wheel that passes over a list from changing its choice: a
// list changes only when the operator opens it, clicks or uses the keys.
class WheelGuard : public QObject
{
    Q_OBJECT
public:
    static void install(QComboBox *list);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};
