#include "config/claves_formulario.h"

#include "dblayer/db_dll.h"
#include "dblayer/sql_text.h"
#include "platform/ado/transaction_scope.h"
#include "platform/dialogs.h"
#include "platform/error_numbers.h"
#include "progress/dll_display.h"
#include "session/brimcor2.h"
#include "session/claves_configuracion.h"
#include "session/historial_cambios.h"
#include "session/sesion.h"

#include <QDateTime>

#include <utility>
#include <vector>

namespace kl::config {

namespace {

const QString kSi = QStringLiteral("SI");
const QString kNo = QStringLiteral("NO");

using Columnas = std::vector<std::pair<QString, Value>>;

// What one control writes: the columns of a new row and those of an
// existing one.
struct Escritura {
    QString clave;
    Columnas alta;
    Columnas cambio;
    // The value as the load compares it, and how.
    QString valor;
    Qt::CaseSensitivity comparacion = Qt::CaseSensitive;
};

// Whether to write over a row another station changed since the load: not
// when the operator left the key as loaded; when both changed it, as the
// operator answers.
bool escribeSobre(const ControlEnlazado& c, const Escritura& e, const QString& cargado,
                  const QString& enBase) {
    auto igual = [&e](const QString& a, const QString& b) {
        return a.compare(b, e.comparacion) == 0;
    };
    if (igual(enBase, cargado) || igual(e.valor, enBase)) return true;
    if (igual(e.valor, cargado)) return false;
    const QString pregunta =
        QStringLiteral(
            "Otro puesto modificó \"%1\" mientras esta ventana estaba abierta.\r\r"
            "Valor grabado por el otro puesto: %2\r"
            "Valor ingresado en esta ventana: %3\r\r"
            "¿Desea grabar el valor ingresado en esta ventana?")
            .arg(nombreAccesible(c), enBase, e.valor);
    return MsgBox(pregunta, mb::YesNo | mb::Question | mb::DefaultButton2,
                  QStringLiteral("Aviso al operador")) == answer::Yes;
}

// The layer shows its own notice when a statement cannot be opened; the
// save then only stops, with nothing left to show.
RunError avisoYaMostrado() {
    return RunError{ado::err::AlreadyShown, QString(), QStringLiteral("GrabaClaves")};
}

// A key whose value changed adds its row of the history to `cambios`.
StepResult escribe(const ControlEnlazado& c, const Escritura& e, const ValoresCargados* cargados,
                   std::vector<historial::Cambio>& cambios) {
    db::DB_Dll& db = db::sharedDb();
    QString sql =
        QStringLiteral("SELECT * FROM TA_CONFIGURACION WHERE CLAVE = ") + db::sqlQuoted(e.clave);
    ado::Recordset rs;
    db.AbrirRecordset(sql, rs, nullptr, ado::adOpenDynamic, ado::adLockOptimistic);
    if (rs.State() != ado::adStateOpen) return avisoYaMostrado();
    const bool nueva = rs.EOF();
    const auto cargado =
        cargados ? cargados->constFind(e.clave.toUpper()) : ValoresCargados::const_iterator();
    if (!nueva && cargados && cargado != cargados->constEnd() &&
        !escribeSobre(c, e, *cargado, rs.value(QStringLiteral("VALOR")).toString().trimmed())) {
        db.CierraRecordset(rs);
        return std::nullopt;
    }
    const QString anterior =
        nueva ? QString() : rs.value(QStringLiteral("VALOR")).toString().trimmed();
    if (nueva) {
        if (StepResult failure = rs.AddNew()) return failure;
    }
    for (const auto& [columna, valor] : nueva ? e.alta : e.cambio) {
        if (StepResult failure = rs.setValue(columna, valor)) {
            rs.CancelUpdate();
            return failure;
        }
    }
    if (StepResult failure = rs.Update()) {
        rs.CancelUpdate();
        return failure;
    }
    db.CierraRecordset(rs);
    if (anterior.compare(e.valor, e.comparacion) != 0)
        cambios.push_back({historial::kCambioClave, e.clave, anterior, e.valor});
    return std::nullopt;
}

Escritura escrituraDe(const ControlEnlazado& c, const FormularioConfiguracion& form) {
    const Value ahora(QDateTime::currentDateTime());
    switch (c.tipo) {
        case TipoControl::TextBox: {
            const QString key = c.dataField.trimmed();
            const QString text = form.texto(c).trimmed();
            return {key,
                    {{QStringLiteral("CLAVE"), key.toUpper()},
                     {QStringLiteral("VALOR"), text.toUpper()},
                     {QStringLiteral("GRUPO"), c.grupo},
                     {QStringLiteral("DESCRIPCION"), QStringLiteral(".")},
                     {QStringLiteral("fechahora_grabacion"), ahora}},
                    {{QStringLiteral("VALOR"), text},
                     {QStringLiteral("fechahora_modificacion"), ahora}},
                    text};
        }
        case TipoControl::CheckBox: {
            const QString key = c.tag.trimmed();
            const QString value = form.valor(c) != 0 ? kSi : kNo;
            return {key,
                    {{QStringLiteral("GRUPO"), c.grupo},
                     {QStringLiteral("CLAVE"), key},
                     {QStringLiteral("VALOR"), value},
                     {QStringLiteral("fechahora_grabacion"), ahora}},
                    {{QStringLiteral("VALOR"), value},
                     {QStringLiteral("GRUPO"), c.grupo},
                     {QStringLiteral("fechahora_modificacion"), ahora}},
                    value,
                    Qt::CaseInsensitive};
        }
        case TipoControl::Image: {
            const QString imagen = sesion().gImagenFondo;
            return {clave(c),
                    {{QStringLiteral("CLAVE"), clave(c)},
                     {QStringLiteral("VALOR"), imagen.trimmed()},
                     {QStringLiteral("fechahora_grabacion"), ahora}},
                    {{QStringLiteral("VALOR"), imagen},
                     {QStringLiteral("fechahora_modificacion"), ahora}},
                    imagen.trimmed()};
        }
    }
    return {};
}

}  // namespace

ValoresCargados CargaClaves(FormularioConfiguracion& form) {
    ValoresCargados cargados;
    for (const ControlEnlazado& c : controlesEnlazados()) {
        switch (c.tipo) {
            case TipoControl::TextBox: {
                const QString texto = Cfg(c.dataField).trimmed();
                form.setTexto(c, texto);
                cargados.insert(c.dataField.trimmed().toUpper(), texto);
                break;
            }
            case TipoControl::CheckBox: {
                const bool si = sameText(Cfg(clave(c)), kSi);
                form.setValor(c, si ? 1 : 0);
                cargados.insert(clave(c).toUpper(), si ? kSi : kNo);
                break;
            }
            case TipoControl::Image:
                break;
        }
    }
    if (const ControlEnlazado* periodo = buscaClave(QStringLiteral("periodo"))) {
        if (form.texto(*periodo).isEmpty()) form.setTexto(*periodo, QStringLiteral("1"));
    }
    const QString condIva = textoDeClave(form, QStringLiteral("condiva")).trimmed();
    if (!condIva.isEmpty()) {
        const Value descripcion = db::sharedDb().DatosTabla(
            QStringLiteral("TA_CONDIVA"), condIva, QStringLiteral("DESCRIPCION"),
            QStringLiteral("codigo"), Value(db::DB_Dll::kTipoTexto), QString(), true, false);
        form.setDescripcionCondIva(descripcion.toString());
    }
    return cargados;
}

bool GrabaClaves(FormularioConfiguracion& form, const GrabaEjercicioFn& grabaEjercicio,
                 const ValoresCargados* cargados) {
    CartelAbierto cartel(QStringLiteral("Actualizando Datos de la Configuración"));
    // Sixty keys written one by one: a program killed or a key refused in
    // between must not leave a configuration that is half this accept's.
    const std::shared_ptr<ado::Connection> cnn = db::sharedDb().gCnn;
    if (!cnn) return false;
    ado::TransactionScope transaccion(*cnn);
    // Under the title the accept's other failed writes carry (a lock wait
    // the operator stopped among them).
    auto falla = [](const RunError& failure) {
        if (failure.number != ado::err::AlreadyShown)
            MsgBox(failure.description, mb::OkOnly, QStringLiteral("Error en Grabación"));
        return false;
    };
    if (StepResult failure = transaccion.begin()) return falla(*failure);
    std::vector<historial::Cambio> cambios;
    for (const ControlEnlazado& c : controlesEnlazados()) {
        cartel.muestra(textoProgreso(c));
        if (!seGraba(c)) continue;
        if (StepResult failure = escribe(c, escrituraDe(c, form), cargados, cambios))
            return falla(*failure);
    }
    if (StepResult failure = historial::RegistraCambios(cambios)) return falla(*failure);
    // The panel's year is the same for every box, so writing it once after
    // all of them stores what writing it after each would. Its own notice
    // has shown what went wrong.
    if (grabaEjercicio && !grabaEjercicio(textoDeClave(form, QStringLiteral("periodo")).trimmed()))
        return false;
    if (StepResult failure = transaccion.commit()) return falla(*failure);
    sesion().gPeriodo = Cfg(QStringLiteral("PERIODO"));
    return true;
}

QString textoProgreso(const ControlEnlazado& control) {
    QString text = control.tag;
    if (text.trimmed().isEmpty() && control.tipo == TipoControl::TextBox) text = control.dataField;
    if (text.trimmed().isEmpty()) text = Brimcor2::TextoPorDefecto();
    return text;
}

int FiltraMayusculas(int codigo, bool soloMayusculas) {
    static const QString letras =
        QStringLiteral("0123456789.ABCDEFGHIJKLMNÑOPQRSTUVWXYZ.abcdefghijklmnñopqrstuvwxyz");
    // Outside the single-byte range no character is in the list; case
    // folding would otherwise match look-alikes such as the long s.
    if (!soloMayusculas || codigo < 0 || codigo > 0xFF) return codigo;
    const QChar character(codigo);
    if (!letras.contains(character, Qt::CaseInsensitive)) return codigo;
    return character.toUpper().unicode();
}

void AvisoContrasena(int estadoChkPass) {
    const QString stored = Cfg(QStringLiteral("usa contraseña"));
    if (sameText(stored, kNo)) {
        if (estadoChkPass == 1) {
            MsgBox(QStringLiteral("El Uso de Contraseña se aplicará la próxima vez\r"
                                  "           que ingrese al Sistema."),
                   mb::OkOnly | mb::Information);
        }
    } else if (sameText(stored, kSi) && estadoChkPass == 0) {
        MsgBox(QStringLiteral("La opción de Contraseña se desabilitará la próxima vez\r"
                              "            que ingrese al Sistema."),
               mb::OkOnly | mb::Information);
    }
}

}  // namespace kl::config
