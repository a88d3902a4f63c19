#pragma once

// The connection/recordset layer the program reaches its databases through.
// It keeps ADO's objects, codes and semantics: operations report a run-time
// error (the returned RunError, ADO's Err) and the connection's Errors list
// holds the provider's own errors of the last failed operation.

#include "platform/error_numbers.h"
#include "platform/runerror.h"
#include "platform/value.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <memory>
#include <vector>

// Recordset::EOF() keeps ADO's name; the C library's EOF macro would turn it
// into a number wherever <cstdio> is seen. Code needing the end-of-file
// marker uses std::char_traits<char>::eof().
#undef EOF

namespace kl::ado {

enum ObjectState { adStateClosed = 0, adStateOpen = 1 };
enum CursorType { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockType { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3 };
enum CursorLocation { adUseServer = 2, adUseClient = 3 };
enum SchemaKind { adSchemaColumns = 4, adSchemaTables = 20 };

// ADO's field type codes.
enum DataType {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBoolean = 11,
    adTinyInt = 16,
    adBigInt = 20,
    adNumeric = 131,
    adDBDate = 133,
    adDBTimeStamp = 135,
    adChar = 129,
    adWChar = 130,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adVarBinary = 204,
};

struct Error {
    long Number = 0;
    QString Description;
    QString Source;
    QString SQLState;
    long NativeError = 0;
};

class Errors {
  public:
    int Count() const { return static_cast<int>(items_.size()); }
    const Error& Item(int index) const { return items_.at(static_cast<size_t>(index)); }
    bool empty() const { return items_.empty(); }
    void Clear() { items_.clear(); }
    void replace(std::vector<Error> items) { items_ = std::move(items); }
    void add(Error e) { items_.push_back(std::move(e)); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    std::vector<Error> items_;
};

// Which engine a connection reaches; decides dialect and date literals.
enum class Engine { None, SqlServer, Oracle, Sqlite, PostgreSql };

struct Field {
    QString Name;
    kl::Value Value;
    int Type = adVarChar;
    long DefinedSize = 0;
};

// An index (or a column guard) the engine would rather rebuild than keep up
// row by row during a rewrite of a whole column: how to drop it and how to
// create it again.
struct DeferrableIndex {
    QString drop;
    QString create;
};

class Recordset;
class Provider;

class Connection {
  public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The connection string names the provider ("PROVIDER=SQLOLEDB;Server=...",
    // "Provider=OraOLEDB.Oracle.1;..."); a SQL Server string whose server is
    // "sqlite" opens the embedded engine on the file named by its database.
    StepResult Open(const QString& connectionString = QString(), const QString& user = QString(),
                    const QString& password = QString(), long options = -1);
    StepResult Close();
    int State() const;

    // Runs a statement. When it yields rows and `rows` is given, they come
    // back as an open, forward-only, read-only recordset.
    StepResult Execute(const QString& sql, long* recordsAffected = nullptr,
                       std::unique_ptr<Recordset>* rows = nullptr, long options = -1);

    // `level`, when given, receives the new nesting level (1 for the outer
    // transaction), as ADO's BeginTrans returns it.
    StepResult BeginTrans(long* level = nullptr);
    StepResult CommitTrans();
    StepResult RollbackTrans();

    QString ConnectionString() const;
    void setConnectionString(const QString& text);
    int CursorLocation() const;
    void setCursorLocation(int location);
    int CommandTimeout() const;
    void setCommandTimeout(int seconds);
    QString DefaultDatabase() const;
    StepResult setDefaultDatabase(const QString& name);

    // adSchemaTables: TABLE_NAME, TABLE_TYPE ("TABLE" or "VIEW");
    // adSchemaColumns: TABLE_NAME, COLUMN_NAME, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH.
    // restrictions follow ADO's order (catalog, schema, table[, column/type]).
    StepResult OpenSchema(int kind, const QStringList& restrictions,
                          std::unique_ptr<Recordset>& out);

    // A set-based rewrite of a whole column inside a transaction may leave
    // the upkeep of the indexes over it to the end: DeferIndexes drops the
    // ones the engine would otherwise update row by row, and RebuildIndexes
    // creates them again in one sorted pass. Both run inside the open
    // transaction, so a failure or a kill in between leaves the indexes as
    // they were. Engines that keep their indexes cheaply defer none.
    StepResult DeferIndexes(const QString& table, const QString& column,
                            std::vector<DeferrableIndex>& deferred);
    StepResult RebuildIndexes(const std::vector<DeferrableIndex>& deferred);
    // A rewrite that writes only values known beforehand (a renumbering's
    // new codes) needs no size check per row: DeferSizeGuard checks the
    // longest value, in characters, against the column's size once, failing
    // as the guard would (8152) before anything is written, and otherwise
    // sets the column's size guard aside, adding it to `deferred` for
    // RebuildIndexes to put back. Inside the open transaction only.
    StepResult DeferSizeGuard(const QString& table, const QString& column, long longest,
                              std::vector<DeferrableIndex>& deferred);

    Errors& errors() { return errors_; }
    const Errors& errors() const { return errors_; }

    Engine engine() const;
    // A date literal the connected engine compares correctly, quotes included.
    QString dateLiteral(const QDateTime& value) const;

    // For the recordset's writes; not for callers.
    Provider* provider() const { return provider_.get(); }

  private:
    friend class Recordset;
    StepResult failed(std::vector<Error> errors);
    StepResult adoFailed(long number);
    void trace(const QString& sql) const;

    Errors errors_;
    std::unique_ptr<Provider> provider_;
    // Recordsets hold a weak reference, so one that outlives its connection
    // fails cleanly instead of reaching a destroyed object.
    std::shared_ptr<Connection*> self_;
    QStringList secrets_;
    QString connectionString_;
    QString defaultDatabase_;
    int cursorLocation_ = adUseServer;
    int commandTimeout_ = 30;
};

class Recordset {
  public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    StepResult Open(const QString& sql, Connection& connection, int cursorType = adOpenForwardOnly,
                    int lockType = adLockReadOnly, long options = -1);
    StepResult Close();
    int State() const;

    bool BOF() const;
    bool EOF() const;
    StepResult MoveFirst();
    StepResult MoveLast();
    StepResult MoveNext();
    StepResult MovePrevious();
    // -1 where ADO cannot tell (forward-only server cursor).
    long RecordCount() const;
    int CursorType() const;
    int LockType() const;

    int fieldCount() const;
    // nullptr when there is no such field (ADO's 3265); names ignore case.
    const Field* field(int index) const;
    const Field* field(const QString& name) const;
    // The field's value of the current row; Empty when there is no such field.
    Value value(const QString& name) const;
    Value value(int index) const;
    StepResult setValue(const QString& name, const Value& value);
    StepResult setValue(int index, const Value& value);

    StepResult AddNew();
    StepResult Update();
    StepResult CancelUpdate();

    struct Impl;

  private:
    friend class Connection;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kl::ado
