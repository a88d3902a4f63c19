// Saves the configuration or creates a fiscal year on an embedded database,
// as "&Aceptar" and the wizard's "&Terminar" do, so that a test can kill it
// halfway:
//     save_child aceptar FILE      every key gets the value "7" (boxes: SI)
//     save_child ejercicio FILE    the next year, 01/01/2027 - 31/12/2027
// It prints "listo" when the save begins. Exit status 0 when it committed.

#include "accounting/ejercicio_nuevo.h"
#include "config/claves_formulario.h"
#include "dblayer/db_dll.h"
#include "platform/scripted_dialogs.h"

#include <QApplication>

#include <cstdio>

namespace {

// Every text box "7", every check box ticked.
class FormularioNuevo : public kl::config::FormularioConfiguracion {
  public:
    QString texto(const kl::config::ControlEnlazado&) const override { return "7"; }
    void setTexto(const kl::config::ControlEnlazado&, const QString&) override {}
    int valor(const kl::config::ControlEnlazado&) const override { return 1; }
    void setValor(const kl::config::ControlEnlazado&, int) override {}
    void setDescripcionCondIva(const QString&) override {}
    void seleccionaPestana(kl::config::Pestana) override {}
    kl::StepResult daFoco(const kl::config::ControlEnlazado&) override { return std::nullopt; }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fputs("uso: save_child aceptar|ejercicio ARCHIVO\n", stderr);
        return 2;
    }
    // Unattended: every box takes its default button.
    kl::installDialogs(std::make_shared<kl::ScriptedDialogs>());
    kl::db::DB_Dll& db = kl::db::sharedDb();
    db.gServidor = QStringLiteral("sqlite");
    db.gDBName = args[2];
    db.gUsuario = QStringLiteral("sa");
    db.OpenServerADODB(false, kl::ado::adUseClient, QString(), true, false);
    if (!db.gOpenFlag) return 3;
    std::puts("listo");
    std::fflush(stdout);
    if (args[1] == QLatin1String("aceptar")) {
        FormularioNuevo form;
        return kl::config::GrabaClaves(form, {}) ? 0 : 1;
    }
    kl::accounting::CreacionEjercicio creacion(false);
    creacion.Actualizar_Datos({"4", "EJERCICIO 2027", "01/01/2027", "31/12/2027"});
    return creacion.creado() ? 0 : 1;
}
