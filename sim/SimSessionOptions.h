#pragma once

#include "SimEncoder.h"
#include "SimReplyPacer.h"

// What every session of one simulator run shares: how it starts, its faults.
struct SimSessionOptions
{
    SimEncoder::Start start = SimEncoder::Start::Command;
    SimReplyPacer::Faults faults;
    int connectDelayMs = 500;
    int floodBytes = 0;
    int closeAfter = 0;       // end the session after this many lines (0: never)
    bool closeOnExit = false; // end the session after SAVE, DEFAULTS and EXIT
    int closeIdleMs = 0;      // end the session after this long without input (0: never)
    int maxSessions = 64;     // TCP sessions at once
};
