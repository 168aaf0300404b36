// Message boxes answered from the environment, for the runs of the programs
// that a test drives from outside (the end-to-end runs on a virtual display).
#pragma once

namespace pruebas {

// When the environment variable is set, a script of its comma-separated
// answers is put in force for the rest of the run (an empty list answers
// every box with its default button) and every box is also written to
// standard error, where the test reads it. Returns true when it was set.
bool RespuestasDelEntorno(const char* variable);

}  // namespace pruebas
