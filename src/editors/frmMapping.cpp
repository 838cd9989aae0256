#include "frmMapping.h"

#include "PortMapping.h"

frmMapping::frmMapping(SharedState &state, QWidget *parent)
    : MappingDialog(state, std::make_unique<PortMapping>(state),
                    {QStringLiteral("frmMapping"), QStringLiteral("Caption Stream Mapping from Input Ports"),
                     QStringLiteral("This screen allows for custom mapping of 608 caption streams to the output 708 "
                                    "transcoded and 608 embedded streams.  Normally, the settings made for you by the "
                                    "setup software will be the correct ones. To make a connection click on the box "
                                    "you wish to connect and then click on the box you wish to connect it to. Double "
                                    "click on a box to remove the connection to the box."),
                     QStringLiteral("Encoded Output Caption Streams"),
                     QStringLiteral("Captioning Input Command Ports")},
                    parent)
{
}
