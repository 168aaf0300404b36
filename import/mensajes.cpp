// The error file beside a data file: the message table of its codes and the
// writing of its lines.
#include "import/mensajes.h"

#include "shell/avisos.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/numeric.h"

namespace importacion {

namespace {

struct Mensaje {
    const char* codigo;
    const char* texto;
};

// The whole table; 111-116, 120, 121, 123-125, 132, 147, 148, 150 and 151 are
// kept for the other programs of the family and not logged by our checks.
constexpr Mensaje kMensajes[] = {
    {"001", " El número de campos no es correcto"},
    {"100", " El Tipo de documento no es válido"},
    {"101", " El tipo y/o número de documento no es válido"},
    {"102", " El número de RUC no es válido"},
    {"103", " El código del país no existe o no corresponde al Tipo de Documento"},
    {"104", " Tipo de operación inválida"},
    {"105", " Tipo de movimiento inválido"},
    {"106", " El código de operación no es válido"},
    {"107", " El monto acumulado de la operación no es válido"},
    {"108", " El monto acumulado del impuesto retenido o percibido no es válido"},
    {"109",
     " El período de la operación no es válido ó para  períodos de operación  mayores o "
     "iguales al 12/2007 no puede utilizar los códigos de operación 01, 05 y 06"},
    {"110", " La modalidad de operación no es válida"},
    {"111", " El tipo de documento no corresponde a este archivo"},
    {"112", " El número de documento no corresponde al tipo de documento"},
    {"113", " La fecha de la operación no es válida"},
    {"114", " El período de la operación no puede ser posterior al período tributario"},
    {"115", " El código de moneda no es válido"},
    {"116", " El tipo de cambio no es válido"},
    {"117", " Para esta modalidad debe ingresar el período"},
    {"118", " Para las operaciones exoneradas el impuesto debe ser cero"},
    {"119", " Este tipo de modalidad no existe para cuenta propia"},
    {"120", " El registro se encuentra duplicado"},
    {"121", " El archivo no contiene registros"},
    {"122",
     " La linea debe acabar en | sin espacios en blanco y/o debe eliminar las lineas en "
     "blanco"},
    {"123", " La línea excede la longitud permitida"},
    {"124", " El registro contiene caracteres no permitidos"},
    {"125", " Los importes no deben ser negativos"},
    {"126",
     " El total de la suma de los importes de la base imponible  o del impuesto son "
     "demasiado grandes"},
    {"127", " Para este tipo de movimiento no se debe utilizar este código de operación"},
    {"128",
     "Si el código de operación es '08' ó '09' el tipo y número de documento deben ser "
     "iguales a los del declarante del QVX"},
    {"129", "Para este tipo de operación no debe ingresar el código de país"},
    {"130", " El Monto de la operación no es válido"},
    {"131", " El Monto del impuesto no es válido"},
    {"132", " El monto acumulado no es válido"},
    {"135", "Para este periodo el Monto acumulado debe mayo e igual a cero"},
    {"136", "Para este periodo el Monto acumulado debe estar en blanco"},
    {"137", "Para este periodo debe ingresar el tipo de documento del extranjero"},
    {"138", "Para este periodo el tipo de documento del extranjero debe estar en blanco"},
    {"139", "Para este periodo debe ingresar el número de documento del extranjero"},
    {"140", "Para este periodo el número de documento del extranjero debe estar en blanco"},
    {"141", "Para este periodo debe ingresar la fecha de nacimiento del extranjero"},
    {"142", "Para este periodo la fecha de nacimiento del extranjero debe estar en blanco"},
    {"143", "Para este periodo debe ingresar el tipo de dirección del extranjero"},
    {"144", "Para este periodo el tipo de dirección del extranjero debe estar en blanco"},
    {"145", "Para este periodo debe ingresar la dirección del extranjero"},
    {"146", "Para este periodo la dirección del extranjero debe estar en blanco"},
    {"147", "Para este periodo el país del documento del extranjero debe estar en blanco"},
    {"148", "Para este periodo debe ingresar el país del documento del extranjero"},
    {"149", "Fecha de nacimiento del extranjero debe estar en blanco"},
    {"150", "La fecha de nacimiento del extranjero no puede ser posterior a la fecha actual"},
    {"151", "El número de documento del extranjero no corresponde a su tipo de documento"},
    {"152",
     "No cumple con condiciones de No domiciliado. Los campos del No domiciliado deben "
     "estar en blanco"},
    {"160", "tipo de documento del extranjero debe ser 01, 02, 03"},
    {"161", "caracteres no permitidos en número de documento del extranjero"},
    {"162", "fecha de nacimiento invalida"},
    {"163", "tipo de domicilio no existe"},
    {"164", "caracteres no permitidos en dirección del extranjero"},
    {"165", "El número de documento del extranjero debe ser maximo de 20 caracteres"},
    {"166", "La dirección del extranjero debe ser maximo de 40 caracteres"},
    {"167", "Ingresar el indicador de operación de no domiciliado 0=pasiva  1=activa"},
    {"168",
     "Si indicador de operación de no domiciliados es 0 (pasiva), no debe ingresar "
     "información de no domiciliados"},
    {"169", "Para este periodo el indicador de operación debe estar en blanco"},
    {"170", " El código del país del contribuyente extranjero debe estar vacio (sin espacios)"},
};
static_assert(sizeof(kMensajes) / sizeof(kMensajes[0]) == 63);

}  // namespace

void detalle::AvisaFalloLog(const vb::VbError& err, const EntornoImportacion* entorno) {
    std::string texto;
    if (err.Number() == vb::kPermissionDenied) {
        texto = err.Description() + "\nCierre el Archivo \nIntente nuevamente por favor.";
    } else {
        texto = "Error tecnico: " + vb::Str(static_cast<double>(err.Number())) + "\n" +
                err.Description() + "\nIntente nuevamente por favor.";
    }
    shell::Aviso().MsgBox(texto, shell::vbCritical, "Error");
    if (entorno && entorno->habilitaMarcos) entorno->habilitaMarcos();
}

std::string_view MensajeError(std::string_view codigo) {
    for (const auto& m : kMensajes)
        if (codigo == m.codigo) return m.texto;
    return {};
}

int Abroarchivo(std::string_view ArcPla) {
    const int n = vb::FreeFile();
    vb::Open(ArcPla, vb::OpenMode::Append, n);
    return n;
}

void GraboLog(int Filelog, std::string& Linea, std::string_view NumErr, const EntornoImportacion* entorno) {
    Linea += MensajeError(NumErr);
    try {
        vb::PrintLine(Filelog, Linea);
    } catch (const vb::VbError& err) {
        detalle::AvisaFalloLog(err, entorno);
    }
}

}  // namespace importacion
