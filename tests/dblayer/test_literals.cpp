#include "dblayer/sql_text.h"
#include "embedded_db.h"
#include "platform/error_numbers.h"
#include "support/printers.h"

#include <set>

namespace kl::db::test {
namespace {

// ------------------------------------------------------- type classifiers

const std::set<int> kDates = {7, 133, 137, 134, 135, 64};
const std::set<int> kTexts = {8, 201, 203, 200, 202, 130, 129};
const std::set<int> kNumbers = {20, 14, 5, 3, 131, 4, 2, 16, 21, 19, 18, 17};

TEST(TypeClassifiers, EachCodeBelongsToItsOneClass) {
    for (int code = 0; code <= 210; ++code) {
        SCOPED_TRACE(code);
        const Value number(code);
        EXPECT_EQ(DB_Dll::adodate(number), kDates.count(code) == 1);
        EXPECT_EQ(DB_Dll::ADOText(number), kTexts.count(code) == 1);
        EXPECT_EQ(DB_Dll::ADONumeric(number), kNumbers.count(code) == 1);
        EXPECT_EQ(DB_Dll::ADOCurrency(number), code == 6);
        EXPECT_EQ(DB_Dll::ADOBoolean(number), code == 11);
        // A code written as digits is the same code.
        const Value text(QString::number(code));
        EXPECT_EQ(DB_Dll::adodate(text), DB_Dll::adodate(number));
        EXPECT_EQ(DB_Dll::ADOText(text), DB_Dll::ADOText(number));
        EXPECT_EQ(DB_Dll::ADONumeric(text), DB_Dll::ADONumeric(number));
        EXPECT_EQ(DB_Dll::ADOComilla(text), DB_Dll::ADOComilla(number));
    }
}

TEST(TypeClassifiers, QuotesForDatesAndTextsOnly) {
    EXPECT_EQ(DB_Dll::ADOComilla(Value(135)), "'");
    EXPECT_EQ(DB_Dll::ADOComilla(Value(200)), "'");
    EXPECT_EQ(DB_Dll::ADOComilla(Value(3)), "");
    EXPECT_EQ(DB_Dll::ADOComilla(Value(11)), "");
    EXPECT_EQ(DB_Dll::ADOComilla(Value(6)), "");
}

TEST(TypeClassifiers, WhatIsNoCodeBelongsToNoClass) {
    for (const Value& v : {Value(), Value::null(), Value("7x"), Value(""), Value(7.5)}) {
        EXPECT_FALSE(DB_Dll::adodate(v));
        EXPECT_FALSE(DB_Dll::ADOText(v));
        EXPECT_FALSE(DB_Dll::ADONumeric(v));
        EXPECT_EQ(DB_Dll::ADOComilla(v), "");
    }
    EXPECT_TRUE(DB_Dll::ADOCurrency(Value(" 6 ")));
}

// --------------------------------------------------------------- SQLValue

TEST(SQLValue, TheWorkedExamples) {
    EXPECT_EQ(DB_Dll::SQLValue(Value("ABC"), "'"), Value("'ABC'"));
    EXPECT_EQ(DB_Dll::SQLValue(Value::null(), "'"), Value("NULL"));
    EXPECT_EQ(DB_Dll::SQLValue(Value::null(), "@"), Value("0"));
    EXPECT_EQ(DB_Dll::SQLValue(Value("12,5"), "@"), Value("12.5"));
    EXPECT_EQ(DB_Dll::SQLValue(Value(7), ""), Value("7"));
}

TEST(SQLValue, AQuoteInsideATextIsDoubled) {
    EXPECT_EQ(DB_Dll::SQLValue(Value("O'Higgins"), "'"), Value("'O''Higgins'"));
    EXPECT_EQ(DB_Dll::SQLValue(Value("x' OR '1'='1"), "'"), Value("'x'' OR ''1''=''1'"));
}

TEST(SQLValue, AmountsAreWrittenWithAPointAndFourDecimalsAtMost) {
    EXPECT_EQ(DB_Dll::SQLValue(Value(1234.56789), "@"), Value("1234.5679"));
    EXPECT_EQ(DB_Dll::SQLValue(Value(2.5), "@"), Value("2.5"));
    EXPECT_EQ(DB_Dll::SQLValue(Value("-3"), "@"), Value("-3"));
    EXPECT_EQ(DB_Dll::SQLValue(Value("sin numero"), "@"), Value("0"));
    EXPECT_EQ(DB_Dll::SQLValue(Value::currency(10), "@"), Value("10"));
}

TEST(SQLValue, OtherDelimitersLeaveTheValueAsItIs) {
    EXPECT_EQ(DB_Dll::SQLValue(Value("O'Higgins"), "#"), Value("O'Higgins"));
    EXPECT_EQ(DB_Dll::SQLValue(Value::null(), ""), Value("NULL"));
    EXPECT_EQ(DB_Dll::SQLValue(Value(QDate(2024, 2, 1)), "'"), Value("'01/02/2024'"));
    EXPECT_EQ(DB_Dll::SQLValue(Value(true), ""), Value("1"));
}

TEST(SQLValue, SQLValue2IsTheSame) {
    for (const char* delimiter : {"'", "@", "", "#"}) {
        for (const Value& v : {Value("O'Higgins"), Value::null(), Value("12,5"), Value(7)})
            EXPECT_EQ(DB_Dll::SQLValue2(v, delimiter), DB_Dll::SQLValue(v, delimiter));
    }
}

class SQLValueInStatements : public EmbeddedDbTest {};

TEST_F(SQLValueInStatements, AQuotedNameIsStoredAsWritten) {
    connectTo(file_);
    QString insert = "INSERT INTO CLIENTES (CODIGO, NOMBRE, LOCALIDAD, SALDO) VALUES (4, " +
                     DB_Dll::SQLValue(Value("D'Amico"), "'").toString() + ", " +
                     DB_Dll::SQLValue(Value::null(), "'").toString() + ", " +
                     DB_Dll::SQLValue(Value("7,25"), "@").toString() + ")";
    long affected = 0;
    db().EjecutaConsultaSQL(insert, affected);
    ASSERT_TRUE(db().gCnn->errors().empty());
    EXPECT_EQ(affected, 1);
    Value tipo(8);
    EXPECT_EQ(db().DatosTabla("CLIENTES", "4", "NOMBRE", "CODIGO", tipo, "", true, false),
              Value("D'Amico"));
    EXPECT_EQ(db().DatosTabla("CLIENTES", "4", "SALDO", "CODIGO", tipo, "", true, false),
              Value("7.25"));
}

// ----------------------------------------------------------- name methods

TEST(NameMethods, AddBrackets) {
    EXPECT_EQ(DB_Dll::AddBrackets("NOMBRE CLIENTE"), "[NOMBRE CLIENTE]");
    EXPECT_EQ(DB_Dll::AddBrackets("[NOMBRE CLIENTE]"), "[NOMBRE CLIENTE]");
    EXPECT_EQ(DB_Dll::AddBrackets("CLIENTES"), "CLIENTES");
    EXPECT_EQ(DB_Dll::AddBrackets("[FECHA DESDE"), "[FECHA DESDE");
}

TEST(NameMethods, StripBrackets) {
    auto stripped = [](const QString& name) {
        QString out;
        EXPECT_FALSE(DB_Dll::StripBrackets(name, out)) << name.toStdString();
        return out;
    };
    EXPECT_EQ(stripped("[ABC]"), "ABC");
    EXPECT_EQ(stripped("[ABC"), "AB");
    EXPECT_EQ(stripped("ABC"), "ABC");
    EXPECT_EQ(stripped("[]"), "");
    EXPECT_EQ(stripped(""), "");

    QString out = "sin cambio";
    const StepResult failure = DB_Dll::StripBrackets("[", out);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->number, ado::err::InvalidArgument);
    EXPECT_EQ(out, "sin cambio");
}

TEST(NameMethods, StripOwnerChangesTheCallersName) {
    QString name = "dbo.CLIENTES";
    EXPECT_EQ(DB_Dll::StripOwner(name), "CLIENTES");
    EXPECT_EQ(name, "CLIENTES");
    EXPECT_EQ(DB_Dll::StripOwner(name), "CLIENTES");
    EXPECT_EQ(name, "CLIENTES");
    name = "SRV.dbo.CLIENTES";
    EXPECT_EQ(DB_Dll::StripOwner(name), "dbo.CLIENTES");
}

TEST(NameMethods, StSTF) {
    QString name = "dbo.CLIENTES";
    EXPECT_EQ(DB_Dll::stSTF(name, 1), "CLIENTES");
    EXPECT_EQ(DB_Dll::stSTF(name, 0), "dbo");
    EXPECT_EQ(DB_Dll::stSTF(name, -3), "CLIENTES");
    EXPECT_EQ(name, "dbo.CLIENTES");
    name = "CLIENTES";
    EXPECT_EQ(DB_Dll::stSTF(name, 0), "CLIENTES");
    for (int part : {0, 1}) {
        name = "SRV.dbo.CLIENTES";
        EXPECT_EQ(DB_Dll::stSTF(name, part), "dbo.CLIENTES");
        EXPECT_EQ(name, "dbo.CLIENTES");
    }
}

TEST(NameMethods, StripFileName) {
    EXPECT_EQ(DB_Dll::StripFileName("C:\\DATOS\\CONTAB.MDB"), "C:\\DATOS");
    EXPECT_EQ(DB_Dll::StripFileName("CONTAB.MDB"), "");
    EXPECT_EQ(DB_Dll::StripFileName("\\CONTAB.MDB"), "");
    EXPECT_EQ(DB_Dll::StripFileName("\\\\SRV\\BASES\\"), "\\\\SRV\\BASES");
    EXPECT_EQ(DB_Dll::StripFileName(""), "");
}

}  // namespace
}  // namespace kl::db::test
