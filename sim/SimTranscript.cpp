#include "SimTranscript.h"

bool SimTranscript::open(const QString &path, QString &error)
{
    if (path.isEmpty())
        return true;
    file.setFileName(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        error = path + QStringLiteral(": cannot write: ") + file.errorString();
        return false;
    }
    return true;
}

void SimTranscript::append(const QByteArray &bytes)
{
    if (!file.isOpen())
        return;
    file.write(bytes);
    file.flush();
}
