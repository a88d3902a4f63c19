#include "login/ventana_acceso.h"

#include "dblayer/application_hooks.h"
#include "login/frm_acceso.h"
#include "platform/ui/windows.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <memory>

namespace kl {

namespace {

// Each request loads a new window, fills it, shows it modally and reads it
// back before it goes.
class VentanaAcceso final : public db::LoginPrompt {
  public:
    db::LoginAnswer show(const db::LoginBoxes& initial) override {
        frmAcceso ventana;
        ventana.Form_Load();
        // With no database named (a start without parameters) the first
        // known connection, which the load selected, stays in the boxes, so
        // "Conectar" goes there at once.
        const bool nombrada =
            !initial.TxtServidor.trimmed().isEmpty() || !initial.TxtDbName.trimmed().isEmpty();
        if (nombrada || ventana.lstBases->currentItem() == nullptr) {
            ventana.TxtDbName->setText(initial.TxtDbName);
            ventana.TxtServidor->setText(initial.TxtServidor);
            ventana.CboPlataformaDB->setCurrentIndex(
                initial.CboPlataformaDB == frmAcceso::kPlataformaSqlServer
                    ? frmAcceso::plataformaDe(initial.TxtServidor)
                    : initial.CboPlataformaDB);
        }
        ventana.TxtUserId->setText(initial.TxtUserId);
        ventana.TxtUserPassword->setText(initial.TxtUserPassword);
        showModal(ventana);

        db::LoginAnswer respuesta;
        respuesta.Aceptar = ventana.Aceptar;
        respuesta.boxes.TxtDbName = ventana.TxtDbName->text();
        respuesta.boxes.TxtServidor = ventana.TxtServidor->text();
        respuesta.boxes.TxtUserId = ventana.TxtUserId->text();
        respuesta.boxes.TxtUserPassword = ventana.TxtUserPassword->text();
        // The layer knows SQL Server and Oracle; the embedded engine is a
        // SQL Server connection whose server box says "sqlite".
        const int plataforma = ventana.CboPlataformaDB->currentIndex();
        respuesta.boxes.CboPlataformaDB = plataforma == frmAcceso::kPlataformaSqlite
                                              ? frmAcceso::kPlataformaSqlServer
                                              : plataforma;
        return respuesta;
    }
};

}  // namespace

void installLoginWindow() {
    db::installLoginPrompt(std::make_shared<VentanaAcceso>());
}

}  // namespace kl
