// Start-up of the main program: the launcher and instance checks, then the
// main window.
#pragma once

namespace shell::forms {

inline constexpr const char* kTituloLanzador = "Telvarin";

// The program's entry. Returns the process's exit code.
int Main(int argc, char** argv);

}  // namespace shell::forms
