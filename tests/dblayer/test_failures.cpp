#include "dblayer/messages.h"
#include "dblayer/reconnection.h"
#include "embedded_db.h"
#include "platform/textfile.h"

#include <QFile>

#include <utility>
#include <vector>

namespace kl::db::test {
namespace {

const char kErrorTitleEnd[] = " - AbrirRecordset Aviso al operador!!! - 5 ";

class Failures : public EmbeddedDbTest {
  protected:
    void SetUp() override {
        EmbeddedDbTest::SetUp();
        connectTo(file_);
    }

    QString expectedLostConnection() const {
        return "\r\n\r\n\r\nSe perdio la conexion con la base de datos " + file_ +
               "\r\n Servidor sqlite\r\n\r\nElija SI para reintentar conectarse\r\n"
               "Elija NO para cerrar la aplicacion\r\n\r\n\r\n";
    }

    void expectLostConnectionBox(const ShownBox& box) const {
        EXPECT_EQ(box.title, "AVISO AL OPERADOR");
        EXPECT_EQ(box.style, mb::YesNo | mb::Critical);
        EXPECT_EQ(box.text, normalizeLineBreaks(expectedLostConnection()));
    }

    // A table made through the layer: the embedded engine then holds its
    // texts to their declared size, as SQL Server does.
    void createNotes() {
        QString sql = "CREATE TABLE NOTAS (TEXTO VARCHAR(10))";
        long affected = 0;
        db().EjecutaConsultaSQL(sql, affected);
        ASSERT_TRUE(db().gCnn->errors().empty());
    }

    QStringList logLines() {
        const QString log = cp1252::readFile(path("KVERR.LOG")).value_or(QString());
        QStringList lines = log.split("\r\n");
        lines.removeAll(QString());
        return lines;
    }
};

TEST_F(Failures, FailingRecordsetShowsTheErrorDialogAndLogsTheAnswer) {
    ado::Recordset rs;
    QString sql = "SELEC * FROM CLIENTES";
    boxes_.answer(answer::Retry).answer(answer::Abort);
    db().AbrirRecordset(sql, rs);
    EXPECT_EQ(rs.State(), ado::adStateClosed);
    ASSERT_EQ(boxes_.shown().size(), 2u);
    const ShownBox& box = boxes_.shown()[0];
    EXPECT_EQ(box.style, mb::AbortRetryIgnore | mb::Critical);
    EXPECT_TRUE(box.title.endsWith(kErrorTitleEnd)) << box.title.toStdString();
    EXPECT_TRUE(box.text.startsWith("Ha ocurrido el Siguiente Error (-2147217900) "))
        << box.text.toStdString();

    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains(" Rutina: - AbrirRecordset Mensaje " + box.text.trimmed() +
                                  " Respondió : Reintentar"));
    EXPECT_TRUE(lines[1].endsWith(" Respondió : Abortar"));
}

TEST_F(Failures, MissingTableIsNumberedAsSuch) {
    ado::Recordset rs;
    QString sql = "SELECT * FROM NO_EXISTE";
    boxes_.answer(answer::Ignore);
    db().AbrirRecordset(sql, rs);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].text.startsWith("Ha ocurrido el Siguiente Error (-2147217865) "));
    EXPECT_EQ(rs.State(), ado::adStateClosed);
}

TEST_F(Failures, EjecutaConsultaSQLFailsSilently) {
    QString sql = "UPDAT CLIENTES SET SALDO = 1";
    long affected = 0;
    db().EjecutaConsultaSQL(sql, affected);
    EXPECT_TRUE(boxes_.shown().empty());
    ASSERT_EQ(db().gCnn->errors().Count(), 1);
    EXPECT_EQ(db().gCnn->errors().Item(0).Number, ado::err::Syntax);
}

TEST_F(Failures, TruncationIsDroppedUnlessATransactionIsNamed) {
    createNotes();
    QString sql = "INSERT INTO NOTAS (TEXTO) VALUES ('Un texto largo')";
    long affected = 0;
    db().EjecutaConsultaSQL(sql, affected);
    EXPECT_TRUE(db().gCnn->errors().empty());
    EXPECT_FALSE(db().ExisteEnTabla("NOTAS", "Un texto largo", "TEXTO"));

    sql = "INSERT INTO NOTAS (TEXTO) VALUES ('TRANSPORTES DEL SUR')";
    db().EjecutaConsultaSQL(sql, affected);
    ASSERT_EQ(db().gCnn->errors().Count(), 1);
    EXPECT_EQ(db().gCnn->errors().Item(0).NativeError, ado::err::NativeTruncation);
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(Failures, EjecutaConsultaRSQLShowsAllButTheUsualErrors) {
    long affected = 0;
    for (const char* quiet : {"UPDAT CLIENTES SET SALDO = 1", "DELETE FROM NO_EXISTE"}) {
        QString sql = quiet;
        db().EjecutaConsultaRSQL(sql, affected);
    }
    EXPECT_TRUE(boxes_.shown().empty());

    createNotes();
    QString sql = "INSERT INTO NOTAS (TEXTO) VALUES ('Un texto largo')";
    boxes_.answer(answer::Ok);
    db().EjecutaConsultaRSQL(sql, affected);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].title, "Aviso al operador!!!");
    EXPECT_EQ(boxes_.shown()[0].style, mb::Critical);
    EXPECT_EQ(boxes_.shown()[0].text, db().gCnn->errors().Item(0).Description);
    // Its truncation warning is left for the caller.
    EXPECT_EQ(db().gCnn->errors().Item(0).NativeError, ado::err::NativeTruncation);

    sql = "INSERT INTO NOTAS (TEXTO) VALUES ('TRANSPORTES DEL SUR')";
    db().EjecutaConsultaRSQL(sql, affected);
    EXPECT_EQ(boxes_.shown().size(), 1u);
}

