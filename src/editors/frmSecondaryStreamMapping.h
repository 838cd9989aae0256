#pragma once

#include "StreamPresetDialog.h"

// "Secondary Port Stream Mapping": the preset of a newly assigned secondary
// port; it sets the primary port's mapping too.
class frmSecondaryStreamMapping : public StreamPresetDialog
{
    Q_OBJECT
public:
    explicit frmSecondaryStreamMapping(SharedState &state, QWidget *parent = nullptr);
};
