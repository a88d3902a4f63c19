#include "session/parametros_sesion.h"

#include "session/textos.h"

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
    ParametrosSesion leidos;
    for (const ClaveParametro& clave : kClavesParametros)
        leidos.*clave.campo = valorDeParametro(parametros, QString::fromLatin1(clave.clave));
    return leidos;
}

QString escribeParametrosPrograma(const ParametrosSesion& valores) {
    return QStringLiteral(" ; @server=") + valores.servidor + QStringLiteral("; @dbname=") +
           valores.baseDeDatos + QStringLiteral("; @usuario=") + valores.usuario +
           QStringLiteral("; @Password=") + valores.password +
           QStringLiteral("; @ParametroAdicional=") + valores.parametroAdicional +
           QStringLiteral("; brim@ ;");
}

}  // namespace kl
