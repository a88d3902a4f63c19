#include "config/validacion_configuracion.h"

#include "dblayer/db_dll.h"
#include "platform/conversions.h"
#include "platform/dialogs.h"
#include "session/brimcor2.h"
#include "session/sesion.h"

#include <QDate>

#include <algorithm>

#include <initializer_list>
#include <optional>

namespace kl::config {

namespace {

const QString kAtencion = QStringLiteral("Atención");
const QString kAvisoOperador = QStringLiteral("Aviso al operador...");

// What a date comparison with a missing or unreadable fiscal-year date
// raises: the unexpected-error path then asks for a new fiscal year.
constexpr long kTipoNoCoincide = 13;
constexpr long kLlamadaNoValida = 5;

RunError tiposNoCoinciden() {
    return RunError{kTipoNoCoincide, QStringLiteral("No coinciden los tipos"),
                    QStringLiteral("frmConfiguracion")};
}

bool isOneOf(const QString& upperKey, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        if (upperKey == QLatin1String(key)) return true;
    }
    return false;
}

double numero(const QString& text) {
    return conv::leadingNumber(text);
}

std::optional<QDate> fecha(const QString& text) {
    return conv::parseDate(text);
}

const QStringList& clavesPorcentaje() {
    static const QStringList claves{"PIVA",  "PIVAREC", "PRES3337", "PPIBC",
                                    "PPIBP", "PPIBCM",  "PPIBPCM"};
    return claves;
}

const QStringList& clavesMontos() {
    static const QStringList claves{"MTPIBC", "MTPIBP", "ULTIMOASIENTO", "MRES3337"};
    return claves;
}

}  // namespace

const QStringList& clavesNumericas() {
    static const QStringList claves = clavesPorcentaje() + clavesMontos();
    return claves;
}

