#include "lookup/anchos_consulta.h"

#include "platform/textfile.h"
#include "session/brimcor2.h"

#include <QStringList>

namespace kl::consulta {

namespace {

// One field as the classic Input # reads it: a quoted text up to its closing
// quote, or a bare text up to the comma; blanks around it dropped. `pos`
// moves past the field and its comma.
QString leeCampo(const QString& linea, qsizetype& pos) {
    while (pos < linea.size() && linea[pos] == u' ') ++pos;
    QString campo;
    if (pos < linea.size() && linea[pos] == u'"') {
        const qsizetype fin = linea.indexOf(u'"', pos + 1);
        const qsizetype hasta = fin < 0 ? linea.size() : fin;
        campo = linea.mid(pos + 1, hasta - pos - 1);
        pos = linea.indexOf(u',', hasta);
    } else {
        const qsizetype coma = linea.indexOf(u',', pos);
        campo = linea.mid(pos, (coma < 0 ? linea.size() : coma) - pos).trimmed();
        pos = coma;
    }
    pos = pos < 0 ? linea.size() : pos + 1;
    return campo;
}

QStringList lineasDe(const QString& texto) {
    QStringList lineas = texto.split(u'\n');
    for (QString& linea : lineas) {
        if (linea.endsWith(u'\r')) linea.chop(1);
    }
    if (!lineas.isEmpty() && lineas.last().isEmpty()) lineas.removeLast();
    return lineas;
}

}  // namespace

std::optional<LineaAnchos> partirLinea(const QString& linea) {
    if (linea.trimmed().isEmpty()) return std::nullopt;
    qsizetype pos = 0;
    LineaAnchos partes;
    partes.tabla = leeCampo(linea, pos);
    partes.anchos = leeCampo(linea, pos);
    return partes;
}

std::optional<QList<double>> leeAnchos(const QString& archivo, const QString& tabla) {
    const std::optional<QString> texto = cp1252::readFile(archivo);
    if (!texto) return std::nullopt;
    std::optional<QList<double>> elegidos;
    for (const QString& linea : lineasDe(*texto)) {
        const std::optional<LineaAnchos> partes = partirLinea(linea);
        if (!partes || partes->tabla.compare(tabla, Qt::CaseInsensitive) != 0) continue;
        QList<double> anchos;
        // Each width ends at its "|"; what follows the last one is no width.
        const QStringList piezas = partes->anchos.split(u'|');
        for (qsizetype i = 0; i + 1 < piezas.size(); ++i)
            anchos += Brimcor2::ValorMoneda(piezas[i]).toDouble();
        elegidos = anchos;
    }
    return elegidos;
}

bool grabaAnchos(const QString& archivo, const QString& tabla, const QList<int>& anchos) {
    QString texto;
    if (const std::optional<QString> anterior = cp1252::readFile(archivo)) {
        for (const QString& linea : lineasDe(*anterior)) {
            const std::optional<LineaAnchos> partes = partirLinea(linea);
            if (partes && partes->tabla.compare(tabla, Qt::CaseInsensitive) == 0) continue;
            texto += linea + QStringLiteral("\r\n");
        }
    }
    QString medidas;
    for (const int ancho : anchos) medidas += QString::number(ancho) + u'|';
    texto += u'"' + tabla + QStringLiteral("\",\"") + medidas + QStringLiteral("\"\r\n");
    return cp1252::writeFile(archivo, texto);
}

}  // namespace kl::consulta
