#include "declaration/forms/caja.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionFrame>

namespace declaracion::forms {

void VaciaPortapapeles() {
    QClipboard* c = QGuiApplication::clipboard();
    if (!c) return;
    c->setText(QString(), QClipboard::Clipboard);
    if (c->supportsSelection()) c->setText(QString(), QClipboard::Selection);
}

CajaTexto::CajaTexto(QWidget* parent) : QLineEdit(parent) {
    setAcceptDrops(false);
    setDragEnabled(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

int CajaTexto::AnchoTexto() const {
    QStyleOptionFrame o;
    initStyleOption(&o);
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &o, this);
    // QLineEdit draws its text 2 pixels in from either side of that rectangle.
    constexpr int kMargenLinea = 2;
    return r.marginsRemoved(textMargins()).width() - 2 * kMargenLinea;
}

int CajaTexto::CodigoTecla(const QKeyEvent& e) {
    const int k = e.key();
    if (k == Qt::Key_Return || k == Qt::Key_Enter) return 13;
    if (k == Qt::Key_Backspace) return 8;
    const bool ctrl = e.modifiers() & Qt::ControlModifier;
    if (ctrl && k >= Qt::Key_A && k <= Qt::Key_Z) return k - Qt::Key_A + 1;
    if (ctrl || (e.modifiers() & Qt::AltModifier)) return 0;
    const QString t = e.text();
    if (t.size() != 1) return 0;
    const QChar c = t.at(0);
    if (c.unicode() < 32 || c.unicode() == 127) return 0;
    return c.unicode();
}

void CajaTexto::keyPressEvent(QKeyEvent* e) {
    int shift = 0;
    if (e->modifiers() & Qt::ShiftModifier) shift |= 1;
    if (e->modifiers() & Qt::ControlModifier) shift |= 2;
    if (e->modifiers() & Qt::AltModifier) shift |= 4;
    emit TeclaAbajo(e->key(), shift);
    // Pasting by key never reaches the box, whatever key the platform binds
    // to it.
    if (e->matches(QKeySequence::Paste) || (e->key() == Qt::Key_Insert && shift == 1)) {
        e->accept();
        return;
    }
    // Tab and Backtab move the focus as usual; Escape belongs to the form.
    if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        e->ignore();
        return;
    }
    const int codigo = CodigoTecla(*e);
    if (codigo == 0) {
        // Keys that type nothing (moves, Delete) work as in any box; any
        // other shortcut that could bring text in stays out.
        if (e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo)) {
            e->accept();
            return;
        }
        if ((e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && !e->text().isEmpty()) {
            e->ignore();
            return;
        }
        QLineEdit::keyPressEvent(e);
        return;
    }
    const int paso = filtro_ ? filtro_(codigo) : codigo;
    if (paso == 0) {
        e->accept();
        return;
    }
    if (paso == 8 || paso == 13) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (paso < 32) {
        e->accept();  // a control code is never typed into a box
        return;
    }
    QKeyEvent otra(QEvent::KeyPress, e->key(), Qt::NoModifier, QString(QChar(paso)));
    QLineEdit::keyPressEvent(&otra);
    e->setAccepted(otra.isAccepted());
}

void CajaTexto::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    // A return to the window, or the end of a menu, leaves the box as it was.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    emit Entra();
}

void CajaTexto::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    emit Sale();
}

void CajaTexto::mousePressEvent(QMouseEvent* e) {
    const Qt::MouseButton b = e->button();
    emit BotonPulsado(b == Qt::LeftButton ? 1 : b == Qt::RightButton ? 2 : b == Qt::MiddleButton ? 4 : 0);
    // The middle button pastes the X selection: it does nothing here.
    if (b == Qt::MiddleButton) {
        e->accept();
        return;
    }
    QLineEdit::mousePressEvent(e);
}

void CajaTexto::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::MiddleButton) {
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void CajaTexto::contextMenuEvent(QContextMenuEvent* e) {
    // No menu: its Paste and Undo would bring in text the filter never saw.
    e->accept();
}

void CajaTexto::inputMethodEvent(QInputMethodEvent* e) {
    // Composed text goes through the filter one character at a time.
    const QString t = e->commitString();
    for (QChar c : t) {
        QKeyEvent k(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        keyPressEvent(&k);
    }
    e->accept();
}

// Nothing is dropped into a box.
void CajaTexto::dragEnterEvent(QDragEnterEvent* e) {
    e->ignore();
}
void CajaTexto::dragMoveEvent(QDragMoveEvent* e) {
    e->ignore();
}
void CajaTexto::dropEvent(QDropEvent* e) {
    e->ignore();
}

}  // namespace declaracion::forms
