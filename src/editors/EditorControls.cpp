#include "EditorControls.h"

#include "Controls.h"
#include "EditorRules.h"
#include "KeyFilter.h"
#include "KeyFilters.h"
#include "Messages.h"
#include "NumberText.h"
#include "clsKYR.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
const char *const kPlaceholder = "placeholderShown";
const char *const kPlaceholderWatched = "placeholderWatched";
const QString kPlaceholderText = QStringLiteral("-");
} // namespace

QLineEdit *MakeHexBox(const QString &name, const QString &label, QWidget *parent, int maxLength)
{
    QLineEdit *box = MakeEdit(name, label, parent, maxLength);
    KeyFilter::install(box, HexKeyFilter);
    return box;
}

QLineEdit *AddHexRow(QGridLayout *grid, int row, const QString &labelName, const QString &boxName,
                     const QString &caption, QWidget *parent)
{
    QLineEdit *box = MakeHexBox(boxName, caption, parent);
    box->setFixedWidth(40);
    grid->addWidget(MakeLabel(labelName, caption, parent, box), row, 0);
    grid->addWidget(box, row, 1);
    return box;
}

QLineEdit *MakeCountBox(const QString &name, const QString &label, QWidget *parent, int maxLength)
{
    QLineEdit *box = MakeEdit(name, label, parent, maxLength);
    KeyFilter::install(box, DecimalKeyFilter);
    return box;
}

void ShowHex(QLineEdit *box, qint64 value)
{
    ShowValue(box, HexText(value));
}

qint64 ReadHex(const QLineEdit *box, qint64 limit)
{
    return LeadingHex(box->text(), limit);
}

void ShowValue(QLineEdit *box, const QString &text)
{
    box->setProperty(kPlaceholder, false);
    ShowStored(box, text);
}

void ShowPlaceholder(QLineEdit *box)
{
    ShowStored(box, kPlaceholderText);
    if (!box->property(kPlaceholderWatched).toBool()) {
        box->setProperty(kPlaceholderWatched, true);
        QObject::connect(box, &QLineEdit::textEdited, box, [box] {
            if (!box->property(kPlaceholder).toBool())
                return;
            box->setProperty(kPlaceholder, false);
            // The box's own text, not the signal's: the input filter may
            // already have corrected the edit.
            const QString text = box->text();
            const qsizetype at = text.indexOf(kPlaceholderText);
            if (at < 0)
                return;
            const int cursor = box->cursorPosition();
            box->setText(QString(text).remove(at, 1));
            box->setCursorPosition(cursor > at ? cursor - 1 : cursor);
            box->setModified(true);
        });
    }
    box->setProperty(kPlaceholder, true);
}

QComboBox *MakeLineList(const QString &name, QWidget *parent)
{
    QStringList lines;
    for (int line = 1; line <= 25; ++line)
        lines << QString::number(line);
    QComboBox *list = MakeList(name, QStringLiteral("Line"), lines, parent);
    list->setMaxVisibleItems(25);
    return list;
}

void ShowStoredItem(QComboBox *list, const QString &text)
{
    const int extra = list->findData(true, Qt::UserRole + 1);
    if (extra >= 0)
        list->removeItem(extra);
    int at = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at < 0) {
        list->addItem(text);
        at = list->count() - 1;
        list->setItemData(at, true, Qt::UserRole + 1);
    }
    list->setCurrentIndex(at);
}

bool StoredItemShown(const QComboBox *list)
{
    return list->currentIndex() >= 0 && list->currentData(Qt::UserRole + 1).toBool();
}

void FillPortList(QComboBox *list, const clsKYR &kyr, const QList<int> &streams, int chosen)
{
    list->clear();
    list->addItem(QStringLiteral("None"), -1);
    int selected = 0;
    for (int stream : streams) {
        list->addItem(kyr.Stream2Name(stream), stream);
        if (stream == chosen)
            selected = list->count() - 1;
    }
    list->setCurrentIndex(selected);
}

int PortAt(const QComboBox *list, int index)
{
    if (index < 0 || index >= list->count())
        return -1;
    bool ok = false;
    const int stream = list->itemData(index).toInt(&ok);
    return ok ? stream : -1;
}

void ShowSerialCaption(QPushButton *button, const clsKYR &kyr, int stream)
{
    const QString settings = SerialCaption(kyr, stream);
    SetCaption(button, settings, QStringLiteral("Configure ") + settings);
}

void CheckOption(QAbstractButton *option, bool checked)
{
    if (checked || !option->isChecked()) {
        option->setChecked(checked);
        return;
    }
    // Qt keeps one option of a group checked; for a moment this one is
    // outside the group.
    const bool exclusive = option->autoExclusive();
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(exclusive);
}

void ShowCheck(QCheckBox *box, int shown)
{
    if (shown < 0) {
        box->setCheckState(Qt::PartiallyChecked);
        return;
    }
    box->setTristate(false);
    box->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
}

void ShowCaution(Messages &messages, const QString &text)
{
    if (!text.isEmpty())
        messages.inform(QStringLiteral("Caution"), text);
}
