#pragma once

#include "FileChooser.h"

#include <QStringList>
#include <QtTest/QTest>

// The file chooser for tests: gives the paths queued, in order ("" for a
// cancelled choice), and records each title asked with. A choice nobody
// queued a path for fails the test (and is cancelled).
class ScriptedFiles : public FileChooser
{
public:
    QString openFile(QWidget *, const QString &title, const QString &, const QStringList &) override
    {
        return next(title);
    }
    QString saveFile(QWidget *, const QString &title, const QString &suggested, const QStringList &) override
    {
        suggestions << suggested;
        return next(title);
    }

    void queue(const QString &path) { paths << path; }

    QStringList paths;
    QStringList asked;
    QStringList suggestions;

private:
    QString next(const QString &title)
    {
        asked << title;
        if (paths.isEmpty()) {
            QTest::qFail(qPrintable("unexpected file choice: " + title), __FILE__, __LINE__);
            return {};
        }
        return paths.takeFirst();
    }
};
