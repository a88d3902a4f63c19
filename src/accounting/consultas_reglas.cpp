#include "accounting/consultas_reglas.h"

#include "accounting/lbc_asiento.h"
#include "dblayer/db_dll.h"
#include "platform/error_numbers.h"

#include <QRegularExpression>

namespace kl::accounting {

StepResult abreConsulta(const QString& sentencia, ado::Recordset& rs, int cursor, int bloqueo) {
    QString sql = sentencia;
    db::sharedDb().AbrirRecordset(sql, rs, nullptr, cursor, bloqueo);
    return requiereAbierto(rs);
}

StepResult leeCampo(const ado::Recordset& rs, const QString& columna, Value& valor) {
    if (StepResult cerrado = requiereAbierto(rs)) return cerrado;
    if (!rs.field(columna))
        return RunError{
            ado::err::ItemNotFound,
            QStringLiteral("No se puede encontrar el elemento %1 en la colección.").arg(columna),
            QStringLiteral("ADODB.Recordset")};
    valor = rs.value(columna);
    return std::nullopt;
}

StepResult enteroParaSentencia(const QString& texto, const QString& que) {
    static const QRegularExpression entero(QStringLiteral("^[+-]?[0-9]+$"));
    if (entero.match(texto.trimmed()).hasMatch()) return std::nullopt;
    return RunError{ado::err::TypeMismatch,
                    QStringLiteral("No coinciden los tipos: ") + que + QStringLiteral(" \"") +
                        texto.trimmed() + QStringLiteral("\" no es un número entero"),
                    QStringLiteral("Lbc_Asiento")};
}

QString conCeros(std::int64_t numero, int ancho) {
    // Negated as unsigned, so the smallest number has a magnitude too.
    const qulonglong magnitud =
        numero < 0 ? 0ULL - static_cast<qulonglong>(numero) : static_cast<qulonglong>(numero);
    const QString digitos = QString::number(magnitud).rightJustified(ancho, u'0');
    return numero < 0 ? u'-' + digitos : digitos;
}

}  // namespace kl::accounting
