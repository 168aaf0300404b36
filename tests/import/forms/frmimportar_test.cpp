// The road of the "Validar Archivos" form: choices, refusals, the import of
// one kind and then the other, and the declaration header.
#include "import/forms/frmimportar.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include "host/hostkit.h"
#include "host/pruebas.h"
#include "import/control.h"
#include "jet/database.h"
#include "shell/state.h"
#include "tools/seeder/instalador.h"
#include "ui/listas.h"
#include "ui/msgbox.h"
#include "validator/validator.h"

namespace fs = std::filesystem;
using importacion::forms::FrmImportar;

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "importforms_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

const std::string kRuc = "20100123453";

class Formulario : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        auto host = hostkit::PreparaHost(carpeta_.Ruta() + "/host", val_);
        inst_ = host.inst;
        db_ = std::move(host.db);
        avisos_.avisos.clear();
        auto& g = shell::G();
        g.gsUsuario = std::string(hostkit::kUsuarioSistema);
        g.gnModo = 3;
        datos_ = carpeta_.Ruta() + "/datos";
        fs::create_directories(datos_);
        respuestas_.emplace();
    }
    void TearDown() override {
        respuestas_.reset();
        shell::G().gdbBase = nullptr;
        db_.reset();
        shell::ResetState();
    }

    void Escribe(const std::string& ruta, const std::vector<std::string>& lineas) {
        std::ofstream f(ruta, std::ios::binary);
        for (const auto& l : lineas) f << l << "\r\n";
    }
    // The texts of the boxes shown since the last call.
    std::vector<std::string> Cajas() {
        std::vector<std::string> r;
        for (const auto& b : respuestas_->Shown()) r.push_back(b.text);
        respuestas_->Clear();
        return r;
    }
    std::vector<std::string> Archivos(FrmImportar& f) {
        std::vector<std::string> r;
        for (int i = 0; i < f.flListaFiles->count(); ++i)
            r.push_back(f.flListaFiles->item(i)->text().toStdString());
        return r;
    }
    void Elige(FrmImportar& f, const std::string& nombre) {
        const auto it = f.flListaFiles->findItems(QString::fromStdString(nombre), Qt::MatchExactly);
        ASSERT_EQ(it.size(), 1) << nombre;
        it.first()->setSelected(true);
    }
    long FilasCab() {
        auto rs = db_->OpenRecordset("SELECT * FROM CAB WHERE DOC_ID_D='" + kRuc + "'",
                                     jet::dbOpenSnapshot);
        long n = 0;
        while (!rs->Eof()) {
            ++n;
            rs->MoveNext();
        }
        return n;
    }

    hostkit::CarpetaTemporal carpeta_;
    hostkit::AvisosGrabados avisos_;
    hostkit::Instalacion inst_;
    std::unique_ptr<jet::Database> db_;
    validator::cValidador val_;
    std::string datos_;
    std::optional<ui::ScriptedAnswers> respuestas_;
};

std::string Mov(const std::string& dni, const char* imp) {
    return "01|" + dni + "||01|01|02||100.00|" + imp + "|0.00|||||||";
}
std::string Ext(const std::string& dni) {
    return "01|" + dni + "||201412|01|01|02||1|100.00|18.00|0.00|||||||";
}

TEST_F(Formulario, ControlesAlCargar) {
    FrmImportar f;
    EXPECT_EQ(f.windowTitle(), "Validar Archivos");
    EXPECT_FALSE(f.txtNombre->isEnabled());
    EXPECT_EQ(f.mkePeriodo->displayText(), "__/____");
    ASSERT_EQ(f.CmbRuc->count(), 2);  // the sample user's taxpayers
    EXPECT_EQ(f.CmbRuc->currentIndex(), -1);
    EXPECT_EQ(f.flListaFiles->Pattern(), "*.DJT");
    EXPECT_TRUE(f.chkOpc[2]->isVisibleTo(&f));
    EXPECT_FALSE(f.chkOpc[0]->isVisibleTo(&f));
    EXPECT_FALSE(f.Label1[7]->isVisibleTo(&f));
    EXPECT_EQ(f.DrvLst->itemText(0), "/");
    EXPECT_EQ(f.HelpContextID(), 1002);
}

