// The run-time's error texts, in Spanish as the installed run-time shows them.
// Every text lives in this one table so a correction touches one line.
#include "vb/error.h"

#include <utility>

namespace vb {

namespace {

struct ErrorEntry {
    int number;
    const char* text;
};

constexpr ErrorEntry kErrors[] = {
    {3, "Return sin GoSub"},
    {5, "Argumento o llamada a procedimiento no válidos"},
    {6, "Desbordamiento"},
    {7, "Memoria insuficiente"},
    {9, "El subíndice está fuera del intervalo"},
    {11, "División por cero"},
    {13, "No coinciden los tipos"},
    {52, "Nombre o número de archivo incorrecto"},
    {53, "Archivo no encontrado"},
    {54, "Modo de archivo incorrecto"},
    {55, "El archivo ya está abierto"},
    {57, "Error de E/S de dispositivo"},
    {58, "El archivo ya existe"},
    {61, "Disco lleno"},
    {62, "Se sobrepasó el final del archivo"},
    {67, "Hay demasiados archivos"},
    {68, "El dispositivo no está disponible"},
    {70, "Permiso denegado"},
    {71, "Disco no preparado"},
    {75, "Error de acceso a la ruta o al archivo"},
    {76, "Ruta de acceso no encontrada"},
    {91, "Variable de objeto o bloque With no establecido"},
    {93, "Cadena de modelo no válida"},
    {94, "Uso no válido de Null"},
    {380, "Valor de propiedad no válido"},
    {482, "Error de impresora"},
};

}  // namespace

VbError::VbError(int number, std::string description)
    : std::runtime_error(description), number_(number), description_(std::move(description)) {}

std::string ErrorText(int number) {
    for (const auto& e : kErrors) {
        if (e.number == number) return e.text;
    }
    return "Error definido por la aplicación o por el objeto";
}

void Raise(int number) {
    throw VbError(number, ErrorText(number));
}

void Raise(int number, std::string description) {
    throw VbError(number, std::move(description));
}

}  // namespace vb
