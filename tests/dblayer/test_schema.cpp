#include "embedded_db.h"
#include "platform/textfile.h"
#include "support/printers.h"

namespace kl::db::test {
namespace {

class Schema : public EmbeddedDbTest {
  protected:
    void SetUp() override {
        EmbeddedDbTest::SetUp();
        writeSqlite(file_, R"sql(
CREATE VIEW V_CLIENTES AS SELECT * FROM CLIENTES;
CREATE TABLE T (ID INT);
)sql");
        connectTo(file_);
    }

    // The values of one column, Null written as NULL.
    QString column(const QString& sql) {
        std::unique_ptr<ado::Recordset> rows;
        EXPECT_FALSE(db().gCnn->Execute(sql, nullptr, &rows));
        QStringList values;
        for (; rows && !rows->EOF(); rows->MoveNext()) {
            const Value v = rows->value(0);
            values << (v.isNull() ? QStringLiteral("NULL") : v.toString());
        }
        return values.join(',');
    }

    QStringList alterations() { return traced().filter(QStringLiteral("ALTER TABLE")); }
};

TEST_F(Schema, ExisteTablaDBFindsTablesAndViewsAsTheProgramNamesThem) {
    EXPECT_TRUE(db().ExisteTablaDB("ta_usuarios"));
    EXPECT_TRUE(db().ExisteTablaDB("  TA_USUARIOS "));
    EXPECT_TRUE(db().ExisteTablaDB("V_CLIENTES"));
    EXPECT_FALSE(db().ExisteTablaDB("TA_NINGUNA"));
    EXPECT_FALSE(db().ExisteTablaDB(""));
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(Schema, ExisteCampoDBLooksAtTheTablesColumns) {
    EXPECT_TRUE(db().ExisteCampoDB("TA_USUARIOS", "nombre"));
    EXPECT_TRUE(db().ExisteCampoDB(" ta_usuarios ", " ADMINISTRADOR "));
    EXPECT_FALSE(db().ExisteCampoDB("TA_USUARIOS", "EMAIL"));
    EXPECT_FALSE(db().ExisteCampoDB("CLIENTES", "nombre_"));
    EXPECT_FALSE(db().ExisteCampoDB("TA_NINGUNA", "nombre"));
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(Schema, OnOracleEveryColumnExistsWithoutAsking) {
    db().gProveedor = "OraOLEDB.Oracle.1";
    EXPECT_TRUE(db().VerCampoDB("TA_USUARIOS", "EMAIL", true, "VARCHAR(60)", true));
    EXPECT_TRUE(alterations().isEmpty());
    ASSERT_FALSE(db().gCnn->Close());
    EXPECT_TRUE(db().ExisteCampoDB("TA_NINGUNA", "NADA"));
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(Schema, CatalogueFailuresGoToTheErrorDialog) {
    ASSERT_FALSE(db().gCnn->Close());
    boxes_.answer(answer::Retry).answer(answer::Abort);
    EXPECT_FALSE(db().ExisteTablaDB("TA_USUARIOS"));
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_EQ(boxes_.shown()[0].style, mb::AbortRetryIgnore | mb::Critical);
    EXPECT_TRUE(boxes_.shown()[0].title.endsWith(" - VerificaCampos Aviso al operador!!! - 5 "));

    boxes_.answer(answer::Ignore);
    EXPECT_FALSE(db().ExisteCampoDB("TA_USUARIOS", "nombre"));
    ASSERT_EQ(boxes_.shown().size(), 3u);

    const QString log = cp1252::readFile(path("KVERR.LOG")).value_or(QString());
    EXPECT_EQ(log.count(" Rutina: - VerificaCampos Mensaje "), 3);
}

TEST_F(Schema, VerCampoDBAddsOnlyAMissingColumnOfAnExistingTable) {
    EXPECT_TRUE(db().VerCampoDB("TA_USUARIOS", "EMAIL", false, "VARCHAR(60)", true));
    EXPECT_TRUE(db().VerCampoDB("TA_NINGUNA", "EMAIL", true, "VARCHAR(60)", true));
    EXPECT_TRUE(db().VerCampoDB("TA_USUARIOS", "NOMBRE", true, "VARCHAR(60)", true));
    EXPECT_TRUE(alterations().isEmpty());
    EXPECT_FALSE(db().ExisteCampoDB("TA_USUARIOS", "EMAIL"));

    EXPECT_TRUE(db().VerCampoDB("TA_USUARIOS", "EMAIL", true, "VARCHAR(60)", true));
    EXPECT_EQ(alterations(),
              QStringList({"ALTER TABLE dbo.TA_USUARIOS ADD EMAIL VARCHAR(60) Null "}));
    EXPECT_TRUE(db().ExisteCampoDB("TA_USUARIOS", "EMAIL"));
}

TEST_F(Schema, AddFieldWithADefaultFillsTheRowsThere) {
    db().AddField("TA_USUARIOS", "EMAIL", "VARCHAR(60)", false, Value("''"));
    EXPECT_EQ(alterations(), QStringList({"ALTER TABLE dbo.TA_USUARIOS ADD EMAIL VARCHAR(60) Not "
                                          "Null  CONSTRAINT DF_TA_USUARIOS_EMAIL DEFAULT ('')"}));
    EXPECT_TRUE(db().gCnn->errors().empty());
    EXPECT_EQ(column("SELECT EMAIL FROM TA_USUARIOS"), ",,,");

    db().AddField("CLIENTES", "ACTIVO", "INT", false, Value(1));
    EXPECT_EQ(alterations(), QStringList({"ALTER TABLE dbo.CLIENTES ADD ACTIVO INT Not Null  "
                                          "CONSTRAINT DF_CLIENTES_ACTIVO DEFAULT (1)"}));
    EXPECT_EQ(column("SELECT ACTIVO FROM CLIENTES"), "1,1,1");
}

TEST_F(Schema, AddFieldWithoutDefault) {
    db().AddField("T", "C", "INT", true);
    EXPECT_EQ(alterations(), QStringList({"ALTER TABLE dbo.T ADD C INT Null "}));
    EXPECT_TRUE(db().ExisteCampoDB("T", "C"));
}

TEST_F(Schema, TheConstraintNameUsesTheTrimmedNames) {
    db().AddField("CLIENTES", "OBS ", "VARCHAR(5)", true, Value("'x'"));
    EXPECT_EQ(alterations(), QStringList({"ALTER TABLE dbo.CLIENTES ADD OBS  VARCHAR(5) Null  "
                                          "CONSTRAINT DF_CLIENTES_OBS DEFAULT ('x')"}));
    // As on SQL Server, rows already there keep a Null in a nullable column.
    EXPECT_EQ(column("SELECT OBS FROM CLIENTES"), "NULL,NULL,NULL");
}

TEST_F(Schema, AStatementTheServerRejectsReturnsSilently) {
    db().AddField("CLIENTES", "OBLIGATORIO", "INT", false);
    EXPECT_FALSE(db().gCnn->errors().empty());
    EXPECT_FALSE(db().ExisteCampoDB("CLIENTES", "OBLIGATORIO"));

    db().AddField("CLIENTES", "NOMBRE", "INT", true);
    EXPECT_FALSE(db().gCnn->errors().empty());
    EXPECT_TRUE(boxes_.shown().empty());
}

}  // namespace
}  // namespace kl::db::test
