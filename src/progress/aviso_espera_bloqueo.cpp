#include "progress/aviso_espera_bloqueo.h"

#include "platform/ado/busy_wait.h"
#include "progress/dll_display.h"

#include <QTimer>

namespace kl {

namespace {

// A notice of its own, apart from the process's task notice: a task's
// save may be the very thing that waits, and its notice must survive.
class AvisoEsperaBloqueo {
  public:
    AvisoEsperaBloqueo() {
        // The wait is over once the engine stops asking for a while.
        cierre_.setSingleShot(true);
        cierre_.setInterval(400);
        QObject::connect(&cierre_, &QTimer::timeout, [this] { cierra(); });
    }

    bool espera(int esperadoMs) {
        if (!abierto_) {
            cartel_.CartelInicio(QStringLiteral("Base de datos ocupada"), true);
            abierto_ = true;
        }
        bool cancelado = false;
        // The notice keeps its width: the sentence goes over two lines.
        cartel_.CartelMostrar(cancelado, Value(QStringLiteral("Esperando que otro puesto libere")),
                              Value(QStringLiteral("la base de datos...")),
                              Value(QStringLiteral("%1 segundos").arg(esperadoMs / 1000)));
        if (cancelado) {
            cierra();
            return false;
        }
        cierre_.start();
        return true;
    }

  private:
    void cierra() {
        cierre_.stop();
        if (abierto_) cartel_.CartelCerrar();
        abierto_ = false;
    }

    Dll_Display cartel_;
    QTimer cierre_;
    bool abierto_ = false;
};

}  // namespace

void instalaAvisoEsperaBloqueo() {
    // Lives as long as the process; the window goes with the application.
    static AvisoEsperaBloqueo* aviso = new AvisoEsperaBloqueo;
    ado::setBusyWaitObserver([](int esperadoMs) { return aviso->espera(esperadoMs); });
}

}  // namespace kl
