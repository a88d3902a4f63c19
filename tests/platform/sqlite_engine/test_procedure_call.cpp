// Calls of an embedded database's procedures: the arguments checked against
// the stored parameters, with the errors SQL Server gives, and each
// parameter the body names given its argument.

#include "platform/sqlite_engine/procedure_call.h"

#include <gtest/gtest.h>

namespace kl::ado::sqlite {
namespace {

tsql::Statement callOf(const QString& procedure, const QStringList& arguments) {
    tsql::Statement call;
    call.procedure = procedure;
    call.arguments = arguments;
    return call;
}

const StoredProcedure kAsentar{QStringLiteral(" @cuenta ,, @importe,"), QStringLiteral("cuerpo")};

Error failureOf(const std::variant<ProcedureCall, Error>& checked) {
    EXPECT_TRUE(std::holds_alternative<Error>(checked));
    return std::holds_alternative<Error>(checked) ? std::get<Error>(checked) : Error{};
}

TEST(ProcedureCall, WrongCallsGetSqlServersErrors) {
    const Error missing = failureOf(ProcedureCall::check(callOf("kv_Nada", {}), std::nullopt));
    EXPECT_EQ(missing.NativeError, 2812);
    EXPECT_EQ(missing.SQLState, "42000");
    EXPECT_EQ(missing.Description, "No se encontró el procedimiento almacenado 'kv_Nada'.");

    const Error tooMany =
        failureOf(ProcedureCall::check(callOf("kv_Asentar", {"1", "2", "3"}), kAsentar));
    EXPECT_EQ(tooMany.NativeError, 8144);
    EXPECT_EQ(tooMany.Description,
              "Se especificaron demasiados argumentos para el procedimiento o la función "
              "kv_Asentar.");

    const Error tooFew = failureOf(ProcedureCall::check(callOf("kv_Asentar", {"1"}), kAsentar));
    EXPECT_EQ(tooFew.NativeError, 201);
    EXPECT_EQ(tooFew.Description,
              "El procedimiento o la función 'kv_Asentar' espera el parámetro '@importe', que no "
              "se ha especificado.");
}

TEST(ProcedureCall, ParametersTakeTheirArgumentsByNameInAnyLetterCase) {
    auto checked = ProcedureCall::check(callOf("kv_Asentar", {"1101", QString()}), kAsentar);
    ASSERT_TRUE(std::holds_alternative<ProcedureCall>(checked));
    const ProcedureCall& procedure = std::get<ProcedureCall>(checked);
    EXPECT_EQ(procedure.body(), "cuerpo");

    const auto cuenta = procedure.argument("@CUENTA");
    ASSERT_TRUE(std::holds_alternative<Value>(cuenta));
    EXPECT_EQ(std::get<Value>(cuenta).toString(), "1101");
    const auto importe = procedure.argument("@importe");
    ASSERT_TRUE(std::holds_alternative<Value>(importe));
    EXPECT_TRUE(std::get<Value>(importe).isNull()) << "a NULL argument stays NULL";

    const auto undeclared = procedure.argument("@fecha");
    ASSERT_TRUE(std::holds_alternative<Error>(undeclared));
    EXPECT_EQ(std::get<Error>(undeclared).NativeError, 137);
    EXPECT_EQ(std::get<Error>(undeclared).Description,
              "Debe declarar la variable escalar \"@fecha\".");
}

TEST(ProcedureCall, AProcedureWithoutParametersTakesNoArguments) {
    const StoredProcedure bare{QString(), QStringLiteral("cuerpo")};
    EXPECT_TRUE(std::holds_alternative<ProcedureCall>(
        ProcedureCall::check(callOf("kv_Recalcular", {}), bare)));
    EXPECT_EQ(failureOf(ProcedureCall::check(callOf("kv_Recalcular", {"1"}), bare)).NativeError,
              8144);
}

}  // namespace
}  // namespace kl::ado::sqlite
