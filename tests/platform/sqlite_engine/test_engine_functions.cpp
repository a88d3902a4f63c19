// The one table of the engine's functions serves the dialect adapter and the
// engine's registration alike: a row the one knows and the other does not,
// or with another number of arguments, fails here rather than in a query.

#include "platform/sqlite_engine/handles.h"
#include "platform/sqlite_engine/stored_forms.h"
#include "platform/tsql/translator.h"
#include "support/embedded_translation.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QStringList>

namespace kl::ado::sqlite {
namespace {

using kl::test::adapt;
using tsql::singleTableOf;
using tsql::Statement;

// name(a, b...) with arguments each function accepts in first place.
QString call(const EngineFunction& f, const char* name, int count) {
    QStringList arguments;
    for (int i = 0; i < count; ++i) {
        const bool sqlServer = name == f.sqlServerName;
        if (i == 0 && sqlServer && f.datePartFirst)
            arguments << QStringLiteral("dd");
        else if (i == 0 && sqlServer && QLatin1String(name) == u"CONVERT")
            arguments << QStringLiteral("int");
        else
            arguments << QStringLiteral("NULL");
    }
    return QStringLiteral("SELECT %1(%2)").arg(QLatin1String(name), arguments.join(u", "));
}

class EngineFunctionTable : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(db_.open(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE),
                  SQLITE_OK);
        ASSERT_EQ(registerFunctions(db_.handle()), SQLITE_OK);
    }
    bool prepares(const QString& sql) const {
        SqliteStatement statement;
        return statement.prepare(db_.handle(), sql) == SQLITE_OK;
    }
    static int most(const EngineFunction& f) {
        return f.maxArguments < 0 ? f.minArguments + 3 : f.maxArguments;
    }

    SqliteDatabase db_;
};

TEST_F(EngineFunctionTable, EveryRowIsRegisteredWithTheArgumentsItAllowsAndNoOthers) {
    for (const EngineFunction& f : engineFunctions()) {
        SCOPED_TRACE(f.engineName);
        for (int count = f.minArguments; count <= most(f); ++count)
            EXPECT_TRUE(prepares(call(f, f.engineName, count))) << count;
        // SQLite's own may take more than SQL Server's; a row taking any
        // number checks its operands when it runs.
        if (!f.body || f.maxArguments < 0) continue;
        if (f.minArguments > 0) {
            EXPECT_FALSE(prepares(call(f, f.engineName, f.minArguments - 1)));
        }
        EXPECT_FALSE(prepares(call(f, f.engineName, f.maxArguments + 1)));
    }
}

TEST_F(EngineFunctionTable, TheAdapterRespellsEverySqlServerRowAndChecksItsArguments) {
    for (const EngineFunction& f : engineFunctions()) {
        if (!f.sqlServerName) continue;
        SCOPED_TRACE(f.sqlServerName);
        for (int count = f.minArguments; count <= most(f); ++count) {
            const auto adapted = adapt(call(f, f.sqlServerName, count));
            const auto* statements = std::get_if<std::vector<Statement>>(&adapted);
            ASSERT_TRUE(statements) << count;
            const QString sql = statements->front().sql;
            SCOPED_TRACE(sql.toStdString());
            EXPECT_TRUE(sql.contains(QLatin1String(f.engineName), Qt::CaseInsensitive));
            EXPECT_TRUE(prepares(sql));
        }
        if (f.minArguments > 0) {
            EXPECT_TRUE(std::holds_alternative<RunError>(
                adapt(call(f, f.sqlServerName, f.minArguments - 1))));
        }
        if (f.maxArguments >= 0) {
            EXPECT_TRUE(std::holds_alternative<RunError>(
                adapt(call(f, f.sqlServerName, f.maxArguments + 1))));
        }
    }
}

}  // namespace
}  // namespace kl::ado::sqlite
