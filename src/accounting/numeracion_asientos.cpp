// The numbering of journal entries and the other counters the data-entry
// programs ask the rules for.

#include "accounting/consultas_reglas.h"
#include "accounting/lbc_asiento.h"
#include "platform/error_numbers.h"

#include "dblayer/db_dll.h"
#include "dblayer/sql_text.h"
#include "platform/conversions.h"
#include "session/aviso_operador.h"
#include "session/brimcor2.h"

#include <cmath>

namespace kl::accounting {

namespace {

constexpr int kDigitosNumero = 7;

// The general journal's lines carry this mark, or nothing, as their journal.
QString marcaDiarioGeneral() {
    return QChar(0xFF) + QStringLiteral("RS");
}

// The next value after a maximum the query read: "1" when there is none.
QString siguienteDe(const Value& maximo) {
    if (maximo.isNull() || maximo.isEmpty()) return QStringLiteral("1");
    return Value(conv::leadingNumber(Brimcor2::ValorNoNulo(maximo)) + 1).toString().trimmed();
}

// Runs a maximum's query under the error notice and answers the next value;
// an empty text when the operator leaves the notice.
QString siguienteCodigo(const QString& rutina, const std::function<StepResult()>& validar,
                        const QString& sentencia, const QString& columna, int cursor, int bloqueo) {
    db::DB_Dll& db = db::sharedDb();
    ado::Recordset rs;
    QString siguiente;
    runSteps({[&]() -> StepResult {
                  if (StepResult rechazo = validar()) return rechazo;
                  return abreConsulta(sentencia, rs, cursor, bloqueo);
              },
              [&]() -> StepResult {
                  if (StepResult cerrado = requiereAbierto(rs)) return cerrado;
                  Value maximo;
                  if (!rs.EOF()) {
                      if (StepResult e = leeCampo(rs, columna, maximo)) return e;
                  }
                  siguiente = siguienteDe(maximo);
                  return std::nullopt;
              }},
             avisoOperadorPara(rutina));
    db.CierraRecordset(rs);
    return siguiente;
}

}  // namespace

std::int32_t Lbc_Asiento::UltimoNumeroAsiento(const Value& mesOperativo,
                                              const std::optional<QString>& TipoReg,
                                              const std::optional<Value>& Periodo) {
    const QString mes = Brimcor2::ValorNoNulo(mesOperativo);
    const QString periodo =
        Periodo ? Brimcor2::ValorNoNulo(*Periodo) : QString::number(periodoActivo_);
    // Built here, run only once both numbers have passed.
    QString sql = QStringLiteral(
                      "SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM @ADMIN_MV_ASIENTOS "
                      "WHERE MES_OPERATIVO = ") +
                  mes + QStringLiteral(" AND PERIODO = '") + db::leadingNumberText(periodo);
    if (TipoReg && !TipoReg->trimmed().isEmpty())
        sql += QStringLiteral("' AND TIPO_REG = ") + db::sqlQuoted(*TipoReg) + u' ';
    else
        sql += QStringLiteral("' AND (TIPO_REG = '") + marcaDiarioGeneral() +
               QStringLiteral("' OR TIPO_REG = '') ");
    const QString siguiente = siguienteCodigo(
        QStringLiteral("UltimoNumeroAsiento"),
        [&]() -> StepResult {
            if (StepResult rechazo = enteroParaSentencia(mes, QStringLiteral("el mes operativo")))
                return rechazo;
            return enteroParaSentencia(periodo, QStringLiteral("el ejercicio"));
        },
        sql, QStringLiteral("Nro_Asiento"), ado::adOpenForwardOnly, ado::adLockReadOnly);
    // Left under the notice: 0, as for a number beyond the entry numbers' range.
    std::int32_t numero = 0;
    if (siguiente.isEmpty() || aEntero32(siguiente, numero)) return 0;
    return numero;
}

StepResult Lbc_Asiento::FormatDisplayNroAsiento(const Value& numero, const QDate& fecha,
                                                QString& display) {
    if (!fecha.isValid())
        return RunError{ado::err::TypeMismatch,
                        QStringLiteral("No coinciden los tipos: la fecha no es válida"),
                        QStringLiteral("Lbc_Asiento")};
    std::int32_t nro = 0;
    if (StepResult e = aEntero32(Brimcor2::ValorNoNulo(numero), nro)) return e;
    display = conCeros(fecha.month(), 2) + u'-' + conCeros(nro, kDigitosNumero);
    return std::nullopt;
}

QString Lbc_Asiento::FMTNroAsiento(const QString& texto) {
    const QString compacto = Brimcor2::QuitaCaracteres(texto, QStringLiteral("-")).trimmed();
    if (compacto.size() < 3) return texto;
    const double numero = conv::leadingNumber(compacto.mid(2).trimmed());
    return compacto.left(2).trimmed() + u'-' + conCeros(std::llround(numero), kDigitosNumero);
}

QString Lbc_Asiento::FormatNroAsiento(const QString& display) {
    const qsizetype guion = display.indexOf(u'-');
    return db::leadingNumberText(guion < 0 ? display : display.mid(guion + 1)).trimmed();
}

StepResult Lbc_Asiento::EliminaCarNroAsiento(const QString& texto, Value& resultado,
                                             std::optional<int> TipoResultado,
                                             const QString& Separador) {
    if (texto.isEmpty()) {
        resultado = Value(QString());
        return std::nullopt;
    }
    const qsizetype corte = texto.indexOf(Separador);
    const QString unido = corte < 0
                              ? texto
                              : db::leadingNumberText(texto.left(corte)) +
                                    db::leadingNumberText(texto.mid(corte + Separador.size()));
    if (TipoResultado == 2 || TipoResultado == 3) {
        std::int32_t numero = 0;
        if (StepResult e = aEntero32(unido, numero)) return e;
        resultado = Value(numero);
    } else {
        resultado = Value(unido);
    }
    return std::nullopt;
}

std::int16_t Lbc_Asiento::CalculoDV(const Value& cuenta) {
    static constexpr int kPesos[] = {9, 7, 5, 3, 1};
    const QString codigo = Brimcor2::ValorNoNulo(cuenta);
    std::int64_t suma = 0;
    for (qsizetype i = 0; i < codigo.size(); ++i) {
        const char16_t c = codigo.at(i).unicode();
        const int digito = c >= u'0' && c <= u'9' ? c - u'0' : 0;
        suma += kPesos[i % std::size(kPesos)] * digito;
    }
    while (suma >= 100) suma /= 10;
    return static_cast<std::int16_t>(suma);
}

StepResult Lbc_Asiento::UltimoAjuste(QString& fecha, QString& periodo, Value& NroAsiento) const {
    fecha.clear();
    periodo.clear();
    NroAsiento = Value(0);
    ado::Recordset rs;
    const auto cierra = [&](StepResult resultado) {
        db::sharedDb().CierraRecordset(rs);
        return resultado;
    };
    if (StepResult e =
            abreConsulta(QStringLiteral("SELECT top 1  * FROM MV_ASIENTOS WHERE PERIODO = ") +
                             QString::number(periodoActivo_) + QStringLiteral(" AND EsAjuste = 1"),
                         rs, ado::adOpenDynamic, ado::adLockOptimistic))
        return cierra(e);
    if (rs.EOF()) return cierra(std::nullopt);
    Value dia, hasta, numero;
    if (StepResult e = leeCampo(rs, QStringLiteral("fecha"), dia)) return cierra(e);
    if (StepResult e = leeCampo(rs, QStringLiteral("Ajuste_Hasta"), hasta)) return cierra(e);
    if (StepResult e = leeCampo(rs, QStringLiteral("numero asiento"), numero)) return cierra(e);
    if (!dia.isNull()) fecha = conv::formatDate(dia.toDateTime().date());
    periodo = Brimcor2::ValorNoNulo(hasta);
    NroAsiento = numero;
    return cierra(std::nullopt);
}

QString Lbc_Asiento::UltimoIDBienDeUso() {
    return siguienteCodigo(
        QStringLiteral("UltimoIdBienDeUso"), [] { return StepResult(); },
        QStringLiteral("SELECT MAX(CODIGO) AS [ELCODIGO] FROM MA_BIENES"),
        QStringLiteral("ELCODIGO"), ado::adOpenForwardOnly, ado::adLockReadOnly);
}

QString Lbc_Asiento::UltimoIDNovedadBienDeUso(const QString& codigo) {
    return siguienteCodigo(
        QStringLiteral("UltimoIdNovedadBienDeUso"),
        [&] { return enteroParaSentencia(codigo, QStringLiteral("el bien de uso")); },
        QStringLiteral("SELECT MAX(ID) AS [ELID] FROM MA_BIENES_novedades WHERE CODIGO = ") +
            codigo.trimmed(),
        QStringLiteral("ELID"), ado::adOpenDynamic, ado::adLockOptimistic);
}

}  // namespace kl::accounting
