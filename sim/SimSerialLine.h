#pragma once

#include "SimSessionOptions.h"

#include <QObject>
#include <QSerialPort>

class SimPty;
class SimSession;
class SimStore;
class SimTranscript;

// The encoder on a serial line: a real device, or a pseudo-terminal it
// creates. One session for the life of the line; a session fault that
// would close a TCP connection logs the line out (or drops the modem's carrier).
class SimSerialLine : public QObject
{
    Q_OBJECT
public:
    SimSerialLine(SimStore &store, SimTranscript &transcript, const SimSessionOptions &options,
                  QObject *parent = nullptr);

    bool openDevice(const QString &device, int baud, QString &error);
    bool openPty(QString &error);
    QString path() const { return linePath; }

private:
    void write(const QByteArray &bytes);

    QSerialPort *port = nullptr;
    SimPty *pty = nullptr;
    SimSession *session = nullptr;
    QString linePath;
};
