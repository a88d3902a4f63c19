#pragma once

// The access layer every read and write of the program goes through: the
// connection and its providers, the execution of statements, the single-row
// lookups, and the layer's error dialog and log.

#include "dblayer/reconnection.h"
#include "platform/ado/ado.h"
#include "platform/dialogs.h"
#include "platform/runerror.h"
#include "platform/value.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <variant>

namespace kl::db {

// A value, or the failure that kept it from being computed.
using ValueOrError = std::variant<Value, RunError>;

class DB_Dll {
  public:
    DB_Dll();
    ~DB_Dll();
    DB_Dll(const DB_Dll&) = delete;
    DB_Dll& operator=(const DB_Dll&) = delete;

    // ---- Connection state (every member is read and written by other parts).
    QString gUsuarioClave;     // proposed in the login window's password box
    FileDialogRequest CmdDlg;  // the database-file dialog of OpenLocalADODB
    bool gOpenFlag = false;
    Value gIgnoraPassWord;  // read as a boolean; Null is false
    std::shared_ptr<ado::Connection> gCnn;
    QString gProveedor;
    QString gServidor;  // a "#" anywhere marks an Oracle connection
    QString gDBName;
    QString gUsuario;
    bool gEsAdmin = false;
    QString gUserPassWord;
    QString gConnString;
    QString gExtended;  // appended verbatim to SQL Server and local connection strings
    QString gLogErr;    // the error log's full path; see ArchivoErrores

    // ---- Connections and providers.
    void OpenServerADODB(bool PideParametrosSQL, long lCursor, const QString& ConnString,
                         bool ValidaAdmin, bool MuestraError);
    void ReintentaConectar();
    void OpenLocalADODB(const QString& ConnString, const QString& CadenaID,
                        const QString& CadenaPWD);
    QString pJETOLEDB40() const;
    QString pJETOLEDB35() const;
    QString pSQLOLEDB() const;
    // "CLIENTES ->local" gives "CLIENTES": the name before " ->".
    QString StripConnect(const QString& rsTblName) const;

