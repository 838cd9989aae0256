#pragma once

#include <QString>

#include <vector>

class clsKYR;

// Which modules a program shows, as the main window's module slots show
// them; anything that describes a unit's modules (the main window, kyr7ctl's
// JSON) goes by these rules.

// A caption stream that is a module's primary port (Direction "E", Mode 0);
// a caption module's other ports are not modules of their own.
bool IsPrimaryCaption(const clsKYR &kyr, int stream);
// The stream is a module shown in the program's slots (program 0 or 1).
bool ShownInProgram(const clsKYR &kyr, int stream, int program);
// The streams of the modules a program shows, in slot order (at most eight).
std::vector<int> ProgramModules(const clsKYR &kyr, int program);
// "Transparent Module", "Constant Data Module", "Bridging Module",
// "Caption Module"; empty for a free stream or an unknown type.
QString ModuleName(int streamType);
// The kind of module a StreamType stands for, in running text: "transparent",
// "constant data", "bridging", "caption", "none" (a free stream); empty for an
// unknown type.
QString ModuleKind(int streamType);
