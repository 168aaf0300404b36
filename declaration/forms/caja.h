// A text box of the declaration form that takes typed text only through its
// key filter: every character key is handed to the filter as its character
// code (control keys such as Ctrl+V as their control code), and nothing else
// can bring text in: no paste by key or menu, no middle-click selection, no
// drag and drop, no input method. Shift+Insert and the right button empty the
// clipboard, so that nothing can be pasted that way either.
#pragma once

#include <QLineEdit>
#include <functional>

namespace declaracion::forms {

class CajaTexto : public QLineEdit {
    Q_OBJECT
  public:
    explicit CajaTexto(QWidget* parent = nullptr);

    // Gets the character code of a typed key and gives back the code to
    // type, or 0 to discard the key. Without a filter every key passes.
    using Filtro = std::function<int(int)>;
    void FijaFiltro(Filtro filtro) { filtro_ = std::move(filtro); }

    // The character code a key event stands for (Enter 13, Backspace 8,
    // Ctrl+letter 1 to 26, a character its own code), or 0 for
    // keys that type nothing (arrows, Home, Delete, function keys).
    static int CodigoTecla(const QKeyEvent& e);

    // Pixels the box gives its text: its contents rectangle less the text
    // margins and the margin the line edit keeps on either side. A text
    // narrower than this shows whole.
    int AnchoTexto() const;

  signals:
    void Entra();               // took the focus (not on a mere return to the window)
    void Sale();                // lost the focus to another control
    void BotonPulsado(int b);   // mouse button pressed: 1 left, 2 right, 4 middle
    void TeclaAbajo(int key, int shift);  // key down, shift 1 Shift, 2 Ctrl, 4 Alt

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    Filtro filtro_;
};

// Empties the clipboard's text (both the clipboard and the X selection).
void VaciaPortapapeles();

}  // namespace declaracion::forms
