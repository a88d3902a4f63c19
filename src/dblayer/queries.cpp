#include "dblayer/db_dll.h"
#include "dblayer/messages.h"
#include "dblayer/oracle_dialect.h"
#include "dblayer/reconnection.h"
#include "dblayer/restricted_views.h"
#include "dblayer/sql_text.h"
#include "platform/ado/transaction_scope.h"
#include "platform/conversions.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kl::db {

namespace {

// Reading a recordset fails as ADO's does.
RunError closedObject() {
    return {ado::err::ObjectClosed,
            QStringLiteral("No se permite realizar esta operación si el objeto está cerrado."),
            QStringLiteral("ADODB.Recordset")};
}

RunError itemNotFound() {
    return {ado::err::ItemNotFound,
            QStringLiteral("No se puede encontrar el elemento en la colección correspondiente "
                           "con el nombre o el ordinal pedido."),
            QStringLiteral("ADODB.Recordset")};
}

StepResult hasRow(const ado::Recordset& rs, bool& found) {
    if (rs.State() == ado::adStateClosed) return closedObject();
    found = !rs.BOF();
    return std::nullopt;
}

StepResult closeIfOpen(ado::Recordset& rs) {
    if (rs.State() == ado::adStateClosed) return std::nullopt;
    return rs.Close();
}

// The data type codes the lookups build their comparison by; a text that is
// not a number counts as no known type.
int typeCode(const Value& tipo) {
    const double code = tipo.toDouble();
    return code == std::floor(code) ? static_cast<int>(code) : -1;
}

bool isNumberType(int code) {
    return code == ado::adInteger || code == ado::adDouble || code == ado::adSingle;
}

bool mentionsTransaction(const QString& statement) {
    return containsText(statement, QStringLiteral("TRANS"));
}

}  // namespace

Reconnection DB_Dll::reconnect(int& counter) {
    // Closing the lost connection undoes the open transaction's earlier
    // statements, and the repeated one would then commit on its own: inside
    // a transaction the statement fails, the transaction's owner rolls back
    // and the operator is told as for any failed statement.
    if (ado::transactionLevel(*gCnn) > 0) return Reconnection::GeneralHandling;
    return runReconnection(
        counter,
        [this] {
            ReintentaConectar();
            return gOpenFlag;
        },
        [] {
            const DB_Dll& shared = sharedDb();
            return MsgBox(lostConnectionText(shared.gDBName, shared.gServidor),
                          mb::YesNo | mb::Critical,
                          QStringLiteral("AVISO AL OPERADOR")) == answer::Yes;
        });
}

void DB_Dll::AbrirRecordset(QString& SentenciaSQL, ado::Recordset& Lrcs,
                            std::shared_ptr<ado::Connection> Conexionactiva, int CursorType,
                            int LockType, long Options, bool ConvOracle) {
    int counter = 2;
    const FailureNotice notice = [&](const RunError& e) {
        const bool connectionLost =
            e.number == ado::err::ProviderFailure || e.number == ado::err::ConnectionClosed;
        if (connectionLost && !gCnn->errors().empty()) {
            switch (reconnect(counter)) {
                case Reconnection::RepeatStatement:
                    return answer::Retry;
                case Reconnection::ProgramEnded:
                    return answer::Abort;
                case Reconnection::GeneralHandling:
                    break;
            }
        }
        return TratamientoErrores(e, kBotonesError, QStringLiteral("AbrirRecordset"));
    };

    CierraRecordset(Lrcs);
    SentenciaSQL = SS_TSinonimos(SentenciaSQL);
    const bool onOracle = oracle::isOracle(gCnn->ConnectionString());
    const Step translate = [&]() -> StepResult {
        if (!onOracle || !ConvOracle) return std::nullopt;
        QString translated;
        StepResult failure = ORACLE_Dicc(SentenciaSQL, translated);
        if (!failure) SentenciaSQL = translated;
        return failure;
    };
    const Step open = [&] { return Lrcs.Open(SentenciaSQL, *gCnn, CursorType, LockType, Options); };
    if (runStep(translate, notice) == StepOutcome::Abandoned) return;
    if (Conexionactiva) gCnn = std::move(Conexionactiva);
    if (runStep(open, notice) == StepOutcome::Abandoned) return;
    DoEvents();
}

void DB_Dll::CierraRecordset(ado::Recordset& LrcsTemp) {
    const FailureNotice notice = [&](const RunError& e) {
        if (e.number == ado::err::NotAllowedInContext) {
            // A pending edit keeps the recordset from closing: drop the edit.
            LrcsTemp.CancelUpdate();
            closeIfOpen(LrcsTemp);
            return answer::Abort;
        }
        return TratamientoErrores(e, kBotonesError, QStringLiteral("CierraRecordset"));
    };
    runStep([&] { return closeIfOpen(LrcsTemp); }, notice);
}

