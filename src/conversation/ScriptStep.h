#pragma once

#include <QString>
#include <QtGlobal>

// One step of a conversation with the encoder.
struct ScriptStep
{
    QString Command;      // sent when the step starts; "|" pauses; empty ends the script
    QString Reply;        // received while the step was current, up to its expected text
    qint32 Interval = 0;  // milliseconds to wait for Expect
    QString Expect;       // text that completes the step; empty for a pause
    qint16 MaxTries = 0;  // sendings allowed, the first included
    qint16 Tries = 0;     // time-outs counted
    QString Status;       // monitor line when the step is entered
};
