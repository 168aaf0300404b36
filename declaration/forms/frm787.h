// Frm787: the declaration form. Opens one existing declaration, a stored one
// to complete, validate and save, or a sent one to record its order number;
// the identification tab and the box tab with the current-period and
// previous-periods grids and the payment details.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "declaration/declaracion.h"
#include "declaration/forms/caja.h"
#include "ui/formapago.h"

namespace declaracion::forms {

class Frm787 : public QDialog {
    Q_OBJECT
  public:
    explicit Frm787(QWidget* parent = nullptr);
    ~Frm787() override;

    // Load road, run by the constructor; a database error or a stored box the
    // form does not have passes to whoever opened the form.
    void Form_Load();
    void Form_Activate();
    void ActivaBotonesForm(const std::string& NumCas, const std::string& valor);

    // Layout.
    void Descasilla(int box);
    void CasQuincena();
    void DesTodo();
    void Subeframe(int posicion);
    // Help context of the tab strip (1016 identification, 1015 boxes).
    void FijaAyuda(int contexto);

    // Identification and commands.
    void CargaIdent();
    bool ValIdent(const std::string& modo);
    void OptRectifica_Click(int Index);
    void tab0787_Click(int PreviousTab);
    void Cmdgeneral_Click(int Index);
    bool ValidaTodo(const std::string& Tipo);
    // Saves (or records the order number); true when it was saved.
    bool GrabarForm();

    // The box of a number; raises error 340 when the form has none.
    CajaTexto* Caja(int n) const;
    bool Bloqueada(int n) const;

    // The declaration on the form, as the rules see it.
    const Declaracion& Datos() const { return d_; }
    bool Modificado() const { return d_.modificado; }
    bool GrabaAlSalir() const { return grabarAlSalir_; }
    const std::string& Version() const { return version_; }
    int TabHelpContextID() const { return tabHelp_; }
    const std::string& CasillaActual() const { return tagActual_; }

    // Public member of the form: the declaration's taxpayer number.
    std::string sRuc;

  protected:
    bool event(QEvent* e) override;
    void reject() override;

  private:
    void Construye();
    void ConstruyeIdentificacion();
    void ConstruyeCasillas();
    void Conecta(int n);
    int txtValor_KeyPress(int n, int KeyAscii);
    void txtValor_GotFocus(int n);
    void txtValor_LostFocus(int n);
    void txtValor_Change(int n);
    void Salir();
    void Cierra();
    void Termina();
    std::string Titulo() const;
    void Muestra(const std::vector<Mensaje>& avisos);
    void MuestraCasillas();
    void MuestraCasilla(int n);
    void Recoge();

    // Controls, named as the form's own. Their object names too: an array's
    // element as name_index, a box as txtValor_number, the inner frames of a
    // grid as its name and Desc, Propia or Reten.
    std::array<QPushButton*, 3> Cmdgeneral{};
    QLabel* TxtAyuda1;
    QLabel* TxtAyuda;
    QTabWidget* tab0787;
    QWidget* tabIdent;
    QWidget* tabDeterm;
    // Identification tab.
    QGroupBox* fraDatos;
    QLineEdit* TxtNumRuc;
    QLineEdit* TxtRazon;
    QComboBox* CmbRuc;
    QLineEdit* mkePeriodo;
    QGroupBox* fraRectifica;
    std::array<QRadioButton*, 2> OptRectifica{};
    QGroupBox* frmOrden;
    CajaTexto* txtOrden;
    CajaTexto* txtVerifica;
    // Box tab.
    QLabel* lblTitulo;
    std::array<QLabel*, 2> Text1{};
    QGroupBox* fraActual;
    QGroupBox* fraAnterior;
    std::array<QWidget*, 3> fraActualCol{};    // description, own account, retention
    std::array<QWidget*, 3> fraAnteriorCol{};  // description, own account, retention
    QScrollBar* vsVertical;
    ui::FormaDePagoQVX* FormaDePagoQVX1;
    std::map<int, CajaTexto*> txtValor;
    std::map<int, QLabel*> txtnumcas;
    std::map<int, QLabel*> txtdescas;

    Declaracion d_;
    bool mostrando_ = false;  // the form itself writes the boxes: no change event
    bool grabarAlSalir_ = false;
    bool activado_ = false;  // the first activation has happened
    bool cerrando_ = false;
    std::string version_;
    std::string tagActual_;
    int tabHelp_ = 0;
    int tabPrevio_ = 0;
};

// Registers the form under "Frm787" with the main window's commands.
void RegistraFrm787();

}  // namespace declaracion::forms
