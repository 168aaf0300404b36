// The declaration on the form 0787 editor, without the window: the box values
// as the boxes show them (box number -> display text), the identification and
// payment data, and the flags the form keeps. The form holds one Declaracion,
// copies what the user types into it and shows what the rules put back.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace declaracion {

// The form's caption, the title of its message boxes.
inline constexpr std::string_view kTituloForm = "0787 QVX Olvarico v 1.9";
// Version of this program as stored in box 721 and compared on saving.
inline constexpr std::string_view kVersion = "1.9";

// A message box the form must show, in the order the rules produce them.
// estilo is the button set plus icon as ui::MsgBox takes it (16 critical,
// 48 exclamation, 64 information: vb/msgbox_values.h); an empty titulo means the application's
// title (ui::MsgBox's default).
struct Mensaje {
    std::string texto;
    int estilo = 0;
    std::string titulo;
    bool operator==(const Mensaje&) const = default;
};

// Key of the declaration (TIP_DOC_D is always 6). correl only for a sent one.
struct Clave {
    std::string ruc;
    std::string periodo;  // "yyyymm"
    std::string formulario = "0787";
    std::int16_t semana = 0;
    std::string correl;
};

// The four values of the payment-details control, as text.
struct FormaDePago {
    std::string tipo = "XX";  // "C" cheque, "E" cash, "XX" none chosen
    std::string banco;        // bank code ("XX" or empty: none)
    std::string cheque;       // cheque number
    std::string importe;      // total amount to pay, display text
};

class Declaracion {
  public:
    Declaracion() = default;
    explicit Declaracion(Clave clave) : clave(std::move(clave)) {}

    // ---- Boxes -------------------------------------------------------------
    // The text of box n as the box shows it; "" for a box without value.
    const std::string& Valor(int n) const;
    // Sets the text of box n (an empty text removes the value). Marks the
    // declaration modified; runs no formula (see AlCambiar).
    void FijaValor(int n, std::string texto);
    // Every box with a value, by number.
    const std::map<int, std::string>& Valores() const { return valores_; }

    // True when the text of box n, trimmed of blanks, is empty.
    bool Vacio(int n) const;
    // Numeric value of box n: 0 when empty; thousands separators ignored, a
    // parenthesised amount negative; the magnitude for the boxes shown in
    // parentheses (EnListaAbsoluta). Text that is no number reads as 0.
    double Vale(int n) const;
    // Puts box n into display form after a calculation (see formatos.h Forma).
    void Forma(int n);

    // A box's text changed (typed or set by the form): marks the declaration
    // modified and, unless it is loading, runs the formula that box feeds
    // (308-311, 351 -> Calcular312; 328-331, 352 -> Calcular332;
    // 313, 333 -> CalcularImporteTotal). Returns true when some box or the
    // payment amount was recalculated, so the form refreshes what it shows.
    bool AlCambiar(int n);
    // The four balances after a load: 307/317, 327/337, 312, 332 in this order.
    void Recalcula();

    // ---- Identification, payment and state -----------------------------------
    Clave clave;
    std::string numRuc;      // the RUC field of the identification tab
    std::string nombre;      // taxpayer name (the name field)
    bool rectifica = false;  // the rectification option: false "&No", true "&Si"
    std::string version;     // stored box 721: version that last saved it
    FormaDePago pago;

    // Order-number registration of a sent declaration.
    bool registraOrden = false;
    std::string numControl;  // control number of the sending (gsNumControl)
    std::string orden;       // order number box (at most 10 characters)
    std::string verifica;    // check-code box (at most 2 characters)

    bool cargando = false;    // loading: no formula runs on a change
    bool modificado = false;  // changed since load, save or activation

  private:
    std::map<int, std::string> valores_;
};

// The period "yyyymm" as the identification tab shows it: "mm/yyyy".
std::string PeriodoMostrado(std::string_view periodo);

}  // namespace declaracion