StepOutcome DB_Dll::runStatement(QString& SentenciaSQL, long& RecordsAffected,
                                 std::unique_ptr<ado::Recordset>* Lrcs,
                                 const FailureNotice& notice) {
    const bool createsAndDrops = containsText(SentenciaSQL, QStringLiteral("CREATE")) &&
                                 containsText(SentenciaSQL, QStringLiteral("DROP"));
    if (!createsAndDrops || containsText(SentenciaSQL, QStringLiteral("DELETE")) ||
        containsText(SentenciaSQL, QStringLiteral("@ADMIN_"))) {
        SentenciaSQL = withoutAdminMarker(SentenciaSQL);
    } else {
        SentenciaSQL = SS_TSinonimos(SentenciaSQL);
    }
    const Step execute = [&]() -> StepResult {
        if (oracle::isOracle(gCnn->ConnectionString())) {
            return EjecutaLoteOracle(SentenciaSQL, RecordsAffected);
        }
        return gCnn->Execute(SentenciaSQL, &RecordsAffected, Lrcs, -1);
    };
    return runStep(execute, notice);
}

void DB_Dll::EjecutaConsultaSQL(QString& SentenciaSQL, long& RecordsAffected,
                                std::unique_ptr<ado::Recordset>* Lrcs) {
    ado::Errors& errors = sharedDb().gCnn->errors();
    // SQL Server lists a text cut to its column's size (native 8152) among
    // the errors; callers do not count it as a failure of the statement.
    auto dropTruncation = [&] {
        if (errors.empty() || mentionsTransaction(SentenciaSQL)) return;
        if (errors.Item(0).NativeError == ado::err::NativeTruncation) errors.Clear();
    };
    int counter = 0;
    const FailureNotice notice = [&](const RunError&) {
        if (errors.empty() || mentionsTransaction(SentenciaSQL)) return answer::Abort;
        if (errors.Item(0).NativeError == ado::err::NativeNetwork) {
            const bool restored = reconnect(counter) == Reconnection::RepeatStatement;
            return restored ? answer::Retry : answer::Abort;
        }
        dropTruncation();
        return answer::Abort;
    };
    const StepOutcome outcome = runStatement(SentenciaSQL, RecordsAffected, Lrcs, notice);
    if (outcome == StepOutcome::Done && (errors.Count() == 1 || errors.Count() == 2)) {
        dropTruncation();
    }
}

void DB_Dll::EjecutaConsultaRSQL(QString& SentenciaSQL, long& RecordsAffected,
                                 std::unique_ptr<ado::Recordset>* Lrcs) {
    // Its error checks read a layer that is never connected, so they never
    // find provider errors: only the error number decides, and the
    // truncation warning stays in the connection's list.
    const FailureNotice notice = [&](const RunError& e) {
        static constexpr std::array<long, 4> kQuiet = {ado::err::ProviderFailure,
                                                       ado::err::Constraint, ado::err::NoSuchTable,
                                                       ado::err::Syntax};
        const bool quiet = std::find(kQuiet.begin(), kQuiet.end(), e.number) != kQuiet.end();
        if (!quiet && !mentionsTransaction(SentenciaSQL)) {
            MsgBox(e.description, mb::Critical, QStringLiteral("Aviso al operador!!!"));
        }
        return answer::Abort;
    };
    runStatement(SentenciaSQL, RecordsAffected, Lrcs, notice);
}

int DB_Dll::lookupFailure(const RunError& e, ado::Connection& connection, int& counter) {
    const ado::Errors& errors = connection.errors();
    if (!errors.empty() && errors.Item(0).NativeError == ado::err::NativeNetwork) {
        switch (reconnect(counter)) {
            case Reconnection::RepeatStatement:
                return answer::Retry;
            case Reconnection::ProgramEnded:
                return answer::Abort;
            case Reconnection::GeneralHandling:
                break;
        }
    }
    return MsgBox(e.description, mb::AbortRetryIgnore | mb::Critical,
                  QStringLiteral("Aviso al Operador"));
}

Value DB_Dll::DatosTabla(const QString& Tabla, const QString& ValorBuscado,
                         const QString& CampoDevuelto, const QString& Campo, Value&& Tipodato,
                         const QString& Condicion, bool UsaTrim, bool IgnoraError) {
    return DatosTabla(Tabla, ValorBuscado, CampoDevuelto, Campo, Tipodato, Condicion, UsaTrim,
                      IgnoraError);
}

