#include "config/niveles_cuenta.h"

#include "config/copia_seguridad.h"
#include "dblayer/db_dll.h"
#include "platform/conversions.h"
#include "platform/dialogs.h"
#include "progress/dll_display.h"
#include "session/claves_configuracion.h"

#include <algorithm>
#include <limits>

namespace kl::config {

namespace {

// The key names the level question quotes, as the accept flow writes them.
constexpr const char* kCamposNivel[kNivelesCuenta] = {"digitos_capitulo", "digitos_SubCapitulo",
                                                      "digitos_Rubro",    "digitos_SubRubro",
                                                      "digitos_Cuenta",   "digitos_SubCuenta"};

const QString kSalto = QStringLiteral("\r\n");
const QString kAtencion = QStringLiteral("Atención");

QString textoDigitos(const FormularioConfiguracion& form, int nivel) {
    const ControlEnlazado* campo = buscaNivel(nivel, RolNivel::Digitos);
    return campo ? form.texto(*campo) : QString();
}

std::int16_t comoNivel(int digitos) {
    return static_cast<std::int16_t>(std::clamp<int>(digitos,
                                                     std::numeric_limits<std::int16_t>::min(),
                                                     std::numeric_limits<std::int16_t>::max()));
}

void muestraResultado(const ResultadoRenumeracion& r) {
    using Estado = ResultadoRenumeracion::Estado;
    if (r.estado == Estado::Colision) {
        MsgBox(QStringLiteral("No se puede actualizar el Plan de Cuentas: con la nueva cantidad de "
                              "dígitos estas cuentas quedarían con el mismo código:") +
                   kSalto + r.colisiones.join(kSalto) + kSalto +
                   QStringLiteral("No se modificó ninguna cuenta ni ningún movimiento."),
               mb::OkOnly | mb::Critical, kAtencion);
    } else if (r.estado == Estado::Cancelada) {
        MsgBox(QStringLiteral("Se canceló la actualización del Plan de Cuentas: no se modificó "
                              "ninguna cuenta, ningún movimiento ni la cantidad de dígitos."),
               mb::OkOnly | mb::Information, kAtencion);
    } else if (r.estado == Estado::Fallida) {
        MsgBox(r.error.description, mb::OkOnly, QStringLiteral("Error en Grabación"));
    }
}

}  // namespace

int digitosDeTexto(const QString& texto) {
    const double valor = conv::roundHalfEven(conv::leadingNumber(texto));
    return static_cast<int>(std::clamp<double>(valor, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

NivelesCuenta::NivelesCuenta(FormularioConfiguracion& form) : form_(form) {}

bool NivelesCuenta::VerificaNivel(int nivel) {
    const int i = nivel - 1;
    const int nuevo = digitosDeTexto(textoDigitos(form_, nivel));
    const QString guardado = Cfg(QString::fromLatin1(kCamposNivel[i])).trimmed();
    const int anterior = digitosDeTexto(guardado);
    guardados_[i] = comoNivel(anterior);
    confirmados_[i] = comoNivel(anterior);
    if (nuevo == anterior) return true;
    // A level never stored, or one no account code reaches, has nothing to
    // renumber (a brand-new database has neither): its digits are simply
    // saved. Counting it as stored keeps the renumbering away from it.
    if (nuevo > anterior && (guardado.isEmpty() || !hayCodigosQueAlcanzan(i))) {
        guardados_[i] = confirmados_[i] = comoNivel(nuevo);
        return true;
    }
    if (nuevo < anterior) {
        MsgBox(QStringLiteral("No se puede reducir la cantidad de Digitos, unicamente podra ser "
                              "aumentado") +
                   kSalto +
                   QStringLiteral("Restaure el Valor Anterior o Cancele las modificaciones"),
               mb::OkOnly | mb::Critical, kAtencion);
        return false;
    }
    const int respuesta =
        MsgBox(QStringLiteral("Se ha modificado la Cantidad de Digitos ") + kSalto +
                   QStringLiteral("El Sistema Actualizará el Plan de Cuentas y los Movimientos "
                                  "cargados") +
                   kSalto +
                   QStringLiteral("Este proceso puede demorar algunos minutos...-Desea confirmar "
                                  "los Cambios?") +
                   kSalto + QStringLiteral("Campo: ") + QString::fromLatin1(kCamposNivel[i]),
               mb::YesNo | mb::Information, kAtencion);
    if (respuesta != answer::Yes) return false;
    confirmados_[i] = comoNivel(nuevo);
    return true;
}

bool NivelesCuenta::hayCodigosQueAlcanzan(int i) {
    if (!largoMayor_) {
        const db::ValueOrError mayor =
            db::sharedDb().BuscaMaximo(QStringLiteral("MA_CUENTAS"),
                                       QStringLiteral("LEN(RTRIM(CODIGO))"), Value(ado::adInteger));
        // Without an answer the codes may reach any level: the operator is asked.
        const Value* largo = std::get_if<Value>(&mayor);
        largoMayor_ = largo ? static_cast<int>(largo->toInt64()) : std::numeric_limits<int>::max();
    }
    int inicio = 0;
    for (int j = 0; j < i; ++j) inicio += guardados_[j];
    return *largoMayor_ > inicio;
}

bool NivelesCuenta::VerificaNiveles() {
    guardados_ = {};
    confirmados_ = {};
    largoMayor_.reset();
    for (int nivel = 1; nivel <= kNivelesCuenta; ++nivel) {
        if (!VerificaNivel(nivel)) {
            confirmados_ = guardados_;
            return false;
        }
    }
    return true;
}

bool NivelesCuenta::ValidaDigitos() {
    long long suma = 0;
    for (int nivel = 1; nivel <= kNivelesCuenta; ++nivel)
        suma += digitosDeTexto(textoDigitos(form_, nivel));
    return suma <= 15;
}

bool NivelesCuenta::AplicaNiveles() {
    if (confirmados_ != guardados_ && !Renumera()) return false;
    Sesion& s = sesion();
    s.gDigitosNivel = confirmados_;
    std::int16_t posicion = 0;
    for (int i = 0; i < kNivelesCuenta; ++i) s.gPosicionNivel[i] = posicion += confirmados_[i];
    guardados_ = confirmados_;
    return true;
}

bool NivelesCuenta::Renumera() {
    Dll_Display& cartel = dllDisplay();
    cartel.CartelInicio(QStringLiteral("Actualizando el Plan de Cuentas"), true);
    if (!CopiaAntesDe(QStringLiteral("renumeracion"), &cartel)) {
        cartel.CartelCerrar();
        return false;
    }
    const ResultadoRenumeracion r = RenumeraNiveles(
        guardados_, confirmados_,
        [&cartel](const Avance& a) {
            bool cancelado = false;
            cartel.CartelMostrar(
                cancelado,
                Value(QStringLiteral("Cuentas: %1 de %2").arg(a.cuentas).arg(a.totalCuentas)),
                Value(QStringLiteral("Movimientos: %1 de %2")
                          .arg(a.renglones)
                          .arg(a.totalRenglones)));
            return !cancelado;
        },
        opciones_);
    cartel.CartelCerrar();
    if (r.estado == ResultadoRenumeracion::Estado::Hecha) return true;
    if (r.estado == ResultadoRenumeracion::Estado::Cancelada) {
        // The digits boxes show what is stored again, so that the next
        // accept neither asks nor renumbers unless the operator types anew.
        for (int nivel = 1; nivel <= kNivelesCuenta; ++nivel) {
            const int i = nivel - 1;
            const ControlEnlazado* campo = buscaNivel(nivel, RolNivel::Digitos);
            if (campo && confirmados_[i] != guardados_[i])
                form_.setTexto(*campo, QString::number(guardados_[i]));
        }
        confirmados_ = guardados_;
    }
    muestraResultado(r);
    return false;
}

}  // namespace kl::config
