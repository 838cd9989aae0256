#include "SimStore.h"

#include "ConfigFile.h"
#include "SimDefaults.h"

#include <cstdio>

SimStore::SimStore(const clsKYR &initial, const QString &statePath) : work(initial), stored(initial), state(statePath)
{
}

QString SimStore::set(int session, Section section, int slot, const QString &line)
{
    // The row the set-parameter operation will find: the name before the "=".
    const qsizetype equals = line.indexOf(u'=');
    const int row = equals >= 0 ? clsKYR::FindRow(section, line.left(equals)) : -1;
    const KyrValue before = row >= 0 ? work.value(section, slot, row) : KyrValue();
    const QString answer = work.SetParam(section, slot, line);
    if (row >= 0) {
        auto &mine = changes[session];
        const auto [at, first] = mine.try_emplace({section, slot, row}, Change{before, {}});
        at->second.after = work.text(section, slot, row);
    }
    return answer;
}

void SimStore::endSession(int session)
{
    const auto mine = changes.find(session);
    if (mine == changes.end())
        return;
    for (const auto &[row, change] : mine->second) {
        const auto &[section, slot, index] = row;
        if (work.text(section, slot, index) == change.after)
            work.setValue(section, slot, index, change.before);
    }
    changes.erase(mine);
}

bool SimStore::Save()
{
    changes.clear();
    stored = work;
    return writeState();
}

bool SimStore::Defaults()
{
    changes.clear();
    SimDefaults::ResetToFactory(work);
    stored = work;
    return writeState();
}

void SimStore::Revert()
{
    changes.clear();
    work = stored;
}

bool SimStore::writeState()
{
    error.clear();
    if (state.isEmpty())
        return true;
    if (ConfigFile::Write(state, stored, error))
        return true;
    std::fprintf(stderr, "kyr7sim: %s\n", qPrintable(error));
    return false;
}
