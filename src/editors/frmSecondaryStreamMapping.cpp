#include "frmSecondaryStreamMapping.h"

#include "PortMapping.h"

frmSecondaryStreamMapping::frmSecondaryStreamMapping(SharedState &state, QWidget *parent)
    : StreamPresetDialog(
          state,
          {QStringLiteral("frmSecondaryStreamMapping"), QStringLiteral("Secondary Port Stream Mapping"),
           QStringLiteral("Secondary port from caption server providing second language captioning. (normal "
                          "operation)"),
           QStringLiteral("RB_Second"),
           QStringLiteral("Secondary port from caption server providing second language captioning as if it was first "
                          "language captioning.  KYR maps captions to second language.")},
          &PortMapping::SecondaryPreset, parent)
{
}
