#include "SerialLink.h"

#include "KyrValue.h"

#include <cmath>

SerialLink::SerialLink(const QString &device, const QString &name, qint32 baud, QObject *parent)
    : Link(parent), deviceName(device), displayName(name), baudRate(baud), port(this)
{
    connect(&port, &QSerialPort::readyRead, this, [this] {
        const QByteArray bytes = port.readAll();
        if (!bytes.isEmpty())
            emit dataReceived(bytes);
    });
    connect(&port, &QSerialPort::errorOccurred, this, &SerialLink::onError);
}

SerialLink::~SerialLink()
{
    port.disconnect(this);
    close();
}

int SerialLink::PortNumber(const QString &portName)
{
    const double n = KyrValue::readDecimal(QStringView(portName).mid(qMin<qsizetype>(3, portName.size())));
    if (!(n >= 0) || n > 1e6)
        return 0;
    return int(std::floor(n));
}

QString SerialLink::DisplayName(const QString &portName)
{
    if (portName.startsWith(QLatin1Char('/')))
        return portName;
    return QStringLiteral("COM") + QString::number(PortNumber(portName));
}

QString SerialLink::DeviceFor(const QString &portName)
{
    if (portName.startsWith(QLatin1Char('/')))
        return portName;
    const int n = PortNumber(portName);
    if (n < 1)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM") + QString::number(n);
#else
    return QStringLiteral("/dev/ttyS") + QString::number(n - 1);
#endif
}

void SerialLink::open()
{
    const auto notAvailable = [this] { emit errorOccurred(displayName + QStringLiteral(" is not available")); };
    if (deviceName.isEmpty()) {
        notAvailable();
        return;
    }
    opening = true;
    port.setPortName(deviceName);
    bool ok = port.setBaudRate(baudRate) && port.setDataBits(QSerialPort::Data8) &&
              port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::OneStop) &&
              port.setFlowControl(QSerialPort::NoFlowControl);
    ok = ok && port.open(QIODevice::ReadWrite);
    if (ok) {
        // A pseudo-terminal refuses the modem lines; the link works without them.
        port.setDataTerminalReady(true);
        port.setRequestToSend(true);
        port.clearError();
    }
    opening = false;
    if (!ok)
        notAvailable();
}

void SerialLink::send(const QByteArray &bytes)
{
    if (port.isOpen()) {
        port.write(bytes);
        port.flush();
    }
}

void SerialLink::close()
{
    if (port.isOpen())
        port.close();
}

bool SerialLink::isOpen() const
{
    return port.isOpen();
}

void SerialLink::onError(QSerialPort::SerialPortError error)
{
    if (opening || error == QSerialPort::NoError)
        return;
    // The port went away (a USB adapter pulled out): say so once and stop.
    if (error == QSerialPort::ResourceError && port.isOpen()) {
        const QString text = port.errorString();
        port.close();
        emit errorOccurred(displayName + QStringLiteral(" Error: ") + text);
    }
}
