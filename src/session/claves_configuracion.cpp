#include "session/claves_configuracion.h"

#include "dblayer/db_dll.h"
#include "dblayer/sql_text.h"
#include "platform/conversions.h"
#include "platform/error_numbers.h"
#include "session/brimcor2.h"

#include <cmath>
#include <limits>

namespace kl {

namespace {

bool esClaveDeFecha(const QString& clave) {
    return clave.compare(QStringLiteral("[FECHA DESDE]"), Qt::CaseInsensitive) == 0 ||
           clave.compare(QStringLiteral("[FECHA HASTA]"), Qt::CaseInsensitive) == 0;
}

RunError objetoCerrado() {
    return {ado::err::ObjectClosed,
            QStringLiteral("No se permite realizar esta operación si el objeto está cerrado."),
            QStringLiteral("ADODB.Recordset")};
}

RunError elementoNoEncontrado(const QString& columna) {
    return {ado::err::ItemNotFound,
            QStringLiteral("No se puede encontrar el elemento %1 en la colección.").arg(columna),
            QStringLiteral("ADODB.Recordset")};
}

RunError desbordamiento() {
    return {ado::err::Overflow, QStringLiteral("Desbordamiento"),
            QStringLiteral("KLStuffContable")};
}

// The column's value of the current row, failing as ADO does when the
// recordset lacks the column.
StepResult leeColumna(const ado::Recordset& rs, const QString& columna, QString& valor) {
    if (!rs.field(columna)) return elementoNoEncontrado(columna);
    valor = Brimcor2::ValorNoNulo(rs.value(columna));
    return std::nullopt;
}

// A level's digit count or position; a 16-bit field holds it, as the
// account-structure change expects.
StepResult comoNivel(double numero, std::int16_t& nivel) {
    const double redondeado = conv::roundHalfEven(numero);
    if (!std::isfinite(redondeado) || redondeado < std::numeric_limits<std::int16_t>::min() ||
        redondeado > std::numeric_limits<std::int16_t>::max()) {
        return desbordamiento();
    }
    nivel = static_cast<std::int16_t>(redondeado);
    return std::nullopt;
}

double numeroDeClave(int nivel) {
    return conv::leadingNumber(Cfg(QString::fromLatin1(kClavesDigitosNivel[nivel])));
}

}  // namespace

QString Cfg(const QString& clave, QString& valorAux) {
    Sesion& s = sesion();
    db::DB_Dll& db = db::sharedDb();
    if (s.gTablaConfiguracion.trimmed().isEmpty())
        s.gTablaConfiguracion = QStringLiteral("TA_CONFIGURACION");
    QString sql = QStringLiteral("SELECT VALOR, valoraux FROM ") + s.gTablaConfiguracion +
                  QStringLiteral(" WHERE CLAVE = ") + db::sqlQuoted(clave.trimmed());
    if (esClaveDeFecha(clave.trimmed())) sql = sql.toUpper();
    ado::Recordset rs;
    // The layer shows a failed open itself; reading the closed recordset
    // then fails here.
    db.AbrirRecordset(sql, rs);

    QString resultado;
    QString auxiliar = valorAux;
    const bool seguido = runSteps({[&]() -> StepResult {
                                       if (rs.State() == ado::adStateClosed) return objetoCerrado();
                                       if (rs.EOF()) {
                                           resultado = QStringLiteral(" ");
                                           auxiliar.clear();
                                           return std::nullopt;
                                       }
                                       return leeColumna(rs, QStringLiteral("Valor"), resultado);
                                   },
                                   [&]() -> StepResult {
                                       if (rs.State() == ado::adStateClosed || rs.EOF())
                                           return std::nullopt;
                                       return leeColumna(rs, QStringLiteral("ValorAux"), auxiliar);
                                   }},
                                  Brimcor2::avisoErrorPara(QStringLiteral("Cfg")));
    db.CierraRecordset(rs);
    if (!seguido) return QString();
    valorAux = auxiliar;
    return resultado;
}

QString Cfg(const QString& clave) {
    QString valorAux;
    return Cfg(clave, valorAux);
}

void GrabaDfg(const QString& clave, const Value& valor, const QString& valorAux,
              bool politicaNegocio, const QString& grupo) {
    db::DB_Dll& db = db::sharedDb();
    const QString sql = QStringLiteral("SELECT * FROM ") + sesion().gTablaConfiguracion +
                        QStringLiteral(" WHERE CLAVE = ") + db::sqlQuoted(clave);
    ado::Recordset rs;
    auto asigna = [&](const char* columna, const Value& v) {
        return [&rs, columna, v]() { return rs.setValue(QString::fromLatin1(columna), v); };
    };
    runSteps(
        {[&] { return rs.Open(sql, *db.gCnn, ado::adOpenDynamic, ado::adLockOptimistic); },
         [&]() -> StepResult {
             if (rs.State() == ado::adStateClosed) return objetoCerrado();
             return rs.EOF() ? rs.AddNew() : rs.MoveFirst();
         },
         asigna("Grupo", grupo), asigna("Clave", clave.trimmed().toUpper()),
         asigna("Valor", valor.toString().trimmed()), asigna("PoliticaNegocio", politicaNegocio),
         [&]() -> StepResult {
             if (valorAux.isEmpty()) return std::nullopt;
             return rs.setValue(QStringLiteral("ValorAux"), valorAux.trimmed());
         },
         [&] { return rs.Update(); }, [&] { return rs.Close(); }},
        Brimcor2::avisoErrorPara(QStringLiteral("GrabaDfg")));
}

StepResult LeeDigitosNiveles() {
    DigitosNiveles& digitos = sesion().gDigitosNivel;
    for (int nivel = 0; nivel < kNivelesCuenta; ++nivel) {
        if (StepResult falla = comoNivel(numeroDeClave(nivel), digitos[nivel])) return falla;
    }
    return std::nullopt;
}

StepResult CalculaPosicionesNiveles() {
    DigitosNiveles& posiciones = sesion().gPosicionNivel;
    for (int nivel = 0; nivel < kNivelesCuenta; ++nivel) {
        const double anterior = nivel == 0 ? 0.0 : posiciones[nivel - 1];
        if (StepResult falla = comoNivel(numeroDeClave(nivel) + anterior, posiciones[nivel]))
            return falla;
    }
    return std::nullopt;
}

}  // namespace kl
