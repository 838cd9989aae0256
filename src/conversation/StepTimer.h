#pragma once

#include <QObject>
#include <QTimer>

// The step timer of a conversation. The program uses QtStepTimer; tests fire
// timeout() themselves instead of waiting.
class StepTimer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void start() = 0; // enable with the current interval
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

signals:
    void timeout();
};

class QtStepTimer : public StepTimer
{
    Q_OBJECT
public:
    explicit QtStepTimer(QObject *parent = nullptr) : StepTimer(parent)
    {
        connect(&timer, &QTimer::timeout, this, &StepTimer::timeout);
    }
    void setInterval(int ms) override { timer.setInterval(ms); }
    int interval() const override { return timer.interval(); }
    void start() override
    {
        // An interval of 0 keeps the timer off, as a disabled step timer.
        if (timer.interval() > 0)
            timer.start();
    }
    void stop() override { timer.stop(); }
    bool isActive() const override { return timer.isActive(); }

private:
    QTimer timer;
};
