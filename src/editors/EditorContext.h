#pragma once

class DialogRunner;
class Messages;
class clsKYR;
struct SharedState;

// What every module editor works with: the one model, the state shared with
// the main window (CurrentProgram, CurrentStream, ...), the message boxes,
// and the runner of the dialogs it opens in turn (serial port editor, line
// picker, mapping drawings).
struct EditorContext
{
    clsKYR &kyr;
    SharedState &state;
    Messages &messages;
    DialogRunner &dialogs;
};
