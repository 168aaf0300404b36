// The road of the "Validar Archivos" form: choices, refusals, the import of
// one kind and then the other, and the declaration header.
#include "import/forms/frmimportar.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "host/hostkit.h"
#include "pruebas/host.h"
#include "import/control.h"
#include "jet/database.h"
#include "pruebas/controles.h"
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

using pruebas::Control;

// The form's controls, found by their names.
struct Controles {
    explicit Controles(const FrmImportar& f)
        : fraDec(Control<QGroupBox>(f, "fraDec")),
          CmbRuc(Control<QComboBox>(f, "CmbRuc")),
          txtNombre(Control<QLineEdit>(f, "txtNombre")),
          mkePeriodo(Control<QLineEdit>(f, "mkePeriodo")),
          fraOpc(Control<QGroupBox>(f, "fraOpc")),
          fraArc(Control<QGroupBox>(f, "fraArc")),
          DrvLst(Control<ui::ListaUnidades>(f, "DrvLst")),
          DirList(Control<ui::ListaCarpetas>(f, "DirList")),
          flListaFiles(Control<ui::ListaArchivos>(f, "flListaFiles")),
          CmdGrabar(Control<QPushButton>(f, "CmdGrabar")),
          CmdCancelar(Control<QPushButton>(f, "CmdCancelar")),
          fraBar(Control<QGroupBox>(f, "fraBar")),
          pbar1(Control<QProgressBar>(f, "pbar1")),
          lblbar1(Control<QLabel>(f, "lblbar1")) {
        for (std::size_t i = 0; i < Label1.size(); ++i)
            Label1[i] = Control<QLabel>(f, QStringLiteral("Label1_%1").arg(i));
        for (std::size_t i = 0; i < chkOpc.size(); ++i)
            chkOpc[i] = Control<QCheckBox>(f, QStringLiteral("chkOpc_%1").arg(i));
    }
    QGroupBox* fraDec;
    QComboBox* CmbRuc;
    QLineEdit* txtNombre;
    QLineEdit* mkePeriodo;
    std::array<QLabel*, 8> Label1{};
    QGroupBox* fraOpc;
    std::array<QCheckBox*, 5> chkOpc{};
    QGroupBox* fraArc;
    ui::ListaUnidades* DrvLst;
    ui::ListaCarpetas* DirList;
    ui::ListaArchivos* flListaFiles;
    QPushButton* CmdGrabar;
    QPushButton* CmdCancelar;
    QGroupBox* fraBar;
    QProgressBar* pbar1;
    QLabel* lblbar1;
};

class Formulario : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        auto host = pruebas::PreparaHost(carpeta_.Ruta() + "/host", val_);
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
    std::vector<std::string> Archivos(const FrmImportar& f) {
        const auto* lista = Control<ui::ListaArchivos>(f, "flListaFiles");
        std::vector<std::string> r;
        for (int i = 0; i < lista->count(); ++i) r.push_back(lista->item(i)->text().toStdString());
        return r;
    }
    // The first taxpayer, period 01/2015 and the data folder, as the user
    // picks them.
    void Declaracion201501(FrmImportar& f, const Controles& c) {
        c.CmbRuc->setCurrentIndex(0);
        c.mkePeriodo->setText("01/2015");
        c.DirList->SetPath(datos_);
        f.DirList_Change();
    }
    void Elige(const FrmImportar& f, const std::string& nombre) {
        const auto it = Control<ui::ListaArchivos>(f, "flListaFiles")
                            ->findItems(QString::fromStdString(nombre), Qt::MatchExactly);
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

    pruebas::CarpetaTemporal carpeta_;
    pruebas::AvisosGrabados avisos_;
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
    const Controles c(f);
    EXPECT_EQ(f.windowTitle(), "Validar Archivos");
    EXPECT_FALSE(c.txtNombre->isEnabled());
    EXPECT_EQ(c.mkePeriodo->displayText(), "__/____");
    ASSERT_EQ(c.CmbRuc->count(), 2);  // the sample user's taxpayers
    EXPECT_EQ(c.CmbRuc->currentIndex(), -1);
    EXPECT_EQ(c.flListaFiles->Pattern(), "*.DJT");
    EXPECT_TRUE(c.chkOpc[2]->isVisibleTo(&f));
    EXPECT_FALSE(c.chkOpc[0]->isVisibleTo(&f));
    EXPECT_FALSE(c.Label1[7]->isVisibleTo(&f));
    EXPECT_EQ(c.DrvLst->itemText(0), "/");
    EXPECT_EQ(f.HelpContextID(), 1002);
}

