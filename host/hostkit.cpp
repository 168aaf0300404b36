#include "host/hostkit.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "host/esquema.h"
#include "jet/database.h"
#include "profile/profile.h"
#include "shell/cnumero.h"
#include "shell/cuenta.h"
#include "vb/datetime.h"
#include "vb/numeric.h"
#include "vb/strings.h"
#include "vb/text.h"
#include "vb/variant.h"

namespace fs = std::filesystem;

namespace hostkit {

namespace {

std::string ConBarra(std::string carpeta) {
    if (carpeta.empty() || carpeta.back() != '/') carpeta += '/';
    return carpeta;
}

std::string Relleno(std::string_view texto, std::size_t ancho) {
    std::string t(texto);
    std::size_t n = vb::CharCount(t);
    if (n < ancho) t.append(ancho - n, ' ');
    return t;
}

struct FilaParam {
    std::string numero, argumento, funcion;
};

// Catalogue rows of the host installation (the installer brings 817 to 823
// and the version row itself; 821 here is an old list it removes).
std::vector<FilaParam> Catalogo() {
    std::vector<FilaParam> filas;
    auto agrega = [&](std::string n, std::string a, std::string f) {
        filas.push_back({std::move(n), std::move(a), std::move(f)});
    };
    // Banks: name 1-36, short name 38-49; "00" heads the list.
    struct Banco {
        const char* codigo;
        const char* nombre;
        const char* corto;
    };
    for (const Banco& b :
         {Banco{"00", "BANCOS", ""}, Banco{"01", "BANCO UNO", "B.UNO"},
          Banco{"02", "BANCO DOS", "B.DOS"}, Banco{"03", "BANCO TRES", "B.TRES"},
          Banco{"04", "BANCO CUATRO", "B.CUATRO"}, Banco{"05", "BANCO CINCO", "B.CINCO"},
          Banco{"06", "BANCO SEIS", "B.SEIS"},
          Banco{"07", "BANCO SIETE DE NOMBRE MUY LARGO PARA LA LISTA", "B.SIETE"}}) {
        agrega("004", b.codigo, Relleno(b.nombre, 37) + b.corto);
    }
    // Document types.
    agrega("044", "0",
           FuncionTipoDocumento("OTROS TIPOS DE DOCUMENTOS", "OTROS", 15, true, true, '0', '0'));
    agrega("044", "1",
           FuncionTipoDocumento("DOC. NACIONAL DE IDENTIDAD", "DNI", 8, true, true, '5', '1'));
    agrega("044", "4",
           FuncionTipoDocumento("CARNET DE EXTRANJERIA", "CARNET EXT.", 12, true, true, '0', '0'));
    agrega("044", "6",
           "REG. UNICO DE CONTRIBUYENTES   RUC           11 000110 01 000001000001100111011111  "
           "                                         0 5 0");
    agrega("044", "7", FuncionTipoDocumento("PASAPORTE", "PASAPORTE", 12, true, true, '0', '0'));
    agrega(
        "044", "11",
        FuncionTipoDocumento("PARTIDA DE NACIMIENTO", "P. NACIMIENTO", 15, false, true, '0', '0'));
    // Operation codes: type (2) and code (2); "312" from period 200712.
    for (int c = 1; c <= 15; ++c) agrega("312", "01" + vb::Format(c, "00"), "");
    for (int c = 1; c <= 12; ++c) agrega("312", "02" + vb::Format(c, "00"), "");
    // Tax units by date (invented round figures).
    struct Uit {
        const char* fecha;
        const char* valor;
    };
    for (const Uit& u :
         {Uit{"20040101", "1000"}, Uit{"20050101", "1100"}, Uit{"20060101", "1200"},
          Uit{"20070101", "1300"}, Uit{"20080101", "1400"}, Uit{"20090101", "1500"},
          Uit{"20100101", "1600"}, Uit{"20110101", " 1600 "}, Uit{"20120101", "1700"},
          Uit{"20130101", "1800"}, Uit{"20140101", "1900"}, Uit{"20150101", "2000"},
          Uit{"20160101", "2100"}, Uit{"20170101", "2200"}}) {
        agrega("404", u.fecha, u.valor);
    }
    agrega("821", "01", "LISTA ANTERIOR");
    agrega("856", "0787", "1.9 01/03/2004     722");
    // Countries: invented codes and names; 9589 is the declarant's own country.
    struct Pais {
        const char* codigo;
        const char* nombre;
    };
    for (const Pais& p :
         {Pais{"8801", "PAIS UNO"}, Pais{"8802", "PAIS DOS"}, Pais{"8803", "PAIS TRES"},
          Pais{"8804", "PAIS CUATRO"}, Pais{"8805", "PAIS CINCO"}, Pais{"8806", "PAIS D'ORIENTE"},
          Pais{"8807", "PAIS SEIS"}, Pais{"8808", "PAIS DEL ÑANDÚ"}, Pais{"8809", "PAIS SIETE"},
          Pais{"8810", "PAIS OCHO"}, Pais{"9589", "PAIS DEL DECLARANTE"},
          Pais{"8811", "PAIS NUEVE"}}) {
        agrega("976", p.codigo, p.nombre);
    }
    // Professions; "00" heads the list.
    struct Profesion {
        const char* codigo;
        const char* nombre;
    };
    for (const Profesion& p :
         {Profesion{"00", "PROFESIONES"}, Profesion{"01", "ABOGADO"},
          Profesion{"02", "ADMINISTRADOR"}, Profesion{"03", "CONTADOR PUBLICO"},
          Profesion{"04", "ECONOMISTA"}, Profesion{"05", "INGENIERO"}, Profesion{"06", "MEDICO"},
          Profesion{"07", "ODONTOLOGO"}, Profesion{"99", "OTROS"}}) {
        agrega("979", p.codigo, p.nombre);
    }
    return filas;
}

void Inserta(jet::Database& db, const std::string& tabla, const std::vector<vb::Variant>& valores) {
    auto rs = db.OpenRecordset(tabla, jet::dbOpenTable);
    rs->AddNew();
    for (std::size_t i = 0; i < valores.size(); ++i) rs->Fields(static_cast<int>(i)) = valores[i];
    rs->Update();
    rs->Close();
}

void EscribeTexto1252(const std::string& ruta, const std::vector<std::string>& lineas) {
    std::ofstream out(ruta, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("No se pudo escribir " + ruta);
    for (const std::string& l : lineas) out << vb::Utf8ToCp1252(l) << "\r\n";
    if (!out) throw std::runtime_error("No se pudo escribir " + ruta);
}

void FijaCuenta(const Instalacion& inst) {
    jet::EngineSettings& motor = jet::DBEngine();
    shell::CuentaGrupo cuenta = shell::ArmaCuentaGrupo();
    motor.systemDB = inst.grupo;
    motor.defaultUser = std::move(cuenta.usuario);
    motor.defaultPassword = std::move(cuenta.clave);
}

}  // namespace

Instalacion Rutas(std::string_view carpeta) {
    Instalacion inst;
    fs::path base = fs::absolute(fs::path(carpeta)).lexically_normal();
    inst.carpeta = base.string();
    if (inst.carpeta.size() > 1 && inst.carpeta.back() == '/') inst.carpeta.pop_back();
    inst.windows = inst.carpeta + "/windows";
    inst.ini = inst.windows + "/KV000.INI";
    inst.sysPath = inst.carpeta + "/QVX/";
    inst.base = inst.sysPath + std::string(kNombreBase);
    inst.grupo = inst.sysPath + "KV000.MDW";
    inst.tmp = inst.sysPath + "tmp/";
    return inst;
}

std::string FuncionTipoDocumento(std::string_view nombre, std::string_view corto, int longitud,
                                 bool movimientos, bool extornos, char clase, char regla) {
    std::string f = Relleno(nombre, 30) + Relleno(corto, 15) + vb::Format(longitud, "00");
    f = Relleno(f, 101);
    f += movimientos ? '1' : '0';
    f += extornos ? '1' : '0';
    f = Relleno(f, 127);
    f += clase;
    f += ' ';
    f += regla;
    return f;
}

std::string LineaFilas(const std::vector<std::string>& campos) {
    std::string linea;
    for (const std::string& c : campos) linea += c + "|";
    return linea;
}

const std::vector<Contribuyente>& Contribuyentes() {
    static const std::vector<Contribuyente> lista = {
        {6, "20100123453", "EMPRESA DE PRUEBA S.A.", std::string(kUsuarioSistema)},
        {6, "20555666773", "EMPRESA DE EJEMPLO S.A.C.", std::string(kUsuarioSistema)},
        {6, "20600000013", "COOPERATIVA DE PRUEBA LTDA", std::string(kUsuarioAdmin)},
        {6, "10408123459", "CONTRIBUYENTE DE PRUEBA UNO", std::string(kUsuarioAdmin)},
        {1, "40812345", "CONTRIBUYENTE DE PRUEBA UNO", std::string(kUsuarioAdmin)},
    };
    return lista;
}

static void CreaTablas(jet::Database& db) {
    for (const std::string& sql : EsquemaHost()) db.Execute(sql, jet::dbFailOnError);
    db.RefreshTableDefs();
}

static void CargaDatos(jet::Database& db) {
    jet::Transaction tx(db);
    for (const Contribuyente& c : Contribuyentes()) {
        Inserta(db, "CONT",
                {vb::Variant(static_cast<std::uint8_t>(c.tipo)), c.numero, "0021", c.nombre,
                 c.usuario, "AV. PRINCIPAL 100"});
    }
    Inserta(db, "CLAVES", {std::string(kUsuarioAdmin), "0", "ADMINISTRADOR DEL QVX"});
    Inserta(db, "CLAVES", {std::string(kUsuarioSistema), "1", "USUARIO DE DECLARACIONES"});
    for (const FilaParam& p : Catalogo()) {
        Inserta(db, "PARAM", {p.numero, p.argumento, p.funcion, "000"});
    }
    Inserta(db, "error", {"0001", "Error general del sistema"});
    // Submission tables of another form of the family (an invented number).
    for (const char* tabla : {"MOV", "EXT"}) {
        Inserta(
            db, "envio_t",
            {"0901", tabla, std::string("T901") + tabla, tabla, vb::Variant(std::uint8_t{1}),
             vb::Variant(std::uint8_t{1}), vb::Variant(std::uint8_t{1}), std::int32_t{2},
             std::int32_t{3}, std::int32_t{4}, std::int32_t{5}, std::int32_t{6}, std::int32_t{7}});
    }
    Inserta(db, "Reportes", {"AC0001", "Constancia de presentación", std::int16_t{1}});
    tx.Commit();
}

static void EscribeArchivosFilas(const std::string& carpetaTmp) {
    std::string tmp = ConBarra(carpetaTmp);
    std::vector<std::string> envio = {
        LineaFilas({"1", "MOV", "T787MOV", "MOV", "1", "1", "1", "2", "3", "4", "5", "6", "7"}),
        LineaFilas({"2", "EXT", "T787EXT", "EXT", "2", "1", "1", "2", "3", "4", "5", "6", "7"}),
    };
    EscribeTexto1252(tmp + "envuzq.txt", envio);

    std::vector<std::string> param;
    auto fila = [&](std::string n, std::string a, std::string f) {
        param.push_back(LineaFilas({std::move(n), std::move(a), std::move(f), "0"}));
    };
    fila("817", "01", "OPERACION GRAVADA");
    fila("817", "02", "OPERACION EXONERADA");
    for (const char* m : {"01", "02", "03", "04"}) {
        static const char* nombres[] = {"DEPOSITO", "RETIRO", "TRANSFERENCIA", "PAGO"};
        fila("818", m, nombres[std::atoi(m) - 1]);
    }
    for (int c = 1; c <= 15; ++c) fila("819", "01" + vb::Format(c, "00"), "");
    for (int c = 1; c <= 10; ++c) fila("819", "02" + vb::Format(c, "00"), "");
    for (const char* m : {"1", "2", "3", "4"}) fila("820", m, std::string("MODALIDAD ") + m);
    fila("856", "0787", "1.9 01/03/2004     722");
    EscribeTexto1252(tmp + "paruzq.txt", param);
}

static void EscribeIni(const Instalacion& inst) {
    struct Clave {
        const char* nombre;
        std::string valor;
    };
    for (const Clave& c :
         {Clave{"SysPath", inst.sysPath}, Clave{"DBPath", inst.sysPath},
          Clave{"DBName", std::string(kNombreBase)}, Clave{"SysUser", std::string(kUsuarioSistema)},
          Clave{"SysVersion", "3.5"}, Clave{"SysMenu", "1"}}) {
        if (!profile::WritePrivateProfileString("Options", c.nombre, c.valor, inst.ini)) {
            throw std::runtime_error("No se pudo escribir " + inst.ini);
        }
    }
}

std::unique_ptr<jet::Database> AbreHost(const Instalacion& inst) {
    FijaCuenta(inst);
    return jet::Database::Open(inst.base);
}

std::unique_ptr<jet::Database> AbreHostExclusivo(const Instalacion& inst) {
    FijaCuenta(inst);
    return jet::Database::Open(inst.base, true);
}

// The program's help file, as the host installs it beside the program folder.
// Each part carries the help context of its window as its id, where F1 opens
// the page.
static void EscribeAyuda(const Instalacion& inst) {
    std::ofstream f(inst.sysPath + "0787/formdesk.html", std::ios::binary);
    f << "<!DOCTYPE html>\n<html lang=\"es\"><head><meta charset=\"utf-8\">"
         "<title>Formulario 0787 - Ayuda</title></head><body>\n"
         "<h1 id=\"1008\">Formulario 0787</h1>\n"
         "<p>Declaraci\u00f3n del impuesto a las transacciones financieras.</p>\n"
         "<h2>Pasos</h2><ol>\n"
         "<li id=\"1002\"><b>Declaraciones / Validar Archivos</b>: elija el contribuyente, el "
         "periodo y los "
         "archivos de movimientos (.mov) y de extornos (.ext). Los registros con errores quedan "
         "en un archivo con el mismo nombre terminado en <i>err</i>.</li>\n"
         "<li id=\"1013\"><b>Declaraciones / Modificar</b>: abra la declaraci\u00f3n, "
         "<span id=\"1016\">complete la identificaci\u00f3n,</span> "
         "<span id=\"1015\">las casillas y la forma de pago,</span> "
         "val\u00eddela y gr\u00e1bela.</li>\n"
         "<li><b>Declaraciones / Imprimir</b>: vea o imprima la declaraci\u00f3n.</li>\n"
         "<li id=\"1014\"><b>Declaraciones Enviadas / Registrar n\u00famero de orden</b>: registre "
         "el "
         "n\u00famero de orden que KORAL asign\u00f3 a una declaraci\u00f3n enviada.</li>\n"
         "</ol>\n<p>Consultas: c\u00f3digos de bancos y valores de la UIT.</p>\n"
         "</body></html>\n";
}

// The settings file keeps values of up to 254 characters; a longer program
// folder would be read back cut, and every program would look elsewhere.
constexpr std::size_t kMaximoValorIni = 254;

// The database is built under this name and renamed into place last of all:
// an installation counts as made only when its database is there, so a run
// cut short leaves none and can be run again on the same folder.
static std::string BaseEnObra(const Instalacion& inst) {
    return inst.base + ".nueva";
}

static void BorraBaseEnObra(const Instalacion& inst) {
    for (const char* sufijo : {"", "-journal", "-wal", "-shm"}) {
        std::error_code ec;
        fs::remove(BaseEnObra(inst) + sufijo, ec);
    }
}

Instalacion CreaHost(std::string_view carpeta) {
    Instalacion inst = Rutas(carpeta);
    if (fs::exists(inst.base)) {
        throw std::runtime_error("Ya existe una instalación del QVX en " + inst.carpeta);
    }
    if (std::size_t n = vb::CharCount(inst.sysPath); n > kMaximoValorIni) {
        throw std::runtime_error("La carpeta del programa " + inst.sysPath + " tiene " +
                                 std::to_string(n) + " caracteres y el archivo de configuración " +
                                 "guarda " + std::to_string(kMaximoValorIni) +
                                 " como máximo: elija una carpeta de nombre más corto.");
    }
    for (const std::string& d :
         {inst.windows, inst.sysPath + "RPT", inst.tmp, inst.sysPath + "0787"}) {
        fs::create_directories(d);
    }
    shell::CuentaGrupo cuenta = shell::ArmaCuentaGrupo();
    jet::WriteWorkgroupFile(inst.grupo, cuenta.usuario, cuenta.clave);
    BorraBaseEnObra(inst);
    {
        FijaCuenta(inst);
        auto db = jet::Database::Create(BaseEnObra(inst));
        CreaTablas(*db);
        CargaDatos(*db);
        db->Close();
    }
    EscribeIni(inst);
    EscribeAyuda(inst);
    EscribeArchivosFilas(inst.tmp);
    fs::rename(BaseEnObra(inst), inst.base);
    return inst;
}

Envio EnviaDeclaracion(jet::Database& db, std::string_view ruc, std::string_view periodo) {
    const std::string filtro = " WHERE DOC_ID_D='" + jet::Q(ruc) + "' AND TIP_DOC_D=6" +
                               " AND PERIODO='" + jet::Q(periodo) + "'" +
                               " AND FORMULARIO='0787' AND SEMANA=0";
    // The next correlative and control number are read inside the write
    // transaction that records them: two sendings at once take turns and get
    // numbers of their own.
    jet::Transaction tx(db);
    auto cab = db.OpenRecordset("SELECT * FROM CAB" + filtro, jet::dbOpenSnapshot);
    if (cab->Eof()) {
        throw std::runtime_error("No hay declaración grabada del RUC " + std::string(ruc) +
                                 " en el periodo " + std::string(periodo));
    }
    Envio envio;
    long correl = 0;
    {
        auto rs = db.OpenRecordset("SELECT CORREL FROM HCAB" + filtro, jet::dbOpenSnapshot);
        for (; !rs->Eof(); rs->MoveNext()) {
            correl =
                std::max(correl, static_cast<long>(vb::Val(vb::ToText(rs->Fields(0).Value()))));
        }
    }
    long control = 10000000;
    {
        auto rs = db.OpenRecordset("SELECT control FROM HCAB", jet::dbOpenSnapshot);
        for (; !rs->Eof(); rs->MoveNext()) {
            control =
                std::max(control, static_cast<long>(vb::Val(vb::ToText(rs->Fields(0).Value()))));
        }
    }
    envio.correl = vb::Format(static_cast<double>(correl + 1), "000");
    envio.control = vb::Format(static_cast<double>(control + 1), "00000000");

    {
        auto h = db.OpenRecordset("SELECT * FROM HCAB", jet::dbOpenDynaset);
        h->AddNew();
        for (const char* c : {"DOC_ID_D", "TIP_DOC_D", "PERIODO", "FORMULARIO", "SEMANA", "fec_pro",
                              "bcolibrad", "nrocheque", "cheque", "efectivo", "rectifica"}) {
            h->Fields(c) = cab->Fields(c).Value();
        }
        h->Fields("CORREL") = envio.correl;
        h->Fields("estado") = std::int16_t{1};
        h->Fields("norden") = vb::Null;
        h->Fields("fec_env") = vb::Today();
        h->Fields("control") = envio.control;
        h->Fields("cNumero") = shell::CalculaCNumero(h->CurrentRow(), 6);
        h->Update();
        h->Close();
    }
    {
        auto det = db.OpenRecordset("SELECT * FROM DET" + filtro, jet::dbOpenSnapshot);
        auto h = db.OpenRecordset("SELECT * FROM HDET", jet::dbOpenDynaset);
        for (; !det->Eof(); det->MoveNext()) {
            h->AddNew();
            for (const char* c : {"DOC_ID_D", "TIP_DOC_D", "PERIODO", "FORMULARIO", "SEMANA",
                                  "CASILLA", "I_VALOR", "idcasilla"}) {
                h->Fields(c) = det->Fields(c).Value();
            }
            h->Fields("CORREL") = envio.correl;
            h->Fields("estado") = std::int16_t{1};
            h->Fields("cNumero") = shell::CalculaCNumero(h->CurrentRow(), 7);
            h->Update();
            ++envio.casillas;
        }
        h->Close();
        det->Close();
    }
    cab->Close();
    tx.Commit();
    return envio;
}

}  // namespace hostkit
