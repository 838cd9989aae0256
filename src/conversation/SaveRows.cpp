#include "SaveRows.h"

namespace {

void addRange(std::vector<int> &rows, int first, int last)
{
    for (int row = first; row <= last; ++row)
        rows.push_back(row);
}

std::vector<int> streamRows(const clsKYR &kyr, int stream)
{
    std::vector<int> rows{StrRow::StreamType};
    if (stream >= StreamSlot::LAN1 && stream <= StreamSlot::LAN8)
        rows.push_back(StrRow::PortAddr);
    const int type = kyr.str(stream, StrRow::StreamType).toInt();
    if (type == 0)
        return rows;
    addRange(rows, StrRow::Program, StrRow::SDid);
    if (stream >= StreamSlot::PORTA && stream <= StreamSlot::MODEM) {
        addRange(rows, StrRow::Baud, StrRow::RxFlowCtrl);
        rows.push_back(StrRow::DisconnectProcessing);
        if (stream <= StreamSlot::PORTC) {
            rows.push_back(StrRow::ModemPresent);
            rows.push_back(StrRow::ModemInit);
        }
    }
    rows.push_back(StrRow::FieldIndicator);
    addRange(rows, StrRow::DataType, StrRow::Echo);
    addRange(rows, StrRow::C1To608, StrRow::VancBufferFlush);
    rows.push_back(StrRow::transMode);
    rows.push_back(StrRow::transTimeout);
    if (type == 2) {
        rows.push_back(StrRow::FileName);
        rows.push_back(StrRow::ConditionalInsertion);
    }
    if (type == 4)
        rows.push_back(StrRow::BridgeType);
    return rows;
}

} // namespace

std::vector<int> SaveRows(const clsKYR &kyr, Section section, int slot)
{
    std::vector<int> rows;
    switch (section) {
    case Section::Kyr:
        addRange(rows, KyrRow::IpNum, KyrRow::DHCP);
        break;
    case Section::Pgm:
        addRange(rows, PgmRow::RequestedVideoMode, PgmRow::Count - 1);
        break;
    case Section::Cap:
        addRange(rows, CapRow::OverwriteUpstream, CapRow::UpstreamS6);
        addRange(rows, CapRow::Language708S1, CapRow::Language708S6);
        addRange(rows, CapRow::EasyReader708S1, CapRow::RCControl);
        rows.insert(rows.end(),
                    {CapRow::Language608F1, CapRow::Language608F2, CapRow::EasyReader608F1, CapRow::EasyReader608F2});
        break;
    case Section::Str:
        rows = streamRows(kyr, slot);
        break;
    }
    return rows;
}

bool SavesSection(const clsKYR &kyr, Section section, int slot)
{
    if (section != Section::Str || slot < StreamSlot::INBRIDGE1)
        return true;
    return kyr.sKYR(KyrRow::Rev) > QLatin1String("B");
}

SavePlan FullSavePlan(const clsKYR &kyr)
{
    SavePlan plan;
    for (Section section : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str}) {
        for (int slot = 0; slot < clsKYR::Slots(section); ++slot) {
            if (SavesSection(kyr, section, slot))
                plan.push_back({section, slot, SaveRows(kyr, section, slot)});
        }
    }
    return plan;
}
