#include "tools/recapper/resumen.h"

#include <unistd.h>

#include <chrono>
#include <random>

#include "jet/database.h"
#include "profile/profile.h"
#include "shell/avisos.h"
#include "shell/bancos.h"
#include "shell/cuenta.h"
#include "shell/settings.h"
#include "shell/spool.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/numeric.h"
#include "vb/strings.h"
#include "vb/variant.h"
#include "vb/wholefile.h"

namespace recapper {

namespace {

using shell::Aviso;

// The run ended after its own message.
struct FinPrograma {};

constexpr int kLineasPagina = 80;
constexpr const char* kPatron = "###,###,###,##0";
constexpr const char* kPatronPropia = "##,###,###,##0";
const std::string kMargen = vb::Space(10);

std::string Texto(const vb::Variant& v) {
    return v.IsNull() ? std::string() : vb::ToText(v);
}

bool TerminaEnSeparador(const std::string& ruta) {
    return !ruta.empty() && (ruta.back() == '\\' || ruta.back() == '/');
}

// The mark-up writer of the summary: plain lines become positioned records
// 175 twips apart; tags stay as they are and only on the first page.
class EscritorSpool {
  public:
    void Linea(const std::string& texto) {
        if (texto.rfind("<!", 0) == 0) {
            if (pagina_ > 1) return;
            Escribe(texto);
            return;
        }
        posicion_ = vb::AddInteger(posicion_, 175);
        Escribe("pPos|10|" + std::to_string(posicion_) + "|" + texto + "|False|8|" +
                std::to_string(pagina_ - 1) + "|");
    }
    void FijaContador(int n) { linea_ = n; }
    std::vector<std::string> registros;

  private:
    void Escribe(const std::string& registro) {
        registros.push_back(registro);
        if (++linea_ == kLineasPagina) {
            linea_ = 0;
            pagina_ = vb::AddInteger(pagina_, 1);
            registros.push_back("pNuevaHoja");
        }
    }
    std::int16_t posicion_ = 0;
    std::int16_t pagina_ = 1;
    int linea_ = 0;
};

// The text copy's writer: CR LF lines, a blank line as one blank, a page
// break (character 15) every 80 lines.
class EscritorTxt {
  public:
    void Linea(const std::string& texto) {
        lineas.push_back(vb::Trim(texto).empty() ? " " : texto);
        if (++linea_ == kLineasPagina) {
            linea_ = 0;
            lineas.push_back(vb::Chr(15));
        }
    }
    std::vector<std::string> lineas;

