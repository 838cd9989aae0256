#pragma once

// What the fuzz targets over the encoder's listings share: the input format
// (Latin-1 text cut into listings at the byte 0x1E; listing k is the reply
// for the k-th section of a retrieval, "KYR", "PGM1", ..., "OUTBRIDGE1"),
// and the named set- and get-parameter operations. Each target defines its
// CHECK on FUZZ_CHECK with its own name.
#include "FuzzCheck.h"
#include "clsKYR.h"

#include <QString>

inline constexpr char kSeparator = '\x1e';
inline constexpr Section kSections[] = {Section::Kyr, Section::Pgm, Section::Cap, Section::Str};

inline void listingSection(int k, Section &section, int &slot)
{
    section = k == 0 ? Section::Kyr : k <= 2 ? Section::Pgm : k <= 4 ? Section::Cap : Section::Str;
    slot = k == 0 ? 0 : k <= 2 ? k - 1 : k <= 4 ? k - 3 : k - 5;
}

inline QString setByName(clsKYR &kyr, Section section, int slot, const QString &line)
{
    switch (section) {
    case Section::Kyr:
        return kyr.SetKYRParam(line);
    case Section::Pgm:
        return kyr.SetPGMParam(slot, line);
    case Section::Cap:
        return kyr.SetCAPPGMParam(slot, line);
    case Section::Str:
        break;
    }
    return kyr.SetStreamParam(slot, line);
}

inline QString getByName(const clsKYR &kyr, Section section, int slot, const QString &name)
{
    switch (section) {
    case Section::Kyr:
        return kyr.GetKYRParam(name);
    case Section::Pgm:
        return kyr.GetPGMParam(slot, name);
    case Section::Cap:
        return kyr.GetCAPPGMParam(slot, name);
    case Section::Str:
        break;
    }
    return kyr.GetStreamParam(slot, name);
}
