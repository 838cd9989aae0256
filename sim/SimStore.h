#pragma once

#include "clsKYR.h"

#include <QString>

// The one configuration of the simulated encoder, shared by every session:
// the working copy that parameter lines change and the saved copy that
// SAVE and DEFAULTS store (and write to the state file, when there is one).
class SimStore
{
public:
    explicit SimStore(const clsKYR &initial, const QString &statePath = {});

    clsKYR &working() { return work; }
    const clsKYR &saved() const { return stored; }

    // SAVE: the working configuration becomes the saved one.
    bool Save();
    // DEFAULTS: factory settings, keeping identity, TCP/IP and detected video; stored at once.
    bool Defaults();
    // EXIT: unsaved changes are thrown away.
    void Revert();

    // Description of the last state file fault, empty when none.
    QString lastError() const { return error; }

private:
    bool writeState();

    clsKYR work;
    clsKYR stored;
    QString state;
    QString error;
};
