#pragma once

#include <QDialog>

class clsKYR;
struct SharedState;

// "Serial Port Setup": the line settings of the stream ConfigureStream.
class frmRS232 : public QDialog
{
    Q_OBJECT
public:
    frmRS232(clsKYR &kyr, SharedState &state, QWidget *parent = nullptr);
};
