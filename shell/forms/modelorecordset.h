// A grid bound to a query of the host database, as the data grids of the
// pickers and the print dialog are bound to their data controls: the rows of
// a jet recordset as a Qt item model, with the columns the caller lays out
// (field, caption, width, hidden, display format), and the view that shows
// them. Read only.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <string>
#include <string_view>
#include <vector>

#include "vb/variant.h"

namespace jet {
class Database;
}

namespace shell::forms {

// One column of the grid. The field is found by name in any letter case; a
// field the query does not bring shows empty, as a bound column does.
struct ColumnaGrid {
    std::string campo{};
    std::string titulo{};
    int ancho = 0;  // twips; 0 leaves the view's width
    bool oculta = false;
    std::string formato{};  // vb Format of the value; empty: the value as text
};

class ModeloRecordset : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ModeloRecordset(QObject* parent = nullptr);

    // The columns shown, in order. Without any, every field of the query is
    // shown under its own name.
    void FijaColumnas(std::vector<ColumnaGrid> columnas);
    const std::vector<ColumnaGrid>& Columnas() const { return columnas_; }

    // Runs the query (Jet dialect) over db and loads its rows in place of the
    // previous ones. Engine errors pass as vb::VbError and leave the rows as
    // they were.
    void Carga(jet::Database& db, std::string sql);
    // Runs the last query again; nothing when none was loaded.
    void Refresca();

    const std::string& Sql() const { return sql_; }
    int Filas() const { return static_cast<int>(filas_.size()); }
    // The value of a field of a row (any letter case); Empty when the query
    // lacks the field or the row does not exist.
    vb::Variant Valor(int fila, std::string_view campo) const;
    // The text a column shows for a row: its field's value in the column's format.
    std::string Texto(int fila, int columna) const;

    // Widths and hidden columns onto a view showing this model, once its rows
    // are loaded: a column without a width of its own takes the width of its
    // caption and texts, and the view is made wide enough to show every
    // visible column whole (at most as wide as the screen and the view's own
    // maximum allow).
    void AplicaA(QTableView* vista) const;

    int rowCount(const QModelIndex& padre = QModelIndex()) const override;
    int columnCount(const QModelIndex& padre = QModelIndex()) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion,
                        int rol = Qt::DisplayRole) const override;

  private:
    int IndiceCampo(std::string_view campo) const;
    void Enlaza();

    jet::Database* db_ = nullptr;
    std::string sql_;
    std::vector<std::string> campos_;
    std::vector<std::vector<vb::Variant>> filas_;
    std::vector<ColumnaGrid> columnas_;
    std::vector<int> enlaces_;  // field of each column shown; -1 when the query lacks it
};

// The data grid of the declaration lists (the pickers and the print dialog):
// whole rows of its data control, one of them current, nothing typed in.
class GridRecordset : public QTableView {
    Q_OBJECT
  public:
    GridRecordset(ModeloRecordset* datos, QWidget* parent);

    // Once the data control has loaded its rows: the columns laid out
    // (ModeloRecordset::AplicaA) and the first row made current; without
    // rows the grid is disabled, as a grid over an empty data control is.
    void Presenta();
    // The current row; -1 when there is none.
    int FilaActual() const;
    // Makes a row current, in the present column; past the last row, the
    // last. Nothing when fila is negative or there are no rows.
    void IrAFila(int fila);
    // The value of a column's field in the current row, as stored; Empty
    // without a current row.
    vb::Variant Valor(int columna) const;
    std::string Columna(int columna) const;  // the same, as text

  signals:
    // Enter pressed in the grid. The key is taken from the view only when a
    // form listens.
    void Enter();

  protected:
    void keyPressEvent(QKeyEvent* e) override;

  private:
    ModeloRecordset* datos_;
};

}  // namespace shell::forms
