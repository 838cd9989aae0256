#pragma once

#include "MappingRules.h"

struct SharedState;

// The caption service mapping of frmMapping, over the shared tables
// Primary608Map, Primary708Map, Secondary608Map, Secondary708Map and
// XdsPortEnabled: the primary port's CC1 to CC4 and XDS, the secondary port's
// CC1 to CC4 and the XDS port feed the 608 channels and the 708 services.
// One output may have several feeders. The boxes of an absent secondary or
// XDS port are drawn disabled and their tables stay as they are.
class PortMapping : public MappingRules
{
public:
    enum Group { Primary = 0, Secondary = 1, XdsPort = 2 };

    explicit PortMapping(SharedState &state) : state(state) {}

    QList<BoxGroup> inputGroups() const override;
    QList<BoxGroup> outputGroups() const override;
    bool present(int group) const override;

    // The presets of a newly assigned caption port (frmPrimaryStreamMapping,
    // frmSecondaryStreamMapping). XDS stays on the primary port unless an
    // XDS port is present, which then feeds the 608 XDS output.
    // secondLanguage: the primary port applies a second language.
    static void PrimaryPreset(SharedState &state, bool secondLanguage);
    // asFirstLanguage: the secondary port's captions arrive as first language.
    static void SecondaryPreset(SharedState &state, bool asFirstLanguage);

protected:
    int target(int group, int index, int kind) const override;
    void setTarget(int group, int index, int kind, int output) override;
    bool allows(int group, int index, int kind, int output) const override;

private:
    SharedState &state;
};
