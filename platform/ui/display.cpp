#include "ui/display.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace ui {

namespace {

std::string PlataformaQt() {
    const char* p = std::getenv("QT_QPA_PLATFORM");
    return p ? std::string(p) : std::string();
}

bool EmpiezaCon(const std::string& s, const char* prefijo) {
    return s.rfind(prefijo, 0) == 0;
}

bool ServidorXResponde() {
    const char* d = std::getenv("DISPLAY");
    if (!d || !*d) return false;
    // A server that is still starting (a virtual display just launched, a
    // loaded machine) refuses the first connections: give it two seconds
    // before saying there is no display.
    for (int intento = 0; intento < 20; ++intento) {
        if (intento > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        xcb_connection_t* c = xcb_connect(d, nullptr);
        const bool ok = c && !xcb_connection_has_error(c);
        if (c) xcb_disconnect(c);
        if (ok) return true;
    }
    return false;
}

bool HayWayland() {
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return w && *w;
}

}  // namespace

bool HayPantalla() {
    const std::string p = PlataformaQt();
    if (EmpiezaCon(p, "offscreen") || EmpiezaCon(p, "minimal") || EmpiezaCon(p, "vnc")) {
        return false;
    }
    if (EmpiezaCon(p, "wayland")) return HayWayland();
    if (EmpiezaCon(p, "xcb")) return ServidorXResponde();
    return ServidorXResponde() || HayWayland();
}

bool QtPuedeArrancar() {
    const std::string p = PlataformaQt();
    if (EmpiezaCon(p, "offscreen") || EmpiezaCon(p, "minimal")) return true;
    return HayPantalla();
}

void PrefiereX11() {
    const char* d = std::getenv("DISPLAY");
    if (PlataformaQt().empty() && d && *d) setenv("QT_QPA_PLATFORM", "xcb", 0);
}

std::string MensajeSinPantalla(const std::string& programa, const std::string& comoEjecutar) {
    const std::string p = PlataformaQt();
    const char* d = std::getenv("DISPLAY");
    std::string falta;
    if (EmpiezaCon(p, "wayland")) {
        falta = HayWayland() ? "no responde la pantalla Wayland WAYLAND_DISPLAY=" +
                                   std::string(std::getenv("WAYLAND_DISPLAY"))
                             : "no hay pantalla: la variable WAYLAND_DISPLAY no está definida";
    } else if (d && *d) {
        falta = "no responde la pantalla DISPLAY=" + std::string(d);
    } else {
        falta = "no hay pantalla: la variable DISPLAY no está definida";
    }
    return programa + ": " + falta + ". Ejecútelo en una sesión gráfica o, sin ella, en una " +
           "pantalla virtual: " + comoEjecutar;
}

bool HayAplicacion() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace ui
