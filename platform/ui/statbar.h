// The family's status-bar control: the main window and its forms write only
// its text properties; it shows them in panels along the bottom of the frame.
#pragma once

#include <QLabel>
#include <QStatusBar>
#include <QString>

namespace ui {

class BarradeEstadoQVX : public QStatusBar {
    Q_OBJECT
    Q_PROPERTY(QString esruc READ esruc WRITE setEsruc)
    Q_PROPERTY(QString numdoc READ numdoc WRITE setNumdoc)
    Q_PROPERTY(QString razonsocial READ razonsocial WRITE setRazonsocial)
    Q_PROPERTY(QString periodo_ejercicio READ periodo_ejercicio WRITE setPeriodo_ejercicio)
    Q_PROPERTY(QString formulario READ formulario WRITE setFormulario)
    Q_PROPERTY(QString semana READ semana WRITE setSemana)

  public:
    explicit BarradeEstadoQVX(QWidget* parent = nullptr);

    QString esruc() const { return esruc_; }
    QString numdoc() const { return numdoc_; }
    QString razonsocial() const { return razonsocial_; }
    QString periodo_ejercicio() const { return periodo_; }
    QString formulario() const { return formulario_; }
    QString semana() const { return semana_; }

    void setEsruc(const QString& v);
    void setNumdoc(const QString& v);
    void setRazonsocial(const QString& v);
    void setPeriodo_ejercicio(const QString& v);
    void setFormulario(const QString& v);
    void setSemana(const QString& v);

  private:
    void Pinta();

    QString esruc_, numdoc_, razonsocial_, periodo_, formulario_, semana_;
    QLabel* lblDoc_;
    QLabel* lblRazon_;
    QLabel* lblPeriodo_;
    QLabel* lblFormulario_;
    QLabel* lblSemana_;
};

}  // namespace ui
