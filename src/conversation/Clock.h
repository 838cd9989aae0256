#pragma once

#include <QTime>

// The wall clock of the monitor's time stamps; tests set their own time.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QTime now() const = 0;
};

class SystemClock : public Clock
{
public:
    QTime now() const override { return QTime::currentTime(); }
};
