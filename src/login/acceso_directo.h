#pragma once

// The desktop shortcut to the program: on this platform a desktop entry
// (freedesktop.org .desktop file) in the user's desktop folder.

#include "platform/runerror.h"

#include <QIcon>
#include <QString>

namespace kl::login {

// The user's desktop folder.
QString carpetaEscritorio();

// The entry's text: an application named `nombre` that starts `programa`
// (quoted and escaped as the Exec key needs it) with the icon file `icono`
// (no Icon key when it is empty).
QString contenidoEntradaEscritorio(const QString& nombre, const QString& programa,
                                   const QString& icono);

struct AccesoDirecto {
    QString entrada;
    QString icono;  // "" without an icon
};
// Writes <carpeta>/<name of programa>.desktop, executable (desktops only
// start entries marked so), and the icon as the hidden PNG .<name>.png next
// to it, which the desktop does not show as a file of its own; a null icon
// writes no PNG. Fails (75) when a file cannot be written.
StepResult creaAccesoDirecto(const QString& carpeta, const QString& programa, const QIcon& icono,
                             AccesoDirecto* creado = nullptr);

// The program's icon: its icon resource, or else the application's window
// icon (null when there is neither).
QIcon iconoPrograma();

}  // namespace kl::login
