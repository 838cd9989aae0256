#pragma once

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

// The controlling side of a pseudo-terminal pair; the program under test
// opens slavePath() as its serial port.
class PseudoTerminal
{
public:
    PseudoTerminal()
    {
        fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (fd < 0 || grantpt(fd) != 0 || unlockpt(fd) != 0)
            return;
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        path = QString::fromLocal8Bit(ptsname(fd));
    }
    ~PseudoTerminal()
    {
        if (fd >= 0)
            ::close(fd);
    }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool ok() const { return !path.isEmpty(); }
    QString slavePath() const { return path; }

    // Everything the other side wrote so far (kept across calls).
    QByteArray received()
    {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
            got.append(buffer, n);
        return got;
    }
    bool write(const QByteArray &bytes) { return ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size(); }

private:
    int fd = -1;
    QString path;
    QByteArray got;
};
