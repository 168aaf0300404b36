// A form's control as the tests reach it: by its object name, the control's
// own name in the form. A name the form does not have (or a control of
// another kind) fails the test with that name instead of crashing it.
#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>

namespace pruebas {

template <class T>
T* Control(const QObject& forma, const QString& nombre) {
    T* c = forma.findChild<T*>(nombre);
    if (c == nullptr) throw std::runtime_error("no control " + nombre.toStdString());
    return c;
}

}  // namespace pruebas
