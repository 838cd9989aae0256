#include "UpstreamMapping.h"

#include "SharedState.h"

QList<MappingRules::BoxGroup> UpstreamMapping::inputGroups() const
{
    const QList<BoxGroup> outputs = outputGroups();
    return {{QStringLiteral("TB_608Input"), outputs[Kind608].label, QStringLiteral("Upstream 608 Embedded"),
             outputs[Kind608].captions, outputs[Kind608].tooltips},
            {QStringLiteral("TB_708Input"), outputs[Kind708].label, QStringLiteral("Upstream 708 Native"),
             outputs[Kind708].captions, outputs[Kind708].tooltips}};
}

QList<MappingRules::BoxGroup> UpstreamMapping::outputGroups() const
{
    return {OutputGroup(Kind608, QStringLiteral("608 Embedded Streams"), QStringLiteral("Output 608 Embedded")),
            OutputGroup(Kind708, QStringLiteral("708 Native Streams"), QStringLiteral("Output 708 Native"))};
}

int UpstreamMapping::target(int group, int index, int kind) const
{
    if (group == Upstream608) {
        if (kind == Kind608)
            return state.Upstream608Map.at(size_t(index));
        return index < 4 ? state.Upstream708Map.at(size_t(index)) : 0;
    }
    return kind == Kind708 ? state.UpstreamServiceMap.at(size_t(index)) : 0;
}

void UpstreamMapping::setTarget(int group, int index, int kind, int output)
{
    if (group == Upstream608) {
        if (kind == Kind608)
            state.Upstream608Map.at(size_t(index)) = qint16(output);
        else if (index < 4)
            state.Upstream708Map.at(size_t(index)) = qint16(output);
    } else if (kind == Kind708) {
        state.UpstreamServiceMap.at(size_t(index)) = qint16(output);
    }
}

bool UpstreamMapping::allows(int group, int index, int kind, int output) const
{
    if (group == Upstream708)
        return kind == Kind708;
    return ChannelFeeds(index, kind, output);
}
