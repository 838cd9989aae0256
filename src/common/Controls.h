#pragma once

#include <QStringList>

#include <initializer_list>

class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

// Control factories. A control's objectName is its name ("B_Apply",
// "EB_IP_0"), and its accessible name is its caption or the label beside it,
// so that tests and screen readers find it.

QPushButton *MakeButton(const QString &name, const QString &caption, QWidget *parent);
// A drop-down list of fixed items, without free typing.
QComboBox *MakeList(const QString &name, const QString &label, const QStringList &items, QWidget *parent);
// A text box; maxLength 0 leaves its length free.
QLineEdit *MakeEdit(const QString &name, const QString &label, QWidget *parent, int maxLength = 0);
// The buttons at the foot of a dialog, right-aligned; the first one is the
// default button (Return presses it).
QHBoxLayout *MakeButtonRow(std::initializer_list<QPushButton *> buttons);