  private:
    int linea_ = 0;
};

std::string Fecha(vb::Date d) {
    return vb::Format(vb::Variant(d), "dd/mm/yyyy");
}

std::string Periodo(const LineaOrdenes& l) {
    return vb::Right(l.periodo, 2) + "/" + vb::Left(l.periodo, 4);
}

}  // namespace

LineaOrdenes PartirLinea(std::string_view linea) {
    auto campo = [&](long desde, long largo) {
        return static_cast<long>(vb::Len(linea)) >= desde ? vb::Mid(linea, desde, largo)
                                                          : std::string();
    };
    LineaOrdenes l;
    l.tipo = campo(1, 2);
    l.numero = vb::Trim(campo(3, 15));
    l.formulario = campo(18, 4);
    l.periodo = campo(22, 6);
    l.semana = campo(28, 1);
    l.nc = campo(29, 8);
    return l;
}

std::string ClaveDeclaracion(const LineaOrdenes& l) {
    return l.formulario + l.periodo + l.semana + l.tipo +
           vb::Format(std::string_view(l.numero), "000000000000000");
}

void AgregaNumero(std::string& linea, const Resumen& r, int casilla, std::string_view patron,
                  int ancho) {
    auto it = r.casillas.find(casilla);
    if (it == r.casillas.end() || !vb::IsNumeric(std::string_view(it->second))) return;
    const std::string texto = vb::Format(vb::CDbl(vb::Variant(it->second)), patron);
    const long largo = static_cast<long>(vb::Len(texto));
    linea += " ";
    if (largo < ancho) linea += vb::Space(ancho - largo);
    linea += texto;
}

std::string TextoRectificacion(const Resumen& r) {
    auto casilla = [&](int n) {
        auto it = r.casillas.find(n);
        return it == r.casillas.end() ? std::string() : it->second;
    };
    const std::string indicador = casilla(871);
    const std::string t = vb::Trim(indicador);
    if (t.empty() || t == "0") return "NO ";
    const std::string marca = vb::Left(indicador, 1) == "1" ? "UZQ" : "";
    return marca + " " + casilla(5);
}

std::vector<std::string> ReporteSpool(const Resumen& r, vb::Date ahora) {
    EscritorSpool e;
    const LineaOrdenes& l = r.linea;
    e.Linea("<!font!>Courier New<!/font!>");
    e.Linea("<!nHojas!>1<!/nHojas!>");
    e.Linea("");
    e.Linea("<!Orientacion!>V<!/Orientacion!>");
    e.Linea("<!Color!>&H80000005&<!/Color!>");
    e.FijaContador(1);
    for (int i = 0; i < 4; ++i) e.Linea("");
    e.Linea(kMargen + Fecha(ahora) + vb::Space(56) + "Pag. 01/01");
    e.Linea(kMargen + vb::Format(vb::Variant(ahora), "hh:mm:ss"));
    e.Linea("");
    e.Linea(vb::Space(16) + "Resumen de Declaración Generada - Formulario 0787 ");
    e.Linea("");
    e.Linea(kMargen + "DOCUMENTO        : " + l.numero);
    e.Linea(kMargen + "RAZON SOCIAL     : " + r.nombre);
    e.Linea(kMargen + "FORMULARIO       : " + l.formulario + "-QVX UZQ");
    e.Linea(kMargen + "PERIODO          : " + Periodo(l));
    e.Linea(kMargen + "RECTIFICATORIA   : " + TextoRectificacion(r));
    e.Linea(kMargen + "FORMA DE PAGO    : " + (r.cheque ? "CHEQUE" : "EFECTIVO"));
    if (r.cheque) {
        e.Linea(kMargen + "NUMERO DE CHEQUE : " + r.nroCheque);
        e.Linea(kMargen + "BANCO            : " + r.banco);
    }
    e.Linea("");
    e.Linea("");
    e.Linea(kMargen + "TRIBUTO            IMP.RESULT.     MONTO PAGO");
    std::string linea = kMargen + "UZQ CTA Propia ";
    AgregaNumero(linea, r, 312, kPatronPropia, 14);
    AgregaNumero(linea, r, 313, kPatron, 14);
    e.Linea(linea);
    linea = kMargen + "UZQ Retencion  ";
    AgregaNumero(linea, r, 332, kPatron, 14);
    AgregaNumero(linea, r, 333, kPatron, 14);
    e.Linea(linea);
    e.Linea("");
    linea = kMargen + "TOTAL:" + vb::Space(24);
    AgregaNumero(linea, r, 598, kPatron, 14);
    e.Linea(linea);
    e.Linea("");
    e.Linea(kMargen + "NC " + l.nc + vb::Space(8) + "Fec.Generación: " + Fecha(ahora));
    for (int i = 0; i < 3; ++i) e.Linea("");
    return e.registros;
}

std::vector<std::string> ResumenTxt(const Resumen& r, vb::Date ahora) {
    EscritorTxt e;
    const LineaOrdenes& l = r.linea;
    e.Linea("DOCUMENTO      : " + l.numero);
    e.Linea("RAZON SOCIAL   : " + vb::Left(r.nombre, 20));
    e.Linea("FORMULARIO     : " + l.formulario + "-QVX UZQ          ");
    e.Linea("PERIODO        : " + Periodo(l));
    e.Linea("RECTIFICATORIA : " + TextoRectificacion(r));
    e.Linea(std::string("FORMA DE PAGO  : ") + (r.cheque ? "CHEQUE" : "EFECTIVO"));
    if (r.cheque) {
        e.Linea("NUMERO CHEQUE  : " + r.nroCheque);
        e.Linea("BANCO          : " + vb::Left(r.banco, 20));
    }
    e.Linea(" ");
    e.Linea("TRIBUTO        IMP.RESULT.   MONTO PAGO");
    std::string linea = "UZQ CTA Prop.";
    AgregaNumero(linea, r, 312, kPatron, 12);
    AgregaNumero(linea, r, 313, kPatron, 12);
    e.Linea(linea);
    linea = "UZQ Retencion";
    AgregaNumero(linea, r, 332, kPatron, 12);
    AgregaNumero(linea, r, 333, kPatron, 12);
    e.Linea(linea);
    e.Linea(" ");
    linea = "TOTAL:" + vb::Space(19);
    AgregaNumero(linea, r, 598, kPatron, 13);
    e.Linea(linea);
    e.Linea(" ");
    e.Linea("NC " + l.nc + vb::Space(2) + "Fec.Generación: " + Fecha(ahora));
    return e.lineas;
}

Resumidor::Resumidor() = default;
Resumidor::~Resumidor() = default;

int Resumidor::Main(std::string_view linea) {
    try {
        const bool hecho = GeneraReportes(linea);
        // Without a registered report there is nothing to copy.
        if (!hecho || archivoSpool_.empty()) vb::Raise(vb::kFileNotFound);
        vb::ReplaceWholeFile(rpt_ + "\\" + clave_ + ".PRN", vb::ReadWholeFile(rpt_ + "\\" + archivoSpool_));
        vb::ReplaceWholeFile(tmp_ + "\\" + clave_ + ".txt", vb::ReadWholeFile(temporalTxt_));
        vb::Kill(temporalTxt_);
        temporalTxt_.clear();
    } catch (const FinPrograma&) {
        return 1;
    } catch (const vb::VbError& e) {
        if (!temporalTxt_.empty()) {
            try {
                vb::Kill(temporalTxt_);
            } catch (const vb::VbError&) {
            }
        }
        if (db_) db_.reset();
        Aviso().MsgBox("Error tecnico: " + vb::Str(static_cast<double>(e.Number())) + "\n" +
                           e.Description() + "\n" + "Intente nuevamente por favor.",
                       shell::vbCritical, "Mensaje");
        return 1;
    }
    if (db_) {
        db_->Close();
        db_.reset();
    }
    return 0;
}

bool Resumidor::GeneraReportes(std::string_view linea) {
    LeeConfiguracion();
    AbreBaseDatos();
    r_.linea = PartirLinea(linea);
    clave_ = ClaveDeclaracion(r_.linea);
    // The key names two files: it must stay a name within its folder.
    if (clave_.find_first_of("/\\") != std::string::npos) vb::Raise(vb::kBadFileNameOrNumber);
    LeeCabecera();
    LeeCasillas();
    if (!LeeNombre()) {
        Aviso().MsgBox("No existe data para Generar Reporte de Envio!!!\r\n\n", shell::vbCritical,
                       "Error");
        return false;
    }
    const vb::Date ahora = vb::Now();

    // The text copy, under a temporary name no other run holds.
    std::mt19937 azar(static_cast<unsigned>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid()));
    std::uniform_int_distribution<long> ocho(10000000, 99999999);
    temporalTxt_ = vb::CreateNewFile(
        tmp_, [&] { return std::to_string(ocho(azar)); }, vb::TextFileBytes(ResumenTxt(r_, ahora)));

