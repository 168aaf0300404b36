// The report windows on the offscreen platform: the previewer's pages,
// browsing, scrolling and printing (to PDF, read back with pdftotext), the
// page-range dialog and the print dialog over a host installation.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/hostkit.h"
#include "jet/database.h"
#include "pruebas/controles.h"
#include "pruebas/host.h"
#include "pruebas/impresoras.h"
#include "reports/forms/frmimprimir.h"
#include "reports/forms/frmimpxpag.h"
#include "reports/forms/frmpreview.h"
#include "shell/forms/registro.h"
#include "shell/state.h"
#include "ui/modal.h"
#include "ui/msgbox.h"
#include "ui/pointer.h"
#include "ui/printer.h"
#include "validator/validator.h"
#include "vb/datetime.h"
#include "vb/files.h"
#include "vb/numeric.h"
#include "vb/variant.h"

namespace {

using namespace reportes::forms;

QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "impresion_test";
    static char* argv[] = {name, nullptr};
    pruebas::SinImpresoras();
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

using pruebas::Control;

// The previewer's controls, found by their names: its page surfaces
// (picPrevia0 on), the area that holds them and the scroll bars.
struct Previa {
    explicit Previa(const frmPreview& f)
        : picFondo(Control<QWidget>(f, "picFondo")),
          vsbPic{Control<QScrollBar>(f, "vsbPic0"), Control<QScrollBar>(f, "vsbPic1")},
          HScroll1(Control<QScrollBar>(f, "HScroll1")) {
        while (auto* s = f.findChild<SuperficiePagina*>(
                   QStringLiteral("picPrevia%1").arg(picPrevia.size())))
            picPrevia.push_back(s);
    }
    std::vector<SuperficiePagina*> picPrevia;
    QWidget* picFondo;
    std::array<QScrollBar*, 2> vsbPic;
    QScrollBar* HScroll1;
};

bool HayPdfToText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

// The text of each page of a PDF, blanks folded (pdftotext).
std::vector<std::string> PaginasPdf(const QString& pdf) {
    QProcess info;
    info.start(QStandardPaths::findExecutable(QStringLiteral("pdfinfo")), {pdf});
    info.waitForFinished(30000);
    int paginas = 0;
    for (const QString& l : QString::fromUtf8(info.readAllStandardOutput()).split('\n')) {
        if (l.startsWith(QStringLiteral("Pages:"))) paginas = l.mid(6).trimmed().toInt();
    }
    std::vector<std::string> v;
    for (int n = 1; n <= paginas; ++n) {
        QProcess run;
        run.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), QStringLiteral("-layout"),
                   QStringLiteral("-f"), QString::number(n), QStringLiteral("-l"),
                   QString::number(n), pdf, QStringLiteral("-")});
        run.waitForFinished(30000);
        v.push_back(QString::fromUtf8(run.readAllStandardOutput()).simplified().toStdString());
    }
    return v;
}

bool Tiene(const std::string& texto, const std::string& parte) {
    return texto.find(parte) != std::string::npos;
}

