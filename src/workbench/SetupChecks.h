#pragma once

#include "clsKYR.h"

#include <QStringList>

// Set-ups that cannot work, found before a save. Each rule looks at the
// configuration alone and says in one sentence what it found; cautions that
// depend on the video at the unit's input are not findings.
namespace SetupChecks {

// Every rule in turn; an empty list when nothing was found.
QStringList Run(const clsKYR &kyr);

// Two modules of one program inserting on the same line of the same field
// and channel with the same DID and SDID.
QStringList SameLine(const clsKYR &kyr);
// A module inserting on a line the video its program requests does not carry.
QStringList LineNotInVideo(const clsKYR &kyr);
// A module inserting on no line at all.
QStringList NoLine(const clsKYR &kyr);
// A requested video format the encoder does not know.
QStringList UnknownVideo(const clsKYR &kyr);
// A caption port whose service mapping feeds no output.
QStringList CaptionFeedsNothing(const clsKYR &kyr);
// A broadcast address that is neither the network's nor 255.255.255.255.
QStringList BroadcastOutsideNetwork(const clsKYR &kyr);
// LAN ports in use twice, or no TCP port, or the setup port.
QStringList LanPorts(const clsKYR &kyr);
// A module on a program the encoder does not have.
QStringList ProgramMissing(const clsKYR &kyr);
// More modules of a type than the encoder takes.
QStringList ModuleLimits(const clsKYR &kyr);
// A bridge that is incomplete, joins a program to itself, or that the
// encoder's revision does not take.
QStringList Bridge(const clsKYR &kyr);

// Parses a dotted IPv4 address; false for anything else.
bool ParseAddress(const QString &text, quint32 &address);

} // namespace SetupChecks