std::optional<QString> ObservacionCuit(const QString& cuit) {
    QString digitos = cuit.trimmed();
    if (digitos.isEmpty()) return std::nullopt;
    digitos.remove(u'-');
    const bool once =
        digitos.size() == 11 && std::all_of(digitos.cbegin(), digitos.cend(),
                                            [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!once) return QStringLiteral("El CUIT debe tener 11 dígitos (se admiten guiones).");
    static constexpr int kPesos[10] = {5, 4, 3, 2, 7, 6, 5, 4, 3, 2};
    int suma = 0;
    for (int i = 0; i < 10; ++i) suma += kPesos[i] * digitos[i].digitValue();
    const int verificador = (11 - suma % 11) % 11;
    // A remainder of 1 asks for a check digit of 10, which no CUIT has.
    if (verificador == 10 || verificador != digitos[10].digitValue())
        return QStringLiteral("El dígito verificador del CUIT no es correcto.");
    return std::nullopt;
}

const QStringList& clavesRequeridas() {
    static const QStringList claves{"PIVA",
                                    "PIVAREC",
                                    "DIGITOS_CAPITULO",
                                    "FECHAOPERDESDE",
                                    "FECHAOPERHASTA",
                                    "DIGITOS_SUBCAPITULO",
                                    "DIGITOS_RUBRO",
                                    "DIGITOS_SUBRUBRO",
                                    "DIGITOS_CUENTA",
                                    "DIGITOS_SUBCUENTA",
                                    "NIVEL_1",
                                    "NIVEL_2",
                                    "NIVEL_3",
                                    "NIVEL_4",
                                    "NIVEL_5",
                                    "NIVEL_6",
                                    "NOMBRE",
                                    "CONDIVA",
                                    "[FECHA DESDE]",
                                    "[FECHA HASTA]",
                                    "DESCRIPCION"};
    return claves;
}

// The field under examination, read once at the start of every check.
struct ValidacionConfiguracion::Campo {
    const ControlEnlazado& control;
    QString key;  // as the field carries it
    QString upper;
    QString valor;  // trimmed
    QString desdeEjercicio;
    QString hastaEjercicio;
};

ValidacionConfiguracion::ValidacionConfiguracion(FormularioConfiguracion& form) : form_(form) {}

void ValidacionConfiguracion::setReglasEjercicio(std::shared_ptr<ReglasEjercicio> reglas) {
    reglas_ = std::move(reglas);
}

Veredicto ValidacionConfiguracion::ValidaCampo(const ControlEnlazado& control) {
    puntoDecimal(control);
    const Campo campo{control,
                      control.dataField,
                      control.dataField.toUpper(),
                      form_.texto(control).trimmed(),
                      textoDeClave(form_, QStringLiteral("[FECHA DESDE]")).trimmed(),
                      textoDeClave(form_, QStringLiteral("[FECHA HASTA]")).trimmed()};
    errorCampo_ = false;
    if (campo.valor.isEmpty() && clavesRequeridas().contains(campo.upper))
        return faltaValor(control, campo.upper);

    const Resultado resultado = reglaDeValor(campo);
    if (const RunError* error = std::get_if<RunError>(&resultado)) {
        if (error->number == kLlamadaNoValida) return {};
        return errorInesperado(control, *error);
    }
    Veredicto veredicto;
    if (const QString* texto = std::get_if<QString>(&resultado)) {
        errorCampo_ = true;
        veredicto.valido = false;
        muestra(veredicto, {*texto + QStringLiteral("(") + campo.key + QStringLiteral(")"),
                            mb::OkOnly | mb::Information, kAvisoOperador});
    }
    return veredicto;
}

void ValidacionConfiguracion::puntoDecimal(const ControlEnlazado& control) {
    if (!clavesNumericas().contains(control.dataField.toUpper())) return;
    const QString texto = form_.texto(control);
    if (texto.count(u',') != 1 || texto.contains(u'.')) return;
    form_.setTexto(control, QString(texto).replace(u',', u'.'));
}

bool ValidacionConfiguracion::ValidaCampos() {
    errorCampo_ = false;
    for (const ControlEnlazado& c : controlesEnlazados()) {
        if (c.tipo != TipoControl::TextBox) continue;
        ValidaCampo(c);
        if (errorCampo_) break;
    }
    return !errorCampo_;
}

Veredicto ValidacionConfiguracion::faltaValor(const ControlEnlazado& campo, const QString& upper) {
    Veredicto veredicto;
    QString texto;
    if (upper == QLatin1String("PIVA")) {
        texto = QStringLiteral("Debe informar el Porcentaje de I.V.A. Vigente");
        veredicto.pestana = Pestana::IvaIngresosBrutos;
    } else if (upper == QLatin1String("PIVAREC")) {
        texto = QStringLiteral("Debe informar el Porcentaje de I.V.A. Acrecentamiento");
        veredicto.pestana = Pestana::IvaIngresosBrutos;
    } else if (upper.startsWith(QLatin1String("DIGITOS_")) ||
               upper.startsWith(QLatin1String("NIVEL_"))) {
        texto = QStringLiteral("Debe informar la cantidad de Digitos o el Nombre del Nivel");
        veredicto.pestana = Pestana::PlanCuentas;
    } else if (upper == QLatin1String("NOMBRE")) {
        texto = QStringLiteral("Debe informar el Nombre de la Empresa");
        veredicto.pestana = Pestana::Empresa;
    } else if (upper == QLatin1String("CONDIVA")) {
        texto = QStringLiteral("Debe informar la condición de IVA de la empresa");
        veredicto.pestana = Pestana::Empresa;
    } else if (isOneOf(upper, {"FECHAOPERDESDE", "FECHAOPERHASTA"})) {
        texto = QStringLiteral("Debe Informar una Fecha Operativa");
        veredicto.pestana = Pestana::General;
    } else {
        texto = QStringLiteral("Debe informar ") + campo.dataField;
    }
    if (veredicto.pestana != Pestana::Ninguna) form_.seleccionaPestana(veredicto.pestana);
    if (StepResult failure = form_.daFoco(campo)) {
        if (failure->number != kLlamadaNoValida) return errorInesperado(campo, *failure);
    } else {
        veredicto.foco = true;
    }
    errorCampo_ = true;
    veredicto.valido = false;
    muestra(veredicto, {texto, mb::OkOnly | mb::Critical, kAtencion});
    return veredicto;
}

ValidacionConfiguracion::Resultado ValidacionConfiguracion::reglaDeValor(const Campo& campo) {
    const QString& key = campo.upper;
    if (clavesPorcentaje().contains(key)) {
        const double n = numero(campo.valor);
        if (Brimcor2::EsNumerico(campo.valor) && n >= 0 && n <= 100) return {};
        return QStringLiteral(
            " EL CAMPO DEBE SER NUMERICO, MENOR O IGUAL A CIEN\r"
            "              Y MAYOR O IGUAL A CERO ");
    }
    if (clavesMontos().contains(key)) {
        if (Brimcor2::EsNumerico(campo.valor)) return {};
        return QStringLiteral(" EL CAMPO DEBE SER NUMERICO ");
    }
    if (key == QLatin1String("CPBAIB")) {
        if (campo.valor.isEmpty() ||
            db::sharedDb().ExisteEnTabla(QStringLiteral("TA_ESTADOS"), campo.valor,
                                         QStringLiteral("Codigo"), nullptr,
                                         Value(db::DB_Dll::kTipoTexto))) {
            return {};
        }
        return QStringLiteral(" NO EXISTE EL CODIGO DE PROVINCIA INGRESADO ");
    }
    if (key == QLatin1String("PERIODO")) return reglaPeriodo(campo);
    if (key == QLatin1String("FECHAOPERDESDE")) return reglaFechaOperativa(campo, true);
    if (key == QLatin1String("FECHAOPERHASTA")) return reglaFechaOperativa(campo, false);
    if (key == QLatin1String("CONDIVA")) return reglaCondIva(campo);
    if (key == QLatin1String("[FECHA DESDE]")) return reglaFechaEjercicio(campo, true);
    if (key == QLatin1String("[FECHA HASTA]")) return reglaFechaEjercicio(campo, false);
    return {};
}

ValidacionConfiguracion::Resultado ValidacionConfiguracion::reglaPeriodo(const Campo& campo) {
    // Another year shown than the active one: its whole range becomes the
    // operating window.
    if (numero(campo.valor) != numero(sesion().gPeriodo)) {
        setTextoDeClave(form_, QStringLiteral("FECHAOPERDESDE"),
                        textoDeClave(form_, QStringLiteral("[FECHA DESDE]")));
        setTextoDeClave(form_, QStringLiteral("FECHAOPERHASTA"),
                        textoDeClave(form_, QStringLiteral("[FECHA HASTA]")));
    }
    return {};
}

ValidacionConfiguracion::Resultado ValidacionConfiguracion::reglaFechaOperativa(const Campo& campo,
                                                                                bool desde) {
    if (campo.valor.isEmpty()) {
        return desde ? QStringLiteral(" Debe ingresar la fecha operativa inicial")
                     : QStringLiteral("Debe Ingresar la Fecha Operativa Tope");
    }
    const std::optional<QDate> date = fecha(campo.valor);
    if (!date) return QStringLiteral(" DEBE INGRESAR UNA FECHA VÁLIDA ");
    if (!desde) {
        const std::optional<QDate> from =
            fecha(textoDeClave(form_, QStringLiteral("FECHAOPERDESDE")).trimmed());
        if (from && from->daysTo(*date) < 0)
            return QStringLiteral(" LA FECHA HASTA NO PUEDE SER MENOR A LA FECHA DESDE ");
    }
    const std::optional<QDate> inicio = fecha(campo.desdeEjercicio);
    const std::optional<QDate> fin = fecha(campo.hastaEjercicio);
    if (!inicio || !fin) return tiposNoCoinciden();
    if (*inicio <= *date && *date <= *fin) return {};
    return desde ? QStringLiteral(
                       "La Fecha Operativa Desde debe estar dentro del\r"
                       " periodo del ejercicio activo")
                 : QStringLiteral(
                       "La Fecha Operativa Hasta debe estar dentro del\r"
                       " periodo del ejercicio activo");
}

ValidacionConfiguracion::Resultado ValidacionConfiguracion::reglaCondIva(const Campo& campo) {
    const double codigo = numero(campo.valor);
    if (codigo < 1 || codigo > 6)
        return QStringLiteral("La condición de IVA informada no es válida");
    const Value descripcion = db::sharedDb().DatosTabla(
        QStringLiteral("TA_CONDIVA"), campo.valor, QStringLiteral("DESCRIPCION"),
        QStringLiteral("CODIGO"), Value(db::DB_Dll::kTipoTexto), QString(), true, false);
    form_.setDescripcionCondIva(descripcion.toString());
    return {};
}

ValidacionConfiguracion::Resultado ValidacionConfiguracion::reglaFechaEjercicio(const Campo& campo,
                                                                                bool desde) {
    if (campo.valor.isEmpty()) {
        return desde ? QStringLiteral("Debe completar la Fecha Desde del Ejercicio")
                     : QStringLiteral("Debe completar la Fecha Hasta del Ejercicio");
    }
    if (!fecha(campo.valor)) {
        return desde ? QStringLiteral(
                           "El valor ingresado en la fecha desde del Ejercicio no es "
                           "válida")
                     : QStringLiteral(
                           "El valor ingresado en la fecha Hasta del Ejercicio no es "
                           "válida");
    }
    if (desde || !reglas_ || !fecha(campo.desdeEjercicio) || !fecha(campo.hastaEjercicio))
        return {};
    const auto answer =
        reglas_->ValidaRangoFechaEjercicio(campo.desdeEjercicio, campo.hastaEjercicio,
                                           Value(textoDeClave(form_, QStringLiteral("PERIODO"))));
    if (!answer) return answer.error();
    if (*answer) return {};
    return QStringLiteral(
        "Las fechas del ejercicio ingresadas interfieren con las de otro Ejercicio");
}

Veredicto ValidacionConfiguracion::errorInesperado(const ControlEnlazado& campo,
                                                   const RunError& error) {
    Veredicto veredicto;
    veredicto.valido = false;
    muestra(veredicto, {error.description, mb::OkOnly, QString()});
    if (error.number == kTipoNoCoincide) {
        muestra(veredicto, {QStringLiteral("Ingrese un nuevo ejercicio"),
                            mb::OkOnly | mb::Information, QStringLiteral("Aviso al Operador...")});
    }
    veredicto.foco = !form_.daFoco(campo);
    errorCampo_ = true;
    return veredicto;
}

void ValidacionConfiguracion::muestra(Veredicto& veredicto, const Aviso& aviso) {
    MsgBox(aviso.texto, aviso.estilo, aviso.titulo);
    veredicto.avisos.push_back(aviso);
}

}  // namespace kl::config
