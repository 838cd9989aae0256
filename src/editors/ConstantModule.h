#pragma once

#include <QString>

class clsKYR;
struct SharedState;

// The constant data module of one program as frmConstant edits it: which of
// the encoder's audio metadata files is inserted, with which identifiers, on
// which line and channel. Each program has its own file stream.
struct ConstantModule
{
    enum File { None, Stereo, Surround, StereoSap, SurroundSap };

    File file = None;
    int did = 0x50;
    int sdid = 0x01;
    bool luma = true;
    int line = 9;
    bool conditional = false;
    // The stream the module was read from; -1 for a new module.
    int stream = -1;

    // The file stream of a program: FILE1 for program 0, FILE2 for program 1.
    static int FileStream(int program);
    // The data file of a stored FileName; a name that is none of the four
    // reads as the 5.1 + SAP file.
    static File FileOf(const QString &fileName);
    static QString FileName(File file);

    // The module as stored in a stream.
    static ConstantModule Read(const clsKYR &kyr, int stream);
    // Writes the module to the stream it was read from (a new module to the
    // program's file stream) and marks it in use; with None releases the
    // stream it was read from (its other parameters kept), and a new module
    // touches nothing. Leaves CurrentStream naming the stream, or -1.
    void Write(clsKYR &kyr, SharedState &state, int program) const;
};
