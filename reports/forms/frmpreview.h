// frmPreview: the report previewer. It reads one report mark-up file from the
// report folder and draws it, one page surface per page, for the user to
// browse and print; or, without showing itself, sends it to the printer.
// MuestraReporte makes a fresh previewer for each report.
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QScrollBar>
#include <QString>
#include <QToolBar>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

namespace reportes::forms {

// One page surface: 17000 by 30000 twips, keeping everything drawn on it.
class SuperficiePagina : public QWidget {
    Q_OBJECT
  public:
    explicit SuperficiePagina(QWidget* parent);

    struct Trazo {
        bool linea = false;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // twips
        QString texto;
        QFont fuente;  // pixel size in twips
    };
    void Texto(double x, double y, const QString& texto, const QFont& fuente);
    void Linea(double x1, double y1, double x2, double y2);
    const std::vector<Trazo>& Trazos() const { return trazos_; }

    QColor BackColor() const { return fondo_; }
    void SetBackColor(const QColor& c);
    // Offsets of the surface inside its area, in twips (the scroll bars move them).
    void SetTop(int twips);
    void SetLeft(int twips);
    int Top() const { return top_; }
    int Left() const { return left_; }

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    std::vector<Trazo> trazos_;
    QColor fondo_ = Qt::white;
    int top_ = 0;
    int left_ = 0;
};

class frmPreview : public QDialog {
    Q_OBJECT
  public:
    explicit frmPreview(QWidget* parent = nullptr);

    // Set by the caller before the form is shown or printing starts.
    std::string sRut;
    std::int16_t iNroHoja = 0;
    std::string sObject;

    // Loading: draws the file named by sRut; an error is told and the
    // window opens with what was drawn.
    void Form_Load();
    // Reads the file in the report folder and draws it ("PresPrevia") or
    // prints it (any other mode, under the page range in force). Preview:
    // errors pass to the caller. Print: every error ends the job (abandoned,
    // printer back to portrait, pointer restored) and is told here; false
    // when the report was not printed whole.
    bool pDesencripta(const std::string& archivo, const std::string& modo);
    void ppos(std::int16_t x, std::int16_t y, const std::string& texto, bool negrita,
              std::int16_t tamano, std::int16_t pagina);
    void pCuadro(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2,
                 std::int16_t pagina);
    void pPosVerti(std::int16_t x, std::int16_t y, const std::string& texto, bool negrita,
                   std::int16_t tamano, std::int16_t pagina);
    // 0 first page, -2 previous, -1 next.
    void pMostrar(int cual);
    // Buttons numbered from 1: 2 previous, 3 next, 4 print, 5 close.
    void tlbPrevia_ButtonClick(int boton);
    void vsbPic_Change(int indice);
    void HScroll1_Change();

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    SuperficiePagina* Superficie(int indice);

    // Controls, named as the form's own (their object names too; the page
    // surfaces as picPrevia0 on, the scroll bars as vsbPic0 and vsbPic1).
    std::vector<SuperficiePagina*> picPrevia;
    QWidget* picFondo;
    QScrollBar* vsbPic[2];
    QScrollBar* HScroll1;
    QToolBar* tlbPrevia;

    void Lee(const std::string& ruta, bool previa);
    void FinImpresion(bool abandona);

    bool cargado_ = false;
    bool sincronizando_ = false;
    std::string orientacion_;
};

// Shows the report file (name in the report folder) in a fresh previewer
// when modo is "Vprevia", else prints it without showing anything.
void MuestraReporte(const std::string& archivo, const std::string& modo);

// A colour as the report file writes it (&H00BBGGRR, or a system colour).
QColor ColorVB(std::uint32_t color);

}  // namespace reportes::forms
