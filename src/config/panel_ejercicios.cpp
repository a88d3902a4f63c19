#include "config/panel_ejercicios.h"

#include "accounting/ejercicio_nuevo.h"
#include "dblayer/db_dll.h"
#include "platform/conversions.h"
#include "platform/dialogs.h"
#include "platform/error_numbers.h"
#include "session/brimcor2.h"
#include "session/claves_configuracion.h"
#include "session/historial_cambios.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace kl::config {

namespace {

const QString kTodos = QStringLiteral("SELECT * FROM MV_EJERCICIOS ORDER BY PERIODO");
const QString kDelEjercicio = QStringLiteral("SELECT * FROM MV_EJERCICIOS WHERE PERIODO = ");
const QString kAtencion = QStringLiteral("Atención");
const QString kAvisoOperador = QStringLiteral("Aviso al operador");
const QString kFuente = QStringLiteral("frmConfiguracion");
constexpr long kTipoNoCoincide = 13;
constexpr int kTipoNumero = 3;

const ControlEnlazado* campo(const char* key) {
    return buscaClave(QString::fromUtf8(key));
}

const ControlEnlazado* periodoCampo() {
    return campo("PERIODO");
}
const ControlEnlazado* nombreCampo() {
    return campo("DESCRIPCION");
}
const ControlEnlazado* desdeCampo() {
    return campo("[FECHA DESDE]");
}
const ControlEnlazado* hastaCampo() {
    return campo("[FECHA HASTA]");
}
const ControlEnlazado* cerradoCasilla() {
    return buscaNombre(QStringLiteral("ChkCerrado"));
}

int comoPosicion(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

RunError tipoNoCoincide(const QString& detalle) {
    return RunError{kTipoNoCoincide, QStringLiteral("No coinciden los tipos: ") + detalle, kFuente};
}

// The year's number as the statements write it: a whole number, so what
// the panel's field holds can never change a statement.
std::optional<std::int64_t> numeroDe(const QString& texto) {
    bool ok = false;
    const std::int64_t numero = texto.trimmed().toLongLong(&ok);
    return ok ? std::optional(numero) : std::nullopt;
}

struct FilaEjercicio {
    std::int64_t periodo = 0;
    QString descripcion;
    QDate desde;
    QDate hasta;
    bool cerrado = false;
    bool cancelacion = false;
};

QDate fechaDe(const Value& v) {
    return v.isNull() || v.isEmpty() ? QDate() : v.toDateTime().date();
}

// The layer shows its own notice when a statement cannot be opened; the
// routine then only stops, with nothing left to show.
RunError yaAvisado() {
    return RunError{ado::err::AlreadyShown, QString(), kFuente};
}

// The routine's error notice, but for failures the layer already showed.
FailureNotice avisoSalvoMostrado(const QString& rutina) {
    return [notice = Brimcor2::avisoErrorPara(rutina)](const RunError& error) {
        return error.number == ado::err::AlreadyShown ? answer::Abort : notice(error);
    };
}

StepResult abre(QString sql, ado::Recordset& rs, int cursor, int lock) {
    db::sharedDb().AbrirRecordset(sql, rs, nullptr, cursor, lock);
    return rs.State() == ado::adStateOpen ? std::nullopt : std::optional(yaAvisado());
}

// The years a statement selects, in its order. A Null name or date reads
// as empty rather than keeping the year from being shown.
StepResult leeEjercicios(const QString& sql, int cursor, std::vector<FilaEjercicio>& out) {
    out.clear();
    ado::Recordset rs;
    if (StepResult failure = abre(sql, rs, cursor, ado::adLockReadOnly)) return failure;
    while (!rs.EOF()) {
        out.push_back({conv::roundHalfEvenToInt(conv::leadingNumber(
                           Brimcor2::ValorNoNulo(rs.value(QStringLiteral("Periodo"))))),
                       Brimcor2::ValorNoNulo(rs.value(QStringLiteral("Descripcion"))),
                       fechaDe(rs.value(QStringLiteral("Fecha Desde"))),
                       fechaDe(rs.value(QStringLiteral("fecha hasta"))),
                       rs.value(QStringLiteral("Cerrado")).toBool(),
                       rs.value(QStringLiteral("Cancelacion")).toBool()});
        if (StepResult failure = rs.MoveNext()) return failure;
    }
    db::sharedDb().CierraRecordset(rs);
    return std::nullopt;
}

}  // namespace

accounting::Lbc_Asiento& ReglasPeriodo::asiento() {
    if (!asiento_) {
        std::int16_t periodo = 0;
        if (accounting::aEntero16(Cfg(QStringLiteral("PERIODO")), periodo)) periodo = 0;
        asiento_.emplace(periodo);
    }
    return *asiento_;
}

Result<bool> ReglasPeriodo::ValidaRangoFechaEjercicio(const QString& Fecha_Desde,
                                                      const QString& Fecha_Hasta,
                                                      const Value& lPeriodo) {
    std::optional<QString> periodo;
    if (!lPeriodo.isEmpty() && !lPeriodo.isNull()) periodo = lPeriodo.toString();
    RunError error;
    const bool libre =
        asiento().ValidaRangoFechaEjercicio(Fecha_Desde, Fecha_Hasta, periodo, &error);
    if (!libre && error.number != 0) return error;
    return libre;
}

PanelEjercicios::PanelEjercicios(FormularioConfiguracion& form, ControlesPanel& controles,
                                 std::shared_ptr<ReglasPeriodo> reglas)
    : form_(form), controles_(controles), reglas_(std::move(reglas)) {}

void PanelEjercicios::Datos_Ejercicios(bool cargando) {
    std::vector<FilaEjercicio> ejercicios;
    auto habilita = [this](const ControlEnlazado* control, bool enabled) {
        if (control) controles_.habilita(*control, enabled);
    };
    runSteps({[&] { return leeEjercicios(kTodos, ado::adOpenDynamic, ejercicios); },
              [&]() -> StepResult {
                  if (ejercicios.empty()) {
                      for (const ControlEnlazado* c : {nombreCampo(), desdeCampo(), hastaCampo()})
                          habilita(c, false);
                      controles_.habilitaSlider(false);
                      return std::nullopt;
                  }
                  const bool varios = ejercicios.size() > 1;
                  // One year alone still needs a range the slider can show.
                  const int ultimo = comoPosicion(ejercicios.back().periodo);
                  controles_.setRangoSlider(comoPosicion(ejercicios.front().periodo),
                                            varios ? ultimo : ultimo + 1);
                  controles_.habilitaSlider(varios);
                  habilita(desdeCampo(), true);
                  habilita(hastaCampo(), true);
                  habilita(nombreCampo(), varios);
                  return std::nullopt;
              },
              [&]() -> StepResult {
                  controles_.setPosicionSlider(comoPosicion(conv::roundHalfEvenToInt(
                      conv::leadingNumber(Cfg(QStringLiteral("PERIODO"))))));
                  habilita(cerradoCasilla(), false);
                  return std::nullopt;
              },
              [&]() -> StepResult {
                  SldrEjercicio_Change(cargando);
                  return std::nullopt;
              }},
             avisoSalvoMostrado(QStringLiteral("Datos_Ejercicio")));
}

void PanelEjercicios::CargaEjercicio(std::int64_t periodo) {
    std::vector<FilaEjercicio> filas;
    const StepResult failure =
        leeEjercicios(kDelEjercicio + QString::number(periodo), ado::adOpenForwardOnly, filas);
    if (failure) {
        if (failure->number != ado::err::AlreadyShown)
            MsgBox(failure->description, mb::OkOnly | mb::Critical, kAvisoOperador);
    } else if (!filas.empty()) {
        const FilaEjercicio& fila = filas.front();
        const bool abierto = !fila.cerrado && !fila.cancelacion;
        // Only the end of the last open year can be moved: a year after it
        // starts the day after.
        const bool ultimo = !db::sharedDb().ExisteEnTabla(
            QStringLiteral("MV_EJERCICIOS"), QString::number(periodo + 1),
            QStringLiteral("PERIODO"), nullptr, Value(kTipoNumero));
        if (const ControlEnlazado* c = periodoCampo()) form_.setTexto(*c, QString::number(periodo));
        if (const ControlEnlazado* c = nombreCampo()) {
            form_.setTexto(*c, fila.descripcion);
            controles_.habilita(*c, abierto);
        }
        if (const ControlEnlazado* c = desdeCampo()) {
            form_.setTexto(*c, conv::formatDate(fila.desde));
            controles_.habilita(*c, false);
        }
        if (const ControlEnlazado* c = hastaCampo()) {
            form_.setTexto(*c, conv::formatDate(fila.hasta));
            controles_.habilita(*c, abierto && ultimo);
        }
        if (const ControlEnlazado* c = cerradoCasilla()) form_.setValor(*c, fila.cerrado ? 1 : 0);
    }
    if (const ControlEnlazado* c = cerradoCasilla()) controles_.habilita(*c, false);
}

void PanelEjercicios::SldrEjercicio_Change(bool cargando) {
    CargaEjercicio(controles_.posicionSlider());
    // While loading, the operating dates keep what the configuration holds.
    if (cargando) return;
    setTextoDeClave(form_, QStringLiteral("FECHAOPERDESDE"),
                    textoDeClave(form_, QStringLiteral("[FECHA DESDE]")));
    setTextoDeClave(form_, QStringLiteral("FECHAOPERHASTA"),
                    textoDeClave(form_, QStringLiteral("[FECHA HASTA]")));
}

bool PanelEjercicios::GrabaEjercicio(const QString& periodo) {
    db::DB_Dll& db = db::sharedDb();
    ado::Recordset rs;
    std::int64_t numero = 0;
    auto fecha = [this](const ControlEnlazado* control, QDate& out) -> StepResult {
        const QString texto = control ? form_.texto(*control).trimmed() : QString();
        const std::optional<QDate> parsed = conv::parseDate(texto);
        if (!parsed)
            return tipoNoCoincide(QStringLiteral("la fecha \"%1\" no es válida").arg(texto));
        out = *parsed;
        return std::nullopt;
    };
    return runSteps(
        {[&]() -> StepResult {
             const std::optional<std::int64_t> n = numeroDe(periodo);
             if (!n) {
                 return tipoNoCoincide(
                     QStringLiteral("el ejercicio \"%1\" no es un número").arg(periodo));
             }
             numero = *n;
             return abre(kDelEjercicio + QString::number(numero), rs, ado::adOpenDynamic,
                         ado::adLockOptimistic);
         },
         [&]() -> StepResult { return rs.EOF() ? rs.AddNew() : std::nullopt; },
         [&]() -> StepResult {
             QDate desde;
             QDate hasta;
             if (StepResult bad = fecha(desdeCampo(), desde)) return bad;
             if (StepResult bad = fecha(hastaCampo(), hasta)) return bad;
             const ControlEnlazado* nombre = nombreCampo();
             const ControlEnlazado* cerrado = cerradoCasilla();
             const std::pair<const char*, Value> columnas[] = {
                 {"Fecha Desde", Value(desde)},
                 {"fecha hasta", Value(hasta)},
                 {"Periodo", Value(numero)},
                 {"Descripcion", Value(nombre ? form_.texto(*nombre).trimmed() : QString())},
                 {"Cerrado", Value(cerrado && form_.valor(*cerrado) != 0 ? 1 : 0)}};
             for (const auto& [columna, valor] : columnas) {
                 if (StepResult failure = rs.setValue(QString::fromUtf8(columna), valor))
                     return failure;
             }
             return std::nullopt;
         },
         [&]() -> StepResult {
             if (StepResult failure = rs.Update()) return failure;
             db.CierraRecordset(rs);
             return std::nullopt;
         }},
        avisoSalvoMostrado(QString()));
}

void PanelEjercicios::CmdAbrirEjercicio_Click() {
    marcaEjercicio(false);
}

void PanelEjercicios::CmdCerrarEjercicio_Click() {
    marcaEjercicio(true);
}

void PanelEjercicios::marcaEjercicio(bool cerrar) {
    const ControlEnlazado* casilla = cerradoCasilla();
    const bool cerrado = casilla && form_.valor(*casilla) != 0;
    const QString periodo = textoDeClave(form_, QStringLiteral("PERIODO"));
    const QString continuar = QStringLiteral("\r\nDesea continuar...??");
    if (cerrado == cerrar) {
        MsgBox(cerrado ? QStringLiteral("El ejercicio esta Cerrado")
                       : QStringLiteral("El ejercicio esta Abierto"),
               mb::OkOnly | mb::Information, kAtencion);
    } else if (MsgBox((cerrar ? QStringLiteral("Esta seguro que desea Cerrar el Ejercicio ")
                              : QStringLiteral("Esta seguro que desea abrir el Ejercicio ")) +
                          periodo + QStringLiteral("??"),
                      mb::YesNo | mb::DefaultButton2 | mb::Information, kAtencion) == answer::Yes &&
               MsgBox(
                   (cerrar ? QStringLiteral("Este proceso solamente Cierra el Ejercio, NO Genera "
                                            "los asientos de cierre y apertura, estos deberan "
                                            "ser cargados desde Registraciones Directas")
                           : QStringLiteral("Este proceso solamente abre el Ejercio, NO borra los "
                                            "asientos de cierre y apertura, estos deberan ser "
                                            "anulados desde Registraciones Directas")) +
                       continuar,
                   mb::YesNo | mb::Question, kAtencion) == answer::Yes) {
        db::DB_Dll& db = db::sharedDb();
        const QString numero = periodo.trimmed();
        if (!numeroDe(numero)) {
            MsgBox(QStringLiteral("El número de ejercicio \"%1\" no es válido: no se modificó "
                                  "ningún ejercicio.")
                       .arg(numero),
                   mb::OkOnly | mb::Critical, kAvisoOperador);
        } else if (!db.gCnn) {
            MsgBox(QStringLiteral("No hay conexión con la base de datos: no se modificó ningún "
                                  "ejercicio."),
                   mb::OkOnly | mb::Critical, kAvisoOperador);
        } else {
            const QString flag = cerrar ? QStringLiteral("1") : QStringLiteral("0");
            QString sql = QStringLiteral(
                              "UPDATE MV_EJERCICIOS SET CERRADO = %1, CANCELACION = %1, "
                              "CIERRE = %1, APERTURA = %1 WHERE PERIODO = ")
                              .arg(flag) +
                          numero + QStringLiteral(" ");
            long afectados = 0;
            const StepResult fallo = historial::EjecutaRegistrando(
                sql, afectados,
                {cerrar ? historial::kCierre : historial::kReapertura,
                 QStringLiteral("Ejercicio ") + numero,
                 cerrar ? QStringLiteral("Abierto") : QStringLiteral("Cerrado"),
                 cerrar ? QStringLiteral("Cerrado") : QStringLiteral("Abierto")});
            if (fallo) {
                MsgBox(QStringLiteral("ERROR ") + fallo->description, mb::OkOnly);
            } else if (afectados == 0) {
                // A year without a row was never changed: success would be untrue.
                MsgBox(QStringLiteral("No existe el Ejercicio %1: no se modificó ningún ejercicio.")
                           .arg(numero),
                       mb::OkOnly | mb::Exclamation, kAtencion);
            } else {
                MsgBox(cerrar ? QStringLiteral("El ejercicio fue Cerrado con exito")
                              : QStringLiteral("El ejercicio fue abierto con exito"),
                       mb::OkOnly | mb::Information, QStringLiteral("atencion"));
            }
        }
    }
    CargaEjercicio(controles_.posicionSlider());
}

PedidoAsistente PanelEjercicios::preparaAsistente() {
    accounting::Lbc_Asiento& reglas = reglas_->asiento();
    QString mensaje;
    bool noCreado = false;
    PedidoAsistente pedido;
    if (!reglas.ValidaEstadoPeriodoActual(mensaje, nullptr, nullptr, &noCreado) && noCreado) {
        pedido.primerEjercicio = true;
        return pedido;
    }
    // Years follow each other without gaps: the next one starts the day
    // after the last one ends.
    const accounting::FechasPropuestas fechas =
        accounting::ProponeFechas(reglas.FechaHastaUltimoPeriodo());
    pedido.fechaDesde = fechas.desde.trimmed();
    pedido.fechaHasta = fechas.hasta.trimmed();
    return pedido;
}

void PanelEjercicios::asistenteCerrado(const PedidoAsistente& pedido, bool creado,
                                       std::int16_t nuevoEjercicio) {
    // Without a year created the wizard's number names nothing; storing it
    // would make a year that does not exist the active one.
    if (pedido.primerEjercicio && creado) {
        GrabaDfg(QStringLiteral("PERIODO"), Value(static_cast<int>(nuevoEjercicio)), QString(),
                 false, QStringLiteral("DATOS"));
    }
    Datos_Ejercicios(false);
}

}  // namespace kl::config
