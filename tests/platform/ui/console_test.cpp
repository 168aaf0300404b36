// Pieces that work without Qt's application object: the box of a program
// without a window, the previous-instance flag, finding the help file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "pruebas/guion.h"
#include "ui/desktop.h"
#include "ui/display.h"
#include "ui/instance.h"
#include "ui/msgbox.h"
#include "ui/windows.h"

namespace {

using namespace ui;

TEST(ConsoleBox, WithoutADisplayTheBoxGoesToStandardErrorWithItsDefault) {
    ASSERT_FALSE(HayPantalla());
    testing::internal::CaptureStderr();
    const int r = MsgBox("Debe ejecutar este módulo desde el Nexador del QVX", vbCritical,
                         "Error al ejecutar el módulo");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(r, vbOK);
    EXPECT_NE(err.find("Error al ejecutar el módulo"), std::string::npos);
    EXPECT_NE(err.find("Debe ejecutar este módulo desde el Nexador del QVX"), std::string::npos);

    testing::internal::CaptureStderr();
    EXPECT_EQ(MsgBox("¿Sigue?", vbYesNo + vbDefaultButton2, "T"), vbNo);
    testing::internal::GetCapturedStderr();
}

TEST(ConsoleBox, EnvironmentScriptAnswersAndEchoes) {
    setenv("UI_TEST_ANSWERS", "7, 2,x", 1);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(pruebas::RespuestasDelEntorno("UI_TEST_ANSWERS"));
    EXPECT_EQ(MsgBox("a", vbYesNo, "T1"), vbNo);
    EXPECT_EQ(MsgBox("b", vbOKCancel, "T2"), vbCancel);
    EXPECT_EQ(MsgBox("c", vbOKCancel, "T3"), vbOK);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("[T2]"), std::string::npos);
    EXPECT_NE(err.find("c"), std::string::npos);
    EXPECT_FALSE(pruebas::RespuestasDelEntorno("UI_TEST_ANSWERS_UNSET"));
}

TEST(WindowSearch, WithoutAnXServerNothingIsFound) {
    const char* d = getenv("DISPLAY");
    std::string saved = d ? d : "";
    unsetenv("DISPLAY");
    cWindows w;
    EXPECT_FALSE(w.CorreApp("Telvarin"));
    EXPECT_TRUE(VentanasDelEscritorio().empty());
    if (d) setenv("DISPLAY", saved.c_str(), 1);
}

// The launcher check over windows as a window manager leaves them: a
// minimised window, or one on another workspace, is unmapped but still counts
// as shown; only a window its program hid does not; the title must match
// exactly.
TEST(WindowSearch, CountsWindowsAsVisibleTheWayWindowsDoes) {
    struct Caso {
        const char* caso;
        bool mapeada;
        EstadoWm estado;
        const char* titulo;
        bool halla;
    };
    const Caso casos[] = {
        {"shown, no window manager", true, EstadoWm::Ninguno, "Telvarin", true},
        {"shown under a window manager", true, EstadoWm::Normal, "Telvarin", true},
        {"minimised", false, EstadoWm::Minimizado, "Telvarin", true},
        {"on another workspace", false, EstadoWm::Normal, "Telvarin", true},
        {"hidden by its program", false, EstadoWm::Retirado, "Telvarin", false},
        {"never shown", false, EstadoWm::Ninguno, "Telvarin", false},
        {"blank added", true, EstadoWm::Normal, "Telvarin ", false},
        {"lower case", false, EstadoWm::Minimizado, "telvarin", false},
        {"no title", true, EstadoWm::Normal, "", false},
    };
    for (const Caso& c : casos) {
        VentanaX v;
        v.mapeada = c.mapeada;
        v.estado = c.estado;
        v.visible = EsVisible(c.mapeada, c.estado);
        v.titulo = c.titulo;
        VentanaX otra;
        otra.mapeada = otra.visible = true;
        otra.titulo = "Otra";
        cWindows w([&] { return std::vector<VentanaX>{otra, v}; });
        EXPECT_EQ(w.CorreApp("Telvarin"), c.halla) << c.caso;
    }
}

// Runs fn in a child process and returns its exit code.
template <class F>
int InChild(F fn) {
    pid_t pid = fork();
    if (pid == 0) _exit(fn());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(PreviousInstance, SecondProcessSeesTheFirstAndADeadHolderDoesNotCount) {
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString();
    EXPECT_FALSE(PrevInstanceIn(d, "formdesk"));
    // Asking again in the same process: still the only instance.
    EXPECT_FALSE(PrevInstanceIn(d, "formdesk"));
    EXPECT_EQ(InChild([&] { return PrevInstanceIn(d, "formdesk") ? 1 : 0; }), 1);
    // Another program's lock is another flag.
    EXPECT_EQ(InChild([&] { return PrevInstanceIn(d, "otro") ? 1 : 0; }), 0);
    ReleaseInstance("formdesk");
    EXPECT_EQ(InChild([&] { return PrevInstanceIn(d, "formdesk") ? 1 : 0; }), 0);
    // The child died holding its lock (its file is left behind): no instance.
    EXPECT_TRUE(QFile::exists(dir.filePath("otro.lock")));
    EXPECT_FALSE(PrevInstanceIn(d, "otro"));
    ReleaseInstance("otro");
}

TEST(HelpFile, FoundWithOtherCapitalsOrAnExtensionElseAClearMessage) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("0787");
    QFile f(dir.filePath("0787/FormDesk.html"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const std::string base = dir.path().toStdString();
    EXPECT_EQ(BuscaArchivoAyuda(base + "/0787/formdesk"), f.fileName().toStdString());
    EXPECT_EQ(BuscaArchivoAyuda(base + "/0787/FORMDESK.HTML"), f.fileName().toStdString());
    EXPECT_EQ(BuscaArchivoAyuda(base + "/0787/otro"), "");
    EXPECT_EQ(BuscaArchivoAyuda(base + "/no/formdesk"), "");
    EXPECT_EQ(BuscaArchivoAyuda(""), "");

    std::vector<std::string> opened;
    SetDesktopHook([&](const std::string& s) { opened.push_back(s); });
    ScriptedAnswers s;
    EXPECT_TRUE(MuestraAyuda(base + "/0787/formdesk", "0787"));
    EXPECT_FALSE(MuestraAyuda(base + "/0787/nada", "0787"));
    SetDesktopHook({});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], f.fileName().toStdString());
    ASSERT_EQ(s.Shown().size(), 1u);
    EXPECT_NE(s.Shown()[0].text.find("/0787/nada"), std::string::npos);
}

}  // namespace
