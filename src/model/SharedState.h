#pragma once

#include <QtGlobal>

#include <array>

// Program-wide state that crosses dialogs. One instance, owned by the main
// window and passed by reference to the dialogs. Everything starts at 0 or
// false.
struct SharedState
{
    qint32 CurrentProgram = 0;  // program selected in the main window, 0 or 1
    qint32 CurrentStream = 0;   // stream of the module being configured, -1 for a new one
    std::array<std::array<qint16, 9>, 3> SlotStream{}; // stream shown in each module slot
    std::array<bool, 19> StreamInUse{};                // stream used by some module
    qint32 ConfigureStream = 0;                        // stream the serial port editor edits
    bool BridgeReconfigure = false; // bridging editor opened by a change of requested video
    bool PrimaryPortPresent = false;
    bool SecondaryPortPresent = false;
    bool XdsPortPresent = false;
    bool MappingCancelled = false;
    std::array<qint16, 5> Primary608Map{};
    std::array<qint16, 4> Primary708Map{};
    std::array<qint16, 4> Secondary608Map{};
    std::array<qint16, 4> Secondary708Map{};
    bool XdsPortEnabled = false;
    std::array<qint16, 5> Upstream608Map{};
    std::array<qint16, 4> Upstream708Map{};
    std::array<qint16, 6> UpstreamServiceMap{};
    qint32 LineSelectionMask = 0;
};
