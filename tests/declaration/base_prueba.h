// A prepared host installation for the declaration tests: host database with
// the control-record table, the program state pointing at it, and helpers to
// put control records and stored rows in place and read rows back.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "declaration/declaracion.h"
#include "host/hostkit.h"
#include "pruebas/host.h"
#include "validator/validator.h"

namespace jet {
class Database;
}

namespace prueba {

inline const std::string kRuc = "20100123453";  // a taxpayer of the sample register

class BaseDeclaracion : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    declaracion::Clave Clave(const std::string& periodo) const;
    // A control record of the declaration: kind "mov" or "ext" (the file
    // name's ending), columns -> text.
    void Control(const std::string& periodo, const std::string& clase,
                 const std::map<std::string, std::string>& columnas);
    // A header row as the import leaves it (estado 9, no payment data) with
    // the columns given over it.
    void Cabecera(const std::string& periodo,
                  const std::map<std::string, std::string>& columnas = {});
    void Casilla(const std::string& periodo, const std::string& casilla, const std::string& valor);
    // Stored boxes of the declaration: CASILLA -> I_VALOR.
    std::map<std::string, std::string> Casillas(const std::string& periodo);
    // The header's columns as text ("<null>" for Null).
    std::map<std::string, std::string> FilaCab(const std::string& periodo);
    long Cuenta(const std::string& sql);

    pruebas::CarpetaTemporal carpeta_;
    pruebas::AvisosGrabados avisos_;
    hostkit::Instalacion inst_;
    std::unique_ptr<jet::Database> db_;
    validator::cValidador val_;
};

}  // namespace prueba
