#pragma once

#include <QDialog>

class clsKYR;
class Messages;

// "LAN Configuration": the encoder's address settings and its eight LAN
// data ports.
class frmLanSetup : public QDialog
{
    Q_OBJECT
public:
    frmLanSetup(clsKYR &kyr, Messages &messages, QWidget *parent = nullptr);
};
