// One QApplication for the whole test executable, made on first use, with
// no printer of the machine in reach.
#pragma once

#include <QApplication>

#include "pruebas/impresoras.h"

inline QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "ui_test";
    static char* argv[] = {name, nullptr};
    pruebas::SinImpresoras();
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