class Ventanas : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApp();
        shell::ResetState();
        inst_ = hostkit::CreaHost(carpeta_.Ruta() + "/host");
        db_ = hostkit::AbreHost(inst_);
        auto& g = shell::G();
        g.gdbBase = db_.get();
        g.goValidador = &validador_;
        g.gsRutaRpt = inst_.sysPath + "RPT";
        g.gsUsuario = std::string(hostkit::kUsuarioSistema);
        g.gsFormulario = "0787";
        ASSERT_TRUE(pdfDir_.isValid());
        pdf_ = pdfDir_.filePath(QStringLiteral("trabajo.pdf"));
        ui::ThePrinter().SetPdfOutput(pdf_.toStdString());
    }
    void TearDown() override {
        ui::SetModalHook({});
        ui::ThePrinter().SetPdfOutput({});
        ui::ThePrinter().SetOrientation(ui::vbPRORPortrait);
        shell::G().gdbBase = nullptr;
        db_.reset();
        shell::ResetState();
    }
    // A report file of the report folder from its lines.
    void Reporte(const std::string& nombre, const std::vector<std::string>& lineas) {
        const int n = vb::FreeFile();
        vb::Open(shell::G().gsRutaRpt + "/" + nombre, vb::OpenMode::Output, n);
        for (const std::string& l : lineas) vb::PrintLine(n, l);
        vb::Close(n);
    }
    // A report of `paginas` pages, each with its "Hoja n" text and a box,
    // and a new-page record after each (the last one too).
    std::vector<std::string> Hojas(int paginas, const std::string& orientacion = "V") {
        std::vector<std::string> v = {"<!font!>Courier New<!/font!>", "<!nHojas!>1<!/nHojas!>",
                                      "<!Orientacion!>" + orientacion + "<!/Orientacion!>",
                                      "<!Color!>&H00FFFFC0&<!/Color!>"};
        for (int p = 0; p < paginas; ++p) {
            const std::string pg = std::to_string(p);
            v.push_back("pPos|300|350|Hoja " + std::to_string(p + 1) + "|True|16|" + pg + "|");
            v.push_back("pCuadro|150|300|1700|1640|" + pg + "|");
            v.push_back("pNuevaHoja");
        }
        return v;
    }
    // Shows the report and hands the previewer to `mira` while it is open.
    void Muestra(const std::string& archivo, const std::function<void(frmPreview&)>& mira) {
        bool visto = false;
        ui::SetModalHook([&](QDialog* d) {
            auto* f = qobject_cast<frmPreview*>(d);
            ASSERT_NE(f, nullptr);
            visto = true;
            mira(*f);
        });
        MuestraReporte(archivo, "Vprevia");
        ui::SetModalHook({});
        EXPECT_TRUE(visto);
    }
    static std::vector<std::string> Textos(const SuperficiePagina& s) {
        std::vector<std::string> v;
        for (const auto& t : s.Trazos()) {
            if (!t.linea) v.push_back(t.texto.toStdString());
        }
        return v;
    }
    static int Visible(const frmPreview& f) {
        const Previa pv(f);
        int visible = -1;
        for (std::size_t i = 0; i < pv.picPrevia.size(); ++i) {
            if (pv.picPrevia[i]->isVisibleTo(pv.picFondo)) {
                EXPECT_EQ(visible, -1) << "one page at a time";
                visible = static_cast<int>(i);
            }
        }
        return visible;
    }

    pruebas::CarpetaTemporal carpeta_;
    hostkit::Instalacion inst_;
    std::unique_ptr<jet::Database> db_;
    validator::cValidador validador_;
    ui::ScriptedAnswers respuestas_;
    QTemporaryDir pdfDir_;
    QString pdf_;
};

