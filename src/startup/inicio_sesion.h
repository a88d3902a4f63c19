#pragma once

#include <QString>

namespace kl {

// The parameter string the main menu started the program with (the
// command line's arguments joined by blanks). The program sets it before
// its window loads.
void setCommandLine(const QString& parametros);
QString commandLine();

// The whole session start-up, from the configuration window's load: reads
// the parameter string, connects the access layer (which falls back to the
// login window, and shows it first when the string names no server), sets
// up the lookup engine, reads the user's settings and
// writes this run's entry into the access log. When no connection can be
// made the program ends at once with exit status 1 and one line on
// standard error (through the access layer's program-end hook, which tests
// replace; if the hook returns, the start-up stops there).
void IniciaSesion();

// The shutdown, from the window's unload: the exit time into the access
// log, then the shared objects go, in order: the maker's second component,
// the progress notice, the access layer.
void FinalizaSesion();

}  // namespace kl
