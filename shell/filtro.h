// The WHERE clause that names the current declaration (taxpayer, period, form,
// week, document type 6), as every query on its rows writes it.
#pragma once

#include <string>

namespace shell {

// " WHERE DOC_ID_D='<gsRuc>' AND PERIODO='<gsPeriodo>' AND FORMULARIO='<gsFormulario>'
//  AND SEMANA=<gnSemana> AND TIP_DOC_D=6"
std::string FiltroDeclaracion();

}  // namespace shell
