#pragma once

#include "MappingRules.h"

struct SharedState;

// The upstream caption mapping of frmUpstream, over the shared tables
// Upstream608Map, Upstream708Map and UpstreamServiceMap: the 608 channels
// and 708 services already in the incoming video go to the 608 outputs, an
// upstream 608 channel may also be transcoded to a 708 service, and each
// upstream 708 service moves to an output service. Every output takes one
// feeder: a new connection blocks the output's earlier feeder.
class UpstreamMapping : public MappingRules
{
public:
    enum Group { Upstream608 = 0, Upstream708 = 1 };

    explicit UpstreamMapping(SharedState &state) : state(state) {}

    QList<BoxGroup> inputGroups() const override;
    QList<BoxGroup> outputGroups() const override;

protected:
    int target(int group, int index, int kind) const override;
    void setTarget(int group, int index, int kind, int output) override;
    bool allows(int group, int index, int kind, int output) const override;
    bool oneFeeder() const override { return true; }

private:
    SharedState &state;
};
