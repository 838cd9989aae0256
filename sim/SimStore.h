#pragma once

#include "clsKYR.h"

#include <QString>

#include <map>
#include <tuple>
#include <vector>

// The one configuration of the simulated encoder, shared by every session:
// the working copy that parameter lines change and the saved copy that
// SAVE and DEFAULTS store (and write to the state file, when there is one).
//
// A session that ends without SAVE or EXIT (its link dropped) leaves no
// unsaved change behind: an encoder that loses the link before storing
// holds what it had stored. The changes since the last SAVE, DEFAULTS or
// EXIT are kept per setting as a stack of the sessions that made them; the
// end of a session takes its changes out of every stack, so a setting shows
// the latest change of a session still there, or what was there before.
class SimStore
{
public:
    explicit SimStore(const clsKYR &initial, const QString &statePath = {});

    clsKYR &working() { return work; }
    const clsKYR &workingCopy() const { return work; }

    // A session begins; the number names it in set() and endSession().
    int openSession() { return ++lastSession; }
    // A parameter line of a session, applied to the working copy as the
    // model's set-parameter operation does; its answer.
    QString set(int session, Section section, int slot, const QString &line);
    // The session ended: its changes not stored or thrown away since are taken out.
    void endSession(int session);
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

    using Row = std::tuple<Section, int, int>;
    struct Change
    {
        int session = 0;
        KyrValue before; // what the setting held before this change
    };

    clsKYR work;
    clsKYR stored;
    QString state;
    QString error;
    int lastSession = 0;
    std::map<Row, std::vector<Change>> changes; // per setting, the latest last
};