TEST_F(Ventanas, PreviewBrowsesItsPagesAndScrolls) {
    Reporte("00000001.PRN", Hojas(3));
    Muestra("00000001.PRN", [&](frmPreview& f) {
        const Previa pv(f);
        EXPECT_EQ(f.windowTitle(), "Presentación Preliminar");
        ASSERT_EQ(pv.picPrevia.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Textos(*pv.picPrevia[i]),
                      std::vector<std::string>{"Hoja " + std::to_string(i + 1)});
            EXPECT_EQ(pv.picPrevia[i]->Trazos().size(), 5u) << "a text and four sides";
            EXPECT_EQ(pv.picPrevia[i]->BackColor(), QColor(0xC0, 0xFF, 0xFF));
            EXPECT_EQ(pv.picPrevia[i]->size(), QSize(17000 / 15, 30000 / 15));
        }
        EXPECT_EQ(Visible(f), 0);
        pv.vsbPic[1]->setValue(3000);
        EXPECT_EQ(pv.vsbPic[0]->value(), 3000);
        EXPECT_EQ(pv.picPrevia[0]->Top(), -3000);
        pv.HScroll1->setValue(600);
        EXPECT_EQ(pv.picPrevia[0]->Left(), -600);
        std::vector<int> vistas;
        for (int boton : {3, 3, 3, 2, 2, 2}) {
            f.tlbPrevia_ButtonClick(boton);
            vistas.push_back(Visible(f));
            EXPECT_EQ(pv.vsbPic[0]->value() + pv.vsbPic[1]->value(), 0);
            EXPECT_EQ(pv.picPrevia[static_cast<std::size_t>(vistas.back())]->Top(), 0);
        }
        EXPECT_EQ(vistas, (std::vector<int>{1, 2, 2, 1, 0, 0}));
        EXPECT_EQ(pv.HScroll1->value(), 600) << "the horizontal bar keeps its value";
        EXPECT_EQ(pv.picPrevia[1]->Left(), 0) << "each page keeps its own offset";
        EXPECT_EQ(pv.picPrevia[0]->Left(), -600);
        const QImage imagen = pv.picPrevia[0]->grab().toImage();
        EXPECT_EQ(imagen.pixelColor(150 / 15 + 1, 300 / 15), QColor(Qt::black)) << "box drawn";
        EXPECT_EQ(imagen.pixelColor(3, 3), QColor(0xC0, 0xFF, 0xFF));
        EXPECT_EQ(ui::ThePrinter().LastJob().size(), 0u);
        // Printing from the toolbar leaves the page on show where it was.
        f.tlbPrevia_ButtonClick(3);
        f.tlbPrevia_ButtonClick(4);
        EXPECT_EQ(ui::ThePrinter().LastJob().size(), 3u);
        pv.vsbPic[0]->setValue(1500);
        EXPECT_EQ(pv.picPrevia[1]->Top(), -1500);
        f.tlbPrevia_ButtonClick(3);
        EXPECT_EQ(Visible(f), 2);
        f.tlbPrevia_ButtonClick(5);
        EXPECT_FALSE(f.isVisible());
    });
    EXPECT_TRUE(respuestas_.Shown().empty());
}

