#pragma once

// A top-level window built on a plain QWidget (the main window) is announced
// to assistive technology as a window with its title, as dialogs are, rather
// than as an anonymous container. Safe to call more than once.
void InstallWindowRole();
