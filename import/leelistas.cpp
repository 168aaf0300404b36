// The catalogue lists one file kind's checks read before its first line.
#include <exception>
#include <memory>
#include <unordered_map>

#include "import/leelistas.h"

#include "import/catalogo.h"
#include "vb/error.h"

namespace importacion {

Listas LeeListas(std::string_view tipo, std::string_view periodo) {
    Listas l;
    try {
        if (tipo == "MOV") {
            l.tiposDocumento = CadPar("044", "102");
            l.tiposMovimiento = CadPar2("818");
            l.codigosOperacion =
                periodo < std::string_view("200712") ? CadPar2("819") : CadPar2("312");
            l.paises = CadPar2("976");
        } else {
            l.tiposDocumento = CadPar("044", "103");
            l.tiposOperacion = CadPar2("817");
            l.tiposMovimiento = CadPar2("818");
            l.codigosOperacion = CadPar2("819") + "-" + CadPar2("312");
            l.modalidades = CadPar2("820");
            l.paises = CadPar2("976");
        }
    } catch (const vb::VbError& err) {
        throw ErrorCatalogo("El catálogo de parámetros no se pudo leer: " + err.Description() +
                            " (" + std::to_string(err.Number()) + ")");
    } catch (const std::exception& err) {
        throw ErrorCatalogo(std::string("El catálogo de parámetros no se pudo leer: ") +
                            err.what());
    }
    // Existe_TipoND asks the database; within one file the answer for a key
    // does not change, so it is asked once per key (a bounded memo).
    auto memo = std::make_shared<std::unordered_map<std::string, bool>>();
    l.existeTipoND = [memo](std::string_view cat, std::string_view clave) {
        std::string k = std::string(cat) + '\x1f' + std::string(clave);
        if (auto it = memo->find(k); it != memo->end()) return it->second;
        const bool r = Existe_TipoND(cat, clave);
        if (memo->size() < 4096) memo->emplace(std::move(k), r);
        return r;
    };
    return l;
}

}  // namespace importacion
