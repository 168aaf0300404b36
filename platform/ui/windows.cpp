#include "ui/windows.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace ui {

struct cWindows::Conexion {
    xcb_connection_t* c = nullptr;
    xcb_window_t raiz = 0;
    xcb_atom_t netWmName = XCB_ATOM_NONE;
    xcb_atom_t utf8 = XCB_ATOM_NONE;
    xcb_atom_t wmState = XCB_ATOM_NONE;

    Conexion() {
        int pantalla = 0;
        const char* d = std::getenv("DISPLAY");
        if (!d || !*d) return;
        c = xcb_connect(d, &pantalla);
        if (!c || xcb_connection_has_error(c)) return;
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
        for (int i = 0; i < pantalla && it.rem; ++i) xcb_screen_next(&it);
        if (!it.rem) return;
        raiz = it.data->root;
        netWmName = Atomo("_NET_WM_NAME");
        utf8 = Atomo("UTF8_STRING");
        wmState = Atomo("WM_STATE");
    }
    ~Conexion() {
        if (c) xcb_disconnect(c);
    }
    bool Lista() const { return c && !xcb_connection_has_error(c) && raiz != 0; }

    xcb_atom_t Atomo(const char* nombre) {
        auto ck = xcb_intern_atom(c, 1, static_cast<uint16_t>(std::strlen(nombre)), nombre);
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> r(
            xcb_intern_atom_reply(c, ck, nullptr), &std::free);
        return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    // The property's bytes and type; empty when absent.
    std::string Propiedad(xcb_window_t w, xcb_atom_t prop, xcb_atom_t* tipo) {
        if (prop == XCB_ATOM_NONE) return {};
        auto ck = xcb_get_property(c, 0, w, prop, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096);
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> r(
            xcb_get_property_reply(c, ck, nullptr), &std::free);
        if (!r || r->format != 8) {
            if (tipo) *tipo = r ? r->type : xcb_atom_t{XCB_ATOM_NONE};
            return {};
        }
        if (tipo) *tipo = r->type;
        const int n = xcb_get_property_value_length(r.get());
        return std::string(static_cast<const char*>(xcb_get_property_value(r.get())),
                           static_cast<std::size_t>(n));
    }

    // WM_STATE's first value; Ninguno when the window has none.
    EstadoWm Estado(xcb_window_t w) {
        if (wmState == XCB_ATOM_NONE) return EstadoWm::Ninguno;
        auto ck = xcb_get_property(c, 0, w, wmState, XCB_GET_PROPERTY_TYPE_ANY, 0, 1);
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> r(
            xcb_get_property_reply(c, ck, nullptr), &std::free);
        if (!r || r->type == XCB_ATOM_NONE) return EstadoWm::Ninguno;
        if (r->format != 32 || xcb_get_property_value_length(r.get()) < 4) {
            return EstadoWm::Retirado;
        }
        const auto valor = *static_cast<const std::uint32_t*>(xcb_get_property_value(r.get()));
        switch (valor) {
            case 1:
                return EstadoWm::Normal;
            case 3:
                return EstadoWm::Minimizado;
            default:
                return EstadoWm::Retirado;
        }
    }
    bool TieneEstadoWm(xcb_window_t w) { return Estado(w) != EstadoWm::Ninguno; }

    std::vector<xcb_window_t> Hijos(xcb_window_t w) {
        auto ck = xcb_query_tree(c, w);
        std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> r(
            xcb_query_tree_reply(c, ck, nullptr), &std::free);
        if (!r) return {};
        const xcb_window_t* h = xcb_query_tree_children(r.get());
        return std::vector<xcb_window_t>(h, h + xcb_query_tree_children_length(r.get()));
    }

    bool Visible(xcb_window_t w) {
        auto ck = xcb_get_window_attributes(c, w);
        std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> r(
            xcb_get_window_attributes_reply(c, ck, nullptr), &std::free);
        return r && r->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    // Under a window manager the root's children are its frames; the
    // program's own window, marked with WM_STATE, lies inside.
    xcb_window_t Cliente(xcb_window_t w, int profundidad) {
        if (TieneEstadoWm(w)) return w;
        if (profundidad == 0) return 0;
        for (xcb_window_t h : Hijos(w)) {
            if (xcb_window_t cl = Cliente(h, profundidad - 1)) return cl;
        }
        return 0;
    }
};

namespace {

std::string Latin1AUtf8(const std::string& s) {
    std::string r;
    r.reserve(s.size());
    for (unsigned char ch : s) {
        if (ch < 0x80) {
            r += static_cast<char>(ch);
        } else {
            r += static_cast<char>(0xC0 | (ch >> 6));
            r += static_cast<char>(0x80 | (ch & 0x3F));
        }
    }
    return r;
}

}  // namespace

std::string cWindows::LeeTituloVentana(Conexion& c, std::uint32_t hwnd) {
    xcb_atom_t tipo = XCB_ATOM_NONE;
    std::string t = c.Propiedad(hwnd, c.netWmName, &tipo);
    if (!t.empty()) return t;
    t = c.Propiedad(hwnd, XCB_ATOM_WM_NAME, &tipo);
    if (t.empty()) return {};
    // WM_NAME is Latin-1 unless the program marked it as UTF-8.
    if (tipo == c.utf8) return t;
    return Latin1AUtf8(t);
}

bool EsVisible(bool mapeada, EstadoWm estado) {
    return mapeada || estado == EstadoWm::Normal || estado == EstadoWm::Minimizado;
}

std::vector<VentanaX> VentanasDelEscritorio() {
    cWindows::Conexion c;
    std::vector<VentanaX> lista;
    if (!c.Lista()) return lista;
    std::vector<xcb_window_t> hijos = c.Hijos(c.raiz);
    // The server lists them bottom to top; the window manager's order starts at the top.
    for (auto it = hijos.rbegin(); it != hijos.rend(); ++it) {
        VentanaX v;
        v.id = *it;
        v.mapeada = c.Visible(*it);
        v.titulo = cWindows::LeeTituloVentana(c, *it);
        // The program's own window carries the state; under a window manager
        // it lies inside the frame, which stays there while it is unmapped.
        if (xcb_window_t cl = c.Cliente(*it, 3)) {
            v.estado = c.Estado(cl);
            if (v.titulo.empty() && cl != *it) v.titulo = cWindows::LeeTituloVentana(c, cl);
        }
        v.visible = EsVisible(v.mapeada, v.estado);
        lista.push_back(std::move(v));
    }
    return lista;
}

cWindows::cWindows() : fuente_(&VentanasDelEscritorio) {}

cWindows::cWindows(Fuente fuente) : fuente_(std::move(fuente)) {}

bool cWindows::CorreApp(const std::string& titulo) {
    for (const VentanaX& v : fuente_()) {
        if (!v.visible || v.titulo.empty()) continue;
        if (v.titulo == titulo) return true;
    }
    return false;
}

}  // namespace ui
