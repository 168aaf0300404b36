// The running program's name, handed in by the program at start. It names the
// window system's application object a program without windows makes for its
// message boxes (and so the class of that box's window) and the print jobs.
#pragma once

#include <string>

namespace ui {

void SetProgramName(std::string name);
// Empty until the program sets it.
const std::string& ProgramName();

}  // namespace ui
