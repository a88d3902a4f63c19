#include "session/parametros_sesion.h"

#include "session/brimcor2.h"

namespace kl {

QString valorDeParametro(const QString& parametros, const QString& clave) {
    const qsizetype inicio = parametros.indexOf(clave, 0, Qt::CaseInsensitive);
    if (clave.isEmpty() || inicio < 0) return QString();
    const qsizetype desde = inicio + clave.size();
    // A missing ";" (fin -1) leaves the value empty.
    const qsizetype fin = parametros.indexOf(u';', inicio);
    if (fin < desde) return QString();
    const QString valor = parametros.mid(desde, fin - desde);
    return Brimcor2::QuitaCaracteres(valor, QStringLiteral("=")).trimmed();
}

ParametrosSesion leeParametrosSesion(const QString& parametros) {
    auto valor = [&](const char* clave) {
        return valorDeParametro(parametros, QString::fromLatin1(clave));
    };
    ParametrosSesion leidos;
    leidos.parametroAdicional = valor("@ParametroAdicional");
    leidos.menu = valor("@Menu");
    leidos.servidor = valor("@Server");
    leidos.baseDeDatos = valor("@DbName");
    leidos.usuario = valor("@Usuario");
    leidos.password = valor("@Password");
    leidos.usuarioLogeado = valor("@UsuarioLogeado");
    leidos.caja = valor("@Caja");
    return leidos;
}

}  // namespace kl
