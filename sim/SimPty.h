#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

#include <memory>

// A pseudo-terminal whose far end (the slave, a path like /dev/pts/7) a
// client opens as its serial port. Raw mode; the simulator keeps the slave
// open itself so that clients may open and close it at will.
class SimPty : public QObject
{
    Q_OBJECT
public:
    explicit SimPty(QObject *parent = nullptr);
    ~SimPty() override;

    bool open(QString &error);
    QString path() const { return slavePath; }
    void write(const QByteArray &bytes);

signals:
    void received(const QByteArray &bytes);

private:
    void readMaster();
    void flushPending();

    int master = -1;
    int slave = -1;
    QString slavePath;
    QByteArray pending;
    std::unique_ptr<QSocketNotifier> readNotifier;
    std::unique_ptr<QSocketNotifier> writeNotifier;
};
