#pragma once

#include "ConfigFile.h"
#include "clsKYR.h"

#include <memory>

// A configuration to compare, report or apply: the whole of one an encoder
// sent, or the settings a file gives (a file may give only some).
class Configuration
{
public:
    static Configuration FromEncoder(const clsKYR &kyr);
    // The file's settings over a fresh model.
    static Configuration FromFile(const ConfigFile &file);

    bool gives(Section section, int slot, int row) const;
    // How many rows it gives, of AllRows().
    int given() const;
    static int AllRows();

    // The settings of this configuration taken over an encoder's: the
    // encoder keeps its identity and its detected video formats (facts
    // about the unit), and its network settings unless withNetwork.
    clsKYR over(const clsKYR &encoder, bool withNetwork) const;

    // Rows that describe the unit rather than set it up: the identity of
    // "KYR" and each program's detected video format. No save sends them.
    static bool IsUnitFact(Section section, int row);
    static bool IsNetwork(Section section, int row);

    clsKYR kyr;

private:
    std::shared_ptr<const ConfigFile> file; // the file's rows only; none: every row
};