TEST_F(Formulario, PatronSigueAContribuyentePeriodoYMarcas) {
    const std::string base = "0787201501" + kRuc;
    Escribe(datos_ + "/" + base + ".MOV", {Mov("12345678", "1.00")});
    Escribe(datos_ + "/" + base + ".ext", {Ext("12345678")});
    Escribe(datos_ + "/0787201502" + kRuc + ".mov", {});
    FrmImportar f;
    f.DirList->SetPath(datos_);
    f.DirList_Change();
    f.CmbRuc->setCurrentIndex(0);
    EXPECT_EQ(shell::G().gsRuc, kRuc);
    EXPECT_EQ(f.txtNombre->text(), "EMPRESA DE PRUEBA S.A.");
    f.mkePeriodo->setText("01/2015");
    EXPECT_EQ(shell::G().gsPeriodo, "201501");
    EXPECT_EQ(f.flListaFiles->Pattern(), base);
    EXPECT_TRUE(Archivos(f).empty());
    f.chkOpc[2]->click();
    EXPECT_EQ(f.flListaFiles->Pattern(), base + ".mov");
    EXPECT_EQ(Archivos(f), std::vector<std::string>{base + ".MOV"});  // without regard to case
    f.chkOpc[3]->click();
    EXPECT_EQ(f.flListaFiles->Pattern(), base + ".mov;" + base + ".ext");
    EXPECT_EQ(Archivos(f).size(), 2u);
    f.chkOpc[2]->click();
    EXPECT_EQ(f.flListaFiles->Pattern(), base + ".ext");
    // An incomplete period still sets the period text, with its blanks.
    f.mkePeriodo->setText("1");
    EXPECT_EQ(shell::G().gsPeriodo.substr(4), "1_");
    f.reject();
    EXPECT_EQ(shell::G().gsPeriodo, "");
}

TEST_F(Formulario, AceptarRechazaEleccionesIncompletas) {
    const std::string base = "0787201501" + kRuc;
    Escribe(datos_ + "/" + base + ".mov", {Mov("12345678", "1.00")});
    fs::create_directories(datos_ + "/año");
    {
        FrmImportar f;
        f.mkePeriodo->setText("02/2004");
        EXPECT_EQ(Cajas(), std::vector<std::string>{"¡El Periodo tributario no es válido!"});
        f.DirList->SetPath(datos_ + "/año");
        f.CmdGrabar_Click();
        ASSERT_EQ(Cajas().size(), 1u);  // the folder is refused before the period
        f.DirList->SetPath(datos_);
        f.CmdGrabar_Click();
        EXPECT_EQ(Cajas(), std::vector<std::string>{"¡El Periodo tributario no es válido!"});
        f.mkePeriodo->setText("01/2015");
        f.chkOpc[2]->click();
        f.DirList_Change();
        f.CmdGrabar_Click();
        EXPECT_EQ(Cajas(), std::vector<std::string>{"Debe seleccionar algún número de RUC"});
        f.CmbRuc->setCurrentIndex(0);
        f.CmdGrabar_Click();
        EXPECT_EQ(Cajas(),
                  std::vector<std::string>{
                      "No se ha encontrado el archivo de información para el RUC seleccionado"});
        EXPECT_EQ(shell::G().gnModo, 0);
    }
}

TEST_F(Formulario, UnaClaseYLuegoLaOtraEscribenLaCabecera) {
    const std::string base = "0787201501" + kRuc;
    Escribe(datos_ + "/" + base + ".mov", {Mov("12345678", "1.00")});
    Escribe(datos_ + "/" + base + ".ext", {Ext("12345678")});
    FrmImportar f;
    f.CmbRuc->setCurrentIndex(0);
    f.mkePeriodo->setText("01/2015");
    f.DirList->SetPath(datos_);
    f.DirList_Change();
    f.chkOpc[2]->click();
    Elige(f, base + ".mov");
    f.CmdGrabar_Click();
    EXPECT_EQ(Cajas(), std::vector<std::string>{"La validación ha terminado satisfactoriamente"});
    EXPECT_EQ(FilasCab(), 0);
    EXPECT_TRUE(f.CmdGrabar->isEnabled());
    EXPECT_TRUE(f.fraBar->isVisibleTo(&f));
    EXPECT_EQ(f.pbar1->value(), 0);

    // Again: the question about the earlier validation; Cancel leaves all as it was.
    respuestas_->Push(ui::vbCancel);
    f.CmdGrabar_Click();
    EXPECT_EQ(
        Cajas(),
        std::vector<std::string>{
            "El archivo de movimientos ya ha sido validado anteriormente\r ¿Desea continuar?"});

    f.chkOpc[2]->click();
    f.chkOpc[3]->click();
    Elige(f, base + ".ext");
    f.CmdGrabar_Click();
    EXPECT_EQ(Cajas(), std::vector<std::string>{
                           "La validación ha terminado satisfactoriamente. Puede ver su "
                           "declaración en la opción Declaraciones/Modificar."});
    EXPECT_EQ(FilasCab(), 1);

    f.CmdGrabar_Click();
    EXPECT_EQ(Cajas(),
              std::vector<std::string>{"Ya existe una declaración para este contribuyente en este "
                                       "período si desea validar los archivos debe eliminarla"});
    EXPECT_TRUE(avisos_.avisos.empty());
}

