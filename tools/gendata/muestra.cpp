#include "tools/gendata/muestra.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "tools/gendata/generador.h"

namespace fs = std::filesystem;

namespace gen {

std::string MesSiguiente(const std::string& periodo) {
    int anio = std::atoi(periodo.substr(0, 4).c_str());
    int mes = std::atoi(periodo.substr(4, 2).c_str()) + 1;
    if (mes > 12) {
        mes = 1;
        ++anio;
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d", anio, mes);
    return buf;
}

std::string NombreDatos(const std::string& periodo, const std::string& ruc) {
    return "0787" + periodo + ruc + ".";
}

bool EscribeMuestra(const std::string& carpeta, const std::string& ruc, const std::string& periodo,
                    long n) {
    const std::string nombre = NombreDatos(periodo, ruc);
    const std::string siguiente = MesSiguiente(periodo);
    const std::string malo = NombreDatos(siguiente, ruc);
    std::error_code ec;
    fs::create_directories(carpeta + "/con_errores", ec);

    Generador g(ruc, periodo, 2024);
    bool ok = EscribeArchivo(carpeta + "/" + nombre + "mov", n, [&] { return g.Movimiento(); }) &&
              EscribeArchivo(carpeta + "/" + nombre + "ext", n, [&] { return g.Extorno(); });

    // Faulty files: good records mixed with one of each fault.
    Generador m(ruc, siguiente, 99);
    const bool acumulado = siguiente >= "201104";
    const std::string acum = acumulado ? "0.00" : "";
    const char* malosMov[] = {
        "06|20100123450||01|01|02||100.00|18.00|",  // RUC with a bad check digit (102)
        "01|1234567||01|01|02||100.00|18.00|",      // DNI of 7 digits (101)
        "01|12345678||01|01|08||100.00|18.00|",     // code 08 of another holder (128)
        "01|22345678||01|01|02||05.00|18.00|",      // bad amount (107)
        "01|32345678||01|01|13||100.00|18.00|",     // amount given for code 13 (107)
        "01|42345678||01|01|02||100.00|18.00",      // no final bar (122)
        "01|52345678||01|01|02||",                  // too few fields (001)
        "01|62345678||02|01|02||100.00|18.00|",     // operation type 02 (104)
    };
    std::vector<std::string> mov;
    for (int i = 0; i < 20; ++i) mov.push_back(m.Movimiento());
    for (const char* r : malosMov) {
        std::string s = r;
        // Complete the records that are whole but for their tail.
        if (s.back() == '|' && std::count(s.begin(), s.end(), '|') == 9) s += acum + "|||||||";
        mov.push_back(s);
    }
    std::size_t i = 0;
    ok = ok && EscribeArchivo(carpeta + "/con_errores/" + malo + "mov", mov.size(),
                              [&] { return mov[i++]; });
    // A movements file whose last record repeats the key of the first.
    fs::create_directories(carpeta + "/duplicados", ec);
    std::vector<std::string> dup(mov.begin(), mov.begin() + 20);
    dup.push_back(dup[0]);
    i = 0;
    ok = ok && EscribeArchivo(carpeta + "/duplicados/" + malo + "mov", dup.size(),
                              [&] { return dup[i++]; });

    const char* malosExt[] = {
        "01|12345678|||01|01|02||3|100.00|18.00|",        // modality 3 without period (117)
        "01|22345678||200402|01|01|02||1|100.00|18.00|",  // period before 03/2004 (109)
        "01|32345678||200501|02|01|02||1|100.00|18.00|",  // exonerated with tax (118)
        "01|42345678||200501|01|01|02||7|100.00|18.00|",  // modality not in the list (110)
        "01|52345678||200501|01|05|02||1|100.00|18.00|",  // movement type 05 (105)
    };
    std::vector<std::string> ext;
    for (int k = 0; k < 20; ++k) ext.push_back(m.Extorno());
    for (const char* r : malosExt) ext.push_back(std::string(r) + acum + "|||||||");
    ext.push_back("06|" + ruc + "||200501|01|01|02||4|100.00|18.00|" + acum +
                  "|||||||");  // own modality 4 (119)
    i = 0;
    ok = ok && EscribeArchivo(carpeta + "/con_errores/" + malo + "ext", ext.size(),
                              [&] { return ext[i++]; });
    return ok;
}

}  // namespace gen
