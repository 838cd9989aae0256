#pragma once

#include "StepTimer.h"

// A step timer that never fires by itself: tests call fire() to tick it.
class ManualStepTimer : public StepTimer
{
public:
    using StepTimer::StepTimer;
    void setInterval(int ms) override { ms_ = ms; }
    int interval() const override { return ms_; }
    void start() override { active = ms_ > 0; }
    void stop() override { active = false; }
    bool isActive() const override { return active; }
    // Ticks as the real timer would when the interval has passed; does
    // nothing while stopped.
    bool fire()
    {
        if (!active)
            return false;
        emit timeout();
        return true;
    }

private:
    int ms_ = 0;
    bool active = false;
};
