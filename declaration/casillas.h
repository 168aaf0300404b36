// The boxes of the declaration form as data: every box with its number, the
// frame and column it stands in, its position in twips, whether the system
// fills it (locked) or the user types it, its display group, and in which
// period layout it shows; the row descriptions; the list of boxes that saving
// writes, in its order. The form builds its controls from these tables.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace declaracion {

// The three layouts of the box tab, chosen by the period "yyyymm".
enum class Diseno {
    Inicial,       // exactly "200403": 309 and 329 closed, no scroll bar
    DosQuincenas,  // before "201710": 300/301 and 320/321, 353/373 hidden
    UnPeriodo,     // "201710" on: 353/373 instead of the two fortnights
};
Diseno DisenoDe(std::string_view periodo);

// Where a box stands.
enum class Marco {
    Actual,    // current-period frame (fraActual)
    Anterior,  // previous-periods frame (fraAnterior)
    Oculto,    // never shown
};
enum class Columna { Propia, Retencion, Ninguna };

// How a box changes form on focus and on leaving (entry boxes only).
enum class Grupo {
    Grande,      // MaxLength 15 in, 19 out: "#,###,###,##0" of the magnitude
    Parentesis,  // MaxLength 12 in, 17 out: "(#,###,###,##0)" unless "" or "0"
    Otra,        // MaxLength 12 in, 15 out: "###,###,###,##0"
};

struct Casilla {
    int numero;
    Marco marco;
    Columna columna;
    int fila;        // row in its frame, 0 at the top; -1 for hidden boxes
    bool bloqueada;  // filled by the system (formula or import totals)
    Grupo grupo;
    // Top and height inside its column frame, in twips (the form measures
    // the widths). Hidden boxes: 0.
    int top, height;
    // Top of the number label (txtnumcas) before the box.
    int labelTop;
};

// Every box of the form (shown and hidden), ordered by number.
std::span<const Casilla> Casillas();
// The box with number n, or nullptr when the form has no such box.
const Casilla* BuscaCasilla(int n);

// A row description label (txtdescas) with its index and designed text.
struct Descripcion {
    int indice;
    std::string texto;
    Marco marco;
    int top;  // inside the description frame, twips, as designed
};
std::span<const Descripcion> Descripciones();

// Frames of fraActual as designed and in the single-period layout.
inline constexpr int kTopMarcoDescripcion = 240;
inline constexpr int kTopMarcoColumnas = 120;  // own-account and retention frames
inline constexpr int kTopMarcoDescripcionUnPeriodo = -30;
inline constexpr int kTopMarcoColumnasUnPeriodo = -150;
inline constexpr int kTop353UnPeriodo = 310;  // boxes 353/373 and their labels
inline constexpr int kTopDescripcion305UnPeriodo = 180;
inline constexpr std::string_view kTextoDescripcion305UnPeriodo = "Impuesto resultante del periodo";
inline constexpr int kTopMarcos = 800;  // fraActual and fraAnterior

// Whether box n is shown / open for entry in a layout. Hidden boxes are never
// shown; locked boxes never open; 309/329 closed in the initial layout.
bool Visible(int n, Diseno d);
bool Abierta(int n, Diseno d);
// The description labels hidden in a layout (306 in the single-period one).
bool DescripcionVisible(int indice, Diseno d);

// The 46 boxes that saving writes and the read-only view walks, in order.
std::span<const int> ListaGrabar();

// Boxes whose value is always the magnitude (shown in parentheses and
// subtracted by the formulas).
bool EnListaAbsoluta(int n);

}  // namespace declaracion
