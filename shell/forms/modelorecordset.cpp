#include "shell/forms/modelorecordset.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "jet/database.h"
#include "ui/twips.h"
#include "vb/ascii.h"
#include "vb/error.h"
#include "vb/numeric.h"

namespace shell::forms {

namespace {

using ui::kTwipsPorPixel;

}  // namespace

ModeloRecordset::ModeloRecordset(QObject* parent) : QAbstractTableModel(parent) {}

void ModeloRecordset::FijaColumnas(std::vector<ColumnaGrid> columnas) {
    beginResetModel();
    columnas_ = std::move(columnas);
    Enlaza();
    endResetModel();
}

void ModeloRecordset::Carga(jet::Database& db, std::string sql) {
    std::vector<std::string> campos;
    std::vector<std::vector<vb::Variant>> filas;
    auto rs = db.OpenRecordset(sql, jet::dbOpenSnapshot);
    for (int i = 0; i < rs->FieldCount(); ++i) campos.push_back(rs->Fields(i).Name());
    for (; !rs->Eof(); rs->MoveNext()) filas.push_back(rs->CurrentRow());
    rs->Close();

    beginResetModel();
    db_ = &db;
    sql_ = std::move(sql);
    campos_ = std::move(campos);
    filas_ = std::move(filas);
    Enlaza();
    endResetModel();
}

void ModeloRecordset::Refresca() {
    if (db_) Carga(*db_, sql_);
}

void ModeloRecordset::Enlaza() {
    enlaces_.clear();
    if (columnas_.empty()) {
        for (std::size_t i = 0; i < campos_.size(); ++i) enlaces_.push_back(static_cast<int>(i));
    } else {
        for (const ColumnaGrid& c : columnas_) enlaces_.push_back(IndiceCampo(c.campo));
    }
}

int ModeloRecordset::IndiceCampo(std::string_view campo) const {
    for (std::size_t i = 0; i < campos_.size(); ++i) {
        if (vb::IgualesAscii(campos_[i], campo)) return static_cast<int>(i);
    }
    return -1;
}

vb::Variant ModeloRecordset::Valor(int fila, std::string_view campo) const {
    const int i = IndiceCampo(campo);
    if (i < 0 || fila < 0 || fila >= Filas()) return {};
    return filas_[fila][i];
}

std::string ModeloRecordset::Texto(int fila, int columna) const {
    if (fila < 0 || fila >= Filas() || columna < 0 || columna >= columnCount()) return {};
    const int campo = enlaces_[columna];
    if (campo < 0) return {};
    const vb::Variant& v = filas_[fila][campo];
    const std::string formato = columnas_.empty() ? std::string() : columnas_[columna].formato;
    if (formato.empty()) return vb::ToText(v);
    try {
        return vb::Format(v, formato);
    } catch (const vb::VbError&) {
        // A value the format cannot take shows as it is, as a grid does.
        return vb::ToText(v);
    }
}

void ModeloRecordset::AplicaA(QTableView* vista) const {
    int ancho = 0;
    for (int c = 0; c < columnCount(); ++c) {
        const bool oculta = c < static_cast<int>(columnas_.size()) && columnas_[c].oculta;
        vista->setColumnHidden(c, oculta);
        if (oculta) continue;
        if (c < static_cast<int>(columnas_.size()) && columnas_[c].ancho > 0) {
            vista->setColumnWidth(c, columnas_[c].ancho / kTwipsPorPixel);
        } else {
            // A little room beyond the widest text, so the texts do not touch.
            constexpr int kHolgura = 6;
            vista->resizeColumnToContents(c);
            vista->setColumnWidth(c, vista->columnWidth(c) + kHolgura);
        }
        ancho += vista->columnWidth(c);
    }
    // The row headers, the frame and room for a vertical scroll bar.
    if (!vista->verticalHeader()->isHidden()) ancho += vista->verticalHeader()->sizeHint().width();
    ancho += 2 * vista->frameWidth() + vista->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // The dialog around the view needs room too.
    constexpr int kMargenVentana = 80;
    if (const QScreen* pantalla = vista->screen()) {
        ancho = std::min(ancho, pantalla->availableGeometry().width() - kMargenVentana);
    }
    // A view of a fixed width keeps it; its columns scroll.
    ancho = std::min(ancho, vista->maximumWidth());
    vista->setMinimumWidth(std::max(vista->minimumWidth(), ancho));
}

int ModeloRecordset::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : Filas();
}

int ModeloRecordset::columnCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : static_cast<int>(enlaces_.size());
}

QVariant ModeloRecordset::data(const QModelIndex& indice, int rol) const {
    if (!indice.isValid() || rol != Qt::DisplayRole) return {};
    return QString::fromStdString(Texto(indice.row(), indice.column()));
}

QVariant ModeloRecordset::headerData(int seccion, Qt::Orientation orientacion, int rol) const {
    if (rol != Qt::DisplayRole || orientacion != Qt::Horizontal) return {};
    if (seccion < 0 || seccion >= columnCount()) return {};
    if (columnas_.empty()) return QString::fromStdString(campos_[seccion]);
    return QString::fromStdString(columnas_[seccion].titulo);
}

GridRecordset::GridRecordset(ModeloRecordset* datos, QWidget* parent)
    : QTableView(parent), datos_(datos) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setModel(datos);
}

void GridRecordset::Presenta() {
    datos_->AplicaA(this);
    if (datos_->Filas() > 0) {
        IrAFila(0);
    } else {
        setEnabled(false);
    }
}

int GridRecordset::FilaActual() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void GridRecordset::IrAFila(int fila) {
    if (fila < 0 || datos_->Filas() == 0) return;
    fila = std::min(fila, datos_->Filas() - 1);
    const QModelIndex actual = currentIndex();
    setCurrentIndex(datos_->index(fila, actual.isValid() ? actual.column() : 0));
}

vb::Variant GridRecordset::Valor(int columna) const {
    return datos_->Valor(FilaActual(), datos_->Columnas()[columna].campo);
}

std::string GridRecordset::Columna(int columna) const {
    return vb::ToText(Valor(columna));
}

void GridRecordset::keyPressEvent(QKeyEvent* e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter && isSignalConnected(QMetaMethod::fromSignal(&GridRecordset::Enter))) {
        emit Enter();
        return;
    }
    QTableView::keyPressEvent(e);
}

}  // namespace shell::forms
