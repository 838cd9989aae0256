#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A box of a mapping drawing. Inputs stand in groups (the channels of a
// caption port, the upstream channels); outputs are the 608 channels CC1 to
// CC4 and XDS (kind 0) and the 708 services 1 to 6 (kind 1).
struct MapBox
{
    bool output = false;
    int group = 0; // the input group, or the output kind
    int index = 0;
    bool operator==(const MapBox &) const = default;
};

// An input feeding an output.
struct MapLink
{
    MapBox input;
    MapBox output;
    bool operator==(const MapLink &) const = default;
};

// The rules of a mapping drawing, over the shared mapping tables: which input
// may feed which output, what connecting and disconnecting change, and what
// clicks do. Every input has at most one 608 and one 708 target, held in the
// tables as a 1-based output number or 0 for none. The drawing only shows
// what these rules keep and forwards the operator's clicks.
class MappingRules
{
public:
    enum Kind { Kind608 = 0, Kind708 = 1 };
    static constexpr int Outputs608 = 5; // CC1..CC4, XDS
    static constexpr int Outputs708 = 6; // services 1..6

    // A row of boxes as drawn: the control name of its boxes ("TB_Primary";
    // a group of one box uses the name alone), its label, the words a
    // screen reader says before a box's caption, and each box's caption and
    // tooltip.
    struct BoxGroup
    {
        QString name;
        QString label;
        QString spoken;
        QStringList captions;
        QStringList tooltips;
    };

    virtual ~MappingRules() = default;

    virtual QList<BoxGroup> inputGroups() const = 0;
    // The 608 outputs, then the 708 outputs.
    virtual QList<BoxGroup> outputGroups() const = 0;
    // The inputs of an absent port are drawn disabled; nothing changes them.
    virtual bool present(int group) const;

    bool exists(const MapBox &box) const;
    bool enabled(const MapBox &box) const;
    // "Primary CC1", "608 Embedded XDS".
    QString spokenName(const MapBox &box) const;
    QString controlName(const MapBox &box) const;

    // Starts from the stored tables with no connection pending. Where every
    // output has one feeder, the tables are drawn in input order and a later
    // entry takes its output from an earlier one.
    void open();

    // The connections drawn: the stored targets of present inputs that the
    // rules allow. A refused entry (an XDS target for CC1, a 708 service 9)
    // is neither drawn nor changed.
    QList<MapLink> links() const;
    // The boxes connected to a box, as drawn.
    QList<MapBox> connectedTo(const MapBox &box) const;

    // Connects an input and an output, given in either order; false when the
    // rules refuse the pair. The input's earlier connection of that kind
    // moves to the new output.
    bool connect(const MapBox &a, const MapBox &b);
    // Removes every connection of an input box, or every feeder of an output.
    void disconnect(const MapBox &box);

    // A click starts a connection, or completes it on a box of the other
    // side; a second box on the same side ends it without connecting.
    void click(const MapBox &box);
    // A double click disconnects the box and ends a pending connection.
    void doubleClick(const MapBox &box);
    // A click on the background ends a pending connection.
    void clickBackground();
    bool pending() const { return isPending; }
    MapBox pendingBox() const { return pendingEnd; }

protected:
    // Stored target of an input for an output kind: a 1-based output number,
    // 0 for none, or whatever was stored.
    virtual int target(int group, int index, int kind) const = 0;
    // Inputs without a target of that kind ignore it.
    virtual void setTarget(int group, int index, int kind, int output) = 0;
    // Whether the input may feed the output (0-based, within the boxes).
    virtual bool allows(int group, int index, int kind, int output) const = 0;
    // Whether each output takes one feeder only.
    virtual bool oneFeeder() const { return false; }

    static BoxGroup OutputGroup(int kind, const QString &label, const QString &spoken);
    // The rule of a 608 channel input (CC1..CC4, XDS): CC1 to CC4 feed the
    // 608 channels CC1 to CC4 and any 708 service; XDS feeds only XDS.
    static bool ChannelFeeds(int index, int kind, int output);

private:
    bool permitted(int group, int index, int kind, int output) const;
    // The drawn target (0-based) of an input for a kind, or -1.
    int drawnTarget(int group, int index, int kind) const;

    bool isPending = false;
    MapBox pendingEnd;
};
