#include "session/ejecuta_programa.h"

#include "dblayer/db_dll.h"
#include "platform/dialogs.h"
#include "platform/settings_files.h"
#include "platform/ui/shell.h"
#include "session/brimcor2.h"
#include "session/parametros_sesion.h"

#include <QDir>

namespace kl {

QString parametrosPrograma(const QString& ParametroAdicional) {
    const db::DB_Dll& db = db::sharedDb();
    ParametrosSesion valores;
    valores.servidor = db.gServidor;
    valores.baseDeDatos = db.gDBName;
    valores.usuario = db.gUsuario;
    valores.password = db.gUserPassWord;
    valores.parametroAdicional = ParametroAdicional;
    return escribeParametrosPrograma(valores);
}

void EjecutaPrograma(const QString& Programa, const QString& ParametroAdicional, qint64& IdTarea) {
    const QString programa =
        Brimcor2::AgregaBarra(QDir::toNativeSeparators(programFolder())) + Programa.mid(6);
    // The parameter string travels as one argument: no shell reads it, so
    // nothing in a name or a password can run as a command.
    const std::optional<qint64> id =
        startProgram(programa, {parametrosPrograma(ParametroAdicional)});
    IdTarea = id.value_or(0);
    if (!id) {
        MsgBox(QStringLiteral("Opcion no Implementada!\rComuniquese con su proveedor de sistemas"),
               mb::OkOnly | mb::Critical, QStringLiteral("Atención"));
    }
}

}  // namespace kl
