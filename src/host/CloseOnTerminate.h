#pragma once

class QWidget;

namespace host {

// A request from the system to end the program (SIGTERM, SIGHUP: a session
// logging out, a shutdown) closes the window as the user would, so that its
// unload handler runs and nothing is lost, then ends the program, also
// while a message box is open. Does nothing where the platform has no such
// signals.
void CloseOnTerminate(QWidget &window);

// Whether the system has asked the program to end. Work that only makes
// sense while it runs on (a sound to start) is skipped from then on.
bool TerminationRequested();

} // namespace host
