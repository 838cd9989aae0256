#include "frmUpstream.h"

#include "UpstreamMapping.h"

frmUpstream::frmUpstream(SharedState &state, QWidget *parent)
    : MappingDialog(
          state, std::make_unique<UpstreamMapping>(state),
          {QStringLiteral("frmUpstream"), QStringLiteral("Caption Stream Mapping from Upstream Captions"),
           QStringLiteral("This screen allows for custom mapping of input caption streams to output caption streams.  "
                          "Normally, the settings made for you by the setup software will be the correct ones. You "
                          "can block a caption stream by removing the connection. You can move one caption stream to "
                          "another by making the connection.  You can have upstream 608 captions transcoded to 708 by "
                          "making the connection.  To make a connection click on the box you wish to connect and then "
                          "click on the box you wish to connect it to. Double click on a box to remove the connection "
                          "to the box."),
           QStringLiteral("Output Caption Streams"), QStringLiteral("Upstream Caption Data")},
          parent)
{
}