    // The spooled report.
    archivoSpool_ = shell::RegistraSpool(*db_, usuario_, kCodigoReporte, 6, r_.linea.numero);
    vb::ReplaceWholeFile(rpt_ + "\\" + archivoSpool_, vb::TextFileBytes(ReporteSpool(r_, ahora)));
    return true;
}

void Resumidor::LeeConfiguracion() {
    dbPath_ = shell::LeeOpcion("DBPath");
    dbName_ = shell::LeeOpcion("DBName");
    usuario_ = shell::LeeOpcion("SysUser");
    rpt_ = dbPath_ + "RPT";
    tmp_ = dbPath_ + "TMP";
}

void Resumidor::AbreBaseDatos() {
    try {
        profile::WritePrivateProfileString(shell::kSeccionOpciones, "SystemDB",
                                           dbPath_ + "\\" + "KV000.MDW", shell::kArchivoIni);
        jet::EngineSettings& motor = jet::DBEngine();
        motor.iniPath = std::string(shell::kArchivoIni);
        motor.systemDB = dbPath_ + (TerminaEnSeparador(dbPath_) ? "" : "\\") + "KV000.MDW";
        shell::CuentaGrupo cuenta = shell::ArmaCuentaGrupo();
        motor.defaultUser = std::move(cuenta.usuario);
        motor.defaultPassword = std::move(cuenta.clave);
        db_ = jet::Database::Open(dbPath_ + dbName_, false, false);
    } catch (const vb::VbError& e) {
        Aviso().MsgBox("\n" + e.Description() + "\n" + "Intente nuevamente por favor.",
                       shell::vbCritical, "Mensaje");
        Aviso().Termina(1);
        throw FinPrograma{};
    }
}

