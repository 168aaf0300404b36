#include "ui/listas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTextStream>
#include <algorithm>
#include <vector>

#include "vb/error.h"

namespace ui {

namespace {

// The depth of a folder in the folder list.
constexpr int kRolNivel = Qt::UserRole + 1;

// Draws each folder of the list shifted right by its depth, so the way down
// from the drive to the folder shown reads as a path, its subfolders one step
// further in.
class SangriaCarpetas : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& o, const QModelIndex& i) const override {
        QStyleOptionViewItem op(o);
        op.rect.adjust(Sangria(i), 0, 0, 0);
        QStyledItemDelegate::paint(p, op, i);
    }
    QSize sizeHint(const QStyleOptionViewItem& o, const QModelIndex& i) const override {
        return QStyledItemDelegate::sizeHint(o, i) + QSize(Sangria(i), 0);
    }

  private:
    static int Sangria(const QModelIndex& i) { return 12 * i.data(kRolNivel).toInt(); }
};

}  // namespace

QStringList Unidades() {
    QStringList r{QStringLiteral("/")};
    QFile f(QStringLiteral("/proc/mounts"));
    if (!f.open(QIODevice::ReadOnly)) return r;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QStringList c = in.readLine().split(QLatin1Char(' '));
        if (c.size() < 2) continue;
        QString punto = c[1];
        punto.replace(QStringLiteral("\\040"), QStringLiteral(" "));
        // Removable and mounted volumes; the system's own mounts stay out.
        static const QStringList kRaices = {QStringLiteral("/media/"), QStringLiteral("/mnt/"),
                                            QStringLiteral("/run/media/")};
        for (const QString& raiz : kRaices) {
            if (punto.startsWith(raiz) && !r.contains(punto)) r << punto;
        }
    }
    return r;
}

std::string UnidadDe(const std::string& carpeta) {
    std::string mejor = "/";
    for (const QString& u : Unidades()) {
        std::string s = u.toStdString();
        std::string conBarra = s.size() > 1 && s.back() != '/' ? s + "/" : s;
        if ((carpeta == s || carpeta.rfind(conBarra, 0) == 0) && s.size() > mejor.size()) mejor = s;
    }
    return mejor;
}

ListaUnidades::ListaUnidades(QWidget* parent) : QComboBox(parent) {
    addItems(Unidades());
    connect(this, &QComboBox::textActivated, this, [this] { emit Change(); });
}

std::string ListaUnidades::Drive() const {
    return currentText().toStdString();
}

void ListaUnidades::SetDrive(const std::string& drive) {
    const QSignalBlocker bloqueo(this);
    setCurrentText(QString::fromStdString(drive));
}

ListaCarpetas::ListaCarpetas(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new SangriaCarpetas(this));
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* it) {
        const std::string nombre = it->data(Qt::UserRole).toString().toStdString();
        if (nombre != path_ && SetPath(nombre)) emit Change();
    });
}

int ListaCarpetas::TrySetPath(const std::string& path) {
    QFileInfo info(QString::fromStdString(path));
    if (!info.exists()) return vb::kDeviceUnavailable;
    if (!info.isDir()) return vb::kPathNotFound;
    if (!info.isReadable() || !SetPath(path)) return vb::kPermissionDenied;
    return 0;
}

bool ListaCarpetas::SetPath(const std::string& path) {
    QDir dir(QString::fromStdString(path));
    if (!dir.exists() || !dir.isReadable()) return false;
    const QString p = QDir::cleanPath(dir.absolutePath());
    clear();
    const QIcon abierta = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon cerrada = style()->standardIcon(QStyle::SP_DirClosedIcon);
    // The folders from the drive down to this one, then its subfolders.
    QStringList partes = p.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString camino = QStringLiteral("/");
    auto agrega = [this](const QIcon& icono, const QString& texto, const QString& ruta, int nivel) {
        auto* it = new QListWidgetItem(icono, texto, this);
        it->setData(Qt::UserRole, ruta);
        it->setData(kRolNivel, nivel);
        it->setToolTip(ruta);
        return it;
    };
    QListWidgetItem* actual = agrega(abierta, camino, camino, 0);
    for (int i = 0; i < partes.size(); ++i) {
        camino = QDir(camino).filePath(partes[i]);
        actual = agrega(abierta, partes[i], camino, i + 1);
    }
    const QStringList hijas =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& h : hijas)
        agrega(cerrada, h, QDir(p).filePath(h), static_cast<int>(partes.size()) + 1);
    setCurrentItem(actual);
    scrollToItem(actual);
    path_ = p.toStdString();
    return true;
}

ListaArchivos::ListaArchivos(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void ListaArchivos::SetPattern(const std::string& pattern) {
    pattern_ = pattern;
    Refresh();
}

void ListaArchivos::SetPath(const std::string& path) {
    path_ = path;
    Refresh();
}

void ListaArchivos::Refresh() {
    clear();
    if (path_.empty()) return;
    std::vector<QRegularExpression> patrones;
    for (const QString& p :
         QString::fromStdString(pattern_).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        patrones.emplace_back(QRegularExpression::wildcardToRegularExpression(p.trimmed()),
                              QRegularExpression::CaseInsensitiveOption);
    }
    QStringList nombres =
        QDir(QString::fromStdString(path_)).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& n : nombres) {
        const bool vale =
            std::any_of(patrones.begin(), patrones.end(),
                        [&](const QRegularExpression& re) { return re.match(n).hasMatch(); });
        if (vale) addItem(n);
    }
}

std::string ListaArchivos::FileName() const {
    const auto sel = selectedItems();
    return sel.isEmpty() ? std::string() : sel.first()->text().toStdString();
}

}  // namespace ui
