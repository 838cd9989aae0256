#include "FileChooser.h"

#include <QFileDialog>

QString QtFileChooser::openFile(QWidget *parent, const QString &title, const QString &folder,
                                const QStringList &filters)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filters.join(QStringLiteral(";;")));
}

QString QtFileChooser::saveFile(QWidget *parent, const QString &title, const QString &suggested,
                                const QStringList &filters)
{
    return QFileDialog::getSaveFileName(parent, title, suggested, filters.join(QStringLiteral(";;")));
}