TEST_F(Ventanas, APageRangeIsPreviewedAndPrintedAlone) {
    if (!HayPdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    Reporte("00000002.PRN", Hojas(5, "H"));
    auto& g = shell::G();
    g.gbPorPagina = true;
    struct Caso {
        std::int16_t desde, hasta;
        std::vector<std::string> paginas;
    };
    for (const Caso& c : {Caso{2, 3, {"Hoja 2", "Hoja 3"}}, Caso{1, 1, {"Hoja 1"}},
                          Caso{4, 9, {"Hoja 4", "Hoja 5"}}, Caso{7, 9, {}}}) {
        SCOPED_TRACE(c.desde);
        g.gnPaginaDesde = c.desde;
        g.gnPaginaHasta = c.hasta;
        QFile::remove(pdf_);
        Muestra("00000002.PRN", [&](frmPreview& f) {
            const Previa pv(f);
            ASSERT_EQ(pv.picPrevia.size(), std::max<std::size_t>(1, c.paginas.size()));
            for (std::size_t i = 0; i < c.paginas.size(); ++i) {
                EXPECT_EQ(Textos(*pv.picPrevia[i]), std::vector<std::string>{c.paginas[i]});
            }
            if (c.paginas.empty()) {
                EXPECT_TRUE(pv.picPrevia[0]->Trazos().empty());
            }
            f.tlbPrevia_ButtonClick(4);
            EXPECT_EQ(f.sObject, "IMPRIMIR");
        });
        EXPECT_EQ(ui::ThePrinter().Orientation(), ui::vbPRORPortrait);
        if (c.paginas.empty()) {
            EXPECT_FALSE(QFile::exists(pdf_)) << "nothing to print";
            continue;
        }
        const std::vector<std::string> impresas = PaginasPdf(pdf_);
        EXPECT_EQ(impresas, c.paginas) << "no blank sheet after the last new-page record";
        ASSERT_FALSE(ui::ThePrinter().LastJob().empty());
        EXPECT_EQ(ui::ThePrinter().LastJob()[0].orientation, ui::vbPRORLandscape);
    }
    EXPECT_TRUE(respuestas_.Shown().empty());
}

TEST_F(Ventanas, ABadLineOrAMissingFileIsTold) {
    std::vector<std::string> lineas = Hojas(3);
    lineas.insert(lineas.begin() + 7, "pPos|300|xx|sin cierre");         // after the first page
    lineas.insert(lineas.begin() + 5, "pPos|0|0|sin hoja|False|8|-1|");  // left out
    Reporte("00000003.PRN", lineas);
    ui::SetMousePointer(ui::vbHourglass);
    Muestra("00000003.PRN", [&](frmPreview& f) {
        const Previa pv(f);
        EXPECT_EQ(pv.picPrevia.size(), 1u);
        EXPECT_EQ(Textos(*pv.picPrevia[0]), std::vector<std::string>{"Hoja 1"});
    });
    ASSERT_EQ(respuestas_.Shown().size(), 1u);
    EXPECT_EQ(respuestas_.Shown()[0].text,
              "Error tecnico:  5\nArgumento o llamada a procedimiento no válidos\n"
              "Intente nuevamente por favor.");
    EXPECT_EQ(respuestas_.Shown()[0].title, "Error");
    EXPECT_EQ(respuestas_.Shown()[0].flags, ui::vbCritical);
    EXPECT_EQ(ui::MousePointer(), ui::vbArrow);

    respuestas_.Clear();
    Muestra("00000099.PRN", [&](frmPreview& f) {
        const Previa pv(f);
        EXPECT_EQ(pv.picPrevia.size(), 1u);
        EXPECT_TRUE(pv.picPrevia[0]->isVisibleTo(pv.picFondo));
    });
    ASSERT_EQ(respuestas_.Shown().size(), 1u);
    EXPECT_EQ(respuestas_.Shown()[0].text, "Archivo Físico del Reporte no Existe");
    EXPECT_EQ(respuestas_.Shown()[0].title, "Error al Imprimir");
}

TEST_F(Ventanas, NoPrinterEndsTheJobAndSaysSo) {
    ASSERT_TRUE(QPrinterInfo::defaultPrinter().isNull()) << "the tests reach a printer";
    ui::ThePrinter().SetPdfOutput({});
    // Texts only: a printer that is not there is not hidden by the texts
    // that cannot be drawn.
    std::vector<std::string> textos = Hojas(2, "H");
    std::erase_if(textos, [](const std::string& l) { return l.rfind("pCuadro", 0) == 0; });
    Reporte("00000004.PRN", textos);
    // Directly, and from the previewer's toolbar.
    for (int via = 0; via < 2; ++via) {
        respuestas_.Clear();
        ui::SetMousePointer(ui::vbHourglass);
        if (via == 0) {
            MuestraReporte("00000004.PRN", "xx");
        } else {
            Muestra("00000004.PRN", [&](frmPreview& f) { f.tlbPrevia_ButtonClick(4); });
        }
        ASSERT_EQ(respuestas_.Shown().size(), 1u) << via;
        EXPECT_EQ(respuestas_.Shown()[0].text, "No existe una impresora seleccionada.Verifique.");
        EXPECT_EQ(respuestas_.Shown()[0].title, "Impresión");
        EXPECT_EQ(ui::ThePrinter().Orientation(), ui::vbPRORPortrait);
        EXPECT_EQ(ui::ThePrinter().Page(), 0) << "the job is abandoned";
        EXPECT_EQ(ui::MousePointer(), ui::vbArrow);
    }
}

TEST_F(Ventanas, PageRangeDialogChecksItsFields) {
    Reporte("00000005.PRN", Hojas(3));
    auto& g = shell::G();
    g.gbPorPagina = true;
    struct Caso {
        const char* desde;
        const char* hasta;
        const char* mensaje;  // nullptr: previewed
        std::int16_t guardaDesde = 0, guardaHasta = 0;
        std::size_t superficies = 0;
    };
    const Caso casos[] = {
        {"0", "3", "Página inicial debe ser a partir de 1.", 0, 0, 0},
        {".", "3", "Página inicial debe ser a partir de 1.", 0, 0, 0},
        {"   ", "3", "Ingrese página de inicio.", 0, 0, 0},
        {"1", "", "Ingrese página de Fin.", 0, 0, 0},
        {"3", "2", "Página final no puede ser menor que la página inicial.", 0, 0, 0},
        {"2", "9", nullptr, 2, 9, 2},
        {"0.6", "1", nullptr, 1, 1, 1},
        {"1", "99999", nullptr, 1, 32767, 3},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::string(c.desde) + "-" + c.hasta);
        frmImpxPag d;
        d.setWindowTitle(QStringLiteral("Impresión por páginas"));
        d.Tag = "00000005.PRN";
        auto* desde = Control<QLineEdit>(d, "txtPagDesde");
        auto* hasta = Control<QLineEdit>(d, "txtPagHasta");
        EXPECT_EQ(desde->text(), "1");
        EXPECT_EQ(hasta->text(), "1");
        desde->setText(QString::fromUtf8(c.desde));
        hasta->setText(QString::fromUtf8(c.hasta));
        g.gnPaginaDesde = g.gnPaginaHasta = -1;
        respuestas_.Clear();
        std::size_t superficies = 0;
        ui::SetModalHook([&](QDialog* f) {
            superficies = Previa(*qobject_cast<frmPreview*>(f)).picPrevia.size();
        });
        d.cmdAccion_Click(0);
        ui::SetModalHook({});
        if (c.mensaje) {
            ASSERT_EQ(respuestas_.Shown().size(), 1u);
            EXPECT_EQ(respuestas_.Shown()[0].text, c.mensaje);
            EXPECT_EQ(respuestas_.Shown()[0].title, "Impresión por páginas");
            EXPECT_EQ(respuestas_.Shown()[0].flags, ui::vbCritical);
            EXPECT_EQ(g.gnPaginaDesde, -1) << "nothing stored";
        } else {
            EXPECT_TRUE(respuestas_.Shown().empty());
            EXPECT_EQ(g.gnPaginaDesde, c.guardaDesde);
            EXPECT_EQ(g.gnPaginaHasta, c.guardaHasta);
            EXPECT_EQ(superficies, c.superficies);
            EXPECT_EQ(desde->text(), QString::fromUtf8(c.desde)) << "fields as they were";
        }
    }
    frmImpxPag d;
    auto* desde = Control<QLineEdit>(d, "txtPagDesde");
    auto* hasta = Control<QLineEdit>(d, "txtPagHasta");
    d.show();
    QApplication::setActiveWindow(&d);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    desde->clear();
    desde->setFocus();
    QTest::keyClicks(desde, QStringLiteral("a1-b2. x"));
    EXPECT_EQ(desde->text(), "12. ");
    QTest::keyClick(desde, Qt::Key_Backspace);
    EXPECT_EQ(desde->text(), "12.");
    QTest::keyClick(desde, Qt::Key_Return);
    EXPECT_EQ(desde->text(), "12.");
    EXPECT_EQ(QApplication::focusWidget(), hasta) << "Enter goes to the next field";
}

