#include "tools/seeder/instalador.h"

#include <cmath>
#include <optional>

#include "jet/database.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/settings.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/numeric.h"
#include "vb/strings.h"
#include "vb/variant.h"

namespace seeder {

namespace {

using shell::Aviso;

// Values go into the statements as they stand, except that a single quote in
// a value is doubled (jet::Q): a quote in a rows-file field must not end the
// text early and turn the rest of the field into SQL.
constexpr const char* kFormulario = "0787";
constexpr const char* kTituloArchivo = "Error al leer archivo";

// The control-record table, as the import and the submission check expect it.
const std::string& SqlTablaControl() {
    static const std::string sql =
        std::string("CREATE TABLE EFCONTROL") +
        "([tip_doc_d] Byte, [doc_id_d] text(15),[periodo] Text(6), " +
        " [formulario] Text (4),[semana] integer, [nomarc] text(50), " +
        " [rutarc] text(255), [tamarc] long,[tab_d] text(50), " +
        " [marca] text(255), [cnum] text(20), [indice] byte," + " [num_tuplas] text(15)," +
        " [mto_302] text(15), [mto_322] text(15)," + " [mto_306] text(15), [mto_326] text(15)," +
        " [mto_305] text(15), [mto_325] text(15)," +
        " [mto_303] text(15), [mto_323] text(15), [mto_324] text(15)," + " [mto_402] text(15)," +
        " [mto_422] text(15), [mto_403] text(15), [mto_423] text(15)," +
        " [mto_424] text(15), [mto_406] text(15), [mto_426] text(15)," + " [cnumero] text(6));";
    return sql;
}

const std::string& SqlClaveControl() {
    static const std::string sql =
        std::string("ALTER TABLE EFCONTROL ADD CONSTRAINT PK_EFCONTROL PRIMARY KEY") +
        " ([tip_doc_d],[doc_id_d], " + " [periodo],[Formulario]," + " [semana],[nomarc])";
    return sql;
}

struct FilaFija {
    const char* numero;
    const char* argumento;
    const char* funcion;
};

constexpr FilaFija kFilasFijas[] = {
    {"875", "01", "TIN - Doc Trib PP.NN."},
    {"875", "02", "IN - Doc Trib PP.JJ."},
    {"875", "03", "Doc. Identificación Local del país de origen"},
    {"876", "01", "RESIDENCIA O DOMICILIO DE LA ACTIVIDAD"},
    {"876", "02", "RESIDENCIA"},
    {"876", "03", "DOMICILIO DE LA ACTIVIDAD"},
    {"876", "04", "DOM OFICIAL CÍA, ASOC U OTRA ENT LEGAL"},
};

bool EsSeparador(char c) {
    return c == '/' || c == '\\';
}

// A number of a rows file as its statement writes it: whole numbers as plain
// decimal digits.
std::string TextoNumero(double valor) {
    if (valor == std::floor(valor) && std::fabs(valor) < 1e15) {
        return std::to_string(static_cast<long long>(valor));
    }
    return vb::Trim(vb::Str(valor));
}

// The file's lines, read as the installer reads them: up to the end or the
// first line that is blank after trimming. A file that cannot be opened or
// read ends the reading; Falla() then holds the run-time's error.
class LectorFilas {
  public:
    explicit LectorFilas(const std::string& ruta) {
        try {
            numero_ = vb::FreeFile();
            vb::Open(ruta, vb::OpenMode::Input, numero_);
            abierto_ = true;
        } catch (const vb::VbError& e) {
            falla_ = e;
        }
    }
    ~LectorFilas() {
        if (abierto_) {
            try {
                vb::Close(numero_);
            } catch (...) {
            }
        }
    }
    bool Siguiente(std::string& linea) {
        if (!abierto_ || falla_) return false;
        try {
            if (vb::Eof(numero_)) return false;
            linea = vb::LineInput(numero_);
        } catch (const vb::VbError& e) {
            falla_ = e;
            return false;
        }
        ++lineas_;
        return !vb::Trim(linea).empty();
    }
    long Lineas() const { return lineas_; }
    const std::optional<vb::VbError>& Falla() const { return falla_; }
    // The line the reading stopped at (0: the file was not opened).
    long LineaFalla() const { return abierto_ ? lineas_ + 1 : 0; }

