// How the Qt-free services show a message box and end the program. The main
// program plugs in its window message box; the programs without a window, and
// every program without a display, keep the default, which writes the box's
// title and text to standard error.
#pragma once

#include <string>

namespace shell {

// Message box style values (buttons + icon), as the system writes them.
enum EstiloAviso : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};

// Message box answers.
enum RespuestaAviso : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

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
