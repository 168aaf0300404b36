// Search of the desktop's top-level windows: the main program runs only while
// the host launcher shows its main window. Reads the X server directly, so it
// sees the windows of every program of the session.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ui {

// ICCCM WM_STATE of a program's window, as its window manager keeps it.
enum class EstadoWm : int {
    Ninguno = -1,  // no window manager marked it
    Retirado = 0,  // withdrawn: the program hid it
    Normal = 1,
    Minimizado = 3,  // iconic
};

struct VentanaX {
    std::uint32_t id = 0;
    bool mapeada = false;  // mapped and viewable: on the screen now
    EstadoWm estado = EstadoWm::Ninguno;
    bool visible = false;  // as Windows counts it; see EsVisible
    std::string titulo;    // UTF-8; empty when it has none
};

// Whether a window counts as visible the way Windows counts it: a window keeps
// its visible style when minimised, and a window manager shows a window of
// another workspace again when the user goes there; only a window its
// program hid (withdrawn, or never shown) is invisible. Under a window
// manager a minimised window, or one on another workspace, is unmapped but
// keeps its state Normal or Minimizado; without one, what is mapped is shown.
bool EsVisible(bool mapeada, EstadoWm estado);

// The top-level windows of the display named by DISPLAY, in the window
// manager's (stacking) order; empty when no X server answers.
std::vector<VentanaX> VentanasDelEscritorio();

class cWindows {
  public:
    using Fuente = std::function<std::vector<VentanaX>()>;
    // Searches the windows of the X server.
    cWindows();
    // Searches the windows `fuente` lists (tests).
    explicit cWindows(Fuente fuente);

    // True when a visible top-level window's title equals titulo exactly.
    bool CorreApp(const std::string& titulo);

  private:
    Fuente fuente_;
    struct Conexion;
    static std::string LeeTituloVentana(Conexion& c, std::uint32_t hwnd);
    friend std::vector<VentanaX> VentanasDelEscritorio();
};

}  // namespace ui
