#include "ui/programa.h"

namespace ui {

namespace {

std::string& Nombre() {
    static std::string nombre;
    return nombre;
}

}  // namespace

void SetProgramName(std::string name) {
    Nombre() = std::move(name);
}

const std::string& ProgramName() {
    return Nombre();
}

}  // namespace ui
