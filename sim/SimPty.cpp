#include "SimPty.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

SimPty::SimPty(QObject *parent) : QObject(parent) {}

SimPty::~SimPty()
{
    readNotifier.reset();
    writeNotifier.reset();
    if (slave >= 0)
        ::close(slave);
    if (master >= 0)
        ::close(master);
}

bool SimPty::open(QString &error)
{
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        error = QStringLiteral("cannot create a pseudo-terminal: ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const char *name = ::ptsname(master);
    if (!name) {
        error = QStringLiteral("cannot name the pseudo-terminal: ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    slavePath = QString::fromLocal8Bit(name);
    slave = ::open(name, O_RDWR | O_NOCTTY);
    termios tio{};
    if (slave < 0 || ::tcgetattr(slave, &tio) != 0) {
        error = slavePath + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    if (::tcsetattr(slave, TCSANOW, &tio) != 0) {
        error = slavePath + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    readNotifier = std::make_unique<QSocketNotifier>(master, QSocketNotifier::Read);
    connect(readNotifier.get(), &QSocketNotifier::activated, this, &SimPty::readMaster);
    writeNotifier = std::make_unique<QSocketNotifier>(master, QSocketNotifier::Write);
    writeNotifier->setEnabled(false);
    connect(writeNotifier.get(), &QSocketNotifier::activated, this, &SimPty::flushPending);
    return true;
}

void SimPty::readMaster()
{
    char buffer[4096];
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n > 0)
        emit received(QByteArray(buffer, qsizetype(n)));
}

void SimPty::write(const QByteArray &bytes)
{
    pending += bytes;
    flushPending();
}

void SimPty::flushPending()
{
    while (!pending.isEmpty()) {
        const ssize_t n = ::write(master, pending.constData(), size_t(pending.size()));
        if (n > 0) {
            pending.remove(0, qsizetype(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // the terminal's queue is full: wait until it takes more
    }
    if (writeNotifier)
        writeNotifier->setEnabled(!pending.isEmpty());
}