Value DB_Dll::DatosTabla(const QString& Tabla, const QString& ValorBuscado,
                         const QString& CampoDevuelto, const QString& Campo, Value& Tipodato,
                         const QString& Condicion, bool UsaTrim, bool IgnoraError) {
    if (Tipodato.toString() == u"'") Tipodato = Value(kTipoTexto);
    const QString extra =
        Condicion.trimmed().isEmpty() ? QString() : QStringLiteral(" AND ") + Condicion;
    const QString head =
        QStringLiteral("SELECT TOP 1 * FROM ") + Tabla + QStringLiteral(" with(nolock)  WHERE ");
    const int code = typeCode(Tipodato);
    QString statement;
    if (code == kTipoTexto && UsaTrim) {
        statement = head + QStringLiteral("LTRIM(RTRIM(") + Campo + QStringLiteral(")) =") +
                    sqlQuoted(ValorBuscado.trimmed()) + u' ' + extra;
    } else if (code == kTipoTexto) {
        statement = head + Campo + QStringLiteral(" =") + sqlQuoted(ValorBuscado) + u' ' + extra;
    } else if (code == ado::adDate) {
        statement = head + Campo + QStringLiteral(" = #") + ValorBuscado.trimmed() +
                    QStringLiteral("# ") + extra;
    } else if (isNumberType(code)) {
        statement = head + Campo + QStringLiteral(" = ") + leadingNumberText(ValorBuscado) + extra;
    } else {
        statement = head + Campo + QStringLiteral(" = ") + ValorBuscado + extra;
    }

    Value result{QString()};
    ado::Recordset rs;
    AbrirRecordset(statement, rs, gCnn, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true);
    if (!gOpenFlag) return result;
    int counter = 0;
    const FailureNotice notice = [&](const RunError& e) {
        if (!IgnoraError) return lookupFailure(e, *gCnn, counter);
        result = Value(QString());
        return answer::Abort;
    };
    runSteps({[&]() -> StepResult {
                  if (rs.State() == ado::adStateClosed) return closedObject();
                  if (rs.BOF()) return std::nullopt;
                  if (!rs.field(CampoDevuelto)) return itemNotFound();
                  result = Value(rs.value(CampoDevuelto).toString());
                  return std::nullopt;
              },
              [&] { return closeIfOpen(rs); }},
             notice);
    return result;
}

bool DB_Dll::existsIn(QString statement, ado::Recordset* Lrcs, bool SoloLectura, bool rewrite,
                      ado::Connection& connection) {
    bool found = false;
    int counter = 0;
    const FailureNotice notice = [&](const RunError& e) {
        return lookupFailure(e, connection, counter);
    };
    if (Lrcs) {
        const int cursorType = SoloLectura ? ado::adOpenForwardOnly : Lrcs->CursorType();
        const int lockType = SoloLectura ? ado::adLockReadOnly : Lrcs->LockType();
        return runSteps({[&] { return closeIfOpen(*Lrcs); },
                         [&] { return Lrcs->Open(statement, connection, cursorType, lockType); },
                         [&] { return hasRow(*Lrcs, found); }},
                        notice) &&
               found;
    }
    ado::Recordset rs;
    return runSteps({[&]() -> StepResult {
                         if (!rewrite) return std::nullopt;
                         QString translated;
                         StepResult failure = ORACLE_Dicc(statement, translated);
                         if (!failure) statement = translated;
                         return failure;
                     },
                     [&] {
                         return rs.Open(statement, connection, ado::adOpenForwardOnly,
                                        ado::adLockReadOnly, -1);
                     },
                     [&] { return hasRow(rs, found); }, [&] { return closeIfOpen(rs); }},
                    notice) &&
           found;
}

namespace {

// How ExisteEnTabla and ExisteEnTablaST write their statements.
struct ExistenceForm {
    QString select;           // up to the table name
    QString selectForText;    // the same for the text comparison
    QString beforeWhere;      // after the table name, before the column
    QString beforeCondition;  // after the table name, before a caller's condition
    bool trimsText;
};

const ExistenceForm& topForm() {
    static const ExistenceForm form{
        QStringLiteral("SELECT TOP 1 * FROM "), QStringLiteral("SELECT TOP 1  * FROM "),
        QStringLiteral(" with(nolock)  WHERE "), QStringLiteral(" with(nolock) "), true};
    return form;
}

const ExistenceForm& everyRowForm() {
    static const ExistenceForm form{
        QStringLiteral("SELECT * FROM "), QStringLiteral("SELECT * FROM "),
        QStringLiteral(" with(nolock)   WHERE "), QStringLiteral(" with(nolock)  "), false};
    return form;
}

QString existenceStatement(const ExistenceForm& form, const QString& Tabla,
                           const QString& ValorBuscado, const QString& Campo, const Value& Tipodato,
                           const QString& Condicion) {
    if (!Condicion.isEmpty()) {
        const QString where = containsText(Condicion, QStringLiteral(" WHERE "))
                                  ? QStringLiteral(" ")
                                  : QStringLiteral(" WHERE ");
        return form.select + Tabla + form.beforeCondition + where + Condicion;
    }
    const int code = typeCode(Tipodato);
    if (code == DB_Dll::kTipoTexto) {
        const QString comparison =
            form.trimsText ? QStringLiteral("LTRIM(RTRIM(") + Campo + QStringLiteral(")) =") +
                                 sqlQuoted(ValorBuscado.trimmed())
                           : Campo + QStringLiteral(" =") + sqlQuoted(ValorBuscado);
        return form.selectForText + Tabla + form.beforeWhere + comparison;
    }
    const QString head = form.select + Tabla + form.beforeWhere + Campo + QStringLiteral(" = ");
    if (code == ado::adDate) return head + ValorBuscado.trimmed() + u' ';
    if (isNumberType(code)) return head + leadingNumberText(ValorBuscado);
    return head + ValorBuscado;
}

}  // namespace

