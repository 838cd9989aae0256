#include "Controls.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

QPushButton *MakeButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    button->setAutoDefault(false);
    return button;
}

QComboBox *MakeList(const QString &name, const QString &label, const QStringList &items, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(name);
    list->setAccessibleName(label);
    list->setEditable(false);
    list->addItems(items);
    return list;
}

QLineEdit *MakeEdit(const QString &name, const QString &label, QWidget *parent, int maxLength)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(label);
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    return box;
}

QHBoxLayout *MakeButtonRow(std::initializer_list<QPushButton *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    bool first = true;
    for (QPushButton *button : buttons) {
        button->setDefault(first);
        first = false;
        row->addWidget(button);
    }
    return row;
}
