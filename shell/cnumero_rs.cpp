// CalculaCNumero over the row a recordset is adding or editing.
#include "jet/database.h"
#include "shell/cnumero.h"

namespace shell {

std::string CalculaCNumero(jet::Recordset& rs, int nClave) {
    const std::vector<vb::Variant> row = rs.CurrentRow();
    return CalculaCNumero(std::span<const vb::Variant>(row), nClave);
}

}  // namespace shell
