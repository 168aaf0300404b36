// The program-wide values of the main program, gathered in one place: the
// current command, the current declaration and the environment fixed for the
// run. Read and written through G().
#pragma once

#include <cstdint>
#include <string>

namespace jet {
class Database;
}
namespace validator {
class cValidador;
}

namespace shell {

struct ProgramState {
    // Current command.
    std::int16_t gnModo = 0;          // 2 open/modify, 3 delete or validate files, 0 after import
    bool gbEnviadas = false;          // works on sent declarations (HCAB/HDET)
    bool gbRegistraOrden = false;     // order-number registration
    bool gbOrdenModificado = false;   // the order number was typed
    std::uint8_t gnTipoConsulta = 0;  // look-up list: 1 professions, 2 banks, 3 tax units

    // Current declaration.
    std::string gsRuc;
    std::string gsNombre;
    std::string gsPeriodo;  // "yyyymm"
    std::string gsFormulario;
    std::int16_t gnSemana = 0;
    std::string gsCorrel;
    std::string gsNumOrden;
    std::string gsNumControl;

    // Environment, fixed for the run.
    jet::Database* gdbBase = nullptr;
    std::string gsSysPath;
    std::string gsRutaBase;
    std::string gsRutaRpt;
    std::string gsUsuario;
    validator::cValidador* goValidador = nullptr;
    std::string gsVersion;
    std::string gsFechaVersion;

    // Shared scratch and hand-over values.
    std::string gsSql;
    std::string gsArchivoRep;
    std::string gsMensaje;
    bool gbCargando = false;
    bool gbPorPagina = false;
    std::int16_t gnPaginaDesde = 0;
    std::int16_t gnPaginaHasta = 0;
    std::int16_t gnArchivoRep = 0;
    std::int16_t gnPagina = 0;
    std::int16_t gnLinea = 0;
    std::int16_t gnAnchoRep = 0;
    std::int16_t gnPosY = 0;
    std::int16_t gnTipoRep = 0;
    std::string gsBanco;
    std::string gsNroCheque;
    std::string gsEfectivo;
};

// The one instance of the run.
ProgramState& G();
// Back to the initial values (tests start each case from a clean state).
void ResetState();

}  // namespace shell
