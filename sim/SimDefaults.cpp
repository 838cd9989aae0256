#include "SimDefaults.h"

#include "clsKYR.h"

void SimDefaults::ApplyDefinitionDefaults(clsKYR &kyr)
{
    for (Section s : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str}) {
        const auto &defs = clsKYR::Definitions(s);
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            for (size_t row = 0; row < defs.size(); ++row)
                kyr.setText(s, slot, int(row), defs[row].Default);
        }
    }
}

void SimDefaults::ApplyDemoConfiguration(clsKYR &kyr)
{
    ApplyDefinitionDefaults(kyr);
    kyr.setSKYR(KyrRow::IpNum, QStringLiteral("192.168.0.10"));
    kyr.setSKYR(KyrRow::Broadcast, QStringLiteral("192.168.0.255"));
    kyr.setSKYR(KyrRow::Netmask, QStringLiteral("255.255.255.0"));
    kyr.setSKYR(KyrRow::Gateway, QStringLiteral("192.168.0.1"));
    kyr.setSKYR(KyrRow::DHCP, QStringLiteral("0"));

    // Program 1: HD 1080i 59.94 Hz; program 2: SD 625 line.
    kyr.setSPGM(0, PgmRow::VideoMode, QStringLiteral("8"));
    kyr.setSPGM(0, PgmRow::RequestedVideoMode, QStringLiteral("8"));
    kyr.setSPGM(1, PgmRow::VideoMode, QStringLiteral("3"));
    kyr.setSPGM(1, PgmRow::RequestedVideoMode, QStringLiteral("3"));

    for (int lan = StreamSlot::LAN1; lan <= StreamSlot::LAN8; ++lan)
        kyr.setSSTR(lan, StrRow::PortAddr, QString::number(2000 + lan - StreamSlot::LAN1));

    // Caption module on program 1: encoding from LAN1 (port 2000) into line 10, SMPTE 334 IDs.
    const int cap = StreamSlot::LAN1;
    kyr.setSSTR(cap, StrRow::StreamType, QStringLiteral("0x0010"));
    kyr.setSSTR(cap, StrRow::Program, QStringLiteral("1"));
    kyr.setSSTR(cap, StrRow::Direction, QStringLiteral("E"));
    kyr.setSSTR(cap, StrRow::DataChannel, QStringLiteral("L"));
    kyr.setSSTR(cap, StrRow::InsertLinesF1, QStringLiteral("0x00000200"));
    kyr.setSSTR(cap, StrRow::InsertLinesF2, QStringLiteral("0x00000200"));
    kyr.setSSTR(cap, StrRow::Did, QStringLiteral("0x61"));
    kyr.setSSTR(cap, StrRow::SDid, QStringLiteral("0x01"));
    kyr.setSSTR(cap, StrRow::Mode, QStringLiteral("0"));
    kyr.setSPGM(0, PgmRow::LineCfg(1, 10, 1), QStringLiteral("1"));
    kyr.setSPGM(0, PgmRow::LineCfg(1, 10, 2), QStringLiteral("1"));

    // Transparent module on program 1: LAN2 (port 2001) into line 12.
    const int trans = StreamSlot::LAN2;
    kyr.setSSTR(trans, StrRow::StreamType, QStringLiteral("0x0001"));
    kyr.setSSTR(trans, StrRow::Program, QStringLiteral("1"));
    kyr.setSSTR(trans, StrRow::Direction, QStringLiteral("E"));
    kyr.setSSTR(trans, StrRow::InsertLinesF1, QStringLiteral("0x00000800"));
    kyr.setSSTR(trans, StrRow::InsertLinesF2, QStringLiteral("0x00000800"));
    kyr.setSSTR(trans, StrRow::Did, QStringLiteral("0x51"));
    kyr.setSSTR(trans, StrRow::SDid, QStringLiteral("0x01"));
    kyr.setSPGM(0, PgmRow::LineCfg(0, 12, 1), QStringLiteral("1"));
    kyr.setSPGM(0, PgmRow::LineCfg(0, 12, 2), QStringLiteral("1"));

    // Constant data module on program 1: stereo audio metadata from FILE1.
    const int file = StreamSlot::FILE1;
    kyr.setSSTR(file, StrRow::StreamType, QStringLiteral("0x0002"));
    kyr.setSSTR(file, StrRow::Program, QStringLiteral("1"));
    kyr.setSSTR(file, StrRow::FileName, QStringLiteral("metadata_stereo"));
    kyr.setSSTR(file, StrRow::InsertLinesF1, QStringLiteral("0x00000400"));
    kyr.setSSTR(file, StrRow::InsertLinesF2, QStringLiteral("0x00000400"));
    kyr.setSSTR(file, StrRow::Did, QStringLiteral("0x45"));
    kyr.setSSTR(file, StrRow::SDid, QStringLiteral("0x02"));

    // Program 2's file and test streams belong to program 2.
    kyr.setSSTR(StreamSlot::FILE2, StrRow::Program, QStringLiteral("2"));
    kyr.setSSTR(StreamSlot::BTEST2, StrRow::Program, QStringLiteral("2"));
}

void SimDefaults::ResetToFactory(clsKYR &kyr)
{
    const clsKYR kept = kyr;
    ApplyDefinitionDefaults(kyr);
    for (int row = KyrRow::ID; row <= KyrRow::DHCP; ++row)
        kyr.setKYR(row, kept.KYR(row));
    for (int p = 0; p < clsKYR::ProgramSlots; ++p)
        kyr.setPgm(p, PgmRow::VideoMode, kept.pgm(p, PgmRow::VideoMode));
}
