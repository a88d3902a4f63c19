#include "accounting/lbc_asiento.h"

#include "dblayer/db_dll.h"
#include "platform/conversions.h"
#include "platform/dialogs.h"
#include "platform/error_numbers.h"
#include "session/aviso_operador.h"
#include "session/brimcor2.h"
#include "session/claves_configuracion.h"

#include <algorithm>
#include <limits>

namespace kl::accounting {

namespace {

const QString kSource = QStringLiteral("Lbc_Asiento");

RunError typeMismatch(const QString& what) {
    return {ado::err::TypeMismatch, QStringLiteral("No coinciden los tipos: ") + what, kSource};
}

QDate dateOf(const Value& v) {
    if (v.isNull() || v.isEmpty()) return {};
    return v.toDateTime().date();
}

StepResult parseDateText(const QString& text, QDate& out) {
    const std::optional<QDate> date = conv::parseDate(text.trimmed());
    if (!date)
        return typeMismatch(QStringLiteral("\"") + text + QStringLiteral("\" no es una fecha"));
    out = *date;
    return std::nullopt;
}

// The number a text starts with, as SQL text: the value never reaches a
// statement as typed.
QString numberText(const QString& text) {
    return QString::number(conv::leadingNumber(text), 'g', 15);
}

const QString kTodos = QStringLiteral("SELECT * FROM MV_EJERCICIOS ORDER BY PERIODO");

}  // namespace

QString mensajes::noHayEjercicios() {
    return QStringLiteral(
        "No se han creado Ejercicios!!!\rPara crear un Ejercicio debe hacerlo "
        "desde la configuración del sistema");
}

namespace {

template <typename Entero>
StepResult aEntero(const QString& text, Entero& out) {
    if (!conv::isNumber(text))
        return typeMismatch(QStringLiteral("\"") + text.trimmed() +
                            QStringLiteral("\" no es un número"));
    const double rounded = conv::roundHalfEven(conv::leadingNumber(text));
    if (rounded < std::numeric_limits<Entero>::min() ||
        rounded > std::numeric_limits<Entero>::max())
        return RunError{ado::err::Overflow, QStringLiteral("Desbordamiento: ") + text.trimmed(),
                        kSource};
    out = static_cast<Entero>(rounded);
    return std::nullopt;
}

}  // namespace

StepResult aEntero16(const QString& text, std::int16_t& out) {
    return aEntero(text, out);
}

StepResult aEntero32(const QString& text, std::int32_t& out) {
    return aEntero(text, out);
}

StepResult aFecha(const QString& text, QDate& out) {
    return parseDateText(text, out);
}

StepResult requiereAbierto(const ado::Recordset& rs) {
    if (rs.State() == ado::adStateOpen) return std::nullopt;
    return RunError{
        ado::err::ObjectClosed,
        QStringLiteral("No se permite realizar la operación si el objeto está cerrado."),
        QStringLiteral("ADODB.Recordset")};
}

StepResult leeEjercicios(const QString& sentencia, std::vector<Ejercicio>& out) {
    out.clear();
    QString sql = sentencia;
    ado::Recordset rs;
    db::DB_Dll& db = db::sharedDb();
    db.AbrirRecordset(sql, rs, nullptr, ado::adOpenDynamic, ado::adLockOptimistic);
    if (StepResult closed = requiereAbierto(rs)) return closed;
    while (!rs.EOF()) {
        Ejercicio e;
        e.periodo = conv::roundHalfEvenToInt(
            conv::leadingNumber(Brimcor2::ValorNoNulo(rs.value(QStringLiteral("Periodo")))));
        e.fechaDesde = dateOf(rs.value(QStringLiteral("Fecha Desde")));
        e.fechaHasta = dateOf(rs.value(QStringLiteral("fecha hasta")));
        e.cerrado = rs.value(QStringLiteral("Cerrado")).toBool();
        e.cancelacion = rs.value(QStringLiteral("Cancelacion")).toBool();
        e.cierre = rs.value(QStringLiteral("Cierre")).toBool();
        e.apertura = rs.value(QStringLiteral("Apertura")).toBool();
        out.push_back(e);
        if (StepResult failed = rs.MoveNext()) {
            db.CierraRecordset(rs);
            return failed;
        }
    }
    db.CierraRecordset(rs);
    return std::nullopt;
}

std::optional<Lbc_Asiento> Lbc_Asiento::Crear() {
    const QString periodo = Cfg(QStringLiteral("PERIODO"));
    std::int16_t numero = 0;
    if (aEntero16(periodo, numero)) {
        MsgBox(QStringLiteral("El ejercicio activo de la configuración (clave PERIODO: \"") +
                   periodo.trimmed() +
                   QStringLiteral("\") no es un número de ejercicio válido. Las reglas de los "
                                  "ejercicios no están disponibles."),
               mb::OkOnly | mb::Critical, QStringLiteral("Aviso al operador"));
        return std::nullopt;
    }
    return Lbc_Asiento(numero);
}

bool Lbc_Asiento::ValidaEstadoPeriodoActual(QString& Mensaje, Value* lCierre, Value* lCancelacion,
                                            bool* lNoCreado, const QString& Periodo) {
    std::vector<Ejercicio> rows;
    bool permitido = false;
    const bool completed = runSteps(
        {[&]() -> StepResult {
             if (Periodo.isEmpty()) return std::nullopt;
             return aEntero16(Periodo, periodoActivo_);
         },
         [&] { return leeEjercicios(kTodos, rows); },
         [&]() -> StepResult {
             if (rows.empty()) {
                 Mensaje = mensajes::noHayEjercicios();
                 if (lNoCreado) *lNoCreado = true;
                 return std::nullopt;
             }
             const auto match = std::find_if(rows.begin(), rows.end(), [&](const Ejercicio& e) {
                 return e.periodo == periodoActivo_;
             });
             if (match == rows.end()) {
                 permitido = true;
                 return std::nullopt;
             }
             if (lCierre) *lCierre = Value(match->cerrado);
             if (lCancelacion) *lCancelacion = Value(match->cancelacion);
             if (match->cerrado && match->cancelacion) {
                 Mensaje = QStringLiteral(
                     "El Periodo tiene realizado el Cierre y la Cancelacion de "
                     "saldos de cuentas de resultados");
             } else if (match->cerrado) {
                 Mensaje =
                     QStringLiteral("El Periodo tiene realizado el Cierre de libros contables ");
             } else if (match->cancelacion) {
                 Mensaje = QStringLiteral(
                     "El Periodo tiene realizada la Cancelacion de saldos de "
                     "cuentas de resultados");
             } else if (match == rows.begin() || std::prev(match)->cerrado) {
                 permitido = true;
             } else {
                 Mensaje = QStringLiteral("El Periodo anterior (") +
                           QString::number(std::prev(match)->periodo) +
                           QStringLiteral(") no tiene realizado el cierre");
             }
             return std::nullopt;
         }},
        avisoOperadorPara(QStringLiteral("ValidaEstadoPeriodoActual")));
    return completed && permitido;
}

QDate Lbc_Asiento::FechaHastaUltimoPeriodo() {
    std::vector<Ejercicio> rows;
    QDate hasta;
    const bool completed =
        runSteps({[&] { return leeEjercicios(kTodos, rows); },
                  [&]() -> StepResult {
                      if (rows.empty()) return std::nullopt;
                      if (!rows.back().fechaHasta.isValid())
                          return RunError{ado::err::InvalidUseOfNull,
                                          QStringLiteral("Uso no válido de Null: el ejercicio ") +
                                              QString::number(rows.back().periodo) +
                                              QStringLiteral(" no tiene fecha hasta"),
                                          kSource};
                      hasta = rows.back().fechaHasta;
                      return std::nullopt;
                  }},
                 avisoOperadorPara(QStringLiteral("FechaHastaUltimoPeriodo")));
    return completed ? hasta : QDate();
}

bool Lbc_Asiento::ValidaRangoFechaEjercicio(const QString& Fecha_Desde, const QString& Fecha_Hasta,
                                            const std::optional<QString>& lPeriodo,
                                            RunError* error) {
    const auto fail = [&](const RunError& e) {
        if (error) *error = e;
        return false;
    };
    QDate desde;
    QDate hasta;
    if (StepResult e = parseDateText(Fecha_Desde, desde)) return fail(*e);
    if (StepResult e = parseDateText(Fecha_Hasta, hasta)) return fail(*e);
    if (hasta < desde) std::swap(desde, hasta);
    std::vector<Ejercicio> rows;
    if (StepResult e = leeEjercicios(kTodos, rows)) return fail(*e);
    const bool conPropio = lPeriodo.has_value();
    const std::int64_t propio =
        conPropio ? conv::roundHalfEvenToInt(conv::leadingNumber(*lPeriodo)) : 0;
    // Testing only the two ends would let a range that encloses a whole year
    // through; two intervals share a day exactly when each starts before the
    // other ends.
    return std::none_of(rows.begin(), rows.end(), [&](const Ejercicio& e) {
        if (conPropio && e.periodo == propio) return false;
        if (!e.fechaDesde.isValid() || !e.fechaHasta.isValid()) return false;
        return desde <= e.fechaHasta && e.fechaDesde <= hasta;
    });
}

StepResult Lbc_Asiento::EjercicioRango(QString& desde, QString& hasta,
                                       std::optional<std::int64_t> Periodo) {
    desde.clear();
    hasta.clear();
    std::vector<Ejercicio> rows;
    if (StepResult e =
            leeEjercicios(QStringLiteral("SELECT * FROM MV_EJERCICIOS WHERE PERIODO = ") +
                              QString::number(Periodo.value_or(periodoActivo_)),
                          rows))
        return e;
    if (rows.empty()) {
        MsgBox(mensajes::noHayEjercicios(), mb::OkOnly);
        return std::nullopt;
    }
    desde = conv::formatDate(rows.front().fechaDesde);
    hasta = conv::formatDate(rows.front().fechaHasta);
    return std::nullopt;
}

bool Lbc_Asiento::EjercicioAnteriorCerrado(QString& QueEjercicio, RunError* error) {
    if (conv::leadingNumber(QueEjercicio) == -1) QueEjercicio = QString::number(periodoActivo_);
    std::vector<Ejercicio> rows;
    if (StepResult e =
            leeEjercicios(QStringLiteral("SELECT * FROM MV_EJERCICIOS WHERE PERIODO < ") +
                              numberText(QueEjercicio) + QStringLiteral(" ORDER BY PERIODO"),
                          rows)) {
        if (error) *error = *e;
        return false;
    }
    return rows.empty() || rows.back().cerrado || rows.back().cierre;
}

bool Lbc_Asiento::ExistenMovFueraPeriodo(const QString& Periodo, const QString& NFecha_Desde,
                                         const QString& NFecha_Hasta) {
    db::DB_Dll& db = db::sharedDb();
    ado::Recordset rs;
    bool existen = false;
    // Jet's VAL exists on no server engine; PERIODO is a number column, so
    // comparing it with a number needs no conversion on any provider.
    const bool completed = runSteps(
        {[&]() -> StepResult {
             QString sql = QStringLiteral("SELECT * FROM MV_ASIENTOS WHERE PERIODO = ") +
                           numberText(Periodo) + QStringLiteral(" AND (FECHA <= ") +
                           Brimcor2::FechaSQL(Value(NFecha_Desde)) +
                           QStringLiteral(" OR FECHA >= ") +
                           Brimcor2::FechaSQL(Value(NFecha_Hasta)) + QStringLiteral(" )");
             db.AbrirRecordset(sql, rs, nullptr, ado::adOpenDynamic, ado::adLockOptimistic);
             return requiereAbierto(rs);
         },
         [&]() -> StepResult {
             existen = !rs.EOF();
             return std::nullopt;
         }},
        avisoOperadorPara(QStringLiteral("ExistenMovFueraPeriodo")));
    db.CierraRecordset(rs);
    return completed && existen;
}

StepResult Lbc_Asiento::UltimoDiaMes(const QString& mes, const QString& anio, std::int16_t& dias) {
    for (int dia = 31; dia >= 1; --dia) {
        const QString text = QString::number(dia) + u'/' + mes.trimmed() + u'/' + anio.trimmed();
        if (conv::parseDate(text)) {
            dias = static_cast<std::int16_t>(dia);
            return std::nullopt;
        }
    }
    return RunError{ado::err::TypeMismatch,
                    QStringLiteral("El mes ") + mes.trimmed() + QStringLiteral(" del año ") +
                        anio.trimmed() + QStringLiteral(" no tiene ningún día"),
                    kSource};
}

StepResult Lbc_Asiento::FechaValidada(const QString& Campo, QString& Mensaje, bool& lHayError) {
    if (Campo.trimmed().isEmpty()) {
        lHayError = true;
        Mensaje = QStringLiteral("Debe ingresar una fecha");
        return std::nullopt;
    }
    const std::optional<QDate> fecha = conv::parseDate(Campo.trimmed());
    if (!fecha) {
        lHayError = true;
        Mensaje = QStringLiteral("La fecha ingresada no es correcta!!");
        return std::nullopt;
    }
    QDate desde;
    QDate hasta;
    if (StepResult e = parseDateText(Cfg(QStringLiteral("FECHAOPERDESDE")), desde)) return e;
    if (StepResult e = parseDateText(Cfg(QStringLiteral("FECHAOPERHASTA")), hasta)) return e;
    if (*fecha < desde || *fecha > hasta) {
        Mensaje = QStringLiteral("La fecha ingresada No es una Fecha Operativa posible!");
        lHayError = true;
    }
    return std::nullopt;
}

}  // namespace kl::accounting
