#include "SimSerialLine.h"

#include "SimPty.h"
#include "SimSession.h"

SimSerialLine::SimSerialLine(SimStore &store, SimTranscript &transcript, const SimSessionOptions &options,
                             QObject *parent)
    : QObject(parent)
{
    session = new SimSession(
        store, transcript, options, [this](const QByteArray &bytes) { write(bytes); }, this);
    connect(session, &SimSession::closeRequested, session, &SimSession::hangUp);
}

bool SimSerialLine::openDevice(const QString &device, int baud, QString &error)
{
    port = new QSerialPort(device, this);
    port->setBaudRate(baud);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    if (!port->open(QIODevice::ReadWrite)) {
        error = device + QStringLiteral(": ") + port->errorString();
        return false;
    }
    connect(port, &QSerialPort::readyRead, session, [this] { session->receive(port->readAll()); });
    linePath = device;
    return true;
}

bool SimSerialLine::openPty(QString &error)
{
    pty = new SimPty(this);
    if (!pty->open(error))
        return false;
    connect(pty, &SimPty::received, session, &SimSession::receive);
    linePath = pty->path();
    return true;
}

void SimSerialLine::write(const QByteArray &bytes)
{
    if (port)
        port->write(bytes);
    else if (pty)
        pty->write(bytes);
}