TEST_F(Failures, DatosTablaUnknownColumnAsksTheOperator) {
    Value texto = 8;
    boxes_.answer(answer::Retry).answer(answer::Ignore);
    EXPECT_EQ(db().DatosTabla("CLIENTES", "Perez", "NO_HAY", "NOMBRE", texto, "", true, false),
              Value(QString()));
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_EQ(boxes_.shown()[0].title, "Aviso al Operador");
    EXPECT_EQ(boxes_.shown()[0].style, mb::AbortRetryIgnore | mb::Critical);
    EXPECT_TRUE(boxes_.shown()[0].text.contains("colección"));

    EXPECT_EQ(db().DatosTabla("CLIENTES", "Perez", "NO_HAY", "NOMBRE", texto, "", true, true),
              Value(QString()));
    EXPECT_EQ(boxes_.shown().size(), 2u);
}

TEST_F(Failures, DatosTablaOnAMissingTable) {
    Value texto = 8;
    // The recordset's own dialog, then the lookup's for the closed recordset.
    boxes_.answer(answer::Abort).answer(answer::Abort);
    EXPECT_EQ(db().DatosTabla("NO_EXISTE", "x", "A", "B", texto, "", true, false),
              Value(QString()));
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_TRUE(boxes_.shown()[0].title.endsWith(kErrorTitleEnd));
    EXPECT_EQ(boxes_.shown()[1].title, "Aviso al Operador");

    boxes_.answer(answer::Abort);
    EXPECT_EQ(db().DatosTabla("NO_EXISTE", "x", "A", "B", texto, "", true, true), Value(QString()));
    EXPECT_EQ(boxes_.shown().size(), 3u);
}

TEST_F(Failures, ExisteEnTablaOnAMissingTable) {
    boxes_.answer(answer::Ignore).answer(answer::Abort);
    EXPECT_FALSE(db().ExisteEnTabla("NO_EXISTE", "x", "A"));
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_EQ(boxes_.shown()[0].title, "Aviso al Operador");
    EXPECT_TRUE(boxes_.shown()[0].text.contains("NO_EXISTE"));
    boxes_.answer(answer::Abort);
    EXPECT_FALSE(db().ExisteEnTablaST("NO_EXISTE", "x", "A"));
}

TEST_F(Failures, LostConnectionTextLineBreaksAsWritten) {
    EXPECT_EQ(lostConnectionText(file_, "sqlite"), expectedLostConnection());
}

TEST_F(Failures, LostDatabaseAsksAndNoEndsTheProgram) {
    removeDatabase();
    QString sql = "UPDATE CLIENTES SET SALDO = 1";
    long affected = 0;
    boxes_.answer(answer::Yes).answer(answer::No);
    db().EjecutaConsultaSQL(sql, affected);
    ASSERT_EQ(boxes_.shown().size(), 2u);
    expectLostConnectionBox(boxes_.shown()[0]);
    expectLostConnectionBox(boxes_.shown()[1]);
    EXPECT_EQ(programEnds(), 1);
    EXPECT_FALSE(db().gOpenFlag);
}

TEST_F(Failures, LostDatabaseWhileOpeningARecordset) {
    removeDatabase();
    ado::Recordset rs;
    QString sql = "SELECT * FROM CLIENTES";
    boxes_.answer(answer::No);
    db().AbrirRecordset(sql, rs);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    expectLostConnectionBox(boxes_.shown()[0]);
    EXPECT_EQ(programEnds(), 1);
    EXPECT_EQ(rs.State(), ado::adStateClosed);

    // A lookup gives up with the connection and shows nothing more.
}

