#include "ui/pointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace ui {

namespace {

int gValor = vbDefault;
bool gCambiado = false;  // an override cursor of ours is in force

Qt::CursorShape Forma(int value) {
    switch (value) {
        case vbCrosshair:
            return Qt::CrossCursor;
        case vbIbeam:
            return Qt::IBeamCursor;
        case vbHourglass:
            return Qt::WaitCursor;
        case vbArrowHourglass:
            return Qt::BusyCursor;
    }
    return Qt::ArrowCursor;
}

}  // namespace

void SetMousePointer(int value) {
    gValor = value;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        gCambiado = false;
        return;
    }
    // Qt's override cursors stack; ours is one value, so keep at most one.
    if (value == vbDefault) {
        if (gCambiado) QGuiApplication::restoreOverrideCursor();
        gCambiado = false;
        return;
    }
    if (gCambiado) {
        QGuiApplication::changeOverrideCursor(QCursor(Forma(value)));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(Forma(value)));
        gCambiado = true;
    }
}

int MousePointer() {
    return gValor;
}

}  // namespace ui
