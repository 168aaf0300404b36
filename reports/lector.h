// Reading the report mark-up file back, one line at a time, as the previewer
// draws or prints it. LeeRegistro takes one line apart; ArchivoReporte hands
// out the records of a file in order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace reportes {

enum class TipoRegistro {
    Fuente,         // <!font!>name<!/font!>
    Hojas,          // <!nHojas!>n<!/nHojas!> (the value is not read)
    Orientacion,    // <!Orientacion!>V or H<!/Orientacion!>
    Color,          // <!Color!>&H........&<!/Color!>
    Texto,          // pPos|x|y|text|bold|size|page|
    Cuadro,         // pCuadro|x1|y1|x2|y2|page|
    TextoVertical,  // pPosVerti|x|y|text|bold|size|page|
    NuevaHoja,      // pNuevaHoja
    Otro,           // any other kind (letter case counts): ignored by the reader
};

struct Registro {
    TipoRegistro tipo = TipoRegistro::Otro;
    std::string clase;  // the kind as read, trimmed
    // Texto and TextoVertical: x, y; Cuadro: the corners (x, y) and (x2, y2).
    std::int16_t x = 0, y = 0, x2 = 0, y2 = 0;
    std::string texto;  // the text, kept exactly; the font name; the orientation (trimmed)
    bool negrita = false;
    std::int16_t tamano = 0;
    std::int16_t pagina = 0;
    std::uint32_t color = 0;  // &H00BBGGRR, or &H80000000 plus a system colour index

    // Records drawn on a page: positioned text, box, vertical text.
    bool Dibujable() const {
        return tipo == TipoRegistro::Texto || tipo == TipoRegistro::Cuadro ||
               tipo == TipoRegistro::TextoVertical;
    }
};

// One line of the file. The kind ends at the first "|" (dropped), "!>" or
// "aHoja" and is trimmed of blanks; fields run up to their "|"; numbers are
// read as Val reads them and rounded to the nearest integer, halves to even.
// Errors, which stop the reading: a line with no end of kind (an empty one
// too) or a field or tag value without its closing mark, 5; a number outside
// -32768..32767, 6; a bold field that is no Boolean, 13.
Registro LeeRegistro(std::string_view linea);

// A numeric field as the reader takes it (also the page fields of the
// page-range dialog, before their range is checked): Val, then the nearest
// integer, halves to even.
double ValorRedondeado(std::string_view campo);

// The records of a report file in order. Opening a missing file raises 53.
class ArchivoReporte {
  public:
    explicit ArchivoReporte(const std::string& ruta);
    ~ArchivoReporte();
    ArchivoReporte(const ArchivoReporte&) = delete;
    ArchivoReporte& operator=(const ArchivoReporte&) = delete;

    // The next record; false at the end of the file. Errors of LeeRegistro
    // pass on; the file stays open until the object goes.
    bool Siguiente(Registro& registro);
    // Line number of the record last read, from 1.
    long Linea() const { return linea_; }

  private:
    int numero_ = 0;
    long linea_ = 0;
};

}  // namespace reportes
