#include "SimTranscript.h"

#include <cstdio>

bool SimTranscript::open(const QString &path, qint64 maxBytes, QString &error)
{
    if (path.isEmpty())
        return true;
    limit = maxBytes;
    file.setFileName(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        error = path + QStringLiteral(": cannot write: ") + file.errorString();
        return false;
    }
    written = file.size();
    return true;
}

void SimTranscript::append(const QByteArray &bytes)
{
    if (!file.isOpen())
        return;
    qint64 n = bytes.size();
    if (limit > 0 && written + n > limit) {
        n = qMax<qint64>(0, limit - written);
        std::fprintf(stderr, "kyr7sim: the transcript %s reached its limit of %lld bytes; nothing more is recorded\n",
                     qPrintable(file.fileName()), static_cast<long long>(limit));
        std::fflush(stderr);
    }
    file.write(bytes.constData(), n);
    file.flush();
    written += n;
    if (limit > 0 && written >= limit)
        file.close();
}
