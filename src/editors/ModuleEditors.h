#pragma once

class QWidget;
struct EditorContext;

// Where the main window opens the module editors. Each runs modally through
// the context's dialog runner, on CurrentProgram and CurrentStream as the
// main window set them; the caller redraws afterwards.

// The editor of a module type (its StreamType value). False when that type
// has no editor.
bool RunModuleEditor(int streamType, EditorContext &context, QWidget *parent);
// The line usage of CurrentProgram.
void RunLineUsage(EditorContext &context, QWidget *parent);
