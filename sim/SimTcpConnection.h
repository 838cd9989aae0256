#pragma once

#include "SimSessionOptions.h"

#include <QObject>

class QTcpSocket;
class SimSession;
class SimStore;
class SimTranscript;

// One TCP connection and its session. Input is taken in bounded batches, a
// turn of the event loop each, so that one busy client cannot hold up the
// others; while the replies not yet written exceed MaxUnsent (a client that
// sends and never reads), nothing more is read and TCP holds the client back.
class SimTcpConnection : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 Batch = 1024;
    static constexpr qint64 MaxUnsent = 1024 * 1024;
    static constexpr qint64 ReadBuffer = 64 * 1024;

    SimTcpConnection(QTcpSocket *socket, SimStore &store, SimTranscript &transcript, const SimSessionOptions &options,
                     QObject *parent = nullptr);

signals:
    // The connection has closed; the object deletes itself.
    void finished();

private:
    void scheduleBatch();
    void readBatch();
    void onDisconnected();

    QTcpSocket *socket;
    SimSession *session;
    bool batchQueued = false;
    bool finishedOnce = false;
};