    // ---- Query execution and record lookups. SentenciaSQL receives the
    // statement as it was run.
    void AbrirRecordset(QString& SentenciaSQL, ado::Recordset& Lrcs,
                        std::shared_ptr<ado::Connection> Conexionactiva = nullptr,
                        int CursorType = ado::adOpenForwardOnly, int LockType = ado::adLockReadOnly,
                        long Options = -1, bool ConvOracle = true);
    void CierraRecordset(ado::Recordset& LrcsTemp);
    // Reports nothing: callers read the connection's Errors. With Lrcs, it
    // receives the rows the statement returns.
    void EjecutaConsultaSQL(QString& SentenciaSQL, long& RecordsAffected,
                            std::unique_ptr<ado::Recordset>* Lrcs = nullptr);
    void EjecutaConsultaRSQL(QString& SentenciaSQL, long& RecordsAffected,
                             std::unique_ptr<ado::Recordset>* Lrcs = nullptr);
    // The text of column CampoDevuelto of the first row whose Campo matches,
    // or "". Tipodato "'" stands for 8 (text) and is changed to it.
    Value DatosTabla(const QString& Tabla, const QString& ValorBuscado,
                     const QString& CampoDevuelto, const QString& Campo, Value& Tipodato,
                     const QString& Condicion, bool UsaTrim, bool IgnoraError);
    Value DatosTabla(const QString& Tabla, const QString& ValorBuscado,
                     const QString& CampoDevuelto, const QString& Campo, Value&& Tipodato,
                     const QString& Condicion, bool UsaTrim, bool IgnoraError);
    // With Lrcs, it stays open on the row found.
    bool ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                       ado::Recordset* Lrcs = nullptr, const Value& Tipodato = Value(kTipoTexto),
                       const QString& Condicion = QString(), bool SoloLectura = true);
    bool ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                         ado::Recordset* Lrcs = nullptr, const Value& Tipodato = Value(kTipoTexto),
                         const QString& Condicion = QString(), bool SoloLectura = true);
    // Tipo 7 returns the largest value as text, any other Tipo its number. A
    // blank Condicion counts as none. Condicion may gain the article-code
    // condition (see the definition).
    ValueOrError BuscaMaximo(const QString& QueTabla, const QString& QueCampo,
                             const Value& Tipo = Value(), QString* Condicion = nullptr);
    // Both give the number, whatever Tipo holds.
    ValueOrError BuscaMinimo(const QString& QueTabla, const QString& QueCampo,
                             const Value& Tipo = Value(), const QString& Condicion = QString());
    ValueOrError BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo,
                                   const Value& Tipo, const QString& Condicion);
    // The lookups the program installs (application_hooks.h). QConsulta
    // shows table Tb with the columns Cl1, CmpDisplay and Cl2; a chosen row
    // sets Rsp to 1 and its code into Cl1. Cancelling leaves both alone.
    void QConsulta(const QString& Tb, double& Rsp, QString& Cl1, QString& Cl2, QString& CmpDisplay,
                   const QString& SQLWHERE = QString());
    // Shows the rows of Sentencia; the chosen row's value of the column
    // named in CampoDevuelto1 (and of those named in the optional two)
    // replaces the name. True when a row was chosen. gCnnString is the
    // connection the statement was meant for: this layer runs it.
    bool QGridConsulta(const QString& Sentencia, QString& CampoDevuelto1, const QString& gCnnString,
                       QString* CampoDevuelto2 = nullptr, QString* CampoDevuelto3 = nullptr);

    // ---- SQL literal builders. Qtype is an ADO type code, as a number or
    // as a text of digits.
    static bool adodate(const Value& Qtype);
    static bool ADOText(const Value& Qtype);
    static bool ADONumeric(const Value& Qtype);
    static bool ADOCurrency(const Value& Qtype);
    static bool ADOBoolean(const Value& Qtype);
    // "'" for dates and texts, "" otherwise.
    static QString ADOComilla(const Value& Qtype);
    // The value as SQL text: delimiter "'" quotes it (Null gives NULL), "@"
    // writes it as a number with "." for decimals (Null gives 0), any other
    // delimiter writes it as it is.
    static Value SQLValue(const Value& Valor, const QString& delimiter);
    static Value SQLValue2(const Value& Valor, const QString& delimiter);
    // A name with blanks between brackets, unless it has them already.
    static QString AddBrackets(const QString& rObjName);
    // Fails for the lone "[", which has no name inside.
    static StepResult StripBrackets(const QString& rsObjName, QString& stripped);
    // What follows the first "."; the caller's name becomes it too.
    static QString StripOwner(QString& rsTblName);
    // Of "owner.name" the name (rnPart not 0) or the owner (rnPart 0); of
    // "server.owner.name" StripOwner, whatever rnPart is.
    static QString stSTF(QString& rsName, int rnPart);
    // The folder of a Windows path, without its last backslash.
    static QString StripFileName(const QString& rsFileName);

    // ---- Schema inspection and statement rewriting.
    bool ExisteTablaDB(const QString& Tabla);
    bool ExisteCampoDB(const QString& Tabla, const QString& Campo);
    // Adds the column when the table exists without it and Agregar is set;
    // always true.
    bool VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar, const QString& Tipo,
                    bool PermiteNulos, const Value& ValorDefault = Value());
    // ValorDefault goes into the DEFAULT clause as it is (a text default
    // carries its own quotes); Empty means no default.
    void AddField(const QString& Tabla, const QString& Campo, const QString& Tipo,
                  bool PermiteNulos, const Value& ValorDefault = Value());
    // For a user who is not an administrator, confidential tables become
    // their restricted views; the "@Admin_" markers go (restricted_views.h).
    QString SS_TSinonimos(const QString& statement) const;
    // On an Oracle connection (gConnString names ORACLE), the statement in
    // Oracle's dialect; elsewhere as it is. A statement the translation
    // cannot cut fails.
    StepResult ORACLE_Dicc(const QString& valor, QString& translated) const;

    // ---- Database error treatment.
    // Shows the error with Botones (default Abort, Retry, Ignore, critical),
    // logs it with the answer, and returns the answer; 0 for error number 0.
    int TratamientoErrores(const RunError& CodErr, int Botones = kBotonesError,
                           const QString& Rutina = QString());
    Value ArchivoErrores() const;
    void setArchivoErrores(const Value& path);

    static constexpr int kBotonesError = mb::AbortRetryIgnore | mb::Critical;
    // The data type the lookups compare as text; dates (7) and numbers (3, 4,
    // 5) use ADO's codes, any other code compares the value as given.
    static constexpr int kTipoTexto = 8;

  private:
    QString buildServerConnectionString() const;
    QString buildLocalConnectionString(const QString& CadenaID, const QString& CadenaPWD) const;
    bool askConnectionData();
    bool chooseLocalFile();
    Reconnection reconnect(int& counter);
    int lookupFailure(const RunError& e, ado::Connection& connection, int& counter);
    StepOutcome runStatement(QString& SentenciaSQL, long& RecordsAffected,
                             std::unique_ptr<ado::Recordset>* Lrcs, const FailureNotice& notice);
    ValueOrError firstValue(const QString& statement, const QString& column, bool asText);
    bool existsIn(QString statement, ado::Recordset* Lrcs, bool SoloLectura, bool rewrite,
                  ado::Connection& connection);
    StepResult EjecutaLoteOracle(QString& script, long& RecordsAffected);
    // Empties the statement (the caller's too) when Oracle has no use for it.
    QString FiltraSentenciaOracle(QString& statement) const;
    bool catalogueHas(int kind, const QStringList& restrictions, const QString& column,
                      const QString& wanted);
};

// The program's one access layer, created on first use.
DB_Dll& sharedDb();
// Called by the session's shutdown; the next sharedDb() starts afresh.
void releaseSharedDb();

}  // namespace kl::db
