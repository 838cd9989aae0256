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
    if (row >= 0) {
        std::vector<Change> &stack = changes[{section, slot, row}];
        // Changes one after another by the same session are one change.
        if (stack.empty() || stack.back().session != session)
            stack.push_back({session, work.value(section, slot, row)});
    }
    return work.SetParam(section, slot, line);
}

void SimStore::endSession(int session)
{
    for (auto it = changes.begin(); it != changes.end();) {
        std::vector<Change> &stack = it->second;
        for (size_t i = stack.size(); i-- > 0;) {
            if (stack[i].session != session)
                continue;
            if (i + 1 == stack.size()) {
                const auto &[section, slot, row] = it->first;
                work.setValue(section, slot, row, stack[i].before);
            } else {
                // The change made over this one now starts from what was there before it.
                stack[i + 1].before = stack[i].before;
            }
            stack.erase(stack.begin() + qsizetype(i));
        }
        it = stack.empty() ? changes.erase(it) : std::next(it);
    }
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
