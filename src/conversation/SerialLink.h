#pragma once

#include "Link.h"

#include <QSerialPort>

// A link over a serial line, direct to the encoder or to a modem: 8 data
// bits, no parity, 1 stop bit, DTR and RTS on.
class SerialLink : public Link
{
    Q_OBJECT
public:
    // device: the system's name of the port; name: how the monitor calls it
    // ("COM3", or a device path).
    SerialLink(const QString &device, const QString &name, qint32 baud, QObject *parent = nullptr);
    ~SerialLink() override;

    // The port number of a name such as "COM3": the numeric value from its
    // fourth character on (0 when there is none).
    static int PortNumber(const QString &portName);
    // How the monitor names a port: "COM" + its number, or a device path
    // (a name starting with "/") as given.
    static QString DisplayName(const QString &portName);
    // The system's device for a port name: "COMn" is /dev/ttyS(n-1) on Linux
    // and "COMn" on Windows; a device path is used as given. Empty when the
    // name gives no port.
    static QString DeviceFor(const QString &portName);

    void open() override;
    void send(const QByteArray &bytes) override;
    void close() override;
    bool isOpen() const override;

    QString device() const { return deviceName; }
    qint32 baud() const { return baudRate; }

private:
    void onError(QSerialPort::SerialPortError error);

    QString deviceName;
    QString displayName;
    qint32 baudRate;
    bool opening = false;
    QSerialPort port;
};
