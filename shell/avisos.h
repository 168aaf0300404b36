// How the Qt-free services show a message box and end the program. The main
// program plugs in its window message box; the programs without a window, and
// every program without a display, keep the default, which writes the box's
// title and text to standard error.
#pragma once

#include <string>

#include "vb/msgbox_values.h"

namespace shell {

// Message box style values (buttons + icon) and answers, as the system
// writes them.
using enum vb::MsgBoxStyle;
using enum vb::MsgBoxResult;

class Avisos {
  public:
    virtual ~Avisos() = default;
    // Shows a message box and returns the button chosen.
    virtual int MsgBox(const std::string& texto, int estilo, const std::string& titulo) = 0;
    // Ends the program at once. An implementation that returns (tests) lets
    // the caller report the failure through its result instead.
    virtual void Termina(int codigo) = 0;
};

// Writes "titulo: texto" to standard error and answers OK (or Yes); Termina
// leaves the process with the code given.
class AvisosConsola : public Avisos {
  public:
    int MsgBox(const std::string& texto, int estilo, const std::string& titulo) override;
    void Termina(int codigo) override;
};

// The implementation in force (the console one until another is set).
Avisos& Aviso();
// Sets the implementation; nullptr goes back to the console one. The caller
// keeps ownership.
void FijaAvisos(Avisos* avisos);

}  // namespace shell
