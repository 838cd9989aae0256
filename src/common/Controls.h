#pragma once

#include <QStringList>

#include <functional>
#include <initializer_list>

class QAbstractButton;
class QBoxLayout;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QObject;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabBar;
class QWidget;

// Control factories. A control's objectName is its name ("B_Apply",
// "EB_IP_0"), and its accessible name is its caption or the label beside it,
// so that tests and screen readers find it.

QPushButton *MakeButton(const QString &name, const QString &caption, QWidget *parent);
// A caption beside a control; the control takes the caption's name and its
// keyboard shortcut through the buddy.
QLabel *MakeLabel(const QString &name, const QString &caption, QWidget *parent, QWidget *buddy = nullptr);
// A drop-down list of fixed items, without free typing. It changes only by
// a deliberate choice: a mouse wheel passing over it does nothing.
QComboBox *MakeList(const QString &name, const QString &label, const QStringList &items, QWidget *parent);
// Keeps a list from changing as a mouse wheel passes over it (MakeList does).
void KeepFromWheel(QComboBox *list);
// A text box; maxLength 0 leaves its length free.
QLineEdit *MakeEdit(const QString &name, const QString &label, QWidget *parent, int maxLength = 0);
// A read-only value on display (a serial number, an address), announced
// with its caption and its value; the value can be selected and copied.
QLineEdit *MakeValue(const QString &name, const QString &caption, QWidget *parent);
QCheckBox *MakeCheck(const QString &name, const QString &caption, QWidget *parent);
// An option button; the options of one parent exclude each other.
QRadioButton *MakeOption(const QString &name, const QString &caption, QWidget *parent);
QGroupBox *MakeFrame(const QString &name, const QString &title, QWidget *parent);
QTabBar *MakeTabs(const QString &name, const QString &label, const QStringList &tabs, QWidget *parent);
QScrollBar *MakeScrollBar(const QString &name, const QString &label, QWidget *parent);
// The buttons at the foot of a dialog, right-aligned; the first one is the
// default button (Return presses it).
QHBoxLayout *MakeButtonRow(std::initializer_list<QPushButton *> buttons);
// Lays controls out inside a frame, side by side or one under another.
QBoxLayout *PlaceInRow(QWidget *frame, std::initializer_list<QWidget *> controls);
QBoxLayout *PlaceInColumn(QWidget *frame, std::initializer_list<QWidget *> controls);

// A choice acts the same whatever makes it: a click, the keyboard, or an
// assistive technology's own Toggle or Press action (Toggle changes the state
// without a click). So a choice's effect is bound to its state, and a
// dialog's own selections reach it too: a dialog that refreshes itself
// ignores them through its loading or events-enabled flag.
//
// Runs chosen() whenever the option becomes the chosen one; choosing the
// option already chosen changes nothing.
void OnChosen(QAbstractButton *option, QObject *receiver, std::function<void()> chosen);
// Runs changed() whenever the check box's state changes; checked is false for
// a box that shows neither state.
void OnCheckChanged(QCheckBox *box, QObject *receiver, std::function<void(bool checked)> changed);

// Changes the caption of a button, check box, option, frame or label, and
// its accessible name with it (to the caption, or to the given name when the
// caption alone would not say what the control is).
void SetCaption(QWidget *control, const QString &caption, const QString &accessibleName = {});

// Shows a stored value in a text box whole. The box's length limit holds for
// typing only; a longer stored value widens it while shown, so that reading
// the box back never gives the value cut short.
void ShowStored(QLineEdit *box, const QString &text);
