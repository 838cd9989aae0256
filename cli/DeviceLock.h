#pragma once

#include <QLockFile>
#include <QString>

// One conversation per device, also across kyr7ctl processes: several
// Ansible hosts, or two commands started at once, that name one unit take
// turns instead of mixing their commands on it. A lock file per device in
// the user's runtime folder (or the temporary folder); a lock whose process
// has gone is taken over.
class DeviceLock
{
public:
    // key: what Target::key() gives, "tcp:HOST:PORT" or "tty:DEVICE".
    explicit DeviceLock(const QString &key);

    // True when this process holds the device now; false while another does.
    bool tryTake();
    void release();
    // The process that holds the device: "kyr7ctl (process 1234)".
    QString holder() const;

    static QString PathFor(const QString &key);

private:
    QLockFile file;
};
