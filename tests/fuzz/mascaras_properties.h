#pragma once

// What the reader of consultas.kvw promises for any bytes whatever, checked
// by the fuzz target and by the tests' runs of its seeds: it answers, and a
// mask it finds is a whole record's, cleaned and belonging to the table
// asked for. The check gives an empty text when the promise holds and says
// what broke otherwise.

#include "lookup/mascaras_consultas.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kl::consultas::properties {

// The tables each input is searched for: a real one, an empty name, and the
// table field of the input's first record (found whenever that record is
// whole).
inline QStringList tablasBuscadas(const QByteArray& bytes) {
    return {QStringLiteral("TA_CONDIVA"), QString(),
            QString::fromLatin1(bytes.mid(100, 100)).remove(QChar(0)).trimmed()};
}

inline bool limpio(const QString& campo, qsizetype largo) {
    return campo.size() <= largo && campo == campo.trimmed() && !campo.contains(QChar(0)) &&
           !campo.contains(QChar(0xFF));
}

inline QString checkMascaras(const QByteArray& bytes) {
    for (const QString& tabla : tablasBuscadas(bytes)) {
        QByteArray copia = bytes;
        QBuffer buffer(&copia);
        buffer.open(QIODevice::ReadOnly);
        const std::optional<MascaraConsulta> m = buscaMascara(buffer, tabla);
        if (!m) continue;
        if (bytes.size() < kLargoRegistro) return QStringLiteral("a mask from a partial record");
        if (m->tabla.compare(tabla.trimmed(), Qt::CaseInsensitive) != 0)
            return QStringLiteral("the mask of another table: ") + m->tabla;
        if (!limpio(m->titulo, 100) || !limpio(m->tabla, 100) || !limpio(m->columnas, 500) ||
            !limpio(m->condicion, 500))
            return QStringLiteral("a field left uncleaned");
    }
    return QString();
}

}  // namespace kl::consultas::properties