std::string Resumidor::Filtro() const {
    return " WHERE DOC_ID_D='" + jet::Q(r_.linea.numero) + "'" + " AND PERIODO='" +
           jet::Q(r_.linea.periodo) + "'" + " AND FORMULARIO='" + jet::Q(r_.linea.formulario) + "'";
}

void Resumidor::LeeCabecera() {
    auto rs = db_->OpenRecordset(std::string("SELECT * FROM CAB") + " WHERE DOC_ID_D='" +
                                     jet::Q(r_.linea.numero) + "'" + " AND TIP_DOC_D=6" +
                                     " AND PERIODO='" + jet::Q(r_.linea.periodo) + "'" +
                                     " AND FORMULARIO='" + jet::Q(r_.linea.formulario) + "'",
                                 jet::dbOpenSnapshot);
    // Without a header row nothing names a cheque: the summary shows cash.
    if (!rs->Eof()) {
        r_.nroCheque = vb::Trim(Texto(rs->Fields("nrocheque").Value()));
        r_.cheque = !r_.nroCheque.empty();
        if (r_.cheque) r_.banco = BuscaBanco(Texto(rs->Fields("bcolibrad").Value()));
    }
    rs->Close();
}

std::string Resumidor::BuscaBanco(const std::string& codigo) {
    return shell::BuscaNombreBanco(*db_, codigo, shell::NombreBanco::Largo);
}

void Resumidor::LeeCasillas() {
    auto rs =
        db_->OpenRecordset("SELECT CASILLA, I_VALOR FROM DET" + Filtro(), jet::dbOpenSnapshot);
    for (; !rs->Eof(); rs->MoveNext()) {
        const double n = vb::Val(Texto(rs->Fields("CASILLA").Value()));
        if (n == 721 || n == 722 || n == 790) continue;
        // Boxes between the two tables are never stored by the declaration
        // form; a stray one has no place in the summary and is passed over.
        if (n > 600 && n < 861) continue;
        // A number outside both tables is no box at all: the row is damaged.
        if (n < 1 || n > 999) vb::Raise(vb::kSubscript);
        r_.casillas[static_cast<int>(n)] = Texto(rs->Fields("I_VALOR").Value());
    }
    rs->Close();
}

bool Resumidor::LeeNombre() {
    auto rs = db_->OpenRecordset(std::string("Select nombre from cont where doc_id_d= ") + "'" +
                                     jet::Q(r_.linea.numero) + "'" + "and tip_doc_d=" + "6",
                                 jet::dbOpenSnapshot);
    const bool hay = !rs->Eof();
    if (hay) r_.nombre = Texto(rs->Fields("nombre").Value());
    rs->Close();
    return hay;
}

}  // namespace recapper
