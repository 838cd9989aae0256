#pragma once

#include "MappingDialog.h"

// "Caption Stream Mapping from Input Ports": which channel of which caption
// port feeds which 608 channel and 708 service, edited in the shared tables.
class frmMapping : public MappingDialog
{
    Q_OBJECT
public:
    explicit frmMapping(SharedState &state, QWidget *parent = nullptr);
};
