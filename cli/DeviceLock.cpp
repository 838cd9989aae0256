#include "DeviceLock.h"

#include <QCryptographicHash>
#include <QDir>

DeviceLock::DeviceLock(const QString &key) : file(PathFor(key))
{
    // Stale only when its process has gone: a long save over a slow line
    // holds the device for as long as it takes.
    file.setStaleLockTime(0);
}

QString DeviceLock::PathFor(const QString &key)
{
    // Not QStandardPaths' runtime folder: without XDG_RUNTIME_DIR it warns on
    // standard error, which is kyr7ctl's output.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString folder = !runtime.isEmpty() && QDir(runtime).exists() ? runtime : QDir::tempPath();
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir(folder).filePath(QStringLiteral("kyr7ctl-device-%1.lock").arg(QString::fromLatin1(hash)));
}

bool DeviceLock::tryTake()
{
    return file.isLocked() || file.tryLock(0);
}

void DeviceLock::release()
{
    if (file.isLocked())
        file.unlock();
}

QString DeviceLock::holder() const
{
    qint64 pid = 0;
    QString host, application;
    if (!file.getLockInfo(&pid, &host, &application))
        return QStringLiteral("another kyr7ctl");
    return QStringLiteral("%1 (process %2)")
        .arg(application.isEmpty() ? QStringLiteral("kyr7ctl") : application)
        .arg(pid);
}
