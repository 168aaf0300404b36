// The window system's drive, folder and file lists, as a form chooses a file
// with them: the drive list offers the drives, the folder list the way from a
// drive down to one folder and that folder's subfolders, the file list the
// files of a folder that match a pattern. The form wires them together: each
// list only shows what it is pointed at.
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QStringList>
#include <string>

namespace ui {

// The drives of this system: "/" and the mounted volumes.
QStringList Unidades();

// The drive (mount point) that holds a folder.
std::string UnidadDe(const std::string& carpeta);

// The drive list: filled with the drives when made. Change tells that the
// user chose a drive; setting one from code tells nothing.
class ListaUnidades : public QComboBox {
    Q_OBJECT
  public:
    explicit ListaUnidades(QWidget* parent = nullptr);
    std::string Drive() const;
    void SetDrive(const std::string& drive);
  signals:
    void Change();
};

// The folder list: the folders from the drive down to the one shown, then its
// subfolders; activating one (double click, space) shows it and tells Change.
class ListaCarpetas : public QListWidget {
    Q_OBJECT
  public:
    explicit ListaCarpetas(QWidget* parent = nullptr);
    const std::string& Path() const { return path_; }
    // Points the list at a folder; false (nothing changed) when it cannot be read.
    bool SetPath(const std::string& path);
    // The same, saying why a path is refused with the run-time's error
    // number: 68 (kDeviceUnavailable) nothing there, 76 (kPathNotFound) not a
    // folder, 70 (kPermissionDenied) a folder that cannot be read; 0 shown.
    int TrySetPath(const std::string& path);
  signals:
    void Change();

  private:
    std::string path_;
};

// The file list: the files of a folder that match its pattern ("a;b", with
// * and ?, without regard to case), in name order.
class ListaArchivos : public QListWidget {
    Q_OBJECT
  public:
    explicit ListaArchivos(QWidget* parent = nullptr);
    void SetPattern(const std::string& pattern);
    const std::string& Pattern() const { return pattern_; }
    void SetPath(const std::string& path);
    const std::string& Path() const { return path_; }
    void Refresh();
    // The selected file's name, "" when none.
    std::string FileName() const;

  private:
    std::string pattern_ = "*.DJT";
    std::string path_;
};

}  // namespace ui
