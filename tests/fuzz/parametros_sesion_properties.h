#pragma once

// What the reader of the session parameter string promises for any text
// whatever, checked by the fuzz target and by the tests' runs of its seeds.
// The check gives an empty text when the promise holds and says what broke
// otherwise.

#include "session/parametros_sesion.h"

#include <QString>

namespace kl::properties {

// Every value read is trimmed and holds no ";" or "=". Written again as the
// string a sibling program starts with, the values read back the same (and
// the keys that string does not carry come back empty), unless one holds a
// key's text: the key is searched anywhere, so such a value takes that key.
inline QString parametrosSesionViolation(const QString& parametros) {
    const ParametrosSesion leidos = leeParametrosSesion(parametros);
    bool llevaClave = false;
    for (const ClaveParametro& clave : kClavesParametros) {
        const QString& valor = leidos.*clave.campo;
        if (valor != valor.trimmed() || valor.contains(u';') || valor.contains(u'='))
            return QStringLiteral("%1 read as [%2]").arg(QLatin1String(clave.clave), valor);
        for (const ClaveParametro& otra : kClavesParametros)
            llevaClave |= valor.contains(QLatin1String(otra.clave), Qt::CaseInsensitive);
    }
    if (llevaClave) return QString();
    ParametrosSesion enviados;
    enviados.servidor = leidos.servidor;
    enviados.baseDeDatos = leidos.baseDeDatos;
    enviados.usuario = leidos.usuario;
    enviados.password = leidos.password;
    enviados.parametroAdicional = leidos.parametroAdicional;
    const QString escrita = escribeParametrosPrograma(enviados);
    const ParametrosSesion releidos = leeParametrosSesion(escrita);
    for (const ClaveParametro& clave : kClavesParametros) {
        if (releidos.*clave.campo != enviados.*clave.campo)
            return QStringLiteral("%1 written as [%2] read back as [%3] from %4")
                .arg(QLatin1String(clave.clave), enviados.*clave.campo, releidos.*clave.campo,
                     escrita);
    }
    return QString();
}

}  // namespace kl::properties
