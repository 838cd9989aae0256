#include "ProgressDisplay.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

void terminalSize(int &rows, int &columns)
{
    rows = 24;
    columns = 80;
#ifdef Q_OS_WIN
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info)) {
        rows = info.srWindow.Bottom - info.srWindow.Top + 1;
        columns = info.srWindow.Right - info.srWindow.Left + 1;
    }
#else
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) {
        rows = size.ws_row;
        columns = size.ws_col;
    }
#endif
}

bool errorIsTerminal()
{
#ifdef Q_OS_WIN
    return ::_isatty(::_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) == 1;
#endif
}

} // namespace

ProgressDisplay::ProgressDisplay(std::function<QList<Line>()> lines, QObject *parent)
    : QObject(parent), lines(std::move(lines)), enabled(Wanted())
{
    timer.setSingleShot(true);
    timer.setInterval(100);
    connect(&timer, &QTimer::timeout, this, &ProgressDisplay::draw);
}

bool ProgressDisplay::Wanted()
{
    return errorIsTerminal();
}

void ProgressDisplay::update()
{
    if (!enabled || timer.isActive())
        return;
    // The first lines at once, so that even a short run shows them.
    if (drawn == 0)
        draw();
    timer.start();
}

void ProgressDisplay::draw()
{
    int rows = 0, columns = 0;
    terminalSize(rows, columns);
    const QList<Line> all = lines();
    // Lines above the top of the screen cannot be reached again: keep the
    // block within it, busy lines first, and count the rest.
    const qsizetype room = qMax(1, rows - 1);
    QList<bool> shown(all.size(), all.size() <= room);
    if (all.size() > room) {
        qsizetype left = room - 1;
        for (const bool busy : {true, false}) {
            for (qsizetype i = 0; i < all.size() && left > 0; ++i) {
                if (all[i].busy == busy && !shown[i]) {
                    shown[i] = true;
                    --left;
                }
            }
        }
    }
    QStringList text;
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (shown[i])
            text << all[i].text;
    }
    if (text.size() < all.size())
        text << QStringLiteral("... and %1 more").arg(all.size() - text.size());
    QByteArray out;
    if (drawn > 0)
        out += "\r\x1b[" + QByteArray::number(drawn) + "A";
    for (const QString &line : text)
        out += "\r" + line.left(qMax(1, columns - 1)).toLocal8Bit() + "\x1b[K\n";
    out += "\x1b[J";
    std::fwrite(out.constData(), 1, size_t(out.size()), stderr);
    std::fflush(stderr);
    drawn = int(text.size());
}

void ProgressDisplay::clear()
{
    timer.stop();
    if (!enabled || drawn == 0)
        return;
    const QByteArray out = "\r\x1b[" + QByteArray::number(drawn) + "A\x1b[J";
    std::fwrite(out.constData(), 1, size_t(out.size()), stderr);
    std::fflush(stderr);
    drawn = 0;
}
