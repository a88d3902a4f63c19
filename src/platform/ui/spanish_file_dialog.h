#pragma once

#include <QFileDialog>

namespace kl {

// Qt's own dialog for opening one existing file, with every text in the Spanish the module's
// operators read: labels, buttons, the list's context menu, the tool
// buttons' tips and the list's columns. Qt's Spanish translation leaves
// some of these in English ("Folder") or in Spain's words ("fichero"), and
// the list shows sizes and dates in the system's locale whatever the
// program's; so the dialog sets its texts itself and shows the list
// through a model that writes the columns the Argentine way:
//   Nombre       Tamaño    Tipo          Fecha de modificación
//   Logos                  Carpeta       03/12/2026 09:41
//   fondo.wmf    12 kB     Archivo WMF   28/11/2026 17:05
// The platform's native dialog is never used: it would show none of this,
// and tests drive this one through the modal hook.
class SpanishFileDialog : public QFileDialog {
    Q_OBJECT
  public:
    SpanishFileDialog(QWidget* parent, const QString& title, const QString& folder);
};

}  // namespace kl
