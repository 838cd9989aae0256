#include "ConversationLog.h"

#include "Clock.h"
#include "Conversation.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kPrefix = QStringLiteral("conversation-");
const QString kSuffix = QStringLiteral(".log");
constexpr int kSilenceMs = 1000;
// The last thing a session that reaches the size limit writes. Room for it
// (and for the line end that closes an open line) is kept free all along.
const QByteArray kLimitNotice =
    QByteArrayLiteral("\n# The log has reached its size limit; the rest of this session is not written.\n");

QByteArray escaped(char byte)
{
    switch (byte) {
    case '\r':
        return QByteArrayLiteral("\\r");
    case '\n':
        return QByteArrayLiteral("\\n");
    case '\t':
        return QByteArrayLiteral("\\t");
    case '\\':
        return QByteArrayLiteral("\\\\");
    default:
        break;
    }
    const auto code = static_cast<unsigned char>(byte);
    if (code >= 0x20 && code < 0x7f)
        return QByteArray(1, byte);
    return QByteArrayLiteral("\\x") + QByteArray::number(code, 16).rightJustified(2, '0');
}

} // namespace

ConversationLog::ConversationLog(const Clock &clock, QObject *parent) : QObject(parent), clock(clock) {}

bool ConversationLog::openSession(const QString &folder, const QString &link)
{
    close();
    if (!QDir().mkpath(folder)) {
        error = tr("the folder %1 cannot be made").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    // Room for this session; the limits are kept again when it ends.
    prune(folder, limit.sessions - 1);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    const QString base = QDir(folder).filePath(kPrefix + stamp);
    // Two sessions started within the same millisecond get a file each.
    for (int n = 1; n < 100; ++n) {
        const QString path = n == 1 ? base + kSuffix : base + u'-' + QString::number(n) + kSuffix;
        if (!QFileInfo::exists(path)) {
            if (!start(path, QIODevice::NewOnly, link))
                return false;
            sessionFolder = folder;
            return true;
        }
    }
    error = tr("no free file name in %1").arg(QDir::toNativeSeparators(folder));
    return false;
}

bool ConversationLog::openFile(const QString &path, const QString &link)
{
    close();
    return start(path, QIODevice::Append, link);
}

bool ConversationLog::start(const QString &path, QIODevice::OpenMode mode, const QString &link)
{
    file.setFileName(path);
    if (!file.open(mode | QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    error.clear();
    sessionFolder.clear();
    written = 0;
    lineDirection = 0;
    lastPiece = QTime();
    put(QStringLiteral("# KYR7Set " KYR7_VERSION " conversation, %1, %2\n")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), link)
            .toUtf8());
    return file.isOpen();
}

void ConversationLog::follow(const Conversation &conversation)
{
    connect(&conversation, &Conversation::bytesSent, this, &ConversationLog::sent);
    connect(&conversation, &Conversation::bytesReceived, this, &ConversationLog::received);
}

void ConversationLog::close()
{
    if (file.isOpen() && lineDirection)
        put("\n");
    const QString path = file.fileName();
    file.close();
    lineDirection = 0;
    if (!sessionFolder.isEmpty())
        prune(sessionFolder, limit.sessions, path);
    sessionFolder.clear();
}

QStringList ConversationLog::SessionFiles(const QString &folder)
{
    // The time stamp in the names orders them.
    return QDir(folder).entryList({kPrefix + u'*' + kSuffix}, QDir::Files, QDir::Name | QDir::Reversed);
}

void ConversationLog::prune(const QString &folder, int sessions, const QString &current) const
{
    const QDir dir(folder);
    // The session just ended is kept whatever its size: the monitor has named
    // it to the operator. The others are kept, newest first, while they fit
    // beside it; from the first one that does not, they go.
    qint64 total = 0;
    int kept = 0;
    if (!current.isEmpty() && QFileInfo::exists(current)) {
        total = QFileInfo(current).size();
        kept = 1;
    }
    bool full = false;
    for (const QString &name : SessionFiles(folder)) {
        const QString path = dir.filePath(name);
        if (!current.isEmpty() && QFileInfo(path) == QFileInfo(current))
            continue;
        const qint64 size = QFileInfo(path).size();
        full = full || kept >= sessions || total + size > limit.bytes;
        if (full) {
            QFile::remove(path);
            continue;
        }
        total += size;
        ++kept;
    }
}

void ConversationLog::write(char direction, const QByteArray &bytes)
{
    if (!file.isOpen() || bytes.isEmpty())
        return;
    const QTime now = clock.now();
    const bool lineOpen = lineDirection != 0;
    QByteArray text;
    text.reserve(bytes.size() + 32);
    const bool silence = lastPiece.isValid() && (lastPiece.msecsTo(now) >= kSilenceMs || lastPiece > now);
    if (lineDirection && (lineDirection != direction || silence)) {
        text += '\n';
        lineDirection = 0;
    }
    lastPiece = now;
    const QByteArray head = now.toString(QStringLiteral("hh:mm:ss.zzz")).toLatin1() +
                            (direction == 'T' ? QByteArrayLiteral(" TX ") : QByteArrayLiteral(" RX "));
    for (const char byte : bytes) {
        if (!lineDirection) {
            text += head;
            lineDirection = direction;
        }
        text += escaped(byte);
        if (byte == '\n') {
            text += '\n';
            lineDirection = 0;
        }
    }
    if (written + text.size() + kLimitNotice.size() > limit.bytes) {
        put(lineOpen ? kLimitNotice : kLimitNotice.mid(1));
        file.close();
        lineDirection = 0;
        return;
    }
    put(text);
}

void ConversationLog::note(const QString &text)
{
    if (!file.isOpen())
        return;
    QByteArray line = lineDirection ? QByteArrayLiteral("\n") : QByteArray();
    const bool lineOpen = lineDirection != 0;
    lineDirection = 0;
    line += clock.now().toString(QStringLiteral("hh:mm:ss.zzz")).toLatin1() + " # ";
    for (const char byte : text.toLatin1())
        line += escaped(byte);
    line += '\n';
    if (written + line.size() + kLimitNotice.size() > limit.bytes) {
        put(lineOpen ? kLimitNotice : kLimitNotice.mid(1));
        file.close();
        return;
    }
    put(line);
}

void ConversationLog::put(const QByteArray &text)
{
    if (file.write(text) != text.size() || !file.flush()) {
        error = file.errorString();
        file.close();
        lineDirection = 0;
        return;
    }
    written += text.size();
}
