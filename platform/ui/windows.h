// Search of the desktop's top-level windows: the main program runs only while
// the host launcher shows its main window. Reads the X server directly, so it
// sees the windows of every program of the session.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

struct VentanaX {
    std::uint32_t id = 0;
    bool visible = false;  // mapped and viewable
    std::string titulo;    // UTF-8; empty when it has none
};

// The top-level windows of the display named by DISPLAY, in the window
// manager's (stacking) order; empty when no X server answers.
std::vector<VentanaX> VentanasDelEscritorio();

class cWindows {
  public:
    // True when a visible top-level window's title equals titulo exactly.
    bool CorreApp(const std::string& titulo);

  private:
    struct Conexion;
    std::string LeeTituloVentana(Conexion& c, std::uint32_t hwnd);
    friend std::vector<VentanaX> VentanasDelEscritorio();
};

}  // namespace ui
