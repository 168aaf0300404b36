// The host launcher (the Nexador): its main window, titled "Telvarin", is
// what the family's programs look for before they start.
//
//   launcher                         shows the window
//   launcher --screenshot FILE [TITLE] [SECONDS]
//                                    shows nothing; waits until a visible window
//                                    titled TITLE (default the main program's) is
//                                    on the display, then saves the whole screen
//                                    as a PNG in FILE
#pragma once

namespace launcher {

// Runs the launcher with the program's arguments; returns its exit code.
int Main(int argc, char** argv);

}  // namespace launcher