TEST_F(Formulario, UnidadInexistente) {
    FrmImportar f;
    const std::string antes = f.DirList->Path();
    f.DrvLst->addItem("/no/existe");
    f.DrvLst->setCurrentText("/no/existe");
    f.DrvLst_Change();
    const auto cajas = Cajas();
    ASSERT_EQ(cajas.size(), 1u);
    EXPECT_EQ(cajas[0],
              "Driver / seleccionado no esta disponible.\nEsta seleccionando un driver que no "
              "existe.\nIntente nuevamente por favor.");
    EXPECT_EQ(f.DirList->Path(), antes);
}

}  // namespace

namespace {

TEST_F(Formulario, Rotulos) {
    FrmImportar f;
    const std::pair<QWidget*, const char*> rotulos[] = {
        {f.fraDec, "Declarante"},
        {f.fraArc, "Archivo"},
        {f.Label1[0], "Número de RUC"},
        {f.Label1[1], "Nombre o razón social"},
        {f.Label1[2], "Período"},
        {f.Label1[3], "Unidades de Disco :"},
        {f.Label1[4], "Directorios :"},
        {f.Label1[5], "Archivos a Importar :"},
        {f.Label1[6],
         "Seleccione la unidad y el directorio desde el que desea importar la información"},
        {f.Label1[7], "Número de orden"},
        {f.chkOpc[0], "Contribuyentes nacionales"},
        {f.chkOpc[1], "Contribuyentes Extranjeros"},
        {f.chkOpc[2], "Movimientos Acumulados"},
        {f.chkOpc[3], "Movimientos de contra asiento por error"},
        {f.chkOpc[4], "Exoneración, Convenios e Inafectación"},
        {f.CmdGrabar, "&Aceptar"},
        {f.CmdCancelar, "&Salir"},
        {f.fraOpc, ""},
        {f.fraBar, ""},
        {f.lblbar1, ""},
    };
    for (const auto& [w, texto] : rotulos) {
        QString t;
        if (auto* g = qobject_cast<QGroupBox*>(w))
            t = g->title();
        else if (auto* l = qobject_cast<QLabel*>(w))
            t = l->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            t = b->text();
        EXPECT_EQ(t.toStdString(), texto) << w->objectName().toStdString();
    }
    for (int i : {2, 3}) EXPECT_FALSE(f.chkOpc[static_cast<std::size_t>(i)]->isChecked());
    for (int i : {0, 1, 4}) EXPECT_FALSE(f.chkOpc[static_cast<std::size_t>(i)]->isVisibleTo(&f));
    EXPECT_FALSE(f.fraBar->isVisibleTo(&f));
    EXPECT_EQ(f.mkePeriodo->inputMask().left(7), "99/9999");
}

TEST_F(Formulario, PeriodoDesdeMarzoDe2004) {
    FrmImportar f;
    f.mkePeriodo->setText("03/2004");
    EXPECT_TRUE(Cajas().empty());
    EXPECT_EQ(shell::G().gsPeriodo, "200403");
    f.mkePeriodo->setText("02/2004");
    EXPECT_EQ(Cajas(), std::vector<std::string>{"¡El Periodo tributario no es válido!"});
    EXPECT_EQ(shell::G().gsPeriodo, "200403");  // a refused period is not taken
    // Opening or modifying (mode 2) does not ask about the period.
    shell::G().gnModo = 2;
    f.mkePeriodo->setText("01/2004");
    EXPECT_TRUE(Cajas().empty());
    EXPECT_EQ(shell::G().gsPeriodo, "200401");
}

TEST(NombreBase, CarpetaYNombreSinExtension) {
    using importacion::forms::NombreBase;
    EXPECT_EQ(NombreBase("/datos", "0787201501" + kRuc + ".mov"), "/datos/0787201501" + kRuc + ".");
    EXPECT_EQ(NombreBase("/", "0787201501" + kRuc + ".ext"), "/0787201501" + kRuc + ".");
    EXPECT_EQ(NombreBase("/media/usb/", "a.MOV"), "/media/usb/a.");
}

// The earlier-validation question answered OK goes on and validates again.
TEST_F(Formulario, ValidarOtraVezTrasLaPregunta) {
    const std::string base = "0787201501" + kRuc;
    Escribe(datos_ + "/" + base + ".mov", {Mov("12345678", "1.00")});
    FrmImportar f;
    f.CmbRuc->setCurrentIndex(0);
    f.mkePeriodo->setText("01/2015");
    f.DirList->SetPath(datos_);
    f.DirList_Change();
    f.chkOpc[2]->click();
    Elige(f, base + ".mov");
    f.CmdGrabar_Click();
    Cajas();
    Escribe(datos_ + "/" + base + ".mov", {Mov("12345678", "1.00"), Mov("22345678", "2.00")});
    respuestas_->Push(ui::vbOK);
    f.CmdGrabar_Click();
    EXPECT_EQ(Cajas(),
              (std::vector<std::string>{
                  "El archivo de movimientos ya ha sido validado anteriormente\r ¿Desea continuar?",
                  "La validación ha terminado satisfactoriamente"}));
    auto rs = db_->OpenRecordset("SELECT num_tuplas FROM EFCONTROL", jet::dbOpenSnapshot);
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields(0).Value().Str(), "2");
}

