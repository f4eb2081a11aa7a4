// The application's main function: what the entry point hands its arguments
// to, unchanged.
#pragma once

namespace parasort {

// Makes the application object from the arguments, loads the main interface
// and runs the event loop until the application ends; returns the loop's
// exit status. When another instance of the editor is already running on
// the session bus, hands the activation over to it instead and returns 0
// without showing a window. The arguments that are not options name files
// to open (in the running instance, when there is one).
int ApplicationMain(int& argc, char** argv);

}  // namespace parasort
