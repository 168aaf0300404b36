#include "reports/forms/trazos.h"

#include "ui/printer.h"

namespace reportes::forms {

void CuadroImpreso(const char* fuente, double x1, double y1, double x2, double y2) {
    ui::Printer& p = ui::ThePrinter();
    p.FontName = fuente;
    p.DrawWidth = 1;
    LadosCuadro(x1, y1, x2, y2,
                [&p](double xa, double ya, double xb, double yb) { p.Line(xa, ya, xb, yb); });
}

void TextoImpreso(const char* fuente, double x, double y, const std::string& texto, bool negrita,
                  double tamano) {
    ui::Printer& p = ui::ThePrinter();
    p.FontName = fuente;
    p.FontBold = negrita;
    p.FontSize = tamano;
    p.CurrentX = x;
    p.CurrentY = y;
    p.Print(texto);
}

}  // namespace reportes::forms
