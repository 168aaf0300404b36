#include "reports/forms/frmconsist.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <optional>
#include <regex>

#include "pruebas/host.h"
#include "pruebas/impresoras.h"
#include "shell/state.h"
#include "ui/msgbox.h"
#include "ui/pointer.h"
#include "ui/printer.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/text.h"

namespace {

using reportes::forms::FrmConsist;

QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "reportsforms_test";
    static char* argv[] = {name, nullptr};
    pruebas::SinImpresoras();
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// The text pdftotext finds in a PDF, blanks folded; nullopt without the tool.
std::optional<std::string> TextoPdf(const std::string& pdf) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) return std::nullopt;
    QProcess run;
    run.start(tool, {"-enc", "UTF-8", QString::fromStdString(pdf), "-"});
    EXPECT_TRUE(run.waitForFinished(30000));
    return QString::fromUtf8(run.readAllStandardOutput()).simplified().toStdString();
}

class Consist : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApp();
        shell::ResetState();
        shell::G().gsArchivoRep = carpeta_.Ruta() + "/Mens.txt";
        pdf_ = carpeta_.Ruta() + "/lista.pdf";
        ui::ThePrinter().SetPdfOutput(pdf_);
    }
    void TearDown() override {
        ui::ThePrinter().SetPdfOutput("");
        shell::ResetState();
    }
    // The log as the validation writes it: one message a line, in 1252.
    void Log(const std::vector<std::string>& lineas) {
        const int n = vb::FreeFile();
        vb::Open(shell::G().gsArchivoRep, vb::OpenMode::Output, n);
        for (const std::string& l : lineas) vb::PrintLine(n, l);
        vb::Close(n);
    }
    // The texts of each page of the last job.
    static std::vector<std::vector<std::string>> Paginas() {
        std::vector<std::vector<std::string>> p;
        for (const auto& r : ui::ThePrinter().LastJob()) p.push_back(r.texts);
        return p;
    }

    pruebas::CarpetaTemporal carpeta_;
    std::string pdf_;
    ui::ScriptedAnswers respuestas_;
};

TEST_F(Consist, ShowsTheLogAndPrintsItNumberedWithLongMessagesOnTwoRows) {
    const std::string m90 = "La casilla 301 debe ser numérica " + std::string(57, 'x');
    const std::string m91 = std::string(89, 'a') + "bc";
    ASSERT_EQ(vb::CharCount(m90), 90u);
    Log({"Falta el número de RUC del declarante", m90, m91});
    FrmConsist f;
    EXPECT_EQ(f.windowTitle(), "Inconsistencias detectadas");
    EXPECT_EQ(f.findChild<QPlainTextEdit*>("TxtPreliminar")->toPlainText().remove('\r'),
              QString::fromStdString("Falta el número de RUC del declarante\n" + m90 + "\n" + m91 +
                                     "\n"));
    f.findChild<QPushButton*>("cmdImprimir")->click();
    const auto paginas = Paginas();
    ASSERT_EQ(paginas.size(), 1u);
    const auto& t = paginas[0];
    ASSERT_EQ(t.size(), 11u);
    EXPECT_EQ(t[0], "KORAL");
    EXPECT_TRUE(std::regex_match(t[1], std::regex(R"(\d\d/\d\d/\d{4})"))) << t[1];
    EXPECT_EQ(t[3], "INCONSISTENCIAS DETECTADAS ");
    EXPECT_TRUE(std::regex_match(t[4], std::regex(R"(\d\d:\d\d:\d\d)"))) << t[4];
    EXPECT_EQ(t[5], "0787 QVX Olvarico - v 1.6");
    EXPECT_EQ(t[6], " 1. Falta el número de RUC del declarante");
    EXPECT_EQ(t[7], " 2. " + m90);
    EXPECT_EQ(t[8], " 3. " + std::string(89, 'a') + "-");
    EXPECT_EQ(t[9], "    bc");
    EXPECT_EQ(t[10], " Inconsistencias Detectadas :  3");
    EXPECT_EQ(ui::ThePrinter().LastJob()[0].lines, 4);
    EXPECT_EQ(ui::MousePointer(), ui::vbDefault);
    if (auto texto = TextoPdf(pdf_)) {
        EXPECT_NE(texto->find("1. Falta el número de RUC del declarante"), std::string::npos)
            << *texto;
    }
    EXPECT_TRUE(respuestas_.Shown().empty());
}

TEST_F(Consist, FortyRowsToAPage) {
    struct Caso {
        const char* nombre;
        std::vector<std::string> log;
        std::vector<std::size_t> textos;  // texts on each page
        std::string cierre;
    };
    std::vector<std::string> cuarenta(40, "Mensaje");
    std::vector<std::string> partido(38, "Mensaje");
    partido.push_back(std::string(100, 'm'));  // rows 39 and 40
    partido.push_back("Mensaje");
    const std::vector<Caso> casos = {
        {"empty", {}, {7}, " Inconsistencias Detectadas :  0"},
        {"forty", cuarenta, {46, 1}, " Inconsistencias Detectadas :  40"},
        {"two rows ending the page", partido, {46, 2}, " Inconsistencias Detectadas :  40"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Log(c.log);
        FrmConsist f;
        f.RepInconsist();
        const auto paginas = Paginas();
        ASSERT_EQ(paginas.size(), c.textos.size());
        for (std::size_t i = 0; i < paginas.size(); ++i) EXPECT_EQ(paginas[i].size(), c.textos[i]);
        EXPECT_EQ(paginas.back().back(), c.cierre);
        // The frame is drawn once, on the last page.
        EXPECT_EQ(ui::ThePrinter().LastJob().back().lines, 4);
        if (paginas.size() > 1) {
            EXPECT_EQ(ui::ThePrinter().LastJob()[0].lines, 0);
        }
    }
}

TEST_F(Consist, PrintingErrorsAreToldAndLeaveNothingHalfDone) {
    // Reading the log is the opener's affair.
    try {
        FrmConsist f;
        ADD_FAILURE() << "a missing log must raise";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Number(), vb::kFileNotFound);
    }

    Log({"Mensaje"});
    FrmConsist f;
    f.show();
    // No printer to print on.
    ui::ThePrinter().SetPdfOutput(carpeta_.Ruta() + "/no/existe/lista.pdf");
    f.RepInconsist();
    // The log gone after the header was drawn.
    ui::ThePrinter().SetPdfOutput(pdf_);
    vb::Kill(shell::G().gsArchivoRep);
    f.RepInconsist();
    ASSERT_EQ(respuestas_.Shown().size(), 2u);
    EXPECT_EQ(respuestas_.Shown()[0].text, "No existe una impresora seleccionada.Verifique.");
    EXPECT_EQ(respuestas_.Shown()[1].text.rfind("Error Técnico : ( 53) ", 0), 0u)
        << respuestas_.Shown()[1].text;
    for (const auto& s : respuestas_.Shown()) {
        EXPECT_EQ(s.title, "Impresión");
        EXPECT_EQ(s.flags, ui::vbCritical);
    }
    EXPECT_EQ(ui::MousePointer(), ui::vbDefault);
    EXPECT_TRUE(f.isVisible());

    // The next printing starts a job of its own.
    Log({"Mensaje"});
    f.RepInconsist();
    const auto paginas = Paginas();
    ASSERT_EQ(paginas.size(), 1u);
    EXPECT_EQ(paginas[0].size(), 8u);
}

}  // namespace