// A file that fails gets the import's own message and nothing more; the form
// is ready for another run.
TEST_F(Formulario, ArchivoConErroresDejaElFormularioListo) {
    const std::string base = "0787201501" + kRuc;
    Escribe(datos_ + "/" + base + ".mov", {Mov("12345678", "05.00")});
    FrmImportar f;
    f.CmbRuc->setCurrentIndex(0);
    f.mkePeriodo->setText("01/2015");
    f.DirList->SetPath(datos_);
    f.DirList_Change();
    f.chkOpc[2]->click();
    Elige(f, base + ".mov");
    f.CmdGrabar_Click();
    EXPECT_TRUE(Cajas().empty());
    ASSERT_EQ(avisos_.avisos.size(), 1u);  // the import's own box
    const std::string& texto = avisos_.avisos[0].texto;
    EXPECT_EQ(texto.rfind("El archivo " + datos_ + "/" + base + ".mov tiene errores", 0), 0u)
        << texto;
    EXPECT_TRUE(f.CmdGrabar->isEnabled());
    EXPECT_EQ(f.pbar1->value(), 0);
    EXPECT_EQ(f.lblbar1->text(), "");
    EXPECT_EQ(f.fraBar->title(), "");
    EXPECT_EQ(FilasCab(), 0);
}

TEST_F(Formulario, RutaQueNoEsCarpeta) {
    Escribe(datos_ + "/archivo", {"x"});
    FrmImportar f;
    const std::string antes = f.DirList->Path();
    f.DrvLst->addItem(QString::fromStdString(datos_ + "/archivo"));
    f.DrvLst->setCurrentText(QString::fromStdString(datos_ + "/archivo"));
    f.DrvLst_Change();
    EXPECT_EQ(Cajas(), std::vector<std::string>{
                           "Ruta de Directorio no encontrado en Driver:/\nVerifique el correcto "
                           "colocado del disquete.\nIntente nuevamente por favor."});
    EXPECT_EQ(f.DirList->Path(), antes);
    EXPECT_EQ(f.DrvLst->currentText(), "/");
}

