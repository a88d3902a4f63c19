#include "config/frm_configuracion.h"
#include "login/ventana_acceso.h"
#include "platform/ui/first_paint.h"
#include "platform/ui/spanish.h"
#include "platform/ui/widget_dialogs.h"
#include "progress/aviso_espera_bloqueo.h"
#include "startup/inicio_sesion.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>

#include <cstdio>

// The configuration tool of the accounting module. The main menu starts it
// with the session's parameter string:
//   klconfig @Server=SRV01;@DbName=CONTAB;@Usuario=sa;@Password=...;@UsuarioLogeado=JUAN;
//
// Test aid: with KL_CERRAR_AL_INICIAR=1 the window closes itself as soon as
// it is shown, so automated tests can run a whole start-up and shutdown
// without a person (the access log then holds the run's entry and exit).
// Benchmark aid: with KL_MEDIR_ARRANQUE=1 the program writes "pintada" and
// the milliseconds since main() began on standard output once the window is
// first painted, then closes it as above.
int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
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
    if (qEnvironmentVariable("KL_MEDIR_ARRANQUE") == u"1") {
        kl::afterFirstPaint(window, [&] {
            std::printf("pintada %lld\n", static_cast<long long>(sinceMain.elapsed()));
            std::fflush(stdout);
            window.close();
        });
    }
    return app.exec();
}
