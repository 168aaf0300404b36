#include "shell/filtro.h"

#include "jet/database.h"
#include "shell/state.h"

namespace shell {

std::string FiltroDeclaracion() {
    const ProgramState& g = G();
    return " WHERE DOC_ID_D='" + jet::Q(g.gsRuc) + "'" + " AND PERIODO='" + jet::Q(g.gsPeriodo) +
           "'" + " AND FORMULARIO='" + jet::Q(g.gsFormulario) + "'" +
           " AND SEMANA=" + std::to_string(g.gnSemana) + " AND TIP_DOC_D=6";
}

}  // namespace shell
