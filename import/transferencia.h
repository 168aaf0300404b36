// Importing the ticked data files of one declaration: filter, duplicate check,
// record checks and control record, with one message for every problem shown
// at the end.
#pragma once

#include <string>

namespace importacion {

// What the import asks of the "Validar Archivos" form. The core runs without
// windows (benchmarks, tests) with the defaults.
class VistaImportacion {
  public:
    virtual ~VistaImportacion() = default;
    // chkOpc(indice) is ticked (2 movements, 3 reversals).
    virtual bool Marcado(int indice) const = 0;
    virtual void Etapa(const std::string& texto) {}  // lblbar1
    virtual void Progreso(int valor) {}              // pbar1
    virtual void HabilitaGrabar(bool habilitado) {}  // CmdGrabar
    virtual void HabilitaMarcos() {}                 // fraBar, after a failed error-file write
    virtual void ProcesaEventos() {}
    virtual std::string Titulo() const { return "Validar Archivos"; }
};

// RutArc is the base name (the data file's full path without its extension,
// the point kept). `elegido`, when given, is the full path of the file the
// user picked: its kind is read from that very file. True when every ticked
// kind passed; otherwise the collected messages have been shown in one
// message box. When another import is validating one of the ticked data
// files at the same time, nothing is done and the message says so.
bool Transferencia(const std::string& RutArc, VistaImportacion& vista,
                   const std::string& elegido = {});

// Checks one data file F and stores its control record when it passed;
// problems are appended to sCadErr, each ended by a carriage return.
void TraDatos(const std::string& RutArc, std::string& sCadErr, VistaImportacion* vista = nullptr);

// The filter library's `depurar`, bound by name at the first call, with the
// paths exactly as given. Returns its result, or 0 with `error` set when it
// cannot be bound.
int Depurar(const std::string& entrada, const std::string& log, const std::string& salida,
            std::string& error);

}  // namespace importacion
