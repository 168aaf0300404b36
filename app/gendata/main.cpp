// gendata <folder> <ruc> <periodo> [records]
// Writes the sample data files of one taxpayer and period (see
// tools/gendata/muestra.h).
#include <cstdlib>
#include <iostream>
#include <string>

#include "tools/gendata/muestra.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: gendata <folder> <ruc> <periodo yyyymm> [records]\n";
        return 1;
    }
    const std::string carpeta = argv[1], ruc = argv[2], periodo = argv[3];
    const long n = argc > 4 ? std::atol(argv[4]) : 200;
    if (ruc.size() != 11 || periodo.size() != 6 || periodo < "200403") {
        std::cerr << "the RUC needs 11 digits and the period is yyyymm from 200403\n";
        return 1;
    }
    if (!gen::EscribeMuestra(carpeta, ruc, periodo, n)) {
        std::cerr << "cannot write the files in " << carpeta << "\n";
        return 1;
    }
    const std::string nombre = gen::NombreDatos(periodo, ruc);
    const std::string malo = gen::NombreDatos(gen::MesSiguiente(periodo), ruc);
    std::cout << "valid pair      " << carpeta << "/" << nombre << "mov, " << nombre << "ext\n"
              << "faulty pair     " << carpeta << "/con_errores/" << malo << "mov, " << malo
              << "ext\n"
              << "duplicates      " << carpeta << "/duplicados/" << malo << "mov\n";
    return 0;
}
