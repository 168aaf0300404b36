// The installer of form 0787 in a host installation: control-record table,
// submission-table rows, report codes and parameter rows.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace jet {
class Database;
}

namespace seeder {

class Instalador {
  public:
    Instalador();
    ~Instalador();
    // One whole run; the program's exit code (0 when no message was shown).
    int Main();

    // The steps, in the order Main runs them (public for tests).
    bool AbreBaseDatos(const std::string& base);
    // Reads and checks both rows files; a file that cannot be read as the
    // installer expects gets its message and false. Main calls it before the
    // first change to the database.
    bool LeeArchivosFilas();
    void BorraParametros();
    bool ActualizaTablas(const std::string& base);
    void CreaTablaControl();
    bool CargaEnvio();
    bool CargaParametros();
    void GrabaReporte(std::string_view codigo, std::string_view descripcion);
    void GrabaParametro(std::string_view numero, std::string_view argumento,
                        std::string_view funcion, std::string_view correl);

    void EjecutaSql(const std::string& sql);
    bool ExisteTabla(std::string_view nombre);
    bool ExisteEnvio(std::string_view tablaO);
    bool ExisteParametro(std::string_view numero, std::string_view argumento);
    bool ExisteReporte(std::string_view codigo);
    bool ExisteFichero(const std::string& ruta);

    void FijaBase(const std::string& base) { base_ = base; }
    jet::Database* Base() { return db_.get(); }
    bool HuboFallas() const { return fallas_; }
    // Every statement handed to the database, in order, is appended to
    // *registro (nullptr: none kept).
    void FijaRegistro(std::vector<std::string>* registro) { registro_ = registro; }
    // Called with every statement just before it is handed to the database
    // (tests cut a run short there).
    void FijaVigia(std::function<void(const std::string&)> vigia) { vigia_ = std::move(vigia); }

  private:
    struct FilaEnvio {
        std::string tablaO, tablaD, tablaExt;
        std::vector<std::string> numeros;  // fields 5 to 13 as the statements write them
    };
    struct FilaParametro {
        std::string numero, argumento, funcion, correl;
        long linea = 0;
    };
    bool LeeEnvio();
    bool LeeParametros();

    // Reads a rows file: each line up to the first blank one, taken apart
    // into its first `cuantos` fields, goes to `fila` with its line number.
    // False, once the file's message has been shown, when a line has fewer
    // fields, when `fila` refuses a line (it says why) or when the file
    // cannot be read.
    bool LeeFilas(const std::string& ruta, std::size_t cuantos,
                  const std::function<bool(const std::vector<std::string>&, long)>& fila);
    // A rows file that cannot be read as the installer expects.
    void FallaArchivo(const std::string& ruta, long linea, const std::string& detalle);
    std::vector<std::string> Campos(const std::string& linea, std::size_t cuantos,
                                    const std::string& ruta, long numeroLinea, bool& ok);

    const std::string& Anota(const std::string& sql);
    // The query, kept like every statement, finds at least one row.
    bool HayFilas(const std::string& sql);

    std::string base_;
    std::unique_ptr<jet::Database> db_;
    bool fallas_ = false;
    std::vector<std::string>* registro_ = nullptr;
    std::function<void(const std::string&)> vigia_;
    int sentenciasFallidas_ = 0;   // statements refused (not the silent ones)
    bool corridaAbierta_ = false;  // Main's transaction is open on db_
    // The rows files as read and checked before the run changes anything.
    bool envioLeido_ = false;
    std::vector<FilaEnvio> envio_;
    bool parametrosLeidos_ = false;
    std::string rutaParametros_;
    std::vector<FilaParametro> parametros_;
};

// The base folder with one separator at the end when it came with two.
std::string QuitaSeparadorDoble(std::string base);

}  // namespace seeder