// The print dialog over declarations of the host user's first taxpayer.
class DialogoImprimir : public Ventanas {
  protected:
    static constexpr const char* kRuc = "20100123453";
    void SetUp() override {
        Ventanas::SetUp();
        const std::string clave = std::string("'") + kRuc + "',6,'201710','0787',0";
        Ejecuta(
            "INSERT INTO CAB (DOC_ID_D,TIP_DOC_D,PERIODO,FORMULARIO,SEMANA,estado,"
            "bcolibrad,nrocheque,efectivo) VALUES (" +
            clave + ",0,' ',' ','1500')");
        for (auto [casilla, valor] :
             std::vector<std::pair<const char*, const char*>>{{"353", "1500"},
                                                              {"373", "-250"},
                                                              {"598", "1500"},
                                                              {"599", "E"},
                                                              {"592", "12"},
                                                              {"721", "1.9"}}) {
            Ejecuta(std::string("INSERT INTO DET (DOC_ID_D,TIP_DOC_D,PERIODO,FORMULARIO,SEMANA,"
                                "CASILLA,I_VALOR) VALUES (") +
                    clave + ",'" + casilla + "','" + valor + "')");
        }
    }
    void Ejecuta(const std::string& sql) { db_->Execute(sql, jet::dbFailOnError); }
    std::vector<std::string> Spool() {
        std::vector<std::string> v;
        auto rs = db_->OpenRecordset(
            "SELECT CodRep, Secuencia, Archivo FROM SPOOL ORDER BY Archivo", jet::dbOpenSnapshot);
        for (; !rs->Eof(); rs->MoveNext()) {
            v.push_back(vb::ToText(rs->Fields(0).Value()) + " " +
                        vb::ToText(rs->Fields(1).Value()) + " " +
                        vb::ToText(rs->Fields(2).Value()));
        }
        return v;
    }
};

