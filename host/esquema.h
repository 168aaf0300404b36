// The host tables, written down once: the host stand-in creates them in each
// installation, and every test that needs a host database creates them from
// here. Plain Jet DDL, so this library needs nothing but the standard library.
#pragma once

#include <string>
#include <vector>

namespace hostkit {

// The statements that create the host tables and their keys, in order.
const std::vector<std::string>& EsquemaHost();

}  // namespace hostkit