  private:
    int numero_ = 0;
    bool abierto_ = false;
    long lineas_ = 0;
    std::optional<vb::VbError> falla_;
};

// What a rows file that could not be read gets said of it: a missing file
// (or folder) is not found; any other refusal gives the run-time's reason.
std::string MotivoLectura(const vb::VbError& e) {
    if (e.Number() == vb::kFileNotFound || e.Number() == vb::kPathNotFound)
        return "no se encontró el archivo.";
    return "no se pudo leer el archivo (" + std::to_string(e.Number()) + ": " + e.Description() +
           ").";
}

// A run-time error the run does not expect: its number and description.
void AvisaErrorEjecucion(const vb::VbError& e) {
    Aviso().MsgBox("Error " + std::to_string(e.Number()) + "\n" + e.Description(),
                   shell::vbCritical, "Error de Ejecución");
}

}  // namespace

std::string QuitaSeparadorDoble(std::string base) {
    std::size_t n = base.size();
    if (n >= 2 && EsSeparador(base[n - 1]) && EsSeparador(base[n - 2])) base.pop_back();
    return base;
}

Instalador::Instalador() = default;
Instalador::~Instalador() = default;

// The run's changes form one transaction on the connection opened first: a
// run cut short (killed, refused by the database, or stopped by a rows file
// that cannot be loaded) leaves the host as it was. The lists 817 to 823 are
// deleted at the start and loaded again near the end, so only a transaction
// over the whole run keeps either the old lists or the new ones. Inside it,
// the control-record table with its key and the submission-table rows are
// units of their own: a statement of theirs that fails gives back their
// previous state and the run goes on.
int Instalador::Main() {
    // 1-2. The base folder.
    base_ = shell::LeeOpcion("SysPath");
    if (base_.empty()) {
        Aviso().MsgBox("Debe instalar primero el QVX ", shell::vbInformation, "Mensaje");
        return 1;
    }
    base_ = QuitaSeparadorDoble(base_);
    try {
        // 3.
        if (!AbreBaseDatos(base_)) return 1;
        // Both rows files are checked before anything changes.
        if (!LeeArchivosFilas()) {
            db_->Close();
            return 1;
        }
        jet::Transaction corrida(*db_);
        corridaAbierta_ = true;
        const int fallasAntes = sentenciasFallidas_;
        // 4-5.
        BorraParametros();
        const bool borradoCompleto = sentenciasFallidas_ == fallasAntes;
        if (!ActualizaTablas(base_)) return 1;
        // 6-7.
        if (!CargaParametros()) return 1;
        for (const FilaFija& f : kFilasFijas)
            GrabaParametro(f.numero, f.argumento, f.funcion, "000");
        // 8. Lists half deleted would not be the old catalogue nor the new.
        if (!borradoCompleto) return 1;
        corrida.Commit();
        corridaAbierta_ = false;
        db_->Close();
    } catch (const vb::VbError& e) {
        AvisaErrorEjecucion(e);
        return 1;
    }
    return fallas_ ? 1 : 0;
}

bool Instalador::AbreBaseDatos(const std::string& base) {
    auto db = shell::AbreBaseDatos(base);
    if (!db) return false;
    db_ = std::move(db);
    return true;
}

void Instalador::BorraParametros() {
    for (const char* numero : {"817", "818", "819", "820", "821", "822", "823"}) {
        EjecutaSql("Delete from Param where numero='" + std::string(numero) + "'");
    }
}

bool Instalador::ActualizaTablas(const std::string& base) {
    // The database is opened again. While the run's transaction is open on
    // the first connection, the second could not write; it is closed at once
    // and the work goes on where the run's pending changes are.
    if (db_ && corridaAbierta_) {
        auto otra = shell::AbreBaseDatos(base);
        if (!otra) return false;
        otra->Close();
    } else if (!AbreBaseDatos(base)) {
        return false;
    }
    CreaTablaControl();
    if (!CargaEnvio()) return false;
    EjecutaSql(std::string("insert into reportes ") + "values ('UZQ001','Reporte de UZQ',1)");
    GrabaReporte("UZQ002", "Resumen de declaración generada - 0787");
    return true;
}

void Instalador::CreaTablaControl() {
    // The table and its key come together or not at all. A table the host
    // already holds is its own and is left as it stands.
    jet::Transaction unidad(*db_);
    const int fallasAntes = sentenciasFallidas_;
    if (!ExisteTabla("EFCONTROL")) {
        EjecutaSql(SqlTablaControl());
        EjecutaSql(SqlClaveControl());
    }
    if (sentenciasFallidas_ == fallasAntes) unidad.Commit();
    db_->RefreshTableDefs();
}

bool Instalador::LeeArchivosFilas() {
    return LeeEnvio() && LeeParametros();
}

bool Instalador::LeeEnvio() {
    envio_.clear();
    const std::string ruta = base_ + "tmp/" + "envuzq.txt";
    const bool leido = LeeFilas(ruta, 13, [&](const std::vector<std::string>& f, long numero) {
        FilaEnvio fila;
        fila.tablaO = vb::Trim(f[1]);
        fila.tablaD = vb::Trim(f[2]);
        fila.tablaExt = vb::Trim(f[3]);
        for (std::size_t k = 5; k <= 13; ++k) {
            const std::string& campo = f[k - 1];
            try {
                if (k <= 7) {
                    fila.numeros.push_back(std::to_string(vb::CByte(vb::Variant(campo))));
                } else {
                    auto valor = vb::ParseNumber(campo);
                    if (!valor) vb::Raise(vb::kTypeMismatch);
                    fila.numeros.push_back(TextoNumero(*valor));
                }
            } catch (const vb::VbError&) {
                FallaArchivo(ruta, numero,
                             "el campo " + std::to_string(k) + " ('" + campo + "') no es " +
                                 (k <= 7 ? "un número entero de 0 a 255." : "un número."));
                return false;
            }
        }
        envio_.push_back(std::move(fila));
        return true;
    });
    if (!leido) return false;
    envioLeido_ = true;
    return true;
}

bool Instalador::LeeParametros() {
    parametros_.clear();
    std::string ruta = base_ + "tmp/" + "paruzq.txt";
    if (!ExisteFichero(ruta)) ruta = base_ + "paruzq.txt";
    const bool leido = LeeFilas(ruta, 4, [&](const std::vector<std::string>& f, long numero) {
        if (!vb::ParseNumber(f[3])) {
            FallaArchivo(ruta, numero, "el campo 4 ('" + f[3] + "') no es un número.");
            return false;
        }
        parametros_.push_back(
            {f[0], f[1], f[2], vb::Format(std::string_view(f[3]), "000"), numero});
        return true;
    });
    if (!leido) return false;
    rutaParametros_ = ruta;
    parametrosLeidos_ = true;
    return true;
}

bool Instalador::CargaEnvio() {
    if (!envioLeido_ && !LeeEnvio()) return false;
    // All rows of the form are replaced, or none.
    jet::Transaction unidad(*db_);
    const int fallasAntes = sentenciasFallidas_;
    EjecutaSql("delete * from envio_t where formulario='0787'");
    for (const FilaEnvio& fila : envio_) {
        const std::vector<std::string>& n = fila.numeros;
        std::string sql;
        if (ExisteEnvio(fila.tablaO)) {
            sql = std::string("Update envio_t set ") + " tabla_d = " + "'" + jet::Q(fila.tablaD) +
                  "'" + "," + " tabla_ext = " + "'" + jet::Q(fila.tablaExt) + "'" + "," +
                  " indice=" + n[0] + "," + " obliga=" + n[1] + "," + " c_tip_doc_d=" + n[2] + "," +
                  " c_doc_id_d =" + n[3] + "," + " c_Formulario=" + n[4] + "," +
                  " c_periodo=" + n[5] + "," + " c_estado=" + n[6] + "," + " c_envio=" + n[7] +
                  "," + " c_semana=" + n[8] + " Where formulario='" + kFormulario +
                  "' AND tabla_o='" + jet::Q(fila.tablaO) + "'";
        } else {
            sql = std::string("insert into envio_t ") + "values ( " + "'" + kFormulario + "'," +
                  "'" + jet::Q(fila.tablaO) + "'," + "'" + jet::Q(fila.tablaD) + "'," + "'" +
                  jet::Q(fila.tablaExt) + "'";
            for (const std::string& numero : n) sql += "," + numero;
            sql += ")";
        }
        EjecutaSql(sql);
    }
    if (sentenciasFallidas_ == fallasAntes) unidad.Commit();
    return true;
}

void Instalador::GrabaReporte(std::string_view codigo, std::string_view descripcion) {
    if (ExisteReporte(codigo)) {
        EjecutaSql("Update Reportes Set DescRep='" + jet::Q(descripcion) + "' Where CodRep='" +
                   jet::Q(codigo) + "'");
    } else {
        EjecutaSql(std::string("insert into reportes ") + "values ('" + jet::Q(codigo) + "','" +
                   jet::Q(descripcion) + "',1)");
    }
}

bool Instalador::CargaParametros() {
    if (!parametrosLeidos_ && !LeeParametros()) return false;
    for (const FilaParametro& p : parametros_) {
        try {
            auto rs =
                db_->OpenRecordset(Anota("Select * From PARAM where numero='" + jet::Q(p.numero) +
                                         "'" + " and argumento= '" + jet::Q(p.argumento) + "'"),
                                   jet::dbOpenDynaset);
            if (rs->Eof()) {
                rs->AddNew();
                rs->Fields("Numero") = p.numero;
                rs->Fields("Argumento") = p.argumento;
                rs->Fields("Funcion") = p.funcion;
                rs->Fields("Correl_Param") = p.correl;
            } else {
                rs->Edit();
                rs->Fields("Funcion") = p.funcion;
                rs->Fields("Correl_Param") = p.correl;
            }
            rs->Update();
            rs->Close();
        } catch (const vb::VbError& e) {
            FallaArchivo(rutaParametros_, p.linea,
                         "la fila no se pudo grabar (" + std::to_string(e.Number()) + ": " +
                             e.Description() + ").");
            return false;
        }
    }
    return true;
}

void Instalador::GrabaParametro(std::string_view numero, std::string_view argumento,
                                std::string_view funcion, std::string_view correl) {
    if (ExisteParametro(numero, argumento)) {
        EjecutaSql("Update Param Set Funcion='" + jet::Q(funcion) + "', Correl_param='" +
                   jet::Q(correl) + "' Where Numero='" + jet::Q(numero) + "' AND Argumento='" +
                   jet::Q(argumento) + "'");
    } else {
        EjecutaSql(std::string("insert into Param ") + "values ('" + jet::Q(numero) + "','" +
                   jet::Q(argumento) + "','" + jet::Q(funcion) + "','" + jet::Q(correl) + "')");
    }
}

void Instalador::EjecutaSql(const std::string& sql) {
    try {
        db_->Execute(Anota(sql), jet::dbInconsistent);
    } catch (const vb::VbError& e) {
        if (e.Number() == 3010 || e.Number() == 3283) return;
        fallas_ = true;
        ++sentenciasFallidas_;
        Aviso().MsgBox("Error Número : " + std::to_string(e.Number()) + "\n" + e.Description(),
                       shell::vbCritical, "Error al Ejecutar Sentencia SQL");
    }
}

bool Instalador::ExisteTabla(std::string_view nombre) {
    db_->RefreshTableDefs();
    const std::string buscado = vb::UCase(nombre);
    for (const std::string& tabla : db_->TableDefs()) {
        if (vb::UCase(tabla) == buscado) return true;
    }
    return false;
}

bool Instalador::ExisteEnvio(std::string_view tablaO) {
    return HayFilas(std::string("Select * from envio_t Where formulario='") + kFormulario +
                    "' AND tabla_o='" + jet::Q(tablaO) + "'");
}

bool Instalador::ExisteParametro(std::string_view numero, std::string_view argumento) {
    return HayFilas("Select * from Param Where Numero='" + jet::Q(numero) + "' AND Argumento='" +
                    jet::Q(argumento) + "'");
}

bool Instalador::ExisteReporte(std::string_view codigo) {
    return HayFilas("Select * from Reportes Where CodRep='" + jet::Q(codigo) + "'");
}

bool Instalador::HayFilas(const std::string& sql) {
    auto rs = db_->OpenRecordset(Anota(sql), jet::dbOpenSnapshot);
    bool existe = !rs->Eof();
    rs->Close();
    return existe;
}

bool Instalador::ExisteFichero(const std::string& ruta) {
    std::size_t barra = ruta.find_last_of("/\\");
    if (barra != std::string::npos) {
        bool carpeta = false;
        try {
            carpeta = vb::DirExists(ruta.substr(0, barra + 1));
        } catch (const vb::VbError& e) {
            if (e.Number() != vb::kPathNotFound) AvisaErrorEjecucion(e);
        }
        if (!carpeta) return false;
    }
    try {
        return vb::FileExists(ruta);
    } catch (const vb::VbError& e) {
        if (e.Number() != vb::kPathNotFound) AvisaErrorEjecucion(e);
        return false;
    }
}

const std::string& Instalador::Anota(const std::string& sql) {
    if (registro_ != nullptr) registro_->push_back(sql);
    if (vigia_) vigia_(sql);
    return sql;
}

bool Instalador::LeeFilas(const std::string& ruta, std::size_t cuantos,
                          const std::function<bool(const std::vector<std::string>&, long)>& fila) {
    LectorFilas lector(ruta);
    std::string linea;
    while (lector.Siguiente(linea)) {
        bool ok = true;
        const std::vector<std::string> campos = Campos(linea, cuantos, ruta, lector.Lineas(), ok);
        if (!ok || !fila(campos, lector.Lineas())) return false;
    }
    if (lector.Falla()) {
        FallaArchivo(ruta, lector.LineaFalla(), MotivoLectura(*lector.Falla()));
        return false;
    }
    return true;
}

void Instalador::FallaArchivo(const std::string& ruta, long linea, const std::string& detalle) {
    fallas_ = true;
    std::string texto = "Archivo " + ruta;
    if (linea > 0) texto += ", línea " + std::to_string(linea);
    texto += ": " + detalle;
    Aviso().MsgBox(texto, shell::vbCritical, kTituloArchivo);
}

std::vector<std::string> Instalador::Campos(const std::string& linea, std::size_t cuantos,
                                            const std::string& ruta, long numeroLinea, bool& ok) {
    std::vector<std::string> campos;
    std::size_t desde = 0;
    while (campos.size() < cuantos) {
        std::size_t barra = linea.find('|', desde);
        if (barra == std::string::npos) break;
        campos.push_back(linea.substr(desde, barra - desde));
        desde = barra + 1;
    }
    ok = campos.size() == cuantos;
    if (!ok) {
        FallaArchivo(ruta, numeroLinea,
                     "la línea tiene " + std::to_string(campos.size()) + " campos terminados en " +
                         "\"|\" y se esperan " + std::to_string(cuantos) + ".");
    }
    return campos;
}

}  // namespace seeder