TEST_F(DialogoImprimir, StoredDeclarationPreviewedByPageAndPrinted) {
    if (!HayPdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    frmImprimir f;
    f.show();
    const auto* datos = Control<shell::forms::ModeloRecordset>(f, "Dta1");
    auto* grid = Control<QTableView>(f, "grdContrib");
    EXPECT_EQ(f.windowTitle(), "Imprimir ");
    EXPECT_EQ(f.property("HelpContextID").toInt(), 1013) << "as F1 reads it";
    EXPECT_EQ(Control<QGroupBox>(f, "Frame2")->title(), "Declaraciones registradas");
    ASSERT_EQ(datos->Filas(), 1);
    EXPECT_EQ(datos->headerData(1, Qt::Horizontal).toString(), "Razón Social");
    EXPECT_EQ(datos->Texto(0, 3), "10/2017");
    for (int c : {2, 5, 6, 7, 8, 9}) EXPECT_TRUE(grid->isColumnHidden(c)) << c;
    for (int c : {0, 1, 3, 4, 10, 11}) EXPECT_FALSE(grid->isColumnHidden(c)) << c;
    auto& g = shell::G();
    EXPECT_EQ(g.gsRuc, kRuc);
    g.gsBanco = "03";  // left by an earlier declaration

    frmImpxPag* paginas = nullptr;
    ui::SetModalHook([&](QDialog* d) {
        paginas = qobject_cast<frmImpxPag*>(d);
        ASSERT_NE(paginas, nullptr);
        EXPECT_EQ(paginas->windowTitle(), "Impresión por páginas");
        EXPECT_EQ(Control<QLineEdit>(*paginas, "txtTotPaginas")->text(), "1");
        EXPECT_EQ(paginas->Tag, "00000001.PRN");
        EXPECT_TRUE(shell::G().gbPorPagina);
    });
    QTest::keyClick(grid, Qt::Key_Return);  // as "&Preliminar"
    ui::SetModalHook({});
    EXPECT_NE(paginas, nullptr);
    EXPECT_TRUE(vb::FileExists(g.gsRutaRpt + "/00000001.PRN"));
    EXPECT_EQ(g.gsBanco, " ");
    EXPECT_EQ(g.gsNumOrden, "");

    f.CmdImprimir_Click(1);
    EXPECT_FALSE(g.gbPorPagina);
    EXPECT_EQ(Spool(), (std::vector<std::string>{"UZQ001 000001 00000001.PRN",
                                                 "AC0001 000001 00000002.PRN"}));
    const std::vector<std::string> hoja = PaginasPdf(pdf_);
    ASSERT_EQ(hoja.size(), 1u);
    for (const char* t : {"KORAL", "RUC 20100123453", "Período 10-2017", "EFECTIVO", "1,500",
                          "(250)", "UZQ Retención"}) {
        EXPECT_TRUE(Tiene(hoja[0], t)) << t << " not in " << hoja[0];
    }
    for (const hostkit::Contribuyente& c : hostkit::Contribuyentes()) {
        if (c.numero == kRuc) {
            EXPECT_TRUE(Tiene(hoja[0], c.nombre)) << c.nombre;
        }
    }
    EXPECT_FALSE(Tiene(hoja[0], "NRO. ORDEN"));
    EXPECT_TRUE(respuestas_.Shown().empty());
}

TEST_F(DialogoImprimir, SentDeclarationCarriesItsOrderNumber) {
    if (!HayPdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const hostkit::Envio envio = hostkit::EnviaDeclaracion(*db_, kRuc, "201710");
    Ejecuta("UPDATE HCAB SET norden='87654321' WHERE CORREL='" + envio.correl + "'");
    shell::G().gbEnviadas = true;
    frmImprimir f;
    f.show();
    const auto* datos = Control<shell::forms::ModeloRecordset>(f, "Dta1");
    auto* grid = Control<QTableView>(f, "grdContrib");
    EXPECT_EQ(f.windowTitle(), "Imprimir Formularios enviados");
    EXPECT_EQ(f.property("HelpContextID").toInt(), 1014);
    EXPECT_EQ(Control<QGroupBox>(f, "Frame2")->title(), "Declaraciones Enviadas");
    EXPECT_TRUE(grid->isColumnHidden(2));
    EXPECT_TRUE(grid->isColumnHidden(9));
    EXPECT_FALSE(grid->isColumnHidden(5));
    ASSERT_EQ(datos->Filas(), 1);
    EXPECT_EQ(datos->Texto(0, 3), "10/2017");
    EXPECT_EQ(datos->Texto(0, 6), vb::Format(vb::Variant(vb::Today()), "dd/mm/yyyy"));
    EXPECT_EQ(datos->Texto(0, 7), envio.control);
    f.CmdImprimir_Click(1);
    EXPECT_EQ(shell::G().gsCorrel, envio.correl);
    const std::vector<std::string> hoja = PaginasPdf(pdf_);
    ASSERT_EQ(hoja.size(), 1u);
    EXPECT_TRUE(Tiene(hoja[0], "NRO. ORDEN: 87654321")) << hoja[0];
    EXPECT_TRUE(Tiene(hoja[0], "NRO. CONTROL: " + envio.control)) << hoja[0];
}

TEST_F(DialogoImprimir, AReportCutShortIsNeitherPreviewedNorPrinted) {
    // The report writer tells its error through the program's message boxes.
    std::filesystem::remove_all(shell::G().gsRutaRpt);
    frmImprimir f;
    f.show();
    for (int boton : {0, 1}) {
        pruebas::AvisosGrabados avisos;
        bool abierto = false;
        ui::SetModalHook([&](QDialog*) { abierto = true; });
        f.CmdImprimir_Click(boton);
        ui::SetModalHook({});
        EXPECT_FALSE(abierto);
        ASSERT_EQ(avisos.avisos.size(), 1u);
        EXPECT_EQ(avisos.avisos[0].texto, "Error Técnico : (76) Ruta de acceso no encontrada");
        EXPECT_EQ(avisos.avisos[0].titulo, "Impresión");
    }
    EXPECT_TRUE(respuestas_.Shown().empty());
    EXPECT_FALSE(QFile::exists(pdf_));
    EXPECT_EQ(Spool().size(), 2u) << "the spool rows stay";
}

TEST_F(DialogoImprimir, EmptyListAndTheMainWindowsCommand) {
    Ejecuta("DELETE FROM CAB");
    RegistraFrmImprimir();
    bool visto = false;
    ui::SetModalHook([&](QDialog* d) {
        auto* f = qobject_cast<frmImprimir*>(d);
        ASSERT_NE(f, nullptr);
        visto = true;
        EXPECT_FALSE(Control<QTableView>(*f, "grdContrib")->isEnabled());
        f->CmdImprimir_Click(0);
        f->CmdImprimir_Click(1);
        f->CmdImprimir_Click(2);
        EXPECT_FALSE(f->isVisible());
    });
    shell::forms::AbreFormulario("frmImprimir", nullptr);
    ui::SetModalHook({});
    EXPECT_TRUE(visto);
    EXPECT_TRUE(Spool().empty());
    shell::forms::RegistraFormulario("frmImprimir", {});
}

}  // namespace
