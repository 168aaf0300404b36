#include "shell/forms/registro.h"

#include <QPointer>
#include <map>

#include "ui/modal.h"

namespace shell::forms {

namespace {

struct Entrada {
    FabricaFormulario fabrica;
    QPointer<QDialog> instancia;
};

std::map<std::string, Entrada>& Registro() {
    static std::map<std::string, Entrada> r;
    return r;
}

}  // namespace

void RegistraFormulario(const std::string& nombre, FabricaFormulario fabrica) {
    Registro()[nombre].fabrica = std::move(fabrica);
}

bool FormularioRegistrado(const std::string& nombre) {
    auto it = Registro().find(nombre);
    return it != Registro().end() && it->second.fabrica;
}

int AbreFormulario(const std::string& nombre, QWidget* padre) {
    auto it = Registro().find(nombre);
    if (it == Registro().end() || !it->second.fabrica) return 0;
    FabricaFormulario fabrica = it->second.fabrica;
    return ui::ShowFresh(it->second.instancia, [&] { return fabrica(padre); });
}

void DescargaFormulario(const std::string& nombre) {
    auto it = Registro().find(nombre);
    if (it != Registro().end()) ui::Unload(it->second.instancia);
}

}  // namespace shell::forms
