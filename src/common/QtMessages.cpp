#include "QtMessages.h"

#include <QMessageBox>
#include <QPushButton>

void QtMessages::inform(const QString &title, const QString &text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

bool QtMessages::ask(const QString &title, const QString &text)
{
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

int QtMessages::choose(const QString &title, const QString &text, const QStringList &buttons, int defaultButton)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    QList<QPushButton *> made;
    for (const QString &caption : buttons)
        made << box.addButton(caption, QMessageBox::ActionRole);
    if (defaultButton >= 0 && defaultButton < made.size()) {
        box.setDefaultButton(made[defaultButton]);
        box.setEscapeButton(made[defaultButton]);
    }
    box.exec();
    const int chosen = int(made.indexOf(qobject_cast<QPushButton *>(box.clickedButton())));
    return chosen >= 0 ? chosen : defaultButton;
}
