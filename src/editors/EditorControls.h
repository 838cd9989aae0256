#pragma once

#include <QList>
#include <QString>

class Messages;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QAbstractButton;
class QCheckBox;
class QPushButton;
class QWidget;
class clsKYR;

// Controls and display rules shared by the module editors, on top of the
// factories every dialog uses (Controls.h).

// Identifier boxes (DID, SDID, packet identifier): hexadecimal digits only,
// "a".."f" typed as capitals.
QLineEdit *MakeHexBox(const QString &name, const QString &label, QWidget *parent, int maxLength = 2);
// An identifier box with its label (objectName labelName) in a row of a grid;
// the label's caption names the box for screen readers too.
QLineEdit *AddHexRow(QGridLayout *grid, int row, const QString &labelName, const QString &boxName,
                     const QString &caption, QWidget *parent);
// Count boxes: decimal digits only.
QLineEdit *MakeCountBox(const QString &name, const QString &label, QWidget *parent, int maxLength);
// Shows an identifier as upper-case hexadecimal without leading zeros ("61",
// "1"), whole even when longer than the box's typing limit.
void ShowHex(QLineEdit *box, qint64 value);
// The box read as hexadecimal with a "0" in front: empty gives 0, a "-"
// placeholder gives 0, digits beyond the limit stop at it.
qint64 ReadHex(const QLineEdit *box, qint64 limit = 0xFFFF);

// Shows a value in a box that shows the placeholder at other times.
void ShowValue(QLineEdit *box, const QString &text);
// A box without a value shows "-". Whatever the operator then types or
// pastes replaces the "-" instead of joining it.
void ShowPlaceholder(QLineEdit *box);

// The "Line" list of the line frames: items "1" to "25".
QComboBox *MakeLineList(const QString &name, QWidget *parent);

// Shows a stored value in a list of fixed items. A value that is one of the
// items selects it; any other value is added as an item of its own and
// selected, so that the list shows what is stored and gives it back unless
// the operator picks another item.
void ShowStoredItem(QComboBox *list, const QString &text);
// True when the list shows a stored value that is none of its own items.
bool StoredItemShown(const QComboBox *list);

// A port list: "None" (stream -1), then the streams by their display names.
// Each item keeps its stream number, so that two streams shown alike (two
// LAN ports given the same number) stay apart. Selects the chosen stream.
void FillPortList(QComboBox *list, const clsKYR &kyr, const QList<int> &streams, int chosen);
// The stream of a port list's item; -1 for "None" or no item.
int PortAt(const QComboBox *list, int index);

// A serial port's "Configure" button shows the port's settings; its
// accessible name says both "Configure" and the settings.
void ShowSerialCaption(QPushButton *button, const clsKYR &kyr, int stream);

// Checks or clears an option. Clearing works on the checked option of a group
// too, so that a stored value none of the options stands for shows none.
void CheckOption(QAbstractButton *option, bool checked);

// Shows a check box checked (1), clear (0), or (-1, a stored value neither
// state stands for) as neither: partly checked, until the operator's change
// gives it one of the two.
void ShowCheck(QCheckBox *box, int shown);

// Shows a line check's text, when there is one, in a "Caution" box.
void ShowCaution(Messages &messages, const QString &text);
