// Two programs of the module writing one database file at the same time:
// the test starts its own binary a second time as the other program.

#include "backends.h"
#include "platform/ado/ado.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace kl::ado {
namespace {

constexpr int kWrites = 150;
const char kOtherProgram[] = "KL_ADO_OTRO_PROGRAMA";

// Each write: an access-log row through a recordset (its identity read
// back) and a journal line carrying that identity, in one transaction.
void write(const QString& connectionString, const QString& who) {
    Connection cnn;
    ASSERT_FALSE(cnn.Open(connectionString));
    for (int i = 0; i < kWrites; ++i) {
        ASSERT_FALSE(cnn.BeginTrans());
        Recordset rs;
        ASSERT_FALSE(rs.Open("SELECT * FROM CONTROL_ACCESO WHERE ID = 0", cnn, adOpenDynamic,
                             adLockOptimistic));
        ASSERT_FALSE(rs.AddNew());
        ASSERT_FALSE(rs.setValue("USUARIO", who));
        ASSERT_FALSE(rs.Update());
        const qint64 id = rs.value("ID").toInt64();
        ASSERT_FALSE(cnn.Execute(QStringLiteral("INSERT INTO MV_ASIENTOS (NUMERO, CUENTA) VALUES "
                                                "(%1, '%2')")
                                     .arg(id)
                                     .arg(who)));
        ASSERT_FALSE(cnn.CommitTrans());
    }
}

TEST(TwoPrograms, OtherProgram) {
    const QString connectionString = qEnvironmentVariable(kOtherProgram);
    if (connectionString.isEmpty()) GTEST_SKIP() << "run by BothWriteOneFile";
    write(connectionString, QStringLiteral("OTRO"));
}

TEST(TwoPrograms, BothWriteOneFile) {
    kl::test::EmbeddedDb folder;
    const QString file = kl::test::createEmbeddedTestDatabase(folder, "compartida.db");
    const QString connectionString = kl::test::EmbeddedDb::connectionString(file);

    QProcess other;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kOtherProgram), connectionString);
    other.setProcessEnvironment(env);
    other.setProcessChannelMode(QProcess::ForwardedChannels);
    other.start(QFileInfo("/proc/self/exe").symLinkTarget(),
                {"--gtest_filter=TwoPrograms.OtherProgram"});
    ASSERT_TRUE(other.waitForStarted());
    write(connectionString, QStringLiteral("ESTE"));
    ASSERT_TRUE(other.waitForFinished(300000));
    EXPECT_EQ(other.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(other.exitCode(), 0);

    Connection cnn;
    ASSERT_FALSE(cnn.Open(connectionString));
    std::unique_ptr<Recordset> rs;
    ASSERT_FALSE(
        cnn.Execute("SELECT count(*), count(DISTINCT ID) FROM CONTROL_ACCESO C INNER "
                    "JOIN MV_ASIENTOS A ON A.NUMERO = C.ID AND A.CUENTA = C.USUARIO",
                    nullptr, &rs));
    EXPECT_EQ(rs->value(0).toInt64(), 2 * kWrites);
    EXPECT_EQ(rs->value(1).toInt64(), 2 * kWrites);
}

}  // namespace
}  // namespace kl::ado
