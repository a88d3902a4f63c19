// The handle owners: what a caller leaves behind on an early return must not
// stay in the file.

#include "platform/sqlite_engine/handles.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QTemporaryDir>

namespace kl::ado::sqlite {
namespace {

class SqliteHandles : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_EQ(db_.open(file_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), SQLITE_OK);
        ASSERT_FALSE(db_.exec(QStringLiteral("CREATE TABLE T (A INT, B TEXT)")));
    }
    std::int64_t rows() const {
        std::int64_t n = -1;
        EXPECT_FALSE(db_.scalar(QStringLiteral("SELECT count(*) FROM T"), n));
        return n;
    }

    QTemporaryDir folder_;
    QString file_ = folder_.filePath(QStringLiteral("t.db"));
    SqliteDatabase db_;
};

TEST_F(SqliteHandles, ATransactionRollsBackUnlessCommitted) {
    for (const bool commit : {false, true}) {
        SqliteTransaction transaction(db_);
        ASSERT_FALSE(transaction.begin());
        ASSERT_FALSE(db_.insertRows(QStringLiteral("T"), {QStringLiteral("A"), QStringLiteral("B")},
                                    {{Value(1), Value(QStringLiteral("uno"))}}));
        if (commit) {
            EXPECT_FALSE(transaction.commit());
        }
    }
    EXPECT_EQ(rows(), 1);
}

TEST_F(SqliteHandles, FailuresCarrySqlitesMessageAndTheStatement) {
    SqliteStatement statement;
    const StepResult missing = db_.prepare(QStringLiteral("SELECT X FROM T"), statement);
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->description.contains(QStringLiteral("no such column: X")));
    ASSERT_FALSE(db_.prepare(QStringLiteral("INSERT INTO T (A) VALUES (?1)"), statement));
    ASSERT_FALSE(db_.exec(QStringLiteral("CREATE UNIQUE INDEX U ON T (A)")));
    EXPECT_FALSE(statement.run({Value(7)}));
    const StepResult twice = statement.run({Value(7)});
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->number, SQLITE_CONSTRAINT_UNIQUE);
    EXPECT_TRUE(twice->description.startsWith(QStringLiteral("INSERT INTO T")));
    EXPECT_EQ(rows(), 1) << "the statement stays usable after a failure";
}

}  // namespace
}  // namespace kl::ado::sqlite
