#include "config/consulta_historial.h"

#include "dblayer/db_dll.h"
#include "platform/dialogs.h"
#include "session/historial_cambios.h"

namespace kl::config {

void MuestraHistorial() {
    db::DB_Dll& db = db::sharedDb();
    if (!db.gCnn || !db.ExisteTablaDB(QString::fromLatin1(historial::kTabla))) {
        MsgBox(QStringLiteral("Esta base de datos no tiene historial de cambios."),
               mb::OkOnly | mb::Information, QStringLiteral("Historial de cambios"));
        return;
    }
    // A row chosen only closes the window: the history is read, never edited.
    QString elegido = QStringLiteral("Clave");
    db.QGridConsulta(historial::sentenciaLectura({}, *db.gCnn), elegido, db.gConnString);
}

}  // namespace kl::config
