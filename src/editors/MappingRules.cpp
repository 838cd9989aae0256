#include "MappingRules.h"

namespace {
int outputCount(int kind)
{
    return kind == MappingRules::Kind608 ? MappingRules::Outputs608 : MappingRules::Outputs708;
}
} // namespace

MappingRules::BoxGroup MappingRules::OutputGroup(int kind, const QString &label, const QString &spoken)
{
    if (kind == Kind608)
        return {QStringLiteral("TB_608Output"),
                label,
                spoken,
                {"CC1", "CC2", "CC3", "CC4", "XDS"},
                {"CC1 is the first language 608 embedded captioning channel",
                 "CC2 is another 608 embedded captioning channel",
                 "CC3 is normally the second language captioning channel",
                 "CC4 is another 608 embedded captioning channel", "XDS is the extended data services like VChip"}};
    return {QStringLiteral("TB_708Output"),
            label,
            spoken,
            {"Pri", "Sec", "S3", "S4", "S5", "S6"},
            {"Primary (first language) 708 captioning service", "Secondary (second language) 708 captioning service",
             "708 captioning service 3", "708 captioning service 4", "708 captioning service 5",
             "708 captioning service 6"}};
}

bool MappingRules::ChannelFeeds(int index, int kind, int output)
{
    if (kind == Kind708)
        return index < 4;
    return (index < 4 && output < 4) || (index == 4 && output == 4);
}

bool MappingRules::present(int) const
{
    return true;
}

bool MappingRules::exists(const MapBox &box) const
{
    const QList<BoxGroup> groups = box.output ? outputGroups() : inputGroups();
    return box.group >= 0 && box.group < groups.size() && box.index >= 0 &&
           box.index < groups[box.group].captions.size();
}

bool MappingRules::enabled(const MapBox &box) const
{
    return exists(box) && (box.output || present(box.group));
}

QString MappingRules::spokenName(const MapBox &box) const
{
    if (!exists(box))
        return {};
    const BoxGroup group = (box.output ? outputGroups() : inputGroups())[box.group];
    if (group.captions.size() == 1)
        return group.spoken;
    return group.spoken + u' ' + group.captions[box.index];
}

QString MappingRules::controlName(const MapBox &box) const
{
    if (!exists(box))
        return {};
    const BoxGroup group = (box.output ? outputGroups() : inputGroups())[box.group];
    if (group.captions.size() == 1)
        return group.name;
    return group.name + u'_' + QString::number(box.index);
}

bool MappingRules::permitted(int group, int index, int kind, int output) const
{
    return output >= 0 && output < outputCount(kind) && allows(group, index, kind, output);
}

int MappingRules::drawnTarget(int group, int index, int kind) const
{
    if (!present(group))
        return -1;
    const int output = target(group, index, kind) - 1;
    return permitted(group, index, kind, output) ? output : -1;
}

void MappingRules::open()
{
    isPending = false;
    if (!oneFeeder())
        return;
    for (const MapLink &link : links())
        connect(link.input, link.output);
}

QList<MapLink> MappingRules::links() const
{
    QList<MapLink> list;
    const QList<BoxGroup> groups = inputGroups();
    for (int g = 0; g < groups.size(); ++g) {
        for (int i = 0; i < groups[g].captions.size(); ++i) {
            for (int kind : {Kind608, Kind708}) {
                const int output = drawnTarget(g, i, kind);
                if (output >= 0)
                    list.append(MapLink{{false, g, i}, {true, kind, output}});
            }
        }
    }
    return list;
}

QList<MapBox> MappingRules::connectedTo(const MapBox &box) const
{
    QList<MapBox> boxes;
    for (const MapLink &link : links()) {
        if (link.input == box)
            boxes.append(link.output);
        else if (link.output == box)
            boxes.append(link.input);
    }
    return boxes;
}

bool MappingRules::connect(const MapBox &a, const MapBox &b)
{
    if (a.output == b.output)
        return false;
    const MapBox &input = a.output ? b : a;
    const MapBox &output = a.output ? a : b;
    if (!enabled(input) || !exists(output) || !permitted(input.group, input.index, output.group, output.index))
        return false;
    const int kind = output.group;
    setTarget(input.group, input.index, kind, output.index + 1);
    if (oneFeeder()) {
        const QList<BoxGroup> groups = inputGroups();
        for (int g = 0; g < groups.size(); ++g) {
            for (int i = 0; i < groups[g].captions.size(); ++i) {
                if ((g != input.group || i != input.index) && present(g) && target(g, i, kind) == output.index + 1)
                    setTarget(g, i, kind, 0);
            }
        }
    }
    return true;
}

void MappingRules::disconnect(const MapBox &box)
{
    if (!enabled(box))
        return;
    if (!box.output) {
        for (int kind : {Kind608, Kind708})
            setTarget(box.group, box.index, kind, 0);
        return;
    }
    const QList<BoxGroup> groups = inputGroups();
    for (int g = 0; g < groups.size(); ++g) {
        for (int i = 0; i < groups[g].captions.size(); ++i) {
            if (present(g) && target(g, i, box.group) == box.index + 1)
                setTarget(g, i, box.group, 0);
        }
    }
}

void MappingRules::click(const MapBox &box)
{
    if (!enabled(box))
        return;
    if (!isPending) {
        isPending = true;
        pendingEnd = box;
        return;
    }
    isPending = false;
    if (box.output != pendingEnd.output)
        connect(pendingEnd, box);
}

void MappingRules::doubleClick(const MapBox &box)
{
    isPending = false;
    disconnect(box);
}

void MappingRules::clickBackground()
{
    isPending = false;
}