TEST_F(Failures, LostDatabaseDuringLookups) {
    removeDatabase();
    // The recordset's reconnection asks; the lookup then gives up quietly.
    boxes_.answer(answer::No);
    Value texto = 8;
    EXPECT_EQ(db().DatosTabla("CLIENTES", "Perez", "CODIGO", "NOMBRE", texto, "", true, false),
              Value(QString()));
    ASSERT_EQ(boxes_.shown().size(), 1u);
    expectLostConnectionBox(boxes_.shown()[0]);
    EXPECT_EQ(programEnds(), 1);

    restoreDatabase();
    db().ReintentaConectar();
    ASSERT_TRUE(db().gOpenFlag);
    removeDatabase();
    boxes_.answer(answer::No);
    EXPECT_FALSE(db().ExisteEnTabla("CLIENTES", "1", "CODIGO", nullptr, 3));
    ASSERT_EQ(boxes_.shown().size(), 2u);
    expectLostConnectionBox(boxes_.shown()[1]);
    EXPECT_EQ(programEnds(), 2);
}

// Answers the lost-connection question and brings the database back first,
// as when the operator mends the network before answering.
class MendingDialogs final : public ScriptedDialogs {
  public:
    explicit MendingDialogs(std::function<void()> mend) : mend_(std::move(mend)) {}
    int messageBox(const QString& text, int style, const QString& title) override {
        if (mend_) std::exchange(mend_, nullptr)();
        return ScriptedDialogs::messageBox(text, style, title);
    }

  private:
    std::function<void()> mend_;
};

TEST_F(Failures, YesAfterTheDatabaseIsBackRepeatsTheStatement) {
    removeDatabase();
    auto mending = std::make_shared<MendingDialogs>([this] { restoreDatabase(); });
    mending->queueButton(answer::Yes);
    const auto previous = installDialogs(mending);
    QString sql = "UPDATE CLIENTES SET SALDO = 1 WHERE CODIGO = 2";
    long affected = 0;
    db().EjecutaConsultaSQL(sql, affected);
    installDialogs(previous);

    EXPECT_EQ(mending->shown().size(), 1u);
    EXPECT_TRUE(mending->pending().empty());
    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_EQ(affected, 1);
    EXPECT_EQ(programEnds(), 0);
    Value numero = 3;
    EXPECT_EQ(db().DatosTabla("CLIENTES", "2", "SALDO", "CODIGO", numero, "", true, false),
              Value("1"));
}

// The counters of the reconnection procedure, attempt by attempt.
class ReconnectionCounters : public testing::Test {
  protected:
    void SetUp() override {
        previousEnd_ = installProgramEnd([this] { ++ends_; });
    }
    void TearDown() override { installProgramEnd(previousEnd_); }

    // Runs the procedure with attempts that succeed only at `success` (0:
    // never) and an operator who answers Yes `yeses` times; returns the
    // outcome and records how many attempts preceded each question.
    Reconnection run(int& counter, int success, int yeses) {
        return runReconnection(
            counter, [&] { return ++attempts_ == success; },
            [&] {
                questions_.push_back(attempts_);
                return static_cast<int>(questions_.size()) <= yeses;
            });
    }

    int attempts_ = 0;
    int ends_ = 0;
    std::vector<int> questions_;

  private:
    ProgramEnd previousEnd_;
};

TEST_F(ReconnectionCounters, FromZeroFourAttemptsBeforeTheQuestion) {
    int counter = 0;
    EXPECT_EQ(run(counter, 0, 1), Reconnection::ProgramEnded);
    EXPECT_EQ(questions_, (std::vector<int>{4, 5}));
    EXPECT_EQ(ends_, 1);
}

TEST_F(ReconnectionCounters, FromTwoTwoAttemptsBeforeTheQuestion) {
    int counter = 2;
    EXPECT_EQ(run(counter, 0, 2), Reconnection::ProgramEnded);
    EXPECT_EQ(questions_, (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(ends_, 1);
}

TEST_F(ReconnectionCounters, YesThenARestoredConnectionRepeatsTheStatement) {
    int counter = 2;
    EXPECT_EQ(run(counter, 3, 1), Reconnection::RepeatStatement);
    EXPECT_EQ(questions_, (std::vector<int>{2}));
    EXPECT_EQ(ends_, 0);
}

TEST_F(ReconnectionCounters, FirstAttemptSucceedingCountsTowardsGeneralHandling) {
    int counter = 0;
    EXPECT_EQ(run(counter, 1, 0), Reconnection::RepeatStatement);
    EXPECT_EQ(counter, 1);
    attempts_ = 0;
    counter = 2;
    EXPECT_EQ(run(counter, 1, 0), Reconnection::GeneralHandling);
    EXPECT_EQ(counter, 3);
    EXPECT_TRUE(questions_.empty());
}

TEST_F(ReconnectionCounters, LaterSuccessNeedsNoQuestion) {
    int counter = 0;
    EXPECT_EQ(run(counter, 3, 0), Reconnection::RepeatStatement);
    EXPECT_EQ(counter, 1);
    EXPECT_TRUE(questions_.empty());
}

}  // namespace
}  // namespace kl::db::test
