// The mouse pointer of the whole program, as one value: setting the hourglass
// twice and the default once gives back the normal pointer.
#pragma once

namespace ui {

enum MousePointerValue : int {
    vbDefault = 0,
    vbArrow = 1,
    vbCrosshair = 2,
    vbIbeam = 3,
    vbHourglass = 11,
    vbArrowHourglass = 13,
};

void SetMousePointer(int value);
int MousePointer();

// The hourglass for the life of a scope: set when made, and the default
// pointer back on every way out of the scope, an exception included.
class PunteroOcupado {
  public:
    PunteroOcupado() { SetMousePointer(vbHourglass); }
    ~PunteroOcupado() { SetMousePointer(vbDefault); }
    PunteroOcupado(const PunteroOcupado&) = delete;
    PunteroOcupado& operator=(const PunteroOcupado&) = delete;
};

}  // namespace ui
