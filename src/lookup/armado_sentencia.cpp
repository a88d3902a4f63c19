#include "lookup/armado_sentencia.h"

#include "session/brimcor2.h"

namespace kl::consultas {

namespace {

bool igual(const QString& a, QLatin1StringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool contiene(const QString& text, QLatin1StringView part) {
    return text.contains(part, Qt::CaseInsensitive);
}

QString limiteComoTexto(const PedidoConsulta& pedido) {
    return QString::number(limiteFilas(pedido.topConsArt));
}

// The statement comes whole from the caller: only the articles view and the
// condition change.
QString sentenciaCompleta(PedidoConsulta& pedido) {
    QString sql = Brimcor2::Reemplaza(pedido.sql, QStringLiteral("V_MA_ARTICULOS"),
                                      QStringLiteral("VT_MA_ARTICULOS"), Qt::CaseInsensitive);
    if (!pedido.Where.trimmed().isEmpty()) {
        if (!contiene(pedido.Where, QLatin1StringView("WHERE")))
            pedido.Where = QStringLiteral(" WHERE ") + pedido.Where;
        sql += pedido.Where;
    }
    return sql;
}

SentenciaArmada desdeMascara(PedidoConsulta& pedido, const MascaraConsulta& mascara) {
    QString tabla = mascara.tabla;
    QString columnas = Brimcor2::ReemplazaCaracter(mascara.columnas.trimmed(), u'|', u',');
    if (columnas.startsWith(u',')) columnas.remove(0, 1);
    if (columnas.endsWith(u',')) columnas.chop(1);
    if (columnas.isEmpty()) columnas = QStringLiteral("*");

    if (pedido.CampoBusqueda.isEmpty()) {
        const qsizetype coma = columnas.indexOf(u',');
        if (coma < 0) return {.sql = {}, .faltaConfigurar = true};
        pedido.CampoBusqueda = columnas.left(coma);
    }

    // The mask's own condition wins over the caller's.
    QString condicion = mascara.condicion;
    if (condicion.isEmpty() && !pedido.Where.trimmed().isEmpty()) condicion = pedido.Where;
    if (igual(tabla, QLatin1StringView("VT_PROVEEDORES")) ||
        igual(tabla, QLatin1StringView("VT_CLIENTES"))) {
        if (condicion.isEmpty()) condicion = QStringLiteral("Dada_De_Baja = 0");
    } else if (igual(tabla, QLatin1StringView("V_MA_ARTICULOS"))) {
        tabla = QStringLiteral("VT_MA_ARTICULOS");
        if (condicion.isEmpty()) condicion = QStringLiteral("SUSPENDIDO = 0");
    }

    const QString donde = condicion.trimmed().isEmpty() ? QString() : QStringLiteral(" WHERE ");
    QString sql = QStringLiteral("SELECT TOP ") + limiteComoTexto(pedido) + u' ' + columnas +
                  QStringLiteral(" FROM ") + tabla;
    if (pedido.CampoBusqueda.isEmpty()) {
        sql += QStringLiteral(" with(nolock) ") + donde + condicion;
    } else {
        sql += QStringLiteral("  with(nolock) ") + donde + condicion +
               QStringLiteral(" ORDER BY ") + pedido.CampoBusqueda;
    }
    return {.sql = sql, .faltaConfigurar = false};
}

struct ColumnasFijas {
    QLatin1StringView vista;
    QLatin1StringView columnas;
    QLatin1StringView busqueda;
};
// Views whose columns every program of the module shows the same way.
constexpr ColumnasFijas kVistasFijas[] = {
    {QLatin1StringView("V_TA_Unidad"), QLatin1StringView("Descripcion,IdUnidad,"),
     QLatin1StringView("IdUnidad")},
    {QLatin1StringView("V_TA_DEPOSITO"), QLatin1StringView("Descripcion,Unidad,IdDeposito,"),
     QLatin1StringView("IdDeposito")},
    {QLatin1StringView("V_TA_STATUS"), QLatin1StringView("Descripcion,Tipo,CodigoEstado,"),
     QLatin1StringView("CodigoEstado")},
};

// The columns of the table, each followed by ",", and the one to search and
// order by: the last description-like column, else the first one listed.
void columnasDeTabla(const QString& tabla, const QStringList& campos, QString& columnas,
                     QString& busqueda) {
    const bool muestraId = igual(tabla, QLatin1StringView("v_mv_mutuales")) ||
                           igual(tabla, QLatin1StringView("V_MV_TROPA_STOCK"));
    for (const QString& campo : campos) {
        const bool interno = igual(campo, QLatin1StringView("ID")) ||
                             igual(campo, QLatin1StringView("FECHAHORA_MODIFICACION")) ||
                             igual(campo, QLatin1StringView("FECHAHORA_GRABACION"));
        const bool descriptivo = igual(campo, QLatin1StringView("DESCRIPCION")) ||
                                 igual(campo, QLatin1StringView("NOMBRE")) ||
                                 igual(campo, QLatin1StringView("DETALLE"));
        if (interno && !muestraId) continue;
        if (interno || descriptivo || columnas.isEmpty()) busqueda = campo;
        columnas += campo + u',';
    }
}

QString sinMascara(PedidoConsulta& pedido, const FuentesConsulta& fuentes) {
    if (!pedido.SentenciaOpcional.isEmpty()) return pedido.SentenciaOpcional;
    QString columnas, busqueda;
    bool fija = false;
    for (const ColumnasFijas& vista : kVistasFijas) {
        if (igual(pedido.sql, vista.vista)) {
            columnas = vista.columnas;
            busqueda = vista.busqueda;
            fija = true;
        }
    }
    if (!fija && fuentes.columnas) {
        if (const std::optional<QStringList> campos = fuentes.columnas(pedido.sql))
            columnasDeTabla(pedido.sql, *campos, columnas, busqueda);
    }
    if (columnas.trimmed().isEmpty()) {
        columnas = QStringLiteral(" * ");
    } else {
        columnas.chop(1);
    }
    const QString condicion = pedido.Where + u' ';
    QString sql = QStringLiteral("SELECT TOP ") + limiteComoTexto(pedido) + u' ' + columnas +
                  QStringLiteral(" FROM ") + pedido.sql +
                  (condicion.trimmed().isEmpty() ? QString() : QStringLiteral(" WHERE ")) +
                  condicion;
    // Without the table's columns there is nothing to order by, and an empty
    // ORDER BY would fail: the rows come in the database's order.
    if (!busqueda.isEmpty()) sql += QStringLiteral(" ORDER BY ") + busqueda;
    return sql;
}

}  // namespace

QString condicionEntreParentesis(const QString& where) {
    if (where.trimmed().size() > 1 && !where.startsWith(u'('))
        return QStringLiteral(" (") + where + QStringLiteral(") ");
    return where;
}

long limiteFilas(const QString& topConsArt) {
    // A negative or zero limit would show nothing at all (or fail): it counts
    // as no limit configured.
    const std::int64_t limite = Brimcor2::ValorLong(topConsArt);
    return limite < 1 ? 1000 : static_cast<long>(std::min<std::int64_t>(limite, 2147483647));
}

SentenciaArmada armaSentencia(PedidoConsulta& pedido, const FuentesConsulta& fuentes) {
    pedido.Where = condicionEntreParentesis(pedido.Where);
    if (contiene(pedido.sql, QLatin1StringView("SELECT")))
        return {.sql = sentenciaCompleta(pedido), .faltaConfigurar = false};
    if (pedido.usarMascaras && fuentes.mascara) {
        if (const std::optional<MascaraConsulta> mascara = fuentes.mascara(pedido.sql))
            return desdeMascara(pedido, *mascara);
    }
    return {.sql = sinMascara(pedido, fuentes), .faltaConfigurar = false};
}

}  // namespace kl::consultas
