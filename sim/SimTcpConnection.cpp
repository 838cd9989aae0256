#include "SimTcpConnection.h"

#include "SimSession.h"

#include <QTcpSocket>

SimTcpConnection::SimTcpConnection(QTcpSocket *s, SimStore &store, SimTranscript &transcript,
                                   const SimSessionOptions &options, QObject *parent)
    : QObject(parent), socket(s)
{
    socket->setParent(this);
    // Small replies and pieces must leave at once, not wait for the peer's acknowledgement.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Qt takes no more from the kernel once this much waits unread here.
    socket->setReadBufferSize(ReadBuffer);
    session = new SimSession(
        store, transcript, options,
        [this](const QByteArray &bytes) {
            socket->write(bytes);
            socket->flush();
        },
        this);
    // Writing a reply can emit bytesWritten() and disconnected() at once:
    // both act on a later turn, never inside the batch being answered.
    connect(socket, &QTcpSocket::readyRead, this, &SimTcpConnection::scheduleBatch);
    connect(socket, &QTcpSocket::bytesWritten, this, &SimTcpConnection::scheduleBatch);
    connect(session, &SimSession::closeRequested, socket, [this] { socket->disconnectFromHost(); });
    connect(socket, &QTcpSocket::disconnected, this, &SimTcpConnection::onDisconnected, Qt::QueuedConnection);
    // A connection that waited to be accepted may hold bytes whose readyRead
    // went by, or may have gone already.
    if (socket->state() != QAbstractSocket::ConnectedState)
        QMetaObject::invokeMethod(this, &SimTcpConnection::onDisconnected, Qt::QueuedConnection);
    else
        scheduleBatch();
}

void SimTcpConnection::scheduleBatch()
{
    if (batchQueued || socket->bytesAvailable() == 0)
        return;
    batchQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            batchQueued = false;
            readBatch();
        },
        Qt::QueuedConnection);
}

void SimTcpConnection::readBatch()
{
    if (socket->bytesToWrite() + session->unsentBytes() > MaxUnsent)
        return; // bytesWritten() comes back here as the client reads
    if (const QByteArray bytes = socket->read(Batch); !bytes.isEmpty())
        session->receive(bytes);
    scheduleBatch();
}

void SimTcpConnection::onDisconnected()
{
    if (finishedOnce)
        return;
    finishedOnce = true;
    // What the client sent before it went is still taken (and transcribed).
    while (socket->bytesAvailable() > 0)
        session->receive(socket->read(Batch));
    emit finished();
    deleteLater();
}
