#include "config/frm_configuracion.h"
#include "login/ventana_acceso.h"
#include "platform/ui/spanish.h"
#include "platform/ui/widget_dialogs.h"
#include "progress/aviso_espera_bloqueo.h"
#include "startup/startup.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

// The configuration tool of the accounting module. The main menu starts it
// with the session's parameter string:
//   klconfig @Server=SRV01;@DbName=CONTAB;@Usuario=sa;@Password=...;@UsuarioLogeado=JUAN;
//
// Test aid: with KL_CERRAR_AL_INICIAR=1 the window closes itself as soon as
// it is shown, so automated tests can run a whole start-up and shutdown
// without a person (the access log then holds the run's entry and exit).
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The name titles the message boxes and the user's data folder; the
    // access check goes by the executable's own name, whatever it is.
    QApplication::setApplicationName(QStringLiteral("klconfig"));
    kl::installSpanishTranslations();
    kl::installProgramDialogs();
    kl::installLoginWindow();
    kl::instalaAvisoEsperaBloqueo();
    kl::setCommandLine(QApplication::arguments().mid(1).join(u' '));

    kl::frmConfiguracion window;
    window.Form_Load();
    window.show();
    if (qEnvironmentVariable("KL_CERRAR_AL_INICIAR") == u"1")
        QTimer::singleShot(0, &window, &QWidget::close);
    return app.exec();
}
