// The program that runs the windows, as the windows see it (private to the framework). The
// application sits above the windows and links itself here: closing the main window ends
// the program, and Exit sent from any window closes the main window.
#pragma once

#include <functional>

class TWindow;

struct TProgramLink {
  std::function<TWindow*()> MainWindow;
  std::function<void(int exitCode)> Quit;
};

// Set while an application runs; an empty link when none does.
void LinkProgram(TProgramLink link);
// Null while no application runs or it has no main window.
TWindow* ProgramMainWindow();
// Ends the program's loop with exitCode; nothing while no application runs.
void QuitProgram(int exitCode);
