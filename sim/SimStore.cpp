#include "SimStore.h"

#include "ConfigFile.h"
#include "SimDefaults.h"

#include <cstdio>

SimStore::SimStore(const clsKYR &initial, const QString &statePath) : work(initial), stored(initial), state(statePath)
{
}

bool SimStore::Save()
{
    stored = work;
    return writeState();
}

bool SimStore::Defaults()
{
    SimDefaults::ResetToFactory(work);
    stored = work;
    return writeState();
}

void SimStore::Revert()
{
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
