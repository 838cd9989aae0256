#include "frmPrimaryStreamMapping.h"

#include "PortMapping.h"

frmPrimaryStreamMapping::frmPrimaryStreamMapping(SharedState &state, QWidget *parent)
    : StreamPresetDialog(state,
                         {QStringLiteral("frmPrimaryStreamMapping"), QStringLiteral("Primary Port Stream Mapping"),
                          QStringLiteral("Use Primary Port for normal captioning"), QStringLiteral("RB_Secondary"),
                          QStringLiteral("Use Primary Port for applying second language from a server which is "
                                         "providing first language captions. KYR will do the mapping")},
                         &PortMapping::PrimaryPreset, parent)
{
}
