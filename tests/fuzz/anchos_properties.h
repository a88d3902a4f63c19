#pragma once

// What the reader and writer of CONSULTASLEN.KVW promise for any file
// whatever, checked by the fuzz target and by the tests' runs of its seeds:
// the widths read are numbers a column can take, a table's widths written
// read back exactly, and every other table keeps the widths it had. The
// check gives an empty text when the promise holds and says what broke
// otherwise.

#include "lookup/anchos_consulta.h"
#include "platform/textfile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cmath>
#include <optional>

namespace kl::consulta::properties {

inline bool anchosFinitos(const std::optional<QList<double>>& anchos) {
    if (!anchos) return true;
    for (const double ancho : *anchos) {
        if (!std::isfinite(ancho)) return false;
    }
    return true;
}

inline QString checkAnchos(const QString& archivo, const QByteArray& bytes) {
    QFile file(archivo);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return QStringLiteral("no file");
    file.write(bytes);
    file.close();

    // The table of the file's first line, and one the file may not hold.
    QString primera = cp1252::decode(bytes.left(bytes.indexOf('\n')));
    if (primera.endsWith(u'\r')) primera.chop(1);
    const std::optional<LineaAnchos> partes = partirLinea(primera);
    const QString otra = partes ? partes->tabla : QString();
    const QString tabla = QStringLiteral("VT_CLIENTES");
    const std::optional<QList<double>> antes = leeAnchos(archivo, otra);
    if (!anchosFinitos(antes) || !anchosFinitos(leeAnchos(archivo, tabla)))
        return QStringLiteral("a width that is no number");

    const QList<int> anchos{1440, 0, 2880};
    if (!grabaAnchos(archivo, tabla, anchos)) return QStringLiteral("not written");
    const std::optional<QList<double>> leidos = leeAnchos(archivo, tabla);
    if (!leidos || *leidos != QList<double>{1440, 0, 2880})
        return QStringLiteral("the widths written did not read back");
    if (otra.compare(tabla, Qt::CaseInsensitive) != 0 && leeAnchos(archivo, otra) != antes)
        return QStringLiteral("the widths of [%1] changed").arg(otra);
    return QString();
}

}  // namespace kl::consulta::properties
