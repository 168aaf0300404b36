// declaracion_guardada <host folder> <ruc> <periodo>: stores a declaration of
// the taxpayer and period in the host database as saving it leaves it (header
// and boxes, paid in cash), for the end-to-end runs of the print road.
#include <cstdio>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "host/hostkit.h"
#include "jet/database.h"
#include "vb/error.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "uso: declaracion_guardada <carpeta> <ruc> <periodo>\n");
        return 2;
    }
    try {
        auto db = hostkit::AbreHost(hostkit::Rutas(argv[1]));
        const std::string clave =
            std::string("'") + jet::Q(argv[2]) + "',6,'" + jet::Q(argv[3]) + "','0787',0";
        jet::Transaction t(*db);
        db->Execute(
            "INSERT INTO CAB (DOC_ID_D,TIP_DOC_D,PERIODO,FORMULARIO,SEMANA,fec_pro,"
            "estado,bcolibrad,nrocheque,cheque,efectivo,rectifica) VALUES (" +
                clave + ",'01/11/2017',0,' ',' ',' ','2500000','0')",
            jet::dbFailOnError);
        const std::vector<std::pair<const char*, const char*>> casillas = {
            {"353", "2500000"}, {"373", "125000"}, {"302", "2500000"}, {"322", "125000"},
            {"313", "2500000"}, {"333", "125000"}, {"598", "2625000"}, {"599", "E"},
            {"592", "1200"},    {"593", "4"},      {"721", "1.9"}};
        for (const auto& [casilla, valor] : casillas) {
            db->Execute(std::string("INSERT INTO DET (DOC_ID_D,TIP_DOC_D,PERIODO,FORMULARIO,"
                                    "SEMANA,CASILLA,I_VALOR,idcasilla,estado) VALUES (") +
                            clave + ",'" + casilla + "','" + valor + "','01',0)",
                        jet::dbFailOnError);
        }
        t.Commit();
        return 0;
    } catch (const vb::VbError& e) {
        std::fprintf(stderr, "declaracion_guardada: error %d: %s\n", e.Number(),
                     e.Description().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "declaracion_guardada: %s\n", e.what());
    }
    return 1;
}
