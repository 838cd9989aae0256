#pragma once

#include "Clock.h"

// A wall clock that shows whatever time the test sets.
class FixedClock : public Clock
{
public:
    explicit FixedClock(QTime t = QTime(13, 5, 9)) : time(t) {}
    QTime now() const override { return time; }
    QTime time;
};
