#pragma once

#include "MappingDialog.h"

// "Caption Stream Mapping from Upstream Captions": where the captions already
// in the incoming video go, edited in the shared upstream tables.
class frmUpstream : public MappingDialog
{
    Q_OBJECT
public:
    explicit frmUpstream(SharedState &state, QWidget *parent = nullptr);
};
