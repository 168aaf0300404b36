// A host installation of its own for each test, the settings file found
// through WINDIR, message boxes answered by script and modal forms closed by
// a hook instead of waiting for a person.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <memory>
#include <optional>

#include "host/hostkit.h"
#include "pruebas/host.h"
#include "pruebas/controles.h"
#include "shell/conexion.h"
#include "shell/forms/mdifrm.h"
#include "shell/state.h"
#include "ui/desktop.h"
#include "ui/modal.h"
#include "ui/msgbox.h"
#include "validator/validator.h"

inline QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "shellforms_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// The main window's status bar, found by its object name.
inline ui::BarradeEstadoQVX* Barra(const shell::forms::MDIFrm& m) {
    return pruebas::Control<ui::BarradeEstadoQVX>(m, "BarradeEstadoQVX1");
}

class HostForms : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApp();
        cwd_ = std::filesystem::current_path();
        shell::ResetState();
        shell::G().goValidador = &validador_;
        inst_ = hostkit::CreaHost(carpeta_.Ruta() + "/host");
        pruebas::FijaWindir(inst_);
        respuestas_.emplace();
        ui::SetDesktopHook([this](const std::string& s) { abiertos_.push_back(s); });
    }
    void TearDown() override {
        ui::SetModalHook({});
        ui::SetDesktopHook({});
        frm_.reset();
        shell::CierraBaseDatos();
        respuestas_.reset();
        shell::ResetState();
        std::filesystem::current_path(cwd_);
    }
    // The main window loaded as at start-up; "&Salir" does not end the tests.
    shell::forms::MDIFrm& Principal() {
        frm_ = std::make_unique<shell::forms::MDIFrm>();
        frm_->FijaFin([this] { fin_++; });
        EXPECT_TRUE(frm_->MDIForm_Load());
        return *frm_;
    }

    pruebas::CarpetaTemporal carpeta_;
    hostkit::Instalacion inst_;
    pruebas::AvisosGrabados avisos_;
    validator::cValidador validador_;
    std::optional<ui::ScriptedAnswers> respuestas_;
    std::vector<std::string> abiertos_;
    std::unique_ptr<shell::forms::MDIFrm> frm_;
    int fin_ = 0;
    std::filesystem::path cwd_;
};