TEST_F(Formulario, PatronSigueAContribuyentePeriodoYMarcas) {
    const std::string base = "0787201501" + kRuc;
    Escribe(datos_ + "/" + base + ".MOV", {Mov("12345678", "1.00")});
    Escribe(datos_ + "/" + base + ".ext", {Ext("12345678")});
    Escribe(datos_ + "/0787201502" + kRuc + ".mov", {});
    FrmImportar f;
    const Controles c(f);
    c.DirList->SetPath(datos_);
    f.DirList_Change();
    c.CmbRuc->setCurrentIndex(0);
    EXPECT_EQ(shell::G().gsRuc, kRuc);
    EXPECT_EQ(c.txtNombre->text(), "EMPRESA DE PRUEBA S.A.");
    c.mkePeriodo->setText("01/2015");
    EXPECT_EQ(shell::G().gsPeriodo, "201501");
    EXPECT_EQ(c.flListaFiles->Pattern(), base);
    EXPECT_TRUE(Archivos(f).empty());
    c.chkOpc[2]->click();
    EXPECT_EQ(c.flListaFiles->Pattern(), base + ".mov");
    EXPECT_EQ(Archivos(f), std::vector<std::string>{base + ".MOV"});  // without regard to case
    c.chkOpc[3]->click();
    EXPECT_EQ(c.flListaFiles->Pattern(), base + ".mov;" + base + ".ext");
    EXPECT_EQ(Archivos(f).size(), 2u);
    c.chkOpc[2]->click();
    EXPECT_EQ(c.flListaFiles->Pattern(), base + ".ext");
    // An incomplete period still sets the period text, with its blanks.
    c.mkePeriodo->setText("1");
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
        const Controles c(f);
        c.mkePeriodo->setText("02/2004");
        EXPECT_EQ(Cajas(), std::vector<std::string>{"¡El Periodo tributario no es válido!"});
        c.DirList->SetPath(datos_ + "/año");
        f.CmdGrabar_Click();
        ASSERT_EQ(Cajas().size(), 1u);  // the folder is refused before the period
        c.DirList->SetPath(datos_);
        f.CmdGrabar_Click();
        EXPECT_EQ(Cajas(), std::vector<std::string>{"¡El Periodo tributario no es válido!"});
        c.mkePeriodo->setText("01/2015");
        c.chkOpc[2]->click();
        f.DirList_Change();
        f.CmdGrabar_Click();
        EXPECT_EQ(Cajas(), std::vector<std::string>{"Debe seleccionar algún número de RUC"});
        c.CmbRuc->setCurrentIndex(0);
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
    const Controles c(f);
    Declaracion201501(f, c);
    c.chkOpc[2]->click();
    Elige(f, base + ".mov");
    f.CmdGrabar_Click();
    EXPECT_EQ(Cajas(), std::vector<std::string>{"La validación ha terminado satisfactoriamente"});
    EXPECT_EQ(FilasCab(), 0);
    EXPECT_TRUE(c.CmdGrabar->isEnabled());
    EXPECT_TRUE(c.fraBar->isVisibleTo(&f));
    EXPECT_EQ(c.pbar1->value(), 0);

    // Again: the question about the earlier validation; Cancel leaves all as it was.
    respuestas_->Push(ui::vbCancel);
    f.CmdGrabar_Click();
    EXPECT_EQ(
        Cajas(),
        std::vector<std::string>{
            "El archivo de movimientos ya ha sido validado anteriormente\r ¿Desea continuar?"});

    c.chkOpc[2]->click();
    c.chkOpc[3]->click();
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
    const Controles c(f);
    const std::string antes = c.DirList->Path();
    c.DrvLst->addItem("/no/existe");
    c.DrvLst->setCurrentText("/no/existe");
    f.DrvLst_Change();
    const auto cajas = Cajas();
    ASSERT_EQ(cajas.size(), 1u);
    EXPECT_EQ(cajas[0],
              "Driver / seleccionado no esta disponible.\nEsta seleccionando un driver que no "
              "existe.\nIntente nuevamente por favor.");
    EXPECT_EQ(c.DirList->Path(), antes);
}

}  // namespace

