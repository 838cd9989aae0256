#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Where the operator picks a file to open or to save to. The program asks
// with QFileDialog; tests install one that gives the paths they queued.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // The chosen file, or empty text when the operator cancelled. filters
    // are QFileDialog's ("KYR7 configurations (*.kyr7 *.cfg)").
    virtual QString openFile(QWidget *parent, const QString &title, const QString &folder,
                             const QStringList &filters) = 0;
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &suggested,
                             const QStringList &filters) = 0;
};

class QtFileChooser : public FileChooser
{
public:
    QString openFile(QWidget *parent, const QString &title, const QString &folder, const QStringList &filters) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &suggested,
                     const QStringList &filters) override;
};
