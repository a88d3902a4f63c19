#include "dblayer/db_dll.h"
#include "dblayer/oracle_dialect.h"
#include "dblayer/sql_text.h"

namespace kl::db {

// The catalogue's names are compared as the program compares names: trimmed
// and in any case.
bool DB_Dll::catalogueHas(int kind, const QStringList& restrictions, const QString& column,
                          const QString& wanted) {
    const FailureNotice notice = [](const RunError& e) {
        return sharedDb().TratamientoErrores(e, kBotonesError, QStringLiteral("VerificaCampos"));
    };
    std::unique_ptr<ado::Recordset> rows;
    const Step open = [&] { return gCnn->OpenSchema(kind, restrictions, rows); };
    if (runStep(open, notice) != StepOutcome::Done || !rows) return false;
    const QString target = wanted.trimmed();
    const Step next = [&] { return rows->MoveNext(); };
    while (!rows->EOF()) {
        if (rows->value(column).toString().trimmed().compare(target, Qt::CaseInsensitive) == 0)
            return true;
        if (runStep(next, notice) == StepOutcome::Abandoned) return false;
    }
    return false;
}

bool DB_Dll::ExisteTablaDB(const QString& Tabla) {
    return catalogueHas(ado::adSchemaTables, {}, QStringLiteral("TABLE_NAME"), Tabla);
}

bool DB_Dll::ExisteCampoDB(const QString& Tabla, const QString& Campo) {
    // Oracle's catalogue is not asked: its upgrade steps are not run.
    if (oracle::isOracle(sharedDb().gProveedor)) return true;
    return catalogueHas(ado::adSchemaColumns, {gDBName, QString(), Tabla, QString()},
                        QStringLiteral("COLUMN_NAME"), Campo);
}

bool DB_Dll::VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar,
                        const QString& Tipo, bool PermiteNulos, const Value& ValorDefault) {
    if (ExisteTablaDB(Tabla) && !ExisteCampoDB(Tabla, Campo) && Agregar)
        AddField(Tabla, Campo, Tipo, PermiteNulos, ValorDefault);
    return true;
}

// A statement the server rejects (the column is there already, a Not Null
// column without default on a table with rows) leaves the table as it was;
// the connection's Errors tell.
void DB_Dll::AddField(const QString& Tabla, const QString& Campo, const QString& Tipo,
                      bool PermiteNulos, const Value& ValorDefault) {
    QString statement = QStringLiteral("ALTER TABLE dbo.") + Tabla + QStringLiteral(" ADD ") +
                        Campo + u' ' + Tipo +
                        (PermiteNulos ? QStringLiteral(" Null ") : QStringLiteral(" Not Null "));
    if (!ValorDefault.isEmpty()) {
        statement += QStringLiteral(" CONSTRAINT DF_") + Tabla.trimmed() + u'_' + Campo.trimmed() +
                     QStringLiteral(" DEFAULT (") + ValorDefault.toString() + u')';
    }
    long affected = 0;
    EjecutaConsultaSQL(statement, affected);
}

}  // namespace kl::db
