// The workgroup account with which every program of the system opens the
// host's database: a user name of 8 characters and a password of 9. Both are
// built from character codes each time they are needed, so they never appear
// as text in the program file; callers hand them to the engine and to nothing
// else (never a file, a message or a log).
#pragma once

#include <string>

namespace shell {

struct CuentaGrupo {
    std::string usuario;  // 8 characters
    std::string clave;    // 9 characters
};

CuentaGrupo ArmaCuentaGrupo();

}  // namespace shell