// Activating a folder of the folder list shows its files.
TEST_F(Formulario, CarpetaActivadaMuestraSusArchivos) {
    fs::create_directories(datos_ + "/b");
    fs::create_directories(datos_ + "/A");
    Escribe(datos_ + "/A/0787201501" + kRuc + ".mov", {Mov("12345678", "1.00")});
    FrmImportar f;
    f.DirList->SetPath(datos_);
    f.CmbRuc->setCurrentIndex(0);
    f.mkePeriodo->setText("01/2015");
    f.chkOpc[2]->click();
    emit f.DirList->itemActivated(f.DirList->item(f.DirList->count() - 2));
    EXPECT_EQ(f.DirList->Path(), datos_ + "/A");
    EXPECT_EQ(Archivos(f), std::vector<std::string>{"0787201501" + kRuc + ".mov"});
}

}  // namespace

namespace {

// While the import runs, window events are processed: the choices it works on
// are locked and a request to close waits, so the control record keeps the
// period it was started with.
TEST_F(Formulario, DuranteLaImportacion) {
    const std::string base = "0787201501" + kRuc;
    Escribe(datos_ + "/" + base + ".mov", {Mov("12345678", "1.00")});
    FrmImportar f;
    f.CmbRuc->setCurrentIndex(0);
    f.mkePeriodo->setText("01/2015");
    f.DirList->SetPath(datos_);
    f.DirList_Change();
    f.chkOpc[2]->click();
    Elige(f, base + ".mov");
    bool bloqueado = false, corrio = false, cerradoDurante = false, cerrado = false;
    QObject::connect(&f, &QDialog::finished, [&] { cerrado = true; });
    QTimer::singleShot(0, &f, [&] {
        corrio = true;
        bloqueado = !f.fraDec->isEnabled() && !f.fraOpc->isEnabled() && !f.fraArc->isEnabled();
        f.CmdCancelar->click();
        cerradoDurante = cerrado || shell::G().gsPeriodo.empty();
    });
    f.CmdGrabar_Click();
    ASSERT_TRUE(corrio);
    EXPECT_TRUE(bloqueado);
    EXPECT_FALSE(cerradoDurante);
    EXPECT_TRUE(f.fraDec->isEnabled());
    EXPECT_TRUE(f.fraArc->isEnabled());
    auto rs = db_->OpenRecordset("SELECT periodo FROM EFCONTROL", jet::dbOpenSnapshot);
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields(0).Value().Str(), "201501");
    // The close asked for during the import happens once it has ended.
    EXPECT_TRUE(cerrado);
    EXPECT_EQ(shell::G().gsPeriodo, "");
}

// Two files whose names differ only in capitals: the one picked is the one
// cleaned, checked and recorded (a reversal file keeps its modality-2 totals
// under either spelling of its extension).
TEST_F(Formulario, ElArchivoElegidoYNoSuHomonimo) {
    const std::string base = datos_ + "/0787201501" + kRuc;
    const std::string elegido = base + ".EXT";
    Escribe(elegido, {"01|22345678||201412|01|01|02||2|100.00|18.00#|0.00|||||||"});
    Escribe(base + ".ext", {"x|"});
    FrmImportar f;
    f.CmbRuc->setCurrentIndex(0);
    f.mkePeriodo->setText("01/2015");
    f.DirList->SetPath(datos_);
    f.DirList_Change();
    f.chkOpc[3]->click();
    ASSERT_EQ(Archivos(f).size(), 2u);
    Elige(f, "0787201501" + kRuc + ".EXT");
    f.CmdGrabar_Click();
    for (const auto& a : avisos_.avisos) ADD_FAILURE() << a.texto;
    EXPECT_EQ(Cajas(), std::vector<std::string>{"La validación ha terminado satisfactoriamente"});
    std::ifstream limpio(elegido, std::ios::binary), otro(base + ".ext", std::ios::binary);
    std::string l;
    std::getline(limpio, l);
    EXPECT_EQ(l, "01|22345678||201412|01|01|02||2|100.00|18.00|0.00|||||||\r");
    std::getline(otro, l);
    EXPECT_EQ(l, "x|\r");
    auto rs =
        db_->OpenRecordset("SELECT tamarc, mto_302, mto_322 FROM EFCONTROL", jet::dbOpenSnapshot);
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields(0).Value().NumberValue(), static_cast<double>(fs::file_size(elegido)));
    EXPECT_EQ(rs->Fields(1).Value().Str(), "18");
    EXPECT_EQ(rs->Fields(2).Value().Str(), "100");
}