bool DB_Dll::ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                           ado::Recordset* Lrcs, const Value& Tipodato, const QString& Condicion,
                           bool SoloLectura) {
    const QString statement =
        existenceStatement(topForm(), Tabla, ValorBuscado, Campo, Tipodato, Condicion);
    return existsIn(SS_TSinonimos(statement), Lrcs, SoloLectura, true, *gCnn);
}

bool DB_Dll::ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado,
                             const QString& Campo, ado::Recordset* Lrcs, const Value& Tipodato,
                             const QString& Condicion, bool SoloLectura) {
    const QString statement =
        existenceStatement(everyRowForm(), Tabla, ValorBuscado, Campo, Tipodato, Condicion);
    return existsIn(statement, Lrcs, SoloLectura, false, *sharedDb().gCnn);
}

ValueOrError DB_Dll::firstValue(const QString& statement, const QString& column, bool asText) {
    ado::Recordset rs;
    if (StepResult failure =
            rs.Open(statement, *gCnn, ado::adOpenForwardOnly, ado::adLockReadOnly, -1)) {
        return *failure;
    }
    if (rs.BOF()) return Value();
    const QString text = rs.value(column).toString();
    return asText ? Value(text) : Value(conv::leadingNumber(text));
}

ValueOrError DB_Dll::BuscaMaximo(const QString& QueTabla, const QString& QueCampo,
                                 const Value& Tipo, QString* Condicion) {
    QString ownCondition;
    QString& condition = Condicion ? *Condicion : ownCondition;
    const bool asText = !Tipo.isEmpty() && typeCode(Tipo) == ado::adDate;
    // Article codes beginning with a zero are not numbered codes; the rule
    // is applied once, so a code the server trims differently cannot loop.
    bool zeroCodesExcluded = false;
    for (;;) {
        QString statement = QStringLiteral("SELECT MAX(") + QueCampo +
                            QStringLiteral(") AS MAYOR FROM ") + QueTabla;
        if (!condition.trimmed().isEmpty())
            statement += QStringLiteral(" WHERE ") + condition.trimmed();
        ValueOrError found = firstValue(statement, QStringLiteral("MAYOR"), true);
        const Value* text = std::get_if<Value>(&found);
        if (!text || text->isEmpty()) return found;
        const bool articles =
            QueTabla.compare(QStringLiteral("V_MA_ARTICULOS"), Qt::CaseInsensitive) == 0;
        if (articles && !zeroCodesExcluded && text->toString().trimmed().startsWith(u'0')) {
            zeroCodesExcluded = true;
            const QString rule = QStringLiteral("substring(ltrim(idarticulo),1,1)<>'0'");
            if (condition.trimmed().isEmpty()) {
                condition = u' ' + rule;
            } else {
                condition += QStringLiteral(" and ") + rule;
            }
            continue;
        }
        return asText ? *text : Value(conv::leadingNumber(text->toString()));
    }
}

ValueOrError DB_Dll::BuscaMinimo(const QString& QueTabla, const QString& QueCampo,
                                 const Value& Tipo, const QString& Condicion) {
    QString statement = QStringLiteral("SELECT MIN(") + QueCampo +
                        QStringLiteral(") AS MENOR FROM ") + QueTabla +
                        QStringLiteral("  with(nolock) ");
    if (!Condicion.trimmed().isEmpty())
        statement += QStringLiteral(" WHERE ") + Condicion.trimmed();
    return firstValue(statement, QStringLiteral("MENOR"), false);
}

ValueOrError DB_Dll::BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo,
                                       const Value& Tipo, const QString& Condicion) {
    QString statement =
        QStringLiteral("SELECT MAX(") + QueCampo + QStringLiteral(") AS MAYOR FROM ") + QueTabla;
    if (!Condicion.trimmed().isEmpty()) statement += QStringLiteral(" WHERE ") + Condicion;
    return firstValue(statement, QStringLiteral("MAYOR"), false);
}

}  // namespace kl::db
