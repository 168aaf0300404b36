// recapper: the one-page summary of a generated declaration, for the host.
// Started with the companion command line (one string of fixed positions), it
// registers a report in the spool under "UZQ002", writes it as a report
// mark-up file, writes a plain-text copy, and leaves both under names made
// from the declaration key. It shows nothing unless something goes wrong.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vb/datetime.h"

namespace jet {
class Database;
}

namespace recapper {

inline constexpr std::string_view kCodigoReporte = "UZQ002";

// The fields of the command line (positions from 1): document type 1-2,
// document number 3-17 (trimmed), form 18-21, period 22-27, week 28, the
// eight-character number 29-36. Missing positions give shorter fields.
struct LineaOrdenes {
    std::string tipo;
    std::string numero;
    std::string formulario;
    std::string periodo;
    std::string semana;
    std::string nc;
};
LineaOrdenes PartirLinea(std::string_view linea);

// Form & period & week & type & the number with 15 digits (leading zeros).
std::string ClaveDeclaracion(const LineaOrdenes& l);

// What the summary shows of one declaration.
struct Resumen {
    LineaOrdenes linea;
    std::string nombre;
    bool cheque = false;  // else cash
    std::string nroCheque;
    std::string banco;
    std::map<int, std::string> casillas;  // boxes 1-600 and 861-999 as stored
};

// Appends a number column: one blank, then the box's value with the pattern,
// right-aligned in `ancho` characters (or after the single blank when it is
// as long or longer). A box that is absent or not numeric adds nothing.
void AgregaNumero(std::string& linea, const Resumen& r, int casilla, std::string_view patron,
                  int ancho);

// "<mark> <box 005>" (mark "UZQ" when box 871 begins with 1) when box 871 is
// neither empty nor "0", else "NO ".
std::string TextoRectificacion(const Resumen& r);

// The records of the mark-up report, as written to its file.
std::vector<std::string> ReporteSpool(const Resumen& r, vb::Date ahora);
// The lines of the plain-text copy, as written to its file.
std::vector<std::string> ResumenTxt(const Resumen& r, vb::Date ahora);

class Resumidor {
  public:
    Resumidor();
    ~Resumidor();
    // One whole run over the command line; the program's exit code (0 when
    // both copies were left, 1 after a message).
    int Main(std::string_view linea);

  private:
    // False when the declaration's taxpayer is not registered (after the
    // message); errors pass to Main.
    bool GeneraReportes(std::string_view linea);
    void LeeConfiguracion();
    void AbreBaseDatos();
    void LeeCabecera();
    std::string BuscaBanco(const std::string& codigo);
    void LeeCasillas();
    bool LeeNombre();
    std::string Filtro() const;

    std::string dbPath_, dbName_, usuario_, rpt_, tmp_;
    std::unique_ptr<jet::Database> db_;
    Resumen r_;
    std::string clave_;
    std::string archivoSpool_;  // registered name, "" until registered
    std::string temporalTxt_;   // full path of the text copy, "" until written
};

}  // namespace recapper
