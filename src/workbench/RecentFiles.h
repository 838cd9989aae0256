#pragma once

#include <QStringList>

class QSettings;

// The configuration files opened or saved last, newest first, kept in the
// settings store under "Recent" beside the connection settings.
class RecentFiles
{
public:
    static constexpr int Max = 8;

    explicit RecentFiles(QSettings *store) : store(store) {}

    QStringList files() const;
    // Puts a file first (once), dropping the oldest beyond Max.
    void add(const QString &path);
    void remove(const QString &path);

private:
    void keep(const QStringList &files);

    QSettings *store;
};
