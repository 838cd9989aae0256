#include "PortMapping.h"

#include "SharedState.h"

namespace {
const QStringList kChannels{"CC1", "CC2", "CC3", "CC4"};
}

QList<MappingRules::BoxGroup> PortMapping::inputGroups() const
{
    return {{QStringLiteral("TB_Primary"),
             QStringLiteral("Primary"),
             QStringLiteral("Primary"),
             kChannels + QStringList{"XDS"},
             {"CC1 (first language)  from the primary captioning port", "CC2 from the primary captioning port",
              "CC3 (second language) from the primary captioning port", "CC4 from the primary captioning port",
              "XDS (VChip etc) from the primary captioning port"}},
            {QStringLiteral("TB_Secondary"),
             QStringLiteral("Secondary"),
             QStringLiteral("Secondary"),
             kChannels,
             {"CC1 (first language) from the secondary captioning port", "CC2 from the secondary captioning port",
              "CC3 (second language) from the secondary captioning port", "CC4 from the secondary captioning port"}},
            {QStringLiteral("TB_XDS"),
             QStringLiteral("XDS"),
             QStringLiteral("XDS Port"),
             {"XDS"},
             {"XDS (VChip etc) from the XDS port"}}};
}

QList<MappingRules::BoxGroup> PortMapping::outputGroups() const
{
    return {OutputGroup(Kind608, QStringLiteral("608 Embedded"), QStringLiteral("608 Embedded")),
            OutputGroup(Kind708, QStringLiteral("708 Transcoded"), QStringLiteral("708 Transcoded"))};
}

bool PortMapping::present(int group) const
{
    if (group == Secondary)
        return state.SecondaryPortPresent;
    if (group == XdsPort)
        return state.XdsPortPresent;
    return true; // the primary boxes are drawn whatever PrimaryPortPresent says
}

int PortMapping::target(int group, int index, int kind) const
{
    switch (group) {
    case Primary:
        if (kind == Kind608)
            return state.Primary608Map.at(size_t(index));
        return index < 4 ? state.Primary708Map.at(size_t(index)) : 0;
    case Secondary:
        return (kind == Kind608 ? state.Secondary608Map : state.Secondary708Map).at(size_t(index));
    default:
        return kind == Kind608 && state.XdsPortEnabled ? 5 : 0;
    }
}

void PortMapping::setTarget(int group, int index, int kind, int output)
{
    switch (group) {
    case Primary:
        if (kind == Kind608)
            state.Primary608Map.at(size_t(index)) = qint16(output);
        else if (index < 4)
            state.Primary708Map.at(size_t(index)) = qint16(output);
        break;
    case Secondary:
        (kind == Kind608 ? state.Secondary608Map : state.Secondary708Map).at(size_t(index)) = qint16(output);
        break;
    default:
        if (kind == Kind608)
            state.XdsPortEnabled = output == 5;
        break;
    }
}

bool PortMapping::allows(int group, int index, int kind, int output) const
{
    switch (group) {
    case Primary:
        return ChannelFeeds(index, kind, output);
    case Secondary:
        return kind == Kind708 || output < 4;
    default:
        return kind == Kind608 && output == 4;
    }
}

namespace {
// XDS stays on the primary port, unless an XDS port is present.
void xdsStep(SharedState &state)
{
    if (state.XdsPortPresent)
        state.XdsPortEnabled = true;
    else
        state.Primary608Map[4] = 5;
}
} // namespace

void PortMapping::PrimaryPreset(SharedState &state, bool secondLanguage)
{
    if (secondLanguage) {
        state.Primary608Map = {3, 4, 0, 0, state.Primary608Map[4]};
        state.Primary708Map = {2, 0, 0, 0};
    } else {
        state.Primary608Map = {1, 2, 3, 4, state.Primary608Map[4]};
        state.Primary708Map = {1, 0, 2, 0};
    }
    xdsStep(state);
}

void PortMapping::SecondaryPreset(SharedState &state, bool asFirstLanguage)
{
    state.Primary608Map = {1, 2, 0, 0, state.Primary608Map[4]};
    xdsStep(state);
    state.Primary708Map = {1, 0, 0, 0};
    if (asFirstLanguage) {
        state.Secondary608Map = {3, 4, 0, 0};
        state.Secondary708Map = {2, 0, 0, 0};
    } else {
        state.Secondary608Map = {0, 0, 3, 4};
        state.Secondary708Map = {0, 0, 2, 0};
    }
}
