#pragma once

#include "StreamPresetDialog.h"

// "Primary Port Stream Mapping": the preset of a newly assigned primary port.
class frmPrimaryStreamMapping : public StreamPresetDialog
{
    Q_OBJECT
public:
    explicit frmPrimaryStreamMapping(SharedState &state, QWidget *parent = nullptr);
};
