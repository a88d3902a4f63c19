#pragma once

#include "platform/runerror.h"

#include <QString>

class QWidget;

namespace kl {

class SkinFramework;

// Gives a window the icon KL000p.INI names under [Iconos] IconoDelSistema
// (default ICONKVT), taken from the program's resources (":/icons/<name>");
// a name the program does not carry leaves the window's icon. Then, except
// for a main frame window (type FRMMDI), fits the window into the screen.
void AsignaIcono(QWidget& window);

// The skin of a skin number (kl000pr.ini, [<USER>Styles] Styles): the file
// relative to the program's folder and, for a skin that is a folder, the
// style file inside it.
struct ArchivoDeEstilo {
    QString archivo;
    QString ini;
};
ArchivoDeEstilo archivoDeEstilo(int numero);

// The skin number the user chose; 1 when nothing says otherwise.
int numeroDeEstilo();

// Loads the user's skin into the window's skin control and applies it to
// the window and to the program's other windows. A missing skin is a
// failure; the window keeps its look.
StepResult AplicaEstiloVisual(QWidget& window, SkinFramework& skin);

}  // namespace kl
