#pragma once

// What the reader of BASES.TXT and the password scrambling promise for any
// file whatever, checked by the fuzz target and by the tests' runs of its
// seeds. The check gives an empty text when the promise holds and says what
// broke otherwise.

#include "login/bases_txt.h"
#include "platform/textfile.h"
#include "session/textos.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace kl::properties {

inline QStringList camposDe(const login::LineaBases& linea) {
    return {linea.nombre, linea.base, linea.usuario, linea.clave, linea.servidor};
}

// Every field read is trimmed and holds no comma or line break; the lines
// written from the entries read back as the same entries, one a line. A
// password read decodes only from the exact text CodificaTexto writes for
// it, and any line of the file kept as a password comes back through an
// entry written and read again, commas and all.
inline QString basesTxtViolation(const QByteArray& bytes) {
    const QStringList lineas = login::lineasDe(cp1252::decode(bytes));
    std::vector<login::LineaBases> leidas;
    QString escrito;
    for (const QString& linea : lineas) {
        const login::LineaBases leida = login::leeLineaBases(linea);
        for (const QString& campo : camposDe(leida)) {
            if (campo != campo.trimmed() || campo.contains(u',') || campo.contains(u'\r') ||
                campo.contains(u'\n'))
                return QStringLiteral("field [%1] read from [%2]").arg(campo, linea);
        }
        const QString clave = Brimcor2::DecodificaTexto(leida.clave);
        if (!clave.isEmpty() && Brimcor2::CodificaTexto(clave) != leida.clave)
            return QStringLiteral("[%1] decoded as [%2]").arg(leida.clave, clave);

        login::LineaBases conClave = leida;
        conClave.clave = Brimcor2::CodificaTexto(linea);
        const QStringList vuelta = login::lineasDe(login::escribeLineaBases(conClave));
        if (vuelta.size() != 1 ||
            Brimcor2::DecodificaTexto(login::leeLineaBases(vuelta[0]).clave) != linea)
            return QStringLiteral("the password [%1] did not come back").arg(linea);

        leidas.push_back(leida);
        escrito += login::escribeLineaBases(leida);
    }
    const QStringList releidas = login::lineasDe(escrito);
    if (std::size_t(releidas.size()) != leidas.size())
        return QStringLiteral("%1 lines written, %2 read back")
            .arg(leidas.size())
            .arg(releidas.size());
    for (qsizetype i = 0; i < releidas.size(); ++i) {
        if (camposDe(login::leeLineaBases(releidas[i])) != camposDe(leidas[std::size_t(i)]))
            return QStringLiteral("line %1 read back as [%2]").arg(i).arg(releidas[i]);
    }
    return QString();
}

}  // namespace kl::properties
