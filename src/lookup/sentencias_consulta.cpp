#include "lookup/sentencias_consulta.h"

#include "dblayer/sql_text.h"
#include "session/brimcor2.h"

namespace kl::consulta {

namespace {

// Cuts from `base` the part that starts with `clausula` (any case) and
// returns it; "" when the clause is not there.
QString cortaDesde(QString& base, const QString& clausula) {
    const qsizetype donde = base.indexOf(clausula, 0, Qt::CaseInsensitive);
    if (donde < 0) return QString();
    const QString cola = base.mid(donde);
    base.truncate(donde);
    return cola;
}

// The text between quotes of a LIKE pattern, its quotes doubled: the
// pattern's own quotes come from sqlQuoted, less the outer pair.
QString enPatron(const QString& texto) {
    const QString citado = db::sqlQuoted(texto);
    return citado.mid(1, citado.size() - 2);
}

}  // namespace

QString tablaDeSentencia(const QString& sql) {
    const qsizetype desde = sql.indexOf(QLatin1String("from "), 0, Qt::CaseInsensitive);
    if (desde < 0) return QString();
    const qsizetype inicio = desde + 5;
    const qsizetype blanco = sql.indexOf(u' ', inicio);
    return sql.mid(inicio, blanco < 0 ? -1 : blanco - inicio).trimmed();
}

bool esConsultaArticulos(const QString& sql) {
    return db::containsText(sql, QStringLiteral("V_MA_ARTICULOS")) ||
           db::containsText(sql, QStringLiteral("STK_MA_ARTICULOS"));
}

QString sentenciaNuevaBusqueda(const QString& ultima, const QString& campo, const QString& texto,
                               bool usaLike) {
    QString base = ultima;
    const QString orden = cortaDesde(base, QStringLiteral("order by"));
    const QString grupo = cortaDesde(base, QStringLiteral("group by"));
    const QString cola = grupo + orden;

    QString prefijo;
    if (db::containsText(ultima, QStringLiteral("stk_ma_articulos")))
        prefijo = QStringLiteral("stk_ma_articulos.");
    if (db::containsText(ultima, QStringLiteral("v_ma_articulos")))
        prefijo = QStringLiteral("v_ma_articulos.");

    QString condicion;
    if (usaLike) {
        condicion = prefijo + campo + QStringLiteral(" like '%") +
                    enPatron(QString(texto).replace(u' ', u'%')) + QStringLiteral("%' ");
    } else {
        condicion = prefijo + campo + QStringLiteral(" like '") +
                    enPatron(Brimcor2::ReemplazaCaracter(texto, u'*', u'%')) +
                    QStringLiteral("%' ");
    }
    const bool conWhere = db::containsText(base, QStringLiteral("where"));
    return base + (conWhere ? QStringLiteral(" and ") : QStringLiteral(" where ")) + condicion +
           cola;
}

QString sentenciaFaltante(const QString& fechaHora, const QString& idArticulo,
                          const QString& descripcion, const QString& usuario) {
    return QStringLiteral(
               "INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) values(") +
           db::sqlQuoted(fechaHora) + u',' +
           db::sqlQuoted(Brimcor2::AlineaDerecha(idArticulo, 25)) + u',' +
           db::sqlQuoted(descripcion.trimmed()) + u',' + db::sqlQuoted(usuario) + u')';
}

}  // namespace kl::consulta