namespace {

TEST_F(Formulario, Rotulos) {
    FrmImportar f;
    const Controles c(f);
    const std::pair<QWidget*, const char*> rotulos[] = {
        {c.fraDec, "Declarante"},
        {c.fraArc, "Archivo"},
        {c.Label1[0], "Número de RUC"},
        {c.Label1[1], "Nombre o razón social"},
        {c.Label1[2], "Período"},
        {c.Label1[3], "Unidades de Disco :"},
        {c.Label1[4], "Directorios :"},
        {c.Label1[5], "Archivos a Importar :"},
        {c.Label1[6],
         "Seleccione la unidad y el directorio desde el que desea importar la información"},
        {c.Label1[7], "Número de orden"},
        {c.chkOpc[0], "Contribuyentes nacionales"},
        {c.chkOpc[1], "Contribuyentes Extranjeros"},
        {c.chkOpc[2], "Movimientos Acumulados"},
        {c.chkOpc[3], "Movimientos de contra asiento por error"},
        {c.chkOpc[4], "Exoneración, Convenios e Inafectación"},
        {c.CmdGrabar, "&Aceptar"},
        {c.CmdCancelar, "&Salir"},
        {c.fraOpc, ""},
        {c.fraBar, ""},
        {c.lblbar1, ""},
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
    for (int i : {2, 3}) EXPECT_FALSE(c.chkOpc[static_cast<std::size_t>(i)]->isChecked());
    for (int i : {0, 1, 4}) EXPECT_FALSE(c.chkOpc[static_cast<std::size_t>(i)]->isVisibleTo(&f));
    EXPECT_FALSE(c.fraBar->isVisibleTo(&f));
    EXPECT_EQ(c.mkePeriodo->inputMask().left(7), "99/9999");
}

TEST_F(Formulario, PeriodoDesdeMarzoDe2004) {
    FrmImportar f;
    const Controles c(f);
    c.mkePeriodo->setText("03/2004");
    EXPECT_TRUE(Cajas().empty());
    EXPECT_EQ(shell::G().gsPeriodo, "200403");
    c.mkePeriodo->setText("02/2004");
    EXPECT_EQ(Cajas(), std::vector<std::string>{"¡El Periodo tributario no es válido!"});
    EXPECT_EQ(shell::G().gsPeriodo, "200403");  // a refused period is not taken
    // Opening or modifying (mode 2) does not ask about the period.
    shell::G().gnModo = 2;
    c.mkePeriodo->setText("01/2004");
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
    const Controles c(f);
    Declaracion201501(f, c);
    c.chkOpc[2]->click();
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
    const Controles c(f);
    Declaracion201501(f, c);
    c.chkOpc[2]->click();
    Elige(f, base + ".mov");
    f.CmdGrabar_Click();
    EXPECT_TRUE(Cajas().empty());
    ASSERT_EQ(avisos_.avisos.size(), 1u);  // the import's own box
    const std::string& texto = avisos_.avisos[0].texto;
    EXPECT_EQ(texto.rfind("El archivo " + datos_ + "/" + base + ".mov tiene errores", 0), 0u)
        << texto;
    EXPECT_TRUE(c.CmdGrabar->isEnabled());
    EXPECT_EQ(c.pbar1->value(), 0);
    EXPECT_EQ(c.lblbar1->text(), "");
    EXPECT_EQ(c.fraBar->title(), "");
    EXPECT_EQ(FilasCab(), 0);
}

TEST_F(Formulario, RutaQueNoEsCarpeta) {
    Escribe(datos_ + "/archivo", {"x"});
    FrmImportar f;
    const Controles c(f);
    const std::string antes = c.DirList->Path();
    c.DrvLst->addItem(QString::fromStdString(datos_ + "/archivo"));
    c.DrvLst->setCurrentText(QString::fromStdString(datos_ + "/archivo"));
    f.DrvLst_Change();
    EXPECT_EQ(Cajas(), std::vector<std::string>{
                           "Ruta de Directorio no encontrado en Driver:/\nVerifique el correcto "
                           "colocado del disquete.\nIntente nuevamente por favor."});
    EXPECT_EQ(c.DirList->Path(), antes);
    EXPECT_EQ(c.DrvLst->currentText(), "/");
}

// Activating a folder of the folder list shows its files.
TEST_F(Formulario, CarpetaActivadaMuestraSusArchivos) {
    fs::create_directories(datos_ + "/b");
    fs::create_directories(datos_ + "/A");
    Escribe(datos_ + "/A/0787201501" + kRuc + ".mov", {Mov("12345678", "1.00")});
    FrmImportar f;
    const Controles c(f);
    c.DirList->SetPath(datos_);
    c.CmbRuc->setCurrentIndex(0);
    c.mkePeriodo->setText("01/2015");
    c.chkOpc[2]->click();
    emit c.DirList->itemActivated(c.DirList->item(c.DirList->count() - 2));
    EXPECT_EQ(c.DirList->Path(), datos_ + "/A");
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
    const Controles c(f);
    Declaracion201501(f, c);
    c.chkOpc[2]->click();
    Elige(f, base + ".mov");
    bool bloqueado = false, corrio = false, cerradoDurante = false, cerrado = false;
    QObject::connect(&f, &QDialog::finished, [&] { cerrado = true; });
    QTimer::singleShot(0, &f, [&] {
        corrio = true;
        bloqueado = !c.fraDec->isEnabled() && !c.fraOpc->isEnabled() && !c.fraArc->isEnabled();
        c.CmdCancelar->click();
        cerradoDurante = cerrado || shell::G().gsPeriodo.empty();
    });
    f.CmdGrabar_Click();
    ASSERT_TRUE(corrio);
    EXPECT_TRUE(bloqueado);
    EXPECT_FALSE(cerradoDurante);
    EXPECT_TRUE(c.fraDec->isEnabled());
    EXPECT_TRUE(c.fraArc->isEnabled());
    auto rs = db_->OpenRecordset("SELECT periodo FROM EFCONTROL", jet::dbOpenSnapshot);
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields(0).Value().Str(), "201501");
    // The close asked for during the import happens once it has ended.
    EXPECT_TRUE(cerrado);
    EXPECT_EQ(shell::G().gsPeriodo, "");
}

// A write of the error file that fails while the import runs (here the file
// size limit, reached part way through the movements) frees the progress
// area after its box, never the taxpayer and the period: the reversals that
// follow are still checked and recorded under the period the import started
// with, and the choices come free when it has ended.
TEST_F(Formulario, FalloDelArchivoDeErroresNoSueltaLaDeclaracion) {
    const std::string nombre = "0787201501" + kRuc;
    const std::string base = datos_ + "/" + nombre;
    std::vector<std::string> mov, ext;
    for (int i = 0; i < 20000; ++i) {
        mov.push_back(Mov(std::to_string(10000000 + i), "05.00"));  // every record rejected
        ext.push_back(Ext(std::to_string(10000000 + i)));
    }
    Escribe(base + ".mov", mov);
    Escribe(base + ".ext", ext);
    FrmImportar f;
    const Controles c(f);
    Declaracion201501(f, c);
    c.chkOpc[2]->click();
    c.chkOpc[3]->click();
    Elige(f, nombre + ".mov");

    struct rlimit limite;
    getrlimit(RLIMIT_FSIZE, &limite);
    const auto senal = std::signal(SIGXFSZ, SIG_IGN);
    // The limit goes once the box has been shown.
    struct AvisosQueAvisan : pruebas::AvisosGrabados {
        std::function<void()> alAvisar;
        int MsgBox(const std::string& texto, int estilo, const std::string& titulo) override {
            alAvisar();
            return AvisosGrabados::MsgBox(texto, estilo, titulo);
        }
    } avisos;
    bool limitado = false, avisado = false, despues = false, libre = false;
    avisos.alAvisar = [&] {
        setrlimit(RLIMIT_FSIZE, &limite);
        avisado = true;
    };
    QTimer reloj;
    QObject::connect(&reloj, &QTimer::timeout, [&] {
        if (!limitado && c.lblbar1->text().toStdString() ==
                             "Verificando la estructura del archivo " + base + ".mov") {
            struct rlimit l = limite;
            l.rlim_cur = 1;
            limitado = setrlimit(RLIMIT_FSIZE, &l) == 0;
        } else if (avisado && !c.CmdGrabar->isEnabled()) {
            // Back from the box, the user picks another period where the form lets them.
            despues = true;
            if (!libre && c.mkePeriodo->isEnabled()) {
                libre = true;
                c.mkePeriodo->setText("02/2015");
            }
        }
    });
    reloj.start(0);
    f.CmdGrabar_Click();
    reloj.stop();
    setrlimit(RLIMIT_FSIZE, &limite);
    std::signal(SIGXFSZ, senal);

    ASSERT_TRUE(limitado && avisado && despues) << limitado << avisado << despues;
    ASSERT_FALSE(avisos.avisos.empty());
    EXPECT_EQ(avisos.avisos[0].titulo, "Error");
    EXPECT_FALSE(libre);
    EXPECT_EQ(shell::G().gsPeriodo, "201501");
    auto rs = db_->OpenRecordset("SELECT periodo, num_tuplas FROM EFCONTROL", jet::dbOpenSnapshot);
    ASSERT_FALSE(rs->Eof());  // the reversals only
    EXPECT_EQ(rs->Fields(0).Value().Str(), "201501");
    EXPECT_EQ(rs->Fields(1).Value().Str(), "20000");
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    EXPECT_TRUE(c.fraDec->isEnabled());
    EXPECT_TRUE(c.fraBar->isEnabled());
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
    const Controles c(f);
    Declaracion201501(f, c);
    c.chkOpc[3]->click();
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
    const Controles c(f);
    Declaracion201501(f, c);
    c.chkOpc[2]->click();
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
    const Controles c(f);
    std::vector<ui::ShownBox> cajas;
    auto pulsa = [&] {
        respuestas_->Clear();
        f.CmdGrabar_Click();
        cajas = respuestas_->Shown();
        for (const auto& c : cajas) EXPECT_EQ(c.title, "Validar Archivos") << c.text;
        return cajas.empty() ? std::string() : cajas.back().text;
    };
    auto estilo = [&] { return cajas.empty() ? -1 : cajas.back().flags; };

    c.DirList->SetPath(datos_ + "/Ñandú");
    EXPECT_EQ(pulsa().rfind("El nombre del directorio", 0), 0u);
    EXPECT_EQ(estilo(), ui::vbCritical);
    EXPECT_EQ(cajas.back().text,
              "El nombre del directorio que contiene los archivos a importar presenta un carácter "
              "no permitido (ñ).\rPor favor modifique el nombre del directorio o copie los "
              "archivos en otro directorio para poder generar su envío  KORAL.");
    c.DirList->SetPath(datos_);
    EXPECT_EQ(pulsa(), "¡El Periodo tributario no es válido!");
    EXPECT_EQ(estilo(), ui::vbCritical);
    c.mkePeriodo->setText("01/2015");
    EXPECT_EQ(pulsa(), "Debe seleccionar algún número de RUC");
    EXPECT_EQ(estilo(), ui::vbExclamation);
    c.CmbRuc->setCurrentIndex(0);
    c.chkOpc[2]->click();
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