// While another program holds the database, the import waits for it with the
// window answering (here a timer of the window frees the lock).
TEST_F(Formulario, BaseOcupadaPorOtroPrograma) {
    const std::string base = "0787201501" + kRuc;
    Escribe(datos_ + "/" + base + ".mov", {Mov("12345678", "1.00")});
    FrmImportar f;
    f.CmbRuc->setCurrentIndex(0);
    f.mkePeriodo->setText("01/2015");
    f.DirList->SetPath(datos_);
    f.DirList_Change();
    f.chkOpc[2]->click();
    Elige(f, base + ".mov");
    auto otro = hostkit::AbreHost(inst_);
    ASSERT_EQ(sqlite3_exec(otro->Handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr),
              SQLITE_OK);
    bool libre = false;
    QTimer::singleShot(1000, &f, [&] {
        libre = sqlite3_exec(otro->Handle(), "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    });
    const auto inicio = std::chrono::steady_clock::now();
    f.CmdGrabar_Click();
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(10));
    EXPECT_TRUE(libre);
    for (const auto& a : avisos_.avisos) ADD_FAILURE() << a.texto;
    EXPECT_EQ(Cajas(), std::vector<std::string>{"La validación ha terminado satisfactoriamente"});
}

}  // namespace

namespace {

// Each box of the road: its icon and buttons, titled with the form's caption.
TEST_F(Formulario, IconosYTitulosDelCamino) {
    const std::string base = "0787201501" + kRuc;
    Escribe(datos_ + "/" + base + ".mov", {Mov("12345678", "1.00")});
    fs::create_directories(datos_ + "/Ñandú");
    FrmImportar f;
    std::vector<ui::ShownBox> cajas;
    auto pulsa = [&] {
        respuestas_->Clear();
        f.CmdGrabar_Click();
        cajas = respuestas_->Shown();
        for (const auto& c : cajas) EXPECT_EQ(c.title, "Validar Archivos") << c.text;
        return cajas.empty() ? std::string() : cajas.back().text;
    };
    auto estilo = [&] { return cajas.empty() ? -1 : cajas.back().flags; };

    f.DirList->SetPath(datos_ + "/Ñandú");
    EXPECT_EQ(pulsa().rfind("El nombre del directorio", 0), 0u);
    EXPECT_EQ(estilo(), ui::vbCritical);
    EXPECT_EQ(cajas.back().text,
              "El nombre del directorio que contiene los archivos a importar presenta un carácter "
              "no permitido (ñ).\rPor favor modifique el nombre del directorio o copie los "
              "archivos en otro directorio para poder generar su envío  KORAL.");
    f.DirList->SetPath(datos_);
    EXPECT_EQ(pulsa(), "¡El Periodo tributario no es válido!");
    EXPECT_EQ(estilo(), ui::vbCritical);
    f.mkePeriodo->setText("01/2015");
    EXPECT_EQ(pulsa(), "Debe seleccionar algún número de RUC");
    EXPECT_EQ(estilo(), ui::vbExclamation);
    f.CmbRuc->setCurrentIndex(0);
    f.chkOpc[2]->click();
    EXPECT_EQ(pulsa(), "No se ha encontrado el archivo de información para el RUC seleccionado");
    EXPECT_EQ(estilo(), ui::vbExclamation);
    Elige(f, base + ".mov");
    EXPECT_EQ(pulsa(), "La validación ha terminado satisfactoriamente");
    EXPECT_EQ(estilo(), ui::vbInformation);
    respuestas_->Push(ui::vbCancel);
    EXPECT_EQ(pulsa(),
              "El archivo de movimientos ya ha sido validado anteriormente\r ¿Desea continuar?");
    EXPECT_EQ(estilo(), ui::vbInformation + ui::vbOKCancel);
    // A header of another week also closes the period.
    shell::G().gnSemana = 1;
    importacion::GraboCabecera();
    shell::G().gnSemana = 0;
    EXPECT_EQ(pulsa(),
              "Ya existe una declaración para este contribuyente en este período si desea validar "
              "los archivos debe eliminarla");
    EXPECT_EQ(estilo(), ui::vbCritical);
}

}  // namespace
