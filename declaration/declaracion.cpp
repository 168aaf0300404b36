#include "declaration/declaracion.h"

#include "declaration/formatos.h"
#include "declaration/formulas.h"

namespace declaracion {

namespace {
const std::string kVacio;
}

const std::string& Declaracion::Valor(int n) const {
    auto it = valores_.find(n);
    return it == valores_.end() ? kVacio : it->second;
}

void Declaracion::FijaValor(int n, std::string texto) {
    if (texto.empty())
        valores_.erase(n);
    else
        valores_[n] = std::move(texto);
    modificado = true;
}

bool Declaracion::Vacio(int n) const {
    return vacio(Valor(n));
}

double Declaracion::Vale(int n) const {
    return declaracion::Vale(n, Valor(n));
}

void Declaracion::Forma(int n) {
    FijaValor(n, declaracion::Forma(Valor(n)));
}

bool Declaracion::AlCambiar(int n) {
    modificado = true;
    if (cargando) return false;
    switch (n) {
        case 308:
        case 309:
        case 310:
        case 311:
        case 351:
            Calcular312(*this);
            return true;
        case 328:
        case 329:
        case 330:
        case 331:
        case 352:
            Calcular332(*this);
            return true;
        case 313:
        case 333:
            CalcularImporteTotal(*this);
            return true;
        default:
            return false;
    }
}

void Declaracion::Recalcula() {
    Calcular307317(*this);
    Calcular327337(*this);
    Calcular312(*this);
    Calcular332(*this);
}

std::string PeriodoMostrado(std::string_view periodo) {
    if (periodo.size() < 6) return std::string(periodo);
    return std::string(periodo.substr(periodo.size() - 2)) + "/" +
           std::string(periodo.substr(0, 4));
}

}  // namespace declaracion
