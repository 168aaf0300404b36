// Whether the window system is there: programs without a window of their own
// decide by it whether a message box can be shown or goes to standard error.
#pragma once

#include <string>

namespace ui {

// A display a person can look at: an X server that answers (DISPLAY) or a
// Wayland compositor, and no headless Qt platform chosen.
bool HayPantalla();

// Qt can start its window system: a display as above, or a headless Qt
// platform (offscreen, minimal) chosen through QT_QPA_PLATFORM.
bool QtPuedeArrancar();

// The family's programs find each other's windows on the X server; on a
// desktop that also offers X (Wayland with XWayland) Qt is asked to use it.
// Call before the QApplication is made; a platform chosen by the user stays.
void PrefiereX11();

// Why a program with windows cannot show them, and how to run it: names the
// display that is missing or does not answer, then `comoEjecutar`: how to run
// it on a machine without a screen (a virtual display, xvfb-run). One line,
// for standard error.
std::string MensajeSinPantalla(const std::string& programa, const std::string& comoEjecutar);

// True when a QApplication (widgets) exists in this process.
bool HayAplicacion();

}  // namespace ui
