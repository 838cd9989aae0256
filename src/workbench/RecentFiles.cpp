#include "RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString kKey = QStringLiteral("Settings/Recent");

QString absolute(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

QStringList RecentFiles::files() const
{
    if (!store)
        return {};
    QStringList files;
    // A hand-edited store may hold anything: empty entries and repeats go.
    for (const QString &file : store->value(kKey).toStringList()) {
        if (!file.isEmpty() && !files.contains(file) && files.size() < Max)
            files << file;
    }
    return files;
}

void RecentFiles::add(const QString &path)
{
    QStringList list = files();
    list.removeAll(absolute(path));
    list.prepend(absolute(path));
    keep(list.mid(0, Max));
}

void RecentFiles::remove(const QString &path)
{
    QStringList list = files();
    list.removeAll(path);
    list.removeAll(absolute(path));
    keep(list);
}

void RecentFiles::keep(const QStringList &list)
{
    if (!store)
        return;
    store->setValue(kKey, list);
    store->sync();
}
