#include "accounting/ejercicio_nuevo.h"

#include "dblayer/db_dll.h"
#include "dblayer/transaction.h"
#include "platform/ado/transaction_scope.h"
#include "platform/conversions.h"
#include "platform/dialogs.h"
#include "platform/error_numbers.h"
#include "progress/dll_display.h"
#include "session/brimcor2.h"
#include "session/claves_configuracion.h"
#include "session/historial_cambios.h"

#include <limits>

namespace kl::accounting {

namespace {

const QString kAviso = QStringLiteral("Aviso al operador");

StepResult fechaDe(const QString& text, QDate& out) {
    const std::optional<QDate> date = conv::parseDate(text.trimmed());
    if (!date)
        return RunError{ado::err::TypeMismatch,
                        QStringLiteral("No coinciden los tipos: \"") + text +
                            QStringLiteral("\" no es una fecha"),
                        QStringLiteral("WizEjercicio")};
    out = *date;
    return std::nullopt;
}

// A date field's text as the database stores it; a text that is no date
// goes as typed, for the database to refuse.
Value valorFecha(const QString& text) {
    const std::optional<QDate> date = conv::parseDate(text.trimmed());
    return date ? Value(*date) : Value(Brimcor2::ValorNoNulo(Value(text)));
}

// Runs a statement of the year's transaction and shows what the database
// refused; the creation goes on, unless the connection itself was lost:
// nothing after that could be written.
StepResult ejecutaInformando(db::Transaction& t, const QString& sentencia) {
    if (StepResult e = t.execute(sentencia)) {
        if (t.connectionLost()) return e;
        MsgBox(e->description, mb::OkOnly);
    }
    return std::nullopt;
}

QString domingosDe(int anio) {
    return QStringLiteral(
               "update MA_CALENDARIO set nolaborable = 1  WHERE DATENAME(dw, Fecha) in "
               "('Domingo','Sunday') AND YEAR(FECHA) = ") +
           QString::number(anio);
}

}  // namespace

std::optional<std::int16_t> numeroDeEjercicio(const QString& text) {
    bool entero = false;
    const int numero = text.trimmed().toInt(&entero);
    if (!entero || numero < 1 || numero > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(numero);
}

std::optional<QString> RechazoPaso(int paso, const CamposEjercicio& campos, Lbc_Asiento& reglas) {
    switch (paso) {
        case 0:
            if (!Brimcor2::EsNumerico(campos.nroPeriodo.trimmed()))
                return QStringLiteral("El campo debe ser numérico!!!");
            if (!numeroDeEjercicio(campos.nroPeriodo))
                return QStringLiteral(
                    "El número de Ejercicio debe ser un número entero entre 1 y "
                    "32767");
            return std::nullopt;
        case 1:
            if (campos.nombre.trimmed().isEmpty())
                return QStringLiteral("Es necesario que ingrese un nombre de ejercicio");
            return std::nullopt;
        case 2: {
            const std::optional<QDate> desde = conv::parseDate(campos.fechaDesde.trimmed());
            if (!desde) return QStringLiteral("La Fecha Desde no es válida");
            const std::optional<QDate> hasta = conv::parseDate(campos.fechaHasta.trimmed());
            if (!hasta) return QStringLiteral("La Fecha Hasta no es válida");
            if (*hasta < *desde)
                return QStringLiteral("La Fecha Desde debe ser menor o igual a la Fecha Hasta");
            if (!reglas.ValidaRangoFechaEjercicio(campos.fechaDesde, campos.fechaHasta))
                return QStringLiteral(
                    "El rango de fechas ingresado interfiere con los de otro Ejercicio");
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

bool ValidaTab(int paso, const CamposEjercicio& campos, Lbc_Asiento& reglas) {
    const std::optional<QString> rechazo = RechazoPaso(paso, campos, reglas);
    if (rechazo) MsgBox(*rechazo, mb::OkOnly | mb::Critical, kAviso);
    return !rechazo;
}

FechasPropuestas ProponeFechas(const QDate& ultimoHasta) {
    if (!ultimoHasta.isValid()) return {};
    return {conv::formatDate(ultimoHasta.addDays(1)), conv::formatDate(ultimoHasta.addYears(1))};
}

void CreacionEjercicio::Actualizar_Datos(const CamposEjercicio& campos) {
    db::DB_Dll& db = db::sharedDb();
    ado::Recordset rs;
    QDate desde;
    QDate hasta;
    // The year, its calendar and its exchange-rate days are one piece: a
    // year without its days would never be repaired later.
    db::Transaction transaccion(db);
    const FailureNotice aviso = Brimcor2::avisoErrorPara(QStringLiteral("Actualizar_Datos"));
    // Without a number from 1 to 32767 there is no year to create: ignoring
    // that failure would store year 0 with a calendar of its own.
    std::optional<std::int16_t> numero;
    const bool conNumero =
        runSteps({[&]() -> StepResult { return transaccion.begin(); },
                  [&]() -> StepResult {
                      QString texto = campos.nroPeriodo;
                      if (!pedirNroEjercicioInicial_) {
                          const db::ValueOrError maximo =
                              db.BuscaMaximo(QStringLiteral("MV_EJERCICIOS"),
                                             QStringLiteral("Periodo"), Value(ado::adInteger));
                          if (const RunError* e = std::get_if<RunError>(&maximo)) return *e;
                          texto = QString::number(std::get<Value>(maximo).toInt64() + 1);
                      }
                      numero = numeroDeEjercicio(texto);
                      if (numero) return std::nullopt;
                      return RunError{ado::err::Overflow,
                                      QStringLiteral("Desbordamiento: ") + texto.trimmed(),
                                      QStringLiteral("WizEjercicio")};
                  }},
                 aviso);
    // The scope rolls the opened transaction back on the way out.
    if (!conNumero || !numero) return;
    pNuevo_Ejercicio = *numero;
    runSteps(
        {// One step from the new row to its save, so that retrying a
         // refused save starts over from a fresh row.
         [&]() -> StepResult {
             if (StepResult e = transaccion.open(QStringLiteral("SELECT * FROM MV_EJERCICIOS"), rs,
                                                 ado::adOpenDynamic, ado::adLockOptimistic))
                 return e;
             if (StepResult e = rs.AddNew()) return e;
             if (StepResult e =
                     rs.setValue(QStringLiteral("Periodo"), Value(int{pNuevo_Ejercicio})))
                 return e;
             if (StepResult e = rs.setValue(QStringLiteral("Descripcion"),
                                            Value(Brimcor2::ValorNoNulo(Value(campos.nombre)))))
                 return e;
             if (StepResult e =
                     rs.setValue(QStringLiteral("Fecha Desde"), valorFecha(campos.fechaDesde)))
                 return e;
             if (StepResult e =
                     rs.setValue(QStringLiteral("fecha hasta"), valorFecha(campos.fechaHasta)))
                 return e;
             pFecha_Desde = campos.fechaDesde;
             pFecha_Hasta = campos.fechaHasta;
             pDescripcion = campos.nombre;
             if (StepResult e = rs.Update()) {
                 rs.CancelUpdate();
                 return e;
             }
             creado_ = true;
             db.CierraRecordset(rs);
             return std::nullopt;
         },
         [&]() -> StepResult {
             if (StepResult e = fechaDe(pFecha_Desde, desde)) return e;
             if (StepResult e = fechaDe(pFecha_Hasta, hasta)) return e;
             // The calendar gets the dates in the form the program shows
             // them, whatever separators were typed.
             return ejecutaInformando(
                 transaccion, QStringLiteral("kv_CreaCalendario '") + conv::formatDate(desde) +
                                  QStringLiteral("','") + conv::formatDate(hasta) +
                                  QStringLiteral("'"));
         },
         [&]() -> StepResult { return ejecutaInformando(transaccion, domingosDe(desde.year())); },
         [&]() -> StepResult { return ejecutaInformando(transaccion, domingosDe(hasta.year())); },
         [&]() -> StepResult {
             if (Cfg(QStringLiteral("UsaMultilesMonedas"))
                     .trimmed()
                     .compare(QStringLiteral("SI"), Qt::CaseInsensitive) == 0)
                 CrearDiasCotizacion(Brimcor2::ValorLong(QString::number(pNuevo_Ejercicio)));
             return std::nullopt;
         },
         [&]() -> StepResult {
             // The year is never committed without its row: a failure
             // undoes it, whatever the answer to the notice.
             if (!transaccion.isOpen()) return std::nullopt;
             StepResult e = historial::RegistraCambio(historial::cambioEjercicioNuevo(
                 pNuevo_Ejercicio, pDescripcion, pFecha_Desde, pFecha_Hasta));
             if (e) transaccion.rollback();
             return e;
         },
         [&]() -> StepResult {
             StepResult e = transaccion.commit();
             if (e) creado_ = false;
             return e;
         },
         [&]() -> StepResult {
             if (creado_)
                 MsgBox(QStringLiteral("El ejercicio se creó con éxito"),
                        mb::OkOnly | mb::Information, kAviso);
             return std::nullopt;
         }},
        aviso);
    db.CierraRecordset(rs);
    if (transaccion.isOpen()) {
        transaccion.rollback();
        creado_ = false;
    }
}

void CrearDiasCotizacion(std::int64_t Periodo) {
    db::DB_Dll& db = db::sharedDb();
    ado::Recordset rs;
    runSteps({[&]() -> StepResult {
                  QString sql = QStringLiteral("SELECT * FROM MV_EJERCICIOS WHERE PERIODO = ") +
                                QString::number(Periodo);
                  db.AbrirRecordset(sql, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly);
                  return requiereAbierto(rs);
              },
              [&]() -> StepResult {
                  if (rs.EOF()) return std::nullopt;
                  QDate desde;
                  QDate hasta;
                  if (StepResult e = fechaDe(
                          Brimcor2::ValorNoNulo(rs.value(QStringLiteral("Fecha Desde"))), desde))
                      return e;
                  if (StepResult e = fechaDe(
                          Brimcor2::ValorNoNulo(rs.value(QStringLiteral("fecha hasta"))), hasta))
                      return e;
                  LlenarHuecos(desde.addDays(-1), hasta);
                  return std::nullopt;
              }},
             Brimcor2::avisoErrorPara(QStringLiteral("CrearDiasCotizacion")));
    db.CierraRecordset(rs);
}

void LlenarHuecos(const QDate& desde, const QDate& hasta) {
    db::DB_Dll& db = db::sharedDb();
    const FailureNotice notice = Brimcor2::avisoErrorPara(QStringLiteral("Llenar Huecos"));
    ado::Recordset rs;
    const Step open = [&]() -> StepResult {
        QString sql = QStringLiteral("SELECT * FROM TA_COTIZACION");
        db.AbrirRecordset(sql, rs, nullptr, ado::adOpenDynamic, ado::adLockOptimistic);
        return requiereAbierto(rs);
    };
    if (runStep(open, notice) == StepOutcome::Abandoned) return;
    {
        CartelAbierto cartel(QStringLiteral("Actualizando Datos"));
        for (QDate dia = desde.addDays(1); dia <= hasta; dia = dia.addDays(1)) {
            const Step agrega = [&]() -> StepResult {
                bool cancelado = false;
                dllDisplay().CartelMostrar(cancelado,
                                           Value(QStringLiteral("Actualizando Cotizaciones ")),
                                           Value(QStringLiteral("Fecha ") + conv::formatDate(dia)));
                if (db.ExisteEnTabla(QStringLiteral("TA_COTIZACION"),
                                     Brimcor2::FechaSQL(Value(dia)), QStringLiteral("FECHA_HORA"),
                                     nullptr, Value(ado::adDate)))
                    return std::nullopt;
                if (StepResult e = rs.AddNew()) return e;
                if (StepResult e = rs.setValue(QStringLiteral("Fecha_Hora"), Value(dia))) return e;
                for (int moneda = 1; moneda <= 5; ++moneda) {
                    if (StepResult e = rs.setValue(
                            QStringLiteral("Moneda") + QString::number(moneda), Value::currency(1)))
                        return e;
                }
                if (StepResult e = rs.Update()) {
                    rs.CancelUpdate();
                    return e;
                }
                return std::nullopt;
            };
            if (runStep(agrega, notice) == StepOutcome::Abandoned) break;
        }
    }
    db.CierraRecordset(rs);
}

}  // namespace kl::accounting
